#pragma once

#include "customers/CPickList.h"

// The contacts of one customer (template 422 "Contacts"): the customer
// window's default buyer and payer, a job's buyer. On IDOK m_nContactNo is the
// chosen contact (0 for "< No Contact >") and m_strResult its card text.
//
// Entry point: CContactList list(cusNo, contactNo, scheme, caption, parent);
// list.DoModal(); a caption with "Default" also lists hidden contacts.
class CContactList : public CPickList
{
    Q_OBJECT

public:
    CContactList(qint32 cusNo, qint32 contactNo, int colourScheme, const QString &caption, QWidget *parent);

    qint32 &m_nContactNo = m_nCurrent;

protected:
    bool OnInitDialog() override;
    QString ListSql() const override;
    QString NoneText() const override { return QStringLiteral("< No Contact >"); }
    int StatusColumn() const override { return 4; }
    int OpenColumn() const override { return 5; }
    int StatusImage(int status) const override;
    int NoneImage() const override { return 116; }
    bool MarksCurrentRow() const override { return false; }
    QString Noun() const override { return QStringLiteral("contact"); }
    QString Plural() const override { return QStringLiteral("contacts"); }
    QString Article() const override { return QStringLiteral("a"); }
    QString OkText(int row) override;
    QString ResultText(qint32 key) override;
    bool IsHidden(qint32 key) override;
    StatusKind Kind() const override { return StatusKind::Contacts; }
    DeleteOutcome DeleteRows(const QList<qint32> &keys) override { return DeleteContacts(keys); }
    qint32 RunRecordDialog(qint32 key, qint32 copyFrom) override;
};
