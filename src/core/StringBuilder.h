#pragma once
// Accumulates a text piece by piece (SQL statements, log entries), each piece optionally followed by a fixed
// separator. Nothing goes before the first piece, so a text built with a separator ends with one.

#include <QString>

class StringBuilder {
public:
    // Chooses the separator and switches it on.
    void defineCaracter(const QString& caracter);

    // Switches the separator off or on again without changing it.
    bool UsaCaracter() const { return m_usaCaracter; }
    void setUsaCaracter(bool on) { m_usaCaracter = on; }

    // The whole text so far.
    const QString& Texto() const { return m_texto; }
    // Appends a piece (and the separator when it is on); the writing side of Texto.
    void append(const QString& piece);

    // Empties the text; the separator and its switch stay.
    void Limpa();

private:
    QString m_texto;
    QString m_caracter;
    bool m_usaCaracter = false;
};
