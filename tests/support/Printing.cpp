#include "support/Printing.h"

#include "runtime/Format.h"

void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

void PrintTo(const QDateTime& moment, std::ostream* out)
{
    *out << moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
}

namespace vb {

void PrintTo(const Variant& value, std::ostream* out)
{
    static const char* const kinds[] = {"Empty", "Null", "Integer", "Long", "Single", "Double", "Currency", "Date",
                                        "String", "Object", "?", "Boolean"};
    *out << kinds[int(value.type())];
    if (value.isDate())
        *out << "(" << Format(value, QStringLiteral("yyyy-mm-dd hh:nn:ss")).toStdString() << ")";
    else if (!value.isNull() && !value.isEmpty() && !value.isObject())
        *out << "(" << value.toString().toStdString() << ")";
}

}  // namespace vb
