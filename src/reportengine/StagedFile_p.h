#pragma once
// A file written whole or not at all: the writer fills a temporary file beside the target, and commit puts it
// in the target's place in one rename, so that a failure part way leaves the earlier file as it was. A
// staged file not committed is removed. Failures raise the error number given (ExportFailed unless told)
// naming the target.

#include "reportengine/EngineErrors.h"

#include <QString>

namespace reportengine {

class StagedFile {
public:
    explicit StagedFile(QString target, long errorNumber = EngineError::ExportFailed);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Where the writer writes (it may open, truncate and close it as it likes).
    const QString& path() const { return m_staged; }
    const QString& target() const { return m_target; }
    // Puts the staged file in the target's place, with the target's permissions when it existed.
    void commit();

private:
    [[noreturn]] void fail(const QString& reason) const;

    QString m_target;
    long m_errorNumber;
    QString m_staged;
    bool m_committed = false;
};

}  // namespace reportengine
