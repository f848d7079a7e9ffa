#include "sqlserver/Translator.h"

#include "sqlserver/AccessRewrites.h"
#include "sqlserver/CollationRewrites.h"
#include "sqlserver/DateLiterals.h"
#include "sqlserver/DdlRewrites.h"
#include "sqlserver/DialectRewrites.h"
#include "sqlserver/DmlRewrites.h"
#include "sqlserver/IdentityColumns.h"
#include "sqlserver/MergeRewrite.h"
#include "sqlserver/PivotRewrite.h"
#include "sqlserver/RecursionLimit.h"
#include "sqlserver/ResultShape.h"
#include "sqlserver/SelectAliases.h"
#include "sqlserver/SqliteText.h"
#include "sqlserver/StatementRewrites.h"
#include "sqlserver/TemporaryTables.h"
#include "sqlserver/TokenTools.h"
#include "sqlserver/TypedExpressions_p.h"

namespace sqlserver {

namespace {

// The statement's verb; for WITH, the verb of the statement after the common table expressions.
int verbPosition(const Tokens& tokens)
{
    const int first = nextSignificant(tokens, 0);
    if (first >= int(tokens.size()) || !tokens[first].is(QLatin1String("WITH")))
        return first;
    return findWordAtLevel(tokens, first, int(tokens.size()), {QLatin1String("SELECT"), QLatin1String("INSERT"),
                                                              QLatin1String("UPDATE"), QLatin1String("DELETE")});
}

QString insertTarget(const Tokens& tokens, int verb)
{
    int i = nextSignificant(tokens, verb + 1);
    if (i < int(tokens.size()) && (tokens[i].is(QLatin1String("INTO")) || tokens[i].is(QLatin1String("OR"))))
        i = nextSignificant(tokens, i + 1);
    while (i < int(tokens.size()) && !tokens[i].isName())
        ++i;
    return i < int(tokens.size()) ? tokens[i].name() : QString();
}

// SELECT sqlserver_spid() [[AS] name]: nothing but the session's id.
bool selectsSessionIdOnly(const Tokens& tokens)
{
    std::vector<const Token*> significant;
    for (const Token& t : tokens)
        if (!t.isBlank() && !t.isSymbol(QLatin1String(";")))
            significant.push_back(&t);
    const auto at = [&](std::size_t i) { return i < significant.size() ? significant[i] : nullptr; };
    if (significant.size() < 4 || significant.size() > 6 || !at(0)->is(QLatin1String("SELECT"))
        || !at(1)->is(QLatin1String("sqlserver_spid")) || !at(2)->isSymbol(QLatin1String("("))
        || !at(3)->isSymbol(QLatin1String(")")))
        return false;
    if (significant.size() == 4)
        return true;
    if (significant.size() == 5)
        return at(4)->isName();
    return at(4)->is(QLatin1String("AS")) && (at(5)->isName() || at(5)->kind == TokenKind::String);
}

bool isDataStatement(const Token& verb)
{
    return verb.is(QLatin1String("SELECT")) || verb.is(QLatin1String("INSERT")) || verb.is(QLatin1String("UPDATE"))
           || verb.is(QLatin1String("DELETE"));
}

}  // namespace

std::vector<StatementPlan> translateStatement(Tokens tokens, const TranslationContext& context)
{
    if (context.dialect == Dialect::Access)
        rewriteAccessDialect(tokens);
    rewriteMoneyLiterals(tokens);
    if (context.dialect == Dialect::SqlServer)
        rewriteSelectAliases(tokens);
    rewriteObjectNames(tokens);
    removeTableHints(tokens);
    rewritePivot(tokens, context.schema);
    limitRecursion(tokens);
    rewriteVariables(tokens);
    rewriteFunctions(tokens);
    rewriteRowSources(tokens);
    rewriteTop(tokens);
    const QString truncated = truncatedTable(tokens);
    rewriteInsertAndTruncate(tokens);
    const std::vector<Tokens> preludes = rewriteChangingStatements(tokens);
    std::vector<DdlStatement> statements = isMerge(tokens) ? rewriteMerge(tokens) : rewriteDdl(std::move(tokens));
    for (auto prelude = preludes.rbegin(); prelude != preludes.rend(); ++prelude)
        statements.insert(statements.begin(), DdlStatement{*prelude, true});
    std::vector<StatementPlan> plans;
    for (DdlStatement& ddl : statements) {
        Tokens& statement = ddl.tokens;
        rewriteTemporaryTables(statement);
        StatementPlan plan;
        plan.bookkeeping = ddl.bookkeeping;
        plan.addsToCount = ddl.addsToCount;
        plan.truncatedTable = truncated;
        int verb = verbPosition(statement);
        if (!plan.bookkeeping && context.dialect == Dialect::SqlServer && verb < int(statement.size())
            && statement[verb].is(QLatin1String("INSERT"))) {
            plan.insertTable = insertTarget(statement, verb);
            planIdentityInsert(statement, verb, context.schema, plan);
        }
        if (!plan.bookkeeping)
            plan.intoTable = writtenForSqlite(takeSelectInto(statement));
        plan.dateParameters = normalizeDateLiterals(statement, context.schema);
        verb = verbPosition(statement);
        std::vector<QString> selectTypes;
        const bool served = context.dialect == Dialect::SqlServer && !plan.bookkeeping;
        if (served && verb < int(statement.size()) && isDataStatement(statement[verb])) {
            applyServerTypes(statement, context.schema, context.variableTypes, selectTypes);
            verb = verbPosition(statement);
        }
        rewriteNationalStrings(statement);  // after the types: N'..' is nvarchar
        if (verb < int(statement.size())) {
            plan.verb = statement[verb].text.toUpper();
            if (plan.verb == QLatin1String("REPLACE"))
                plan.verb = QStringLiteral("INSERT");
            if (plan.verb == QLatin1String("INSERT"))
                plan.insertTable = insertTarget(statement, verb);
            if (!plan.intoTable.isEmpty()) {
                plan.columnTypes = selectTypes;
            } else if (plan.verb == QLatin1String("SELECT") && verb == nextSignificant(statement, 0)) {
                shapeResult(statement, plan, context.schema, context.variableTypes);
                for (size_t k = 0; k < selectTypes.size() && k < plan.columnTypes.size(); ++k) {
                    if (plan.columnTypes[k].isEmpty())
                        plan.columnTypes[k] = selectTypes[k];
                }
                plan.sessionIdOnly = selectsSessionIdOnly(statement);
            }
            const int object = nextSignificant(statement, verb + 1);
            const bool view = plan.verb == QLatin1String("CREATE") && object < int(statement.size())
                              && statement[object].is(QLatin1String("VIEW"));
            const bool dml = plan.verb == QLatin1String("SELECT") || plan.verb == QLatin1String("INSERT")
                             || plan.verb == QLatin1String("UPDATE") || plan.verb == QLatin1String("DELETE");
            if (served && (dml || view))
                applyCollations(statement);
        }
        writeForSqlite(statement);
        plan.sql = joinTokens(statement);
        plans.push_back(std::move(plan));
    }
    return plans;
}

}  // namespace sqlserver
