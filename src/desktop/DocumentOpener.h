#pragma once
// Hands a file the program wrote (a spreadsheet, a PDF) to the desktop's program for its kind.

#include <QString>
#include <functional>

namespace desktop {

// True when a program took the file. The default asks QDesktopServices.
bool openDocument(const QString& path);

// Replaces the opener (tests record the files instead); an empty function restores the default.
void setDocumentOpener(std::function<bool(const QString&)> opener);

}  // namespace desktop
