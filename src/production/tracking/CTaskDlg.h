#pragma once

#include "controls/CXRibbon.h"
#include "production/tracking/TrackRules.h"
#include "views/CDlg0.h"

class CTimeSet;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

// The detail of one time record (a workday, a job task or an office task),
// where a supervisor corrects its start and finish, worked minutes,
// material, note, time group (tasks) or time type (workdays) and operator.
// Times and the operator are guarded by the Track password; a record in
// progress cannot be edited. Ends with 30121 when it saved.
class CTaskDlg : public CDlg0
{
    Q_OBJECT

public:
    enum Control : unsigned {
        IDC_START_DATE = 5533,
        IDC_START_TIME = 5531,
        IDC_FINISH_DATE = 5534,
        IDC_FINISH_TIME = 5532,
        IDC_MINUTES = 1301,
        IDC_MATERIAL = 1302,
        IDC_NOTE = 1303,
        IDC_GROUP = 1201,
        IDC_TOP_RIBBON = 1901,
    };

    // The record is positioned on its row and owned by the caller.
    CTaskDlg(CTimeSet *record, const QString &password, QWidget *parent);
    ~CTaskDlg() override;

    void UpdateDisplay();
    void EnableEditing(bool enable);
    void OnEdit();
    void OnChangeOperator();
    void OnTimeChanged(bool finish);
    void OnMinutesChanged();
    void SaveFields();
    void OnSave();
    void OnFinish();
    void MarkChanged();

    bool isEditing() const { return m_bEditing; }
    QLineEdit *minutesEdit() const { return m_minutes; }
    QLineEdit *materialEdit() const { return m_material; }
    QLineEdit *noteEdit() const { return m_note; }
    QComboBox *groupCombo() const { return m_group; }
    QDateEdit *dateEdit(bool finish) const { return finish ? m_finishDate : m_startDate; }
    QLineEdit *timeEdit(bool finish) const { return finish ? m_finishTime : m_startTime; }
    QString pausedText() const;
    const track::TaskTimes &times() const { return m_times; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;

private:
    CTimeSet *m_pRecord = nullptr;
    QString m_strPassword;
    track::TaskTimes m_times;
    qint32 m_nOldMinutes = 0;
    qint32 m_nOldMaterial = 0;
    quint8 m_nEmpNo = 0;
    bool m_bEditing = false;
    bool m_bChanged = false;
    bool m_bUpdating = false;
    CXRibbon m_wndTop;
    QLabel *m_caption = nullptr;
    QLabel *m_state = nullptr;
    QDateEdit *m_startDate = nullptr;
    QLineEdit *m_startTime = nullptr;
    QDateEdit *m_finishDate = nullptr;
    QLineEdit *m_finishTime = nullptr;
    QLineEdit *m_minutes = nullptr;
    QLineEdit *m_material = nullptr;
    QLineEdit *m_note = nullptr;
    QComboBox *m_group = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_finish = nullptr;
    QPushButton *m_cancel = nullptr;
};
