#pragma once
// The program as main() runs it: the Qt desktop services, the log window, the plant's database, then the main
// window, whose load performs the start-up, until the last window closes. `started` runs once the main window
// stands (the screenshots program photographs it from there).

#include <functional>

class FrmPrincipal;

int runProgram(int argc, char** argv, const std::function<void(FrmPrincipal&)>& started = {});
