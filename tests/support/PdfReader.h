#pragma once
// A PDF seen the way a reader sees it, through poppler's tools (pdftotext -layout, pdfinfo).

#include <QSizeF>
#include <QString>
#include <QStringList>

namespace test {

// The text of each page as pdftotext -layout lays it out; empty when the file cannot be read.
QStringList pdfPages(const QString& path);
// The page count pdfinfo gives; -1 when it cannot tell.
int pdfPageCount(const QString& path);
// The first page's size in points; empty when pdfinfo cannot tell.
QSizeF pdfPageSize(const QString& path);

}  // namespace test
