#include "sqlserver/LikePattern.h"

namespace sqlserver {

LikePattern::LikePattern(QStringView pattern, char16_t escape, CollationRules rules) : m_rules(rules)
{
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i].unicode();
        if (escape != 0 && c == escape && i + 1 < pattern.size()) {
            m_elements.push_back({Element::Character, pattern[++i].unicode(), false, {}});
        } else if (c == u'%') {
            if (m_elements.empty() || m_elements.back().kind != Element::AnyRun)
                m_elements.push_back({Element::AnyRun, 0, false, {}});
        } else if (c == u'_') {
            m_elements.push_back({Element::AnyOne, 0, false, {}});
        } else if (c == u'[' && pattern.indexOf(u']', i + 2) > i) {
            const qsizetype close = pattern.indexOf(u']', i + 2);
            Element set{Element::Set, 0, false, {}};
            qsizetype k = i + 1;
            if (pattern[k] == u'^' && k + 1 < close) {
                set.negated = true;
                ++k;
            }
            for (; k < close; ++k) {
                const char16_t low = pattern[k].unicode();
                if (k + 2 < close && pattern[k + 1] == u'-') {
                    set.ranges.emplace_back(low, pattern[k + 2].unicode());
                    k += 2;
                } else {
                    set.ranges.emplace_back(low, low);
                }
            }
            m_elements.push_back(std::move(set));
            i = close;
        } else {
            m_elements.push_back({Element::Character, c, false, {}});
        }
    }
}

bool LikePattern::elementMatches(const Element& e, char16_t c) const
{
    switch (e.kind) {
    case Element::AnyOne:
        return true;
    case Element::Character:
        return sameCharacter(m_rules, c, e.character);
    case Element::Set:
        for (const auto& [low, high] : e.ranges) {
            const bool in = low == high ? sameCharacter(m_rules, c, low) : characterInRange(m_rules, c, low, high);
            if (in)
                return !e.negated;
        }
        return e.negated;
    case Element::AnyRun:
        break;
    }
    return false;
}

// Runs of % are matched by moving the last one's start on (the pattern's elements each take one character).
bool LikePattern::matchFrom(size_t firstElement, QStringView text) const
{
    size_t e = firstElement;
    qsizetype t = 0;
    size_t runElement = size_t(-1);
    qsizetype runText = 0;
    while (t < text.size()) {
        if (e < m_elements.size() && m_elements[e].kind == Element::AnyRun) {
            runElement = ++e;
            runText = t;
        } else if (e < m_elements.size() && elementMatches(m_elements[e], text[t].unicode())) {
            ++e;
            ++t;
        } else if (runElement != size_t(-1)) {
            e = runElement;
            t = ++runText;
        } else {
            return false;
        }
    }
    while (e < m_elements.size() && m_elements[e].kind == Element::AnyRun)
        ++e;
    return e == m_elements.size();
}

bool LikePattern::matches(QStringView text) const
{
    // Blanks at the end of the pattern count; those at the end of the text may be left unmatched.
    for (qsizetype length = text.size();; --length) {
        if (matchFrom(0, text.left(length)))
            return true;
        if (length == 0 || text[length - 1] != u' ')
            return false;
    }
}

qsizetype LikePattern::position(QStringView text) const
{
    if (m_elements.empty() || m_elements.front().kind != Element::AnyRun)
        return matchFrom(0, text) ? 1 : 0;
    for (qsizetype start = 0; start <= text.size(); ++start) {
        if (matchFrom(1, text.mid(start)))
            return m_elements.size() == 1 ? 1 : start + 1;
    }
    return 0;
}

}  // namespace sqlserver
