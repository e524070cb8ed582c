#pragma once

#include <QtCore/QString>

#include <array>
#include <cstdint>

// One entry of a list, tree, grid pick list or code-table cache: a code, a
// display text and eight numbers whose meaning belongs to the user of the entry.
class CListItem
{
public:
    CListItem() = default;
    CListItem(std::int32_t value, const QString &text, std::int32_t n1 = 0, std::int32_t n2 = 0,
              std::int32_t n3 = 0, std::int32_t n4 = 0, std::int32_t n5 = 0, std::int32_t n6 = 0,
              std::int32_t n7 = 0, std::int32_t n8 = 0);

    // Number 1 to 8; any other index reads 0 and writes nothing.
    std::int32_t number(int n) const;
    void setNumber(int n, std::int32_t value);

    friend bool operator==(const CListItem &a, const CListItem &b) = default;

    std::int32_t m_value = 0;                // the entry's code
    QString m_text;                          // the entry's display text
    std::array<std::int32_t, 8> m_numbers{}; // numbers 1 to 8 at [0] to [7]
};
