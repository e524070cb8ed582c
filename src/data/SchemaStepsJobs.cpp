#include "data/SchemaStepsJobs.h"

#include "data/DatabaseHelpers.h"
#include "data/ShopDatabase.h"
#include "data/TaxAmounts.h"
#include "data/UpgradeContext.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "platform/Money.h"

#include <cstdint>

namespace {

using platform::FieldType;

QString s(const char *text) { return QString::fromUtf8(text); }

// Which item rows belong to services sold by time.
const char *kTimeServices =
    "(Services.CatNo = 1 or Services.CatNo = 3 or Services.CatNo = 5 or Services.CatNo = 201 or "
    "Services.CatNo = 601 or (Services.CatNo > 400 and Services.CatNo < 409)) ";
const char *kItemsWithServices = "(Items INNER JOIN Services ON Services.SerNo = Items.SerNo)";
const char *kItemsJoinServices = "Items INNER JOIN Services ON Items.SerNo = Services.SerNo";
const char *kItemPairs =
    "(Items INNER JOIN Services ON Items.SerNo = Services.SerNo) INNER JOIN (Items AS Items_1 INNER JOIN "
    "Services AS Services_1 ON Items_1.SerNo = Services_1.SerNo) ON (Items.ItemNo = Items_1.ItemNo) AND "
    "(Items.JobID = Items_1.JobID) ";

// The base a rate taxes, by its flags alone: the net, plus shipping and
// postage when the rate taxes them.
Money flaggedBase(const TaxRateLookup &rates, quint8 taxNo, Money net, Money shipping, Money postage)
{
    TaxRate rate;
    if (rates(taxNo, rate)) {
        if (rate.taxShipping)
            net += shipping;
        if (rate.taxPostage)
            net += postage;
    }
    return net;
}

qint32 percentOf(const TaxRateLookup &rates, quint8 taxNo)
{
    TaxRate rate;
    return rates(taxNo, rate) ? rate.tenThousandthsOfPercent : 0;
}

} // namespace

void ConvertTaxAmounts(UpgradeContext &u, const QString &table, const QString &codeField)
{
    const bool jobs = table == QLatin1String("Jobs");
    const TaxRateLookup rates = TaxRatesReadOnce(&u.db());
    platform::Recordset rows(u.db());
    rows.open(platform::Recordset::Type::Dynaset,
              QStringLiteral("SELECT Tax, Taxable, Taxable2, Tax2, %1, Subtotal, %2 FROM %3 WHERE Tax <> 0 and %1 > 0")
                  .arg(codeField, jobs ? QStringLiteral("Discount, Shipping, Postage") : QStringLiteral("0, 0, 0"),
                       table));
    for (; !rows.isEOF(); rows.moveNext()) {
        const Money stored = rows.value(0).toMoney();
        const auto code = quint8(rows.value(4).toInt());
        const auto amount = [&rows](int i) {
            const platform::Value v = rows.value(i);
            return v.isNull() ? Money() : Money::fromUnits(v.toMoney().units());
        };
        const Money net = amount(5) + amount(6);
        const Money shipping = amount(7);
        const Money postage = amount(8);

        Money taxable = net;
        Money tax;
        Money secondBase;
        Money secondTax;
        ComputeTaxAmounts(taxable, shipping, postage, code, tax, secondBase, secondTax, rates);
        if (tax != stored) {
            // Taxed at other rates than the file holds now: the tax stays as
            // it was charged, each rate's base by its flags, and a tax of both
            // rates is shared by what each rate took on its own base.
            const Money base1 = flaggedBase(rates, code == 3 ? 1 : code, net, shipping, postage);
            const Money base2 = flaggedBase(rates, 2, net, shipping, postage);
            taxable = code == 2 ? base2 : base1;
            secondBase = code == 2 || code == 3 ? base2 : Money();
            secondTax = code == 2 ? stored : Money();
            if (code == 3) {
                const __int128 w1 = __int128(base1.units()) * percentOf(rates, 1);
                const __int128 w2 = __int128(base2.units()) * percentOf(rates, 2);
                // The share in ten-thousandths, cut toward zero, never crosses
                // half a cent the exact share is beyond, so rounding it gives
                // the exact cents. Without rates the whole tax stays the second.
                secondTax = w1 + w2 == 0
                    ? stored
                    : Money::fromUnits(std::int64_t(__int128(stored.units()) * w2 / (w1 + w2))).roundedToCentsHalfAway();
            }
        }
        rows.edit();
        rows.setValue(1, platform::Value(taxable));
        rows.setValue(2, platform::Value(secondBase));
        rows.setValue(3, platform::Value(secondTax));
        rows.update();
    }
    rows.close();
}

