// tavrel-job-peer: a second workstation running the job rules on the same
// database file as a test. Every line it prints is one result.
//
//   tavrel-job-peer DATABASE numbers COUNT JOBTYPE
//       waits for "go" on its input, then takes COUNT new job numbers and
//       prints each ("fail" and the message when one is refused)
//   tavrel-job-peer FOLDER create COUNT
//       creates the shop databases FOLDER/Shop1.mdb ... one after the other,
//       printing "created N" after each (a test kills it half way)
//   tavrel-job-peer DATABASE churn COUNT
//       prints "writing", then saves the title of the first job COUNT times
//       back to back, then prints "done"
//   tavrel-job-peer DATABASE lock JOBID
//       tries to lock the job, answering the lock question with No; prints
//       "result 1" or "result 0" and then "text" and each message shown
#include "data/CJobSet.h"
#include "data/ShopDatabase.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"

#include <QtCore/QCoreApplication>

#include <iostream>
#include <string>

namespace {

std::string oneLine(const QString &text)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return line.toStdString();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    platform::TestResponder prompts;
    if (args[2] == QLatin1String("create")) {
        try {
            for (int n = 1; n <= args[3].toInt(); ++n) {
                CreateShopDatabase(args[1] + QStringLiteral("/Shop%1.mdb").arg(n));
                std::cout << "created " << n << std::endl;
            }
        } catch (const platform::DbException &e) {
            std::cout << "error " << e.number() << std::endl;
            return 1;
        }
        return 0;
    }
    try {
        SharedDatabase().open(args[1]);
        if (args[2] == QLatin1String("numbers") && args.size() >= 5) {
            std::string line;
            if (!std::getline(std::cin, line) || line != "go")
                return 3;
            const int count = args[3].toInt();
            for (int n = 0; n < count; ++n) {
                prompts.answer(platform::IDOK);
                CJobSet job;
                job.m_JobType = quint8(args[4].toInt());
                if (job.NewJobNo(0))
                    std::cout << job.m_JobNo << std::endl;
                else
                    std::cout << "fail " << oneLine(prompts.lastText()) << std::endl;
            }
        } else if (args[2] == QLatin1String("churn")) {
            std::cout << "writing" << std::endl;
            const int count = args[3].toInt();
            for (int n = 0; n < count; ++n)
                SharedDatabase().execute(QStringLiteral("UPDATE Jobs SET Title = 'Write %1' WHERE JobID = 1").arg(n));
            std::cout << "done" << std::endl;
        } else if (args[2] == QLatin1String("lock")) {
            prompts.answer(platform::IDNO);
            CJobSet job;
            const bool locked = job.FindById(args[3].toInt()) && job.Lock(true);
            std::cout << "result " << (locked ? 1 : 0) << std::endl;
            for (const QString &text : prompts.texts())
                std::cout << "text " << oneLine(text) << std::endl;
        } else {
            return 2;
        }
    } catch (const platform::DbException &e) {
        std::cout << "error " << e.number() << std::endl;
        return 1;
    } catch (const platform::UnansweredPrompt &e) {
        std::cout << "prompt " << e.what() << std::endl;
        return 1;
    }
    SharedDatabase().close();
    return 0;
}
