// What is typed into a field is kept as meant or refused naming the field, in
// every window the program opens (the screen check's walk): each date field,
// each field that reads an amount or a time, and each typed cell of a grid,
// with values typed the three ways users enter a field (a click into it,
// Ctrl+A, Tab) and left with Tab. A grid's cell shows every key as typed.
#include "ScreenWalk.h"
#include "support/TypeInto.h"

#include "app/base/DialogControls.h"
#include "app/base/TypedValue.h"
#include "catalogue/CSerDlg.h"
#include "controls/CXEdit.h"
#include "controls/CXGridCtrl.h"
#include "controls/CXGridProp.h"
#include "data/DialogFieldExchange.h"

#include <QtWidgets/QDateTimeEdit>
#include <QtWidgets/QLineEdit>

using typing::Entry;

namespace {

// A date typed over the date a field shows: the date kept, or none when it
// is refused (the field keeps the date it showed). A row shown no date is
// typed into a field that can be empty, emptied first: a refusal leaves it
// empty.
struct DateRow
{
    QDate shown;
    const char *typed;
    Entry way;
    int section; // of a click: 0 month, 1 day, 2 year
    QDate kept;
};

const DateRow kDateRows[] = {
    {QDate(2026, 12, 9), "11/20/2026", Entry::Tab, 0, QDate(2026, 11, 20)},
    {QDate(2026, 12, 9), "11/20/2026", Entry::SelectAll, 0, QDate(2026, 11, 20)},
    {QDate(2026, 12, 9), "11/20/2026", Entry::Click, 0, QDate(2026, 11, 20)},
    {QDate(2026, 12, 9), "08/23/2026", Entry::Click, 2, QDate(2026, 8, 23)},
    {QDate(2026, 1, 31), "06/15/2026", Entry::Click, 1, QDate(2026, 6, 15)},
    {QDate(2025, 3, 1), "2/29/2024", Entry::SelectAll, 0, QDate(2024, 2, 29)},
    {QDate(2025, 3, 1), "13/13/2025", Entry::Tab, 0, QDate()},
    {QDate(2025, 3, 1), "2/29/2025", Entry::Click, 0, QDate()},
    {QDate(), "25", Entry::Tab, 0, QDate()},
    {QDate(), "25", Entry::Click, 1, QDate()},
    {QDate(), "13/13/2025", Entry::SelectAll, 0, QDate()},
};

// A text typed into an emptied field of a kind: the text the field shows
// once left, or null when it is refused (the field is empty again). With
// `first`, that text is typed and kept before: a refusal puts back what it
// left shown, never an older value.
struct TextRow
{
    ValueKind kind;
    const char *typed;
    const char *shown;
    const char *first = nullptr;
};

const TextRow kTextRows[] = {
    {ValueKind::Money, "1,234.5", "1234.50"}, {ValueKind::Money, "-12", "-12.00"},
    {ValueKind::Money, "12.5abc", nullptr},   {ValueKind::Money, "1,00", nullptr},
    // A third decimal in a field of cents, and one cent past the largest amount.
    {ValueKind::Money, "12.345", nullptr},    {ValueKind::Money, "100,000,000,000.01", nullptr},
    {ValueKind::Money, "25OO", nullptr, "2500.00"},
    {ValueKind::TimeOfDay, "2:30 pm", "2:30 pm"}, {ValueKind::TimeOfDay, "25:00", nullptr},
    {ValueKind::TimeOfDay, "10:75", nullptr}, {ValueKind::TimeOfDay, "25:00", nullptr, "5:15 PM"},
    // A count (a minimum level, a ream) is never below 0; a refusal puts
    // back what the field showed.
    {ValueKind::Quantity, "1,000", "1000"},   {ValueKind::Quantity, "-5", nullptr},
    {ValueKind::Quantity, "-5", nullptr, "250"}, {ValueKind::Whole, "-5", "-5"},
    {ValueKind::Whole, "2.5", nullptr, "40"},
};

// A text typed into a typed grid cell or row of a kind: the value kept (a
// number of the field's units: fixed point is scaled by the field), or
// refused (the value it had stays). Some values may be either: kept exactly,
// or refused by a field whose range leaves them out.
enum class Cell { Kept, Refused, KeptOrRefused };
struct CellRow
{
    int kind; // CXEdit's kind
    const char *typed;
    Cell outcome;
    long long kept; // in the field's units when kept
    int atLeast;    // the field's maximum must reach it for the row to apply
    int reading = CXEdit::AsNumber; // else the row is only for fields that read so
};

const CellRow kCellRows[] = {
    {CXEdit::Unsigned, "1,000", Cell::Kept, 1000, 1000}, {CXEdit::Signed, "1,000", Cell::Kept, 1000, 1000},
    {CXEdit::Unsigned, "1e3", Cell::Kept, 1000, 1000},   {CXEdit::Signed, "1e3", Cell::Kept, 1000, 1000},
    {CXEdit::Unsigned, "1e2", Cell::Kept, 100, 100},
    {CXEdit::Unsigned, "1,00", Cell::Refused, 0, 0},     {CXEdit::Signed, "1,00", Cell::Refused, 0, 0},
    {CXEdit::Signed, "12abc", Cell::Refused, 0, 0},      {CXEdit::Unsigned, "12abc", Cell::Refused, 0, 0},
    {CXEdit::FixedPoint, "1.2.3", Cell::Refused, 0, 0},  {CXEdit::FixedPoint, "12abc", Cell::Refused, 0, 0},
    {CXEdit::Time, "1:75", Cell::Refused, 0, 0},         {CXEdit::Time, "1:30", Cell::Kept, 90, 90},
    // A fraction where only whole numbers are, a sign where none is, an
    // amount in brackets and more decimals than any field keeps: refused
    // whole, never read as the digits that are left ("25", "5", "5.00").
    {CXEdit::Unsigned, "2.5", Cell::Refused, 0, 0},      {CXEdit::Signed, "2.5", Cell::Refused, 0, 0},
    {CXEdit::Unsigned, "-5", Cell::Refused, 0, 0},       {CXEdit::Signed, "-5", Cell::KeptOrRefused, -5, 0},
    {CXEdit::Signed, "(5)", Cell::Refused, 0, 0},        {CXEdit::FixedPoint, "(5.00)", Cell::Refused, 0, 0},
    {CXEdit::FixedPoint, "-5", Cell::KeptOrRefused, -5, 0},
    {CXEdit::FixedPoint, "1e3", Cell::KeptOrRefused, 1000, 0},
    {CXEdit::FixedPoint, "1.23456", Cell::Refused, 0, 0},
    {CXEdit::Time, "1e3", Cell::Refused, 0, 0},          {CXEdit::Time, "-5", Cell::Refused, 0, 0},
    {CXEdit::Time, "2.5", Cell::Refused, 0, 0},          {CXEdit::Time, "2:30", Cell::Kept, 150, 150},
    // Amounts as every money field reads them, rates with their "%".
    {CXEdit::FixedPoint, "$5,000", Cell::Kept, 5000, 5000, CXEdit::AsMoney},
    {CXEdit::Signed, "$5,000", Cell::Kept, 5000, 5000, CXEdit::AsMoney},
    {CXEdit::FixedPoint, "10%", Cell::Kept, 10, 10, CXEdit::AsRate},
    {CXEdit::Signed, "10%", Cell::Kept, 10, 10, CXEdit::AsRate},
    {CXEdit::FixedPoint, "10%%", Cell::Refused, 0, 0, CXEdit::AsRate},
};

// The fields whose text the window works out from the others, whatever is
// typed there, and why.
const struct
{
    const char *key;
    const char *why;
} kWorkedOut[] = {
    {"CJobBalance > QLineEdit #1307 ", "the job totals' Total: the sum of the amounts above it"},
    {"CJobBalance > QLineEdit #1311 ", "the job totals' Balance: the total less what was paid"},
};

// The cells whose value the window works out again from the one typed (the
// typed value is taken, then shown as the figures it gives), and why.
const struct
{
    const char *key;
    const char *why;
} kWorkedOutCells[] = {
    {"CItemCosts > CXGridCtrl #2112  column Markup", "the Costs sheet's total markup: the markup of the service prices "
                                                     "the typed one spreads to, in whole cents"},
    {"CItemCosts > CXGridCtrl #2112  column Service Price", "the Costs sheet's total price: the sum of the service "
                                                            "prices the typed one spreads to, in whole cents"},
};

bool workedOutCell(const QString &columnKey)
{
    for (const auto &cell : kWorkedOutCells)
        if (columnKey.simplified().startsWith(QString::fromLatin1(cell.key).simplified()))
            return true;
    return false;
}

bool workedOut(const QString &key)
{
    for (const auto &field : kWorkedOut)
        if (key.startsWith(QString::fromLatin1(field.key)))
            return true;
    return false;
}

bool isDateField(QWidget *w)
{
    return qobject_cast<QDateTimeEdit *>(w) && qobject_cast<QDateTimeEdit *>(w)->displayedSections()
                                                     & QDateTimeEdit::DaySection;
}

} // namespace

