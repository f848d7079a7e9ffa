#pragma once
// ADO's Recordset. Rows are read into memory when it opens, whatever the cursor location; the cursor type
// and location decide only what ADO would report and allow:
//  - a client-side record set is static (ADO turns forward-only into static there) and knows its
//    RecordCount and AbsolutePosition;
//  - a server-side forward-only or dynamic one reports -1 for both, and forward-only refuses to move back.
// Rows that come from one table are written back by AddNew/Update/Delete at once (immediate update), found
// by their rowid on the embedded server and by the primary key through ODBC. A table opened with a
// server-side cursor reads its rows only when first moved through, as a server cursor fetches them, so
// that opening a table to add a row costs no more than the row. Held by std::shared_ptr so a
// vb::Variant can carry it. The end-of-file test is adoEOF(): EOF is a macro of the C library.

#include "ado/Constants.h"
#include "ado/Fields.h"
#include "runtime/Variant.h"

#include <QString>
#include <memory>
#include <vector>

namespace sqlbase {
struct Rowset;
}

namespace ADODB {

class Connection;

class Recordset : public vb::Object, public std::enable_shared_from_this<Recordset> {
public:
    Recordset();
    ~Recordset() override;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Settings for Open; after Open they tell what the record set became.
    long CursorLocation() const;
    void setCursorLocation(long location);  // while closed; unset, the connection's
    long CursorType() const;
    void setCursorType(long cursorType);  // while closed
    long LockType() const;
    void setLockType(long lockType);  // while closed

    std::shared_ptr<Connection> ActiveConnection() const;
    // Nothing detaches an open client-side record set: it stays readable and changes stay local.
    void setActiveConnection(std::shared_ptr<Connection> connection);

    long State() const;
    long EditMode() const;

    // Opens SQL text or a table name on `connection` (or on ActiveConnection when none is given). A source
    // that returns no rows leaves the record set closed.
    void Open(const QString& source, std::shared_ptr<Connection> connection = nullptr,
              long cursorType = adOpenUnspecified, long lockType = adLockUnspecified, long options = adCmdUnspecified);
    void Close();

    bool BOF() const;
    bool adoEOF() const;
    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    long AbsolutePosition() const;
    long RecordCount() const;

    void AddNew();
    void Update();
    void CancelUpdate();
    void Delete();

    // Searches from the current row (skipping skipRecords rows) for the first row that meets the criterion
    // (see FindCriteria); without one the record set ends at EOF (or BOF searching backward).
    void Find(const QString& criteria, long skipRecords = 0, long searchDirection = adSearchForward);
    // The next `rows` rows (all remaining with adGetRowsRest) as [field][row]; moves past them.
    std::vector<std::vector<vb::Variant>> GetRows(long rows = adGetRowsRest);

    ADODB::Fields& Fields();
    Field& Fields(int index);
    Field& Fields(const QString& name);

private:
    friend class Field;
    friend class Connection;
    struct Private;

    const vb::Variant& value(int field) const;
    const vb::Variant& originalValue(int field) const;
    void setValue(int field, const vb::Variant& value);
    void openOn(std::shared_ptr<Connection> connection, sqlbase::Rowset&& rowset, long location, long cursorType,
                long lockType);
    void closeWithConnection();

    void requireOpen() const;
    void fetchDeferredRows() const;
    void requireCurrent(const QString& source) const;
    void requireUpdatable() const;
    void requireBackwardMoves() const;
    void finishEdit();
    bool isStatic() const;
    bool attached() const;

    std::unique_ptr<Private> d;
};

}  // namespace ADODB
