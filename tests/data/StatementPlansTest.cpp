// SQLite's plan of every statement the program keeps (canned lists, reports,
// the program's own statements) on a sample shop: no full scan of a big table
// (Jobs, Items, Payments, Customers, Contacts) where the statement filters or
// joins on a field of that table that has an index. Such a scan is what makes
// a list or the start-up slow in a shop with years of work.

#include "SampleShopFile.h"

#include "app/base/CompanyInfo.h"
#include "data/CSQL.h"
#include "platform/db/Database.h"
#include "platform/db/DatabaseImpl.h"
#include "platform/db/DbException.h"
#include "support/TestEnvironment.h"

#include <QtCore/QFile>
#include <QtCore/QHash>
#include <QtCore/QRegularExpression>
#include <QtCore/QSet>

#include <sqlite3.h>

using namespace platform;

namespace {

const QStringList kBigTables = {QStringLiteral("Jobs"), QStringLiteral("Items"), QStringLiteral("Payments"),
                                QStringLiteral("Customers"), QStringLiteral("Contacts")};

// The fields that name one record of a big table or point at one: a filter
// or join on these reads a few rows, so scanning the table for it is waste.
// (Codes such as JobType or Status are indexed too, but a filter on them may
// rightly read the table in another index's order.)
const QStringList kKeyFields = {QStringLiteral("jobid"), QStringLiteral("jobno"), QStringLiteral("itemid"),
                                QStringLiteral("cusno"), QStringLiteral("contactno"), QStringLiteral("payno"),
                                QStringLiteral("postingno"), QStringLiteral("buyerno"), QStringLiteral("payerno")};

struct PlanRow
{
    int id = 0;
    int parent = 0;
    QString detail;
};

QList<PlanRow> planOf(sqlite3 *db, const QString &sql, QString &error)
{
    QList<PlanRow> rows;
    sqlite3_stmt *st = nullptr;
    const QByteArray utf8 = (QStringLiteral("EXPLAIN QUERY PLAN ") + sql).toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &st, nullptr) != SQLITE_OK) {
        error = QString::fromUtf8(sqlite3_errmsg(db));
        return rows;
    }
    while (sqlite3_step(st) == SQLITE_ROW)
        rows.append({sqlite3_column_int(st, 0), sqlite3_column_int(st, 1),
                     QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 3)))});
    sqlite3_finalize(st);
    return rows;
}

// The indexed fields of the big tables (an index's first field, or the
// integer key), by table, without case.
QHash<QString, QSet<QString>> indexedFields(sqlite3 *db)
{
    QHash<QString, QSet<QString>> out;
    for (const QString &table : kBigTables) {
        QSet<QString> &fields = out[table.toLower()];
        sqlite3_stmt *st = nullptr;
        const QByteArray list = QStringLiteral("SELECT name FROM pragma_index_list('%1')").arg(table).toUtf8();
        sqlite3_prepare_v2(db, list.constData(), -1, &st, nullptr);
        QStringList names;
        while (sqlite3_step(st) == SQLITE_ROW)
            names << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        for (const QString &name : names) {
            const QByteArray info =
                QStringLiteral("SELECT name FROM pragma_index_info('%1') WHERE seqno = 0").arg(name).toUtf8();
            sqlite3_prepare_v2(db, info.constData(), -1, &st, nullptr);
            if (sqlite3_step(st) == SQLITE_ROW)
                fields.insert(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))).toLower());
            sqlite3_finalize(st);
        }
        const QByteArray pk = QStringLiteral("SELECT name FROM pragma_table_info('%1') WHERE pk = 1 AND "
                                             "upper(type) = 'INTEGER'").arg(table).toUtf8();
        sqlite3_prepare_v2(db, pk.constData(), -1, &st, nullptr);
        if (sqlite3_step(st) == SQLITE_ROW)
            fields.insert(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))).toLower());
        sqlite3_finalize(st);
    }
    return out;
}

struct Source
{
    QString where;
    QString statement;
};

