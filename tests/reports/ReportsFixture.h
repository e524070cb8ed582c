#pragma once

// The sample shop of 2010 (made once per test program by tavrel-dbtool) as
// each test's own copy, opened as the shared database with an application
// object; the clock stands at 06/15/2010 10:30.

#include "support/ShopTest.h"

#include "platform/Clock.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

class ReportsFixture : public ShopTest
{
public:
    static QString samplePath()
    {
        static QTemporaryDir dir;
        static const QString path = [] {
            const QString p = dir.filePath(QStringLiteral("Sample.mdb"));
            QProcess tool;
            tool.start(QStringLiteral(TAVREL_DBTOOL), {QStringLiteral("sample"), p, QStringLiteral("--jobs"),
                                                       QStringLiteral("300"), QStringLiteral("--today"),
                                                       QStringLiteral("6/15/2010")});
            tool.waitForFinished(180000);
            return p;
        }();
        return path;
    }

protected:
    void SetUp() override
    {
        // Before the shop opens: the application object reads today.
        platform::Clock::setFixed(QDateTime(QDate(2010, 6, 15), QTime(10, 30)));
        ShopTest::SetUp();
    }
    // Each test's own copy of the sample shop.
    void makeShopFile(const QString &path) override
    {
        QFile::copy(samplePath(), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
};
