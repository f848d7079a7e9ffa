#include "scripting/ScriptArray_p.h"

#include "runtime/Err.h"
#include "scripting/Interrupt_p.h"

namespace scripting {

namespace {
std::size_t elementCount(const std::vector<int>& upper)
{
    std::size_t count = upper.empty() ? 0 : 1;
    for (int u : upper)
        count *= std::size_t(u + 1);
    return count;
}
}  // namespace

ScriptArray::ScriptArray(std::vector<int> upperBounds)
{
    redim(std::move(upperBounds), false);
}

std::shared_ptr<ScriptArray> ScriptArray::fromValues(std::vector<vb::Variant> values)
{
    auto array = std::make_shared<ScriptArray>();
    array->m_upper = {int(values.size()) - 1};
    array->m_items = std::move(values);
    return array;
}

int ScriptArray::upperBound(int dimension) const
{
    if (dimension < 1 || dimension > dimensions())
        vb::raiseError(vb::ErrNo::SubscriptOutOfRange);
    return m_upper[std::size_t(dimension - 1)];
}

std::shared_ptr<ScriptArray> ScriptArray::copy() const
{
    auto array = std::make_shared<ScriptArray>(*this);
    array->m_fixed = false;
    return array;
}

std::shared_ptr<ScriptArray> ScriptArray::emptied() const
{
    auto array = std::make_shared<ScriptArray>(m_upper);
    array->m_fixed = m_fixed;
    return array;
}

vb::Variant& ScriptArray::at(const std::vector<vb::Variant>& indexes)
{
    if (m_upper.empty() || indexes.size() != m_upper.size())
        vb::raiseError(vb::ErrNo::SubscriptOutOfRange);
    std::size_t offset = 0;
    std::size_t stride = 1;
    for (std::size_t d = 0; d < indexes.size(); ++d) {
        const int i = indexes[d].toLong();
        if (i < 0 || i > m_upper[d])
            vb::raiseError(vb::ErrNo::SubscriptOutOfRange);
        offset += std::size_t(i) * stride;
        stride *= std::size_t(m_upper[d] + 1);
    }
    return m_items[offset];
}

void ScriptArray::redim(std::vector<int> upperBounds, bool preserve)
{
    long long count = 1;
    for (int u : upperBounds) {
        if (u < -1)
            vb::raiseError(vb::ErrNo::SubscriptOutOfRange);
        count *= u + 1LL;
        requireArrayElements(count);
    }
    if (preserve && !m_upper.empty()) {
        if (upperBounds.size() != m_upper.size() ||
            !std::equal(upperBounds.begin(), upperBounds.end() - 1, m_upper.begin()))
            vb::raiseError(vb::ErrNo::SubscriptOutOfRange);
        m_items.resize(elementCount(upperBounds));  // the last dimension varies slowest: a plain resize keeps all
    } else {
        m_items.assign(elementCount(upperBounds), vb::Variant());
    }
    m_upper = std::move(upperBounds);
}

std::shared_ptr<ScriptArray> asArray(const vb::Variant& value)
{
    return value.isObject() ? value.objectAs<ScriptArray>() : nullptr;
}

}  // namespace scripting
