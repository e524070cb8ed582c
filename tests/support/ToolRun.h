#pragma once

#include <QtCore/QProcess>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <csignal>
#include <sys/resource.h>

// One run of tavrel-dbtool (TAVREL_DBTOOL, which each test program is given):
// its exit code (-1 when it did not end within a minute) and what it printed.
struct ToolRun
{
    int exitCode = -1;
    bool crashed = false; // ended by a signal (exitCode means nothing then)
    QString out;
    QString err;
};

// How the tool's process meets a file-size limit: with SIGXFSZ ignored
// (every write past the limit fails as on a full disk), or as a user's
// session starts a program, with the signal at its default action (a write
// past the limit ends a program that does not ignore the signal itself).
// The test runner ignores the signal, and a child inherits that: the
// session's way must put the default back.
enum class SizeLimitSignal { Ignored, AsInASession };

// With fileSizeLimit above 0 the tool runs under that file-size limit (and
// SIGXFSZ ignored unless told): every write past it fails as on a full disk.
inline ToolRun RunDbTool(const QStringList &args, rlim_t fileSizeLimit = 0,
                         SizeLimitSignal signal = SizeLimitSignal::Ignored)
{
    QProcess p;
    if (fileSizeLimit > 0)
        p.setChildProcessModifier([fileSizeLimit, signal] {
            ::signal(SIGXFSZ, signal == SizeLimitSignal::Ignored ? SIG_IGN : SIG_DFL);
            struct rlimit limit {};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = fileSizeLimit;
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    p.start(QStringLiteral(TAVREL_DBTOOL), args);
    ToolRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitCode();
    r.crashed = p.exitStatus() == QProcess::CrashExit;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// What tavrel-dbtool printed on its standard output, the exit code given
// back on request.
inline QString RunDbToolOut(const QStringList &args, int *exitCode = nullptr)
{
    const ToolRun r = RunDbTool(args);
    if (exitCode)
        *exitCode = r.exitCode;
    return r.out;
}

// The rows of a statement as the sqlite3 program prints them on a database
// file ("|" between fields, one line per row), trimmed.
inline QString SqliteRows(const QString &db, const QString &sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {db, sql});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}
