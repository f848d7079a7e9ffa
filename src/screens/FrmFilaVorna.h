#pragma once
// The load queue window. Opened from the main menu.

#include <QWidget>

class FrmFilaVorna : public QWidget {
    Q_OBJECT

public:
    FrmFilaVorna();
};
