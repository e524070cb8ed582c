// The short texts that describe an item row and its service rows in the job
// window's item list, the printed documents, the schedule and the exports.
// They read only the current row.

#include "data/CItemSet.h"

#include "app/base/MoneyText.h"
#include "app/base/TextUtil.h"
#include "resources/Strings.h"

QString CItemSet::GetItemNoText(const QString &prefix) const
{
    QString out;
    GetItemNoText(out, prefix);
    return out;
}

void CItemSet::GetItemNoText(QString &out, const QString &prefix) const
{
    if (m_ItemNo == 0)
        out = QStringLiteral("NEW ITEM");
    else if (m_SubNo == 0)
        out = prefix + QString::number(m_ItemNo);
    else
        out = prefix + QStringLiteral("%1.%2").arg(m_ItemNo).arg(m_SubNo);
}

QString CItemSet::GetWashMixText(const QString &separator) const
{
    if (m_Wash == 0 && m_Mix == 0)
        return QString();
    return QStringLiteral("Wash: %1").arg(m_Wash) + separator + QStringLiteral("Mix: %1").arg(m_Mix);
}

QString CItemSet::GetRunFinishText(const QString &separator) const
{
    return QStringLiteral("Run:    ") + m_strRunSize + separator + QStringLiteral("Finish: ") + m_strFinishSize
        + separator + QStringLiteral("(%1 out  %2 up)").arg(m_Out).arg(m_Up);
}

QString CItemSet::GetChoiceText() const
{
    switch (m_Side2) {
    case 0: return QStringLiteral("Normal");
    case 1: return QStringLiteral("Bid");
    case 2: return QStringLiteral("Rush");
    case 3: return QStringLiteral("Special");
    case 4: return QStringLiteral("-");
    case 5: return QStringLiteral("Ask Unit Price");
    case 6: return QStringLiteral("Ask Item Price");
    case 7: return QStringLiteral("-");
    default: break;
    }
    // 8..107 are 1 % to 100 % up; from 108 on the choice is a price cut,
    // shown as a negative percentage.
    if (m_Side2 <= 107)
        return QString::number(int(m_Side2) - 7) + QStringLiteral("% up");
    return QString::number(107 - int(m_Side2)) + QStringLiteral("% down");
}

QString CItemSet::GetPressSpecText(const QString &separator) const
{
    QString text;
    if (m_PrtAs != 0)
        AppendText(text, QStringLiteral("Print: ") + GetResourceListItem(IDS_PRINT_STYLES, m_PrtAs), separator);
    if (m_Covrg != 0)
        AppendText(text, QStringLiteral("Covrg: ") + GetResourceListItem(IDS_DIFFICULTY, m_Covrg), separator);
    if (m_Regis != 0)
        AppendText(text, QStringLiteral("Regis: ") + GetResourceListItem(IDS_DIFFICULTY, m_Regis), separator);
    if (m_Bleed != 0)
        AppendText(text, QStringLiteral("Bleed: ") + GetResourceListItem(IDS_BLEED_SIDES, m_Bleed), separator);
    return text;
}

QString CItemSet::GetSheetsText(const QString &unitWord) const
{
    QString unit = unitWord;
    if (m_Sheets == 1) {
        // One sheet: each word of the unit loses its plural "s" ("Sheets/Set"
        // reads "Sheet/Set", "sheets" reads "sheet").
        unit.clear();
        for (int i = 0; i < unitWord.size(); ++i) {
            const bool endsWord = i + 1 == unitWord.size() || !unitWord.at(i + 1).isLetter();
            if (!(unitWord.at(i) == QLatin1Char('s') && endsWord))
                unit += unitWord.at(i);
        }
    }
    return FormatInt(m_Sheets, true, false) + QLatin1Char(' ') + unit;
}
