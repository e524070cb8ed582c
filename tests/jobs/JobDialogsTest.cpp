#include "JobsFixture.h"
#include "support/TypeInto.h"

#include "controls/CXStatic.h"
#include "controls/DlgItem.h"
#include "data/CJobSet.h"
#include "app/base/MoneyText.h"
#include "data/DialogFieldExchange.h"
#include "jobs/CJobBalance.h"
#include "jobs/CJobDlg.h"
#include "jobs/CJobWhen.h"
#include "support/ToolRun.h"
#include "views/CDlgRibbon.h"

#include "controls/DlgItem.h"

#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCalendarWidget>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QLineEdit>

#include <functional>

namespace {

class JobDialogs : public JobsTest
{
protected:
    void SetUp() override
    {
        JobsTest::SetUp();
        setJobWindowSettings(QStringLiteral("0,0,0,0,0,1,1,0,0,0,0,"));
    }
    // Types into a field and leaves it, as the user does.
    static void type(CJobBalance &d, unsigned id, const QString &text)
    {
        QLineEdit *e = d.edit(id);
        e->setFocus();
        e->setText(text);
        emit e->textEdited(text);
        emit e->editingFinished();
    }
    static QString field(CJobBalance &d, unsigned id) { return d.edit(id)->text(); }
    static void choose(QComboBox *combo, int data)
    {
        combo->setCurrentIndex(combo->findData(data));
        emit combo->activated(combo->currentIndex());
    }
    // An order for 100 in cards, Net terms, opened for editing in `job`.
    qint32 openCardsOrder(qint32 jobNo, CJobSet &job)
    {
        const qint32 id = addJob(0, jobNo, QStringLiteral("Title, Subtotal, Balance, TermsNo"),
                                 QStringLiteral("'Cards', 100, 100, 1"));
        addItem(id, 1, QStringLiteral("Cards"), "100");
        EXPECT_TRUE(job.FindById(id, true));
        return id;
    }
    void requireOrderOptions(int bits)
    {
        exec(QStringLiteral("DELETE FROM Options WHERE OptionID = 44308"));
        exec(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (44308, %1)").arg(bits));
    }
};

} // namespace

TEST_F(JobDialogs, TotalsFollowTheJobsMoneyRules)
{
    // Tax code 0 ("Exempt") has no taxable amount at all; the taxable share
    // shows with a taxed code at 0 %.
    exec(QStringLiteral("INSERT INTO Taxes ([No], Name, TaxPercent, TaxShipping, RoundUp, Type, TaxPostage, Sort) "
                        "VALUES (5, 'Out of state', 0, 0, 0, 1, 0, 5)"));
    const qint32 id = addJob(0, 2001, QStringLiteral("Title, Subtotal, Balance, TaxNo, TermsNo"),
                             QStringLiteral("'Brochures', 100, 100, 5, 1"));
    addItem(id, 1, QStringLiteral("Brochure"), "60");
    addItem(id, 2, QStringLiteral("Design"), "40", 1);
    CJobSet job;
    ASSERT_TRUE(job.FindById(id, true));
    CJobBalance totals(nullptr);
    totals.m_pJob = &job;
    totals.m_bReceivables = true;
    onDialog<CJobBalance>([&](CJobBalance &d) {
        EXPECT_EQ(field(d, 1301), QStringLiteral("100.00"));
        EXPECT_FALSE(d.IsItemVisible(1312));
        type(d, 1303, QStringLiteral("10"));
        EXPECT_EQ(field(d, 1303), QStringLiteral("10.00"));
        EXPECT_EQ(field(d, 1302), QStringLiteral("-10.00"));
        EXPECT_EQ(job.m_Taxable, money("54"));
        // A rate that is no rate of 0 to 100 to the hundredth is refused,
        // naming the field, never cut to 100 or turned: the discount stays.
        for (const char *bad : {"101", "-5", "abc", "12.345", "10,5"}) {
            prompts().clear();
            prompts().answer(platform::IDOK);
            type(d, 1303, QString::fromLatin1(bad));
            EXPECT_EQ(prompts().texts(),
                      QStringList{QStringLiteral("Discount %: please enter a rate from 0 to 100, with at most two "
                                                 "decimals.")})
                << bad;
            EXPECT_EQ(job.m_Discount, money("-10")) << bad;
            EXPECT_EQ(field(d, 1302), QStringLiteral("-10.00")) << bad;
        }
        type(d, 1303, QStringLiteral("10 %"));
        EXPECT_EQ(field(d, 1303), QStringLiteral("10.00"));
        type(d, 1304, QStringLiteral("5"));
        EXPECT_EQ(field(d, 1307), QStringLiteral("95.00"));
        type(d, 1309, QStringLiteral("-30"));
        EXPECT_EQ(field(d, 1311), QStringLiteral("65.00"));
        // The commission fields, then the sales rep's rate on the subtotal.
        d.SendCommand(30215);
        EXPECT_TRUE(d.IsItemVisible(1312));
        choose(d.combo(1203), 8);
        EXPECT_EQ(field(d, 1313), QStringLiteral("2.50"));
        EXPECT_EQ(field(d, 1312), QStringLiteral("2.25"));
        prompts().clear();
        prompts().answer(platform::IDOK);
        type(d, 1313, QStringLiteral("101"));
        EXPECT_EQ(prompts().texts(),
                  QStringList{QStringLiteral("Commission %: please enter a rate from 0 to 100, with at most two "
                                             "decimals.")});
        EXPECT_EQ(field(d, 1312), QStringLiteral("2.25"));
        type(d, 1313, QStringLiteral("2.5"));
        EXPECT_EQ(d.GetItemText(1905), QStringLiteral("% of subtotal"));
        const QWidget *basis = GetDlgItem(&d, 1905);
        EXPECT_LE(basis->fontMetrics().horizontalAdvance(d.GetItemText(1905)), basis->width());
        EXPECT_LE(basis->geometry().right(), d.width());
        // A commission above its basis is the basis, at 100 %.
        type(d, 1312, QStringLiteral("200"));
        EXPECT_EQ(field(d, 1313), QStringLiteral("100.00"));
        EXPECT_EQ(field(d, 1312), QStringLiteral("90.00"));
        // No sales rep: no rate.
        choose(d.combo(1203), 0);
        EXPECT_EQ(field(d, 1313), QStringLiteral("0.00"));
        // "No Charge" shows only for the marker, a zero amount as 0.00.
        EXPECT_EQ(field(d, 1305), QStringLiteral("0.00"));
        d.SendCommand(1);
        return d.result();
    });
    ASSERT_EQ(totals.DoModal(), 1);
    EXPECT_EQ(job.m_Discount, money("-10"));
    EXPECT_EQ(job.m_Shipping, money("5"));
    EXPECT_EQ(job.m_Paid, money("-30"));
    EXPECT_EQ(job.m_Balance, money("65"));
    // Nothing is saved by the dialog.
    EXPECT_EQ(scalar(QStringLiteral("SELECT Balance FROM Jobs WHERE JobID = %1").arg(id)).toMoney(), money("100"));

    // A rate typed is kept with the job and comes back as typed, saved and
    // opened again, not as the rate of its rounded amount (worked by hand):
    // 10 % of 810.26 is 81.026, a discount of 81.03 (10.0049 %); 10 % of 8.15
    // is 0.815, 0.82 (10.06 %); 12.5 % of 3.61 is 0.45125, 0.45 (12.47 %);
    // 0.5 % of 10.65 is 0.05325, 0.05 (0.47 %).
    const struct
    {
        qint32 jobNo;
        const char *subtotal, *typed, *shown, *discount, *total;
        qint32 hundredths;
    } rates[] = {{2005, "810.26", "10", "10.00", "-81.03", "729.23", 1000},
                 {2006, "8.15", "10", "10.00", "-0.82", "7.33", 1000},
                 {2007, "3.61", "12.5", "12.50", "-0.45", "3.16", 1250},
                 {2008, "10.65", ".5", "0.50", "-0.05", "10.60", 50}};
    const auto openTotals = [&](CJobSet &j, const std::function<void(CJobBalance &)> &work) {
        CJobBalance rate(nullptr);
        rate.m_pJob = &j;
        rate.m_bReceivables = true;
        onDialog<CJobBalance>([&](CJobBalance &d) {
            work(d);
            d.SendCommand(1);
            return d.result();
        });
        ASSERT_EQ(rate.DoModal(), 1);
        const qint32 jobId = j.m_JobID;
        ASSERT_TRUE(j.SaveRecord());
        ASSERT_TRUE(j.FindById(jobId, true));
    };
    for (const auto &r : rates) {
        const qint32 rated = addJob(0, r.jobNo, QStringLiteral("Title, Subtotal, Balance, TaxNo, TermsNo"),
                                    QStringLiteral("'Posters', %1, %1, 0, 1").arg(QString::fromLatin1(r.subtotal)));
        addItem(rated, 1, QStringLiteral("Posters"), r.subtotal);
        CJobSet ratedJob;
        ASSERT_TRUE(ratedJob.FindById(rated, true));
        for (int opening = 0; opening < 2; ++opening) {
            openTotals(ratedJob, [&](CJobBalance &d) {
                if (opening == 0)
                    type(d, 1303, QString::fromLatin1(r.typed));
                EXPECT_EQ(field(d, 1303), QString::fromLatin1(r.shown)) << r.subtotal << " " << opening;
                EXPECT_EQ(field(d, 1302), QString::fromLatin1(r.discount)) << r.subtotal << " " << opening;
                EXPECT_EQ(field(d, 1307), QString::fromLatin1(r.total)) << r.subtotal << " " << opening;
            });
        }
        // The job record itself gives the rate as typed.
        EXPECT_EQ(ratedJob.m_DiscountRate, r.hundredths) << r.subtotal;
    }

    // A discount amount typed over a typed rate: the rate shown is the
    // amount's, also when the old rate would give that amount (0.82 of 8.15
    // is 10.06 %; 0.80 of 8.15 is 9.816 %), and stays so when opened again.
    const qint32 eights = scalar(QStringLiteral("SELECT JobID FROM Jobs WHERE JobNo = 2006")).toInt();
    CJobSet eightsJob;
    ASSERT_TRUE(eightsJob.FindById(eights, true));
    const struct
    {
        const char *amount, *rate, *total;
    } amounts[] = {{"-.82", "10.06", "7.33"}, {"-0.80", "9.82", "7.35"}};
    for (const auto &a : amounts) {
        for (int opening = 0; opening < 2; ++opening) {
            openTotals(eightsJob, [&](CJobBalance &d) {
                if (opening == 0) {
                    type(d, 1303, QStringLiteral("10"));
                    EXPECT_EQ(field(d, 1303), QStringLiteral("10.00"));
                    type(d, 1302, QString::fromLatin1(a.amount));
                }
                EXPECT_EQ(field(d, 1303), QString::fromLatin1(a.rate)) << a.amount << " " << opening;
                EXPECT_EQ(field(d, 1307), QString::fromLatin1(a.total)) << a.amount << " " << opening;
            });
        }
    }
    // A rate kept with a job whose discount was changed since (by another
    // copy of the program that keeps no rate): the rate is the amount's.
    const qint32 changed = addJob(0, 2009, QStringLiteral("Title, Subtotal, Discount, Balance, TaxNo, TermsNo, PrintOption2"),
                                  QStringLiteral("'Posters', 100, -15, 85, 0, 1, 1000"));
    addItem(changed, 1, QStringLiteral("Posters"), "100");
    CJobSet changedJob;
    ASSERT_TRUE(changedJob.FindById(changed, true));
    openTotals(changedJob, [&](CJobBalance &d) { EXPECT_EQ(field(d, 1303), QStringLiteral("15.00")); });
}

TEST_F(JobDialogs, ARefusedAmountIsSaidOnceAndChangesNothing)
{
    CJobSet job;
    const qint32 id = openCardsOrder(2003, job);
    CJobBalance totals(nullptr);
    totals.m_pJob = &job;
    // Each refusal names its field.
    const QStringList once{QStringLiteral("Shipping: Please enter a currency.")};
    onDialog<CJobBalance>([&](CJobBalance &d) {
        // Typed and confirmed with OK at once: one message, the dialog stays.
        QLineEdit *shipping = d.edit(1304);
        shipping->setFocus();
        shipping->setText(QStringLiteral("abc"));
        emit shipping->textEdited(shipping->text());
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_EQ(prompts().texts(), once);
        EXPECT_TRUE(d.isVisible());
        // Too large for an amount, and the field left: one message again.
        shipping->setText(QStringLiteral("0.00"));
        prompts().clear();
        prompts().answer(platform::IDOK);
        type(d, 1305, QStringLiteral("99999999999999999"));
        EXPECT_EQ(prompts().texts(),
                  QStringList{QStringLiteral("Postage: Please enter an amount from -100,000,000,000.00 to "
                                             "100,000,000,000.00.")});
        // Put right and confirmed: the dialog ends with what it had.
        d.edit(1305)->setText(QStringLiteral("0.00"));
        prompts().clear();
        d.SendCommand(1);
        EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();
        return d.result();
    });
    const QString columns = QStringLiteral("SELECT Shipping, Postage, Subtotal, Tax, Balance FROM Jobs WHERE JobID = %1")
                                .arg(id);
    const QString before = SqliteRows(databasePath(), columns);
    EXPECT_EQ(before, QStringLiteral("||100||100"));
    EXPECT_EQ(totals.DoModal(), 1);
    EXPECT_EQ(job.m_Shipping, Money());
    EXPECT_EQ(job.m_Postage, Money());
    EXPECT_EQ(job.m_Balance, money("100"));
    // The job window saves the record after OK: the stored row is as it was.
    EXPECT_TRUE(job.SaveRecord());
    EXPECT_EQ(SqliteRows(databasePath(), columns), before);
}

// An amount that would take one of the job's figures past the largest
// amount the program takes is refused naming the field and the figure; the
// job keeps what it had. To the cent at the largest, it is taken. The order
// is 100.00 in cards.
TEST_F(JobDialogs, AnAmountTakingTheTotalPastTheLargestIsRefused)
{
    exec(QStringLiteral("INSERT INTO Taxes ([No], Name, TaxPercent, TaxShipping, TaxPostage, RoundUp, Sort) VALUES "
                        "(1, 'State 8.25%', 82500, 0, 0, 0, 1)"));
    CJobSet job;
    openCardsOrder(2005, job);
    CJobBalance totals(nullptr);
    totals.m_pJob = &job;
    const QString total =
        QStringLiteral("\"Total\" cannot be more than 100,000,000,000.00, the largest amount it holds.");
    struct Case
    {
        unsigned id;
        const char *typed;
        const char *refusal; // null: taken
        const char *total;   // the Total shown afterwards
    };
    const Case cases[] = {
        {1304, "99,999,999,900.01", "Shipping: ", "100.00"},
        {1304, "99,999,999,900.00", nullptr, "100000000000.00"},
        {1305, "0.01", "Postage: ", "100000000000.00"},
        {1304, "0", nullptr, "100.00"},
        {1305, "99999999900.01", "Postage: ", "100.00"},
        {1305, "99999999899.99", nullptr, "99999999999.99"},
    };
    onDialog<CJobBalance>([&](CJobBalance &d) {
        for (const Case &c : cases) {
            SCOPED_TRACE(c.typed);
            prompts().clear();
            if (c.refusal) {
                prompts().answer(platform::IDOK);
                type(d, c.id, QString::fromLatin1(c.typed));
                EXPECT_EQ(prompts().texts(), QStringList{QLatin1String(c.refusal) + total});
                // Put right: the figure the job had.
                d.edit(c.id)->setText(c.id == 1304 ? FormatMoney(job.m_Shipping) : FormatMoney(job.m_Postage));
            } else {
                type(d, c.id, QString::fromLatin1(c.typed));
                EXPECT_EQ(prompts().texts(), QStringList());
            }
            EXPECT_EQ(field(d, 1307), QLatin1String(c.total));
            EXPECT_EQ(FormatMoney(job.m_TotalAmount), QLatin1String(c.total));
        }
        // A tax of 8.25 % on the 100.00 of cards would add 8.25 to it.
        prompts().clear();
        prompts().answer(platform::IDOK);
        choose(d.combo(1201), 1);
        EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Tax: ") + total});
        EXPECT_EQ(d.combo(1201)->currentData().toInt(), 0);
        EXPECT_EQ(job.m_Tax, Money());
        EXPECT_EQ(field(d, 1307), QStringLiteral("99999999999.99"));
        d.SendCommand(1);
        return d.result();
    });
    EXPECT_EQ(totals.DoModal(), 1);
    EXPECT_EQ(job.m_Postage, money("99999999899.99"));
    EXPECT_EQ(job.m_Balance, money("99999999999.99"));
}

TEST_F(JobDialogs, AnAmountCorrectedAfterARefusalIsAppliedOnLeavingTheField)
{
    CJobSet job;
    openCardsOrder(2004, job);
    CJobBalance totals(nullptr);
    totals.m_pJob = &job;
    onDialog<CJobBalance>([&](CJobBalance &d) {
        d.show();
        QApplication::setActiveWindow(&d);
        QLineEdit *shipping = d.edit(1304);
        for (const char *typed : {"abc", "5"}) {
            // Typed over the selected text and left with Tab, as a user does.
            shipping->setFocus();
            shipping->selectAll();
            if (QString::fromLatin1(typed) == QLatin1String("abc"))
                prompts().answer(platform::IDOK);
            QTest::keyClicks(shipping, QString::fromLatin1(typed));
            emit shipping->editingFinished();
        }
        EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Shipping: Please enter a currency.")});
        EXPECT_EQ(field(d, 1304), QStringLiteral("5.00"));
        EXPECT_EQ(field(d, 1307), QStringLiteral("105.00"));
        EXPECT_EQ(field(d, 1311), QStringLiteral("105.00"));
        d.SendCommand(1);
        return d.result();
    });
    EXPECT_EQ(totals.DoModal(), 1);
    EXPECT_EQ(job.m_Shipping, money("5"));
    EXPECT_EQ(job.m_Balance, money("105"));
}

TEST_F(JobDialogs, TotalsFromAnOrderWindowCannotTouchPaymentsAndCancelKeepsEarlierChanges)
{
    CJobSet job;
    openCardsOrder(2002, job);
    // A change made before the dialog opened (as the item list's refill makes).
    job.m_Cost = money("12");
    CJobBalance totals(nullptr);
    totals.m_pJob = &job;
    onDialog<CJobBalance>([&](CJobBalance &d) {
        for (unsigned id : {1308u, 1309u, 1310u})
            EXPECT_FALSE(d.edit(id)->isEnabled()) << id;
        type(d, 1303, QStringLiteral("10"));
        EXPECT_EQ(job.m_Discount, money("-10"));
        d.SendCommand(2);
        return d.result();
    });
    EXPECT_EQ(totals.DoModal(), 2);
    EXPECT_EQ(job.m_Discount, Money());
    EXPECT_EQ(job.m_Cost, money("12"));
    EXPECT_EQ(job.GetEditMode(), int(CXDaoSet::dbEditInProgress));
}

TEST_F(JobDialogs, HistoryInvoicePaidOffInTheWindowIsDatedAndSavedInPreview)
{
    const qint32 id = addJob(3, 2003, QStringLiteral("Title, Subtotal, Balance, TermsNo, DateShipped"),
                             QStringLiteral("'Posted', 50, 50, 1, #5/1/2024#"));
    addItem(id, 1, QStringLiteral("Cards"), "50");
    CDlgRibbon receivables(9001, nullptr); // a record window as the opener
    CJobSet job;
    ASSERT_TRUE(job.FindById(id, false));
    CJobDlg window(&job, true, nullptr, &receivables);
    onDialog<CJobDlg>([&](CJobDlg &d) {
        EXPECT_TRUE(d.isPreview());
        EXPECT_TRUE(enabled(d.notesBar(), 30525));
        onDialog<CJobBalance>([&](CJobBalance &t) {
            EXPECT_TRUE(t.edit(1309)->isEnabled());
            type(t, 1309, QStringLiteral("-50"));
            EXPECT_EQ(field(t, 1311), QStringLiteral("0.00"));
            snapshot(t, QStringLiteral("totals"));
            t.SendCommand(1);
            return t.result();
        });
        d.SendCommand(30525);
        EXPECT_EQ(d.notesBar().GetItemText(30415), QStringLiteral("Paid-in-Full"));
        d.SendCommand(2);
        return d.result();
    });
    window.DoModal();
    EXPECT_EQ(scalar(QStringLiteral("SELECT Paid FROM Jobs WHERE JobID = %1").arg(id)).toMoney(), money("-50"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Balance FROM Jobs WHERE JobID = %1").arg(id)).toMoney(), Money());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Format(DatePaid, 'mm/dd/yyyy') FROM Jobs WHERE JobID = %1").arg(id))
                  .toString(),
              QStringLiteral("06/12/2024"));
    // The posted invoice's change is in the audit trail.
    EXPECT_EQ(scalar(QStringLiteral("SELECT Paid FROM AuditTrail WHERE JobNo = 2003")).toMoney(), money("-50"));
}

