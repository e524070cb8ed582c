#pragma once

#include <QtCore/QString>

namespace platform {

// Per-workstation values that no other user of the machine may read (a mail
// password), by section and key as Settings keeps the others. On Windows they
// live with those under the user's own registry key; elsewhere in a file of
// their own beside the settings file, which only the user may read and which
// is written at once, never with looser rights, not even for a moment.
// Writing the empty text deletes a value.
class SecretSettings
{
public:
    static QString read(const QString &section, const QString &key);
    static void write(const QString &section, const QString &key, const QString &value);
    // The file of those values (empty on Windows' registry).
    static QString fileName();
};

} // namespace platform
