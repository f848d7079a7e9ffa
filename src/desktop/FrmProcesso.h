#pragma once
// The progress window of long loops (calendar building): a small modeless window on top of the others with
// one bar from 0 to 100.

#include <QWidget>

class QProgressBar;

class FrmProcesso : public QWidget {
    Q_OBJECT

public:
    FrmProcesso();

    // Centres the window on the screen, shows it and brings it to the front.
    void showCentred();
    QProgressBar* PB1() const { return m_pb1; }

private:
    QProgressBar* m_pb1;
};
