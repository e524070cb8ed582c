// The entries of the settings view that edit program-wide setting rows of
// table CustomerAlerts (CusNo 0, one row per AlertType) instead of a table.
#include "views/CViewDefaults.h"

#include "app/base/CZqApp.h"
#include "controls/CXGridCtrl.h"
#include "controls/CXGridProp.h"
#include "data/AnswersOutsideLock.h"
#include "data/AppDataServices.h"
#include "data/CAlertSet.h"
#include "data/CXDaoSet.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "resources/Strings.h"
#include "views/CSetupGridDlg.h"
#include "views/SetupCatalogue.h"

#include <QtWidgets/QDialog>

#include <map>
#include <optional>
#include <set>
#include <vector>

namespace {

constexpr int kShopOptions = 100;
constexpr int kJobOptions = 251;
constexpr int kRoundUp = 254;
constexpr int kAccounts = 255;

// A property grid over one setting row: loaded from the row as it is when
// the window opens (a missing row starts from the default text), saved with
// the beep on OK only, so a Cancel never creates the row. Only the options
// changed here are written, onto the row as it is by then; when nothing
// could be saved (the user's Cancel on the question about another user's
// save, or a failure) the window shows again with everything typed.
bool EditSettingRow(CSetupGridDlg &dlg, CXGridProp *grid, int alertType, const QString &defaultText)
{
    CAlertSet set;
    if (!set.FindAlert(0, alertType, defaultText, true))
        return false;
    set.LoadListToGrid(*grid);
    for (;;) {
        if (platform::Prompt::execDialog(dlg) != QDialog::Accepted) {
            if (set.GetEditMode() != CXDaoSet::dbEditNone)
                set.CancelUpdate();
            return false;
        }
        grid->EndEdit();
        if (set.SaveListFromGrid(*grid))
            return true;
        // A shop opened read-only refuses once, and the window closes.
        if (SharedDatabase().isReadOnly())
            return false;
    }
}

} // namespace

void CViewDefaults::EditShopOptions(const QString &windowTitle, const QString &ribbonTitle, int colourScheme)
{
    CSetupGridDlg dlg(windowTitle, ribbonTitle, QString(), colourScheme, this);
    auto *grid = new CXGridProp(&dlg);
    grid->AddCaption(QString());
    grid->AddListRow(2, QStringLiteral("Printing Method"),
                     QStringLiteral("Mostly Offset Printing + Digital,Mostly Digital Printing + Offset,Offset Printing "
                                    "only,Digital Printing only,"));
    grid->AddListRow(2, QStringLiteral("Saturday is a Workday"), QString());
    grid->AddListRow(2, QStringLiteral("Sunday is a Workday"), QString());
    dlg.PlacePropertyGrid(grid, 180, 200);
    // The workday flags apply at once.
    if (EditSettingRow(dlg, grid, kShopOptions, QStringLiteral("0,0,0,")) && ZqApp())
        LoadSettingRows(*ZqApp());
}

void CViewDefaults::EditJobOptions(const QString &windowTitle, const QString &ribbonTitle, int colourScheme)
{
    CSetupGridDlg dlg(windowTitle, ribbonTitle, QString(), colourScheme, this);
    auto *grid = new CXGridProp(&dlg);
    grid->AddCaption(QString());
    grid->AddListRow(2, QStringLiteral("How to display/print Item Unit Prices"),
                     QStringLiteral("Use Service Property,Per Each (in 4 decimals),Per 1000 (in 2 decimals),"));
    grid->AddListRow(2, QStringLiteral("Require replacement of discontinued Services to print Order/Quote documents"),
                     QString());
    grid->AddListRow(2, QStringLiteral("How to display/print Service Unit Prices"),
                     QStringLiteral("Use Service Property,Per Each (in 4 decimals),Per 1000 (in 2 decimals),"));
    grid->AddSeparatorRow();
    grid->AddListRow(2, QStringLiteral("What to do to a Quote after converting to an Order"),
                     QStringLiteral("Do Not Change Status,Change Status to Won,"));
    grid->AddListRow(2, QStringLiteral("When entering a new Job set the Job Title to Item 1 description"), QString());
    grid->AddListRow(2, QStringLiteral("After creating a job"), QStringLiteral("Ask me what to do next,Do not ask,"));
    grid->AddListRow(2, QStringLiteral("In the Notes window, add the new date and text at the top (last note first)"),
                     QString());
    grid->AddListRow(2, QStringLiteral("In the Specs window, remind me if paper is assigned without a printer"),
                     QString());
    grid->AddListRow(2, QStringLiteral("How to open a Job, if Job's CSR does not match the Default CSR"),
                     QStringLiteral(",Open it in View/Edit mode,Open it in Preview mode (no editing),Ask,"));
    grid->AddListRow(2, QStringLiteral("After entering a deposit, add a payment note to the Memo field"), QString());
    dlg.PlacePropertyGrid(grid, 440, 200);
    EditSettingRow(dlg, grid, kJobOptions, QStringLiteral("1,1,0,0,1,1,0,1,0,1,1,"));
}

