#pragma once
// A look at the program for its README: the whole screen once the main window stands, then once more after
// each command of the menu, over a data grid of the load queue, of the machine-load report in the report viewer
// and of the same report in the preview window the report driver opens, saved as PNG files; the program quits
// after the last one.

#include <QString>

class FrmPrincipal;

void photographMenuWindows(FrmPrincipal& principal, const QString& folder);