QList<Source> programStatements()
{
    // The start-up's read of the shop's own name and address.
    QList<Source> out = {{QStringLiteral("start-up company info"), CompanyInfo::SelectStatement()}};
    const auto read = [](const QString &path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << path.toStdString();
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    };
    const QString data = QStringLiteral(TAVREL_TEST_DATA);
    int n = 0;
    for (const QString &line : read(data + QStringLiteral("/program-statements.txt"))) {
        ++n;
        if (!line.trimmed().isEmpty())
            out.append({QStringLiteral("program-statements.txt:%1").arg(n), line});
    }
    QString key;
    for (const QString &line : read(data + QStringLiteral("/ListStatements.golden"))) {
        if (line.startsWith(QLatin1String("# ")))
            key = line.mid(2);
        else if (!line.trimmed().isEmpty())
            out.append({QStringLiteral("list ") + key, line});
    }
    for (const char *report : {"month", "year"}) {
        const QStringList lines =
            read(data + QStringLiteral("/../reports/golden/report_sql_%1.txt").arg(QLatin1String(report)));
        for (const QString &line : lines) {
            if (line.startsWith(QLatin1String("@@ ")))
                key = QStringLiteral("report %1 (%2)").arg(line.mid(3), QLatin1String(report));
            else if (!line.trimmed().isEmpty())
                out.append({key, line});
        }
    }
    return out;
}

// The tables the statement names by an alias ("Items AS Items2").
QHash<QString, QString> aliases(const QString &jet)
{
    QHash<QString, QString> out;
    static const QRegularExpression as(QStringLiteral("\\b(\\w+)\\s+AS\\s+(\\w+)\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    for (auto m = as.globalMatch(jet); m.hasNext();) {
        const auto match = m.next();
        if (kBigTables.contains(match.captured(1), Qt::CaseInsensitive))
            out.insert(match.captured(2).toLower(), match.captured(1).toLower());
    }
    return out;
}

// The fields of one table (by its name in the statement) that the statement
// compares for equality: "name.field =" and "= name.field", and, when the
// table is the statement's only one, a bare "field =". With constantsOnly,
// only comparisons with a number, text, date or parameter count (an outer
// loop is narrowed only by those).
QSet<QString> comparedFields(const QString &jet, const QString &name, bool only, bool constantsOnly)
{
    QSet<QString> out;
    const QString n = QRegularExpression::escape(name);
    const QString field = QStringLiteral("\\[?(\\w+)\\]?");
    const QString constant = QStringLiteral("\\s*(?:-?\\d|'|#|\\?)");
    QStringList forms = {QStringLiteral("\\b\\[?%1\\]?\\.%2\\s*=").arg(n, field)};
    if (only)
        forms << QStringLiteral("(?:WHERE|AND|\\()\\s*%1\\s*=").arg(field);
    if (constantsOnly) {
        for (QString &f : forms)
            f += constant;
    } else {
        forms << QStringLiteral("=\\s*\\(?\\[?%1\\]?\\.%2").arg(n, field);
    }
    for (const QString &form : forms) {
        const QRegularExpression re(form, QRegularExpression::CaseInsensitiveOption);
        for (auto m = re.globalMatch(jet); m.hasNext();)
            out.insert(m.next().captured(1).toLower());
    }
    return out;
}

// True when the plan row is an inner loop: a loop comes before it at its
// level, or it runs once per row of an outer query (a correlated subquery).
bool innerLoop(const QList<PlanRow> &plan, int i)
{
    for (int k = 0; k < i; ++k) {
        const PlanRow &r = plan[k];
        if (r.parent == plan[i].parent && (r.detail.startsWith(QLatin1String("SCAN ")) || r.detail.startsWith(QLatin1String("SEARCH ")))
            && !r.detail.startsWith(QLatin1String("SCAN CONSTANT ROW")))
            return true;
    }
    for (int parent = plan[i].parent; parent != 0;) {
        int next = 0;
        for (const PlanRow &r : plan) {
            if (r.id == parent) {
                if (r.detail.startsWith(QLatin1String("CORRELATED")))
                    return true;
                next = r.parent;
                break;
            }
        }
        parent = next;
    }
    return false;
}

class StatementPlans : public TavrelTest
{
};

} // namespace

