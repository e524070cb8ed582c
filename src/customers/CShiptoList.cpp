#include "customers/CShiptoList.h"

#include "controls/CXListCtrl.h"
#include "customers/CShiptoDlg.h"
#include "data/CCusSet.h"
#include "data/CShiptoSet.h"

CShiptoList::CShiptoList(qint32 cusNo, qint32 shiptoNo, int colourScheme, const QString &title, QWidget *parent)
    : CPickList(cusNo, shiptoNo, colourScheme, title, parent)
{
    CCusSet customer;
    QString name;
    customer.GetCustomerName(name, cusNo);
    m_strRibbonTitle = QStringLiteral("Ship To");
    m_strWindowTitle = QStringLiteral("Shipping Addresses of ") + name;
    m_strStripText = QStringLiteral("Select an address and click OK   (right-click for more options)");
}

QString CShiptoList::ListSql() const
{
    return QStringLiteral("SELECT Company, Attention, Address, City, State as ST, Zip, Type as Status_w_50, "
                          "'' as _w_16, ShiptoNo FROM Shipto WHERE CusNo = %1 %2 ORDER BY Company, Address");
}

int CShiptoList::StatusImage(int status) const
{
    return status == 0 ? 102 : status == 1 ? 103 : 333;
}

QString CShiptoList::OkText(int row)
{
    return m_list->GetItemText(row, 0) + QLatin1Char(' ') + m_list->GetItemText(row, 1) + QLatin1Char(' ') +
           m_list->GetItemText(row, 2);
}

QString CShiptoList::ResultText(qint32 key)
{
    CShiptoSet shipto;
    return shipto.GetAddressText(key, 1);
}

bool CShiptoList::IsHidden(qint32 key)
{
    CShiptoSet shipto;
    return shipto.FindByNo(key) && shipto.m_Type >= 2;
}

qint32 CShiptoList::RunRecordDialog(qint32 key, qint32 copyFrom)
{
    CShiptoDlg dlg(m_nCusNo, key, m_nColorScheme, m_strCaption, this);
    dlg.m_nCopyFrom = copyFrom;
    if (dlg.DoModal() != IDOK_RESULT)
        return 0;
    return dlg.m_nShiptoNo;
}
