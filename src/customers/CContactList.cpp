#include "customers/CContactList.h"

#include "controls/CXListCtrl.h"
#include "customers/CContactDlg.h"
#include "data/CContactSet.h"
#include "data/CCusSet.h"

CContactList::CContactList(qint32 cusNo, qint32 contactNo, int colourScheme, const QString &caption,
                           QWidget *parent)
    : CPickList(cusNo, contactNo, colourScheme, caption, parent)
{
    m_strWindowTitle = QStringLiteral("Contacts");
    CCusSet customer;
    QString name;
    customer.GetCustomerName(name, cusNo);
    m_strRibbonTitle = QStringLiteral("Contacts of ") + name;
    m_strStripText = QStringLiteral("Select a contact and click OK   (right-click for more options)");
}

bool CContactList::OnInitDialog()
{
    return CPickList::OnInitDialog();
}

QString CContactList::ListSql() const
{
    return QStringLiteral("SELECT First, Last, Phone, Email, Format(Type) as Status_w_80, '' as _w_16, ContactNo "
                          "FROM Contacts WHERE CusNo = %1 %2 ORDER BY First, Last");
}

int CContactList::StatusImage(int status) const
{
    return status == 0 ? 117 : status == 1 ? 118 : 333;
}

QString CContactList::OkText(int row)
{
    return m_list->GetItemText(row, 0) + QLatin1Char(' ') + m_list->GetItemText(row, 1);
}

QString CContactList::ResultText(qint32 key)
{
    CContactSet contact;
    return contact.GetContactCard(key, 5);
}

bool CContactList::IsHidden(qint32 key)
{
    CContactSet contact;
    return contact.FindContact(key) && contact.m_Type == 2;
}

qint32 CContactList::RunRecordDialog(qint32 key, qint32 copyFrom)
{
    CContactDlg dlg(m_nCusNo, key, m_nColorScheme, m_strCaption, this);
    dlg.m_nCopyFrom = copyFrom;
    if (dlg.DoModal() != IDOK_RESULT)
        return 0;
    return dlg.m_nContactNo;
}