TEST_F(JobDialogs, DatesMarkIncompleteInformationInRed)
{
    requireOrderOptions(16 | 4);
    const qint32 id = addJob(0, 2010, QStringLiteral("Title, PO, TermsNo, ViaDue"), QStringLiteral("'', '?', 1, 0"));
    CJobSet job;
    ASSERT_TRUE(job.FindById(id, true));
    CJobWhen when(&job, nullptr);
    onDialog<CJobWhen>([&](CJobWhen &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("When (incomplete information is in red)"));
        for (unsigned label : {1901u, 1907u, 1911u, 1903u, 1909u})
            EXPECT_TRUE(d.isMarked(label)) << label;
        for (unsigned label : {1904u, 1905u, 1906u})
            EXPECT_FALSE(d.isMarked(label)) << label;
        EXPECT_EQ(d.combo(1201)->currentText(), QStringLiteral("Store1"));
        EXPECT_EQ(d.combo(1203)->count(), 4);
        snapshot(d, QStringLiteral("dates"));
        d.combo(1201)->setCurrentIndex(4);
        d.combo(1230)->setCurrentText(QStringLiteral("Flyers"));
        d.SendCommand(1);
        return d.result();
    });
    ASSERT_EQ(when.DoModal(), 1);
    EXPECT_EQ(job.m_Location, 4);
    EXPECT_EQ(job.m_Title, QStringLiteral("Flyers"));

    const qint32 history = addJob(3, 2011);
    CJobSet posted;
    ASSERT_TRUE(posted.FindById(history, true));
    CJobWhen historyWhen(&posted, nullptr);
    onDialog<CJobWhen>([&](CJobWhen &d) {
        EXPECT_TRUE(d.isMarked(1905));
        EXPECT_FALSE(d.isMarked(1901));
        d.SendCommand(2);
        return d.result();
    });
    historyWhen.DoModal();
}

