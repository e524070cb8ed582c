#pragma once

#include <QtCore/QString>

#include <cstdint>

// The description of one column of the record list and of list printing: its
// place, heading, width, field type, drawing format, owner's flag bytes and the
// column's running total.
class CGridCell
{
public:
    // What the column's total is.
    enum TotalMode : std::uint8_t {
        TotalNone = 0,
        TotalCount = 1,       // count of rows
        TotalMoney = 2,       // sum of money
        TotalListMoney = 5,   // sum of money, as the record list counts it
        TotalMinutes = 31,    // sum of minutes, shown as a time
        TotalListCount = 34,  // count, as the record list counts it
    };

    // DrawText formats: single line, no prefix, and left, centre or right.
    static constexpr std::uint32_t kFormatLeft = 2080;
    static constexpr std::uint32_t kFormatCentre = 2081;
    static constexpr std::uint32_t kFormatRight = 2082;
    static constexpr std::uint32_t kFormatDefault = 2085; // centred, vertically centred

    CGridCell() = default;
    // listFormat 0 left, 1 right, 2 centre; any other value is taken as the
    // drawing format itself. The total mode follows from index, title and type.
    CGridCell(int index, const QString &title, int width, int fieldType, int listFormat);

    // A column of averages, rates, percentages or unit prices: its values do
    // not add up to anything, so no total row sums it (on screen or on
    // paper). Its title says so: "Avg", "Average", "%", "Percent", "Rate",
    // "Ratio" or "Unit".
    static bool TakesNoSum(const QString &title);

    // Adds one value to the running total.
    void addToTotal(std::int64_t amount) { m_total += amount; ++m_rowCount; }

    std::int32_t m_index = 0;
    QString m_title;
    std::int32_t m_width = 0;
    std::int16_t m_fieldType = 0;
    std::uint32_t m_format = kFormatDefault;
    std::uint8_t m_flag0 = 2;   // owner's flag (the record list: font index)
    std::uint8_t m_flag1 = 0;   // owner's flag (the record list: colour style)
    std::uint8_t m_flag2 = 0;   // reserved
    std::uint8_t m_totalMode = TotalNone;
    std::int32_t m_rowCount = 0;
    std::int64_t m_total = 0;   // money in ten-thousandths, other numbers as integers
};
