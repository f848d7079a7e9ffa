#pragma once
// One column of a DataGrid: what it shows (the record-set field DataField), under which caption, how wide
// (Width, twips), aligned how (0 left, 1 right, 2 centre, 3 general: numbers right, the rest left) and in
// which format (NumberFormat: a Format pattern, or "Currency"). A hidden column takes no room. Changes show
// at once.

#include <QString>

namespace desktop {

class DataGridModel;

class DataGridColumn {
public:
    bool Visible() const { return m_visible; }
    void setVisible(bool visible);
    const QString& Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    const QString& DataField() const { return m_dataField; }
    void setDataField(const QString& field);
    float Width() const { return m_width; }
    void setWidth(float twips);
    int Alignment() const { return m_alignment; }
    void setAlignment(int alignment);  // 0..3, others raise 380
    const QString& NumberFormat() const { return m_numberFormat; }
    void setNumberFormat(const QString& format);

private:
    friend class DataGridColumns;
    friend class DataGridModel;
    DataGridColumn(DataGridModel& owner, int index);
    void changed();

    DataGridModel& m_owner;
    int m_index;
    bool m_visible = true;
    QString m_caption;
    QString m_dataField;
    float m_width = 1500;
    int m_alignment = 3;
    QString m_numberFormat;
};

}  // namespace desktop