// A time refused in the When box puts back the time shown before it was
// typed, the one kept from the last typing included, and OK saves that.
TEST_F(JobDialogs, ARefusedDueTimePutsBackTheTimeShownBeforeIt)
{
    const qint32 id =
        addJob(0, 2015, QStringLiteral("Title, TimeDue, TermsNo"), QStringLiteral("'Cards', '4:30 PM', 1"));
    CJobSet job;
    ASSERT_TRUE(job.FindById(id, true));
    CJobWhen when(&job, nullptr);
    onDialog<CJobWhen>([&](CJobWhen &d) {
        QLineEdit *due = d.combo(1204)->lineEdit();
        EXPECT_EQ(due->text(), QStringLiteral("4:30 PM"));
        const struct
        {
            const char *typed;
            const char *shown;
            bool refused;
        } rows[] = {{"5:15 PM", "5:15 PM", false}, {"25:00", "5:15 PM", true}, {"10:75", "5:15 PM", true},
                    {"9:05 am", "9:05 am", false}, {"24:00", "9:05 am", true}};
        for (const auto &row : rows) {
            SCOPED_TRACE(row.typed);
            prompts().clear();
            if (row.refused)
                prompts().answer(platform::IDOK);
            due->setFocus();
            due->selectAll();
            QTest::keyClicks(due, QString::fromLatin1(row.typed));
            emit due->editingFinished();
            EXPECT_EQ(due->text(), QString::fromLatin1(row.shown));
            EXPECT_EQ(prompts().texts(),
                      row.refused ? QStringList{QStringLiteral("Job Due time: Please enter a time of day, such as "
                                                               "2:30 pm or 14:30.")}
                                  : QStringList());
        }
        // Typed again and OK pressed without leaving the field: refused the
        // same way at OK, the time kept before it shown and the box open.
        due->selectAll();
        QTest::keyClicks(due, QStringLiteral("25:00"));
        prompts().clear();
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_EQ(d.result(), 0);
        EXPECT_EQ(due->text(), QStringLiteral("9:05 am"));
        d.SendCommand(1);
        return d.result();
    });
    EXPECT_EQ(when.DoModal(), 1);
    EXPECT_EQ(job.m_TimeDue, QStringLiteral("9:05 am"));
}

