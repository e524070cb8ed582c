#include "exchange/ExchangeInstall.h"

#include "exchange/export/CExport.h"
#include "exchange/mail/CMail.h"
#include "exchange/transfer/CFileTransferDlg.h"
#include "exchange/weborders/CEmailRead.h"
#include "app/base/CZqApp.h"

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
    // The web-order reader; the jobs it saved are listed afterwards.
    GetJobHooks().readWebOrders = [](QWidget *parent) {
        CEmailRead reader(parent);
        reader.DoModal();
        return reader.m_order.m_strSavedJobs;
    };
    GetJobHooks().exportJobXml = [](qint32 jobId, QWidget *) {
        CExport exporter;
        exporter.ExportJobsXml(nullptr, jobId);
    };
    listEmailer() = [](CXListCtrl *list, int viewId, qint32 key, const QString &kind, const QString &attachment) {
        CExport exporter;
        exporter.EmailFromList(list, viewId, key, kind, attachment);
    };
    customerHooks().sendMail = [](const QString &to, const QString &subject, const QString &text) {
        if (CZqApp *app = ZqApp())
            app->SendMail(to, subject, text, QString());
    };
    if (CZqApp *app = ZqApp())
        app->setMailSender([](const QString &to, const QString &subject, const QString &text, const QString &file) {
            CMail mail;
            return mail.Send(to, subject, text, file);
        });
    if (CZqApp *app = ZqApp())
        app->setFileTransferOpener([](long command) {
            CFileTransferDlg dialog(command == 30590 ? CFileTransferDlg::Send : CFileTransferDlg::Download, nullptr);
            dialog.DoModal();
        });
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
