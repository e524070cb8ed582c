#pragma once

namespace platform {

class Database;

// Puts the connection's own wait for other workstations' locks back after a
// caller waited for a lock its own way (a busy handler of its own on the
// connection's handle). The connection's wait goes on while the lock changes
// hands: its budget (Database::busyTimeout) counts from the last write that
// another workstation finished, so several saving at once never refuse one
// another.
void RestoreLockWait(Database &db);

} // namespace platform