bool UpgradeCreateTable(UpgradeContext &u, const char *table, const char *text)
{
    const QString name = s(table);
    return u.runStep(name, s(text), [&] {
        if (!u.tableExists(name))
            u.createTable(name);
    });
}

bool UpgradeJobsCreator(UpgradeContext &u)
{
    return u.runStep(s("Jobs"), s("Add fields"), [&] {
        if (u.fieldCount(s("Jobs")) < 43)
            u.addField(s("Creator"), FieldType::Byte);
    });
}

bool UpgradeJobsPrintFields(UpgradeContext &u)
{
    return u.runStep(s("Jobs"), s("Add fields"), [&] {
        if (u.fieldCount(s("Jobs")) >= 44)
            return;
        u.addField(s("PropID1"), FieldType::Byte);
        u.addField(s("PrintOption"), FieldType::Long);
        u.addField(s("ProofTime"), FieldType::Text, 5);
        u.setRowFields(s("Select Creator FROM Jobs WHERE Creator is NULL"), platform::Value(0));
    });
}

bool UpgradeJobsTaxFields(UpgradeContext &u)
{
    return u.runStep(s("Jobs"), s("Add tax fields"), [&] {
        if (u.hasField(s("Jobs"), s("PrintOption2")))
            return;
        u.resizeText(s("Title"), 100, 3);
        u.addField(s("PrintOption2"), FieldType::Long, 0, 0, -1, true);
        u.addField(s("Taxable"), FieldType::Currency, 0, 0, -1, true);
        u.addField(s("Taxable2"), FieldType::Currency, 0, 0, -1, true);
        u.addField(s("Tax2"), FieldType::Currency, 0, 0, -1, true);

        // The taxable amount of every taxed job; a job of two rates (tax 3)
        // keeps the second rate's share of its tax in Tax2, a job of the
        // second rate alone all of it. Then each rate's own base and tax as
        // the tax rules give them (shipping and postage where it taxes them).
        u.update(s("Jobs"), s("Taxable  = Subtotal + Discount"), s("Tax <> 0 and TaxNo > 0"));
        u.update(s("Jobs"), s("Taxable2 = Subtotal + Discount, Tax2 = Tax"), s("Tax <> 0 and TaxNo = 2"));
        u.update(s("Jobs"), s("Taxable2 = Subtotal + Discount, Tax2 = Tax"), s("Tax <> 0 and TaxNo = 3"));
        ConvertTaxAmounts(u, s("Jobs"), s("TaxNo"));
    });
}

bool UpgradeItemsPropFields(UpgradeContext &u)
{
    return u.runStep(s("Items"), s("Add fields"), [&] {
        if (u.fieldCount(s("Items")) >= 23)
            return;
        u.addField(s("PropID1"), FieldType::Byte);
        u.addField(s("PropID2"), FieldType::Byte);
    });
}

