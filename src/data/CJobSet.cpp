#include "data/CJobSet.h"

#include "app/base/TextUtil.h"
#include "data/CItemSet.h"
#include "data/JobTypes.h"
#include "data/OptionsAndLookups.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "resources/Strings.h"

namespace {

// The answer with which the caller opens the job instead of printing.
constexpr int kOpenJobCommand = 30103;
// The shop option whose bits name the data a document needs, per job type.
constexpr qint32 kPrintCheckOption = 44308;

QString jobsNumber(qint32 value)
{
    return QString::number(value);
}

} // namespace

CJobSet::CJobSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nFields = kFieldCount;
    m_nDefaultType = dbOpenDynaset;
    ResetFields();
}

CJobSet::~CJobSet() = default;

QString CJobSet::GetDefaultSQL() const
{
    return QStringLiteral("Jobs");
}

void CJobSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_Long(pFX, QStringLiteral("JobID"), m_JobID);
    DFX_Byte(pFX, QStringLiteral("JobType"), m_JobType);
    DFX_Long(pFX, QStringLiteral("JobNo"), m_JobNo);
    DFX_TextLimit(pFX, QStringLiteral("Title"), m_Title);
    DFX_Byte(pFX, QStringLiteral("FromJobType"), m_FromJobType);
    DFX_Long(pFX, QStringLiteral("FromJobNo"), m_FromJobNo);
    DFX_Byte(pFX, QStringLiteral("Status"), m_Status);
    DFX_Byte(pFX, QStringLiteral("CSRNo"), m_CSRNo);
    DFX_Byte(pFX, QStringLiteral("SRepNo"), m_SRepNo);
    DFX_Long(pFX, QStringLiteral("CusNo"), m_CusNo);
    DFX_Long(pFX, QStringLiteral("ShiptoNo"), m_ShiptoNo);
    DFX_Long(pFX, QStringLiteral("BuyerNo"), m_BuyerNo);
    DFX_Long(pFX, QStringLiteral("PostingNo"), m_PostingNo);
    DFX_Byte(pFX, QStringLiteral("Location"), m_Location);
    DFX_TextLimit(pFX, QStringLiteral("PO"), m_PO);
    DFX_DateTime(pFX, QStringLiteral("DateIn"), m_DateIn);
    DFX_DateTime(pFX, QStringLiteral("DateProof"), m_DateProof);
    DFX_DateTime(pFX, QStringLiteral("DateDue"), m_DateDue);
    DFX_DateTime(pFX, QStringLiteral("DateShipped"), m_DateShipped);
    DFX_DateTime(pFX, QStringLiteral("DateReorder"), m_DateReorder);
    DFX_DateTime(pFX, QStringLiteral("DatePayDue"), m_DatePayDue);
    DFX_DateTime(pFX, QStringLiteral("DatePaid"), m_DatePaid);
    DFX_TextLimit(pFX, QStringLiteral("TimeDue"), m_TimeDue);
    DFX_Byte(pFX, QStringLiteral("ViaDue"), m_ViaDue);
    DFX_Byte(pFX, QStringLiteral("TaxNo"), m_TaxNo);
    DFX_Byte(pFX, QStringLiteral("TermsNo"), m_TermsNo);
    DFX_Currency(pFX, QStringLiteral("Cost"), m_Cost);
    DFX_Currency(pFX, QStringLiteral("Subtotal"), m_Subtotal);
    DFX_Currency(pFX, QStringLiteral("Discount"), m_Discount);
    DFX_Currency(pFX, QStringLiteral("Shipping"), m_Shipping);
    DFX_Currency(pFX, QStringLiteral("Postage"), m_Postage);
    DFX_Currency(pFX, QStringLiteral("Tax"), m_Tax);
    DFX_Currency(pFX, QStringLiteral("Latefee"), m_Latefee);
    DFX_Currency(pFX, QStringLiteral("Paid"), m_Paid);
    DFX_Currency(pFX, QStringLiteral("Writeoff"), m_Writeoff);
    DFX_Currency(pFX, QStringLiteral("Balance"), m_Balance);
    DFX_Currency(pFX, QStringLiteral("Commission"), m_Commission);
    DFX_Byte(pFX, QStringLiteral("CommType"), m_CommType);
    DFX_Byte(pFX, QStringLiteral("WOrderPrinted"), m_WOrderPrinted);
    DFX_Byte(pFX, QStringLiteral("InvoicePrinted"), m_InvoicePrinted);
    DFX_Text(pFX, QStringLiteral("WOrderNote"), m_WOrderNote);
    DFX_Text(pFX, QStringLiteral("InvoiceNote"), m_InvoiceNote);
    DFX_Byte(pFX, QStringLiteral("Creator"), m_Creator);
    DFX_Byte(pFX, QStringLiteral("PropID1"), m_PropID1);
    DFX_Long(pFX, QStringLiteral("PrintOption"), m_PrintOption);
    DFX_Long(pFX, QStringLiteral("PrintOption2"), m_PrintOption2);
    DFX_Text(pFX, QStringLiteral("ProofTime"), m_ProofTime);
    DFX_Currency(pFX, QStringLiteral("Taxable"), m_Taxable);
    DFX_Currency(pFX, QStringLiteral("Taxable2"), m_Taxable2);
    DFX_Currency(pFX, QStringLiteral("Tax2"), m_Tax2);

    // Every fetch of a row keeps the balance as stored for the balance check
    // and recomputes the dependent amounts in memory at once.
    if (pFX->operation() == FieldExchange::Fixup) {
        m_StoredBalance = m_Balance;
        RecalcTotals(false);
    }
    m_nLastDfxOp = pFX->operation();
}

