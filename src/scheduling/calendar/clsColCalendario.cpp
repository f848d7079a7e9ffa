#include "scheduling/clsColCalendario.h"

#include "runtime/Err.h"

namespace {

QString keyOf(const QString& posto)
{
    return posto.toUpper();
}

}  // namespace

bool clsColCalendario::Add(const QString& Posto, const clsPeriodo& Periodo)
{
    const QString key = keyOf(Posto);
    m_postos.remove(key);
    auto calendario = std::make_shared<clsPostoCalendario>();
    calendario->Monta(Posto, Periodo);
    m_postos.insert(key, std::move(calendario));
    return true;
}

std::shared_ptr<const clsPostoCalendario> clsColCalendario::PostoCalendario(const QString& Posto) const
{
    const auto found = m_postos.constFind(keyOf(Posto));
    if (found == m_postos.constEnd())
        vb::raiseError(vb::ErrNo::InvalidProcedureCall);
    return *found;
}
