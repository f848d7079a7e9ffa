#pragma once
// The connection chooser "Seleção (Banco de Dados)": one entry per connection section of Util/Config.ini
// (Banco and Servidor, from the start-up's one reading of the file), checked boxes of which the first is
// taken by "Conectar". Its output is Modulo::SecaoConexao (the chosen index) and the per-user setting
// Conexao/BancoPadrao.
//
// "Conectar" without a checked entry tells the user and asks for the end of the program; the start-up ends
// it once the chooser has closed, so that the end never runs inside the chooser's own event loop.

#include <QWidget>

class QFrame;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vb {
class IniFile;
}

class FrmSelBanco : public QWidget {
    Q_OBJECT

public:
    // Loads the entries (CarregaConexoes) from `config`.
    explicit FrmSelBanco(const vb::IniFile& config);

    // "Conectar" found nothing checked: the program must end.
    bool endRequested() const { return m_endRequested; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CarregaConexoes(const vb::IniFile& config);
    void Form_Activate();
    void Lv1_ItemClick(QTreeWidgetItem* item);
    void Lv1_ItemCheck(QTreeWidgetItem* item);
    void CmdConectar_Click();
    void CmdTab_Click();

    QFrame* m_frame1;
    QTreeWidget* m_lv1;
    QPushButton* m_cmdConectar;
    QPushButton* m_cmdTab;
    // The item whose box the current mouse click toggled: that click is a check, not an item click.
    QTreeWidgetItem* m_toggledByClick = nullptr;
    bool m_endRequested = false;
};