void CJobSet::ResetFields()
{
    m_JobType = 0;
    m_JobNo = 0;
    m_Title.clear();
    m_FromJobType = 0;
    m_FromJobNo = 0;
    m_Status = 0;
    m_CSRNo = 0;
    m_SRepNo = 0;
    m_CusNo = 0;
    m_ShiptoNo = 0;
    m_BuyerNo = 0;
    m_PostingNo = 0;
    m_Location = 0;
    m_PO.clear();
    m_TimeDue.clear();
    m_ViaDue = 0;
    m_TaxNo = 0;
    m_TermsNo = 0;
    m_Cost = Money();
    m_Subtotal = Money();
    m_Discount = Money();
    m_Shipping = Money();
    m_Postage = Money();
    m_Tax = Money();
    m_Latefee = Money();
    m_Paid = Money();
    m_Writeoff = Money();
    m_Balance = Money();
    m_Commission = Money();
    m_CommType = 0;
    m_WOrderPrinted = 0;
    m_InvoicePrinted = 0;
    m_WOrderNote.clear();
    m_InvoiceNote.clear();
    m_Creator = 0;
    m_PropID1 = 0;
    m_PrintOption = 0;
    m_PrintOption2 = 0;
    m_ProofTime.clear();
    m_Taxable = Money();
    m_Taxable2 = Money();
    m_Tax2 = Money();
    m_TotalAmount = Money();
    m_DiscountRate = 0;
    m_CommissionRate = 0;
}

