#include "CustomersFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeOptCtrl.h"
#include "customers/CCusDlg.h"
#include "customers/CViewCustomers.h"
#include "data/CCusSet.h"
#include "data/SharedDatabase.h"
#include "platform/db/Recordset.h"
#include "views/CDlgOptions.h"
#include "controls/DlgItem.h"
#include "controls/CXTreeCtrl.h"
#include "views/ListExport.h"

#include <QtGui/QMouseEvent>
#include <QtTest/QTest>

#include <algorithm>

namespace {

// A click on a list-manager entry with these keys held, as the tree receives
// it (the program's own state of the keys is left as it was).
void ClickEntry(QTreeWidget *tree, QTreeWidgetItem *entry, Qt::KeyboardModifiers keys)
{
    const QPoint at = tree->visualItemRect(entry).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, QPointF(at), QPointF(tree->viewport()->mapToGlobal(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, keys);
        QCoreApplication::sendEvent(tree->viewport(), &click);
    }
}

} // namespace

#include <QtWidgets/QLineEdit>

#include <QtCore/QItemSelectionModel>

namespace {

class CustomersViewTest : public CustomersTest
{
protected:
    void SetUp() override
    {
        CustomersTest::SetUp();
        for (int no : {40, 41})
            addCustomer(no, QStringLiteral("Customer %1").arg(no));
        exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Type) VALUES (40, 41, 'Ann', "
                            "'Lee', 0)"));
        exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Type) VALUES (41, 41, 'Bo', "
                            "'Ray', 0)"));
        exec(QStringLiteral("INSERT INTO Shipto (ShiptoNo, CusNo, Company, Type) VALUES (40, 41, 'Dock', 0)"));
        exec(QStringLiteral("UPDATE Customers SET BuyerNo = 40, PayerNo = 40 WHERE CusNo = 41"));
        view = std::make_unique<CViewCustomers>();
        view->resize(1100, 700);
        view->OnInitialUpdate();
    }
    void TearDown() override
    {
        view.reset();
        CustomersTest::TearDown();
    }

    // Lists a tree code and selects every row.
    void listAndSelectAll(int code)
    {
        view->SelectTreeCode(code);
        view->list()->SelectAll();
    }

    std::unique_ptr<CViewCustomers> view;
};

} // namespace

TEST_F(CustomersViewTest, ChangeStatusWorksOnTheKindOfTheBranch)
{
    struct Case
    {
        int code;
        const char *noun;
        const char *check; // the rows that must be hidden afterwards
        int changed;
    };
    const Case cases[] = {
        {501, "contacts", "SELECT Count(*) FROM Contacts WHERE Type = 2", 2},
        {601, "addresses", "SELECT Count(*) FROM Shipto WHERE Type = 2", 1},
        // Contacts and addresses never changed a customer's status.
        {501, "contacts", "SELECT Count(*) FROM Customers WHERE CusStatus = 2 AND CusNo IN (40, 41)", 0},
        {201, "customers", "SELECT Count(*) FROM Customers WHERE CusStatus = 2 AND CusNo IN (40, 41)", 2},
    };
    for (const Case &c : cases) {
        listAndSelectAll(c.code);
        const int rows = view->list()->GetItemCount();
        onDialog<CDlgOptions>([&](CDlgOptions &d) {
            EXPECT_EQ(d.entry(0).m_text,
                      QStringLiteral("Change the status of selected %1 to:").arg(QLatin1String(c.noun)));
            d.tree()->SetOptionChecked(3, true);
            return press(d, 1);
        });
        prompts().answer(platform::IDOK);
        view->RunCommand(30130);
        const int expected = c.code == 201 ? rows : c.code == 501 ? 2 : 1;
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Changed status of %1.").arg(expected)) << c.code;
        EXPECT_EQ(cliCount(QString::fromLatin1(c.check)), c.changed) << c.code;
    }
}

TEST_F(CustomersViewTest, DuplicateKeepsFiftyCharactersAndIsStoredBeforeItsWindow)
{
    const QString longName = QString(60, QLatin1Char('N'));
    exec(QStringLiteral("UPDATE Customers SET Name = '%1', City = 'Dover', CusStatus = 2 WHERE CusNo = 40")
             .arg(longName));
    listAndSelectAll(201);
    const int row = view->list()->FindItemByData(40, true);
    ASSERT_GE(row, 0);
    view->list()->SelectItem(row);
    onDialog<CCusDlg>([&](CCusDlg &d) {
        EXPECT_FALSE(d.isNewRecord());
        EXPECT_EQ(cliCount(QStringLiteral("SELECT Count(*) FROM Customers WHERE CusNo = 42")), 1);
        return press(d, 2);
    });
    view->RunCommand(30111);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Name, City, CusStatus FROM Customers WHERE CusNo = 42")),
              QString(50, QLatin1Char('N')) + QStringLiteral(" - Copy|Dover|2"));
}

