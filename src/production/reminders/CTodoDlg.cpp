#include "production/reminders/CTodoDlg.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/DialogControls.h"
#include "controls/CXDateEdit.h"
#include "data/DatabaseHelpers.h"
#include "data/ListFillers.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "views/CNoteDlg.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QPlainTextEdit>

namespace {

constexpr unsigned kWhat = 1201;
constexpr unsigned kWho = 1202;
constexpr unsigned kStatus = 1204;
constexpr unsigned kWhen = 2401;
constexpr unsigned kTime = 2043;
constexpr unsigned kNote = 1301;
constexpr unsigned kNoteButton = 30263;

void selectByData(QComboBox *combo, int data)
{
    SelectComboByData(combo, qint32(data));
}

// The byte of a combo's chosen entry; the value stays when none is chosen.
void readByte(QComboBox *combo, quint8 &value)
{
    if (combo && combo->currentIndex() >= 0)
        value = quint8(combo->currentData().toInt());
}

} // namespace

CTodoDlg::CTodoDlg(qint32 todoId, qint32 viewId, qint32 refId, int hue, QWidget *parent)
    : CDlg0(993, parent), m_nTodoID(todoId), m_nViewID(viewId), m_nRefID(refId)
{
    m_strWindowTitle = QStringLiteral("Reminder");
    m_nColorScheme = hue;
    m_bEnterAsTab = 0;
    resize(480, 360);
    AddPlaceholder(1901, QRect(0, 0, 480, 40));
    AddPlaceholder(1902, QRect(0, 40, 480, 24));
    auto combo = [this](unsigned id, const QRect &rect) {
        auto *c = new QComboBox(this);
        c->setGeometry(rect);
        SetDlgCtrlID(c, id);
        return c;
    };
    AddLabel(QStringLiteral("What"), QRect(16, 80, 70, 24));
    m_what = combo(kWhat, QRect(90, 80, 370, 24));
    AddLabel(QStringLiteral("When"), QRect(16, 112, 70, 24));
    m_when = new CXDateEdit(this);
    m_when->setGeometry(90, 112, 180, 24);
    m_when->setCalendarPopup(true);
    m_when->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
    SetDlgCtrlID(m_when, kWhen);
    m_time = combo(kTime, QRect(280, 112, 180, 24));
    AddLabel(QStringLiteral("Who"), QRect(16, 144, 70, 24));
    m_who = combo(kWho, QRect(90, 144, 370, 24));
    AddLabel(QStringLiteral("Status"), QRect(16, 176, 70, 24));
    m_status = combo(kStatus, QRect(90, 176, 180, 24));
    m_note = AddMultiLineEdit(kNote, QRect(90, 208, 370, 90));
    AddButton(kNoteButton, QStringLiteral("Note"), QRect(16, 208, 66, 28));
    AddButton(1, QStringLiteral("OK"), QRect(250, 312, 100, 32));
    AddButton(2, QStringLiteral("Cancel"), QRect(360, 312, 100, 32));
}

CTodoDlg::~CTodoDlg() = default;

QComboBox *CTodoDlg::combo(unsigned id) const
{
    return qobject_cast<QComboBox *>(GetDlgItem(this, id));
}

QString CTodoDlg::SubjectSql(qint32 viewId)
{
    switch (viewId) {
    case 30001:
        return QStringLiteral("SELECT JobTypes.Name & ' ' & Jobs.JobNo FROM Jobs INNER JOIN JobTypes ON Jobs.JobType "
                              "= JobTypes.JobType WHERE Jobs.JobID = ");
    case 30002:
        return QStringLiteral("SELECT ServiceCategories.CatName & ': ' & Services.Name & ' (' & Services.SerNo & ')' "
                              "FROM Services INNER JOIN ServiceCategories ON Services.CatNo = "
                              "ServiceCategories.CatNo WHERE Services.SerNo = ");
    case 30003:
    case 30004:
        return QStringLiteral("SELECT Customers.Name & ' (' & Customers.CusNo & ')' FROM Customers WHERE "
                              "Customers.CusNo = ");
    default:
        return QString();
    }
}

void CTodoDlg::FillLists()
{
    FillListFromQuery(this, int(kWhat),
                      QStringLiteral("SELECT ID, Do FROM TodoTypes WHERE Left(Do, 1) <> '~' ORDER BY Sort"));
    FillTimeList(this, int(kTime), 8, 18, 60);
    FillListFromQuery(this, int(kWho),
                      QStringLiteral("SELECT EmpNo, Name FROM Employees WHERE (EmpNo = 0 or Type = 1) and "
                                     "Left(Name, 1) <> '~' ORDER BY Sort, Name"));
    AddComboItem(m_status, QStringLiteral("To-Do"), 0);
    AddComboItem(m_status, QStringLiteral("Done"), 3);
}

