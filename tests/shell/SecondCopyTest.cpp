#include "ShellFixture.h"

#include "shell/CMainFrame.h"
#include "platform/Settings.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QEventLoop>
#include <QtCore/QProcess>
#include <QtCore/QTimer>

#include <functional>

namespace {

// The built program, run as a second copy beside the one this test starts.
// Its prompts are answered from TAVREL_SCRIPTED_ANSWERS and listed on its
// standard output; it shares this test's settings file, so both copies count
// as the same user and setup.
class SecondCopyTest : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        config = tempPath(QStringLiteral("config"));
        platform::Settings::useFolder(config + QStringLiteral("/Halvane"));
        work = tempPath(QStringLiteral("elsewhere"));
        QDir().mkpath(work);
    }

    struct Run
    {
        int exitCode = -1;
        QString output;
    };
    // Runs the program to its end (at most a minute), serving this process's
    // events meanwhile so the first copy can answer.
    Run runProgram(const QString &answers, const QStringList &arguments = {})
    {
        platform::Settings::sync();
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TAVREL_SCRIPTED_ANSWERS"), answers);
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(work);
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        process.start(QStringLiteral(TAVREL_EXE), arguments);
        loop.exec();
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
            ADD_FAILURE() << "the program did not end";
        }
        QCoreApplication::processEvents();
        Run run;
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.output = QString::fromUtf8(process.readAllStandardOutput());
        return run;
    }

    // Serves this process's events until wanted answers true (at most the
    // time given): what a second copy asked of this one arrives on a local
    // socket and is handled some event rounds after that copy ended.
    static bool servedUntil(const std::function<bool()> &wanted, int ms = 10000)
    {
        QDeadlineTimer until(ms);
        while (!wanted()) {
            if (until.hasExpired())
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        return true;
    }

    QString config;
    QString work;
};

const QString kQuestion =
    QStringLiteral("PROMPT: Tavrel 2010.0 is already running!\\nDo you want to start another copy?\n");
const QString kCannotFind = QStringLiteral(
    "PROMPT: Tavrel 2010.0\\ncannot find the database TavrelData.mdb\\n\\n\\n\\nWould you like to look for it?\n");

} // namespace

TEST_F(SecondCopyTest, NoBringsTheFirstCopyBackAndYesRunsASecondOne)
{
    makeDatabase();
    answerScreenWarning();
    ASSERT_TRUE(shell->InitInstance());
    CMainFrame *first = shell->mainFrame();
    first->showMinimized();
    ASSERT_TRUE(first->isMinimized());

    const Run declined = runProgram(QStringLiteral("7"));
    EXPECT_EQ(declined.exitCode, 1);
    EXPECT_EQ(declined.output, kQuestion);
    EXPECT_TRUE(servedUntil([&] { return !first->isMinimized(); })) << "the first copy did not come back";

    // Yes: the second copy goes on to its own database (none in its folder)
    // and leaves the first copy where it was.
    first->showMinimized();
    const Run accepted = runProgram(QStringLiteral("6"));
    EXPECT_EQ(accepted.exitCode, 3);
    EXPECT_TRUE(accepted.output.startsWith(kQuestion + kCannotFind)) << qPrintable(accepted.output);
    EXPECT_TRUE(first->isMinimized());
}

TEST_F(SecondCopyTest, ProgramAloneStartsWithTheRestartArgument)
{
    const Run run = runProgram(QStringLiteral("7,1"), {QStringLiteral("--Restart")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, kCannotFind + QStringLiteral("PROMPT: Tavrel will end now. Please contact Halvane for a solution.\n"));
}
