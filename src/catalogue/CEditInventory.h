#pragma once

#include "views/CDlg0.h"

class CItemSet;
class CSerSet;
class QLabel;
class QLineEdit;

// "Confirm Inventory Used": when a job service of a tracked paper is marked
// done (or its done mark is taken back), how much was taken from stock (or is
// given back), and the stock that results before it is saved. The estimate
// shows as a positive number in both directions.
class CEditInventory : public CDlg0
{
    Q_OBJECT

public:
    enum ControlId : unsigned { IDC_WAS = 1301, IDC_USED = 1302, IDC_NOW = 1303, IDC_LABEL = 1903, IDC_NOTE = 1904 };

    CEditInventory(const CItemSet &item, const CSerSet &service, QWidget *parent);

    bool m_bGiveBack = false;
    // Set by the caller to the shop's inventory option bits (16: the job's
    // actual quantity and cost follow an edited quantity).
    int m_nOptionBits = 0;

    qint32 m_nInStockBefore = 0;
    qint32 m_nUsed = 0;
    qint32 m_nInStockNow = 0;

    QLineEdit *usedEdit() const { return m_used; }
    QLineEdit *nowEdit() const { return m_now; }
    QString noteText() const;
    // Reads the quantity the field was left with (a minus sign dropped) and
    // shows the result.
    void OnUsedChanged();
    void Recompute();
    // A minus sign typed before the quantity used is dropped ("-250" is 250).
    void DropSign();

    // Installs the dialog as the confirmation the Items status rule asks.
    static void Install();

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    qint32 m_nEstimate = 0;
    QString m_strFullName;
    QLineEdit *m_was = nullptr;
    QLineEdit *m_used = nullptr;
    QLineEdit *m_now = nullptr;
    QLabel *m_label = nullptr;
    QLabel *m_note = nullptr;
};
