#pragma once
// The parameter window of the route report. Opened from the main menu.

#include <QWidget>

class FrmRelRoteiro : public QWidget {
    Q_OBJECT

public:
    FrmRelRoteiro();
};
