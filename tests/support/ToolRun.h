#pragma once

#include <QtCore/QProcess>
#include <QtCore/QString>
#include <QtCore/QStringList>

// One run of tavrel-dbtool (TAVREL_DBTOOL, which each test program is given):
// its exit code (-1 when it did not end within a minute) and what it printed.
struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

inline ToolRun RunDbTool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(TAVREL_DBTOOL), args);
    ToolRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}
