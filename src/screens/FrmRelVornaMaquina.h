#pragma once
// The parameter window of the machine-load report. Opened from the main menu.

#include <QWidget>

class FrmRelVornaMaquina : public QWidget {
    Q_OBJECT

public:
    FrmRelVornaMaquina();
};
