#pragma once

#include "data/PaymentRows.h"
#include "platform/Money.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include "app/base/PrintService.h"

#include <functional>

class QWidget;

// The dialogs of the areas above the jobs (customers, printing, production,
// exchange) that the job window and the jobs view open. Each is a slot the
// program's shell fills at start-up; an empty slot tells the user, through the
// prompt service, that the dialog is not available yet.
//
// Pickers and record dialogs return the dialog's answer (1 OK, 2 Cancel) and
// hand the chosen number back through the reference.
struct JobHooks
{
    // The contact list of a customer titled "Ordered By": the current buyer
    // goes in, the chosen one comes back.
    using PickContact = std::function<int(qint32 cusNo, qint32 &contactNo, int hue, QWidget *parent)>;
    // The ship-to list of a customer titled "Ship To".
    using PickShipto = std::function<int(qint32 cusNo, qint32 &shiptoNo, int hue, QWidget *parent)>;
    // The contact's own dialog, or the ship-to address's own dialog.
    using EditContact = std::function<int(qint32 cusNo, qint32 contactNo, int hue, QWidget *parent)>;
    using EditShipto = std::function<int(qint32 cusNo, qint32 shiptoNo, int hue, QWidget *parent)>;

    // The print dialog for the documents of a job (printing): the document
    // choice (-1 to -4), the list shown (branch and entry), the job, the
    // list and the view. An answer above 0 is a command for the caller.
    using PrintJobDocuments = std::function<int(int documentChoice, int branch, int entry, qint32 jobId,
                                                QWidget *list, QWidget *view)>;
    // The schedule-a-job dialog on the job (production); the dialog's answer.
    using ScheduleJob = std::function<int(qint32 jobId, QWidget *parent)>;
    // The selected jobs of a list to XML (exchange), with the list's caption.
    using ExportJobsXml = std::function<void(QWidget *list, const QString &caption)>;
    // One job to XML (exchange), from the job window.
    using ExportJobXml = std::function<void(qint32 jobId, QWidget *parent)>;
    // The web-order mail reader (exchange): the condition naming the jobs it
    // made, empty when none.
    using ReadWebOrders = std::function<QString(QWidget *parent)>;

    // A new customer made in the customer window (customers): its number
    // and default buyer come back; the answer is 1 when one was made.
    using NewCustomer = std::function<int(qint32 &cusNo, qint32 &buyerNo, QWidget *parent)>;

    // The money-taking dialog (customers): the kind of payment (1 a deposit
    // on an order), the amount due, the customer and the order's number. It
    // fills the payment unsaved, for the caller to write with its own rows;
    // the answer is 1 (save), 30330 (save and print) or 2 (cancelled).
    using TakeDeposit = std::function<int(quint8 kind, Money due, qint32 cusNo, qint32 jobNo, NewPayment &payment,
                                          QWidget *parent)>;

    // The receipt of a quick sale just saved (printing), as the sale's
    // window shows it.
    using PrintPaymentReceipt = std::function<void(const ReceiptData &receipt, QWidget *parent)>;
    // The shipping labels of the listed rows (exchange): per row the item,
    // its description, quantity shipped, quantity per box, boxes and ship-to
    // number, one label per box.
    struct LabelRow
    {
        qint32 itemId = 0;
        QString description;
        qint32 shipped = 0;
        qint32 perBox = 0;
        qint32 boxes = 0;
        qint32 shiptoNo = 0;
    };
    using PrintShippingLabels = std::function<void(const QList<LabelRow> &rows, QWidget *parent)>;
    // The customer summary, and its credit information alone (customers).
    using ShowCustomer = std::function<void(qint32 cusNo, QWidget *parent)>;

    PickContact pickContact;
    PickShipto pickShipto;
    EditContact editContact;
    EditShipto editShipto;
    PrintJobDocuments printJobDocuments;
    ScheduleJob scheduleJob;
    ExportJobsXml exportJobsXml;
    ExportJobXml exportJobXml;
    ReadWebOrders readWebOrders;
    NewCustomer newCustomer;
    TakeDeposit takeDeposit;
    PrintPaymentReceipt printPaymentReceipt;
    PrintShippingLabels printShippingLabels;
    ShowCustomer customerSummary;
    ShowCustomer customerCreditInfo;
};

// The one set of slots of the program.
JobHooks &GetJobHooks();

// Says that a dialog or command is not yet available (the text names it).
void ReportJobFeatureNotAvailable(const QString &what);
