#include "desktop/ComboBoxList.h"

#include <QComboBox>

namespace desktop {

void ComboBoxList::Clear()
{
    m_box.clear();
}

int ComboBoxList::AddItem(const QString& item)
{
    m_box.addItem(item);
    return m_box.count() - 1;
}

void ComboBoxList::SetItemData(int index, std::int32_t data)
{
    m_box.setItemData(index, data);
}

}  // namespace desktop
