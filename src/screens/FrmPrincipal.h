#pragma once
// The main window "Vorna Maquina Tarvelo": the frame of every other window, with one menu, "Programação".
// Its load performs the whole start-up; afterwards it stands empty until a menu command.

#include <QMainWindow>

class QMdiArea;

class FrmPrincipal : public QMainWindow {
    Q_OBJECT

public:
    FrmPrincipal();

    // The start-up, once, before the window is first shown: the connection (Modulo::Inicializa), the
    // parameter Refugo, the station list, every station's calendar with the progress window, the setting
    // DivideVorna and the station list again. A step after the connection that fails is reported and ends
    // the program.
    void Form_Load();

    // Shows a window inside this one and gives it the focus; a window already shown comes to the front.
    void showChild(QWidget& form);

protected:
    // The child windows close first, each with its own closing step.
    void closeEvent(QCloseEvent* event) override;

private:
    void MnuVorna_Click();
    void mnuLibera_Click();
    void mnuFila_Click();
    void mnuRoteiro_Click();
    void mnuRelVornaMaq_Click();

    QMdiArea* m_workspace;
};
