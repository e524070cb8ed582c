#include "JetShopFixture.h"
#include "JetTestDatabase.h"
#include "ProgramStatementSchema.h"

#include "platform/db/DbException.h"
#include "platform/db/jet/JetFormat.h"

#include <QtCore/QFile>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <random>

// A bounded random mutator over the translator and the registered
// functions: statements of the program are cut, spliced and salted with
// tokens; random calls of every function get odd arguments; random Format
// patterns meet numbers, dates, texts and Null. Whatever comes in, the engine
// answers with a Jet error or a result: no other exception, no crash, no
// SQLite text that fails to prepare, no run that does not end. The seed is
// fixed (TAVREL_FUZZ_SEED picks another) so a finding can be replayed.

namespace {

unsigned fuzzSeed()
{
    const QByteArray env = qgetenv("TAVREL_FUZZ_SEED");
    return env.isEmpty() ? 20111u : unsigned(env.toUInt());
}

const char *const kTokens[] = {
    "SELECT ", " FROM ", " WHERE ", " AND ", " OR ", " NOT ", "(", ")", ",", ";", "*", "+", "-", "/", "\\", "^",
    " Mod ", "&", "=", "<>", "<=", ">", " Like ", " Between ", " In ", " Is Null", " GROUP BY ", " ORDER BY ",
    " HAVING ", " UNION ", " INNER JOIN ", " LEFT JOIN ", " ON ", " AS ", " TOP 3 ", " DISTINCT ", " DISTINCTROW ",
    "TRANSFORM Count(*) ", " PIVOT ", "PARAMETERS [p] Short; ", "'", "''", "\"", "#", "#3/16/2011#", "#13/45/2011#",
    "[", "]", "[x y]", ".", "?", "0", "-1", "2.5", "1e308", "99999999999", "Null", "True", "'*a?[!b]#'",
    "IIf(", "Format(", "DateDiff('ww', ", "DatePart('q', ", "DateAdd('m', 1, ", "DateSerial(2011, 13, ",
    "Switch(", "Choose(", "Round(", "Val(", "Mid(", "InStr(", "Replace(", "StrConv(", "Sum(", "StDev(",
    "First(", "Count(", "CLng(", "CCur(", "Hex(", "Chr(", "String(", "Space(", "FormatNumber(", "Nz(",
    "(SELECT 1 FROM Jobs)", " EXISTS ", "·", "•", "\t", "\r\n", "2147483647", "-2147483648", " * 2147483647",
    "3000000", "-700000", "DateAdd('yyyy', -1E308, ", "Year(", "'922337203685477.5808'"};

// Valid expressions to put where a number stands, so that the mutant still
// parses and the emitter and the functions meet them.
const char *const kExpressions[] = {
    "(1 + 2)", "Null", "-1e300", "'x'", "'12'", "#12/31/9999#", "IIf(1 = 1, 2, 'a')", "Format(Date(), 'yyyy')",
    "DateDiff('ww', #1/1/2011#, Date(), 2)", "Round(2.5)", "Val('&H10')", "Switch(False, 1)", "Choose(3, 1, 2)",
    "CCur(1e15)", "CLng(2147483647.5)", "Len(Space(3))", "(SELECT Count(*) FROM Jobs)", "StDev(1)", "Sum(Null)",
    "DateSerial(2011, 14, -3)", "Mid('abc', 0)", "InStr(0, 'a', 'b')", "String(3, 0)", "Chr(-1)",
    "(2147483647 * 2)", "(2147483647 + 1)", "Year(3000000)", "Format(2147483647, 'mm/dd/yyyy')",
    "DateAdd('m', 1E12, Date())", "CCur('922337203685477.5808')"};

// Replaces one number of the statement by one of the expressions; false when it has none.
bool replaceNumber(QString &s, std::mt19937 &rng)
{
    QList<std::pair<qsizetype, qsizetype>> numbers;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (!s[i].isDigit() || (i > 0 && (s[i - 1].isLetterOrNumber() || s[i - 1] == QLatin1Char('_')
                                          || s[i - 1] == QLatin1Char('#') || s[i - 1] == QLatin1Char('/'))))
            continue;
        qsizetype j = i;
        while (j < s.size() && (s[j].isDigit() || s[j] == QLatin1Char('.')))
            ++j;
        if (j < s.size() && (s[j].isLetter() || s[j] == QLatin1Char('/') || s[j] == QLatin1Char('#')
                             || s[j] == QLatin1Char(']')))
            continue;
        numbers.append({i, j - i});
        i = j;
    }
    if (numbers.isEmpty())
        return false;
    const auto [at, length] = numbers[std::uniform_int_distribution<qsizetype>(0, numbers.size() - 1)(rng)];
    s.replace(at, length, QString::fromUtf8(kExpressions[std::uniform_int_distribution<size_t>(0, std::size(kExpressions) - 1)(rng)]));
    return true;
}

