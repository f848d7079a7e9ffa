#include "core/DBFuncCol.h"

#include "ado/Constants.h"

void DBFuncCol::setValor(const vb::Variant& value)
{
    m_valor = (value.isNull() && Tipo == ADODB::adBoolean) ? vb::Variant(false) : value;
}
