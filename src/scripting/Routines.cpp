#include "scripting/Routines_p.h"

#include "runtime/Err.h"
#include "scripting/Interrupt_p.h"
#include "scripting/RoutineArgs_p.h"
#include "scripting/ScriptArray_p.h"
#include "scripting/ScriptObject_p.h"

#include <QHash>
#include <cstring>

namespace scripting {

namespace routines {

const vb::Variant& arg(const Arguments& a, std::size_t i)
{
    static const vb::Variant empty;
    return given(a, i) ? a[i] : empty;
}

int intArg(const Arguments& a, std::size_t i, int fallback)
{
    return given(a, i) ? a[i].toLong() : fallback;
}

Qt::CaseSensitivity compareArg(const Arguments& a, std::size_t i)
{
    switch (intArg(a, i, 0)) {
    case 0:
        return Qt::CaseSensitive;
    case 1:
    case 2:
        return Qt::CaseInsensitive;
    default:
        vb::raiseError(vb::ErrNo::InvalidProcedureCall);
    }
}

void raiseInvalid()
{
    vb::raiseError(vb::ErrNo::InvalidProcedureCall);
}

std::shared_ptr<ScriptArray> requireArray(const vb::Variant& value)
{
    auto array = asArray(value);
    if (!array)
        vb::raiseError(vb::ErrNo::TypeMismatch);
    return array;
}

}  // namespace routines

namespace {

constexpr long WrongArguments = 450;
constexpr long ArgumentNotOptional = 449;

class MissingArgument : public vb::Object {};

const std::vector<std::span<const Routine>>& groups()
{
    static const std::vector<std::span<const Routine>> all = {
        routines::textRoutines(), routines::conversionRoutines(), routines::mathRoutines(),
        routines::dateRoutines(), routines::formatRoutines(),     routines::hostRoutines()};
    return all;
}

const QHash<QString, const Routine*>& routineIndex()
{
    static const QHash<QString, const Routine*> index = [] {
        QHash<QString, const Routine*> h;
        for (std::span<const Routine> group : groups())
            for (const Routine& r : group)
                h.insert(QString::fromLatin1(r.name).toLower(), &r);
        return h;
    }();
    return index;
}

}  // namespace

const Routine* findRoutine(const QString& name)
{
    return routineIndex().value(name.toLower(), nullptr);
}

QStringList routineNames()
{
    QStringList names;
    for (std::span<const Routine> group : groups())
        for (const Routine& r : group)
            names << QString::fromLatin1(r.name);
    return names;
}

namespace {

// An object that stands for a value (a Match, Err) reaches a routine as that value, except where the routine
// looks at the object itself.
void passValues(const Routine& routine, Arguments& args)
{
    for (vb::Variant& v : args) {
        const auto object = v.isObject() ? v.objectAs<ScriptObject>() : nullptr;
        if (!object || !object->hasValue())
            continue;
        for (const char* keeps : {"IsObject", "TypeName", "Array"})
            if (std::strcmp(routine.name, keeps) == 0)
                return;
        Arguments none;
        v = object->getDefault(none);
    }
}

}  // namespace

const vb::Variant& missingArgument()
{
    static const vb::Variant missing = vb::ObjectPtr(std::make_shared<MissingArgument>());
    return missing;
}

bool isMissing(const vb::Variant& value)
{
    return value.isObject() && value.toObject() == missingArgument().toObject();
}

vb::Variant callRoutine(const Routine& routine, Arguments& args)
{
    if (int(args.size()) < routine.minArguments || int(args.size()) > routine.maxArguments)
        vb::raiseError(WrongArguments);
    for (int i = 0; i < routine.minArguments; ++i)
        if (isMissing(args[std::size_t(i)]))
            vb::raiseError(ArgumentNotOptional);
    passValues(routine, args);
    try {
        return routine.function(args);
    } catch (const std::bad_alloc&) {
        vb::raiseError(vb::ErrNo::OutOfMemory);
    }
}

}  // namespace scripting
