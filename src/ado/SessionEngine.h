#pragma once
// The engines of the embedded server and of Access-form files: a session of the server (src/sqlserver), with
// the server's errors turned into the provider's. The only part of the layer that stands on the server.

#include "ado/Engine.h"

#include <QString>
#include <memory>

namespace ADODB {

// Database `database` of the embedded server kept in `folder`. Throws ProviderError.
std::unique_ptr<Engine> openServerSession(const QString& folder, const QString& database);

// The Access-form database at `path`, created when `create`. Throws ProviderError.
std::unique_ptr<Engine> openAccessSession(const QString& path, bool create);

}  // namespace ADODB
