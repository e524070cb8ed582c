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
        const QString dep = QStringLiteral("DepNo, DepName, IconNo, SortNo");
        insert(QStringLiteral("ServiceDepartments"), dep, QStringLiteral("1, 'Prepress', 2, 20"));
        insert(QStringLiteral("ServiceDepartments"), dep, QStringLiteral("2, 'Press', 5, 10"));
        insert(QStringLiteral("ServiceDepartments"), dep, QStringLiteral("3, 'Bindery', 7, 30"));
        const QString cat = QStringLiteral("CatNo, DepNo, IconNo, CatName, SortNo");
        insert(QStringLiteral("ServiceCategories"), cat, QStringLiteral("101, 1, 50, 'Paper', 1"));
        insert(QStringLiteral("ServiceCategories"), cat, QStringLiteral("201, 2, 53, 'Offset', 2"));
        insert(QStringLiteral("ServiceCategories"), cat, QStringLiteral("7, 3, 55, 'Proof', 3"));
        service("10, 101, 2, 'Bond', 0, '', 3, 1");
        service("11, 101, 1, 'Cover', 2, '  11 x 17', 0, 2");
        service("12, 201, 1, 'Two Color', 1, NULL, 0, 0");
        service("13, 201, 2, 'Four Color', 3, '', 0, 0");
        service("14, 0, 1, 'Misc', 0, '', 0, 0");
        service("15, 999, 1, 'Orphan', 0, '', 0, 0");
        insert(QStringLiteral("ProductTypes"), QStringLiteral("[No], Name, Sort, Type, Qty"),
               QStringLiteral("1, 'Booklet', 1, 2, 500"));
    }
    void service(const char *values)
    {
        insert(QStringLiteral("Services"), QStringLiteral("SerNo, CatNo, SortNo, Name, SerStatus, [Size], VendorNo, Unit"),
               QString::fromLatin1(values));
    }
    void loadAll()
    {
        app->LoadServiceDepartments();
        app->LoadServiceCategories();
        app->LoadServices(1);
        app->LoadProductTypes();
        app->BuildPopupMenus();
    }
    void productionRows()
    {
        const QString emp = QStringLiteral("EmpNo, Name, Type, Sort");
        insert(QStringLiteral("Employees"), emp, QStringLiteral("0, 'House', 0, 0"));
        insert(QStringLiteral("Employees"), emp, QStringLiteral("3, 'Ann', 0, 1"));
        insert(QStringLiteral("Employees"), emp, QStringLiteral("4, '~Temp', 0, 2"));
        insert(QStringLiteral("Employees"), emp, QStringLiteral("5, 'Bob', 1, 1"));
        insert(QStringLiteral("Employees"), emp, QStringLiteral("11, 'Cid', 0, 3"));
        const QString pd = QStringLiteral("DepID, Name, Sort, IconNo");
        insert(QStringLiteral("ProductionDepts"), pd, QStringLiteral("0, 'None', 0, 3"));
        insert(QStringLiteral("ProductionDepts"), pd, QStringLiteral("2, 'Cutting', 2, 4"));
        insert(QStringLiteral("ProductionDepts"), pd, QStringLiteral("1, 'Folding', 1, 1"));
        const QString tag = QStringLiteral("TagID, Name, Color, Sort, Type");
        insert(QStringLiteral("ProductionTags"), tag, QStringLiteral("0, 'No Tag', 5, 0, 0"));
        insert(QStringLiteral("ProductionTags"), tag, QStringLiteral("1, 'Rush', 0, 1, 1"));
        insert(QStringLiteral("ProductionTags"), tag, QStringLiteral("2, 'Hold', 3, 2, 0"));
        insert(QStringLiteral("ProductionTags"), tag, QStringLiteral("3, 'VIP', 9, 3, 2"));
    }
    // "text=id" per item, "-" per separator.
    QStringList items(CZqApp::PopupMenu which)
    {
        QStringList out;
        const QMenu *menu = app->GetPopupMenu(which);
        if (!menu)
            return {QStringLiteral("<no menu>")};
        for (const QAction *a : menu->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->text() + QLatin1Char('=') + a->data().toString());
        return out;
    }
};

