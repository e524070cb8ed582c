// The job window's job-number commands: the number the next job of this
// job's numbering group gets, and renumbering this job. Both need the highest
// password level. Orders and history jobs share one group.
#include "jobs/CJobDlg.h"

#include "app/base/CZqApp.h"
#include "data/CJobSet.h"
#include "data/OptionsAndLookups.h"
#include "data/SharedDatabase.h"
#include "jobs/JobPanelTexts.h"
#include "platform/Prompt.h"
#include "app/base/TypedValue.h"
#include "views/CDlgData.h"

namespace {

constexpr int kNumberKind = 9;

// The job type whose numbers a job shares: history counts as order.
int numberGroup(int jobType)
{
    return jobType == CJobSet::History ? int(CJobSet::Order) : jobType;
}

// The condition on job numbers of the group.
QString groupCondition(int jobType, const QString &numberTest)
{
    if (numberGroup(jobType) == CJobSet::Order)
        return QStringLiteral("(JobType = 0 or JobType = 3) and JobNo %1").arg(numberTest);
    return QStringLiteral("JobType = %1 and JobNo %2").arg(jobType).arg(numberTest);
}

int countJobs(const QString &condition)
{
    platform::Value value;
    LookupFirstValue(value, QStringLiteral("SELECT Count(*) FROM Jobs WHERE ") + condition);
    return value.isNull() ? 0 : int(value.toInt64());
}

// The one-field number entry, read whole ("1,500" is fifteen hundred); false
// on Cancel, or when the text is no whole number (said, naming the entry).
bool askNumber(QWidget *parent, QString &value, int &number, const QString &title, const QString &ribbon,
               const QString &strip)
{
    CDlgData entry(value, kNumberKind, title, ribbon, strip, parent);
    if (entry.DoModal() != IDOK_RESULT)
        return false;
    value = entry.m_strValue.trimmed();
    std::int32_t whole = 0;
    if (!ReadTypedWhole(value, whole)) {
        platform::Prompt::messageBox(FieldMessage(title, TypedValueMessage(ValueKind::Whole)), QString(),
                                     platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    number = whole;
    return true;
}

} // namespace

void CJobDlg::OnSetNextJobNumber()
{
    CZqApp *app = ZqApp();
    if (!app || !app->CheckPassword(-1, QString()))
        return;
    CJobSet &job = *m_pJob;
    const int group = numberGroup(job.m_JobType);
    QString last;
    LookupFirstText(last, QStringLiteral("SELECT Name FROM JobTypes WHERE JobTypes.JobType = %1").arg(group + 10));
    QString value = QString::number(qint64(last.toInt()) + 1);
    int next = 0;
    if (!askNumber(this, value, next, QStringLiteral("Set Starting Number"),
                   QStringLiteral("Next ") + m_strTypeLabel + QStringLiteral(" Number:"),
                   QStringLiteral("This number will be assigned to the next ") + m_strTypeLabel))
        return;
    if (next <= 0)
        return;
    QString question = QStringLiteral("Do you want to set the next job number to: %1?").arg(next);
    if (countJobs(groupCondition(job.m_JobType, QStringLiteral(">= %1").arg(next))) > 0)
        question += QStringLiteral("\n\nIMPORTANT: There are existing jobs with numbers equal to or greater than this "
                                   "number, which may cause duplicate job numbers later on.");
    if (platform::Prompt::messageBox(question, QString(),
                                     platform::MB_YESNO | platform::MB_ICONSTOP | platform::MB_DEFBUTTON2) !=
        platform::IDYES)
        return;
    // The counter holds the last number given, so the next job gets this one.
    CJobSet counter(job.m_pDatabase);
    counter.m_JobType = quint8(group);
    counter.m_JobNo = next - 1;
    if (next > 1) {
        counter.NewJobNo(next - 1);
        return;
    }
    platform::Database &db = job.m_pDatabase ? *job.m_pDatabase : SharedDatabase();
    try {
        platform::Transaction transaction(db);
        db.execute(QStringLiteral("DELETE FROM JobTypes WHERE JobType = %1").arg(group + 10));
        db.execute(QStringLiteral("INSERT INTO JobTypes (JobType, Name) VALUES (%1, '0')").arg(group + 10));
        transaction.commit();
    } catch (const platform::DbException &) {
        counter.NewJobNo(-1);
    }
}

void CJobDlg::OnChangeJobNumber()
{
    CZqApp *app = ZqApp();
    if (!app || !app->CheckPassword(-1, QString()))
        return;
    CJobSet &job = *m_pJob;
    QString value = QString::number(job.m_JobNo);
    int number = 0;
    if (!askNumber(this, value, number, QStringLiteral("Change Job No"),
                   QStringLiteral("Change the number of this job to:"), QString()))
        return;
    if (number <= 0)
        return;
    platform::Database &db = job.m_pDatabase ? *job.m_pDatabase : SharedDatabase();
    bool taken = false;
    {
        // The test and the save in one change, so no other workstation takes
        // the number in between.
        platform::Transaction transaction(db);
        taken = countJobs(groupCondition(job.m_JobType, QStringLiteral("= %1").arg(number))) > 0;
        if (!taken) {
            job.m_JobNo = number;
            if (CheckAndSave(1))
                transaction.commit();
        }
    }
    if (taken) {
        platform::Prompt::messageBox(QStringLiteral("Job ") + value + QStringLiteral(" already exists!"), QString(),
                                     platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return;
    }
    UpdateTitleItems(QString());
}
