#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Table EmailLink: which job was made from which web-order e-mail, by the
// e-mail's message id.
class CEmailLinkSet : public CXDaoSet
{
public:
    explicit CEmailLinkSet(platform::Database *database = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;
    // The width of the MessageID column.
    static constexpr int kMessageIdLength = 124;
    // The message id as the link stores and finds it: the id itself when it
    // fits the column; a longer id as its first characters, "~" and the
    // SHA-256 of the whole id in hexadecimal, 124 characters in all, the
    // same for the same id at every reading.
    static QString StoredMessageId(const QString &messageId);
    // The job made from that message, or 0. The id goes into the filter as a
    // quoted literal, so any text (quotes included) is looked up as it is.
    qint32 GetJobIdOfMessage(const QString &messageId);
    // Adds a link when the id is not empty; true when a row was saved.
    bool AddLink(const QString &messageId, qint32 jobId);

    QString m_MessageID;
    qint32 m_TavrelJobID = 0;
};
