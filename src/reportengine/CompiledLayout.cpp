#include "reportengine/CompiledLayout_p.h"

namespace reportengine {

namespace {

SortKey sortKey(const SortSpec& sort, const QString& what)
{
    return {Formula(sort.field, what), referenceKey(sort.field), sort.direction == 1};
}

}  // namespace

QString referenceKey(const QString& reference)
{
    QString key = reference.toLower();
    key.remove(QLatin1Char(' '));
    return key;
}

CompiledLayout::CompiledLayout(const LayoutSpec& spec) : layout(spec)
{
    for (const NamedText& formula : layout.formulas) {
        formulaIndex.insert(formula.name.toLower(), int(formulas.size()));
        formulas.emplace_back(formula.text, QStringLiteral("{@%1}").arg(formula.name));
    }
    for (int p = 0; p < int(layout.parameters.size()); ++p)
        parameterIndex.insert(layout.parameters[p].name.toLower(), p);
    selection = Formula(layout.selection, QStringLiteral("de seleção de registros"));
    for (int g = 0; g < int(layout.groups.size()); ++g)
        groups.push_back(sortKey(layout.groups[g], QStringLiteral("do grupo %1").arg(g + 1)));
    for (const SortSpec& sort : layout.sorts)
        sorts.push_back(sortKey(sort, QStringLiteral("de ordenação %1").arg(sort.field)));
    for (const auto& section : layout.sections)
        for (const ObjectSpec& object : section->objects)
            if (object.kind == ObjectKind::Field)
                m_objects.emplace(
                    &object, Formula(object.source,
                                     QStringLiteral("do campo %1 da seção %2")
                                         .arg(object.name.isEmpty() ? object.source : object.name, section->name)));
}

int CompiledLayout::groupOf(const QString& reference) const
{
    const QString key = referenceKey(reference);
    for (int g = 0; g < int(groups.size()); ++g)
        if (groups[g].reference == key)
            return g;
    return -1;
}

}  // namespace reportengine
