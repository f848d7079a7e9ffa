#include "sqlserver/DdlRewrites.h"

#include "sqlserver/IdentityColumns.h"
#include "sqlserver/Session.h"
#include "sqlserver/TokenTools.h"

namespace sqlserver {

namespace {

// Significant tokens from `from`: the words the DDL forms are recognised by.
std::vector<int> significant(const Tokens& tokens, int from = 0)
{
    std::vector<int> positions;
    for (int i = from; i < int(tokens.size()); ++i) {
        if (!tokens[i].isBlank())
            positions.push_back(i);
    }
    return positions;
}

bool isWordAt(const Tokens& tokens, const std::vector<int>& at, size_t k, QLatin1StringView w)
{
    return k < at.size() && tokens[at[k]].is(w);
}

bool isConstraintWord(const Token& t)
{
    for (const char* w : {"NOT", "NULL", "PRIMARY", "DEFAULT", "IDENTITY", "CONSTRAINT", "UNIQUE", "CHECK",
                          "REFERENCES", "COLLATE", "COUNTER", "AUTOINCREMENT"}) {
        if (t.is(QLatin1String(w)))
            return true;
    }
    return false;
}

// SQLite takes a column without a type; SQL Server refuses it. Access's COUNTER is a type of its own.
void requireType(const Tokens& column)
{
    const int name = nextSignificant(column, 0);
    if (name == int(column.size()) || !column[name].isName() || isConstraintWord(column[name])
        || column[name].is(QLatin1String("FOREIGN")))
        return;  // a table constraint
    const int type = nextSignificant(column, name + 1);
    if (type == int(column.size())
        || (isConstraintWord(column[type]) && !column[type].is(QLatin1String("COUNTER"))
            && !column[type].is(QLatin1String("AUTOINCREMENT"))))
        throw ServerError(173, QStringLiteral("The definition for column '%1' must include a data type.")
                                   .arg(column[name].name()));
}

// A column of a sized type, CHAR(10): the type's word in upper case and the size; empty for any other.
QString sizedType(const Tokens& column, QString& size)
{
    const int name = nextSignificant(column, 0);
    const int type = nextSignificant(column, name + 1);
    if (type >= int(column.size()) || column[type].kind != TokenKind::Word)
        return {};
    static const QStringList sized = {QStringLiteral("CHAR"),   QStringLiteral("VARCHAR"), QStringLiteral("NCHAR"),
                                      QStringLiteral("NVARCHAR"), QStringLiteral("BINARY"), QStringLiteral("VARBINARY")};
    const QString word = column[type].text.toUpper();
    if (!sized.contains(word))
        return {};
    const int open = nextSignificant(column, type + 1);
    const int number = nextSignificant(column, open + 1);
    const int close = nextSignificant(column, number + 1);
    if (close >= int(column.size()) || !column[open].isSymbol(QLatin1String("(")) || column[number].kind != TokenKind::Number
        || !column[close].isSymbol(QLatin1String(")")) || column[number].text.toLongLong() <= 0)
        return {};
    size = column[number].text;
    return word;
}

// A column of a sized text or binary type gets the CHECK that holds values to the size.
void addLengthCheck(Tokens& column)
{
    QString size;
    const QString word = sizedType(column, size);
    if (word.isEmpty())
        return;
    const QString name = quoteName(column[nextSignificant(column, 0)].name());
    const QString value = word.endsWith(QLatin1String("BINARY")) ? name : QStringLiteral("rtrim(%1, ' ')").arg(name);
    const Tokens check = tokensOf(QStringLiteral(" CONSTRAINT %1 CHECK (length(%2) <= %3)").arg(lengthCheckName, value, size));
    column.insert(column.end(), check.begin(), check.end());
}

// A sized text column's value as SQL Server keeps it: char(n) padded with blanks to n, varchar(n) without the
// blanks past n (the CHECK has refused anything else). "[c] = .."; empty for other columns.
QString fittedValue(const Tokens& column)
{
    QString size;
    const QString word = sizedType(column, size);
    const QString name = word.isEmpty() ? QString() : quoteName(column[nextSignificant(column, 0)].name());
    if (word == QLatin1String("CHAR") || word == QLatin1String("NCHAR"))
        return QStringLiteral("%1 = CASE WHEN length(%1) < %2 THEN %1 || printf('%*s', %2 - length(%1), '') ELSE %1 END")
            .arg(name, size);
    if (word == QLatin1String("VARCHAR") || word == QLatin1String("NVARCHAR"))
        return QStringLiteral("%1 = CASE WHEN length(%1) > %2 THEN substr(%1, 1, %2) ELSE %1 END").arg(name, size);
    return {};
}

// The triggers that keep sized text columns as SQL Server does, after INSERT and after UPDATE of them.
std::vector<DdlStatement> fittingTriggers(const QString& table, const std::vector<Tokens>& pieces)
{
    QStringList fits, columns;
    for (const Tokens& piece : pieces) {
        const QString fit = fittedValue(piece);
        if (!fit.isEmpty()) {
            fits << fit;
            columns << quoteName(piece[nextSignificant(piece, 0)].name());
        }
    }
    if (fits.isEmpty())
        return {};
    const QString body = QStringLiteral("BEGIN UPDATE %1 SET %2 WHERE rowid = NEW.rowid; END")
                             .arg(quoteName(table), fits.join(QStringLiteral(", ")));
    return {{tokensOf(QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 %3")
                          .arg(quoteName(QStringLiteral("sys_fit_") + table), quoteName(table), body)),
             true},
            {tokensOf(QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE OF %2 ON %3 %4")
                          .arg(quoteName(QStringLiteral("sys_fit_update_") + table), columns.join(QStringLiteral(", ")),
                               quoteName(table), body)),
             true}};
}

// One column definition [begin, end): an IDENTITY or COUNTER column becomes SQLite's AUTOINCREMENT key.
Tokens rewriteColumnDefinition(const Tokens& tokens, int begin, int end)
{
    Tokens column = slice(tokens, begin, end);
    requireType(column);
    addLengthCheck(column);
    int identity = -1;
    for (int i = 0; i < int(column.size()); ++i) {
        if (column[i].is(QLatin1String("IDENTITY")) || column[i].is(QLatin1String("COUNTER"))
            || column[i].is(QLatin1String("AUTOINCREMENT")))
            identity = i;
    }
    if (identity < 0 || column[identity].is(QLatin1String("AUTOINCREMENT")))
        return column;
    int identityEnd = identity + 1;
    const int open = nextSignificant(column, identityEnd);
    if (open < int(column.size()) && column[open].isSymbol(QLatin1String("(")))
        identityEnd = matchingClose(column, open) + 1;
    replaceRange(column, identity, identityEnd, tokensOf(QStringLiteral("PRIMARY KEY AUTOINCREMENT")));
    // The type (the tokens between the name and the first constraint word) becomes INTEGER.
    const int name = nextSignificant(column, 0);
    const int typeBegin = nextSignificant(column, name + 1);
    int typeEnd = typeBegin;
    while (typeEnd < int(column.size()) && !isConstraintWord(column[typeEnd]))
        ++typeEnd;
    replaceRange(column, typeBegin, typeEnd, tokensOf(QStringLiteral("INTEGER ")));
    return column;
}

void removeStorageWords(Tokens& tokens)
{
    for (int i = 0; i < int(tokens.size()); ++i) {
        if (tokens[i].is(QLatin1String("CLUSTERED")) || tokens[i].is(QLatin1String("NONCLUSTERED"))) {
            tokens.erase(tokens.begin() + i--);
        } else if (tokens[i].is(QLatin1String("ON")) || tokens[i].is(QLatin1String("TEXTIMAGE_ON"))) {
            const int group = nextSignificant(tokens, i + 1);
            if (group < int(tokens.size()) && tokens[group].isName()
                && tokens[group].name().compare(QLatin1String("PRIMARY"), Qt::CaseInsensitive) == 0
                && (tokens[group].kind == TokenKind::QuotedName || nextSignificant(tokens, group + 1) == int(tokens.size()))) {
                tokens.erase(tokens.begin() + i, tokens.begin() + group + 1);
                --i;
            }
        } else if (tokens[i].isSymbol(QLatin1String("("))) {
            const int max = nextSignificant(tokens, i + 1);
            const int close = nextSignificant(tokens, max + 1);
            if (max < int(tokens.size()) && tokens[max].is(QLatin1String("MAX")) && close < int(tokens.size())
                && tokens[close].isSymbol(QLatin1String(")")))
                tokens[max] = makeToken(TokenKind::Number, QStringLiteral("-1"));
        }
    }
}

bool startsTableConstraint(const Tokens& piece)
{
    const int first = nextSignificant(piece, 0);
    if (first >= int(piece.size()))
        return false;
    for (const char* w : {"CONSTRAINT", "PRIMARY", "UNIQUE", "CHECK", "FOREIGN"}) {
        if (piece[first].is(QLatin1String(w)))
            return true;
    }
    return false;
}

// The column a table constraint [CONSTRAINT n] PRIMARY KEY (c [ASC|DESC]) makes the key; empty for any other.
QString primaryKeyColumn(const Tokens& piece)
{
    const int primary = findWordAtLevel(piece, 0, int(piece.size()), {QLatin1String("PRIMARY")});
    if (primary >= int(piece.size()))
        return {};
    const int open = findAtLevel(piece, primary, int(piece.size()), [](const Token& t) { return t.isSymbol(QLatin1String("(")); });
    if (open >= int(piece.size()))
        return {};
    const int close = matchingClose(piece, open);
    const int name = nextSignificant(piece, open + 1);
    if (name >= close || !piece[name].isName() || topLevelCommas(piece, open + 1, close).size() != 2)
        return {};
    return piece[name].name();
}

// IDENTITY[(seed, increment)] at `at`: the token after it, the numbers into `spec`.
int readIdentity(const Tokens& column, int at, IdentitySpec& spec)
{
    const int open = nextSignificant(column, at + 1);
    if (open >= int(column.size()) || !column[open].isSymbol(QLatin1String("(")))
        return at + 1;
    const int close = matchingClose(column, open);
    const std::vector<int> bounds = topLevelCommas(column, open + 1, close);
    bool seedRead = false, incrementRead = false;
    if (bounds.size() == 3) {
        spec.seed = textOf(column, bounds[0], bounds[1]).remove(QLatin1Char(' ')).toLongLong(&seedRead);
        spec.increment = textOf(column, bounds[1] + 1, bounds[2]).remove(QLatin1Char(' ')).toLongLong(&incrementRead);
    }
    if (!seedRead || !incrementRead || spec.increment == 0)
        throw ServerError(102, QStringLiteral("Incorrect syntax near '%1'.").arg(textOf(column, open, close + 1)));
    return std::min(close + 1, int(column.size()));
}

// An IDENTITY column: its definition without IDENTITY, NULL, NOT NULL and PRIMARY KEY, and its numbering.
Tokens identityColumn(const Tokens& column, int identity, IdentitySpec& spec, bool& key)
{
    const int name = nextSignificant(column, 0);
    spec.column = column[name].name();
    const int typeBegin = nextSignificant(column, name + 1);
    int typeEnd = typeBegin;
    while (typeEnd < int(column.size()) && !isConstraintWord(column[typeEnd]))
        ++typeEnd;
    QString type = textOf(column, typeBegin, typeEnd);
    Tokens rest = slice(column, typeEnd, int(column.size()));
    const int identityEnd = readIdentity(column, identity, spec) - typeEnd;
    rest.erase(rest.begin() + (identity - typeEnd), rest.begin() + identityEnd);
    for (int i = 0; i < int(rest.size()); ++i) {
        int end = i;
        if (rest[i].is(QLatin1String("NOT"))) {
            end = nextSignificant(rest, i + 1) + 1;
        } else if (rest[i].is(QLatin1String("NULL"))) {
            end = i + 1;
        } else if (rest[i].is(QLatin1String("PRIMARY")) || rest[i].is(QLatin1String("CONSTRAINT"))) {
            const int primary =
                rest[i].is(QLatin1String("CONSTRAINT")) ? nextSignificant(rest, nextSignificant(rest, i + 1) + 1) : i;
            if (primary >= int(rest.size()) || !rest[primary].is(QLatin1String("PRIMARY")))
                continue;
            key = true;
            end = nextSignificant(rest, primary + 1) + 1;  // KEY
            const int order = nextSignificant(rest, end);
            if (order < int(rest.size()) && (rest[order].is(QLatin1String("ASC")) || rest[order].is(QLatin1String("DESC"))))
                end = order + 1;
        }
        if (end > i) {
            rest.erase(rest.begin() + i, rest.begin() + std::min(end, int(rest.size())));
            --i;
        }
    }
    // Only INTEGER is SQLite's rowid: a key numbered by the trigger keeps a rowid of its own.
    if (type.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
        type = QStringLiteral("INT");
    Tokens rebuilt = slice(column, 0, typeBegin);
    const Tokens typeTokens = tokensOf(type + QLatin1Char(' '));
    rebuilt.insert(rebuilt.end(), typeTokens.begin(), typeTokens.end());
    rebuilt.insert(rebuilt.end(), rest.begin(), rest.end());
    return rebuilt;
}

std::vector<DdlStatement> rewriteCreateTable(Tokens tokens, int open)
{
    const int close = matchingClose(tokens, open);
    const std::vector<int> bounds = topLevelCommas(tokens, open + 1, close);
    std::vector<Tokens> pieces;
    for (size_t k = 0; k + 1 < bounds.size(); ++k)
        pieces.push_back(slice(tokens, k == 0 ? bounds[k] : bounds[k] + 1, bounds[k + 1]));

    // The identity column, and whether it is the key (there or in a table constraint).
    IdentitySpec spec;
    int identityPiece = -1;
    bool key = false;
    int keyConstraint = -1;
    for (int k = 0; k < int(pieces.size()); ++k) {
        if (startsTableConstraint(pieces[k]))
            continue;
        const int identity = findWordAtLevel(pieces[k], 0, int(pieces[k].size()), {QLatin1String("IDENTITY")});
        if (identity >= int(pieces[k].size()))
            continue;
        requireType(pieces[k]);
        if (identityPiece >= 0)
            throw ServerError(2744, QStringLiteral("Multiple identity columns specified for table '%1'. Only one "
                                                   "identity column per table is allowed.").arg(tokens[previousSignificant(tokens, open - 1)].name()));
        identityPiece = k;
        pieces[k] = identityColumn(pieces[k], identity, spec, key);
    }
    bool otherKey = false;
    if (identityPiece >= 0) {
        for (int k = 0; k < int(pieces.size()); ++k) {
            if (k == identityPiece
                || findWordAtLevel(pieces[k], 0, int(pieces[k].size()), {QLatin1String("PRIMARY")}) == int(pieces[k].size()))
                continue;
            if (startsTableConstraint(pieces[k]) && primaryKeyColumn(pieces[k]).compare(spec.column, Qt::CaseInsensitive) == 0)
                keyConstraint = k;
            else
                otherKey = true;
        }
    }
    // SQLite's own numbering serves a column counted up by one from a seed of 1 or more that is the key, or may
    // be (no other key: the program's tables declare their identity alone and have it serve as their key).
    const bool sqliteNumbers = !otherKey && spec.increment == 1 && spec.seed >= 1;
    if (identityPiece >= 0) {
        Tokens& column = pieces[identityPiece];
        const int name = nextSignificant(column, 0);
        const int typeBegin = nextSignificant(column, name + 1);
        int typeEnd = typeBegin;
        while (typeEnd < int(column.size()) && !isConstraintWord(column[typeEnd]))
            ++typeEnd;
        if (sqliteNumbers) {
            replaceRange(column, typeBegin, typeEnd, tokensOf(QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT ")));
            if (keyConstraint >= 0)
                pieces.erase(pieces.begin() + keyConstraint);
        } else if (key) {
            const Tokens primary = tokensOf(QStringLiteral(" PRIMARY KEY"));
            column.insert(column.begin() + typeEnd, primary.begin(), primary.end());
        }
    }

    Tokens rebuilt = slice(tokens, 0, open + 1);
    for (size_t k = 0; k < pieces.size(); ++k) {
        if (k > 0)
            rebuilt.push_back(symbol(QStringLiteral(",")));
        const Tokens column = rewriteColumnDefinition(pieces[k], 0, int(pieces[k].size()));
        rebuilt.insert(rebuilt.end(), column.begin(), column.end());
    }
    const Tokens tail = slice(tokens, close, int(tokens.size()));
    rebuilt.insert(rebuilt.end(), tail.begin(), tail.end());
    std::vector<DdlStatement> statements{{rebuilt}};
    const QString table = tokens[previousSignificant(tokens, open - 1)].name();
    for (DdlStatement& trigger : fittingTriggers(table, pieces))
        statements.push_back(std::move(trigger));
    if (identityPiece < 0 || (sqliteNumbers && spec.seed == 1))
        return statements;

    spec.table = table;
    statements.push_back({tokensOf(identityColumnsDefinition()), true});
    statements.push_back({tokensOf(identityRecord(spec)), true});
    if (sqliteNumbers)
        statements.push_back({tokensOf(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (%1, %2)")
                                           .arg(quoteString(spec.table)).arg(spec.seed - 1)),
                              true});
    else
        statements.push_back({tokensOf(identityTrigger(spec)), true});
    return statements;
}

std::vector<Tokens> rewriteAlterTable(const Tokens& tokens, const std::vector<int>& at)
{
    // at: ALTER TABLE t ADD|DROP ...
    const QString table = textOf(tokens, at[2], at[2] + 1);
    if (!isWordAt(tokens, at, 3, QLatin1String("ADD")))
        return {tokens};
    if (isWordAt(tokens, at, 4, QLatin1String("CONSTRAINT")) && at.size() > 6) {
        // ADD CONSTRAINT n PRIMARY KEY (cols) | UNIQUE (cols): a unique index of that name.
        const QString name = tokens[at[5]].text;
        size_t k = 6;
        while (k < at.size() && !tokens[at[k]].isSymbol(QLatin1String("(")))
            ++k;
        if (k == at.size() || (!isWordAt(tokens, at, 6, QLatin1String("PRIMARY")) && !isWordAt(tokens, at, 6, QLatin1String("UNIQUE"))))
            return {tokens};
        const int close = matchingClose(tokens, at[k]);
        return {tokensOf(QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 %3").arg(name, table, textOf(tokens, at[k], close + 1)))};
    }
    // ADD [COLUMN] a type .., b type ..: one statement per column.
    size_t first = isWordAt(tokens, at, 4, QLatin1String("COLUMN")) ? 5 : 4;
    if (first >= at.size())
        return {tokens};
    const std::vector<int> bounds = topLevelCommas(tokens, at[first], int(tokens.size()));
    std::vector<Tokens> statements;
    for (size_t k = 0; k + 1 < bounds.size(); ++k) {
        Tokens statement = tokensOf(QStringLiteral("ALTER TABLE ") + table + QStringLiteral(" ADD COLUMN "));
        const Tokens column = rewriteColumnDefinition(tokens, k == 0 ? bounds[k] : bounds[k] + 1, bounds[k + 1]);
        statement.insert(statement.end(), column.begin(), column.end());
        statements.push_back(statement);
    }
    return statements;
}

}  // namespace

std::vector<DdlStatement> rewriteDdl(Tokens tokens)
{
    const std::vector<int> at = significant(tokens);
    if (at.size() < 3)
        return {{tokens}};
    const Token& verb = tokens[at[0]];
    if (verb.is(QLatin1String("DROP")) && isWordAt(tokens, at, 1, QLatin1String("INDEX"))) {
        // DROP INDEX n ON t | DROP INDEX t.n
        QString name = tokens[at[2]].text;
        if (at.size() > 4 && tokens[at[3]].isSymbol(QLatin1String(".")))
            name = tokens[at[4]].text;
        return {{tokensOf(QStringLiteral("DROP INDEX ") + name)}};
    }
    if (!verb.is(QLatin1String("CREATE")) && !verb.is(QLatin1String("ALTER")))
        return {{tokens}};
    removeStorageWords(tokens);
    const std::vector<int> words = significant(tokens);
    if (verb.is(QLatin1String("ALTER")) && isWordAt(tokens, words, 1, QLatin1String("TABLE")) && words.size() > 4) {
        std::vector<DdlStatement> statements;
        for (Tokens& statement : rewriteAlterTable(tokens, words))
            statements.push_back({std::move(statement)});
        return statements;
    }
    if (isWordAt(tokens, words, 1, QLatin1String("TABLE"))) {
        for (int i : words) {
            if (tokens[i].isSymbol(QLatin1String("(")))
                return rewriteCreateTable(tokens, i);
        }
        return {{tokens}};
    }
    // CREATE [UNIQUE] INDEX .. (cols) [WITH PRIMARY | WITH (options)]: the index alone.
    if (!isWordAt(tokens, words, 1, QLatin1String("INDEX")) && !isWordAt(tokens, words, 2, QLatin1String("INDEX")))
        return {{tokens}};
    const int with = findWordAtLevel(tokens, 0, int(tokens.size()), {QLatin1String("WITH")});
    if (with < int(tokens.size()))
        tokens.erase(tokens.begin() + with, tokens.end());
    return {{tokens}};
}

bool readConstraintDrop(const Tokens& tokens, QString& table, QString& constraint)
{
    const std::vector<int> at = significant(tokens);
    if (at.size() != 6 || !tokens[at[0]].is(QLatin1String("ALTER")) || !isWordAt(tokens, at, 1, QLatin1String("TABLE"))
        || !isWordAt(tokens, at, 3, QLatin1String("DROP")) || !isWordAt(tokens, at, 4, QLatin1String("CONSTRAINT")))
        return false;
    table = tokens[at[2]].name();
    constraint = tokens[at[5]].name();
    return true;
}

bool readColumnChange(const Tokens& tokens, ColumnChange& change)
{
    const std::vector<int> at = significant(tokens);
    if (at.size() < 7 || !tokens[at[0]].is(QLatin1String("ALTER")) || !isWordAt(tokens, at, 1, QLatin1String("TABLE")))
        return false;
    size_t name = 5;
    if (isWordAt(tokens, at, 3, QLatin1String("ADD")) && !isWordAt(tokens, at, 4, QLatin1String("CONSTRAINT"))) {
        name = isWordAt(tokens, at, 4, QLatin1String("COLUMN")) ? 5 : 4;
        change.added = true;
    } else if (!isWordAt(tokens, at, 3, QLatin1String("ALTER")) || !isWordAt(tokens, at, 4, QLatin1String("COLUMN"))) {
        return false;
    }
    if (name + 1 >= at.size())
        return false;
    change.table = tokens[at[2]].name();
    change.column = tokens[at[name]].name();
    int typeEnd = int(tokens.size());
    const int nullWord = findWordAtLevel(tokens, at[name + 1], int(tokens.size()), {QLatin1String("NOT"), QLatin1String("NULL")});
    if (nullWord < int(tokens.size())) {
        typeEnd = nullWord;
        change.notNull = tokens[nullWord].is(QLatin1String("NOT"));
    }
    Tokens type = slice(tokens, at[name + 1], typeEnd);
    removeStorageWords(type);  // VARCHAR(MAX)
    change.type = textOf(type, 0, int(type.size()));
    if (change.added) {
        // Only a lone NOT NULL column without a default, which SQLite cannot add; ADD runs everything else.
        const int other = findWordAtLevel(tokens, at[name + 1], int(tokens.size()),
                                          {QLatin1String("DEFAULT"), QLatin1String("IDENTITY"), QLatin1String("COUNTER"),
                                           QLatin1String("PRIMARY"), QLatin1String("UNIQUE"), QLatin1String("CHECK"),
                                           QLatin1String("REFERENCES"), QLatin1String("CONSTRAINT")});
        if (!change.notNull || other < int(tokens.size()) || topLevelCommas(tokens, at[name], int(tokens.size())).size() > 2
            || nextSignificant(tokens, nextSignificant(tokens, nullWord + 1) + 1) < int(tokens.size()))
            return false;
    }
    return !change.type.isEmpty();
}

}  // namespace sqlserver