class FieldTypingTest : public ScreenWalkTest, public ::testing::WithParamInterface<int>
{
public:
    // Counts of the fields checked in the whole run.
    static inline int s_dateFields = 0;
    static inline int s_textFields = 0;
    static inline int s_gridFields = 0;
    static inline int s_views = 0;

protected:
    void TearDown() override
    {
        s_dateFields += dateFields;
        s_textFields += textFields;
        s_gridFields += gridFields;
        ScreenWalkTest::TearDown();
    }

protected:
    void visit(QWidget *window, const QString &where) override
    {
        if (qEnvironmentVariableIsSet("TAVREL_FIELD_TRACE"))
            std::printf("visit %s %s\n", qPrintable(where), window->metaObject()->className());
        if (window == frame)
            return; // the main window's own boxes are searches and filters
        const QString windowName = QString::fromLatin1(window->metaObject()->className());
        for (QWidget *w : window->findChildren<QWidget *>()) {
            // A date field shown only for some choices (Find's dates) is
            // checked as it is when shown.
            if (isDateField(w) && !w->isVisible() && w->parentWidget() && w->parentWidget()->isVisible()
                && w->isEnabled()) {
                const QString key = QStringLiteral("%1 > hidden date #%2")
                                        .arg(windowName)
                                        .arg(GetDlgCtrlID(w));
                if (!seen.contains(key)) {
                    seen.insert(key);
                    w->show();
                    checkDate(qobject_cast<QDateTimeEdit *>(w), where + QStringLiteral(": ") + key);
                    w->hide();
                }
                continue;
            }
            if (!w->isVisible() || !w->isEnabled())
                continue;
            const QString key = QStringLiteral("%1 > %2 #%3 %4")
                                    .arg(windowName, QString::fromLatin1(w->metaObject()->className()))
                                    .arg(GetDlgCtrlID(w))
                                    .arg(w->objectName());
            if (isDateField(w)) {
                if (!seen.contains(key)) {
                    seen.insert(key);
                    checkDate(qobject_cast<QDateTimeEdit *>(w), where + QStringLiteral(": ") + key);
                }
            } else if (auto *edit = qobject_cast<QLineEdit *>(w);
                       edit && !edit->isReadOnly() && edit->property("valueKind").toInt() != 0) {
                if (!seen.contains(key) && !workedOut(key)) {
                    seen.insert(key);
                    checkText(edit, where + QStringLiteral(": ") + key);
                }
            } else if (auto *grid = qobject_cast<CXGridProp *>(w)) {
                checkPropertyGrid(grid, where + QStringLiteral(": ") + key, key);
            } else if (auto *cells = qobject_cast<CXGridCtrl *>(w)) {
                checkCellGrid(cells, where + QStringLiteral(": ") + key, key);
            }
        }
    }

