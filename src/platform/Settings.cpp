#include "platform/Settings.h"

#include "platform/PlacedFile.h"
#include "platform/Prompt.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QMap>
#include <QtCore/QSaveFile>
#include <QtCore/QSettings>
#include <QtCore/QStandardPaths>
#include <QtCore/QTemporaryDir>
#include <QtCore/QThread>

#include <memory>
#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {
namespace {

// A settings file of a workstation holds some kilobytes; one far larger is
// no settings file.
constexpr qint64 kMaxSettingsBytes = 4 * 1024 * 1024;

#ifdef Q_OS_UNIX
// Writes the settings file in one rename of a finished file of its own, never
// through what is at its name: a link there is followed only to this user's
// own ordinary file (a settings file kept elsewhere and linked); any other
// link, or a pipe or device put at the name, is replaced by the new file and
// what it named is left as it was.
bool writeSettingsFile(const QString &path, const QByteArray &bytes)
{
    QByteArray target = QFile::encodeName(path);
    mode_t mode = 0600;
    struct stat at {};
    if (::lstat(target.constData(), &at) == 0) {
        if (S_ISLNK(at.st_mode)) {
            if (char *resolved = ::realpath(target.constData(), nullptr)) {
                struct stat named {};
                if (::lstat(resolved, &named) == 0 && S_ISREG(named.st_mode) && named.st_uid == ::geteuid()) {
                    target = resolved;
                    mode = named.st_mode & 0777;
                }
                std::free(resolved);
            }
        } else if (S_ISREG(at.st_mode) && at.st_uid == ::geteuid()) {
            mode = at.st_mode & 0777;
        }
    } else {
        QDir().mkpath(QFileInfo(path).absolutePath());
    }
    QByteArray work = target + ".XXXXXX";
    const int fd = ::mkostemp(work.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, mode) == 0;
    for (qsizetype done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += n > 0 ? n : 0;
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    // rename replaces the name itself, never a file a link there names.
    if (!ok || ::rename(work.constData(), target.constData()) != 0) {
        ::unlink(work.constData());
        return false;
    }
    return true;
}
#else
bool writeSettingsFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}
#endif

// The values are kept by QSettings in a working copy of the settings file in
// a folder of this process's own: the settings file itself is read only
// through the checks of a file others may have put in place (never a pipe, a
// device or a file of any size), and written only as above.
class Store
{
public:
    explicit Store(const QString &folder)
    {
#ifdef Q_OS_WIN
        if (folder.isEmpty()) {
            m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                     QStringLiteral("Halvane"), QStringLiteral("Tavrel"));
            return;
        }
#endif
        m_path = folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                + QStringLiteral("/Halvane/Tavrel.ini")
                                  : QDir(folder).filePath(QStringLiteral("Tavrel.ini"));
        m_work = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tavrel-settings-XXXXXX"));
        m_copy = m_work->filePath(QStringLiteral("Tavrel.ini"));
        bool checked = false;
        QString why;
        if (!PlacedFile::Read(m_path, kMaxSettingsBytes, m_published, why, false, &checked) && checked)
            m_refusal = QStringLiteral("Cannot use %1: %2.\n\nThe settings of this workstation start from their "
                                       "defaults.")
                            .arg(QDir::toNativeSeparators(m_path), why);
        writeCopy(m_published);
        m_settings = std::make_unique<QSettings>(m_copy, QSettings::IniFormat);
    }
    ~Store() { publish(); }

    QSettings &settings() { return *m_settings; }
    QString fileName() const { return m_path.isEmpty() ? m_settings->fileName() : m_path; }
    // Said once, after the store is in use.
    QString takeRefusal() { return std::exchange(m_refusal, QString()); }