TEST_F(AppCodeCache, ServicesCategoriesAndDepartments)
{
    loadAll();
    QList<qint32> deps;
    for (const CListItem &e : app->DepartmentList)
        deps << e.m_value;
    EXPECT_EQ(deps, QList<qint32>({2, 1, 3}));
    EXPECT_EQ(app->ServiceOrder, QList<qint32>({14, 11, 10, 12, 13, 15}));
    EXPECT_EQ(app->PaperDepNo, 1);

    EXPECT_EQ(app->GetServiceName(11), QStringLiteral("Cover (HIDDEN) \u00B7 11 x 17"));
    EXPECT_EQ(app->GetServiceName(10), QStringLiteral("Bond"));
    EXPECT_EQ(app->GetServiceFullName(12), QStringLiteral("Offset: Two Color"));
    EXPECT_EQ(app->GetServiceCategoryName(10), QStringLiteral("Paper"));
    // The department's picture in the category group; 0 without a category.
    EXPECT_EQ(app->GetServiceColor(10), 50);
    EXPECT_EQ(app->GetServiceColor(12), 53);
    EXPECT_EQ(app->GetServiceColor(14), 0);
    EXPECT_EQ(app->GetServiceColor(15), 48);
    // Place in category, status, vendor and unit.
    CListItem e;
    ASSERT_TRUE(app->FindCode(CZqApp::Services, 10, e));
    EXPECT_EQ(e, CListItem(10, QStringLiteral("Bond"), 101, 50, 2, 0, 3, 1));
    EXPECT_EQ(app->codeCache(CZqApp::Services).value(11).number(3), 1);
    EXPECT_EQ(app->codeCache(CZqApp::Services).value(13).number(3), 2);
    EXPECT_EQ(app->codeCache(CZqApp::Services).value(15).number(3), 1);

    EXPECT_EQ(app->GetCategoryServiceCount(101), 1);
    EXPECT_EQ(app->GetCategoryServiceCount(201), 1);
    EXPECT_EQ(app->GetCategoryServiceCount(7), 0);
    EXPECT_EQ(app->GetCategoryDepartmentName(201), QStringLiteral("Press"));
    EXPECT_EQ(app->GetCategorySortNo(7), 3);
    QString name;
    int icon = 0;
    EXPECT_EQ(app->GetCategoryNameAndIcon(7, name, icon), 55);
    EXPECT_EQ(name, QStringLiteral("Proof"));

    // The found entry is kept for the caller; a missing code leaves it.
    EXPECT_EQ(app->GetProductTypeName(1), QStringLiteral("Booklet"));
    EXPECT_EQ(app->CurrentCodeItem.number(1), 500);
    EXPECT_EQ(app->CurrentCodeItem.number(2), 2);
    EXPECT_FALSE(app->IsProductTypeKnown(9));
    EXPECT_EQ(app->CurrentCodeItem.m_text, QStringLiteral("Booklet"));
}

TEST_F(AppCodeCache, MissingCodesGiveTheirDefaults)
{
    loadAll();
    QString name;
    int icon = 0;
    EXPECT_EQ(app->GetDepartmentName(99), QStringLiteral("?"));
    EXPECT_EQ(app->GetDepartmentIcon(99), 84);
    EXPECT_EQ(app->GetCategoryName(99), QStringLiteral("?"));
    EXPECT_EQ(app->GetCategoryIcon(99), 255);
    EXPECT_EQ(app->GetCategoryNameAndIcon(99, name, icon), 255);
    EXPECT_EQ(name, QStringLiteral("?"));
    EXPECT_EQ(app->GetCategoryDepartment(99), 0);
    EXPECT_EQ(app->GetCategoryDepartmentName(99), QStringLiteral("?"));
    EXPECT_EQ(app->GetCategorySortNo(99), 0);
    EXPECT_EQ(app->GetCategoryServiceCount(99), 0);
    EXPECT_EQ(app->GetServiceName(99), QStringLiteral("?"));
    EXPECT_EQ(app->GetServiceFullName(99), QString());
    EXPECT_EQ(app->GetServiceCategory(99), 0);
    EXPECT_EQ(app->GetServiceColor(99), 255);
    EXPECT_EQ(app->GetServiceCategoryName(99), QStringLiteral("?"));
    EXPECT_EQ(app->GetProductTypeName(99), QStringLiteral("?"));
    EXPECT_EQ(app->GetEmployeeName(99), QStringLiteral("?"));
    EXPECT_FALSE(app->IsEmployeeKnown(99));
    EXPECT_EQ(app->GetEmployeeNameAndIcon(77, name, icon), 123);
    EXPECT_EQ(name, QStringLiteral("?"));
    EXPECT_EQ(app->GetProductionDeptName(99), QStringLiteral("?"));
    EXPECT_EQ(app->GetProductionDeptNameAndIcon(99, name, icon), 148);
    EXPECT_EQ(app->GetProductionTagName(99), QStringLiteral("?"));
    EXPECT_EQ(app->GetProductionTagColor(99), 255);
    EXPECT_EQ(app->GetTagNameAndIcon(99, name, icon), 255);
    EXPECT_EQ(name, QStringLiteral("?"));
    // "Everyone" exists without any employee row.
    EXPECT_EQ(app->GetEmployeeName(100), QStringLiteral("Everyone"));
    EXPECT_TRUE(app->IsEmployeeKnown(100));
    EXPECT_EQ(app->CurrentCodeItem.number(1), 0);
}

