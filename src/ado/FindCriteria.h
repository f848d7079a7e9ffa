#pragma once
// The criterion of Recordset.Find: one column, one comparison (=, <>, <, >, <=, >=, LIKE) and one value:
// a quoted text ('it''s'), a #date# (#2026-01-31 10:00#, #01/31/2026#), or a number (12, -3.5).
// Texts compare without regard to case; LIKE takes * or % for any run of characters; Null matches nothing.

#include "runtime/Variant.h"

#include <QRegularExpression>
#include <QString>

namespace ADODB {

class FindCriteria {
public:
    // Raises error 3001 when the text is not one such comparison.
    explicit FindCriteria(const QString& text);

    const QString& column() const { return m_column; }
    bool matches(const vb::Variant& value) const;

private:
    enum class Operator { Equal, NotEqual, Less, Greater, LessOrEqual, GreaterOrEqual, Like };

    bool holds(int comparison) const;

    QString m_column;
    Operator m_operator = Operator::Equal;
    vb::Variant m_value;
    QRegularExpression m_pattern;  // LIKE only
};

}  // namespace ADODB
