#include "core/ParameterReaders.h"

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "core/Adodc.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "runtime/Err.h"

namespace Modulo {

namespace {

vb::Variant readParameter(const QString& table, const QString& column, const QString& defaultValue)
{
    const auto parameters = BancoAtual().CarregaObjeto(table, true);
    if (!parameters)
        vb::raiseError(vb::ErrNo::ObjectVariableNotSet);
    vb::Variant result = defaultValue;
    if (!parameters->adoEOF()) {
        const vb::Variant& value = parameters->Fields(column).Value();
        if (!value.isNull())
            result = value;
    }
    parameters->Close();
    return result;
}

}  // namespace

vb::Variant LeParametro(const QString& column, const QString& defaultValue)
{
    return readParameter(QStringLiteral("CadPar"), column, defaultValue);
}

vb::Variant LeParametroBex(const QString& column, const QString& defaultValue)
{
    return readParameter(QStringLiteral("CadParBex"), column, defaultValue);
}

void PassaConexao(Adodc& control, const DBFunc& database)
{
    const auto connection = database.VariavelADODBConnection();
    if (!connection)
        vb::raiseError(vb::ErrNo::ObjectVariableNotSet);
    control.setUserName(database.Usuario);
    control.setPassword(database.Senha);
    control.setConnectionString(connection->ConnectionString());
}

}  // namespace Modulo
