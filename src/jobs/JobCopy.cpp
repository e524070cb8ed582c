#include "jobs/JobCopy.h"

#include "app/base/CZqApp.h"
#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"
#include "data/CCusSet.h"
#include "data/CItemSet.h"
#include "data/DaoError.h"
#include "data/JobTypes.h"
#include "data/OptionsAndLookups.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "estimating/CItemPrice.h"
#include "jobs/JobCreation.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbErrors.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <vector>

using platform::Value;

namespace {

constexpr int kShipto = 0x1, kShipVia = 0x2, kBuyer = 0x4, kLocation = 0x8, kTerms = 0x10, kTax = 0x20,
              kSalesRep = 0x40, kDiscount = 0x80, kNoShipping = 0x100, kNoPostage = 0x200, kCsr = 0x400,
              kPriceLevel = 0x800, kReprice = 0x1000, kAsk = 0x2000, kTell = 0x4000;

platform::Database &databaseOf(CJobSet &job)
{
    return job.m_pDatabase ? *job.m_pDatabase : SharedDatabase();
}

QString typeName(int type)
{
    QString name;
    GetJobTypeName(name, type);
    return name;
}

// Today plus the distance of a date from the job's date in, when it lies
// after it; otherwise the date as it was.
DateTime moved(const DateTime &date, const DateTime &dateIn, const DateTime &today)
{
    if (!date.isValid() || !dateIn.isValid() || !(date.date() > dateIn.date()))
        return date;
    return DateTime::fromDate(today.date().addDays(dateIn.date().daysTo(date.date())));
}

void negate(Money &m)
{
    m = -m;
}

} // namespace

JobCopy::JobCopy(CJobSet &target) : m_job(target) {}

DateTime JobCopy::Today() const
{
    return GetToday();
}

QString JobCopy::RemovePaymentLines(const QString &note)
{
    QString out = note;
    const QString start = QStringLiteral("Payment $");
    for (qsizetype at = out.indexOf(start); at >= 0; at = out.indexOf(start, at)) {
        const qsizetype end = out.indexOf(QStringLiteral("\r\n"), at);
        out.remove(at, end < 0 ? out.size() - at : end + 2 - at);
    }
    return out;
}

void JobCopy::CancelTarget()
{
    try {
        if (m_job.IsOpen() && m_job.GetEditMode() != CXDaoSet::dbEditNone)
            m_job.CancelUpdate();
    } catch (const platform::DbException &) {
        // the buffer is gone either way
    }
}

