#include "ParameterReadersFixture.h"

#include "ado/AdoErrors.h"
#include "core/Adodc.h"
#include "core/ParameterReaders.h"
#include "support/ErrorNumber.h"

using test::errorNumber;

namespace {

struct RecordingDataControl : Adodc {
    void setUserName(const QString& userName) override { this->userName = userName; }
    void setPassword(const QString& password) override { this->password = password; }
    void setConnectionString(const QString& connectionString) override { this->connectionString = connectionString; }

    QString userName = "unset";
    QString password = "unset";
    QString connectionString = "unset";
};

}  // namespace

TEST_F(ParameterDatabase, AValueComesBackAsStoredAnEmptyTableOrNullAsTheDefaultText)
{
    EXPECT_EQ(Modulo::LeParametroBex("Refugo", "0"), vb::Variant("0"));

    plant->setCadParValue("PortaProxy", 8080);
    plant->setCadParValue("Proxy", "proxy.fabrica");
    plant->setCadParBexValue("Refugo", 1);
    const vb::Variant port = Modulo::LeParametro("PortaProxy", "0");
    EXPECT_TRUE(port.isNumberKind());
    EXPECT_EQ(vb::CLng(port), 8080);
    EXPECT_EQ(Modulo::LeParametro("Proxy", ""), vb::Variant("proxy.fabrica"));
    EXPECT_TRUE(vb::CBool(Modulo::LeParametroBex("Refugo", "0")));
    EXPECT_EQ(Modulo::LeParametro("UserProxy", "nenhum"), vb::Variant("nenhum"));
}

TEST_F(ParameterDatabase, AMissingColumnOrConnectionReachesTheCaller)
{
    plant->setCadParValue("Empresa", 1);
    EXPECT_EQ(errorNumber([] { Modulo::LeParametro("NaoExiste", "x"); }), ADODB::adErrItemNotFound);

    // A connection that cannot be opened again: the read fails and so does the reader.
    BancoAtual().FechaConexao();
    BancoAtual().servidor = "sqlite:SemServidor";
    EXPECT_EQ(errorNumber([] { Modulo::LeParametroBex("Refugo", "0"); }), vb::ErrNo::ObjectVariableNotSet);
}

TEST_F(ParameterDatabase, PassaConexaoHandsTheConnectionToTheDataControl)
{
    RecordingDataControl control;
    Modulo::PassaConexao(control, BancoAtual());
    EXPECT_EQ(control.userName, "sa");
    EXPECT_EQ(control.password, "");
    EXPECT_TRUE(control.connectionString.contains("Data Source=sqlite:Dados"));
    EXPECT_TRUE(control.connectionString.contains("Initial Catalog=Teste"));

    RecordingDataControl untouched;
    const DBFunc unconnected;
    EXPECT_EQ(errorNumber([&] { Modulo::PassaConexao(untouched, unconnected); }), vb::ErrNo::ObjectVariableNotSet);
    EXPECT_EQ(untouched.userName, "unset");
}
