// A click on a list's column heading sorts its rows on the window's thread,
// behind the progress window: how long that takes, and how long the window
// is held between two of its answers (the longest hold) and before it first
// answers. Lists of 100,000 rows: texts of 2,048 letters that differ early,
// texts alike in their first 1,990 letters, and an ordinary list of short
// names and numbers.
//
// The progress window is stood in for by one that notes when it answers (a
// step or a look: where the real one handles the window's events). Counters:
// first_ms, the time to the window's first answer (it shows after 300 ms);
// hold_ms, the longest time between two answers after that.

#include "BenchSupport.h"
#include "controls/CXListCtrl.h"
#include "controls/CXProgress.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/TableDef.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int kRows = 100000;

// The times the stand-in window answered, from the start of a sort.
struct Answers
{
    QElapsedTimer clock;
    qint64 first = -1;
    qint64 last = 0;
    qint64 longest = 0;
    void answered()
    {
        const qint64 now = clock.elapsed();
        if (first < 0)
            first = now;
        else
            longest = std::max(longest, now - last);
        last = now;
    }
};
Answers g_answers;

class NotingProgress final : public CXProgress
{
public:
    void Start(int, const QString &, bool, bool, const QString &) override { g_answers.answered(); }
    bool Step(const QString &) override
    {
        g_answers.answered();
        return true;
    }
    void SetMessage(const QString &, bool) override {}
    bool IsRunning() const override { return true; }
    bool Look() override
    {
        g_answers.answered();
        return true;
    }
};

// A shop file with one table of 100,000 notes: Long (2,048 letters that
// differ from the first), Alike (2,048 letters, the first 1,990 the same in
// every row), Name (a short name) and NoteID.
struct NotesFile
{
    QTemporaryDir dir;
    QString path;

    NotesFile()
    {
        path = dir.filePath(QStringLiteral("TavrelData.mdb"));
        platform::Database::create(path);
        platform::Database db;
        db.open(path);
        platform::TableDef def;
        def.name = QStringLiteral("Notes");
        def.fields = {{QStringLiteral("Long"), platform::FieldType::Memo, 0},
                      {QStringLiteral("Alike"), platform::FieldType::Memo, 0},
                      {QStringLiteral("Name"), platform::FieldType::Text, 40},
                      {QStringLiteral("Amount"), platform::FieldType::Long, 4},
                      {QStringLiteral("NoteID"), platform::FieldType::Long, 4}};
        db.createTable(def);
        // A row's own letters: its number scrambled, written out in letters.
        const QString own = QStringLiteral(
            "char(65 + ((i * 7919) % 26)) || char(65 + ((i * 104729) % 23)) || char(97 + ((i * 31) % 26)) || "
            "substr('00000000' || ((i * 2654435761) % 100000000), -8)");
        db.executeNative(QStringLiteral(
            "INSERT INTO Notes (Long, Alike, Name, Amount, NoteID) "
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            "SELECT substr(%2 || replace(hex(zeroblob(1024)), '00', 'ab'), 1, 2048), "
            "substr(replace(hex(zeroblob(995)), '00', 'xy') || %2 || replace(hex(zeroblob(40)), '00', 'zz'), 1, 2048), "
            "'Customer ' || ((i * 7919) % 5000), (i * 104729) % 100000, i FROM n")
                             .arg(kRows)
                             .arg(own));
        db.close();
    }
};

NotesFile &notes()
{
    static NotesFile file;
    static bool opened = false;
    if (!opened) {
        SharedDatabase().open(file.path);
        opened = true;
    }
    return file;
}

// Sorts the list on its first column, once each way, noting the answers.
void sortColumn(benchmark::State &state, const QString &column)
{
    notes();
    CXProgress::SetFactory([] { return std::make_unique<NotingProgress>(); });
    CXListCtrl list;
    list.resize(800, 600);
    list.FillFromSql(QStringLiteral("SELECT %1, NoteID FROM Notes").arg(column), QStringLiteral("NoteID"));
    list.FetchAll();
    qint64 first = 0;
    qint64 hold = 0;
    for (auto _ : state) {
        g_answers = Answers();
        g_answers.clock.start();
        list.OnColumnClick(0);
        if (g_answers.first >= 0)
            hold = std::max(hold, std::max(g_answers.longest, g_answers.clock.elapsed() - g_answers.last));
        first = std::max(first, g_answers.first < 0 ? g_answers.clock.elapsed() : g_answers.first);
    }
    CXProgress::SetFactory(nullptr);
    state.counters["rows"] = list.GetItemCount();
    state.counters["first_ms"] = double(first);
    state.counters["hold_ms"] = double(hold);
}

void BM_SortLongTexts(benchmark::State &state)
{
    sortColumn(state, QStringLiteral("Long"));
}
BENCHMARK(BM_SortLongTexts)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_SortTextsAlikeIn1990Letters(benchmark::State &state)
{
    sortColumn(state, QStringLiteral("Alike"));
}
BENCHMARK(BM_SortTextsAlikeIn1990Letters)->Unit(benchmark::kMillisecond)->Iterations(2);

// An ordinary list: short names, and numbers.
void BM_SortNames(benchmark::State &state)
{
    sortColumn(state, QStringLiteral("Name"));
}
BENCHMARK(BM_SortNames)->Unit(benchmark::kMillisecond)->Iterations(6);

void BM_SortNumbers(benchmark::State &state)
{
    sortColumn(state, QStringLiteral("Amount"));
}
BENCHMARK(BM_SortNumbers)->Unit(benchmark::kMillisecond)->Iterations(6);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv, true);
}
