#pragma once
// Texts pasted between apostrophes into SQL: an apostrophe inside is doubled, so that the text arrives whole
// ("Peça d'água") and cannot end the literal early.

#include <QString>

inline QString doubledApostrophes(const QString& text)
{
    return QString(text).replace(QLatin1Char('\''), QLatin1String("''"));
}
