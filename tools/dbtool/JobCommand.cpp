#include "JobCommand.h"
#include "JobCopyCommand.h"

#include "app/base/CZqApp.h"
#include "data/AppDataServices.h"
#include "data/CJobSet.h"
#include "data/SharedDatabase.h"
#include "jobs/JobCreation.h"
#include "platform/Clock.h"
#include "platform/db/DbException.h"

namespace {

const char *const kUsage = "usage: tavrel-dbtool job DB new TYPE CUSNO [--buyer N] [--csr N]\n";

} // namespace

int runJobCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() > 1 && (args[1] == QLatin1String("copy") || args[1] == QLatin1String("credit") ||
                             args[1] == QLatin1String("apply-credit")))
        return runJobCopyCommand(args, out, err);
    if (args.size() < 4 || args[1] != QLatin1String("new")) {
        err << kUsage;
        return 2;
    }
    bool typeOk = false;
    bool cusOk = false;
    const int type = args[2].toInt(&typeOk);
    const qint32 cusNo = args[3].toInt(&cusOk);
    qint32 buyer = 0;
    int csr = 0;
    for (int i = 4; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--buyer")) {
            buyer = args[i + 1].toInt();
        } else if (args[i] == QLatin1String("--csr")) {
            csr = args[i + 1].toInt();
        } else {
            err << kUsage;
            return 2;
        }
    }
    if ((args.size() - 4) % 2 != 0 || !typeOk || !cusOk || type < 0 || type > 2 || cusNo <= 0 || csr < 0 ||
        csr > 255) {
        err << kUsage;
        return 2;
    }
    try {
        SharedDatabase().open(args[0]);
        CZqApp app;
        InstallAppQueryReader(app);
        // The harness acts with every right: no password is asked.
        app.m_nSecurityLevel = 0;
        if (!ConfirmCustomerWarning(cusNo, type)) {
            err << "The customer warning stopped the job.\n";
            return 1;
        }
        CJobSet job;
        if (!CreateJob(job, type, cusNo, buyer, quint8(csr))) {
            err << "The job was not created.\n";
            return 1;
        }
        out << "JobID " << job.m_JobID << "\nJobNo " << job.m_JobNo << '\n';
        job.Close();
        SharedDatabase().close();
        return 0;
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.what() << '\n';
        return 1;
    }
}
