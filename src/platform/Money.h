#pragma once

#include <QtCore/QString>
#include <cstdint>

// The shop's money: a signed 64-bit count of ten-thousandths with a status, as
// the currency value the program was designed on. Arithmetic is exact; money is
// never added in doubles. A price of exactly +/-0.0001 is the No Charge marker.
class Money
{
public:
    enum class Status : std::uint8_t { Valid, Invalid, Null };

    static constexpr std::int64_t kUnitsPerWhole = 10000;
    static constexpr std::int64_t kUnitsPerCent = 100;

    constexpr Money() = default;

    static constexpr Money fromUnits(std::int64_t units) { Money m; m.m_units = units; return m; }
    static constexpr Money fromCents(std::int64_t cents) { return fromUnits(cents * kUnitsPerCent); }
    static constexpr Money fromWhole(std::int64_t whole) { return fromUnits(whole * kUnitsPerWhole); }
    // Rounds to the nearest ten-thousandth, half away from zero; an invalid
    // value when the amount lies beyond the currency range.
    static Money fromDouble(double value);
    // Reads "1234.5678", "-12.3", "1,234.50"; returns an invalid value when the
    // text is not a number or lies beyond the currency range.
    static Money fromText(const QString &text);
    static constexpr Money null() { Money m; m.m_status = Status::Null; return m; }
    static constexpr Money invalid() { Money m; m.m_status = Status::Invalid; return m; }
    static constexpr Money zero() { return Money(); }
    static constexpr Money noChargeMarker() { return fromUnits(1); }

    constexpr std::int64_t units() const { return m_units; }
    constexpr Status status() const { return m_status; }
    constexpr bool isValid() const { return m_status == Status::Valid; }
    constexpr bool isNull() const { return m_status == Status::Null; }
    constexpr void setStatus(Status s) { m_status = s; }
    constexpr bool isZero() const { return m_units == 0; }
    // +0.0001 or -0.0001: priced, but charging nothing.
    constexpr bool isNoCharge() const { return m_units == 1 || m_units == -1; }

    double toDouble() const { return double(m_units) / double(kUnitsPerWhole); }
    // Plain decimal text with up to four decimals and no grouping ("-12.5", "7").
    QString toPlainText() const;

    // Rounds to whole cents half away from zero (invalid when that leaves the range).
    Money roundedToCentsHalfAway() const;

    // Arithmetic never wraps: a result beyond the currency range
    // (-922,337,203,685,477.5808 to 922,337,203,685,477.5807) is an invalid
    // value (units 0, status Invalid), which callers report as an overflow.
    constexpr Money operator-() const
    {
        Money m = *this;
        if (__builtin_sub_overflow(std::int64_t(0), m_units, &m.m_units))
            return overflowed();
        return m;
    }
    constexpr Money &operator+=(Money o)
    {
        if (__builtin_add_overflow(m_units, o.m_units, &m_units))
            *this = overflowed();
        return *this;
    }
    constexpr Money &operator-=(Money o)
    {
        if (__builtin_sub_overflow(m_units, o.m_units, &m_units))
            *this = overflowed();
        return *this;
    }
    constexpr Money &operator*=(std::int64_t n)
    {
        if (__builtin_mul_overflow(m_units, n, &m_units))
            *this = overflowed();
        return *this;
    }
    friend constexpr Money operator+(Money a, Money b) { return a += b; }
    friend constexpr Money operator-(Money a, Money b) { return a -= b; }
    friend constexpr Money operator*(Money a, std::int64_t n) { return a *= n; }
    friend constexpr Money operator*(std::int64_t n, Money a) { return a *= n; }
    // Integer division of the unit count, truncating toward zero.
    friend constexpr Money operator/(Money a, std::int64_t n)
    {
        if (n == -1)
            return -a;
        return fromUnits(n ? a.m_units / n : 0);
    }
    // The result of an arithmetic that left the currency range.
    static constexpr Money overflowed() { return invalid(); }

    friend constexpr bool operator==(Money a, Money b) { return a.m_units == b.m_units; }
    friend constexpr auto operator<=>(Money a, Money b) { return a.m_units <=> b.m_units; }

private:
    std::int64_t m_units = 0;
    Status m_status = Status::Valid;
};
