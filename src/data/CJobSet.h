#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// The recordset of table Jobs: one row per quote, order, template, posted
// invoice (history) or portal order and quote. Besides the columns it carries
// the rules that live on one job row: its texts, the derived status, the
// customer and sales-rep defaults, the payment due date, the check before a
// document is printed, the money rules that keep the amounts consistent, the
// locks that tell other workstations a job is open, the job numbers and the
// deletion with its audit trail.
//
// Amounts follow one sign convention: with a subtotal of 0 or more, shipping,
// postage, taxes, taxable amounts, late fees and commission are 0 or positive
// and discount and write-off 0 or negative; a credit (negative subtotal)
// reverses every sign. Rates are hundredths of a percent (10000 = 100 %).
class CJobSet : public CXDaoSet
{
public:
    // Job types.
    enum { Order = 0, Quote = 1, Template = 2, History = 3, PellOrder = 4, PellQuote = 5 };
    // Creator marks: an invoice that has been credited, and a credit invoice.
    static constexpr quint8 kCredited = 'b';
    static constexpr quint8 kCreditInvoice = 'c';

    explicit CJobSet(platform::Database *database = nullptr);
    ~CJobSet() override;

    // Copies every column and the total and both rates of another job (the
    // balance as stored is not copied). The recordset state stays as it is.
    CJobSet &operator=(const CJobSet &other);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;
    // Every column but the key and the seven dates to 0 or "", the total and
    // both rates to 0. Callers that add a job call it after SafeAddNew.
    void ResetFields() override;

    // --- texts of the job ---------------------------------------------------
    // "Order 1234": the job type's name and the job number.
    void GetJobLabel(QString &out) const;
    QString GetJobLabel() const;
    // "*^%d#*" with the JobID: the job's bar code on its documents.
    void GetBarcodeText(QString &out) const;
    // "Scratch", or the type and number of the job this one was made from.
    void GetFromJobText(QString &out) const;
    // Names of the shipping method and the payment terms; empty when the code
    // has no row.
    void GetViaDueName(QString &out) const;
    void GetTermsName(QString &out) const;

    // --- finding and rules of one row -----------------------------------------
    // Positions the set on the job ("JobID = %d"), in edit mode when asked.
    // JobID 0 runs no query.
    bool FindById(qint32 jobId, bool edit = false);
    // Deletes every Items row of the job (no question; all or nothing).
    bool DeleteJobItems(qint32 jobId);
    // DatePayDue from DateShipped and the payment terms.
    void CalcPayDueDate();
    // Recomputes Status from the job's type, printed flags, dates, P.O. and
    // subtotal; with save the row is saved when the status changed. Returns
    // the status.
    int UpdateAutoStatus(bool save);
    // Takes the customer's defaults (ship-to, buyer, sales rep, location,
    // shipping, tax, terms, P.O. rule, discount) and recomputes the discount,
    // commission, taxable amounts and taxes.
    void ApplyCustomer(qint32 cusNo);
    void LoadSalesRepCommission();
    void LoadCustomerDiscount();
    // Lists the data missing before a document is printed and asks whether
    // to complete it now: 0 nothing missing (or not examined), -30103 the
    // user wants to complete it (open the job), -1 the user declined.
    int CheckBeforePrint(int documentLevel, const QString &documentName);

    bool IsCreditOrCredited() const { return m_Creator == kCredited || m_Creator == kCreditInvoice; }
    bool IsCredited() const { return m_Creator == kCredited; }
    bool IsCreditInvoice() const { return m_Creator == kCreditInvoice; }

