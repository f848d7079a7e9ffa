#pragma once
// Functions that a statement's call expands to, as SQL Server inlines an inline function: `dbo.NAME(a, b)`
// becomes the function's body with each parameter replaced by its argument in parentheses. The program hands
// its databases' functions over with the model database (setModelDatabase).

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace sqlserver {

struct InlineFunction {
    QString name;            // as called, without its schema
    QStringList parameters;  // "@Name", as the body names them
    // SQLite's dialect: an expression for a scalar function, a parenthesized SELECT for a table-valued one.
    // Parameters stand only where a value does (so that a literal argument may be bound as a parameter).
    QString body;
};

// Replaces the functions known to every session.
void setInlineFunctions(std::vector<InlineFunction> functions);

// The expansion of a call of `name` with `arguments` (each an SQL expression); empty when no function of that
// name and number of parameters is known. Names compare without regard to case.
QString expandInlineFunction(QStringView name, const QStringList& arguments);

// Whether `name` is a known function.
bool isInlineFunction(QStringView name);

// The functions known now, for a caller that looks up many names (isInlineFunction on them).
std::shared_ptr<const std::vector<InlineFunction>> inlineFunctions();
bool isInlineFunction(const std::vector<InlineFunction>& functions, QStringView name);

}  // namespace sqlserver
