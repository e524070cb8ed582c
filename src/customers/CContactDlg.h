#pragma once

#include "controls/CXGridProp.h"
#include "data/CContactSet.h"
#include "views/CDlg0.h"

class CXTreeOptCtrl;

// The contact window (template 621): one contact of a customer in a property
// grid, with its note, five dates and user-defined properties. Contact number
// 0 makes a new contact; a contact made for customer 0 belongs to the walk-in
// customer 31. Only OK writes the row; Cancel leaves the table as it was.
//
// Entry point: CContactDlg dlg(cusNo, contactNo, scheme, caption, parent);
// optionally dlg.m_nCopyFrom = a contact to copy; on IDOK read
// dlg.m_nContactNo and dlg.m_strName.
class CContactDlg : public CDlg0
{
    Q_OBJECT

public:
    // Rows of the property grid.
    enum Row { RowHeading, RowFirst, RowLast, RowTitle, RowPosition, RowDept, RowContact, RowPhone, RowPhone2,
               RowCell, RowFax, RowEmail, RowOptions, RowSendEmail, RowSendSurvey, RowKeyContact, RowWebOption,
               RowStatus };

    CContactDlg(qint32 cusNo, qint32 contactNo, int colourScheme, const QString &caption, QWidget *parent);

    qint32 m_nCusNo = 0;
    qint32 m_nContactNo = 0;
    // A contact to copy into a new one (the list's "Paste").
    qint32 m_nCopyFrom = 0;
    QString m_strCaption;
    QString m_strName;
    bool m_bChanged = false;

    CXGridProp &grid() { return m_grid; }
    CContactSet &record() { return m_set; }
    CXTreeOptCtrl *propertyTree() const { return m_tree; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;

private:
    void BuildGrid();
    void Exchange(bool save);
    // The fields named as the window shows them, for the question about a
    // field another workstation changed too.
    void NameFields();
    void OnEmail();
    void OnNote();
    // The heading and the window title name the contact as typed so far.
    void ShowTypedName();

    CContactSet m_set;
    CXGridProp m_grid;
    CXTreeOptCtrl *m_tree = nullptr;
    CXWnd m_panels[3];
    QString m_strCustomerName;
};
