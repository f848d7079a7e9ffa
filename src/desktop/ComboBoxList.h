#pragma once
// A QComboBox seen as the list DBFunc::AddCombo fills; each line's number is kept as its item data.

#include "core/ListControl.h"

class QComboBox;

namespace desktop {

class ComboBoxList : public ListControl {
public:
    explicit ComboBoxList(QComboBox& box) : m_box(box) {}

    void Clear() override;
    int AddItem(const QString& item) override;
    void SetItemData(int index, std::int32_t data) override;

private:
    QComboBox& m_box;
};

}  // namespace desktop