// A new customer's window closed unsaved takes its row with it; the next New,
// and the one after, open a working window on a fresh row, from the
// customer lists and from the contacts list alike.
TEST_F(CustomersViewTest, NewAfterANewCustomerClosedUnsavedOpensAWorkingWindow)
{
    for (const int code : {201, 501}) {
        listAndSelectAll(code);
        for (int round = 0; round < 2; ++round) {
            prompts().clear();
            qint32 opened = 0;
            onDialog<CCusDlg>([&](CCusDlg &d) {
                opened = d.record().m_CusNo;
                EXPECT_TRUE(d.isNewRecord());
                return press(d, 2);
            });
            view->RunCommand(30100);
            EXPECT_GT(opened, 41) << code << " " << round;
            EXPECT_EQ(cliCount(QStringLiteral("SELECT Count(*) FROM Customers WHERE Name = '< new >'")), 0);
            EXPECT_EQ(prompts().texts(), QStringList()) << code << " " << round;
        }
        // The third New: a name typed is saved.
        prompts().clear();
        QString title;
        const QString name = QStringLiteral("Granite Press %1").arg(code);
        onDialog<CCusDlg>([&](CCusDlg &d) {
            title = d.windowTitle();
            auto *edit = qobject_cast<QLineEdit *>(GetDlgItem(&d, CCusDlg::IDC_NAME));
            EXPECT_NE(edit, nullptr);
            if (edit)
                edit->setText(name);
            return press(d, 30443);
        });
        view->RunCommand(30100);
        EXPECT_NE(title, QStringLiteral("Customer No: 0"));
        {
            platform::Recordset rs(SharedDatabase());
            rs.open(platform::Recordset::Type::Snapshot,
                    QStringLiteral("SELECT Count(*) FROM Customers WHERE Name = ?"), {platform::Value(name)});
            EXPECT_EQ(rs.value(0).toInt(), 1) << code;
        }
        for (const QString &text : prompts().texts())
            EXPECT_FALSE(text.contains(QLatin1String("Cannot save"))) << qPrintable(text);
    }
}

TEST_F(CustomersViewTest, DeleteNeverRemovesTheProgramsCustomersAndHidesCustomersWithJobs)
{
    exec(QStringLiteral("INSERT INTO Jobs (JobID, JobType, JobNo, CusNo) VALUES (1, 3, 1001, 40)"));
    listAndSelectAll(201);
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDNO);
    view->RunCommand(30113);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CusNo, CusStatus FROM Customers ORDER BY CusNo")),
              QStringLiteral("1|0\n10|2\n31|0\n40|2"));
    EXPECT_EQ(cliCount(QStringLiteral("SELECT Count(*) FROM Contacts WHERE CusNo = 41")), 0);
    EXPECT_EQ(cliCount(QStringLiteral("SELECT Count(*) FROM Shipto WHERE CusNo = 41")), 0);
}

TEST_F(CustomersViewTest, DeletingInTheContactsBranchDeletesContactsNotCustomers)
{
    // Contact 40 has the number of customer 40 and is customer 41's default buyer and payer.
    listAndSelectAll(501);
    const int row = view->list()->FindItemByData(40, true);
    ASSERT_GE(row, 0);
    view->list()->clearSelection();
    view->list()->SelectItem(row);
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDOK);
    view->RunCommand(30113);
    EXPECT_EQ(prompts().texts().first(),
              QStringLiteral("Do you want to delete selected (1) contacts?\n\nNote: Any contacts used in Jobs will be "
                             "hidden, not deleted."));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Deleted: 1\nHidden: 0"));
    EXPECT_EQ(cliCount(QStringLiteral("SELECT Count(*) FROM Customers WHERE CusNo = 40")), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT BuyerNo, PayerNo FROM Customers WHERE CusNo = 41")), QStringLiteral("0|0"));
}

