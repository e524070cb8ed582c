#include "data/SchemaStepsServices.h"

#include "data/SchemaOperations.h"
#include "data/TableRows.h"
#include "data/UpgradeContext.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <QtCore/QStringList>

namespace {

using platform::FieldType;
using platform::Value;

QString s(const char *text) { return QString::fromUtf8(text); }

// A stored number as the value lists write it; Null counts as 0.
qint64 number(const Value &v)
{
    return v.isNull() ? 0 : v.toInt64();
}

// The list cut or filled with "0" to exactly n values.
QStringList sized(QStringList values, int n)
{
    if (values.size() > n)
        values = values.mid(0, n);
    while (values.size() < n)
        values.append(s("0"));
    return values;
}

// The Services conversion has run once Name2 is there.
bool servicesConverted(UpgradeContext &u)
{
    return u.hasField(s("Services"), s("Name2"));
}

// The difficulty rows of the presses: from the old waste table (setup time,
// speed and the press's difficulty column of each level) and the old
// difficulty table of each press.
void addDifficultyRows(UpgradeContext &u)
{
    struct Press { qint64 serNo; int table; qint64 setup; qint64 units; };
    QList<Press> presses;
    {
        platform::Recordset set(u.db());
        set.open(platform::Recordset::Type::Snapshot,
                 s("SELECT SerNo, VendorNo, WasteOrStd, SetupTime, UnitsHr FROM Services WHERE CatNo = 201"));
        for (; !set.isEOF(); set.moveNext()) {
            const bool standard = number(set.value(2)) != 0;
            presses.append({number(set.value(0)), int(number(set.value(1))), standard ? 0 : number(set.value(3)),
                            standard ? 0 : number(set.value(4))});
        }
    }
    const bool haveDifficulties = u.tableExists(s("PressDifficulties"));
    for (const Press &press : presses) {
        if (HasRowWithKey(u.db(), s("ServiceDiffTables"), s("SerNo"), Value(std::int64_t(press.serNo))))
            continue;
        QStringList a;
        QStringList b;
        {
            platform::Recordset levels(u.db());
            levels.open(platform::Recordset::Type::Snapshot, s("SELECT * FROM WasteTable ORDER BY [Level]"));
            for (; !levels.isEOF(); levels.moveNext()) {
                const qint64 column = press.table >= 1 && press.table <= 3 && press.table < levels.fieldCount()
                    ? number(levels.value(press.table))
                    : 0;
                a << QString::number(press.setup) << QString::number(-press.units) << QString::number(column)
                  << s("0");
            }
        }
        a = sized(a, 76);
        if (haveDifficulties) {
            platform::Recordset rows(u.db());
            rows.open(platform::Recordset::Type::Snapshot,
                      QStringLiteral("SELECT * FROM PressDifficulties WHERE TableNo = %1 ORDER BY RowNo").arg(press.table));
            for (; !rows.isEOF(); rows.moveNext()) {
                const qint64 row = number(rows.value(1));
                if (row < 14 || row == 20) {
                    if (row == 20) {
                        for (int i = 0; i < 20; ++i)
                            a << s("0");
                    }
                    a << QString::number(number(rows.value(2))) << QString::number(number(rows.value(3)) * 10)
                      << QString::number(number(rows.value(4))) << QString::number(number(rows.value(5)))
                      << QString::number(number(rows.value(6)));
                } else {
                    b << QString::number(number(rows.value(2))) << QString::number(-number(rows.value(4)));
                }
            }
        }
        u.insert(s("ServiceDiffTables"), QString::number(press.serNo) + s(", ")
                                            + sized(a, 171).join(s(", ")) + s(", ") + sized(b, 18).join(s(", ")));
    }
}

// The price rows: the old price grids (copy paper) and price tables of each
// service priced by a table.
void addPriceRows(UpgradeContext &u)
{
    struct Priced { qint64 serNo; qint64 catNo; qint64 priceBy; };
    QList<Priced> services;
    {
        platform::Recordset set(u.db());
        set.open(platform::Recordset::Type::Snapshot, s("SELECT SerNo, CatNo, PriceBy FROM Services WHERE PriceBy > 3"));
        for (; !set.isEOF(); set.moveNext())
            services.append({number(set.value(0)), number(set.value(1)), number(set.value(2))});
    }
    const bool haveGrids = u.tableExists(s("PriceGrid"));
    const bool haveTables = u.tableExists(s("PriceTables"));
    for (const Priced &service : services) {
        if (HasRowWithKey(u.db(), s("ServicePriceTables"), s("SerNo"), Value(std::int64_t(service.serNo))))
            continue;
        qint64 o1 = 0, o2 = 0, o3 = 1, o4 = 0;
        const qint64 o5 = 0;
        QStringList values;
        const bool grid = service.catNo == 301;
        if (grid ? haveGrids : haveTables) {
            platform::Recordset rows(u.db());
            if (grid) {
                rows.open(platform::Recordset::Type::Snapshot,
                          QStringLiteral("SELECT * FROM PriceGrid WHERE GridNo = %1 ORDER BY RowNo").arg(service.priceBy - 3));
            } else {
                const qint64 category = service.catNo == 117 ? 301 : service.catNo;
                rows.open(platform::Recordset::Type::Snapshot,
                          QStringLiteral("SELECT * FROM PriceTables WHERE ListNo = %1 and CatNo = %2 ORDER BY RowNo")
                              .arg(service.priceBy)
                              .arg(category));
            }
            for (int row = 0; !rows.isEOF(); rows.moveNext(), ++row) {
                if (grid) {
                    if (row == 0) {
                        o1 = 2;
                        o2 = number(rows.value(3)) != 0 ? 1 : 0;
                        o3 = 1;
                        o4 = number(rows.value(4));
                    }
                    for (int c = 5; c <= 14; ++c)
                        values << QString::number(number(rows.value(c)));
                    values << s("0");
                } else {
                    const qint64 option = number(rows.value(15));
                    switch (row) {
                    case 0: o1 = option == 0 ? 1 : option == 1 ? 3 : option == 2 ? 5 : 0; break;
                    case 1: o2 = option == 2 ? 1 : 0; break;
                    case 2: o3 = option == 0 ? 3 : option == 2 ? 2 : 1; break;
                    case 3: o4 = option; break;
                    default: break;
                    }
                    for (int c = 4; c <= 14; ++c)
                        values << QString::number(number(rows.value(c)));
                }
            }
        }
        u.insert(s("ServicePriceTables"),
                 QString::asprintf("%lld, %d, %lld, %lld, %lld, %lld, %lld, %d, ", service.serNo, 0, o1, o2, o3, o4, o5, 0)
                     + sized(values, 143).join(s(", ")));
    }
}

} // namespace

