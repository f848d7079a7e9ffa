#pragma once
// The engine of the embedded server and of Access-form files: a sqlserver::Session, with the server's
// errors turned into the provider's.

#include "ado/AdoErrors.h"
#include "ado/Engine.h"

namespace ADODB {

class SessionEngine final : public Engine {
public:
    SessionEngine(std::unique_ptr<sqlserver::Session> session, QString errorSource);

    QString errorSource() const override { return m_errorSource; }
    sqlserver::BatchResult execute(const QString& sql) override;
    sqlserver::BatchResult executeWriteBack(const QString& sql, const std::vector<vb::Variant>& parameters) override;
    bool commitsAlone(const QString& sql) override;
    vb::Variant lastInsertKey() override;
    QString rowIdColumn() const override { return QStringLiteral("rowid"); }
    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;
    bool inTransaction() const override;
    void setCommandTimeout(int seconds) override;
    std::vector<QString> tables() override;
    std::vector<TableColumn> columns(const QString& table) override;
    std::vector<TableIndex> indexes(const QString& table) override;

private:
    template <class Work>
    auto guarded(Work&& work);

    std::unique_ptr<sqlserver::Session> m_session;
    QString m_errorSource;
};

// The provider's error for a failure of the server; `connecting` marks failures while opening.
ProviderError providerErrorFrom(const sqlserver::ServerError& error, const QString& source, bool connecting);

}  // namespace ADODB
