#include "CustomersFixture.h"

#include "controls/CXGridProp.h"
#include "controls/CXListCtrl.h"
#include "customers/CContactDlg.h"
#include "customers/CContactList.h"
#include "customers/CShiptoDlg.h"
#include "customers/CShiptoList.h"
#include "controls/DlgItem.h"
#include "data/AppDataServices.h"

#include <QtCore/QItemSelectionModel>
#include <QtTest/QTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>

namespace {

class ContactsAndShiptosTest : public CustomersTest
{
protected:
    void SetUp() override
    {
        CustomersTest::SetUp();
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus) VALUES (40, 'Acme', 0)"));
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus) VALUES (41, 'Empty Co', 0)"));
    }

    static void selectRows(CXListCtrl *list, std::initializer_list<int> rows)
    {
        list->clearSelection();
        for (int r : rows)
            list->selectionModel()->select(list->model()->index(r, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // Types into a row of the property grid as the user would.
    static void type(CXGridProp &grid, int row, const QString &text)
    {
        grid.EditRow(row);
        ASSERT_NE(grid.textEditor(), nullptr);
        grid.textEditor()->setText(text);
    }
    static QString bottomText(CDlg0 &d, unsigned id) { return d.bottomRibbon().GetItemText(id); }
};

} // namespace

TEST_F(ContactsAndShiptosTest, ThreeAddressesOneOnAJobDeleteTwoHideOneAndResetTheDefault)
{
    for (int no : {1, 2, 3})
        exec(QStringLiteral("INSERT INTO Shipto (ShiptoNo, CusNo, Company, Attention, Type) VALUES (%1, 40, 'Dock %1', "
                            "'Sam', 0)")
                 .arg(no));
    exec(QStringLiteral("INSERT INTO Jobs (JobID, JobType, JobNo, CusNo, ShiptoNo) VALUES (1, 3, 1001, 40, 3)"));
    exec(QStringLiteral("UPDATE Customers SET ShiptoNo = 1 WHERE CusNo = 40"));
    CShiptoList list(40, 1, 210, QStringLiteral("Default Ship to"), nullptr);
    onDialog<CShiptoList>([&](CShiptoList &d) {
        EXPECT_EQ(bottomText(d, 30262), QStringLiteral("Listed: 4"));
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Shipping Addresses of Acme"));
        snapshot(d, QStringLiteral("shipto-list"));
        selectRows(d.list(), {1, 2, 3});
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDOK);
        d.SendCommand(30113);
        EXPECT_EQ(prompts().texts().first(),
                  QStringLiteral("Do you want to delete selected (3) addresses?\n\nNote: Any addresses used in Jobs "
                                 "will be hidden, not deleted."));
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Deleted: 2\nHidden: 1"));
        EXPECT_EQ(bottomText(d, 30262), QStringLiteral("Listed: 2"));
        // The hidden address can be seen here but not chosen.
        d.SelectKey(3);
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Please select an address that is not hidden."));
        d.SelectKey(0);
        return press(d, 1);
    });
    EXPECT_EQ(list.DoModal(), 1);
    EXPECT_EQ(list.m_nShiptoNo, 0);
    EXPECT_EQ(list.m_strResult, QStringLiteral("< Same as Bill To >"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT ShiptoNo, Type FROM Shipto")), QStringLiteral("3|2"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT ShiptoNo FROM Customers WHERE CusNo = 40")), QStringLiteral("0"));
}

TEST_F(ContactsAndShiptosTest, ACustomerWithoutAddressesGoesStraightToANewOne)
{
    // Cancelled: the list is cancelled too.
    onDialog<CShiptoDlg>([](CShiptoDlg &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Shipto (# 0) - Empty Co"));
        return press(d, 2);
    });
    CShiptoList cancelled(41, 0, 210, QStringLiteral("Ship To"), nullptr);
    EXPECT_EQ(cancelled.DoModal(), 2);
    EXPECT_EQ(cliCount(QStringLiteral("SELECT Count(*) FROM Shipto")), 0);

    // Saved: the list closes on the new address. "< new >" is refused first.
    onDialog<CShiptoDlg>([this](CShiptoDlg &d) {
        snapshot(d, QStringLiteral("shipto-dialog"));
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Please enter the Company Name"));
        qobject_cast<QLineEdit *>(GetDlgItem(&d, 1301))->setText(QStringLiteral("Warehouse"));
        qobject_cast<QLineEdit *>(GetDlgItem(&d, 1304))->setText(QStringLiteral("Dover"));
        return press(d, 1);
    });
    CShiptoList list(41, 0, 210, QStringLiteral("Ship To"), nullptr);
    EXPECT_EQ(list.DoModal(), 1);
    EXPECT_NE(list.m_nShiptoNo, 0);
    EXPECT_EQ(list.m_strResult, QStringLiteral("Warehouse\nDover"));
    const int today = int(QDate(1899, 12, 30).daysTo(QDate::currentDate()));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CusNo, Company, Type, CAST(Created AS INTEGER), CAST(Modified AS INTEGER) "
                                 "FROM Shipto")),
              QStringLiteral("41|Warehouse|0|%1|%1").arg(today));
}

