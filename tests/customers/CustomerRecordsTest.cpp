#include "CustomersFixture.h"

#include "customers/CCusDlg.h"
#include "customers/CViewCustomers.h"
#include "customers/CustomerRecords.h"
#include "customers/CustomerWindows.h"
#include "controls/CXListCtrl.h"
#include "controls/DlgItem.h"

#include <QtWidgets/QLineEdit>

namespace {

class CustomerRecordsTest : public CustomersTest
{
protected:
    void SetUp() override
    {
        CustomersTest::SetUp();
        addCustomer(40, QStringLiteral("Acme"));
        for (int no : {1, 2, 3})
            exec(QStringLiteral("INSERT INTO Shipto (ShiptoNo, CusNo, Company, Type) VALUES (%1, 40, 'Dock', 0)")
                     .arg(no));
        exec(QStringLiteral("INSERT INTO Jobs (JobID, JobType, JobNo, CusNo, ShiptoNo) VALUES (1, 0, 7, 40, 3)"));
        exec(QStringLiteral("UPDATE Customers SET ShiptoNo = 2 WHERE CusNo = 40"));
    }
};

} // namespace

TEST_F(CustomerRecordsTest, ADatabaseErrorRollsTheWholeDeleteBackAndIsShown)
{
    const QString before = sqlite(QStringLiteral("SELECT ShiptoNo, Type FROM Shipto ORDER BY ShiptoNo"));
    // The database refuses the last delete of the run.
    SharedDatabase().executeNative(QStringLiteral(
        "CREATE TRIGGER refuse BEFORE DELETE ON Shipto WHEN old.ShiptoNo = 2 BEGIN SELECT RAISE(ABORT, 'refused'); "
        "END"));
    prompts().answer(platform::IDOK);
    prompts().answer(platform::IDOK);
    const DeleteOutcome outcome = DeleteShiptos({3, 1, 2});
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.deleted, 0);
    EXPECT_FALSE(prompts().texts().isEmpty());
    EXPECT_TRUE(prompts().texts().first().startsWith(QStringLiteral("Cannot delete Shipto")))
        << prompts().texts().first().toStdString();
    // Nothing was hidden, deleted or reset.
    EXPECT_EQ(sqlite(QStringLiteral("SELECT ShiptoNo, Type FROM Shipto ORDER BY ShiptoNo")), before);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT ShiptoNo FROM Customers WHERE CusNo = 40")), QStringLiteral("2"));

    SharedDatabase().executeNative(QStringLiteral("DROP TRIGGER refuse"));
    const DeleteOutcome done = DeleteShiptos({3, 1, 2, 0, 99});
    EXPECT_TRUE(done.ok);
    EXPECT_EQ(done.deleted, 2);
    EXPECT_EQ(done.hidden, 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT ShiptoNo FROM Customers WHERE CusNo = 40")), QStringLiteral("0"));
}

TEST_F(CustomerRecordsTest, StatusCountsFollowTheCaller)
{
    exec(QStringLiteral("UPDATE Shipto SET Type = 1 WHERE ShiptoNo = 1"));
    // The lists count real changes only; the view counts every record found.
    EXPECT_EQ(SetRecordStatus(StatusKind::Shiptos, {1, 2, 0, 99}, 1, false), 1);
    EXPECT_EQ(SetRecordStatus(StatusKind::Shiptos, {1, 2, 0, 99}, 1, true), 2);
    EXPECT_EQ(SetRecordStatus(StatusKind::Customers, {40}, 2, false), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CusStatus FROM Customers WHERE CusNo = 40")), QStringLiteral("2"));
}

TEST_F(CustomerRecordsTest, TheProgramsOwnCustomersAreNeverDiscarded)
{
    for (int no : {1, 10, 31})
        EXPECT_FALSE(DiscardNewCustomer(no)) << no;
    EXPECT_EQ(cliCount(QStringLiteral("SELECT Count(*) FROM Customers WHERE CusNo IN (1, 10, 31)")), 3);
    EXPECT_TRUE(DiscardNewCustomer(40));
    EXPECT_EQ(cliCount(QStringLiteral("SELECT Count(*) FROM Shipto")), 0);
}

TEST_F(CustomerRecordsTest, NewInTheWindowSavesItAndOpensAFreshCustomer)
{
    CViewCustomers view;
    view.resize(1000, 640);
    view.OnInitialUpdate();
    int windows = 0;
    onDialog<CCusDlg>([&](CCusDlg &d) {
        ++windows;
        qobject_cast<QLineEdit *>(GetDlgItem(&d, CCusDlg::IDC_NAME))->setText(QStringLiteral("First New"));
        return press(d, 30100);
    });
    onDialog<CCusDlg>([&](CCusDlg &d) {
        ++windows;
        EXPECT_TRUE(d.isNewRecord());
        EXPECT_EQ(d.record().m_CusNo, 42);
        return press(d, 2);
    });
    view.RunCommand(30100);
    QApplication::processEvents(); // the posted "New"
    EXPECT_EQ(windows, 2);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CusNo, Name FROM Customers WHERE CusNo > 40")), QStringLiteral("41|First New"));

    // With a customer 2147483647, the largest number, New says so plainly and
    // opens no window; nothing is stored.
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name) VALUES (2147483647, 'Last')"));
    const QString before = sqlite(QStringLiteral(".dump"));
    prompts().answer(platform::IDOK);
    view.RunCommand(30100);
    QApplication::processEvents();
    EXPECT_EQ(windows, 2);
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("No new number can be given: 2147483647, the largest number there may be, is taken."));
    EXPECT_EQ(sqlite(QStringLiteral(".dump")), before);
}

TEST_F(CustomerRecordsTest, NavigationSavesAndMovesThroughTheViewsList)
{
    addCustomer(41, QStringLiteral("Bolt"));
    CViewCustomers view;
    view.resize(1000, 640);
    view.OnInitialUpdate();
    view.SelectTreeCode(201);
    const int row = view.list()->FindItemByData(40, true);
    ASSERT_GE(row, 0);
    view.list()->SelectItem(row);
    onDialog<CCusDlg>([&](CCusDlg &d) {
        EXPECT_EQ(d.record().m_CusNo, 40);
        qobject_cast<QLineEdit *>(GetDlgItem(&d, CCusDlg::IDC_CITY))->setText(QStringLiteral("Dover"));
        d.SendCommand(CXListCtrl::ID_RECORD_NEXT);
        EXPECT_EQ(d.record().m_CusNo, 41);
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Customer No: 41"));
        return press(d, 2);
    });
    view.RunCommand(30103);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT City FROM Customers WHERE CusNo = 40")), QStringLiteral("Dover"));
}

TEST_F(CustomerRecordsTest, TheApplicationOpensACustomerReadOnlyThroughTheInstalledOpener)
{
    InstallCustomerWindows(*app, nullptr);
    int opened = 0;
    onDialog<CCusDlg>([&](CCusDlg &d) {
        ++opened;
        EXPECT_EQ(d.m_bReadOnly, 1);
        EXPECT_EQ(d.record().m_CusNo, 40);
        return press(d, 2);
    });
    app->OpenCustomer(40);
    app->OpenCustomer(0);   // nothing for no customer
    app->OpenCustomer(999); // nor for one that does not exist
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}
