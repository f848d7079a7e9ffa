#include "reportengine/FieldDefinitions.h"

#include "reportengine/Formula_p.h"
#include "reportengine/Layout_p.h"
#include "reportengine/Report.h"

namespace reportengine {

QString FormulaFieldDefinition::Name() const
{
    return QStringLiteral("{@%1}").arg(m_formula.name);
}

QString FormulaFieldDefinition::FormulaFieldName() const
{
    return m_formula.name;
}

QString FormulaFieldDefinition::Text() const
{
    return m_formula.text;
}

void FormulaFieldDefinition::setText(const QString& text)
{
    Formula(text, Name());
    m_formula.text = text;
    m_report.layoutChanged();
}

QString SQLExpressionFieldDefinition::Name() const
{
    return QStringLiteral("{%%1}").arg(m_expression.name);
}

QString SQLExpressionFieldDefinition::Text() const
{
    return m_expression.text;
}

void SQLExpressionFieldDefinition::setText(const QString& text)
{
    m_expression.text = text;
    m_report.layoutChanged();
}

QString ParameterFieldDefinition::Name() const
{
    return QStringLiteral("{?%1}").arg(m_parameter.name);
}

QString ParameterFieldDefinition::ParameterFieldName() const
{
    return m_parameter.name;
}

QString ParameterFieldDefinition::Prompt() const
{
    return m_parameter.prompt;
}

void ParameterFieldDefinition::AddCurrentValue(const vb::Variant& value)
{
    m_parameter.currentValues.push_back(parameterValue(value, m_parameter.type));
    m_report.layoutChanged();
}

void ParameterFieldDefinition::ClearCurrentValueAndRange()
{
    m_parameter.currentValues.clear();
    m_report.layoutChanged();
}

long ParameterFieldDefinition::NumberOfCurrentValues() const
{
    return long(m_parameter.currentValues.size());
}

}  // namespace reportengine
