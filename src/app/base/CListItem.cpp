#include "app/base/CListItem.h"

CListItem::CListItem(std::int32_t value, const QString &text, std::int32_t n1, std::int32_t n2,
                     std::int32_t n3, std::int32_t n4, std::int32_t n5, std::int32_t n6,
                     std::int32_t n7, std::int32_t n8)
    : m_value(value), m_text(text), m_numbers{n1, n2, n3, n4, n5, n6, n7, n8}
{
}

std::int32_t CListItem::number(int n) const
{
    return n >= 1 && n <= 8 ? m_numbers[size_t(n - 1)] : 0;
}

void CListItem::setNumber(int n, std::int32_t value)
{
    if (n >= 1 && n <= 8)
        m_numbers[size_t(n - 1)] = value;
}
