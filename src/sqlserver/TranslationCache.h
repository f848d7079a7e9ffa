#pragma once
// The batches a session has translated, kept by their shape (StatementShape): a statement run again, with the
// same literals or others, is not parsed or translated again. Emptied when the schema changes (translation
// depends on the tables' columns).

#include "sqlserver/Batch.h"

#include <QHash>
#include <QString>
#include <memory>

namespace sqlserver {

class TranslationCache {
public:
    explicit TranslationCache(int capacity = 512) : m_capacity(capacity) {}

    // The batch translated for `sql`, or null.
    std::shared_ptr<const Batch> find(const QString& sql) const { return m_batches.value(sql); }
    void insert(const QString& sql, std::shared_ptr<const Batch> batch);
    void clear() { m_batches.clear(); }

private:
    int m_capacity;
    QHash<QString, std::shared_ptr<const Batch>> m_batches;
};

}  // namespace sqlserver
