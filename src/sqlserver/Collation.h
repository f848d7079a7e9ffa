#pragma once
// SQL Server's collations as SQLite collating sequences. The default (SQL_Latin1_General_CP1_CI_AS) takes over
// SQLite's NOCASE on the server's connections, so that text columns declared COLLATE NOCASE compare as SQL
// Server's do and files stay readable by plain SQLite (for ASCII text the order is NOCASE's own). Other names
// (..._CS_AS, ..._CI_AI, ..._BIN, ..._BIN2, Latin1_General_...) are made when a statement first names them.
// Every collation ignores trailing blanks; CI ignores case, AS keeps accents significant, and an accented
// letter sorts after its base letter ("a" < "á" < "b").

#include <QString>
#include <QStringView>

struct sqlite3;

namespace sqlserver {

// The name of the default collation as SQLite knows it on the server's connections.
inline constexpr const char* defaultCollation = "NOCASE";

struct CollationRules {
    bool caseSensitive = false;
    bool accentSensitive = true;
    bool binary = false;
};

// The rules of a SQL Server collation name (or NOCASE); false when the name is no collation.
bool collationRulesOf(const QString& name, CollationRules& rules);

// Whether `name` is the default collation under another name (DATABASE_DEFAULT, SQL_Latin1_General_CP1_CI_AS).
bool isDefaultCollationName(const QString& name);

// Three-way comparison of UTF-8 texts under the rules (trailing blanks ignored).
int compareTexts(const CollationRules& rules, const char* a, int lengthA, const char* b, int lengthB);
int compareTexts(const CollationRules& rules, QStringView a, QStringView b);

// Whether two characters are the same under the rules, and a character's place between two others ([a-c]).
bool sameCharacter(const CollationRules& rules, char32_t a, char32_t b);
bool characterInRange(const CollationRules& rules, char32_t c, char32_t low, char32_t high);

// The position of `needle` in `haystack` at or after `from` under the default rules, -1 when absent.
qsizetype indexOfText(QStringView haystack, QStringView needle, qsizetype from = 0);

// NOCASE replaced, and the collation-needed hook that makes SQL Server's other names on demand.
void registerCollations(sqlite3* db);

}  // namespace sqlserver
