#include "desktop/DataGridModel_p.h"

#include "ado/Recordset.h"
#include "runtime/Err.h"
#include "runtime/Format.h"

namespace desktop {

namespace {

QString formatted(const vb::Variant& value, const QString& numberFormat)
{
    if (value.isNull() || value.isEmpty())
        return {};
    try {
        if (numberFormat == QStringLiteral("Currency"))
            return QStringLiteral("R$ ") + vb::Format(value, QStringLiteral("#,##0.00"));
        return vb::Format(value, numberFormat);
    } catch (const vb::VbError&) {
        return value.toString();
    }
}

Qt::Alignment horizontalAlignment(int alignment, const vb::Variant* value)
{
    switch (alignment) {
    case 0:
        return Qt::AlignLeft;
    case 1:
        return Qt::AlignRight;
    case 2:
        return Qt::AlignHCenter;
    default:
        return value && value->isNumberKind() ? Qt::AlignRight : Qt::AlignLeft;
    }
}

}  // namespace

DataGridModel::DataGridModel() : m_columns(*this) {}

bool DataGridModel::load(std::shared_ptr<ADODB::Recordset> records)
{
    beginResetModel();
    m_records = std::move(records);
    m_rows.clear();
    m_fieldNames.clear();
    m_fieldIndex.clear();
    if (m_records && m_records->State() != ADODB::adStateClosed) {
        for (ADODB::Field& field : m_records->Fields()) {
            m_fieldIndex.insert(field.Name().toLower(), int(m_fieldNames.size()));
            m_fieldNames.append(field.Name());
        }
        if (!(m_records->BOF() && m_records->adoEOF())) {
            m_records->MoveFirst();
            for (; !m_records->adoEOF(); m_records->MoveNext()) {
                std::vector<vb::Variant>& row = m_rows.emplace_back();
                for (ADODB::Field& field : m_records->Fields())
                    row.push_back(field.Value());
            }
            m_records->MoveFirst();
        }
    }
    const bool madeColumns = m_columns.Count() == 0 && !m_fieldNames.isEmpty();
    if (madeColumns) {
        for (const QString& name : std::as_const(m_fieldNames)) {
            DataGridColumn& column = m_columns.append();
            column.m_caption = name;
            column.m_dataField = name;
        }
    }
    endResetModel();
    return madeColumns;
}

int DataGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int DataGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.Count());
}

const vb::Variant* DataGridModel::value(int row, int column) const
{
    const auto field = m_fieldIndex.constFind(m_columns.Item(column).DataField().toLower());
    if (field == m_fieldIndex.cend() || row < 0 || size_t(row) >= m_rows.size())
        return nullptr;
    return &m_rows[size_t(row)][size_t(*field)];
}

QString DataGridModel::cellText(int row, int column) const
{
    const vb::Variant* shown = value(row, column);
    return shown ? formatted(*shown, m_columns.Item(column).NumberFormat()) : QString();
}

QVariant DataGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole) {
        const int alignment = m_columns.Item(index.column()).Alignment();
        return int(horizontalAlignment(alignment, value(index.row(), index.column())) | Qt::AlignVCenter);
    }
    return {};
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_columns.Count())
        return m_columns.Item(section).Caption();
    return QAbstractTableModel::headerData(section, orientation, role);
}

void DataGridModel::columnChanged(int column)
{
    emit headerDataChanged(Qt::Horizontal, column, column);
    if (!m_rows.empty())
        emit dataChanged(index(0, column), index(int(m_rows.size()) - 1, column));
    emit columnLookChanged(column);
}

}  // namespace desktop
