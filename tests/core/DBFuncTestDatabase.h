#pragma once
// A test's own embedded database: a temporary program folder with Util/, the server folder Dados with the
// database Teste created from the model, and a DBFunc connected to it. A statement waits one second for a
// lock held elsewhere before it fails as the deadlock victim.

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "core/DBFunc.h"
#include "support/FakeUiServices.h"
#include "support/Files.h"
#include "support/ModelDatabase.h"
#include "support/Printing.h"
#include "support/ProgramFolder.h"

#include <QDir>
#include <QStringList>
#include <gtest/gtest.h>

class DBFuncDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::installModelDatabase();
        QDir(folder.path()).mkpath("Dados");
        ASSERT_TRUE(db.CriaBanco(0, "sqlite:Dados", "Teste", "sa", ""));
        ASSERT_EQ(db.AbreConexao(0, false, 1, "sqlite:Dados", "Teste", "sa", "", true, 60, 1), 1);
    }

    void execute(const QString& sql) { db.VariavelADODBConnection()->Execute(sql); }

    // Each row as its columns' texts joined by "|", Null as "<null>".
    QStringList rows(const QString& sql)
    {
        QStringList result;
        for (auto rs = db.VariavelADODBConnection()->Execute(sql); !rs->adoEOF(); rs->MoveNext()) {
            QStringList columns;
            for (int i = 0; i < rs->Fields().Count(); ++i)
                columns << (rs->Fields(i).Value().isNull() ? QString("<null>") : rs->Fields(i).Value().toString());
            result << columns.join('|');
        }
        return result;
    }

    // The entry lines of a log under Util/, each after its line of 139 dashes.
    QStringList logEntries(const QString& name) const
    {
        const QStringList lines =
            QString::fromLatin1(test::readFile(folder.file("Util/" + name))).split("\r\n", Qt::SkipEmptyParts);
        QStringList entries;
        for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
            EXPECT_EQ(lines[i], QString(139, '-'));
            entries << lines[i + 1];
        }
        return entries;
    }

    QList<test::MessageBoxCall>& boxes() { return test::fakeUi().messageBoxes; }

    test::ProgramFolder folder;
    DBFunc db;
};
