#pragma once
// The typed expression tree of one statement and the parser that builds it (ExpressionParser.cpp), the rules
// that type and rewrite its operations (ExpressionRules.cpp) and the walk through the statement's clauses and
// scopes (TypedExpressions.cpp). See TypedExpressions_p.h.

#include "sqlserver/ExpressionTypes_p.h"
#include "sqlserver/SchemaInfo.h"
#include "sqlserver/TokenTools.h"

#include <QHash>
#include <optional>
#include <vector>

namespace sqlserver {

// Words that end an expression, a table's name or its alias.
bool isReserved(const Token& t);
// A column's type from its declared type.
ExprType columnOfDeclared(const QString& declared);
// Whether a value of type `value` assigned to a column of type `target` is converted first.
bool needsAssignmentConversion(const ExprType& target, const ExprType& value);

// A select-list item: its name (alias or column; empty for an unnamed expression or *) and type.
struct SelectItem {
    QString name;
    ExprType type;
};

struct TableRef {
    QString table;  // a table of the schema; empty for a derived table or a common table expression
    QString alias;
    std::vector<SelectItem> columns;  // of a derived table or common table expression
    bool open = false;                // ... that has columns it cannot name (SELECT *)
};

struct Scope {
    const Scope* outer = nullptr;
    std::vector<TableRef> tables;
    std::vector<TableRef> commonTables;  // WITH name AS (...): by name, for the statement and its subqueries
    const TableRef* commonTable(const QString& name) const;
};

enum class Op { Add = 1, Subtract, Multiply, Divide, Modulo };

struct Node {
    int first = 0;
    int last = -1;
    std::vector<int> kids;       // in the order of the text
    std::vector<QString> parts;  // a rewritten node: parts[0] kid0 parts[1] kid1 ... (empty: the tokens)
    QString text;                // a subquery's rewritten text
    ExprType type;
    bool changed = false;
};

class ExpressionTyper {
public:
    ExpressionTyper(const Tokens& tokens, SchemaInfo& schema, const QHash<QString, QString>& variables)
        : m_t(tokens), m_schema(schema), m_variables(variables)
    {}

    // The text of statement [begin, end) with its expressions rewritten; `changed` tells whether any was.
    // `singleValue`: a scalar subquery, whose one value is checked (512 for several rows).
    QString statement(int begin, int end, const Scope* outer, std::vector<SelectItem>* selectItems, bool& changed,
                      bool singleValue = false);

private:
    struct Edit {
        int begin;
        int end;
        QString text;
    };

    int next(int i) const { return nextSignificant(m_t, i); }
    bool at(int i, const char* word) const { return i < m_end && m_t[i].is(QLatin1String(word)); }
    bool symbolAt(int i, const char* s) const { return i < m_end && m_t[i].isSymbol(QLatin1String(s)); }

    void part(int begin, int end, const Scope* outer, std::vector<SelectItem>* selectItems, std::vector<Edit>& edits,
              bool singleValue);
    bool hasAggregate(int first, int last) const;
    Scope tablesOf(int begin, int end, const Scope* outer, std::vector<Edit>& edits);
    TableRef derivedTable(int open, int close, const Scope* outer);
    TableRef valuesTable(int open, int close, const Scope* outer, std::vector<Edit>& edits);
    int commonTables(int begin, int end, Scope& scope);
    // Parses an expression at `i`; the node, or nullopt when it cannot be read. `end` is one past its last token.
    std::optional<int> expression(int i, const Scope& scope, int& end);
    void addEdit(int node, std::vector<Edit>& edits);
    bool hasAlias(int i) const;
    QString itemName(int node, int after) const;
    void starColumns(const Scope& scope, const QString& qualifier, std::vector<SelectItem>& items) const;
    int assigned(int value, const ExprType& target);
    ExprType assignmentTarget(int equals, const Scope& scope) const;
    std::vector<ExprType> insertColumnTypes(int begin, int end, const Scope& scope) const;

    using Operand = std::optional<int> (ExpressionTyper::*)(int& i, const Scope& s);
    // Operands joined by a word (AND, OR), left to right.
    std::optional<int> logicalChain(int& i, const Scope& s, const char* word, Operand operand);
    std::optional<int> orExpr(int& i, const Scope& s);
    std::optional<int> andExpr(int& i, const Scope& s);
    std::optional<int> notExpr(int& i, const Scope& s);
    std::optional<int> predicate(int& i, const Scope& s);
    std::optional<int> additive(int& i, const Scope& s);
    std::optional<int> multiplicative(int& i, const Scope& s);
    std::optional<int> unary(int& i, const Scope& s);
    std::optional<int> primary(int& i, const Scope& s, bool scalar = true);
    std::optional<int> call(int& i, const Scope& s);
    std::optional<int> caseExpr(int& i, const Scope& s);
    std::optional<int> columnRef(int& i, const Scope& s);

    int node(int first, int last, std::vector<int> kids, ExprType type = {});
    int wrap(int kid, const QString& before, const QString& after, ExprType type);
    int convertTo(int kid, const ExprType& type);
    int toResultType(int value, const ExprType& result);
    int arithmetic(Op op, int left, int right);
    int comparison(int left, int right, int first, int last);
    int textAsNumber(int text, const std::vector<int>& others);
    int function(const QString& name, int first, int last, std::vector<int> args, bool plain);
    ExprType columnType(const Scope& s, const QString& qualifier, const QString& column) const;

    QString render(int n) const;
    QString tokensText(int first, int last) const;

    const Tokens& m_t;
    SchemaInfo& m_schema;
    const QHash<QString, QString>& m_variables;
    std::vector<Node> m_nodes;
    int m_end = 0;
    bool m_expandStars = false;  // a derived table's * stands for its columns
};

}  // namespace sqlserver
