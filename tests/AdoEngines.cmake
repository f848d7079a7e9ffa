# The ADO layer stands on the embedded server only through the adapter that runs it (SessionEngine.cpp): the
# ODBC path to a real server and everything else of the layer use the shared row types of sqlbase. Run by ctest:
#   cmake -DSOURCE_DIR=<repository> -P tests/AdoEngines.cmake
cmake_minimum_required(VERSION 3.25)

set(faults "")
file(GLOB files ${SOURCE_DIR}/src/ado/*.cpp ${SOURCE_DIR}/src/ado/*.h)
foreach(file ${files})
  get_filename_component(name ${file} NAME)
  if(name STREQUAL "SessionEngine.cpp")
    continue()
  endif()
  file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"sqlserver/")
  foreach(line ${includes})
    string(APPEND faults "\n  src/ado/${name}: ${line}")
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "The embedded server's headers included outside its adapter:${faults}")
endif()
