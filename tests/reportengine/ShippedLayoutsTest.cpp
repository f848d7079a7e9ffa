// The layouts the program ships in Relatorios/, run on the demo plant as the report windows run them.

#include "support/report/ReportFixture.h"

#include "support/Printing.h"

#include <QRegularExpression>

namespace {

QString shipped(const QString& name)
{
    return QStringLiteral(VORNA_SOURCE_DIR "/app/Relatorios/%1.rpt").arg(name);
}

class ShippedLayoutsTest : public test::ReportFixture {};

TEST_F(ShippedLayoutsTest, MachineLoadShowsTheBookingsOfThePeriod)
{
    auto report = open(shipped(QStringLiteral("VornaMaquina")));
    ASSERT_EQ(report->ParameterFields().Count(), 3);
    report->ParameterFields().Item(1).AddCurrentValue(vb::DateSerial(2026, 3, 2));
    report->ParameterFields().Item(2).AddCurrentValue(vb::DateSerial(2026, 3, 2));
    report->ParameterFields().Item(3).AddCurrentValue(QStringLiteral("las*"));
    EXPECT_EQ(report->PaperOrientation(), reportengine::Landscape);
    const QString text = pdfText(*report);
    test::expectMatches(
        text,
        {
            QStringLiteral("Carga por Máquina"),
            QStringLiteral("Período: 02/03/2026 a 02/03/2026 +Postos: LAS\\*"),
            QStringLiteral(
                "Posto LAS01 - Laser 1\\n +segunda-feira, 02/03/2026\\n +1001 +Conjunto 1 +Peca 1 +10 +5 +07:00 +07:27 +0,45 +09/03/2026"),
            QStringLiteral("Total do dia \\(12 operações\\) +9,37"),
            QStringLiteral("Total do posto LAS02 \\(6 operações\\) +4,58"),
            QStringLiteral("Total geral \\(18 operações\\) +13,95"),
            QStringLiteral("Página 1 de 1"),
        });
    EXPECT_FALSE(text.contains(QStringLiteral("SOL01")));
}

TEST_F(ShippedLayoutsTest, RouteListsTheWorkOrdersOperations)
{
    auto report = open(shipped(QStringLiteral("Roteiro")));
    report->setRecordSelectionFormula(QStringLiteral("{CadOS.NrServ} = 1002"));
    const QString text = pdfText(*report);
    test::expectMatches(
        text,
        {
            QStringLiteral("Roteiro de Produção"),
            QStringLiteral("OS 1002 - Conjunto 2"),
            QStringLiteral("Cliente: Maquinas Beta +Emissão: 02/03/2026 +Entrega: 11/03/2026"),
            QStringLiteral(
                "001.001 +Peca 1 +- +quantidade 12, etapa 0\\n.*\\n +10 +LAS01 - Laser 1 +15,0 +2,50 +45,0\\n +20 +DOB01 - Dobradeira 1 +30,0 +1,50 +48,0"),
            QStringLiteral("001.002 +Peca 2"),
            QStringLiteral(
                "001 +Conjunto soldado +- +quantidade 12, etapa 1\\n.*\\n +10 +SOL01 - Solda 1 +20,0 +6,00 +92,0"),
            QStringLiteral("Tempo total da OS \\(5 operações, min\\) +278,0"),
        });
    EXPECT_FALSE(text.contains(QStringLiteral("Conjunto 3")));
}

}  // namespace
