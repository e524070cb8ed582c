#pragma once

#include "customers/CustomerRecords.h"
#include "views/CDlg0.h"

#include <QtCore/QList>
#include <QtCore/QString>

class CXListCtrl;

// The shared body of the contact list and the ship-to list (template 422):
// one customer's rows with a "none" row on top, a choice the caller reads on
// OK, and the commands to add, copy, open, re-status and delete rows.
//
// A caption containing "Default" (the customer window choosing a default
// buyer, payer or ship-to) also lists hidden rows and asks no user rights for
// status changes and deletions.
class CPickList : public CDlg0
{
    Q_OBJECT

public:
    CPickList(qint32 cusNo, qint32 current, int colourScheme, const QString &caption, QWidget *parent);

    // Results: the chosen row's key (0 for the "none" row) and its text.
    qint32 m_nCurrent = 0;
    QString m_strResult;
    // Set when a row was saved through this list.
    bool m_bChanged = false;

    qint32 cusNo() const { return m_nCusNo; }
    qint32 startKey() const { return m_nStart; }
    bool isDefaultMode() const { return m_bDefault; }
    CXListCtrl *list() const { return m_list; }
    // Refills the list and selects the current row.
    void Refill();
    // Selects the row with that key, as a click would.
    void SelectKey(qint32 key);

protected:
    // --- what the two lists differ in ---------------------------------------
    virtual QString ListSql() const = 0;       // %1 customer, %2 condition
    virtual QString NoneText() const = 0;      // the top row
    virtual int StatusColumn() const = 0;
    virtual int OpenColumn() const = 0;
    virtual int StatusImage(int status) const = 0;
    virtual int NoneImage() const = 0;         // image of the top row when it is the mark
    virtual bool MarksCurrentRow() const = 0;  // the mark follows the choice (else the start)
    virtual QString Noun() const = 0;          // "contact" / "address"
    virtual QString Plural() const = 0;        // "contacts" / "addresses"
    virtual QString Article() const = 0;       // "a" / "an"
    virtual QString OkText(int row) = 0;       // the row's part of the OK caption
    virtual QString ResultText(qint32 key) = 0;
    virtual bool IsHidden(qint32 key) = 0;
    virtual StatusKind Kind() const = 0;
    virtual DeleteOutcome DeleteRows(const QList<qint32> &keys) = 0;
    // Runs the record dialog on the key (0: a new row; with copyFrom a copy
    // of that row); the saved key, 0 when nothing was saved.
    virtual qint32 RunRecordDialog(qint32 key, qint32 copyFrom) = 0;

    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void OnSize(int type, int cx, int cy) override;

    void OnSelectionChanged();
    void OnRecord(int command);
    void OnSetStatus(int status);
    void OnDelete();
    void OnContextMenu(const QPoint &pos);
    QList<qint32> SelectedKeys();

    qint32 m_nCusNo = 0;
    qint32 m_nStart = 0;
    QString m_strCaption;
    QString m_strCondition;
    bool m_bDefault = false;
    bool m_bBusy = false;
    CXListCtrl *m_list = nullptr;
};
