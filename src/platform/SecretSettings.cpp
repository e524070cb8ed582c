#include "platform/SecretSettings.h"

#include "platform/Settings.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QMap>
#include <QtCore/QUrl>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

#ifdef Q_OS_WIN
QString SecretSettings::read(const QString &section, const QString &key)
{
    return Settings::readString(section, key);
}

void SecretSettings::write(const QString &section, const QString &key, const QString &value)
{
    Settings::writeString(section, key, value);
}

QString SecretSettings::fileName()
{
    return QString();
}
#else
namespace {

// "section/key" -> value; each line "section/key=value", both percent-encoded.
QMap<QString, QString> readSecrets(const QString &file)
{
    QMap<QString, QString> values;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return values;
    for (const QByteArray &line : f.readAll().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            values.insert(QUrl::fromPercentEncoding(line.left(eq)), QUrl::fromPercentEncoding(line.mid(eq + 1)));
    }
    return values;
}

bool writeSecrets(const QString &file, const QMap<QString, QString> &values)
{
    QByteArray bytes;
    for (auto it = values.begin(); it != values.end(); ++it)
        bytes += it.key().toUtf8().toPercentEncoding("/") + '=' + it.value().toUtf8().toPercentEncoding() + '\n';
    QDir().mkpath(QFileInfo(file).absolutePath());
    const QByteArray target = QFile::encodeName(file);
    const QByteArray temporary = target + ".new";
    ::unlink(temporary.constData());
    // Created for the user alone; the mode is set again in case the file
    // system gives more.
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0;
    for (qsizetype done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        ok = n > 0;
        done += ok ? n : 0;
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok)
        ok = ::rename(temporary.constData(), target.constData()) == 0;
    if (!ok)
        ::unlink(temporary.constData());
    return ok;
}

} // namespace

QString SecretSettings::fileName()
{
    const QFileInfo settings(Settings::fileName());
    return settings.absoluteDir().filePath(settings.completeBaseName() + QStringLiteral(".secrets"));
}

QString SecretSettings::read(const QString &section, const QString &key)
{
    return readSecrets(fileName()).value(section + QLatin1Char('/') + key);
}

void SecretSettings::write(const QString &section, const QString &key, const QString &value)
{
    QMap<QString, QString> values = readSecrets(fileName());
    if (value.isEmpty())
        values.remove(section + QLatin1Char('/') + key);
    else
        values.insert(section + QLatin1Char('/') + key, value);
    writeSecrets(fileName(), values);
}
#endif

} // namespace platform
