#pragma once

// The sample shop of 2010 (made once per test program by tavrel-dbtool) as
// each test's own copy, opened as the shared database with an application
// object; the clock stands at 06/15/2010 10:30.

#include "support/ShopTest.h"

#include "platform/Clock.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

class ReportsFixture : public TavrelTest
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
        TavrelTest::SetUp();
        platform::Clock::setFixed(QDateTime(QDate(2010, 6, 15), QTime(10, 30)));
        m_dataFolder = DataFolder();
        m_path = tempPath(QStringLiteral("TavrelData.mdb"));
        QFile::copy(samplePath(), m_path);
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
        SharedDatabase().open(m_path);
        app = std::make_unique<CZqApp>();
        Appearance::instance().LoadViewSettings();
    }
    void TearDown() override
    {
        QApplication::processEvents();
        app.reset();
        if (SharedDatabase().isOpen())
            SharedDatabase().close();
        SetDataFolder(m_dataFolder);
        platform::Clock::reset();
        TavrelTest::TearDown();
    }
    void exec(const QString &sql) { SharedDatabase().execute(sql); }
    QString sqlite(const QString &sql) const
    {
        QProcess process;
        process.start(QStringLiteral("sqlite3"), {m_path, sql});
        process.waitForFinished(30000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    std::unique_ptr<CZqApp> app;
    QString m_path;

private:
    QString m_dataFolder;
};