namespace {

// The round-up breaks as pairs of a price and its round-up amount, both in
// hundredths, keyed by the price: the pricing reads the prices ascending.
using RoundUpBreaks = std::map<qint64, qint64>;

RoundUpBreaks roundUpBreaks(const QString &limits, const QString &steps)
{
    const QStringList l = limits.split(QLatin1Char(','));
    const QStringList st = steps.split(QLatin1Char(','));
    RoundUpBreaks breaks;
    for (int i = 0; i < l.size(); ++i) {
        const qint64 price = l[i].trimmed().toLongLong();
        if (price <= 0)
            continue; // an empty row
        breaks.emplace(price, i < st.size() ? st[i].trimmed().toLongLong() : 0);
    }
    return breaks;
}

// The two lists of the breaks, ascending, filled with empty rows up to the
// grid's rows.
void roundUpLists(const RoundUpBreaks &breaks, int rows, QString &limits, QString &steps)
{
    limits.clear();
    steps.clear();
    int n = 0;
    for (const auto &[price, step] : breaks) {
        limits += QString::number(price) + QLatin1Char(',');
        steps += QString::number(step) + QLatin1Char(',');
        ++n;
    }
    for (; n < rows; ++n) {
        limits += QStringLiteral("0,");
        steps += QStringLiteral("0,");
    }
}

// This user's breaks put onto the breaks as they are now, row by row by the
// price: a row only this user added, deleted or changed is this user's, the
// rest stays as stored; a row both changed apart is asked about. False when
// the user cancelled the question.
bool settleRoundUp(const CXGridCtrl &grid, const RoundUpBreaks &read, const RoundUpBreaks &mine,
                   const RoundUpBreaks &now, RoundUpBreaks &merged)
{
    // Shown as the grid shows them; a row that is not there, empty.
    const auto shown = [&grid](int column, std::optional<qint64> hundredths) {
        return hundredths ? grid.ShownValueText(column, *hundredths) : QString();
    };
    std::set<qint64> prices;
    for (const RoundUpBreaks *b : {&read, &mine, &now})
        for (const auto &entry : *b)
            prices.insert(entry.first);
    const auto at = [](const RoundUpBreaks &b, qint64 price) -> std::optional<qint64> {
        const auto it = b.find(price);
        return it == b.end() ? std::nullopt : std::optional<qint64>(it->second);
    };
    merged.clear();
    QStringList lines;
    std::vector<std::pair<qint64, std::optional<qint64>>> asked; // the price, the other user's amount
    for (const qint64 price : prices) {
        const auto r = at(read, price), m = at(mine, price), n = at(now, price);
        std::optional<qint64> kept;
        if (m == r)
            kept = n;
        else if (n == r || n == m)
            kept = m;
        else {
            kept = m;
            asked.emplace_back(price, n);
            lines << CXDaoSet::BothChangedLine(shown(0, price) + QStringLiteral(", Round Up"), shown(1, n),
                                               shown(1, m));
        }
        if (kept)
            merged[price] = *kept;
    }
    if (lines.isEmpty())
        return true;
    const int answer = CXDaoSet::AskAboutBothChanged(lines);
    if (answer != platform::IDYES && answer != platform::IDNO)
        return false;
    if (answer == platform::IDNO) {
        for (const auto &[price, theirs] : asked) {
            if (theirs)
                merged[price] = *theirs;
            else
                merged.erase(price);
        }
    }
    return true;
}

// The two rows of the breaks as stored: their numbers and texts.
bool readRoundUpRows(platform::Database &db, QList<qint32> &numbers, QString texts[2])
{
    numbers.clear();
    texts[0] = LoadResourceString(48001);
    texts[1] = LoadResourceString(48002);
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT AlertNo, AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = %1 "
                           "ORDER BY AlertNo")
                .arg(kRoundUp));
    for (; !rs.isEOF() && numbers.size() < 2; rs.moveNext()) {
        texts[numbers.size()] = rs.value(1).isNull() ? QString() : rs.value(1).toString();
        numbers << rs.value(0).toInt();
    }
    return true;
}

} // namespace

