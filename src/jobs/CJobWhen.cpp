#include "jobs/CJobWhen.h"

#include "app/base/CZqApp.h"
#include "app/base/Colours.h"
#include "app/base/DialogControls.h"
#include "app/base/SqlText.h"
#include "app/base/TypedValue.h"
#include "controls/CXDateEdit.h"
#include "controls/CXStatic.h"
#include "controls/DlgItem.h"
#include "data/DataExchange.h"
#include "data/DialogFieldExchange.h"
#include "data/ListFillers.h"
#include "data/OptionsAndLookups.h"
#include "platform/Prompt.h"

#include <QtCore/QLocale>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QLineEdit>

namespace {

constexpr unsigned kTitle = 1230, kProofTime = 1206, kDueTime = 1204, kShipBy = 1205, kPO = 1302, kLocation = 1201,
                   kCsr = 1202, kStatus = 1203;
constexpr unsigned kReceived = 2401, kProof = 2402, kDue = 2403, kShipped = 2404, kReorder = 2405;
constexpr unsigned kTitleLabel = 1901, kProofLabel = 1903, kDueLabel = 1904, kShippedLabel = 1905,
                   kReorderLabel = 1906, kPOLabel = 1907, kCsrLabel = 1909, kShipByLabel = 1911;
constexpr int kRequiredDataOption = 44308;
constexpr int kReadyToPost = 3;

// Bits of the required-information option of orders and quotes.
constexpr int kRequireCsr = 4, kRequireProof = 16, kRequireDue = 32, kRequireReorder = 64;

QString weekdayName(const QDate &date)
{
    return QLocale::c().toString(date, QStringLiteral("dddd"));
}

} // namespace

CJobWhen::CJobWhen(CJobSet *job, QWidget *parent) : CDlg0(753, parent), m_pJob(job)
{
    m_nOldStatus = job ? job->m_Status : 0;
    m_strWindowTitle = QStringLiteral("When");
    resize(460, 440);
    struct Row
    {
        unsigned labelId;
        const char *label;
        int y;
    };
    static constexpr Row rows[] = {{1901, "Job &Title", 70},  {1902, "Recei&ved", 104}, {1903, "Pr&oof Due", 134},
                                   {1904, "Job &Due", 164},   {1911, "Ship &By", 194},  {1905, "&Shipped", 224},
                                   {1906, "&Reorder", 254},   {1907, "&P.O.", 284},     {1908, "&Location", 314},
                                   {1909, "&C.S.R.", 344},    {1910, "&Job Status", 374}};
    for (const Row &r : rows) {
        auto *label = new CXStatic(this);
        label->setText(QString::fromLatin1(r.label));
        label->setGeometry(16, r.y, 110, 24);
        SetDlgCtrlID(label, r.labelId);
    }
    AddLabel(QString(), QRect(16, 8, 64, 56), 1917);
    auto addCombo = [this](unsigned id, const QRect &rect, bool editable) {
        auto *c = new QComboBox(this);
        c->setEditable(editable);
        c->setGeometry(rect);
        SetDlgCtrlID(c, id);
        return c;
    };
    auto addPicker = [this](unsigned id, const QRect &rect) {
        auto *p = new CXDateEdit(this);
        p->setCalendarPopup(true);
        p->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
        p->setGeometry(rect);
        SetDlgCtrlID(p, id);
        SetPickerNoDate(p);
    };
    addCombo(kTitle, QRect(130, 70, 310, 24), true);
    addPicker(kReceived, QRect(130, 104, 150, 24));
    addPicker(kProof, QRect(130, 134, 150, 24));
    addCombo(kProofTime, QRect(290, 134, 150, 24), true)->setProperty("fieldName", QStringLiteral("Proof Due time"));
    addPicker(kDue, QRect(130, 164, 150, 24));
    addCombo(kDueTime, QRect(290, 164, 150, 24), true)->setProperty("fieldName", QStringLiteral("Job Due time"));
    addCombo(kShipBy, QRect(130, 194, 310, 24), false);
    addPicker(kShipped, QRect(130, 224, 150, 24));
    addPicker(kReorder, QRect(130, 254, 150, 24));
    AddEdit(kPO, QRect(130, 284, 310, 24));
    addCombo(kLocation, QRect(130, 314, 150, 24), false);
    addCombo(kCsr, QRect(130, 344, 310, 24), false);
    addCombo(kStatus, QRect(130, 374, 310, 24), false);
    AddButton(1, QStringLiteral("OK"), QRect(214, 404, 110, 30));
    AddButton(2, QStringLiteral("Cancel"), QRect(330, 404, 110, 30));
    // Each label's "&" key moves to its field.
    static constexpr std::pair<unsigned, unsigned> buddies[] = {
        {1901, kTitle}, {1902, kReceived}, {1903, kProof}, {1904, kDue},      {1911, kShipBy}, {1905, kShipped},
        {1906, kReorder}, {1907, kPO},    {1908, kLocation}, {1909, kCsr}, {1910, kStatus}};
    for (const auto &[labelId, controlId] : buddies)
        label(labelId)->setBuddy(GetDlgItem(this, controlId));
}