CJobSet &CJobSet::operator=(const CJobSet &other)
{
    if (this == &other)
        return *this;
    m_JobID = other.m_JobID;
    m_JobType = other.m_JobType;
    m_JobNo = other.m_JobNo;
    m_Title = other.m_Title;
    m_FromJobType = other.m_FromJobType;
    m_FromJobNo = other.m_FromJobNo;
    m_Status = other.m_Status;
    m_CSRNo = other.m_CSRNo;
    m_SRepNo = other.m_SRepNo;
    m_CusNo = other.m_CusNo;
    m_ShiptoNo = other.m_ShiptoNo;
    m_BuyerNo = other.m_BuyerNo;
    m_PostingNo = other.m_PostingNo;
    m_Location = other.m_Location;
    m_PO = other.m_PO;
    m_DateIn = other.m_DateIn;
    m_DateProof = other.m_DateProof;
    m_DateDue = other.m_DateDue;
    m_DateShipped = other.m_DateShipped;
    m_DateReorder = other.m_DateReorder;
    m_DatePayDue = other.m_DatePayDue;
    m_DatePaid = other.m_DatePaid;
    m_TimeDue = other.m_TimeDue;
    m_ViaDue = other.m_ViaDue;
    m_TaxNo = other.m_TaxNo;
    m_TermsNo = other.m_TermsNo;
    m_Cost = other.m_Cost;
    m_Subtotal = other.m_Subtotal;
    m_Discount = other.m_Discount;
    m_Shipping = other.m_Shipping;
    m_Postage = other.m_Postage;
    m_Tax = other.m_Tax;
    m_Latefee = other.m_Latefee;
    m_Paid = other.m_Paid;
    m_Writeoff = other.m_Writeoff;
    m_Balance = other.m_Balance;
    m_Commission = other.m_Commission;
    m_CommType = other.m_CommType;
    m_WOrderPrinted = other.m_WOrderPrinted;
    m_InvoicePrinted = other.m_InvoicePrinted;
    m_WOrderNote = other.m_WOrderNote;
    m_InvoiceNote = other.m_InvoiceNote;
    m_Creator = other.m_Creator;
    m_PropID1 = other.m_PropID1;
    m_PrintOption = other.m_PrintOption;
    m_PrintOption2 = other.m_PrintOption2;
    m_ProofTime = other.m_ProofTime;
    m_Taxable = other.m_Taxable;
    m_Taxable2 = other.m_Taxable2;
    m_Tax2 = other.m_Tax2;
    m_TotalAmount = other.m_TotalAmount;
    m_DiscountRate = other.m_DiscountRate;
    m_CommissionRate = other.m_CommissionRate;
    return *this;
}

platform::Database &CJobSet::database()
{
    return m_pDatabase ? *m_pDatabase : SharedDatabase();
}

// ---------------------------------------------------------------------------
// Texts

void CJobSet::GetJobLabel(QString &out) const
{
    QString typeName;
    GetJobTypeName(typeName, m_JobType);
    out = QStringLiteral("%1 %2").arg(typeName).arg(m_JobNo);
}

QString CJobSet::GetJobLabel() const
{
    QString out;
    GetJobLabel(out);
    return out;
}

void CJobSet::GetBarcodeText(QString &out) const
{
    out = QStringLiteral("*^%1#*").arg(m_JobID);
}

void CJobSet::GetFromJobText(QString &out) const
{
    if (m_FromJobNo == 0) {
        out = QStringLiteral("Scratch");
        return;
    }
    out = QStringLiteral("%1 %2").arg(GetResourceListItem(IDS_JOB_TYPES, m_FromJobType)).arg(m_FromJobNo);
}

void CJobSet::GetViaDueName(QString &out) const
{
    LookupFirstText(out, QStringLiteral("SELECT Name FROM ShipBy WHERE [No] = ") + jobsNumber(m_ViaDue));
}

void CJobSet::GetTermsName(QString &out) const
{
    LookupFirstText(out, QStringLiteral("SELECT Name FROM Terms WHERE [No] = ") + jobsNumber(m_TermsNo));
}

// ---------------------------------------------------------------------------
// Finding and the rules of one row

bool CJobSet::FindById(qint32 jobId, bool edit)
{
    m_strFilter = QStringLiteral("JobID = %1").arg(jobId);
    if (jobId == 0)
        return false;
    return RequeryOrOpen(edit);
}

bool CJobSet::DeleteJobItems(qint32 jobId)
{
    CItemSet items(m_pDatabase);
    items.m_strFilter = QStringLiteral("Items.JobID = %1").arg(jobId);
    items.m_strSort.clear();
    if (!items.RequeryOrOpen(false))
        return true; // nothing to delete
    return items.DeleteAllRows(QString());
}

