#include "views/CViewDefaults.h"

#include "app/base/PrintService.h"

#include "app/base/CZqApp.h"
#include "app/base/TextUtil.h"
#include "controls/CXGridCtrl.h"
#include "controls/CXListCtrl.h"
#include "controls/CXTreeCtrl.h"
#include "data/AnswersOutsideLock.h"
#include "data/AppDataServices.h"
#include "data/CXDaoSet.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "resources/Strings.h"
#include "views/CDlgOptions.h"
#include "views/CSetupGridDlg.h"
#include "views/SetupCatalogue.h"

#include <optional>

CViewDefaults::CViewDefaults(QWidget *parent) : CView0(30006, parent)
{
    m_bListShown = false; // the view has no record list
}

void CViewDefaults::OnInitialUpdate()
{
    CView0::OnInitialUpdate();
    LoadTreeBranches(IDS_SETUP_GENERAL, IDS_SETUP_TEXTS + 1, 5, 0);
    m_list->hide();
    UpdateRibbonStates();
}

bool CViewDefaults::IsCommandEnabled(int id)
{
    if (id == 30103 || id == 30401)
        return true;
    return CView0::IsCommandEnabled(id);
}

bool CViewDefaults::OnCommand(int id)
{
    if (id == 30401 || id == 30103) {
        ClearFilter();
        ShowSelectedTable();
        return true;
    }
    return CView0::OnCommand(id);
}

void CViewDefaults::ShowSelectedTable()
{
    if (ReadTreeSelection())
        EditSetupTable(m_nChosenCode + 100, 0, m_nHue);
}

bool CViewDefaults::ExchangeSetupEntry(const SetupEntry &entry, CXGridCtrl &first, CXGridCtrl *second, bool save)
{
    CXDaoSet set;
    try {
        set.Open(CXDaoSet::dbOpenDynaset, SetupEntrySql(entry));
    } catch (const platform::DbException &e) {
        platform::Prompt::messageBox(QString::fromUtf8(e.what()), QString(), platform::MB_ICONEXCLAMATION);
        return false;
    }
    if (!set.IsOpen())
        return false;
    if (!save) {
        first.ExchangeRecordset(set, false, 0, entry.fieldList);
        if (second)
            second->ExchangeRecordset(set, false, entry.secondSkip);
    } else {
        // Every changed row of one OK is written in one unit of work: a row
        // not saved (the user chose to save nothing now, or a failure shown)
        // leaves the table as it was and every row as typed. A question it
        // meets (a cell another user changed too, a row another deleted) is
        // asked once the unit has rolled back, and the rows are written
        // again with the answer.
        bool saved = false;
        bool firstStarted = false;
        bool secondStarted = false;
        AnswersOutsideLock answers;
        answers.Run(
            SharedDatabase(),
            [&]() -> std::optional<AnswersOutsideLock::Pending> {
                bool firstSaved = false;
                bool secondSaved = false;
                firstStarted = secondStarted = false;
                try {
                    platform::Transaction transaction(SharedDatabase());
                    firstStarted = true;
                    if (!first.ExchangeRecordset(set, true, 0))
                        return std::nullopt;
                    firstSaved = true;
                    if (second) {
                        set.Requery();
                        secondStarted = true;
                        if (!second->ExchangeRecordset(set, true, entry.secondSkip)) {
                            first.UndoLastSave();
                            return std::nullopt;
                        }
                        secondSaved = true;
                    }
                    transaction.commit();
                    saved = true;
                } catch (const AnswersOutsideLock::Pending &pending) {
                    return pending;
                } catch (const platform::DbException &e) {
                    platform::Prompt::messageBox(QString::fromUtf8(e.what()), QString(), platform::MB_ICONEXCLAMATION);
                    if (firstSaved)
                        first.UndoLastSave();
                    if (secondSaved)
                        second->UndoLastSave();
                }
                return std::nullopt;
            },
            [&] {
                // The rows as typed, over the table as it is now.
                if (firstStarted)
                    first.UndoLastSave();
                if (secondStarted)
                    second->UndoLastSave();
                if (set.GetEditMode() != CXDaoSet::dbEditNone)
                    set.CancelUpdate();
                set.Requery();
            });
        if (!saved) {
            set.Close();
            return false;
        }
    }
    set.Close();
    return true;
}

void CViewDefaults::EditSetupTable(int code, int argument, int colourScheme)
{
    runSetupEditor(code, argument, colourScheme);
    // Whatever was saved reaches the code that follows the shop's options at once.
    if (ZqApp() && SharedDatabase().isOpen())
        ApplyShopOptions(*ZqApp());
}

