#include "sqlserver/Collation.h"

#include <sqlite3.h>

#include <QStringList>
#include <array>
#include <cstring>

namespace sqlserver {

namespace {

struct Weight {
    char32_t primary = 0;    // the letter without case or accent
    char32_t secondary = 0;  // 0 for the base letter, else the accented letter (lower case)
    bool upper = false;
};

constexpr char32_t tableSize = 0x250;       // Latin letters with their accents
constexpr char32_t otherLetters = 0x10000;  // letters that are none of ASCII's sort after them

char32_t foldedPrimary(char32_t c)
{
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + 32 : c;
    if (c > 0xFFFF)
        return otherLetters + c;
    return otherLetters + QChar::toCaseFolded(c);
}

char32_t baseLetter(char32_t c)
{
    // Letters with a stroke have no decomposition, yet sort as their letter with a mark.
    static const char32_t stroked[][2] = {{0xD8, 'O'},  {0xF8, 'o'},  {0xD0, 'D'},  {0xF0, 'd'},
                                          {0x110, 'D'}, {0x111, 'd'}, {0x141, 'L'}, {0x142, 'l'},
                                          {0x126, 'H'}, {0x127, 'h'}, {0x166, 'T'}, {0x167, 't'}};
    for (const auto& [letter, base] : stroked) {
        if (c == letter)
            return base;
    }
    for (;;) {
        const QString decomposition = QChar(char16_t(c)).decomposition();
        if (decomposition.isEmpty() || QChar(char16_t(c)).decompositionTag() != QChar::Canonical)
            return c;
        c = decomposition.at(0).unicode();
    }
}

const std::array<Weight, tableSize>& latinWeights()
{
    static const std::array<Weight, tableSize> table = [] {
        std::array<Weight, tableSize> t{};
        for (char32_t c = 0; c < tableSize; ++c) {
            const char32_t base = c < 0x80 ? c : baseLetter(c);
            t[c].primary = foldedPrimary(base);
            t[c].secondary = base == c ? 0 : QChar::toLower(c);
            t[c].upper = QChar::toLower(c) != c;
        }
        return t;
    }();
    return table;
}

Weight weightOf(char32_t c)
{
    if (c < tableSize)
        return latinWeights()[c];
    return Weight{foldedPrimary(c), 0, c <= 0xFFFF && QChar::toLower(c) != c};
}

constexpr unsigned char asciiFolded(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}

// One character of UTF-8 text; a byte that starts no character stands for itself.
char32_t nextCharacter(const unsigned char*& p, const unsigned char* end)
{
    const unsigned char lead = *p++;
    if (lead < 0x80)
        return lead;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (extra == 0 || end - p < extra)
        return lead;
    char32_t c = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return lead;
        c = (c << 6) | (p[i] & 0x3F);
    }
    p += extra;
    return c;
}

int withoutTrailingBlanks(const char* text, int length)
{
    while (length > 0 && text[length - 1] == ' ')
        --length;
    return length;
}

int sign(long long v)
{
    return v < 0 ? -1 : v > 0 ? 1 : 0;
}

int compareWithRules(void* rules, int lengthA, const void* a, int lengthB, const void* b)
{
    return compareTexts(*static_cast<const CollationRules*>(rules), static_cast<const char*>(a), lengthA,
                        static_cast<const char*>(b), lengthB);
}

const CollationRules* sharedRules(const CollationRules& rules)
{
    static const std::array<CollationRules, 8> all = [] {
        std::array<CollationRules, 8> r{};
        for (int k = 0; k < 8; ++k)
            r[k] = CollationRules{(k & 1) != 0, (k & 2) != 0, (k & 4) != 0};
        return r;
    }();
    return &all[(rules.caseSensitive ? 1 : 0) | (rules.accentSensitive ? 2 : 0) | (rules.binary ? 4 : 0)];
}

void makeNeededCollation(void*, sqlite3* db, int, const char* name)
{
    CollationRules rules;
    if (collationRulesOf(QString::fromUtf8(name), rules))
        sqlite3_create_collation_v2(db, name, SQLITE_UTF8, const_cast<CollationRules*>(sharedRules(rules)),
                                    compareWithRules, nullptr);
}

}  // namespace

bool collationRulesOf(const QString& name, CollationRules& rules)
{
    const QStringList parts = name.toUpper().split(QLatin1Char('_'));
    if (isDefaultCollationName(name) || name.compare(QLatin1String("NOCASE"), Qt::CaseInsensitive) == 0) {
        rules = CollationRules{};
        return true;
    }
    if (parts.size() < 2)
        return false;
    rules = CollationRules{};
    if (parts.last() == QLatin1String("BIN") || parts.last() == QLatin1String("BIN2")) {
        rules.binary = rules.caseSensitive = true;
        return true;
    }
    if (!parts.contains(QLatin1String("CI")) && !parts.contains(QLatin1String("CS")))
        return false;
    rules.caseSensitive = parts.contains(QLatin1String("CS"));
    rules.accentSensitive = !parts.contains(QLatin1String("AI"));
    return true;
}