TEST_F(AppCodeCache, ReloadingServices)
{
    loadAll();
    service("16, 201, 3, 'Six Color', 0, '', 0, 0");
    app->ServicesChanged = 1;
    app->LoadServices(0);
    EXPECT_EQ(app->ServicesChanged, 0);
    EXPECT_EQ(app->GetServiceName(16), QStringLiteral("?"));

    app->ServicesChanged = 1;
    app->LoadServices(2);
    EXPECT_EQ(app->ServicesChanged, 0);
    EXPECT_EQ(app->GetServiceName(16), QStringLiteral("Six Color"));
    EXPECT_EQ(app->GetCategoryServiceCount(201), 2);

    // A reload that finds no service keeps the flag.
    exec(QStringLiteral("DELETE FROM Services"));
    app->ServicesChanged = 1;
    app->LoadServices(1);
    EXPECT_EQ(app->ServicesChanged, 1);
    EXPECT_EQ(app->GetServiceName(10), QStringLiteral("?"));
    EXPECT_TRUE(app->ServiceOrder.isEmpty());
}

TEST_F(AppCodeCache, PopupMenusCarryTheirCommandIds)
{
    productionRows();
    loadAll();
    EXPECT_EQ(items(CZqApp::JobStatusMenu),
              QStringList({"In Progress=31102", "On Hold=31103", "Ready to Ship=31104"}));
    // The first department in sort order (Press) is not offered.
    EXPECT_EQ(items(CZqApp::ScheduleStatusMenu),
              QStringList({"Schedule=31203", "Hold=31204", "Wait=31205", "Proof=31206", "-", "In Production=31207",
                           "Prepress=31208", "Bindery=31210", "-", "Done=31220"}));
    EXPECT_EQ(items(CZqApp::OperatorsMenu), QStringList({"House=31602", "Ann=31605", "Cid=31613"}));
    EXPECT_EQ(items(CZqApp::ProductionDeptsMenu), QStringList({"None=31402", "Folding=31403", "Cutting=31404"}));
    EXPECT_EQ(items(CZqApp::TagsAMenu), QStringList({"No Tag=31702", "Rush=31703", "VIP=31705"}));
    EXPECT_EQ(items(CZqApp::TagsBMenu), QStringList({"No Tag=31702", "Hold=31704"}));
    EXPECT_EQ(items(CZqApp::InventoryStatusMenu),
              QStringList({"=31802", "1=31803", "2=31804", "3=31805", "4=31806", "5=31807", "6=31808", "7=31809",
                           "8=31810", "9=31811", "-", "To-Order=31812", "On-Order=31813", "In-Stock=31814"}));
    EXPECT_TRUE(items(CZqApp::RibbonMenu).isEmpty());

    const QStringList dates = items(CZqApp::DatesMenu);
    ASSERT_EQ(dates.size(), 20);
    EXPECT_EQ(dates[0], QStringLiteral("06/12/24 Today=31503"));
    EXPECT_EQ(dates[1], QStringLiteral("-"));
    EXPECT_EQ(dates[2], QStringLiteral("06/13/24 Thursday=31504"));
    EXPECT_EQ(dates[8], QStringLiteral("06/19/24 Wednesday=31510"));
    EXPECT_EQ(dates[9], QStringLiteral("-"));
    EXPECT_EQ(dates[17], QStringLiteral("06/27/24  or Later=31518"));
    EXPECT_EQ(dates[18], QStringLiteral("-"));
    EXPECT_EQ(dates[19], QStringLiteral("Done=31599"));

    // Production caches: pictures of departments and tags.
    QString name;
    int icon = 0;
    EXPECT_EQ(app->codeCache(CZqApp::ProductionDepts).value(0).number(2), 157);
    EXPECT_EQ(app->codeCache(CZqApp::ProductionDepts).value(2).number(2), 161);
    EXPECT_EQ(app->GetProductionDeptNameAndIcon(1, name, icon), 148);
    EXPECT_EQ(name, QStringLiteral("Folding"));
    EXPECT_EQ(app->GetProductionTagColor(0), 255);
    EXPECT_EQ(app->GetProductionTagColor(1), 105);
    EXPECT_EQ(app->GetProductionTagColor(2), 107);
    EXPECT_EQ(app->GetTagNameAndIcon(3, name, icon), 113);
    EXPECT_EQ(app->GetEmployeeNameAndIcon(11, name, icon), 117);
    EXPECT_EQ(name, QStringLiteral("Cid"));
    EXPECT_TRUE(app->IsEmployeeKnown(5));
    EXPECT_EQ(app->CurrentCodeItem.number(1), 1); // Bob's type

    // Built once: a second call changes nothing.
    insert(QStringLiteral("Employees"), QStringLiteral("EmpNo, Name, Type, Sort"), QStringLiteral("6, 'Dee', 0, 9"));
    app->BuildPopupMenus();
    EXPECT_EQ(items(CZqApp::OperatorsMenu).size(), 3);
    EXPECT_EQ(app->GetEmployeeName(6), QStringLiteral("?"));
}

