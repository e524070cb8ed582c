#include "app/base/WaitCursor.h"
#include "data/DefaultRows.h"

#include "data/DaoError.h"
#include "data/ShopSchema.h"
#include "data/TableRows.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Money.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtGui/QCursor>
#include <QtGui/QGuiApplication>

namespace {

using platform::Value;

ShopAddressSource &addressSource()
{
    static ShopAddressSource source;
    return source;
}

// One row to add: its fields in table order with the values a new row gets.
class NewRow
{
public:
    // Every field of the table with the empty value of its type: "" for
    // texts, 0 for numbers and money, the zero date for dates.
    static NewRow cleared(const QString &table)
    {
        NewRow row;
        const ShopSchema::Table *t = ShopSchema::table(table);
        Q_ASSERT(t);
        for (const ShopSchema::Field &f : t->fields) {
            if (f.autoNumber)
                continue;
            switch (f.type) {
            case platform::FieldType::Text:
            case platform::FieldType::Memo:
                row.set(f.name, Value(QString()));
                break;
            case platform::FieldType::Currency:
                row.set(f.name, Value(Money::zero()));
                break;
            case platform::FieldType::Date:
                row.set(f.name, Value(DateTime()));
                break;
            default:
                row.set(f.name, Value(0));
                break;
            }
        }
        return row;
    }

    NewRow &set(const QString &field, const Value &value)
    {
        const int at = m_fields.indexOf(field);
        if (at >= 0) {
            m_values[at] = value;
        } else {
            m_fields << field;
            m_values << value;
        }
        return *this;
    }

    void insertInto(platform::Database &db, const QString &table) const
    {
        InsertTableRow(db, table, m_fields, m_values);
    }

private:
    QStringList m_fields;
    QList<Value> m_values;
};

// The row a new customer starts with: "< new >", other texts empty, numbers
// 0, status, price rounding and tax 1, both dates today.
NewRow newCustomer(int cusNo)
{
    const Value today(DateTime::fromDate(platform::Clock::today()));
    return NewRow::cleared(QStringLiteral("Customers"))
        .set(QStringLiteral("CusNo"), Value(cusNo))
        .set(QStringLiteral("Name"), Value(QStringLiteral("< new >")))
        .set(QStringLiteral("CusStatus"), Value(1))
        .set(QStringLiteral("PriceRound"), Value(1))
        .set(QStringLiteral("Tax"), Value(1))
        .set(QStringLiteral("DateCreated"), today)
        .set(QStringLiteral("DateModified"), today);
}

// The row a new service starts with: numbers, money and texts empty, the
// taxable, commissionable and work-order flags set, in the given category.
NewRow newService(int serNo, int catNo)
{
    return NewRow::cleared(QStringLiteral("Services"))
        .set(QStringLiteral("SerNo"), Value(serNo))
        .set(QStringLiteral("CatNo"), Value(catNo))
        .set(QStringLiteral("OptTax"), Value(1))
        .set(QStringLiteral("OptCom"), Value(1))
        .set(QStringLiteral("OptWO"), Value(1))
        .set(QStringLiteral("OptInv"), Value(0));
}

// Adds the row when no row has the key. A failure is shown; true when the row
// exists afterwards (or was there).
bool addWhenMissing(platform::Database &db, const QString &table, const QString &keyField, int key,
                    const NewRow &row)
{
    try {
        if (HasRowWithKey(db, table, keyField, Value(key)))
            return true;
        row.insertInto(db, table);
        return true;
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save ") + table);
        return false;
    }
}

// A plain row of a code table: the key and the other named values.
NewRow codeRow(const QString &keyField, int key, const QStringList &fields, const QList<Value> &values)
{
    NewRow row;
    row.set(keyField, Value(key));
    for (int i = 0; i < fields.size(); ++i)
        row.set(fields[i], values[i]);
    return row;
}

// The categories of the cutting services and of the padding of carbonless
// sets, in the finishing department. Every list of services joins the
// service's category, so without its row a service is listed nowhere (a new
// shop's inventory was empty). A category is added only while a service is
// filed in it: one the shop emptied and deleted stays deleted.
void addFixedServiceCategories(platform::Database &db)
{
    constexpr int finishing = 5;
    const struct { int catNo; const char *name; } categories[] = {{401, "Cutting"}, {404, "Padding"}};
    for (const auto &c : categories) {
        try {
            if (HasRowWithKey(db, QStringLiteral("ServiceCategories"), QStringLiteral("CatNo"), Value(c.catNo))
                || !HasRowWithKey(db, QStringLiteral("Services"), QStringLiteral("CatNo"), Value(c.catNo)))
                continue;
            // A category shows its department's picture, numbered from 48.
            platform::Recordset department(db);
            department.open(platform::Recordset::Type::Snapshot,
                            QStringLiteral("SELECT IconNo FROM ServiceDepartments WHERE DepNo = ?"),
                            {Value(finishing)});
            const int icon = 48 + (department.isEOF() || department.value(0).isNull() ? 4 : department.value(0).toInt());
            InsertTableRow(db, QStringLiteral("ServiceCategories"),
                           {QStringLiteral("CatNo"), QStringLiteral("DepNo"), QStringLiteral("IconNo"),
                            QStringLiteral("CatName"), QStringLiteral("SortNo")},
                           {Value(c.catNo), Value(finishing), Value(icon), Value(QString::fromLatin1(c.name)),
                            Value(c.catNo)});
        } catch (const platform::DbException &e) {
            ShowDaoError(e, QStringLiteral("Cannot save ServiceCategories"));
        }
    }
}

} // namespace

