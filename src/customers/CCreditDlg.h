#pragma once

#include "platform/Money.h"
#include "views/CDlg0.h"

class QComboBox;
class QLabel;
class QLineEdit;

// The credit the shop owes a customer: a signed adjustment with a reason,
// the new credit due shown as it is typed, and the adjustment's history. The
// save writes the Credits row and moves the customer's CreditDue in one
// transaction, checked against the credit due as stored at that moment.
class CCreditDlg : public CDlg0
{
    Q_OBJECT

public:
    CCreditDlg(qint32 cusNo, QWidget *parent);

    // New credit due = current + adjustment, never below 0 (the adjustment is
    // cut to use up the credit at most).
    void Recompute();

    qint32 m_cusNo = 0;
    QString m_name;
    Money m_currentDue;
    Money m_adjustment;
    Money m_newDue;
    quint8 m_reason = 0;

    QLineEdit *adjustmentEdit() const { return m_edit; }
    QComboBox *reasonList() const { return m_reasons; }
    QLabel *currentLabel() const { return m_current; }
    QLabel *newLabel() const { return m_new; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;

private:
    bool ReadAdjustment();
    void ShowHistory();

    QLabel *m_current = nullptr;
    QLabel *m_new = nullptr;
    QLineEdit *m_edit = nullptr;
    QComboBox *m_reasons = nullptr;
};

// Fills the customer windows' credit-dialog slot with this dialog.
void InstallCreditDialog();
