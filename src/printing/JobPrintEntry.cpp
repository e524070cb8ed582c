#include "printing/JobPrintEntry.h"

#include "app/base/TextUtil.h"
#include "data/CFormsSet.h"
#include "data/CJobSet.h"
#include "data/SharedDatabase.h"
#include "jobs/JobHooks.h"
#include "platform/Prompt.h"
#include "printing/CPrintForm.h"
#include "views/CDlgOptions.h"

namespace {

constexpr long kPreview = CPrint::kPrintPreview;
constexpr long kPrintTo = CPrint::kPrintDialog;
constexpr long kPrintNow = CPrint::kPrintDirect;
// Codes of the document entries: this base + the document kind.
constexpr long kDocumentBase = 46000;

} // namespace

int PrintJobDocuments(int documentChoice, int branch, int entry, qint32 jobId, QWidget *list, QWidget *view)
{
    Q_UNUSED(branch);
    Q_UNUSED(entry);
    Q_UNUSED(list);
    CPrintForm *form = CPrintForm::Instance();
    if (!form) {
        ReportJobFeatureNotAvailable(QStringLiteral("Printing"));
        return 0;
    }
    CJobSet job;
    if (jobId <= 0 || !job.FindById(jobId) || job.IsEOF()) {
        platform::Prompt::messageBox(QStringLiteral("Cannot find the job to print!"), QString(),
                                     platform::MB_ICONEXCLAMATION);
        return 0;
    }
    job.LoadCustomerDiscount();
    job.CalcBalance();
    if (!job.CheckBalance(1, QStringLiteral("Please open the job to fix discrepancy.")))
        return 0;
    if (job.CheckTotals(QStringLiteral(
            "\nTo fix discrepancy: Reprice each Item. If asked, click [Keep Saved Cost and Price].")))
        return 0;

    // The job's stored choice, unless it is an order whose work order was
    // never printed.
    int kind = 0;
    int options = -1;
    if (job.m_PrintOption >= 1 && !(job.m_JobType == CJobSet::Order && job.m_WOrderPrinted == 0)) {
        kind = job.m_PropID1;
        options = job.m_PrintOption;
    }
    if (documentChoice == -1)
        kind = 1;

    // The documents of the job's type that have a form.
    const bool quote = job.m_JobType == CJobSet::Quote;
    QList<std::pair<long, QString>> documents{
        {kDocumentBase + 1, quote ? QStringLiteral("Estimate") : QStringLiteral("Work Order")}};
    CFormsSet forms;
    forms.m_strFilter = QStringLiteral("[No] >= %1 and [No] <= %2").arg(quote ? 12 : 2).arg(quote ? 19 : 9);
    forms.m_strSort = QStringLiteral("[No]");
    if (forms.RequeryOrOpen(false)) {
        for (; !forms.IsEOF(); forms.MoveNext()) {
            QString text = forms.m_Title;
            if (!forms.m_Desc.isEmpty())
                text += QStringLiteral(" - ") + forms.m_Desc;
            documents.append({kDocumentBase + forms.m_No - (quote ? 10 : 0), text});
        }
    }
    // The stored or chosen document, else the first customer document.
    long preselected = documents.size() > 1 ? documents[1].first : documents[0].first;
    for (const auto &d : documents)
        if (kind >= 1 && d.first == kDocumentBase + kind)
            preselected = d.first;

    CDlgOptions dialog(QStringLiteral("Print"), job.GetJobLabel(), 0, view);
    dialog.AddRadioGroup(QStringLiteral("Document"), 0);
    for (const auto &d : documents)
        dialog.AddEntry(d.first, d.second, d.first == preselected ? 1 : 0);
    dialog.AddRadioGroup(QStringLiteral("Print"), 0);
    dialog.AddEntry(kPreview, QStringLiteral("Preview"), 1);
    dialog.AddEntry(kPrintTo, QStringLiteral("Print To..."));
    dialog.AddEntry(kPrintNow, QStringLiteral("Print Now"));
    dialog.m_nSelect = {kPreview, preselected, 0};
    if (dialog.DoModal() != IDOK_RESULT)
        return 0;
    const long chosen = dialog.GetCheckedInRange(kDocumentBase + 1, kDocumentBase + 9);
    const long command = dialog.GetCheckedInRange(kPrintTo, kPreview);
    if (chosen == 0 || command == 0)
        return 0;
    kind = int(chosen - kDocumentBase);
    if (kind != job.m_PropID1)
        options = -1;

    const int check = job.CheckBeforePrint(kind, dialog.GetEntryText(chosen));
    if (check != 0)
        return check;
    if (!form->LoadJobDocument(jobId, kind, 0, options))
        return 0;
    form->PrintLoadedJobDocument(int(command));
    return 0;
}

void InstallJobDocumentPrinting()
{
    GetJobHooks().printJobDocuments = PrintJobDocuments;
}
