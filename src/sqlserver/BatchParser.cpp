#include "sqlserver/BatchParser.h"

#include "sqlserver/SqliteText.h"
#include "sqlserver/TemporaryTables.h"
#include "sqlserver/TokenTools.h"
#include "sqlserver/Translator.h"

#include <QSet>
#include <algorithm>

namespace sqlserver {

namespace {

// Words that begin a statement only where no expression goes on (not after an operator or a comma).
bool startsStatementAfterExpression(const Token& t)
{
    static const QSet<QString> words = {
        QStringLiteral("BREAK"), QStringLiteral("CONTINUE"), QStringLiteral("THROW"),  QStringLiteral("RAISERROR"),
        QStringLiteral("OPEN"),  QStringLiteral("FETCH"),    QStringLiteral("CLOSE"),  QStringLiteral("DEALLOCATE"),
        QStringLiteral("SAVE"),  QStringLiteral("GOTO"),     QStringLiteral("WAITFOR")};
    return t.kind == TokenKind::Word && words.contains(t.text.toUpper());
}

bool startsStatement(const Token& t)
{
    static const QSet<QString> words = {
        QStringLiteral("SELECT"),  QStringLiteral("INSERT"), QStringLiteral("UPDATE"),   QStringLiteral("DELETE"),
        QStringLiteral("DECLARE"), QStringLiteral("SET"),    QStringLiteral("IF"),       QStringLiteral("ELSE"),
        QStringLiteral("BEGIN"),   QStringLiteral("END"),    QStringLiteral("EXEC"),     QStringLiteral("EXECUTE"),
        QStringLiteral("CREATE"),  QStringLiteral("ALTER"),  QStringLiteral("DROP"),     QStringLiteral("WITH"),
        QStringLiteral("COMMIT"),  QStringLiteral("ROLLBACK"), QStringLiteral("PRINT"),  QStringLiteral("RETURN"),
        QStringLiteral("TRUNCATE"), QStringLiteral("MERGE"), QStringLiteral("GO"),    QStringLiteral("WHILE"),    QStringLiteral("USE")};
    return t.kind == TokenKind::Word && words.contains(t.text.toUpper());
}

class Parser {
public:
    Parser(const QString& sql, Dialect dialect, SchemaInfo& schema, const BatchScope& scope)
        : m_tokens(tokenize(sql, dialect == Dialect::Access)), m_dialect(dialect), m_schema(schema),
          m_variableTypes(scope.variableTypes), m_depth(scope.depth), m_tableVariables(scope.tableVariables)
    {
        m_lines.reserve(m_tokens.size() + 1);
        int line = scope.firstLine;
        for (const Token& t : m_tokens) {
            m_lines.push_back(line);
            if (t.kind == TokenKind::Space || t.kind == TokenKind::Comment || t.kind == TokenKind::String)
                line += int(t.text.count(QLatin1Char('\n')));
        }
        m_lines.push_back(line);
    }

    Batch parse()
    {
        checkTerminated(m_tokens);
        Batch batch;
        int i = skipSeparators(0);
        while (i < size()) {
            batch.steps.push_back(step(i));
            i = skipSeparators(i);
            // What follows a change of the schema is translated once the change is made (SQL Server resolves
            // names late too): a table created above is known to the statements below.
            if (i < size() && changesSchema(batch.steps.back())) {
                BatchStep rest;
                rest.kind = BatchStep::Kind::Rest;
                rest.name = joinTokens(slice(m_tokens, i, size()));
                rest.scope = std::make_shared<BatchScope>(
                    BatchScope{m_variableTypes, m_tableVariables, m_depth, m_lines[size_t(i)]});
                batch.steps.push_back(std::move(rest));
                break;
            }
        }
        if (batch.steps.empty() || batch.steps.back().kind != BatchStep::Kind::Rest)  // the rest may hold the label
            checkLabels(batch.steps);
        return batch;
    }

private:
    int size() const { return int(m_tokens.size()); }

    // MERGE holds INSERT, UPDATE and DELETE of its own: only its ";" (which SQL Server requires) ends it.
    int mergeEnd(int begin) const
    {
        for (int i = begin + 1; i < size(); ++i) {
            if (m_tokens[i].isSymbol(QLatin1String("(")))
                i = matchingClose(m_tokens, i);
            else if (m_tokens[i].isSymbol(QLatin1String(";")))
                return i;
        }
        return size();
    }

