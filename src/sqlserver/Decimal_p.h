#pragma once
// SQL Server's decimal(p,s), numeric and money as exact numbers: a 128-bit count of units of 10^-scale with
// a precision of 1..38 digits. Results of + - * / % take SQL Server's precision and scale (with its cap at 38
// digits and the minimum scale 6 of divisions and products); rounding is half away from zero, as CAST does, and
// quotients are truncated at their scale, as SQL Server's are.

#include <QString>
#include <QStringView>
#include <algorithm>
#include <optional>

namespace sqlserver {

struct DecimalType {
    int precision = 18;
    int scale = 0;
    friend bool operator==(DecimalType, DecimalType) = default;
};

enum class DecimalOperator { Add, Subtract, Multiply, Divide, Modulo };

// The type SQL Server gives `a op b`.
DecimalType resultType(DecimalOperator op, DecimalType a, DecimalType b);

class Decimal {
public:
    static constexpr int maxPrecision = 38;

    Decimal() = default;
    // `units` of 10^-scale, at the given scale (the precision is the digits the value has, at least 1).
    static Decimal fromUnits(__int128 units, int scale);
    static Decimal fromInteger(long long value) { return fromUnits(value, 0); }
    // A literal or a text in plain notation (" -12.50 ", "1.", ".5"); nullopt when it is none or has more than
    // 38 digits. Its precision and scale are the literal's own (12.50 is decimal(4,2)).
    static std::optional<Decimal> parse(QStringView text);
    // A double as the 15 significant digits it stands for (0.1 stays 0.1), then rounded to `scale`; nullopt
    // for infinities, NaN and values past 38 digits.
    static std::optional<Decimal> fromDouble(double value, int scale);

    __int128 units() const { return m_units; }
    int scale() const { return m_scale; }
    // The digits before the point (0 for 0.05), and the precision the value has: those and the scale, at least 1.
    int integerDigits() const;
    int precision() const { return std::max(1, integerDigits() + m_scale); }
    bool isZero() const { return m_units == 0; }
    int sign() const { return m_units < 0 ? -1 : m_units > 0 ? 1 : 0; }

    // The value at another scale, rounded half away from zero; nullopt past 38 digits.
    std::optional<Decimal> rescaled(int scale) const;
    // Rounded (or truncated) at `places` decimals, negative for tens, hundreds ...; the scale stays.
    std::optional<Decimal> roundedAt(int places, bool truncate) const;
    // Whether the value fits decimal(precision, its scale).
    bool fits(int precision) const { return integerDigits() <= precision - m_scale; }

    // `a op b` at `type` (see resultType); nullopt on overflow of the type or division by zero (check
    // isZero of the divisor first to tell them apart).
    static std::optional<Decimal> apply(DecimalOperator op, const Decimal& a, const Decimal& b, DecimalType type);

    int compare(const Decimal& other) const;
    double toDouble() const;
    // Plain notation with every digit of the scale: "2.50", "-0.005", "10".
    QString toString() const;
    // Whole units toward zero (the integer part), nullopt past 64 bits.
    std::optional<long long> toInteger() const;

    friend bool operator==(const Decimal& a, const Decimal& b) { return a.compare(b) == 0; }

private:
    __int128 m_units = 0;
    int m_scale = 0;
};

}  // namespace sqlserver
