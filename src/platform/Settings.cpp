#include "platform/Settings.h"

#include <QtCore/QDir>
#include <QtCore/QSettings>

#include <memory>

namespace platform {
namespace {
std::unique_ptr<QSettings> g_store;
QString g_folder;

QSettings &store()
{
    if (!g_store) {
        if (!g_folder.isEmpty()) {
            g_store = std::make_unique<QSettings>(QDir(g_folder).filePath(QStringLiteral("Tavrel.ini")),
                                                  QSettings::IniFormat);
        } else {
#ifdef Q_OS_WIN
            g_store = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                  QStringLiteral("Halvane"), QStringLiteral("Tavrel"));
#else
            g_store = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                  QStringLiteral("Halvane"), QStringLiteral("Tavrel"));
#endif
        }
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
    const QVariant v = store().value(path(section, key));
    return v.isValid() ? v.toString() : defaultValue;
}

int Settings::readInt(const QString &section, const QString &key, int defaultValue)
{
    const QVariant v = store().value(path(section, key));
    if (!v.isValid())
        return defaultValue;
    bool ok = false;
    const int i = v.toString().trimmed().toInt(&ok);
    return ok ? i : defaultValue;
}

void Settings::writeString(const QString &section, const QString &key, const QString &value)
{
    if (value.isEmpty())
        store().remove(path(section, key));
    else
        store().setValue(path(section, key), value);
}

void Settings::writeInt(const QString &section, const QString &key, int value)
{
    store().setValue(path(section, key), value);
}

bool Settings::contains(const QString &section, const QString &key)
{
    return store().contains(path(section, key));
}

void Settings::remove(const QString &section, const QString &key)
{
    store().remove(path(section, key));
}

void Settings::sync()
{
    store().sync();
}

void Settings::useFolder(const QString &folder)
{
    if (g_store)
        g_store->sync();
    g_store.reset();
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