QString mutate(const QString &seed, std::mt19937 &rng)
{
    QString s = seed;
    if (std::uniform_int_distribution<int>(0, 9)(rng) < 4 && replaceNumber(s, rng))
        return s;
    // Mostly small changes, so that many mutants still parse and reach the emitter.
    std::discrete_distribution<int> ops({2.0, 6.0, 1.0, 1.0, 0.3, 0.3});
    const int count = std::discrete_distribution<int>({0.0, 6.0, 3.0, 1.0})(rng);
    for (int k = 0; k < count; ++k) {
        const qsizetype size = s.size();
        const qsizetype at = size == 0 ? 0 : std::uniform_int_distribution<qsizetype>(0, size)(rng);
        const qsizetype span = std::uniform_int_distribution<qsizetype>(1, 6)(rng);
        switch (ops(rng)) {
        case 0: // delete a span
            s.remove(at, span);
            break;
        case 1: // insert a token
            s.insert(at, QString::fromUtf8(kTokens[std::uniform_int_distribution<size_t>(0, std::size(kTokens) - 1)(rng)]));
            break;
        case 2: // duplicate a span
            s.insert(at, s.mid(at, span));
            break;
        case 3: // change one character
            if (at < size)
                s[at] = QChar(char16_t(std::uniform_int_distribution<int>(32, 126)(rng)));
            break;
        case 4: // cut the rest
            s.truncate(at);
            break;
        default: // swap two halves
            s = s.mid(at) + s.left(at);
            break;
        }
    }
    return s;
}

// Stops a statement after this many virtual-machine steps (a join of many
// copies of a table can run for ever on its own).
int stopRunaway(void *steps)
{
    return ++*static_cast<int *>(steps) > 2000;
}

struct Outcome
{
    int translated = 0;
    int jetErrors = 0;
    QStringList findings;
};

// Prepares and runs (a few rows of) a translation; a prepare failure is a finding.
void runTranslation(JetTestDatabase &db, const platform::jet::Translation &t, const QString &jet, Outcome &out)
{
    QStringList texts;
    if (t.kind == platform::jet::Translation::Kind::Crosstab) {
        texts.append(t.pivotValuesSql);
        texts.append(t.buildCrosstab({platform::Value(QStringLiteral("a")), platform::Value(std::int64_t(2)), platform::Value()}).sql);
    } else {
        texts.append(t.sql);
    }
    for (const QString &sql : texts) {
        sqlite3_stmt *stmt = nullptr;
        const QByteArray u = sql.toUtf8();
        if (sqlite3_prepare_v2(db.handle(), u.constData(), int(u.size()), &stmt, nullptr) != SQLITE_OK) {
            out.findings.append(QStringLiteral("prepare: %1\n    jet: %2\n    sql: %3")
                                    .arg(QString::fromUtf8(sqlite3_errmsg(db.handle())), jet, sql));
            sqlite3_finalize(stmt);
            continue;
        }
        int steps = 0;
        sqlite3_progress_handler(db.handle(), 1000, stopRunaway, &steps);
        for (int row = 0; row < 20 && sqlite3_step(stmt) == SQLITE_ROW; ++row) {
        }
        sqlite3_progress_handler(db.handle(), 0, nullptr, nullptr);
        sqlite3_finalize(stmt);
    }
}

} // namespace

