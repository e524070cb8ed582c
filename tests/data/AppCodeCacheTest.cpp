#include "AppObjectFixture.h"

#include "data/CodeLookups.h"

#include <QtGui/QAction>
#include <QtWidgets/QMenu>

namespace {

class AppCodeCache : public AppObjectTest
{
protected:
    void SetUp() override
    {
        AppObjectTest::SetUp();
        for (const char *table : {"ServiceDepartments", "ServiceCategories", "Services", "ProductTypes", "Employees",
                                  "ProductionDepts", "ProductionTags"})
            exec(QStringLiteral("DELETE FROM ") + QLatin1String(table));
        rows("ServiceDepartments", "DepNo, DepName, IconNo, SortNo",
             {"1, 'Prepress', 2, 20", "2, 'Press', 5, 10", "3, 'Bindery', 7, 30"});
        rows("ServiceCategories", "CatNo, DepNo, IconNo, CatName, SortNo",
             {"101, 1, 50, 'Paper', 1", "201, 2, 53, 'Offset', 2", "7, 3, 55, 'Proof', 3"});
        rows("Services", "SerNo, CatNo, SortNo, Name, SerStatus, [Size], VendorNo, Unit",
             {"10, 101, 2, 'Bond', 0, '', 3, 1", "11, 101, 1, 'Cover', 2, '  11 x 17', 0, 2",
              "12, 201, 1, 'Two Color', 1, NULL, 0, 0", "13, 201, 2, 'Four Color', 3, '', 0, 0",
              "14, 0, 1, 'Misc', 0, '', 0, 0", "15, 999, 1, 'Orphan', 0, '', 0, 0"});
        rows("ProductTypes", "[No], Name, Sort, Type, Qty", {"1, 'Booklet', 1, 2, 500"});
    }
    void rows(const char *table, const char *columns, std::initializer_list<const char *> values)
    {
        for (const char *v : values)
            insert(QLatin1String(table), QLatin1String(columns), QLatin1String(v));
    }
    void productionRows()
    {
        rows("Employees", "EmpNo, Name, Type, Sort",
             {"0, 'House', 0, 0", "3, 'Ann', 0, 1", "4, '~Temp', 0, 2", "5, 'Bob', 1, 1", "11, 'Cid', 0, 3"});
        rows("ProductionDepts", "DepID, Name, Sort, IconNo", {"0, 'None', 0, 3", "2, 'Cutting', 2, 4", "1, 'Folding', 1, 1"});
        rows("ProductionTags", "TagID, Name, Color, Sort, Type",
             {"0, 'No Tag', 5, 0, 0", "1, 'Rush', 0, 1, 1", "2, 'Hold', 3, 2, 0", "3, 'VIP', 9, 3, 2"});
    }
    void loadAll()
    {
        app->LoadServiceDepartments();
        app->LoadServiceCategories();
        app->LoadServices(1);
        app->LoadProductTypes();
        app->BuildPopupMenus();
    }
    // "text=id" per item, "-" per separator.
    QStringList items(CZqApp::PopupMenu which)
    {
        QStringList out;
        for (const QAction *a : app->GetPopupMenu(which)->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->text() + QLatin1Char('=') + a->data().toString());
        return out;
    }
};

TEST_F(AppCodeCache, ServicesCategoriesAndDepartments)
{
    loadAll();
    EXPECT_EQ(app->ServiceOrder, QList<qint32>({14, 11, 10, 12, 13, 15}));
    EXPECT_EQ(app->PaperDepNo, 1);
    EXPECT_EQ(app->GetServiceName(11), QStringLiteral("Cover (HIDDEN) \u00B7 11 x 17"));
    EXPECT_EQ(app->GetServiceFullName(12), QStringLiteral("Offset: Two Color"));
    // The department's picture in the category group (0 without a category),
    // the place in the category, status, vendor and unit.
    const QHash<qint32, CListItem> &services = app->codeCache(CZqApp::Services);
    EXPECT_EQ(services.value(10), CListItem(10, QStringLiteral("Bond"), 101, 50, 2, 0, 3, 1));
    EXPECT_EQ(QList<int>({services.value(12).number(2), services.value(14).number(2), services.value(15).number(2)}),
              QList<int>({53, 0, 48}));
    EXPECT_EQ(QList<int>({services.value(11).number(3), services.value(13).number(3), services.value(15).number(3)}),
              QList<int>({1, 2, 1}));
    // Active services: statuses 0 and 1.
    EXPECT_EQ(app->GetCategoryServiceCount(101), 1);
    EXPECT_EQ(app->GetCategoryServiceCount(201), 1);
    EXPECT_EQ(app->GetCategoryDepartmentName(201), QStringLiteral("Press"));
    // The found entry is kept for the caller; a missing code leaves it.
    EXPECT_TRUE(app->IsProductTypeKnown(1));
    EXPECT_FALSE(app->IsProductTypeKnown(9));
    EXPECT_EQ(app->CurrentCodeItem, CListItem(1, QStringLiteral("Booklet"), 500, 2));

    // Reloads: mode 0 only clears the flag; mode 2 also recounts categories;
    // a reload that finds no service keeps the flag.
    rows("Services", "SerNo, CatNo, SortNo, Name, SerStatus", {"16, 201, 3, 'Six Color', 0"});
    app->ServicesChanged = 1;
    app->LoadServices(0);
    EXPECT_EQ(app->ServicesChanged, 0);
    EXPECT_EQ(app->GetServiceName(16), QStringLiteral("?"));
    app->LoadServices(2);
    EXPECT_EQ(app->GetCategoryServiceCount(201), 2);
    exec(QStringLiteral("DELETE FROM Services"));
    app->ServicesChanged = 1;
    app->LoadServices(1);
    EXPECT_EQ(app->ServicesChanged, 1);
    EXPECT_EQ(app->GetServiceName(10), QStringLiteral("?"));
}

TEST_F(AppCodeCache, MissingCodesGiveTheirDefaults)
{
    loadAll();
    QString n1, n2, n3;
    int icon = 0;
    const QList<int> numbers = {app->GetDepartmentIcon(99), app->GetCategoryIcon(99),
                                app->GetCategoryNameAndIcon(99, n1, icon), app->GetCategoryDepartment(99),
                                app->GetCategorySortNo(99), app->GetCategoryServiceCount(99),
                                app->GetServiceCategory(99), app->GetServiceColor(99), app->GetProductionTagColor(99),
                                app->GetTagNameAndIcon(99, n2, icon), app->GetProductionDeptNameAndIcon(99, n3, icon),
                                app->GetEmployeeNameAndIcon(77, n3, icon)};
    EXPECT_EQ(numbers, QList<int>({84, 255, 255, 0, 0, 0, 0, 255, 255, 255, 148, 123}));
    const QStringList names = {app->GetDepartmentName(99),     app->GetCategoryName(99),
                               app->GetCategoryDepartmentName(99), app->GetServiceName(99),
                               app->GetServiceCategoryName(99),    app->GetProductTypeName(99),
                               app->GetEmployeeName(99),           app->GetProductionDeptName(99),
                               app->GetProductionTagName(99),      n1, n2, n3};
    EXPECT_EQ(names, QStringList(12, QStringLiteral("?")));
    EXPECT_EQ(app->GetServiceFullName(99), QString());
    // "Everyone" exists without any employee row.
    EXPECT_EQ(app->GetEmployeeName(100), QStringLiteral("Everyone"));
}

TEST_F(AppCodeCache, PopupMenusCarryTheirCommandIds)
{
    productionRows();
    loadAll();
    EXPECT_EQ(items(CZqApp::JobStatusMenu), QStringList({"In Progress=31102", "On Hold=31103", "Ready to Ship=31104"}));
    // The first department in sort order (Press) is not offered.
    EXPECT_EQ(items(CZqApp::ScheduleStatusMenu),
              QStringList({"Schedule=31203", "Hold=31204", "Wait=31205", "Proof=31206", "-", "In Production=31207",
                           "Prepress=31208", "Bindery=31210", "-", "Done=31220"}));
    EXPECT_EQ(items(CZqApp::OperatorsMenu), QStringList({"House=31602", "Ann=31605", "Cid=31613"}));
    EXPECT_EQ(items(CZqApp::ProductionDeptsMenu), QStringList({"None=31402", "Folding=31403", "Cutting=31404"}));
    EXPECT_EQ(items(CZqApp::TagsAMenu), QStringList({"No Tag=31702", "Rush=31703", "VIP=31705"}));
    EXPECT_EQ(items(CZqApp::TagsBMenu), QStringList({"No Tag=31702", "Hold=31704"}));
    const QStringList inventory = items(CZqApp::InventoryStatusMenu);
    EXPECT_EQ(inventory.size(), 14);
    EXPECT_EQ(inventory.mid(9), QStringList({"9=31811", "-", "To-Order=31812", "On-Order=31813", "In-Stock=31814"}));
    EXPECT_TRUE(items(CZqApp::RibbonMenu).isEmpty());
    const QStringList dates = items(CZqApp::DatesMenu);
    EXPECT_EQ(dates.mid(0, 3), QStringList({"06/12/24 Today=31503", "-", "06/13/24 Thursday=31504"}));
    EXPECT_EQ(dates.mid(8, 2), QStringList({"06/19/24 Wednesday=31510", "-"}));
    EXPECT_EQ(dates.mid(17), QStringList({"06/27/24  or Later=31518", "-", "Done=31599"}));

    EXPECT_EQ(app->codeCache(CZqApp::ProductionDepts).value(2).number(2), 161);
    EXPECT_EQ(QList<int>({app->GetProductionTagColor(0), app->GetProductionTagColor(1), app->GetProductionTagColor(2)}),
              QList<int>({255, 105, 107}));
    // Built once per run.
    rows("Employees", "EmpNo, Name, Type, Sort", {"6, 'Dee', 0, 9"});
    app->BuildPopupMenus();
    EXPECT_EQ(app->GetEmployeeName(6), QStringLiteral("?"));

    // The table classes' lookups answer from the caches.
    exec(QStringLiteral("UPDATE Employees SET Name = 'Annie' WHERE EmpNo = 3"));
    EXPECT_EQ(EmployeeName(3), QStringLiteral("Ann"));
    CachedCode code;
    ASSERT_TRUE(LookupCode(CodeTable::ServiceCategories, 201, code));
    EXPECT_EQ(code.number2, 53);
}

TEST_F(AppCodeCache, StatusPicturesOfCachedCodes)
{
    loadAll();
    QString name;
    app->GetScheduleStatusName(name, 6);
    EXPECT_EQ(name, QStringLiteral("Press"));
    EXPECT_EQ(app->GetScheduleStatusIcon(6), 65);
    EXPECT_EQ(app->GetScheduleStatusIcon(18), 144);
    EXPECT_EQ(app->GetCategoryStateIcon(201, 0), 89);
    EXPECT_EQ(app->GetServiceStatusIcon(1, 201), 77);
    // An item's picture follows the lowest status of its service time.
    rows("Times", "TimeFor, EmpNo, ItemID, Status", {"1, 3, 500, 2", "1, 4, 500, 1", "2, 4, 501, 0"});
    EXPECT_EQ(app->GetItemTimeStatus(501), 255);
    EXPECT_EQ(app->GetItemStatusIcon(201, false, 500), 89);
    EXPECT_EQ(app->GetItemStatusIcon(201, true, 0), 53);
    EXPECT_EQ(app->GetItemStatusIcon(201, true, 500), 77);
}

} // namespace