// A discount amount above the subtotal is the subtotal: the tax is worked
// from that, nothing left to tax; an amount with a third decimal is refused
// naming its field.
TEST_F(JobDialogs, ADiscountAboveTheSubtotalLeavesNothingToTax)
{
    exec(QStringLiteral("INSERT INTO Taxes ([No], Name, TaxPercent, TaxShipping, RoundUp, Type, TaxPostage, Sort) "
                        "VALUES (7, 'Six', 60000, 0, 0, 1, 0, 7)"));
    const qint32 id = addJob(1, 2016, QStringLiteral("Title, Subtotal, Balance, TaxNo, TermsNo"),
                             QStringLiteral("'Cards', 45.50, 45.50, 7, 1"));
    addItem(id, 1, QStringLiteral("Cards"), "45.50");
    CJobSet job;
    ASSERT_TRUE(job.FindById(id, true));
    CJobBalance totals(nullptr);
    totals.m_pJob = &job;
    onDialog<CJobBalance>([&](CJobBalance &d) {
        for (const char *typed : {"100", "1,000", "45.51"}) {
            SCOPED_TRACE(typed);
            type(d, 1302, QString::fromLatin1(typed));
            EXPECT_EQ(field(d, 1302), QStringLiteral("-45.50"));
            EXPECT_EQ(field(d, 1303), QStringLiteral("100.00"));
            EXPECT_EQ(field(d, 1306), QStringLiteral("0.00"));
            EXPECT_EQ(field(d, 1307), QStringLiteral("0.00"));
            EXPECT_EQ(field(d, 1311), QStringLiteral("0.00"));
        }
        prompts().clear();
        prompts().answer(platform::IDOK);
        type(d, 1304, QStringLiteral("12.345"));
        EXPECT_EQ(prompts().texts(),
                  QStringList{QStringLiteral("Shipping: Please enter an amount with at most 2 decimals.")});
        EXPECT_EQ(job.m_Shipping, Money());
        type(d, 1304, QStringLiteral("0"));
        d.SendCommand(1);
        return d.result();
    });
    EXPECT_EQ(totals.DoModal(), 1);
    EXPECT_EQ(job.m_Discount, money("-45.50"));
    EXPECT_EQ(job.m_Tax, Money());
    EXPECT_EQ(job.m_Balance, Money());
}

