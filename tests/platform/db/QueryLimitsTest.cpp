// How deep a statement may nest, and the engine's numbers for what SQLite
// refuses: statements typed by users (the expert SQL runner, saved filters)
// reach the translator, so no text may crash the program.
#include "DbFixture.h"
#include "ErrorOf.h"

#include <QtCore/QStringList>

#include <random>

using namespace platform;

class QueryLimitsTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        makeJobsTable();
        addJob(100, QStringLiteral("Cards"), 12.5);
        addJob(101, QStringLiteral("Flyers"), 3);
        addJob(102, QStringLiteral("Posters"), 40);
    }
    // The rows a statement gives, or its error number as "error N".
    QString run(const QString &jetSql)
    {
        try {
            Recordset rs(db);
            rs.open(Recordset::Type::Snapshot, jetSql);
            int rows = 0;
            for (; !rs.isEOF(); rs.moveNext())
                ++rows;
            return QStringLiteral("%1 rows").arg(rows);
        } catch (const DbException &e) {
            return QStringLiteral("error %1").arg(e.number());
        }
    }
};

TEST_F(QueryLimitsTest, NinetyNineAndedTermsRunAsInJet)
{
    QStringList terms;
    for (int i = 0; i < 99; ++i)
        terms << QStringLiteral("JobNo <> %1").arg(1000 + i);
    EXPECT_EQ(run(QStringLiteral("SELECT JobNo FROM Jobs WHERE ") + terms.join(QStringLiteral(" AND "))),
              QStringLiteral("3 rows"));
    EXPECT_EQ(run(QStringLiteral("SELECT JobNo FROM Jobs WHERE ") + terms.join(QStringLiteral(" OR "))),
              QStringLiteral("3 rows"));
    QStringList sums;
    for (int i = 0; i < 300; ++i)
        sums << QStringLiteral("Price");
    Recordset rs(db);
    rs.open(Recordset::Type::Snapshot,
            QStringLiteral("SELECT ") + sums.join(QStringLiteral(" + ")) + QStringLiteral(" - Price AS T FROM Jobs WHERE JobNo = 101"));
    EXPECT_EQ(rs.value(0).toMoney(), Money::fromWhole(897));
}

