#include "JobsFixture.h"

#include "app/base/Appearance.h"
#include "controls/CXRibbon.h"
#include "data/AppDataServices.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "jobs/JobsInstall.h"
#include "platform/Clock.h"
#include "platform/PromptWatch.h"
#include "platform/db/Recordset.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

void JobsTest::SetUp()
{
    TavrelTest::SetUp();
    m_dataFolder = DataFolder();
    m_path = tempPath(QStringLiteral("TavrelData.mdb"));
    CreateShopDatabase(m_path);
    SharedDatabase().open(m_path);
    platform::Clock::setFixed(QDateTime(QDate(2024, 6, 12), QTime(10, 0)));

    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, Address, City, State, Zip, CusStatus, Terms, Tax) "
                        "VALUES (100, 'Acme Printing Co', '12 Mill Road', 'Springfield', 'IL', '62701', 0, 1, 0)"));
    exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Phone, Type) "
                        "VALUES (7, 100, 'Dana', 'Reyes', '555-0101', 0)"));
    exec(QStringLiteral("INSERT INTO Shipto (ShiptoNo, CusNo, Company, Address, City, State, Zip, Type) "
                        "VALUES (4, 100, 'Acme Warehouse', '40 Dock St', 'Springfield', 'IL', '62702', 0)"));
    exec(QStringLiteral("INSERT INTO ShipBy ([No], Name, Type, Sort) VALUES (1, 'UPS Ground', 0, 1)"));
    // The service that the items' service rows use, in the item rows' category.
    if (scalar(QStringLiteral("SELECT Count(*) FROM Services WHERE SerNo = 1")).toInt() == 0)
        exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SerStatus, CostBy, SortNo) "
                            "SELECT 1, CatNo, 'Press run', 0, 0, 9999 FROM Services WHERE SerNo = 0"));
    exec(QStringLiteral("DELETE FROM Employees"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) "
                        "VALUES (0, ' ', 0, 0, 0, 0)"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) "
                        "VALUES (3, 'Carla', 1, 1, 0, 0)"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) "
                        "VALUES (5, 'Ben', 1, 2, 0, 0)"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) "
                        "VALUES (8, 'Sam', 2, 3, 250, 0)"));

    app = std::make_unique<CZqApp>();
    app->setPlacementSaving(true);
    InstallAppQueryReader(*app);
    app->BuildPopupMenus();
    Appearance::instance().LoadViewSettings();
    InstallJobs(*app, nullptr);
    app->setDataEntryDialog([this](QString &value, int, const QString &, const QString &, const QString &) {
        ++passwordsAsked;
        value = QStringLiteral("top");
        return int(platform::IDOK);
    });
}

void JobsTest::TearDown()
{
    stopWritingWhileBoxesShow();
    QApplication::processEvents();
    if (app)
        RemoveJobs(*app);
    app.reset();
    if (SharedDatabase().isOpen())
        SharedDatabase().close();
    SetDataFolder(m_dataFolder);
    TavrelTest::TearDown();
}

void JobsTest::exec(const QString &sql)
{
    SharedDatabase().execute(sql);
}

platform::Value JobsTest::scalar(const QString &sql)
{
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, sql);
    return rs.isEOF() ? platform::Value() : rs.value(0);
}

qint32 JobsTest::addJob(int jobType, qint32 jobNo, const QString &columns, const QString &values)
{
    static const QStringList numbers = {"FromJobType", "FromJobNo", "Status",   "CSRNo",     "SRepNo",
                                        "ShiptoNo",    "BuyerNo",   "Location", "ViaDue",    "TaxNo",
                                        "TermsNo",     "CommType",  "Creator",  "WOrderPrinted", "InvoicePrinted"};
    QString c = QStringLiteral("CusNo, Title, DateIn");
    QString v = QStringLiteral("100, 'Business cards', #6/10/2024#");
    const QStringList given = columns.toLower().split(QLatin1Char(','));
    QStringList names;
    for (const QString &g : given)
        names << g.trimmed();
    if (!columns.isEmpty()) {
        c = columns;
        v = values;
        if (!names.contains(QStringLiteral("cusno"))) {
            c += QStringLiteral(", CusNo");
            v += QStringLiteral(", 100");
        }
    }
    for (const QString &n : numbers) {
        if (names.contains(n.toLower()))
            continue;
        c += QStringLiteral(", ") + n;
        v += QStringLiteral(", 0");
    }
    exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, %1) VALUES (%2, %3, %4)").arg(c).arg(jobType).arg(jobNo).arg(v));
    return scalar(QStringLiteral("SELECT Max(JobID) FROM Jobs")).toInt();
}

qint32 JobsTest::addItem(qint32 jobId, int itemNo, const QString &description, const char *price, int exempt)
{
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Price, Cost, Bleed, Sheets, "
                        "Status, ChargeQty) VALUES (%1, 0, %2, 0, '%3', %4, 0, %5, 1, 1, 500)")
             .arg(jobId)
             .arg(itemNo)
             .arg(description, QString::fromLatin1(price))
             .arg(exempt));
    const qint32 itemId = scalar(QStringLiteral("SELECT Max(ItemID) FROM Items")).toInt();
    // One service row carries the item's price, as priced items have.
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Price, Cost, Bleed, Sheets, "
                        "Status, ChargeQty) VALUES (%1, 1, %2, 0, '', %3, 0, 0, 1, 1, 500)")
             .arg(jobId)
             .arg(itemNo)
             .arg(QString::fromLatin1(price)));
    return itemId;
}

void JobsTest::setJobWindowSettings(const QString &text)
{
    SaveGlobalAlertText(251, text);
}

void JobsTest::usePasswords()
{
    exec(QStringLiteral("UPDATE Passwords SET [Password] = 'top' WHERE [No] <= 5"));
    exec(QStringLiteral("UPDATE Passwords SET [Level] = 3 WHERE [No] = 44 or [No] = 11 or [No] = 64"));
    app->m_nSecurityLevel = -1;
}

bool JobsTest::present(CXRibbon &bar, unsigned id)
{
    return bar.FindItem(id) >= 0;
}

bool JobsTest::enabled(CXRibbon &bar, unsigned id)
{
    const int index = bar.FindItem(id);
    return index >= 0 && bar.itemAt(index).state != struct_RIB_ITEM::Disabled &&
           bar.itemAt(index).state != struct_RIB_ITEM::Hidden;
}

void JobsTest::snapshot(QWidget &widget, const QString &name)
{
    SaveSnapshot(widget, QStringLiteral("jobs"), name);
}

void JobsTest::writeAtOnceWhileBoxesShow(int &writes)
{
    writes = 0;
    platform::WatchMessageBoxes([this, &writes](const platform::PromptRecord &box) {
        QProcess other;
        other.start(QStringLiteral("sqlite3"),
                    {m_path, QStringLiteral("UPDATE Customers SET Memo = Memo WHERE CusNo = %1;").arg(kCustomer)});
        EXPECT_TRUE(other.waitForFinished(60000));
        EXPECT_EQ(other.exitCode(), 0) << box.text.toStdString() << ": "
                                       << other.readAllStandardError().toStdString();
        ++writes;
    });
}

void JobsTest::stopWritingWhileBoxesShow()
{
    platform::WatchMessageBoxes(nullptr);
}

void JobsTest::runQueued()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}
