#include "reports/ClsRelatorio_Vinculado.h"

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/HttpDownload.h"
#include "core/Modulo.h"
#include "desktop/Printer.h"
#include "reportengine/Application.h"
#include "reportengine/EngineErrors.h"
#include "reports/FrmViewer.h"
#include "reports/ReportServer.h"
#include "runtime/Err.h"
#include "runtime/UiServices.h"

#include <QFileInfo>

using reportengine::Report;

namespace {

QList<vb::Variant>& created(std::unique_ptr<QList<vb::Variant>>& collection)
{
    if (!collection)
        collection = std::make_unique<QList<vb::Variant>>();
    return *collection;
}

// Item i (1-based) of a collection, with the platform's error for an index past its end.
const vb::Variant& item(const QList<vb::Variant>& collection, int i)
{
    if (i < 1 || i > collection.size())
        vb::raiseError(vb::ErrNo::SubscriptOutOfRange);
    return collection[i - 1];
}

void removeEachFirstItem(QList<vb::Variant>& collection)
{
    while (!collection.isEmpty())
        collection.removeFirst();
}

void logOn(Report& report)
{
    for (const auto& table : report.Database().Tables()) {
        table->SetLogOnInfo(BancoAtual().servidor, BancoAtual().BancoDados, BancoAtual().Usuario, BancoAtual().Senha);
        table->setLocation(table->Name());
    }
}

// Every subreport placed on a section of the report, in section and object order.
template <class Visit>
void forEachSubreport(Report& report, Visit visit)
{
    for (const auto& section : report.Sections())
        for (const auto& object : section->ReportObjects())
            if (auto subreport = std::dynamic_pointer_cast<reportengine::SubreportObject>(object))
                visit(*subreport->OpenSubreport());
}

void logOnWithSubreports(Report& report)
{
    logOn(report);
    forEachSubreport(report, [](Report& subreport) { logOn(subreport); });
}

QString layoutPath(const QString& Relatorio)
{
    return Modulo::CaminhoApp() + QStringLiteral("/Relatorios/") + Relatorio + QStringLiteral(".rpt");
}

void sortBy(Report& report, const QString& name, int direction)
{
    const QString wanted = name.toUpper();
    bool found = false;
    for (const auto& table : report.Database().Tables()) {
        for (const auto& field : table->Fields())
            if (field->Name().toUpper() == wanted) {
                report.RecordSortFields().Add(*field, direction);
                found = true;
                break;
            }
        if (found)
            break;
    }
    for (const auto& field : report.FormulaFields())
        if (field->Name().toUpper() == wanted)
            report.RecordSortFields().Add(*field, direction);
    for (const auto& field : report.SQLExpressionFields())
        if (field->Name().toUpper() == wanted)
            report.RecordSortFields().Add(*field, direction);
}

}  // namespace

ClsRelatorio_Vinculado::ClsRelatorio_Vinculado()
    : RelatoriosComImpressoraPropria{QStringLiteral("Rel1"), QStringLiteral("Rel2")}
{}

ClsRelatorio_Vinculado::~ClsRelatorio_Vinculado() = default;

QList<vb::Variant>& ClsRelatorio_Vinculado::Parametro()
{
    return created(m_parametro);
}
QList<vb::Variant>& ClsRelatorio_Vinculado::RemoveGrupo()
{
    return created(m_removeGrupo);
}
QList<vb::Variant>& ClsRelatorio_Vinculado::SupressSection()
{
    return created(m_supressSection);
}
QList<vb::Variant>& ClsRelatorio_Vinculado::Ordem()
{
    return created(m_ordem);
}
QList<vb::Variant>& ClsRelatorio_Vinculado::OrdemTipo()
{
    return created(m_ordemTipo);
}

void ClsRelatorio_Vinculado::RemoveParametro()
{
    removeEachFirstItem(Parametro());
    removeEachFirstItem(RemoveGrupo());
    removeEachFirstItem(SupressSection());
    removeEachFirstItem(Ordem());
    removeEachFirstItem(OrdemTipo());
}

bool ClsRelatorio_Vinculado::CarregaRelatorio(const QString& Relatorio, QString Formula, bool VisualizaRPT,
                                              bool PromptImpressao, const QString& CaptionRelatorio, short NumCopia,
                                              bool RemovePar, const QString& SqlQuery, bool ExportaRPT,
                                              long ExportaFormato, const QString& ExportaArquivo,
                                              bool /*TamanhoPadrao*/, bool FormModal, QString* SubRptFormula,
                                              double /*Orientacao*/, bool ConfigImpressaoArquivo,
                                              const QString& /*EmailDestino*/)
{
    try {
        run(Relatorio, std::move(Formula), VisualizaRPT, PromptImpressao, CaptionRelatorio, NumCopia, SqlQuery,
            ExportaRPT, ExportaFormato, ExportaArquivo, FormModal, SubRptFormula, ConfigImpressaoArquivo);
    } catch (...) {
        vb::Err.SetFromCurrentException();
        if (RemovePar)
            RemoveParametro();
        if (vb::Err.Number == reportengine::EngineError::LayoutNotFound)
            vb::Ui().MsgBox(QStringLiteral("Arquivo do relatório ") + Relatorio +
                                QStringLiteral(" não encontrado. Entre em contato com a ") +
                                ReportServer::vendorContact() + QStringLiteral("."),
                            vb::vbExclamation);
        vb::Ui().MsgBox(QStringLiteral("Erro: %1 - %2 Linha: 0").arg(vb::Err.Number).arg(vb::Err.Description));
        vb::Err.Clear();
    }
    return false;
}

