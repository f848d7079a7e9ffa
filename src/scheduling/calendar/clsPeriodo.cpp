#include "scheduling/clsPeriodo.h"

#include "core/InformationLog.h"
#include "runtime/Format.h"

namespace {

void logRefusal(vb::Date inicio, vb::Date fim)
{
    Modulo::GravaLog(QStringLiteral("O Inicio não pode ser superior ao Fim,") + vb::DefaultDateText(inicio) +
                     QStringLiteral(" - ") + vb::DefaultDateText(fim));
}

}  // namespace

clsPeriodo::clsPeriodo(vb::Date inicio, vb::Date fim)
{
    setFim(fim);
    setInicio(inicio);
}

void clsPeriodo::setInicio(vb::Date v)
{
    if (v <= m_fim)
        m_inicio = v;
    else
        logRefusal(v, m_fim);
}

void clsPeriodo::setFim(vb::Date v)
{
    if (m_inicio <= v)
        m_fim = v;
    else
        logRefusal(m_inicio, v);
}

double clsPeriodo::Tempo(const QString& Intervalo) const
{
    return double(vb::DateDiff(Intervalo, m_inicio, m_fim, vb::vbSunday));
}

void clsPeriodo::Zera()
{
    m_inicio = vb::Date();
    m_fim = vb::Date();
}
