#include "data/CJobSet.h"
#include "jobs/JobPanelTexts.h"
#include "jobs/MissingJobData.h"

#include "Printers.h"

#include <gtest/gtest.h>

namespace {

Money m(const char *text)
{
    return Money::fromText(QString::fromLatin1(text));
}

constexpr std::uint8_t kDefault = 7;

struct BalanceCase
{
    const char *name;
    int type;
    const char *subtotal;
    const char *balance;
    const char *paid;
    int terms;
    const char *creditDue;
    quint8 creator;
    const char *caption;
    std::uint8_t colour;
};

const BalanceCase kBalanceCases[] = {
    {"not priced", 0, "0", "0", "0", 1, "0", 0, "NOT PRICED", kDefault},
    {"not priced quote", 1, "0", "0", "0", 0, "0", 0, "NOT PRICED", kDefault},
    {"negative subtotal", 0, "-5", "-5", "0", 1, "0", 0, "Negative Subtotal", kWarningColour},
    {"no charge", 0, "0.0001", "0", "0", 1, "0", 0, "NO CHARGE", kWarningColour},
    {"no charge below zero", 0, "-0.0001", "0", "0", 1, "0", 0, "NO CHARGE", kWarningColour},
    {"no charge once paid falls through", 0, "0.0001", "0", "-10", 1, "0", 0, "Paid-in-Full", kDefault},
    {"cod not over paid", 0, "100", "-5", "0", 0, "0", 0, "C.O.D.", kCodColour},
    {"over paid", 0, "100", "-5", "-105", 0, "0", 0, "Over Paid", kWarningColour},
    {"paid in full", 3, "100", "0", "-100", 1, "0", 0, "Paid-in-Full", kDefault},
    {"credit due", 0, "100", "100", "0", 1, "12.5", 0, "Credit Due $12.50", kWarningColour},
    {"credit due grouped", 3, "100", "100", "0", 1, "1234.5", 0, "Credit Due $1,234.50", kWarningColour},
    {"plain balance due", 0, "100", "100", "0", 1, "0", 0, "Balance Due", kDefault},
    {"quote never paid in full", 1, "100", "0", "0", 0, "0", 0, "Balance Due", kDefault},
    {"quote never cod or credit", 1, "100", "100", "0", 0, "12", 0, "Balance Due", kDefault},
    {"credit invoice", 3, "-50", "0", "0", 0, "0", 'c', "Balance Due", kDefault},
    {"credited invoice", 3, "0", "0", "0", 0, "0", 'b', "Balance Due", kDefault},
};

} // namespace

TEST(JobPanelTexts, BalanceCaptionTakesTheFirstRuleThatMatches)
{
    for (const BalanceCase &c : kBalanceCases) {
        CJobSet job;
        job.m_JobType = quint8(c.type);
        job.m_Subtotal = m(c.subtotal);
        job.m_Balance = m(c.balance);
        job.m_Paid = m(c.paid);
        job.m_TermsNo = quint8(c.terms);
        job.m_Creator = c.creator;
        const PanelCaption caption = JobBalanceCaption(job, m(c.creditDue), kDefault);
        EXPECT_EQ(caption.text, QString::fromLatin1(c.caption)) << c.name;
        EXPECT_EQ(caption.colour, c.colour) << c.name;
    }
}

