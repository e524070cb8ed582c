// The rules of one job row and of a new service row, worked by hand: the
// payment due date, the derived status, the customer's and the sales rep's
// defaults, the check before a document is printed, the job's texts, and the
// defaults of a service row from the shop options.
#include "JobTablesFixture.h"

#include "data/CItemSet.h"
#include "data/CJobSet.h"

using platform::IDNO;
using platform::IDYES;

namespace {

DateTime day(int y, int m, int d)
{
    return DateTime(y, m, d);
}

// --- payment due date ---------------------------------------------------------------

struct DueCase
{
    const char *name;
    int terms;
    DateTime shipped;
    DateTime due;
};

void PrintTo(const DueCase &c, std::ostream *os)
{
    *os << c.name;
}

class PayDueDate : public JobTablesTest, public ::testing::WithParamInterface<DueCase>
{
};

TEST_P(PayDueDate, CountsFromTheShipDate)
{
    exec(QStringLiteral("DELETE FROM Terms"));
    exec(QStringLiteral("INSERT INTO Terms ([No], Name, Days) VALUES (7, 'Net 30', 30)"));
    exec(QStringLiteral("INSERT INTO Terms ([No], Name, Days) VALUES (8, 'Longest', 255)"));
    exec(QStringLiteral("INSERT INTO Terms ([No], Name, Days) VALUES (9, 'Cash', 0)"));
    CJobSet job;
    job.m_TermsNo = quint8(GetParam().terms);
    job.m_DateShipped = GetParam().shipped;
    job.CalcPayDueDate();
    EXPECT_EQ(job.m_DatePayDue.dateText(), GetParam().due.dateText());
}

INSTANTIATE_TEST_SUITE_P(
    Terms, PayDueDate,
    ::testing::Values(DueCase{"TenthOfNextMonth", 4, day(2024, 6, 15), day(2024, 7, 10)},
                      DueCase{"DecemberRollsIntoJanuary", 4, day(2024, 12, 31), day(2025, 1, 10)},
                      DueCase{"ShippedOnTheTenth", 4, day(2024, 1, 10), day(2024, 2, 10)},
                      DueCase{"ThirtyDaysOverLeapFebruary", 7, day(2024, 2, 15), day(2024, 3, 16)},
                      DueCase{"ByteLimitOfDays", 8, day(2024, 1, 1), day(2024, 9, 12)},
                      DueCase{"NoDays", 9, day(2024, 5, 5), day(2024, 5, 5)},
                      DueCase{"TermsNotInTheTable", 3, day(2024, 5, 5), day(2024, 5, 5)}),
    [](const ::testing::TestParamInfo<DueCase> &info) { return std::string(info.param.name); });

// --- derived status -------------------------------------------------------------------

struct StatusCase
{
    const char *name;
    int jobType;
    int status;
    const char *subtotal;
    bool invoicePrinted;
    bool shipped;
    bool workOrderPrinted;
    const char *po;
    int expected;
};

void PrintTo(const StatusCase &c, std::ostream *os)
{
    *os << c.name;
}

class AutoStatus : public ::testing::TestWithParam<StatusCase>
{
};

TEST_P(AutoStatus, FollowsTheJobsState)
{
    const StatusCase &c = GetParam();
    CJobSet job;
    job.m_JobType = quint8(c.jobType);
    job.m_Status = quint8(c.status);
    job.m_Subtotal = Money::fromText(QString::fromLatin1(c.subtotal));
    job.m_InvoicePrinted = c.invoicePrinted ? 1 : 0;
    job.m_DateShipped = c.shipped ? DateTime(2024, 6, 1) : DateTime::null();
    job.m_WOrderPrinted = c.workOrderPrinted ? 1 : 0;
    job.m_PO = QString::fromLatin1(c.po);
    EXPECT_EQ(job.UpdateAutoStatus(false), c.expected);
    EXPECT_EQ(job.m_Status, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, AutoStatus,
    ::testing::Values(
        StatusCase{"OrderInvoicedAndShippedIsReadyToPost", 0, 0, "10", true, true, false, "", 3},
        StatusCase{"OrderOfNoChargeMarkerIsReadyToPost", 0, 0, "0.0001", true, true, false, "", 3},
        StatusCase{"OrderOfExactlyZeroIsNot", 0, 0, "0", true, true, false, "", 0},
        StatusCase{"OrderNotInvoiced", 0, 0, "10", false, true, false, "", 0},
        StatusCase{"ReadyToPostWithoutShipDateFallsBack", 0, 3, "10", true, false, false, "", 0},
        StatusCase{"OnHoldStays", 0, 1, "10", false, false, false, "", 1},
        StatusCase{"ReadyToShipStays", 0, 2, "10", true, false, false, "", 2},
        StatusCase{"QuoteKeepsItsStatus", 1, 3, "10", true, true, false, "", 3},
        StatusCase{"PortalOrderNew", 4, 0, "10", false, false, false, "123", 1},
        StatusCase{"PortalOrderAtMarker", 4, 2, "0.0001", false, false, false, "123", 1},
        StatusCase{"PortalOrderJustAboveMarker", 4, 2, "0.0002", false, false, false, "123", 3},
        StatusCase{"PortalOrderAwaitingPO", 4, 2, "10", false, false, true, "?", 2},
        StatusCase{"PortalOrderWorkOrderPrinted", 4, 2, "10", false, false, true, "", 3},
        StatusCase{"PortalOrderWithoutPO", 4, 3, "10", false, false, false, "", 2},
        StatusCase{"PortalOrderWithPO", 4, 1, "10", false, false, false, "A7", 3},
        StatusCase{"PortalQuotePriced", 5, 2, "10", false, false, false, "?", 3},
        StatusCase{"PortalStatusFourAndUpStays", 4, 4, "10", false, false, false, "", 4}),
    [](const ::testing::TestParamInfo<StatusCase> &info) { return std::string(info.param.name); });

TEST_F(JobTablesTest, ChangedStatusIsSavedOnlyWhenAsked)
{
    const qint32 id = addJob(0, 40, QStringLiteral("Subtotal, InvoicePrinted, DateShipped, Status"),
                             QStringLiteral("25, 1, #6/1/2024#, 0"));
    CJobSet job;
    ASSERT_TRUE(job.FindById(id, true));
    EXPECT_EQ(job.UpdateAutoStatus(false), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Jobs WHERE JobID = %1").arg(id)).toInt(), 0);
    job.m_Status = 0;
    EXPECT_EQ(job.UpdateAutoStatus(true), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Jobs WHERE JobID = %1").arg(id)).toInt(), 3);
    ASSERT_FALSE(prompts().shown().isEmpty());
    EXPECT_EQ(prompts().shown().last().kind, platform::PromptRecord::Kind::Beep);
}

// --- customer and sales rep -----------------------------------------------------------------

TEST_F(JobTablesTest, CustomerDefaultsAndRatesComeWithTheCustomer)
{
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, CommRate, PercentOf) VALUES (3, 'Sam', 750, 1)"));
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, ShiptoNo, BuyerNo, SRepNo, Location, ShipVia, Tax, "
                        "Terms, POReq, Discount) VALUES (500, 'Acme', 5, 6, 3, 2, 4, 1, 7, 1, 12)"));
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, SRepNo, POReq, Discount) VALUES (501, 'Plain', 9, 0, 0)"));