TEST_F(ContactsAndShiptosTest, EveryTextOfAnAddressHoldsToItsColumnAndIsStoredAsShown)
{
    // Typing stops at the column's size with a beep, in one-line fields and
    // in the two-line address fields alike; what is shown is what is stored.
    const struct
    {
        unsigned id;
        const char *name;
        int size;
    } fields[] = {{1307, "Attention", 60}, {1303, "Address 2", 60}, {1302, "Address 1", 60}, {1301, "Company", 60},
                  {1304, "City", 30},      {1305, "State", 20},     {1306, "Zip", 15},       {1309, "Phone", 20},
                  {1308, "Country", 30}};
    const auto beeps = [this] {
        int n = 0;
        for (const platform::PromptRecord &r : prompts().shown())
            n += r.kind == platform::PromptRecord::Kind::Beep ? 1 : 0;
        return n;
    };
    const auto textOf = [](QWidget *w) {
        if (auto *e = qobject_cast<QLineEdit *>(w))
            return e->text();
        return qobject_cast<QPlainTextEdit *>(w)->toPlainText();
    };
    onDialog<CShiptoDlg>([&](CShiptoDlg &d) {
        for (const auto &f : fields) {
            QWidget *w = GetDlgItem(&d, f.id);
            if (auto *e = qobject_cast<QLineEdit *>(w))
                e->clear();
            else
                qobject_cast<QPlainTextEdit *>(w)->clear();
            w->setFocus();
            const int before = beeps();
            // One letter more than the column takes, and 20 more again (81 for a ship-to's Attention).
            QTest::keyClicks(w, QString(f.size + 21, QLatin1Char('a' + char(f.id % 26))));
            EXPECT_EQ(textOf(w).size(), f.size) << f.name;
            EXPECT_EQ(beeps() - before, 21) << f.name;
        }
        // A text put there whole (a paste the window takes as it comes) is
        // refused by name on OK, and nothing is saved.
        qobject_cast<QPlainTextEdit *>(GetDlgItem(&d, 1303))->setPlainText(QString(61, QLatin1Char('b')));
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Address 2: Please enter at most 60 characters."));
        EXPECT_EQ(cliCount(QStringLiteral("SELECT Count(*) FROM Shipto")), 0);
        qobject_cast<QPlainTextEdit *>(GetDlgItem(&d, 1303))->setPlainText(QString(60, QLatin1Char('b')));
        return press(d, 1);
    });
    CShiptoDlg dialog(41, 0, 210, QStringLiteral("Ship To"), nullptr);
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT length(Attention), Attention, length(Address2), length(Address), "
                                    "length(Company), length(City), length(State), length(Zip), length(Phone), "
                                    "length(Country) FROM Shipto")),
              QStringLiteral("60|%1|60|60|60|30|20|15|20|30").arg(QString(60, QLatin1Char('a' + char(1307 % 26)))));
}

