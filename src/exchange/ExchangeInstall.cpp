#include "exchange/ExchangeInstall.h"

#include "exchange/export/CExport.h"

#include "controls/CXListCtrl.h"
#include "customers/CustomerHooks.h"
#include "jobs/JobHooks.h"
#include "views/ListExport.h"

void InstallExchange()
{
    listExporter() = [](int view, int branch, int entry, const QString &name, CXListCtrl *list, bool allRows,
                        int format) {
        CExport exporter;
        exporter.ExportList(view, branch, entry, name, list, allRows, format);
    };
    listXmlExporter() = [](const QString &prefix, const QString &name, const QString &heading) {
        CExport exporter;
        exporter.ExportListXml(prefix, name, heading);
    };
    GetJobHooks().exportJobsXml = [](QWidget *list, const QString &) {
        CExport exporter;
        exporter.ExportJobsXml(qobject_cast<CXListCtrl *>(list), 0);
    };
    GetJobHooks().exportJobXml = [](qint32 jobId, QWidget *) {
        CExport exporter;
        exporter.ExportJobsXml(nullptr, jobId);
    };
    // A contact list prints the listed contacts; a customer list asks whose
    // addresses.
    customerHooks().addressLabels = [](CXListCtrl &list, int mode, QWidget *) {
        CExport exporter;
        exporter.PrintAddressLabels(&list, mode == 1 ? 1 : 0, false);
    };
}
