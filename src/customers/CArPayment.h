#pragma once

#include "controls/CXRibbon.h"
#include "customers/PaymentEntry.h"
#include "views/CDlg0.h"

class CXListCtrl;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QTreeWidget;

// The payment received from a customer, applied to the customer's unpaid
// invoices (its child accounts' included): a click on an invoice number pays
// it or takes the payment off it, "pay all" pays every invoice, a partial
// amount pays part of one; a typed Amount is fixed and spread by the clicks.
// Saving asks its questions first and then writes everything at once.
class CArPayment : public CDlg0
{
    Q_OBJECT

public:
    // The view's list of customers (with its branch and entry) lets the
    // window move to the next customer of that list.
    CArPayment(qint32 cusNo, QWidget *parent, CXListCtrl *viewList = nullptr, int branch = 0, int entry = 0);

    // Loads the customer and its invoices, with the advance-payment and
    // use-the-credit questions. False when the dialog is to close.
    bool LoadCustomer();
    // Saves the payment (strict: the Save buttons; else Cancel, which may
    // drop it). True when the caller may go on.
    bool SavePayment(bool strict);
    void ApplyRow(int row, bool partial);

    PaymentEntry &entry() { return m_entry; }
    QTreeWidget *invoiceList() const { return m_list; }
    QLineEdit *amountEdit() const { return m_amount; }
    QDateEdit *dateEdit() const { return m_date; }
    CXRibbon &commandRibbon() { return m_commands; }
    CXRibbon &customerRibbon() { return m_customerBar; }
    // The panel that names the customer billed above its address.
    CXRibbon &billToPanel() { return m_billTo; }
    qint32 customerNo() const { return m_cusNo; }
    Money totalSaved() const { return m_entry.totalSaved; }

    static QString HowToApplyText();

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;

private:
    bool ReadFields();
    void ShowFields();
    void OnAmountChanged();
    void BuildRibbon();
    // The customer's tips on the customer, payer and note items.
    void ShowCustomerTips();
    // The commands of the ribbon.
    void OnNew();
    void OpenJob();
    void EditJobTotals();
    void ShowSummary();
    void ShowPaymentHistory();
    void OpenCustomer();
    void EditPayer();
    void EditNote();
    // Record navigation (59648 first, 59649 last, 59650 next, 59651
    // previous) through the view's list of customers.
    void OnNavigate(int command);
    bool CanNavigate() const;
    // The JobID of the highlighted invoice (0 none).
    qint32 HighlightedJob() const;
    // The invoices read again after a window that may have changed them,
    // the payment entered kept and the same invoice highlighted.
    void ReloadInvoices();

    qint32 m_cusNo = 0;
    QString m_name;
    PaymentEntry m_entry;
    QTreeWidget *m_list = nullptr;
    QWidget *m_applyAll = nullptr;
    QComboBox *m_type = nullptr;
    QLineEdit *m_reference = nullptr;
    QLineEdit *m_amount = nullptr;
    bool m_bRefusing = false; // a refused amount is being said: leaving the field is no new entry
    QLineEdit *m_applied = nullptr;
    QLineEdit *m_remains = nullptr;
    QLineEdit *m_balance = nullptr;
    QDateEdit *m_date = nullptr;
    CXListCtrl *m_viewList = nullptr;
    int m_branch = 0;
    int m_listEntry = 0;
    CXRibbon m_commands;
    CXRibbon m_customerBar;
    CXRibbon m_billTo;
};