TEST_F(JobDialogs, DatesAskAboutWeekendDates)
{
    const qint32 id = addJob(0, 2020, QStringLiteral("Title, DateProof, DateDue, TermsNo"),
                             QStringLiteral("'Cards', #6/15/2024#, #6/16/2024#, 1"));
    CJobSet job;
    ASSERT_TRUE(job.FindById(id, true));
    CJobWhen when(&job, nullptr);
    onDialog<CJobWhen>([&](CJobWhen &d) {
        prompts().answer(platform::IDYES);
        d.SendCommand(1);
        EXPECT_EQ(d.result(), 0); // stays open for the change
        EXPECT_EQ(prompts().lastText(),
                  QStringLiteral("Do you want to change weekend date(s)?\n\nProof Due Saturday\nJob Due Sunday"));
        prompts().answer(platform::IDNO);
        d.SendCommand(1);
        return d.result();
    });
    EXPECT_EQ(when.DoModal(), 1);

    // A shop that works on Saturdays is asked about the Sunday only.
    app->SetShopOptionsText(QStringLiteral("0,1,0,"));
    CJobWhen again(&job, nullptr);
    onDialog<CJobWhen>([&](CJobWhen &d) {
        prompts().answer(platform::IDNO);
        d.SendCommand(1);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Do you want to change weekend date(s)?\n\nJob Due Sunday"));
        return d.result();
    });
    EXPECT_EQ(again.DoModal(), 1);
}

