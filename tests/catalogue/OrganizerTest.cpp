#include "CatalogueFixture.h"

#include "catalogue/COrganize.h"
#include "catalogue/CatalogueInstall.h"
#include "controls/CXTreeOptCtrl.h"
#include "views/CDlgData.h"
#include "views/CDlgOptions.h"

#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QTreeWidgetItem>

namespace {

class OrganizerTest : public CatalogueTest
{
protected:
    static QTreeWidgetItem *find(COrganize &d, qint32 data, bool category)
    {
        return category ? d.tree().FindChildByData(quint32(data)) : [&]() -> QTreeWidgetItem * {
            for (int i = 0; i < d.tree().topLevelItemCount(); ++i)
                if (CXTreeCtrl::GetItemData(d.tree().topLevelItem(i)) == quint32(data))
                    return d.tree().topLevelItem(i);
            return nullptr;
        }();
    }
    void answerEntry(const QString &text)
    {
        onDialog<CDlgData>([text](CDlgData &e) {
            e.edit()->setText(text);
            return press(e, 1);
        });
    }
    // The categories that break the organiser's numbering: the sort numbers
    // run 1, 2, 3 ... through the departments in their order, and each
    // category shows its department's picture (numbered from 48). Empty
    // when none does.
    QString misnumberedCategories() const
    {
        return sqlite(QStringLiteral(
            "SELECT c.CatNo FROM ServiceCategories c INNER JOIN ServiceDepartments d ON c.DepNo = d.DepNo "
            "WHERE c.CatNo > 0 AND (c.IconNo <> d.IconNo + 48 OR c.SortNo <> (SELECT Count(*) FROM "
            "ServiceCategories c2 INNER JOIN ServiceDepartments d2 ON c2.DepNo = d2.DepNo WHERE c2.CatNo > 0 AND "
            "(d2.SortNo < d.SortNo OR (d2.SortNo = d.SortNo AND c2.SortNo <= c.SortNo)))) ORDER BY c.CatNo"));
    }
    // Picks the category type whose option text starts with the word.
    void answerType(const QString &word)
    {
        onDialog<CDlgOptions>([word](CDlgOptions &o) {
            for (int i = 0; i < o.GetEntryCount(); ++i)
                if (o.entry(i).m_value != 0 && o.entry(i).m_text.startsWith(word))
                    o.tree()->SetOptionChecked(unsigned(o.entry(i).m_value), true);
            return press(o, 1);
        });
    }
};

TEST_F(OrganizerTest, AddsCategoriesByTypeAndSavesInTreeOrder)
{
    exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, SortNo) VALUES (117, 2, "
                         "'Index', 51, 8)"));
    reloadCaches();
    COrganize organizer(nullptr);
    onDialog<COrganize>([&](COrganize &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Service Departments and Categories"));
        d.tree().setCurrentItem(find(d, 2, false));
        // The carbonless type is not offered: category 105 exists.
        onDialog<CDlgOptions>([](CDlgOptions &o) {
            EXPECT_EQ(o.m_strRibbonTitle, QStringLiteral("New Category"));
            for (int i = 0; i < o.GetEntryCount(); ++i)
                EXPECT_NE(o.entry(i).m_text, QStringLiteral("Carbonless"));
            return press(o, 1); // nothing chosen
        });
        prompts().answer(platform::IDOK);
        answerType(QStringLiteral("Paper"));
        onDialog<CDlgData>([](CDlgData &e) {
            EXPECT_EQ(e.m_strStripText, QStringLiteral("Category No: 151"));
            e.edit()->setText(QStringLiteral("Bob's \"Best\" Cover"));
            return press(e, 1);
        });
        d.SendCommand(COrganize::AddCategoryCmd);
        EXPECT_TRUE(prompts().texts().contains(QStringLiteral("Please select a Category Type.")));
        // Printing moves to the top with its categories.
        d.tree().setCurrentItem(find(d, 3, false));
        d.SendCommand(COrganize::MoveTopCmd);
        EXPECT_EQ(CXTreeCtrl::GetItemData(d.tree().topLevelItem(0)), 3u);
        EXPECT_EQ(d.tree().topLevelItem(0)->childCount(), 2);
        snapshot(d, QStringLiteral("organizer"));
        prompts().answer(platform::IDOK);
        return press(d, COrganize::SaveCloseCmd);
    });
    EXPECT_EQ(organizer.DoModal(), 1);
    EXPECT_TRUE(prompts().texts().contains(QStringLiteral("Your changes will be used after you restart Tavrel.")));
    // Printing first, then Paper with the new category last, each as shown.
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CatNo, DepNo, CatName, SortNo FROM ServiceCategories WHERE DepNo IN (2, 3) "
                                    "ORDER BY SortNo")),
              QStringLiteral("201|3|Offset|1\n6|3|Plates|2\n101|2|Bond|3\n150|2|Cover|4\n105|2|Carbonless|5\n"
                             "117|2|Index|6\n151|2|Bob's \"Best\" Cover|7"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT DepNo FROM ServiceDepartments WHERE DepNo > 0 ORDER BY SortNo")),
              QStringLiteral("3\n1\n2\n4\n5\n6\n7"));
    // The categories of the other departments follow, none lost.
    EXPECT_EQ(misnumberedCategories(), QString());
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CatNo FROM ServiceCategories WHERE DepNo > 3 ORDER BY SortNo")),
              QStringLiteral("301\n401\n404"));
}

