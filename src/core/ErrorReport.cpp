#include "core/Modulo.h"

#include "runtime/Err.h"
#include "runtime/Format.h"
#include "runtime/TextFile.h"
#include "runtime/UiServices.h"

namespace Modulo {

namespace {

void appendEntry(const QString& path, const QString& message)
{
    const vb::Date now = vb::Now();
    const QString stamp = QStringLiteral(" - ") + vb::Format(now, QStringLiteral("dd/mm/yyyy")) +
                          QStringLiteral(" - ") + vb::Format(now, QStringLiteral("hh:mm:ss"));
    QStringList lines{QString(139, QLatin1Char('-'))};
    lines += (message + stamp).split(vbCrLf);
    vb::AppendLines(path, lines);
}

}  // namespace

bool TrataErro(const QString& mensagem)
{
    if (vb::Err.Number == 0)
        return false;

    QString message = QStringLiteral("Erro: ") + QString::number(vb::Err.Number) + QStringLiteral(" - ") +
                      vb::Err.Description;
    if (!mensagem.isEmpty())
        message = mensagem + vbCrLf + message;
    vb::Ui().MsgBox(message, vb::vbCritical);

    // The report must not fail in turn: a missing or read-only Util folder is told, not raised.
    const QString path = CaminhoApp() + QStringLiteral("/Util/Erro.txt");
    try {
        appendEntry(path, message);
    } catch (const vb::VbError& e) {
        vb::Ui().MsgBox(QStringLiteral("Não foi possível gravar o erro no arquivo ") + path + QStringLiteral(": ") +
                            QString::number(e.number()) + QStringLiteral(" - ") + e.description(),
                        vb::vbExclamation);
    }

    vb::Err.Clear();
    return true;
}

}  // namespace Modulo
