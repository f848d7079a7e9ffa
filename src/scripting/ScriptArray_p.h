#pragma once
// A script's array: zero-based dimensions, values copied on assignment (the interpreter calls copy()).

#include "runtime/Variant.h"

#include <memory>
#include <vector>

namespace scripting {

class ScriptArray : public vb::Object {
public:
    ScriptArray() = default;  // a dynamic array before its first ReDim
    explicit ScriptArray(std::vector<int> upperBounds);
    static std::shared_ptr<ScriptArray> fromValues(std::vector<vb::Variant> values);

    int dimensions() const { return int(m_upper.size()); }
    // Raises 9 for a dimension that does not exist.
    int upperBound(int dimension) const;
    // The element at the indexes; raises 9 out of range or for the wrong number of indexes.
    vb::Variant& at(const std::vector<vb::Variant>& indexes);
    // Preserve keeps the values; only the last dimension may change then (else 9).
    void redim(std::vector<int> upperBounds, bool preserve);
    // A copy is a dynamic array, whatever the original.
    std::shared_ptr<ScriptArray> copy() const;
    // The same shape with every element Empty (Erase of a fixed array).
    std::shared_ptr<ScriptArray> emptied() const;
    const std::vector<vb::Variant>& values() const { return m_items; }
    // An array declared with its size (Dim a(3)): ReDim refuses it, Erase empties it.
    bool isFixed() const { return m_fixed; }
    void setFixed(bool fixed) { m_fixed = fixed; }

private:
    bool m_fixed = false;
    std::vector<int> m_upper;
    std::vector<vb::Variant> m_items;  // the first index varies fastest
};

// The array a value holds, or null.
std::shared_ptr<ScriptArray> asArray(const vb::Variant& value);

}  // namespace scripting
