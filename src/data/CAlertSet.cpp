#include "data/CAlertSet.h"

#include "app/base/TextUtil.h"
#include "platform/Prompt.h"

CAlertSet::CAlertSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nDefaultType = dbOpenDynaset;
}

QString CAlertSet::GetDefaultSQL() const
{
    return QStringLiteral("[CustomerAlerts]");
}

void CAlertSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_Long(pFX, QStringLiteral("[AlertNo]"), m_AlertNo);
    DFX_LongNoNull(pFX, QStringLiteral("[CusNo]"), m_CusNo);
    DFX_Byte(pFX, QStringLiteral("[AlertType]"), m_AlertType);
    DFX_TextLimit(pFX, QStringLiteral("[AlertText]"), m_AlertText);
    DFX_Byte(pFX, QStringLiteral("[AlertPrint]"), m_AlertPrint);
    DFX_Byte(pFX, QStringLiteral("[AlertColor]"), m_AlertColor);
    DFX_Byte(pFX, QStringLiteral("[AlertSound]"), m_AlertSound);
    m_nLastDfxOp = pFX->operation();
}

bool CAlertSet::FindAlert(qint32 cusNo, int alertType, const QString &defaultText, bool edit)
{
    const quint8 type = quint8(alertType);
    m_strFilter = QStringLiteral("CusNo = %1 AND AlertType = %2").arg(cusNo).arg(type);
    m_strSort.clear();
    if (RequeryOrOpen(edit))
        return true;
    if (!edit || !IsEmptySet())
        return false; // not found, or found but not editable
    if (!SafeAddNew())
        return false;
    m_CusNo = cusNo;
    m_AlertType = type;
    m_AlertText = defaultText;
    return true;
}

bool CAlertSet::SaveList(const QList<ListRow> &rows)
{
    QString text;
    for (int i = 1; i < rows.size(); ++i) {
        text += rows[i].type == 1 ? rows[i].text : QString::number(rows[i].value);
        text += ListSeparator();
    }
    m_AlertText = text;
    return SaveRecord(platform::MB_ICONINFORMATION);
}

void CAlertSet::LoadList(QList<ListRow> &rows)
{
    for (int i = 1; i < rows.size(); ++i) {
        QString item;
        const int comma = m_AlertText.indexOf(ListSeparator());
        if (comma >= 0) {
            item = m_AlertText.left(comma);
            m_AlertText.remove(0, comma + 1);
        }
        if (!rows[i].enabled)
            item.clear();
        if (rows[i].type == 1)
            rows[i].text = item;
        else
            rows[i].value = ToInt(item);
    }
}
