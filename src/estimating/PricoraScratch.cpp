#include "estimating/PricoraScratch.h"

#include "app/base/Codes.h"
#include "app/base/TextUtil.h"
#include "app/base/TypedValue.h"
#include "data/CItemSet.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "estimating/CItemPrice.h"
#include "platform/db/Database.h"

#include <cmath>

namespace Pricora {

namespace {

QString scratchFilter()
{
    return QStringLiteral("JobID = %1 and ItemNo = %2").arg(kJobId).arg(kItemNo);
}

// The first scratch row of the slot, in edit; a new one when there is none.
void editSlotRow(CItemSet &set, int slot)
{
    set.m_strFilter = scratchFilter() + QStringLiteral(" and EmpNo = %1").arg(slot);
    set.m_strSort = QStringLiteral("ItemID");
    set.Open(CXDaoSet::dbOpenDynaset);
    if (set.IsOpen() && !set.IsEOF()) {
        set.Edit();
        set.m_SubNo = 0;
        return;
    }
    set.AddNew();
    set.m_JobID = kJobId;
    set.m_ItemNo = kItemNo;
    set.m_SubNo = 0;
    set.m_EmpNo = quint8(slot);
}

} // namespace

qint32 QuantityOfText(const QString &quantityText)
{
    // Read as every count is ("1,000" is a thousand); "Varies", or a text
    // that is no count, is none.
    std::int32_t n = 0;
    return ReadTypedQuantity(quantityText, n) ? n : 0;
}

QList<qint32> Quantities(const QString &quantityText)
{
    QList<qint32> out;
    const qint32 n = QuantityOfText(quantityText);
    if (n != 0) {
        for (int i = 1; i <= kRows; ++i)
            out << qint32(qint64(n) * i);
        return out;
    }
    const QStringList varies = QStringLiteral("1,10,50,100,500, 1000, 5000, 10000,").split(QLatin1Char(','));
    for (int i = 0; i < kRows; ++i)
        out << (i < varies.size() - 1 ? ToInt(varies[i].trimmed()) : 0);
    return out;
}

void Difference(qint64 price, qint64 target, qint64 &difference, qint32 &percent)
{
    difference = percent = 0;
    if (price == 0 || target == 0)
        return;
    const qint64 d = price - target;
    difference = d;
    percent = d == 0 ? 0 : qint32(std::trunc(double(d) * 100.0 / double(price)));
}

int SlotOfCategory(qint32 catNo)
{
    if (catNo == 0)
        return 0;
    if (catNo >= 101 && catNo <= 199)
        return 1;
    if (catNo >= 201 && catNo <= 299)
        return 2;
    if (catNo == 6)
        return 3;
    return 4;
}

bool LoadScratchItem(PricoraSpecs &specs)
{
    CItemSet set;
    set.m_strFilter = scratchFilter();
    set.Open(CXDaoSet::dbOpenSnapshot);
    if (!set.IsOpen() || set.IsEOF())
        return false;
    QString note;
    for (; !set.IsEOF(); set.MoveNext()) {
        const qint32 serNo = set.m_SerNo > 0 ? set.m_SerNo : 0;
        switch (set.m_EmpNo) {
        case 1:
            specs.paper = serNo;
            specs.side1 = set.m_Side1;
            specs.side2 = set.m_Side2;
            specs.coverage = set.m_Covrg;
            specs.registration = set.m_Regis;
            specs.bleed = set.m_Bleed;
            break;
        case 2:
            specs.press = serNo;
            specs.wash = set.m_Wash;
            specs.mix = set.m_Mix;
            break;
        case 3: specs.plate = serNo; break;
        case 4: specs.other = serNo; break;
        default:
            specs.markup = set.m_Side2;
            specs.quantityText = set.m_ChargeQty == 0 ? QStringLiteral("Varies") : QString::number(set.m_ChargeQty);
            note = set.m_Note;
            break;
        }
    }
    // The targets, one per row from the first; rows beyond the list keep theirs.
    const QStringList entries = note.split(QLatin1Char(','));
    for (int i = 0; i < entries.size() - 1 && i < kRows; ++i)
        specs.targets[i] = entries[i].trimmed().toLongLong();
    return true;
}

bool SaveScratchItem(const PricoraSpecs &specs)
{
    CItemSet set;
    try {
        // The five rows together or not at all.
        platform::Transaction transaction(SharedDatabase());

        editSlotRow(set, 0);
        set.m_Description = QStringLiteral("Pricora Item");
        set.m_SerNo = 0;
        QString note;
        for (int i = 0; i < kRows; ++i)
            note += QString::number(specs.targets.value(i)) + QLatin1Char(',');
        set.m_Note = note;
        set.m_Sheets = 1;
        set.m_Pages = 1;
        set.m_Side2 = quint8(specs.markup);
        set.m_ChargeQty = QuantityOfText(specs.quantityText);
        set.Update();

        editSlotRow(set, 1);
        set.m_Description = QStringLiteral("Pricora Paper");
        set.m_SerNo = specs.paper ? specs.paper : -1;
        set.m_Sheets = 1;
        set.m_Pages = 1;
        set.m_Out = 1;
        set.m_Up = 1;
        set.m_Vendor = 0;
        set.m_Side1 = quint8(std::max(1, specs.side1));
        set.m_Side2 = quint8(specs.side2);
        set.m_Covrg = quint8(specs.coverage);
        set.m_Regis = quint8(specs.registration);
        set.m_Bleed = quint8(specs.bleed);
        set.m_PrtAs = 0;
        set.Update();

        editSlotRow(set, 2);
        set.m_Description = QStringLiteral("Pricora Press");
        set.m_SerNo = specs.press ? specs.press : -1;
        set.m_Wash = quint8(specs.wash);
        set.m_Mix = quint8(specs.mix);
        set.Update();

        editSlotRow(set, 3);
        set.m_Description = QStringLiteral("Pricora Plate");
        set.m_SerNo = specs.plate ? specs.plate : -1;
        set.m_Side1 = 1;
        set.m_Out = GetTotalInkCount(std::uint8_t(std::max(1, specs.side1)), std::uint8_t(specs.side2));
        set.Update();

        editSlotRow(set, 4);
        set.m_Description = QStringLiteral("Pricora Service");
        set.m_SerNo = specs.other ? specs.other : -1;
        set.m_Side1 = 1;
        set.m_Out = 1;
        set.Update();

        transaction.commit();
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save "));
        return false;
    }
    return true;
}

QList<qint64> PriceQuantities(const QList<qint32> &quantities)
{
    CItemSet item;
    item.m_JobID = kJobId;
    item.m_ItemNo = kItemNo;
    item.m_SubNo = 0;
    CItemPrice engine(&item, true);
    QList<qint64> prices;
    for (qint32 quantity : quantities) {
        qint64 price = 0;
        if (quantity > 0 && engine.PriceItem(quantity) != 0)
            price = engine.GetNewPrice().units() / 100;
        prices << price;
    }
    return prices;
}

} // namespace Pricora
