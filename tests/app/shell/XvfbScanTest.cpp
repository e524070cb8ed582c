#include "RealProgramTest.h"

#include "support/TestEnvironment.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QRect>
#include <QtCore/QStandardPaths>
#include <QtCore/QThread>

#include <optional>

// The real program on a virtual screen read by a "scanner": xdotool types a
// job ticket's code and then the "Ready to Ship" command code into the jobs
// view, as a keyboard-wedge scanner types them, and the sqlite3 program reads
// the stored status. Runs when TAVREL_XVFB_DISPLAY names a display (CI starts
// one) and Xvfb, xdotool, import and sqlite3 are installed; it gives up after
// a minute.
namespace {

class XvfbScan : public RealProgramTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        PrepareRun({QStringLiteral("Xvfb"), QStringLiteral("xdotool"), QStringLiteral("import"), QStringLiteral("sqlite3")},
                   60000);
        if (IsSkipped())
            return;
    }
    QString run(const QString &program, const QStringList &args)
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(program, args);
        if (!p.waitForFinished(20000)) {
            p.kill();
            p.waitForFinished(3000);
        }
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    QString sqlite(const QString &statement) { return run(QStringLiteral("sqlite3"), {m_database, statement}); }

    // The centre of a spot of the program's layout file: a ribbon item by its
    // id ("item"), or a list-manager entry by its text ("tree"); with the
    // item's state when wanted.
    std::optional<QPoint> spot(const QString &kind, const QString &key, int *state = nullptr)
    {
        QFile file(tempPath(QStringLiteral("layout.txt")));
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString &line : lines) {
            const QStringList f = line.split(QLatin1Char('\t'));
            if (f.value(0) != kind)
                continue;
            if (kind == QLatin1String("item") && f.size() >= 8 && f[1] == key) {
                if (state)
                    *state = f[2].toInt();
                return QRect(f[3].toInt(), f[4].toInt(), f[5].toInt(), f[6].toInt()).center();
            }
            if (kind == QLatin1String("tree") && f.size() >= 6 && f[5] == key)
                return QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt()).center();
        }
        return std::nullopt;
    }
    template <class F>
    bool waitFor(F wanted, int ms)
    {
        QDeadlineTimer until(ms);
        while (!until.hasExpired() && !m_deadline.hasExpired()) {
            if (wanted())
                return true;
            QThread::msleep(150);
        }
        return false;
    }
    void click(const QPoint &at)
    {
        run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                                        QStringLiteral("click"), QStringLiteral("1")});
        QThread::msleep(400);
    }
    void shot(const QString &name)
    {
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/usable");
        QDir().mkpath(folder);
        run(QStringLiteral("import"), {QStringLiteral("-display"), XvfbScreen::display(), QStringLiteral("-window"),
                                       QStringLiteral("root"), folder + QLatin1Char('/') + name + QStringLiteral(".png")});
    }

    QString m_database;
};

} // namespace

TEST_F(XvfbScan, TicketAndReadyToShipCodeStoreStatus2)
{
    const QString work = tempPath(QStringLiteral("work"));
    QDir().mkpath(work);
    m_database = work + QStringLiteral("/TavrelData.mdb");
    run(QStringLiteral(TAVREL_DBTOOL), {QStringLiteral("sample"), m_database, QStringLiteral("--jobs"), QStringLiteral("20")});
    const QString job = sqlite(QStringLiteral("SELECT Min(JobID) FROM Jobs WHERE JobType = 0 AND Status <> 2"));
    ASSERT_FALSE(job.isEmpty()) << "the sample has no order to stamp";

    QString error;
    ASSERT_TRUE(StartProgram(work, error)) << error.toStdString();
    ASSERT_TRUE(waitFor([&] { return spot(QStringLiteral("item"), QStringLiteral("30001")).has_value(); }, 20000))
        << "the main window did not show its tabs";

    // The jobs view, with the list manager's "Orders" entry in the focus.
    click(*spot(QStringLiteral("item"), QStringLiteral("30001")));
    ASSERT_TRUE(waitFor([&] {
        int state = 0;
        return spot(QStringLiteral("item"), QStringLiteral("30001"), &state) && state == 2 &&
               spot(QStringLiteral("tree"), QStringLiteral("Orders"));
    }, 10000)) << "the jobs view did not show";
    click(*spot(QStringLiteral("tree"), QStringLiteral("Orders")));

    // The ticket's code and the command code, typed as a scanner types:
    // Shift 6 (the job symbol), the JobID, Shift 3 (the end); then Shift 1
    // (a command), 30133, Shift 3.
    run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("10"),
                                    QStringLiteral("^") + job + QStringLiteral("#")});
    QThread::msleep(600);
    run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("10"),
                                    QStringLiteral("!30133#")});
    const QString statement = QStringLiteral("SELECT Status FROM Jobs WHERE JobID = ") + job;
    const bool stored = waitFor([&] { return sqlite(statement) == QLatin1String("2"); }, 10000);
    shot(QStringLiteral("xvfb-scan-ready-to-ship"));
    EXPECT_TRUE(stored) << "Status of job " << job.toStdString() << " reads " << sqlite(statement).toStdString();
    EXPECT_EQ(m_program.state(), QProcess::Running) << "the program ended during the run";
    EXPECT_FALSE(m_deadline.hasExpired()) << "the run took too long";
}
