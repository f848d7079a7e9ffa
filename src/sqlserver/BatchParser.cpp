#include "sqlserver/BatchParser.h"

#include "sqlserver/TokenTools.h"
#include "sqlserver/Translator.h"

#include <QSet>
#include <algorithm>

namespace sqlserver {

namespace {

bool startsStatement(const Token& t)
{
    static const QSet<QString> words = {
        QStringLiteral("SELECT"),  QStringLiteral("INSERT"), QStringLiteral("UPDATE"),   QStringLiteral("DELETE"),
        QStringLiteral("DECLARE"), QStringLiteral("SET"),    QStringLiteral("IF"),       QStringLiteral("ELSE"),
        QStringLiteral("BEGIN"),   QStringLiteral("END"),    QStringLiteral("EXEC"),     QStringLiteral("EXECUTE"),
        QStringLiteral("CREATE"),  QStringLiteral("ALTER"),  QStringLiteral("DROP"),     QStringLiteral("WITH"),
        QStringLiteral("COMMIT"),  QStringLiteral("ROLLBACK"), QStringLiteral("PRINT"),  QStringLiteral("RETURN"),
        QStringLiteral("TRUNCATE"), QStringLiteral("GO"),    QStringLiteral("WHILE"),    QStringLiteral("USE")};
    return t.kind == TokenKind::Word && words.contains(t.text.toUpper());
}

class Parser {
public:
    Parser(const QString& sql, Dialect dialect, SchemaInfo& schema)
        : m_tokens(tokenize(sql, dialect == Dialect::Access)), m_dialect(dialect), m_schema(schema)
    {
    }

    Batch parse()
    {
        Batch batch;
        int i = skipSeparators(0);
        while (i < size()) {
            batch.steps.push_back(step(i));
            i = skipSeparators(i);
        }
        return batch;
    }

private:
    int size() const { return int(m_tokens.size()); }

    int skipSeparators(int i) const
    {
        i = nextSignificant(m_tokens, i);
        while (i < size() && m_tokens[i].isSymbol(QLatin1String(";")))
            i = nextSignificant(m_tokens, i + 1);
        return i;
    }

    bool wordAt(int i, QLatin1StringView w) const { return i < size() && m_tokens[i].is(w); }

    QString previousWord(int i) const
    {
        const int p = previousSignificant(m_tokens, i - 1);
        return p >= 0 && m_tokens[p].kind == TokenKind::Word ? m_tokens[p].text.toUpper() : QString();
    }

