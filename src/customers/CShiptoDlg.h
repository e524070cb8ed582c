#pragma once

#include "data/CShiptoSet.h"
#include "views/CDlg0.h"

// The ship-to window (template 611 "Ship To"): one delivery address. ShiptoNo
// 0 makes a new address; one made for customer 0 belongs to the walk-in
// customer 31. Only OK writes the row.
//
// Entry point: CShiptoDlg dlg(cusNo, shiptoNo, scheme, title, parent);
// optionally dlg.m_nCopyFrom = an address to copy; on IDOK read
// dlg.m_nShiptoNo and dlg.m_strAddress.
class CShiptoDlg : public CDlg0
{
    Q_OBJECT

public:
    CShiptoDlg(qint32 cusNo, qint32 shiptoNo, int colourScheme, const QString &title, QWidget *parent);

    qint32 m_nCusNo = 0;
    qint32 m_nShiptoNo = 0;
    qint32 m_nCopyFrom = 0;
    QString m_strTitle;
    QString m_strAddress;
    bool m_bSaved = false;

    CShiptoSet &record() { return m_set; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;

private:
    bool Exchange(bool save);
    void OnNote();

    CShiptoSet m_set;
    CXWnd m_panel;
    CXRibbon m_noteRibbon;
};