    // The job window's own windows: its dates (When), its totals, an item's
    // specs and its costs sheet; the service window's tables: its defaults,
    // difficulty, markup and price tables.
    QList<int> commandsInside(QDialog &d) override
    {
        if (dynamic_cast<CJobDlg *>(&d))
            return {30282, 30525, 30362, 30363};
        if (dynamic_cast<CSerDlg *>(&d))
            return {30641, 30642, 30643, 30645, 30278}; // ... and More Properties
        return {};
    }

    // The refusal shown for a field: one message that names it.
    bool refusedNaming(const platform::TestResponder &answers, const QString &expected, QString &why)
    {
        const QStringList texts = answers.texts();
        if (texts.size() != 1) {
            why = QStringLiteral("messages [%1]").arg(texts.join(QStringLiteral(" | ")));
            return false;
        }
        const QString &text = texts.first();
        const qsizetype colon = text.indexOf(QStringLiteral(": "));
        if (colon <= 0 || !text.mid(colon + 2).contains(expected)) {
            why = QStringLiteral("message \"%1\" names no field").arg(text);
            return false;
        }
        return true;
    }

    // Every box a typed value brings up is answered Cancel.
    static void cancelEverything(platform::TestResponder &answers)
    {
        for (int i = 0; i < 6; ++i)
            answers.answer(platform::IDCANCEL);
    }
    // Puts a field back as it was, whatever it asks on the way.
    template <typename Restore>
    static void quietly(Restore restore)
    {
        platform::TestResponder answers;
        cancelEverything(answers);
        try {
            restore();
        } catch (const platform::UnansweredPrompt &) {
        }
    }

