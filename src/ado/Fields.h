#pragma once
// The fields of a record set, by position from 0 or by name without regard to case.

#include "ado/Field.h"

#include <vector>

namespace ADODB {

class Fields {
public:
    long Count() const { return long(m_fields.size()); }
    // Error 3265 when there is no such field.
    Field& Item(int index);
    Field& Item(const QString& name);
    // The position of a field, -1 when there is none.
    int indexOf(const QString& name) const;

    auto begin() { return m_fields.begin(); }
    auto end() { return m_fields.end(); }

private:
    friend class Recordset;
    std::vector<Field> m_fields;
};

}  // namespace ADODB
