// Writes the demo plant into a new database file of the embedded server, for a first look at the program.

#include "schema/DemoPlant.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo_plant <folder>/<database>.db\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QFileInfo file(path);
    if (file.exists()) {
        std::fprintf(stderr, "%s exists already; the demo plant goes into a new file\n", argv[1]);
        return 1;
    }
    try {
        QDir().mkpath(file.absolutePath());
        schema::buildDemoPlant(path);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_demo_plant: %s\n", error.what());
        return 1;
    }
    std::printf("Demo plant written to %s\n"
                "In Util/Config.ini, section [Conexao]: Servidor=sqlite:<folder> (relative to the program's\n"
                "folder) and Banco=%s.\n",
                argv[1], qPrintable(file.completeBaseName()));
    return 0;
}
