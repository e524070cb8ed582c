#include "catalogue/ServiceTables.h"

#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "data/AnswersOutsideLock.h"
#include "data/CXDaoSet.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <QtCore/QRegularExpression>

#include <limits>
#include <optional>

namespace {

const char *const kBasisHeaders[] = {"Use Column 1", "Sheets",      "Pages Printed", "Passes",         "Sides",
                                     "Units Asked",  "Item Width",  "Item Height",   "Item Perimeter", "Item Area"};
const char *const kSideTitles[] = {"Black/", "Blk/Blk", "Color/", "Col/Blk", "Col/Col"};
const char *const kMultipliers[] = {"(built-in)",  "1",          "Sheets per Set", "Pages Printed per Set",
                                    "Passes",      "Sides (1 or 2)", "Units Asked", "Item Width",
                                    "Item Height", "Item Perimeter", "Item Area",  "Service Quantity"};

QString fieldOf(QLatin1StringView prefix, int row, int column)
{
    return QStringLiteral("%1R%2C%3").arg(prefix).arg(row).arg(column);
}

} // namespace

const QString &QuantityKindList()
{
    static const QString list = QStringLiteral(
        " --- not used ---,Item Quantity,Pages per Set (total sides printed),Sheets per Set,Parent Size Sheets,"
        "Run Size Sheets (with waste),Run Size Sheets (no waste),Finish Size Sheets (no waste),Impressions,Plates,"
        "Washups,Ink Mixes,1 (lot),---,Item Width,Item Height,Item Perimeter,Item Area,Total Width,Total Height,"
        "Total Perimeter,Total Area,");
    return list;
}

QString QuantityKindName(int qtyBy)
{
    const QStringList names = QuantityKindList().split(QLatin1Char(','));
    return qtyBy >= 0 && qtyBy < names.size() - 1 ? names[qtyBy] : QString();
}

QString DiffTableFieldName(int ordinal)
{
    if (ordinal == 0)
        return QStringLiteral("SerNo");
    if (ordinal >= kDiffPaperFirst && ordinal < kDiffJobFirst) {
        const int i = ordinal - kDiffPaperFirst;
        return fieldOf(QLatin1StringView("Pap"), i / 4 + 1, i % 4 + 1);
    }
    if (ordinal >= kDiffJobFirst && ordinal < kDiffSpeedFirst) {
        const int i = ordinal - kDiffJobFirst;
        return fieldOf(QLatin1StringView("Job"), i / 5 + 1, i % 5);
    }
    if (ordinal >= kDiffSpeedFirst && ordinal < kDiffFieldCount) {
        const int i = ordinal - kDiffSpeedFirst;
        return fieldOf(QLatin1StringView("Run"), i / 2 + 1, i % 2 + 1);
    }
    return QString();
}

QString PriceTableFieldName(int ordinal)
{
    if (ordinal == 0)
        return QStringLiteral("SerNo");
    if (ordinal >= 1 && ordinal <= 7)
        return QStringLiteral("Opt%1").arg(ordinal);
    if (ordinal < 8 || ordinal >= kPriceFieldCount)
        return QString();
    const int i = ordinal - 8;
    const int row = i / 11;
    const int cell = i % 11;
    return cell == 0 ? QStringLiteral("Qty%1").arg(row) : QStringLiteral("R%1C%2").arg(row).arg(cell - 1);
}

QString PriceColumnBasisHeader(int columnBasis)
{
    return columnBasis >= 0 && columnBasis <= 9 ? QString::fromLatin1(kBasisHeaders[columnBasis]) : QString();
}

bool PriceColumnInUse(int columnBasis, int column)
{
    if (column < 0 || column >= kPriceColumns)
        return false;
    if (columnBasis == 0)
        return column == 0;
    if (columnBasis == 4)
        return column < 5;
    return true;
}

QString PriceColumnTitle(int columnBasis, int column)
{
    if (!PriceColumnInUse(columnBasis, column))
        return QString();
    if (columnBasis == 4)
        return QString::fromLatin1(kSideTitles[column]);
    return QString::number(column + 1);
}

