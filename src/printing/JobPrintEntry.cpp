#include "printing/JobPrintEntry.h"

#include "app/base/CZqApp.h"
#include "app/base/PrintService.h"
#include "controls/CXListCtrl.h"
#include "jobs/JobHooks.h"
#include "printing/CPrintForm.h"
#include "views/CView0.h"

int PrintJobDocuments(int documentChoice, int branch, int entry, qint32 jobId, QWidget *list, QWidget *view)
{
    CPrintForm *form = CPrintForm::Instance();
    if (!form) {
        ReportJobFeatureNotAvailable(QStringLiteral("Printing"));
        return 0;
    }
    ViewPrintRequest request;
    request.viewId = 30001;
    request.branch = branch;
    request.item = entry;
    request.key = jobId;
    request.list = qobject_cast<CXListCtrl *>(list);
    request.view = view;
    // 30330 chooses from every document; the direct commands preselect one.
    request.preselection = documentChoice;
    if (auto *jobsView = qobject_cast<CView0 *>(view)) {
        request.viewName = jobsView->viewName();
        request.listCaption = jobsView->listCaption();
        request.filterText = jobsView->filterSql();
        request.pendingCommand = jobsView->pendingCommand();
        if (jobsView->itemText() == QLatin1String("Discrepancies")) {
            request.viewId = 44240;
            request.key = 0;
        }
    }
    return form->PrintView(request);
}

void InstallJobDocumentPrinting()
{
    GetJobHooks().printJobDocuments = PrintJobDocuments;
    GetJobHooks().printPaymentReceipt = [](const ReceiptData &receipt, QWidget *) {
        if (CZqApp *app = ZqApp())
            if (PrintService *printer = app->printService())
                printer->PrintReceipt(receipt);
    };
}
