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
    // Rounds to the nearest ten-thousandth, half away from zero.
    static Money fromDouble(double value);
    // Reads "1234.5678", "-12.3", "1,234.50"; returns an invalid value when the
    // text is not a number.
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

    // Rounds to whole cents half away from zero.
    Money roundedToCentsHalfAway() const;

    constexpr Money operator-() const { Money m = *this; m.m_units = -m_units; return m; }
    constexpr Money &operator+=(Money o) { m_units += o.m_units; return *this; }
    constexpr Money &operator-=(Money o) { m_units -= o.m_units; return *this; }
    constexpr Money &operator*=(std::int64_t n) { m_units *= n; return *this; }
    friend constexpr Money operator+(Money a, Money b) { return a += b; }
    friend constexpr Money operator-(Money a, Money b) { return a -= b; }
    friend constexpr Money operator*(Money a, std::int64_t n) { return a *= n; }
    friend constexpr Money operator*(std::int64_t n, Money a) { return a *= n; }
    // Integer division of the unit count, truncating toward zero.
    friend constexpr Money operator/(Money a, std::int64_t n) { return fromUnits(n ? a.m_units / n : 0); }

    friend constexpr bool operator==(Money a, Money b) { return a.m_units == b.m_units; }
    friend constexpr auto operator<=>(Money a, Money b) { return a.m_units <=> b.m_units; }

private:
    std::int64_t m_units = 0;
    Status m_status = Status::Valid;
};
