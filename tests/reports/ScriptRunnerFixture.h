#pragma once
// A runner over the program's data-access object connected to a test's own embedded database, with a clock the
// test moves, and a window whose line edit the scripts write to.

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "reports/clsScript.h"
#include "support/FakeUiServices.h"
#include "support/Files.h"
#include "support/ModelDatabase.h"
#include "support/ProgramFolder.h"

#include <QDir>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>
#include <gtest/gtest.h>

class ScriptRunnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::installModelDatabase();
        QDir(folder.path()).mkpath("Dados");
        ASSERT_TRUE(BancoAtual().CriaBanco(0, "sqlite:Dados", "Teste", "sa", ""));
        ASSERT_EQ(BancoAtual().AbreConexao(0, false, 1, "sqlite:Dados", "Teste", "sa", "", true, 60, 1), 1);
        form.setObjectName("FrmPedido");
        output = new QLineEdit(&form);
        output->setObjectName("txtSaida");
    }
    void TearDown() override { BancoAtual().FechaConexao(); }

    void execute(const QString& sql) { BancoAtual().VariavelADODBConnection()->Execute(sql); }
    static QString nomeObjeto(const QObject& control) { return clsScript::NomeObjeto(control); }

    QStringList sources()
    {
        QStringList result;
        for (auto rs = BancoAtual().VariavelADODBConnection()->Execute(
                 "Select ID_Script, Fonte from CadScript order by ID_Script");
             !rs->adoEOF(); rs->MoveNext())
            result << rs->Fields(0).Value().toString() + "=" + rs->Fields(1).Value().toString();
        return result;
    }

    QList<test::MessageBoxCall>& boxes() { return test::fakeUi().messageBoxes; }

    test::ProgramFolder folder;
    double clock = 36000;  // 10:00
    clsScript runner{[this] { return clock; }};
    QWidget form;
    QLineEdit* output = nullptr;
};
