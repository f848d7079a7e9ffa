#include "scheduling/clsPostoCalendario.h"

#include "ado/Recordset.h"
#include "core/StringBuilder.h"
#include "scheduling/PeriodRoutines.h"
#include "scheduling/Records.h"
#include "scheduling/SqlLiterals.h"

using scheduling::column;
using scheduling::minuteText;
using scheduling::quotedText;

void clsPostoCalendario::Monta(const QString& PostoTrabalho, const clsPeriodo& PeriodoPosto)
{
    m_periodo = PeriodoPosto;
    m_posto = PostoTrabalho;
    LePeriodosLivres();
    Modulo::OrdenaColecao(cPeri);
    JuntaPeriodos(cPeri);
    Modulo::OrdenaColecao(cPeri);
    SomaTempo(cPeri);
}

void clsPostoCalendario::LePeriodosLivres()
{
    const QString inicio = minuteText(m_periodo.Inicio());
    const QString fim = minuteText(m_periodo.Fim());
    StringBuilder sql;
    sql.defineCaracter(QStringLiteral(" "));
    sql.append(QStringLiteral("SELECT Inicio,InicioIntervalo,FimIntervalo,Fim From CadCale2"));
    sql.append(QStringLiteral("Where Posto = ") + quotedText(m_posto));
    sql.append(QStringLiteral("And Programado=0"));
    sql.append(QStringLiteral("And ((Inicio > '%1' And Fim < '%2')").arg(inicio, fim));
    sql.append(QStringLiteral("OR (Inicio > '%1' And Inicio < '%2')").arg(inicio, fim));
    sql.append(QStringLiteral("OR (Fim > '%1' And Fim < '%2')").arg(inicio, fim));
    sql.append(QStringLiteral("OR (Inicio < '%1' And Fim > '%2'))").arg(inicio, fim));
    sql.append(QStringLiteral("ORDER BY CadCale2.Inicio"));

    // A half goes in whole when it meets the window: it is not clipped to it.
    const auto rows = scheduling::query(sql.Texto());
    for (; !rows->adoEOF(); rows->MoveNext()) {
        const vb::Date rowStart = vb::CDate(column(*rows, QStringLiteral("Inicio")));
        const vb::Date breakStart = vb::CDate(column(*rows, QStringLiteral("InicioIntervalo")));
        const vb::Date breakEnd = vb::CDate(column(*rows, QStringLiteral("FimIntervalo")));
        const vb::Date rowEnd = vb::CDate(column(*rows, QStringLiteral("Fim")));
        for (const clsPeriodo& half : {clsPeriodo(rowStart, breakStart), clsPeriodo(breakEnd, rowEnd)})
            if (Modulo::PeriodosSobrepoem(m_periodo, half))
                cPeri.push_back(half);
    }
}

void clsPostoCalendario::JuntaPeriodos(std::vector<clsPeriodo>& periodos)
{
    std::size_t i = 0;
    while (i + 1 < periodos.size()) {
        clsPeriodo& p = periodos[i];
        const clsPeriodo& q = periodos[i + 1];
        if (Modulo::PeriodosSobrepoem(p, q)) {
            if (p.Fim() < q.Fim())
                p.setFim(q.Fim());
            if (p.Inicio() > q.Inicio())
                p.setInicio(q.Inicio());
            periodos.erase(periodos.begin() + std::ptrdiff_t(i) + 1);
        } else {
            ++i;
        }
    }
}

void clsPostoCalendario::SomaTempo(std::vector<clsPeriodo>& periodos)
{
    double total = 0;
    for (clsPeriodo& periodo : periodos) {
        total += periodo.Tempo(QStringLiteral("n"));
        periodo.TempoTotal = total;
    }
}
