#pragma once
// A list or combo box as DBFunc::AddCombo fills it: lines of text, each with a whole number kept beside it.

#include <QString>
#include <cstdint>

class ListControl {
public:
    virtual ~ListControl() = default;
    virtual void Clear() = 0;
    // Appends a line and returns its index from 0.
    virtual int AddItem(const QString& item) = 0;
    virtual void SetItemData(int index, std::int32_t data) = 0;
};
