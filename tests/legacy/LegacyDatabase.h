#pragma once
// A plant database in a temporary program folder, reached by the program's connection in either form: the
// embedded server (SQL Server's dialect) or an Access-form file. The demo builders write the rows straight
// into the file, beside the program's connection.

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "runtime/Date.h"
#include "schema/PlantBuilder.h"
#include "schema/SqliteDatabase.h"
#include "support/ProgramFolder.h"

#include <QDateTime>
#include <QDir>
#include <gtest/gtest.h>

#include <memory>

namespace test {

enum class ConnectionKind { Server, Access };

inline std::string kindName(const testing::TestParamInfo<ConnectionKind>& info)
{
    return info.param == ConnectionKind::Server ? "Server" : "Access";
}

class LegacyDatabase {
public:
    explicit LegacyDatabase(ConnectionKind kind)
        : m_path(databasePath(kind)), m_plant(m_path), m_file(m_path)
    {
        const int opened = kind == ConnectionKind::Server
                               ? BancoAtual().AbreConexao(0, false, 1, "sqlite:Dados", "Teste", "sa", "")
                               : BancoAtual().AbreConexao(1, false, 0, "", m_path, "", "");
        EXPECT_EQ(opened, 1);
    }
    ~LegacyDatabase()
    {
        BancoAtual().FechaConexao();
        BancoAtual().RemoveAll();
    }

    schema::PlantBuilder& plant() { return m_plant; }
    schema::SqliteDatabase& file() { return m_file; }

private:
    QString databasePath(ConnectionKind kind) const
    {
        if (kind == ConnectionKind::Access)
            return m_folder.file("Planta.mdb");
        QDir().mkpath(m_folder.file("Dados"));
        return m_folder.file("Dados/Teste.db");
    }

    ProgramFolder m_folder;
    QString m_path;
    schema::PlantBuilder m_plant;
    schema::SqliteDatabase m_file;
};

inline vb::Date at(QDate day, int hour, int minute = 0)
{
    return vb::fromQDateTime(QDateTime(day, QTime(hour, minute)));
}

}  // namespace test
