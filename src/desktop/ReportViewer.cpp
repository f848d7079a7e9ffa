#include "desktop/ReportViewer.h"

#include "desktop/ReportPageView.h"
#include "reportengine/Report.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollArea>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace desktop {

namespace {

constexpr int MinimumZoom = 10;
constexpr int MaximumZoom = 400;
constexpr int PageRole = Qt::UserRole;

}  // namespace

ReportViewer::ReportViewer(QWidget* parent)
    : QWidget(parent), m_tools(new QToolBar), m_page(new ReportPageView), m_scroll(new QScrollArea),
      m_tree(new QTreeWidget), m_zoom(new QComboBox), m_pageLabel(new QLabel)
{
    QToolBar* tools = m_tools;
    m_first = tools->addAction(QStringLiteral("|<"), this, &ReportViewer::ShowFirstPage);
    m_previous = tools->addAction(QStringLiteral("<"), this, &ReportViewer::ShowPreviousPage);
    tools->addWidget(m_pageLabel);
    m_next = tools->addAction(QStringLiteral(">"), this, &ReportViewer::ShowNextPage);
    m_last = tools->addAction(QStringLiteral(">|"), this, &ReportViewer::ShowLastPage);
    m_first->setToolTip(QStringLiteral("Primeira página"));
    m_previous->setToolTip(QStringLiteral("Página anterior"));
    m_next->setToolTip(QStringLiteral("Próxima página"));
    m_last->setToolTip(QStringLiteral("Última página"));
    tools->addSeparator();
    m_zoom->setEditable(true);
    for (int level : {25, 50, 75, 100, 125, 150, 200, 300, 400})
        m_zoom->addItem(QStringLiteral("%1%").arg(level), level);
    m_zoom->setToolTip(QStringLiteral("Zoom"));
    tools->addWidget(m_zoom);
    tools->addSeparator();
    m_print = tools->addAction(QStringLiteral("Imprimir"), this, &ReportViewer::printReport);
    m_export = tools->addAction(QStringLiteral("Exportar"), this, &ReportViewer::exportReport);

    m_scroll->setWidget(m_page);
    m_scroll->setAlignment(Qt::AlignHCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_tree->setHeaderHidden(true);
    m_tree->setVisible(false);
    auto* splitter = new QSplitter;
    splitter->addWidget(m_tree);
    splitter->addWidget(m_scroll);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({180, 800});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(splitter, 1);

    connect(m_zoom, &QComboBox::activated, this, [this](int index) { Zoom(m_zoom->itemData(index).toInt()); });
    connect(m_zoom->lineEdit(), &QLineEdit::editingFinished, this, &ReportViewer::zoomEntered);
    connect(m_tree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { ShowNthPage(item->data(0, PageRole).toInt()); });
    m_zoom->setCurrentText(QStringLiteral("100%"));
    updateState();
}

ReportViewer::~ReportViewer()
{
    // The zoom's text loses the focus while the tool bar goes, after this object is no viewer any more.
    m_zoom->lineEdit()->disconnect(this);
}

void ReportViewer::addTrailingWidget(QWidget* widget)
{
    auto* spacer = new QWidget;
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_tools->addWidget(spacer);
    m_tools->addWidget(widget);
}

void ReportViewer::setReportSource(std::shared_ptr<reportengine::Report> report)
{
    m_report = std::move(report);
    m_pageCount = 0;
    m_page->setReport(nullptr);
    m_tree->clear();
    updateState();
}

void ReportViewer::ViewReport()
{
    m_pageCount = m_report ? m_report->PageCount() : 0;
    m_page->setReport(m_report);
    fillGroupTree();
    updateState();
}

void ReportViewer::setDisplayGroupTree(bool display)
{
    m_displayGroupTree = display;
    m_tree->setVisible(display);
}

void ReportViewer::fillGroupTree()
{
    m_tree->clear();
    if (!m_report || !m_pageCount)
        return;
    std::vector<QTreeWidgetItem*> parents;
    for (const auto& entry : m_report->groupTree()) {
        parents.resize(std::min<std::size_t>(parents.size(), entry.level));
        auto* item = parents.empty() ? new QTreeWidgetItem(m_tree) : new QTreeWidgetItem(parents.back());
        item->setText(0, entry.text);
        item->setData(0, PageRole, entry.page);
        parents.push_back(item);
    }
}

void ReportViewer::Zoom(int level)
{
    level = std::clamp(level, MinimumZoom, MaximumZoom);
    m_zoom->setCurrentText(QStringLiteral("%1%").arg(level));
    if (level == m_page->zoom())
        return;
    m_page->setZoom(level);
    emit ZoomChanged(level);
}

int ReportViewer::zoomLevel() const
{
    return m_page->zoom();
}

void ReportViewer::zoomEntered()
{
    bool ok = false;
    const int level = m_zoom->currentText().remove(QLatin1Char('%')).trimmed().toInt(&ok);
    Zoom(ok ? level : zoomLevel());
}

void ReportViewer::ShowFirstPage()
{
    ShowNthPage(1);
}

void ReportViewer::ShowPreviousPage()
{
    ShowNthPage(currentPage() - 1);
}

void ReportViewer::ShowNextPage()
{
    ShowNthPage(currentPage() + 1);
}

void ReportViewer::ShowLastPage()
{
    ShowNthPage(m_pageCount);
}

void ReportViewer::ShowNthPage(int page)
{
    if (!m_pageCount)
        return;
    m_page->setPage(std::clamp(page, 1, m_pageCount) - 1);
    updateState();
}

int ReportViewer::currentPage() const
{
    return m_pageCount ? m_page->page() + 1 : 0;
}

void ReportViewer::updateState()
{
    const int page = currentPage();
    m_pageLabel->setText(QStringLiteral(" %1 de %2 ").arg(page).arg(m_pageCount));
    m_first->setEnabled(page > 1);
    m_previous->setEnabled(page > 1);
    m_next->setEnabled(page < m_pageCount);
    m_last->setEnabled(page < m_pageCount);
    m_print->setEnabled(m_pageCount > 0);
    m_export->setEnabled(m_pageCount > 0);
}

void ReportViewer::printReport()
{
    try {
        m_report->PrintOut(true, 1);
    } catch (const std::exception& error) {
        QMessageBox::warning(this, windowTitle(), QString::fromUtf8(error.what()));
    }
}

void ReportViewer::exportReport()
{
    const QString pdf = QStringLiteral("PDF (*.pdf)");
    const QString workbook = QStringLiteral("Planilha do Excel (*.xlsx)");
    const QString csv = QStringLiteral("Texto separado por ; (*.csv)");
    QString filter;
    const QString file =
        QFileDialog::getSaveFileName(this, QStringLiteral("Exportar"), QString(),
                                     QStringList{pdf, workbook, csv}.join(QStringLiteral(";;")), &filter);
    if (file.isEmpty())
        return;
    auto& options = m_report->ExportOptions();
    options.FormatType = filter == workbook ? reportengine::ExportFormat::Workbook
                         : filter == csv    ? reportengine::ExportFormat::CSV
                                            : reportengine::ExportFormat::PDF;
    options.DestinationType = reportengine::DiskFileDestination;
    options.DiskFileName = file;
    try {
        m_report->Export(false);
    } catch (const std::exception& error) {
        QMessageBox::warning(this, windowTitle(), QString::fromUtf8(error.what()));
    }
}

}  // namespace desktop