TEST(JetFuzz, MutatedProgramStatementsGiveJetErrorsOrRunnableSql)
{
    QFile file(QStringLiteral(TAVREL_TEST_DATA "/program-statements.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList seeds = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GT(seeds.size(), 150);

    // One schema holding every table and column the statements name, with a
    // few rows each so that expressions are evaluated.
    JetTestDatabase db;
    QHash<QString, QList<JetTestDatabase::Col>> tables;
    QStringList order;
    for (const QString &sql : seeds) {
        const NamedSchema names = namesOf(sql);
        for (const QString &table : names.tables) {
            const QString key = table.toLower();
            if (!tables.contains(key))
                order.append(table);
            QList<JetTestDatabase::Col> &cols = tables[key];
            for (const QString &c : names.columns.value(key)) {
                bool known = false;
                for (const JetTestDatabase::Col &k : cols)
                    known = known || k.name.compare(c, Qt::CaseInsensitive) == 0;
                if (!known)
                    cols.append({c, guessType(c), 255});
            }
        }
    }
    for (const QString &table : order) {
        QList<JetTestDatabase::Col> cols = tables.value(table.toLower());
        if (cols.isEmpty())
            cols.append({QStringLiteral("ID"), platform::FieldType::Long, 0});
        db.addTable(table, cols);
        for (int r = 0; r < 3; ++r) {
            QStringList values;
            for (const JetTestDatabase::Col &c : cols) {
                switch (c.type) {
                case platform::FieldType::Text: values.append(r == 2 ? QStringLiteral("NULL") : QStringLiteral("'a·%1'").arg(r)); break;
                case platform::FieldType::Date: values.append(QString::number(40618.5 + r)); break;
                case platform::FieldType::Currency: values.append(QString::number(12.5 - r * 10)); break;
                default: values.append(QString::number(r)); break;
                }
            }
            db.exec(QStringLiteral("INSERT INTO \"%1\" VALUES (%2)").arg(table, values.join(QLatin1String(", "))));
        }
    }

    Outcome seedsRun;
    for (const QString &sql : seeds) {
        try {
            runTranslation(db, db.translator().translate(sql), sql, seedsRun);
            ++seedsRun.translated;
        } catch (const platform::DbException &e) {
            ++seedsRun.jetErrors;
        }
    }
    std::cout << "seeds: " << seedsRun.translated << " translated, " << seedsRun.jetErrors << " errors" << std::endl;

    std::mt19937 rng(fuzzSeed());
    const int cases = 3000;
    Outcome out;
    for (int i = 0; i < cases; ++i) {
        const QString jet = mutate(seeds[i % seeds.size()], rng);
        try {
            const platform::jet::Translation t = db.translator().translate(jet);
            ++out.translated;
            runTranslation(db, t, jet, out);
        } catch (const platform::DbException &e) {
            ++out.jetErrors;
            if (qEnvironmentVariableIsSet("TAVREL_FUZZ_VERBOSE"))
                std::cout << e.number() << " " << jet.toStdString() << "\n";
        } catch (const std::exception &e) {
            out.findings.append(QStringLiteral("exception %1\n    jet: %2").arg(QString::fromUtf8(e.what()), jet));
        }
    }
    std::cout << "fuzz (seed " << fuzzSeed() << "): " << cases << " mutated statements, " << out.translated
              << " translated and ran, " << out.jetErrors << " refused with a Jet error, " << out.findings.size()
              << " findings" << std::endl;
    if (qEnvironmentVariableIsSet("TAVREL_FUZZ_VERBOSE")) {
        for (const QString &f : out.findings)
            std::cout << "FINDING " << f.toStdString() << "\n";
    }
    EXPECT_TRUE(out.findings.isEmpty()) << out.findings.mid(0, 10).join(QLatin1Char('\n')).toStdString();
}

// Random calls of the expression service's functions with random arguments
// (Null, negative and huge numbers, dates at both ends, texts of every kind),
// over a row of the small shop.
TEST_F(JetShopTest, RandomFunctionCallsGiveJetErrorsOrValues)
{
    static const char *const functions[] = {
        "Abs", "Sgn", "Int", "Fix", "Round", "Sqr", "Exp", "Log", "Sin", "Cos", "Tan", "Atn", "Rnd", "CBool", "CByte",
        "CCur", "CDate", "CDbl", "CInt", "CLng", "CSng", "CStr", "CVar", "CVDate", "Val", "Str", "Hex", "Oct", "Asc",
        "AscW", "Chr", "ChrW", "Len", "Left", "Right", "Mid", "InStr", "InStrRev", "LCase", "UCase", "LTrim", "RTrim",
        "Trim", "Space", "String", "Replace", "StrComp", "StrConv", "StrReverse", "Date", "Now", "Time", "Day", "Month",
        "Year", "Hour", "Minute", "Second", "Weekday", "WeekdayName", "MonthName", "DatePart", "DateAdd", "DateDiff",
        "DateSerial", "TimeSerial", "DateValue", "TimeValue", "IsDate", "IIf", "Switch", "Choose", "IsNull", "IsNumeric",
        "IsEmpty", "Format", "FormatNumber", "FormatCurrency", "FormatPercent", "FormatDateTime"};
    static const char *const arguments[] = {
        "Null", "0", "1", "-1", "2.5", "-2.5", "1e308", "-1e308", "2147483648", "-99999999999", "0.00001", "'abc'",
        "''", "'12.5'", "'&HFF'", "'February 12, 1969'", "'13/45/2011'", "'yyyy'", "'ww'", "'d'", "'q'", "'x'",
        "'0.00;(0.00);\"z\";\"n\"'", "'@@!<'", "'##0,,E+0'", "'\\'", "'\"'", "#1/1/100#", "#12/31/9999#",
        "#12/30/1899#", "Balance", "Name", "Tax", "CusNo", "'·•€'", "65535", "-32769", "True", "7", "8", "64",
        "2147483647", "-2147483648", "3000000", "-700000", "-657435", "2958466", "1E+12", "'922337203685477.5808'"};
    std::mt19937 rng(fuzzSeed());
    const int cases = 2000;
    int values = 0;
    int errors = 0;
    QStringList findings;
    for (int i = 0; i < cases; ++i) {
        const QString fn = QString::fromLatin1(functions[std::uniform_int_distribution<size_t>(0, std::size(functions) - 1)(rng)]);
        const int argc = std::discrete_distribution<int>({1.0, 4.0, 4.0, 3.0, 1.0, 0.5, 0.5})(rng);
        QStringList args;
        for (int a = 0; a < argc; ++a) {
            QString arg = QString::fromLatin1(arguments[std::uniform_int_distribution<size_t>(0, std::size(arguments) - 1)(rng)]);
            // Now and then a call inside the call.
            if (std::uniform_int_distribution<int>(0, 5)(rng) == 0)
                arg = QStringLiteral("%1(%2)").arg(QString::fromLatin1(functions[std::uniform_int_distribution<size_t>(0, std::size(functions) - 1)(rng)]), arg);
            args.append(arg);
        }
        const QString expression = QStringLiteral("%1(%2)").arg(fn, args.join(QLatin1String(", ")));
        try {
            const platform::jet::Translation t =
                db.translator().translate(QStringLiteral("SELECT %1 AS X FROM Customers WHERE CusNo = 1").arg(expression));
            const QStringList rows = db.rowsOf(t);
            if (rows.isEmpty() && !db.lastError().startsWith(QLatin1String("JET ")))
                findings.append(QStringLiteral("%1: %2").arg(expression, db.lastError().isEmpty() ? QStringLiteral("no row") : db.lastError()));
            rows.isEmpty() ? ++errors : ++values;
        } catch (const platform::DbException &) {
            ++errors;
        } catch (const std::exception &e) {
            findings.append(QStringLiteral("%1: exception %2").arg(expression, QString::fromUtf8(e.what())));
        }
    }
    std::cout << "fuzz (seed " << fuzzSeed() << "): " << cases << " random calls, " << values << " values, " << errors
              << " Jet errors, " << findings.size() << " findings" << std::endl;
    EXPECT_TRUE(findings.isEmpty()) << findings.mid(0, 10).join(QLatin1Char('\n')).toStdString();
}

// Random Format patterns over numbers, dates, texts and Null.
TEST(JetFuzz, RandomFormatPatternsGiveText)
{
    static const char alphabet[] = "0#.,%E+-e@&<>!\"\\;dmyhnsqwctAMP/: xz";
    const platform::Value values[] = {platform::Value(),
                                      platform::Value(0.0),
                                      platform::Value(-1234.5678),
                                      platform::Value(1e300),
                                      platform::Value(-1e-300),
                                      platform::Value(std::int64_t(-9223372036854775807LL)),
                                      platform::Value(40618.5868),
                                      platform::Value(-657434.0),
                                      platform::Value(QStringLiteral("abc·")),
                                      platform::Value(QStringLiteral("12.5")),
                                      platform::Value(QString())};
    const platform::FieldType types[] = {platform::FieldType::Double, platform::FieldType::Double, platform::FieldType::Currency,
                                         platform::FieldType::Double, platform::FieldType::Double, platform::FieldType::Long,
                                         platform::FieldType::Date, platform::FieldType::Date, platform::FieldType::Text,
                                         platform::FieldType::Text, platform::FieldType::Text};
    std::mt19937 rng(fuzzSeed());
    const int cases = 5000;
    int nonEmpty = 0;
    for (int i = 0; i < cases; ++i) {
        const int length = std::uniform_int_distribution<int>(0, 24)(rng);
        QString pattern;
        for (int k = 0; k < length; ++k)
            pattern += QLatin1Char(alphabet[std::uniform_int_distribution<size_t>(0, sizeof alphabet - 2)(rng)]);
        const size_t v = std::uniform_int_distribution<size_t>(0, std::size(values) - 1)(rng);
        const QString text = platform::jet::formatValue(values[v], types[v], pattern);
        // Only a Null value may give no text at all.
        if (!values[v].isNull()) {
            EXPECT_FALSE(text.isNull()) << pattern.toStdString() << " value " << v;
        }
        nonEmpty += text.isEmpty() ? 0 : 1;
    }
    std::cout << "fuzz (seed " << fuzzSeed() << "): " << cases << " Format patterns, " << nonEmpty << " non-empty texts"
              << std::endl;
}