QComboBox *CJobWhen::combo(unsigned id) const
{
    return qobject_cast<QComboBox *>(GetDlgItem(this, id));
}

CXStatic *CJobWhen::label(unsigned id) const
{
    return qobject_cast<CXStatic *>(GetDlgItem(this, id));
}

bool CJobWhen::isMarked(unsigned id) const
{
    const CXStatic *l = label(id);
    return l && l->backColor() == MakeColorRef(192, 16, 16);
}

bool CJobWhen::OnInitDialog()
{
    SetItemIcon(1917, 133, 14);
    for (unsigned id : {kTitle, 1902u, 1904u, 1907u, 1910u})
        SetItemFont(id, 3);

    // The choice lists.
    QComboBox *title = combo(kTitle);
    FillFromQuery(title, nullptr, GetQuickNotesSql(0, 0));
    FillTimeList(this, int(kProofTime), 8, 18, 60);
    FillTimeList(this, int(kDueTime), 8, 18, 60);
    // A time typed into them must be a time of day ("25:00" is refused).
    for (unsigned id : {kProofTime, kDueTime})
        AttachTypedReading(combo(id)->lineEdit(), ValueKind::TimeOfDay);
    QString sql;
    GetCodeListSql(sql, 303, true);
    FillListFromQuery(this, int(kShipBy), sql);
    FillDlgNumberList(this, int(kLocation), 1, 32, QStringLiteral("Store"), QString(), 0);
    GetCodeListSql(sql, 602, true);
    FillListFromQuery(this, int(kCsr), sql);
    if (m_pJob) {
        // Portal quotes' list begins with "All", which is no status.
        const int first = m_pJob->m_JobType == CJobSet::PellQuote ? 1 : 0;
        FillListFromText(combo(kStatus), nullptr, 44081 + m_pJob->m_JobType, QString(), first, 0);
        m_snapshot = *m_pJob;
    }

    CDlg0::OnInitDialog();
    if (m_pJob) {
        // The title and the P.O. stop at their columns' sizes as they are typed.
        HoldToColumn(kTitle, *m_pJob, QStringLiteral("Title"));
        HoldToColumn(kPO, *m_pJob, QStringLiteral("PO"));
    }
    Exchange(false);
    MarkIncomplete();
    EnableItem(1, m_bReadOnly == 0);
    FocusItem(kTitle);
    if (QLineEdit *line = title->lineEdit())
        line->selectAll();
    return true;
}