    // --- money rules (they work on the row in memory and save nothing unless
    // stated) ----------------------------------------------------------------
    // The recomputation run after every read and after amount edits; with
    // save the balance as stored takes the new balance.
    void RecalcTotals(bool save);
    void AlignAmountSigns();
    // The discount rate: the rate the Discount was worked from while that
    // rate still gives the Discount to the cent, else the Discount over the
    // Subtotal.
    void DeriveDiscountRate();
    void CalcDiscount();
    // The rate stored with the job as the one its Discount was worked from
    // (1 to 10000 hundredths of a percent), 0 when there is none. A rate
    // typed by the user is kept so, not as the rate of its rounded amount
    // (10 % of 8.15 is a discount of 0.82, itself 10.06 % of 8.15).
    qint32 TypedDiscountRate() const;
    // Works the Discount from a rate and keeps that rate with the job.
    void ApplyDiscountRate(qint32 hundredths);
    // The Discount was typed as an amount: no rate is kept with it.
    void ForgetDiscountRate();
    void CalcCommissionRate();
    void CalcCommission();
    // Taxable amounts and taxes from the job's item rows (Subtotal stays).
    void CalcSubtotal();
    // The same from the sum of the prices of the job's taxable items (item
    // rows not marked Bleed and priced other than nothing), for a caller that
    // has just written them and holds the sum.
    void CalcSubtotal(const Money &taxableItems);
    void CalcBalance();
    // TRUE when the balance equals the balance as stored. Mode 0 asks
    // nothing; mode 1 (or a set that is not being edited) reports the
    // difference; any other mode offers to save the calculated balance.
    bool CheckBalance(int mode, const QString &extraText);
    // TRUE when the subtotal or cost disagrees with the sums of the item and
    // service prices and the service costs; with an extra text the
    // discrepancy is shown.
    bool CheckTotals(const QString &extraText);
    // What the totals check compares the job's subtotal and cost with: the
    // sums of its item rows' prices (item rows and service rows apart) and of
    // its service rows' costs, and whether every row is priced.
    struct ItemSums
    {
        Money serviceCosts;
        Money itemPrices;
        Money servicePrices;
        bool allPriced = true;
        // One item row; a row with a service number is a service row.
        void Add(bool serviceRow, Money cost, Money price);
    };
    // The same check on the sums of the job's item rows read beforehand (the
    // items of many jobs read at once).
    bool CheckTotals(const ItemSums &sums, const QString &extraText);
    static QString FormatDiscrepancy(const QString &nameA, const QString &nameB, Money a, Money b);
    // The refusal of a job whose amounts (as the row in memory holds them)
    // pass the largest amount the program takes, naming the first such
    // figure ("\"Total\" cannot be more than ..."); empty when none does.
    QString AmountPastLargest() const;

    // --- locks, numbers, deletion and the audit trail ----------------------
    // TRUE when a lock row exists for the current job.
    bool IsLocked();
    // Takes (true) or releases (false) the current job's lock. A job locked
    // elsewhere is taken over only when the user agrees.
    bool Lock(bool lock);
    // -1: JobNo takes the next number counted from the highest job number in
    // use; 0 or below: the next number of the job type's counter; above 0:
    // the caller's number (already in JobNo) is recorded as the last given.
    bool NewJobNo(qint32 number);
    // Stores the record; a new one takes the next number of its type's
    // counter as it is written (CXDaoSet::SaveNewRecord), so a job that
    // cannot be written gives its number back.
    bool SaveNew(unsigned beepType = 0);
    // May the job be deleted? When not, the reason is handed back in this
    // object's InvoiceNote. When it may, its audit row is written and a
    // credit order's invoice is no longer marked as credited; the job itself
    // is not deleted.
    bool CanDeleteJob(qint32 jobId);
    enum DeleteResult { DeleteFailed = -1, DeleteRefused = 0, Deleted = 1 };
    // The whole deletion as one change: the checks of CanDeleteJob, the audit
    // row, the un-marking of a credited invoice, the job's items and the job.
    // Refused: the reason is in InvoiceNote and nothing changes. Failed: the
    // user has been told and nothing changes.
    DeleteResult DeleteJob(qint32 jobId);
    // Writes the changes of a posted invoice's amounts to the audit trail
    // while its edit is pending (before it is saved).
    void WriteAuditTrail();
    // Saves the row being edited and, for a posted invoice whose amounts
    // changed, its audit row, as one change: a failure writes neither, keeps
    // the edit pending with every changed value and is reported after the
    // rollback. A new row is saved as SaveRecord saves it. The set is in edit
    // mode again afterwards; beeps with a beep type other than 0.
    bool SaveWithAuditTrail(unsigned beepType);
    // A save of the job's items writes the job's figures with them, in the
    // caller's transaction. The job as stored now against the job as this
    // record read it: ItemsJobReady when its items' figures may be written
    // over it; refused when it was posted or deleted meanwhile, or another
    // workstation saved its figures (an item of its own, its totals).
    enum ItemsJobState { ItemsJobReady, ItemsJobFiguresChanged, ItemsJobPosted, ItemsJobGone, ItemsJobCancelled,
                         ItemsJobFailed };
    ItemsJobState StoredStateForItems();
    // The record being edited (an edit is started when none is), with the
    // figures its caller worked from the items as they are now, written when
    // StoredStateForItems allows it: the job's own fields settled as any
    // shared row's (a field both changed is asked about; Cancel gives
    // ItemsJobCancelled), an audit row for a posted invoice's amounts. Writes
    // nothing when refused or failed (a failure is shown); the caller's
    // transaction is to be rolled back then.
    ItemsJobState SaveWithItems();
    // After a refusal for figures saved meanwhile: the record takes the job
    // as it is stored now, unless it holds changes of its own not yet saved
    // (false then).
    bool ReadAgainForItems();
    // Rolls the service costs of the job's items up into the item and job
    // costs; TRUE when the job's cost changed.
    bool RecalcJobCost(qint32 jobId);
    // The roll-up itself, as one step of a larger change that the caller
    // holds in its transaction: throws platform::DbException on a failure and
    // shows nothing.
    static bool RollUpJobCost(platform::Database &db, qint32 jobId);

