# Writes the model SQL into a C++ source as a raw string literal (run with -DINPUT= -DOUTPUT=).
file(READ ${INPUT} sql)
set(delimiter "MODELSQL")
string(FIND "${sql}" ")${delimiter}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} contains the raw string delimiter")
endif()
file(WRITE ${OUTPUT}.tmp
"// Generated from schema/model.sql; do not edit.\n#include \"schema/ModelDatabase.h\"\n\nnamespace schema {\n\nQString modelSchemaSql()\n{\n    static const char sql[] = R\"${delimiter}(${sql})${delimiter}\";\n    return QString::fromUtf8(sql);\n}\n\n}  // namespace schema\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
