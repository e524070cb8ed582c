// What the engine tells about one priced row: how its service quantity was
// reached, its time, and the row's own explanation.
#include "estimating/CItemPrice.h"

#include "app/base/CZqApp.h"
#include "app/base/Codes.h"
#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"
#include "views/CNoteDlg.h"

#include <QtWidgets/QApplication>

namespace {

// The quantity kinds and the press colour codes as the service dialog names
// them; the string table's lists are used when it has them.
const char *const kQtyByLabels[] = {" --- not used ---",
                                    "Item Quantity",
                                    "Pages per Set (total sides printed)",
                                    "Sheets per Set",
                                    "Parent Size Sheets",
                                    "Run Size Sheets (with waste)",
                                    "Run Size Sheets (no waste)",
                                    "Finish Size Sheets (no waste)",
                                    "Impressions",
                                    "Plates",
                                    "Washups",
                                    "Ink Mixes",
                                    "1 (lot)",
                                    "---",
                                    "Item Width",
                                    "Item Height",
                                    "Item Perimeter",
                                    "Item Area",
                                    "Total Width",
                                    "Total Height",
                                    "Total Perimeter",
                                    "Total Area"};

QString listLabel(int resourceId, int code, const QString &fallback)
{
    const QString text = GetResourceListItem(resourceId, code);
    return text.isEmpty() ? fallback : text;
}

QString qtyByLabel(int code)
{
    const int count = int(sizeof(kQtyByLabels) / sizeof(kQtyByLabels[0]));
    return listLabel(40033, code, code >= 0 && code < count ? QString::fromLatin1(kQtyByLabels[code]) : QString());
}

QString pressColorsLabel(int code)
{
    QString fallback;
    if (code >= 0 && code <= 8)
        fallback = code == 0 ? QStringLiteral("1 / 0      (1 pass/1 color/side)")
                             : QStringLiteral("%1 / 0").arg(code + 1);
    if (code == 8)
        fallback = QStringLiteral("9 / 0      (1 pass/9 colors/side)");
    if (code >= 9 && code <= 17)
        fallback = code == 9 ? QStringLiteral("1 / 1      (1 pass/1 color)")
                             : QStringLiteral("%1 / %1").arg(code - 8);
    if (code == 17)
        fallback = QStringLiteral("9 / 9      (1 pass/9 colors)");
    if (code == 18)
        fallback = QStringLiteral("-------------------------");
    if (code == 19)
        fallback = QStringLiteral("Digital   (1 click/side of FinSize)");
    if (code == 20)
        fallback = QStringLiteral("Digital   (1 click/side of RunSize)");
    return listLabel(40060, code, fallback);
}

QString grouped(qint32 value)
{
    return FormatInt(value, true, false);
}

QString minutes(qint32 value)
{
    QString out;
    FormatMinutes(value, out);
    return out;
}

} // namespace

QString CItemPrice::GetQuantityExplanation(qint32 itemId)
{
    if (!LoadWorkRow(itemId) || !m_pSer)
        return QString();
    const CSerSet &ser = *m_pSer;
    const CItemSet &row = m_work;
    QString caption = ser.m_Name;
    if (CZqApp *app = ZqApp()) {
        const QString full = app->GetServiceFullName(ser.m_SerNo);
        if (!full.isEmpty())
            caption = full;
    }
    const QString quantityText = QStringLiteral("Service Quantity: ") + grouped(row.m_nSerQty);
    const qint32 base = GetServiceQuantity(ser.m_QtyBy);
    const QString divideNote =
        row.m_nDivide != ser.m_Divide ? QStringLiteral("Actual Service Property: %1").arg(ser.m_Divide) : QString();
    const bool asks = ser.m_AskHowMany.size() >= 2;
    const qint32 multiplier = asks ? row.m_Out : ser.m_Multiply;

    QString text = QString::asprintf("%s\n%s\nEqual to \t\t%s \t%s\nDivide by\t\t%d \t%s\nMultiply by\t%d \t%s\nRound to "
                                     "\t\t%d \n\n",
                                     qPrintable(caption), qPrintable(quantityText), qPrintable(grouped(base)),
                                     qPrintable(qtyByLabel(ser.m_QtyBy)), row.m_nDivide, qPrintable(divideNote),
                                     multiplier, qPrintable(ser.m_AskHowMany), ser.m_Round);
    if (!IsPaperCategory(ser.m_CatNo) && !IsPrintingCategory(ser.m_CatNo)) {
        text += QString::asprintf("SERVICE QTY\t%s \t(Item Quantity: %s   Sheets/Set: %d   Caliper: %g)\n",
                                  qPrintable(grouped(row.m_nSerQty)), qPrintable(grouped(m_nItemQty)),
                                  m_counts.sheetsPerSet, m_counts.caliper);
    } else {
        text += QString::asprintf("Colors/Pass\t%s\nPasses  \t\t%d\n2Sides   \t\t%d\nPlates  \t\t%d\tSpecial Plates: "
                                  "%d\nCoverage\t\t%d\nRegister\t\t%d\nPrintAs \t\t%d\nWashups \t\t%d\nMixes   \t\t%d\n"
                                  "Bleeds  \t\t%d\n",
                                  qPrintable(pressColorsLabel(m_nPressColors)), m_counts.passes, m_bBothSides ? 1 : 0,
                                  m_nPlateTotal, m_nPlatesOwnQty, m_nCoverage, m_nRegister, m_nPrintAs, m_nWashes,
                                  m_nMixes, m_nBleed);
    }
    if (row.m_ChargeTime != 0) {
        text += QString::asprintf("\nSERVICE TIME\t%s\n   Setup\t\t%s\n   Run \t\t%s \t(%s @ %g per Hour)",
                                  qPrintable(minutes(row.m_ChargeTime)), qPrintable(minutes(row.m_nSetMinutes)),
                                  qPrintable(minutes(row.m_nRunMinutes)), qPrintable(grouped(row.m_nSerQty)),
                                  row.m_dRunSpeed);
    }
    text += QStringLiteral("\n\n") + row.m_strExplain + QStringLiteral("\n\n") + QString(40, QLatin1Char('-'));
    return text;
}

void CItemPrice::ExplainServiceQuantity(qint32 itemId)
{
    const QString text = GetQuantityExplanation(itemId);
    if (text.isEmpty())
        return;
    CNoteDlg note(QStringLiteral("How Service Quantity is Calculated"), QStringLiteral("Quantity Detail"), text,
                  CNoteDlg::ShowText, QApplication::activeWindow());
    note.DoModal();
}

void CItemPrice::OpenRowService(qint32 itemId)
{
    if (!LoadWorkRow(itemId) || !m_pSer)
        return;
    if (CZqApp *app = ZqApp())
        app->OpenService(m_work.m_SerNo, 1, false);
}