void CViewDefaults::EditRoundUp(const QString &windowTitle, const QString &ribbonTitle, int colourScheme)
{
    SetupGrid d;
    SetupColumn price;
    price.title = QStringLiteral("Item Price");
    price.width = 90;
    price.type = 8;
    price.format = QStringLiteral("$");
    SetupColumn roundUp = price;
    roundUp.title = QStringLiteral("Round Up");
    d.columns = {price, roundUp};
    d.rows = d.visible = 10;
    CSetupGridDlg dlg(windowTitle, ribbonTitle, QStringLiteral("Round UP Item Price if it is equal to or less than:"),
                      colourScheme, this);
    CXGridCtrl *grid = dlg.BuildGrid(0, d);
    dlg.SetFirstOffset(50);

    // Two rows of the same kind: the first holds the prices, the second the
    // round-up amounts, both in hundredths. They are made on the first OK.
    platform::Database &db = SharedDatabase();
    QList<qint32> numbers;
    QString lists[2];
    try {
        readRoundUpRows(db, numbers, lists);
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot open CustomerAlerts"));
        return;
    }
    for (int c = 0; c < 2; ++c)
        grid->ExchangeColumnList(lists[c], false, c);
    // What this window showed, to tell this user's changes from another's.
    const RoundUpBreaks read = roundUpBreaks(lists[0], lists[1]);

    for (;;) {
        if (platform::Prompt::execDialog(dlg) != QDialog::Accepted)
            return;
        grid->EndEdit();
        QString typed[2];
        for (int c = 0; c < 2; ++c)
            grid->ExchangeColumnList(typed[c], true, c);
        const RoundUpBreaks mine = roundUpBreaks(typed[0], typed[1]);
        if (mine == read && numbers.size() == 2)
            return; // nothing changed here: nothing to write
        if (RefusedAsReadOnly(&db, QStringLiteral("Cannot save CustomerAlerts")))
            return;
        bool saved = false;
        bool cancelled = false;
        try {
            QList<qint32> nowNumbers;
            QString nowTexts[2];
            readRoundUpRows(db, nowNumbers, nowTexts);
            for (int round = 0; !saved && !cancelled; ++round) {
                RoundUpBreaks merged;
                if (!settleRoundUp(*grid, read, mine, roundUpBreaks(nowTexts[0], nowTexts[1]), merged)) {
                    cancelled = true;
                    break;
                }
                // Written under the write lock only onto the rows as they
                // were settled against; saved meanwhile, settled again.
                platform::Transaction write(db);
                QList<qint32> stored;
                QString storedTexts[2];
                readRoundUpRows(db, stored, storedTexts);
                if (round < 5 && (stored != nowNumbers || storedTexts[0] != nowTexts[0] || storedTexts[1] != nowTexts[1])) {
                    nowNumbers = stored;
                    nowTexts[0] = storedTexts[0];
                    nowTexts[1] = storedTexts[1];
                    continue;
                }
                QString out[2];
                roundUpLists(merged, grid->GetRowCount(), out[0], out[1]);
                for (int c = 0; c < 2; ++c) {
                    if (c < stored.size())
                        db.execute(QStringLiteral("UPDATE CustomerAlerts SET AlertText = ? WHERE AlertNo = %1")
                                       .arg(stored[c]),
                                   {platform::Value(out[c])});
                    else
                        db.execute(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText, "
                                                  "AlertColor, AlertSound, AlertPrint) VALUES (0, %1, ?, 0, 0, 0)")
                                       .arg(kRoundUp),
                                   {platform::Value(out[c])});
                }
                write.commit();
                saved = true;
            }
        } catch (const platform::DbException &e) {
            ShowDaoError(e, QStringLiteral("Cannot save CustomerAlerts"));
        }
        if (saved) {
            platform::Prompt::beep();
            return;
        }
        // Cancelled or failed: nothing was saved; the window shows again
        // with what was typed (a shop opened read-only closes it).
        if (db.isReadOnly())
            return;
    }
}

namespace {

// The entries of a comma list, each up to its comma (the text after the
// last comma is no entry), without trailing blanks as a grid writes them.
QStringList listEntries(const QString &list)
{
    QStringList entries = list.split(QLatin1Char(','));
    entries.removeLast();
    for (QString &entry : entries) {
        qsizetype end = entry.size();
        while (end > 0 && entry.at(end - 1).isSpace())
            --end;
        entry.truncate(end);
    }
    return entries;
}

} // namespace

