#pragma once
// The parameter tables of a test's own embedded database: a temporary program folder whose server folder
// Dados holds the database Teste, BancoAtual() connected to it, and a builder that writes CadPar and
// CadParBex beside that connection.

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "schema/PlantBuilder.h"
#include "support/ModelDatabase.h"
#include "support/ProgramFolder.h"

#include <QDir>
#include <gtest/gtest.h>

#include <optional>

class ParameterDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::installModelDatabase();
        QDir(folder.path()).mkpath("Dados");
        ASSERT_TRUE(BancoAtual().CriaBanco(0, "sqlite:Dados", "Teste", "sa", ""));
        ASSERT_EQ(BancoAtual().AbreConexao(0, false, 1, "sqlite:Dados", "Teste", "sa", "", true, 60, 30), 1);
        plant.emplace(folder.file("Dados/Teste.db"));
    }
    void TearDown() override
    {
        plant.reset();
        BancoAtual().FechaConexao();
    }

    test::ProgramFolder folder;
    std::optional<schema::PlantBuilder> plant;
};
