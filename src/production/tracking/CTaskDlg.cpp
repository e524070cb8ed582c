#include "production/tracking/CTaskDlg.h"

#include "app/base/CZqApp.h"
#include "app/base/QuantityText.h"
#include "app/base/TypedValue.h"
#include "controls/CXDateEdit.h"
#include "controls/DlgItem.h"
#include "data/CTimeSet.h"
#include "data/CXDaoSet.h"
#include "platform/Prompt.h"
#include "views/CDlgTree.h"

#include <QtCore/QLocale>
#include <QtCore/QTime>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

namespace {

constexpr int kOperatorButton = 30422;

// A time of the record as its time field shows it.
QString timeText(const DateTime &value)
{
    return value.isValid() ? QTime(value.hour(), value.minute()).toString(QStringLiteral("HH:mm")) : QString();
}

QLabel *label(QWidget *parent, const QString &text, const QRect &rect)
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(rect);
    return l;
}

} // namespace

CTaskDlg::CTaskDlg(CTimeSet *record, const QString &password, QWidget *parent)
    : CDlg0(950, parent), m_pRecord(record), m_strPassword(password)
{
    setObjectName(QStringLiteral("CTaskDlg"));
    resize(560, 380);
    AddPlaceholder(IDC_TOP_RIBBON, QRect(0, 0, 560, 40));
    m_caption = label(this, QString(), QRect(15, 48, 530, 22));
    m_state = label(this, QString(), QRect(15, 72, 530, 22));
    label(this, QStringLiteral("Started:"), QRect(15, 104, 90, 24));
    m_startDate = new CXDateEdit(this);
    m_startDate->setGeometry(110, 104, 130, 24);
    // The times are typed as texts and read whole when left (see OnTimeChanged).
    m_startTime = new QLineEdit(this);
    m_startTime->setProperty("fieldName", QStringLiteral("Started time"));
    m_startTime->setGeometry(250, 104, 90, 24);
    label(this, QStringLiteral("Finished:"), QRect(15, 134, 90, 24));
    m_finishDate = new CXDateEdit(this);
    m_finishDate->setGeometry(110, 134, 130, 24);
    m_finishTime = new QLineEdit(this);
    m_finishTime->setProperty("fieldName", QStringLiteral("Finished time"));
    m_finishTime->setGeometry(250, 134, 90, 24);
    for (QDateEdit *d : {m_startDate, m_finishDate}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
    }
    label(this, QStringLiteral("Worked:"), QRect(15, 170, 90, 24));
    m_minutes = new QLineEdit(this);
    m_minutes->setGeometry(110, 170, 90, 24);
    label(this, QStringLiteral("Material:"), QRect(15, 200, 90, 24));
    m_material = new QLineEdit(this);
    m_material->setGeometry(110, 200, 90, 24);
    label(this, QStringLiteral("Group:"), QRect(230, 170, 60, 24));
    m_group = new QComboBox(this);
    m_group->setGeometry(290, 170, 180, 24);
    label(this, QStringLiteral("Note:"), QRect(15, 230, 90, 24));
    m_note = new QLineEdit(this);
    m_note->setGeometry(110, 230, 430, 24);
    m_note->setMaxLength(255);
    m_edit = new QPushButton(QStringLiteral("Edit"), this);
    m_edit->setGeometry(15, 330, 100, 30);
    m_finish = new QPushButton(QStringLiteral("Finish"), this);
    m_finish->setGeometry(125, 330, 100, 30);
    m_save = new QPushButton(QStringLiteral("Save"), this);
    m_save->setGeometry(330, 330, 100, 30);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setGeometry(440, 330, 100, 30);
    SetDlgCtrlID(m_startDate, IDC_START_DATE);
    SetDlgCtrlID(m_startTime, IDC_START_TIME);
    SetDlgCtrlID(m_finishDate, IDC_FINISH_DATE);
    SetDlgCtrlID(m_finishTime, IDC_FINISH_TIME);
    SetDlgCtrlID(m_minutes, IDC_MINUTES);
    SetDlgCtrlID(m_material, IDC_MATERIAL);
    SetDlgCtrlID(m_note, IDC_NOTE);
    SetDlgCtrlID(m_group, IDC_GROUP);
    AddSizeMarker(QPoint(559, 379));
}

CTaskDlg::~CTaskDlg() = default;

