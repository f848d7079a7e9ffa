#include "legacy/clsPostos.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/StringBuilder.h"
#include "legacy/DialectLiterals.h"
#include "scheduling/PeriodRoutines.h"
#include "scheduling/Records.h"
#include "scheduling/SqlLiterals.h"

using scheduling::column;

void clsPostos::MontaTurnos(const clsPeriodo& Periodo)
{
    const QString s = legacy::momentLiteral(BancoAtual(), Periodo.Inicio());
    const QString e = legacy::momentLiteral(BancoAtual(), Periodo.Fim());
    StringBuilder sql;
    sql.defineCaracter(" ");
    sql.append("SELECT *");
    sql.append("From CadCale2");
    sql.append("Where Posto = " + scheduling::quotedText(Codigo));
    sql.append("And ((Inicio >= " + s);
    sql.append("And Fim <= " + e + ")");
    sql.append("OR (Inicio >= " + s);
    sql.append("And Inicio <= " + e + ")");
    sql.append("OR (Fim >= " + s);
    sql.append("And Fim <= " + e + ")");
    sql.append("OR (Inicio < " + s);
    sql.append("And Fim > " + e + "))");
    sql.append("ORDER BY CadCale2.Inicio");

    auto turnos = std::make_shared<colTurnos>();
    const auto rows = scheduling::query(sql.Texto());
    for (; !rows->adoEOF(); rows->MoveNext()) {
        const clsPeriodo antes(vb::CDate(column(*rows, "Inicio")), vb::CDate(column(*rows, "InicioIntervalo")));
        const clsPeriodo depois(vb::CDate(column(*rows, "FimIntervalo")), vb::CDate(column(*rows, "Fim")));
        for (const clsPeriodo& metade : {antes, depois})
            if (Modulo::PeriodosSobrepoem(Periodo, metade))
                turnos->Add(metade);
    }
    turnos->Ordena();
    turnos->Junta();
    Turnos = std::move(turnos);
}
