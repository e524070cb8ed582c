#pragma once

#include "views/CDlgRibbon.h"

#include "platform/Money.h"

#include <QtCore/QString>

class CCusSet;
class CXTreeOptCtrl;

// The customer window: one customer (the bill-to party of jobs) viewed and
// edited on the record-dialog base. It works on a CCusSet the caller has
// positioned: in edit mode for an editable window, in add mode to make a new
// customer, or simply on the row with m_bReadOnly set for a read-only window.
//
// Entry points for other areas:
//   CCusDlg dlg(set, list, parent); dlg.m_bReadOnly = 1; dlg.DoModal();
// DoModal returns 30100 when the user chose "New" (the caller makes a new
// customer and opens the window again), otherwise IDCANCEL. The set is left
// on the customer the window last showed; a new customer that was never
// saved is removed with its rows and the set's CusNo is 0.
//
// A new customer (add mode) takes the settings of customer 10 but not its
// name or address, starts Active, gets the next number (at least 32 when the
// database holds only the program's own customers) and is stored at once, so
// contacts and addresses can hang off it while the window is open.
class CCusDlg : public CDlgRibbon
{
    Q_OBJECT

public:
    // Control ids of the window.
    enum : unsigned {
        IDC_NAME = 1301, IDC_ADDRESS = 1302, IDC_ADDRESS2 = 1303, IDC_CITY = 1304, IDC_STATE = 1305,
        IDC_ZIP = 1306, IDC_COUNTRY = 1307, IDC_CREDIT_LIMIT = 1322, IDC_CREDIT_DUE = 1323, IDC_CUSID = 1324,
        IDC_GROUPID = 1325, IDC_PARENTNO = 1326, IDC_POREQ = 1201, IDC_LATEFEE = 1202, IDC_STATEMENT = 1203,
        IDC_WEBACCESS = 1204, IDC_ALERTIF = 1205, IDC_PRICELEVEL = 1206, IDC_DISCOUNT = 1208,
        IDC_LOCATION = 1209, IDC_SHIPVIA = 1210, IDC_BUSINESS = 1211, IDC_SOURCE = 1212, IDC_SREP = 1213,
        IDC_TAX = 1214, IDC_TERMS = 1215, IDC_PRICEROUND = 1216, IDC_PRIORITY = 1218, IDC_CREATED = 2401,
        IDC_MODIFIED = 2402, IDC_PROPERTIES = 2201, IDC_CREDIT_BUTTON = 2538, IDC_CREDIT_HISTORY = 30401,
        IDC_PARENT_BUTTON = 30353,
    };

    CCusDlg(CCusSet &set, CXListCtrl *list, QWidget *parent);

    // Controls to record, the checks in order, then the save. True when
    // saved (or a read-only window, which never writes).
    bool CheckAndSave(int mode = 0);
    // Record to controls, ribbons and tips.
    void FillControls();

    bool isNewRecord() const { return m_bNewRecord; }
    CCusSet &record() { return m_set; }
    CXRibbon &commandsRibbon() { return m_wndRibbon3; }
    CXRibbon &contactsRibbon() { return m_wndRibbon4; }
    CXRibbon &alertsRibbon() { return m_wndRibbon5; }
    CXTreeOptCtrl *propertyTree() const { return m_tree; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;
    void OnSize(int type, int cx, int cy) override;

private:
    // The shop's file is open for reading only.
    bool shopReadOnly() const;
    void BuildLayout();
    void BuildRibbons();
    void FillLists();
    void MakeNewCustomer();
    // Controls <-> record; false when a save met bad input. A read-only
    // window exchanges nothing in the save direction.
    bool ExchangeFields(bool save);
    void UpdateRibbonStates();
    void ApplyColorScheme();
    void EnableFields(bool enable);
    void ShowStatus();
    void ShowShipto();
    void ShowContact(unsigned itemId, qint32 contactNo);
    void ShowAlerts();

    void OnEdit();
    void OnNew();
    void OnSaveAndClose();
    void OnStatus();
    void OnAlert(int alertType);
    void OnNote();
    void OnParent();
    void OnFind();
    void OnNavigate(int command);
    void OnShipto();
    void RereadAfterOwnChange();
    void OnContact(int command);
    void OnCreditDue();
    void OnCreditHistory();
    void OnSummary();
    bool ShowCustomer(qint32 cusNo);

    CCusSet &m_set;
    bool m_bNewRecord = false;
    QString m_strLoadedName;
    Money m_creditDue;
    CXTreeOptCtrl *m_tree = nullptr;
    CXWnd m_wndBillTo;
    CXWnd m_wndProperties;
};
