#pragma once

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QtGlobal>

#include <array>
#include <functional>

// The widget-free rules of a service's price table and difficulty tables:
// the names and order of their stored fields, the formula line of a price
// table, and the import of a supplier's price list.

// The quantity kinds a service counts by (QtyBy), as a comma list from code
// 0, and the name of one kind (empty for an unknown code).
const QString &QuantityKindList();
QString QuantityKindName(int qtyBy);

// --- difficulty tables ---------------------------------------------------------
// Table ServiceDiffTables: SerNo, the paper cells (19 rows x C1-C4), the job
// cells (19 rows x C0-C4), the speed cells (9 rows x C1-C2); 190 fields read
// and written by position.
constexpr int kDiffFieldCount = 190;
constexpr int kDiffPaperFirst = 1;
constexpr int kDiffJobFirst = 77;
constexpr int kDiffSpeedFirst = 172;
QString DiffTableFieldName(int ordinal);

// --- price tables --------------------------------------------------------------
// Table ServicePriceTables: SerNo, Opt1-Opt7, then Qty0 and R0C0-R0C9 (the
// column keys), then twelve rows of a quantity break and ten prices.
constexpr int kPriceFieldCount = 151;
constexpr int kPriceRows = 12;
constexpr int kPriceColumns = 10;
QString PriceTableFieldName(int ordinal);

// The five settings of a price table (Opt2-Opt6).
struct PriceTableSettings
{
    int columnBasis = 1; // Opt2
    int rowBasis = 0;    // Opt3
    int reading = 1;     // Opt4
    int method = 0;      // Opt5
    int multiplier = 0;  // Opt6
};

// "Service Price = ..." as the dialog shows it under the grid. The quantity
// kind's name is the service's (what its QtyBy counts); `impressions` tells
// a service counted in impressions; `digital` a digital category.
QString PriceFormulaLine(const PriceTableSettings &settings, const QString &quantityKindName, bool impressions,
                         bool digital);
// The header over the price columns for a column basis, and the title of
// price column `column` (0-9); an empty title marks a column not in use.
QString PriceColumnBasisHeader(int columnBasis);
QString PriceColumnTitle(int columnBasis, int column);
bool PriceColumnInUse(int columnBasis, int column);

// The rows of a price table as the import fills them: the break and the ten
// prices (ten-thousandths) of each of the twelve rows.
struct PriceRows
{
    std::array<qint32, kPriceRows> breaks{};
    std::array<std::array<qint32, kPriceColumns>, kPriceRows> prices{};
};

// What "ImportFields.txt" says about the fields of a price-list line.
struct ImportFieldRules
{
    int breaks = 0;              // quantity-break lines
    int firstQuantity = -1;      // field of the first quantity break
    int firstPrice = -1;         // field of the first price ("$")
    QList<bool> skipped;         // per quantity-break line: "-" skips its row
    bool usable() const { return breaks > 0 && breaks == firstPrice - firstQuantity; }
};
ImportFieldRules ReadImportFieldRules(const QStringList &lines);
// "Can not import! Please check ..." for a file of unusable rules.
QString ImportRefusalText(const QString &path, const ImportFieldRules &rules);
// Fills the rows from the fields of the picked line: every row is cleared,
// then each quantity-break field not skipped fills the next row (rows past
// the twelfth are ignored), its prices read from the blocks that follow the
// quantity fields, four decimals (further decimals are cut). A field is read
// as a clerk writes a number: "12.50", "$1,234.5", "1,000"; a field that is
// anything else ("12.50 USD", "1,5") or that the table cannot hold (a price
// above 214,748.3647, a quantity with a fraction) makes `problem` say which
// (it stays empty when every field was read), and the import is to be refused.
PriceRows ImportPriceRows(const QStringList &fields, const ImportFieldRules &rules, QString *problem = nullptr);

// --- the stored row ----------------------------------------------------------------
// The first row of a statement over one of the two tables, read by position
// into `values` (Null reads 0); false when there is none. Throws the
// database's exception on a failure.
bool ReadServiceTableRow(const QString &sql, QList<qint32> &values);
// Writes `values` by position into the statement's first row as it is now,
// adding the row when there is none. `shown` is the row as the window showed
// it: only the fields that differ from it are written, so that what another
// workstation saved meanwhile in the other fields stays; a field it changed
// too, to another value, is asked about, named by `label` (field position)
// and shown by `text` (field position, value) as the window names and shows
// it. False when the row was not saved: the user chose to save nothing now,
// or a failure was shown. Throws the database's exception on a failure, with
// nothing written.
bool WriteServiceTableRow(const QString &sql, const QList<qint32> &values, const QList<qint32> &shown,
                          const std::function<QString(int)> &label,
                          const std::function<QString(int, qint32)> &text);
