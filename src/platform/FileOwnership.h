#pragma once

#include <QtCore/QString>

namespace platform {

// Gives an open file the permission bits and the group of the file at
// modelPath (a link there counts as the file it names), through the file's
// descriptor: a file is never changed by its name, since the name may have
// been made to point somewhere else since the file was opened. Only the
// bits in allowed are given (never the set-id or sticky bits). Returns 0,
// or the errno of the step that failed; groupRefused, when given, tells that
// the group was the step (this user is no member of the model's group): the
// file then gets no rights through the group it keeps.
// Nothing is done, and 0 returned, when there is no model file. Elsewhere than
// on Unix a file takes its folder's permissions, and nothing is done.
int GiveModeAndGroup(int fd, const QString &modelPath, unsigned allowed = 0777, bool *groupRefused = nullptr);

} // namespace platform
