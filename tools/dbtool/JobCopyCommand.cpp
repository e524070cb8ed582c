#include "JobCopyCommand.h"

#include "ToolArgs.h"

#include "app/base/CZqApp.h"
#include "data/AppDataServices.h"
#include "data/CJobSet.h"
#include "data/SharedDatabase.h"
#include "data/SettingRows.h"
#include "jobs/JobCopy.h"
#include "jobs/JobCreditUse.h"
#include "platform/Clock.h"
#include "platform/db/DbException.h"

#include "app/base/MoneyText.h"

#include <QtCore/QDate>

namespace {

const char *const kUsage = "usage: tavrel-dbtool job DB copy JOBID TYPE [--customer N] [--today M/D/YYYY]\n"
                           "       tavrel-dbtool job DB credit JOBID [--revised] [--today M/D/YYYY]\n"
                           "       tavrel-dbtool job DB apply-credit JOBID AMOUNT [--today M/D/YYYY]\n";

// The customer's credit used on an order.
int applyCredit(const QStringList &args, QTextStream &out, QTextStream &err)
{
    bool ok = false;
    const qint32 jobId = args.size() >= 4 ? args[2].toInt(&ok) : 0;
    if (!ok || jobId <= 0 || (args.size() != 4 && args.size() != 6)) {
        err << kUsage;
        return 2;
    }
    // The amount as the credit window reads it: whole cents within the
    // largest amount, or refused naming it.
    Money amount;
    if (!ReadToolAmount(args[3], amount, err))
        return 2;
    if (args.size() == 6) {
        const QDate today = QDate::fromString(args[5], QStringLiteral("M/d/yyyy"));
        if (args[4] != QLatin1String("--today") || !today.isValid()) {
            err << kUsage;
            return 2;
        }
        platform::Clock::setFixed(QDateTime(today, QTime(12, 0)));
    }
    if (amount.units() <= 0) {
        err << "Not Applied!\n\n " << CreditEntryPrompt(Money()) << '\n';
        return 1;
    }
    try {
        SharedDatabase().open(args[0]);
        CZqApp app;
        InstallAppQueryReader(app);
        CJobSet job;
        if (!job.FindById(jobId, true) || job.IsEmptySet() || job.m_JobType != CJobSet::Order) {
            err << "The job is not an order.\n";
            return 1;
        }
        const bool note = GetGlobalAlertText(251, 10, QStringLiteral("0")).trimmed() != QStringLiteral("0");
        const Money applied = ApplyCreditToJob(job, amount, note, [&] { return job.SaveRecord(); });
        if (applied.isZero()) {
            err << "No credit was applied.\n";
            return 1;
        }
        out << "JobID " << job.m_JobID << "\nJobNo " << job.m_JobNo << "\nApplied " << FormatMoney(applied)
            << "\nBalance " << FormatMoney(job.m_Balance) << '\n';
        job.Close();
        SharedDatabase().close();
        return 0;
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.what() << '\n';
        return 1;
    }
}

} // namespace

int runJobCopyCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() > 1 && args[1] == QLatin1String("apply-credit"))
        return applyCredit(args, out, err);
    if (args.size() < 3) {
        err << kUsage;
        return 2;
    }
    const bool copy = args[1] == QLatin1String("copy");
    bool ok = false;
    const qint32 jobId = args[2].toInt(&ok);
    if (!ok || jobId <= 0 || (copy && args.size() < 4)) {
        err << kUsage;
        return 2;
    }
    int type = 0;
    int i = 3;
    if (copy) {
        type = args[3].toInt(&ok);
        if (!ok || type < 0 || type > 3) {
            err << kUsage;
            return 2;
        }
        i = 4;
    }
    qint32 cusNo = 0;
    bool revised = false;
    QDate today;
    for (; i < args.size(); ++i) {
        const QString &a = args[i];
        if (copy && a == QLatin1String("--customer") && i + 1 < args.size()) {
            cusNo = args[++i].toInt(&ok);
            if (!ok || cusNo <= 0) {
                err << kUsage;
                return 2;
            }
        } else if (!copy && a == QLatin1String("--revised")) {
            revised = true;
        } else if (a == QLatin1String("--today") && i + 1 < args.size()) {
            today = QDate::fromString(args[++i], QStringLiteral("M/d/yyyy"));
            if (!today.isValid()) {
                err << kUsage;
                return 2;
            }
        } else {
            err << kUsage;
            return 2;
        }
    }
    try {
        if (today.isValid())
            platform::Clock::setFixed(QDateTime(today, QTime(12, 0)));
        SharedDatabase().open(args[0]);
        CZqApp app;
        InstallAppQueryReader(app);
        // The harness acts with every right: no password is asked.
        app.m_nSecurityLevel = 0;
        CJobSet job;
        JobCopy copier(job);
        bool done = false;
        if (copy)
            done = copier.PasteJob(jobId, type, cusNo);
        else
            done = copier.CreditInvoice(jobId, revised);
        if (!done) {
            err << (copy ? "The job was not copied.\n" : "The credit invoice was not made.\n");
            return 1;
        }
        if (copy) {
            out << "JobID " << job.m_JobID << "\nJobNo " << job.m_JobNo << '\n';
        } else {
            out << "JobID " << copier.m_nCreditJobId << "\nJobNo " << copier.m_nCreditJobNo << '\n';
            if (revised)
                out << "RevisedJobID " << copier.m_nRevisedJobId << "\nRevisedJobNo " << copier.m_nRevisedJobNo
                    << '\n';
        }
        job.Close();
        SharedDatabase().close();
        return 0;
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.what() << '\n';
        return 1;
    }
}
