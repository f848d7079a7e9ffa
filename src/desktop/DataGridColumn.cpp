#include "desktop/DataGridColumn.h"

#include "desktop/DataGridModel_p.h"
#include "runtime/Err.h"

namespace desktop {

DataGridColumn::DataGridColumn(DataGridModel& owner, int index) : m_owner(owner), m_index(index) {}

void DataGridColumn::changed()
{
    m_owner.columnChanged(m_index);
}

void DataGridColumn::setVisible(bool visible)
{
    m_visible = visible;
    changed();
}

void DataGridColumn::setCaption(const QString& caption)
{
    m_caption = caption;
    changed();
}

void DataGridColumn::setDataField(const QString& field)
{
    m_dataField = field;
    changed();
}

void DataGridColumn::setWidth(float twips)
{
    m_width = twips;
    changed();
}

void DataGridColumn::setAlignment(int alignment)
{
    if (alignment < 0 || alignment > 3)
        vb::raiseError(380, QStringLiteral("DataGrid"));
    m_alignment = alignment;
    changed();
}

void DataGridColumn::setNumberFormat(const QString& format)
{
    m_numberFormat = format;
    changed();
}

}  // namespace desktop