void CViewDefaults::runSetupEditor(int code, int argument, int colourScheme)
{
    QString windowTitle;
    QString ribbonTitle;
    if (code < 1000) {
        const int resource = 44180 + code / 100;
        windowTitle = GetResourceListItem(resource, 0);
        if (code != 806)
            ribbonTitle = GetResourceListItem(resource, code % 100);
    }
    // The list caption of the chosen entry names the option entries.
    const QString caption = windowTitle + QStringLiteral(" / ") + ribbonTitle;
    switch (code) {
    case 101:
        EditShopOptions(windowTitle, ribbonTitle, colourScheme);
        return;
    case 301:
        EditJobOptions(windowTitle, ribbonTitle, colourScheme);
        return;
    case 307:
        EditRoundUp(windowTitle, ribbonTitle, colourScheme);
        return;
    case 506:
        EditAccounts(windowTitle, ribbonTitle, colourScheme);
        return;
    case 304:
        EditOptionGroups(44308, 44309, false, caption, QStringLiteral("Check all that apply:"));
        return;
    case 305:
        EditOptionGroups(44321, 44325, false, caption,
                         QStringLiteral("Check the data you want to be updated after copying data from:"));
        return;
    case 203:
        EditOptionGroups(44351, 44351, false, caption, QStringLiteral("Check all that apply:"));
        return;
    case 306:
        EditOptionGroups(44312, 44314, true, caption,
                         QStringLiteral("These options are global and used when 'Default Item Price' is not equal to "
                                        "'Saved Item Price'"));
        return;
    case 201:
        if (PrintService *printing = ZqApp() ? ZqApp()->printService() : nullptr)
            printing->EditDocumentForms(this);
        else
            ReportNotAvailable(QStringLiteral("Editing the document options"));
        return;
    case 202:
        if (PrintService *printing = ZqApp() ? ZqApp()->printService() : nullptr) {
            // Once its sheet is printed the window opens again, for the next sheet.
            if (printing->EditBarCodes(this) != 0)
                PostCommand(30401);
        } else
            ReportNotAvailable(QStringLiteral("Editing the barcode options"));
        return;
    default:
        break;
    }

    SetupEntry entry;
    if (!DescribeSetupEntry(code, argument, entry))
        return;
    if (entry.needsTopLevel) {
        CZqApp *app = ZqApp();
        if (!app || !app->CheckPassword(-1, QString()))
            return;
    }
    if (!entry.ribbonTitle.isEmpty())
        ribbonTitle = entry.ribbonTitle;
    // The frequently used texts are titled with their entry's name, those of
    // one service category with the category's name.
    if (code >= 801 && code <= 805 && entry.first.columns[0].title.isEmpty())
        entry.first.columns[0].title = ribbonTitle;
    if (code == 806) {
        if (entry.first.columns[0].title.isEmpty() && ZqApp())
            entry.first.columns[0].title = ZqApp()->GetCategoryName(argument);
        ribbonTitle = entry.first.columns[0].title;
    }

    CSetupGridDlg dlg(windowTitle, ribbonTitle, QString(), colourScheme, this);
    CXGridCtrl *first = dlg.BuildGrid(0, entry.first);
    CXGridCtrl *second = entry.second.rows > 0 ? dlg.BuildGrid(1, entry.second) : nullptr;
    dlg.SetSecondBeside(entry.secondBeside);
    if (first->GetRowCount() == 0)
        return;
    dlg.setStripText(SetupStripText(entry, ribbonTitle));
    dlg.setHelpText(entry.helpText);
    first->m_bDeleteEmpty = entry.deleteEmpty;
    if (entry.typeValue < 255) {
        first->m_strStampByteField = QStringLiteral("Type");
        first->m_nStampByte = std::uint8_t(entry.typeValue);
        first->SetKeyBase(entry.typeValue * entry.keyStep);
    } else if (!entry.stampByteField.isEmpty()) {
        first->m_strStampByteField = entry.stampByteField;
        first->m_nStampByte = std::uint8_t(entry.stampByte);
    }
    if (!entry.stampLongField.isEmpty()) {
        first->m_strStampLongField = entry.stampLongField;
        first->m_nStampLong = entry.stampLong;
    }

    const bool opened = ExchangeSetupEntry(entry, *first, second, false);
    // Until everything typed is saved, or the user cancels, the window shows
    // again with what was typed.
    do {
        if (platform::Prompt::execDialog(dlg) != QDialog::Accepted || !opened)
            return;
    } while (!ExchangeSetupEntry(entry, *first, second, true) && !SharedDatabase().isReadOnly());
    if (first->m_nRowsWritten + (second ? second->m_nRowsWritten : 0) == 0)
        return; // nothing was changed, so nothing was written
    platform::Prompt::beep();
    if (entry.reloadProductTypes && ZqApp())
        ZqApp()->LoadProductTypes();
    if (entry.reloadEmployees && ZqApp())
        ZqApp()->ReloadEmployees();
    if (entry.askRestart)
        platform::Prompt::messageBox(QStringLiteral("Your changes will be used after you restart Tavrel."));
}

void CViewDefaults::EditOptionGroups(int firstResource, int lastResource, bool radio, const QString &ribbonTitle,
                                     const QString &stripText)
{
    CDlgOptions dlg(ribbonTitle, stripText, 158, nullptr);
    dlg.AddOptionGroups(firstResource, lastResource, radio, 0);
    // Shown again with every choice when nothing could be saved (a Cancel
    // on the question about another user's save); a shop opened read-only
    // refuses once and the window closes.
    while (dlg.DoModal() == platform::IDOK && !dlg.SaveOptionGroups() && !SharedDatabase().isReadOnly()) {
    }
}
