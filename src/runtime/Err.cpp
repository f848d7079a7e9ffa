#include "runtime/Err.h"

#include <exception>

namespace vb {

QString errorText(long number)
{
    switch (number) {
    case 0: return {};
    case 3: return QStringLiteral("Return without GoSub");
    case 5: return QStringLiteral("Invalid procedure call or argument");
    case 6: return QStringLiteral("Overflow");
    case 7: return QStringLiteral("Out of memory");
    case 9: return QStringLiteral("Subscript out of range");
    case 10: return QStringLiteral("This array is fixed or temporarily locked");
    case 11: return QStringLiteral("Division by zero");
    case 13: return QStringLiteral("Type mismatch");
    case 14: return QStringLiteral("Out of string space");
    case 16: return QStringLiteral("Expression too complex");
    case 17: return QStringLiteral("Can't perform requested operation");
    case 18: return QStringLiteral("User interrupt occurred");
    case 20: return QStringLiteral("Resume without error");
    case 28: return QStringLiteral("Out of stack space");
    case 35: return QStringLiteral("Sub or Function not defined");
    case 47: return QStringLiteral("Too many DLL application clients");
    case 48: return QStringLiteral("Error in loading DLL");
    case 49: return QStringLiteral("Bad DLL calling convention");
    case 51: return QStringLiteral("Internal error");
    case 52: return QStringLiteral("Bad file name or number");
    case 53: return QStringLiteral("File not found");
    case 54: return QStringLiteral("Bad file mode");
    case 55: return QStringLiteral("File already open");
    case 57: return QStringLiteral("Device I/O error");
    case 58: return QStringLiteral("File already exists");
    case 59: return QStringLiteral("Bad record length");
    case 61: return QStringLiteral("Disk full");
    case 62: return QStringLiteral("Input past end of file");
    case 63: return QStringLiteral("Bad record number");
    case 67: return QStringLiteral("Too many files");
    case 68: return QStringLiteral("Device unavailable");
    case 70: return QStringLiteral("Permission denied");
    case 71: return QStringLiteral("Disk not ready");
    case 74: return QStringLiteral("Can't rename with different drive");
    case 75: return QStringLiteral("Path/File access error");
    case 76: return QStringLiteral("Path not found");
    case 91: return QStringLiteral("Object variable or With block variable not set");
    case 92: return QStringLiteral("For loop not initialized");
    case 93: return QStringLiteral("Invalid pattern string");
    case 94: return QStringLiteral("Invalid use of Null");
    case 380: return QStringLiteral("Invalid property value");
    case 424: return QStringLiteral("Object required");
    case 429: return QStringLiteral("ActiveX component can't create object");
    case 438: return QStringLiteral("Object doesn't support this property or method");
    case 440: return QStringLiteral("Automation error");
    case 445: return QStringLiteral("Object doesn't support this action");
    case 449: return QStringLiteral("Argument not optional");
    case 450: return QStringLiteral("Wrong number of arguments or invalid property assignment");
    case 457: return QStringLiteral("This key is already associated with an element of this collection");
    case 5017: return QStringLiteral("Syntax error in regular expression");
    case 32811: return QStringLiteral("Element not found");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

VbError::VbError(long number, QString source, QString description)
    : m_number(number), m_source(std::move(source)), m_description(std::move(description))
{
    if (m_description.isEmpty())
        m_description = errorText(number);
    m_what = QStringLiteral("Error %1: %2").arg(number).arg(m_description).toUtf8();
}

void raiseError(long number, const QString& source, const QString& description)
{
    throw VbError(number, source, description);
}

void ErrObject::Clear()
{
    Number = 0;
    Source.clear();
    Description.clear();
}

void ErrObject::Set(const VbError& e)
{
    Number = e.number();
    Source = e.source();
    Description = e.description();
}

void ErrObject::SetFromCurrentException()
{
    try {
        std::exception_ptr current = std::current_exception();
        if (!current) {
            Set(VbError(ErrNo::InvalidProcedureCall));
            return;
        }
        std::rethrow_exception(current);
    } catch (const VbError& e) {
        Set(e);
    } catch (const std::bad_alloc&) {
        Set(VbError(ErrNo::OutOfMemory));
    } catch (const std::exception& e) {
        Set(VbError(ErrNo::InvalidProcedureCall, {}, QString::fromLocal8Bit(e.what())));
    } catch (...) {
        Set(VbError(ErrNo::InvalidProcedureCall));
    }
}

void ErrObject::Raise(long number, const QString& source, const QString& description)
{
    VbError e(number, source, description);
    Set(e);
    throw e;
}

}  // namespace vb
