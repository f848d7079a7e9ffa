// Prints how long the VBScript interpreter takes for a loop of 1,000,000 iterations doing arithmetic, a
// comparison and a short text join (a fixed prefix and the counter's text), and for building a text of 50 MB by
// appending pieces of 1 KB to it (s = s & piece).

#include "scripting/ScriptControl.h"

#include <QElapsedTimer>
#include <cstdio>

namespace {
double secondsToRun(const QString& source)
{
    scripting::ScriptControl control;
    control.setTimeout(-1);
    QElapsedTimer timer;
    timer.start();
    control.ExecuteStatement(source);
    return double(timer.nsecsElapsed()) / 1e9;
}
}  // namespace

int main()
{
    const double loop = secondsToRun(QStringLiteral("Dim i, total, label, big\n"
                                                    "total = 0\n"
                                                    "For i = 1 To 1000000\n"
                                                    "  total = total + (i Mod 7) * 3 - 1\n"
                                                    "  If total > 100000 Then big = big + 1\n"
                                                    "  label = \"OS-\" & i\n"
                                                    "Next\n"));
    std::printf("VBScript loop of 1,000,000 iterations: %.3f s (%.0f ns per iteration)\n", loop,
                loop * 1e9 / 1000000.0);
    const double append = secondsToRun(QStringLiteral("Dim s, piece, i\n"
                                                      "piece = Space(1024)\n"
                                                      "For i = 1 To 51200\n"
                                                      "  s = s & piece\n"
                                                      "Next\n"
                                                      "If Len(s) <> 52428800 Then Err.Raise 5\n"));
    std::printf("VBScript text of 50 MB built from 1 KB pieces: %.3f s\n", append);
    return 0;
}