TEST_F(AppCodeCache, TableClassesLookUpTheCaches)
{
    productionRows();
    loadAll();
    exec(QStringLiteral("UPDATE Employees SET Name = 'Annie' WHERE EmpNo = 3"));
    EXPECT_EQ(EmployeeName(3), QStringLiteral("Ann"));
    EXPECT_EQ(EmployeeName(100), QStringLiteral("Everyone"));
    CachedCode code;
    ASSERT_TRUE(LookupCode(CodeTable::ServiceCategories, 201, code));
    EXPECT_EQ(code.text, QStringLiteral("Offset"));
    EXPECT_EQ(code.number1, 2);
    EXPECT_EQ(code.number2, 53);
    ASSERT_TRUE(LookupCode(CodeTable::Services, 11, code));
    EXPECT_EQ(code.number1, 101);
    EXPECT_FALSE(LookupCode(CodeTable::ServiceDepartments, 42, code));
}

TEST_F(AppCodeCache, StatusPicturesOfCachedCodes)
{
    loadAll();
    QString name;
    app->GetScheduleStatusName(name, 6);
    EXPECT_EQ(name, QStringLiteral("Press"));
    app->GetScheduleStatusName(name, 16);
    EXPECT_EQ(name, QString());
    app->GetScheduleStatusName(name, 18);
    EXPECT_EQ(name, QString());
    EXPECT_EQ(app->GetScheduleStatusIcon(0), 140);
    EXPECT_EQ(app->GetScheduleStatusIcon(4), 144);
    EXPECT_EQ(app->GetScheduleStatusIcon(17), 145);
    EXPECT_EQ(app->GetScheduleStatusIcon(6), 65);
    EXPECT_EQ(app->GetScheduleStatusIcon(18), 144);

    EXPECT_EQ(app->GetCategoryStateIcon(201, 0), 89);
    EXPECT_EQ(app->GetCategoryStateIcon(201, 3), 53);
    EXPECT_EQ(app->GetServiceStatusIcon(1, 201), 77);
    EXPECT_EQ(app->GetServiceStatusIcon(9, 201), 53);

    // An item's picture follows the lowest status of its service time.
    const QString times = QStringLiteral("TimeFor, EmpNo, ItemID, Status");
    insert(QStringLiteral("Times"), times, QStringLiteral("1, 3, 500, 2"));
    insert(QStringLiteral("Times"), times, QStringLiteral("1, 4, 500, 1"));
    insert(QStringLiteral("Times"), times, QStringLiteral("2, 4, 501, 0"));
    EXPECT_EQ(app->GetItemTimeStatus(500), 1);
    EXPECT_EQ(app->GetItemTimeStatus(501), 255);
    EXPECT_EQ(app->GetItemStatusIcon(201, false, 500), 89);
    EXPECT_EQ(app->GetItemStatusIcon(201, true, 0), 53);
    EXPECT_EQ(app->GetItemStatusIcon(201, true, 500), 77);
    EXPECT_EQ(app->GetItemStatusIcon(201, true, 501), 53);
}

} // namespace