// A name is typed to the size of the column that keeps it: a category's
// 30 characters, a department's 50. The tree shows what is stored (a new
// category's prompt took 55 letters, the tree showed 50 and 30 were kept).
TEST_F(OrganizerTest, NamesAreTypedToTheirColumnsAndStoredAsTheTreeShowsThem)
{
    const QString typed = QStringLiteral("A category name longer than thirty characters, as typed");
    QString categoryShown;
    QString departmentShown;
    COrganize organizer(nullptr);
    onDialog<COrganize>([&](COrganize &d) {
        d.tree().setCurrentItem(find(d, 2, false));
        answerType(QStringLiteral("Paper"));
        onDialog<CDlgData>([&](CDlgData &e) {
            e.edit()->setFocus();
            QTest::keyClicks(e.edit(), typed);
            EXPECT_EQ(e.edit()->text(), typed.left(30));
            return press(e, 1);
        });
        d.SendCommand(COrganize::AddCategoryCmd);
        categoryShown = find(d, 151, true)->text(0);
        // Renaming a department takes 50 characters; a category 30.
        d.tree().setCurrentItem(find(d, 2, false));
        onDialog<CDlgData>([&](CDlgData &e) {
            e.edit()->selectAll();
            QTest::keyClicks(e.edit(), QString(60, QLatin1Char('d')));
            EXPECT_EQ(e.edit()->text().size(), 50);
            return press(e, 1);
        });
        d.SendCommand(COrganize::RenameCmd);
        departmentShown = find(d, 2, false)->text(0);
        d.tree().setCurrentItem(find(d, 150, true));
        onDialog<CDlgData>([&](CDlgData &e) {
            e.edit()->selectAll();
            QTest::keyClicks(e.edit(), typed);
            EXPECT_EQ(e.edit()->text().size(), 30);
            return press(e, 1);
        });
        d.SendCommand(COrganize::RenameCmd);
        prompts().answer(platform::IDOK);
        return press(d, COrganize::SaveCloseCmd);
    });
    EXPECT_EQ(organizer.DoModal(), 1);
    EXPECT_EQ(categoryShown, typed.left(30));
    EXPECT_EQ(departmentShown, QString(50, QLatin1Char('d')));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CatName FROM ServiceCategories WHERE CatNo IN (150, 151) ORDER BY CatNo")),
              typed.left(30) + QLatin1Char('\n') + typed.left(30));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT DepName FROM ServiceDepartments WHERE DepNo = 2")), departmentShown);
}

TEST_F(OrganizerTest, TheNamePromptNamesTheTypeWithoutItsRemark)
{
    const struct
    {
        const char *type;
        const char *prompt;
        const char *strip;
    } cases[] = {
        {"Paper", "Name of the new Paper Category:", "Category No: 151"},
        {"Offset", "Name of the new Offset Press or Digital Printer Category:", "Category No: 202"},
        {"Digital", "Name of the new Digital Printer Category:", "Category No: 302"},
    };
    COrganize organizer(nullptr);
    onDialog<COrganize>([&](COrganize &d) {
        d.tree().setCurrentItem(find(d, 2, false));
        for (const auto &c : cases) {
            answerType(QString::fromLatin1(c.type));
            onDialog<CDlgData>([&](CDlgData &e) {
                EXPECT_EQ(e.m_strRibbonTitle, QString::fromLatin1(c.prompt));
                EXPECT_EQ(e.m_strStripText, QString::fromLatin1(c.strip));
                return press(e, 2);
            });
            d.SendCommand(COrganize::AddCategoryCmd);
        }
        return press(d, 2);
    });
    organizer.DoModal();
}

