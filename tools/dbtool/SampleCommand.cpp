#include "SampleCommand.h"

#include "SampleCheck.h"

#include "app/base/MoneyText.h"
#include "app/base/SharedDatabaseHolder.h"
#include "data/CItemSet.h"
#include "data/CJobSet.h"
#include "data/CPostSet.h"
#include "data/TaxAmounts.h"
#include "estimating/CItemPrice.h"
#include "estimating/PricingCache.h"
#include "data/ShopDatabase.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Money.h"
#include "platform/db/ActionStatement.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/RebuildCopy.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFileInfo>
#include <QtCore/QMap>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <memory>
#include <random>

using platform::Database;
using platform::FieldType;
using platform::Value;

namespace {

// The shop's own vocabulary, from which customers, jobs and items are drawn.
const char *const kCompanyWords[] = {"Acme", "Bolt", "Cedar", "Delta", "Evergreen", "Fulton", "Granite", "Harbor",
                                     "Iris", "Juniper", "Keystone", "Lakeside", "Maple", "North Star", "Oakridge",
                                     "Pioneer", "Quarry", "Riverside", "Summit", "Tidewater", "Union", "Valley",
                                     "Westfield", "Yellowstone"};
const char *const kCompanyKinds[] = {"Dental", "Realty", "Insurance", "Bakery", "Church", "Law Office", "Clinic",
                                     "Auto Body", "School", "Florist", "Hardware", "Credit Union"};
const char *const kFirstNames[] = {"Ann", "Ben", "Carla", "Dev", "Elena", "Frank", "Grace", "Hugo", "Ines", "Jon",
                                   "Kim", "Luis", "Mara", "Ned", "Olga", "Pat"};
const char *const kLastNames[] = {"Adams", "Brooks", "Chen", "Diaz", "Evans", "Fischer", "Garcia", "Hale",
                                  "Ito", "Jensen", "Kowalski", "Lopez", "Moreau", "Nolan", "O'Brien", "Patel"};
const char *const kStreets[] = {"Main St", "Oak Ave", "Elm St", "Market St", "Park Blvd", "2nd Ave", "Mill Rd"};
const char *const kCities[] = {"Springfield", "Riverton", "Fairview", "Greenville", "Madison", "Clinton"};

struct SampleService
{
    int serNo;
    int catNo;
    const char *name;
    int costCents;  // cost of one run of the service for a typical quantity
    int markupPct;  // price over cost
};

const SampleService kServices[] = {
    {1, 101, "70# Offset White", 1800, 40},   {2, 101, "80# Gloss Text", 2600, 40},
    {3, 101, "100# Gloss Cover", 3900, 40},   {4, 105, "NCR 2 part", 3100, 45},
    {5, 113, "#10 Envelopes", 4200, 35},      {6, 201, "2-colour offset press", 5500, 60},
    {7, 202, "4-colour offset press", 9800, 60}, {8, 301, "Digital colour copier", 2400, 80},
    {9, 302, "Digital black copier", 900, 80}, {10, 401, "Cutting", 800, 50},
    {11, 402, "Folding", 1200, 50},           {12, 403, "Saddle stitching", 1900, 50},
    {13, 404, "Padding", 700, 55},            {14, 405, "Drilling", 500, 55},
    {15, 501, "Typesetting", 3000, 70},       {16, 7, "Proofing", 600, 70},
    {17, 6, "Plates", 1500, 40},            {18, 701, "Delivery", 1200, 25},
};

// What the shop runs for each product: the stock, how many run sheets a
// parent sheet cuts into, the stock's sheets in one finished piece, the
// pieces on a run sheet, the inks of each side (1 black, 2 black and a
// colour, 9 four colours), the printing and finishing services in order and
// the quantities it is ordered in.
struct ItemRecipe
{
    const char *product;
    int paper;
    int out;
    int sheets;
    int up;
    int side1, side2;
    int services[4];
    int quantities[4];
};

const ItemRecipe kRecipes[] = {
    {"Business cards", 3, 4, 1, 12, 9, 0, {8, 10}, {250, 500, 1000, 2000}},
    {"Letterhead", 1, 4, 1, 2, 2, 0, {6, 17, 10}, {500, 1000, 2500, 5000}},
    {"Envelopes #10", 5, 1, 1, 1, 1, 0, {6, 17}, {500, 1000, 2500, 5000}},
    {"Brochures, tri-fold", 2, 4, 1, 2, 9, 9, {7, 17, 11, 10}, {1000, 2500, 5000, 10000}},
    {"Postcards", 3, 4, 1, 4, 9, 1, {8, 10}, {250, 500, 1000, 2500}},
    {"Flyers", 1, 4, 1, 2, 1, 0, {9, 10}, {100, 250, 500, 1000}},
    {"Newsletters", 1, 4, 1, 1, 1, 1, {9, 11}, {250, 500, 1000, 2000}},
    {"Catalog, 24 pages", 2, 4, 6, 1, 9, 9, {7, 17, 12}, {500, 1000, 2500, 5000}},
    {"Door hangers", 3, 4, 1, 3, 9, 0, {8, 10}, {250, 500, 1000, 2500}},
    {"NCR forms, 2 part", 4, 4, 1, 2, 1, 0, {6, 17, 13, 10}, {250, 500, 1000, 2500}},
    {"Raffle tickets", 3, 4, 1, 8, 1, 0, {9, 10}, {250, 500, 1000, 2000}},
    {"Posters 18 x 24", 3, 1, 1, 1, 9, 0, {7, 17}, {100, 250, 500, 1000}},
    {"Booklets, saddle stitched", 1, 4, 4, 1, 1, 1, {9, 11, 12}, {100, 250, 500, 1000}},
    {"Notepads, 50 sheets", 1, 4, 1, 4, 1, 0, {9, 13, 10}, {1000, 2500, 5000, 10000}},
    {"Labels", 1, 4, 1, 10, 9, 0, {8, 10}, {500, 1000, 2500, 5000}},
    {"Invitations", 3, 4, 1, 4, 9, 0, {8, 10}, {100, 250, 500, 1000}},
};

// Plates of one side: one a colour, four for process colours.
int platesOfSide(int inks)
{
    return inks == 0 ? 0 : inks == 1 ? 1 : inks == 9 ? 4 : 2;
}

// Sold over the counter (category 999): a flat price per unit.
const struct
{
    int serNo;
    const char *name;
    int centsEach;
} kCounterServices[] = {
    {901, "Copies, black", 10}, {902, "Copies, colour", 59}, {903, "Laminating, letter", 250},
    {904, "Fax, per page", 150}, {905, "Binding, coil", 450},
};

struct Reference
{
    const char *sql;
};

// Code tables a shop sets up before its first job.
const Reference kReferenceRows[] = {
    {"INSERT INTO Taxes (No, Name, TaxPercent, TaxShipping, RoundUp, Type, TaxPostage, Sort) VALUES (1, 'State 6%', 60000, 0, 0, 0, 0, 1)"},
    {"INSERT INTO Taxes (No, Name, TaxPercent, TaxShipping, RoundUp, Type, TaxPostage, Sort) VALUES (2, 'City 8.25%', 82500, 1, 0, 0, 0, 2)"},
    // Code 3 charges the state and the city tax together, the city part as
    // the job's second tax.
    {"INSERT INTO Taxes (No, Name, TaxPercent, TaxShipping, RoundUp, Type, TaxPostage, Sort) VALUES (3, 'State + City 14.25%', 142500, 1, 0, 0, 0, 3)"},
    {"INSERT INTO Terms (No, Name, Days) VALUES (2, 'Net 15', 15)"},
    {"INSERT INTO Terms (No, Name, Days) VALUES (3, 'Net 60', 60)"},
    {"INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) VALUES (101, 'Robin', 1, 1, 0, 0)"},
    {"INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) VALUES (102, 'Sam', 1, 2, 0, 0)"},
    {"INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) VALUES (201, 'Terry', 2, 3, 500, 0)"},
    {"INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) VALUES (202, 'Alex', 2, 4, 750, 0)"},
    {"INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) VALUES (1, 'Jordan', 0, 5, 0, 0)"},
};

struct Category
{
    int catNo;
    int depNo;
    const char *name;
};

// Each category in the department of a new file that holds its kind of work:
// 1 Prep, 2 Paper, 3 Printing, 4 Digital, 5 Finishing, 7 Other.
const Category kCategories[] = {
    {101, 2, "Paper"}, {105, 2, "Carbonless"}, {113, 2, "Envelopes"}, {201, 3, "Offset 2 colour"},
    {202, 3, "Offset 4 colour"}, {301, 4, "Digital colour"}, {302, 4, "Digital black"}, {401, 5, "Cutting"},
    {402, 5, "Folding"}, {403, 5, "Stitching"}, {404, 5, "Padding"}, {405, 5, "Drilling"},
    {501, 1, "Typesetting"}, {7, 1, "Proofs"}, {6, 1, "Plates"}, {701, 7, "Delivery"},
    {999, 7, "Quick Sale"},
};

class SampleShop
{
public:
    SampleShop(Database &db, quint32 seed) : m_db(db), m_rng(seed) {}

    void build(int jobCount, QTextStream &out);

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    template <typename T, size_t N>
    const T &any(const T (&list)[N]) { return list[pick(int(N))]; }

    bool exists(const QString &sql)
    {
        platform::Recordset rs(m_db);
        rs.open(platform::Recordset::Type::Snapshot, sql);
        return !rs.isEOF();
    }

