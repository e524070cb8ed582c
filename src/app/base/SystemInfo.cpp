#include "app/base/SystemInfo.h"

#include "app/base/MoneyText.h"
#include "app/base/SharedDatabaseHolder.h"
#include "platform/DateTime.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QSysInfo>

#include <sqlite3.h>
#include <sys/sysinfo.h>

namespace {

// Physical memory in bytes: total and available (free plus what the system
// can give back at once).
void memoryStatus(quint64 &total, quint64 &available)
{
    total = available = 0;
    struct sysinfo info {};
    if (sysinfo(&info) == 0) {
        total = quint64(info.totalram) * info.mem_unit;
        available = quint64(info.freeram) * info.mem_unit;
    }
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly))
        return;
    const QList<QByteArray> lines = meminfo.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("MemAvailable:")) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            if (parts.size() >= 2)
                available = parts[1].toULongLong() * 1024;
        }
    }
}

QString majorVersion()
{
    return QSysInfo::productVersion().section(QLatin1Char('.'), 0, 0);
}

} // namespace

void GetSystemInfoText(QString &out, int mode)
{
    if (mode == 1) {
        out = QSysInfo::prettyProductName();
        return;
    }
    if (mode == 2) {
        out = majorVersion();
        return;
    }
    quint64 total = 0;
    quint64 available = 0;
    memoryStatus(total, available);
    out = QStringLiteral("Operating System: %1 Version %2 (%3 %4)")
              .arg(QSysInfo::prettyProductName(), QSysInfo::productVersion(), QSysInfo::kernelType(),
                   QSysInfo::kernelVersion());
    out += QStringLiteral("\nMemory (RAM): %1 MB total, %2 MB available").arg(total >> 20).arg(available >> 20);
}

QString DatabaseFileFormatText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral(". File format: ?");
    static const QByteArray header("SQLite format 3\0", 16);
    const QByteArray start = file.read(header.size());
    if (start != header)
        return QString();
    return QStringLiteral(". File format: SQLite 3");
}

QString FormatFileSize(quint64 bytes)
{
    if (bytes < 1024 * 1024)
        return QString::number((bytes + 1023) / 1024) + QStringLiteral(" KB");
    if (bytes < quint64(1024) * 1024 * 1024)
        return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MB");
    return QString::number(double(bytes) / (1024.0 * 1024.0 * 1024.0), 'f', 2) + QStringLiteral(" GB");
}

void GetDatabaseFileInfo(QString &out)
{
    out.clear();
    platform::Database &db = SharedDatabaseHolder::current().database();
    if (!db.isOpen())
        return;
    const QString path = db.name();
    const QFileInfo info(path);
    const quint64 size = quint64(info.size());
    out = QStringLiteral("Location: ") + path;
    out += QStringLiteral("\nModified: ")
        + DateTime::fromDateTime(info.lastModified()).format(QStringLiteral("%B %d, %Y, %H:%M"));
    out += QStringLiteral("\nSize: ") + FormatInt64(size, true) + QStringLiteral(" bytes (") + FormatFileSize(size)
        + QLatin1Char(')');
    out += QStringLiteral("\nEngine: SQLite ") + QString::fromLatin1(sqlite3_libversion());
    out += DatabaseFileFormatText(path);
}
