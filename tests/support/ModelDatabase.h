#pragma once
// The plant's model database handed to the embedded server, as the program does at start. Only for test
// programs that link the server and schema/.

#include "schema/ModelDatabase.h"
#include "schema/ModelFunctions.h"
#include "sqlserver/DatabaseFiles.h"

namespace test {

inline void installModelDatabase()
{
    sqlserver::setModelDatabase(schema::modelSchemaSql(), schema::modelFunctions());
}

}  // namespace test
