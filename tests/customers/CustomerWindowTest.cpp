#include "CustomersFixture.h"

#include "controls/DlgItem.h"
#include "controls/CXListCtrl.h"
#include "customers/CCusDlg.h"
#include "customers/CContactList.h"
#include "customers/CustomerHooks.h"
#include "data/AppDataServices.h"
#include "data/CCreditSet.h"
#include "data/CCusSet.h"
#include "data/SharedDatabase.h"
#include "platform/Settings.h"
#include "views/CNoteDlg.h"

#include <QtCore/QCoreApplication>
#include <QtTest/QTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>

namespace {

void setText(QWidget *dialog, unsigned id, const QString &text)
{
    auto *edit = qobject_cast<QLineEdit *>(GetDlgItem(dialog, id));
    ASSERT_NE(edit, nullptr);
    edit->setText(text);
}

QComboBox *comboOf(QWidget *dialog, unsigned id)
{
    return qobject_cast<QComboBox *>(GetDlgItem(dialog, id));
}

class CustomerWindowTest : public CustomersTest
{
protected:
    // Runs the window on the customer (editable unless read-only).
    void runOn(int cusNo, bool readOnly, std::function<int(CCusDlg &)> handler)
    {
        CCusSet set;
        ASSERT_TRUE(set.FindCustomer(cusNo, !readOnly));
        CCusDlg dlg(set, nullptr, nullptr);
        dlg.m_bReadOnly = readOnly ? 1 : 0;
        onDialog<CCusDlg>(handler);
        dlg.DoModal();
        set.Close();
    }
};

} // namespace

TEST_F(CustomerWindowTest, NewCustomerTakesTheDefaultCustomersCodesAndIsRemovedWhenNeverSaved)
{
    exec(QStringLiteral("UPDATE Customers SET Name = 'Default Shop', Address = '1 Main St', City = 'Springfield', "
                        "State = 'IL', Zip = '62701', Terms = 3, Discount = 5, PriceLevel = 2, CusStatus = 2, "
                        "CreditLimit = 250 WHERE CusNo = 10"));
    CCusSet set;
    ASSERT_TRUE(set.SafeAddNew());
    CCusDlg dlg(set, nullptr, nullptr);
    onDialog<CCusDlg>([this](CCusDlg &d) {
        // Stored at once, numbered after the program's own customers.
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Customer No: 32"));
        EXPECT_EQ(sqlite(QStringLiteral("SELECT CusNo, Name, Address, City, State, Zip, Terms, Discount, PriceLevel, "
                                     "CusStatus, CreditLimit FROM Customers WHERE CusNo = 32")),
                  QStringLiteral("32|< new >||Springfield|IL|62701|3|5|2|0|250"));
        EXPECT_TRUE(d.isNewRecord());
        // Noted as held by this workstation, for a start after a crash.
        EXPECT_EQ(platform::Settings::readString(QStringLiteral("Settings"), QStringLiteral("NewCustomers")),
                  QStringLiteral("%1 32 %2").arg(QCoreApplication::applicationPid()).arg(SharedDatabase().name()));
        snapshot(d, QStringLiteral("customer-new"));

        // "< new >" is refused, and so is an empty name.
        prompts().answer(platform::IDOK);
        d.SendCommand(30213);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Please enter the customer's name."));
        setText(&d, CCusDlg::IDC_NAME, QString());
        prompts().answer(platform::IDOK);
        d.SendCommand(30443);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Please enter the customer's name."));
        setText(&d, CCusDlg::IDC_NAME, QStringLiteral("< new >"));

        // Rows hung on the customer while its window is open.
        exec(QStringLiteral("INSERT INTO Shipto (CusNo, Company) VALUES (32, 'Dock')"));
        exec(QStringLiteral("INSERT INTO Contacts (CusNo, First) VALUES (32, 'Ann')"));
        exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (32, 1, 'x')"));
        return press(d, 2);
    });
    dlg.DoModal();
    EXPECT_EQ(set.m_CusNo, 0);
    for (const char *table : {"Customers", "Shipto", "Contacts", "CustomerAlerts"})
        EXPECT_EQ(cliCount(QStringLiteral("SELECT Count(*) FROM %1 WHERE CusNo = 32").arg(QLatin1String(table))), 0)
            << table;
    EXPECT_EQ(cliCount(QStringLiteral("SELECT Count(*) FROM Customers WHERE Name = '< new >'")), 0);
    EXPECT_EQ(platform::Settings::readString(QStringLiteral("Settings"), QStringLiteral("NewCustomers")), QString());
}

