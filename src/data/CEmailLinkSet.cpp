#include "data/CEmailLinkSet.h"

#include "app/base/SqlText.h"

#include <QtCore/QCryptographicHash>

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

QString CEmailLinkSet::StoredMessageId(const QString &messageId)
{
    if (messageId.size() <= kMessageIdLength)
        return messageId;
    const QString digest =
        QString::fromLatin1(QCryptographicHash::hash(messageId.toUtf8(), QCryptographicHash::Sha256).toHex());
    return messageId.left(kMessageIdLength - 1 - digest.size()) + QLatin1Char('~') + digest;
}

qint32 CEmailLinkSet::GetJobIdOfMessage(const QString &messageId)
{
    m_strFilter = QStringLiteral("MessageID = ") + QuoteText(StoredMessageId(messageId));
    m_strSort.clear();
    return RequeryOrOpen(false) ? m_TavrelJobID : 0;
}

bool CEmailLinkSet::AddLink(const QString &messageId, qint32 jobId)
{
    if (messageId.isEmpty())
        return false;
    if (!SafeAddNew())
        return false;
    m_MessageID = StoredMessageId(messageId);
    m_TavrelJobID = jobId;
    return SafeUpdate(GetDefaultSQL());
}