void ClsRelatorio_Vinculado::run(const QString& Relatorio, QString Formula, bool VisualizaRPT, bool PromptImpressao,
                                 const QString& CaptionRelatorio, short NumCopia, const QString& SqlQuery,
                                 bool ExportaRPT, long ExportaFormato, const QString& ExportaArquivo, bool FormModal,
                                 QString* SubRptFormula, bool ConfigImpressaoArquivo)
{
    const QString path = layoutPath(Relatorio);
    if (!QFileInfo::exists(path) && !Modulo::DownloadHttp(ReportServer::layoutUrl(Relatorio), path))
        vb::Ui().MsgBox(QStringLiteral("Não foi possível baixar o arquivo ") + Relatorio +
                            QStringLiteral(".rpt dos servidores da Zub. Favor entrar em contato com o setor de "
                                           "suporte ") +
                            ReportServer::supportContact() + QStringLiteral("."),
                        vb::vbInformation);

    std::shared_ptr<Report> report = reportengine::Application().OpenReport(path);
    Report& R = *report;
    logOnWithSubreports(R);

    const desktop::Printer& printer = desktop::printer();
    if (!ConfigImpressaoArquivo && printer.PrinterCount() > 0 &&
        !RelatoriosComImpressoraPropria.contains(Relatorio, Qt::CaseInsensitive)) {
        const int orientation = R.PaperOrientation();
        R.SelectPrinter(printer.DriverName(), printer.DeviceName(), printer.Port());
        R.setPaperOrientation(orientation);
        if (R.PaperSize() == reportengine::PaperUser)
            R.setPaperSize(reportengine::PaperA4);
    }
    R.setPaperOrientation(R.PaperOrientation());

    for (int i = 1; i <= RemoveGrupo().size(); ++i)
        R.DeleteGroup(vb::CInt(item(RemoveGrupo(), i)));
    for (int i = 1; i <= SupressSection().size(); ++i) {
        const vb::Variant& section = item(SupressSection(), i);
        (section.isString() ? R.Sections().Item(section.toString()) : R.Sections().Item(vb::CInt(section)))
            .setSuppress(true);
    }
    for (int i = 1; i <= Parametro().size(); ++i)
        R.ParameterFields().Item(i).AddCurrentValue(item(Parametro(), i));

    if (!Formula.isEmpty()) {
        R.setFormulaSyntax(0);
        if (!R.RecordSelectionFormula().isEmpty())
            Formula = R.RecordSelectionFormula() + QStringLiteral(" and ") + Formula;
        R.setRecordSelectionFormula(Formula);
    }
    if (!SqlQuery.isEmpty())
        R.setSQLQueryString(SqlQuery);

    for (int i = 1; i <= Ordem().size(); ++i)
        sortBy(R, item(Ordem(), i).toString(), vb::CLng(item(OrdemTipo(), i)));

    if (SubRptFormula && !SubRptFormula->isEmpty()) {
        const int separator = SubRptFormula->indexOf(QLatin1Char(';'));
        if (separator < 0)
            vb::raiseError(vb::ErrNo::InvalidProcedureCall);
        const QString name = SubRptFormula->left(separator);
        *SubRptFormula = SubRptFormula->mid(separator + 1);
        Report& subreport = *R.OpenSubreport(name);
        subreport.setRecordSelectionFormula(subreport.RecordSelectionFormula() + *SubRptFormula);
    }
    const QString mainSelection = R.RecordSelectionFormula();
    if (usarMesmaSelecaoNoSubRelatorio)
        forEachSubreport(R, [&](Report& subreport) {
            subreport.setFormulaSyntax(R.FormulaSyntax());
            subreport.setRecordSelectionFormula(mainSelection);
        });
    forEachSubreport(R, [&](Report& subreport) {
        for (const auto& parameter : subreport.ParameterFields()) {
            if (parameter->Name().toLower() != QStringLiteral("{?filtroprincipal}"))
                continue;
            subreport.setFormulaSyntax(R.FormulaSyntax());
            const QString own = subreport.RecordSelectionFormula();
            subreport.setRecordSelectionFormula(own + (own.trimmed().isEmpty() ? QString() : QStringLiteral(" AND ")) +
                                                mainSelection);
        }
    });

    if (VisualizaRPT) {
        FrmViewer::preview(report, Relatorio, CaptionRelatorio, FormModal);
    } else if (!ExportaRPT) {
        R.PrintOut(PromptImpressao, NumCopia);
    } else {
        R.ExportOptions().FormatType = int(ExportaFormato);
        R.ExportOptions().DestinationType = reportengine::DiskFileDestination;
        R.ExportOptions().DiskFileName = ExportaArquivo;
        R.Export(false);
    }
}

std::optional<CamposRelatorio> ClsRelatorio_Vinculado::CarregaCampos(const QString& Relatorio)
{
    std::optional<CamposRelatorio> campos;
    try {
        CamposRelatorio result;
        result.report = reportengine::Application().OpenReport(layoutPath(Relatorio));
        Report& R = *result.report;
        logOnWithSubreports(R);
        auto add = [&result](const reportengine::FieldDefinition& field) {
            if (result.Item(field.Name()))
                vb::raiseError(457);
            result.fields.emplace_back(field.Name(), &field);
        };
        for (const auto& table : R.Database().Tables())
            for (const auto& field : table->Fields())
                add(*field);
        for (const auto& field : R.FormulaFields())
            add(*field);
        for (const auto& field : R.SQLExpressionFields())
            add(*field);
        campos = std::move(result);
    } catch (...) {
        vb::Err.SetFromCurrentException();
    }
    Modulo::TrataErro();
    return campos;
}

void ClsRelatorio_Vinculado::AjustaLocalTabela(Report& report, int n)
{
    report.Database().Tables().Item(n).setLocation(BancoAtual().servidor);
}