bool UpgradeItemsTimeFields(UpgradeContext &u)
{
    return u.runStep(s("Items"), s("Add time and material fields"), [&] {
        if (u.hasField(s("Items"), s("TimeCost")))
            return;
        u.startPhase(22, s("Items Table:"), s("Adding new fields..."));
        struct NewField { const char *name; FieldType type; int position; };
        const NewField fields[] = {
            {"ActualTime", FieldType::Long, -1}, {"ChargeTime", FieldType::Long, -1},
            {"TimeCost", FieldType::Currency, -1}, {"ActualQty", FieldType::Long, -1},
            {"ChargeQty", FieldType::Long, -1}, {"MatCost", FieldType::Currency, -1},
            {"Width", FieldType::Single, -1}, {"Height", FieldType::Single, -1},
            {"Sheets", FieldType::Long, -1}, {"Pages", FieldType::Long, -1},
            {"Data1", FieldType::Long, -1}, {"Data2", FieldType::Long, -1},
            {"Vendor", FieldType::Byte, -1}, {"Opt1", FieldType::Byte, -1},
            {"Opt2", FieldType::Byte, -1}, {"Opt3", FieldType::Byte, -1},
            {"Opt4", FieldType::Byte, -1}, {"Days2", FieldType::Byte, -1},
            {"Tag1", FieldType::Byte, -1}, {"Tag2", FieldType::Byte, -1},
            {"SortNo", FieldType::Byte, -1}, {"SubNo", FieldType::Byte, 6},
        };
        for (const NewField &f : fields)
            u.addField(s(f.name), f.type, 0, 0, f.position, true);

        u.startPhase(14, s("Items Table:"), s("Copying data to new fields..."));
        const QString t = s(kTimeServices);
        struct Conversion { const char *step; QString table; QString set; QString where; };
        const Conversion conversions[] = {
            {"Services by Time", s(kItemsWithServices),
             s("Items.ActualTime = Items.ActualQ, Items.ChargeTime = Items.ChargeQ, Items.TimeCost = Items.Cost, "
               "Items.Days2 = PropID1, Items.Tag1 = Items.PropID2"),
             t},
            {"Services by Material", s(kItemsWithServices),
             s("Items.ActualQty = Items.ActualQ, Items.ChargeQty = Items.ChargeQ, Items.MatCost = Items.Cost, "
               "Items.Days2 = PropID1, Items.Tag1 = Items.PropID2"),
             t + s("=0")},
            {"Item Status", s("Items"),
             s("Items.Status = IIF(Items.Covrg = 0, 0, IIF(Items.Covrg > 93, 17, IIF(Items.Covrg > 89, "
               "(Items.Covrg-89), 4))) "),
             s("Items.SerNo = 0")},
            {"Sheets", s("Items"),
             s("Items.ChargeQty = Items.ChargeQ, Items.Sheets = Items.Out, Items.Opt2 = 1, Items.Opt3 = 0, "
               "Items.Wash = 0,  Items.Out = 0, Items.Covrg  = 0"),
             s("Items.SerNo = 0")},
            {"PriceLevel", s("Items"),
             s("Items.Side2 = IIF(Items.Side2 = 154, 5, IIF(Items.Side2 = 155, 6, Items.Side2+4))"),
             s("Items.SerNo = 0 and Items.Side2 > 3")},
            {"Paper Specs", s(kItemsJoinServices),
             s("Items.Vendor = Items.Side1, Items.Side1=0, Items.Opt1 = Items.Wash, Items.Opt2 = Items.Mix, "
               "Items.Opt3 = Items.PrtAs, Items.Opt4 = Items.Bleed, Items.Wash = 0, Items.Mix = 0, Items.PrtAs = 0, "
               "Items.Bleed = 0"),
             s("(Services.CatNo Between 101 And 116)")},
            {"Press to Paper Specs",
             s("((Items AS Items_1 INNER JOIN Items ON (Items_1.JobID = Items.JobID) AND (Items_1.ItemNo = "
               "Items.ItemNo)) INNER JOIN Services AS Services_1 ON Items_1.SerNo = Services_1.SerNo) INNER JOIN "
               "Services ON Items.SerNo = Services.SerNo"),
             s("Items_1.Side1 = Items.Side1, Items_1.Side2 = Items.Side2, Items_1.Covrg = Items.Covrg, "
               "Items_1.Regis = Items.Regis, Items_1.Bleed = Items.Bleed, Items_1.PrtAs = Items.PrtAs"),
             s("(Services.CatNo=201 or Services.CatNo=302) AND (Services_1.CatNo Between 101 And 116)")},
            {"Sheets and Pages",
             s("(Items AS Items_1 INNER JOIN Items ON (Items.ItemNo = Items_1.ItemNo) AND (Items_1.JobID = "
               "Items.JobID)) INNER JOIN Services ON Items_1.SerNo = Services.SerNo "),
             s("Items_1.Sheets = Items.Sheets, Items_1.Pages = IIF(Items_1.Side1 > 0 and Items_1.Side2 > 0, "
               "Items.Sheets*2, Items.Sheets)"),
             s("Items.SerNo=0 AND (Services.CatNo Between 101 And 116)")},
            {"Ink Colors", s(kItemPairs), s("Items.Note = (Items.Note & '") + s(" • ") + s("' & Items_1.Note)"),
             s("(Services.CatNo Between 101 And 116) AND Services_1.CatNo = 201 and Items_1.Note <> ''")},
            {"Press", s(kItemsJoinServices),
             s("Items.Side1 = 0, Items.Side2 = 0, Items.Covrg = 0, Items.Regis = 0, Items.Bleed = 0, Items.PrtAs = 0, "
               "Items.Note = ''"),
             s("Services.CatNo = 201")},
            {"Copy Paper: Vendor", s(kItemsJoinServices),
             s("Items.Vendor = Services.VendorNo, Items.Pages = IIF(Items.Side1=0,0, IIF(Items.Side1<3, Items.Out, "
               "Items.Out*2)),\tItems.Sheets = IIF(Items.Side1 = 2, (Items.Out+0.5)/2, IIF(Items.Side1 = 3, "
               "Items.Out*2, Items.Out)), Items.Side2 = IIF((Items.Side1 = 2 or Items.Side1 = 4), 1, 0), "
               "Items.Side1 = IIF(Items.Side1 > 0, 1, 0)"),
             s("Services.CatNo = 301")},
            {"Copy Paper: Out and Up", s(kItemsJoinServices), s("Items.Out = 1, Items.Up = 1"),
             s("Services.CatNo = 301")},
            {"Copy Paper: Up Digital", s(kItemPairs), s("Items.Out = 1, Items.Up = Items_1.Out"),
             s("Services.CatNo = 301 AND Services_1.CatNo = 302 and Items_1.Out > 1")},
        };
        for (const Conversion &c : conversions)
            u.update(c.table, c.set, c.where, true, s(c.step));

        u.setMessage(s("Deleting fields..."));
        u.open(s("Items"));
        for (const char *old : {"ActualQ", "ChargeQ", "PropID1", "PropID2"})
            u.deleteField(s(old));
        u.endPhase();
    });
}

