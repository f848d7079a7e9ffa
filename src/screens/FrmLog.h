#pragma once
// The log window: the information log's entries, newest on top, while the window is shown.

#include <QWidget>

class QPlainTextEdit;

class FrmLog : public QWidget {
    Q_OBJECT

public:
    FrmLog();

    // Puts the entry in front of the text shown, when the window is visible; otherwise nothing happens.
    void AddTexto(const QString& texto);
    QPlainTextEdit* Text1() const { return m_text1; }

private:
    QPlainTextEdit* m_text1;
};

namespace screens {

// Sends the information log's entries to the global log window, which is created on first use.
void installLogWindow();

}  // namespace screens
