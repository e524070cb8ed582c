#include "production/tracking/TrackSetup.h"

#include "app/base/CZqApp.h"
#include "controls/CXGridCtrl.h"
#include "controls/CXGridProp.h"
#include "data/AnswersOutsideLock.h"
#include "data/AppDataServices.h"
#include "data/CXDaoSet.h"
#include "data/CAlertSet.h"
#include "data/DaoError.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "production/tracking/TrackRules.h"
#include "views/CDlgGrid.h"
#include "views/CSetupGridDlg.h"
#include "views/SetupCatalogue.h"

#include <algorithm>

namespace track {

namespace {

const char *const kCaptions[15] = {
    "Work Hours in 24 hr Format",
    "Earliest Start Time (example: 07:00)",
    "Latest End Time     (example: 17:30)",
    "After Starting a Job Task",
    "Mark the Service as To-Do and update the Item Status (location)",
    "Assign the operator who started the task to the Job Service",
    "Show (pop-up) Job Service Note (if any)",
    "After Finishing a Job Task",
    "Mark the Service as Done and update the Item Status (location)",
    "Assign the operator who finished the task to the Job Service",
    "Update the Actual Quantity and Cost of the Job Service",
    "(reserved)",
    "Other Options",
    "Alert me when I try to start a service that is not in production or already started",
    "Allow editing in the 'Schedule Job' window (requires Scheduler tool)",
};

bool isHeading(int entry)
{
    return entry == 0 || entry == 3 || entry == 7 || entry == 12;
}

// The options sheet: a property grid of template 420.
class OptionsDlg : public CDlgGrid
{
public:
    OptionsDlg(int hue, QWidget *parent) : CDlgGrid(420, parent, 0, hue)
    {
        AddStandardLayout(QSize(600, 600), QRect(15, 70, 560, 440));
        m_strWindowTitle = QStringLiteral("RaroVirider");
        m_strRibbonTitle = QStringLiteral("RaroVirider");
        m_strStripText = QStringLiteral("Options for All Computers");
        m_wndProp.SetColumnWidths(450, 100);
        setObjectName(QStringLiteral("TrackOptions"));
    }
};

} // namespace

QString TrackOptionCaption(int entry)
{
    return entry >= 0 && entry < 15 ? QString::fromUtf8(kCaptions[entry]) : QString();
}

bool RunTrackOptions(int hue, QWidget *parent)
{
    CZqApp *app = ZqApp();
    if (!app || !app->CheckPassword(-1, QString()))
        return false;
    // Read as the sheet opens: another workstation may have saved the
    // options or the passwords since this one read them.
    LoadTrackOptions(*app, 221);
    const QString readText = GetGlobalAlertText(221, -1, QStringLiteral("0,,, 0,1,1,0,  0,1,1,1,0,  0,0,0,"));
    QString readPasswords[2];
    GetPasswordText(readPasswords[0], 221);
    GetPasswordText(readPasswords[1], 222);

    OptionsDlg dialog(hue, parent);
    CXGridProp &grid = dialog.m_wndProp;
    grid.AddSection(QStringLiteral("Passwords:"));
    const int trackRow = grid.AddRow(1, QStringLiteral("Password to edit the tasks in Track window"), QStringLiteral("&20"));
    const int reviewRow = grid.AddRow(
        1, QStringLiteral("Password to view, edit and close tasks in History and delete any task"), QStringLiteral("&20"));
    // The passwords are shown masked; they are stored as typed.
    grid.SetRowMasked(trackRow, true);
    grid.SetRowMasked(reviewRow, true);
    grid.SetRowText(trackRow, readPasswords[0]);
    grid.SetRowText(reviewRow, readPasswords[1]);
    int rows[15] = {};
    QString stored[15];
    for (int entry = 0; entry < 15; ++entry) {
        app->GetTrackOptionText(stored[entry], entry);
        if (isHeading(entry)) {
            rows[entry] = grid.AddSection(TrackOptionCaption(entry));
        } else if (entry == 1 || entry == 2) {
            rows[entry] = grid.AddRow(1, TrackOptionCaption(entry), QStringLiteral("&5"));
            grid.SetRowText(rows[entry], stored[entry].trimmed());
        } else {
            rows[entry] = grid.AddRow(2, TrackOptionCaption(entry), QString(), entry == 11 ? 0 : 1);
            grid.AddPickItem(rows[entry], 0, QStringLiteral("No"));
            grid.AddPickItem(rows[entry], 1, QStringLiteral("Yes"));
            grid.SetRowValue(rows[entry], app->GetTrackOptionInt(entry));
        }
    }
    // The entries as the sheet writes them.
    auto entriesShown = [&] {
        QStringList entries;
        for (int entry = 0; entry < 15; ++entry) {
            if (entry == 0)
                entries << stored[0].trimmed();
            else if (entry == 1 || entry == 2)
                entries << grid.rowText(rows[entry]).left(5);
            else if (isHeading(entry))
                entries << QString::number(app->GetTrackOptionInt(entry));
            else
                entries << QString::number(grid.GetRowValue(rows[entry]));
        }
        return JoinTrackOptions(entries);
    };
    const QString unchanged = entriesShown();
    CAlertSet::ListItems items;
    items.label = [](int entry) { return TrackOptionCaption(entry); };
    items.shown = [&](int entry, const QString &value) {
        return entry >= 0 && entry < 15 ? grid.ShownItemText(rows[entry], value) : value;
    };
    auto masked = [&grid, trackRow](const QString &text) { return grid.ShownItemText(trackRow, text); };

    // Only what was changed here is written, each onto its row as it is
    // now. The two passwords and the options are one save: a Cancel on the
    // question about another user's save (or a failure) undoes whatever of
    // this OK was already written, and the sheet shows again with
    // everything typed.
    const int passwordRows[2] = {trackRow, reviewRow};
    for (;;) {
        if (dialog.DoModal() != platform::IDOK)
            return false;
        QString typed[2];
        bool saved = false;
        // A question about another user's save is asked once the save has
        // rolled back, and the save made again with the answer.
        AnswersOutsideLock answers;
        answers.Run(
            SharedDatabase(),
            [&]() -> std::optional<AnswersOutsideLock::Pending> {
                try {
                    platform::Transaction transaction(SharedDatabase());
                    saved = true;
                    for (int p = 0; p < 2 && saved; ++p) {
                        typed[p] = grid.rowText(passwordRows[p]).left(20);
                        saved = SavePasswordRow(quint8(221 + p), readPasswords[p], typed[p],
                                                grid.rowLabel(passwordRows[p]), masked);
                    }
                    saved = saved && SaveGlobalAlertText(221, readText, unchanged, entriesShown(), items);
                    if (saved)
                        transaction.commit();
                } catch (const AnswersOutsideLock::Pending &pending) {
                    saved = false;
                    return pending;
                } catch (const platform::DbException &e) {
                    ShowDaoError(e, QStringLiteral("Cannot save Passwords"));
                    saved = false;
                }
                return std::nullopt;
            },
            [] {});
        if (saved)
            break;
    }
    LoadTrackOptions(*app, 221);
    return true;
}

bool RunTimeDepartments(const QString &title, int type, int keyBase, int limit, int hue, QWidget *parent)
{
    CZqApp *app = ZqApp();
    if (!app || !app->CheckPassword(-1, QString()))
        return false;
    const QString sql = QStringLiteral("SELECT * FROM TimeDepartments WHERE Type = %1 ORDER BY Sort").arg(type);
    CXDaoSet set;
    try {
        set.Open(CXDaoSet::dbOpenDynaset, sql);
    } catch (const platform::DbException &) {
        return false;
    }
    if (!set.IsOpen())
        return false;

    SetupGrid description;
    description.columns = {
        {QStringLiteral("ID"), 30, 7, QStringLiteral("%3d"), false, 0, -1, false},
        {title, 150, 1, QStringLiteral("&30"), true, 0, -1, false},
        {QStringLiteral("Type"), 0, 7, QStringLiteral("%3d"), false, 0, -1, false},
        {QStringLiteral("Sort"), 30, 7, QStringLiteral("%3d"), true, 0, -1, false},
    };
    description.rows = limit;
    description.visible = limit;
    CSetupGridDlg dialog(QStringLiteral("Setup"), QStringLiteral("Setup"),
                         QStringLiteral("Limit %1 %2").arg(limit).arg(title), hue, parent);
    dialog.setObjectName(QStringLiteral("TimeDepartments"));
    CXGridCtrl *grid = dialog.BuildGrid(0, description);
    grid->SetKeyBase(keyBase);
    // A row whose name is cleared is removed from the list.
    grid->m_bDeleteEmpty = true;
    grid->ExchangeRecordset(set, false, 0, QStringLiteral("DepID,Name,Type,Sort,"));
    // Until everything typed is saved, or the user cancels, the window shows
    // again with what was typed.
    for (bool saved = false; !saved;) {
        if (platform::Prompt::execDialog(dialog) != QDialog::Accepted)
            return false;
        try {
            platform::Transaction transaction(SharedDatabase());
            // New rows take the next IDs of the list (after the key base) and the
            // list's type, counted inside the write lock: two workstations adding
            // rows at once never take the same number.
            int nextId = keyBase;
            for (int row = 0; row < limit; ++row)
                nextId = std::max(nextId, int(grid->GetCellValue(row, 0))); // DepID is a Long
            CXDaoSet highest;
            highest.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT Max(DepID) FROM TimeDepartments WHERE Type = %1").arg(type));
            qint32 stored = 0;
            if (highest.IsOpen() && !highest.IsEmptySet())
                highest.GetFieldLong(0, stored);
            highest.Close();
            nextId = std::max(nextId, int(stored));
            for (int row = 0; row < limit; ++row) {
                if (grid->rowRecord(row) >= 0 || grid->GetCellText(row, 1).trimmed().isEmpty())
                    continue;
                grid->SetCellValue(row, 0, ++nextId);
                grid->SetCellValue(row, 2, type);
            }
            set.Requery();
            // A row not saved (said, or the user chose to save nothing now)
            // leaves the list as it was.
            saved = grid->ExchangeRecordset(set, true, 0);
            if (saved)
                transaction.commit();
        } catch (const platform::DbException &e) {
            platform::Prompt::messageBox(QStringLiteral("Cannot save ") + QStringLiteral("TimeDepartments"), QString(),
                                         platform::MB_ICONEXCLAMATION);
            return false;
        }
    }
    platform::Prompt::beep();
    return true;
}

} // namespace track