bool isDefaultCollationName(const QString& name)
{
    return name.compare(QLatin1String("DATABASE_DEFAULT"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("SQL_Latin1_General_CP1_CI_AS"), Qt::CaseInsensitive) == 0;
}

int compareTexts(const CollationRules& rules, const char* a, int lengthA, const char* b, int lengthB)
{
    lengthA = withoutTrailingBlanks(a, lengthA);
    lengthB = withoutTrailingBlanks(b, lengthB);
    if (rules.binary) {
        const int common = std::memcmp(a, b, size_t(std::min(lengthA, lengthB)));
        return common != 0 ? sign(common) : sign(lengthA - lengthB);
    }
    auto* p = reinterpret_cast<const unsigned char*>(a);
    auto* q = reinterpret_cast<const unsigned char*>(b);
    const unsigned char* endP = p + lengthA;
    const unsigned char* endQ = q + lengthB;
    // Letters first; the first accent and then the first case that differ decide between equal letters.
    int accent = 0, letterCase = 0;
    while (p != endP && q != endQ) {
        const unsigned char x = *p, y = *q;
        if ((x | y) < 0x80) {
            // ASCII: the letter without case is its weight (the table's, without looking it up).
            ++p;
            ++q;
            if (x == y)
                continue;
            const unsigned char fx = asciiFolded(x), fy = asciiFolded(y);
            if (fx != fy)
                return fx < fy ? -1 : 1;
            if (letterCase == 0)
                letterCase = fx != x ? 1 : -1;
            continue;
        }
        const Weight wx = weightOf(nextCharacter(p, endP));
        const Weight wy = weightOf(nextCharacter(q, endQ));
        if (wx.primary != wy.primary)
            return wx.primary < wy.primary ? -1 : 1;
        if (accent == 0 && wx.secondary != wy.secondary)
            accent = wx.secondary < wy.secondary ? -1 : 1;
        if (letterCase == 0 && wx.upper != wy.upper)
            letterCase = wx.upper ? 1 : -1;
    }
    if (p != endP || q != endQ)
        return p != endP ? 1 : -1;
    if (rules.accentSensitive && accent != 0)
        return accent;
    return rules.caseSensitive ? letterCase : 0;
}

int compareTexts(const CollationRules& rules, QStringView a, QStringView b)
{
    const QByteArray x = a.toUtf8(), y = b.toUtf8();
    return compareTexts(rules, x.constData(), int(x.size()), y.constData(), int(y.size()));
}

bool sameCharacter(const CollationRules& rules, char32_t a, char32_t b)
{
    if (a == b)
        return true;
    if (rules.binary)
        return false;
    const Weight x = weightOf(a), y = weightOf(b);
    return x.primary == y.primary && (!rules.accentSensitive || x.secondary == y.secondary) &&
           (!rules.caseSensitive || x.upper == y.upper);
}

bool characterInRange(const CollationRules& rules, char32_t c, char32_t low, char32_t high)
{
    if (rules.binary)
        return c >= low && c <= high;
    const auto key = [&rules](char32_t x) {
        const Weight w = weightOf(x);
        return std::array<char32_t, 3>{w.primary, rules.accentSensitive ? w.secondary : 0,
                                       rules.caseSensitive ? char32_t(w.upper) : 0};
    };
    return key(low) <= key(c) && key(c) <= key(high);
}

qsizetype indexOfText(QStringView haystack, QStringView needle, qsizetype from)
{
    const CollationRules rules;
    for (qsizetype i = std::max<qsizetype>(from, 0); i + needle.size() <= haystack.size(); ++i) {
        qsizetype k = 0;
        while (k < needle.size() && sameCharacter(rules, haystack[i + k].unicode(), needle[k].unicode()))
            ++k;
        if (k == needle.size())
            return i;
    }
    return -1;
}

void registerCollations(sqlite3* db)
{
    // SQLite 3.40's Bloom filters on automatic indexes hash a text's bytes: texts equal under a collation but
    // not byte for byte ("a " and "A") would lose their join rows.
    constexpr int bloomFilter = 0x00080000;
    sqlite3_test_control(SQLITE_TESTCTRL_OPTIMIZATIONS, db, bloomFilter);
    sqlite3_create_collation_v2(db, defaultCollation, SQLITE_UTF8, const_cast<CollationRules*>(sharedRules({})),
                                compareWithRules, nullptr);
    sqlite3_collation_needed(db, nullptr, makeNeededCollation);
}

}  // namespace sqlserver
