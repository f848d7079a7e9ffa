#include "ado/Field.h"

#include "ado/Recordset.h"

namespace ADODB {

Field::Field(Recordset* owner, int index, QString name, FieldType type)
    : m_owner(owner), m_index(index), m_name(std::move(name)), m_type(type)
{}

const vb::Variant& Field::Value() const
{
    return m_owner->value(m_index);
}

void Field::setValue(const vb::Variant& value)
{
    m_owner->setValue(m_index, value);
}

const vb::Variant& Field::OriginalValue() const
{
    return m_owner->originalValue(m_index);
}

}  // namespace ADODB
