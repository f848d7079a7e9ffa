#pragma once
// A program folder for the main window's tests: Util/Config.ini naming the embedded database Vorna, which
// holds the demo plant, and the end of the program seen as an exception.

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "desktop/ProgramEnd.h"
#include "schema/DemoPlant.h"
#include "support/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

// What endProgram throws in these tests (no std::exception, which the start-up traps).
struct ProgramEnded {};

class DemoProgramFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        Modulo::setProgramEndHook([] { throw ProgramEnded{}; });
        QDir(folder.path()).mkpath("Dados");
        schema::buildDemoPlant(databaseFile());
        QFile config(folder.file("Util/Config.ini"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write("[Conexao]\r\nTipoBanco=0\r\nServidor=sqlite:Dados\r\nBanco=Vorna\r\n");
    }
    void TearDown() override
    {
        BancoAtual().FechaConexao();
        Modulo::setProgramEndHook({});
    }

    QString databaseFile() const { return folder.file("Dados/Vorna.db"); }

    test::ProgramFolder folder;
};
