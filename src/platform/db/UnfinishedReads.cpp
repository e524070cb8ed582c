#include "platform/db/UnfinishedReads.h"

#include <mutex>
#include <utility>
#include <vector>

namespace platform {

namespace {

struct Entry
{
    sqlite3 *db = nullptr;
    const void *reader = nullptr;
    std::function<void()> finish;
};

// Few reads are ever unfinished at once (one per list being filled).
std::mutex g_mutex;
std::vector<Entry> g_reads;

} // namespace

void UnfinishedReads::add(sqlite3 *db, const void *reader, std::function<void()> finish)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    for (Entry &e : g_reads) {
        if (e.reader == reader) {
            e = Entry{db, reader, std::move(finish)};
            return;
        }
    }
    g_reads.push_back(Entry{db, reader, std::move(finish)});
}

void UnfinishedReads::remove(const void *reader)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    std::erase_if(g_reads, [reader](const Entry &e) { return e.reader == reader; });
}

void UnfinishedReads::finishAll(sqlite3 *db)
{
    if (!db)
        return;
    // One at a time, the list unlocked: a read's finish removes it.
    for (;;) {
        const void *reader = nullptr;
        std::function<void()> finish;
        {
            std::lock_guard<std::mutex> lock(g_mutex);
            for (const Entry &e : g_reads) {
                if (e.db == db) {
                    reader = e.reader;
                    finish = e.finish;
                    break;
                }
            }
        }
        if (!reader)
            return;
        finish();
        remove(reader); // even when its finish did not
    }
}

} // namespace platform
