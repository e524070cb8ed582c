#include "CatalogueFixture.h"

#include "catalogue/OrganizeRules.h"
#include "catalogue/ServiceUpdates.h"
#include "platform/PromptWatch.h"

#include <functional>

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
    // The failure is shown once the copy has rolled back: meanwhile another
    // workstation writes with no wait at all.
    int writesWhileShown = 0;
    platform::WatchMessageBoxes([&](const platform::PromptRecord &) {
        QProcess other;
        other.start(QStringLiteral("sqlite3"),
                    {m_path, QStringLiteral("UPDATE ServiceCategories SET CatName = 'Bond' WHERE CatNo = 101;")});
        EXPECT_TRUE(other.waitForFinished(60000));
        EXPECT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();
        ++writesWhileShown;
    });
    prompts().answer(platform::IDOK);
    EXPECT_EQ(DuplicateService(20), 0);
    platform::WatchMessageBoxes(nullptr);
    EXPECT_EQ(writesWhileShown, 1);
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
    // The organiser showed departments 2 to 5; 4 and 5 were deleted with
    // their categories, and carbonless 105.
    QList<OrganisedDepartment> read;
    for (const OrganisedDepartment &d : ReadOrganisation())
        if (d.depNo >= 2 && d.depNo <= 5)
            read << d;
    ASSERT_EQ(read.size(), 4);
    ASSERT_TRUE(SaveOrganisation(tree, read));
    // What was saved is what the next save is weighed against: the tree,
    // then the departments the organiser did not show, in their order.
    EXPECT_EQ(read.mid(0, 3), tree);
    ASSERT_EQ(read.size(), 6);
    EXPECT_EQ(read[3].depNo * 100 + read[4].depNo * 10 + read[5].depNo, 167);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT DepNo, DepName, IconNo, SortNo FROM ServiceDepartments WHERE DepNo IN "
                                    "(2, 3, 8) ORDER BY SortNo")),
              QStringLiteral("3|Printing|4|1\n2|") + quoted
                  + QStringLiteral("|1|2\n8|A name of exactly fifty-five characters, cut to fi|11|3"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CatNo, DepNo, CatName, IconNo, SortNo FROM ServiceCategories WHERE "
                                    "CatNo > 0 ORDER BY SortNo")),
              QStringLiteral("201|3|Offset|52|1\n6|3|Plates|52|2\n101|2|Bond|49|3\n150|2|Cover|49|4\n151|2|")
                  + quoted
                  + QStringLiteral("|49|5\n601|8|A category name longer than th|59|6\n401|5|Cutting|52|401\n404|5|"
                                   "Padding|52|404"));
    // Cutting and Padding hold services: deleting them would list their
    // services nowhere, so they stay, and their department with them.
    EXPECT_EQ(sqlite(QStringLiteral("SELECT DepNo FROM ServiceDepartments WHERE DepNo IN (4, 5)")),
              QStringLiteral("5"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CatNo FROM ServiceCategories WHERE DepNo IN (4, 5) ORDER BY CatNo")),
              QStringLiteral("401\n404"));
}