bool CTaskDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    CTimeSet &r = *m_pRecord;
    if (m_wndTop.Create(this, IDC_TOP_RIBBON, m_nColorScheme, 1, 131, 7, 16, 3, 0, 3, 30)) {
        connect(&m_wndTop, &CXWnd::commandTriggered, this, [this](int) { OnChangeOperator(); });
        m_wndTop.AddItem(kOperatorButton, QString(), 0, 131, 1, 3, 2084, 0, 1, 240, 0, 0,
                         QStringLiteral("Change the operator"));
        m_wndTop.RecalcLayout(0);
    }
    // The combo: time types of a workday, time groups of a task.
    if (r.m_TimeFor == CTimeSet::DayClock) {
        const char *types[] = {"Regular", "Holiday", "Vacation", "Sick Leave"};
        for (int i = 0; i < 4; ++i)
            m_group->addItem(QString::fromUtf8(types[i]), i);
    } else {
        CXDaoSet groups;
        groups.Open(CXDaoSet::dbOpenSnapshot,
                    QStringLiteral("SELECT DepID, Name FROM TimeDepartments WHERE Type = 0 ORDER BY Sort"));
        if (groups.IsOpen()) {
            for (; !groups.IsEOF(); groups.MoveNext()) {
                qint32 id = 0;
                QString name;
                groups.GetFieldLong(0, id);
                groups.GetFieldString(1, name);
                m_group->addItem(name, id);
            }
        }
    }
    r.LoadDisplayTexts();
    m_times = {r.m_Start, r.m_Finish, r.m_Minutes};
    m_nOldMinutes = r.m_Minutes;
    m_nOldMaterial = r.m_Material;
    m_nEmpNo = r.m_EmpNo;
    m_bUpdating = true;
    m_material->setText(QLocale(QLocale::English).toString(r.m_Material));
    m_note->setText(r.m_Note);
    const int index = m_group->findData(int(r.m_Subgroup));
    m_group->setCurrentIndex(index);
    m_bUpdating = false;
    m_caption->setText((r.m_TimeFor == CTimeSet::ServiceTask
                            ? QStringLiteral("Order ") + r.m_strJobLabel + QStringLiteral(": ")
                            : QString())
                       + r.m_strTask);
    UpdateDisplay();
    EnableEditing(false);

    connect(m_edit, &QPushButton::clicked, this, [this] { OnEdit(); });
    connect(m_save, &QPushButton::clicked, this, [this] { OnSave(); });
    connect(m_finish, &QPushButton::clicked, this, [this] { OnFinish(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { EndDialog(IDCANCEL_RESULT); });
    connect(m_minutes, &QLineEdit::editingFinished, this, [this] { OnMinutesChanged(); });
    // Material is a quantity: a text that is none is refused before it counts as a change.
    AttachTypedReading(m_material, ValueKind::Quantity);
    connect(m_material, &QLineEdit::editingFinished, this, [this] { MarkChanged(); });
    connect(m_note, &QLineEdit::textEdited, this, [this] { MarkChanged(); });
    connect(m_group, &QComboBox::activated, this, [this] { MarkChanged(); });
    connect(m_startDate, &QDateEdit::editingFinished, this, [this] { OnTimeChanged(false); });
    connect(m_startTime, &QLineEdit::editingFinished, this, [this] { OnTimeChanged(false); });
    connect(m_finishDate, &QDateEdit::editingFinished, this, [this] { OnTimeChanged(true); });
    connect(m_finishTime, &QLineEdit::editingFinished, this, [this] { OnTimeChanged(true); });
    m_save->setEnabled(false);
    return true;
}

QString CTaskDlg::pausedText() const
{
    return m_state->text();
}

void CTaskDlg::UpdateDisplay()
{
    const CTimeSet &r = *m_pRecord;
    setWindowTitle(QStringLiteral("Task Detail  (TimeID: %1  EmpNo: %2)").arg(r.m_TimeID).arg(m_nEmpNo));
    if (CZqApp *app = ZqApp()) {
        QString name;
        int icon = 0;
        app->GetEmployeeNameAndIcon(m_nEmpNo, name, icon);
        m_wndTop.SetItemText(kOperatorButton, name);
        m_wndTop.SetItemImage(kOperatorButton, 131, std::uint8_t(CZqApp::GetEmployeeIcon(m_nEmpNo, 131)));
    }
    m_bUpdating = true;
    const DateTime now = CTimeSet::GetNowToMinute();
    // Worked minutes of a running record count up to now.
    qint32 worked = m_times.minutes;
    if (r.m_Status == 0)
        worked = m_times.finish.isValid() ? m_times.minutes + CTimeSet::MinutesBetween(m_times.finish, now)
                                          : CTimeSet::MinutesBetween(m_times.start, now);
    m_minutes->setText(MinutesToText(worked));
    if (m_times.start.isValid()) {
        m_startDate->setDate(m_times.start.date());
        m_startTime->setText(timeText(m_times.start));
    }
    if (m_times.finish.isValid()) {
        m_finishDate->setDate(m_times.finish.date());
        m_finishTime->setText(timeText(m_times.finish));
    }
    m_bUpdating = false;
    QString status;
    CZqApp::GetClockStatusName(status, r.m_Status, r.m_TimeFor != CTimeSet::DayClock);
    const DateTime end = r.m_Status == 0 || !m_times.finish.isValid() ? now : m_times.finish;
    const qint32 paused = m_times.start.isValid() ? CTimeSet::MinutesBetween(m_times.start, end) - worked : 0;
    QString state = status;
    if (paused != 0)
        state += QStringLiteral("   Time Paused ") + MinutesToText(paused);
    if (r.m_Status == 0) {
        state += m_times.finish.isValid() ? QStringLiteral(" (Paused then Resumed)") : QStringLiteral(" (Worked Non-stop)");
        m_edit->hide();
    }
    m_state->setText(state);
}

void CTaskDlg::EnableEditing(bool enable)
{
    m_bEditing = enable;
    const CTimeSet &r = *m_pRecord;
    for (QWidget *w : std::initializer_list<QWidget *>{m_startDate, m_startTime, m_finishDate, m_finishTime, m_minutes})
        w->setEnabled(enable);
    // The material, note and group of a closed record need the password too.
    const bool closed = r.m_Status == 3;
    for (QWidget *w : std::initializer_list<QWidget *>{m_material, m_note, m_group})
        w->setEnabled(!closed || enable);
    m_finish->setVisible(r.m_TimeFor != CTimeSet::DayClock && r.m_Status < 2);
}

void CTaskDlg::OnEdit()
{
    if (m_pRecord->m_Status == 0) {
        platform::Prompt::messageBox(QStringLiteral("You may edit this this after pausing or finishing it."));
        return;
    }
    if (track::AskPassword(m_strPassword, QStringLiteral("edit the tasks")))
        EnableEditing(true);
}

void CTaskDlg::OnChangeOperator()
{
    CDlgTree picker(1, m_nEmpNo, this);
    if (picker.DoModal() != platform::IDOK || picker.m_nChosen == m_nEmpNo)
        return;
    if (!track::AskPassword(m_strPassword, QStringLiteral("change operator")))
        return;
    m_nEmpNo = quint8(picker.m_nChosen);
    UpdateDisplay();
    MarkChanged();
}

void CTaskDlg::OnTimeChanged(bool finish)
{
    if (m_bUpdating || !m_bEditing)
        return;
    QLineEdit *timeField = finish ? m_finishTime : m_startTime;
    const DateTime &shown = finish ? m_times.finish : m_times.start;
    const QDate date = (finish ? m_finishDate : m_startDate)->date();
    // The time typed is read whole as a time of day ("14:30", "2:30 pm");
    // anything else is refused naming the field, the time shown before back.
    std::int32_t minutes = 0;
    if (!ReadTypedTimeOfDay(timeField->text(), minutes)) {
        if (timeField->text().trimmed().isEmpty() && !shown.isValid())
            return; // no time set and none typed
        timeField->setText(timeText(shown));
        m_bUpdating = true; // the message takes the focus: that is no leaving
        RefuseTyped(timeField, TypedValueMessage(ValueKind::TimeOfDay));
        m_bUpdating = false;
        return;
    }
    if (!date.isValid())
        return;
    const DateTime value(date.year(), date.month(), date.day(), minutes / 60, minutes % 60, 0);
    if (finish && m_times.start.isValid() && value < m_times.start) {
        // A finish before the start is refused naming the field it was typed
        // in; the times shown before are back.
        QWidget *field = shown.isValid() && date != shown.date() ? static_cast<QWidget *>(m_finishDate) : timeField;
        UpdateDisplay();
        m_bUpdating = true; // the message takes the focus: that is no leaving
        RefuseTyped(field, QStringLiteral("Please enter a finish not before the start, %1.")
                               .arg(m_times.start.format(QStringLiteral("%m/%d/%Y %H:%M"))));
        m_bUpdating = false;
        return;
    }
    track::ApplyTimeChange(m_times, finish, value, CTimeSet::GetNowToMinute());
    UpdateDisplay();
    MarkChanged();
}

void CTaskDlg::OnMinutesChanged()
{
    if (m_bUpdating || !m_bEditing)
        return;
    // The worked time is read whole; a text that is no time is refused,
    // naming the field, and the field shows the minutes kept.
    qint32 typed = 0;
    if (!ReadTypedDuration(m_minutes->text(), typed)) {
        UpdateDisplay();
        m_bUpdating = true; // the message takes the focus: that is no leaving
        RefuseTyped(m_minutes, TypedValueMessage(ValueKind::Time));
        m_bUpdating = false;
        return;
    }
    const DateTime now = CTimeSet::GetNowToMinute();
    if (typed != m_times.minutes && typed > track::MinutesSinceStart(m_times, now)) {
        // More than has passed since the start: never cut to fit. The start
        // moves back to hold it when the user says so (a finished task keeps
        // its finish); else the field shows the minutes kept.
        const bool finished = m_pRecord->m_Status >= 2 && m_times.finish.isValid();
        const DateTime start = track::StartForMinutes(m_times, typed, now, finished);
        const QString format = QStringLiteral("%m/%d/%Y %H:%M");
        const QString question =
            QStringLiteral("%1 is more than the %2 from the start, %3, to now.\n\nMove the start back to %4?")
                .arg(MinutesToText(typed), MinutesToText(track::MinutesSinceStart(m_times, now)),
                     m_times.start.format(format), start.format(format));
        m_bUpdating = true; // the question takes the focus: that is no leaving
        const int answer = platform::Prompt::messageBox(FieldMessage(FieldName(m_minutes), question), QString(),
                                                        platform::MB_YESNO | platform::MB_ICONQUESTION);
        m_bUpdating = false;
        if (answer == platform::IDYES) {
            track::MoveStartForMinutes(m_times, typed, now, finished);
            MarkChanged();
        }
        UpdateDisplay();
        if (answer != platform::IDYES) {
            m_minutes->setFocus();
            m_minutes->selectAll();
        }
        return;
    }
    if (track::ApplyMinutesChange(m_times, typed, now))
        MarkChanged();
    UpdateDisplay();
}

void CTaskDlg::MarkChanged()
{
    if (m_bUpdating)
        return;
    m_bChanged = true;
    m_save->setEnabled(true);
    m_cancel->setText(QStringLiteral("Cancel Changes"));
}

void CTaskDlg::SaveFields()
{
    CTimeSet &r = *m_pRecord;
    r.m_Material = track::ParseMaterial(m_material->text());
    if (m_group->currentIndex() >= 0)
        r.m_Subgroup = quint8(m_group->currentData().toInt());
    r.m_Note = m_note->text();
    r.m_Start = m_times.start;
    r.m_Finish = m_times.finish;
    r.m_Minutes = m_times.minutes;
    r.m_EmpNo = m_nEmpNo;
}

void CTaskDlg::OnSave()
{
    // Material typed and not yet left is read as when left: a text that is
    // no count is refused naming the field, the count before it back.
    if (!AcceptTypedQuantities({m_material}))
        return;
    CTimeSet &r = *m_pRecord;
    if (r.GetEditMode() == CXDaoSet::dbEditNone && !r.SafeEdit()) {
        EndDialog(IDCANCEL_RESULT);
        return;
    }
    SaveFields();
    // The finish rules run again only for a finished record whose minutes
    // changed, or when the material changed.
    const bool rerun = (r.m_Status == 2 && r.m_Minutes != m_nOldMinutes) || r.m_Material != m_nOldMaterial;
    if (!m_bChanged) {
        r.CancelUpdate();
        EndDialog(IDCANCEL_RESULT);
        return;
    }
    if (!r.SafeUpdate()) {
        EndDialog(IDCANCEL_RESULT);
        return;
    }
    if (rerun)
        r.FinishTask(false, false);
    EndDialog(30121);
}

void CTaskDlg::OnFinish()
{
    if (!AcceptTypedQuantities({m_material}))
        return;
    CTimeSet &r = *m_pRecord;
    if (r.GetEditMode() == CXDaoSet::dbEditNone && !r.SafeEdit())
        return;
    SaveFields();
    r.ApplyClockCommand(CTimeSet::Finish);
    EndDialog(30121);
}

bool CTaskDlg::OnCommand(int id)
{
    switch (id) {
    case 30103:
        OnEdit();
        return true;
    case 30213:
        OnSave();
        return true;
    case 30232:
        OnFinish();
        return true;
    case 1:
        OnSave();
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}
