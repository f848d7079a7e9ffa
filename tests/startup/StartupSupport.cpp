#include "startup/StartupSupport.h"

#include "core/StartupSettings.h"
#include "startup/FrmSelBanco.h"
#include "desktop/ProgramEnd.h"
#include "runtime/App.h"
#include "runtime/UserSettings.h"
#include "scheduling/CalendarGeneration.h"
#include "support/ProgramFolder.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <stdexcept>

namespace test {

ProgramEndCatcher::ProgramEndCatcher()
{
    Modulo::setProgramEndHook([] { throw ProgramEnded{}; });
}

ProgramEndCatcher::~ProgramEndCatcher()
{
    Modulo::setProgramEndHook({});
}

void writeConfig(const ProgramFolder& folder, const QStringList& lines)
{
    QFile file(folder.file(QStringLiteral("Util/Config.ini")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("Config.ini cannot be written");
    for (const QString& line : lines)
        file.write(line.toLatin1() + "\r\n");
}

void resetStartupSettings()
{
    Modulo::SecaoConexao.clear();
    Modulo::TipoBancoIni.clear();
    Modulo::ServidorIni.clear();
    Modulo::BancoIni.clear();
    Modulo::SenhaIni.clear();
    Modulo::UsuarioIni.clear();
    Modulo::TimeOutIni.clear();
    Modulo::PorTempo = false;
    Modulo::ModoSequencia = false;
    modCalendario::MesesCalendario = 0;
}

QString savedChoice()
{
    return vb::GetSetting(vb::App::Title, QStringLiteral("Conexao"), QStringLiteral("BancoPadrao"), QStringLiteral("none"));
}

void saveChoice(const QString& index)
{
    vb::SaveSetting(vb::App::Title, QStringLiteral("Conexao"), QStringLiteral("BancoPadrao"), index);
}

QTreeWidget* connectionList(FrmSelBanco& chooser)
{
    return chooser.findChild<QTreeWidget*>(QStringLiteral("Lv1"));
}

QPushButton* connectButton(FrmSelBanco& chooser)
{
    return chooser.findChild<QPushButton*>(QStringLiteral("CmdConectar"));
}

QStringList listedEntries(FrmSelBanco& chooser)
{
    QStringList entries;
    QTreeWidget* list = connectionList(chooser);
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        entries << item->text(0) + QLatin1Char('|') + item->text(1) + QLatin1Char('|') +
                       item->data(0, Qt::UserRole).toString();
    }
    return entries;
}

QList<int> checkedRows(FrmSelBanco& chooser)
{
    QList<int> rows;
    QTreeWidget* list = connectionList(chooser);
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        if (list->topLevelItem(row)->checkState(0) == Qt::Checked)
            rows << row;
    return rows;
}

void clickEntry(FrmSelBanco& chooser, int row)
{
    QTreeWidget* list = connectionList(chooser);
    QTreeWidgetItem* item = list->topLevelItem(row);
    // The second column: well away from the check box of the first.
    const QRect cell = list->visualRect(list->indexFromItem(item, 1));
    const QPoint at = cell.center();
    const QPoint global = list->viewport()->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &press);
    QApplication::sendEvent(list->viewport(), &release);
}

void pressEscape(FrmSelBanco& chooser)
{
    // Keys reach the active window only.
    QApplication::setActiveWindow(&chooser);
    QTreeWidget* list = connectionList(chooser);
    list->setFocus();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(list, &escape);
}

}  // namespace test
