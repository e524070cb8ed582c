#include "controls/CGridCell.h"

CGridCell::CGridCell(int index, const QString &title, int width, int fieldType, int listFormat)
    : m_index(index), m_title(title), m_width(width), m_fieldType(std::int16_t(fieldType))
{
    switch (listFormat) {
    case 0: m_format = kFormatLeft; break;
    case 1: m_format = kFormatRight; break;
    case 2: m_format = kFormatCentre; break;
    default: m_format = std::uint32_t(listFormat); break;
    }
    // The first column counts the rows; money columns other than averages,
    // rates and the like are summed.
    if (index == 0 || title.contains(QLatin1String("Count")))
        m_totalMode = TotalCount;
    else if (fieldType == 5 && !TakesNoSum(title))
        m_totalMode = TotalMoney;
    else
        m_totalMode = TotalNone;
}

bool CGridCell::TakesNoSum(const QString &title)
{
    static const char *const kWords[] = {"Avg", "Average", "%", "Percent", "Rate", "Ratio", "Unit"};
    for (const char *word : kWords)
        if (title.contains(QLatin1String(word)))
            return true;
    return false;
}