    void checkDate(QDateTimeEdit *field, const QString &where)
    {
        ++dateFields;
        const QDate before = field->date();
        const bool empty = PickerShowsNoDate(field);
        for (const DateRow &row : kDateRows) {
            const bool fromEmpty = !row.shown.isValid();
            if (fromEmpty ? field->specialValueText().isEmpty()
                          : row.shown < field->minimumDate() || row.shown > field->maximumDate())
                continue;
            platform::TestResponder answers;
            cancelEverything(answers);
            QString fault;
            try {
                if (fromEmpty)
                    SetPickerNoDate(field);
                else
                    field->setDate(row.shown);
                typing::enter(field, row.way, row.section);
                typing::typeAndLeave(field, QString::fromLatin1(row.typed));
                if (row.kept.isValid()) {
                    if (field->date() != row.kept || !answers.texts().isEmpty())
                        fault = QStringLiteral("kept %1, messages [%2]")
                                    .arg(field->date().toString(QStringLiteral("MM/dd/yyyy")),
                                         answers.texts().join(QStringLiteral(" | ")));
                } else {
                    QString why;
                    if (fromEmpty ? !PickerShowsNoDate(field) : field->date() != row.shown)
                        fault = QStringLiteral("kept %1").arg(field->date().toString(QStringLiteral("MM/dd/yyyy")));
                    else if (!refusedNaming(answers, QStringLiteral("is no date"), why))
                        fault = why;
                }
            } catch (const platform::UnansweredPrompt &e) {
                fault = QStringLiteral("unanswered: ") + e.what();
            }
            if (!fault.isEmpty())
                faults << QStringLiteral("%1: %2 typed \"%3\" over %4: %5")
                              .arg(where, QString::fromLatin1(typing::entryName(row.way)),
                                   QString::fromLatin1(row.typed),
                                   fromEmpty ? QStringLiteral("no date")
                                             : row.shown.toString(QStringLiteral("MM/dd/yyyy")),
                                   fault);
        }
        quietly([&] {
            if (empty)
                SetPickerNoDate(field);
            else
                field->setDate(before);
        });
    }

