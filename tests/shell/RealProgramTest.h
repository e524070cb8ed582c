#pragma once

#include "XvfbScreen.h"

#include "support/TestEnvironment.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QProcessEnvironment>
#include <QtCore/QRect>
#include <QtCore/QStandardPaths>
#include <QtCore/QStringList>
#include <QtCore/QThread>

#include <cstdio>
#include <functional>
#include <optional>

// The base of the tests that run the real program on the virtual screen
// TAVREL_XVFB_DISPLAY names: they are skipped when no display is named or a
// tool they drive it with is missing, give up at their deadline, and never
// leave the program running.
class RealProgramTest : public TavrelTest
{
protected:
    // Call from SetUp, then return when the test was skipped (IsSkipped()).
    void PrepareRun(const QStringList &tools, int milliseconds)
    {
        if (XvfbScreen::display().isEmpty())
            GTEST_SKIP() << "TAVREL_XVFB_DISPLAY is not set";
        for (const QString &tool : tools)
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool.toStdString() << " is not installed";
        m_deadline = QDeadlineTimer(milliseconds);
    }
    void TearDown() override
    {
        if (HasFailure())
            keepWhatFailed();
        if (m_program.state() != QProcess::NotRunning) {
            m_program.terminate();
            if (!m_program.waitForFinished(3000)) {
                m_program.kill();
                m_program.waitForFinished(3000);
            }
        }
        TavrelTest::TearDown();
    }
    // The program's environment: the virtual screen, settings of the test's
    // own, and the file where it writes where its widgets are on screen.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_screen.used());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), tempPath(QStringLiteral("config")));
        env.insert(QStringLiteral("TAVREL_LAYOUT_FILE"), tempPath(m_layoutName));
        return env;
    }

    // Runs a tool on the virtual screen; its standard output, trimmed.
    QString runTool(const QString &program, const QStringList &args)
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
    // A sample shop of so many jobs in a folder of the test's (changed by
    // the sqlite3 statement `prepare`, when given, before the program opens
    // it), the virtual screen and the program on it, its main window up.
    // Empty when all went well, else what failed.
    QString startOnSampleShop(int jobs, const QString &prepare = QString())
    {
        const QString work = tempPath(QStringLiteral("work"));
        QDir().mkpath(work);
        m_database = work + QStringLiteral("/TavrelData.mdb");
        QProcess tool;
        tool.start(QStringLiteral(TAVREL_DBTOOL), {QStringLiteral("sample"), m_database, QStringLiteral("--jobs"),
                                                    QString::number(jobs)});
        if (!tool.waitForFinished(120000) || tool.exitCode() != 0)
            return QStringLiteral("the sample shop was not made");
        if (!prepare.isEmpty()) {
            QProcess shell;
            shell.start(QStringLiteral("sqlite3"), {m_database, prepare});
            if (!shell.waitForFinished(20000) || shell.exitCode() != 0)
                return QStringLiteral("the sample shop could not be prepared");
        }
        QString error;
        if (!(m_screenSize.isEmpty() ? m_screen.open(error) : m_screen.openOwn(m_screenSize, error)))
            return error;
        QProcessEnvironment programEnvironment = environment();
        programEnvironment.insert(m_programExtra);
        m_program.setProcessEnvironment(programEnvironment);
        m_program.setWorkingDirectory(work);
        m_program.start(QStringLiteral(TAVREL_EXE), {});
        if (!m_program.waitForStarted(5000))
            return QStringLiteral("the program did not start");
        if (!waitFor([&] { return spot(QStringLiteral("item"), QStringLiteral("30000")).has_value(); }, 30000))
            return QStringLiteral("the main window did not show its tabs");
        return QString();
    }
    QString sqlite(const QString &statement) { return runTool(QStringLiteral("sqlite3"), {m_database, statement}); }

    // The lines of the program's layout file of a kind (all when kind is
    // empty), split at tabs.
    QList<QStringList> layoutLines(const QString &kind)
    {
        QList<QStringList> found;
        QFile file(tempPath(m_layoutName));
        if (!file.open(QIODevice::ReadOnly))
            return found;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList f = line.split(QLatin1Char('\t'));
            if (kind.isEmpty() || f.value(0) == kind)
                found << f;
        }
        return found;
    }
    // The centre of a spot of the layout: a ribbon item ("item") or a menu
    // item ("menu") by its command id, a list-manager entry ("tree") by its
    // text; with the ribbon item's state when wanted.
    std::optional<QPoint> spot(const QString &kind, const QString &key, int *state = nullptr)
    {
        for (const QStringList &f : layoutLines(kind)) {
            if (kind == QLatin1String("item") && f.size() >= 8 && f[1] == key) {
                if (state)
                    *state = f[2].toInt();
                return QRect(f[3].toInt(), f[4].toInt(), f[5].toInt(), f[6].toInt()).center();
            }
            if (kind == QLatin1String("tree") && f.size() >= 6 && f[5] == key)
                return QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt()).center();
            if (kind == QLatin1String("menu") && f.size() >= 7 && f[1] == key)
                return QRect(f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt()).center();
        }
        return std::nullopt;
    }
    // Waits (within the run's deadline) until wanted answers true.
    bool waitFor(const std::function<bool()> &wanted, int ms = 10000)
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
        runTool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(at.x()),
                                            QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
        QThread::msleep(400);
    }
    void pressKey(const QString &name)
    {
        runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), name});
        QThread::msleep(300);
    }
    void typeText(const QString &text, int delay = 20)
    {
        runTool(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QString::number(delay), text});
        QThread::msleep(300);
    }
    // The title of the first top-level window whose title starts so; empty when none.
    QString windowTitled(const QString &start)
    {
        for (const QStringList &f : layoutLines(QStringLiteral("window")))
            if (f.value(2).startsWith(start))
                return f.value(2);
        return QString();
    }
    // The text of the message box that is up; empty when none is.
    QString message()
    {
        const QList<QStringList> boxes = layoutLines(QStringLiteral("message"));
        return boxes.isEmpty() ? QString() : boxes.first().value(1);
    }
    // The first spot of a kind whose text field (at) reads text exactly.
    std::optional<QRect> textSpot(const QString &kind, int at, const QString &text, bool last = false)
    {
        std::optional<QRect> found;
        for (const QStringList &f : layoutLines(kind))
            if (f.value(at) == text && (last || !found))
                found = QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
        return found;
    }
    // Clicks a push button ("button"), a list row by its first column
    // ("row") or a tree entry ("tree") by its text; the offset from the
    // spot's left edge, or its centre.
    bool clickText(const QString &kind, const QString &text, int fromLeft = -1, bool last = false)
    {
        const int at = kind == QLatin1String("row") ? 7 : 5;
        if (!waitFor([&] { return textSpot(kind, at, text).has_value(); }))
            return false;
        const QRect r = *textSpot(kind, at, text, last);
        click(fromLeft < 0 ? r.center() : QPoint(r.left() + fromLeft, r.center().y()));
        return true;
    }
    bool clickSpot(const QString &kind, const QString &key)
    {
        if (!waitFor([&] { return spot(kind, key).has_value(); }))
            return false;
        click(*spot(kind, key));
        return true;
    }
    bool showView(int viewId)
    {
        if (!clickSpot(QStringLiteral("item"), QString::number(viewId)))
            return false;
        return waitFor([&] {
            int state = 0;
            return spot(QStringLiteral("item"), QString::number(viewId), &state) && state == 2;
        });
    }
    // Answers the message box that comes up with its default button; the
    // text it showed, empty when none came.
    QString answerMessage(int ms = 10000)
    {
        QString text;
        if (!waitFor([&] { return !(text = message()).isEmpty(); }, ms))
            return QString();
        pressKey(QStringLiteral("Return"));
        waitFor([&] { return message() != text; }, 5000);
        return text;
    }
    // No message box came up during a short wait.
    void expectNoMessage(const QString &step)
    {
        QThread::msleep(800);
        const QString shown = message();
        EXPECT_TRUE(shown.isEmpty()) << step.toStdString() << ": " << shown.toStdString();
        if (!shown.isEmpty())
            pressKey(QStringLiteral("Return"));
    }
    // A screenshot of the whole screen under build/tests/usable/.
    void screenshot(const QString &name)
    {
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/usable");
        QDir().mkpath(folder);
        QThread::msleep(250);
        runTool(QStringLiteral("import"), {QStringLiteral("-display"), m_screen.used(), QStringLiteral("-window"),
                                           QStringLiteral("root"), folder + QLatin1Char('/') + name + QStringLiteral(".png")});
    }

    // A failed run keeps the screen as it was and what the program wrote,
    // under build/tests/usable/failed-<suite>-<test>.png and .txt.
    void keepWhatFailed()
    {
        const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
        const QString name = QStringLiteral("failed-%1-%2")
                                 .arg(QString::fromUtf8(info ? info->test_suite_name() : "run"),
                                      QString::fromUtf8(info ? info->name() : "test"))
                                 .replace(QLatin1Char('/'), QLatin1Char('-'));
        if (!XvfbScreen::display().isEmpty())
            screenshot(name);
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/usable");
        QFile log(folder + QLatin1Char('/') + name + QStringLiteral(".txt"));
        if (log.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            log.write("state: " + QByteArray::number(int(m_program.state())) + "\n");
            if (m_program.state() == QProcess::NotRunning)
                log.write("exit: " + QByteArray::number(m_program.exitCode()) + " status "
                          + QByteArray::number(int(m_program.exitStatus())) + "\n");
            log.write("--- message up: " + message().toUtf8() + "\n--- windows:\n");
            for (const QStringList &f : layoutLines(QStringLiteral("window")))
                log.write(f.join(QLatin1Char('\t')).toUtf8() + "\n");
            log.write("--- standard output:\n" + m_program.readAllStandardOutput());
            log.write("\n--- standard error:\n" + m_program.readAllStandardError());
        }
        std::printf("kept %s/%s.png and .txt\n", qPrintable(folder), qPrintable(name));
    }

    QProcess m_program;
    // The layout file the program driven now writes (a test that runs a
    // second copy with settings of its own gives it a file of its own).
    QString m_layoutName = QStringLiteral("layout.txt");
    QProcessEnvironment m_programExtra; // added to the program's environment alone
    QDeadlineTimer m_deadline;
    XvfbScreen m_screen;
    // A size ("1024x768") for a screen of the test's own; empty: the named display.
    QString m_screenSize;
    QString m_database;
};
