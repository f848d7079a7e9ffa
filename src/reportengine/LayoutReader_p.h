#pragma once
// Reads a layout file (see README.md) into a LayoutSpec. A file that does not exist raises LayoutNotFound;
// one that is not a layout of ours, of a newer version, or malformed raises LayoutDamaged naming the file,
// the line and the column.

#include "reportengine/Layout_p.h"

namespace reportengine {

LayoutSpec readLayout(const QString& path);

// The canonical order of a layout's sections: report header, page header, group headers outer to inner,
// details, group footers inner to outer, report footer, page footer.
void orderSections(std::vector<std::shared_ptr<SectionSpec>>& sections);

}  // namespace reportengine
