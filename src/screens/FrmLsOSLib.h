#pragma once
// The release list: work orders that may enter the load queue. Opened from the main menu.

#include <QWidget>

class FrmLsOSLib : public QWidget {
    Q_OBJECT

public:
    FrmLsOSLib();
};
