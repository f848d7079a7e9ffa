// The objects scripts create themselves; nothing else can be created.

#include "runtime/Err.h"
#include "scripting/BuiltinObjects_p.h"
#include "scripting/Dictionary_p.h"
#include "scripting/RegExp_p.h"

namespace scripting {

namespace {
constexpr long CannotCreateObject = 429;
constexpr long WrongArguments = 450;
}

vb::ObjectPtr newBuiltinObject(const QString& className)
{
    if (className.compare(QLatin1String("RegExp"), Qt::CaseInsensitive) == 0)
        return std::make_shared<RegExp>();
    return nullptr;
}

void requireArgumentCount(const Arguments& args, std::size_t count)
{
    if (args.size() != count)
        vb::raiseError(WrongArguments);
}

vb::ObjectPtr createObject(const QString& progId)
{
    const QString id = progId.trimmed();
    if (id.compare(QLatin1String("Scripting.Dictionary"), Qt::CaseInsensitive) == 0)
        return std::make_shared<Dictionary>();
    if (id.compare(QLatin1String("VBScript.RegExp"), Qt::CaseInsensitive) == 0)
        return std::make_shared<RegExp>();
    vb::raiseError(CannotCreateObject);
}

}  // namespace scripting