void CJobSet::CalcPayDueDate()
{
    if (!m_DateShipped.isValid()) {
        // No ship date, no date to count from.
        m_DatePayDue = DateTime::null();
        return;
    }
    if (m_TermsNo == 4) {
        // The 10th of the month after shipping.
        QDate shipped = m_DateShipped.date();
        const QDate due = QDate(shipped.year(), shipped.month(), 1).addMonths(1).addDays(9);
        m_DatePayDue = DateTime::fromDate(due);
        return;
    }
    platform::Value days;
    LookupFirstValue(days, QStringLiteral("SELECT Days FROM Terms WHERE [No] = ") + jobsNumber(m_TermsNo));
    const int wholeDays = days.isNull() ? 0 : int(quint8(days.toInt64()));
    m_DatePayDue = m_DateShipped.addDays(wholeDays);
}

int CJobSet::UpdateAutoStatus(bool save)
{
    const quint8 oldStatus = m_Status;
    if (m_JobType == Order) {
        if (m_InvoicePrinted != 0 && !m_Subtotal.isZero() && m_DateShipped.isValid())
            m_Status = 3; // Ready to Post
        else if (m_Status > 2)
            m_Status = 0; // In Progress; On Hold and Ready to Ship stay
    } else if ((m_JobType == PellOrder || m_JobType == PellQuote) && m_Status < 4) {
        if (m_Status == 0 || m_Subtotal <= Money::noChargeMarker()) {
            m_Status = 1;
        } else if (m_JobType == PellQuote) {
            m_Status = 3;
        } else if (m_PO == QLatin1String("?")) {
            m_Status = 2;
        } else if (m_WOrderPrinted != 0) {
            m_Status = 3;
        } else {
            m_Status = m_PO.isEmpty() ? 2 : 3;
        }
    }
    if (m_Status != oldStatus && save)
        SaveRecord(64);
    return m_Status;
}

namespace {

// The columns of a customer and of an employee that a job takes over.
struct CustomerDefaults
{
    qint32 shiptoNo = 0;
    qint32 buyerNo = 0;
    quint8 sRepNo = 0;
    quint8 location = 0;
    quint8 shipVia = 0;
    quint8 tax = 0;
    quint8 terms = 0;
    quint8 poReq = 0;
    quint8 discount = 0;
};

bool findCustomer(platform::Database *database, qint32 cusNo, CustomerDefaults &out)
{
    if (cusNo == 0)
        return false;
    CXDaoSet set(database);
    set.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT * FROM Customers WHERE CusNo = %1").arg(cusNo));
    if (set.IsEmptySet())
        return false;
    out.shiptoNo = set.GetFieldValue(QStringLiteral("ShiptoNo")).toInt();
    out.buyerNo = set.GetFieldValue(QStringLiteral("BuyerNo")).toInt();
    out.sRepNo = quint8(set.GetFieldValue(QStringLiteral("SRepNo")).toInt64());
    out.location = quint8(set.GetFieldValue(QStringLiteral("Location")).toInt64());
    out.shipVia = quint8(set.GetFieldValue(QStringLiteral("ShipVia")).toInt64());
    out.tax = quint8(set.GetFieldValue(QStringLiteral("Tax")).toInt64());
    out.terms = quint8(set.GetFieldValue(QStringLiteral("Terms")).toInt64());
    out.poReq = quint8(set.GetFieldValue(QStringLiteral("POReq")).toInt64());
    out.discount = quint8(set.GetFieldValue(QStringLiteral("Discount")).toInt64());
    return true;
}

} // namespace

