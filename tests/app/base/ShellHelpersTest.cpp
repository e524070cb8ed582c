#include "app/base/ErrorBoxes.h"
#include "app/base/FileChoice.h"
#include "app/base/FileException.h"
#include "app/base/Paths.h"
#include "app/base/ProgramPaths.h"
#include "app/base/Registry.h"
#include "app/base/ScheduleChecks.h"
#include "app/base/ShellFiles.h"
#include "platform/Clock.h"
#include "platform/Settings.h"
#include "platform/UserFile.h"
#include "support/TestEnvironment.h"

#include <QtCore/QDir>
#include <QtCore/QFile>

using platform::IDNO;
using platform::IDOK;
using platform::IDYES;

namespace {
class ShellHelpersTest : public TavrelTest
{
protected:
    const QChar sep = FolderSeparator();
};
} // namespace

TEST_F(ShellHelpersTest, ErrorBoxesShowTheSystemTextAndTheCaller)
{
    prompts().answer(IDNO);
    EXPECT_EQ(ShowError(2, QStringLiteral("/shop/TavrelData.mdb"), platform::MB_YESNO), IDNO);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Error 2 occurred:\n\nNo such file or directory\n/shop/TavrelData.mdb"));
    EXPECT_EQ(prompts().shown().last().flags, unsigned(platform::MB_YESNO));

    prompts().answer(IDOK);
    const FileException e(13, QStringLiteral("x"), QString(300, QLatin1Char('m')));
    EXPECT_EQ(ReportException(e, QStringLiteral("writing the export")), 0);
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("Error 13 occurred while writing the export:\n") + QString(255, QLatin1Char('m')));
}

TEST_F(ShellHelpersTest, PathPartsAndTheStoredDatabaseFolder)
{
    EXPECT_EQ(GetFolderPart(QStringLiteral("a.txt")), QString());
    EXPECT_EQ(GetFileNamePart(QStringLiteral("/Shop Data/Old\\TavrelData.MDB")), QStringLiteral("TavrelData.MDB"));
    EXPECT_EQ(GetFolderPart(QStringLiteral("/Shop Data/TavrelData.mdb")), QStringLiteral("/Shop Data/"));
    EXPECT_TRUE(GetProgramFolder().endsWith(sep));

    auto store = [](const QString &v) {
        platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("TavrelPath"), v);
    };
    EXPECT_EQ(GetInstallPathFromRegistry(), QString());
    store(QStringLiteral("/srv/Shop/"));
    EXPECT_EQ(GetInstallPathFromRegistry(), QStringLiteral("/srv/Shop/"));
    store(QStringLiteral("/srv/Shop/TavrelData.mdb"));
    EXPECT_EQ(GetInstallPathFromRegistry(), QStringLiteral("/srv/Shop/"));
    // A long path is read whole, not dropped.
    const QString deep = QStringLiteral("/srv/") + QString(200, QLatin1Char('d')) + QStringLiteral("/TavrelData.mdb");
    store(deep);
    EXPECT_EQ(GetInstallPathFromRegistry(), GetFolderPart(deep));
    EXPECT_EQ(RegReadString(QStringLiteral("Software\\Halvane\\Tavrel\\Settings"), QStringLiteral("TavrelPath")), deep);
    EXPECT_EQ(RegReadString(QStringLiteral("Software\\Other\\Settings"), QStringLiteral("TavrelPath")), QString());
}

TEST_F(ShellHelpersTest, FileChecksDeleteAndShellFailures)
{
    const QString folder = tempPath(QStringLiteral("files")) + sep;
    QDir().mkpath(folder + QStringLiteral("full"));
    QFile(folder + QStringLiteral("full/inside.txt")).open(QIODevice::WriteOnly);
    QFile(folder + QStringLiteral("old.csv")).open(QIODevice::WriteOnly);

    EXPECT_TRUE(FileExists(folder, QStringLiteral("old.csv")));
    EXPECT_FALSE(FileExists(folder, QStringLiteral("full")));
    EXPECT_TRUE(DeleteFileIfExists(folder + QStringLiteral("old.csv")));
    EXPECT_FALSE(FileExists(folder, QStringLiteral("old.csv")));
    EXPECT_TRUE(DeleteFileIfExists(folder + QStringLiteral("old.csv")));
    EXPECT_TRUE(prompts().shown().isEmpty());

    prompts().answer(IDOK);
    EXPECT_FALSE(DeleteFileIfExists(folder + QStringLiteral("full")));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Error 39 occurred while  deleting file:\nDirectory not empty"));

    prompts().answer(IDOK);
    EXPECT_EQ(ShellExecuteFile(QStringLiteral("open"), QStringLiteral("gone.pdf"), QStringLiteral("-p"), folder), 2);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Error 2 occurred:\n\nNo such file or directory\ngone.pdf\n-p\n") + folder);
}

