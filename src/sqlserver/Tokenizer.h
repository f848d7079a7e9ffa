#pragma once
// The server reads its dialects with the T-SQL tokenizer it shares with the ADO layer.

#include "sqlbase/Tokenizer.h"

namespace sqlserver {
using namespace sqlbase;
}  // namespace sqlserver