bool JobCopy::RunAtomically(const std::function<bool()> &work)
{
    platform::Database &db = databaseOf(m_job);
    for (int attempt = 1;; ++attempt) {
        try {
            // A failure the copy shows is shown once it has rolled back.
            DeferredDaoErrors deferred;
            platform::Transaction transaction(db);
            if (!work()) {
                CancelTarget();
                return false; // the transaction rolls everything back
            }
            transaction.commit();
            return true;
        } catch (const platform::DbException &e) {
            CancelTarget();
            if (e.number() != platform::dberr::Locked) {
                ShowDaoError(e, QStringLiteral("Cannot paste the job"));
                return false;
            }
        }
        // Another workstation holds the database: nothing was written.
        if (attempt >= kBusyTries)
            return false;
        if (attempt == 1)
            platform::Prompt::messageBox(QStringLiteral("Database is too busy to paste item!\nClick OK to try again."));
        else if (platform::Prompt::messageBox(QStringLiteral("Still busy!\nTry again?"), QString(),
                                              platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
            return false;
    }
}

bool JobCopy::CopyJob(CJobSet &source, int newType, bool credit)
{
    if (source.IsCreditInvoice()) {
        platform::Prompt::messageBox(QStringLiteral("You may not create a new job from a Credit Invoice."));
        return false;
    }
    if (credit && source.IsCredited()) {
        platform::Prompt::messageBox(
            QStringLiteral("You may not create a Credit Invoice from a previously credited invoice."));
        return false;
    }
    if (!m_job.IsOpen()) {
        // A set of no rows to add to, not the whole table.
        m_job.m_strFilter = QStringLiteral("JobID = 0");
        m_job.Open();
    }
    if (!m_job.SafeAddNew())
        return false;
    const qint32 newId = m_job.m_JobID;
    m_job = source;
    m_job.m_JobID = newId;
    m_job.m_JobType = quint8(newType);
    // A credit order has its invoice's number, negated; any other copy
    // takes the next number of its type as it is written.
    if (credit)
        m_job.m_JobNo = -source.m_JobNo;
    if (!(credit ? m_job.SaveRecord() : m_job.SaveNew()) || !CopyItems(source, credit))
        return false;

    const DateTime today = Today();
    m_job.m_FromJobType = source.m_JobType;
    m_job.m_FromJobNo = source.m_JobNo;
    m_job.m_Status = 0;
    m_job.m_PostingNo = 0;
    m_job.m_WOrderPrinted = 0;
    m_job.m_InvoicePrinted = 0;
    // A reorder of a posted invoice keeps its documents' layout.
    if (newType != source.m_JobType && !(newType == CJobSet::Order && source.m_JobType == CJobSet::History)) {
        m_job.m_PropID1 = 0;
        m_job.m_PrintOption = 0;
    }
    m_job.m_DateIn = today;
    if (source.m_JobType <= CJobSet::History) {
        if (!credit) {
            if (source.m_JobType == CJobSet::History) {
                m_job.m_DateProof = DateTime::null();
                m_job.m_DateDue = DateTime::null();
                m_job.m_TimeDue.clear();
                m_job.m_ProofTime.clear();
                m_job.m_DateReorder = moved(source.m_DateReorder, source.m_DateIn, today);
            } else if (source.m_JobType == CJobSet::Template) {
                m_job.m_DateProof = moved(source.m_DateProof, source.m_DateIn, today);
                m_job.m_DateDue = moved(source.m_DateDue, source.m_DateIn, today);
                m_job.m_DateReorder = moved(source.m_DateReorder, source.m_DateIn, today);
            }
            m_job.m_DateShipped = DateTime::null();
            m_job.m_DatePayDue = DateTime::null();
            m_job.m_DatePaid = DateTime::null();
        } else {
            m_job.m_DateProof = today;
            m_job.m_DateDue = today;
            m_job.m_DateReorder = today;
            m_job.m_DateShipped = today;
            m_job.m_DatePayDue = today;
            m_job.m_DatePaid = today;
            // The invoice is cancelled by the credit: nothing is owed on it.
            databaseOf(m_job).execute(
                QStringLiteral("UPDATE Jobs SET Creator = ?, Balance = ?, DatePaid = ? WHERE JobID = ?"),
                {Value(std::int64_t(CJobSet::kCredited), platform::FieldType::Byte), Value(Money()), Value(today),
                 Value(source.m_JobID)});
        }
    } else {
        m_job.m_DateShipped = DateTime::null();
    }
    return true;
}

bool JobCopy::CopyItems(const CJobSet &source, bool credit)
{
    platform::Database &db = databaseOf(m_job);
    std::vector<CItemSet> rows;
    {
        CItemSet read(&db);
        read.m_strFilter = QStringLiteral("Items.JobID = %1").arg(source.m_JobID);
        read.m_strSort = QStringLiteral("ItemID");
        if (!read.RequeryOrOpen(false))
            return true; // no items
        for (; !read.IsEOF(); read.MoveNext())
            rows.emplace_back(read);
    }
    CItemSet item(&db);
    item.m_strFilter = QStringLiteral("ItemID = 0");
    item.Open();
    for (const CItemSet &from : rows) {
        if (!item.SafeAddNew())
            return false;
        const qint32 newId = item.m_ItemID;
        item.CopyFields(from);
        item.m_ItemID = newId;
        item.m_JobID = m_job.m_JobID;
        if (from.m_SerNo == 0) {
            item.m_Up = -from.m_ItemID;
            if (m_job.m_JobType == CJobSet::Order) {
                item.SetDefaultStatus();
                item.StripBracedText();
            }
        } else if (!credit) {
            item.SetDefaults();
        }
        if (credit) {
            item.m_ActualTime = -item.m_ActualTime;
            item.m_ChargeTime = -item.m_ChargeTime;
            item.m_ActualQty = -item.m_ActualQty;
            item.m_ChargeQty = -item.m_ChargeQty;
            negate(item.m_TimeCost);
            negate(item.m_MatCost);
            negate(item.m_Cost);
            negate(item.m_Price);
            item.m_Note.clear();
        }
        if (!item.SaveRecord())
            return false;
        if (!credit && from.m_SerNo == 0)
            CItemSet::CopySample(db, from.m_ItemID, item.m_ItemID);
    }
    return true;
}

void JobCopy::UpdateFromCustomer(const CJobSet &source, int mask)
{
    CCusSet customer(m_job.m_pDatabase);
    if (!customer.FindCustomer(m_job.m_CusNo))
        return;
    if (source.m_JobType <= CJobSet::History && source.m_JobType != CJobSet::Quote)
        m_job.m_PO = customer.m_POReq ? QStringLiteral("?") : QString();
    if (mask & kShipto)
        m_job.m_ShiptoNo = customer.m_ShiptoNo;
    if (mask & kShipVia)
        m_job.m_ViaDue = customer.m_ShipVia;
    if (mask & kBuyer)
        m_job.m_BuyerNo = customer.m_BuyerNo;
    if (mask & kLocation)
        m_job.m_Location = customer.m_Location;
    if (mask & kTerms)
        m_job.m_TermsNo = customer.m_Terms;
    if (mask & kTax)
        m_job.m_TaxNo = customer.m_Tax;
    if (mask & kSalesRep) {
        m_job.m_SRepNo = customer.m_SRepNo;
        m_job.LoadSalesRepCommission();
    }
    if (mask & kDiscount)
        m_job.m_DiscountRate = qint32(customer.m_Discount) * 100;
    if (mask & kNoShipping)
        m_job.m_Shipping = Money();
    if (mask & kNoPostage)
        m_job.m_Postage = Money();
    if (mask & kCsr) {
        CZqApp *app = ZqApp();
        m_job.m_CSRNo = quint8(app ? app->m_nDefaultCsr : 0);
    }
    if (mask & kPriceLevel)
        databaseOf(m_job).execute(
            QStringLiteral("UPDATE Items SET Side2 = ? WHERE JobID = ? AND SerNo = 0 AND Side2 <> ?"),
            {Value(std::int64_t(customer.m_PriceLevel), platform::FieldType::Byte), Value(m_job.m_JobID),
             Value(std::int64_t(customer.m_PriceLevel), platform::FieldType::Byte)});
    if ((mask & kReprice) && !m_bRepriceRefused)
        RepriceItems();
    if (mask != 0) {
        m_job.CalcDiscount();
        m_job.CalcCommission();
        m_job.CalcSubtotal();
        m_job.RecalcTotals(true);
    }
}

bool JobCopy::RepriceItems()
{
    if (m_job.IsCreditOrCredited())
        return false;
    m_job.m_Cost = Money();
    m_job.m_Subtotal = Money();
    bool allPriced = true;
    CItemSet item(m_job.m_pDatabase);
    item.m_strFilter = QStringLiteral("JobID = %1 and SerNo = 0").arg(m_job.m_JobID);
    item.m_strSort = QStringLiteral("ItemNo");
    if (!item.RequeryOrOpen(false))
        return true;
    std::vector<qint32> ids;
    for (; !item.IsEOF(); item.MoveNext())
        ids.push_back(item.m_ItemID);
    PricingCache cache;
    const Money marker = Money::fromUnits(1); // 0.0001
    for (const qint32 id : ids) {
        if (!item.OpenByItemID(id))
            continue;
        CItemPrice engine(&item, false, &cache);
        engine.SetPresetChoice(CItemPrice::DefaultCostDefaultPrice);
        engine.PriceItem(0);
        const Money cost = engine.GetNewCost();
        const Money price = engine.GetNewPrice();
        if (cost.units() > marker.units())
            m_job.m_Cost += cost;
        if (price.isZero())
            allPriced = false;
        else if (price.units() > marker.units())
            m_job.m_Subtotal += price;
    }
    if (!allPriced)
        m_job.m_Subtotal = Money();
    else if (m_job.m_Subtotal.isZero())
        m_job.m_Subtotal = marker;
    return true;
}

void JobCopy::CollectChanges(CJobSet &source)
{
    m_changes.clear();
    const int days = int(source.m_DateIn.isValid() ? source.m_DateIn.date().daysTo(Today().date()) : 0);
    m_strChangesTitle = QStringLiteral("Pasted from %1  (%2 days old)").arg(source.GetJobLabel()).arg(days);
    m_strChangesHeader = QStringLiteral("New ") + m_job.GetJobLabel();
    CJobSet now(m_job.m_pDatabase);
    if (!now.FindById(m_job.m_JobID))
        return;
    for (int i = 1; i < source.GetFieldCount(); ++i) {
        QString was, then;
        source.GetFieldText(i, was, true);
        now.GetFieldText(i, then, true);
        if (was != then)
            m_changes.append({source.GetFieldName(i), was, then});
    }
}

bool JobCopy::PasteJob(qint32 sourceJobId, int newType, qint32 cusNo)
{
    CZqApp *app = ZqApp();
    if (!app || !app->CheckPassword(newType + 21, QString()))
        return false;
    CJobSet source(m_job.m_pDatabase);
    if (!source.FindById(sourceJobId) || source.IsEmptySet())
        return false;
    const bool portal = source.m_JobType == CJobSet::PellOrder || source.m_JobType == CJobSet::PellQuote;
    const qint32 customer = cusNo != 0 ? cusNo : source.m_CusNo;
    if (!ConfirmCustomerWarning(customer, newType))
        return false;
    if (source.IsCreditInvoice()) {
        platform::Prompt::messageBox(QStringLiteral("You may not create a new job from a Credit Invoice."));
        return false;
    }

    // Every answer first: what to update, and whether prices may change.
    const int optionId = CZqApp::GetConvertOptionId(source.m_JobType, newType);
    int mask = optionId != 0 ? int(GetOptionValue(optionId, 0)) : 0;
    if (portal)
        mask &= ~(kShipto | kBuyer);
    if (mask != 0 && (mask & kAsk)) {
        const QString title = QStringLiteral("New ") + typeName(newType) + QStringLiteral(" has been created");
        if (m_askUpdates) {
            const int chosen = m_askUpdates(title, optionId, mask);
            mask = chosen == 0 ? 0 : (chosen & ~(kAsk | kTell)) | (mask & kTell);
        }
    }
    m_nMask = mask;
    m_bRepriceRefused = false;
    if ((mask & kReprice) && !source.IsCreditOrCredited()) {
        platform::Recordset locked(databaseOf(m_job));
        locked.open(platform::Recordset::Type::Snapshot,
                    QStringLiteral("SELECT Count(*) FROM Items WHERE JobID = %1 and SerNo = 0 and Mix > 0")
                        .arg(source.m_JobID));
        if (!locked.isEOF() && locked.value(0).toInt() > 0) {
            platform::Prompt::messageBox(QStringLiteral(
                "This job has one or more Items with LOCKED Prices.\n\nTherefore, NO Items of the new job will be "
                "repriced.\nYou may reprice them in the Job window."));
            m_bRepriceRefused = true;
        }
    }
    const bool wonQuote = !portal && source.m_JobType == CJobSet::Quote && newType == CJobSet::Order &&
        GetGlobalAlertText(251, 4, QStringLiteral("0")).trimmed() == QLatin1String("1");

    const bool done = RunAtomically([&] {
        if (!CopyJob(source, newType, false))
            return false;
        if (cusNo != 0)
            m_job.m_CusNo = cusNo;
        UpdateFromCustomer(source, mask);
        m_job.m_Creator = quint8(portal || (source.m_JobType <= CJobSet::Quote && source.m_Creator == 1) ? 1 : 0);
        m_job.m_Paid = Money();
        m_job.m_Latefee = Money();
        m_job.m_Writeoff = Money();
        m_job.RecalcTotals(true);
        m_job.m_InvoiceNote = RemovePaymentLines(m_job.m_InvoiceNote);
        if (!m_job.SaveRecord())
            return false;
        platform::Database &db = databaseOf(m_job);
        if (wonQuote) {
            db.execute(QStringLiteral("UPDATE Jobs SET Status = 3 WHERE JobID = ?"), {Value(source.m_JobID)});
        } else if (portal) {
            QString title = QStringLiteral("Converted to %1 %2 %3")
                                .arg(newType == CJobSet::Order ? QStringLiteral("Order") : QStringLiteral("Quote"))
                                .arg(m_job.m_JobNo)
                                .arg(m_job.m_Title);
            const qint32 size = source.GetFieldSize(QStringLiteral("Title"));
            if (size > 0)
                title = title.left(size);
            db.execute(QStringLiteral("UPDATE Jobs SET DateShipped = ?, Status = 4, Title = ? WHERE JobID = ?"),
                       {Value(Today()), Value(title), Value(source.m_JobID)});
        }
        return true;
    });
    if (!done)
        return false;
    if (mask & kTell)
        CollectChanges(source);
    return true;
}

bool JobCopy::CreditInvoice(qint32 sourceJobId, bool revised)
{
    CZqApp *app = ZqApp();
    if (!app || !app->CheckPassword(34, QString()))
        return false;
    CJobSet source(m_job.m_pDatabase);
    if (!source.FindById(sourceJobId) || source.IsEmptySet())
        return false;
    if (source.IsCreditInvoice()) {
        platform::Prompt::messageBox(QStringLiteral("You may not create a new job from a Credit Invoice."));
        return false;
    }
    if (source.IsCredited()) {
        platform::Prompt::messageBox(
            QStringLiteral("You may not create a Credit Invoice from a previously credited invoice."));
        return false;
    }
    // A payment stays with the invoice it was applied to. Only when a revised
    // invoice is to replace it may the user want to move that payment first; a
    // plain credit just cancels the invoice, payment and all.
    if (revised && !source.m_Paid.isZero() &&
        platform::Prompt::messageBox(
            QStringLiteral("This invoice, #%1, has a payment amount of %2. \nIf you plan to revise this payment, please "
                           "stop now and fix the payment.\n\nDo you want to stop now?\n\n")
                .arg(source.m_JobNo)
                .arg(FormatMoneyGrouped(-source.m_Paid)),
            QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES)
        return false;

    m_nCreditJobId = m_nCreditJobNo = m_nRevisedJobId = m_nRevisedJobNo = 0;
    return RunAtomically([&] {
        if (revised) {
            // The revised invoice is a plain copy of the invoice as it was.
            CJobSet original(m_job.m_pDatabase);
            if (!original.FindById(sourceJobId))
                return false;
            if (!CopyJob(original, CJobSet::Order, false))
                return false;
            m_job.m_Creator = 0;
            m_job.RecalcTotals(true);
            if (!m_job.SaveRecord())
                return false;
            m_nRevisedJobId = m_job.m_JobID;
            m_nRevisedJobNo = m_job.m_JobNo;
        }
        if (!CopyJob(source, CJobSet::Order, true))
            return false;
        m_job.m_Creator = CJobSet::kCreditInvoice;
        m_job.m_WOrderNote.clear();
        m_job.m_InvoiceNote.clear();
        negate(m_job.m_Paid);
        negate(m_job.m_Cost);
        negate(m_job.m_Subtotal);
        m_job.RecalcTotals(true);
        if (!m_job.SaveRecord())
            return false;
        m_nCreditJobId = m_job.m_JobID;
        m_nCreditJobNo = m_job.m_JobNo;
        return true;
    });
}
