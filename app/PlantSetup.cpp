#include "PlantSetup.h"

#include "core/StartupSettings.h"
#include "schema/DemoPlant.h"
#include "schema/ModelDatabase.h"
#include "schema/ModelFunctions.h"
#include "sqlserver/DatabaseFiles.h"
#include "startup/Startup.h"

namespace {

const QString embeddedPrefix = QStringLiteral("sqlite:");

// A database just created on the embedded server gets the demo plant, so that a first start has stations and
// work orders to show. A real server's new database stays empty.
bool createDatabaseWithDemoPlant()
{
    if (!startup::createChosenDatabase())
        return false;
    if (!Modulo::ServidorIni.startsWith(embeddedPrefix, Qt::CaseInsensitive))
        return true;
    const QString folder = sqlserver::resolveServerFolder(Modulo::ServidorIni.mid(embeddedPrefix.size()));
    const QString file = sqlserver::findDatabaseFile(folder, Modulo::BancoIni);
    if (!file.isEmpty())
        schema::buildDemoPlant(file);
    return true;
}

}  // namespace

void installPlant()
{
    sqlserver::setModelDatabase(schema::modelSchemaSql(), schema::modelFunctions());
    startup::setDatabaseCreation(createDatabaseWithDemoPlant);
}
