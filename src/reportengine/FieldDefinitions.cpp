#include "reportengine/FieldDefinitions.h"

#include "reportengine/Formula_p.h"
#include "reportengine/Layout_p.h"
#include "reportengine/Report.h"
#include "runtime/Err.h"

namespace reportengine {

namespace {

QString typeName(ValueKind type)
{
    switch (type) {
    case ValueKind::Number:
        return QStringLiteral("número");
    case ValueKind::Date:
        return QStringLiteral("data");
    case ValueKind::Boolean:
        return QStringLiteral("lógico");
    case ValueKind::Text:
        break;
    }
    return QStringLiteral("texto");
}

QString shownValue(const vb::Variant& value)
{
    if (value.isString())
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    if (value.isNumberKind() || value.isDate())
        return value.toString();
    return QStringLiteral("dado");
}

}  // namespace

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
    vb::Variant converted;
    try {
        converted = parameterValue(value, m_parameter.type);
    } catch (const vb::VbError& error) {
        // The runtime's conversion error, told with the parameter it was meant for.
        vb::raiseError(error.number(), error.source(),
                       QStringLiteral("%1: o parâmetro %2 (%3) não aceita o valor %4")
                           .arg(error.description(), Name(), typeName(m_parameter.type), shownValue(value)));
    }
    m_parameter.currentValues.push_back(converted);
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