bool UpgradePriceGridRows(UpgradeContext &u)
{
    return u.runStep(s("PriceGrid"), s("Add rows"), [&] {
        if (!u.tableExists(s("PriceGrid")) || u.rowExists(s("Select GridNo FROM PriceGrid WHERE GridNo >= 33")))
            return;
        for (int grid = 33; grid <= 64; ++grid) {
            for (int row = 0; row <= 12; ++row)
                u.insert(s("PriceGrid"), QStringLiteral("%1, %2, '', 0,0,0,0,0,0,0,0,0,0,0,0").arg(grid).arg(row));
        }
    });
}

bool UpgradeProductTypes(UpgradeContext &u)
{
    return u.runStep(s("ProductTypes"), s("Add fields"), [&] {
        if (u.hasField(s("ProductTypes"), s("Qty")))
            return;
        u.addField(s("Type"), FieldType::Byte);
        u.addField(s("Qty"), FieldType::Long, 0, 1000);
    });
}

bool UpgradeCodeTables(UpgradeContext &u)
{
    struct CodeTable { const char *table; int type; int sort; const char *sortValue; };
    const CodeTable tables[] = {
        {"BusinessTypes", 2, 3, "[No]"},   {"ContactDepts", 2, -1, ""}, {"CustomerSources", 2, 3, "[No]"},
        {"Employees", -1, 3, "[EmpNo]"},   {"PaymentTypes", 2, 3, "[No]"}, {"ShipBy", 2, -1, ""},
        {"Taxes", -1, 0, "[No]"},
    };
    for (const CodeTable &t : tables) {
        const QString table = s(t.table);
        const bool goOn = u.runStep(table, s("Add Type and Sort"), [&] {
            if (!u.tableExists(table))
                return;
            // Only the fields the table lacks.
            const int type = t.type >= 0 && !u.hasField(table, s("Type")) ? t.type : -1;
            const int sort = t.sort >= 0 && !u.hasField(table, s("Sort")) ? t.sort : -1;
            if (type >= 0 || sort >= 0)
                DbAddCodeTableFields(&u.td(), table, type, sort, s(t.sortValue));
        });
        if (!goOn)
            return false;
    }
    return true;
}

