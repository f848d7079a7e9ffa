#pragma once
// The shared token walking (sqlbase/TokenTools.h), named within the server.

#include "sqlbase/TokenTools.h"
#include "sqlserver/Tokenizer.h"