// The contact window's text rows stop at their columns as they are typed; a
// text put in longer is refused at OK by its row's label (all of them named
// as the window shows them), the window open with everything typed.
TEST_F(ContactsAndShiptosTest, EveryTextOfAContactHoldsToItsColumnAndIsStoredAsShown)
{
    const struct
    {
        int row;
        const char *label;
        int size;
    } rows[] = {{CContactDlg::RowFirst, "First", 30},   {CContactDlg::RowLast, "Last", 30},
                {CContactDlg::RowTitle, "Salutation", 20}, {CContactDlg::RowPosition, "Job Title", 30},
                {CContactDlg::RowPhone, "Phone 1", 20},  {CContactDlg::RowPhone2, "Phone 2", 14},
                {CContactDlg::RowCell, "Mobile", 14},    {CContactDlg::RowFax, "Fax", 20},
                {CContactDlg::RowEmail, "Email", 50}};
    CContactDlg dlg(40, 0, 210, QStringLiteral("Contact"), nullptr);
    onDialog<CContactDlg>([&](CContactDlg &d) {
        for (const auto &r : rows) {
            SCOPED_TRACE(r.label);
            d.grid().EditRow(r.row);
            QLineEdit *editor = r.row == CContactDlg::RowTitle ? d.grid().comboEditor()->lineEdit()
                                                               : d.grid().textEditor();
            editor->selectAll();
            QTest::keyClicks(editor, QString(r.size + 1, QLatin1Char('a' + char(r.row))));
            EXPECT_EQ(editor->text(), QString(r.size, QLatin1Char('a' + char(r.row))));
        }
        d.grid().EndEdit();
        // Put there whole, one past the column: refused by the label, each in turn.
        for (const auto &r : {rows[3], rows[8]}) {
            d.grid().SetRowText(r.row, QString(r.size + 1, QLatin1Char('z')));
            prompts().clear();
            prompts().answer(platform::IDOK);
            d.SendCommand(1);
            EXPECT_EQ(d.result(), 0);
            EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("%1: Please enter at most %2 characters.")
                                                         .arg(QString::fromLatin1(r.label))
                                                         .arg(r.size)});
            EXPECT_EQ(d.grid().GetCurRow(), r.row);
            EXPECT_EQ(cliCount(QStringLiteral("SELECT Count(*) FROM Contacts")), 0);
            d.grid().textEditor()->setText(QString(r.size, QLatin1Char('a' + char(r.row))));
        }
        return press(d, 1);
    });
    EXPECT_EQ(dlg.DoModal(), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT length(First), length(Last), length(Title), length(Postion), "
                                    "length(Phone), length(Phone2), length(Cell), length(Fax), Email FROM Contacts")),
              QStringLiteral("30|30|20|30|20|14|14|20|%1").arg(QString(50, QLatin1Char('a' + char(CContactDlg::RowEmail)))));
}

TEST_F(ContactsAndShiptosTest, ADeletedDefaultBuyerLeavesBuyerNoZeroAndABuyerOfAJobIsHidden)
{
    exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Type) VALUES (7, 40, 'Ann', 'Lee', 0)"));
    exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Type) VALUES (8, 40, 'Bo', 'Ray', 0)"));
    exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Type) VALUES (9, 40, 'Cy', 'Hu', 2)"));
    exec(QStringLiteral("INSERT INTO Jobs (JobID, JobType, JobNo, CusNo, BuyerNo) VALUES (1, 1, 5001, 40, 8)"));
    exec(QStringLiteral("UPDATE Customers SET BuyerNo = 7, PayerNo = 8 WHERE CusNo = 40"));

    // A job's list hides hidden contacts; a "Default" list shows them.
    onDialog<CContactList>([&](CContactList &d) {
        EXPECT_EQ(bottomText(d, 30262), QStringLiteral("Listed: 3"));
        return press(d, 2);
    });
    CContactList jobList(40, 0, 210, QStringLiteral("Buyer"), nullptr);
    jobList.DoModal();

    CContactList list(40, 7, 210, QStringLiteral("Default Buyer"), nullptr);
    onDialog<CContactList>([&](CContactList &d) {
        EXPECT_EQ(bottomText(d, 30262), QStringLiteral("Listed: 4"));
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Contacts"));
        snapshot(d, QStringLiteral("contact-list"));
        selectRows(d.list(), {1, 2});
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDOK);
        d.SendCommand(30113);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Deleted: 1\nHidden: 1"));
        // Setting a status a contact already has changes nothing.
        selectRows(d.list(), {1});
        prompts().answer(platform::IDYES);
        d.SendCommand(30133);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Do you want to change the status of selected contacts?"));
        return press(d, 2);
    });
    list.DoModal();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT BuyerNo, PayerNo FROM Customers WHERE CusNo = 40")), QStringLiteral("0|8"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT ContactNo, Type FROM Contacts ORDER BY ContactNo")), QStringLiteral("8|2\n9|2"));
}