// Currency arithmetic in a statement is exact in ten-thousandths and leaves
// the range (-922,337,203,685,477.5808 .. 922,337,203,685,477.5807) only with
// 3349, never wrapping to the other end.
TEST_F(QueryLimitsTest, CurrencyArithmeticIsExactAndStopsAtTheRangesEnds)
{
    const auto amount = [this](const QString &expression, const QString &where = QStringLiteral("JobNo = 101")) {
        try {
            Recordset rs(db);
            rs.open(Recordset::Type::Snapshot, QStringLiteral("SELECT %1 AS A FROM Jobs WHERE %2").arg(expression, where));
            const Money m = rs.value(0).toMoney();
            return m.isValid() ? m.toPlainText() : QStringLiteral("invalid");
        } catch (const DbException &e) {
            return QStringLiteral("error %1").arg(e.number());
        }
    };
    const QString top = QStringLiteral("CCur('922337203685477.5807')");
    const QString bottom = QStringLiteral("CCur('-922337203685477.5808')");
    EXPECT_EQ(amount(top), QStringLiteral("922337203685477.5807"));
    EXPECT_EQ(amount(bottom), QStringLiteral("-922337203685477.5808"));
    EXPECT_EQ(amount(QStringLiteral("CCur(922337203685477) + CCur(0.5807)")), QStringLiteral("922337203685477.5807"));
    EXPECT_EQ(amount(QStringLiteral("CCur(-922337203685477) - CCur(0.5808)")), QStringLiteral("-922337203685477.5808"));
    EXPECT_EQ(amount(top + QStringLiteral(" + CCur(0.0001)")), QStringLiteral("error 3349"));
    EXPECT_EQ(amount(bottom + QStringLiteral(" - CCur(0.0001)")), QStringLiteral("error 3349"));
    EXPECT_EQ(amount(bottom + QStringLiteral(" - ") + bottom), QStringLiteral("0"));
    EXPECT_EQ(amount(QStringLiteral("CCur(900000000000000) + CCur(900000000000000)")), QStringLiteral("error 3349"));
    EXPECT_EQ(amount(QStringLiteral("CCur(500000000000000) * 2")), QStringLiteral("error 3349"));
    EXPECT_EQ(amount(QStringLiteral("CCur(461168601842738) * 2")), QStringLiteral("922337203685476"));
    EXPECT_EQ(amount(QStringLiteral("CCur(461168601842739) * -2")), QStringLiteral("error 3349"));
    EXPECT_EQ(amount(QStringLiteral("CCur(-461168601842738) * 2 - CCur(1.5808)")), QStringLiteral("-922337203685477.5808"));
    // Far beyond the range, where a double no longer fits a wide integer:
    // 3349 too, never 0.
    for (const char *far : {"1.7E38", "-1.7E38", "1E300", "-1E300"}) {
        EXPECT_EQ(amount(QStringLiteral("CCur(%1)").arg(QLatin1String(far))), QStringLiteral("error 3349")) << far;
        EXPECT_EQ(amount(QStringLiteral("Price + CCur(%1)").arg(QLatin1String(far))), QStringLiteral("error 3349")) << far;
    }
    // Stored, by a statement or through a field: 3349 and nothing changed.
    EXPECT_EQ(errorOf([&] { db.execute(QStringLiteral("UPDATE Jobs SET Price = Price * 1E300")); }), 3349);
    EXPECT_EQ(errorOf([&] { db.execute(QStringLiteral("UPDATE Jobs SET Price = 1.7E38 WHERE JobNo = 101")); }), 3349);
    EXPECT_EQ(amount(QStringLiteral("Sum(Price)"), QStringLiteral("JobNo >= 100")), QStringLiteral("55.5"));
    for (const double far : {1.7e38, -1e300, 922337203685478.0}) {
        Recordset rs(db);
        rs.open(Recordset::Type::Dynaset, QStringLiteral("SELECT * FROM Jobs WHERE JobNo = 101"));
        rs.edit();
        EXPECT_EQ(errorOf([&] {
                      rs.setValue(QStringLiteral("Price"), Value(far));
                      rs.update();
                  }),
                  3349)
            << far;
    }
    EXPECT_EQ(amount(QStringLiteral("Price")), QStringLiteral("3"));
    // Decimal amounts that binary cannot hold come out exact.
    EXPECT_EQ(amount(QStringLiteral("CCur(0.3) - CCur(0.1)")), QStringLiteral("0.2"));
    EXPECT_EQ(amount(QStringLiteral("Price + CCur(0.1) + CCur(0.2) - CCur(0.3)")), QStringLiteral("3"));
    // A product is rounded to ten-thousandths, a half to the even one.
    EXPECT_EQ(amount(QStringLiteral("CCur(1.5) * CCur(0.0001)")), QStringLiteral("0.0002"));
    EXPECT_EQ(amount(QStringLiteral("CCur(2.5) * CCur(0.0001)")), QStringLiteral("0.0002"));
    EXPECT_EQ(amount(QStringLiteral("CCur(-2.5) * CCur(0.0001)")), QStringLiteral("-0.0002"));
    EXPECT_EQ(amount(QStringLiteral("CCur(2.6) * CCur(0.0001)")), QStringLiteral("0.0003"));

    // Totals and averages of a column: exact, and 3349 when they leave the range.
    db.execute(QStringLiteral("UPDATE Jobs SET Price = CCur('500000000000000') WHERE JobNo >= 101"));
    EXPECT_EQ(amount(QStringLiteral("Sum(Price)"), QStringLiteral("JobNo >= 101")), QStringLiteral("error 3349"));
    EXPECT_EQ(amount(QStringLiteral("Avg(Price)"), QStringLiteral("JobNo >= 101")), QStringLiteral("error 3349"));
    EXPECT_EQ(amount(QStringLiteral("Sum(Price)"), QStringLiteral("JobNo <= 101")), QStringLiteral("500000000000012.5"));
    // Averages that end in half a ten-thousandth go to the even one.
    db.execute(QStringLiteral("UPDATE Jobs SET Price = 0.0001 WHERE JobNo = 100"));
    db.execute(QStringLiteral("UPDATE Jobs SET Price = 0.0002 WHERE JobNo = 101"));
    db.execute(QStringLiteral("UPDATE Jobs SET Price = 0.0003 WHERE JobNo = 102"));
    EXPECT_EQ(amount(QStringLiteral("Avg(Price)"), QStringLiteral("JobNo <= 101")), QStringLiteral("0.0002"));
    EXPECT_EQ(amount(QStringLiteral("Avg(Price)"), QStringLiteral("JobNo >= 101")), QStringLiteral("0.0002"));
    EXPECT_EQ(amount(QStringLiteral("Avg(-Price)"), QStringLiteral("JobNo >= 101")), QStringLiteral("-0.0002"));
    EXPECT_EQ(amount(QStringLiteral("Avg(Price)")), QStringLiteral("0.0002"));
}

// Deep nesting and long chains give 3360 "Query is too complex.", never a crash.
namespace {

struct NestingCase
{
    const char *name;
    const char *open;   // repeated before the core
    const char *core;
    const char *close;  // repeated after it
    const char *chain;  // repeated after it, when not empty
    int count;
    const char *expected;
};

void PrintTo(const NestingCase &c, std::ostream *os)
{
    *os << c.name;
}

} // namespace


class DeepStatements : public QueryLimitsTest, public ::testing::WithParamInterface<NestingCase>
{
};

TEST_P(DeepStatements, RunOrAreTooComplex)
{
    const NestingCase &c = GetParam();
    QString expr;
    expr.reserve(110000);
    for (int i = 0; i < c.count; ++i)
        expr += QLatin1String(c.open);
    expr += QLatin1String(c.core);
    for (int i = 0; i < c.count; ++i)
        expr += QLatin1String(c.close);
    for (int i = 0; *c.chain && i < c.count; ++i)
        expr += QLatin1String(c.chain);
    EXPECT_EQ(run(QStringLiteral("SELECT JobNo FROM Jobs WHERE ") + expr), QLatin1String(c.expected)) << expr.size();
}

