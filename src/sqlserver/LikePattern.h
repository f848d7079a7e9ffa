#pragma once
// SQL Server's LIKE patterns: % any run, _ any one character, [abc], [a-c] (a range in the collation's order),
// [^a-c], an ESCAPE character; letters compare under the default collation (case ignored, accents kept).
// Trailing blanks of the pattern count; those of the text are ignored ('abc ' LIKE 'abc', not 'abc' LIKE 'abc ').

#include "sqlserver/Collation.h"

#include <QString>
#include <vector>

namespace sqlserver {

class LikePattern {
public:
    // `escape` 0 when there is none.
    explicit LikePattern(QStringView pattern, char16_t escape = 0, CollationRules rules = {});

    bool matches(QStringView text) const;
    // PATINDEX: the 1-based position where the pattern's match begins in `text`, 0 when there is none.
    qsizetype position(QStringView text) const;

private:
    struct Element {
        enum Kind { AnyRun, AnyOne, Character, Set } kind;
        char16_t character = 0;
        bool negated = false;
        std::vector<std::pair<char16_t, char16_t>> ranges;
    };
    bool elementMatches(const Element& e, char16_t c) const;
    bool matchFrom(size_t firstElement, QStringView text) const;

    std::vector<Element> m_elements;
    CollationRules m_rules;
};

}  // namespace sqlserver