void CViewDefaults::EditAccounts(const QString &windowTitle, const QString &ribbonTitle, int colourScheme)
{
    SetupGrid d;
    SetupColumn name;
    name.title = QStringLiteral("Name");
    name.width = 150;
    name.type = 1;
    name.format = QStringLiteral("&100");
    name.editable = false;
    SetupColumn account;
    account.title = QStringLiteral("Acct No.");
    account.width = 400;
    account.type = 1;
    account.format = QStringLiteral("&200");
    d.columns = {name, account};
    d.rows = d.visible = 10;

    // The row's kind, 255, is the value the recordsets keep for an empty
    // byte field, so this row is read and written by statement.
    platform::Database &db = SharedDatabase();
    auto readRow = [&db](qint32 &alertNo, QString &text) {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT AlertNo, AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = %1 "
                               "ORDER BY AlertNo")
                    .arg(kAccounts));
        if (rs.isEOF())
            return false;
        alertNo = rs.value(0).toInt();
        text = rs.value(1).toString();
        return true;
    };
    qint32 alertNo = 0;
    QString accounts;
    try {
        // The row is made at the first opening, with the standard account numbers.
        if (!readRow(alertNo, accounts)) {
            db.execute(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (0, %1, ?)")
                           .arg(kAccounts),
                       {platform::Value(LoadResourceString(48000))});
            platform::Prompt::beep();
            if (!readRow(alertNo, accounts))
                return;
        }
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot add ") + ribbonTitle);
        return;
    }

    CSetupGridDlg dlg(windowTitle, ribbonTitle, QString(), colourScheme, this);
    CXGridCtrl *grid = dlg.BuildGrid(0, d);
    QString names = QStringLiteral("Total Sales,QuickSales,Discount,Shipping,Postage,Tax,Deposits,Posted,QuickSales "
                                   "Payment,Undeposited Funds,");
    grid->ExchangeColumnList(names, false, 0);
    grid->ExchangeColumnList(accounts, false, 1);
    // Account by account, only those changed here are written onto the list
    // as it is now; one another workstation changed too is asked about by
    // its name. Until that is done, or the user cancels, the window shows
    // again with what was typed.
    const QStringList shown = listEntries(accounts);
    const QStringList labels = listEntries(names);
    for (;;) {
        if (platform::Prompt::execDialog(dlg) != QDialog::Accepted)
            return;
        grid->EndEdit();
        QString typed;
        grid->ExchangeColumnList(typed, true, 1);
        const QStringList mine = listEntries(typed);
        bool done = false;
        AnswersOutsideLock answers;
        answers.Run(
            db,
            [&]() -> std::optional<AnswersOutsideLock::Pending> {
                try {
                    platform::Transaction transaction(db);
                    platform::Recordset rs(db);
                    rs.open(platform::Recordset::Type::Snapshot,
                            QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE AlertNo = ?"),
                            {platform::Value(alertNo)});
                    const bool rowThere = !rs.isEOF();
                    const QString nowText = rowThere ? rs.value(0).toString() : accounts;
                    rs.close();
                    QStringList now = listEntries(nowText);
                    QStringList merged = now;
                    QStringList lines;
                    QList<int> both;
                    for (int i = 0; i < mine.size(); ++i) {
                        const QString was = i < shown.size() ? shown[i] : QString();
                        const QString other = i < now.size() ? now[i] : QString();
                        if (mine[i] == was)
                            continue; // left as shown: what is stored now stays
                        while (merged.size() <= i)
                            merged << QString();
                        if (other == was || other == mine[i]) {
                            merged[i] = mine[i];
                            continue;
                        }
                        both << i;
                        lines << CXDaoSet::BothChangedLine(i < labels.size() ? labels[i] : QString::number(i + 1),
                                                           other, mine[i]);
                    }
                    if (!lines.isEmpty()) {
                        // Asked once the write has rolled back; it is made
                        // again with the answer.
                        const int answer = AnswersOutsideLock::Answer(
                            db, QStringLiteral("accounts\n") + lines.join(QLatin1Char('\n')),
                            [lines] { return CXDaoSet::AskAboutBothChanged(lines); });
                        if (answer != platform::IDYES && answer != platform::IDNO)
                            return std::nullopt; // nothing saved now; the typing stays
                        if (answer == platform::IDYES)
                            for (const int i : both)
                                merged[i] = mine[i];
                    }
                    if (merged == now && rowThere) {
                        done = true; // nothing of this user's to write
                        return std::nullopt;
                    }
                    QString text;
                    for (const QString &entry : merged)
                        text += entry + QLatin1Char(',');
                    if (rowThere)
                        db.execute(QStringLiteral("UPDATE CustomerAlerts SET AlertText = ? WHERE AlertNo = ?"),
                                   {platform::Value(text), platform::Value(alertNo)});
                    else
                        db.execute(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) "
                                                  "VALUES (0, %1, ?)")
                                       .arg(kAccounts),
                                   {platform::Value(text)});
                    transaction.commit();
                    platform::Prompt::beep();
                    done = true;
                } catch (const AnswersOutsideLock::Pending &pending) {
                    return pending;
                } catch (const platform::DbException &e) {
                    ShowDaoError(e, QStringLiteral("Cannot save ") + ribbonTitle);
                }
                return std::nullopt;
            },
            [] {});
        if (done)
            return;
    }
}
