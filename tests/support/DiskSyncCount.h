#pragma once

#include <atomic>

// Counts the waits for the disk (file syncs) of every database connection
// opened while it lives: it puts a counting layer over SQLite's default file
// system. Connections opened before it keep their own; open them again.
class DiskSyncCount
{
public:
    DiskSyncCount();
    ~DiskSyncCount();
    DiskSyncCount(const DiskSyncCount &) = delete;
    DiskSyncCount &operator=(const DiskSyncCount &) = delete;

    // Syncs since it was made or last taken.
    int take();

    static std::atomic<int> s_syncs;
};