bool UpgradeVendors(UpgradeContext &u)
{
    return u.runStep(s("Vendors"), s("Add fields"), [&] {
        if (u.hasField(s("Vendors"), s("Sort")))
            return;
        u.resizeText(s("Name"), 50, 2);
        u.addField(s("Sort"), FieldType::Byte, 0, 0, 3);
        u.update(s("Vendors"), s("Sort = [No]"));
        u.update(s("Vendors"), s("Name = ''"), s("[No] = 0"));
    });
}

bool UpgradeTaxes(UpgradeContext &u)
{
    return u.runStep(s("Taxes"), s("Add fields"), [&] {
        if (!u.hasField(s("Taxes"), s("TaxPostage")))
            u.addField(s("TaxPostage"), FieldType::Byte);
    });
}

bool UpgradeServiceDepartments(UpgradeContext &u)
{
    return u.runStep(s("ServiceDepartments"), s("Add fields"), [&] {
        if (u.hasField(s("ServiceDepartments"), s("IconNo")))
            return;
        u.execute(s("DELETE * FROM ServiceDepartments"));
        u.addField(s("IconNo"), FieldType::Long);
        u.addField(s("SortNo"), FieldType::Long);
        for (const char *row : {"0, '?', 157, 0", "1, 'Prep', 0, 1", "2, 'Paper', 3, 2", "3, 'Printing', 2, 3",
                                "4, 'Digital', 1, 4", "5, 'Finishing', 4, 5", "6, 'Brokered', 5, 6", "7, 'Other', 6, 7"})
            u.insert(s("ServiceDepartments"), s(row));
    });
}

bool UpgradeServiceCategories(UpgradeContext &u)
{
    return u.runStep(s("ServiceCategories"), s("Add fields"), [&] {
        if (u.hasField(s("ServiceCategories"), s("IconNo")))
            return;
        // The item conversion reads the old category numbers changed here.
        if (!u.hasField(s("Items"), s("TimeCost")))
            return;
        u.open(s("ServiceCategories"));
        u.addField(s("IconNo"), FieldType::Long);
        u.addField(s("SortNo"), FieldType::Long);
        u.update(s("ServiceCategories"), s("SortNo = CatNo"));
        const struct { const char *where; long dep; } departments[] = {
            {"CatNo >   0 and CatNo < 100", 1}, {"CatNo > 100 and CatNo < 200", 2}, {"CatNo = 201", 3},
            {"CatNo = 301", 2},                 {"CatNo > 301 and CatNo < 400", 4}, {"CatNo > 400 and CatNo < 500", 5},
            {"CatNo > 500 and CatNo < 600", 6}, {"CatNo > 600", 7},
        };
        for (const auto &d : departments)
            u.updateValue(s("ServiceCategories"), s("DepNo"), d.dep, s(d.where));
        const struct { const char *category; const char *service; const char *where; } numbers[] = {
            {"CatNo = 117, CatName = 'Copy Paper'", "CatNo = 117", "CatNo = 301"},
            {"CatNo = 301", "CatNo = 301", "CatNo = 302"},
            {"CatNo = 604", "CatNo = 604", "CatNo = 303"},
            {"CatNo = 999", "CatNo = 999", "CatNo = 603"},
        };
        for (const auto &n : numbers)
            u.update(s("ServiceCategories"), s(n.category), s(n.where));
        for (const auto &n : numbers)
            u.update(s("Services"), s(n.service), s(n.where));
    });
}

bool UpgradeServicesStatus(UpgradeContext &u)
{
    return u.runStep(s("Services"), s("Add status fields"), [&] {
        if (u.hasField(s("Services"), s("SerStatus")))
            return;
        u.addField(s("SerStatus"), FieldType::Byte);
        u.addField(s("SerRemind"), FieldType::Text, 30);
        u.addField(s("SerNote"), FieldType::Memo);
        u.update(s("Services"), s("Step = (Step-10), SerStatus = 2"), s("(Step >= 10 and Step <= 14)"));
        u.update(s("Services"), s("Step = 0"), s("Step > 4"));
    });
}

