#pragma once
// Equality without regard to case, as QString::compare(a, b, Qt::CaseInsensitive) == 0 has it, for the loops
// that look for a field by name or a row by value: ASCII letters are folded here, anything else by Qt.

#include <QStringView>

namespace ADODB {

inline bool equalIgnoringCase(QStringView a, QStringView b)
{
    if (a.size() != b.size())  // case folding keeps the length of a text
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x == y)
            continue;
        if (x >= 128 || y >= 128)  // a character outside ASCII may fold to a letter inside it (K, the Kelvin sign)
            return a.compare(b, Qt::CaseInsensitive) == 0;
        if (x >= 'A' && x <= 'Z')
            x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z')
            y += 'a' - 'A';
        if (x != y)
            return false;
    }
    return true;
}

}  // namespace ADODB
