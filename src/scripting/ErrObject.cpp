#include "scripting/ErrObject_p.h"

#include "runtime/Err.h"
#include "scripting/Routines_p.h"

namespace scripting {

namespace {
constexpr long NoSuchMember = 438;

bool is(const QString& name, const char* member)
{
    return name.compare(QLatin1String(member), Qt::CaseInsensitive) == 0;
}

// The text of a number raised without one: VBScript's own, or "Unknown runtime error" for a number it has none for.
QString raisedText(long number)
{
    const QString text = vb::errorText(number);
    constexpr long NoTextNumber = 1;  // a number the platform has no text for
    return text == vb::errorText(NoTextNumber) ? QStringLiteral("Unknown runtime error") : text;
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
        const auto text = [&](std::size_t i) {
            return args.size() > i && !isMissing(args[i]) ? args[i].toString() : QString();
        };
        const long number = args[0].toLong();
        const QString description = text(2);
        vb::raiseError(number, text(1), description.isEmpty() ? raisedText(number) : description);
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
            vb::Err.Description = raisedText(vb::Err.Number);
    } else if (is(name, "Description")) {
        vb::Err.Description = value.toString();
    } else if (is(name, "Source")) {
        vb::Err.Source = value.toString();
    } else {
        vb::raiseError(NoSuchMember);
    }
}

}  // namespace scripting