TEST_F(CustomerWindowTest, ANamedNewCustomerIsKeptAndNumbersGoOnFromTheHighest)
{
    addCustomer(57, QStringLiteral("Highest"));
    CCusSet set;
    ASSERT_TRUE(set.SafeAddNew());
    CCusDlg dlg(set, nullptr, nullptr);
    onDialog<CCusDlg>([](CCusDlg &d) {
        EXPECT_EQ(d.record().m_CusNo, 58);
        // The placeholder name has the focus, selected: what is typed replaces it.
        auto *name = qobject_cast<QLineEdit *>(GetDlgItem(&d, CCusDlg::IDC_NAME));
        EXPECT_EQ(name->selectedText(), QStringLiteral("< new >"));
        EXPECT_EQ(d.focusWidget(), name);
        QTest::keyClicks(name, QStringLiteral("Granite Press"));
        return press(d, 30443); // Save & Close asks nothing more
    });
    dlg.DoModal();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Name, CusStatus FROM Customers WHERE CusNo = 58")),
              QStringLiteral("Granite Press|0"));
    EXPECT_EQ(platform::Settings::readString(QStringLiteral("Settings"), QStringLiteral("NewCustomers")), QString());
    EXPECT_EQ(prompts().shown().size(), 2); // the window and the save's beep
}

