#include "views/CCompanyDlg.h"

#include "data/CompanyRows.h"
#include "platform/Prompt.h"

#include <QtWidgets/QLineEdit>

namespace {

struct Field
{
    const char *label;
    int maxLength; // the width of the column the text is kept in
};

const Field kFields[7] = {{"Name", 60}, {"Address", 60}, {"City", 30}, {"State", 20},
                          {"Zip", 15},  {"Phone", 20},   {"Fax", 20}};

} // namespace

CCompanyDlg::CCompanyDlg(const CompanyInfo &company, QWidget *parent)
    : CDlg0(430, parent), m_company(company)
{
    m_strWindowTitle = QStringLiteral("My Company");
    m_strRibbonTitle = QStringLiteral("My Company");
    m_strStripText = QStringLiteral("Your company's name, address, phone and fax as your documents print them.");
    m_crBack = 0xFFFFFF;
    setFixedSize(460, 420);
    AddPlaceholder(1901, QRect(0, 0, 460, 34));
    AddPlaceholder(1902, QRect(0, 34, 460, 50));
    for (int i = 0; i < 7; ++i) {
        AddLabel(QString::fromUtf8(kFields[i].label), QRect(20, 100 + 38 * i, 90, 28));
        m_edits[i] = AddEdit(unsigned(1301 + i), QRect(120, 100 + 38 * i, 320, 28));
        m_edits[i]->setMaxLength(kFields[i].maxLength);
    }
    AddButton(1, QStringLiteral("OK"), QRect(210, 372, 110, 30));
    AddButton(2, QStringLiteral("Cancel"), QRect(330, 372, 110, 30));
}

bool CCompanyDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    InitRibbons(3, 1, 2, 14);
    const QString texts[7] = {m_company.m_strName,  m_company.m_strAddress, m_company.m_strCity,
                              m_company.m_strState, m_company.m_strZip,     m_company.m_strPhone,
                              m_company.m_strFax};
    for (int i = 0; i < 7; ++i)
        m_edits[i]->setText(texts[i]);
    m_edits[0]->setFocus();
    return true;
}

void CCompanyDlg::OnOK()
{
    CompanyInfo company;
    QString *const texts[7] = {&company.m_strName,  &company.m_strAddress, &company.m_strCity,
                               &company.m_strState, &company.m_strZip,     &company.m_strPhone,
                               &company.m_strFax};
    for (int i = 0; i < 7; ++i)
        *texts[i] = m_edits[i]->text().trimmed();
    if (company.m_strName.isEmpty()) {
        platform::Prompt::messageBox(QStringLiteral("Please enter your company's name."), QString(),
                                     platform::MB_ICONEXCLAMATION);
        m_edits[0]->setFocus();
        return;
    }
    // Only what was changed here is written, onto the rows as they are now;
    // nothing saved (a Cancel in the question about another user's save, or
    // a failure already shown) keeps the window open with what was typed.
    QStringList labels;
    for (const Field &f : kFields)
        labels.append(QString::fromUtf8(f.label));
    if (!CompanyRows::Save(m_company, company, labels))
        return;
    m_company = CompanyRows::Read();
    EndDialog(IDOK_RESULT);
}