    void addReferenceRows();
    // The services of one item: the recipe's stock and work, now and then
    // typesetting or a proof first, and delivery on a job's first item.
    QList<int> itemServices(const ItemRecipe &recipe, bool firstItem);
    void addServices();
    void addPricingTables();
    // Prices one item with the pricing engine, so every sample price is the
    // one the program itself would compute, and puts what it gives in the
    // job's rows. An item prices from its own rows only: the engine reads
    // the job's rows as they will be written, so each row is written once,
    // priced. Rows holds the job's rows from ItemID firstId on.
    void priceItem(int jobId, int itemNo, qint32 firstId, std::vector<CItemSet> &rows, Money &cost, Money &price);
    void addCustomers(int count);
    void addJob(int jobId, int index, int jobCount);
    void addPostings();
    // What the Key Reports read besides posted invoices: sales departments,
    // the shop as customer 1, the combined tax rate and two-tax invoices,
    // walk-in jobs, quick sales and their payments, deposits, changes to
    // earlier invoices, credits and copier items.
    void addReportRows();
    // The sales departments and the department of every service.
    void addSalesDepartments();
    // The setup rows a working shop has filled in: payment types, shipping
    // methods, customer sources, the counter services and the shop's own
    // phone and fax.
    void addShopSetupRows();
    void zeroNumericNulls();
    void zeroNumericNulls(const QString &table, const QString &where);
    // An INSERT of one whole row of a table: the columns listed (", "
    // between them) with the given values, every other number 0.
    QString wholeRowInsertSql(const QString &table, const QString &columns, const QString &values) const;
    // Writes one row of an item whole, with one statement prepared once.
    void writeItemRow(const CItemSet &row);

    struct Customer
    {
        int cusNo;
        int taxNo;
        int termsDays;
        int termsNo;
        int srep;
    };

    struct Posted
    {
        int jobNo;
        int cusNo;
        DateTime shipped;
        Money paid;
    };

    Database &m_db;
    std::mt19937 m_rng;
    QList<Customer> m_customers;
    int m_lastNumber[3] = {0, 0, 0}; // orders and history, quotes, templates
    QMap<QString, QList<Posted>> m_postedByMonth;
    // Each month's journal row as posting sums it, and the same rows by
    // their posting number once written.
    std::map<QString, std::unique_ptr<CPostSet>> m_journalByMonth;
    QMap<int, CPostSet *> m_journalByNo;
    std::unique_ptr<PricingCache> m_pricing;
    TaxRateLookup m_taxRates;
    std::unique_ptr<platform::ActionStatement> m_itemInsert;
    std::unique_ptr<platform::ActionStatement> m_jobInsert;
    qint32 m_lastItemId = -1; // the last ItemID written, -1 until read
};

void SampleShop::addReferenceRows()
{
    for (const Reference &r : kReferenceRows)
        m_db.execute(QString::fromUtf8(r.sql));
    // A category shows its department's picture: the pictures of
    // categories are numbered from 48 in the order of the departments'.
    QMap<int, int> departmentIcon;
    {
        platform::Recordset rs(m_db);
        rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT DepNo, IconNo FROM ServiceDepartments"));
        for (; !rs.isEOF(); rs.moveNext())
            departmentIcon.insert(rs.value(0).toInt(), rs.value(1).toInt());
    }
    for (const Category &c : kCategories) {
        if (!exists(QStringLiteral("SELECT CatNo FROM ServiceCategories WHERE CatNo = %1").arg(c.catNo)))
            m_db.execute(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, IconNo, CatName, SortNo) VALUES (?, ?, ?, ?, ?)"),
                         {Value(c.catNo), Value(c.depNo), Value(48 + departmentIcon.value(c.depNo)),
                          Value(QString::fromUtf8(c.name)), Value(c.catNo)});
    }
}

// How each sample service is costed and priced, as a shop sets it up in the
// service dialog: the cost and price methods, the quantity it counts, the
// set-up table (per, minutes x 100, cost and price in cents) and the run
// table of quantity breaks (units per hour x 100, cost and price in cents per
// Unit).
struct ServiceSetup
{
    int serNo;
    const char *settings; // the Services columns, as a Jet SET list
};

const ServiceSetup kServiceSetups[] = {
    // Papers: material cost per thousand parent sheets plus the markup; the
    // set-up minutes per plate and the press speed on this stock.
    {1, "CostBy = 2, PriceBy = 2, Markup = 1, Markup2 = 1, Markup3 = 1, QtyBy = 4, Unit = 2, [Size] = '23 x 35', SetTime = 12, ImpHour = 6000, "
        "Caliper = 0.0045, QBreak1 = 1, RunCost1 = 5800"},
    {2, "CostBy = 2, PriceBy = 2, Markup = 1, Markup2 = 1, Markup3 = 1, QtyBy = 4, Unit = 2, [Size] = '25 x 38', SetTime = 15, ImpHour = 5500, "
        "Caliper = 0.0042, QBreak1 = 1, RunCost1 = 9200"},
    {3, "CostBy = 2, PriceBy = 2, Markup = 1, Markup2 = 1, Markup3 = 1, QtyBy = 4, Unit = 2, [Size] = '20 x 26', SetTime = 15, ImpHour = 5000, "
        "Caliper = 0.0095, QBreak1 = 1, RunCost1 = 16500"},
    {4, "CostBy = 2, PriceBy = 2, Markup = 1, Markup2 = 1, Markup3 = 1, QtyBy = 4, Unit = 2, [Size] = '17 x 22', SetTime = 12, ImpHour = 5000, "
        "Multiply = 2, QBreak1 = 1, RunCost1 = 7400"},
    {5, "CostBy = 2, PriceBy = 2, Markup = 1, Markup2 = 1, Markup3 = 1, QtyBy = 4, Unit = 2, [Size] = '4.125 x 9.5', SetTime = 10, "
        "ImpHour = 4500, QBreak1 = 1, RunCost1 = 3900"},
    // Offset presses: time by the hour; 15 minutes a plate and a lot set-up;
    // faster on longer runs.
    {6, "CostBy = 1, CostHr = 85, PriceBy = 2, Markup = 60, QtyBy = 8, Colors = 1, Step = 1, Unit = 2, WasteBy = 1, "
        "SetFor1 = 1, SetTime1 = 1000, SetFor2 = 2, SetTime2 = 1500, "
        "QBreak1 = 1000, UnitsHr1 = 400000, QBreak2 = 5000, UnitsHr2 = 600000, QBreak3 = 20000, UnitsHr3 = 800000"},
    {7, "CostBy = 1, CostHr = 120, PriceBy = 2, Markup = 60, QtyBy = 8, Colors = 3, Step = 1, Unit = 2, WasteBy = 2, "
        "SetFor1 = 1, SetTime1 = 1500, SetFor2 = 2, SetTime2 = 2000, "
        "QBreak1 = 1000, UnitsHr1 = 500000, QBreak2 = 5000, UnitsHr2 = 750000, QBreak3 = 20000, UnitsHr3 = 1000000"},
    // Digital printers: clicks by the hour, priced from the price table; a
    // click is one side of a run sheet (the stock's pages per sheet).
    {8, "CostBy = 3, CostHr = 40, PriceBy = 4, Markup = 20, QtyBy = 8, Colors = 18, Unit = 1, "
        "SetFor1 = 1, SetTime1 = 500, QBreak1 = 1, UnitsHr1 = 300000, RunCost1 = 6"},
    {9, "CostBy = 3, CostHr = 35, PriceBy = 4, Markup = 20, QtyBy = 8, Colors = 18, Unit = 1, "
        "SetFor1 = 1, SetTime1 = 300, QBreak1 = 1, UnitsHr1 = 600000, RunCost1 = 1"},
    // Cutting: lifts of 500 sheets, a set-up and a price per lift.
    {10, "CostBy = 1, CostHr = 50, PriceBy = 3, QtyBy = 1, Divide = 500, Unit = 1, "
         "SetFor1 = 1, SetTime1 = 1500, SetPrice1 = 2500, QBreak1 = 1, UnitsHr1 = 2000, RunPrice1 = 150"},
    // Folding: machine time, priced per thousand from the price table.
    {11, "CostBy = 1, CostHr = 45, PriceBy = 4, QtyBy = 1, Unit = 2, Step = 1, SetFor1 = 1, SetTime1 = 2000, "
         "QBreak1 = 1000, UnitsHr1 = 600000, QBreak2 = 10000, UnitsHr2 = 900000"},
    // Stitching: by the hour, priced per book from the price table.
    {12, "CostBy = 1, CostHr = 45, PriceBy = 4, QtyBy = 1, Unit = 1, SetFor1 = 1, SetTime1 = 3000, "
         "QBreak1 = 1, UnitsHr1 = 150000"},
    // Padding: pads of 50 sheets, glue and chipboard per pad.
    {13, "CostBy = 2, PriceBy = 3, QtyBy = 1, Divide = 50, Unit = 1, SetFor1 = 1, SetPrice1 = 1000, "
         "QBreak1 = 1, RunCost1 = 25, RunPrice1 = 75"},
    // Drilling: lifts of 500 sheets, by the hour plus the markup.
    {14, "CostBy = 1, CostHr = 40, PriceBy = 2, Markup = 2, QtyBy = 1, Divide = 500, Unit = 1, "
         "SetFor1 = 1, SetTime1 = 1000, QBreak1 = 1, UnitsHr1 = 3000"},
    // Typesetting and proofs: one lot each.
    {15, "CostBy = 1, CostHr = 60, PriceBy = 3, QtyBy = 12, Unit = 3, SetFor1 = 1, SetTime1 = 6000, SetPrice1 = 7500"},
    {16, "CostBy = 2, PriceBy = 3, QtyBy = 12, Unit = 3, QBreak1 = 1, RunCost1 = 300, RunPrice1 = 1000"},
    // Plates: one per colour, counted by the engine from the plate rows.
    {17, "CostBy = 2, PriceBy = 2, Markup = 40, QtyBy = 9, Unit = 1, QBreak1 = 1, RunCost1 = 1200"},
    // Delivery: a driver's trip.
    {18, "CostBy = 1, CostHr = 35, PriceBy = 3, QtyBy = 12, Unit = 3, SetFor1 = 1, SetTime1 = 4500, SetPrice1 = 4000"},
};