    static bool changesSchema(const BatchStep& s)
    {
        if (s.kind == BatchStep::Kind::ColumnChange || s.kind == BatchStep::Kind::ConstraintDrop
            || s.kind == BatchStep::Kind::DeclareTable)
            return true;
        return s.kind == BatchStep::Kind::Statements && !s.statements.empty()
               && (s.statements[0].verb == QLatin1String("CREATE") || s.statements[0].verb == QLatin1String("ALTER")
                   || s.statements[0].verb == QLatin1String("DROP") || !s.statements[0].intoTable.isEmpty());
    }

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
        if (verb == QLatin1String("MERGE"))
            return mergeEnd(begin);
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
            } else if (isLabel(i)) {
                return i;
            } else if (startsStatementAfterExpression(t)) {
                const int p = previousSignificant(m_tokens, i - 1);
                const QString previous = previousWord(i);
                const bool afterExpression = p >= 0 && m_tokens[p].kind == TokenKind::Symbol
                                             && !m_tokens[p].isSymbol(QLatin1String(")"));
                if (afterExpression || (t.is(QLatin1String("FETCH")) && (previous == QLatin1String("ROWS")
                                                                         || previous == QLatin1String("ROW")))
                    || (t.is(QLatin1String("SAVE")) && !wordAt(nextSignificant(m_tokens, i + 1), QLatin1String("TRAN"))
                        && !wordAt(nextSignificant(m_tokens, i + 1), QLatin1String("TRANSACTION"))))
                    continue;
                return i;
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
                    && (m_tokens[next].isSymbol(QLatin1String("(")) || m_tokens[next].is(QLatin1String("TIES"))
                        || m_tokens[next].is(QLatin1String("ROLLUP")) || m_tokens[next].is(QLatin1String("CUBE"))))
                    continue;  // a table hint, WITH TIES, WITH ROLLUP
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

    std::vector<StatementPlan> translate(int begin, int end) { return translate(slice(m_tokens, begin, end)); }

    std::vector<StatementPlan> translate(const QString& sql) { return translate(tokenize(sql, m_dialect == Dialect::Access)); }

    // Table variables become their temporary tables.
    std::vector<StatementPlan> translate(Tokens tokens)
    {
        useTableVariables(tokens);
        return translateStatement(std::move(tokens), TranslationContext{m_dialect, m_schema, m_variableTypes});
    }

    void useTableVariables(Tokens& tokens) const
    {
        for (int k = 0; k < int(tokens.size()); ++k) {
            Token& t = tokens[k];
            if (t.kind != TokenKind::Variable)
                continue;
            const auto table = m_tableVariables.constFind(t.text.toUpper());
            if (table != m_tableVariables.constEnd()) {
                t = makeToken(TokenKind::QuotedName, quoteName(*table));
                continue;
            }
            const int previous = previousSignificant(tokens, k - 1);
            if (previous >= 0 && (tokens[previous].is(QLatin1String("FROM")) || tokens[previous].is(QLatin1String("JOIN"))
                                  || tokens[previous].is(QLatin1String("INTO")) || tokens[previous].is(QLatin1String("UPDATE"))
                                  || tokens[previous].is(QLatin1String("DELETE"))))
                throw ServerError(1087, QStringLiteral("Must declare the table variable \"%1\".").arg(t.text));
        }
    }

    bool isLabel(int i) const
    {
        const int colon = nextSignificant(m_tokens, i + 1);
        return m_tokens[i].kind == TokenKind::Word && colon == i + 1 && colon < size()
               && m_tokens[colon].isSymbol(QLatin1String(":"));
    }

    [[noreturn]] void syntaxError(int at) const
    {
        throw ServerError(102, QStringLiteral("Incorrect syntax near '%1'.")
                                   .arg(at < size() ? m_tokens[at].text : m_tokens.empty() ? QString() : m_tokens.back().text));
    }

    void checkLabels(const std::vector<BatchStep>& steps)
    {
        for (const BatchStep& s : steps) {
            if (s.kind == BatchStep::Kind::Goto && !m_labels.contains(s.name.toUpper()))
                throw ServerError(133, QStringLiteral("A GOTO statement references the label '%1' but the label has not "
                                                      "been declared.").arg(s.name));
            checkLabels(s.body);
            checkLabels(s.otherwise);
        }
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
        const int line = m_lines[size_t(i)];
        BatchStep s = stepAt(i);
        s.line = line;
        if (s.kind == BatchStep::Kind::Block) {
            for (BatchStep& inner : s.body)  // the steps a DECLARE made
                inner.line = std::max(inner.line, line);
        }
        return s;
    }