    void checkText(QLineEdit *edit, const QString &where)
    {
        ++textFields;
        const auto kind = ValueKind(edit->property("valueKind").toInt());
        const QString before = edit->text();
        for (const TextRow &row : kTextRows) {
            if (row.kind != kind)
                continue;
            for (Entry way : {Entry::Click, Entry::SelectAll, Entry::Tab}) {
                platform::TestResponder answers;
                cancelEverything(answers);
                QString fault;
                try {
                    edit->setText(QString());
                    QString kept; // what the field shows before this typing
                    if (row.first) {
                        typing::enter(edit, way);
                        typing::typeAndLeave(edit, QString::fromLatin1(row.first));
                        kept = edit->text();
                        answers.clear();
                    }
                    typing::enter(edit, way);
                    if (row.first && way == Entry::Click)
                        edit->selectAll(); // typed over, not after
                    typing::typeAndLeave(edit, QString::fromLatin1(row.typed));
                    QString why;
                    const QString typed = QString::fromLatin1(row.typed);
                    if (row.shown) {
                        // An amount of a field with a sign of its own (a
                        // discount, a shipping charge) shows with that sign.
                        const QString shown = QString::fromLatin1(row.shown);
                        const QString flipped = shown.startsWith(QLatin1Char('-')) ? shown.mid(1)
                                                                                   : QLatin1Char('-') + shown;
                        if ((edit->text() != shown && !(kind == ValueKind::Money && edit->text() == flipped))
                            || !answers.texts().isEmpty())
                            fault = QStringLiteral("shows \"%1\", messages [%2]")
                                        .arg(edit->text(), answers.texts().join(QStringLiteral(" | ")));
                    } else if (edit->text() != kept && edit->text() != typed) {
                        // Refused: the field shows the value it showed before
                        // this typing, or the text refused, selected to be
                        // typed over.
                        fault = QStringLiteral("kept \"%1\" instead of \"%2\"").arg(edit->text(), kept);
                    } else if (!refusedNaming(answers, kind == ValueKind::Money ? TypedMoneyMessage(typed)
                                                                                : TypedValueMessage(kind),
                                              why)) {
                        fault = why;
                    }
                } catch (const platform::UnansweredPrompt &e) {
                    fault = QStringLiteral("unanswered: ") + e.what();
                }
                if (!fault.isEmpty())
                    faults << QStringLiteral("%1: %2 typed \"%3\": %4")
                                  .arg(where, QString::fromLatin1(typing::entryName(way)),
                                       QString::fromLatin1(row.typed), fault);
            }
        }
        quietly([&] { edit->setText(before); });
    }

    // Types each row's text into a typed grid field and reads the value it
    // keeps and the text it shows; `enter` opens the field's editor the given
    // way and gives it. Every key must show as typed; once the field is left,
    // its value is the one meant and shows as the field writes it, or the
    // refusal names the field and the value and text from before are back.
    template <typename Enter, typename Value, typename Shown, typename Restore>
    void checkCells(const CXEdit &kindOf, const QString &where, Enter enter, Value value, Shown shown,
                    Restore restore, bool worksOut = false)
    {
        for (const CellRow &row : kCellRows) {
            if (row.kind != kindOf.kind() || kindOf.maximum() < row.atLeast)
                continue;
            if (row.reading != CXEdit::AsNumber && row.reading != kindOf.reading())
                continue;
            const qint64 meant = row.kept * (row.kind == CXEdit::FixedPoint ? kindOf.scale() : 1);
            for (Entry way : {Entry::Click, Entry::SelectAll, Entry::Tab}) {
                platform::TestResponder answers;
                cancelEverything(answers);
                QString fault;
                try {
                    restore();
                    const qint64 old = value();
                    const QString oldText = shown();
                    QWidget *editor = enter(way);
                    if (!editor) {
                        fault = QStringLiteral("no editor");
                    } else {
                        QLineEdit *line = typing::lineOf(editor);
                        if (line)
                            line->selectAll();
                        const QString typed = QString::fromLatin1(row.typed);
                        typing::typeKeys(editor, typed);
                        const QString whileTyping = line ? line->text() : typed;
                        typing::leave(editor);
                        // A cell the window works out again keeps what it makes of the value.
                        const bool kept = (value() == meant || (worksOut && value() != old))
                                          && answers.texts().isEmpty();
                        const bool formatted = shown() == (value() == 0 ? QString() : kindOf.FormatNumber(value()))
                                               || shown() == kindOf.FormatNumber(value());
                        QString why;
                        if (whileTyping != typed) {
                            fault = QStringLiteral("showed \"%1\" while typed").arg(whileTyping);
                        } else if (row.outcome != Cell::Refused && kept) {
                            if (!formatted)
                                fault = QStringLiteral("kept %1 but shows \"%2\"").arg(value()).arg(shown());
                        } else if (row.outcome == Cell::Kept) {
                            fault = QStringLiteral("kept %1, messages [%2]")
                                        .arg(value())
                                        .arg(answers.texts().join(QStringLiteral(" | ")));
                        } else if (value() != old) {
                            fault = QStringLiteral("kept %1 instead of %2").arg(value()).arg(old);
                        } else if (shown() != oldText) {
                            fault = QStringLiteral("shows \"%1\" instead of \"%2\"").arg(shown(), oldText);
                        } else if (!refusedNaming(answers, QStringLiteral("Please enter"), why)) {
                            fault = why;
                        }
                    }
                } catch (const platform::UnansweredPrompt &e) {
                    fault = QStringLiteral("unanswered: ") + e.what();
                }
                if (!fault.isEmpty())
                    faults << QStringLiteral("%1: %2 typed \"%3\": %4")
                                  .arg(where, QString::fromLatin1(typing::entryName(way)),
                                       QString::fromLatin1(row.typed), fault);
            }
        }
        quietly(restore);
    }