// The price tables of the services priced from one: the column basis, row
// basis, cell reading, method and multiplier, the column keys and up to six
// rows of a quantity break and its prices (ten-thousandths).
struct SamplePriceTable
{
    int serNo;
    int columnBasis, rowBasis, reading, method, multiplier;
    int keys[10];
    int rows[6][11];
};

const SamplePriceTable kPriceTables[] = {
    // Colour clicks per sheet by sides printed (black, black/black, colour,
    // colour/black, colour/colour), cheaper by the quantity.
    {8, 4, 0, 1, 1, 1, {},
     {{100, 1500, 2500, 4500, 5500, 8500}, {500, 1000, 1800, 3500, 4200, 6500}, {1000, 800, 1400, 2800, 3400, 5200},
      {5000, 600, 1000, 2200, 2700, 4000}}},
    // Black clicks per sheet, one column.
    {9, 0, 0, 1, 1, 1, {}, {{100, 1200}, {500, 800}, {1000, 600}, {5000, 450}}},
    // Folding per thousand sheets, by the number of folds asked.
    {11, 5, 0, 2, 0, 1, {1, 2, 3},
     {{500, 350000, 450000, 550000}, {1000, 280000, 360000, 440000}, {2500, 220000, 290000, 350000},
      {5000, 180000, 240000, 290000}, {10000, 150000, 200000, 240000}}},
    // Stitching per book, between the breaks.
    {12, 0, 0, 1, 1, 1, {}, {{100, 6000}, {500, 3500}, {1000, 2500}, {5000, 1800}}},
};

QList<int> SampleShop::itemServices(const ItemRecipe &recipe, bool firstItem)
{
    QList<int> serNos;
    if (pick(4) == 0)
        serNos << 15;
    else if (pick(5) == 0)
        serNos << 16;
    serNos << recipe.paper;
    for (const int serNo : recipe.services) {
        if (serNo != 0)
            serNos << serNo;
    }
    if (firstItem && pick(6) == 0)
        serNos << 18;
    return serNos;
}

