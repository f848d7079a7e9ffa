#include "scripting/ErrObject_p.h"

#include "runtime/Err.h"

namespace scripting {

namespace {
constexpr long NoSuchMember = 438;

bool is(const QString& name, const char* member)
{
    return name.compare(QLatin1String(member), Qt::CaseInsensitive) == 0;
}
}  // namespace

bool ErrObject::hasMember(const QString& name) const
{
    return is(name, "Number") || is(name, "Description") || is(name, "Source") || is(name, "Clear") ||
           is(name, "Raise");
}

vb::Variant ErrObject::getMember(const QString& name, Arguments& args)
{
    if (is(name, "Number") && args.empty())
        return vb::Variant(vb::Err.Number);
    if (is(name, "Description") && args.empty())
        return vb::Err.Description;
    if (is(name, "Source") && args.empty())
        return vb::Err.Source;
    if (is(name, "Clear") && args.empty()) {
        vb::Err.Clear();
        return {};
    }
    if (is(name, "Raise") && !args.empty() && args.size() <= 3) {
        const long number = args[0].toLong();
        vb::raiseError(number, args.size() > 1 ? args[1].toString() : QString(),
                       args.size() > 2 ? args[2].toString() : QString());
    }
    vb::raiseError(NoSuchMember);
}

void ErrObject::setMember(const QString& name, Arguments& args, const vb::Variant& value)
{
    if (!args.empty())
        vb::raiseError(NoSuchMember);
    if (is(name, "Number")) {
        vb::Err.Number = value.toLong();
        if (vb::Err.Description.isEmpty())
            vb::Err.Description = vb::errorText(vb::Err.Number);
    } else if (is(name, "Description")) {
        vb::Err.Description = value.toString();
    } else if (is(name, "Source")) {
        vb::Err.Source = value.toString();
    } else {
        vb::raiseError(NoSuchMember);
    }
}

}  // namespace scripting