TEST_F(CustomerWindowTest, DuplicateNameIsAskedOnlyForAChangedNameAndQuotesAreSafe)
{
    const QString quoted = QStringLiteral("O'Neil \"Big\" Print");
    addCustomer(40, quoted);
    addCustomer(41, QStringLiteral("Acme"));
    addCustomer(42, QStringLiteral("Acme"));

    runOn(42, false, [&](CCusDlg &d) {
        // The name as loaded is a duplicate already: saving other fields asks nothing.
        setText(&d, CCusDlg::IDC_CITY, QStringLiteral("Dover"));
        prompts().clear();
        d.SendCommand(30213);
        EXPECT_TRUE(prompts().texts().filter(QStringLiteral("already exists")).isEmpty());
        EXPECT_EQ(sqlite(QStringLiteral("SELECT City FROM Customers WHERE CusNo = 42")), QStringLiteral("Dover"));

        // A changed name that another customer has: No keeps it unsaved.
        setText(&d, CCusDlg::IDC_NAME, quoted);
        prompts().answer(platform::IDNO);
        d.SendCommand(30213);
        EXPECT_EQ(prompts().lastText(), quoted + QStringLiteral("\n\nThis name already exists. Do you still want "
                                                                "to save it?"));
        EXPECT_EQ(prompts().shown().last().flags,
                  unsigned(platform::MB_YESNO | platform::MB_ICONSTOP | platform::MB_DEFBUTTON2));
        EXPECT_EQ(sqlite(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = 42")), QStringLiteral("Acme"));

        // Yes saves the duplicate, quotes and all.
        prompts().answer(platform::IDYES);
        d.SendCommand(30213);
        EXPECT_EQ(sqlite(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = 42")), quoted);
        return press(d, 2);
    });
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CusNo FROM Customers WHERE Name LIKE 'O''Neil%' ORDER BY CusNo")),
              QStringLiteral("40\n42"));
}

TEST_F(CustomerWindowTest, AlertsAreWrittenAtOnceAndAnEmptiedAlertLosesItsRow)
{
    addCustomer(40, QStringLiteral("Acme"));
    exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (40, 2, 'Call first')"));
    runOn(40, false, [&](CCusDlg &d) {
        EXPECT_EQ(d.alertsRibbon().GetItemTip(1312), QStringLiteral("Call first"));
        onDialog<CNoteDlg>([](CNoteDlg &note) {
            EXPECT_EQ(note.edit()->toPlainText(), QStringLiteral("Call first"));
            note.edit()->setPlainText(QString());
            return press(note, 1);
        });
        d.SendCommand(1312);
        EXPECT_EQ(cliCount(QStringLiteral("SELECT Count(*) FROM CustomerAlerts WHERE CusNo = 40")), 0);
        onDialog<CNoteDlg>([](CNoteDlg &note) {
            note.edit()->setPlainText(QStringLiteral("Needs a proof"));
            return press(note, 1);
        });
        d.SendCommand(1311);
        EXPECT_EQ(d.alertsRibbon().GetItemTip(1311), QStringLiteral("Needs a proof"));
        return press(d, 2); // closed without saving the customer: the alert stays
    });
    EXPECT_EQ(sqlite(QStringLiteral("SELECT AlertType, AlertText FROM CustomerAlerts WHERE CusNo = 40")),
              QStringLiteral("1|Needs a proof"));
}

// An alert is written over the alert as it is now: another workstation's
// save of it while this one's note was open is asked about by the alert's
// name, and Cancel shows the note again with what was typed.
TEST_F(CustomerWindowTest, AnAlertAnotherWorkstationSavedMeanwhileIsAskedAboutByItsName)
{
    const QString question = QStringLiteral(
        "Another user has saved this record since you opened it, and changed the same field:\n\n%1\n\nSave what "
        "you typed over it?\n\nYes saves yours, No keeps the other user's; your other changes are saved either "
        "way. Cancel saves nothing now.");
    struct Case
    {
        const char *what;
        const char *otherSql;  // the other workstation's save while the note is open
        QList<int> answers;    // one per OK of the note
        const char *stored;    // AlertType|AlertText afterwards
        const char *asked;     // the question's line; nullptr: none
    };
    const QList<Case> cases = {
        {"the other changed another alert: both kept",
         "INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (40, 1, 'Rush')", {},
         "1|Rush\n2|Call Tom first", nullptr},
        {"the other saved the same text: nothing asked", "UPDATE CustomerAlerts SET AlertText = 'Call Tom first' WHERE CusNo = 40",
         {}, "2|Call Tom first", nullptr},
        {"both changed it, Yes", "UPDATE CustomerAlerts SET AlertText = 'Call Ann' WHERE CusNo = 40", {platform::IDYES},
         "2|Call Tom first", "Work Order Note: the other user's \"Call Ann\", yours \"Call Tom first\""},
        {"both changed it, No", "UPDATE CustomerAlerts SET AlertText = 'Call Ann' WHERE CusNo = 40", {platform::IDNO},
         "2|Call Ann", "Work Order Note: the other user's \"Call Ann\", yours \"Call Tom first\""},
        {"both changed it, Cancel, then Yes", "UPDATE CustomerAlerts SET AlertText = 'Call Ann' WHERE CusNo = 40",
         {platform::IDCANCEL, platform::IDYES}, "2|Call Tom first",
         "Work Order Note: the other user's \"Call Ann\", yours \"Call Tom first\""},
        {"the other emptied it, No", "DELETE FROM CustomerAlerts WHERE CusNo = 40", {platform::IDNO}, "",
         "Work Order Note: the other user's \"\", yours \"Call Tom first\""},
    };
    addCustomer(40, QStringLiteral("Acme"));
    platform::Database other;
    other.open(m_path);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("DELETE FROM CustomerAlerts WHERE CusNo = 40"));
        exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (40, 2, 'Call first')"));
        prompts().clear();
        for (int answer : c.answers)
            prompts().answer(answer);
        runOn(40, false, [&](CCusDlg &d) {
            int shown = 0;
            const std::function<int(CNoteDlg &)> type = [&](CNoteDlg &note) {
                if (++shown == 1) {
                    EXPECT_EQ(note.edit()->toPlainText(), QStringLiteral("Call first"));
                    other.execute(QString::fromLatin1(c.otherSql));
                    note.edit()->setPlainText(QStringLiteral("Call Tom first"));
                } else {
                    // Shown again after Cancel, with the typing kept.
                    EXPECT_EQ(note.edit()->toPlainText(), QStringLiteral("Call Tom first"));
                }
                if (shown < c.answers.size())
                    onDialog<CNoteDlg>(type);
                return press(note, 1);
            };
            onDialog<CNoteDlg>(type);
            d.SendCommand(1312);
            EXPECT_EQ(shown, std::max(1, int(c.answers.size())));
            return press(d, 2);
        });
        EXPECT_EQ(sqlite(QStringLiteral("SELECT AlertType, AlertText FROM CustomerAlerts WHERE CusNo = 40 ORDER BY "
                                        "AlertType")),
                  QString::fromLatin1(c.stored));
        QStringList expected;
        for (int i = 0; i < c.answers.size(); ++i)
            expected << question.arg(QString::fromLatin1(c.asked));
        EXPECT_EQ(prompts().texts(), expected);
    }
}

TEST_F(CustomerWindowTest, AReadOnlyWindowWritesNothing)
{
    addCustomer(40, QStringLiteral("Acme"));
    exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (40, 3, 'Net 30')"));
    const QString before = sqlite(QStringLiteral(".dump"));
    runOn(40, true, [&](CCusDlg &d) {
        snapshot(d, QStringLiteral("customer-readonly"));
        EXPECT_GE(d.commandsRibbon().FindItem(30103), 0);
        EXPECT_LT(d.commandsRibbon().FindItem(30100), 0);
        setText(&d, CCusDlg::IDC_NAME, QStringLiteral("Changed"));
        d.SendCommand(30526);
        d.SendCommand(30408);
        d.SendCommand(30411);
        onDialog<CNoteDlg>([](CNoteDlg &note) {
            note.edit()->setPlainText(QString());
            return press(note, 1);
        });
        d.SendCommand(1313);
        onDialog<CNoteDlg>([](CNoteDlg &note) {
            note.edit()->setPlainText(QStringLiteral("a note"));
            return press(note, 1);
        });
        d.SendCommand(30263);
        d.SendCommand(30213);
        return press(d, 2);
    });
    EXPECT_EQ(sqlite(QStringLiteral(".dump")), before);

    // The program's own customers offer no "Edit".
    runOn(31, true, [](CCusDlg &d) {
        EXPECT_LT(d.commandsRibbon().FindItem(30103), 0);
        d.SendCommand(30103);
        EXPECT_EQ(d.m_bReadOnly, 1);
        return press(d, 2);
    });
}

TEST_F(CustomerWindowTest, EditLeavesReadOnlyModeAndEnterSavesBeforeClosing)
{
    addCustomer(40, QStringLiteral("Acme"));
    runOn(40, true, [&](CCusDlg &d) {
        d.SendCommand(30103);
        EXPECT_EQ(d.m_bReadOnly, 0);
        setText(&d, CCusDlg::IDC_NAME, QStringLiteral("Acme Printing"));
        // OK (Enter reaching the dialog) never ends the window unsaved.
        return press(d, 1);
    });
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = 40")), QStringLiteral("Acme Printing"));
}

TEST_F(CustomerWindowTest, ClosingWithChangesAsksAndCancelStays)
{
    addCustomer(40, QStringLiteral("Acme"));
    runOn(40, false, [&](CCusDlg &d) {
        setText(&d, CCusDlg::IDC_ZIP, QStringLiteral("02134"));
        prompts().answer(platform::IDCANCEL);
        d.SendCommand(2);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Do you want to save the changes?\nZip"));
        EXPECT_TRUE(d.isVisible());
        prompts().answer(platform::IDYES);
        return press(d, 2);
    });
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Zip FROM Customers WHERE CusNo = 40")), QStringLiteral("02134"));
}

TEST_F(CustomerWindowTest, DeletingTheDefaultBuyerFromItsListLosesNoEdit)
{
    addCustomer(40, QStringLiteral("Acme"));
    exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Type) VALUES (7, 40, 'Ann', 'Lee', 0)"));
    exec(QStringLiteral("UPDATE Customers SET BuyerNo = 7 WHERE CusNo = 40"));
    runOn(40, false, [&](CCusDlg &d) {
        setText(&d, CCusDlg::IDC_CITY, QStringLiteral("Dover"));
        onDialog<CContactList>([this](CContactList &list) {
            const int row = list.list()->FindItemByData(7, false);
            EXPECT_GE(row, 0);
            list.list()->clearSelection();
            list.list()->selectionModel()->select(list.list()->model()->index(row, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
            prompts().answer(platform::IDYES);
            prompts().answer(platform::IDYES);
            prompts().answer(platform::IDOK);
            list.SendCommand(30113);
            return press(list, 2);
        });
        d.SendCommand(30411);
        prompts().clear();
        d.SendCommand(30213);
        EXPECT_EQ(prompts().texts(), QStringList());
        // A later change is saved too.
        setText(&d, CCusDlg::IDC_ZIP, QStringLiteral("02134"));
        d.SendCommand(30213);
        EXPECT_EQ(prompts().texts(), QStringList());
        return press(d, 2);
    });
    EXPECT_EQ(sqlite(QStringLiteral("SELECT City, Zip, BuyerNo FROM Customers WHERE CusNo = 40")),
              QStringLiteral("Dover|02134|0"));
}

TEST_F(CustomerWindowTest, PriceLevelsDiscountsAndLocations)
{
    addCustomer(40, QStringLiteral("Acme"));
    exec(QStringLiteral("UPDATE Customers SET PriceLevel = 108, Discount = 0, Location = 31 WHERE CusNo = 40"));
    runOn(40, false, [&](CCusDlg &d) {
        QComboBox *levels = comboOf(&d, CCusDlg::IDC_PRICELEVEL);
        EXPECT_EQ(levels->count(), 158);
        const std::pair<int, const char *> cases[] = {
            {0, "Normal"}, {6, "Ask Item Price"}, {8, "1% up"}, {107, "100% up"}, {108, "-1% down"}, {157, "-50% down"}};
        for (const auto &[code, text] : cases)
            EXPECT_EQ(levels->itemText(code), QString::fromLatin1(text)) << code;
        EXPECT_EQ(levels->currentText(), QStringLiteral("-1% down"));
        EXPECT_EQ(comboOf(&d, CCusDlg::IDC_DISCOUNT)->currentText(), QStringLiteral("0%"));
        EXPECT_EQ(comboOf(&d, CCusDlg::IDC_LOCATION)->currentText(), QStringLiteral("Store 32"));
        levels->setCurrentIndex(157);
        return press(d, 30443);
    });
    EXPECT_EQ(sqlite(QStringLiteral("SELECT PriceLevel FROM Customers WHERE CusNo = 40")), QStringLiteral("157"));
}

// The credit limit refused puts back the limit shown before it was typed
// (one typed and kept included); the parent's number is refused by name.
TEST_F(CustomerWindowTest, RefusedNumbersNameTheirFieldAndPutBackWhatWasShown)
{
    addCustomer(41, QStringLiteral("Acme"));
    exec(QStringLiteral("UPDATE Customers SET CreditLimit = 5000 WHERE CusNo = 41"));
    runOn(41, false, [&](CCusDlg &d) {
        auto *limit = qobject_cast<QLineEdit *>(GetDlgItem(&d, CCusDlg::IDC_CREDIT_LIMIT));
        EXPECT_EQ(limit->text(), QStringLiteral("5000.00"));
        const struct
        {
            const char *typed;
            const char *shown;
            const char *message;
        } rows[] = {{"2500.00", "2500.00", nullptr},
                    {"25OO", "2500.00", "Please enter a currency."},
                    {"12.345", "2500.00", "Please enter an amount with at most 2 decimals."},
                    {"99,999,999,999,999.99", "2500.00",
                     "Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00."}};
        for (const auto &row : rows) {
            SCOPED_TRACE(row.typed);
            prompts().clear();
            if (row.message)
                prompts().answer(platform::IDOK);
            limit->setFocus();
            limit->selectAll();
            QTest::keyClicks(limit, QString::fromLatin1(row.typed));
            emit limit->editingFinished();
            EXPECT_EQ(limit->text(), QString::fromLatin1(row.shown));
            if (row.message)
                EXPECT_TRUE(prompts().lastText().endsWith(QStringLiteral(": ") + QString::fromLatin1(row.message)))
                    << prompts().lastText().toStdString();
        }
        setText(&d, CCusDlg::IDC_PARENTNO, QStringLiteral("abc"));
        prompts().clear();
        prompts().answer(platform::IDOK);
        d.SendCommand(30213);
        EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Parent No: Please enter a number.")});
        // A customer's number is no count: one past 1,000,000,000 is taken
        // whole, a negative one is not.
        setText(&d, CCusDlg::IDC_PARENTNO, QStringLiteral("-5"));
        prompts().clear();
        prompts().answer(platform::IDOK);
        d.SendCommand(30213);
        EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Parent No: Please enter a number.")});
        setText(&d, CCusDlg::IDC_PARENTNO, QStringLiteral("2,147,483,647"));
        prompts().clear();
        d.SendCommand(30213);
        EXPECT_EQ(prompts().texts(), QStringList());
        EXPECT_EQ(sqlite(QStringLiteral("SELECT ParentNo FROM Customers WHERE CusNo = 41")), QStringLiteral("2147483647"));
        setText(&d, CCusDlg::IDC_PARENTNO, QStringLiteral("1e3"));
        return press(d, 30443);
    });
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CreditLimit, ParentNo FROM Customers WHERE CusNo = 41")),
              QStringLiteral("2500|1000"));
}

TEST_F(CustomerWindowTest, CreditDueOpensOnlyOnASavedCustomerAndMovesTheStoredAmount)
{
    int calls = 0;
    customerHooks().creditDialog = [&](qint32 cusNo, QWidget *) {
        ++calls;
        // Another workstation gives this customer credit meanwhile.
        exec(QStringLiteral("UPDATE Customers SET CreditDue = 10 WHERE CusNo = 32"));
        CCreditSet credits;
        return credits.PostCredit(cusNo, 0, Money::fromWhole(5), 254);
    };
    CCusSet set;
    ASSERT_TRUE(set.SafeAddNew());
    CCusDlg dlg(set, nullptr, nullptr);
    onDialog<CCusDlg>([&](CCusDlg &d) {
        // Unnamed: the save is refused, the credit dialog does not open.
        prompts().answer(platform::IDOK);
        d.SendCommand(CCusDlg::IDC_CREDIT_BUTTON);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Please enter the customer's name."));
        EXPECT_EQ(calls, 0);
        setText(&d, CCusDlg::IDC_NAME, QStringLiteral("Credit Co"));
        d.SendCommand(CCusDlg::IDC_CREDIT_BUTTON);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(qobject_cast<QLineEdit *>(GetDlgItem(&d, CCusDlg::IDC_CREDIT_DUE))->text(),
                  QStringLiteral("15.00"));
        setText(&d, CCusDlg::IDC_CITY, QStringLiteral("Dover"));
        return press(d, 30443);
    });
    dlg.DoModal();
    customerHooks().creditDialog = nullptr;
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Name, City, CreditDue FROM Customers WHERE CusNo = 32")),
              QStringLiteral("Credit Co|Dover|15"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Amount, ReasonID FROM Credits WHERE CusNo = 32")), QStringLiteral("5|254"));
}

TEST_F(CustomerWindowTest, WithoutTheCreditDialogTheUserIsToldSo)
{
    addCustomer(40, QStringLiteral("Acme"));
    runOn(40, false, [&](CCusDlg &d) {
        prompts().answer(platform::IDOK);
        d.SendCommand(CCusDlg::IDC_CREDIT_BUTTON);
        EXPECT_EQ(prompts().texts().join(QLatin1Char('|')),
                  QStringLiteral("The customer credit dialog is not yet available in this version of Tavrel."));
        return press(d, 2);
    });
}

TEST_F(CustomerWindowTest, ACustomerWithEmptyFieldsIsShownWithoutBecomingAChange)
{
    // A row as imports leave them: a number, a name and zero links, every
    // text, code, amount and date empty.
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, ShiptoNo, BuyerNo, PayerNo, Alert1, Alert2, Alert3, "
                        "ParentNo) VALUES (45, 'Sparse Co', 0, 0, 0, 0, 0, 0, 0)"));
    const QString before = sqlite(QStringLiteral(".dump Customers"));
    runOn(45, false, [](CCusDlg &d) {
        return press(d, 2); // no question: nothing was changed
    });
    EXPECT_EQ(sqlite(QStringLiteral(".dump Customers")), before);

    // What the user does enter is saved; the rest stays empty.
    runOn(45, false, [](CCusDlg &d) {
        setText(&d, CCusDlg::IDC_CITY, QStringLiteral("Dover"));
        comboOf(&d, CCusDlg::IDC_PRICELEVEL)->setCurrentIndex(2);
        return press(d, 30443);
    });
    EXPECT_EQ(sqlite(QStringLiteral("SELECT City, PriceLevel, Zip IS NULL, Terms IS NULL, CreditLimit IS NULL FROM "
                                 "Customers WHERE CusNo = 45")),
              QStringLiteral("Dover|2|1|1|1"));
}