    CJobSet job;
    job.m_Subtotal = Money::fromWhole(200);
    job.ApplyCustomer(500);
    EXPECT_EQ(job.m_CusNo, 500);
    EXPECT_EQ(job.m_ShiptoNo, 5);
    EXPECT_EQ(job.m_BuyerNo, 6);
    EXPECT_EQ(job.m_SRepNo, 3);
    EXPECT_EQ(job.m_Location, 2);
    EXPECT_EQ(job.m_ViaDue, 4);
    EXPECT_EQ(job.m_TaxNo, 1);
    EXPECT_EQ(job.m_TermsNo, 7);
    EXPECT_EQ(job.m_PO, QStringLiteral("?")); // the customer requires a P.O.
    EXPECT_EQ(job.m_DiscountRate, 1200);
    EXPECT_EQ(job.m_CommissionRate, 750);
    EXPECT_EQ(job.m_CommType, 1);
    EXPECT_EQ(job.m_Discount, Money::fromWhole(-24)); // 12 % of 200.00

    // A P.O. already given is kept; a rep without an employee row earns nothing.
    job.m_PO = QStringLiteral("A-17");
    job.ApplyCustomer(501);
    EXPECT_EQ(job.m_PO, QStringLiteral("A-17"));
    EXPECT_EQ(job.m_SRepNo, 9);
    EXPECT_EQ(job.m_CommissionRate, 0);
    EXPECT_EQ(job.m_CommType, 0);
    EXPECT_EQ(job.m_DiscountRate, 0);