bool UpgradeAuditTrail(UpgradeContext &u)
{
    return u.runStep(s("AuditTrail"), s("Add fields"), [&] {
        if (u.fieldCount(s("AuditTrail")) >= 13)
            return;
        u.addField(s("JobType"), FieldType::Byte);
        u.addField(s("PropID"), FieldType::Byte);
    });
}

bool UpgradeQuickSales(UpgradeContext &u)
{
    return u.runStep(s("QuickSales"), s("Add tax fields"), [&] {
        if (u.hasField(s("QuickSales"), s("Taxable")))
            return;
        u.addField(s("PayNo"), FieldType::Long, 0, 0, -1, true);
        u.addField(s("Taxable"), FieldType::Currency, 0, 0, -1, true);
        u.addField(s("Taxable2"), FieldType::Currency, 0, 0, -1, true);
        u.addField(s("Tax2"), FieldType::Currency, 0, 0, -1, true);

        u.update(s("QuickSales"), s("Taxable = Subtotal"), s("Tax <> 0 and TaxID > 0"));
        u.update(s("QuickSales"), s("Taxable2 = Subtotal, Tax2 = Tax"), s("Tax <> 0 and TaxID = 2"));
        u.update(s("QuickSales"), s("Taxable2 = Subtotal, Tax2 = Tax"), s("Tax <> 0 and TaxID = 3"));
        ConvertTaxAmounts(u, s("QuickSales"), s("TaxID"));
    });
}

bool UpgradeForms(UpgradeContext &u)
{
    return u.runStep(s("Forms"), s("Add fields"), [&] {
        if (u.fieldCount(s("Forms")) >= 15)
            return;
        u.addField(s("ColBack"), FieldType::Long, 0, 0x99FFFF);
        u.addField(s("ColText"), FieldType::Long);
        u.addField(s("Desc"), FieldType::Text, 20);
        AddDefaultForms(u.db());
    });
}
