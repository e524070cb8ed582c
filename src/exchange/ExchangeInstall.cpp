#include "exchange/ExchangeInstall.h"

#include "exchange/export/CExport.h"

#include "customers/CustomerHooks.h"
#include "views/ListExport.h"

void InstallExchange()
{
    listExporter() = [](int view, int branch, int entry, const QString &name, CXListCtrl *list, bool allRows,
                        int format) {
        CExport exporter;
        exporter.ExportList(view, branch, entry, name, list, allRows, format);
    };
    // A contact list prints the listed contacts; a customer list asks whose
    // addresses.
    customerHooks().addressLabels = [](CXListCtrl &list, int mode, QWidget *) {
        CExport exporter;
        exporter.PrintAddressLabels(&list, mode == 1 ? 1 : 0, false);
    };
}
