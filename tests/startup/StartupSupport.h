#pragma once
// What the start-up tests share: the end of the program as an exception, Config.ini, and the chooser.

#include <QStringList>

class FrmSelBanco;
class QPushButton;
class QTreeWidget;

namespace test {

class ProgramFolder;

// What endProgram throws while a ProgramEndCatcher lives (deliberately no std::exception, which the
// start-up traps).
struct ProgramEnded {};

class ProgramEndCatcher {
public:
    ProgramEndCatcher();
    ~ProgramEndCatcher();
};

// Writes Util/Config.ini of the program folder, each line ended by CR LF.
void writeConfig(const ProgramFolder& folder, const QStringList& lines);

// The start-up's settings as before the first start.
void resetStartupSettings();

// The per-user setting Conexao/BancoPadrao ("none" when absent).
QString savedChoice();
void saveChoice(const QString& index);

QTreeWidget* connectionList(FrmSelBanco& chooser);
QPushButton* connectButton(FrmSelBanco& chooser);
// The entries of the list: text, sub-item and key of each, "|"-separated.
QStringList listedEntries(FrmSelBanco& chooser);
// The rows whose box is checked.
QList<int> checkedRows(FrmSelBanco& chooser);

// A left click on the text of an entry, as the mouse gives it (the window must be shown).
void clickEntry(FrmSelBanco& chooser, int row);
// The Esc key pressed while the list has the focus.
void pressEscape(FrmSelBanco& chooser);

}  // namespace test
