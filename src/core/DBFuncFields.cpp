// DBFunc's field list: the columns and values that Insert, Update and UpdateTrans write.

#include "core/DBFunc.h"

#include "core/Modulo.h"
#include "runtime/Err.h"

#include <algorithm>

std::shared_ptr<DBFuncCol> DBFunc::Add(const QString& Campo, const vb::Variant& Valor, bool Atualizar,
                                       bool /*UcaseTexto*/, bool RemoveAspasSimples)
{
    std::shared_ptr<DBFuncCol> result;
    try {
        auto entry = std::make_shared<DBFuncCol>();
        if (!vb::Trim(Campo).isEmpty())
            entry->Campo = Campo;

        vb::Variant value = Valor;
        if (value.isEmpty() || (value.isString() && vb::Trim(value.toString()).isEmpty()))
            value = vb::Variant::Null();
        else if (value.isString() && RemoveAspasSimples)
            value = vb::Trim(value.toString().replace('\'', '`'));
        entry->setValor(value);
        entry->Atualiza = Atualizar;

        const auto existing = std::find_if(m_campos.begin(), m_campos.end(), [&](const auto& campo) {
            return campo->Campo.compare(entry->Campo, Qt::CaseInsensitive) == 0;
        });
        if (existing != m_campos.end()) {
            (*existing)->setValor(entry->Valor());
        } else {
            m_campos.push_back(entry);
            result = entry;
        }
    } catch (...) {
        vb::Err.SetFromCurrentException();
        Modulo::TrataErro();
    }
    return result;
}

std::shared_ptr<DBFuncCol> DBFunc::Item(const vb::Variant& Index) const
{
    if (Index.isString()) {
        for (const auto& campo : m_campos)
            if (campo->Campo.compare(Index.toString(), Qt::CaseInsensitive) == 0)
                return campo;
        vb::raiseError(vb::ErrNo::InvalidProcedureCall);
    }
    const std::int32_t position = Index.toLong();
    if (position < 1 || position > std::int32_t(m_campos.size()))
        vb::raiseError(vb::ErrNo::SubscriptOutOfRange);
    return m_campos[std::size_t(position - 1)];
}

std::int16_t DBFunc::Count() const
{
    return std::int16_t(m_campos.size());
}

void DBFunc::Remove(std::int16_t Index)
{
    if (Index < 1 || Index > Count())
        vb::raiseError(vb::ErrNo::SubscriptOutOfRange);
    m_campos.erase(m_campos.begin() + (Index - 1));
}

void DBFunc::RemoveAll()
{
    m_campos.clear();
}