    // No such customer: the customer's columns are cleared, the rate stays.
    job.m_DiscountRate = 500;
    job.ApplyCustomer(999);
    EXPECT_EQ(job.m_CusNo, 999);
    EXPECT_EQ(job.m_SRepNo, 0);
    EXPECT_EQ(job.m_TermsNo, 0);
    EXPECT_EQ(job.m_PO, QString());
    EXPECT_EQ(job.m_DiscountRate, 500);

    job.m_CusNo = 500;
    job.LoadCustomerDiscount();
    EXPECT_EQ(job.m_DiscountRate, 1200);
    job.m_CusNo = 0;
    job.LoadCustomerDiscount();
    EXPECT_EQ(job.m_DiscountRate, 0);
    job.m_SRepNo = 3;
    job.LoadSalesRepCommission();
    EXPECT_EQ(job.m_CommissionRate, 750);
    job.m_SRepNo = 0;
    job.LoadSalesRepCommission();
    EXPECT_EQ(job.m_CommissionRate, 0);
}

// --- before printing ------------------------------------------------------------------------

TEST_F(JobTablesTest, CheckBeforePrintListsWhatIsMissing)
{
    exec(QStringLiteral("DELETE FROM Options WHERE OptionID = 44308"));
    exec(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (44308, 126)")); // every check of orders
    CJobSet job;
    job.m_JobType = 0;
    job.m_PO = QStringLiteral("?");
    // Dates as a row without them reads them (a new object holds the zero date).
    job.m_DateProof = job.m_DateDue = job.m_DateReorder = DateTime::null();
    prompts().answer(IDNO);
    EXPECT_EQ(job.CheckBeforePrint(2, QStringLiteral("Invoice")), -1);
    EXPECT_EQ(prompts().lastText().toStdString(),
              QStringLiteral("Before printing the Invoice,\nyou need to complete the following data:\n\n"
                             "- Title\n- P.O.\n- Ordered by\n- CSR\n- Sales Rep\n- Proof Date\n- Due Date\n"
                             "- Reorder Date\n- Subtotal\n\nDo you want to complete the data now?").toStdString());
    EXPECT_EQ(prompts().shown().last().flags, unsigned(platform::MB_YESNO | platform::MB_ICONQUESTION));

    // Complete but for the subtotal, which only documents above level 1 need.
    job.m_Title = QStringLiteral("Cards");
    job.m_PO = QStringLiteral("77");
    job.m_BuyerNo = 1;
    job.m_CSRNo = 1;
    job.m_SRepNo = 1;
    job.m_DateProof = job.m_DateDue = job.m_DateReorder = DateTime(2024, 6, 1);
    prompts().clear();
    EXPECT_EQ(job.CheckBeforePrint(1, QStringLiteral("Work Order")), 0);
    EXPECT_TRUE(prompts().shown().isEmpty());
    prompts().answer(IDYES);
    EXPECT_EQ(job.CheckBeforePrint(2, QStringLiteral("Invoice")), -30103);
    EXPECT_TRUE(prompts().lastText().contains(QStringLiteral("\n\n- Subtotal\n\n")));

    // Templates and credit invoices are never examined.
    prompts().clear();
    job.m_Subtotal = Money();
    job.m_JobType = 2;
    EXPECT_EQ(job.CheckBeforePrint(2, QStringLiteral("Invoice")), 0);
    job.m_JobType = 0;
    job.m_Creator = 'c';
    EXPECT_EQ(job.CheckBeforePrint(2, QStringLiteral("Invoice")), 0);
    EXPECT_TRUE(prompts().shown().isEmpty());
}

TEST_F(JobTablesTest, CheckBeforePrintFindsHiddenServicesWhenTheShopAsks)
{
    addService(30, 5, QStringLiteral("Old folding"), QStringLiteral("SerStatus"), QStringLiteral("2"));
    const qint32 id = addJob(0, 41, QStringLiteral("Title, Subtotal"), QStringLiteral("'Flyers', 10"));
    addItem(id, 30, 1);
    exec(QStringLiteral("DELETE FROM Options WHERE OptionID = 44308"));
    CJobSet job;
    ASSERT_TRUE(job.FindById(id));
    EXPECT_EQ(job.CheckBeforePrint(2, QStringLiteral("Invoice")), 0); // the shop does not ask
    exec(QStringLiteral("DELETE FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 251"));
    exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (0, 251, '0,1,')"));
    prompts().answer(IDNO);
    EXPECT_EQ(job.CheckBeforePrint(2, QStringLiteral("Invoice")), -1);
    EXPECT_TRUE(prompts().lastText().contains(QStringLiteral("\n\n- Replace HIDDEN Service(s)\n\n")))
        << prompts().lastText().toStdString();
}

// --- texts ------------------------------------------------------------------------------------

TEST(JobTexts, FromJobAndBarcode)
{
    CJobSet job;
    QString text;
    job.GetFromJobText(text);
    EXPECT_EQ(text, QStringLiteral("Scratch"));
    job.m_FromJobType = 1;
    job.m_FromJobNo = 17;
    job.GetFromJobText(text);
    EXPECT_EQ(text, QStringLiteral("Quote 17"));
    job.m_FromJobType = 5;
    job.m_FromJobNo = 9;
    job.GetFromJobText(text);
    EXPECT_EQ(text, QStringLiteral("PellQuote 9"));
    job.m_JobID = 1234;
    job.GetBarcodeText(text);
    EXPECT_EQ(text, QStringLiteral("*^1234#*"));
}

// --- a new service row ----------------------------------------------------------------------------

struct DefaultsCase
{
    const char *name;
    int option;    // 44331; -1: no row (the default 7)
    int days;      // Days2 before
    int tag2;      // Tag2 before
    int status, dayAfter, empNo, tag1, tag2After;
};

void PrintTo(const DefaultsCase &c, std::ostream *os)
{
    *os << c.name;
}

class ServiceRowDefaults : public JobTablesTest, public ::testing::WithParamInterface<DefaultsCase>
{
};

TEST_P(ServiceRowDefaults, FollowTheShopOption)
{
    const DefaultsCase &c = GetParam();
    addService(40, 5, QStringLiteral("Cutting"), QStringLiteral("Operator, Tag"), QStringLiteral("6, 8"));
    exec(QStringLiteral("DELETE FROM Options WHERE OptionID = 44331"));
    if (c.option >= 0)
        exec(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (44331, %1)").arg(c.option));
    CItemSet row;
    row.m_SerNo = 40;
    row.m_Days2 = quint8(c.days);
    row.m_Tag2 = quint8(c.tag2);
    row.m_EmpNo = 1;
    row.m_Tag1 = 2;
    row.SetDefaults();
    EXPECT_EQ(row.m_Status, c.status);
    EXPECT_EQ(row.m_Days2, c.dayAfter);
    EXPECT_EQ(row.m_EmpNo, c.empNo);
    EXPECT_EQ(row.m_Tag1, c.tag1);
    EXPECT_EQ(row.m_Tag2, c.tag2After);
}

INSTANTIATE_TEST_SUITE_P(
    Option44331, ServiceRowDefaults,
    ::testing::Values(DefaultsCase{"DefaultTakesEverything", -1, 5, 3, 1, 0, 6, 8, 0},
                      DefaultsCase{"KeepsTheDayAsStatus", 6, 5, 3, 5, 5, 6, 8, 0},
                      DefaultsCase{"DayZeroStartsUnfinished", 6, 0, 3, 1, 0, 6, 8, 0},
                      DefaultsCase{"OperatorOnly", 2, 5, 9, 5, 5, 6, 2, 9},
                      DefaultsCase{"TagAboveNineCleared", 1, 5, 10, 1, 0, 1, 2, 0},
                      DefaultsCase{"NothingTaken", 0, 0, 4, 1, 0, 1, 2, 4}),
    [](const ::testing::TestParamInfo<DefaultsCase> &info) { return std::string(info.param.name); });

TEST_F(JobTablesTest, NewRowStatusFollowsOption44332)
{
    CItemSet row;
    exec(QStringLiteral("DELETE FROM Options WHERE OptionID = 44332"));
    row.SetDefaultStatus();
    EXPECT_EQ(row.m_Status, 4); // the default 1
    for (const auto &[option, status] : {std::pair{0, 0}, std::pair{1, 4}, std::pair{2, 0}, std::pair{3, 4}}) {
        exec(QStringLiteral("DELETE FROM Options WHERE OptionID = 44332"));
        exec(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (44332, %1)").arg(option));
        row.SetDefaultStatus();
        EXPECT_EQ(row.m_Status, status) << option;
    }
}

} // namespace