TEST(JobPanelTexts, TotalsTextAndCaption)
{
    CJobSet job;
    job.m_Subtotal = m("0");
    job.m_Discount = m("-1234.5");
    job.m_Shipping = m("5");
    job.m_Tax = m("3.25");
    EXPECT_EQ(JobTotalsText(job), QStringLiteral("Subtotal\nDiscount\nShipping\nPostage\nTaxable\nTax \u00B7 ?\n"
                                                 "-1,234.50\n5.00\n0.00\n0.00\n3.25"));
    job.m_Subtotal = Money::noChargeMarker();
    EXPECT_TRUE(JobTotalsText(job).contains(QStringLiteral("\u00B7 No Charge\n")));
    EXPECT_EQ(JobTotalsCaption(job, kDefault), (PanelCaption{QStringLiteral("Job Totals"), kDefault}));
    job.m_Subtotal = m("-10");
    EXPECT_EQ(JobTotalsCaption(job, kDefault), (PanelCaption{QStringLiteral("Negative Subtotal"), kWarningColour}));
    job.m_Creator = CJobSet::kCreditInvoice;
    EXPECT_EQ(JobTotalsCaption(job, kDefault).text, QStringLiteral("Job Totals"));

    job.m_Creator = 0;
    job.m_TotalAmount = m("1500");
    job.m_Paid = m("-200");
    job.m_Balance = m("1300");
    EXPECT_EQ(JobBalanceText(job, QStringLiteral("Net 30")),
              QStringLiteral("Total\nPaid\nBalance\n \u00B7 1,500.00\n-200.00\n1,300.00\n\nNet 30"));
}

TEST(JobPanelTexts, LabelsCaptionsStatusAndWhen)
{
    CJobSet job;
    job.m_JobType = CJobSet::History;
    job.m_WOrderPrinted = 1;
    job.m_InvoicePrinted = 2;
    EXPECT_EQ(JobWindowCaption(job), QStringLiteral("History (Work Order Printed: 1  Invoice Printed: 2)"));
    job.m_JobType = CJobSet::Quote;
    EXPECT_EQ(JobWindowCaption(job), QStringLiteral("Quote"));
    job.m_JobType = CJobSet::History;
    job.m_Creator = CJobSet::kCreditInvoice;
    EXPECT_EQ(JobTypeLabel(job), QStringLiteral("Credit"));
    EXPECT_EQ(RecordBarHue(job, 360), kCreditHue);
    job.m_Creator = CJobSet::kCredited;
    EXPECT_EQ(JobTypeLabel(job), QStringLiteral("Credited"));
    job.m_Creator = 0;
    EXPECT_EQ(JobTypeLabel(job), QStringLiteral("History"));
    EXPECT_EQ(RecordBarHue(job, 360), 360);

    struct StatusCase
    {
        int type, status;
        const char *text;
        int image;
    };
    const StatusCase statuses[] = {{0, 0, "In Progress", 38},   {0, 3, "Ready to Post", 36}, {1, 4, "Lost", 68},
                                   {1, 1, "Warm", 70},          {2, 2, "Web/Pell", 65},      {3, 0, "In History", 75},
                                   {3, 2, "In History", 75},    {4, 1, "In Review", 99},     {5, 0, "Not Reviewed", 99},
                                   {5, 4, "Converted", 99},     {0, 4, "", 99}};
    for (const StatusCase &s : statuses) {
        EXPECT_EQ(JobStatusText(s.type, s.status), QString::fromLatin1(s.text)) << s.type << "/" << s.status;
        EXPECT_EQ(JobStatusImage(s.type, s.status), s.image) << s.type << "/" << s.status;
    }

    job.m_JobType = CJobSet::Order;
    job.m_DateIn = DateTime::fromDate(QDate(2024, 6, 10));
    job.m_DateDue = DateTime::fromDate(QDate(2024, 6, 14));
    job.m_TimeDue = QStringLiteral("Noon");
    job.m_DateShipped = DateTime::null();
    EXPECT_EQ(JobWhenText(job, QStringLiteral("Carla"), QStringLiteral("UPS"), QStringLiteral("In Progress"),
                          QStringLiteral("Scratch")),
              QStringLiteral("In\t06/10/2024\nDue\t06/14/2024   Noon\nShip by\tUPS\nShip'd\t\nCSR\tCarla\n"
                             "Status\tIn Progress\nFrom\tScratch"));
}

TEST(JobPanelTexts, ProposedTitleOnlyForAnEmptyTitleWhenTheShopSaysSo)
{
    CJobSet job;
    EXPECT_FALSE(ApplyProposedTitle(job, QStringLiteral("Flyers"), QStringLiteral("0")));
    EXPECT_TRUE(job.m_Title.isEmpty());
    EXPECT_FALSE(ApplyProposedTitle(job, QString(), QStringLiteral("1")));
    EXPECT_TRUE(ApplyProposedTitle(job, QStringLiteral("Flyers"), QStringLiteral("1")));
    EXPECT_EQ(job.m_Title, QStringLiteral("Flyers"));
    EXPECT_FALSE(ApplyProposedTitle(job, QStringLiteral("Posters"), QStringLiteral("1")));
    EXPECT_EQ(job.m_Title, QStringLiteral("Flyers"));
}