bool CJobWhen::Exchange(bool save)
{
    if (!m_pJob || !m_pJob->IsOpen())
        return false;
    if (save && m_bReadOnly)
        return true;
    CJobSet &job = *m_pJob;
    DataExchange dx(this, save);
    QComboBox *title = combo(kTitle);
    QComboBox *proofTime = combo(kProofTime);
    QComboBox *dueTime = combo(kDueTime);
    auto *po = qobject_cast<QLineEdit *>(GetDlgItem(this, kPO));
    if (save) {
        job.m_Title = title->currentText();
        job.m_ProofTime = proofTime->currentText();
        job.m_TimeDue = dueTime->currentText();
        job.m_PO = po->text();
    } else {
        title->setCurrentText(job.m_Title);
        proofTime->setCurrentText(job.m_ProofTime);
        dueTime->setCurrentText(job.m_TimeDue);
        po->setText(job.m_PO);
    }
    auto picker = [this](unsigned id) { return qobject_cast<QDateEdit *>(GetDlgItem(this, id)); };
    if (!save) {
        // A field another workstation changed too is named as its label
        // here, a choice by the text its list shows.
        job.SetFieldCaption(&job.m_Title, FieldName(title));
        job.SetFieldCaption(&job.m_ProofTime, FieldName(proofTime));
        job.SetFieldCaption(&job.m_TimeDue, FieldName(dueTime));
        job.SetFieldCaption(&job.m_PO, FieldName(po));
        for (const auto &[id, member] :
             {std::pair<unsigned, const void *>{kReceived, &job.m_DateIn}, {kProof, &job.m_DateProof},
              {kDue, &job.m_DateDue}, {kShipped, &job.m_DateShipped}, {kReorder, &job.m_DateReorder}})
            job.SetFieldCaption(member, FieldName(picker(id)));
        NameComboField(job, &job.m_ViaDue, FieldName(combo(kShipBy)), combo(kShipBy));
        NameComboField(job, &job.m_Location, FieldName(combo(kLocation)), combo(kLocation), true);
        NameComboField(job, &job.m_CSRNo, FieldName(combo(kCsr)), combo(kCsr));
        NameComboField(job, &job.m_Status, FieldName(combo(kStatus)), combo(kStatus));
    }
    DDX_DateTimeCtrlField(dx, picker(kReceived), job.m_DateIn, &job);
    DDX_DateTimeCtrlField(dx, picker(kProof), job.m_DateProof, &job);
    DDX_DateTimeCtrlField(dx, picker(kDue), job.m_DateDue, &job);
    DDX_DateTimeCtrlField(dx, picker(kShipped), job.m_DateShipped, &job);
    DDX_DateTimeCtrlField(dx, picker(kReorder), job.m_DateReorder, &job);
    DDX_CBData(dx, combo(kShipBy), job.m_ViaDue);
    DDX_CBIndexField(dx, combo(kLocation), job.m_Location, &job);
    DDX_CBData(dx, combo(kCsr), job.m_CSRNo);
    DDX_CBData(dx, combo(kStatus), job.m_Status);
    return !dx.failed();
}

void CJobWhen::Mark(unsigned labelId)
{
    if (CXStatic *l = label(labelId)) {
        l->SetColors(MakeColorRef(192, 16, 16), MakeColorRef(255, 255, 255), true);
        SetCtrlFont(l, 3);
        m_bMarked = true;
    }
}

void CJobWhen::MarkIncomplete()
{
    if (!m_pJob)
        return;
    const CJobSet &job = *m_pJob;
    if (job.m_Title.isEmpty())
        Mark(kTitleLabel);
    if (job.m_JobType == CJobSet::Order) {
        if (job.m_PO == QLatin1String("?"))
            Mark(kPOLabel);
        QString shipBy;
        job.GetViaDueName(shipBy);
        // A code without a row has no name: it counts as "?".
        if (shipBy.isEmpty() || shipBy == QLatin1String("?"))
            Mark(kShipByLabel);
    }
    if (job.m_JobType == CJobSet::History && !job.m_DateShipped.isValid())
        Mark(kShippedLabel);
    if (job.m_JobType == CJobSet::Order || job.m_JobType == CJobSet::Quote) {
        const qint32 bits = GetOptionValue(kRequiredDataOption + job.m_JobType, 0);
        if ((bits & kRequireProof) && !job.m_DateProof.isValid())
            Mark(kProofLabel);
        if ((bits & kRequireDue) && !job.m_DateDue.isValid())
            Mark(kDueLabel);
        if ((bits & kRequireReorder) && !job.m_DateReorder.isValid())
            Mark(kReorderLabel);
        if ((bits & kRequireCsr) && job.m_CSRNo == 0)
            Mark(kCsrLabel);
    }
    if (m_bMarked)
        setWindowTitle(QStringLiteral("When (incomplete information is in red)"));
}