QString PriceFormulaLine(const PriceTableSettings &s, const QString &quantityKindName, bool impressions, bool digital)
{
    QString text = QStringLiteral("Service Price = ");
    if (s.method == 2)
        return text + QStringLiteral("Sum of Prices at Quantity Breaks");
    bool baseIsItemQuantity = false;
    if (s.reading == 3) {
        text += QStringLiteral("Cell Price");
    } else if (s.rowBasis == 1 || impressions) {
        text += QStringLiteral("Cell Price x ") + quantityKindName;
    } else {
        text += QStringLiteral("Cell Price x Item Quantity");
        baseIsItemQuantity = true;
    }
    if (s.multiplier == 11) {
        text = QStringLiteral("Service Price = Cell Price x Service Quantity");
    } else if (s.multiplier >= 1 && s.multiplier <= 10) {
        text += QStringLiteral(" x ") + QString::fromLatin1(kMultipliers[s.multiplier]);
    } else if (s.multiplier == 0 && baseIsItemQuantity) {
        // The built-in factor follows what picks the column.
        const char *factor = nullptr;
        switch (s.columnBasis) {
        case 1: factor = "Sheets per Set"; break;
        case 2: factor = "Pages Printed per Set"; break;
        case 3: factor = "Passes"; break;
        case 4: factor = "Sides (1 or 2)"; break;
        default: factor = digital ? "Pages Printed per Set" : "Sheets per Set"; break;
        }
        text += QStringLiteral(" x ") + QString::fromLatin1(factor);
    }
    if (s.method == 3 || s.method == 4)
        text += QStringLiteral(" (+ adjustment for the 1st quantity)");
    return text;
}

ImportFieldRules ReadImportFieldRules(const QStringList &lines)
{
    ImportFieldRules rules;
    for (int i = 0; i < lines.size(); ++i) {
        const QString name = lines[i].trimmed();
        if (name == QLatin1String("$")) {
            rules.firstPrice = i;
            break;
        }
        if (name == QLatin1String("ID") || name == QLatin1String("NAME") || name == QLatin1String("X"))
            continue;
        if (rules.firstQuantity < 0)
            rules.firstQuantity = i;
        ++rules.breaks;
        rules.skipped << (name == QLatin1String("-"));
    }
    return rules;
}

QString ImportRefusalText(const QString &path, const ImportFieldRules &rules)
{
    return QStringLiteral("Can not import! Please check %1\n\nQty Breaks = %2\nFirst Qty Column = %3\n"
                          "First Price Column = %4")
        .arg(path)
        .arg(rules.breaks)
        .arg(rules.firstQuantity)
        .arg(rules.firstPrice);
}

