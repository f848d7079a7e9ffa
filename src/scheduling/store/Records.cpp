#include "scheduling/Records.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "runtime/Err.h"

namespace scheduling {

std::shared_ptr<ADODB::Recordset> opened(std::shared_ptr<ADODB::Recordset> recordset)
{
    if (!recordset)
        vb::raiseError(vb::ErrNo::ObjectVariableNotSet);
    return recordset;
}

std::shared_ptr<ADODB::Recordset> query(DBFunc& banco, const QString& sql)
{
    return opened(banco.CarregaObjeto(sql));
}

std::shared_ptr<ADODB::Recordset> query(const QString& sql)
{
    return query(BancoAtual(), sql);
}

bool hasRow(const ADODB::Recordset& recordset)
{
    return !recordset.BOF() && !recordset.adoEOF();
}

const vb::Variant& column(ADODB::Recordset& recordset, const QString& name)
{
    return recordset.Fields(name).Value();
}

}  // namespace scheduling
