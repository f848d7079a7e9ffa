#pragma once
// A two-dimensional array of values with the platform's bounds: each dimension runs from a lower to an
// upper bound (upper = lower - 1 when it holds nothing). Out-of-range access raises 9 Subscript out of range.

#include "runtime/Variant.h"

#include <vector>

class Array2D : public vb::Object {
public:
    // No elements; both dimensions 0 to -1.
    Array2D() = default;
    Array2D(int lower1, int upper1, int lower2, int upper2);

    // The number of indexes of dimension 1 or 2.
    int Count(int dimension) const;
    int LowerBound(int dimension) const;
    int UpperBound(int dimension) const;

    const vb::Variant& Value(int index1, int index2) const;
    void setValue(int index1, int index2, const vb::Variant& value);

    // Drops every element and both dimensions.
    void Clear();
    // New bounds; every element becomes Empty.
    void ReDim(int lower1, int upper1, int lower2, int upper2);
    // Appends rows (dimension 1) from an array of rows by column, as a record set's GetRows gives them:
    // its dimension 1 are the columns, which must be as many as this array's dimension 2.
    void LoadRows(const Array2D& columnsByRows);

private:
    std::size_t offset(int index1, int index2) const;

    int m_lower1 = 0;
    int m_upper1 = -1;
    int m_lower2 = 0;
    int m_upper2 = -1;
    std::vector<vb::Variant> m_values;  // row-major: dimension 1 outer
};