// The organiser saved over another workstation's save: it opened on the
// tables as they were, the other user then saved, and this user's tree is
// written onto the tables as they are now. Only what this user changed is
// written; a name, colour or department both changed apart is asked about
// by the row and field; numbers taken meanwhile are given again; Cancel
// writes nothing.
TEST_F(ServiceUpdatesTest, OrganisationSavedOverAnotherUsersSaveKeepsBoth)
{
    using Tree = QList<OrganisedDepartment>;
    const auto department = [](Tree &t, qint32 depNo) -> OrganisedDepartment & {
        for (OrganisedDepartment &d : t)
            if (d.depNo == depNo)
                return d;
        ADD_FAILURE() << "no department " << depNo;
        return t[0];
    };
    const auto category = [](Tree &t, qint32 catNo) -> OrganisedCategory & {
        for (OrganisedDepartment &d : t)
            for (OrganisedCategory &c : d.categories)
                if (c.catNo == catNo)
                    return c;
        ADD_FAILURE() << "no category " << catNo;
        return t[0].categories[0];
    };
    const auto take = [](Tree &t, qint32 catNo) {
        for (OrganisedDepartment &d : t)
            for (int k = 0; k < d.categories.size(); ++k)
                if (d.categories[k].catNo == catNo)
                    return d.categories.takeAt(k);
        return OrganisedCategory{};
    };
    const QString allDepartments = QStringLiteral("1:Prep:0 2:Paper:3 3:Printing:2 4:Digital:1 5:Finishing:4 "
                                                  "6:Brokered:5 7:Other:6");
    const QString allCategories = QStringLiteral("101:2:Bond 150:2:Cover 105:2:Carbonless 201:3:Offset 6:3:Plates "
                                                 "301:4:Digital 401:5:Cutting 404:5:Padding");
    const struct
    {
        const char *what;
        const char *other; // the other user's save, after the organiser opened
        std::function<void(Tree &)> mine;
        int answer; // to "Saved by another user"; 0: nothing asked
        QString said; // the line asked or said
        bool saved;
        QString departments; // number:name:picture in order
        QString categories;  // number:department:name in order
    } cases[] = {
        {"a different department renamed", "UPDATE ServiceDepartments SET DepName = 'Paper Stock' WHERE DepNo = 2",
         [&](Tree &t) { department(t, 3).name = QStringLiteral("Press"); }, 0, QString(), true,
         QString(allDepartments).replace(QLatin1String("Paper:"), QLatin1String("Paper Stock:"))
             .replace(QLatin1String("Printing"), QLatin1String("Press")),
         allCategories},
        {"one name both changed, Yes", "UPDATE ServiceDepartments SET DepName = 'Paper Stock' WHERE DepNo = 2",
         [&](Tree &t) { department(t, 2).name = QStringLiteral("Stock"); }, platform::IDYES,
         QStringLiteral("Paper, Name: the other user's \"Paper Stock\", yours \"Stock\""), true,
         QString(allDepartments).replace(QLatin1String("Paper:"), QLatin1String("Stock:")), allCategories},
        {"one name both changed, No", "UPDATE ServiceDepartments SET DepName = 'Paper Stock' WHERE DepNo = 2",
         [&](Tree &t) {
             department(t, 2).name = QStringLiteral("Stock");
             category(t, 101).name = QStringLiteral("Bonds");
         },
         platform::IDNO, QStringLiteral("Paper, Name: the other user's \"Paper Stock\", yours \"Stock\""), true,
         QString(allDepartments).replace(QLatin1String("Paper:"), QLatin1String("Paper Stock:")),
         QString(allCategories).replace(QLatin1String("Bond "), QLatin1String("Bonds "))},
        {"one name both changed, Cancel", "UPDATE ServiceDepartments SET DepName = 'Paper Stock' WHERE DepNo = 2",
         [&](Tree &t) {
             department(t, 2).name = QStringLiteral("Stock");
             category(t, 101).name = QStringLiteral("Bonds");
         },
         platform::IDCANCEL, QStringLiteral("Paper, Name: the other user's \"Paper Stock\", yours \"Stock\""), false,
         QString(allDepartments).replace(QLatin1String("Paper:"), QLatin1String("Paper Stock:")),
         // nothing written: the sort numbers as the shop had them
         QStringLiteral("101:2:Bond 150:2:Cover 105:2:Carbonless 201:3:Offset 301:4:Digital 6:3:Plates "
                        "401:5:Cutting 404:5:Padding")},
        {"one colour both changed, Yes", "UPDATE ServiceDepartments SET IconNo = 7 WHERE DepNo = 3",
         [&](Tree &t) { department(t, 3).colour = 9; }, platform::IDYES,
         QStringLiteral("Printing, Color: the other user's \"7\", yours \"9\""), true,
         QString(allDepartments).replace(QLatin1String("Printing:2"), QLatin1String("Printing:9")), allCategories},
        {"both added a paper category", "INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, SortNo) "
                                        "VALUES (151, 2, 'Gloss', 51, 7)",
         [&](Tree &t) { department(t, 2).categories << OrganisedCategory{151, QStringLiteral("Matte")}; }, 0,
         QStringLiteral("\"Matte\" was added as category 152: another user took 151 meanwhile."), true,
         allDepartments,
         QStringLiteral("101:2:Bond 150:2:Cover 105:2:Carbonless 151:2:Gloss 152:2:Matte 201:3:Offset 6:3:Plates "
                        "301:4:Digital 401:5:Cutting 404:5:Padding")},
        {"both added department 8", "INSERT INTO ServiceDepartments (DepNo, DepName, IconNo, SortNo) VALUES "
                                    "(8, 'Mail', 7, 8)",
         [&](Tree &t) { t << OrganisedDepartment{8, QStringLiteral("Web"), 11, {}}; }, 0,
         QStringLiteral("\"Web\" was added as department 9: another user took 8 meanwhile."), true,
         allDepartments + QStringLiteral(" 8:Mail:7 9:Web:11"), allCategories},
        {"a category renamed here, deleted there", "DELETE FROM ServiceCategories WHERE CatNo = 150",
         [&](Tree &t) { category(t, 150).name = QStringLiteral("Covers"); }, 0,
         QStringLiteral("\"Cover\" was deleted by another user."), true, allDepartments,
         QString(allCategories).remove(QLatin1String("150:2:Cover "))},
        {"a category moved there, the departments ordered here",
         "UPDATE ServiceCategories SET DepNo = 2 WHERE CatNo = 201",
         [&](Tree &t) { t.move(2, 0); }, 0, QString(), true,
         QStringLiteral("3:Printing:2 1:Prep:0 2:Paper:3 4:Digital:1 5:Finishing:4 6:Brokered:5 7:Other:6"),
         QStringLiteral("6:3:Plates 201:2:Offset 101:2:Bond 150:2:Cover 105:2:Carbonless 301:4:Digital "
                        "401:5:Cutting 404:5:Padding")},
        {"one category moved apart, No", "UPDATE ServiceCategories SET DepNo = 2 WHERE CatNo = 201",
         [&](Tree &t) { department(t, 4).categories << take(t, 201); }, platform::IDNO,
         QStringLiteral("Offset, Department: the other user's \"Paper\", yours \"Digital\""), true, allDepartments,
         QStringLiteral("101:2:Bond 150:2:Cover 105:2:Carbonless 201:2:Offset 6:3:Plates 301:4:Digital "
                        "401:5:Cutting 404:5:Padding")},
        {"a department deleted here, filled there", "INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, "
                                                    "SortNo) VALUES (302, 4, 'Wide', 49, 8)",
         [&](Tree &t) { t.removeAt(3); }, 0,
         QStringLiteral("\"Digital\" was not deleted: another user put a category in it."), true, allDepartments,
         QStringLiteral("101:2:Bond 150:2:Cover 105:2:Carbonless 201:3:Offset 6:3:Plates 302:4:Wide "
                        "401:5:Cutting 404:5:Padding")},
    };
    native(QStringLiteral("CREATE TABLE KeptDepartments AS SELECT * FROM ServiceDepartments"));
    native(QStringLiteral("CREATE TABLE KeptCategories AS SELECT * FROM ServiceCategories"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        native(QStringLiteral("DELETE FROM ServiceDepartments"));
        native(QStringLiteral("INSERT INTO ServiceDepartments SELECT * FROM KeptDepartments"));
        native(QStringLiteral("DELETE FROM ServiceCategories"));
        native(QStringLiteral("INSERT INTO ServiceCategories SELECT * FROM KeptCategories"));
        prompts().clear();
        Tree read = ReadOrganisation();
        ASSERT_EQ(read.size(), 7);
        Tree mine = read;
        c.mine(mine);
        native(QString::fromLatin1(c.other));
        if (c.answer)
            prompts().answer(c.answer);
        else if (!c.said.isEmpty())
            prompts().answer(platform::IDOK);
        EXPECT_EQ(SaveOrganisation(mine, read), c.saved);
        const QStringList shown = prompts().texts();
        if (c.said.isEmpty()) {
            EXPECT_TRUE(shown.isEmpty()) << shown.join(QLatin1Char('\n')).toStdString();
        } else {
            ASSERT_EQ(shown.size(), 1);
            EXPECT_TRUE(shown[0].contains(c.said)) << shown[0].toStdString();
        }
        EXPECT_EQ(sqlite(QStringLiteral("SELECT DepNo || ':' || DepName || ':' || IconNo FROM ServiceDepartments "
                                        "WHERE DepNo > 0 ORDER BY SortNo"))
                      .replace(QLatin1Char('\n'), QLatin1Char(' ')),
                  c.departments);
        EXPECT_EQ(sqlite(QStringLiteral("SELECT CatNo || ':' || DepNo || ':' || CatName FROM ServiceCategories ORDER BY "
                                        "SortNo, CatNo"))
                      .replace(QLatin1Char('\n'), QLatin1Char(' ')),
                  c.categories);
    }
}

TEST_F(ServiceUpdatesTest, OrganisationThatFailsLeavesBothTablesAsTheyWere)
{
    const QString departments = dump(QStringLiteral("ServiceDepartments"));
    const QString categories = dump(QStringLiteral("ServiceCategories"));
    failWritesOf(QStringLiteral("ServiceCategories"), QStringLiteral("NEW.CatNo = 150"));
    QList<OrganisedDepartment> tree = {
        {2, QStringLiteral("Paper renamed"), 3, {{101, QStringLiteral("Bond")}, {150, QStringLiteral("Cover")}}},
    };
    QList<OrganisedDepartment> read = ReadOrganisation().mid(1, 1);
    ASSERT_EQ(read.value(0).depNo, 2);
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(SaveOrganisation(tree, read));
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
