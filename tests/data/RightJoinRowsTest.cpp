// The engine runs "a RIGHT JOIN b" as "b LEFT JOIN a" (SQLite plans the left
// join with an index lookup where it scans both tables for the right join).
// Every right-join chain the program reads with must give exactly the rows
// SQLite itself gives for the chain as written (its own RIGHT JOIN, asked
// directly on the same connection), on a sample shop.

#include "SampleShopFile.h"
#include "ShopListFixture.h"

#include "app/base/CompanyInfo.h"
#include "platform/db/Database.h"
#include "platform/db/DatabaseImpl.h"

#include <sqlite3.h>

#include <algorithm>

using namespace platform;

namespace {

struct ChainCase
{
    const char *name;
    const char *columns; // table.field list, each read as a number or text
    const char *from;    // the FROM clause as the program writes it
    const char *where;   // empty for none
};

const ChainCase kChains[] = {
    {"CompanyInfo", "Customers.CusNo, Contacts.ContactNo, Customers.Name",
     "Contacts RIGHT JOIN Customers ON Contacts.ContactNo = Customers.BuyerNo", "Customers.CusNo = 1"},
    {"CustomersAndBuyers", "Customers.CusNo, Contacts.ContactNo",
     "Contacts RIGHT JOIN Customers ON Contacts.ContactNo = Customers.BuyerNo", ""},
    {"JobsView", "Jobs.JobNo, Customers.CusNo, Contacts.ContactNo, ShipTo.ShiptoNo, PostingJournal.PostingNo",
     "ShipTo RIGHT JOIN (Contacts RIGHT JOIN (Customers RIGHT JOIN (PostingJournal RIGHT JOIN Jobs ON "
     "PostingJournal.PostingNo = Jobs.PostingNo) ON Customers.CusNo = Jobs.CusNo) ON Contacts.ContactNo = "
     "Jobs.BuyerNo) ON ShipTo.ShiptoNo = Jobs.ShiptoNo",
     "Jobs.JobType = 0"},
    {"CustomersJobsContacts", "Customers.CusNo, Contacts.ContactNo, Jobs.JobNo",
     "Jobs RIGHT JOIN (Contacts RIGHT JOIN Customers ON Contacts.ContactNo = Customers.BuyerNo) ON "
     "Customers.CusNo = Jobs.CusNo",
     ""},
    {"CustomersPayers", "Customers.CusNo, Contacts.ContactNo, Jobs.JobNo",
     "Jobs RIGHT JOIN (Contacts RIGHT JOIN Customers ON Contacts.ContactNo = Customers.PayerNo) ON "
     "Customers.CusNo = Jobs.CusNo",
     "Customers.CusNo > 1"},
    {"ItemsJobsCustomers", "Items.ItemID, Jobs.JobNo, Customers.CusNo",
     "Customers RIGHT JOIN (Jobs RIGHT JOIN Items ON Items.JobID = Jobs.JobID) ON Customers.CusNo = Jobs.CusNo", ""},
    {"PostedJobTypes", "Jobs.JobNo, JobTypes.JobType, PostingJournal.PostingNo",
     "PostingJournal RIGHT JOIN (Jobs INNER JOIN JobTypes ON Jobs.JobType = JobTypes.JobType) ON "
     "PostingJournal.PostingNo = Jobs.PostingNo",
     ""},
    {"Payments", "Jobs.JobNo, Payments.PayNo, PostingJournal.PostingNo, PostingJournal_1.PostingNo",
     "PostingJournal AS PostingJournal_1 INNER JOIN ((PostingJournal RIGHT JOIN Jobs ON PostingJournal.PostingNo = "
     "Jobs.PostingNo) INNER JOIN (Payments INNER JOIN PayApplied ON Payments.PayNo = PayApplied.PayNo) ON "
     "Jobs.JobNo = PayApplied.JobNo) ON PostingJournal_1.PostingNo = Payments.PostingNo",
     ""},
    {"QuickSales", "QuickSales.QSaleID, QuickSalesItems.QItemID, PostingJournal.PostingNo, Services.SerNo",
     "(PostingJournal INNER JOIN (QuickSalesItems RIGHT JOIN QuickSales ON QuickSalesItems.QSaleID = "
     "QuickSales.QSaleID) ON PostingJournal.PostingNo = QuickSales.PostingNo) LEFT JOIN (Services LEFT JOIN "
     "SalesDepartments ON Services.SaleDept = SalesDepartments.[No]) ON QuickSalesItems.SerNo = Services.SerNo",
     ""},
    {"CreditsReasons", "Credits.CreditID, Properties.ID",
     "Properties RIGHT JOIN Credits ON Properties.ID = Credits.ReasonID", ""},
    {"ServicesDepartments", "Services.SerNo, SalesDepartments.[No], ServiceCategories.CatNo",
     "ServiceCategories RIGHT JOIN (SalesDepartments RIGHT JOIN Services ON SalesDepartments.[No] = "
     "Services.SaleDept) ON ServiceCategories.CatNo = Services.CatNo",
     ""},
    {"ShippingChain", "Jobs.JobNo, Customers.CusNo, Contacts.ContactNo, ShipTo.ShiptoNo, ShipBy.[No]",
     "ShipBy RIGHT JOIN (Customers RIGHT JOIN (Contacts RIGHT JOIN (ShipTo RIGHT JOIN Jobs ON ShipTo.ShiptoNo = "
     "Jobs.ShiptoNo) ON Contacts.ContactNo = Jobs.BuyerNo) ON Customers.CusNo = Jobs.CusNo) ON ShipBy.[No] = "
     "Jobs.ViaDue",
     "Jobs.JobType = 1"},
    {"ItemsContacts", "Items.ItemID, Contacts.ContactNo, Customers.CusNo",
     "Customers INNER JOIN (Contacts RIGHT JOIN (Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) ON "
     "Contacts.ContactNo = Jobs.BuyerNo) ON Customers.CusNo = Jobs.CusNo",
     ""},
};

void PrintTo(const ChainCase &c, std::ostream *os)
{
    *os << c.name;
}

QString statement(const ChainCase &c)
{
    const QStringList columns = QString::fromLatin1(c.columns).split(QStringLiteral(", "));
    QString sql = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ")
                  + QString::fromLatin1(c.from);
    if (*c.where)
        sql += QStringLiteral(" WHERE ") + QString::fromLatin1(c.where);
    return sql;
}

// The rows of a plain SQLite statement, fields joined by "|", Null as
// "<null>"; an error is one row "error: ...".
QStringList directRows(sqlite3 *db, const QString &sql)
{
    QStringList rows;
    sqlite3_stmt *st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &st, nullptr) != SQLITE_OK)
        return {QStringLiteral("error: ") + QString::fromUtf8(sqlite3_errmsg(db))};
    while (sqlite3_step(st) == SQLITE_ROW) {
        QStringList fields;
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            fields << (sqlite3_column_type(st, c) == SQLITE_NULL
                           ? QStringLiteral("<null>")
                           : QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c))));
        rows << fields.join(QLatin1Char('|'));
    }
    sqlite3_finalize(st);
    return rows;
}

