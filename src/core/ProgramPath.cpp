#include "core/Modulo.h"

#include "runtime/App.h"

namespace Modulo {

QString CaminhoApp()
{
    // The root folder comes back as "" so that CaminhoApp() + "/Util/..." stays a valid path.
    QString path = vb::App::Path();
    if (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

}  // namespace Modulo