    void checkPropertyGrid(CXGridProp *grid, const QString &where, const QString &key)
    {
        for (int row = 0; row < grid->GetRowCount(); ++row) {
            if (grid->GetRowType(row) < 4 || !grid->IsRowEnabled(row))
                continue;
            CXEdit kindOf;
            kindOf.SetType(grid->rowLookup(row), int(grid->GetRowType(row)));
            if (kindOf.kind() == CXEdit::Plain || kindOf.kind() == CXEdit::Date)
                continue;
            const QString rowKey = key + QStringLiteral(" row ") + grid->rowLabel(row);
            if (seen.contains(rowKey))
                continue;
            seen.insert(rowKey);
            ++gridFields;
            const int before = grid->GetRowValue(row);
            checkCells(
                kindOf, where + QStringLiteral(" row \"%1\"").arg(grid->rowLabel(row)),
                [&](Entry way) -> QWidget * {
                    grid->EditRow(row);
                    QApplication::processEvents();
                    QWidget *editor = grid->editor();
                    if (editor && way == Entry::SelectAll)
                        QTest::keyClick(typing::lineOf(editor), Qt::Key_A, Qt::ControlModifier);
                    return editor;
                },
                [&] { return qint64(grid->GetRowValue(row)); }, [&] { return grid->rowText(row); },
                [&] {
                    grid->HideEditor();
                    grid->SetRowValue(row, before);
                });
        }
    }

    void checkCellGrid(CXGridCtrl *grid, const QString &where, const QString &key)
    {
        // The text columns: typed one letter past the "&N" length (or 300
        // letters where none is given), typing stops at the length, and the
        // cell keeps exactly what its editor showed.
        for (int column = 0; column < grid->GetColumnCount(); ++column) {
            if (grid->GetColumnType(column) != 1)
                continue;
            int row = 0;
            while (row < grid->GetRowCount() && !grid->IsCellEditable(row, column))
                ++row;
            const QString columnKey = key + QStringLiteral(" text column ") + grid->GetColumnHeader(column);
            if (row >= grid->GetRowCount() || seen.contains(columnKey))
                continue;
            seen.insert(columnKey);
            grid->EditCell(row, column);
            const bool typedInto = grid->GetCurCol() == column && grid->editor() == grid->textEditor();
            grid->HideEditor();
            if (!typedInto)
                continue; // a locked column: the editor opens on another one
            ++gridFields;
            const QString lookup = grid->GetColumnLookup(column);
            const qsizetype amp = lookup.indexOf(QLatin1Char('&'));
            const int length = amp >= 0 ? lookup.mid(amp + 1).toInt() : 0;
            const QString typed = QString(length > 0 ? length + 1 : 300, QLatin1Char('w'));
            const QString before = grid->GetCellText(row, column);
            QString fault;
            platform::TestResponder answers;
            cancelEverything(answers);
            try {
                grid->EditCell(row, column);
                QApplication::processEvents();
                QLineEdit *line = typing::lineOf(grid->editor());
                if (!line) {
                    fault = QStringLiteral("no editor");
                } else {
                    line->selectAll();
                    typing::typeKeys(line, typed);
                    const QString shown = line->text();
                    typing::leave(line);
                    if (length > 0 && shown.size() > length)
                        fault = QStringLiteral("took %1 letters, the column keeps %2").arg(shown.size()).arg(length);
                    else if (grid->GetCellText(row, column) != shown)
                        fault = QStringLiteral("showed %1 letters, kept %2")
                                    .arg(shown.size())
                                    .arg(grid->GetCellText(row, column).size());
                }
            } catch (const platform::UnansweredPrompt &e) {
                fault = QStringLiteral("unanswered: ") + e.what();
            }
            if (!fault.isEmpty())
                faults << QStringLiteral("%1 text column \"%2\": %3 letters typed: %4")
                              .arg(where, grid->GetColumnHeader(column).simplified())
                              .arg(typed.size())
                              .arg(fault);
            quietly([&] {
                grid->HideEditor();
                grid->SetCellText(row, column, before);
            });
        }
        // The typed columns, checked in the first row whose cell is editable.
        for (int column = 0; column < grid->GetColumnCount(); ++column) {
            if (grid->GetColumnType(column) < 3)
                continue;
            CXEdit kindOf;
            kindOf.SetType(grid->GetColumnLookup(column), int(grid->GetColumnType(column)));
            kindOf.SetReading(CXEdit::Reading(grid->columnReading(column)));
            if (kindOf.kind() == CXEdit::Plain || kindOf.kind() == CXEdit::Date)
                continue;
            int row = 0;
            while (row < grid->GetRowCount() && !grid->IsCellEditable(row, column))
                ++row;
            if (row >= grid->GetRowCount())
                continue;
            const QString columnKey = key + QStringLiteral(" column ") + grid->GetColumnHeader(column);
            if (seen.contains(columnKey))
                continue;
            seen.insert(columnKey);
            if (qEnvironmentVariableIsSet("TAVREL_FIELD_TRACE"))
                std::printf("cells %s\n", qPrintable(columnKey.simplified()));
            ++gridFields;
            const qint64 before = grid->GetCellValue(row, column);
            const QString beforeText = grid->GetCellText(row, column);
            checkCells(
                kindOf,
                where + QStringLiteral(" column \"%1\"").arg(grid->GetColumnHeader(column).simplified()),
                [&](Entry way) -> QWidget * {
                    grid->EditCell(row, column);
                    QApplication::processEvents();
                    QWidget *editor = grid->editor();
                    if (editor && way == Entry::SelectAll)
                        QTest::keyClick(typing::lineOf(editor), Qt::Key_A, Qt::ControlModifier);
                    return editor;
                },
                [&] { return grid->GetCellValue(row, column); },
                [&] { return grid->GetShownText(row, column); },
                [&] {
                    grid->HideEditor();
                    grid->SetCellValue(row, column, before);
                    grid->SetCellText(row, column, beforeText);
                },
                workedOutCell(columnKey));
        }
    }

