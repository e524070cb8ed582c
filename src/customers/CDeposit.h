#pragma once

#include "data/PaymentRows.h"
#include "platform/Money.h"
#include "views/CDlg0.h"

class QDateEdit;
class QLineEdit;
class QListWidget;

// The dialog in which money is taken from a customer: the amount due, the
// amount tendered and the change, how the customer paid and a reference. It
// fills one Payments row. A payment on account (kind 2) writes the row
// itself; a quick sale or a deposit hands it back unsaved, for the caller
// to write together with the sale or the order's new balance.
class CDeposit : public CDlg0
{
    Q_OBJECT

public:
    CDeposit(quint8 kind, Money due, qint32 cusNo, qint32 jobNo, QWidget *parent);

    // The answer of DoModal: 30330 saved to be printed, 1 saved, 2 cancelled.
    static constexpr int kPrintAndSave = 30330;

    NewPayment m_payment;   // the row; its PayNo in m_payNo once written
    qint32 m_payNo = 0;
    quint8 m_kind = 0;
    Money m_due;
    Money m_tendered;
    Money m_change;

    QLineEdit *tenderedEdit() const { return m_tenderedEdit; }
    QLineEdit *changeEdit() const { return m_changeEdit; }
    QLineEdit *referenceEdit() const { return m_referenceEdit; }
    QListWidget *typeList() const { return m_types; }

    // The tendered field left: the tendered amount and the change by the rules.
    void OnTenderedLeft();

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void OnPrintList() override;

private:
    bool ReadFields();
    void ShowFields();
    void SelectType(int code);
    void SetDefaultType();
    void Save(int result);

    QLineEdit *m_dueEdit = nullptr;
    QLineEdit *m_tenderedEdit = nullptr;
    QLineEdit *m_changeEdit = nullptr;
    QLineEdit *m_referenceEdit = nullptr;
    QListWidget *m_types = nullptr;
    QDateEdit *m_datePaid = nullptr;
};

// Fills the job window's deposit slot with this dialog.
void InstallDepositDialog();