TEST_F(JobDialogs, ReadyToPostIsRefusedUntilTheJobSupportsIt)
{
    const qint32 id = addJob(0, 2030, QStringLiteral("Title, TermsNo, Status"), QStringLiteral("'Cards', 1, 0"));
    CJobSet job;
    ASSERT_TRUE(job.FindById(id, true));
    CJobWhen when(&job, nullptr);
    onDialog<CJobWhen>([&](CJobWhen &d) {
        d.combo(1203)->setCurrentIndex(3);
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_EQ(d.result(), 0);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("To set Job Status as 'Ready to Post', you must:\n"
                                                       "\n\tPrint Invoice\n\tPrice Job\n\tSet Date Shipped"));
        EXPECT_EQ(d.combo(1203)->currentIndex(), 0);
        d.SendCommand(2);
        return d.result();
    });
    EXPECT_EQ(when.DoModal(), 2);
    EXPECT_EQ(job.m_Status, 0);

    const qint32 ready = addJob(0, 2031, QStringLiteral("Title, TermsNo, Status, InvoicePrinted, Subtotal, Balance, "
                                                        "DateShipped"),
                                QStringLiteral("'Cards', 1, 3, 1, 80, 80, #6/11/2024#"));
    addItem(ready, 1, QStringLiteral("Cards"), "80");
    CJobSet posted;
    ASSERT_TRUE(posted.FindById(ready, true));
    CJobWhen undo(&posted, nullptr);
    onDialog<CJobWhen>([&](CJobWhen &d) {
        d.combo(1203)->setCurrentIndex(0);
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("To undo Ready to Post, please uncheck Date Shipped."));
        EXPECT_EQ(d.combo(1203)->currentIndex(), 3);
        d.SendCommand(2);
        return d.result();
    });
    undo.DoModal();
    EXPECT_EQ(posted.m_Status, 3);

    // A quote's status change is never refused.
    const qint32 quote = addJob(1, 2032);
    CJobSet q;
    ASSERT_TRUE(q.FindById(quote, true));
    CJobWhen quoteWhen(&q, nullptr);
    onDialog<CJobWhen>([&](CJobWhen &d) {
        EXPECT_EQ(d.combo(1203)->itemText(4), QStringLiteral("Lost"));
        d.combo(1203)->setCurrentIndex(3);
        d.SendCommand(1);
        return d.result();
    });
    EXPECT_EQ(quoteWhen.DoModal(), 1);
    EXPECT_EQ(q.m_Status, 3);
}