bool CTodoDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    InitRibbons(4, 1, 3, 0);
    FillLists();

    QString prefix;
    if (m_nTodoID == 0) {
        if (!m_set.SafeAddNew()) {
            EndDialog(IDCANCEL_RESULT);
            return false;
        }
        m_set.m_ViewID = m_nViewID;
        m_set.m_RefID = m_nRefID;
        m_set.m_TypeID = 0;
        m_set.m_Who = quint8(ZqApp() ? ZqApp()->m_nDefaultCsr : 0);
        m_set.m_When = DateTime::fromDate(platform::Clock::today());
        prefix = QStringLiteral("New ");
    } else {
        if (!m_set.FindByField(QStringLiteral("TodoID"), m_nTodoID) || m_set.IsEOF()) {
            platform::Prompt::messageBox(QStringLiteral("Could not find/open the task."), QString(),
                                         platform::MB_OK);
            EndDialog(IDCANCEL_RESULT);
            return false;
        }
        if (!m_set.SafeEdit()) {
            EndDialog(IDCANCEL_RESULT);
            return false;
        }
    }

    QString subject;
    const QString statement = SubjectSql(m_set.m_ViewID);
    if (m_set.m_RefID == 0 || statement.isEmpty()) {
        subject = Appearance::GetViewName(unsigned(m_set.m_ViewID));
    } else {
        const QString sql = statement + QString::number(m_set.m_RefID);
        subject = DbLookupText(sql);
        if (subject.isEmpty()) {
            platform::Prompt::messageBox(
                QStringLiteral("Please delete this task. Could not find the subject:\n\n") + sql, QString(),
                platform::MB_OK);
            m_set.CancelUpdate();
            EndDialog(kSubjectGone);
            return false;
        }
    }
    SetRibbonTitle(prefix + QStringLiteral("Reminder for ") + subject);
    ShowRecord();
    return true;
}

void CTodoDlg::ShowRecord()
{
    selectByData(m_what, m_set.m_TypeID);
    selectByData(m_who, m_set.m_Who);
    selectByData(m_status, m_set.m_Status);
    if (m_set.m_When.isValid() && m_set.m_When.date().isValid())
        m_when->setDate(m_set.m_When.date());
    m_time->setCurrentIndex(m_time->findText(m_set.m_Time));
    m_note->setPlainText(m_set.m_Note);
}

void CTodoDlg::ReadControls()
{
    readByte(m_what, m_set.m_TypeID);
    readByte(m_who, m_set.m_Who);
    readByte(m_status, m_set.m_Status);
    const QDate shown = m_when->date();
    if (!m_set.m_When.isValid() || m_set.m_When.date() != shown)
        m_set.m_When = DateTime::fromDate(shown);
    if (m_time->currentIndex() >= 0)
        m_set.m_Time = m_time->currentText();
    m_set.m_Note = m_note->toPlainText().left(255);
}

bool CTodoDlg::OnCommand(int id)
{
    if (id == int(kNoteButton)) {
        OnNote();
        return true;
    }
    return CDlg0::OnCommand(id);
}

void CTodoDlg::OnNote()
{
    CNoteDlg dialog(QStringLiteral("Note"), QStringLiteral("To-Do"), m_note->toPlainText(), CNoteDlg::EditNote,
                    this);
    if (dialog.DoModal() == IDOK_RESULT)
        m_note->setPlainText(dialog.m_strNote);
}

void CTodoDlg::OnOK()
{
    if (!m_set.IsOpen() || m_set.GetEditMode() == CXDaoSet::dbEditNone) {
        EndDialog(IDOK_RESULT);
        return;
    }
    const bool adding = m_set.GetEditMode() == CXDaoSet::dbEditAdd;
    const quint8 type = m_set.m_TypeID;
    const quint8 who = m_set.m_Who;
    const quint8 status = m_set.m_Status;
    const DateTime when = m_set.m_When;
    const QString time = m_set.m_Time;
    const QString note = m_set.m_Note;
    ReadControls();
    const bool same = type == m_set.m_TypeID && who == m_set.m_Who && status == m_set.m_Status
                      && when.isValid() == m_set.m_When.isValid()
                      && (!when.isValid() || when.date() == m_set.m_When.date()) && time == m_set.m_Time
                      && note == m_set.m_Note;
    if (same && !adding) {
        m_set.CancelUpdate();
        EndDialog(IDOK_RESULT);
        return;
    }
    if (!m_set.SaveRecord(64, QStringLiteral("Todos")))
        return;
    m_bChanged = 1;
    m_set.OnDialogOK();
    m_nTodoID = m_set.m_TodoID;
    EndDialog(IDOK_RESULT);
}

void CTodoDlg::OnCancel()
{
    if (m_set.IsOpen() && m_set.GetEditMode() != CXDaoSet::dbEditNone)
        m_set.CancelUpdate();
    EndDialog(IDCANCEL_RESULT);
}
