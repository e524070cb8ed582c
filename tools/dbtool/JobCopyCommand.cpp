#include "JobCopyCommand.h"

#include "app/base/CZqApp.h"
#include "data/AppDataServices.h"
#include "data/CJobSet.h"
#include "data/SharedDatabase.h"
#include "jobs/JobCopy.h"
#include "platform/Clock.h"
#include "platform/db/DbException.h"

#include <QtCore/QDate>

namespace {

const char *const kUsage = "usage: tavrel-dbtool job DB copy JOBID TYPE [--customer N] [--today M/D/YYYY]\n"
                           "       tavrel-dbtool job DB credit JOBID [--revised] [--today M/D/YYYY]\n";

} // namespace

int runJobCopyCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
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