    // Where the statement that starts at `begin` ends: a ";" or the next statement's first word.
    int statementEnd(int begin) const
    {
        const QString verb = m_tokens[begin].text.toUpper();
        bool insertSelect = verb == QLatin1String("INSERT");
        bool updateSet = verb == QLatin1String("UPDATE");
        bool cteStatement = verb == QLatin1String("WITH");
        int caseDepth = 0;
        for (int i = begin + 1; i < size(); ++i) {
            const Token& t = m_tokens[i];
            if (t.isSymbol(QLatin1String("("))) {
                i = matchingClose(m_tokens, i);  // nothing inside parentheses ends a statement
            } else if (t.isBlank() || t.isSymbol(QLatin1String(")"))) {
                continue;
            } else if (t.isSymbol(QLatin1String(";"))) {
                return i;
            } else if (t.is(QLatin1String("CASE"))) {
                ++caseDepth;
            } else if (t.is(QLatin1String("END")) && caseDepth > 0) {
                --caseDepth;
            } else if (t.is(QLatin1String("VALUES"))) {
                insertSelect = false;
            } else if (startsStatement(t)) {
                const QString w = t.text.toUpper();
                const QString previous = previousWord(i);
                const int next = nextSignificant(m_tokens, i + 1);
                if (w == QLatin1String("ELSE") && caseDepth > 0)
                    continue;
                if (w == QLatin1String("SELECT") && (previous == QLatin1String("UNION") || previous == QLatin1String("ALL")
                                                     || previous == QLatin1String("EXCEPT")
                                                     || previous == QLatin1String("INTERSECT")))
                    continue;
                if (w == QLatin1String("SELECT") && insertSelect) {
                    insertSelect = false;
                    continue;
                }
                if (w == QLatin1String("SET") && updateSet) {
                    updateSet = false;
                    continue;
                }
                if (w == QLatin1String("WITH") && next < size()
                    && (m_tokens[next].isSymbol(QLatin1String("(")) || m_tokens[next].is(QLatin1String("TIES"))))
                    continue;  // a table hint, WITH TIES
                if (w == QLatin1String("WITH") && verb == QLatin1String("CREATE"))
                    continue;  // CREATE INDEX .. WITH PRIMARY (Access), WITH options
                if (cteStatement && (w == QLatin1String("SELECT") || w == QLatin1String("INSERT")
                                     || w == QLatin1String("UPDATE") || w == QLatin1String("DELETE"))) {
                    cteStatement = false;
                    insertSelect = w == QLatin1String("INSERT");
                    updateSet = w == QLatin1String("UPDATE");
                    continue;
                }
                if (w == QLatin1String("SELECT") && previous == QLatin1String("AS") && verb == QLatin1String("CREATE"))
                    continue;  // CREATE VIEW v AS SELECT
                if (w == QLatin1String("IF") && (previous == QLatin1String("TABLE") || previous == QLatin1String("INDEX")
                                                 || previous == QLatin1String("VIEW")))
                    continue;  // DROP TABLE IF EXISTS
                if ((w == QLatin1String("DELETE") || w == QLatin1String("UPDATE")) && previous == QLatin1String("ON"))
                    continue;  // ON DELETE CASCADE
                if (verb == QLatin1String("ALTER") && (w == QLatin1String("ALTER") || w == QLatin1String("DROP")))
                    continue;  // ALTER TABLE t ALTER COLUMN, ALTER TABLE t DROP CONSTRAINT
                return i;
            }
        }
        return size();
    }

    std::vector<StatementPlan> translate(int begin, int end)
    {
        return translateStatement(slice(m_tokens, begin, end), TranslationContext{m_dialect, m_schema, m_variableTypes});
    }

    std::vector<StatementPlan> translate(const QString& sql)
    {
        return translateStatement(tokenize(sql, m_dialect == Dialect::Access),
                                  TranslationContext{m_dialect, m_schema, m_variableTypes});
    }

    BatchStep statements(int begin, int end)
    {
        BatchStep s;
        s.kind = BatchStep::Kind::Statements;
        s.statements = translate(begin, end);
        return s;
    }

    BatchStep simple(BatchStep::Kind kind, int& i)
    {
        BatchStep s;
        s.kind = kind;
        i = statementEnd(i);
        return s;
    }

    BatchStep dateOption(int& i, int option)
    {
        BatchStep s;
        s.kind = BatchStep::Kind::DateOption;
        s.name = m_tokens[option].text.toUpper();
        const int value = nextSignificant(m_tokens, option + 1);
        if (value < size())
            s.value = m_tokens[value].kind == TokenKind::String ? m_tokens[value].stringValue() : m_tokens[value].text;
        i = statementEnd(i);
        return s;
    }

