#pragma once
// What ClsRelatorio_Vinculado::CarregaCampos gives: a report's field definitions keyed by name, in the order
// they were added, with the report they belong to kept alive.

#include <QString>
#include <memory>
#include <utility>
#include <vector>

namespace reportengine {
class FieldDefinition;
class Report;
}  // namespace reportengine

struct CamposRelatorio {
    std::shared_ptr<reportengine::Report> report;
    std::vector<std::pair<QString, const reportengine::FieldDefinition*>> fields;

    long Count() const { return long(fields.size()); }
    // By name, without regard to case; nullptr when there is none.
    const reportengine::FieldDefinition* Item(const QString& key) const;
};
