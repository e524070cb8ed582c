#include "platform/db/jet/JetTranslator.h"

#include <QtCore/QHash>

#include <benchmark/benchmark.h>

using platform::FieldType;
using platform::jet::SchemaCatalog;

namespace {

// The tables a job list reads, as the catalog describes them.
class JobCatalog : public SchemaCatalog
{
public:
    JobCatalog()
    {
        add("Jobs", {{"JobID", FieldType::Long, 4}, {"JobNo", FieldType::Long, 4}, {"CusNo", FieldType::Long, 4},
                     {"ContactID", FieldType::Long, 4}, {"ShiptoNo", FieldType::Long, 4}, {"PostingNo", FieldType::Long, 4},
                     {"Creator", FieldType::Long, 4}, {"Title", FieldType::Text, 80}, {"DateIn", FieldType::Date, 8},
                     {"DateDue", FieldType::Date, 8}, {"DateShipped", FieldType::Date, 8}, {"DatePayDue", FieldType::Date, 8},
                     {"Subtotal", FieldType::Currency, 8}, {"Discount", FieldType::Currency, 8},
                     {"Shipping", FieldType::Currency, 8}, {"Postage", FieldType::Currency, 8}, {"Tax", FieldType::Currency, 8},
                     {"Balance", FieldType::Currency, 8}, {"Status", FieldType::Byte, 1}, {"JobType", FieldType::Integer, 2},
                     {"PO", FieldType::Text, 30}});
        add("Customers", {{"CusNo", FieldType::Long, 4}, {"Name", FieldType::Text, 50}, {"Phone", FieldType::Text, 20}});
        add("Contacts", {{"ContactID", FieldType::Long, 4}, {"First", FieldType::Text, 30}, {"Last", FieldType::Text, 30}});
        add("ShipTo", {{"ShiptoNo", FieldType::Long, 4}, {"Company", FieldType::Text, 50}});
        add("PostingJournal", {{"PostingNo", FieldType::Long, 4}, {"PostingDate", FieldType::Date, 8}});
        add("Employees", {{"EmpNo", FieldType::Long, 4}, {"Name", FieldType::Text, 30}});
    }

    std::optional<QList<Column>> tableColumns(const QString &table) const override
    {
        const auto it = m_tables.constFind(table.toLower());
        if (it == m_tables.constEnd())
            return std::nullopt;
        return it.value();
    }
    std::optional<QString> savedQuery(const QString &) const override { return std::nullopt; }
    quint64 schemaGeneration() const override { return m_generation; }
    void changeSchema() { ++m_generation; }

private:
    void add(const char *name, const QList<Column> &columns) { m_tables.insert(QString::fromLatin1(name).toLower(), columns); }
    QHash<QString, QList<Column>> m_tables;
    quint64 m_generation = 1;
};

const QString &jobListStatement()
{
    static const QString sql = QStringLiteral(
        "SELECT Jobs.JobID, Jobs.JobNo AS [Job No_w_50], "
        "IIf(Customers.CusNo = 31, IIf(Jobs.ShiptoNo = 0, '* ', '* ' + ShipTo.Company), Customers.Name) AS [Customer], "
        "Jobs.Title AS [Title_w_160], Format(Jobs.DateIn,'mm/dd/yy') AS [In], Jobs.DateDue AS [Due], "
        "(Date()-Jobs.DatePayDue) AS [Age/Days}P], [Contacts].[First] & ' ' & [Contacts].[Last] AS [Ordered By], "
        "Employees.Name AS [Prepared By], "
        "([Jobs].[Subtotal]+[Jobs].[Discount]+[Jobs].[Shipping]+[Jobs].[Postage]+[Jobs].[Tax]) AS [Total}Pp], "
        "Jobs.Balance AS [Balance}Pp], Jobs.PO AS [PO_w_60], "
        "CStr(IIF(Jobs.Status=0, 'In Progress', IIF(Jobs.Status=1, 'Proof Out', IIF(Jobs.Status=2, 'Done', 'Shipped')))) AS [Status_w_80], "
        "IIf(Date()-[DateShipped]<31, Jobs.Balance) AS [0-30], PostingJournal.PostingDate AS [Posted] "
        "FROM Employees RIGHT JOIN (ShipTo RIGHT JOIN (Contacts RIGHT JOIN (Customers RIGHT JOIN (PostingJournal RIGHT JOIN Jobs "
        "ON PostingJournal.PostingNo = Jobs.PostingNo) ON Customers.CusNo = Jobs.CusNo) ON Contacts.ContactID = Jobs.ContactID) "
        "ON ShipTo.ShiptoNo = Jobs.ShiptoNo) ON Employees.EmpNo = Jobs.Creator "
        "WHERE (((Jobs.JobType)=0 Or (Jobs.JobType)=3) AND ((Jobs.Status)<=2) AND ((Customers.Name) Like '*a*')) "
        "ORDER BY Jobs.JobNo DESC;");
    return sql;
}

} // namespace

// A first translation: tokenise, parse, resolve, type and emit.
static void BM_JetTranslateJobListCold(benchmark::State &state)
{
    JobCatalog catalog;
    platform::jet::JetTranslator translator(catalog);
    for (auto _ : state) {
        catalog.changeSchema();
        benchmark::DoNotOptimize(translator.translate(jobListStatement()));
    }
}
BENCHMARK(BM_JetTranslateJobListCold);

// Lists translate the same text again on every refresh: a cache hit.
static void BM_JetTranslateJobListCached(benchmark::State &state)
{
    JobCatalog catalog;
    platform::jet::JetTranslator translator(catalog);
    translator.translate(jobListStatement());
    for (auto _ : state)
        benchmark::DoNotOptimize(translator.translate(jobListStatement()));
}
BENCHMARK(BM_JetTranslateJobListCached);

// A list re-sorted and filtered by the user: the same source, cached with its filter.
static void BM_JetTranslateJobListFilteredCached(benchmark::State &state)
{
    JobCatalog catalog;
    platform::jet::JetTranslator translator(catalog);
    const QString filter = QStringLiteral("Jobs.CusNo = 1195 and Jobs.Balance > 0.0001");
    const QString sort = QStringLiteral("Customers.Name, Jobs.DateIn DESC");
    translator.translateWithFilter(jobListStatement(), filter, sort);
    for (auto _ : state)
        benchmark::DoNotOptimize(translator.translateWithFilter(jobListStatement(), filter, sort));
}
BENCHMARK(BM_JetTranslateJobListFilteredCached);

BENCHMARK_MAIN();