    BatchStep step(int& i)
    {
        const Token& t = m_tokens[i];
        const int next = nextSignificant(m_tokens, i + 1);
        if (t.is(QLatin1String("DECLARE")))
            return declare(i);
        if (t.is(QLatin1String("SET")) && next < size() && m_tokens[next].kind == TokenKind::Variable)
            return setVariable(i);
        if (t.is(QLatin1String("SET")) && (wordAt(next, QLatin1String("DATEFIRST")) || wordAt(next, QLatin1String("DATEFORMAT"))))
            return dateOption(i, next);
        if (t.is(QLatin1String("SET")) && wordAt(next, QLatin1String("IDENTITY_INSERT")))
            return identityInsert(i);
        if (t.is(QLatin1String("SET")) || t.is(QLatin1String("PRINT")) || t.is(QLatin1String("GO"))
            || t.is(QLatin1String("USE")))
            return simple(BatchStep::Kind::Nothing, i);
        if (t.is(QLatin1String("SELECT")) && isSelectAssignment(next))
            return selectAssignment(i);
        if (t.is(QLatin1String("IF")))
            return condition(i);
        if (t.is(QLatin1String("BEGIN"))) {
            if (wordAt(next, QLatin1String("TRAN")) || wordAt(next, QLatin1String("TRANSACTION")))
                return simple(BatchStep::Kind::BeginTransaction, i);
            return block(i);
        }
        if (t.is(QLatin1String("COMMIT")))
            return simple(BatchStep::Kind::CommitTransaction, i);
        if (t.is(QLatin1String("ROLLBACK")))
            return simple(BatchStep::Kind::RollbackTransaction, i);
        if ((t.is(QLatin1String("EXEC")) || t.is(QLatin1String("EXECUTE"))) && next < size()
            && (m_tokens[next].isName() || m_tokens[next].kind == TokenKind::Variable))
            return procedure(i);
        const int end = statementEnd(i);
        if (t.is(QLatin1String("CREATE")) && wordAt(next, QLatin1String("DATABASE"))) {
            BatchStep s;
            s.kind = BatchStep::Kind::CreateDatabase;
            const int name = nextSignificant(m_tokens, next + 1);
            s.name = name < end ? m_tokens[name].name() : QString();
            i = end;
            return s;
        }
        BatchStep s;
        if (t.is(QLatin1String("ALTER")) && readColumnChange(slice(m_tokens, i, end), s.change)) {
            s.kind = BatchStep::Kind::ColumnChange;
            i = end;
            return s;
        }
        if (t.is(QLatin1String("ALTER")) && readConstraintDrop(slice(m_tokens, i, end), s.change.table, s.name)) {
            s.kind = BatchStep::Kind::ConstraintDrop;
            i = end;
            return s;
        }
        s = statements(i, end);
        i = end;
        return s;
    }

    // SET IDENTITY_INSERT [db.][dbo.]table ON|OFF
    BatchStep identityInsert(int& i)
    {
        BatchStep s;
        s.kind = BatchStep::Kind::IdentityInsert;
        const int end = statementEnd(i);
        const int setting = previousSignificant(m_tokens, end - 1);
        const int name = previousSignificant(m_tokens, setting - 1);
        if (name <= i || !m_tokens[name].isName()
            || !(m_tokens[setting].is(QLatin1String("ON")) || m_tokens[setting].is(QLatin1String("OFF"))))
            throw ServerError(102, QStringLiteral("Incorrect syntax near '%1'.").arg(m_tokens[std::max(setting, i)].text));
        s.name = m_tokens[name].name();
        s.on = m_tokens[setting].is(QLatin1String("ON"));
        i = end;
        return s;
    }

    // DECLARE @a [AS] type [= value], @b type ...
    BatchStep declare(int& i)
    {
        BatchStep block;
        block.kind = BatchStep::Kind::Block;
        BatchStep declaration;
        declaration.kind = BatchStep::Kind::Declare;
        std::vector<BatchStep> initial;
        int at = nextSignificant(m_tokens, i + 1);
        while (at < size() && m_tokens[at].kind == TokenKind::Variable) {
            const QString name = m_tokens[at].text.toUpper();
            int typeBegin = nextSignificant(m_tokens, at + 1);
            if (wordAt(typeBegin, QLatin1String("AS")))
                typeBegin = nextSignificant(m_tokens, typeBegin + 1);
            int typeEnd = typeBegin + 1;
            const int open = nextSignificant(m_tokens, typeEnd);
            if (open < size() && m_tokens[open].isSymbol(QLatin1String("(")))
                typeEnd = matchingClose(m_tokens, open) + 1;
            const QString type = textOf(m_tokens, typeBegin, std::min(typeEnd, size()));
            declaration.variables.push_back(name);
            declaration.types.push_back(type);
            m_variableTypes.insert(name, type);
            at = nextSignificant(m_tokens, typeEnd);
            if (at < size() && m_tokens[at].isSymbol(QLatin1String("="))) {
                const int valueEnd = expressionEnd(at + 1);
                initial.push_back(assignment({name}, QStringLiteral("SELECT ") + textOf(m_tokens, at + 1, valueEnd)));
                at = nextSignificant(m_tokens, valueEnd);
            }
            if (at < size() && m_tokens[at].isSymbol(QLatin1String(",")))
                at = nextSignificant(m_tokens, at + 1);
            else
                break;
        }
        i = at;
        block.body.push_back(declaration);
        block.body.insert(block.body.end(), initial.begin(), initial.end());
        return block;
    }

