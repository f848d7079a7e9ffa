#pragma once
// The field definitions a report names: database fields (Tables(i).Fields), formula fields, SQL-expression
// fields and parameter fields. Each can be given to RecordSortFields.Add. Names: a database field reads as
// its column name ("Posto"), the others as the engine writes them in formulas ("{@Carga}", "{%Minutos}",
// "{?DataInicial}").

#include "runtime/Variant.h"

#include <QString>

namespace reportengine {

struct NamedText;
struct ParameterSpec;
class Report;

class FieldDefinition {
public:
    virtual ~FieldDefinition() = default;
    virtual QString Name() const = 0;
    // How a formula refers to the field ("{CadSeq.Posto}").
    virtual QString reference() const = 0;
};

class DatabaseFieldDefinition : public FieldDefinition {
public:
    DatabaseFieldDefinition(QString table, QString name) : m_table(std::move(table)), m_name(std::move(name)) {}
    QString Name() const override { return m_name; }
    QString TableName() const { return m_table; }
    QString reference() const override { return QStringLiteral("{%1.%2}").arg(m_table, m_name); }

private:
    QString m_table;
    QString m_name;
};

class FormulaFieldDefinition : public FieldDefinition {
public:
    FormulaFieldDefinition(Report& report, NamedText& formula) : m_report(report), m_formula(formula) {}
    QString Name() const override;
    QString FormulaFieldName() const;
    QString Text() const;
    // Parses the text at once: a formula that does not parse raises FormulaSyntax and is not taken.
    void setText(const QString& text);
    QString reference() const override { return Name(); }

private:
    Report& m_report;
    NamedText& m_formula;
};

class SQLExpressionFieldDefinition : public FieldDefinition {
public:
    SQLExpressionFieldDefinition(Report& report, NamedText& expression) : m_report(report), m_expression(expression) {}
    QString Name() const override;
    QString Text() const;
    void setText(const QString& text);
    QString reference() const override { return Name(); }

private:
    Report& m_report;
    NamedText& m_expression;
};

class ParameterFieldDefinition : public FieldDefinition {
public:
    ParameterFieldDefinition(Report& report, ParameterSpec& parameter) : m_report(report), m_parameter(parameter) {}
    QString Name() const override;
    QString ParameterFieldName() const;
    QString Prompt() const;
    // Gives the parameter a value, converted to its type (a text that is no date for a date parameter
    // raises 13). Values add up; formulas read the first.
    void AddCurrentValue(const vb::Variant& value);
    void ClearCurrentValueAndRange();
    long NumberOfCurrentValues() const;
    QString reference() const override { return Name(); }

private:
    Report& m_report;
    ParameterSpec& m_parameter;
};

}  // namespace reportengine