TEST_F(StatementPlans, NoFullScanOfABigTableWhereAnIndexAnswers)
{
    const QString path = SampleShopFile();
    ASSERT_FALSE(path.isEmpty()) << "the sample shop could not be made";
    Database db;
    db.open(path);
    const QHash<QString, QSet<QString>> indexed = indexedFields(db.handle());
    // Every key the statements read by has its index on the sample shop.
    for (const char *key : {"jobs.jobid", "jobs.jobno", "jobs.cusno", "jobs.postingno", "items.itemid", "items.jobid",
                            "customers.cusno", "contacts.contactno", "payments.payno"}) {
        const QStringList parts = QString::fromLatin1(key).split(QLatin1Char('.'));
        EXPECT_TRUE(indexed.value(parts[0]).contains(parts[1])) << key;
    }

    static const QRegularExpression scan(QStringLiteral("^SCAN (\\w+)( USING|$)"));
    static const QRegularExpression automatic(QStringLiteral("^SEARCH (\\w+) USING AUTOMATIC .*\\((\\w+)="));
    static const QRegularExpression fromWords(QStringLiteral("\\b(?:FROM|JOIN)\\s+\\(*\\s*\\[?(\\w+)\\]?"),
                                              QRegularExpression::CaseInsensitiveOption);
    int planned = 0;
    QStringList faults;
    for (const Source &source : programStatements()) {
        jet::Translation t;
        try {
            t = db.impl()->translate(source.statement);
        } catch (const DbException &) {
            continue; // statements that do not translate are another test's business
        }
        if (t.kind == jet::Translation::Kind::Crosstab || t.kind == jet::Translation::Kind::Insert)
            continue;
        const QHash<QString, QString> alias = aliases(source.statement);
        QSet<QString> tables;
        for (auto m = fromWords.globalMatch(source.statement); m.hasNext();)
            tables.insert(m.next().captured(1).toLower());
        for (const QString &sql : {t.sql, t.rowidSql}) {
            if (sql.isEmpty())
                continue;
            QString error;
            const QList<PlanRow> plan = planOf(db.handle(), sql, error);
            if (!error.isEmpty())
                continue; // the schema test reports statements that do not prepare
            ++planned;
            for (int i = 0; i < plan.size(); ++i) {
                const PlanRow &row = plan[i];
                QString name, field;
                if (const auto m = scan.match(row.detail); m.hasMatch()) {
                    name = m.captured(1).toLower();
                } else if (const auto a = automatic.match(row.detail); a.hasMatch()) {
                    name = a.captured(1).toLower();
                    field = a.captured(2).toLower();
                } else {
                    continue;
                }
                const QString table = alias.value(name, name);
                if (!kBigTables.contains(table, Qt::CaseInsensitive))
                    continue;
                const QSet<QString> &keys = indexed.value(table);
                // An automatic index is made for the one field it names.
                const QSet<QString> used = field.isEmpty()
                    ? comparedFields(source.statement, name, tables.size() == 1, !innerLoop(plan, i))
                    : QSet<QString>{field};
                QStringList wasted;
                for (const QString &f : used)
                    if (keys.contains(f) && kKeyFields.contains(f))
                        wasted << f;
                if (wasted.isEmpty())
                    continue;
                wasted.sort();
                faults << QStringLiteral("%1: %2 though %3 has an index on %4\n  %5")
                              .arg(source.where, row.detail, table, wasted.join(QStringLiteral(", ")), source.statement);
            }
        }
    }
    EXPECT_GT(planned, 400);
    EXPECT_TRUE(faults.isEmpty()) << faults.size() << " statements:\n" << faults.join(QLatin1Char('\n')).toStdString();
}

// The jobs view's default list (one job type, newest number first) reads its
// first screen from an index in its order: no sort of every job of the type
// before the first row.
TEST_F(StatementPlans, TheJobListReadsInItsOrderWithoutSorting)
{
    const QString path = SampleShopFile();
    ASSERT_FALSE(path.isEmpty()) << "the sample shop could not be made";
    Database db;
    db.open(path);
    const CSQL allOrders(30001, 0, 1, QString(), QString(), 0, false);
    ASSERT_TRUE(allOrders.m_strSQL.contains(QLatin1String("ORDER BY Jobs.JobNo DESC"))) << allOrders.m_strSQL.toStdString();
    const jet::Translation t = db.impl()->translate(allOrders.m_strSQL);
    QString error;
    const QList<PlanRow> plan = planOf(db.handle(), t.sql, error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    QStringList details;
    for (const PlanRow &row : plan)
        details << row.detail;
    EXPECT_FALSE(details.join(QLatin1Char('\n')).contains(QLatin1String("TEMP B-TREE"))) << details.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(details.join(QLatin1Char('\n')).contains(QLatin1String("Jobs_JobTypeJobNo"))) << details.join(QLatin1Char('\n')).toStdString();

    // The notice of new web orders counts one type and status from the index
    // on both, not by walking every job of the status.
    const QList<PlanRow> notice =
        planOf(db.handle(), db.impl()->translate(QStringLiteral("Select Count(JobID) FROM Jobs WHERE JobType = 4 AND Status = 0")).sql, error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_EQ(notice.size(), 1);
    EXPECT_TRUE(notice[0].detail.contains(QLatin1String("Jobs_JobTypeStatus"))) << notice[0].detail.toStdString();
}