    // The end of an expression that starts at `begin`: a top-level comma, or the end of its statement.
    int expressionEnd(int begin) const
    {
        const int end = statementEnd(begin > 0 ? begin - 1 : begin);
        const std::vector<int> commas = topLevelCommas(m_tokens, begin, end);
        return commas.size() > 2 ? commas[1] : end;
    }

    BatchStep assignment(const std::vector<QString>& variables, const QString& select)
    {
        BatchStep s;
        s.kind = BatchStep::Kind::Assign;
        s.variables = variables;
        s.statements = translate(select);
        return s;
    }

    // SET @v = expression
    BatchStep setVariable(int& i)
    {
        const int variable = nextSignificant(m_tokens, i + 1);
        const int equals = nextSignificant(m_tokens, variable + 1);
        const int end = statementEnd(i);
        i = end;
        return assignment({m_tokens[variable].text.toUpper()}, QStringLiteral("SELECT ") + textOf(m_tokens, equals + 1, end));
    }

    bool isSelectAssignment(int first) const
    {
        int at = first;
        if (wordAt(at, QLatin1String("TOP"))) {
            at = nextSignificant(m_tokens, at + 1);
            if (at < size() && m_tokens[at].isSymbol(QLatin1String("(")))
                at = matchingClose(m_tokens, at);
            at = nextSignificant(m_tokens, at + 1);
        }
        const int equals = nextSignificant(m_tokens, at + 1);
        return at < size() && m_tokens[at].kind == TokenKind::Variable && equals < size()
               && m_tokens[equals].isSymbol(QLatin1String("="));
    }

    // SELECT [TOP n] @a = x, @b = y [FROM ...]: the values of the last row go to the variables.
    BatchStep selectAssignment(int& i)
    {
        const int end = statementEnd(i);
        const int from = findWordAtLevel(m_tokens, i + 1, end, {QLatin1String("FROM")});
        int listBegin = nextSignificant(m_tokens, i + 1);
        QString top;
        if (wordAt(listBegin, QLatin1String("TOP"))) {
            const int count = nextSignificant(m_tokens, listBegin + 1);
            const bool parenthesized = count < size() && m_tokens[count].isSymbol(QLatin1String("("));
            const int countEnd = std::min(parenthesized ? matchingClose(m_tokens, count) + 1 : count + 1, size());
            top = textOf(m_tokens, listBegin, countEnd) + QLatin1Char(' ');
            listBegin = countEnd;
        }
        std::vector<QString> variables;
        QStringList values;
        const std::vector<int> bounds = topLevelCommas(m_tokens, listBegin, from);
        for (size_t k = 0; k + 1 < bounds.size(); ++k) {
            const int variable = nextSignificant(m_tokens, k == 0 ? bounds[k] : bounds[k] + 1);
            const int equals = nextSignificant(m_tokens, variable + 1);
            if (equals >= bounds[k + 1] || m_tokens[variable].kind != TokenKind::Variable
                || !m_tokens[equals].isSymbol(QLatin1String("=")))
                throw ServerError(102, QStringLiteral("Incorrect syntax near '%1'.")
                                           .arg(m_tokens[variable < bounds[k + 1] ? variable : bounds[k]].text));
            variables.push_back(m_tokens[variable].text.toUpper());
            values << textOf(m_tokens, equals + 1, bounds[k + 1]);
        }
        const QString select = QStringLiteral("SELECT ") + top + values.join(QStringLiteral(", ")) + QLatin1Char(' ')
                               + (from < end ? joinTokens(slice(m_tokens, from, end)) : QString());
        i = end;
        return assignment(variables, select);
    }