TEST_F(ShellHelpersTest, ExportFileProposesACleanNameAndRemembersTheFolder)
{
    const QString folder = tempPath(QStringLiteral("Exports")) + sep;
    QDir().mkpath(folder);
    QString name = QStringLiteral("Sales 12/06/2026.txt");
    int type = 0;
    prompts().answerFile(folder + QStringLiteral("Sales"));
    ASSERT_TRUE(ChooseExportFile(name, type, nullptr, QStringLiteral("Export Sales")));
    EXPECT_EQ(prompts().shown()[0].text, QStringLiteral("Sales 12062026txt.csv"));
    EXPECT_EQ(prompts().shown()[0].caption, QStringLiteral("Export Sales"));
    EXPECT_EQ(prompts().shown()[0].selectedFilter, QStringLiteral("Comma Delimited (.csv) (*.csv)"));
    EXPECT_EQ(name, folder + QStringLiteral("Sales.csv"));
    EXPECT_EQ(type, ExportCommaDelimited);

    // The next export starts in that folder. The dialog opens on the type
    // asked for, with that type's extension on the name; the type the user
    // leaves selected decides the file made, and the extension follows it.
    struct Case { int typeIn; QString proposed; QString opensOn; QString answer; QString typeChosen; QString name; int typeOut; };
    const Case cases[] = {
        {5, QStringLiteral("x.csv"), QStringLiteral("Comma"), QStringLiteral("b.txt"), QString(), QStringLiteral("b.csv"), ExportCommaDelimited},
        {5, QStringLiteral("x.csv"), QStringLiteral("Comma"), QStringLiteral("b.csv"), QStringLiteral("Tab"), QStringLiteral("b.txt"), ExportTabDelimited},
        {ExportTabDelimited, QStringLiteral("x.txt"), QStringLiteral("Tab"), QStringLiteral("t"), QString(), QStringLiteral("t.txt"), ExportTabDelimited},
        {ExportIif, QStringLiteral("x.iif"), QStringLiteral("Quickbooks"), QStringLiteral("c"), QString(), QStringLiteral("c.iif"), ExportIif},
        {ExportIif, QStringLiteral("x.iif"), QStringLiteral("Quickbooks"), QStringLiteral("d.csv"), QString(), QStringLiteral("d.iif"), ExportIif},
        {ExportIif, QStringLiteral("x.iif"), QStringLiteral("Quickbooks"), QStringLiteral("x"), QStringLiteral("Peachtree"), QStringLiteral("x.csv"), ExportPeachtree},
        {ExportIif, QStringLiteral("x.iif"), QStringLiteral("Quickbooks"), QStringLiteral("x.csv"), QStringLiteral("Peachtree"), QStringLiteral("x.csv"), ExportPeachtree},
        {ExportIif, QStringLiteral("x.iif"), QStringLiteral("Quickbooks"), QStringLiteral("x.iif"), QStringLiteral("Comma"), QStringLiteral("x.csv"), ExportCommaDelimited},
        {ExportIif, QStringLiteral("x.iif"), QStringLiteral("Quickbooks"), QStringLiteral("Sales 12.5"), QStringLiteral("Tab"), QStringLiteral("Sales 12.5.txt"), ExportTabDelimited},
        {ExportPeachtree, QStringLiteral("x.csv"), QStringLiteral("Peachtree"), QStringLiteral("e"), QString(), QStringLiteral("e.csv"), ExportPeachtree},
        {ExportCommaDelimited, QStringLiteral("x.csv"), QStringLiteral("Comma"), QStringLiteral("f.IIF"), QString(), QStringLiteral("f.csv"), ExportCommaDelimited},
    };
    for (const Case &c : cases) {
        prompts().clear();
        QString n = QStringLiteral("x");
        int t = c.typeIn;
        prompts().answerFile(folder + c.answer, c.typeChosen);
        ASSERT_TRUE(ChooseExportFile(n, t, nullptr, QString()));
        EXPECT_EQ(prompts().shown()[0].text, folder + c.proposed) << qPrintable(c.answer);
        EXPECT_TRUE(prompts().shown()[0].selectedFilter.startsWith(c.opensOn)) << qPrintable(c.answer);
        EXPECT_EQ(n, folder + c.name) << qPrintable(c.answer);
        EXPECT_EQ(t, c.typeOut) << qPrintable(c.answer);
    }
    // The two text types only, unless an accounting type is asked for.
    EXPECT_EQ(prompts().shown()[0].filter, QStringLiteral("Tab Delimited (.txt) (*.txt);;Comma Delimited (.csv) (*.csv)"));

    // A target that cannot be opened is told and forgets nothing; Cancel
    // changes nothing.
    const QString otherFolder = tempPath(QStringLiteral("Other")) + sep;
    const QString unwritable = otherFolder + QStringLiteral("missing") + sep + QStringLiteral("g.csv");
    prompts().clear();
    prompts().answerFile(unwritable);
    prompts().answer(IDOK);
    platform::UserFile file;
    QString n = QStringLiteral("g");
    int t = ExportCommaDelimited;
    EXPECT_FALSE(ChooseExportFile(n, t, &file, QString()));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Cannot open: ") + unwritable + QStringLiteral("\n\nNo such file or directory"));
    EXPECT_EQ(prompts().shown().last().flags, unsigned(platform::MB_ICONHAND));
    EXPECT_EQ(platform::Settings::readString(QStringLiteral("Settings"), QStringLiteral("ExportPath")), folder);
    prompts().answerFile(QString());
    EXPECT_FALSE(ChooseExportFile(n, t, &file, QString()));
    EXPECT_EQ(n, QStringLiteral("g"));
}

