// Prints how long the VBScript interpreter takes for a loop of 1,000,000 iterations doing arithmetic, a
// comparison and a short text join (a fixed prefix and the counter's text).

#include "scripting/ScriptControl.h"

#include <QElapsedTimer>
#include <cstdio>

int main()
{
    const QString source = QStringLiteral("Dim i, total, label, big\n"
                                          "total = 0\n"
                                          "For i = 1 To 1000000\n"
                                          "  total = total + (i Mod 7) * 3 - 1\n"
                                          "  If total > 100000 Then big = big + 1\n"
                                          "  label = \"OS-\" & i\n"
                                          "Next\n");
    scripting::ScriptControl control;
    control.setTimeout(-1);
    QElapsedTimer timer;
    timer.start();
    control.ExecuteStatement(source);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("VBScript loop of 1,000,000 iterations: %.3f s (%.0f ns per iteration)\n", seconds,
                seconds * 1e9 / 1000000.0);
    return 0;
}