INSTANTIATE_TEST_SUITE_P(
    Limits, DeepStatements,
    ::testing::Values(NestingCase{"Parentheses10", "(", "JobNo > 0", ")", "", 10, "3 rows"},
                      NestingCase{"Parentheses4000", "(", "JobNo > 0", ")", "", 4000, "error 3360"},
                      NestingCase{"Parentheses50000", "(", "JobNo > 0", ")", "", 50000, "error 3360"},
                      NestingCase{"Plus5000", "", "JobNo", "", "+1", 5000, "error 3360"},
                      NestingCase{"Plus50000", "", "JobNo", "", "+1", 50000, "error 3360"},
                      NestingCase{"Plus150", "", "JobNo", "", "+1", 150, "3 rows"},
                      // Checked for overflow once at its end, a chain of Double additions stays flat too.
                      NestingCase{"PlusDouble150", "", "JobNo", "", "+1.5-0.5", 150, "3 rows"},
                      // A date chain is checked at every step, and stays flat as well.
                      NestingCase{"PlusDate150", "", "JobNo + #1/1/2000#", "", "+1-1", 150, "3 rows"},
                      NestingCase{"Not20001", "Not ", "JobNo > 0", "", "", 20001, "error 3360"},
                      NestingCase{"Minus30000", "-", "JobNo < 0", "", "", 30000, "error 3360"},
                      NestingCase{"Functions20000", "Int(", "JobNo", ")", "", 20000, "error 3360"},
                      NestingCase{"Subqueries5000", "JobNo IN (SELECT JobNo FROM Jobs WHERE ", "JobNo > 0", ")", "",
                                  2000, "error 3360"},
                      NestingCase{"And30000", "", "JobNo > 0", "", " AND JobNo > 0", 30000, "error 3360"},
                      NestingCase{"Concat20000", "", "Name", "", " & 'x'", 20000, "error 3360"}),
    [](const ::testing::TestParamInfo<NestingCase> &info) { return std::string(info.param.name); });

// Random nestings of every kind, up to 100,000 characters: each runs or is
// too complex (or is a syntax error where the pieces do not fit).
TEST_F(QueryLimitsTest, RandomDeepExpressionsNeverCrash)
{
    std::mt19937 random(47);
    const char *const opens[] = {"(", "Int(", "Not ", "-", "IIf(JobNo > 0, ", "(JobNo + "};
    const char *const closes[] = {")", ")", "", "", ", 0)", ")"};
    const char *const chains[] = {" + 1", " * 1", " AND JobNo > 0", " OR JobNo > 0", " & 'x'", " - 1"};
    for (const int size : {100, 1000, 10000, 100000}) {
        for (int round = 0; round < 6; ++round) {
            QString head;
            QString tail;
            while (head.size() + tail.size() < size) {
                const size_t k = random() % 6;
                if (random() % 2) {
                    head += QLatin1String(opens[k]);
                    tail.prepend(QLatin1String(closes[k]));
                } else {
                    tail.prepend(QLatin1String(chains[random() % 6]));
                    tail.prepend(QLatin1String(")"));
                    head += QLatin1String("(");
                }
            }
            const QString result = run(QStringLiteral("SELECT JobNo FROM Jobs WHERE ") + head + QStringLiteral("JobNo") + tail);
            EXPECT_TRUE(result.endsWith(QLatin1String("rows")) || result == QLatin1String("error 3360")
                        || result == QLatin1String("error 3464") || result == QLatin1String("error 3075"))
                << size << ": " << result.toStdString();
        }
    }
}

// What SQLite refuses in a statement gets Jet's own number where Jet has one.
namespace {

struct RefusalCase
{
    const char *name;
    const char *sql;
    int number;
};

void PrintTo(const RefusalCase &c, std::ostream *os)
{
    *os << c.name;
}

} // namespace


class SqliteRefusals : public QueryLimitsTest, public ::testing::WithParamInterface<RefusalCase>
{
};

TEST_P(SqliteRefusals, GetJetsNumber)
{
    EXPECT_EQ(run(QLatin1String(GetParam().sql)), QStringLiteral("error %1").arg(GetParam().number));
}

INSTANTIATE_TEST_SUITE_P(
    Errors, SqliteRefusals,
    ::testing::Values(RefusalCase{"AggregateInWhere", "SELECT JobNo FROM Jobs WHERE Sum(Price) > 0", 3096},
                      RefusalCase{"AggregateInGroupBy", "SELECT Count(*) AS N FROM Jobs GROUP BY Sum(Price)", 3098},
                      RefusalCase{"SubqueryOfTwoFields", "SELECT JobNo FROM Jobs WHERE JobNo = (SELECT JobNo, Name FROM Jobs)", 3306},
                      RefusalCase{"SumOverflow", "SELECT Sum(4000000000000000000) AS S FROM Jobs", 3349}),
    [](const ::testing::TestParamInfo<RefusalCase> &info) { return std::string(info.param.name); });