void CJobWhen::OnOK()
{
    if (m_bReadOnly || !m_pJob)
        return;
    if (!Exchange(true))
        return;
    CJobSet &job = *m_pJob;
    // A time typed longer than its field holds goes in the time lists' short
    // form ("10:00 AM" as "10 am"); what cannot be shortened is refused below
    // with the field's length message, the dialog staying open with every
    // field as typed.
    const struct
    {
        unsigned id;
        const char *field;
        QString *value;
        const QString *old;
    } times[] = {{kProofTime, "ProofTime", &job.m_ProofTime, &m_snapshot.m_ProofTime},
                 {kDueTime, "TimeDue", &job.m_TimeDue, &m_snapshot.m_TimeDue}};
    for (const auto &t : times) {
        QString shown;
        if (*t.value != *t.old && !CanonicalTypedText(ValueKind::TimeOfDay, *t.value, shown)) {
            // The time shown before this typing stays (one kept since the
            // window opened included).
            QLineEdit *line = combo(t.id)->lineEdit();
            QString before = line ? ValueShownBeforeTyping(line) : *t.old;
            if (before == *t.value) // put in, not typed: the time it had
                before = *t.old;
            *t.value = before;
            combo(t.id)->setCurrentText(before);
            RefuseTyped(combo(t.id), TypedValueMessage(ValueKind::TimeOfDay));
            return;
        }
    }
    for (const auto &t : times) {
        const QString fitted = FitTimeText(*t.value, job.GetFieldSize(QString::fromLatin1(t.field)));
        if (fitted != *t.value) {
            *t.value = fitted;
            combo(t.id)->setCurrentText(fitted);
        }
    }
    if (!HeldTextsFit())
        return;
    for (const auto &t : times) {
        const qint32 size = job.GetFieldSize(QString::fromLatin1(t.field));
        if (t.value->size() > size) {
            RefuseTyped(combo(t.id), TextLengthMessage(size));
            return;
        }
    }

    // Proof and due dates on a weekend day the shop does not work.
    QString weekend;
    if (CZqApp *app = ZqApp()) {
        const std::pair<const DateTime *, const char *> dates[] = {{&job.m_DateProof, "\nProof Due "},
                                                                   {&job.m_DateDue, "\nJob Due "}};
        for (const auto &[date, name] : dates) {
            if (!date->isValid())
                continue;
            QDate day = date->date();
            if (app->SkipClosedDay(&day, false) != 0)
                weekend += QString::fromLatin1(name) + weekdayName(day);
        }
    }
    if (!weekend.isEmpty() &&
        platform::Prompt::messageBox(QStringLiteral("Do you want to change weekend date(s)?\n") + weekend, QString(),
                                     platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES)
        return;

    if (job.m_JobType == CJobSet::Order) {
        // The status the user chose counts as the new one; otherwise the one
        // the job's state gives.
        const int chosen = job.m_Status;
        job.UpdateAutoStatus(false);
        const int newStatus = chosen != m_nOldStatus ? chosen : int(job.m_Status);
        if (newStatus != m_nOldStatus || int(job.m_Status) != m_nOldStatus) {
            QString message;
            if (newStatus == kReadyToPost) {
                QString steps;
                if (job.m_InvoicePrinted == 0)
                    steps += QStringLiteral("\n\tPrint Invoice");
                if (job.m_Subtotal.isZero())
                    steps += QStringLiteral("\n\tPrice Job");
                if (!job.m_DateShipped.isValid())
                    steps += QStringLiteral("\n\tSet Date Shipped");
                if (!steps.isEmpty())
                    message = QStringLiteral("To set Job Status as 'Ready to Post', you must:\n") + steps;
            } else if (m_nOldStatus == kReadyToPost && job.m_DateShipped.isValid()) {
                message = QStringLiteral("To undo Ready to Post, please uncheck Date Shipped.");
            }
            if (!message.isEmpty()) {
                platform::Prompt::messageBox(message);
                job.m_Status = m_nOldStatus;
                Exchange(false);
                return;
            }
            Exchange(false);
        }
    }
    EndDialog(IDOK_RESULT);
}

void CJobWhen::OnCancel()
{
    // Everything goes back to what the record held when the dialog opened,
    // changes made before it included.
    if (m_pJob && m_pJob->IsOpen() && !m_bReadOnly) {
        *m_pJob = m_snapshot;
        if (m_pJob->GetEditMode() == CXDaoSet::dbEditNone)
            m_pJob->SafeEdit();
    }
    EndDialog(IDCANCEL_RESULT);
}
