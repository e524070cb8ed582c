// Start-up of the real program, from starting it to its first view shown, on
// the 100,000-job sample shop beside a new, empty shop. The program runs on
// the offscreen platform with settings and a temporary folder of its own, and
// ends by itself once the first view is shown (TAVREL_QUIT_AT_FIRST_VIEW); a
// question it would ask fails the run instead of waiting.
#include "BenchSupport.h"
#include "app/base/CompanyInfo.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <benchmark/benchmark.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QProcessEnvironment>
#include <QtCore/QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>

namespace {

QString toolPath(const QString &name)
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../") + name;
}

// A working folder holding the shop as the program's TavrelData.mdb.
class ShopFolder
{
public:
    explicit ShopFolder(const QString &source)
    {
        m_ok = m_dir.isValid() && QDir().mkpath(m_dir.filePath(QStringLiteral("tmp")));
        // A screen of the size the program asks for (the offscreen default is
        // smaller, and the program would say so first).
        QFile screen(m_dir.filePath(QStringLiteral("screen.json")));
        m_ok = m_ok && screen.open(QIODevice::WriteOnly)
               && screen.write(R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1280, "height": 1024,)"
                               R"( "logicalDpiX": 96, "logicalDpiY": 96}]})") > 0;
        screen.close();
        const QString data = m_dir.filePath(QStringLiteral("TavrelData.mdb"));
        if (m_ok && source.isEmpty()) {
            QProcess tool;
            tool.start(toolPath(QStringLiteral("tavrel-dbtool")), {QStringLiteral("create"), data});
            m_ok = tool.waitForFinished(120000) && tool.exitCode() == 0;
        } else if (m_ok) {
            m_ok = QFile::copy(source, data);
        }
    }
    bool ok() const { return m_ok; }

    // Starts the program on the folder and waits for it to end by itself.
    bool runOnce() const
    {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"),
                   QStringLiteral("offscreen:configfile=") + m_dir.filePath(QStringLiteral("screen.json")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("tmp")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("TMPDIR"), m_dir.filePath(QStringLiteral("tmp")));
        env.insert(QStringLiteral("TAVREL_SCRIPTED_ANSWERS"), QString());
        env.insert(QStringLiteral("TAVREL_QUIT_AT_FIRST_VIEW"), QStringLiteral("1"));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(m_dir.path());
        program.start(toolPath(QStringLiteral("tavrel")), {});
        if (!program.waitForFinished(120000)) {
            program.kill();
            program.waitForFinished(5000);
            return false;
        }
        if (program.exitStatus() != QProcess::NormalExit || program.exitCode() != 0) {
            std::fprintf(stderr, "tavrel ended with %d: %s\n", program.exitCode(),
                         program.readAllStandardOutput().constData());
            return false;
        }
        return true;
    }

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
};

void runStartUp(benchmark::State &state, const QString &source)
{
    const ShopFolder folder(source);
    if (!folder.ok()) {
        state.SkipWithError("the shop could not be prepared");
        return;
    }
    // The first run fills the file cache; it is not counted.
    if (!folder.runOnce()) {
        state.SkipWithError("the program did not reach its first view");
        return;
    }
    for (auto _ : state) {
        if (!folder.runOnce()) {
            state.SkipWithError("the program did not reach its first view");
            return;
        }
    }
}

void BM_StartUpToFirstView(benchmark::State &state)
{
    runStartUp(state, BenchSampleShop());
}
BENCHMARK(BM_StartUpToFirstView)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_StartUpEmptyShop(benchmark::State &state)
{
    runStartUp(state, QString());
}
BENCHMARK(BM_StartUpEmptyShop)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The shop's own name and address read at start-up, through the engine, and
// the same question asked of SQLite as written (a right join) and as the
// left join the engine runs.
void BM_CompanyInfoQuery(benchmark::State &state)
{
    platform::Database db;
    db.open(BenchSampleShop());
    for (auto _ : state) {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot, CompanyInfo::SelectStatement());
        benchmark::DoNotOptimize(rs.value(0));
    }
}
BENCHMARK(BM_CompanyInfoQuery)->Unit(benchmark::kMicrosecond);

const QString kCompanyColumns = QStringLiteral(
    "SELECT Customers.Name, Customers.Address, Customers.City, Customers.State, Customers.Zip, Contacts.Phone, "
    "Contacts.Fax FROM ");

void BM_CompanyInfoRawRightJoin(benchmark::State &state)
{
    platform::Database db;
    db.open(BenchSampleShop());
    const QString sql = kCompanyColumns + QStringLiteral(
        "Contacts RIGHT JOIN Customers ON Contacts.ContactNo = Customers.BuyerNo WHERE Customers.CusNo = 1");
    for (auto _ : state)
        benchmark::DoNotOptimize(ScanDirect(db.handle(), sql));
}
BENCHMARK(BM_CompanyInfoRawRightJoin)->Unit(benchmark::kMicrosecond);

void BM_CompanyInfoRawLeftJoin(benchmark::State &state)
{
    platform::Database db;
    db.open(BenchSampleShop());
    const QString sql = kCompanyColumns + QStringLiteral(
        "Customers LEFT JOIN Contacts ON Contacts.ContactNo = Customers.BuyerNo WHERE Customers.CusNo = 1");
    for (auto _ : state)
        benchmark::DoNotOptimize(ScanDirect(db.handle(), sql));
}
BENCHMARK(BM_CompanyInfoRawLeftJoin)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv, false);
}
