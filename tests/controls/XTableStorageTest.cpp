#include "RowSourceStub.h"

#include "controls/CXTable.h"

#include "app/base/SharedDatabaseHolder.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "platform/db/TableDef.h"
#include "support/TestEnvironment.h"

#include <random>

using platform::FieldType;
using platform::Value;
using Field = RowSourceStub::Field;

namespace {

class XTableStorageTest : public TavrelTest
{
};

// Every cell, row and column of two tables alike.
void ExpectSameTables(const CXTable &a, const CXTable &b, const QString &what)
{
    SCOPED_TRACE(what.toStdString());
    ASSERT_EQ(a.GetRowCount(), b.GetRowCount());
    ASSERT_EQ(a.GetColumnCount(), b.GetColumnCount());
    EXPECT_EQ(a.GetRecordCount(), b.GetRecordCount());
    for (int c = 0; c < a.GetColumnCount(); ++c) {
        EXPECT_EQ(a.GetColumnName(c), b.GetColumnName(c));
        EXPECT_EQ(a.GetColumnType(c), b.GetColumnType(c));
    }
    for (int r = 0; r < a.GetRowCount(); ++r) {
        EXPECT_EQ(a.GetRowFlags(r), b.GetRowFlags(r)) << "row " << r;
        for (int c = 0; c < a.GetColumnCount(); ++c) {
            EXPECT_EQ(a.GetCellText(r, c), b.GetCellText(r, c)) << "row " << r << " column " << c;
            EXPECT_EQ(a.GetCellValue(r, c), b.GetCellValue(r, c)) << "row " << r << " column " << c;
            EXPECT_EQ(a.GetCellLong(r, c), b.GetCellLong(r, c)) << "row " << r << " column " << c;
            EXPECT_EQ(a.GetCellFormat(r, c), b.GetCellFormat(r, c)) << "row " << r << " column " << c;
        }
    }
}

// A snapshot's rows are read straight into the cells; the same rows read
// value by value (as any other row source is read) must give the same table,
// whatever the texts, dates and Nulls hold.
TEST_F(XTableStorageTest, SnapshotLoadMatchesTheValueByValueLoad)
{
    SharedDatabaseHolder holder;
    platform::Database &db = holder.database();
    const QString path = tempPath(QStringLiteral("TavrelData.mdb"));
    platform::Database::create(path);
    db.open(path);
    platform::TableDef def;
    def.name = QStringLiteral("Work");
    def.fields = {{QStringLiteral("Customer"), FieldType::Text, 50},  {QStringLiteral("Note"), FieldType::Memo, 0},
                  {QStringLiteral("Amount"), FieldType::Currency, 8}, {QStringLiteral("Copies"), FieldType::Long, 4},
                  {QStringLiteral("DateIn"), FieldType::Date, 8},     {QStringLiteral("Rate"), FieldType::Double, 8},
                  {QStringLiteral("Rush"), FieldType::Boolean, 1},    {QStringLiteral("Price"), FieldType::Text, 20},
                  {QStringLiteral("WorkID"), FieldType::Long, 4}};
    db.createTable(def);
    const Value null;
    const std::vector<std::vector<Value>> rows = {
        {Value(QStringLiteral("Acme")), Value(QStringLiteral("plain")), Value(Money::fromCents(1250)), Value(3),
         Value(DateTime(2009, 3, 15)), Value(1.5), Value(true), Value(QStringLiteral("12.50")), Value(1)},
        {Value(QStringLiteral("Acme")), Value(QStringLiteral("first line\r\nsecond line")), Value(Money::fromCents(-5)),
         Value(0), Value(DateTime(2009, 3, 15, 14, 30)), Value(0.0), Value(false), Value(QStringLiteral("n/a")),
         Value(2)},
        {Value(QStringLiteral("M\u00fcller & S\u00f8n \u2014 caf\u00e9")), Value(QStringLiteral("line\nbreak")),
         null, null, null, null, null, null, Value(3)},
        {Value(QString()), Value(QStringLiteral("\u00e9t\u00e9\rhiver")), Value(Money::fromCents(0)), Value(-7),
         Value(DateTime(1899, 12, 30)), Value(-2.25), Value(true), Value(QStringLiteral("")), Value(4)},
        {Value(QStringLiteral("Zed")), Value(QStringLiteral("")), Value(Money::fromCents(999999)), Value(42),
         Value(DateTime(500, 6, 1)), Value(1e9), Value(false), Value(QStringLiteral("7")), Value(5)},
        {Value(QStringLiteral("Zed")), null, Value(Money::fromCents(1)), Value(1), Value(DateTime(9999, 12, 31)),
         Value(3.25), Value(true), Value(QStringLiteral("3")), Value(6)},
        // An amount an older file holds far past the largest: its REAL read
        // to the same ten-thousandth either way (913,748,409,251.5627, whose
        // double times 10,000 rounds to ...5628).
        {Value(QStringLiteral("Zed")), Value(QStringLiteral("old")), Value(Money::fromUnits(9137484092515627LL)),
         Value(2), Value(DateTime(2009, 3, 15)), Value(1.0), Value(false), Value(QStringLiteral("1")), Value(7)},
    };
    for (const std::vector<Value> &row : rows)
        db.execute(QStringLiteral("INSERT INTO Work (Customer, Note, Amount, Copies, DateIn, Rate, Rush, Price, WorkID) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   QList<Value>(row.begin(), row.end()));

    struct Case
    {
        const char *name;
        QString sql;
        int totalMode;
    };
    const QString columns = QStringLiteral("Note, Amount, Copies, DateIn AS [Date In], Rate, Rush, Price AS [Price_C], "
                                           "Customer AS [Label_D], WorkID AS [HIDE_KEY] FROM Work ORDER BY WorkID");
    const std::vector<Case> cases = {
        {"no totals", QStringLiteral("SELECT Customer, ") + columns, CXTable::TotalsNone},
        {"one total row", QStringLiteral("SELECT Customer, ") + columns, CXTable::TotalsOneRow},
        {"totals per group", QStringLiteral("SELECT Customer AS [Customer__PARENT], ") + columns, CXTable::TotalsPerGroup},
        {"separated groups", QStringLiteral("SELECT Customer AS [Customer__PARENT], ") + columns, CXTable::TotalsNone},
        {"rank bands", QStringLiteral("SELECT Customer, ") + columns, CXTable::TotalsRankBands},
    };
    for (const Case &c : cases) {
        CXTable direct;
        direct.LoadQueryWithProgress(c.sql, c.totalMode, 2, QStringLiteral("Total"));

        // The same records, value by value.
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot, c.sql);
        QList<Field> fields;
        for (int f = 0; f < rs.fieldCount(); ++f)
            fields.append({rs.fieldName(f), rs.fieldType(f), rs.fieldSize(f)});
        std::vector<std::vector<Value>> values;
        for (; !rs.isEOF(); rs.moveNext()) {
            values.emplace_back();
            for (int f = 0; f < rs.fieldCount(); ++f)
                values.back().push_back(rs.value(f));
        }
        RowSourceStub stub(fields, values);
        CXTable byValue;
        byValue.LoadRecordset(stub, c.totalMode, 2, QStringLiteral("Total"));

        ExpectSameTables(direct, byValue, QString::fromLatin1(c.name));
        ASSERT_GT(direct.GetRowCount(), 0);
    }

    // Spot checks of what the texts are.
    CXTable t;
    t.LoadQueryWithProgress(QStringLiteral("SELECT Customer, ") + columns, CXTable::TotalsNone, 2, QString());
    EXPECT_EQ(t.GetCellText(1, 1), QStringLiteral("first line"));
    EXPECT_EQ(t.GetCellText(2, 0), QStringLiteral("M\u00fcller & S\u00f8n \u2014 caf\u00e9"));
    EXPECT_EQ(t.GetCellText(3, 1), QStringLiteral("\u00e9t\u00e9"));
    EXPECT_EQ(t.GetCellText(0, 4), QStringLiteral("03/15/2009"));
    EXPECT_EQ(t.GetCellText(1, 4), QStringLiteral("03/15/2009"));
    EXPECT_EQ(t.GetCellText(5, 4), QStringLiteral("12/31/9999"));
    EXPECT_EQ(t.GetCellValue(6, 2), Money::fromUnits(9137484092515627LL));
    // The query's copy of the rows is let go; its condition stays.
    ASSERT_NE(t.querySource(), nullptr);
    EXPECT_EQ(t.querySource()->whereText(), QString());
    db.close();
}

// Texts set, replaced and removed in any order read back as last set, however
// often the table's text buffer is packed on the way.
TEST_F(XTableStorageTest, TextsReadBackAsLastSetThroughReplacingAndRemoving)
{
    constexpr int kColumns = 3;
    CXTable t;
    t.SetSize(200, kColumns);
    std::vector<std::vector<QString>> model(200, std::vector<QString>(kColumns));
    std::mt19937 random(2011);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const auto someText = [&] {
        static const QString pieces[] = {QStringLiteral("a"), QStringLiteral("Job "), QStringLiteral("\u00fc"),
                                         QStringLiteral("\u20ac"), QStringLiteral("0123456789"), QString()};
        QString s;
        const int parts = pick(12);
        for (int i = 0; i < parts; ++i)
            s += pieces[pick(6)];
        return s;
    };
    const auto expectModel = [&](int step) {
        ASSERT_EQ(t.GetRowCount(), int(model.size())) << "step " << step;
        for (int r = 0; r < t.GetRowCount(); ++r)
            for (int c = 0; c < kColumns; ++c)
                ASSERT_EQ(t.GetCellText(r, c), model[size_t(r)][size_t(c)]) << "step " << step << " row " << r;
    };
    for (int step = 0; step < 30000; ++step) {
        const int rows = t.GetRowCount();
        const int op = pick(20);
        if (rows == 0 || op == 0) {
            const int at = pick(rows + 1);
            t.InsertRow(at, 0);
            model.insert(model.begin() + at, std::vector<QString>(kColumns));
            continue;
        }
        const int r = pick(rows);
        const int c = pick(kColumns);
        if (op == 1) {
            t.RemoveRow(r);
            model.erase(model.begin() + r);
        } else if (op == 2) {
            t.SetCellLong(r, c, pick(1000) + 1);
            model[size_t(r)][size_t(c)] = t.GetCellText(r, c);
            EXPECT_FALSE(model[size_t(r)][size_t(c)].isEmpty());
        } else if (op == 3) {
            const QString old = model[size_t(r)][size_t(c)];
            const QString replacement = someText();
            t.ReplaceCellText(0, -1, c, c, old, replacement, false);
            for (std::vector<QString> &row : model) {
                if (row[size_t(c)] == old)
                    row[size_t(c)] = replacement;
            }
        } else if (op == 4 && rows < 400) {
            t.InsertRowsBefore({r, r}, 0);
            model.insert(model.begin() + r, 2, std::vector<QString>(kColumns));
        } else if (op == 5) {
            const int keep = std::max(rows - pick(5), 0);
            t.SetRowCount(keep);
            model.resize(size_t(keep), std::vector<QString>(kColumns));
        } else {
            const QString text = someText();
            t.SetCellText(r, c, text);
            model[size_t(r)][size_t(c)] = text;
        }
        if (step % 1000 == 999)
            expectModel(step);
    }
    expectModel(-1);
}

} // namespace
