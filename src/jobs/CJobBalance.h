#pragma once

#include "data/CJobSet.h"
#include "views/CDlg0.h"

#include <QtCore/QString>

class QComboBox;
class QDateEdit;
class QLineEdit;

// The job totals dialog (751 "Job Totals"): edits the money of one job,
// subtotal, discount (amount or rate), shipping, postage, tax and its rate,
// late fee, payments, write-off, terms and payment dates, and the sales rep's
// commission (amount or rate, on the margin or on the subtotal). It works on
// the caller's job record, in edit mode; every change is recomputed at once by
// the job record's money rules, and OK leaves the changed record for the
// caller to save. Cancel puts back what the record held when the dialog
// opened.
class CJobBalance : public CDlg0
{
    Q_OBJECT

public:
    explicit CJobBalance(QWidget *parent);

    // Set by the caller before DoModal.
    CJobSet *m_pJob = nullptr;
    // Late fee, payments and write-off may be edited (the job window was
    // opened from the receivables or another record window).
    bool m_bReceivables = false;

    QString m_strDiscountRate;
    QString m_strCommissionRate;
    QString m_strBasis;

    QLineEdit *edit(unsigned id) const;
    QComboBox *combo(unsigned id) const;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;

private:
    // Controls to the record (save) or the record to the controls; false
    // when a save met bad input or the record is not open.
    bool Exchange(bool save);
    void Refresh();
    // False when the typed value was refused (said once, focus back on it).
    bool ApplyChangedField();
    void OnTaxChanged();
    // When a figure of the job now passes the largest amount: the job is put
    // back to `before`, the refusal is said naming the field, which takes
    // the focus; true then.
    bool RefusedPastLargest(const CJobSet &before, Money storedBefore, QWidget *field);
    void OnSalesRepChanged();
    void ShowCommission();

    unsigned m_nChangedId = 0;
    bool m_bDirty = false;
    bool m_bRefusing = false; // a refusal is being shown: leaving the field is no new attempt
    quint8 m_nSRepNo = 0;
    // A commission rate the user typed, with the amount it gave on its
    // basis: while both stand the rate shows as typed, not as the rounded
    // amount's rate.
    struct TypedRate
    {
        bool typed = false;
        qint32 rate = 0;
        Money amount;
        Money basis;
    };
    TypedRate m_typedCommission;
    // The record as it stood when the dialog opened.
    CJobSet m_snapshot;
    Money m_snapshotStoredBalance;
};
