#include "scheduling/store/ScheduleLock_p.h"

#include "ado/Recordset.h"
#include "core/DBFunc.h"
#include "runtime/UiServices.h"
#include "scheduling/Records.h"

namespace scheduling {

namespace {

const QString resource = QStringLiteral("Vorna.Programacao");

}  // namespace

ScheduleLock::ScheduleLock(DBFunc& banco) : m_banco(banco)
{
    const auto result = m_banco.CarregaRecordset(
        QStringLiteral("SET NOCOUNT ON DECLARE @Resultado INT EXEC @Resultado = sp_getapplock @Resource = '%1', "
                       "@LockMode = 'Exclusive', @LockOwner = 'Session', @LockTimeout = 0 SELECT @Resultado AS "
                       "Resultado")
            .arg(resource));
    if (!result || !hasRow(*result))
        return;
    // 0 granted; 1 granted after waiting; below 0 refused.
    m_taken = column(*result, QStringLiteral("Resultado")).toDouble() >= 0;
    if (!m_taken)
        vb::Ui().MsgBox(QStringLiteral("Outra programação está em andamento neste banco de dados (em outra estação "
                                       "ou em outra janela do programa). Aguarde o término dela e tente novamente."),
                        vb::vbExclamation);
}

ScheduleLock::~ScheduleLock()
{
    if (m_taken)
        m_banco.ExecutaComando(
            QStringLiteral("EXEC sp_releaseapplock @Resource = '%1', @LockOwner = 'Session'").arg(resource), false);
}

}  // namespace scheduling