    // --- columns ------------------------------------------------------------
    qint32 m_JobID = 0;
    quint8 m_JobType = 0;
    qint32 m_JobNo = 0;
    QString m_Title;
    quint8 m_FromJobType = 0;
    qint32 m_FromJobNo = 0;
    quint8 m_Status = 0;
    quint8 m_CSRNo = 0;
    quint8 m_SRepNo = 0;
    qint32 m_CusNo = 0;
    qint32 m_ShiptoNo = 0;
    qint32 m_BuyerNo = 0;
    qint32 m_PostingNo = 0;
    quint8 m_Location = 0;
    QString m_PO;
    DateTime m_DateIn;
    DateTime m_DateProof;
    DateTime m_DateDue;
    DateTime m_DateShipped;
    DateTime m_DateReorder;
    DateTime m_DatePayDue;
    DateTime m_DatePaid;
    QString m_TimeDue;
    quint8 m_ViaDue = 0;
    quint8 m_TaxNo = 0;
    quint8 m_TermsNo = 0;
    Money m_Cost;
    Money m_Subtotal;
    Money m_Discount;
    Money m_Shipping;
    Money m_Postage;
    Money m_Tax;
    Money m_Latefee;
    Money m_Paid;
    Money m_Writeoff;
    Money m_Balance;
    Money m_Commission;
    quint8 m_CommType = 0;
    quint8 m_WOrderPrinted = 0;
    quint8 m_InvoicePrinted = 0;
    QString m_WOrderNote;
    QString m_InvoiceNote;
    quint8 m_Creator = 0;
    quint8 m_PropID1 = 0;
    qint32 m_PrintOption = 0;
    // No print choice uses this column: it keeps the discount rate the
    // Discount was worked from, in hundredths of a percent (0 none; see
    // TypedDiscountRate).
    qint32 m_PrintOption2 = 0;
    QString m_ProofTime;
    Money m_Taxable;
    Money m_Taxable2;
    Money m_Tax2;

    // --- kept per object, never stored ----------------------------------------
    Money m_TotalAmount;   // the job total computed by CalcBalance
    Money m_StoredBalance; // Balance as it stands in the database
    qint32 m_DiscountRate = 0;
    qint32 m_CommissionRate = 0;

    static constexpr int kFieldCount = 50;

private:
    struct DeletionPlan;

    Money CommissionBase() const;
    // Writes the row being edited (onto the row as it is now with asRead,
    // else as read) with, for a posted invoice whose amounts changed, its
    // audit row, in one transaction: Ready, Cancelled (a field both changed,
    // and the user cancelled) or Failed (shown; nothing written, the edit
    // kept pending with every changed value).
    ItemsJobState WriteWithAudit(bool asRead);
    platform::Database &database();
    // The checks of a deletion; false with the reason text when refused.
    bool PlanDeletion(qint32 jobId, DeletionPlan &plan, QString &reason);
    // Writes what a planned deletion writes; throws on a database failure.
    void ExecuteDeletion(DeletionPlan &plan, bool deleteRows);
};
