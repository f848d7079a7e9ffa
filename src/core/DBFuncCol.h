#pragma once
// One entry of DBFunc's field list: a column and the value a write gives it.

#include "runtime/Variant.h"

#include <QString>

class DBFuncCol {
public:
    QString Campo;            // the column name
    bool Atualiza = false;    // written by Update and UpdateTrans
    bool UcaseTexto = false;  // kept for the interface; nothing reads it
    int Tipo = 0;             // ADO type code; nothing sets it

    const vb::Variant& Valor() const { return m_valor; }
    // Null stored into a Boolean entry (Tipo 11) becomes False.
    void setValor(const vb::Variant& value);

private:
    vb::Variant m_valor;
};