QStringList sorted(QStringList rows)
{
    std::sort(rows.begin(), rows.end());
    return rows;
}

class RightJoinRows : public ::testing::TestWithParam<ChainCase>
{
};

} // namespace

TEST_P(RightJoinRows, SameRowsAsSqliteGivesTheChainAsWritten)
{
    const QString path = SampleShopFile();
    ASSERT_FALSE(path.isEmpty()) << "the sample shop could not be made";
    Database db;
    db.open(path);
    const ChainCase &c = GetParam();
    const QString jet = statement(c);
    // The engine's statement has no right join left.
    const QString translated = db.impl()->translate(jet).sql;
    EXPECT_FALSE(translated.contains(QLatin1String("RIGHT JOIN"), Qt::CaseInsensitive)) << translated.toStdString();
    const QStringList ours = sorted(ReadRows(db, jet));
    const QStringList theirs = sorted(directRows(db.handle(), jet));
    EXPECT_GT(theirs.size(), 0);
    EXPECT_EQ(ours.size(), theirs.size());
    EXPECT_EQ(ours.join(QLatin1Char('\n')).toStdString(), theirs.join(QLatin1Char('\n')).toStdString());
}

INSTANTIATE_TEST_SUITE_P(ProgramChains, RightJoinRows, ::testing::ValuesIn(kChains),
                         [](const ::testing::TestParamInfo<ChainCase> &info) { return std::string(info.param.name); });

// The start-up statement itself: one row, the shop's own customer with its
// buyer's telephone, read by an index lookup.
TEST(RightJoinRowsStartUp, CompanyInfoReadsOneRowByItsKey)
{
    const QString path = SampleShopFile();
    ASSERT_FALSE(path.isEmpty());
    Database db;
    db.open(path);
    const QString sql = db.impl()->translate(CompanyInfo::SelectStatement()).sql;
    EXPECT_TRUE(sql.contains(QLatin1String("FROM \"Customers\" LEFT JOIN \"Contacts\""))) << sql.toStdString();
    const QStringList rows = ReadRows(db, CompanyInfo::SelectStatement());
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows, directRows(db.handle(), QStringLiteral(
                                             "SELECT Customers.Name, Customers.Address, Customers.City, "
                                             "Customers.State, Customers.Zip, Contacts.Phone, Contacts.Fax FROM "
                                             "Contacts RIGHT JOIN Customers ON Contacts.ContactNo = Customers.BuyerNo "
                                             "WHERE Customers.CusNo = 1")));
}
