// A look at the program for its README, beside it in its folder: vorna-screenshots <folder> runs the program,
// photographs the main window and each window of its menu into the folder and quits (scripts/screenshots).

#include "Program.h"
#include "Screenshots.h"

#include <QString>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorna-screenshots <folder for the PNG files>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    return runProgram(argc, argv, [&folder](FrmPrincipal& principal) { photographMenuWindows(principal, folder); });
}
