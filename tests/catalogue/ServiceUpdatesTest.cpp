#include "CatalogueFixture.h"

#include "catalogue/OrganizeRules.h"
#include "catalogue/ServiceUpdates.h"

namespace {

class ServiceUpdatesTest : public CatalogueTest
{
protected:
    // A trigger that makes every write to the table fail for one key.
    void failWritesOf(const QString &table, const QString &keyCondition, const char *kind = "UPDATE")
    {
        SharedDatabase().executeNative(QStringLiteral("CREATE TRIGGER fail_%1 BEFORE %2 ON %1 WHEN %3 BEGIN "
                                                      "SELECT RAISE(ABORT, 'test failure'); END")
                                           .arg(table, QString::fromLatin1(kind), keyCondition));
    }
};

TEST_F(ServiceUpdatesTest, UpdateCostsRaisesEveryRunCostToTheStep)
{
    EXPECT_EQ(UpdateServicesRunCosts({10, 11}, 100000, 10), 2);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT RunCost1, RunCost2, RunCost3 FROM Services WHERE SerNo = 10")),
              QStringLiteral("1360|550|0"));
    // A number that no longer exists is skipped and not counted.
    EXPECT_EQ(UpdateServicesRunCosts({10, 999}, 100000, 1), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT RunCost1 FROM Services WHERE SerNo = 10")), QStringLiteral("1496"));

    // A rise that would pass what a run cost's column holds is refused by
    // the service's name and the column: that service keeps its costs and
    // is not counted; the others are raised.
    SharedDatabase().executeNative(QStringLiteral("UPDATE Services SET RunCost3 = 1952257862 WHERE SerNo = 11"));
    const QString eleven = sqlite(QStringLiteral("SELECT RunCost1, RunCost2, RunCost3 FROM Services WHERE SerNo = 11"));
    const QString name = sqlite(QStringLiteral("SELECT Name FROM Services WHERE SerNo = 11"));
    QString refusal;
    EXPECT_EQ(UpdateServicesRunCosts({10, 11}, 100000, 1, &refusal), 1);
    EXPECT_EQ(refusal, QStringLiteral("\"%1\": \"RunCost3\" cannot be more than 21,474,836.47, the largest it holds."
                                      "\n\nThe costs of these services are not updated.")
                           .arg(name));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT RunCost1, RunCost2, RunCost3 FROM Services WHERE SerNo = 11")), eleven);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT RunCost1 FROM Services WHERE SerNo = 10")), QStringLiteral("1645"));
}

TEST_F(ServiceUpdatesTest, BulkChangesWriteEveryRowOrNone)
{
    const QString before = dump(QStringLiteral("Services"));
    failWritesOf(QStringLiteral("Services"), QStringLiteral("OLD.SerNo = 12"));
    using Change = std::function<int()>;
    const std::pair<const char *, Change> changes[] = {
        {"costs", [] { return UpdateServicesRunCosts({10, 11, 12}, 100000, 10); }},
        {"status", [] { return SetServicesStatus({10, 11, 12}, 2); }},
        {"multiplier", [] { return SetServicesCostMultiplier({10, 11, 12}, 1.5f); }},
        {"category", [] { return MoveServicesToCategory({10, 11, 12}, 150); }},
        {"sort", [] { return SaveServicesSortOrder({11, 10, 12}) ? 3 : -1; }},
    };
    for (const auto &[name, change] : changes) {
        prompts().answer(platform::IDOK); // the database error box
        EXPECT_EQ(change(), -1) << name;
        EXPECT_EQ(dump(QStringLiteral("Services")), before) << name;
    }
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

TEST_F(ServiceUpdatesTest, StatusMultiplierCategoryAndSortOrderAreWritten)
{
    EXPECT_EQ(SetServicesStatus({10, 11}, 2), 2);
    EXPECT_EQ(SetServicesCostMultiplier({10}, 1.5f), 1);
    EXPECT_EQ(MoveServicesToCategory({11}, 150), 1);
    EXPECT_TRUE(SaveServicesSortOrder({12, 11, 10}));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SerNo, SerStatus, CostOH, CatNo, SortNo FROM Services WHERE SerNo "
                                    "BETWEEN 10 AND 12 ORDER BY SerNo")),
              QStringLiteral("10|2|1.5|101|3\n11|2||150|2\n12|0||101|1"));
}

