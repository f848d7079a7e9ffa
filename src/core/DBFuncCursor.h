#pragma once
// The server-side record set that the data-access members open for their own reads and writes.

#include "ado/Recordset.h"

inline std::shared_ptr<ADODB::Recordset> openServerCursor(const QString& source,
                                                          const std::shared_ptr<ADODB::Connection>& cn,
                                                          long cursorType, long lockType, long options)
{
    auto rs = std::make_shared<ADODB::Recordset>();
    rs->setCursorLocation(ADODB::adUseServer);
    rs->Open(source, cn, cursorType, lockType, options);
    return rs;
}
