#include "legacy/DialectLiterals.h"

#include "core/DBFunc.h"
#include "runtime/Format.h"

namespace legacy {

namespace {

bool isAccess(const DBFunc& banco)
{
    return banco.TipoBanco == 1;
}

}  // namespace

QString momentLiteral(const DBFunc& banco, vb::Date moment)
{
    if (isAccess(banco))
        return "#" + vb::Format(moment, "mm/dd/yyyy hh:nn") + "#";
    return "'" + vb::Format(moment, "yyyy-mm-dd hh:nn") + "'";
}

QString trueLiteral(const DBFunc& banco)
{
    return isAccess(banco) ? QStringLiteral("True") : QStringLiteral("1");
}

}  // namespace legacy
