#include "jobs/CViewJobs.h"

#include "app/base/CZqApp.h"
#include "controls/CXListCtrl.h"
#include "data/DaoError.h"
#include "data/JobTypes.h"
#include "data/SharedDatabase.h"
#include "jobs/CFindJob.h"
#include "jobs/CJobCompare.h"
#include "jobs/JobCopy.h"
#include "platform/Prompt.h"
#include "resources/Strings.h"
#include "views/CDlgGrid.h"
#include "views/CDlgOptions.h"

#include <algorithm>

namespace {

constexpr int kPrint = 30330;

// The fields a copy updates, as check boxes: the stored choices ticked, the
// last two ("ask" and "tell") not offered. Cancel updates nothing.
int ChooseCopyUpdates(const QString &title, int optionId, int mask, QWidget *parent)
{
    CDlgOptions dlg(title,
                    QStringLiteral("Click OK to update the selected fields. Click Cancel not to update any field."), 0,
                    parent);
    dlg.AddCheckGroup(QStringLiteral("Select the fields to be updated with current default data:"), 0);
    QStringList pieces = LoadResourceString(optionId).split(QLatin1Char(','));
    // The group's own caption first, and the text after the last comma is none.
    const int offered = std::max(0, int(pieces.size()) - 2 - 2);
    for (int n = 0; n < offered; ++n)
        dlg.AddEntry(n + 1, pieces.value(n + 1), (mask & (1 << n)) ? 1 : 0);
    if (dlg.DoModal() != IDOK_RESULT)
        return 0;
    int chosen = 0;
    for (int n = 0; n < offered; ++n)
        if (dlg.IsEntryChecked(n + 1))
            chosen |= 1 << n;
    return chosen;
}

// The grid of what the update changed; true when the user chose OK.
class ChangesGrid : public CDlgGrid
{
public:
    ChangesGrid(QWidget *parent, int rows) : CDlgGrid(420, parent, 1, 214)
    {
        constexpr int width = 370;
        const int shown = std::clamp(rows, 3, 16);
        AddStandardLayout(QSize(width + 2 * kMargin, shown * 24 + 200), QRect(kMargin, 76, width, shown * 24 + 30));
    }
};

bool ShowCopyChanges(const JobCopy &copy, QWidget *parent)
{
    ChangesGrid grid(parent, int(copy.m_changes.size()));
    grid.m_strWindowTitle = copy.m_strChangesTitle;
    grid.m_strRibbonTitle = copy.m_strChangesHeader;
    grid.m_strStripText = QStringLiteral("Click OK to open the new job. ");
    if (copy.m_changes.isEmpty()) {
        grid.m_wndGrid.AddColumn(QStringLiteral("No Data Changed"), 350, 1, QString(), 0);
        grid.m_wndGrid.SetRows(0, 3, false);
    } else {
        grid.m_wndGrid.AddColumn(QStringLiteral("Field Name"), 150, 1, QString(), 0);
        grid.m_wndGrid.AddColumn(QStringLiteral("Data Was "), 100, 1, QString(), 0);
        grid.m_wndGrid.AddColumn(QStringLiteral("New Job Data "), 100, 1, QString(), 0);
        const int rows = int(copy.m_changes.size());
        grid.m_wndGrid.SetRows(rows, std::clamp(rows, 3, 16), false);
        for (int r = 0; r < rows; ++r) {
            const JobCopy::Change &c = copy.m_changes.at(r);
            grid.m_wndGrid.SetCellText(r, 0, c.field);
            grid.m_wndGrid.SetCellText(r, 1, c.was);
            grid.m_wndGrid.SetCellText(r, 2, c.now);
        }
    }
    return grid.DoModal() == IDOK_RESULT;
}

} // namespace

