#pragma once

#include "app/base/CompanyInfo.h"
#include "views/CDlg0.h"

class QLineEdit;

// "My Company": the shop's name, address, phone and fax, as the documents,
// the home page and the About box show them. OK checks the name, writes the
// texts into the shop's customer row and its buyer contact and keeps them in
// m_company; Cancel writes nothing.
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
