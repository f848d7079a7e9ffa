#pragma once
// The platform's Variant: one value of any of its kinds, with its conversion and comparison rules.
// Conversions raise the platform's errors (13 Type mismatch, 94 Invalid use of Null, 6 Overflow).

#include "runtime/Date.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <variant>

namespace vb {

// Base of whatever a Variant holds as an object (a record set, a window, a collection).
class Object {
public:
    virtual ~Object() = default;
};
using ObjectPtr = std::shared_ptr<Object>;

// The platform's VarType codes.
enum class VarType { Empty = 0, Null = 1, Integer = 2, Long = 3, Single = 4, Double = 5, Currency = 6, Date = 7,
                     String = 8, Object = 9, Boolean = 11, Byte = 17 };

// Currency: a fixed-point number with four decimals, kept as value * 10000.
struct Currency {
    std::int64_t scaled = 0;
    static Currency fromDouble(double v);   // rounds halves to even at the fourth decimal; raises 6 when out of range
    double toDouble() const { return double(scaled) / 10000.0; }
    friend bool operator==(Currency, Currency) = default;
};

struct NullValue {
    friend bool operator==(NullValue, NullValue) = default;
};

// Empty and Null share one alternative: the variant keeps eleven, which the standard library visits by a switch.
struct Blank {
    bool null = false;
    friend bool operator==(Blank, Blank) = default;
};

class Variant {
public:
    Variant() = default;                  // Empty
    Variant(NullValue) : m_value(Blank{true}) {}
    Variant(bool v) : m_value(v) {}
    Variant(std::uint8_t v) : m_value(v) {}        // Byte
    Variant(std::int16_t v) : m_value(v) {}        // Integer
    Variant(int v) : m_value(std::int32_t(v)) {}    // Long
    // Wider whole numbers (SQLite's 64-bit integers, the ErrNo constants): a Long when they fit, else a Double.
    Variant(long v) : Variant(static_cast<long long>(v)) {}
    Variant(long long v)
    {
        if (v >= INT32_MIN && v <= INT32_MAX)
            m_value = std::int32_t(v);
        else
            m_value = double(v);
    }
    Variant(float v) : m_value(v) {}               // Single
    Variant(double v) : m_value(v) {}              // Double
    Variant(Currency v) : m_value(v) {}
    Variant(Date v) : m_value(v) {}
    Variant(const QString& v) : m_value(v) {}
    Variant(const char* v) : m_value(QString::fromUtf8(v)) {}
    Variant(ObjectPtr v) : m_value(std::move(v)) {}

    static Variant Null() { return Variant(NullValue{}); }

    VarType type() const;
    bool isEmpty() const
    {
        const Blank* b = std::get_if<Blank>(&m_value);
        return b && !b->null;
    }
    bool isNull() const
    {
        const Blank* b = std::get_if<Blank>(&m_value);
        return b && b->null;
    }
    bool isString() const { return std::holds_alternative<QString>(m_value); }
    bool isDate() const { return std::holds_alternative<Date>(m_value); }
    bool isObject() const { return std::holds_alternative<ObjectPtr>(m_value); }
    // Boolean, Byte, Integer, Long, Single, Double or Currency (not a numeric text).
    bool isNumberKind() const;

    // The platform's CBool, CInt, CLng, CSng, CDbl, CCur, CDate, CStr. Empty converts to False/0/"" and the
    // zero date; Null raises 94; text is read in the workstation's format (decimal comma) and raises 13 when
    // it is no number or date. CInt and CLng round halves to even and raise 6 out of range. CStr of a
    // Boolean is "True"/"False"; of a number uses the decimal comma; of a date, the default date text.
    bool toBool() const;
    std::uint8_t toByte() const;   // CByte: 0..255, halves to even, 6 beyond
    std::int16_t toInteger() const;
    std::int32_t toLong() const;
    float toSingle() const;
    double toDouble() const;
    Currency toCurrency() const;
    Date toDate() const;
    QString toString() const;
    ObjectPtr toObject() const;   // raises 13 when the value is no object (an empty object slot is a null pointer)
    // The text held, without a copy; null when the value is no String.
    const QString* textIf() const { return std::get_if<QString>(&m_value); }
    QString* textIf() { return std::get_if<QString>(&m_value); }

    template <class T> std::shared_ptr<T> objectAs() const { return std::dynamic_pointer_cast<T>(toObject()); }

    // Strict identity of kind and value (for tests and containers), not the platform's comparison.
    friend bool operator==(const Variant& a, const Variant& b) { return a.m_value == b.m_value; }

private:
    std::variant<Blank, std::uint8_t, bool, std::int16_t, std::int32_t, float, double, Currency, Date, QString,
                 ObjectPtr>
        m_value;
};

// Free forms, named as the platform names them.
inline bool CBool(const Variant& v) { return v.toBool(); }
inline std::int16_t CInt(const Variant& v) { return v.toInteger(); }
inline std::int32_t CLng(const Variant& v) { return v.toLong(); }
inline double CDbl(const Variant& v) { return v.toDouble(); }
inline Date CDate(const Variant& v) { return v.toDate(); }
inline QString CStr(const Variant& v) { return v.toString(); }

// True for numbers and Empty, and for text the workstation reads as a number ("1,5", " 12 ", "-3", "1.500,25",
// "1E3"; not "", not "1,5,2", not "12abc"). "." is the thousands separator, taken loosely between digits as the
// platform does ("1.5" reads as 15).
bool IsNumeric(const Variant& v);
// CStr of a Boolean on this thread: "True"/"False", or the workstation's "Verdadeiro"/"Falso" (as a script engine
// running in the Brazilian locale writes them). Returns the setting before.
bool SetPortugueseBooleans(bool on);
// The number a text holds in the workstation's format (the reader behind CDbl and IsNumeric of a text).
std::optional<double> NumberFromText(const QString& text);
// True for dates and for text that reads as a date ("31/01/2026", "31/01/2026 10:00"; not "31/02/2026").
bool IsDate(const Variant& v);
// The leading number of a text, with "." as the decimal point, 0 when there is none ("12abc" -> 12).
double Val(const QString& text);
// Round to a number of decimals, halves to even (Round(2.5) = 2, Round(3.5) = 4, Round(-2.5) = -2).
double Round(double value, int decimals = 0);
// Int and Fix: down to the whole number below, toward zero.
double Int(double value);
double Fix(double value);

// Text helpers with the platform's rules: Trim cuts blanks only (not tabs); Left and Mid clip to the text, Mid
// counts from 1; a negative length or a start below 1 raises 5.
QString Trim(const QString& s);
QString Left(const QString& s, int length);
QString Mid(const QString& s, int start, int length = -1);
QString UCase(const QString& s);
QString LCase(const QString& s);
QString Space(int count);

}  // namespace vb