void CViewJobs::OnCopyPaste()
{
    const std::int64_t sourceId = GetSelectedItemData();
    if (sourceId <= 0 || m_list->GetSelectedCount() != 1) {
        platform::Prompt::messageBox(QStringLiteral("Please select one job to copy."));
        return;
    }
    // A shop open for reading only takes no new job: refused once, before
    // anything is asked.
    if (RefusedAsReadOnly(m_jobSet.m_pDatabase ? m_jobSet.m_pDatabase : &SharedDatabase(),
                          QStringLiteral("Cannot paste the job")))
        return;
    ReadTreeSelection();
    int newType = -1;
    bool credit = false;
    bool revised = false;
    if (m_nBranch == CJobSet::PellOrder || m_nBranch == CJobSet::PellQuote) {
        newType = m_nBranch - 4;
        if (platform::Prompt::messageBox(QStringLiteral("Paste the job as a New ") +
                                             (newType == 0 ? QStringLiteral("Order?") : QStringLiteral("Quote?")),
                                         QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) !=
            platform::IDYES)
            return;
    } else {
        CDlgOptions dlg(QStringLiteral("Copy and Paste the Selected Job"), QString(), 0, this);
        dlg.AddRadioGroup(QStringLiteral("Paste as a new:"), 0);
        const QStringList types{QStringLiteral("Order"), QStringLiteral("Quote"), QStringLiteral("Template"),
                                QStringLiteral("History Job")};
        for (int i = 0; i < types.size(); ++i)
            dlg.AddEntry(i + 1, types.at(i), i == 0 ? 1 : 0);
        if (m_nBranch == CJobSet::History) {
            dlg.AddEntry(5, QStringLiteral("Credit Invoice"));
            dlg.AddEntry(6, QStringLiteral("Credit Invoice + Revised Invoice"));
        }
        if (dlg.DoModal() != IDOK_RESULT) {
            if (m_nPendingCommand)
                PostCommand(std::exchange(m_nPendingCommand, 0));
            return;
        }
        const long chosen = dlg.GetCheckedInRange(1, 6);
        if (chosen <= 0)
            return;
        if (chosen >= 5) {
            credit = true;
            revised = chosen == 6;
        } else {
            newType = int(chosen) - 1;
        }
    }
    m_barCode.Reset();

    JobCopy copy(m_jobSet);
    if (credit) {
        if (!copy.CreditInvoice(qint32(sourceId), revised))
            return;
        ShowNewJobList();
        QString text = QStringLiteral("A new order, #%1, has been added to print a Credit Invoice.\nThe Credit Invoice is "
                                      "the same as the Original Invoice but\nits costs, prices, and quantities are "
                                      "reversed.\nTherefore, the Credit Invoice cancels the Original Invoice.\n\n")
                           .arg(copy.m_nCreditJobNo);
        if (revised)
            text += QStringLiteral("A second order, #%1, has been added to 'Revise' the 'Original' invoice.\n\n")
                        .arg(copy.m_nRevisedJobNo);
        text += QStringLiteral("IMPORTANT: \n- Print the Credit Invoice (next step)\n- Post all Credit Invoices (today)");
        platform::Prompt::messageBox(text);
        m_nDocumentChoice = 2;
        PostCommand(kPrint);
        return;
    }
    copy.SetUpdateChooser([this](const QString &title, int optionId, int mask) {
        return ChooseCopyUpdates(title, optionId, mask, this);
    });
    if (!copy.PasteJob(qint32(sourceId), newType, 0))
        return;
    const bool open = !copy.ShowChanges() || ShowCopyChanges(copy, this);
    ShowNewJobList();
    if (open) {
        m_nDocumentChoice = 1;
        RunJobWindow(ModePasted);
    }
}

void CViewJobs::OnItemFinder()
{
    CFindJob finder(this);
    if (finder.DoModal() != IDOK_RESULT)
        return;
    m_nBranch = finder.m_nJobType;
    m_nItem = 1;
    m_strSortText.clear();
    setFilter(finder.m_strResult, finder.m_strResult);
    m_strListCaption = finder.m_strJobTypeLabel + QLatin1Char(' ') + finder.m_strResult;
    FillList();
    m_list->setFocus();
}

void CViewJobs::OnCompareJob()
{
    const std::int64_t jobId = GetSelectedItemData();
    if (jobId <= 0)
        return;
    CJobCompare compare(qint32(jobId), this);
    compare.DoModal();
}

void CViewJobs::FindRecord()
{
    if (m_nFollowUp != 0)
        m_nPendingCommand = std::exchange(m_nFollowUp, 0);
    CView0::FindRecord();
}