bool UpgradeServicesProduction(UpgradeContext &u)
{
    return u.runStep(s("Services"), s("Add production department"), [&] {
        if (u.hasField(s("Services"), s("ProdDepID")))
            return;
        // The categories' departments are set by their own step first.
        if (!u.hasField(s("ServiceCategories"), s("IconNo")))
            return;
        u.open(s("Services"));
        u.addField(s("ProdDepID"), FieldType::Byte);
        u.update(s("(Services INNER JOIN ServiceCategories ON Services.CatNo = ServiceCategories.CatNo)"),
                 s("Services.ProdDepID = ServiceCategories.DepNo"));
    });
}

bool UpgradeServicesPricing(UpgradeContext &u)
{
    return u.runStep(s("Services"), s("Add pricing fields"), [&] {
        if (servicesConverted(u))
            return;
        // It reads the renumbered categories.
        if (!u.hasField(s("ServiceCategories"), s("IconNo")))
            return;
        u.setMessage(s("Adding ServiceDiffTables..."));
        addDifficultyRows(u);
        addPriceRows(u);

        u.startPhase(44, s("Services Table:"), s("Adding new fields..."));
        u.open(s("Services"));
        u.resizeText(s("Name"), 50, 3);
        u.resizeText(s("SerRemind"), 50);
        struct NewField { const char *name; FieldType type; int size; long initial; };
        const NewField fields[] = {
            {"Name2", FieldType::Text, 50, 0},    {"DefNote", FieldType::Text, 50, 0},  {"Caliper", FieldType::Single, 0, 0},
            {"SortNo", FieldType::Long, 0, 0},    {"DefPlate", FieldType::Long, 0, 0},  {"AutoAdd", FieldType::Long, 0, 0},
            {"Multiply", FieldType::Long, 0, 0},  {"LiftBy", FieldType::Byte, 0, 0},    {"AskHowMany", FieldType::Text, 16, 0},
            {"WasteBy", FieldType::Byte, 0, 0},   {"TimeBy", FieldType::Byte, 0, 0},    {"SetTime", FieldType::Single, 0, 0},
            {"ImpHour", FieldType::Single, 0, 0}, {"CostBy", FieldType::Byte, 0, 0},    {"CostHr", FieldType::Currency, 0, 0},
            {"WageHr", FieldType::Currency, 0, 0}, {"CostOH", FieldType::Single, 0, 0}, {"Markup2", FieldType::Long, 0, 0},
            {"Markup3", FieldType::Long, 0, 0},   {"AdjustBy", FieldType::Byte, 0, 0},  {"Bid", FieldType::Single, 0, 0},
            {"Rush", FieldType::Single, 0, 0},    {"Spcl", FieldType::Single, 0, 0},    {"Operator", FieldType::Byte, 0, 0},
            {"Tag", FieldType::Byte, 0, 0},       {"SchedBy", FieldType::Byte, 0, 0},   {"MinLevel", FieldType::Long, 0, 0},
            {"ReOrder", FieldType::Long, 0, 0},   {"InStock", FieldType::Long, 0, 0},   {"OnOrder", FieldType::Long, 0, 0},
            {"SKU", FieldType::Text, 16, 0},      {"UPC", FieldType::Text, 16, 0},      {"FSC", FieldType::Text, 16, 0},
            {"OptTax", FieldType::Byte, 0, 1},    {"OptCom", FieldType::Byte, 0, 1},    {"OptWO", FieldType::Byte, 0, 1},
            {"OptInv", FieldType::Byte, 0, 1},    {"Modified", FieldType::Date, 0, 0},
        };
        for (const NewField &f : fields)
            u.addField(s(f.name), f.type, f.size, f.initial, -1, true);
        for (int n = 1; n <= 5; ++n) {
            for (const char *name : {"SetFor", "SetTime", "SetCost", "SetPrice"})
                u.addField(s(name) + QString::number(n), FieldType::Long, 0, 0, -1, true);
        }
        for (int n = 1; n <= 9; ++n) {
            for (const char *name : {"QBreak", "UnitsHr", "RunCost", "RunPrice"})
                u.addField(s(name) + QString::number(n), FieldType::Long, 0, 0, -1, true);
        }

        u.startPhase(20, s("Services Table:"), s("Copying data to new fields..."));
        const QString t = s("(Services.CatNo = 1 or Services.CatNo = 3 or Services.CatNo = 5 or Services.CatNo = 201 or "
                            "Services.CatNo = 601 or (Services.CatNo > 400 and Services.CatNo < 409)) ");
        const QString services = s("Services");
        u.update(s("(Services INNER JOIN ServiceCategories ON Services.CatNo = ServiceCategories.CatNo)"),
                 s("Services.Bid = ServiceCategories.Bid/100, Services.Rush = ServiceCategories.Rush/100, "
                   "Services.Spcl = ServiceCategories.Special/100, Services.CostOH = ServiceCategories.MultiplyBy/100, "
                   "Services.WageHr = ServiceCategories.WageHr/100"),
                 s("Services.CatNo = ServiceCategories.CatNo"), true);
        u.update(services,
                 s("DefNote = IIF(CatNo<100 or CatNo>199, SerRemind, null), QtyBy = IIF(QtyBy < 6, QtyBy, QtyBy+1), "
                   "CostBy = IIF(PriceBy = 2, 0, 2), WasteBy = 252, TimeBy = 0, Unit=IIF(Unit=2,2,1), "
                   "SetFor1=IIF(SetupCost>0, 1,0), QBreak1=1, SetCost1=SetupCost*100, RunCost1=UnitCost*100"),
                 QString(), true);
        u.update(services,
                 s("CostBy = IIF(PriceBy = 2, 0, IIF(PriceBy = 1, 2, 1)), CostHr = UnitCost, SetFor1=1, "
                   "SetTime1=SetupTime, UnitsHr1=UnitsHr, RunCost1=0"),
                 t, true);
        u.update(services,
                 s("QBreak1=Qty1, RunCost1=Cent1, QBreak2=Qty2, RunCost2=Cent2, QBreak3=Qty3, RunCost3=Cent3, "
                   "QBreak4=Qty4, RunCost4=Cent4, QBreak5=Qty5, RunCost5=Cent5, QBreak6=Qty6, RunCost6=Cent6, "
                   "QBreak7=Qty7, RunCost7=Cent7"),
                 s("PriceBy > 0 and Cent1 > 0"), true);
        u.update(services,
                 s("WasteBy = IIF(WasteOrStd > 0, 252, 0), ImpHour = WasteOrStd, SetFor1=1, SetTime1 = SetupJob, "
                   "SetFor2 = 4, SetTime2 = SetupTime/60, UnitsHr1=UnitsHr*60, CostHr = WashTime/100, QtyBy = ")
                     + QString::number(8),
                 s("CatNo = ") + QString::number(301), true);
        u.update(services, s("RunCost1=UnitCost*100000, Unit=2"),
                 s("Unit < 2 and PriceBy <> 1 and CatNo = ") + QString::number(301), true);
        u.update(services, s("CostBy = IIF(PriceBy = 2, 0, IIF(PriceBy = 1 or WashTime = 0, 2, 3))"),
                 s("CatNo = ") + QString::number(301), true);
        u.update(services,
                 s("WasteBy = 251, SetFor1 = 1, SetTime1 = SetupJob, SetFor3 = 7, SetFor2 = 2, SetTime3 = WashTime, "
                   "SetFor4 = 8, SetTime4 = MixTime, DefPlate = Divide, Divide = 0"),
                 s("CatNo = ") + QString::number(201), true);
        u.update(services, s("TimeBy = 1, SetTime2 = 0,\t\t\tSetTime = 0, ImpHour = 0,\tUnitsHr1 = 0"),
                 s("WasteOrStd = 0 and CatNo = ") + QString::number(201), true);
        u.update(services, s("TimeBy = 0, SetTime2 = SetupTime,\tSetTime = 0, ImpHour = 0,\tUnitsHr1 = UnitsHr*100"),
                 s("WasteOrStd > 0 and CatNo = ") + QString::number(201), true);
        u.update(services,
                 s("Markup2 = Markup, Markup3 = Markup, Multiply = Colors, SetTime = SetupTime/100, ImpHour = UnitsHr, "
                   "WasteBy = IIF(WasteOrStd < 10, WasteOrStd, 250)"),
                 s("(CatNo > 100 and CatNo < 200)"), true);
        // A size text longer than the new field is cut to it rather than
        // stopping the conversion for good.
        u.update(services, s("AskHowMany = Left(Size, 16)"), s("(CatNo < 100 or CatNo > 200)"), true);
        u.update(services, s("Size = null"), s("(CatNo < 100 or CatNo > 200)"), true);
        u.update(services, s("Divide = 0, Multiply = 0, Round = 0, AskHowMany = null"), s("CatNo = 6"), true);
        u.update(services, s("LiftBy = 1"), s("CatNo = 401 or CatNo = 405"), true);
        u.update(services, s("PriceBy = IIF(PriceBy < 2, 2, IIF(PriceBy > 3, 4, 0))"), QString(), true);

        u.setMessage(s("Deleting unused fields..."));
        u.open(services);
        for (const char *old : {"SetupTime", "UnitsHr", "SetupCost", "UnitCost", "SetupJob", "WashTime", "MixTime",
                                "WasteOrStd"})
            u.deleteField(s(old));
        for (int n = 1; n <= 7; ++n) {
            u.deleteField(s("Qty") + QString::number(n));
            u.deleteField(s("Cent") + QString::number(n));
        }

        // A number of copies kept as a text becomes the multiplier.
        platform::Recordset set(u.db());
        set.open(platform::Recordset::Type::Dynaset,
                 s("SELECT SerNo, Multiply, AskHowMany FROM Services WHERE AskHowMany > '0' and AskHowMany <= '9'"));
        for (; !set.isEOF(); set.moveNext()) {
            const QString text = set.value(2).toString().trimmed();
            qint64 copies = 0;
            for (const QChar c : text) {
                if (!c.isDigit())
                    break;
                copies = copies * 10 + c.digitValue();
            }
            set.edit();
            set.setValue(1, Value(std::int64_t(copies)));
            set.setValue(2, Value(QString()));
            set.update();
        }
        u.endPhase();
    });
}