TEST_F(ShellHelpersTest, SchedulingKeepsServiceDaysWithinTheJob)
{
    platform::Clock::setFixed(QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
    const DateTime dateIn(2026, 12, 10);
    const DateTime noDue = DateTime::invalid();
    DateTime service;

    EXPECT_EQ(CheckCanSchedule(kUnscheduleCommand, dateIn, noDue, service), 0);
    EXPECT_EQ(service, DateTime(2026, 12, 7));
    EXPECT_EQ(CheckCanSchedule(kScheduleTodayCommand + 5, dateIn, noDue, service), 3);
    EXPECT_EQ(service, DateTime(2026, 12, 12));
    EXPECT_TRUE(prompts().shown().isEmpty());

    // Twenty days before the date received: offered day 1.
    prompts().answer(IDYES);
    const int twentyBefore = kScheduleTodayCommand + 3 - 20;
    EXPECT_EQ(CheckCanSchedule(twentyBefore, dateIn, noDue, service), 1);
    EXPECT_EQ(service, dateIn);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Sorry, you may not assign a Service Date earlier than\nJob Date Received: ")
                                        + LocaleDateTimeText(dateIn, false)
                                        + QStringLiteral(".\n\nDo you want to set the Service Date to: ")
                                        + LocaleDateTimeText(dateIn, true) + QLatin1Char('?'));
    prompts().answer(IDNO);
    EXPECT_EQ(CheckCanSchedule(twentyBefore, dateIn, noDue, service), kScheduleRefused);

    // 300 days on: the last day; a job without a due date is not limited before.
    prompts().answer(IDYES);
    EXPECT_EQ(CheckCanSchedule(kScheduleTodayCommand + 303, dateIn, noDue, service), 254);
    EXPECT_EQ(service, dateIn.addDays(253));
    EXPECT_EQ(CheckCanSchedule(kScheduleTodayCommand + 200, dateIn, noDue, service), 198);
    // The schedule's last day itself is taken without a question (12/7 +
    // 256 days is 8/20/2027, day 254 from 12/10); the day after it is asked
    // and offered as the last day.
    prompts().clear();
    EXPECT_EQ(CheckCanSchedule(kScheduleTodayCommand + 256, dateIn, noDue, service), 254);
    EXPECT_EQ(service, DateTime(2027, 8, 20));
    EXPECT_TRUE(prompts().shown().isEmpty());
    prompts().answer(IDYES);
    EXPECT_EQ(CheckCanSchedule(kScheduleTodayCommand + 257, dateIn, noDue, service), 254);
    EXPECT_EQ(service, DateTime(2027, 8, 20));
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Sorry, you may not assign a Service Date 254 days later than")));

    prompts().answer(IDYES);
    EXPECT_EQ(CheckCanSchedule(kScheduleTodayCommand + 30, dateIn, DateTime(2026, 12, 20), service), 11);
    EXPECT_EQ(service, DateTime(2026, 12, 20));
    EXPECT_TRUE(prompts().lastText().contains(QStringLiteral("later than\nJob Due Date: ")));
    // A due date before the date received still gives a day of the schedule.
    prompts().answer(IDYES);
    EXPECT_EQ(CheckCanSchedule(kScheduleTodayCommand + 30, dateIn, DateTime(2026, 12, 1), service), 1);

    prompts().answer(IDOK);
    EXPECT_EQ(CheckCanSchedule(kScheduleTodayCommand, DateTime::invalid(), noDue, service), kScheduleRefused);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Sorry, you may not schedule if Order has no 'Date In'."));
}