TEST_F(OrganizerTest, TwelveDepartmentsAreTheLimit)
{
    for (int dep = 8; dep <= 12; ++dep)
        exec(QStringLiteral("INSERT INTO ServiceDepartments (DepNo, DepName, IconNo, SortNo) VALUES (%1, 'D%1', 1, %1)")
                 .arg(dep));
    reloadCaches();
    COrganize organizer(nullptr);
    onDialog<COrganize>([&](COrganize &d) {
        EXPECT_EQ(d.freeDepartment(), 0);
        EXPECT_EQ(d.sideRibbon().itemAt(d.sideRibbon().FindItem(COrganize::AddDepartmentCmd)).state,
                  struct_RIB_ITEM::Disabled);
        prompts().answer(platform::IDOK);
        d.SendCommand(COrganize::AddDepartmentCmd);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("You can add up to 12 departments."));
        // Deleting an empty department frees its number for the next one.
        d.tree().setCurrentItem(find(d, 10, false));
        prompts().answer(platform::IDYES);
        d.SendCommand(COrganize::DeleteCmd);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Delete D10 and its children?"));
        EXPECT_EQ(d.freeDepartment(), 10);
        // A department with services stays.
        d.tree().setCurrentItem(find(d, 2, false));
        prompts().answer(platform::IDOK);
        d.SendCommand(COrganize::DeleteCmd);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Sorry, you may not delete Paper, which has 4 Service(s)."));
        answerEntry(QStringLiteral("Mailing"));
        d.SendCommand(COrganize::AddDepartmentCmd);
        EXPECT_EQ(CXTreeCtrl::GetItemData(d.tree().currentItem()), 10u);
        EXPECT_EQ(d.tree().currentItem()->text(0), QStringLiteral("Mailing"));
        prompts().answer(platform::IDOK);
        return press(d, COrganize::SaveCloseCmd);
    });
    EXPECT_EQ(organizer.DoModal(), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT DepName, SortNo FROM ServiceDepartments WHERE DepNo = 10")),
              QStringLiteral("Mailing|12"));
}

TEST_F(OrganizerTest, CancelInTheSaveQuestionReturnsToTheOrganiser)
{
    const QString before = dump(QStringLiteral("ServiceDepartments"));
    COrganize organizer(nullptr);
    onDialog<COrganize>([&](COrganize &d) {
        d.tree().setCurrentItem(find(d, 2, false));
        answerEntry(QStringLiteral("Stock"));
        d.SendCommand(COrganize::RenameCmd);
        EXPECT_TRUE(d.changed());
        prompts().answer(platform::IDCANCEL);
        d.SendCommand(2);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("You have made changes. Do you want to save them?"));
        EXPECT_TRUE(d.isVisible());
        prompts().answer(platform::IDNO);
        return press(d, 2);
    });
    EXPECT_EQ(organizer.DoModal(), 2);
    EXPECT_EQ(dump(QStringLiteral("ServiceDepartments")), before);
}

// A category dragged under another department is a change: Close asks, and
// Yes stores the new place.
TEST_F(OrganizerTest, ADraggedCategoryIsAskedAboutOnClose)
{
    COrganize organizer(nullptr);
    qint32 catNo = 0;
    qint32 toDep = 0;
    onDialog<COrganize>([&](COrganize &d) {
        CXTreeCtrl &tree = d.tree();
        tree.ExpandAll(true);
        QTreeWidgetItem *from = nullptr;
        QTreeWidgetItem *to = nullptr;
        for (int i = 0; i < tree.topLevelItemCount() && !to; ++i) {
            QTreeWidgetItem *dep = tree.topLevelItem(i);
            if (!from && dep->childCount() > 0)
                from = dep->child(0);
            else if (from && dep != from->parent())
                to = dep;
        }
        EXPECT_TRUE(from && to);
        if (!from || !to)
            return press(d, 2);
        catNo = qint32(CXTreeCtrl::GetItemData(from));
        toDep = qint32(CXTreeCtrl::GetItemData(to));
        tree.scrollToItem(from);
        const QPoint start = tree.visualItemRect(from).center();
        QTest::mousePress(tree.viewport(), Qt::LeftButton, {}, start);
        tree.scrollToItem(to);
        const QPoint end = tree.visualItemRect(to).center();
        QMouseEvent move(QEvent::MouseMove, QPointF(end), tree.viewport()->mapToGlobal(QPointF(end)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &move);
        QTest::mouseRelease(tree.viewport(), Qt::LeftButton, {}, end);
        EXPECT_TRUE(d.changed());
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDOK);
        d.SendCommand(2);
        EXPECT_EQ(prompts().texts().value(0), QStringLiteral("You have made changes. Do you want to save them?"));
        return 1;
    });
    organizer.DoModal();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT DepNo FROM ServiceCategories WHERE CatNo = %1").arg(catNo)),
              QString::number(toDep));
}

