#include "DataTestBase.h"

#include "app/base/DialogControls.h"
#include "data/JobTypes.h"
#include "data/ListFillers.h"
#include "data/OptionsAndLookups.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialog>
#include <QtWidgets/QListWidget>

namespace {

class LookupsTest : public DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        exec(QStringLiteral("INSERT INTO Options VALUES (30749, 12)"));
        exec(QStringLiteral("INSERT INTO Options VALUES (-4, 77)"));
        exec(QStringLiteral("DELETE FROM Vendors WHERE [No] IN (3, 4)"));
        exec(QStringLiteral("INSERT INTO Vendors VALUES (3, 'Paper Co   ', 1)"));
        exec(QStringLiteral("INSERT INTO Vendors VALUES (4, 'Ink Co', 1)"));
        exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (5, 2, 'Call first')"));
        exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, JobName) VALUES (3, 10, 'Flyers')"));
    }
};

// Records what a tree filler does.
class TreeRecorder : public TreeFillTarget
{
public:
    QStringList lines;
    QList<QStringList> groups;
    void clear() override { groups.clear(); }
    int addGroup(const QString &text, int image, int selectedImage) override
    {
        groups.append(QStringList{text + QStringLiteral(" %1/%2").arg(image).arg(selectedImage)});
        return int(groups.size()) - 1;
    }
    void addItem(int group, const QString &text, qint32 code, int, int) override
    {
        groups[group].append(text + QStringLiteral("=%1").arg(code));
    }
    void sortChildren(int group) override
    {
        QStringList &g = groups[group];
        std::sort(g.begin() + 1, g.end());
    }
    void expandAll() override { lines << QStringLiteral("expanded"); }
};

} // namespace

TEST_F(LookupsTest, OptionsAndSingleValues)
{
    EXPECT_EQ(GetOptionValue(30749, 1), 12);
    EXPECT_EQ(GetOptionValue(30750, 1), 1);
    EXPECT_EQ(GetOptionValue(-4, 1), 1); // a job lock, not an option

    QString text;
    GetCustomerAlertText(text, 5, 2);
    EXPECT_EQ(text, QStringLiteral("Call first"));
    GetCustomerAlertText(text, 5, 3);
    EXPECT_TRUE(text.isEmpty());
    GetVendorName(text, 4);
    EXPECT_EQ(text, QStringLiteral("Ink Co"));

    platform::Value value;
    LookupFirstValue(value, QStringLiteral("SELECT Price FROM Jobs"));
    EXPECT_TRUE(value.isNull());
    EXPECT_EQ(value.type(), platform::FieldType::Currency);

    EXPECT_EQ(GetJobType(scalar(QStringLiteral("SELECT JobID FROM Jobs")).toInt()), 3);
    EXPECT_EQ(GetJobType(9999), 0);

    // Vendor 0 and option 0 need no database at all.
    db().close();
    GetVendorName(text, 0);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(GetOptionValue(0, 5), 5);
    EXPECT_TRUE(prompts().shown().isEmpty());
}

TEST(CodeLists, Statements)
{
    QString sql;
    GetCodeListSql(sql, 602, true);
    EXPECT_EQ(sql, QStringLiteral("SELECT EmpNo, Name FROM Employees WHERE Left(Name, 1) <> '~' and "
                                  "(EmpNo = 0 or Type = 1) ORDER BY Sort, Name"));
    GetCodeListSql(sql, 503, false);
    EXPECT_EQ(sql, QStringLiteral("SELECT [No], Name FROM Terms"));
    GetCodeListSql(sql, 701, false);
    EXPECT_EQ(sql, QStringLiteral("SELECT [No], Name FROM Vendors WHERE ([No] = 0 or Type = 0) ORDER BY [No]"));
    GetCodeListSql(sql, 30723, false);
    EXPECT_EQ(sql, QStringLiteral("SELECT TagID,Name FROM ProductionTags WHERE Type = 1 ORDER BY Sort, Name"));
    GetCodeListSql(sql, 604, true);
    EXPECT_TRUE(sql.isEmpty());
}

TEST(JobTypeTexts, NamesImagesAndHues)
{
    QString name;
    GetJobTypeName(name, 4);
    EXPECT_EQ(name, QStringLiteral("PellOrder"));
    GetJobTypeName(name, 9);
    EXPECT_TRUE(name.isEmpty());
    EXPECT_EQ(GetJobTypeImageAlt(3), 26);
    EXPECT_EQ(GetJobTypeHue(-1), 120);
    EXPECT_EQ(GetCategoryKind(150), 2);
    EXPECT_EQ(GetCategoryKind(201), 0);
    EXPECT_EQ(GetCategoryKind(300), 1);
}

TEST_F(LookupsTest, ListsFilledByControlKind)
{
    QDialog dialog;
    auto *list = new QListWidget(&dialog);
    auto *combo = new QComboBox(&dialog);
    SetDlgCtrlID(list, 1405);
    SetDlgCtrlID(combo, 1410);
    const QString vendors = QStringLiteral("SELECT [No], Name FROM Vendors ORDER BY [No]");
    FillListFromQuery(&dialog, 1405, vendors);
    FillListFromQuery(&dialog, 1410, vendors);
    ASSERT_EQ(list->count(), 2);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Paper Co"));
    EXPECT_EQ(list->item(1)->data(Qt::UserRole).toInt(), 4);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("Paper Co"));
    EXPECT_EQ(combo->currentIndex(), -1);

    QComboBox fields;
    FillFieldList(&fields, nullptr, QStringLiteral("Vendors"));
    ASSERT_EQ(fields.count(), 3);
    EXPECT_EQ(fields.itemText(1), QStringLiteral("Vendors.Name"));
    EXPECT_EQ(fields.itemData(1).toInt(), 10);
    EXPECT_EQ(fields.currentIndex(), 0);
}

TEST_F(LookupsTest, TreeGroups)
{
    exec(QStringLiteral("INSERT INTO Contacts (CusNo, Name, Dept) VALUES (2, 'Zed', 'Customer 2')"));
    exec(QStringLiteral("INSERT INTO Contacts (CusNo, Name, Dept) VALUES (2, 'Amy', 'Customer 2')"));
    exec(QStringLiteral("INSERT INTO Contacts (CusNo, Name, Dept) VALUES (3, 'Bob', 'Customer 3')"));
    const QString sql = QStringLiteral("SELECT Dept, Name, ContactNo FROM Contacts ORDER BY Dept, ContactNo");

    TreeRecorder tree;
    EXPECT_EQ(FillTreeFromQuery(&tree, sql, 7, 0, 8, 9, false, false, false), 3);
    ASSERT_EQ(tree.groups.size(), 2);
    EXPECT_EQ(tree.groups[0], (QStringList{QStringLiteral("Customer 2 7/36"), QStringLiteral("Zed=1"), QStringLiteral("Amy=2")}));
    EXPECT_EQ(tree.groups[1], (QStringList{QStringLiteral("Customer 3 7/36"), QStringLiteral("Bob=3")}));

    EXPECT_EQ(FillTreeFromQuery(&tree, sql, 7, 0, 8, 9, true, true, true), 3);
    ASSERT_EQ(tree.groups.size(), 1);
    EXPECT_EQ(tree.groups[0], (QStringList{QStringLiteral("Customer 2 7/36"), QStringLiteral("Amy=2"),
                                           QStringLiteral("Bob=3"), QStringLiteral("Zed=1")}));
    EXPECT_EQ(tree.lines, QStringList{QStringLiteral("expanded")});
}
