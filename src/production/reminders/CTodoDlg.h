#pragma once

#include "data/CTodoSet.h"
#include "views/CDlg0.h"

class QComboBox;
class QDateEdit;
class QPlainTextEdit;

// One reminder: what, when, for whom, its state and a note. A new reminder
// is filed under the area (view) and record it was made for; an existing one
// whose record is gone cannot be opened and is offered for deleting.
class CTodoDlg : public CDlg0
{
    Q_OBJECT

public:
    // Ends with this when the reminder's subject no longer exists.
    static constexpr int kSubjectGone = 30113;

    CTodoDlg(qint32 todoId, qint32 viewId, qint32 refId, int hue, QWidget *parent);
    ~CTodoDlg() override;

    // The statement naming the subject of a reminder of the view (the id is
    // appended); empty for views without records.
    static QString SubjectSql(qint32 viewId);

    qint32 todoId() const { return m_nTodoID; }
    int changed() const { return m_bChanged; }
    QString title() const { return m_strRibbonTitle; }
    CTodoSet &record() { return m_set; }
    QComboBox *combo(unsigned id) const;
    QDateEdit *datePicker() const { return m_when; }
    QPlainTextEdit *noteEdit() const { return m_note; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;

private:
    void FillLists();
    void ShowRecord();
    void ReadControls();
    void OnNote();

    CTodoSet m_set;
    qint32 m_nTodoID = 0;
    qint32 m_nViewID = 0;
    qint32 m_nRefID = 0;
    int m_bChanged = 0;
    QComboBox *m_what = nullptr;
    QDateEdit *m_when = nullptr;
    QComboBox *m_time = nullptr;
    QComboBox *m_who = nullptr;
    QComboBox *m_status = nullptr;
    QPlainTextEdit *m_note = nullptr;
};
