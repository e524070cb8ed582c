#pragma once

#include <QtCore/QString>
#include <QtCore/QVariant>

namespace platform {

// Per-workstation values, one group per section ("Settings", "View Settings",
// "WindowPos" ...). On Windows the registry key of organisation "Halvane",
// application "Tavrel"; elsewhere an INI file in the user's config folder.
// Writing the empty text deletes a value.
class Settings
{
public:
    static QString readString(const QString &section, const QString &key, const QString &defaultValue = QString());
    static int readInt(const QString &section, const QString &key, int defaultValue = 0);
    static void writeString(const QString &section, const QString &key, const QString &value);
    static void writeInt(const QString &section, const QString &key, int value);
    static bool contains(const QString &section, const QString &key);
    static void remove(const QString &section, const QString &key);
    static void sync();

    // Points the store at an INI file in the given folder (tests, and the
    // command-line tools that must not touch a user's settings).
    static void useFolder(const QString &folder);
    static void useDefault();
    // The INI file in use (empty on Windows' registry).
    static QString fileName();
};

} // namespace platform
