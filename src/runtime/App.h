#pragma once
// The program folder and the program's name as the platform's App object gives them.

#include <QString>

namespace vb::App {

// The folder of the executable, with "/" separators and no trailing "/"; tests point it elsewhere.
QString Path();
void setPath(const QString& folder);

// The program's name: the per-user settings' application name and the title of message boxes.
inline const QString Title = QStringLiteral("Vorna");

}  // namespace vb::App
