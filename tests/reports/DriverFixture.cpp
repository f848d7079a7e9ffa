#include "DriverFixture.h"

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "support/FakeUiServices.h"
#include "support/Files.h"

#include <QApplication>

namespace {

// Work orders grouped by client; the selection keeps orders from {?Minimo} on.
const QByteArray OrdersBody = R"xml(
<data>
  <table name="CadOS"><field name="NrServ"/><field name="Descricao"/><field name="Cliente"/></table>
  <table name="CadCli"><field name="Codigo"/><field name="Nome"/></table>
  <link from="CadOS.Cliente" to="CadCli.Codigo"/>
</data>
<parameter name="Titulo" type="text" default="Ordens"/>
<parameter name="Minimo" type="number" default="0"/>
<formula name="Inverso">0 - {CadOS.NrServ}</formula>
<sqlexpression name="Resto">CadOS.NrServ % 4</sqlexpression>
<selection>{CadOS.NrServ} &gt;= {?Minimo}</selection>
<group field="{CadOS.Cliente}"/>
<section area="reportheader" height="400"><field x="0" y="0" width="6000" height="300" source="{?Titulo}"/></section>
<section area="groupheader" group="1" height="300"><field x="0" y="0" width="6000" height="260" source="'Cliente ' &amp; {CadCli.Nome}"/></section>
<section area="details" height="260" name="Linha">
  <field x="0" y="0" width="900" height="240" source="{CadOS.NrServ}" format="0" name="OS"/>
  <field x="1000" y="0" width="3000" height="240" source="{CadOS.Descricao}" name="Descricao"/>
</section>
<section area="reportfooter" height="300" name="Rodape">
  <text x="0" y="0" width="3000" height="260">Fim da lista</text>
  <subreport x="0" y="0" width="6000" height="0" name="Pecas" report="Posicoes"/>
  <subreport x="0" y="0" width="6000" height="0" name="SoFiltro" report="Filtrada"/>
  <subreport x="0" y="0" width="6000" height="0" name="Conferencia" report="Conferida"/>
</section>
<subreport name="Posicoes">
  <data><table name="CadPos"><field name="NrServ"/><field name="Descricao"/></table>
    <table name="CadOS"><field name="NrServ"/><field name="Cliente"/></table>
    <link from="CadPos.NrServ" to="CadOS.NrServ"/></data>
  <selection>{CadPos.Descricao} = 'Conjunto soldado'</selection>
  <section area="details" height="240"><field x="0" y="0" width="3000" height="220" source="'Posicao da OS ' &amp; ToText({CadPos.NrServ}, 0)"/></section>
</subreport>
<subreport name="Filtrada">
  <data><table name="CadOS"><field name="NrServ"/><field name="Cliente"/></table></data>
  <parameter name="filtroPrincipal" type="text" default=""/>
  <section area="details" height="240"><field x="0" y="0" width="3000" height="220" source="'Filtrada ' &amp; ToText({CadOS.NrServ}, 0)"/></section>
</subreport>
<subreport name="Conferida">
  <data><table name="CadOS"><field name="NrServ"/><field name="Cliente"/></table></data>
  <parameter name="FILTROPRINCIPAL" type="text" default=""/>
  <selection>{CadOS.NrServ} &lt; 1012</selection>
  <section area="details" height="240"><field x="0" y="0" width="3000" height="220" source="'Conferida ' &amp; ToText({CadOS.NrServ}, 0)"/></section>
</subreport>
)xml";

}  // namespace

DriverFixture::DriverFixture()
{
    EXPECT_EQ(BancoAtual().AbreConexao(0, false, 1, QStringLiteral("sqlite:Dados"), QStringLiteral("Vorna"),
                                       QStringLiteral("sa"), QString(), true, 60, 30),
              1);
    writeLayout(QStringLiteral("Ordens"), ordersLayout());
    // Port 9 of this machine: nothing listens there, so any download fails at once.
    setDownloadServer(QStringLiteral("127.0.0.1:9"));
}

DriverFixture::~DriverFixture()
{
    for (FrmViewer* window : previews())
        delete window;
    BancoAtual().FechaConexao();
}

QByteArray DriverFixture::ordersLayout(const QList<std::pair<QByteArray, QByteArray>>& replace)
{
    QByteArray xml = test::layoutXml(OrdersBody);
    for (const auto& [from, to] : replace)
        xml.replace(from, to);
    return xml;
}

void DriverFixture::setDownloadServer(const QString& server) const
{
    EXPECT_TRUE(test::writeFile(program.file(QStringLiteral("Util/Config.ini")),
                                "[Relatorios]\nServidorDownload=" + server.toUtf8() +
                                    "\nSuporte=(11) 4000-1000\nFornecedor=Zub pelo telefone (11) 4000-2000\n"));
}

QList<FrmViewer*> DriverFixture::previews()
{
    QList<FrmViewer*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<FrmViewer*>(widget); window && window->isVisible())
            windows.append(window);
    return windows;
}

FrmViewer* DriverFixture::openedSince(const QList<FrmViewer*>& before)
{
    QList<FrmViewer*> opened = previews();
    opened.removeIf([&before](FrmViewer* window) { return before.contains(window); });
    EXPECT_EQ(opened.size(), 1);
    return opened.size() == 1 ? opened.first() : nullptr;
}

FrmViewer* DriverFixture::onlyPreview()
{
    const QList<FrmViewer*> windows = previews();
    EXPECT_EQ(windows.size(), 1);
    return windows.size() == 1 ? windows.first() : nullptr;
}

QStringList DriverFixture::boxes()
{
    QStringList shown;
    for (const test::MessageBoxCall& box : test::fakeUi().messageBoxes)
        shown << QStringLiteral("%1|%2").arg(box.style).arg(box.prompt);
    return shown;
}
