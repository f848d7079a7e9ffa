#include "scripting/JsRoutines_p.h"

#include "runtime/Err.h"
#include "scripting/HostValues_p.h"
#include "scripting/Routines_p.h"

#include <QJSEngine>

namespace scripting {

QVariant JsRoutines::call(const QString& name, const QVariantList& args)
{
    try {
        const Routine* routine = findRoutine(name);
        if (!routine)
            vb::raiseError(438);
        Arguments values;
        for (const QVariant& a : args)
            values.push_back(fromQVariant(a));
        return toQVariant(callRoutine(*routine, values));
    } catch (const vb::VbError& e) {
        m_lastNumber = e.number();
        m_lastDescription = e.description();
        qjsEngine(this)->throwError(e.description());
        return {};
    }
}

long JsRoutines::errorNumber(const QString& description) const
{
    return description == m_lastDescription ? m_lastNumber : 0;
}

}  // namespace scripting
