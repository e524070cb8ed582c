#include "DiskSyncCount.h"

#include <sqlite3.h>

#include <cstring>

std::atomic<int> DiskSyncCount::s_syncs{0};

namespace {

sqlite3_vfs g_counting;
sqlite3_vfs *g_base = nullptr;

// A file of the counting layer: the base file's own object follows the
// layer's methods pointer.
struct CountingFile
{
    sqlite3_file head;
    sqlite3_file *base() { return reinterpret_cast<sqlite3_file *>(this + 1); }
};

sqlite3_io_methods g_methods;

CountingFile *counting(sqlite3_file *f)
{
    return reinterpret_cast<CountingFile *>(f);
}

int fileSync(sqlite3_file *f, int flags)
{
    ++DiskSyncCount::s_syncs;
    sqlite3_file *b = counting(f)->base();
    return b->pMethods->xSync(b, flags);
}

#define FORWARD(name, ...)                                                                                             \
    [](sqlite3_file *f, auto... args) {                                                                                \
        sqlite3_file *b = counting(f)->base();                                                                         \
        return b->pMethods->name(b, args...);                                                                          \
    }

int vfsOpen(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *f, int flags, int *outFlags)
{
    CountingFile *file = counting(f);
    file->head.pMethods = nullptr;
    const int rc = g_base->xOpen(g_base, name, file->base(), flags, outFlags);
    if (rc == SQLITE_OK && file->base()->pMethods)
        file->head.pMethods = &g_methods;
    return rc;
}

void install()
{
    if (g_base)
        return;
    g_base = sqlite3_vfs_find(nullptr);
    g_counting = *g_base;
    g_counting.zName = "tavrel-counting";
    g_counting.szOsFile = int(sizeof(CountingFile)) + g_base->szOsFile;
    g_counting.xOpen = vfsOpen;

    g_methods.iVersion = 1;
    g_methods.xClose = [](sqlite3_file *f) {
        sqlite3_file *b = counting(f)->base();
        return b->pMethods->xClose(b);
    };
    g_methods.xRead = FORWARD(xRead);
    g_methods.xWrite = FORWARD(xWrite);
    g_methods.xTruncate = FORWARD(xTruncate);
    g_methods.xSync = fileSync;
    g_methods.xFileSize = FORWARD(xFileSize);
    g_methods.xLock = FORWARD(xLock);
    g_methods.xUnlock = FORWARD(xUnlock);
    g_methods.xCheckReservedLock = FORWARD(xCheckReservedLock);
    g_methods.xFileControl = FORWARD(xFileControl);
    g_methods.xSectorSize = FORWARD(xSectorSize);
    g_methods.xDeviceCharacteristics = FORWARD(xDeviceCharacteristics);
}

} // namespace

DiskSyncCount::DiskSyncCount()
{
    install();
    sqlite3_vfs_register(&g_counting, 1);
    s_syncs = 0;
}

DiskSyncCount::~DiskSyncCount()
{
    sqlite3_vfs_unregister(&g_counting);
    sqlite3_vfs_register(g_base, 1);
}

int DiskSyncCount::take()
{
    return s_syncs.exchange(0);
}