namespace {

QString describe(const QList<MissingDataEntry> &entries)
{
    QStringList parts;
    for (const MissingDataEntry &e : entries)
        parts << QStringLiteral("%1 %2%3%4").arg(e.command).arg(e.text, e.ticked ? QStringLiteral(" +") : QString(),
                                                                 e.counted ? QStringLiteral(" #") : QString());
    return parts.join(QStringLiteral(" | "));
}

} // namespace

TEST(MissingJobData, EntriesInOrderWithTheirTicksAndCounts)
{
    struct Case
    {
        const char *name;
        int type;
        int items;
        qint32 bits;
        qint32 cusNo, shipto, buyer;
        const char *title;
        const char *po;
        const char *shipBy;
        int csr, srep, terms;
        const char *paid;
        bool proof;
        const char *expected;
    };
    const Case cases[] = {
        {"new order, no options", 0, 0, 0, 100, 0, 0, "", "", "UPS", 0, 0, 1, "0", false,
         "30361 Item Specs + # | 30408 Shipto Address | 30411 Ordered by"},
        {"walk-in gets the ship-to ticked", 0, 1, 0, 31, 0, 5, "T", "", "UPS", 0, 0, 1, "0", false,
         "30408 Shipto Address +"},
        {"buyer required", 1, 1, 2, 100, 4, 0, "T", "", "?", 0, 0, 0, "0", false, "30411 Ordered by + #"},
        {"title and csr", 1, 2, 4, 100, 4, 5, "", "?", "?", 0, 0, 0, "0", false, "30406 Title, CSR + #"},
        {"order fields", 0, 1, 16 | 32 | 64, 100, 4, 5, "T", "?", "?", 0, 0, 1, "0", false,
         "30406 PO, Ship Via, Proof, DueDate, Reorder + #"},
        {"proof date given", 0, 1, 16, 100, 4, 5, "T", "", "UPS", 0, 0, 1, "0", true, ""},
        {"sales rep and deposit", 0, 1, 8, 100, 4, 5, "T", "", "UPS", 0, 0, 0, "0", false,
         "30525 Sales Rep + # | 30415 Deposit +"},
        {"deposit only without a payment", 0, 1, 0, 100, 4, 5, "T", "", "UPS", 0, 0, 0, "-10", false, ""},
        {"quote: no deposit, PO or ship via", 1, 1, 0, 100, 4, 5, "T", "?", "?", 0, 0, 0, "0", false, ""},
        {"template is not examined", 2, 0, 127, 100, 0, 0, "", "?", "?", 0, 0, 0, "0", false, ""},
        {"history is not examined", 3, 0, 127, 100, 0, 0, "", "?", "?", 0, 0, 0, "0", false, ""},
    };
    for (const Case &c : cases) {
        CJobSet job;
        job.m_JobType = quint8(c.type);
        job.m_CusNo = c.cusNo;
        job.m_ShiptoNo = c.shipto;
        job.m_BuyerNo = c.buyer;
        job.m_Title = QString::fromLatin1(c.title);
        job.m_PO = QString::fromLatin1(c.po);
        job.m_CSRNo = quint8(c.csr);
        job.m_SRepNo = quint8(c.srep);
        job.m_TermsNo = quint8(c.terms);
        job.m_Paid = m(c.paid);
        job.m_DateProof = job.m_DateDue = job.m_DateReorder = DateTime::null();
        if (c.proof)
            job.m_DateProof = DateTime::fromDate(QDate(2024, 6, 20));
        EXPECT_EQ(describe(FindMissingJobData(job, c.items, c.bits, QString::fromLatin1(c.shipBy))),
                  QString::fromLatin1(c.expected))
            << c.name;
    }
}
