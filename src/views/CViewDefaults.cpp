#include "views/CViewDefaults.h"

#include "app/base/TextUtil.h"
#include "controls/CXGridCtrl.h"
#include "controls/CXListCtrl.h"
#include "controls/CXTreeCtrl.h"
#include "data/CXDaoSet.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "resources/Strings.h"
#include "views/CSetupGridDlg.h"
#include "views/SetupCatalogue.h"

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
        first.ExchangeRecordset(set, true, 0);
        if (second) {
            set.Requery();
            second->ExchangeRecordset(set, true, entry.secondSkip);
        }
    }
    set.Close();
    return true;
}

void CViewDefaults::EditSetupTable(int code, int argument, int colourScheme)
{
    SetupEntry entry;
    if (!DescribeSetupEntry(code, argument, entry)) {
        // Settings rows, option groups, passwords and the printed-forms
        // dialogs are edited by their own windows.
        if (code == 101 || code == 102 || code == 201 || code == 202 || code == 203 || code == 301 ||
            (code >= 304 && code <= 307) || code == 506)
            ReportNotAvailable(QStringLiteral("This settings window"));
        return;
    }
    QString windowTitle;
    QString ribbonTitle;
    if (code < 1000) {
        const int resource = 44180 + code / 100;
        windowTitle = GetResourceListItem(resource, 0);
        if (code != 806)
            ribbonTitle = GetResourceListItem(resource, code % 100);
    }
    if (!entry.ribbonTitle.isEmpty())
        ribbonTitle = entry.ribbonTitle;
    if (code == 806)
        ribbonTitle = entry.first.columns[0].title; // the category's name, when the caller has one

    CSetupGridDlg dlg(windowTitle, ribbonTitle, QString(), colourScheme, this);
    CXGridCtrl *first = dlg.BuildGrid(0, entry.first);
    CXGridCtrl *second = entry.second.rows > 0 ? dlg.BuildGrid(1, entry.second) : nullptr;
    if (first->GetRowCount() == 0)
        return;
    dlg.setStripText(SetupStripText(entry, ribbonTitle));
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
    if (platform::Prompt::execDialog(dlg) != QDialog::Accepted || !opened)
        return;
    if (!ExchangeSetupEntry(entry, *first, second, true))
        return;
    platform::Prompt::beep();
    if (entry.askRestart)
        platform::Prompt::messageBox(QStringLiteral("Your changes will be used after you restart Tavrel."));
}
