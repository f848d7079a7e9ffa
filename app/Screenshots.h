#pragma once
// A look at the program for its README: the whole screen once the main window stands, then once more after
// each command of the menu, once over a data grid of the load queue, and once over the machine-load report in
// the report viewer, saved as PNG files; the program
// quits after the last one.

#include <QString>

class FrmPrincipal;

void photographMenuWindows(FrmPrincipal& principal, const QString& folder);