    QStringList faults;
    int dateFields = 0;
    int textFields = 0;
    int gridFields = 0;
    static inline QSet<QString> seen; // fields checked once in the run, whichever view opened them
};

TEST_P(FieldTypingTest, EveryFieldOfEveryWindowKeepsWhatIsTypedOrRefusesItNamingTheField)
{
    walkView(GetParam());
    // The record each list's first row opens (F6), with the windows the job
    // window opens: its dates, its totals and an item's specs.
    CView0 *view = qobject_cast<CView0 *>(frame->SwitchView(GetParam()));
    ASSERT_NE(view, nullptr);
    for (int code : listCodes(*view)) {
        selectList(*view, QStringLiteral("view %1 list %2").arg(GetParam()).arg(code), code);
        // The settings' lists open their table whether or not the list shows rows.
        if (view->list() && (view->list()->GetItemCount() > 0 || GetParam() == 30006)) {
            if (view->list()->GetItemCount() > 0)
                view->list()->SelectItem(0);
            runVisited(*view, 30103, QStringLiteral("view %1 list %2 opened").arg(GetParam()).arg(code));
        }
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.size() << " faults:\n"
                                  << faults.join(QLatin1Char('\n')).toStdString();
    std::cout << "date fields " << dateFields << ", amount and time fields " << textFields << ", grid fields "
              << gridFields << "\n";
    // After the last view of a whole run: the walk reached the kinds of
    // fields it is for (it would pass having checked nothing).
    ++s_views;
    if (s_views == 9) {
        EXPECT_GE(s_dateFields + dateFields, 10);
        EXPECT_GE(s_textFields + textFields, 6);
        EXPECT_GE(s_gridFields + gridFields, 10);
    }
}

INSTANTIATE_TEST_SUITE_P(MainViews, FieldTypingTest,
                         ::testing::Values(30000, 30001, 30002, 30003, 30004, 30005, 30006, 30007, 30008));
