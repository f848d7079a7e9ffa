#pragma once
// MERGE [INTO] target [[AS] t] USING source [[AS] s] ON condition
//   WHEN MATCHED [AND c] THEN UPDATE SET .. | DELETE
//   WHEN NOT MATCHED [BY TARGET] [AND c] THEN INSERT [(columns)] VALUES (..) | DEFAULT VALUES
//   WHEN NOT MATCHED BY SOURCE [AND c] THEN UPDATE SET .. | DELETE;
// as SQLite statements run in turn: the target's rows are noted first (a temporary table of rowids), so that
// the inserted rows are never matched, and the source rows are matched against the target as it was. The
// rows affected add up over the statements. A later WHEN of the same kind takes only the rows the earlier
// ones did not.

#include "sqlserver/DdlRewrites.h"

#include <vector>

namespace sqlserver {

bool isMerge(const Tokens& tokens);
std::vector<DdlStatement> rewriteMerge(const Tokens& tokens);

}  // namespace sqlserver