TEST_F(JobDialogs, DatesCancelKeepsWhatTheRecordHeldBefore)
{
    const qint32 id = addJob(0, 2040);
    CJobSet job;
    ASSERT_TRUE(job.FindById(id, true));
    job.m_Cost = money("7.5");
    CJobWhen when(&job, nullptr);
    onDialog<CJobWhen>([&](CJobWhen &d) {
        d.combo(1230)->setCurrentText(QStringLiteral("Changed"));
        d.combo(1201)->setCurrentIndex(6);
        d.SendCommand(2);
        return d.result();
    });
    EXPECT_EQ(when.DoModal(), 2);
    EXPECT_EQ(job.m_Title, QStringLiteral("Business cards"));
    EXPECT_EQ(job.m_Location, 0);
    EXPECT_EQ(job.m_Cost, money("7.5"));
}

TEST_F(JobDialogs, CommissionFieldsNeedTheirRightOnce)
{
    usePasswords();
    const qint32 id = addJob(0, 2050, QStringLiteral("Title, Subtotal, Balance, TermsNo"),
                             QStringLiteral("'Cards', 100, 100, 1"));
    addItem(id, 1, QStringLiteral("Cards"), "100");
    CJobSet job;
    ASSERT_TRUE(job.FindById(id, true));
    CJobBalance totals(nullptr);
    totals.m_pJob = &job;
    onDialog<CJobBalance>([&](CJobBalance &d) {
        EXPECT_FALSE(d.combo(1203)->isEnabled());
        d.SendCommand(30215);
        EXPECT_EQ(passwordsAsked, 1);
        EXPECT_TRUE(d.IsItemVisible(1313));
        EXPECT_TRUE(d.combo(1203)->isEnabled());
        d.SendCommand(30215);
        EXPECT_EQ(passwordsAsked, 1);
        d.SendCommand(2);
        return d.result();
    });
    totals.DoModal();
}

// An empty date takes a typed date and keeps it when the field is left; its
// calendar opens on today's month, and an untouched empty date stays empty.
TEST_F(JobDialogs, ADateTypedIntoAnEmptyDateIsKept)
{
    const qint32 id = addJob(1, 2040, QStringLiteral("Title, TermsNo"), QStringLiteral("'Cards', 1"));
    CJobSet job;
    ASSERT_TRUE(job.FindById(id, true));
    CJobWhen when(&job, nullptr);
    onDialog<CJobWhen>([&](CJobWhen &d) {
        d.show();
        auto *due = qobject_cast<QDateEdit *>(GetDlgItem(&d, 2403));
        auto *proof = qobject_cast<QDateEdit *>(GetDlgItem(&d, 2402));
        EXPECT_EQ(due->text().trimmed(), QString());
        QTest::mouseClick(proof, Qt::LeftButton, {}, QPoint(proof->width() - 6, proof->height() / 2));
        runQueued();
        QCalendarWidget *calendar = proof->calendarWidget();
        EXPECT_EQ(calendar->yearShown(), 2024);
        EXPECT_EQ(calendar->monthShown(), 6);
        calendar->window()->hide();
        due->setFocus();
        QTest::keyClicks(due, QStringLiteral("06/20/2024"));
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(due, &out);
        EXPECT_EQ(due->date(), QDate(2024, 6, 20));
        d.SendCommand(1);
        return d.result();
    });
    ASSERT_EQ(when.DoModal(), 1);
    EXPECT_EQ(job.m_DateDue.date(), QDate(2024, 6, 20));
    EXPECT_TRUE(job.m_DateProof.isNull());

    // "25" in an empty Reorder or Proof Due date is refused naming the field;
    // the field shows no date again and OK stores none, never today's date.
    for (const auto &[id, name] : {std::pair{2405u, "Reorder"}, std::pair{2402u, "Proof Due"}}) {
        SCOPED_TRACE(name);
        CJobWhen again(&job, nullptr);
        prompts().clear();
        onDialog<CJobWhen>([&](CJobWhen &d) {
            d.show();
            auto *picker = qobject_cast<QDateEdit *>(GetDlgItem(&d, id));
            EXPECT_TRUE(PickerShowsNoDate(picker));
            prompts().answer(platform::IDOK);
            typing::enter(picker, typing::Entry::Tab);
            typing::typeAndLeave(picker, QStringLiteral("25"));
            EXPECT_EQ(prompts().texts(),
                      QStringList{QStringLiteral("%1: 25 is no date. Please enter a date as month/day/year.")
                                      .arg(QString::fromLatin1(name))});
            EXPECT_TRUE(PickerShowsNoDate(picker));
            d.SendCommand(1);
            return d.result();
        });
        ASSERT_EQ(again.DoModal(), 1);
        ASSERT_TRUE(job.SafeUpdate());
        CJobSet saved;
        ASSERT_TRUE(saved.FindById(job.m_JobID, false));
        EXPECT_TRUE(saved.m_DateReorder.isNull());
        EXPECT_TRUE(saved.m_DateProof.isNull());
        EXPECT_EQ(saved.m_DateDue.date(), QDate(2024, 6, 20));
        ASSERT_TRUE(job.SafeEdit());
    }
}