TEST_F(ServiceUpdatesTest, DuplicateCopiesTheRowPriceTableZeroAndDifficultyRow)
{
    const QString name45 = QStringLiteral("123456789012345678901234567890123456789012345");
    exec(QStringLiteral("UPDATE Services SET Name = '%1', SetTime3 = 777, RunPrice9 = 99 WHERE SerNo = 20").arg(name45));
    exec(QStringLiteral("INSERT INTO ServicePriceTables (SerNo, Opt1, Qty0) VALUES (20, 0, 500)"));
    exec(QStringLiteral("INSERT INTO ServiceDiffTables (SerNo, PapR1C1) VALUES (20, 33)"));

    const qint32 copy = DuplicateService(20);
    EXPECT_EQ(copy, 194); // after the special services 174, 175 and 193
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Name, CatNo, SetTime3, RunPrice9 FROM Services WHERE SerNo = 194")),
              QStringLiteral("1234567890123456789012345678901234567890 - Copy|201|777|99"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SerNo, Opt1, Qty0 FROM ServicePriceTables ORDER BY SerNo")),
              QStringLiteral("20|0|500\n194|0|500"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SerNo, PapR1C1 FROM ServiceDiffTables ORDER BY SerNo")),
              QStringLiteral("20|33\n194|33"));
    // A service without tables copies only its row; a gone one copies nothing.
    EXPECT_EQ(DuplicateService(10), 195);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM ServiceDiffTables")), QStringLiteral("2"));
    EXPECT_EQ(DuplicateService(4242), 0);
}

TEST_F(ServiceUpdatesTest, DuplicateThatFailsLeavesNothingBehind)
{
    exec(QStringLiteral("INSERT INTO ServiceDiffTables (SerNo, PapR1C1) VALUES (20, 33)"));
    failWritesOf(QStringLiteral("ServiceDiffTables"), QStringLiteral("NEW.SerNo <> 20"), "INSERT");
    const QString before = dump(QStringLiteral("Services"));
    prompts().answer(platform::IDOK);
    EXPECT_EQ(DuplicateService(20), 0);
    EXPECT_EQ(dump(QStringLiteral("Services")), before);
}

TEST_F(ServiceUpdatesTest, DropTargetsKeepPaperAndPrintingApart)
{
    struct Case
    {
        qint32 from, to;
        bool allowed;
    };
    const Case cases[] = {
        {101, 150, true}, {201, 301, true}, {101, 201, false}, {201, 401, false},
        {401, 101, false}, {401, 7, true}, {6, 401, false}, {7, 6, true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CanMoveServiceToCategory(c.from, c.to), c.allowed) << c.from << " -> " << c.to;
}

// --- the organiser's save ---------------------------------------------------------------

TEST_F(ServiceUpdatesTest, OrganisationSavesNamesAsTypedAndNumbersSortOrdersAcrossDepartments)
{
    const QString quoted = QStringLiteral("Bob's \"Best\" Paper");
    QList<OrganisedDepartment> tree = {
        {3, QStringLiteral("Printing"), 4, {{201, QStringLiteral("Offset")}, {6, QStringLiteral("Plates")}}},
        {2, quoted, 1, {{101, QStringLiteral("Bond")}, {150, QStringLiteral("Cover")}, {151, quoted}}},
        {8, QStringLiteral("A name of exactly fifty-five characters, cut to fifty."), 11,
         {{601, QStringLiteral("A category name longer than thirty characters")}}},
    };
    const QSet<qint32> knownDeps = {0, 1, 2, 3, 4, 5, 6, 7};
    // The organiser knows every category of the table; a department deleted
    // takes its categories with it.
    QSet<qint32> knownCats;
    QList<qint32> deletedCats = {105};
    for (const QString &row : sqlite(QStringLiteral("SELECT CatNo, DepNo FROM ServiceCategories")).split(QLatin1Char('\n'))) {
        const qint32 catNo = row.section(QLatin1Char('|'), 0, 0).toInt();
        knownCats.insert(catNo);
        if (QList<int>({4, 5}).contains(row.section(QLatin1Char('|'), 1, 1).toInt()))
            deletedCats << catNo;
    }
    ASSERT_TRUE(deletedCats.contains(301));
    ASSERT_TRUE(SaveOrganisation(tree, knownDeps, knownCats, deletedCats, {4, 5}));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT DepNo, DepName, IconNo, SortNo FROM ServiceDepartments WHERE DepNo IN "
                                    "(2, 3, 8) ORDER BY SortNo")),
              QStringLiteral("3|Printing|4|1\n2|") + quoted
                  + QStringLiteral("|1|2\n8|A name of exactly fifty-five characters, cut to fi|11|3"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CatNo, DepNo, CatName, IconNo, SortNo FROM ServiceCategories WHERE "
                                    "CatNo > 0 ORDER BY SortNo")),
              QStringLiteral("201|3|Offset|52|1\n6|3|Plates|52|2\n101|2|Bond|49|3\n150|2|Cover|49|4\n151|2|")
                  + quoted + QStringLiteral("|49|5\n601|8|A category name longer than th|59|6"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM ServiceDepartments WHERE DepNo IN (4, 5)")),
              QStringLiteral("0"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM ServiceCategories WHERE DepNo IN (4, 5)")),
              QStringLiteral("0"));
}

TEST_F(ServiceUpdatesTest, OrganisationThatFailsLeavesBothTablesAsTheyWere)
{
    const QString departments = dump(QStringLiteral("ServiceDepartments"));
    const QString categories = dump(QStringLiteral("ServiceCategories"));
    failWritesOf(QStringLiteral("ServiceCategories"), QStringLiteral("NEW.CatNo = 150"));
    QList<OrganisedDepartment> tree = {
        {2, QStringLiteral("Paper renamed"), 3, {{101, QStringLiteral("Bond")}, {150, QStringLiteral("Cover")}}},
    };
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(SaveOrganisation(tree, {2}, {101, 150}, {}, {}));
    EXPECT_EQ(dump(QStringLiteral("ServiceDepartments")), departments);
    EXPECT_EQ(dump(QStringLiteral("ServiceCategories")), categories);
}

TEST_F(ServiceUpdatesTest, ServicesInADepartmentOrCategoryAreCounted)
{
    EXPECT_EQ(CountServicesIn(101, true), 4);
    EXPECT_EQ(CountServicesIn(2, false), 4);
    EXPECT_EQ(CountServicesIn(105, true), 0);
    EXPECT_EQ(CountServicesIn(7, false), 0);
}

} // namespace
