#include "app/base/SharedDatabaseHolder.h"
#include "app/base/SystemInfo.h"
#include "app/base/Workstations.h"
#include "platform/db/Database.h"
#include "platform/db/LockFile.h"
#include "support/TestEnvironment.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>

#include <sqlite3.h>

#include <memory>
#include <vector>

namespace {

class WorkstationsTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        path = tempPath(QStringLiteral("TavrelData.mdb"));
        platform::Database::create(path);
    }
    void TearDown() override
    {
        others.clear();
        if (holder.database().isOpen())
            holder.database().close();
        platform::LockFile::setIdentity(QString(), QString());
        TavrelTest::TearDown();
    }
    // Another workstation connecting under the given names.
    void connectAs(const QString &computer, const QString &user)
    {
        platform::LockFile::setIdentity(computer, user);
        others.push_back(std::make_unique<platform::Database>());
        others.back()->open(path);
    }

    SharedDatabaseHolder holder;
    QString path;
    std::vector<std::unique_ptr<platform::Database>> others;
};

} // namespace

TEST_F(WorkstationsTest, EntriesAreComparedWhole)
{
    QString distinct = QStringLiteral("stale");
    QString all = QStringLiteral("stale");
    EXPECT_EQ(CountWorkstations(distinct, all), 0);
    EXPECT_TRUE(distinct.isEmpty() && all.isEmpty());
    EXPECT_TRUE(WorkstationsText().startsWith(QStringLiteral("Workstations connected to TavrelData.mdb: 0\n\n\n")));

    platform::LockFile::setIdentity(QStringLiteral("front"), QStringLiteral("bob"));
    holder.database().open(path);
    connectAs(QStringLiteral("FRONT"), QStringLiteral("Bob"));
    connectAs(QStringLiteral("RONT"), QStringLiteral("BOB"));
    connectAs(QStringLiteral("front"), QStringLiteral("ann"));
    EXPECT_EQ(CountWorkstations(distinct, all), 3);
    EXPECT_EQ(distinct, QStringLiteral("FRONT (BOB)\r\nRONT (BOB)\r\nFRONT (ANN)\r\n"));
    EXPECT_EQ(all, QStringLiteral("FRONT (BOB)\r\nFRONT (BOB)\r\nRONT (BOB)\r\nFRONT (ANN)\r\n"));

    // A workstation that leaves is no longer listed.
    others.pop_back();
    EXPECT_EQ(CountWorkstations(distinct, all), 2);

    EXPECT_TRUE(WorkstationsText().startsWith(
        QStringLiteral("Workstations connected to TavrelData.mdb: 2\nFRONT (BOB)\r\nRONT (BOB)\r\n\n\nThe lock file "
                       "(TavrelData.ldb) include following users:\nFRONT (BOB)\r\nFRONT (BOB)\r\nRONT (BOB)\r\n\n\n"
                       "About the Lock File: ")));
    EXPECT_TRUE(WorkstationsText().endsWith(QStringLiteral("when the database is marked as corrupted.")));
}

TEST_F(WorkstationsTest, DatabaseAndSystemTexts)
{
    QString info = QStringLiteral("stale");
    GetDatabaseFileInfo(info);
    EXPECT_EQ(info, QString());

    holder.database().open(path);
    holder.database().executeNative(QStringLiteral("CREATE TABLE Pad (b BLOB)"));
    holder.database().executeNative(QStringLiteral("INSERT INTO Pad VALUES (zeroblob(1200000))"));
    GetDatabaseFileInfo(info);
    const QStringList lines = info.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4) << qPrintable(info);
    EXPECT_EQ(lines[0], QStringLiteral("Location: ") + holder.database().name());
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("^Size: (\\d{1,3}(,\\d{3})*) bytes \\((.+)\\)$")).match(lines[2]);
    ASSERT_TRUE(size.hasMatch()) << qPrintable(lines[2]);
    const qint64 bytes = QFileInfo(path).size();
    EXPECT_EQ(size.captured(1).remove(QLatin1Char(',')).toLongLong(), bytes);
    EXPECT_EQ(size.captured(3), FormatFileSize(quint64(bytes)));
    // Sizes for people: KB below a megabyte, MB with one decimal above.
    const struct { quint64 bytes; const char *text; } sizes[] = {
        {0, "0 KB"}, {1, "1 KB"}, {1024, "1 KB"}, {1025, "2 KB"}, {1048575, "1024 KB"},
        {1048576, "1.0 MB"}, {1236992, "1.2 MB"}, {52428800, "50.0 MB"}, {2147483648ULL, "2.00 GB"}};
    for (const auto &c : sizes)
        EXPECT_EQ(FormatFileSize(c.bytes), QString::fromLatin1(c.text)) << c.bytes;
    EXPECT_EQ(lines[3], QStringLiteral("Engine: SQLite ") + QString::fromLatin1(sqlite3_libversion())
                            + QStringLiteral(". File format: SQLite 3"));

    QFile other(tempPath(QStringLiteral("other.mdb")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write(QByteArray(3145728, '\0'));
    other.close();
    EXPECT_EQ(DatabaseFileFormatText(other.fileName()), QString());
    EXPECT_EQ(DatabaseFileFormatText(tempPath(QStringLiteral("none.mdb"))), QStringLiteral(". File format: ?"));
}
