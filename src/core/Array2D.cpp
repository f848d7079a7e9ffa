#include "core/Array2D.h"

#include "runtime/Err.h"

Array2D::Array2D(int lower1, int upper1, int lower2, int upper2)
{
    ReDim(lower1, upper1, lower2, upper2);
}

int Array2D::Count(int dimension) const
{
    return UpperBound(dimension) - LowerBound(dimension) + 1;
}

int Array2D::LowerBound(int dimension) const
{
    if (dimension != 1 && dimension != 2)
        vb::raiseError(vb::ErrNo::SubscriptOutOfRange);
    return dimension == 1 ? m_lower1 : m_lower2;
}

int Array2D::UpperBound(int dimension) const
{
    if (dimension != 1 && dimension != 2)
        vb::raiseError(vb::ErrNo::SubscriptOutOfRange);
    return dimension == 1 ? m_upper1 : m_upper2;
}

std::size_t Array2D::offset(int index1, int index2) const
{
    if (index1 < m_lower1 || index1 > m_upper1 || index2 < m_lower2 || index2 > m_upper2)
        vb::raiseError(vb::ErrNo::SubscriptOutOfRange);
    return std::size_t(index1 - m_lower1) * std::size_t(Count(2)) + std::size_t(index2 - m_lower2);
}

const vb::Variant& Array2D::Value(int index1, int index2) const
{
    return m_values[offset(index1, index2)];
}

void Array2D::setValue(int index1, int index2, const vb::Variant& value)
{
    m_values[offset(index1, index2)] = value;
}

void Array2D::Clear()
{
    ReDim(0, -1, 0, -1);
}

void Array2D::ReDim(int lower1, int upper1, int lower2, int upper2)
{
    if (upper1 < lower1 - 1 || upper2 < lower2 - 1)
        vb::raiseError(vb::ErrNo::SubscriptOutOfRange);
    m_lower1 = lower1;
    m_upper1 = upper1;
    m_lower2 = lower2;
    m_upper2 = upper2;
    m_values.assign(std::size_t(Count(1)) * std::size_t(Count(2)), vb::Variant());
}

void Array2D::LoadRows(const Array2D& columnsByRows)
{
    if (columnsByRows.Count(1) != Count(2))
        vb::raiseError(vb::ErrNo::SubscriptOutOfRange);
    const int firstNewRow = m_upper1 + 1;
    m_upper1 += columnsByRows.Count(2);
    m_values.resize(std::size_t(Count(1)) * std::size_t(Count(2)));
    for (int row = 0; row < columnsByRows.Count(2); ++row)
        for (int column = 0; column < Count(2); ++column)
            setValue(firstNewRow + row, m_lower2 + column,
                     columnsByRows.Value(columnsByRows.LowerBound(1) + column, columnsByRows.LowerBound(2) + row));
}
