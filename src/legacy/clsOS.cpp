#include "legacy/clsOS.h"

#include "ado/Recordset.h"
#include "scheduling/Records.h"

using scheduling::column;
using scheduling::query;

void clsOS::CarregaOS()
{
    const QString numero = QString::number(NrServ);
    const auto entrega = query("select dtentr from cados where nrserv = " + numero);
    if (!entrega->adoEOF()) {
        const vb::Variant& dtentr = column(*entrega, "dtentr");
        DataEntrega = dtentr.isNull() ? vb::Today() : vb::CDate(dtentr);
    }

    const auto posicoes = query("Select Auto,Bruta,Etapa,quant from CadPos where NrServ = " + numero + " order by Etapa");
    for (; !posicoes->adoEOF(); posicoes->MoveNext())
        Posicoes.Add(shared_from_this(), vb::CLng(column(*posicoes, "Auto")), vb::CStr(column(*posicoes, "Bruta")),
                     vb::CDbl(column(*posicoes, "quant")), vb::CLng(column(*posicoes, "Etapa")));
}