// The proof time field holds 5 characters, the due time 10. A time typed the
// long way is kept in the short form of the time lists; a text that is no
// time and too long is refused with the field's length message, the dialog
// staying open with the other fields as typed; the job then saves.
TEST_F(JobDialogs, ATypedTimeFitsItsFieldAndARefusalKeepsTheOtherFields)
{
    const qint32 id = addJob(0, 2060, QStringLiteral("Title, TermsNo"), QStringLiteral("'Cards', 1"));
    CJobSet job;
    ASSERT_TRUE(job.FindById(id, true));
    const struct
    {
        const char *proof, *due, *proofKept, *dueKept;
    } fits[] = {
        {"10:00 AM", "10:00 AM", "10 am", "10:00 AM"},
        {"2:30 p.m.", "2:30 p.m.", "14:30", "2:30 p.m."},
        {"12:00 PM", "12:00 noon", "Noon", "12:00 noon"},
        {"12:00 AM", "4 pm", "00:00", "4 pm"},
        {"8 am", "11:15 P. M.", "8 am", "23:15"},
    };
    for (const auto &c : fits) {
        CJobWhen when(&job, nullptr);
        onDialog<CJobWhen>([&](CJobWhen &d) {
            qobject_cast<QDateEdit *>(GetDlgItem(&d, 2402))->setDate(QDate(2024, 6, 18));
            d.combo(1206)->setCurrentText(QString::fromLatin1(c.proof));
            d.combo(1204)->setCurrentText(QString::fromLatin1(c.due));
            d.SendCommand(1);
            return d.result();
        });
        ASSERT_EQ(when.DoModal(), 1) << c.proof;
        EXPECT_EQ(job.m_ProofTime, QString::fromLatin1(c.proofKept)) << c.proof;
        EXPECT_EQ(job.m_TimeDue, QString::fromLatin1(c.dueKept)) << c.due;
        EXPECT_EQ(job.m_DateProof.date(), QDate(2024, 6, 18));
    }
    const auto messages = [this] {
        int n = 0;
        for (const platform::PromptRecord &p : prompts().shown())
            n += p.kind == platform::PromptRecord::Kind::MessageBox;
        return n;
    };
    EXPECT_EQ(messages(), 0);

    CJobWhen when(&job, nullptr);
    onDialog<CJobWhen>([&](CJobWhen &d) {
        qobject_cast<QDateEdit *>(GetDlgItem(&d, 2402))->setDate(QDate(2024, 6, 19));
        d.combo(1206)->setCurrentText(QStringLiteral("after lunch"));
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_EQ(d.result(), 0);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Proof Due time: Please enter at most 5 characters."));
        EXPECT_EQ(qobject_cast<QDateEdit *>(GetDlgItem(&d, 2402))->date(), QDate(2024, 6, 19));
        EXPECT_EQ(d.combo(1206)->currentText(), QStringLiteral("after lunch"));
        d.combo(1206)->setCurrentText(QStringLiteral("1:00 PM"));
        d.SendCommand(1);
        return d.result();
    });
    ASSERT_EQ(when.DoModal(), 1);
    EXPECT_EQ(messages(), 1);
    EXPECT_EQ(job.m_ProofTime, QStringLiteral("1 pm"));
    ASSERT_TRUE(job.SafeUpdate());
    CJobSet saved;
    ASSERT_TRUE(saved.FindById(id, false));
    EXPECT_EQ(saved.m_ProofTime, QStringLiteral("1 pm"));
    EXPECT_EQ(saved.m_DateProof.date(), QDate(2024, 6, 19));

    // A due time the clock does not show is refused naming its field, and
    // the job keeps the time it had.
    ASSERT_TRUE(job.SafeEdit());
    const QString dueBefore = job.m_TimeDue;
    for (const char *noTime : {"25:00", "10:75", "13 pm"}) {
        CJobWhen refused(&job, nullptr);
        prompts().clear();
        onDialog<CJobWhen>([&](CJobWhen &d) {
            d.combo(1204)->setCurrentText(QString::fromLatin1(noTime));
            prompts().answer(platform::IDOK);
            d.SendCommand(1);
            EXPECT_EQ(d.result(), 0) << noTime;
            EXPECT_EQ(prompts().texts(),
                      QStringList{QStringLiteral("Job Due time: Please enter a time of day, such as 2:30 pm or 14:30.")})
                << noTime;
            EXPECT_EQ(d.combo(1204)->currentText(), dueBefore) << noTime;
            return 2;
        });
        refused.DoModal();
        EXPECT_EQ(job.m_TimeDue, dueBefore) << noTime;
    }
    // Typed and left, the same times are refused at once and the field puts
    // back the time it showed before.
    for (const char *noTime : {"25:00", "10:75", "13 pm"}) {
        CJobWhen typed(&job, nullptr);
        prompts().clear();
        onDialog<CJobWhen>([&](CJobWhen &d) {
            prompts().answer(platform::IDOK);
            typing::enter(d.combo(1204), typing::Entry::SelectAll);
            typing::typeAndLeave(d.combo(1204), QString::fromLatin1(noTime));
            EXPECT_EQ(prompts().texts(),
                      QStringList{QStringLiteral("Job Due time: Please enter a time of day, such as 2:30 pm or 14:30.")})
                << noTime;
            EXPECT_EQ(d.combo(1204)->currentText(), dueBefore) << noTime;
            return 2;
        });
        typed.DoModal();
        EXPECT_EQ(job.m_TimeDue, dueBefore) << noTime;
    }
}
