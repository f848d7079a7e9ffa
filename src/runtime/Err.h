#pragma once
// The pending error of the platform (number, source, description) and the exception that carries an error
// through a routine until the routine's own trap reports it.

#include <QString>
#include <exception>

namespace vb {

namespace ErrNo {
constexpr long InvalidProcedureCall = 5;
constexpr long Overflow = 6;
constexpr long OutOfMemory = 7;
constexpr long SubscriptOutOfRange = 9;
constexpr long TypeMismatch = 13;
constexpr long BadFileNameOrNumber = 52;
constexpr long PermissionDenied = 70;
constexpr long PathFileAccessError = 75;
constexpr long PathNotFound = 76;
constexpr long ObjectVariableNotSet = 91;
constexpr long InvalidUseOfNull = 94;
}  // namespace ErrNo

// The platform's text for one of its own error numbers ("Type mismatch"), or "Application-defined or
// object-defined error" for numbers it does not know.
QString errorText(long number);

class VbError : public std::exception {
public:
    VbError(long number, QString source = {}, QString description = {});
    long number() const { return m_number; }
    const QString& source() const { return m_source; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    long m_number;
    QString m_source;
    QString m_description;
    QByteArray m_what;
};

// Throws VbError; an empty description takes the platform's text for the number.
[[noreturn]] void raiseError(long number, const QString& source = {}, const QString& description = {});

struct ErrObject {
    long Number = 0;
    QString Source;
    QString Description;

    void Clear();
    void Set(const VbError& e);
    // Any exception that escaped a routine: VbError as it is, anything else as error 5 with its text.
    void SetFromCurrentException();
    [[noreturn]] void Raise(long number, const QString& source = {}, const QString& description = {});
};

// The pending error of this thread.
inline thread_local ErrObject Err;

}  // namespace vb
