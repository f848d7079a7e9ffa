#include "screens/FrmLog.h"

#include "core/InformationLog.h"
#include "screens/GlobalForm.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>

FrmLog::FrmLog()
    : m_text1(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("FrmLog"));
    setWindowTitle(QStringLiteral("Log"));
    resize(560, 360);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text1);
}

void FrmLog::AddTexto(const QString& texto)
{
    if (!isVisible())
        return;
    QTextCursor start(m_text1->document());
    start.insertText(QString(texto).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

namespace screens {

namespace {

// The log keeps this for the whole run; the window behind it may be closed and created again.
class LogWindowForwarder : public Modulo::LogWindowSink {
public:
    void AddTexto(const QString& texto) override { globalForm<FrmLog>().AddTexto(texto); }
};

}  // namespace

void installLogWindow()
{
    static LogWindowForwarder forwarder;
    Modulo::InstallLogWindow(&forwarder);
}

}  // namespace screens
