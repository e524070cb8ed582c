#pragma once

#include "app/base/CompanyInfo.h"
#include "views/CDlg0.h"

class QLineEdit;

// "My Company": the shop's name, address, phone and fax, as the documents,
// the home page and the About box show them. It opens on `company` as read
// from the file; OK checks the name, writes what was changed here into the
// shop's customer row and its buyer contact (as they are by then) and keeps
// the texts as stored in m_company; Cancel writes nothing.
class CCompanyDlg : public CDlg0
{
    Q_OBJECT

public:
    CCompanyDlg(const CompanyInfo &company, QWidget *parent);

    CompanyInfo m_company;
    QLineEdit *edit(int field) const { return m_edits[field]; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    QLineEdit *m_edits[7] = {};
};
