// Files others may have placed: read only when they are ordinary files of
// bounded size, and never through another user's link to this user's file.

#include "platform/PlacedFile.h"
#include "support/TestEnvironment.h"

#include <QtCore/QFile>

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

using platform::PlacedFile;

namespace {

constexpr uid_t kNobody = 65534;

class PlacedFileTest : public TavrelTest
{
protected:
    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = tempPath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QString link(const QString &name, const QString &target, uid_t owner)
    {
        const QString path = tempPath(name);
        EXPECT_TRUE(QFile::link(target, path));
        EXPECT_EQ(::lchown(QFile::encodeName(path).constData(), owner, owner), 0);
        return path;
    }
};

} // namespace

TEST_F(PlacedFileTest, KindSizeAndOwnerAreCheckedBeforeAByteIsRead)
{
    const QString kind = QStringLiteral("it is not an ordinary file (it is a folder, a pipe, a device or a socket)");
    const QString fifo = tempPath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString ten = file(QStringLiteral("ten.txt"), "0123456789");
    struct Case
    {
        QString path;
        qint64 limit;
        bool ownOnly;
        QString refusal; // "" when read
        bool checked = true;
    };
    std::vector<Case> cases = {
        {ten, 10, false, QString()},
        {ten, 9, false, QStringLiteral("it is larger than 9 bytes, the most such a file may be")},
        {file(QStringLiteral("empty.txt"), QByteArray()), 0, false, QString()},
        {fifo, 10, false, kind},
        {QStringLiteral("/dev/zero"), 10, false, kind},
        {QStringLiteral("/dev/null"), 10, false, kind},
        {tempPath(QString()), 10, false, kind},
        {tempPath(QStringLiteral("missing.txt")), 10, false, QStringLiteral("No such file or directory"), false},
        // This user's own link to its own file.
        {link(QStringLiteral("own-link"), ten, ::geteuid()), 10, false, QString()},
    };
    if (::geteuid() == 0) {
        // Somebody else's link to this user's file; that somebody's link to
        // a file of their own; a file of somebody else's where only this
        // user's will do.
        const QString theirs = file(QStringLiteral("theirs.txt"), "abc");
        ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), kNobody, kNobody), 0);
        cases.push_back({link(QStringLiteral("foreign-link"), ten, kNobody), 10, false,
                         QStringLiteral("it is a link another user made to a file that is not theirs")});
        cases.push_back({link(QStringLiteral("their-link"), theirs, kNobody), 10, false, QString()});
        cases.push_back({theirs, 10, false, QString()});
        cases.push_back({theirs, 10, true, QStringLiteral("it belongs to another user")});
        cases.push_back({link(QStringLiteral("foreign-pipe"), fifo, kNobody), 10, false, kind});
    }
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        QByteArray bytes("left over");
        QString refusal;
        bool checked = !c.checked;
        const bool read = PlacedFile::Read(c.path, c.limit, bytes, refusal, c.ownOnly, &checked);
        EXPECT_EQ(read, c.refusal.isEmpty());
        EXPECT_EQ(refusal, c.refusal);
        if (!read) {
            EXPECT_EQ(checked, c.checked);
            EXPECT_TRUE(bytes.isEmpty());
        }
    }
    QByteArray bytes;
    QString refusal;
    ASSERT_TRUE(PlacedFile::Read(ten, 10, bytes, refusal));
    EXPECT_EQ(bytes, QByteArray("0123456789"));
    EXPECT_EQ(PlacedFile::TooLarge(32 * 1024 * 1024), QStringLiteral("it is larger than 32 MB, the most such a file may be"));
}