void CJobSet::ApplyCustomer(qint32 cusNo)
{
    m_CusNo = cusNo;
    CustomerDefaults customer;
    if (findCustomer(m_pDatabase, cusNo, customer)) {
        m_ShiptoNo = customer.shiptoNo;
        m_BuyerNo = customer.buyerNo;
        m_SRepNo = customer.sRepNo;
        m_Location = customer.location;
        m_ViaDue = customer.shipVia;
        m_TaxNo = customer.tax;
        m_TermsNo = customer.terms;
        if (m_PO.isEmpty() && customer.poReq != 0)
            m_PO = QStringLiteral("?");
        m_DiscountRate = qint32(customer.discount) * 100;
    } else {
        m_ShiptoNo = 0;
        m_SRepNo = 0;
        m_BuyerNo = 0;
        m_ViaDue = 0;
        m_TaxNo = 0;
        m_TermsNo = 0;
        m_Location = 0;
        m_PO.clear();
    }
    LoadSalesRepCommission();
    // The customer's rate is the one the discount is worked from.
    ApplyDiscountRate(m_DiscountRate);
    CalcCommission();
    CalcSubtotal();
}

void CJobSet::LoadSalesRepCommission()
{
    m_CommissionRate = 0;
    m_CommType = 0;
    if (m_SRepNo == 0)
        return;
    CXDaoSet set(m_pDatabase);
    set.Open(dbOpenSnapshot, QStringLiteral("SELECT CommRate, PercentOf FROM Employees WHERE EmpNo = %1").arg(m_SRepNo));
    if (set.IsEmptySet())
        return;
    m_CommissionRate = set.GetFieldValue(0).toInt();
    m_CommType = quint8(set.GetFieldValue(1).toInt64());
}

void CJobSet::LoadCustomerDiscount()
{
    m_DiscountRate = 0;
    CustomerDefaults customer;
    if (m_CusNo > 0 && findCustomer(m_pDatabase, m_CusNo, customer))
        m_DiscountRate = qint32(customer.discount) * 100;
}

int CJobSet::CheckBeforePrint(int documentLevel, const QString &documentName)
{
    if (m_JobType >= Template || m_Creator >= kCredited)
        return 0;

    const qint32 flags = GetOptionValue(kPrintCheckOption + m_JobType, 0);
    QString missing;
    if (m_Title.isEmpty())
        missing += QStringLiteral("- Title\n");
    if (m_JobType == Order && m_PO == QLatin1String("?"))
        missing += QStringLiteral("- P.O.\n");
    if ((flags & 2) && m_BuyerNo == 0)
        missing += QStringLiteral("- Ordered by\n");
    if ((flags & 4) && m_CSRNo == 0)
        missing += QStringLiteral("- CSR\n");
    if ((flags & 8) && m_SRepNo == 0)
        missing += QStringLiteral("- Sales Rep\n");
    if ((flags & 16) && !m_DateProof.isValid())
        missing += QStringLiteral("- Proof Date\n");
    if ((flags & 32) && !m_DateDue.isValid())
        missing += QStringLiteral("- Due Date\n");
    if ((flags & 64) && !m_DateReorder.isValid())
        missing += QStringLiteral("- Reorder Date\n");
    if (documentLevel > 1 && m_Subtotal.isZero())
        missing += QStringLiteral("- Subtotal\n");

    if (ToInt(GetGlobalAlertText(251, 1, QStringLiteral("0"))) == 1) {
        CXDaoSet hidden(m_pDatabase);
        hidden.Open(dbOpenSnapshot,
                    QStringLiteral("SELECT Items.ItemID FROM (Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID) "
                                   "INNER JOIN Services ON Items.SerNo = Services.SerNo\tWHERE "
                                   "(((Services.SerNo)>0) AND ((Services.SerStatus)=2) AND ((Items.JobID)=%1));")
                        .arg(m_JobID));
        if (!hidden.IsEmptySet())
            missing += QStringLiteral("- Replace HIDDEN Service(s)\n");
    }

    if (missing.isEmpty())
        return 0;
    const int answer = platform::Prompt::messageBox(
        QStringLiteral("Before printing the %1,\nyou need to complete the following data:\n\n%2\n"
                       "Do you want to complete the data now?")
            .arg(documentName, missing),
        QString(), platform::MB_YESNO | platform::MB_ICONQUESTION);
    return answer == platform::IDYES ? -kOpenJobCommand : -1;
}
