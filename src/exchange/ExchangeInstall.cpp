#include "exchange/ExchangeInstall.h"

#include "exchange/export/CExport.h"

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
    // A contact list prints the listed contacts; a customer list asks whose
    // addresses.
    customerHooks().addressLabels = [](CXListCtrl &list, int mode, QWidget *) {
        CExport exporter;
        exporter.PrintAddressLabels(&list, mode == 1 ? 1 : 0, false);
    };
    // The label dialog's list: one merge record per box.
    GetJobHooks().printShippingLabels = [](const QList<JobHooks::LabelRow> &rows, QWidget *) {
        QList<CExport::Shipment> shipments;
        for (const JobHooks::LabelRow &row : rows)
            shipments << CExport::Shipment{row.itemId, row.description, QString::number(row.shipped),
                                           QString::number(row.perBox), QString::number(row.boxes),
                                           QString::number(row.shiptoNo)};
        CExport exporter;
        exporter.PrintShippingLabels(shipments);
    };
}