void SetShopAddressSource(ShopAddressSource source)
{
    addressSource() = std::move(source);
}

bool AddDefaultRows(platform::Database *database)
{
    return AddDefaultRows(database, addressSource() ? addressSource()() : ShopAddressTexts());
}

bool AddDefaultRows(platform::Database *database, const ShopAddressTexts &shop)
{
    Q_ASSERT(database);
    platform::Database &db = *database;
    const WaitCursor wait;
    const QString name = QStringLiteral("Name");

    // The shop itself, the default customer whose settings new customers copy,
    // and the walk-in customer.
    struct CustomerRow { int cusNo; QString name; int status; };
    const CustomerRow customers[] = {
        {1, shop.name, 0},
        {10, QStringLiteral("Default Customer"), 2},
        {31, QStringLiteral("Walk-in Customer ***"), 0},
    };
    for (const CustomerRow &c : customers) {
        NewRow row = newCustomer(c.cusNo);
        row.set(name, Value(c.name))
            .set(QStringLiteral("Address"), Value(shop.address))
            .set(QStringLiteral("City"), Value(shop.city))
            .set(QStringLiteral("State"), Value(shop.state))
            .set(QStringLiteral("Zip"), Value(shop.zip))
            .set(QStringLiteral("Terms"), Value(1))
            .set(QStringLiteral("CusStatus"), Value(c.status));
        if (!addWhenMissing(db, QStringLiteral("Customers"), QStringLiteral("CusNo"), c.cusNo, row))
            return false;
    }

    if (!addWhenMissing(db, QStringLiteral("Employees"), QStringLiteral("EmpNo"), 0,
                        codeRow(QStringLiteral("EmpNo"), 0, {name}, {Value(QStringLiteral("?"))})))
        return false;
    if (!addWhenMissing(db, QStringLiteral("Taxes"), QStringLiteral("No"), 0,
                        codeRow(QStringLiteral("No"), 0, {name}, {Value(QStringLiteral("Exempt"))})))
        return false;

    // Service 0 stands for "no service"; 175 and 174 are the cutting services
    // the layout code adds, 193 the padding of carbonless sets.
    struct ServiceRow { int serNo; int catNo; QString name; QString size; bool named; };
    const ServiceRow services[] = {
        {0, 0, QString(), QString(), false},
        {175, 401, QStringLiteral("To FinSz"), QStringLiteral("Cuts/Sheet"), true},
        {174, 401, QStringLiteral("To RunSz"), QStringLiteral("Cuts/Sheet"), true},
        {193, 404, QStringLiteral("NCR Padding"), QString(), true},
    };
    for (const ServiceRow &s : services) {
        NewRow row = newService(s.serNo, s.catNo);
        if (s.named) {
            row.set(name, Value(s.name));
            if (!s.size.isEmpty())
                row.set(QStringLiteral("Size"), Value(s.size));
        }
        if (!addWhenMissing(db, QStringLiteral("Services"), QStringLiteral("SerNo"), s.serNo, row))
            return false;
    }

    // The code tables: a failure is shown and the next row is tried.
    addWhenMissing(db, QStringLiteral("ServiceCategories"), QStringLiteral("CatNo"), 0,
                   codeRow(QStringLiteral("CatNo"), 0, {QStringLiteral("CatName")}, {Value(QStringLiteral("Item"))}));
    addFixedServiceCategories(db);
    addWhenMissing(db, QStringLiteral("SalesDepartments"), QStringLiteral("No"), 0,
                   codeRow(QStringLiteral("No"), 0, {name, QStringLiteral("Group")},
                           {Value(QStringLiteral("?")), Value(0)}));

    const QStringList jobTypes = {QStringLiteral("Orders"), QStringLiteral("Quotes"),
                                  QStringLiteral("Templates"), QStringLiteral("History"),
                                  QStringLiteral("PellOrders"), QStringLiteral("PellQuotes")};
    for (int n = 0; n < jobTypes.size(); ++n)
        addWhenMissing(db, QStringLiteral("JobTypes"), QStringLiteral("JobType"), n,
                       codeRow(QStringLiteral("JobType"), n, {name}, {Value(jobTypes[n])}));

    const QStringList empTypes = {QStringLiteral("Operators"), QStringLiteral("Service Reps"),
                                  QStringLiteral("Sales Reps")};
    for (int n = 0; n < empTypes.size(); ++n)
        addWhenMissing(db, QStringLiteral("EmpTypes"), QStringLiteral("Type"), n,
                       codeRow(QStringLiteral("Type"), n, {name}, {Value(empTypes[n])}));

    const QStringList payGroups = {QStringLiteral("Quick"), QStringLiteral("Deposit"), QStringLiteral("AR")};
    for (int n = 0; n < payGroups.size(); ++n)
        addWhenMissing(db, QStringLiteral("PayGroups"), QStringLiteral("PayGroup"), n,
                       codeRow(QStringLiteral("PayGroup"), n, {name}, {Value(payGroups[n])}));

    addWhenMissing(db, QStringLiteral("PaymentTypes"), QStringLiteral("No"), 0,
                   codeRow(QStringLiteral("No"), 0, {name}, {Value(QStringLiteral("Cash"))}));
    addWhenMissing(db, QStringLiteral("ProductTypes"), QStringLiteral("No"), 0,
                   codeRow(QStringLiteral("No"), 0, {name}, {Value(QStringLiteral("?"))}));

    // The "none" rows of the other code tables that lists and reports join
    // on: a paper or service without a vendor, a customer without a kind of
    // business or a source still shows.
    addWhenMissing(db, QStringLiteral("Vendors"), QStringLiteral("No"), 0,
                   codeRow(QStringLiteral("No"), 0, {name, QStringLiteral("Type"), QStringLiteral("Sort")},
                           {Value(QString()), Value(0), Value(0)}));
    for (const QString &table : {QStringLiteral("BusinessTypes"), QStringLiteral("CustomerSources")})
        addWhenMissing(db, table, QStringLiteral("No"), 0,
                       codeRow(QStringLiteral("No"), 0, {name, QStringLiteral("Type"), QStringLiteral("Sort")},
                               {Value(QStringLiteral("?")), Value(0), Value(0)}));
    return true;
}