void SampleShop::addServices()
{
    for (const SampleService &s : kServices) {
        m_db.execute(QStringLiteral("INSERT INTO Services (SerNo, CatNo, SortNo, Name, SerStatus, PriceBy, CostBy, "
                                    "CostHr, Markup, OptTax, OptCom, OptWO, OptInv, Modified) "
                                    "VALUES (?, ?, ?, ?, 0, 0, 0, 0, 0, 1, 1, 1, ?, ?)"),
                     {Value(s.serNo), Value(s.catNo), Value(s.serNo), Value(QString::fromUtf8(s.name)),
                      // Only the stocks (paper, carbonless, envelopes) are kept in inventory.
                      Value(std::int64_t(s.catNo >= 101 && s.catNo <= 199 ? 1 : 0), FieldType::Byte),
                      Value(DateTime::fromDate(platform::Clock::today()))});
    }
    for (const ServiceSetup &setup : kServiceSetups)
        m_db.execute(QStringLiteral("UPDATE Services SET %1 WHERE SerNo = %2")
                         .arg(QString::fromUtf8(setup.settings))
                         .arg(setup.serNo));
    for (const SamplePriceTable &t : kPriceTables) {
        QStringList names = {QStringLiteral("SerNo"), QStringLiteral("Opt1"), QStringLiteral("Opt2"), QStringLiteral("Opt3"),
                             QStringLiteral("Opt4"), QStringLiteral("Opt5"), QStringLiteral("Opt6"), QStringLiteral("Opt7"),
                             QStringLiteral("Qty0")};
        QList<Value> values = {Value(t.serNo)};
        for (const int option : {0, t.columnBasis, t.rowBasis, t.reading, t.method, t.multiplier, 0})
            values << Value(std::int64_t(option), FieldType::Byte);
        values << Value(0);
        for (int c = 0; c <= 9; ++c) {
            names << QStringLiteral("R0C%1").arg(c);
            values << Value(t.keys[c]);
        }
        for (int r = 1; r <= 12; ++r) {
            names << QStringLiteral("Qty%1").arg(r);
            values << Value(r <= 6 ? t.rows[r - 1][0] : 0);
            for (int c = 0; c <= 9; ++c) {
                names << QStringLiteral("R%1C%2").arg(r).arg(c);
                values << Value(r <= 6 ? t.rows[r - 1][c + 1] : 0);
            }
        }
        QStringList marks;
        for (int i = 0; i < names.size(); ++i)
            marks << QStringLiteral("?");
        m_db.execute(QStringLiteral("INSERT INTO ServicePriceTables (%1) VALUES (%2)")
                         .arg(names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                     values);
    }
}

void SampleShop::addPricingTables()
{
    // The markup table: row 0 the cost breaks (whole dollars), then the
    // percentages by row: 1 papers, 2 bindery, 3 outside work.
    const struct
    {
        int no;
        const char *name;
        int values[9];
    } markups[] = {
        {0, "Cost Breaks --> $", {10, 50, 100, 250, 500, 1000, 2500, 5000, 10000}},
        {1, "Paper and envelopes", {60, 50, 45, 40, 35, 32, 30, 28, 25}},
        {2, "Bindery", {80, 70, 60, 50, 45, 40, 35, 30, 30}},
        {3, "Outside work", {50, 40, 35, 30, 25, 25, 20, 20, 20}},
    };
    for (const auto &m : markups) {
        // A new file holds every row of the table; the shop fills its own.
        QList<Value> values = {Value(QString::fromUtf8(m.name))};
        for (int v : m.values)
            values << Value(v);
        values << Value(std::int64_t(m.no), FieldType::Byte);
        m_db.execute(QStringLiteral("UPDATE MarkupTable SET Name = ?, Markup1 = ?, Markup2 = ?, Markup3 = ?, Markup4 = ?, "
                                    "Markup5 = ?, Markup6 = ?, Markup7 = ?, Markup8 = ?, Markup9 = ? WHERE [No] = ?"),
                     values);
    }
    // The waste table: level 0 the run lengths, then set-up sheets per plate
    // and run waste in hundredths of a percent by run length; level 20 the limit.
    const struct
    {
        int level;
        const char *name;
        int setup;
        int waste[7];
    } wastes[] = {
        {0, "#Impressions/Run Size Sheet ->", 0, {1000, 2500, 5000, 10000, 25000, 50000, 100000}},
        {1, "Offset, 1-2 colours", 15, {500, 400, 300, 250, 200, 150, 100}},
        {2, "Offset, 4 colours", 25, {800, 600, 450, 350, 300, 250, 200}},
        {3, "Bindery, simple", 5, {200, 150, 100, 100, 80, 60, 50}},
        {20, "Waste Limit (see NOTE above)", 500, {2000, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto &w : wastes) {
        QList<Value> values = {Value(QString::fromUtf8(w.name)), Value(w.setup)};
        for (int v : w.waste)
            values << Value(v);
        values << Value(std::int64_t(w.level), FieldType::Byte);
        m_db.execute(QStringLiteral("UPDATE WasteTable SET Name = ?, Setup = ?, Waste1 = ?, Waste2 = ?, Waste3 = ?, "
                                    "Waste4 = ?, Waste5 = ?, Waste6 = ?, Waste7 = ? WHERE [Level] = ?"),
                     values);
    }
    // The presses' difficulty tables, every cell written as the difficulty
    // window saves them. Paper rows by the stock's waste row: minutes added
    // per plate (hundredths), the speed given up (%), set-up sheets and run
    // waste (hundredths of a percent) per level. Job rows: the run size's
    // area limits (square inches: the shop's usual sheets are neither small
    // nor large) and what a small or large sheet, heavier coverage, tighter
    // registration and a bleed add (a second side adds nothing: both presses
    // perfect), and the limits of all of them together. Speed rows: longer
    // runs go faster.
    const int paperRows[5][4] = {{0, 0, 0, 0}, {200, 5, 10, 50}, {400, 10, 20, 100}, {600, 15, 30, 150},
                                 {800, 20, 40, 200}};
    const int jobRows[19][5] = {
        {40, 0, 10, 5, 50},   {80, 0, 5, 0, 0},     {1200, 100, 5, 10, 25}, {1800, 200, 10, 20, 50}, // run size
        {0, 100, 0, 5, 25},   {0, 200, 5, 10, 50},  {0, 300, 10, 15, 75},   {0, 500, 15, 25, 100}, // coverage
        {0, 100, 0, 5, 25},   {0, 200, 5, 10, 50},  {0, 400, 10, 20, 75},   {0, 600, 15, 30, 100}, // registration
        {0, 100, 0, 10, 50},  {0, 0, 0, 0, 0},                               // bleed; both presses perfect
        {0, 0, 0, 0, 0},      {0, 0, 0, 0, 0},      {0, 0, 0, 0, 0},       {0, 0, 0, 0, 0},       // reserved
        {0, 1000, 30, 100, 500},                                                                  // limits
    };
    const int speedRows[4][2] = {{1000, 0}, {5000, 10}, {10000, 20}, {25000, 30}};
    QStringList columns = {QStringLiteral("SerNo")};
    QList<int> cells;
    for (int r = 1; r <= 19; ++r) {
        for (int c = 1; c <= 4; ++c) {
            columns << QStringLiteral("PapR%1C%2").arg(r).arg(c);
            cells << (r <= 5 ? paperRows[r - 1][c - 1] : 0);
        }
    }
    for (int r = 1; r <= 19; ++r) {
        for (int c = 0; c <= 4; ++c) {
            columns << QStringLiteral("JobR%1C%2").arg(r).arg(c);
            cells << jobRows[r - 1][c];
        }
    }
    for (int r = 1; r <= 9; ++r) {
        for (int c = 1; c <= 2; ++c) {
            columns << QStringLiteral("RunR%1C%2").arg(r).arg(c);
            cells << (r <= 4 ? speedRows[r - 1][c - 1] : 0);
        }
    }
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    for (int press : {6, 7}) {
        QList<Value> values = {Value(press)};
        for (const int cell : cells)
            values << Value(cell);
        m_db.execute(QStringLiteral("INSERT INTO ServiceDiffTables (%1) VALUES (%2)")
                         .arg(columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                     values);
    }
}

void SampleShop::priceItem(int jobId, int itemNo, qint32 firstId, std::vector<CItemSet> &rows, Money &cost,
                           Money &price)
{
    // The engine takes the item by its numbers and reads its rows, the item
    // row among them, from the rows the cache holds for the job.
    CItemSet item;
    item.m_JobID = jobId;
    item.m_ItemNo = quint8(itemNo);
    item.m_SubNo = 0;
    CItemPrice engine(&item, true, m_pricing.get());
    if (!engine.IsLoaded())
        return;
    engine.PriceItem(0);
    for (const auto &[id, priced] : engine.Rows()) {
        if (priced.m_SerNo == 0)
            continue;
        CItemSet &row = rows[size_t(id - firstId)];
        row.m_ActualTime = priced.m_ActualTime;
        row.m_ChargeTime = priced.m_ChargeTime;
        row.m_ActualQty = priced.m_ActualQty;
        row.m_ChargeQty = priced.m_ChargeQty;
        row.m_TimeCost = priced.m_TimeCost;
        row.m_MatCost = priced.m_MatCost;
        row.m_Cost = priced.m_Cost;
        row.m_Data2 = priced.m_Data2;
        row.m_Price = priced.m_Price;
    }
    cost = engine.GetNewCost();
    price = engine.GetNewPrice();
    for (CItemSet &row : rows) {
        if (row.m_ItemNo == itemNo && row.m_SerNo == 0) {
            row.m_Cost = cost;
            row.m_Price = price;
        }
    }
}

void SampleShop::addCustomers(int count)
{
    const DateTime today = DateTime::fromDate(platform::Clock::today());
    for (int i = 0; i < count; ++i) {
        const int cusNo = 1001 + i;
        const QString name = QStringLiteral("%1 %2").arg(QString::fromUtf8(any(kCompanyWords)),
                                                           QString::fromUtf8(any(kCompanyKinds)));
        Customer c{cusNo, pick(3), 0, 1 + pick(3), 201 + pick(2)};
        c.termsDays = c.termsNo == 1 ? 30 : c.termsNo == 2 ? 15 : 0;
        const QString city = QString::fromUtf8(any(kCities));
        m_db.execute(QStringLiteral("INSERT INTO Customers (CusNo, Name, Address, City, State, Zip, Tax, Terms, SRepNo, "
                                    "CusStatus, DateCreated, DateModified, CreditDue, CreditLimit) "
                                    "VALUES (?, ?, ?, ?, 'IL', ?, ?, ?, ?, 0, ?, ?, 0, ?)"),
                     {Value(cusNo), Value(name),
                      Value(QStringLiteral("%1 %2").arg(100 + pick(9800)).arg(QString::fromUtf8(any(kStreets)))),
                      Value(city), Value(QString::number(62700 + pick(90))), Value(std::int64_t(c.taxNo), FieldType::Byte),
                      Value(std::int64_t(c.termsNo), FieldType::Byte), Value(std::int64_t(c.srep), FieldType::Byte),
                      Value(today.addDays(-800)), Value(today), Value(Money::fromWhole(500 * (1 + pick(10))))});
        const int contacts = 1 + pick(2);
        for (int k = 0; k < contacts; ++k) {
            const QString first = QString::fromUtf8(any(kFirstNames));
            const QString last = QString::fromUtf8(any(kLastNames));
            m_db.execute(QStringLiteral("INSERT INTO Contacts (CusNo, First, Last, Phone, Email, Type, KeyContact, Created) "
                                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                         {Value(cusNo), Value(first), Value(last),
                          Value(QStringLiteral("(217) 555-%1").arg(1000 + pick(9000))),
                          Value(QStringLiteral("%1.%2@example.com").arg(first.toLower(), QString(last).remove(QLatin1Char('\'')).toLower())),
                          Value(std::int64_t(k == 0 ? 1 : 0), FieldType::Byte),
                          Value(std::int64_t(k == 0 ? 1 : 0), FieldType::Byte), Value(today.addDays(-700))});
        }
        m_db.execute(QStringLiteral("UPDATE Customers SET BuyerNo = (SELECT Min(ContactNo) FROM Contacts WHERE Contacts.CusNo = ?) "
                                    "WHERE CusNo = ?"),
                     {Value(cusNo), Value(cusNo)});
        if (pick(3) == 0) {
            m_db.execute(QStringLiteral("INSERT INTO Shipto (CusNo, Type, Attention, Company, Address, City, State, Zip, Created) "
                                        "VALUES (?, 0, ?, ?, ?, ?, 'IL', ?, ?)"),
                         {Value(cusNo), Value(QString::fromUtf8(any(kFirstNames))), Value(name + QStringLiteral(" Warehouse")),
                          Value(QStringLiteral("%1 Industrial Dr").arg(10 + pick(900))), Value(QString::fromUtf8(any(kCities))),
                          Value(QString::number(62700 + pick(90))), Value(today.addDays(-600))});
        }
        m_customers << c;
    }
}

void SampleShop::addJob(int jobId, int index, int jobCount)
{
    // Most jobs are orders and posted invoices; the rest quotes and templates.
    const int roll = pick(100);
    const quint8 jobType = roll < 45 ? CJobSet::Order : roll < 75 ? CJobSet::History : roll < 97 ? CJobSet::Quote
                                                                                                   : CJobSet::Template;
    const int series = jobType == CJobSet::Quote ? 1 : jobType == CJobSet::Template ? 2 : 0;
    const int jobNo = 1000 + ++m_lastNumber[series];
    const Customer &customer = m_customers[pick(m_customers.size())];
    const DateTime today = DateTime::fromDate(platform::Clock::today());
    // Older jobs have lower numbers: the in-date runs over the last two years.
    const int age = std::max(0, 730 - int(730.0 * index / std::max(1, jobCount)) - pick(5));
    const DateTime dateIn = today.addDays(-age);

    CJobSet job(&m_db);
    job.m_JobID = jobId;
    job.m_JobType = jobType;
    job.m_JobNo = jobNo;
    job.m_Status = jobType == CJobSet::Order ? quint8(pick(4)) : 0;
    job.m_CSRNo = quint8(101 + pick(2));
    job.m_SRepNo = quint8(customer.srep);
    job.m_CusNo = customer.cusNo;
    job.m_DateIn = dateIn;
    job.m_DateDue = dateIn.addDays(2 + pick(20));
    job.m_TaxNo = quint8(customer.taxNo);
    // A few taxed invoices charge the state and the city tax together.
    if (jobType == CJobSet::History && customer.taxNo != 0 && jobNo % 9 == 0)
        job.m_TaxNo = 3;
    job.m_TermsNo = quint8(customer.termsNo);
    job.m_Creator = 0;

    // Items: an item row (service 0) priced at the sum of its service rows.
    const int items = 1 + pick(3);
    QList<std::pair<Money, Money>> itemTotals; // each item's cost and price
    if (m_lastItemId < 0) {
        platform::Recordset last(m_db);
        last.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Max(ItemID) FROM Items"));
        m_lastItemId = last.isEOF() || last.value(0).isNull() ? 0 : last.value(0).toInt();
    }
    const qint32 firstId = m_lastItemId + 1;
    std::vector<CItemSet> rows; // the job's rows in the order they are written, ItemID by ItemID
    const auto addRow = [&](const QString &description, int serNo, int item, int sort, int qty, Money cost, Money price,
                            int out, int up, int sheets, int side1, int side2, int pages) {
        CItemSet &row = rows.emplace_back();
        row.m_ItemID = firstId + qint32(rows.size()) - 1;
        row.m_Description = description;
        row.m_JobID = jobId;
        row.m_SerNo = serNo;
        row.m_ItemNo = quint8(item);
        row.m_SortNo = quint8(sort);
        row.m_ChargeQty = qty;
        row.m_Cost = cost;
        row.m_Price = price;
        row.m_Out = out;
        row.m_Up = up;
        row.m_Sheets = sheets;
        row.m_Side1 = quint8(side1);
        row.m_Side2 = quint8(side2);
        row.m_Pages = pages;
    };
    for (int item = 1; item <= items; ++item) {
        const ItemRecipe &recipe = any(kRecipes);
        const int qty = recipe.quantities[pick(4)];
        if (item == 1)
            job.m_Title = QString::fromUtf8(recipe.product);
        const QList<int> serNos = itemServices(recipe, item == 1);
        Money itemCost;
        Money itemPrice;
        const size_t itemRow = rows.size();
        addRow(QString::fromUtf8(recipe.product), 0, item, 0, qty, Money(), Money(), 1, 1, 1, 1, 0, 1);
        int sort = 0;
        for (const int serNo : serNos) {
            const SampleService &service = *std::find_if(std::begin(kServices), std::end(kServices),
                                                         [serNo](const SampleService &x) { return x.serNo == serNo; });
            const Money cost = Money::fromCents(qint64(service.costCents) * (qty + 500) / 1000);
            Money price = cost * (100 + service.markupPct) / 100;
            price = price.roundedToCentsHalfAway();
            itemCost += cost;
            itemPrice += price;
            // The stock is cut into run sheets out of its parent sheet and
            // holds the recipe's pieces; plates are counted per ink.
            const bool paper = serNo == recipe.paper;
            const int out = paper ? recipe.out
                            : service.catNo == 6 ? platesOfSide(recipe.side1) + platesOfSide(recipe.side2)
                                                 : 1;
            // A service row has no text of its own: lists and the schedule
            // name it by its category and service.
            addRow(QString(), service.serNo, item, ++sort, qty, cost, price, out,
                   paper ? recipe.up : 1, paper ? recipe.sheets : 1, recipe.side1, recipe.side2,
                   paper ? recipe.sheets * (recipe.side2 != 0 ? 2 : 1) : 1);
        }
        rows[itemRow].m_Cost = itemCost;
        rows[itemRow].m_Price = itemPrice;
        itemTotals << std::make_pair(itemCost, itemPrice);
    }
    if (!m_pricing)
        m_pricing = std::make_unique<PricingCache>();
    m_pricing->HoldJobRows(jobId, rows);
    for (int item = 1; item <= items; ++item) {
        auto &[itemCost, itemPrice] = itemTotals[item - 1];
        priceItem(jobId, item, firstId, rows, itemCost, itemPrice);
    }
    // Written as the shop leaves them once priced: an item is done once its
    // job has shipped, in production on an order in progress and held with
    // an order on hold; its first side tells its product type; black copies
    // run on paper of both sides.
    const quint8 itemStatus = jobType == CJobSet::History || (jobType == CJobSet::Order && job.m_Status >= 2) ? 17
                              : jobType == CJobSet::Order && job.m_Status == 0                                  ? 4
                                                                                                                 : 1;
    for (CItemSet &row : rows) {
        if (row.m_SerNo == 0) {
            row.m_Status = itemStatus;
            row.m_Side1 = quint8(1 + jobId % 3);
        } else if (row.m_SerNo == 9) {
            row.m_Side1 = 1;
            row.m_Side2 = quint8(jobId % 2);
        }
        writeItemRow(row);
    }
    m_lastItemId += qint32(rows.size());
    Money taxableItems; // the items' prices as the job's taxable sum counts them
    for (auto [itemCost, itemPrice] : std::as_const(itemTotals)) {
        // "No Charge" counts nothing in a sum.
        if (itemCost == Money::fromUnits(1) || itemCost == Money::fromUnits(-1))
            itemCost = Money();
        if (itemPrice == Money::fromUnits(1) || itemPrice == Money::fromUnits(-1))
            itemPrice = Money();
        job.m_Cost += itemCost;
        job.m_Subtotal += itemPrice;
        taxableItems += Money::fromUnits(itemPrice.units());
    }
    if (pick(5) == 0)
        CalcPercentAmount(job.m_Subtotal, job.m_Discount, -double(5 + pick(10)), true, false);
    if (pick(4) == 0)
        job.m_Shipping = Money::fromCents(500 + pick(3000));

    DateTime shipped;
    if (jobType == CJobSet::History || (jobType == CJobSet::Order && job.m_Status >= 2)) {
        shipped = dateIn.addDays(1 + pick(10));
        if (shipped > today)
            shipped = today;
        job.m_DateShipped = shipped;
    }
    // Taxes and totals by the program's own rules, the tax table read once.
    // Its item rows were written above with these prices and no Bleed.
    if (!m_taxRates)
        m_taxRates = TaxRatesReadOnce(&m_db);
    ComputeJobTaxes(taxableItems, job.m_Subtotal, job.m_Discount, job.m_Shipping, job.m_Postage, job.m_TaxNo,
                    job.m_Taxable, job.m_Tax, job.m_Taxable2, job.m_Tax2, m_taxRates);
    job.RecalcTotals(false);
    job.CalcCommission();
    if (jobType == CJobSet::History) {
        job.m_DatePayDue = shipped.addDays(customer.termsDays);
        // Most posted invoices are paid in full, some in part, some not yet.
        const int paid = pick(10);
        if (paid < 7) {
            job.m_Paid = -job.m_TotalAmount;
            job.m_DatePaid = shipped.addDays(pick(std::max(1, customer.termsDays + 15)));
            if (job.m_DatePaid > today)
                job.m_DatePaid = today;
        } else if (paid < 9) {
            job.m_Paid = -(job.m_TotalAmount / 2).roundedToCentsHalfAway();
        }
    }
    job.RecalcTotals(true);

    // Written as the shop leaves a job: an order is Ready to Post once its
    // invoice is printed, it has shipped and it has a price, and a posted
    // invoice went out printed; an order the rule would not leave Ready to
    // Post is ready to ship instead, its work order printed. Every job goes
    // one of the shop's ways.
    const Value dateShipped =
        job.m_DateShipped.isValid() && job.m_DateShipped.toOle() != 0 ? Value(job.m_DateShipped) : Value();
    const bool invoicePrinted = jobType == CJobSet::History
                                || (jobType == CJobSet::Order && job.m_Status == 3 && !dateShipped.isNull()
                                    && !job.m_Subtotal.isZero());
    if (jobType == CJobSet::Order && job.m_Status == 3 && !invoicePrinted)
        job.m_Status = 2;
    const bool workOrderPrinted = invoicePrinted || (jobType == CJobSet::Order && job.m_Status == 2);
    if (!m_jobInsert) {
        m_jobInsert = std::make_unique<platform::ActionStatement>(
            m_db, wholeRowInsertSql(QStringLiteral("Jobs"),
                                    QStringLiteral("JobID, JobType, JobNo, Title, Status, CSRNo, SRepNo, CusNo, DateIn, "
                                                   "DateDue, DateShipped, DatePayDue, DatePaid, TaxNo, TermsNo, Cost, "
                                                   "Subtotal, Discount, Shipping, Postage, Tax, Latefee, Paid, Writeoff, "
                                                   "Balance, Commission, CommType, Creator, Taxable, Taxable2, Tax2, ViaDue, "
                                                   "InvoicePrinted, WOrderPrinted"),
                                    QStringLiteral("?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                                                   "0, 0, ?, ?, ?, ?, ?, ?")));
    }
    m_jobInsert->execute({Value(jobId), Value(std::int64_t(jobType), FieldType::Byte), Value(jobNo), Value(job.m_Title),
                          Value(std::int64_t(job.m_Status), FieldType::Byte), Value(std::int64_t(job.m_CSRNo), FieldType::Byte),
                          Value(std::int64_t(job.m_SRepNo), FieldType::Byte), Value(job.m_CusNo), Value(job.m_DateIn),
                          Value(job.m_DateDue), dateShipped, job.m_DatePayDue.toOle() != 0 ? Value(job.m_DatePayDue) : Value(),
                          job.m_DatePaid.toOle() != 0 ? Value(job.m_DatePaid) : Value(),
                          Value(std::int64_t(job.m_TaxNo), FieldType::Byte), Value(std::int64_t(job.m_TermsNo), FieldType::Byte),
                          Value(job.m_Cost), Value(job.m_Subtotal), Value(job.m_Discount), Value(job.m_Shipping),
                          Value(job.m_Postage), Value(job.m_Tax), Value(job.m_Latefee), Value(job.m_Paid), Value(job.m_Writeoff),
                          Value(job.m_Balance), Value(job.m_Commission), Value(job.m_Taxable), Value(job.m_Taxable2),
                          Value(job.m_Tax2), Value(std::int64_t(1 + jobNo % 4), FieldType::Byte),
                          Value(std::int64_t(invoicePrinted ? 1 : 0), FieldType::Byte),
                          Value(std::int64_t(workOrderPrinted ? 1 : 0), FieldType::Byte)});

    if (jobType == CJobSet::History) {
        const QString month = shipped.format(QStringLiteral("%Y-%m"));
        m_postedByMonth[month] << Posted{jobNo, customer.cusNo, shipped, job.m_Paid};
        std::unique_ptr<CPostSet> &journal = m_journalByMonth[month];
        if (!journal) {
            journal = std::make_unique<CPostSet>(&m_db);
            journal->ResetFields();
        }
        journal->AddInvoice(job, job.m_Balance.isNoCharge() ? Money() : job.m_Balance);
    }
}

void SampleShop::addPostings()
{
    // One posting a month: the journal row, then each invoice's payment.
    for (auto it = m_postedByMonth.cbegin(); it != m_postedByMonth.cend(); ++it) {
        const QList<Posted> &jobs = it.value();
        CPostSet &j = *m_journalByMonth.at(it.key());
        DateTime postingDate;
        for (const Posted &p : jobs) {
            if (postingDate < p.shipped)
                postingDate = p.shipped;
        }
        j.m_PostingDate = postingDate;
        m_db.execute(QStringLiteral("INSERT INTO PostingJournal (PostingDate, Invoices, Cost, Subtotal, Discount, Shipping, "
                                    "Postage, Tax, Latefee, Paid, Writeoff, Balance, Commission, TaxableNetSale) "
                                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                     {Value(postingDate), Value(j.m_Invoices), Value(j.m_Cost), Value(j.m_Subtotal),
                      Value(j.m_Discount), Value(j.m_Shipping), Value(j.m_Postage), Value(j.m_Tax), Value(j.m_Latefee),
                      Value(j.m_Paid), Value(j.m_Writeoff), Value(j.m_Balance), Value(j.m_Commission),
                      Value(j.m_TaxableNetSale)});
        platform::Recordset last(m_db);
        last.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Max(PostingNo) FROM PostingJournal"));
        const int postingNo = last.value(0).toInt();
        last.close();
        j.m_PostingNo = postingNo;
        m_journalByNo.insert(postingNo, &j);
        for (const Posted &p : jobs) {
            m_db.execute(QStringLiteral("UPDATE Jobs SET PostingNo = ? WHERE JobNo = ? AND JobType = 3"),
                         {Value(postingNo), Value(p.jobNo)});
            if (p.paid.isZero())
                continue;
            const int payGroup = 2;
            m_db.execute(QStringLiteral("INSERT INTO Payments (Date, Amount, CusNo, PayGroup, PaidBy, Reference, Appliedto, PostingNo) "
                                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                         {Value(p.shipped), Value(-p.paid), Value(p.cusNo), Value(std::int64_t(payGroup), FieldType::Byte),
                          Value(std::int64_t(pick(3)), FieldType::Byte), Value(QStringLiteral("Check %1").arg(1000 + pick(9000))),
                          Value(QString::number(p.jobNo)), Value(postingNo)});
            m_db.execute(QStringLiteral("INSERT INTO PayApplied (PayNo, JobNo, Amount) "
                                        "SELECT Max(PayNo), ?, ? FROM Payments"),
                         {Value(p.jobNo), Value(-p.paid)});
        }
    }
}

void SampleShop::addSalesDepartments()
{
    const struct { int no; const char *name; int group; } departments[] = {
        {1, "Paper", 1}, {2, "Offset Printing", 2}, {3, "Copies", 2}, {4, "Bindery", 3}, {5, "Prepress", 3},
        {6, "Delivery", 4}};
    for (const auto &d : departments)
        m_db.execute(QStringLiteral("INSERT INTO SalesDepartments ([No], Name, [Group]) VALUES (?, ?, ?)"),
                     {Value(std::int64_t(d.no), FieldType::Byte), Value(QString::fromLatin1(d.name)),
                      Value(std::int64_t(d.group), FieldType::Byte)});
    // By the kind of work: stock, presses and plates, copiers and the
    // counter, bindery, prepress and proofs, delivery.
    m_db.execute(QStringLiteral("UPDATE Services SET SaleDept = IIf(CatNo Between 101 And 199, 1, IIf(CatNo Between 201 "
                                "And 299 Or CatNo = 6, 2, IIf(CatNo Between 301 And 399 Or CatNo = 999, 3, IIf(CatNo "
                                "Between 401 And 499, 4, IIf(CatNo = 501 Or CatNo = 7, 5, IIf(CatNo = 701, 6, 0)))))) "
                                "WHERE SerNo > 0"));
}

void SampleShop::addShopSetupRows()
{
    const char *const paymentTypes[] = {"Check", "Credit Card"};
    for (int i = 0; i < 2; ++i)
        m_db.execute(QStringLiteral("INSERT INTO PaymentTypes ([No], Name, Type, Sort) VALUES (?, ?, 0, ?)"),
                     {Value(std::int64_t(i + 1), FieldType::Byte), Value(QString::fromLatin1(paymentTypes[i])),
                      Value(std::int64_t(i + 1), FieldType::Byte)});
    const char *const shipBy[] = {"Pick up", "Our Delivery", "UPS Ground", "Courier"};
    for (int i = 0; i < 4; ++i)
        m_db.execute(QStringLiteral("INSERT INTO ShipBy ([No], Name, Type, Sort) VALUES (?, ?, 0, ?)"),
                     {Value(std::int64_t(i + 1), FieldType::Byte), Value(QString::fromLatin1(shipBy[i])),
                      Value(std::int64_t(i + 1), FieldType::Byte)});
    const char *const sources[] = {"Referral", "Web Site", "Walk-in", "Yellow Pages"};
    for (int i = 0; i < 4; ++i)
        m_db.execute(QStringLiteral("INSERT INTO CustomerSources ([No], Name, Type, Sort) VALUES (?, ?, 0, ?)"),
                     {Value(std::int64_t(i + 1), FieldType::Byte), Value(QString::fromLatin1(sources[i])),
                      Value(std::int64_t(i + 1), FieldType::Byte)});
    m_db.execute(QStringLiteral("UPDATE Customers SET Source = 1 + (CusNo Mod 4) WHERE CusNo > 1000"));
    for (const auto &c : kCounterServices)
        m_db.execute(QStringLiteral("INSERT INTO Services (SerNo, CatNo, SortNo, Name, SerStatus, PriceBy, CostBy, CostHr, "
                                    "Markup, OptTax, OptCom, OptWO, OptInv, QtyBy, Unit, QBreak1, RunPrice1, Modified) "
                                    "VALUES (?, 999, ?, ?, 0, 3, 0, 0, 0, 1, 1, 0, 0, 1, 1, 1, ?, ?)"),
                     {Value(c.serNo), Value(c.serNo), Value(QString::fromUtf8(c.name)), Value(c.centsEach),
                      Value(DateTime::fromDate(platform::Clock::today()))});
    // The shop's phone and fax: those of customer 1's buyer.
    m_db.execute(QStringLiteral("INSERT INTO Contacts (CusNo, First, Last, Phone, Fax, Email, Type, KeyContact, Created) "
                                "VALUES (1, 'Front', 'Desk', '(217) 555-0100', '(217) 555-0199', 'orders@example.com', "
                                "0, 1, ?)"),
                 {Value(DateTime::fromDate(platform::Clock::today()))});
    m_db.execute(QStringLiteral("UPDATE Customers SET BuyerNo = (SELECT Max(ContactNo) FROM Contacts WHERE CusNo = 1) "
                                "WHERE CusNo = 1"));
}

void SampleShop::addReportRows()
{
    addSalesDepartments();

    // Product types of the items without a service, and the customers'
    // kinds of business.
    const char *const productTypes[] = {"Printed", "Outsourced", "Promotional"};
    for (int i = 0; i < 3; ++i)
        m_db.execute(QStringLiteral("INSERT INTO ProductTypes ([No], Name, Sort, Type, Qty) VALUES (?, ?, ?, 0, 0)"),
                     {Value(std::int64_t(i + 1), FieldType::Byte), Value(QString::fromLatin1(productTypes[i])),
                      Value(std::int64_t(i + 1), FieldType::Byte)});
    const char *const businesses[] = {"Retail", "Professional", "Non-profit", "Education"};
    for (int i = 0; i < 4; ++i)
        m_db.execute(QStringLiteral("INSERT INTO BusinessTypes ([No], Name, Type, Sort) VALUES (?, ?, 0, ?)"),
                     {Value(std::int64_t(i + 1), FieldType::Byte), Value(QString::fromLatin1(businesses[i])),
                      Value(std::int64_t(i + 1), FieldType::Byte)});
    m_db.execute(QStringLiteral("UPDATE Customers SET Business = 1 + (CusNo Mod 4) WHERE CusNo > 1 AND CusNo <> 31"));

    // The shop itself is customer 1.
    m_db.execute(QStringLiteral("UPDATE Customers SET Name = 'Sample Print Shop', Address = '100 Main St', "
                                "City = 'Springfield' WHERE CusNo = 1"));

    // Walk-in buyers: contacts of customer 31 named on some jobs.
    for (int i = 0; i < 3; ++i)
        m_db.execute(QStringLiteral("INSERT INTO Contacts (CusNo, First, Last, Phone, Type, KeyContact, Created) "
                                    "VALUES (31, ?, ?, ?, 0, 0, ?)"),
                     {Value(QString::fromUtf8(any(kFirstNames))), Value(QString::fromUtf8(any(kLastNames))),
                      Value(QStringLiteral("555-01%1").arg(10 + i)), Value(DateTime::fromDate(platform::Clock::today()))});
    m_db.execute(QStringLiteral("UPDATE Jobs SET CusNo = 31, BuyerNo = (SELECT Min(ContactNo) FROM Contacts WHERE "
                                "Contacts.CusNo = 31) + (JobNo Mod 3) WHERE JobNo Mod 23 = 0"));

    // Postings, oldest first.
    QList<std::pair<int, DateTime>> postings;
    {
        platform::Recordset rs(m_db);
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT PostingNo, PostingDate FROM PostingJournal ORDER BY PostingNo"));
        for (; !rs.isEOF(); rs.moveNext())
            postings << std::make_pair(rs.value(0).toInt(), rs.value(1).toDateTime());
    }

    // Quick sales over the counter: two or three a posting, one not posted
    // yet; each paid at once (PayGroup 0). A quick sale's subtotal is the sum
    // of its items' prices; the tax is the state rate on the taxable part.
    auto addQuickSale = [&](const DateTime &date, int postingNo) {
        Money subtotal;
        const int items = 1 + pick(3);
        m_db.execute(QStringLiteral("INSERT INTO QuickSales (Date, Subtotal, Tax, TaxID, PostingNo, PayNo, Taxable, "
                                    "Taxable2, Tax2) VALUES (?, 0, 0, 1, ?, 0, 0, 0, 0)"),
                     {Value(date), Value(postingNo)});
        for (int i = 0; i < items; ++i) {
            const auto &service = any(kCounterServices);
            const int quantity = service.centsEach < 100 ? 10 * (1 + pick(30)) : 1 + pick(10);
            const Money price = Money::fromCents(qint64(quantity) * service.centsEach);
            subtotal += price;
            m_db.execute(QStringLiteral("INSERT INTO QuickSalesItems (QSaleID, SerNo, Quantity, Price) "
                                        "SELECT Max(QSaleID), ?, ?, ? FROM QuickSales"),
                         {Value(service.serNo), Value(quantity), Value(price)});
        }
        const Money taxable = pick(4) == 0 ? Money() : subtotal;
        const Money tax = (taxable * 6 / 100).roundedToCentsHalfAway();
        m_db.execute(QStringLiteral("INSERT INTO Payments (Date, Amount, CusNo, PayGroup, PaidBy, Reference, Appliedto, PostingNo) "
                                    "VALUES (?, ?, 31, 0, ?, 'Counter', 'Quick Sale', ?)"),
                     {Value(date), Value(subtotal + tax), Value(std::int64_t(pick(3)), FieldType::Byte), Value(postingNo)});
        m_db.execute(QStringLiteral("UPDATE QuickSales SET Subtotal = ?, Tax = ?, Taxable = ?, PayNo = (SELECT Max(PayNo) "
                                    "FROM Payments) WHERE QSaleID = (SELECT Max(QSaleID) FROM QuickSales)"),
                     {Value(subtotal), Value(tax), Value(taxable)});
        if (CPostSet *journal = m_journalByNo.value(postingNo))
            journal->AddQuickSale(subtotal, tax);
    };
    for (const auto &p : postings) {
        for (int i = 2 + pick(2); i > 0; --i)
            addQuickSale(p.second.addDays(-pick(20)), p.first);
    }
    if (!postings.isEmpty())
        addQuickSale(postings.last().second, 0);

    // Deposits (PayGroup 1): taken under the posting before the one that
    // posts the invoice, and taken on open orders under the last posting.
    // Each is part of what the job has paid, so the books still balance.
    for (int k = 1; k < postings.size(); ++k) {
        platform::Recordset rs(m_db);
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT Min(Payments.PayNo), Min(PayApplied.JobNo) FROM Payments INNER JOIN PayApplied ON "
                               "Payments.PayNo = PayApplied.PayNo WHERE Payments.PostingNo = %1 AND Payments.PayGroup = 2")
                    .arg(postings[k].first));
        if (rs.isEOF() || rs.value(0).isNull())
            continue;
        const int payNo = rs.value(0).toInt();
        const int jobNo = rs.value(1).toInt();
        platform::Recordset pay(m_db);
        pay.open(platform::Recordset::Type::Snapshot,
                 QStringLiteral("SELECT Amount, CusNo FROM Payments WHERE PayNo = %1").arg(payNo));
        const Money amount = pay.value(0).toMoney();
        const Money deposit = (amount / 2).roundedToCentsHalfAway();
        m_db.execute(QStringLiteral("UPDATE Payments SET Amount = ? WHERE PayNo = ?"), {Value(amount - deposit), Value(payNo)});
        m_db.execute(QStringLiteral("UPDATE PayApplied SET Amount = ? WHERE PayNo = ?"), {Value(amount - deposit), Value(payNo)});
        m_db.execute(QStringLiteral("INSERT INTO Payments (Date, Amount, CusNo, PayGroup, PaidBy, Reference, Appliedto, PostingNo) "
                                    "VALUES (?, ?, ?, 1, 0, 'Deposit', ?, ?)"),
                     {Value(postings[k - 1].second), Value(deposit), Value(pay.value(1).toInt()), Value(QString::number(jobNo)),
                      Value(postings[k - 1].first)});
        m_db.execute(QStringLiteral("INSERT INTO PayApplied (PayNo, JobNo, Amount) SELECT Max(PayNo), ?, ? FROM Payments"),
                     {Value(jobNo), Value(deposit)});
    }
    if (!postings.isEmpty()) {
        platform::Recordset orders(m_db);
        orders.open(platform::Recordset::Type::Snapshot,
                    QStringLiteral("SELECT JobNo, CusNo, Subtotal + Discount + Shipping + Postage + Tax FROM Jobs WHERE "
                                   "JobType = 0 AND (PostingNo = 0 OR PostingNo Is Null) ORDER BY JobNo"));
        for (int n = 0; !orders.isEOF() && n < 4; orders.moveNext(), ++n) {
            const Money deposit = (orders.value(2).toMoney() / 2).roundedToCentsHalfAway();
            if (deposit.isZero())
                continue;
            const int jobNo = orders.value(0).toInt();
            m_db.execute(QStringLiteral("INSERT INTO Payments (Date, Amount, CusNo, PayGroup, PaidBy, Reference, Appliedto, "
                                        "PostingNo) VALUES (?, ?, ?, 1, 0, 'Deposit', ?, ?)"),
                         {Value(postings.last().second), Value(deposit), Value(orders.value(1).toInt()),
                          Value(QString::number(jobNo)), Value(postings.last().first)});
            m_db.execute(QStringLiteral("INSERT INTO PayApplied (PayNo, JobNo, Amount) SELECT Max(PayNo), ?, ? FROM Payments"),
                         {Value(jobNo), Value(deposit)});
            m_db.execute(QStringLiteral("UPDATE Jobs SET Paid = Paid - ?, Balance = Balance - ? WHERE JobNo = ? AND JobType = 0"),
                         {Value(deposit), Value(deposit), Value(jobNo)});
        }
    }

    // Changes to earlier invoices: a late fee, then a write-off, dated in a
    // later posting period (and one in the invoice's own period).
    for (int k = 0; k + 2 < postings.size(); k += 3) {
        platform::Recordset rs(m_db);
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT Min(JobNo) FROM Jobs WHERE JobType = 3 AND PostingNo = %1").arg(postings[k].first));
        if (rs.isEOF() || rs.value(0).isNull())
            continue;
        const int jobNo = rs.value(0).toInt();
        const Money fee = Money::fromCents(500 + pick(2000));
        const DateTime later = postings[k + 2].second.addDays(-3);
        m_db.execute(QStringLiteral("INSERT INTO AuditTrail (TransDate, JobNo, Subtotal, Discount, Shipping, Postage, Tax, "
                                    "Latefee, Paid, Writeoff, Balance, JobType, PropID) VALUES (?, ?, 0, 0, 0, 0, 0, ?, 0, 0, ?, 3, 0)"),
                     {Value(later), Value(jobNo), Value(fee), Value(fee)});
        m_db.execute(QStringLiteral("INSERT INTO AuditTrail (TransDate, JobNo, Subtotal, Discount, Shipping, Postage, Tax, "
                                    "Latefee, Paid, Writeoff, Balance, JobType, PropID) VALUES (?, ?, 0, 0, 0, 0, 0, 0, 0, ?, ?, 3, 0)"),
                     {Value(later.addDays(1)), Value(jobNo), Value(-fee), Value(-fee)});
        m_db.execute(QStringLiteral("INSERT INTO AuditTrail (TransDate, JobNo, Subtotal, Discount, Shipping, Postage, Tax, "
                                    "Latefee, Paid, Writeoff, Balance, JobType, PropID) VALUES (?, ?, 0, 0, 0, 0, 0, 0, ?, 0, ?, 3, 0)"),
                     {Value(postings[k].second), Value(jobNo), Value(Money::fromCents(-100)), Value(Money::fromCents(-100))});
    }

    // Credits given (positive) and applied to an invoice (negative), with reasons.
    for (int k = 0; k < postings.size(); k += 2) {
        const Customer &c = m_customers[pick(int(m_customers.size()))];
        const Money amount = Money::fromCents(1000 + pick(5000));
        m_db.execute(QStringLiteral("INSERT INTO Credits (CusNo, JobNo, Amount, Date, ReasonID) VALUES (?, 0, ?, ?, ?)"),
                     {Value(c.cusNo), Value(amount), Value(postings[k].second.addDays(-5)),
                      Value(std::int64_t(1 + pick(3)), FieldType::Byte)});
        platform::Recordset rs(m_db);
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT Min(JobNo) FROM Jobs WHERE JobType = 3 AND CusNo = %1").arg(c.cusNo));
        const int jobNo = rs.isEOF() || rs.value(0).isNull() ? 0 : rs.value(0).toInt();
        m_db.execute(QStringLiteral("INSERT INTO Credits (CusNo, JobNo, Amount, Date, ReasonID) VALUES (?, ?, ?, ?, 0)"),
                     {Value(c.cusNo), Value(jobNo), Value(-amount), Value(postings[k].second.addDays(-1))});
    }
    m_db.execute(QStringLiteral("UPDATE Customers SET CreditDue = 25 WHERE CusNo = 2"));

    // What posting sums besides the invoices: the quick sales and every
    // payment stamped with the posting.
    {
        platform::Recordset rs(m_db);
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT PostingNo, Sum(Amount) FROM Payments WHERE PostingNo > 0 GROUP BY PostingNo"));
        for (; !rs.isEOF(); rs.moveNext()) {
            if (CPostSet *journal = m_journalByNo.value(rs.value(0).toInt()))
                journal->m_AllPayments = rs.value(1).toMoney();
        }
    }
    for (const CPostSet *j : std::as_const(m_journalByNo))
        m_db.execute(QStringLiteral("UPDATE PostingJournal SET QSales = ?, QSaleSubtotal = ?, QSaleTax = ?, TaxableQSale = ?, "
                                    "AllPayments = ? WHERE PostingNo = ?"),
                     {Value(j->m_QSales), Value(j->m_QSaleSubtotal), Value(j->m_QSaleTax), Value(j->m_TaxableQSale),
                      Value(j->m_AllPayments), Value(j->m_PostingNo)});
}

// Rows the program writes itself carry every number (a recordset stores 0 for
// a number left unset); the sample's rows are made the same way.
void SampleShop::zeroNumericNulls()
{
    // Jobs and Items rows are written whole.
    const QStringList tables = {QStringLiteral("Services"), QStringLiteral("Customers"), QStringLiteral("Contacts"),
                                QStringLiteral("Shipto"),
                                QStringLiteral("Payments"), QStringLiteral("PostingJournal"),
                                QStringLiteral("ServiceCategories"), QStringLiteral("ServiceDepartments")};
    for (const QString &table : tables)
        zeroNumericNulls(table, QString());
}

void SampleShop::zeroNumericNulls(const QString &table, const QString &where)
{
    // One pass over the table: only rows with a number unset are written.
    QStringList sets;
    QStringList unset;
    for (const platform::FieldDef &f : m_db.tableDef(table).fields) {
        if (!platform::isNumericType(f.type) || f.autoNumber)
            continue;
        sets << QStringLiteral("[%1] = IIf([%1] Is Null, 0, [%1])").arg(f.name);
        unset << QStringLiteral("[%1] Is Null").arg(f.name);
    }
    if (sets.isEmpty())
        return;
    m_db.execute(QStringLiteral("UPDATE [%1] SET %2 WHERE (%3)")
                     .arg(table, sets.join(QStringLiteral(", ")), unset.join(QStringLiteral(" Or ")))
                 + (where.isEmpty() ? QString() : QStringLiteral(" AND ") + where));
}

QString SampleShop::wholeRowInsertSql(const QString &table, const QString &columns, const QString &values) const
{
    // The engine reads the rows as the program writes them: every number set.
    const QStringList bound = columns.split(QStringLiteral(", "));
    QStringList names = bound;
    QString zeros;
    for (const platform::FieldDef &f : m_db.tableDef(table).fields) {
        if (platform::isNumericType(f.type) && !f.autoNumber && !bound.contains(f.name, Qt::CaseInsensitive)) {
            names << QStringLiteral("[%1]").arg(f.name);
            zeros += QStringLiteral(", 0");
        }
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3%4)").arg(table, names.join(QStringLiteral(", ")), values, zeros);
}

void SampleShop::writeItemRow(const CItemSet &row)
{
    if (!m_itemInsert) {
        m_itemInsert = std::make_unique<platform::ActionStatement>(m_db, wholeRowInsertSql(
            QStringLiteral("Items"),
            QStringLiteral("Description, JobID, SerNo, ItemNo, SubNo, SortNo, ChargeQty, Cost, Price, Out, Up, Status, "
                           "Bleed, Sheets, Side1, Side2, Pages, ItemID, ActualTime, ChargeTime, ActualQty, TimeCost, "
                           "MatCost, Data2"),
            QStringLiteral("?, ?, ?, ?, 0, ?, ?, ?, ?, ?, ?, ?, 0, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?")));
    }
    m_itemInsert->execute({Value(row.m_Description), Value(row.m_JobID), Value(row.m_SerNo),
                  Value(std::int64_t(row.m_ItemNo), FieldType::Byte), Value(std::int64_t(row.m_SortNo), FieldType::Byte),
                  Value(row.m_ChargeQty), Value(row.m_Cost), Value(row.m_Price), Value(row.m_Out), Value(row.m_Up),
                  Value(std::int64_t(row.m_Status), FieldType::Byte), Value(row.m_Sheets), Value(std::int64_t(row.m_Side1), FieldType::Byte),
                  Value(std::int64_t(row.m_Side2), FieldType::Byte), Value(row.m_Pages), Value(row.m_ItemID),
                  Value(row.m_ActualTime), Value(row.m_ChargeTime), Value(row.m_ActualQty), Value(row.m_TimeCost),
                  Value(row.m_MatCost), Value(row.m_Data2)});
}

void SampleShop::build(int jobCount, QTextStream &out)
{
    platform::Transaction unit(m_db);
    addReferenceRows();
    addServices();
    addPricingTables();
    zeroNumericNulls(QStringLiteral("Services"), QString());
    zeroNumericNulls(QStringLiteral("ServiceCategories"), QString());
    addCustomers(std::max(25, jobCount / 25));
    for (int i = 0; i < jobCount; ++i)
        addJob(i + 1, i, jobCount);
    addPostings();
    addShopSetupRows();
    addReportRows();
    zeroNumericNulls();
    // The job-number counters continue after the sample's numbers.
    const int keys[3] = {10, 11, 12};
    for (int s = 0; s < 3; ++s) {
        m_db.execute(QStringLiteral("DELETE * FROM JobTypes WHERE JobType = ?"), {Value(keys[s])});
        m_db.execute(QStringLiteral("INSERT INTO JobTypes (JobType, Name) VALUES (?, ?)"),
                     {Value(std::int64_t(keys[s]), FieldType::Byte), Value(QString::number(1000 + m_lastNumber[s]))});
    }
    unit.commit();
    out << "Sample shop: " << m_customers.size() << " customers, " << jobCount << " jobs, "
        << m_postedByMonth.size() << " postings.\n";
}

} // namespace

namespace {

// Checks a shop file against the sample's rules: 0 when it keeps them all.
int checkSample(const QString &path, QTextStream &out, QTextStream &err)
{
    if (!QFileInfo::exists(path)) {
        err << "tavrel-dbtool: " << path << " does not exist.\n";
        return 1;
    }
    try {
        SharedDatabaseHolder holder;
        Database &db = holder.database();
        db.open(path);
        const QStringList broken = CheckSampleShop(db);
        db.close();
        for (const QString &line : broken)
            err << line << '\n';
        if (!broken.isEmpty())
            return 1;
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.description() << '\n';
        return 1;
    }
    out << "The shop keeps every rule of the sample.\n";
    return 0;
}

} // namespace

int runSampleCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString path;
    int jobs = 500;
    quint32 seed = 2011;
    bool checkOnly = false;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--check"))
            checkOnly = true;
        else if (args[i] == QLatin1String("--jobs") && i + 1 < args.size())
            jobs = args[++i].toInt();
        else if (args[i] == QLatin1String("--seed") && i + 1 < args.size())
            seed = args[++i].toUInt();
        else if (path.isEmpty())
            path = args[i];
        else
            path.clear(), i = int(args.size());
    }
    if (path.isEmpty() || jobs < 0) {
        err << "usage: tavrel-dbtool sample PATH [--jobs N] [--seed S]\n"
               "       tavrel-dbtool sample --check PATH\n";
        return 2;
    }
    if (checkOnly)
        return checkSample(path, out, err);
    if (QFileInfo::exists(path)) {
        err << "tavrel-dbtool: " << path << " exists already; nothing was written.\n";
        return 1;
    }
    // The shop is made under a hidden name beside its place, then copied
    // compacted to another hidden name and only that copy is renamed into
    // place: a sample that fails or is killed never leaves a file at path.
    const QFileInfo target(path);
    const QString mark = QLatin1Char('.') + target.fileName() + QStringLiteral(".sample");
    // What samples of the same file left when their process was killed.
    for (const QString &name : target.dir().entryList({mark + QLatin1Char('*')}, QDir::Files | QDir::Hidden)) {
        bool ok = false;
        const qint64 pid = name.mid(mark.size()).section(QLatin1Char('.'), 0, 0).toLongLong(&ok);
        if (ok && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            QFile::remove(target.dir().filePath(name));
    }
    const QString hidden = target.dir().filePath(mark + QString::number(QCoreApplication::applicationPid()));
    const QString building = hidden + QStringLiteral(".build");
    const QString compacted = hidden + QStringLiteral(".mdb");
    const auto removeHidden = [&] {
        for (const QString &file : {building, compacted}) {
            QFile::remove(file);
            QFile::remove(file + QStringLiteral("-journal"));
        }
    };
    removeHidden();
    try {
        CreateShopDatabase(building);
        {
            // The program's own rules (taxes, totals) read the shared
            // database: the sample is made on it.
            SharedDatabaseHolder holder;
            Database &db = holder.database();
            db.open(building, true);
            // Nobody else ever opens the file being built and it is thrown
            // away unless finished: its journal stays in memory, nothing
            // waits for the disk, and the whole file fits in the page cache.
            db.executeNative(QStringLiteral("PRAGMA journal_mode = MEMORY"));
            db.executeNative(QStringLiteral("PRAGMA synchronous = OFF"));
            db.executeNative(QStringLiteral("PRAGMA cache_size = -1000000"));
            SampleShop(db, seed).build(jobs, out);
            const QStringList broken = CheckSampleShop(db);
            db.close();
            if (!broken.isEmpty()) {
                err << "tavrel-dbtool: the sample shop breaks its own rules; nothing was kept:\n";
                for (const QString &line : broken)
                    err << "  " << line << '\n';
                removeHidden();
                return 1;
            }
        }
        // Rows updated after they were written leave pages part empty; the
        // copy holds every row and index packed, as a compacted file does.
        const platform::RebuildResult copy = platform::RebuildCopy(building, compacted);
        if (!copy.isComplete())
            throw platform::DbException(3049, QStringLiteral("The sample shop could not be compacted."));
        QFile::remove(building);
        if (!QFile::rename(compacted, path))
            throw platform::DbException(3043, QStringLiteral("Disk or network error."));
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.description() << '\n';
        removeHidden();
        return 1;
    }
    return 0;
}