TEST_F(CustomerWindowTest, RefusedRightsKeepTheWindowReadOnly)
{
    InstallAppQueryReader(*app);
    exec(QStringLiteral("DELETE FROM Passwords WHERE [No] IN (1, 12)"));
    exec(QStringLiteral("INSERT INTO Passwords ([No], Password, [Level]) VALUES (1, 'secret', 1)"));
    exec(QStringLiteral("INSERT INTO Passwords ([No], Password, [Level]) VALUES (12, '', 1)"));
    app->m_nSecurityLevel = -1;
    app->setDataEntryDialog([](QString &, int, const QString &, const QString &, const QString &) {
        return int(platform::IDCANCEL);
    });
    addCustomer(40, QStringLiteral("Acme"));
    runOn(40, true, [](CCusDlg &d) {
        d.SendCommand(30103);
        EXPECT_EQ(d.m_bReadOnly, 1);
        setText(&d, CCusDlg::IDC_NAME, QStringLiteral("Changed"));
        return press(d, 30443);
    });
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = 40")), QStringLiteral("Acme"));
}

// Customer 1 is the shop: a new name shows in My Company and About at once.
TEST_F(CustomerWindowTest, TheShopsNewNameIsUsedWithoutARestart)
{
    InstallAppQueryReader(*app);
    app->LoadCompanyInfo();
    const QString before = app->m_company.m_strName;
    runOn(1, false, [](CCusDlg &d) {
        setText(&d, CCusDlg::IDC_NAME, QStringLiteral("Westside Print Shop"));
        return press(d, 30443);
    });
    EXPECT_NE(before, QStringLiteral("Westside Print Shop"));
    EXPECT_EQ(app->m_company.m_strName, QStringLiteral("Westside Print Shop"));
}