    BatchStep stepAt(int& i)
    {
        const Token& t = m_tokens[i];
        const int next = nextSignificant(m_tokens, i + 1);
        if (isLabel(i)) {
            BatchStep s;
            s.kind = BatchStep::Kind::Label;
            s.name = t.text;
            if (m_labels.contains(s.name.toUpper()))
                throw ServerError(132, QStringLiteral("The label '%1' has already been declared. Label names must be "
                                                      "unique within a query batch or stored procedure.").arg(s.name));
            m_labels.insert(s.name.toUpper());
            i = next + 1;
            return s;
        }
        if (t.is(QLatin1String("DECLARE")))
            return declare(i);
        if (t.is(QLatin1String("SET")) && next < size() && m_tokens[next].kind == TokenKind::Variable)
            return setVariable(i);
        if (t.is(QLatin1String("SET")) && (wordAt(next, QLatin1String("DATEFIRST")) || wordAt(next, QLatin1String("DATEFORMAT"))))
            return dateOption(i, next);
        if (t.is(QLatin1String("SET")) && wordAt(next, QLatin1String("IDENTITY_INSERT")))
            return identityInsert(i);
        if (t.is(QLatin1String("SET")) && wordAt(next, QLatin1String("XACT_ABORT"))) {
            BatchStep s = simple(BatchStep::Kind::XactAbort, i);
            s.on = wordAt(nextSignificant(m_tokens, next + 1), QLatin1String("ON"));
            return s;
        }
        if (t.is(QLatin1String("GO"))) {
            m_variableTypes.clear();
            m_tableVariables.clear();
            m_labels.clear();
            return simple(BatchStep::Kind::Go, i);
        }
        if (t.is(QLatin1String("SET")) || t.is(QLatin1String("USE")))
            return simple(BatchStep::Kind::Nothing, i);
        if (t.is(QLatin1String("WAITFOR"))) {
            if (!wordAt(next, QLatin1String("DELAY")) && !wordAt(next, QLatin1String("TIME")))
                syntaxError(next);
            BatchStep s = evaluated(BatchStep::Kind::Wait, i, next + 1);
            s.name = m_tokens[next].text.toUpper();
            return s;
        }
        if (t.is(QLatin1String("PRINT")))
            return evaluated(BatchStep::Kind::Print, i, i + 1);
        if (t.is(QLatin1String("SELECT")) && isSelectAssignment(next))
            return selectAssignment(i);
        if (t.is(QLatin1String("IF")))
            return condition(i, BatchStep::Kind::Condition);
        if (t.is(QLatin1String("WHILE")))
            return condition(i, BatchStep::Kind::Loop);
        if (t.is(QLatin1String("BREAK")))
            return simple(BatchStep::Kind::Break, i);
        if (t.is(QLatin1String("CONTINUE")))
            return simple(BatchStep::Kind::Continue, i);
        if (t.is(QLatin1String("RETURN")))
            return simple(BatchStep::Kind::Return, i);
        if (t.is(QLatin1String("GOTO"))) {
            BatchStep s;
            s.kind = BatchStep::Kind::Goto;
            if (next >= size() || !m_tokens[next].isName())
                syntaxError(next);
            s.name = m_tokens[next].name();
            i = next + 1;
            return s;
        }
        if (t.is(QLatin1String("BEGIN"))) {
            if (wordAt(next, QLatin1String("TRAN")) || wordAt(next, QLatin1String("TRANSACTION")))
                return transaction(BatchStep::Kind::BeginTransaction, i);
            if (wordAt(next, QLatin1String("TRY")))
                return tryCatch(i);
            return block(i);
        }
        if (t.is(QLatin1String("COMMIT")))
            return transaction(BatchStep::Kind::CommitTransaction, i);
        if (t.is(QLatin1String("ROLLBACK")))
            return transaction(BatchStep::Kind::RollbackTransaction, i);
        if (t.is(QLatin1String("SAVE")))
            return transaction(BatchStep::Kind::SaveTransaction, i);
        if (t.is(QLatin1String("THROW")))
            return throwStatement(i);
        if (t.is(QLatin1String("RAISERROR")))
            return raiseError(i);
        if ((t.is(QLatin1String("EXEC")) || t.is(QLatin1String("EXECUTE"))) && next < size()
            && m_tokens[next].isSymbol(QLatin1String("(")))
            return executeText(i);
        if ((t.is(QLatin1String("EXEC")) || t.is(QLatin1String("EXECUTE"))) && next < size()
            && (m_tokens[next].isName() || m_tokens[next].kind == TokenKind::Variable))
            return procedure(i);
        if (t.is(QLatin1String("OPEN")))
            return cursorStep(BatchStep::Kind::OpenCursor, i);
        if (t.is(QLatin1String("CLOSE")))
            return cursorStep(BatchStep::Kind::CloseCursor, i);
        if (t.is(QLatin1String("DEALLOCATE")))
            return cursorStep(BatchStep::Kind::DeallocateCursor, i);
        if (t.is(QLatin1String("FETCH")))
            return fetch(i);
        const int end = statementEnd(i);
        if (t.is(QLatin1String("INSERT")) && (wordAt(end, QLatin1String("EXEC")) || wordAt(end, QLatin1String("EXECUTE")))) {
            BatchStep s;
            s.kind = BatchStep::Kind::InsertExec;
            Tokens insert = slice(m_tokens, i, end);
            useTableVariables(insert);
            s.name = joinTokens(insert);
            i = end;
            s.body.push_back(step(i));
            return s;
        }
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

    // PRINT expression, WAITFOR DELAY expression: statements[0] gives its value.
    BatchStep evaluated(BatchStep::Kind kind, int& i, int expression)
    {
        BatchStep s;
        s.kind = kind;
        const int end = statementEnd(i);
        if (nextSignificant(m_tokens, expression) >= end)
            syntaxError(end);
        s.statements = translate(QStringLiteral("SELECT ") + textOf(m_tokens, expression, end));
        i = end;
        return s;
    }

    // BEGIN TRAN[SACTION] [name], COMMIT|ROLLBACK [TRAN[SACTION]|WORK] [name], SAVE TRAN[SACTION] name
    BatchStep transaction(BatchStep::Kind kind, int& i)
    {
        BatchStep s;
        s.kind = kind;
        const int end = statementEnd(i);
        int at = nextSignificant(m_tokens, i + 1);
        if (wordAt(at, QLatin1String("TRAN")) || wordAt(at, QLatin1String("TRANSACTION")) || wordAt(at, QLatin1String("WORK")))
            at = nextSignificant(m_tokens, at + 1);
        if (at < end && (m_tokens[at].isName() || m_tokens[at].kind == TokenKind::Variable))
            s.name = m_tokens[at].name();
        if (kind == BatchStep::Kind::SaveTransaction && s.name.isEmpty())
            syntaxError(at);
        i = end;
        return s;
    }

    // BEGIN TRY steps END TRY BEGIN CATCH steps END CATCH
    BatchStep tryCatch(int& i)
    {
        BatchStep s;
        s.kind = BatchStep::Kind::TryCatch;
        i = blockUntil(nextSignificant(m_tokens, i + 1) + 1, QLatin1String("TRY"), s.body);
        const int begin = skipSeparators(i);
        const int catchWord = nextSignificant(m_tokens, begin + 1);
        if (!wordAt(begin, QLatin1String("BEGIN")) || !wordAt(catchWord, QLatin1String("CATCH")))
            syntaxError(begin);
        i = blockUntil(catchWord + 1, QLatin1String("CATCH"), s.otherwise);
        return s;
    }

    // Steps from `from` to END `word`; returns the position after it.
    int blockUntil(int from, QLatin1StringView word, std::vector<BatchStep>& into)
    {
        int i = skipSeparators(from);
        while (i < size() && !(m_tokens[i].is(QLatin1String("END")) && wordAt(nextSignificant(m_tokens, i + 1), word))) {
            into.push_back(step(i));
            i = skipSeparators(i);
        }
        if (i >= size())
            syntaxError(i);
        return nextSignificant(m_tokens, i + 1) + 1;
    }

    // THROW [number, message, state]
    BatchStep throwStatement(int& i)
    {
        BatchStep s;
        s.kind = BatchStep::Kind::Throw;
        const int end = statementEnd(i);
        if (nextSignificant(m_tokens, i + 1) < end)
            s.statements = translate(QStringLiteral("SELECT ") + textOf(m_tokens, i + 1, end));
        i = end;
        return s;
    }

    // RAISERROR (message, severity, state [, argument ...]) [WITH LOG | NOWAIT | SETERROR, ...]
    BatchStep raiseError(int& i)
    {
        BatchStep s;
        s.kind = BatchStep::Kind::RaiseError;
        const int open = nextSignificant(m_tokens, i + 1);
        if (open >= size() || !m_tokens[open].isSymbol(QLatin1String("(")))
            syntaxError(open);
        const int close = matchingClose(m_tokens, open);
        s.statements = translate(QStringLiteral("SELECT ") + textOf(m_tokens, open + 1, close));
        i = nextSignificant(m_tokens, close + 1);
        if (wordAt(i, QLatin1String("WITH"))) {
            QStringList options;
            for (i = nextSignificant(m_tokens, i + 1); i < size(); i = nextSignificant(m_tokens, i + 1)) {
                if (m_tokens[i].is(QLatin1String("LOG")) || m_tokens[i].is(QLatin1String("NOWAIT"))
                    || m_tokens[i].is(QLatin1String("SETERROR")))
                    options << m_tokens[i].text.toUpper();
                else if (!m_tokens[i].isSymbol(QLatin1String(",")))
                    break;
            }
            s.name = options.join(QLatin1Char(','));
        } else {
            i = std::min(close + 1, size());
        }
        return s;
    }

    // EXEC (text [+ text ...])
    BatchStep executeText(int& i)
    {
        BatchStep s;
        s.kind = BatchStep::Kind::Execute;
        const int open = nextSignificant(m_tokens, i + 1);
        const int close = matchingClose(m_tokens, open);
        s.statements = translate(QStringLiteral("SELECT ") + textOf(m_tokens, open + 1, close));
        i = std::min(close + 1, size());
        return s;
    }

    // OPEN|CLOSE|DEALLOCATE [GLOBAL] name
    BatchStep cursorStep(BatchStep::Kind kind, int& i)
    {
        BatchStep s;
        s.kind = kind;
        int at = nextSignificant(m_tokens, i + 1);
        if (wordAt(at, QLatin1String("GLOBAL")))
            at = nextSignificant(m_tokens, at + 1);
        s.name = cursorName(at);
        i = at + 1;
        return s;
    }

    // A cursor's name, or a cursor variable's (@NAME).
    QString cursorName(int at) const
    {
        if (at < size() && m_tokens[at].kind == TokenKind::Variable)
            return m_tokens[at].text.toUpper();
        if (at >= size() || !m_tokens[at].isName())
            syntaxError(at);
        return m_tokens[at].name();
    }

    // FETCH [NEXT | PRIOR | FIRST | LAST | ABSOLUTE n | RELATIVE n] [FROM] [GLOBAL] name [INTO @a, ...]
    BatchStep fetch(int& i)
    {
        BatchStep s;
        s.kind = BatchStep::Kind::FetchCursor;
        s.fetch = QStringLiteral("NEXT");
        int at = nextSignificant(m_tokens, i + 1);
        for (const char* how : {"NEXT", "PRIOR", "FIRST", "LAST"}) {
            if (wordAt(at, QLatin1String(how))) {
                s.fetch = QLatin1String(how);
                at = nextSignificant(m_tokens, at + 1);
            }
        }
        if (wordAt(at, QLatin1String("ABSOLUTE")) || wordAt(at, QLatin1String("RELATIVE"))) {
            s.fetch = m_tokens[at].text.toUpper();
            const int from = findWordAtLevel(m_tokens, at + 1, size(), {QLatin1String("FROM")});
            s.statements = translate(QStringLiteral("SELECT ") + textOf(m_tokens, at + 1, from));
            at = from;
        }
        if (wordAt(at, QLatin1String("FROM")))
            at = nextSignificant(m_tokens, at + 1);
        if (wordAt(at, QLatin1String("GLOBAL")))
            at = nextSignificant(m_tokens, at + 1);
        s.name = cursorName(at);
        i = at + 1;
        int into = nextSignificant(m_tokens, i);
        if (wordAt(into, QLatin1String("INTO"))) {
            for (at = nextSignificant(m_tokens, into + 1); at < size() && m_tokens[at].kind == TokenKind::Variable;) {
                s.variables.push_back(m_tokens[at].text.toUpper());
                i = at + 1;
                const int comma = nextSignificant(m_tokens, at + 1);
                if (comma >= size() || !m_tokens[comma].isSymbol(QLatin1String(",")))
                    break;
                at = nextSignificant(m_tokens, comma + 1);
            }
        }
        return s;
    }

    // DECLARE name [INSENSITIVE] [SCROLL] CURSOR [options] FOR select [FOR READ ONLY | FOR UPDATE [OF columns]]
    BatchStep declareCursor(int at, int& i)
    {
        BatchStep s;
        s.kind = BatchStep::Kind::DeclareCursor;
        s.name = m_tokens[at].name();
        int selectBegin = size();
        for (int k = nextSignificant(m_tokens, at + 1); k < size(); k = nextSignificant(m_tokens, k + 1)) {
            if (m_tokens[k].is(QLatin1String("FOR"))) {
                selectBegin = nextSignificant(m_tokens, k + 1);
                break;
            }
            if (m_tokens[k].kind != TokenKind::Word)
                syntaxError(k);
            if (!m_tokens[k].is(QLatin1String("CURSOR")))
                s.cursorOptions << m_tokens[k].text.toUpper();
        }
        if (selectBegin >= size())
            syntaxError(selectBegin);
        int end = statementEnd(selectBegin);
        const int forClause = findWordAtLevel(m_tokens, selectBegin, end, {QLatin1String("FOR")});
        s.statements = translate(selectBegin, forClause);
        if (wordAt(end, QLatin1String("UPDATE")) && previousWord(end) == QLatin1String("FOR")) {
            end = nextSignificant(m_tokens, end + 1);
            if (wordAt(end, QLatin1String("OF"))) {
                do
                    end = nextSignificant(m_tokens, nextSignificant(m_tokens, end + 1) + 1);
                while (end < size() && m_tokens[end].isSymbol(QLatin1String(",")));
            }
        }
        i = end;
        return s;
    }

    // DECLARE @a [AS] type [= value], @b type ...; DECLARE @t TABLE (...); DECLARE c CURSOR ...
    BatchStep declare(int& i)
    {
        BatchStep block;
        block.kind = BatchStep::Kind::Block;
        BatchStep declaration;
        declaration.kind = BatchStep::Kind::Declare;
        std::vector<BatchStep> initial;
        int at = nextSignificant(m_tokens, i + 1);
        if (at < size() && m_tokens[at].isName())
            return declareCursor(at, i);
        while (at < size() && m_tokens[at].kind == TokenKind::Variable) {
            const QString name = m_tokens[at].text.toUpper();
            if (m_variableTypes.contains(name))
                throw ServerError(134, QStringLiteral("The variable name '%1' has already been declared. Variable "
                                                      "names must be unique within a query batch or stored "
                                                      "procedure.").arg(m_tokens[at].text));
            int typeBegin = nextSignificant(m_tokens, at + 1);
            if (wordAt(typeBegin, QLatin1String("AS")))
                typeBegin = nextSignificant(m_tokens, typeBegin + 1);
            if (wordAt(typeBegin, QLatin1String("TABLE")))
                return declareTable(name, typeBegin, i);
            if (wordAt(typeBegin, QLatin1String("CURSOR"))) {  // a cursor variable: SET @c = CURSOR FOR ..
                m_variableTypes.insert(name, QStringLiteral("CURSOR"));
                at = nextSignificant(m_tokens, typeBegin + 1);
                if (at < size() && m_tokens[at].isSymbol(QLatin1String(","))) {
                    at = nextSignificant(m_tokens, at + 1);
                    continue;
                }
                break;
            }
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

    // DECLARE @t TABLE (columns and constraints): a temporary table of the batch.
    BatchStep declareTable(const QString& name, int tableWord, int& i)
    {
        const int open = nextSignificant(m_tokens, tableWord + 1);
        if (open >= size() || !m_tokens[open].isSymbol(QLatin1String("(")))
            syntaxError(open);
        const int close = matchingClose(m_tokens, open);
        BatchStep s;
        s.kind = BatchStep::Kind::DeclareTable;
        s.name = tableVariableTable(name, m_depth);
        s.statements = translate(QStringLiteral("CREATE TABLE ") + quoteName(s.name) + QLatin1Char(' ')
                                 + textOf(m_tokens, open, close + 1));
        m_variableTypes.insert(name, QStringLiteral("TABLE"));
        m_tableVariables.insert(name, s.name);
        i = std::min(close + 1, size());
        return s;
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

    // The operator of a compound assignment (@v += x) whose "=" is at `equals`, or "".
    QString compoundOperator(int variable, int equals) const
    {
        const int op = nextSignificant(m_tokens, variable + 1);
        static const QSet<QString> operators = {QStringLiteral("+"), QStringLiteral("-"), QStringLiteral("*"),
                                                QStringLiteral("/"), QStringLiteral("%"), QStringLiteral("&"),
                                                QStringLiteral("|"), QStringLiteral("^")};
        if (op + 1 != equals || m_tokens[op].kind != TokenKind::Symbol || !operators.contains(m_tokens[op].text))
            return QString();
        return m_tokens[op].text;
    }

    // Where the "=" of an assignment to the variable at `variable` is (after the operator of a compound one).
    int assignmentEquals(int variable) const
    {
        int at = nextSignificant(m_tokens, variable + 1);
        if (at < size() && m_tokens[at].kind == TokenKind::Symbol && !m_tokens[at].isSymbol(QLatin1String("="))
            && at + 1 < size() && m_tokens[at + 1].isSymbol(QLatin1String("=")))
            ++at;
        return at;
    }

    // The value a (compound) assignment gives: `value`, or `@v op (value)`.
    static QString assignedValue(const QString& variable, const QString& op, const QString& value)
    {
        if (op.isEmpty())
            return value;
        if (op == QLatin1String("^"))  // SQLite has no exclusive or
            return QStringLiteral("((%1 | (%2)) - (%1 & (%2)))").arg(variable, value);
        return QStringLiteral("%1 %2 (%3)").arg(variable, op, value);
    }

    // SET @v = expression, SET @v += expression, ...
    BatchStep setVariable(int& i)
    {
        const int variable = nextSignificant(m_tokens, i + 1);
        const int equals = assignmentEquals(variable);
        if (equals >= size() || !m_tokens[equals].isSymbol(QLatin1String("=")))
            syntaxError(equals);
        if (wordAt(nextSignificant(m_tokens, equals + 1), QLatin1String("CURSOR"))) {
            BatchStep s = declareCursor(equals, i);
            s.name = m_tokens[variable].text.toUpper();
            s.cursorOptions << QStringLiteral("LOCAL");
            return s;
        }
        const int end = statementEnd(i);
        i = end;
        const QString name = m_tokens[variable].text.toUpper();
        return assignment({name}, QStringLiteral("SELECT ")
                                      + assignedValue(name, compoundOperator(variable, equals), textOf(m_tokens, equals + 1, end)));
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
        const int equals = assignmentEquals(at);
        return at < size() && m_tokens[at].kind == TokenKind::Variable && equals < size()
               && m_tokens[equals].isSymbol(QLatin1String("="));
    }

    // SELECT [TOP n] @a = x, @b += y [FROM ...]: the values of the last row go to the variables; when a value
    // reads an assigned variable (SELECT @s = @s + name FROM t), row by row.
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
        bool readsAssigned = false;
        const std::vector<int> bounds = topLevelCommas(m_tokens, listBegin, from);
        for (size_t k = 0; k + 1 < bounds.size(); ++k) {
            const int variable = nextSignificant(m_tokens, k == 0 ? bounds[k] : bounds[k] + 1);
            const int equals = assignmentEquals(variable);
            if (equals >= bounds[k + 1] || m_tokens[variable].kind != TokenKind::Variable
                || !m_tokens[equals].isSymbol(QLatin1String("=")))
                syntaxError(variable < bounds[k + 1] ? variable : bounds[k]);
            const QString name = m_tokens[variable].text.toUpper();
            variables.push_back(name);
            const QString op = compoundOperator(variable, equals);
            values << assignedValue(name, op, textOf(m_tokens, equals + 1, bounds[k + 1]));
            readsAssigned = readsAssigned || !op.isEmpty();
        }
        for (int k = listBegin; k < from && !readsAssigned; ++k) {
            const int equals = assignmentEquals(k);
            readsAssigned = m_tokens[k].kind == TokenKind::Variable && !(equals < from && m_tokens[equals].isSymbol(QLatin1String("=")))
                            && std::find(variables.begin(), variables.end(), m_tokens[k].text.toUpper()) != variables.end();
        }
        const QString select = QStringLiteral("SELECT ") + top + values.join(QStringLiteral(", ")) + QLatin1Char(' ')
                               + (from < end ? joinTokens(slice(m_tokens, from, end)) : QString());
        i = end;
        if (!readsAssigned)
            return assignment(variables, select);
        BatchStep s = assignment(variables, select);
        s.kind = BatchStep::Kind::AssignRows;
        for (StatementPlan& plan : s.statements)
            plan.sql = assigningRowByRow(plan.sql, variables);
        return s;
    }

    // The select list of a translated SELECT, each value assigned as the row is made: sqlserver_assign(n, value),
    // the variables it reads as sqlserver_variable(n).
    QString assigningRowByRow(const QString& sql, const std::vector<QString>& variables)
    {
        Tokens tokens = tokenize(inSortedOrder(sql));
        const int select = findWordAtLevel(tokens, 0, int(tokens.size()), {QLatin1String("SELECT")});
        const int from = findWordAtLevel(tokens, select + 1, int(tokens.size()), {QLatin1String("FROM")});
        const std::vector<int> bounds = topLevelCommas(tokens, select + 1, from);
        for (int k = int(bounds.size()) - 2; k >= 0; --k) {
            if (k >= int(variables.size()))
                continue;
            const int begin = k == 0 ? bounds[size_t(k)] : bounds[size_t(k)] + 1;
            Tokens value = slice(tokens, begin, bounds[size_t(k) + 1]);
            value.resize(size_t(findWordAtLevel(value, 0, int(value.size()), {QLatin1String("AS")})));  // the column's name
            for (Token& t : value) {
                const auto at = std::find(variables.begin(), variables.end(), t.text.toUpper());
                if (t.kind == TokenKind::Variable && at != variables.end())
                    t = makeToken(TokenKind::Word, QStringLiteral("sqlserver_variable(%1)").arg(at - variables.begin()));
            }
            replaceRange(tokens, begin, bounds[size_t(k) + 1],
                         tokensOf(QStringLiteral(" sqlserver_assign(%1, %2) ").arg(k).arg(joinTokens(value))));
        }
        return joinTokens(tokens);
    }

    // SQLite computes a select list before it sorts: a SELECT of one table that assigns row by row in an order
    // reads the table's rows through their rowids, sorted first (SELECT @s = @s + c FROM t ORDER BY c).
    QString inSortedOrder(const QString& sql)
    {
        const Tokens tokens = tokenize(sql);
        const int n = int(tokens.size());
        const int from = findWordAtLevel(tokens, 0, n, {QLatin1String("FROM")});
        const int order = findWordAtLevel(tokens, from, n, {QLatin1String("ORDER")});
        const int sourceEnd = findWordAtLevel(tokens, from + 1, n, {QLatin1String("WHERE"), QLatin1String("GROUP"),
                                                                   QLatin1String("ORDER"), QLatin1String("LIMIT")});
        const int table = nextSignificant(tokens, from + 1);
        if (order >= n || findWordAtLevel(tokens, from, n, {QLatin1String("GROUP")}) < n || table >= sourceEnd
            || !tokens[table].isName() || !m_schema.isRowidTable(tokens[table].name()))
            return sql;
        int alias = nextSignificant(tokens, table + 1);
        if (alias < sourceEnd && tokens[alias].is(QLatin1String("AS")))
            alias = nextSignificant(tokens, alias + 1);
        if (alias < sourceEnd && (!tokens[alias].isName() || nextSignificant(tokens, alias + 1) < sourceEnd))
            return sql;  // a join
        const QString source = textOf(tokens, table, sourceEnd);
        const QString name = alias < sourceEnd ? tokens[alias].text : tokens[table].text;
        QString rest = textOf(tokens, from + 1, n);
        if (rest.endsWith(QLatin1Char(';')))
            rest.chop(1);
        const bool limited = findWordAtLevel(tokens, from, n, {QLatin1String("LIMIT")}) < n;
        return textOf(tokens, 0, from) + QStringLiteral(" FROM (SELECT %1.rowid AS sqlserver_row FROM %2%3) AS sqlserver_sorted "
                                                        "CROSS JOIN %4 WHERE %1.rowid = sqlserver_sorted.sqlserver_row")
                                             .arg(name, rest, limited ? QString() : QStringLiteral(" LIMIT -1 OFFSET 0"), source);
    }

    // IF condition step [ELSE step]; WHILE condition step
    BatchStep condition(int& i, BatchStep::Kind kind)
    {
        BatchStep s;
        s.kind = kind;
        const int end = statementEnd(i);
        s.statements = translate(QStringLiteral("SELECT CASE WHEN ") + textOf(m_tokens, i + 1, end)
                                 + QStringLiteral(" THEN 1 ELSE 0 END"));
        i = skipSeparators(end);
        if (i < size())
            s.body.push_back(step(i));
        if (kind == BatchStep::Kind::Loop)
            return s;
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
            int valueEnd = bounds[k + 1];
            const int last = previousSignificant(m_tokens, valueEnd - 1);
            const bool output = last > valueBegin && (m_tokens[last].is(QLatin1String("OUTPUT")) || m_tokens[last].is(QLatin1String("OUT")));
            if (output)
                valueEnd = last;
            QString value = textOf(m_tokens, valueBegin, valueEnd);
            if (value.compare(QLatin1String("default"), Qt::CaseInsensitive) == 0)
                value = QStringLiteral("NULL");
            s.argumentNames.push_back(name);
            s.outputs.push_back(output ? value.toUpper() : QString());
            values << value;
        }
        if (!values.isEmpty())
            s.statements = translate(QStringLiteral("SELECT ") + values.join(QStringLiteral(", ")));
        i = end;
        return s;
    }

    Tokens m_tokens;
    std::vector<int> m_lines;  // the line of each token
    Dialect m_dialect;
    SchemaInfo& m_schema;
    QHash<QString, QString> m_variableTypes;
    int m_depth;
    QHash<QString, QString> m_tableVariables;  // @NAME -> its temporary table
    QSet<QString> m_labels;
};

}  // namespace

Batch parseBatch(const QString& sql, Dialect dialect, SchemaInfo& schema, const BatchScope& scope)
{
    return Parser(sql, dialect, schema, scope).parse();
}

}  // namespace sqlserver
