#include "sqlserver/TranslationCache.h"

namespace sqlserver {

void TranslationCache::insert(const QString& sql, std::shared_ptr<const Batch> batch)
{
    // Programs build a bounded set of statement shapes; past the limit (literals left in the text) the cache
    // starts over rather than tracking use.
    if (int(m_batches.size()) >= m_capacity)
        m_batches.clear();
    m_batches.insert(sql, std::move(batch));
}

}  // namespace sqlserver
