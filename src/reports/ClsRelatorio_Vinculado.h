#pragma once
// The one bridge between the program and the report engine. A caller fills the public collections and calls
// CarregaRelatorio: the layout Relatorios/<name>.rpt is found (or downloaded), its tables and its subreports'
// tables are logged on to the program's database, the collections and selections are applied, and the report
// is previewed, printed or exported. Outcomes reach the user through message boxes, never the result.

#include "reports/CamposRelatorio.h"
#include "runtime/Variant.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace reportengine {
class Report;
}  // namespace reportengine

class ClsRelatorio_Vinculado {
public:
    ClsRelatorio_Vinculado();
    ~ClsRelatorio_Vinculado();

    bool usarMesmaSelecaoNoSubRelatorio = false;

    // Created empty on first use.
    QList<vb::Variant>& Parametro();
    QList<vb::Variant>& RemoveGrupo();
    QList<vb::Variant>& SupressSection();
    QList<vb::Variant>& Ordem();
    QList<vb::Variant>& OrdemTipo();

    // Always false. SubRptFormula, when given, is "<subreport>;<condition>" and is left holding the condition.
    bool CarregaRelatorio(const QString& Relatorio, QString Formula = {}, bool VisualizaRPT = true,
                          bool PromptImpressao = false, const QString& CaptionRelatorio = {}, short NumCopia = 1,
                          bool RemovePar = true, const QString& SqlQuery = {}, bool ExportaRPT = false,
                          long ExportaFormato = 0, const QString& ExportaArquivo = {}, bool TamanhoPadrao = true,
                          bool FormModal = false, QString* SubRptFormula = nullptr, double Orientacao = 0,
                          bool ConfigImpressaoArquivo = true, const QString& EmailDestino = QString());
    void RemoveParametro();

    // The main report's database, formula and SQL-expression fields; nothing when a step fails.
    std::optional<CamposRelatorio> CarregaCampos(const QString& Relatorio);

    // Direct printing on the program's printer, in millimetres.
    void ConfiguraImpressora(long Altura, long Largura);
    void Imprime(short x, short Y, const QString& Texto);
    // Word-wraps Texto from X1 (first line) or X2 (further lines) to XFim, a line every 4 units, and returns
    // the Y of the last line printed. Where a line has no room for one character the rest is not printed.
    short ImprimeTexto(short X1, short X2, short XFim, short Y, const QString& Texto);

private:
    void run(const QString& Relatorio, QString Formula, bool VisualizaRPT, bool PromptImpressao,
             const QString& CaptionRelatorio, short NumCopia, const QString& SqlQuery, bool ExportaRPT,
             long ExportaFormato, const QString& ExportaArquivo, bool FormModal, QString* SubRptFormula,
             bool ConfigImpressaoArquivo);
    void AjustaLocalTabela(reportengine::Report& report, int n);

    QStringList RelatoriosComImpressoraPropria;
    std::unique_ptr<QList<vb::Variant>> m_parametro;
    std::unique_ptr<QList<vb::Variant>> m_removeGrupo;
    std::unique_ptr<QList<vb::Variant>> m_supressSection;
    std::unique_ptr<QList<vb::Variant>> m_ordem;
    std::unique_ptr<QList<vb::Variant>> m_ordemTipo;
};