TEST_F(ContactsAndShiptosTest, ContactsOfCustomerZeroBelongToTheWalkInAndCopiesStartUnnamed)
{
    CContactDlg dlg(0, 0, 210, QStringLiteral("Contact"), nullptr);
    onDialog<CContactDlg>([this](CContactDlg &d) {
        snapshot(d, QStringLiteral("contact-dialog"));
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Please enter contact's name"));
        // The heading and the window title name the contact as it is typed.
        d.grid().EditRow(CContactDlg::RowFirst);
        d.grid().textEditor()->selectAll();
        QTest::keyClicks(d.grid().textEditor(), QStringLiteral("Dana"));
        EXPECT_EQ(d.grid().rowLabel(CContactDlg::RowHeading), QStringLiteral("Dana "));
        EXPECT_TRUE(d.windowTitle().startsWith(QStringLiteral("Dana   (Contact# 0)  -  "))) << d.windowTitle().toStdString();
        d.grid().EditRow(CContactDlg::RowLast);
        QTest::keyClicks(d.grid().textEditor(), QStringLiteral("Fox"));
        EXPECT_EQ(d.grid().rowLabel(CContactDlg::RowHeading), QStringLiteral("Dana Fox"));
        EXPECT_TRUE(d.windowTitle().startsWith(QStringLiteral("Dana Fox  (Contact# 0)  -  "))) << d.windowTitle().toStdString();
        type(d.grid(), CContactDlg::RowEmail, QStringLiteral("dana@example.com"));
        d.grid().EndEdit();
        d.grid().SetRowValue(CContactDlg::RowStatus, 1);
        return press(d, 1);
    });
    EXPECT_EQ(dlg.DoModal(), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CusNo, First, Last, Email, Type FROM Contacts WHERE ContactNo = %1")
                      .arg(dlg.m_nContactNo)),
              QStringLiteral("31|Dana|Fox|dana@example.com|1"));

    CContactDlg copy(40, 0, 210, QStringLiteral("Contact"), nullptr);
    copy.m_nCopyFrom = dlg.m_nContactNo;
    onDialog<CContactDlg>([](CContactDlg &d) {
        EXPECT_EQ(d.grid().rowText(CContactDlg::RowFirst), QStringLiteral("< new >"));
        EXPECT_EQ(d.grid().rowText(CContactDlg::RowLast), QString());
        EXPECT_EQ(d.grid().rowText(CContactDlg::RowEmail), QStringLiteral("dana@example.com"));
        type(d.grid(), CContactDlg::RowFirst, QStringLiteral("Eli"));
        d.grid().EndEdit();
        return press(d, 1);
    });
    EXPECT_EQ(copy.DoModal(), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CusNo, First, Last, Email, Type FROM Contacts WHERE ContactNo = %1")
                      .arg(copy.m_nContactNo)),
              QStringLiteral("40|Eli||dana@example.com|0"));
}

TEST_F(ContactsAndShiptosTest, OnlyADefaultListSkipsTheRightsForStatusAndDelete)
{
    InstallAppQueryReader(*app);
    exec(QStringLiteral("DELETE FROM Passwords WHERE [No] IN (1, 12)"));
    exec(QStringLiteral("INSERT INTO Passwords ([No], Password, [Level]) VALUES (1, 'secret', 1)"));
    exec(QStringLiteral("INSERT INTO Passwords ([No], Password, [Level]) VALUES (12, '', 1)"));
    app->m_nSecurityLevel = -1;
    int asked = 0;
    app->setDataEntryDialog([&](QString &, int, const QString &, const QString &, const QString &) {
        ++asked;
        return int(platform::IDCANCEL);
    });
    exec(QStringLiteral("INSERT INTO Shipto (ShiptoNo, CusNo, Company, Type) VALUES (1, 40, 'Dock', 0)"));

    // A job's list asks for the rights; refused, nothing is asked or changed.
    onDialog<CShiptoList>([&](CShiptoList &d) {
        selectRows(d.list(), {1});
        d.SendCommand(30113);
        d.SendCommand(30133);
        return press(d, 2);
    });
    CShiptoList forJob(40, 0, 210, QStringLiteral("Ship To"), nullptr);
    forJob.DoModal();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Type FROM Shipto WHERE ShiptoNo = 1")), QStringLiteral("0"));

    // The customer window's default list asks none.
    onDialog<CShiptoList>([&](CShiptoList &d) {
        selectRows(d.list(), {1});
        prompts().answer(platform::IDYES);
        d.SendCommand(30133);
        return press(d, 2);
    });
    CShiptoList forDefault(40, 0, 210, QStringLiteral("Default Ship to"), nullptr);
    forDefault.DoModal();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Type FROM Shipto WHERE ShiptoNo = 1")), QStringLiteral("2"));
}

