#include "ProductionShopFixture.h"

#include "app/base/Appearance.h"
#include "data/AppDataServices.h"
#include "data/DatabaseFiles.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "platform/Clock.h"
#include "platform/PromptWatch.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <QtCore/QProcess>
#include <QtWidgets/QApplication>

void ProductionShopTest::SetUp()
{
    TavrelTest::SetUp();
    m_dataFolder = DataFolder();
    m_path = tempPath(QStringLiteral("TavrelData.mdb"));
    CreateShopDatabase(m_path);
    SharedDatabase().open(m_path);
    platform::Clock::setFixed(QDateTime(today(), QTime(10, 0)));

    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus, Terms, Tax) "
                        "VALUES (100, 'Acme Printing Co', 0, 1, 0)"));
    exec(QStringLiteral("DELETE FROM Employees"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) VALUES (0, ' ', 0, 0, 0, 0)"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) VALUES (3, 'Carla', 1, 1, 0, 0)"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) VALUES (5, 'Ben', 1, 2, 0, 0)"));
}

void ProductionShopTest::loadApplication()
{
    app = std::make_unique<CZqApp>();
    InstallAppQueryReader(*app);
    app->LoadServiceDepartments();
    app->LoadServiceCategories();
    app->LoadServices(2);
    app->BuildPopupMenus();
    Appearance::instance().LoadViewSettings();
}

void ProductionShopTest::TearDown()
{
    stopWritingWhileBoxesShow();
    QApplication::processEvents();
    app.reset();
    platform::Clock::reset();
    if (SharedDatabase().isOpen())
        SharedDatabase().close();
    SetDataFolder(m_dataFolder);
    TavrelTest::TearDown();
}

void ProductionShopTest::exec(const QString &sql)
{
    SharedDatabase().execute(sql);
}

platform::Value ProductionShopTest::scalar(const QString &sql)
{
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, sql);
    return rs.isEOF() ? platform::Value() : rs.value(0);
}

void ProductionShopTest::writeAtOnceWhileBoxesShow(int &writes)
{
    writes = 0;
    platform::WatchMessageBoxes([this, &writes](const platform::PromptRecord &box) {
        QProcess other;
        other.start(QStringLiteral("sqlite3"), {m_path, QStringLiteral("UPDATE Customers SET Name = Name WHERE CusNo = 100;")});
        EXPECT_TRUE(other.waitForFinished(60000));
        EXPECT_EQ(other.exitCode(), 0) << box.text.toStdString() << ": " << other.readAllStandardError().toStdString();
        ++writes;
    });
}

void ProductionShopTest::stopWritingWhileBoxesShow()
{
    platform::WatchMessageBoxes(nullptr);
}

QString ProductionShopTest::sqliteRows(const QString &sql)
{
    QProcess process;
    process.start(QStringLiteral("sqlite3"), {m_path, sql});
    process.waitForFinished(20000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}