    // A value set (or removed, when not valid) here.
    void changed(const QString &key, const QVariant &value)
    {
        if (m_path.isEmpty())
            return;
        m_changes.insert(key, value);
        // Written once the current work is done, as QSettings does.
        QCoreApplication *app = QCoreApplication::instance();
        if (app && app->thread() == QThread::currentThread() && !m_scheduled) {
            m_scheduled = true;
            QMetaObject::invokeMethod(app, [] { Settings::sync(); }, Qt::QueuedConnection);
        }
    }

    // Takes in what another copy of the program saved since the file was
    // read, with the changes made here applied onto it, and saves the changes.
    void publish()
    {
        m_scheduled = false;
        if (m_path.isEmpty()) {
            m_settings->sync();
            return;
        }
        QByteArray now;
        QString why;
        if (PlacedFile::Read(m_path, kMaxSettingsBytes, now, why) && now != m_published) {
            m_settings->sync();
            writeCopy(now);
            m_published = now;
            m_settings->sync();
            for (auto it = m_changes.cbegin(); it != m_changes.cend(); ++it) {
                if (it.value().isValid())
                    m_settings->setValue(it.key(), it.value());
                else
                    m_settings->remove(it.key());
            }
        }
        m_settings->sync();
        if (m_changes.isEmpty())
            return;
        QFile copy(m_copy);
        if (!copy.open(QIODevice::ReadOnly))
            return;
        const QByteArray bytes = copy.readAll();
        copy.close();
        m_changes.clear();
        if (bytes != m_published && writeSettingsFile(m_path, bytes))
            m_published = bytes;
    }

private:
    // The working copy, with a time QSettings has not seen it at, so that it
    // reads it again.
    void writeCopy(const QByteArray &bytes)
    {
        QFile file(m_copy);
        const QDateTime before = QFileInfo(m_copy).lastModified();
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        file.write(bytes);
        if (before.isValid())
            file.setFileTime(before.addSecs(1), QFileDevice::FileModificationTime);
    }

    QString m_path;
    QString m_copy;
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<QSettings> m_settings;
    QByteArray m_published;
    QString m_refusal;
    QMap<QString, QVariant> m_changes;
    bool m_scheduled = false;
};

std::unique_ptr<Store> g_store;
QString g_folder;

Store &store()
{
    if (!g_store) {
        g_store = std::make_unique<Store>(g_folder);
        const QString refusal = g_store->takeRefusal();
        if (!refusal.isEmpty())
            Prompt::messageBox(refusal, QString(), MB_OK | MB_ICONEXCLAMATION);
    }
    return *g_store;
}

QString path(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}
} // namespace

QString Settings::readString(const QString &section, const QString &key, const QString &defaultValue)
{
    const QVariant v = store().settings().value(path(section, key));
    return v.isValid() ? v.toString() : defaultValue;
}

int Settings::readInt(const QString &section, const QString &key, int defaultValue)
{
    const QVariant v = store().settings().value(path(section, key));
    if (!v.isValid())
        return defaultValue;
    bool ok = false;
    const int i = v.toString().trimmed().toInt(&ok);
    return ok ? i : defaultValue;
}

void Settings::writeString(const QString &section, const QString &key, const QString &value)
{
    if (value.isEmpty())
        store().settings().remove(path(section, key));
    else
        store().settings().setValue(path(section, key), value);
    store().changed(path(section, key), value.isEmpty() ? QVariant() : QVariant(value));
}

void Settings::writeInt(const QString &section, const QString &key, int value)
{
    store().settings().setValue(path(section, key), value);
    store().changed(path(section, key), value);
}

bool Settings::contains(const QString &section, const QString &key)
{
    return store().settings().contains(path(section, key));
}

void Settings::remove(const QString &section, const QString &key)
{
    store().settings().remove(path(section, key));
    store().changed(path(section, key), QVariant());
}

void Settings::sync()
{
    if (g_store)
        g_store->publish();
}

void Settings::useFolder(const QString &folder)
{
    g_store.reset(); // saves what it holds
    g_folder = folder;
}

void Settings::useDefault()
{
    useFolder(QString());
}

QString Settings::fileName()
{
    return store().fileName();
}

} // namespace platform