TEST_F(CustomersViewTest, TheHiddenCustomersOptionAndTheLabelNoticeFollowTheBranch)
{
    const struct
    {
        int code;
        bool option;
        bool notice;
    } cases[] = {{201, false, true}, {301 + 10, true, false}, {501, true, true}, {601, true, false}};
    for (const auto &c : cases) {
        view->SelectTreeCode(c.code);
        view->RunCommand(30401);
        const int option = view->listBar()->FindItem(30546);
        ASSERT_GE(option, 0);
        EXPECT_EQ(view->listBar()->itemAt(option).state != 5, c.option) << c.code;
        const int notice = view->listBar()->FindItem(30211);
        const bool shown = view->listBar()->itemAt(notice).state != 5;
        EXPECT_EQ(shown, c.notice && view->list()->GetItemCount() > 0) << c.code;
        if (shown)
            EXPECT_EQ(view->listBar()->GetItemText(30211), QStringLiteral("Print Address Labels...")) << c.code;
    }
    view->SelectTreeCode(201);
    view->RunCommand(30401);
    view->list()->SelectAll();
    prompts().answer(platform::IDOK);
    view->RunCommand(30211);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Printing address labels is not yet available in this version of "
                                                   "Tavrel."));
    snapshot(*view, QStringLiteral("customers-view"));
}

// The diagnostic form (every column of the statement's tables, asked for by
// a click on the entry with Ctrl and Shift held) says so in its caption; a
// command over the list's rows then takes the caption's own list, read
// again, and a command over chosen rows asks for them anew in words.
TEST_F(CustomersViewTest, CommandsOverRowsTakeTheCaptionsListAfterItsDiagnosticForm)
{
    view->show();
    view->SelectTreeCode(201);
    const int customers = cliCount(QStringLiteral("SELECT Count(*) FROM Customers"));
    ASSERT_EQ(view->list()->GetItemCount(), customers);
    const QString caption = QStringLiteral("Customers + Prospects / All (any status)");
    const QString statuses = QStringLiteral("SELECT Sum(CusStatus * 10 + CusNo) FROM Customers");
    const int before = cliCount(statuses);
    QList<qint64> exported;
    listExporter() = [&](int, int, int, const QString &, CXListCtrl *list, bool, int) {
        for (int row = 0; row < list->GetItemCount(); ++row)
            exported << list->GetItemData(row);
    };
    const struct
    {
        int command;
        const char *said; // empty: nothing said
    } cases[] = {
        {30130, "The list has been read again as \"Customers + Prospects / All (any status)\" names it.\n"
                "Please select the rows again."},
        {30111, "Please select one customer to copy."},
        {30108, "To send emails, you need to select a contact, customer, or a job"},
        {30103, "The list has been read again as \"Customers + Prospects / All (any status)\" names it.\n"
                "Please select the row again."},
        {30113, "The list has been read again as \"Customers + Prospects / All (any status)\" names it.\n"
                "Please select the rows again."},
        {30123, ""},
    };
    for (const auto &c : cases) {
        ClickEntry(view->tree(), view->tree()->FindItemByData(201), Qt::ControlModifier | Qt::ShiftModifier);
        ASSERT_TRUE(view->listBar()->GetItemText(30673).startsWith(caption + QStringLiteral(" - every column (diagnostic)")))
            << view->listBar()->GetItemText(30673).toStdString();
        view->list()->SelectAll();
        const int said = prompts().texts().size();
        if (*c.said)
            prompts().answer(platform::IDOK);
        view->RunCommand(c.command);
        EXPECT_EQ(prompts().texts().size(), said + (*c.said ? 1 : 0)) << c.command;
        if (*c.said)
            EXPECT_EQ(prompts().lastText(), QString::fromUtf8(c.said)) << c.command;
        EXPECT_EQ(view->listBar()->GetItemText(30673), QStringLiteral("%1 (%2 listed)").arg(caption).arg(customers))
            << c.command;
    }
    // The caption's own list with every row listed and none highlighted:
    // the commands over chosen rows ask for them, none acts on all.
    ASSERT_EQ(view->list()->GetItemCount(), customers);
    ASSERT_EQ(view->list()->GetSelectedCount(), 0);
    const struct
    {
        int command;
        const char *said;
    } noneChosen[] = {
        {30130, "Please select the customers whose status you want to change."},
        {30111, "Please select one customer to copy."},
        {30103, "Please select the row to open."},
    };
    for (const auto &c : noneChosen) {
        prompts().answer(platform::IDOK);
        view->RunCommand(c.command);
        EXPECT_EQ(prompts().lastText(), QString::fromUtf8(c.said)) << c.command;
        EXPECT_EQ(prompts().pendingAnswers(), 0) << c.command;
    }
    listExporter() = nullptr;
    // The rows exported are the customers, each once.
    std::sort(exported.begin(), exported.end());
    EXPECT_EQ(exported.size(), customers);
    EXPECT_EQ(std::adjacent_find(exported.begin(), exported.end()), exported.end());
    EXPECT_EQ(cliCount(statuses), before) << "a status was changed";
}
