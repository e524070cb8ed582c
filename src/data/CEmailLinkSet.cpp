#include "data/CEmailLinkSet.h"

#include "app/base/SqlText.h"

CEmailLinkSet::CEmailLinkSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nDefaultType = dbOpenDynaset;
}

QString CEmailLinkSet::GetDefaultSQL() const
{
    return QStringLiteral("[EmailLink]");
}

void CEmailLinkSet::DoFieldExchange(FieldExchange *pFX)
{
    // The id is the link's key: it is stored whole, never cut.
    DFX_Text(pFX, QStringLiteral("[MessageID]"), m_MessageID);
    DFX_LongNoNull(pFX, QStringLiteral("[TavrelJobID]"), m_TavrelJobID);
    m_nLastDfxOp = pFX->operation();
}

qint32 CEmailLinkSet::GetJobIdOfMessage(const QString &messageId)
{
    m_strFilter = QStringLiteral("MessageID = ") + QuoteText(messageId);
    m_strSort.clear();
    return RequeryOrOpen(false) ? m_TavrelJobID : 0;
}

bool CEmailLinkSet::AddLink(const QString &messageId, qint32 jobId)
{
    if (messageId.isEmpty())
        return false;
    if (!SafeAddNew())
        return false;
    m_MessageID = messageId;
    m_TavrelJobID = jobId;
    return SafeUpdate(GetDefaultSQL());
}