// A contact and a ship-to address open in this window while another
// workstation saves the same row: this window's OK writes only what was typed
// here, onto the other's row; a field both changed is put to the user.
TEST_F(ContactsAndShiptosTest, AnOkAfterAnotherWorkstationsSaveKeepsBothAndAsksAboutTheSameField)
{
    const QString kAsked = QStringLiteral(
        "Another user has saved this record since you opened it, and changed the same field:\n\n%1\n\nSave what you "
        "typed over it?\n\nYes saves yours, No keeps the other user's; your other changes are saved either way. "
        "Cancel saves nothing now.");
    struct Case
    {
        const char *what;
        bool contact;     // else a ship-to address
        const char *byA;  // SET clause of the other workstation's save
        QString phone;    // typed here into "Phone" (empty: left alone)
        QString city;     // ship-to "City" typed here (empty: left alone)
        int answer;       // 0: nothing asked
        QString asked;
        QString stored;   // Phone|Email (contact) or Phone|City|Company (ship-to)
    };
    const QList<Case> cases = {
        {"contact, different fields", true, "Email = 'ann@a.com'", QStringLiteral("555-0102"), QString(), 0, QString(),
         QStringLiteral("555-0102|ann@a.com")},
        {"contact, the same field, the other user's kept", true, "Phone = '555-0199', Email = 'ann@a.com'",
         QStringLiteral("555-0102"), QString(), platform::IDNO,
         QStringLiteral("Phone 1: the other user's \"555-0199\", yours \"555-0102\""), QStringLiteral("555-0199|ann@a.com")},
        {"ship-to, different fields", false, "Phone = '555-0199', Company = 'Dock A'", QString(), QStringLiteral("Dover"),
         0, QString(), QStringLiteral("555-0199|Dover|Dock A")},
        {"ship-to, the same field, this user's kept", false, "City = 'Salem', Company = 'Dock A'", QString(),
         QStringLiteral("Dover"), platform::IDYES, QStringLiteral("City: the other user's \"Salem\", yours \"Dover\""),
         QStringLiteral("|Dover|Dock A")},
    };
    platform::Database other;
    other.open(m_path);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("DELETE FROM Contacts"));
        exec(QStringLiteral("DELETE FROM Shipto"));
        exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Phone, Email) VALUES (7, 40, 'Ann', "
                            "'Lee', '555-0100', 'ann@old.com')"));
        exec(QStringLiteral("INSERT INTO Shipto (ShiptoNo, CusNo, Company, City, Phone) VALUES (8, 40, 'Dock', "
                            "'Boston', '')"));
        prompts().clear();
        const auto otherSaves = [&] {
            other.execute(QStringLiteral("UPDATE %1 SET %2")
                              .arg(c.contact ? QStringLiteral("Contacts") : QStringLiteral("Shipto"), QLatin1String(c.byA)));
        };
        if (c.answer != 0)
            prompts().answer(c.answer);
        if (c.contact) {
            CContactDlg dlg(40, 7, 210, QStringLiteral("Contact"), nullptr);
            onDialog<CContactDlg>([&](CContactDlg &d) {
                otherSaves();
                type(d.grid(), CContactDlg::RowPhone, c.phone);
                d.grid().EndEdit();
                return press(d, 1);
            });
            EXPECT_EQ(dlg.DoModal(), 1);
            EXPECT_EQ(sqlite(QStringLiteral("SELECT Phone, Email FROM Contacts")), c.stored);
        } else {
            CShiptoDlg dlg(40, 8, 210, QStringLiteral("Ship To"), nullptr);
            onDialog<CShiptoDlg>([&](CShiptoDlg &d) {
                otherSaves();
                qobject_cast<QLineEdit *>(GetDlgItem(&d, 1304))->setText(c.city);
                return press(d, 1);
            });
            EXPECT_EQ(dlg.DoModal(), 1);
            EXPECT_EQ(sqlite(QStringLiteral("SELECT Phone, City, Company FROM Shipto")), c.stored);
        }
        if (c.answer == 0)
            EXPECT_EQ(prompts().texts(), QStringList());
        else
            EXPECT_EQ(prompts().texts(), QStringList{kAsked.arg(c.asked)});
    }
}