    // IF condition step [ELSE step]
    BatchStep condition(int& i)
    {
        BatchStep s;
        s.kind = BatchStep::Kind::Condition;
        const int end = statementEnd(i);
        s.statements = translate(QStringLiteral("SELECT CASE WHEN ") + textOf(m_tokens, i + 1, end)
                                 + QStringLiteral(" THEN 1 ELSE 0 END"));
        i = skipSeparators(end);
        if (i < size())
            s.body.push_back(step(i));
        const int otherwise = skipSeparators(i);
        if (wordAt(otherwise, QLatin1String("ELSE"))) {
            i = skipSeparators(otherwise + 1);
            if (i < size())
                s.otherwise.push_back(step(i));
        }
        return s;
    }

    // BEGIN steps END
    BatchStep block(int& i)
    {
        BatchStep s;
        s.kind = BatchStep::Kind::Block;
        i = skipSeparators(i + 1);
        while (i < size() && !m_tokens[i].is(QLatin1String("END"))) {
            s.body.push_back(step(i));
            i = skipSeparators(i);
        }
        if (i < size())
            ++i;  // END
        return s;
    }

    // EXEC [@result =] name argument, ... (an argument may be named: @name = value; the word default is NULL)
    BatchStep procedure(int& i)
    {
        BatchStep s;
        s.kind = BatchStep::Kind::Procedure;
        int at = nextSignificant(m_tokens, i + 1);
        if (at < size() && m_tokens[at].kind == TokenKind::Variable) {
            const int equals = nextSignificant(m_tokens, at + 1);
            if (equals >= size() || !m_tokens[equals].isSymbol(QLatin1String("=")))
                throw ServerError(102, QStringLiteral("Incorrect syntax near '%1'.").arg(m_tokens[at].text));
            s.variables.push_back(m_tokens[at].text.toUpper());
            at = nextSignificant(m_tokens, equals + 1);
        }
        while (at < size() && m_tokens[at].isName()) {
            s.name = m_tokens[at].name();
            const int dot = nextSignificant(m_tokens, at + 1);
            if (dot >= size() || !m_tokens[dot].isSymbol(QLatin1String(".")))
                break;
            at = nextSignificant(m_tokens, dot + 1);
        }
        const int end = statementEnd(i);
        QStringList values;
        const std::vector<int> bounds = topLevelCommas(m_tokens, at + 1, end);
        for (size_t k = 0; k + 1 < bounds.size(); ++k) {
            const int begin = nextSignificant(m_tokens, k == 0 ? bounds[k] : bounds[k] + 1);
            if (begin >= bounds[k + 1])
                continue;
            const int equals = nextSignificant(m_tokens, begin + 1);
            int valueBegin = begin;
            QString name;
            if (m_tokens[begin].kind == TokenKind::Variable && equals < bounds[k + 1]
                && m_tokens[equals].isSymbol(QLatin1String("="))) {
                name = m_tokens[begin].text.toUpper();
                valueBegin = equals + 1;
            }
            QString value = textOf(m_tokens, valueBegin, bounds[k + 1]);
            if (value.compare(QLatin1String("default"), Qt::CaseInsensitive) == 0)
                value = QStringLiteral("NULL");
            s.argumentNames.push_back(name);
            values << value;
        }
        if (!values.isEmpty())
            s.statements = translate(QStringLiteral("SELECT ") + values.join(QStringLiteral(", ")));
        i = end;
        return s;
    }

    Tokens m_tokens;
    Dialect m_dialect;
    SchemaInfo& m_schema;
    QHash<QString, QString> m_variableTypes;
};

}  // namespace

Batch parseBatch(const QString& sql, Dialect dialect, SchemaInfo& schema)
{
    return Parser(sql, dialect, schema).parse();
}

}  // namespace sqlserver