bool UpgradeWasteTable(UpgradeContext &u)
{
    return u.runStep(s("WasteTable"), s("Add fields"), [&] {
        if (u.hasField(s("WasteTable"), s("Name")))
            return;
        // Its old columns feed the Services conversion, which must come first.
        if (!servicesConverted(u))
            return;
        u.open(s("WasteTable"));
        u.addField(s("Name"), FieldType::Text, 30);
        u.addField(s("Setup"), FieldType::Long);
        for (int n = 1; n <= 7; ++n)
            u.addField(s("Waste") + QString::number(n), FieldType::Long);
        u.update(s("WasteTable"),
                 s("Setup = 0,\t\t\tWaste1 = At100, Waste2 = At500, Waste3 = At1000, Waste4 = At5000, "
                   "Waste5 = At10000, Waste6 = AtMore"),
                 s("[Level] > 0 and [Level] < 10"));
        u.update(s("(Services INNER JOIN WasteTable ON WasteTable.Level+400 = Services.CatNo)"),
                 s("Services.SetTime = WasteTable.FinishSetup, Services.ImpHour = WasteTable.FinishRun / 100"));
        // The eleven old columns stand right after Level.
        u.open(s("WasteTable"));
        for (int i = 0; i < 11; ++i)
            u.deleteField(u.td().def().fields.at(1).name);
        u.insert(s("WasteTable"), s("0, '#Impressions/Orig. -->', 0, 100,500,1000,5000,10000,100000,0"));
        for (int n = 10; n <= 19; ++n)
            u.insert(s("WasteTable"), QString::number(n) + s(", ' ', 0, 0,0,0,0,0,0,0"));
        u.insert(s("WasteTable"), s("20, 'Waste Limit -->', 0, 0,0,0,0,0,0,0"));
        // The markup table grows the same rows in the same run.
        for (int n = 10; n <= 19; ++n)
            u.insert(s("MarkupTable"),
                     QString::number(n) + s(", ' ', ") + QString::number(n) + s(", 0,0,0,0,0,0,0,0"));
    });
}

bool FinishServiceCategories(UpgradeContext &u)
{
    return u.runStep(s("ServiceCategories"), s("Finalizing Version 2010"), [&] {
        if (!u.hasField(s("ServiceCategories"), s("Bid")) || !servicesConverted(u))
            return;
        u.open(s("ServiceCategories"));
        for (const char *old : {"Bid", "Rush", "Special", "MultiplyBy", "WageHr"})
            u.deleteField(s(old));
        u.resizeText(s("CatName"), 30, 3);
    });
}

bool DeleteUnusedPriceTables(UpgradeContext &u)
{
    return u.runStep(QString(), s("Deleting unused tables"), [&] {
        if (!servicesConverted(u))
            return;
        for (const char *table : {"PressDifficulties", "PriceGrid", "PriceTables"})
            DbDeleteTable(&u.db(), s(table));
    });
}
