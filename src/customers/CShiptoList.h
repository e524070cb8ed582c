#pragma once

#include "customers/CPickList.h"

// The ship-to addresses of one customer (template 422): the customer
// window's default ship-to ("Default Ship to"), a job's, a shipment's or a
// label's address ("Ship To"). On IDOK m_nShiptoNo is the chosen address (0 =
// "< Same as Bill To >") and m_strResult its address text; m_bChanged says an
// address was saved through the list.
//
// Entry point: CShiptoList list(cusNo, shiptoNo, scheme, title, parent);
// list.DoModal().
class CShiptoList : public CPickList
{
    Q_OBJECT

public:
    CShiptoList(qint32 cusNo, qint32 shiptoNo, int colourScheme, const QString &title, QWidget *parent);

    qint32 &m_nShiptoNo = m_nCurrent;

protected:
    QString ListSql() const override;
    QString NoneText() const override { return QStringLiteral("< Same as Bill To >"); }
    int StatusColumn() const override { return 6; }
    int OpenColumn() const override { return 7; }
    int StatusImage(int status) const override;
    int NoneImage() const override { return 211; }
    bool MarksCurrentRow() const override { return true; }
    QString Noun() const override { return QStringLiteral("address"); }
    QString Plural() const override { return QStringLiteral("addresses"); }
    QString Article() const override { return QStringLiteral("an"); }
    QString OkText(int row) override;
    QString ResultText(qint32 key) override;
    bool IsHidden(qint32 key) override;
    StatusKind Kind() const override { return StatusKind::Shiptos; }
    DeleteOutcome DeleteRows(const QList<qint32> &keys) override { return DeleteShiptos(keys); }
    qint32 RunRecordDialog(qint32 key, qint32 copyFrom) override;
};