// Two workstations, each its own connection and window, both showing
// Granite Bakery. A changes Address1 and Credit Limit and saves and closes;
// B, still showing the old values, saves. What B changed goes onto A's row;
// what B left alone is never written back; a field both changed is put to B.
TEST_F(CustomerWindowTest, ASaveAfterAnotherWorkstationsSaveKeepsBothAndAsksAboutTheSameField)
{
    const QString kLimits = QStringLiteral("Credit Limit: the other user's \"5000.00\", yours \"3000.00\"");
    struct Case
    {
        const char *what;
        QString limitByB;      // empty: left alone
        QList<int> answers;    // to the question, one per Save of B's
        QString stored;        // Address|City|GroupID|CreditLimit afterwards
        QString asked;         // the field's line in the question
        QString addressByB;    // empty: left alone
        const char *byA = nullptr; // a field A's workstation stores besides
    };
    const QList<Case> cases = {
        {"different fields: both kept, nothing asked", QString(), {}, QStringLiteral("9 Quarry Rd|Dover|WHOLESALE|5000")},
        {"the same field: B keeps A's", QStringLiteral("3000.00"), {platform::IDNO},
         QStringLiteral("9 Quarry Rd|Dover|WHOLESALE|5000"), kLimits},
        {"the same field: B keeps his own", QStringLiteral("3000.00"), {platform::IDYES},
         QStringLiteral("9 Quarry Rd|Dover|WHOLESALE|3000"), kLimits},
        // Cancel saves nothing; the second Save asks again and writes nothing stale.
        {"the same field: cancel, then save again", QStringLiteral("3000.00"), {platform::IDCANCEL, platform::IDNO},
         QStringLiteral("9 Quarry Rd|Dover|WHOLESALE|5000"), kLimits},
        // The column is Address; the window labels it Address1.
        {"both changed the address: named as the window labels it", QString(), {platform::IDNO},
         QStringLiteral("9 Quarry Rd|Dover|WHOLESALE|5000"),
         QStringLiteral("Address1: the other user's \"9 Quarry Rd\", yours \"12 Elm St\""), QStringLiteral("12 Elm St")},
        // B read the default buyer as Null and shows it as 0: no change of
        // B's over A's buyer, nothing asked.
        {"a number B read as Null: A's kept", QString(), {}, QStringLiteral("9 Quarry Rd|Dover|WHOLESALE|5000"),
         QString(), QString(), "BuyerNo = 7"},
    };
    platform::Database other;
    other.open(m_path);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("DELETE FROM Customers WHERE CusNo = 40"));
        addCustomer(40, QStringLiteral("Granite Bakery"));
        exec(QStringLiteral("UPDATE Customers SET Address = '1 Mill St', City = 'Salem', GroupID = 'RETAIL', "
                            "CreditLimit = 2000, BuyerNo = NULL WHERE CusNo = 40"));
        prompts().clear();
        runOn(40, false, [&](CCusDlg &b) {
            // A's window, on A's connection: Save & Close.
            CCusSet aSet(&other);
            EXPECT_TRUE(aSet.FindCustomer(40, true));
            CCusDlg a(aSet, nullptr, nullptr);
            onDialog<CCusDlg>([](CCusDlg &d) {
                qobject_cast<QPlainTextEdit *>(GetDlgItem(&d, CCusDlg::IDC_ADDRESS))->setPlainText(QStringLiteral("9 Quarry Rd"));
                setText(&d, CCusDlg::IDC_CREDIT_LIMIT, QStringLiteral("5000.00"));
                return press(d, 30443);
            });
            a.DoModal();
            aSet.Close();
            if (c.byA)
                other.execute(QStringLiteral("UPDATE Customers SET %1 WHERE CusNo = 40").arg(QLatin1String(c.byA)));
            EXPECT_EQ(sqlite(QStringLiteral("SELECT Address, CreditLimit FROM Customers WHERE CusNo = 40")),
                      QStringLiteral("9 Quarry Rd|5000"));

            // B still shows the old values, and changes others.
            setText(&b, CCusDlg::IDC_CITY, QStringLiteral("Dover"));
            setText(&b, CCusDlg::IDC_GROUPID, QStringLiteral("WHOLESALE"));
            if (!c.limitByB.isEmpty())
                setText(&b, CCusDlg::IDC_CREDIT_LIMIT, c.limitByB);
            if (!c.addressByB.isEmpty())
                qobject_cast<QPlainTextEdit *>(GetDlgItem(&b, CCusDlg::IDC_ADDRESS))->setPlainText(c.addressByB);
            for (int answer : c.answers) {
                prompts().clear();
                prompts().answer(answer);
                b.SendCommand(30213);
                EXPECT_EQ(prompts().texts().value(0),
                          QStringLiteral("Another user has saved this record since you opened it, and changed the same "
                                         "field:\n\n")
                              + c.asked
                              + QStringLiteral("\n\nSave what you typed over it?\n\nYes saves yours, No keeps the other "
                                               "user's; your other changes are saved either way. Cancel saves nothing "
                                               "now."));
                EXPECT_EQ(prompts().texts().size(), 1);
                if (answer == platform::IDCANCEL) // nothing written yet
                    EXPECT_EQ(sqlite(QStringLiteral("SELECT Address, City, GroupID, CreditLimit FROM Customers WHERE "
                                                    "CusNo = 40")),
                              QStringLiteral("9 Quarry Rd|Salem|RETAIL|5000"));
            }
            if (c.answers.isEmpty()) {
                b.SendCommand(30213);
                EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();
            }
            // B's window now shows the row as stored, A's address with it.
            EXPECT_EQ(qobject_cast<QPlainTextEdit *>(GetDlgItem(&b, CCusDlg::IDC_ADDRESS))->toPlainText(),
                      QStringLiteral("9 Quarry Rd"));
            // And a later save writes nothing of the old values.
            setText(&b, CCusDlg::IDC_ZIP, QStringLiteral("01970"));
            prompts().clear();
            b.SendCommand(30443);
            EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();
            return b.result();
        });
        EXPECT_EQ(sqlite(QStringLiteral("SELECT Address, City, GroupID, CreditLimit, Zip FROM Customers WHERE CusNo = 40")),
                  c.stored + QStringLiteral("|01970"));
        if (c.byA)
            EXPECT_EQ(sqlite(QStringLiteral("SELECT BuyerNo FROM Customers WHERE CusNo = 40")), QStringLiteral("7"));
    }
}