namespace {

// A number of a price-list field in units of 10^-decimals: an optional "$",
// digits grouped by commas in threes or not at all, an optional point and
// fraction (cut to the decimals; a quantity's must be zeros). Nothing when
// the text is anything else, is negative (no price or break of a table is),
// or leaves the range of the table's fields.
std::optional<qint32> importedNumber(const QString &field, int decimals)
{
    static const QRegularExpression form(QStringLiteral("^\\$?([0-9]{1,3}(?:,[0-9]{3})+|[0-9]+)?(?:\\.([0-9]*))?$"));
    const QString text = field.trimmed();
    if (text.isEmpty())
        return 0;
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch() || (m.captured(1).isEmpty() && m.captured(2).isEmpty()))
        return std::nullopt;
    QString whole = m.captured(1);
    whole.remove(QLatin1Char(','));
    const QString fraction = m.captured(2);
    if (decimals == 0 && fraction.count(QLatin1Char('0')) != fraction.size())
        return std::nullopt;
    if (whole.size() > 12)
        return std::nullopt;
    qint64 value = whole.toLongLong();
    for (int d = 0; d < decimals; ++d)
        value = value * 10 + (d < fraction.size() ? fraction.at(d).digitValue() : 0);
    if (value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

} // namespace

PriceRows ImportPriceRows(const QStringList &fields, const ImportFieldRules &rules, QString *problem)
{
    PriceRows rows;
    if (problem)
        problem->clear();
    if (!rules.usable())
        return rows;
    const auto read = [&](int field, int decimals) {
        std::optional<qint32> n = importedNumber(fields.value(field), decimals);
        // A break is a count, held to the largest count the program takes
        // like every quantity typed.
        if (n && decimals == 0 && *n > kLargestCount) {
            n.reset();
            if (problem && problem->isEmpty())
                *problem = QStringLiteral("Can not import! Field %1 of the picked line, \"%2\": %3")
                               .arg(field + 1)
                               .arg(fields.value(field).trimmed(), TooLargeCountText(QStringLiteral("Quantity")));
        }
        if (!n && problem && problem->isEmpty()) {
            *problem = QStringLiteral("Can not import! Field %1 of the picked line, \"%2\", is not %3.")
                           .arg(field + 1)
                           .arg(fields.value(field).trimmed(),
                                decimals == 0 ? QStringLiteral("a whole quantity")
                                              : QStringLiteral("a price from 0 to 214,748.3647 (written as 12.50, "
                                                               "$12.50 or 1,250.00)"));
        }
        return n.value_or(0);
    };
    int row = 0;
    for (int k = 0; k < rules.breaks && row < kPriceRows; ++k) {
        if (rules.skipped.value(k))
            continue;
        const int quantityField = rules.firstQuantity + k;
        rows.breaks[row] = read(quantityField, 0);
        for (int c = 0; c < kPriceColumns; ++c) {
            const int priceField = quantityField + (c + 1) * rules.breaks;
            if (priceField >= fields.size())
                break;
            rows.prices[row][c] = read(priceField, 4);
        }
        ++row;
    }
    return rows;
}

bool ReadServiceTableRow(const QString &sql, QList<qint32> &values)
{
    platform::Recordset set(SharedDatabase());
    set.open(platform::Recordset::Type::Snapshot, sql);
    values.clear();
    if (set.isEOF())
        return false;
    for (int i = 0; i < set.fieldCount(); ++i) {
        const platform::Value v = set.value(i);
        values << (v.isNull() ? 0 : qint32(v.toInt64()));
    }
    return true;
}

namespace {

// One attempt of WriteServiceTableRow: a failure it shows is shown once its
// transaction has rolled back, and a question about a field both changed is
// thrown out of it (AnswersOutsideLock), not asked while it holds the file.
bool writeServiceTableRowOnce(platform::Database &db, const QString &sql, const QList<qint32> &values,
                              const QList<qint32> &shown, const std::function<QString(int)> &label,
                              const std::function<QString(int, qint32)> &text)
{
    DeferredDaoErrors deferred;
    platform::Transaction transaction(db);
    {
        // A statement the database cannot run fails here, to the caller.
        platform::Recordset probe(db);
        probe.open(platform::Recordset::Type::Snapshot, sql);
    }
    CXDaoSet set(&db);
    set.Open(CXDaoSet::dbOpenDynaset, sql);
    if (!set.IsOpen())
        return false; // the failure was shown
    const bool adding = set.IsEOF();
    if (adding)
        set.AddNew();
    else
        set.Edit();
    const int count = std::min(int(values.size()), set.GetFieldCount());
    bool changed = adding;
    for (int i = 0; i < count; ++i) {
        const platform::FieldType type = set.GetFieldType(i);
        const platform::Value mine(std::int64_t(values[i]), type);
        if (adding) {
            set.SetFieldValue(i, mine);
            continue;
        }
        const qint32 was = i < shown.size() ? shown[i] : 0;
        if (values[i] == was)
            continue; // left as shown: what is stored now stays
        const QString column = set.GetFieldName(i);
        set.SetFieldCaption(column, label(i));
        set.SetFieldShownAs(column, [&text, i](const platform::Value &v) {
            return text(i, v.isNull() ? 0 : qint32(v.toInt64()));
        });
        // A Null field is shown as 0.
        const platform::Value now = set.GetFieldValue(i);
        const bool stillShown = now.isNull() ? was == 0 : now.toInt64() == was;
        set.SetFieldValueOverShown(i, mine, stillShown ? now : platform::Value(std::int64_t(was), type));
        changed = true;
    }
    if (!changed) {
        set.CancelUpdate();
        return true;
    }
    if (!set.SafeUpdate(sql.section(QLatin1Char(' '), 3, 3))) {
        if (set.GetEditMode() != CXDaoSet::dbEditNone)
            set.CancelUpdate();
        return false;
    }
    set.Close();
    transaction.commit();
    return true;
}

} // namespace

bool WriteServiceTableRow(const QString &sql, const QList<qint32> &values, const QList<qint32> &shown,
                          const std::function<QString(int)> &label,
                          const std::function<QString(int, qint32)> &text)
{
    platform::Database &db = SharedDatabase();
    // The row's question is asked with the file free; the row is then
    // written again with the answer, over the row as it is by then.
    bool saved = false;
    AnswersOutsideLock answers;
    answers.Run(
        db,
        [&]() -> std::optional<AnswersOutsideLock::Pending> {
            try {
                saved = writeServiceTableRowOnce(db, sql, values, shown, label, text);
            } catch (const AnswersOutsideLock::Pending &pending) {
                return pending;
            }
            return std::nullopt;
        },
        [] {});
    return saved;
}
