#include "JobsFixture.h"

#include "jobs/CFindDlg.h"
#include "jobs/FindConditions.h"
#include "jobs/FindFieldTables.h"
#include "jobs/FindInstall.h"
#include "data/SharedDatabase.h"
#include "platform/db/Recordset.h"
#include "views/CDlgList.h"

#include <QtCore/QProcess>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>

namespace {

class FindDialogTest : public JobsTest
{
protected:
    // Rows of the jobs list's FROM part that the filter narrows, counted by
    // the program's own query layer.
    int countThroughTranslator(const QString &condition)
    {
        const QString sql = QStringLiteral(
                                "SELECT Count(*) FROM (((Jobs LEFT JOIN Customers ON Jobs.CusNo = Customers.CusNo) "
                                "LEFT JOIN Shipto ON Jobs.ShiptoNo = Shipto.ShiptoNo) LEFT JOIN Contacts ON "
                                "Jobs.BuyerNo = Contacts.ContactNo) LEFT JOIN PostingJournal ON Jobs.PostingNo = "
                                "PostingJournal.PostingNo WHERE ") +
            condition;
        return scalar(sql).toInt();
    }
    int countWithSqlite(const QString &where)
    {
        QProcess process;
        process.start(QStringLiteral("sqlite3"),
                      {databasePath(), QStringLiteral("SELECT count(*) FROM Jobs LEFT JOIN Customers ON Jobs.CusNo = "
                                                      "Customers.CusNo WHERE ") +
                                           where});
        process.waitForFinished(30000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed().toInt();
    }
    static QString condition(int type, const QString &column, const QString &op, const QString &v1,
                             const QString &v2 = QString(), int listId = 0)
    {
        FindChoice c;
        c.column = column;
        c.type = type;
        const QStringList rows = FindOperatorRows(listId ? listId : FindOperatorList(type));
        c.operatorRow = int(rows.indexOf(op));
        EXPECT_GE(c.operatorRow, 0) << op.toStdString();
        c.operatorLabel = op;
        c.value1 = v1;
        c.value2 = v2;
        return BuildFindCondition(c);
    }
};

TEST_F(FindDialogTest, ConditionsOfEveryComparison)
{
    struct Case
    {
        int type;
        const char *column;
        const char *op;
        const char *v1;
        const char *v2;
        const char *expected;
    };
    const Case cases[] = {
        {4, "Jobs.JobNo", "=     equal", "1200", "", "(Jobs.JobNo = 1200)"},
        {10, "Jobs.Title", "contains", "mailer", "", "(Jobs.Title like \"*mailer*\")"},
        {10, "Jobs.Title", "starts with", "Acme", "", "(Jobs.Title like \"Acme*\")"},
        {10, "Jobs.Title", "ends with", "Acme", "", "(Jobs.Title like \"*Acme\")"},
        {10, "Jobs.Title", "is exactly like", "Acme", "", "(Jobs.Title like \"Acme\")"},
        {10, "Jobs.Title", "is not exactly like", "Acme", "", "(Jobs.Title NOT like \"Acme\")"},
        {10, "Jobs.Title", "does not contain", "Acme", "", "(Jobs.Title NOT like \"*Acme*\")"},
        {10, "Jobs.Title", "is between", "A", "M", "(Jobs.Title between \"A\" and \"M\")"},
        {10, "Jobs.Title", "is between", "A", "", ""},
        {10, "Jobs.Title", "contains", "", "", ""},
        // A double quote in the text: single quotes around it.
        {10, "Jobs.Title", "contains", "12\" banner", "", "(Jobs.Title like '*12\" banner*')"},
        // An apostrophe stays inside double quotes; nothing ends the literal.
        {10, "Customers.Name", "starts with", "O'Brien", "", "(Customers.Name like \"O'Brien*\")"},
        {10, "Customers.Name", "contains", "1 or 1=1", "", "(Customers.Name like \"*1 or 1=1*\")"},
        {10, "Customers.Name", "contains", "a\"' or \"1", "", "(Customers.Name like '*a\"'' or \"1*')"},
        {5, "Jobs.Balance", " >    greater than", "100", "", "(Jobs.Balance  > 100)"},
        {5, "Jobs.Balance", "<=   less or equal", "  99.5", "", "(Jobs.Balance <= 99.5)"},
        {4, "Jobs.JobNo", "=     equal", "12a.5.3", "", "(Jobs.JobNo = 12)"},
        {4, "Jobs.JobNo", "=     equal", "1.5.3", "", "(Jobs.JobNo = 1.5)"},
        {4, "Jobs.JobNo", "=     equal", "1 or 1=1", "", "(Jobs.JobNo = 1)"},
        {4, "Jobs.JobNo", "=     equal", "abc", "", ""},
        // Numbers as typed, never in exponent form.
        {4, "Jobs.JobNo", "is     between", "100", "1234567", "(Jobs.JobNo between 100 and 1234567)"},
        {4, "Jobs.JobNo", "is     between", "100", "", ""},
        // Either value without a digit: no condition, as with one missing.
        {4, "Jobs.JobNo", "is     between", "100", "abc", ""},
        {5, "Jobs.Balance", "is     between", "abc", "100", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(condition(c.type, QString::fromLatin1(c.column), QString::fromLatin1(c.op), QString::fromUtf8(c.v1),
                            QString::fromUtf8(c.v2)),
                  QString::fromUtf8(c.expected))
            << c.op << " " << c.v1;
}

TEST_F(FindDialogTest, DateRowsAndLiterals)
{
    const QDate today(2024, 6, 12); // a Wednesday
    struct Case
    {
        int row;
        QDate from;
        QDate to;
    };
    const Case cases[] = {
        {6, QDate(2024, 6, 9), QDate(2024, 6, 15)},   // this week
        {7, QDate(2024, 6, 1), QDate(2024, 6, 30)},   // this month
        {8, QDate(2024, 1, 1), QDate(2024, 12, 31)},  // this year
        {24, QDate(2024, 1, 1), QDate(2024, 1, 31)},  // in January
        {25, QDate(2024, 2, 1), QDate(2024, 2, 29)},  // February of a leap year
        {35, QDate(2024, 12, 1), QDate(2024, 12, 31)},
        {36, QDate(2024, 1, 1), QDate(2024, 12, 31)},
        {37, QDate(2024, 2, 1), QDate(2025, 1, 31)},  // into January of next year
        {47, QDate(2024, 12, 1), QDate(2025, 11, 30)},
    };
    for (const Case &c : cases) {
        QDate from, to;
        ASSERT_TRUE(FindDateRowRange(c.row, today, from, to)) << c.row;
        EXPECT_EQ(from, c.from) << c.row;
        EXPECT_EQ(to, c.to) << c.row;
    }
    QDate a = today, b = today;
    EXPECT_FALSE(FindDateRowRange(3, today, a, b));
    EXPECT_FALSE(FindDateRowRange(48, today, a, b));
    EXPECT_EQ(FindOperatorRows(kFindDateOperators).size(), 49);

    FindChoice c;
    c.column = QStringLiteral("Jobs.DateShipped");
    c.type = 8;
    c.operatorRow = 3;
    c.operatorLabel = FindOperatorRows(kFindDateOperators).at(3);
    c.date1 = QDate(2011, 3, 1);
    EXPECT_EQ(BuildFindCondition(c), QStringLiteral("(Jobs.DateShipped  > #3/1/2011#)"));
    c.operatorRow = 6;
    c.operatorLabel = FindOperatorRows(kFindDateOperators).at(6);
    c.date1 = QDate(2024, 6, 9);
    c.date2 = QDate(2024, 6, 15);
    EXPECT_EQ(BuildFindCondition(c), QStringLiteral("(Jobs.DateShipped between #6/9/2024# and #6/15/2024#)"));
}

TEST_F(FindDialogTest, FieldTablesByKind)
{
    EXPECT_EQ(FindFieldRows(QStringLiteral("Jobs")).size(), 25);
    EXPECT_TRUE(FindFieldRows(QStringLiteral("jobs")).isEmpty()); // kinds are matched with case
    EXPECT_EQ(FindFieldRows(QStringLiteral("Items")).size(), 14);
    EXPECT_EQ(FindFieldRows(QStringLiteral("Customers")).size(), 15);
    EXPECT_EQ(FindFieldRows(QStringLiteral("Contacts")).size(), 15);
    EXPECT_EQ(FindFieldRows(QStringLiteral("Contacts")).at(0).label, QStringLiteral("Buyer's First Name"));
    EXPECT_EQ(FindFieldRows(QStringLiteral("Contacts")).at(6).label, QStringLiteral("Customer's Name"));
    EXPECT_EQ(FindFieldRows(QStringLiteral("QuickSales")).at(0).label, QStringLiteral("Date of QuickSale "));
    EXPECT_TRUE(FindFieldRows(QStringLiteral("Inventory")).isEmpty());

    const QList<FindField> month = FindFieldRows(QStringLiteral("PostingMonth"));
    ASSERT_EQ(month.size(), 1);
    EXPECT_EQ(month[0].column, QStringLiteral("PostingJournal.PostingDate"));
    EXPECT_EQ(FindTablesOfKind(QStringLiteral("PostingMonth")),
              (QStringList{QStringLiteral("PostingJournal"), QStringLiteral("Jobs")}));
    EXPECT_EQ(FindTablesOfKind(QStringLiteral("Inventory")), QStringList{QStringLiteral("Inventory")});

    QString label;
    EXPECT_EQ(FindFieldRows(QStringLiteral("Orders"), 0, &label).size(), 13);
    EXPECT_EQ(label, QStringLiteral("Orders"));
    // "Customer Number" is the job's column for jobs, the customer's for the schedule's orders.
    EXPECT_EQ(FindFieldRows(QStringLiteral("Jobs")).at(3).column, QStringLiteral("Jobs.CusNo"));
    EXPECT_EQ(FindFieldRows(QStringLiteral("Orders"), 0).at(3).column, QStringLiteral("Customers.CusNo"));
    EXPECT_EQ(FindFieldRows(QStringLiteral("Orders"), 0).at(11).column, QStringLiteral("Jobs.ViaDue"));
    EXPECT_EQ(FindFieldRows(QStringLiteral("Payments")).at(1).column, QStringLiteral("Customers.CusNo"));
    EXPECT_EQ(FindFieldRows(QStringLiteral("Credits")).at(4).column, QStringLiteral("Credits.CusNo"));
    const QList<FindField> items = FindFieldRows(QStringLiteral("Orders"), 10, &label);
    EXPECT_EQ(label, QStringLiteral("Items"));
    EXPECT_EQ(items.at(13).label, QStringLiteral("Item Description"));
    const QList<FindField> services = FindFieldRows(QStringLiteral("Orders"), 2, &label);
    EXPECT_EQ(label, QStringLiteral("Services"));
    EXPECT_EQ(services.at(15).column, QStringLiteral("(Jobs.DateIn + Items.Days2 - 1)"));

    EXPECT_EQ(PreferredFindField(QStringLiteral("Customer"), -1), 6);
    EXPECT_EQ(FindFieldRows(QStringLiteral("Customer")).at(6).label, QStringLiteral("Job Number"));
    EXPECT_EQ(PreferredFindField(QStringLiteral("Customers"), -1), -1);
}

TEST_F(FindDialogTest, AdvancedTextMustBeOneCondition)
{
    struct Case
    {
        const char *text;
        bool accepted;
    };
    const Case cases[] = {
        {"(Jobs.JobNo = 5) and (Jobs.Title like \"a;b*\")", true},
        {"Jobs.Balance > 0", true},
        {"; DELETE FROM Jobs", false},
        {"Jobs.JobNo = 1; DELETE FROM Jobs", false},
        {"Jobs.JobNo = 1;", false},
        {"Jobs.JobNo = ", false},
        {"(Jobs.JobNo = 1))", false},
    };
    for (const Case &c : cases) {
        QString error;
        EXPECT_EQ(IsSingleFindExpression(QString::fromUtf8(c.text), error), c.accepted) << c.text;
        EXPECT_EQ(error.isEmpty(), c.accepted) << c.text;
    }
}

TEST_F(FindDialogTest, FiltersCountTheRowsSqliteCounts)
{
    addJob(0, 1200, QStringLiteral("Title, CusNo, Balance, DateIn"),
           QStringLiteral("'Summer mailer', 100, 150, #6/10/2024#"));
    addJob(0, 1201, QStringLiteral("Title, CusNo, Balance, DateIn"),
           QStringLiteral("'O''Brien cards', 100, 20, #6/3/2024#"));
    addJob(0, 1202, QStringLiteral("Title, CusNo, Balance, DateIn"),
           QStringLiteral("'Acme letterhead', 100, 1234567, #5/30/2024#"));
    addJob(1, 7, QStringLiteral("Title, CusNo, Balance, DateIn"), QStringLiteral("'acme flyer', 100, 0, #6/12/2024#"));
    struct Case
    {
        QString condition;
        const char *sqlite;
    };
    const QDate d1(2024, 6, 9), d2(2024, 6, 15);
    FindChoice week;
    week.column = QStringLiteral("Jobs.DateIn");
    week.type = 8;
    week.operatorRow = 6;
    week.operatorLabel = QStringLiteral("this   week");
    week.date1 = d1;
    week.date2 = d2;
    const Case cases[] = {
        {condition(10, "Jobs.Title", "contains", "mailer"), "Jobs.Title LIKE '%mailer%'"},
        {condition(10, "Jobs.Title", "starts with", "acme"), "Jobs.Title LIKE 'acme%'"},
        {condition(10, "Jobs.Title", "does not contain", "acme"), "Jobs.Title NOT LIKE '%acme%'"},
        {condition(10, "Jobs.Title", "starts with", "O'Brien"), "Jobs.Title LIKE 'O''Brien%'"},
        {condition(10, "Jobs.Title", "contains", "1 or 1=1"), "Jobs.Title LIKE '%1 or 1=1%'"},
        {condition(5, "Jobs.Balance", " >    greater than", "100"), "Jobs.Balance > 100"},
        {condition(4, "Jobs.JobNo", "is     between", "1201", "1234567"), "Jobs.JobNo BETWEEN 1201 AND 1234567"},
        {condition(10, "Customers.Name", "starts with", "Acme"), "Customers.Name LIKE 'Acme%'"},
        {BuildFindCondition(week), "Jobs.JobNo IN (1200, 7)"},
    };
    for (const Case &c : cases) {
        ASSERT_FALSE(c.condition.isEmpty());
        EXPECT_EQ(countThroughTranslator(c.condition), countWithSqlite(QString::fromLatin1(c.sqlite)))
            << c.condition.toStdString();
    }
    // The injection attempt found nothing and changed nothing.
    EXPECT_EQ(countThroughTranslator(condition(10, "Jobs.Title", "contains", "1 or 1=1")), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Jobs")).toInt(), 4);
}

TEST_F(FindDialogTest, DialogDefaultsAndConditions)
{
    // The default text comparison is "starts with"; with the setting on it is "contains".
    for (int setting : {0, 1}) {
        app->WriteSettingInt(QStringLiteral("Find 'if contains'"), setting);
        FindRequest request;
        request.kind = QStringLiteral("Jobs");
        request.fieldIndex = 1; // Job Title
        onDialog<CFindDlg>([&](CFindDlg &dlg) {
            EXPECT_EQ(dlg.operators()->currentItem()->text(),
                      setting ? QStringLiteral("contains") : QStringLiteral("starts with"));
            dlg.value1Edit()->setText(QStringLiteral("Acme"));
            dlg.OnValueChanged();
            EXPECT_EQ(dlg.windowTitle(), setting ? QStringLiteral("(Jobs.Title like \"*Acme*\")")
                                                 : QStringLiteral("(Jobs.Title like \"Acme*\")"));
            if (setting == 0)
                snapshot(dlg, QStringLiteral("find-simple"));
            dlg.SendCommand(1);
            return 1;
        });
        EXPECT_EQ(CFindDlg::Run(request, nullptr), 1);
        EXPECT_EQ(request.filter, setting ? QStringLiteral("(Jobs.Title like \"*Acme*\")")
                                          : QStringLiteral("(Jobs.Title like \"Acme*\")"));
        EXPECT_EQ(request.listLabel, QStringLiteral("Orders"));
    }
}

TEST_F(FindDialogTest, DialogPresetsAndForms)
{
    // "Items" never opens in the advanced form; a list index past the list selects row 0.
    {
        FindRequest request;
        request.kind = QStringLiteral("Items");
        request.advanced = true;
        onDialog<CFindDlg>([&](CFindDlg &dlg) {
            EXPECT_FALSE(dlg.m_bAdvanced);
            EXPECT_FALSE(dlg.filterEdit()->isVisible());
            return 2;
        });
        EXPECT_EQ(CFindDlg::Run(request, nullptr), 2);
    }
    {
        FindRequest request;
        request.kind = QStringLiteral("Services");
        request.listIndex = 5;
        request.fieldIndex = -1;
        onDialog<CFindDlg>([&](CFindDlg &dlg) {
            EXPECT_EQ(dlg.jobLists()->currentRow(), 0);
            EXPECT_EQ(dlg.fields()->currentRow(), -1);
            EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Find"));
            return 2;
        });
        CFindDlg::Run(request, nullptr);
    }
    {
        FindRequest request;
        request.kind = QStringLiteral("Customer");
        request.fieldIndex = -1;
        onDialog<CFindDlg>([&](CFindDlg &dlg) {
            EXPECT_EQ(dlg.fields()->currentItem()->text(), QStringLiteral("Job Number"));
            dlg.value1Edit()->setText(QStringLiteral("12a.5.3"));
            dlg.OnValueChanged();
            EXPECT_EQ(dlg.value1Edit()->text(), QStringLiteral("12"));
            EXPECT_EQ(dlg.windowTitle(), QStringLiteral("(Jobs.JobNo = 12)"));
            // A text with no number at all stays as typed and gives no
            // condition; Find Now and Add to Filter refuse it naming the
            // field, the dialog staying open, never a search without it.
            // "between" takes both values so: either one without a digit.
            const struct
            {
                int op; // 0 "=     equal", 6 "is     between"
                const char *v1, *v2;
            } typedCases[] = {{0, "abc", ""}, {0, "-", ""}, {0, "$", ""}, {6, "100", "abc"}, {6, "abc", "100"}};
            for (const auto &typed : typedCases) {
                SCOPED_TRACE(std::string(typed.v1) + " / " + typed.v2);
                dlg.operators()->setCurrentRow(typed.op);
                dlg.value1Edit()->setText(QString::fromLatin1(typed.v1));
                dlg.value2Edit()->setText(QString::fromLatin1(typed.v2));
                dlg.OnValueChanged();
                EXPECT_EQ(dlg.value1Edit()->text(), QString::fromLatin1(typed.v1));
                EXPECT_EQ(dlg.value2Edit()->text(), QString::fromLatin1(typed.v2));
                EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Find"));
                for (int command : {1, 30404}) {
                    prompts().clear();
                    prompts().answer(platform::IDOK);
                    dlg.SendCommand(command);
                    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Job Number: Please enter a number.")});
                    EXPECT_EQ(dlg.result(), 0);
                    EXPECT_TRUE(dlg.m_strFilter.isEmpty());
                }
            }
            return 2;
        });
        EXPECT_EQ(CFindDlg::Run(request, nullptr), 2);
        EXPECT_TRUE(request.filter.isEmpty());
    }
    // The schedule's "Orders" with its item list: the item rows and their label.
    {
        FindRequest request;
        request.kind = QStringLiteral("Orders");
        request.listIndex = 10;
        request.showAdvancedBox = false;
        request.fieldIndex = 13;
        onDialog<CFindDlg>([&](CFindDlg &dlg) {
            EXPECT_EQ(dlg.fields()->count(), 19);
            EXPECT_EQ(dlg.fields()->currentItem()->text(), QStringLiteral("Item Description"));
            EXPECT_FALSE(dlg.advancedBox()->isVisible());
            dlg.value1Edit()->setText(QStringLiteral("poster"));
            dlg.OnValueChanged();
            dlg.SendCommand(1);
            return 1;
        });
        ASSERT_EQ(CFindDlg::Run(request, nullptr), 1);
        EXPECT_EQ(request.listLabel, QStringLiteral("Items"));
        EXPECT_EQ(request.filter, QStringLiteral("(Items.Description like \"poster*\")"));
    }
    // A date field: "this week" fills both pickers; the next row the month.
    {
        FindRequest request;
        request.kind = QStringLiteral("Jobs");
        request.fieldIndex = 12; // Date In
        onDialog<CFindDlg>([&](CFindDlg &dlg) {
            // Both pickers start at today, and so does the condition.
            EXPECT_EQ(dlg.picker1()->date(), QDate(2024, 6, 12));
            EXPECT_EQ(dlg.picker2()->date(), QDate(2024, 6, 12));
            EXPECT_EQ(dlg.windowTitle(), QStringLiteral("(Jobs.DateIn = #6/12/2024#)"));
            dlg.operators()->setCurrentRow(6);
            EXPECT_EQ(dlg.picker1()->date(), QDate(2024, 6, 9));
            EXPECT_EQ(dlg.picker2()->date(), QDate(2024, 6, 15));
            EXPECT_EQ(dlg.windowTitle(), QStringLiteral("(Jobs.DateIn between #6/9/2024# and #6/15/2024#)"));
            dlg.operators()->setCurrentRow(7);
            EXPECT_EQ(dlg.picker1()->date(), QDate(2024, 6, 1));
            EXPECT_EQ(dlg.picker2()->date(), QDate(2024, 6, 30));
            return 2;
        });
        CFindDlg::Run(request, nullptr);
    }
}

TEST_F(FindDialogTest, AdvancedFormJoinsConditionsAndRefusesStatements)
{
    FindRequest request;
    request.kind = QStringLiteral("Jobs");
    request.advanced = true;
    prompts().answer(platform::IDOK);
    onDialog<CFindDlg>([&](CFindDlg &dlg) {
        EXPECT_TRUE(dlg.filterEdit()->isVisible());
        EXPECT_EQ(dlg.fields()->item(0)->text(), QStringLiteral("Jobs.JobID"));
        EXPECT_EQ(dlg.advancedBox()->text(), QStringLiteral("Hide Ad&vanced Find"));
        const int jobNo = int(dlg.fields()->findItems(QStringLiteral("Jobs.JobNo"), Qt::MatchExactly)
                                  .value(0)
                                  ->listWidget()
                                  ->row(dlg.fields()->findItems(QStringLiteral("Jobs.JobNo"), Qt::MatchExactly)[0]));
        dlg.fields()->setCurrentRow(jobNo);
        dlg.value1Edit()->setText(QStringLiteral("5"));
        dlg.OnValueChanged();
        dlg.OnAddToFilter();
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Find"));
        dlg.value1Edit()->setText(QStringLiteral("9"));
        dlg.OnValueChanged();
        dlg.OnAddToFilter();
        EXPECT_EQ(dlg.filterEdit()->text(), QStringLiteral("(Jobs.JobNo = 5) and (Jobs.JobNo = 9)"));
        dlg.sortList()->setCurrentIndex(dlg.sortList()->findText(QStringLiteral("Jobs.Title")));
        dlg.sortDirection()->setCurrentIndex(1);
        snapshot(dlg, QStringLiteral("find-advanced"));
        // A statement typed into the filter is refused and kept for correcting.
        dlg.filterEdit()->setText(QStringLiteral("; DELETE FROM Jobs"));
        dlg.SendCommand(1);
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(dlg.filterEdit()->text(), QStringLiteral("; DELETE FROM Jobs"));
        dlg.filterEdit()->setText(QStringLiteral("(Jobs.JobNo = 5) and (Jobs.JobNo = 9)"));
        dlg.SendCommand(1);
        return 1;
    });
    EXPECT_EQ(CFindDlg::Run(request, nullptr), 1);
    EXPECT_TRUE(prompts().texts().value(0).startsWith(QStringLiteral("This filter cannot be used:\n\n; DELETE FROM Jobs")));
    EXPECT_EQ(request.filter, QStringLiteral("(Jobs.JobNo = 5) and (Jobs.JobNo = 9)"));
    EXPECT_EQ(request.sort, QStringLiteral("Jobs.Title DESC"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Jobs")).toInt(), 0);
}

TEST_F(FindDialogTest, EmptyFilterAsksFirst)
{
    FindRequest request;
    request.kind = QStringLiteral("Jobs");
    request.fieldIndex = 1;
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDNO);
    onDialog<CFindDlg>([&](CFindDlg &dlg) {
        dlg.SendCommand(1);
        EXPECT_TRUE(dlg.isVisible()); // Yes: the user goes on choosing
        dlg.SendCommand(1);
        return 1;
    });
    EXPECT_EQ(CFindDlg::Run(request, nullptr), 1);
    EXPECT_EQ(prompts().texts().value(0),
              QStringLiteral("You did not specify any filter!\n(this may result in a long list)\n\nWould you like to "
                             "specify a filter?"));
    EXPECT_TRUE(request.filter.isEmpty());
}

TEST_F(FindDialogTest, ListPickerRunsTheFindDialog)
{
    InstallFindDialogs();
    onDialog<CFindDlg>([&](CFindDlg &dlg) {
        EXPECT_EQ(dlg.m_strKind, QStringLiteral("Customers"));
        dlg.value1Edit()->setText(QStringLiteral("Acme"));
        dlg.OnValueChanged();
        dlg.SendCommand(1);
        return 1;
    });
    onDialog<CDlgList>([&](CDlgList &list) {
        EXPECT_EQ(list.m_strFilter, QStringLiteral("(Customers.Name like \"Acme*\")"));
        return 2;
    });
    CDlgList list(QStringLiteral("Find"), QStringLiteral("Customers"), QStringLiteral("Customers"), 0, 0, 2, 210,
                  nullptr);
    list.DoModal();
    RemoveFindDialogs();
}

} // namespace