// Another workstation renamed a department after this one started: the
// organiser shows the name as stored, not as read at start-up, and a
// rename saved there while it is open is kept beside this user's own.
// Cancel on a name both changed leaves the organiser open with the tree
// as typed.
TEST_F(OrganizerTest, ItOpensOnTheTablesAndSavesOntoThemAsTheyAreNow)
{
    exec(QStringLiteral("UPDATE ServiceDepartments SET DepName = 'Paper Stock' WHERE DepNo = 2"));
    COrganize organizer(nullptr);
    onDialog<COrganize>([&](COrganize &d) {
        EXPECT_EQ(find(d, 2, false)->text(0), QStringLiteral("Paper Stock"));
        exec(QStringLiteral("UPDATE ServiceDepartments SET DepName = 'Presses' WHERE DepNo = 3"));
        d.tree().setCurrentItem(find(d, 4, false));
        answerEntry(QStringLiteral("Digital Printing"));
        d.SendCommand(COrganize::RenameCmd);
        d.tree().setCurrentItem(find(d, 3, false));
        answerEntry(QStringLiteral("Press"));
        d.SendCommand(COrganize::RenameCmd);
        prompts().answer(platform::IDCANCEL);
        d.SendCommand(COrganize::SaveCloseCmd);
        EXPECT_EQ(prompts().shown().last().caption, QStringLiteral("Saved by another user"));
        EXPECT_TRUE(prompts().lastText().contains(
            QStringLiteral("Printing, Name: the other user's \"Presses\", yours \"Press\"")));
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(find(d, 3, false)->text(0), QStringLiteral("Press"));
        prompts().answer(platform::IDNO);
        prompts().answer(platform::IDOK); // used after a restart
        d.SendCommand(COrganize::SaveCloseCmd);
        return d.result();
    });
    organizer.DoModal();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT DepName FROM ServiceDepartments WHERE DepNo IN (2, 3, 4) ORDER BY DepNo")),
              QStringLiteral("Paper Stock\nPresses\nDigital Printing"));
}

TEST_F(OrganizerTest, AfterAnUpgradeItSavesUnseen)
{
    // Sort numbers out of order are numbered again and pictures follow the
    // department; nothing is asked.
    exec(QStringLiteral("UPDATE ServiceCategories SET SortNo = 40, IconNo = 0 WHERE CatNo = 101"));
    EXPECT_EQ(misnumberedCategories(), QStringLiteral("6\n101\n105\n150\n301\n401\n404"));
    reloadCaches();
    RunOrganizerAfterUpgrade(*app);
    EXPECT_EQ(prompts().shown().size(), 0);
    EXPECT_EQ(misnumberedCategories(), QString());
    // Bond keeps its place after the other papers: the first three numbers.
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CatNo, SortNo, IconNo FROM ServiceCategories WHERE DepNo = 2 ORDER BY "
                                    "SortNo")),
              QStringLiteral("150|1|51\n105|2|51\n101|3|51"));
}

} // namespace

namespace {

TEST_F(OrganizerTest, AFailedSaveKeepsTheOrganiserOpenAndTheTablesAsTheyWere)
{
    const QString before = dump(QStringLiteral("ServiceCategories"));
    SharedDatabase().executeNative(QStringLiteral("CREATE TRIGGER fail_cat BEFORE UPDATE ON ServiceCategories WHEN "
                                                  "NEW.CatNo = 401 BEGIN SELECT RAISE(ABORT, 'test failure'); END"));
    COrganize organizer(nullptr);
    onDialog<COrganize>([&](COrganize &d) {
        d.tree().setCurrentItem(find(d, 3, false));
        d.SendCommand(COrganize::MoveTopCmd);
        prompts().answer(platform::IDOK); // the database error
        d.SendCommand(COrganize::SaveCloseCmd);
        EXPECT_EQ(d.result(), 0);
        EXPECT_TRUE(d.isVisible());
        prompts().answer(platform::IDNO);
        return press(d, 2);
    });
    EXPECT_EQ(organizer.DoModal(), 2);
    EXPECT_EQ(dump(QStringLiteral("ServiceCategories")), before);
}

} // namespace
