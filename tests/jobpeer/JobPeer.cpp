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
//   tavrel-job-peer DATABASE add KIND COUNT TAG
//       prints "ready" once the database is open, waits for "go" on its input, then adds COUNT new services, customers
//       or jobs (KIND), named "TAG 1" ... as a user's Save adds them (Save
//       pressed again after a busy database), and prints the number each was
//       saved under ("fail" and the last message when one is refused)
//   tavrel-job-peer DATABASE backup TARGET
//       copies the database to TARGET and prints "copying" once the copy is
//       under way; then it waits for ever in the middle of it (a test kills it)
//   tavrel-job-peer DATABASE copy TARGET
//       copies the database to TARGET as the backup command does and prints
//       "copied" and "note " with what the copy says beside its success, or
//       "fail " and why
//   tavrel-job-peer DATABASE newcustomer
//       makes a new customer as the customer window does when it opens on
//       one, prints its number and waits for ever with it held (a test kills
//       it); its settings are those of XDG_CONFIG_HOME
//   tavrel-job-peer DATABASE lock JOBID
//       tries to lock the job, answering the lock question with No; prints
//       "result 1" or "result 0" and then "text" and each message shown
#include "data/CCusSet.h"
#include "data/CJobSet.h"
#include "data/CSerSet.h"
#include "data/DatabaseFiles.h"
#include "data/HeldNewCustomers.h"
#include "data/SchemaOperations.h"
#include "data/ShopDatabase.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"

#include <QtCore/QCoreApplication>

#include <functional>
#include <iostream>
#include <string>
#include <thread>

namespace {

std::string oneLine(const QString &text)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return line.toStdString();
}

// Saves as a user would who is told the database is busy: the box is
// answered and Save pressed again on what the window still holds.
bool saveAsAUser(platform::TestResponder &prompts, const std::function<bool()> &save)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (prompts.pendingAnswers() == 0)
            prompts.answer(platform::IDNO);
        if (save())
            return true;
    }
    return false;
}

// One new row of the kind, saved as its window saves it; its number, or 0.
qint32 addNumbered(platform::TestResponder &prompts, const QString &kind, const QString &name)
{
    if (kind == QLatin1String("services")) {
        CSerSet service;
        service.m_strFilter = QStringLiteral("SerNo = 0");
        service.Open();
        if (!service.SafeAddNew())
            return 0;
        service.m_CatNo = 901;
        service.m_Name = name;
        return saveAsAUser(prompts, [&] { return service.SaveNew(0); }) ? service.m_SerNo : 0;
    }
    if (kind == QLatin1String("customers")) {
        CCusSet customer;
        customer.m_strFilter = QStringLiteral("CusNo = 0");
        customer.Open();
        if (!customer.SafeAddNew())
            return 0;
        customer.InitNewCustomer();
        customer.m_Name = name;
        return saveAsAUser(prompts, [&] { return customer.SaveNew(0); }) ? customer.m_CusNo : 0;
    }
    CJobSet job;
    job.m_strFilter = QStringLiteral("JobID = 0");
    job.Open();
    if (!job.SafeAddNew())
        return 0;
    job.m_JobType = CJobSet::Order;
    job.m_Title = name;
    return saveAsAUser(prompts, [&] { return job.SaveNew(0); }) ? job.m_JobNo : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4 && !(args.size() == 3 && args[2] == QLatin1String("newcustomer")))
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
        } else if (args[2] == QLatin1String("add") && args.size() >= 6) {
            std::cout << "ready" << std::endl;
            std::string line;
            if (!std::getline(std::cin, line) || line != "go")
                return 3;
            for (int n = 1; n <= args[4].toInt(); ++n) {
                const qint32 number = addNumbered(prompts, args[3], args[5] + QStringLiteral(" %1").arg(n));
                if (number != 0)
                    std::cout << number << std::endl;
                else
                    std::cout << "fail " << oneLine(prompts.lastText()) << std::endl;
            }
        } else if (args[2] == QLatin1String("churn")) {
            std::cout << "writing" << std::endl;
            const int count = args[3].toInt();
            for (int n = 0; n < count; ++n)
                SharedDatabase().execute(QStringLiteral("UPDATE Jobs SET Title = 'Write %1' WHERE JobID = 1").arg(n));
            std::cout << "done" << std::endl;
        } else if (args[2] == QLatin1String("newcustomer")) {
            CCusSet customer;
            if (!customer.SafeAddNew())
                return 1;
            customer.InitNewCustomer();
            customer.CopyCustomer(CCusSet::DefaultCustomer);
            customer.m_CusStatus = 0;
            if (!customer.SaveNew(0))
                return 1;
            HeldNewCustomers::Hold(customer.m_CusNo);
            std::cout << customer.m_CusNo << std::endl;
            for (;;)
                std::this_thread::sleep_for(std::chrono::seconds(1));
        } else if (args[2] == QLatin1String("backup")) {
            // A progress window that hangs after the first pages.
            class Hanging : public SchemaProgress
            {
            public:
                bool isRunning() const override { return true; }
                bool step(const QString &) override
                {
                    std::cout << "copying" << std::endl;
                    for (;;)
                        std::this_thread::sleep_for(std::chrono::seconds(1));
                }
                void setMessage(const QString &) override {}
            } hanging;
            SystemError error;
            CopyOpenDatabase(SharedDatabase(), args[3], error, &hanging);
            return 1;
        } else if (args[2] == QLatin1String("copy")) {
            SystemError error;
            QString note;
            if (CopyOpenDatabase(SharedDatabase(), args[3], error, nullptr, &note))
                std::cout << "copied" << std::endl << "note " << oneLine(note) << std::endl;
            else
                std::cout << "fail " << oneLine(error.text) << std::endl;
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
        for (const QString &text : prompts.texts())
            std::cout << "text " << oneLine(text) << std::endl;
        std::cout << "prompt " << e.what() << std::endl;
        return 1;
    }
    SharedDatabase().close();
    return 0;
}
