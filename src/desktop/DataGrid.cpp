#include "desktop/DataGrid.h"

#include "desktop/DataGridModel_p.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace desktop {

namespace {

constexpr int TwipsPerPixel = 15;
// How many rows a made column looks at for its width, and the widest it gets (twips).
constexpr int RowsMeasured = 100;
constexpr int WidestMadeColumn = 4500;
constexpr int CellPadding = 12;  // pixels

}  // namespace

struct DataGrid::Private {
    DataGridModel model;
    QTableView* view = nullptr;

    void showColumn(int column)
    {
        const DataGridColumn& look = model.columns().Item(column);
        view->setColumnHidden(column, !look.Visible());
        view->setColumnWidth(column, qRound(look.Width() / TwipsPerPixel));
    }

    // The width a made column needs for its caption and its first rows.
    float fittedWidth(int column) const
    {
        const QFontMetrics cells(view->font());
        const QFontMetrics header(view->horizontalHeader()->font());
        int pixels = header.horizontalAdvance(model.columns().Item(column).Caption());
        for (int row = 0; row < std::min(model.rowCount(), RowsMeasured); ++row)
            pixels = std::max(pixels, cells.horizontalAdvance(model.cellText(row, column)));
        return float(std::min((pixels + CellPadding) * TwipsPerPixel, WidestMadeColumn));
    }
};

DataGrid::DataGrid(QWidget* parent) : QWidget(parent), d(std::make_unique<Private>())
{
    d->view = new QTableView(this);
    d->view->setModel(&d->model);
    d->view->setSelectionBehavior(QAbstractItemView::SelectRows);
    d->view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    d->view->verticalHeader()->setDefaultSectionSize(d->view->fontMetrics().height() + 6);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->view);
    connect(&d->model, &DataGridModel::columnLookChanged, this, [this](int column) { d->showColumn(column); });
    connect(&d->model, &QAbstractItemModel::columnsInserted, this, [this](const QModelIndex&, int first, int last) {
        for (int column = first; column <= last; ++column)
            d->showColumn(column);
    });
}

DataGrid::~DataGrid()
{
    d->view->setModel(nullptr);
}

void DataGrid::setDataSource(std::shared_ptr<ADODB::Recordset> records)
{
    const bool madeColumns = d->model.load(std::move(records));
    DataGridColumns& columns = d->model.columns();
    for (int column = 0; column < columns.Count(); ++column) {
        if (madeColumns)
            columns.Item(column).setWidth(d->fittedWidth(column));
        d->showColumn(column);
    }
}

std::shared_ptr<ADODB::Recordset> DataGrid::DataSource() const
{
    return d->model.records();
}

void DataGrid::Refresh()
{
    setDataSource(d->model.records());
}

DataGridColumns& DataGrid::Columns()
{
    return d->model.columns();
}

}  // namespace desktop
