#pragma once

#include "platform/Money.h"

#include <QtCore/QDateTime>
#include <QtCore/QList>
#include <QtCore/QString>

class CXChartCtrl;
class CXGridCtrl;
class CXListCtrl;
class QWidget;

// What a view hands the print entry for its print command (30330): where the
// request comes from, the record of the current row, the list or chart on the
// screen and the texts its list headings show.
struct ViewPrintRequest
{
    int viewId = 0;
    int branch = 0;
    int item = 0;
    // The current row's key (-1 none).
    qint64 key = -1;
    // The list on the screen (none while the chart is shown) and the chart.
    CXListCtrl *list = nullptr;
    CXChartCtrl *chart = nullptr;
    QWidget *view = nullptr;
    QString viewName;
    QString listCaption;
    QString filterText;
    // A caller's choice of document before the dialog opens (a negative
    // kind: -1 the job ticket, -2 the customer documents ...), or 0.
    int preselection = 0;
    // The view's pending command: 30103 (Open) hands neither list nor chart.
    int pendingCommand = 0;
    // The records the view lists, as it counts them on the screen (a list
    // with heading, spacer or expanded rows counts only its records); -1:
    // the list's rows.
    int listedCount = -1;
};

// One sold row of a quick-sale receipt as the sale's grid shows it.
struct ReceiptRow
{
    QString description;
    QString quantity;
    QString price;
    // Rows without a description or without a price are left off.
    bool hasDescription = false;
    Money priceValue;
};

// What a receipt prints: a deposit (no sold rows) or a quick sale.
struct ReceiptData
{
    bool quickSale = false;
    // A deposit's title, such as "Deposit for Order 1234".
    QString title;
    QList<ReceiptRow> rows;
    quint8 taxType = 0;
    Money subtotal;
    Money tax;
    Money secondTax;
    QString paymentType;
    QString reference;
    Money due;
    Money tendered;
    Money change;
    // When the money was taken (the current time when not set).
    QDateTime when;
};

// What the layers below printing ask of the one print engine. The printing
// subsystem implements it and the shell installs it on the application object
// (CZqApp::setPrintService); without it the callers say that printing is not
// available. Commands: 57607 with the printer dialog, 57608 on the form's
// printer without one, 57609 preview; 0 asks first where appropriate.
class PrintService
{
public:
    virtual ~PrintService() = default;

    // A record list on form 100: the three caption lines and "List Size: n".
    // A list without rows prints nothing.
    virtual void PrintList(CXListCtrl *list, const QString &caption1, const QString &caption2,
                           const QString &caption3, int command) = 0;
    // A main view's list, or its chart's table when the chart is shown, with
    // the view's name, list caption and filter as headings.
    virtual void PrintViewList(int viewId, CXListCtrl *list, CXChartCtrl *chart, const QString &viewName,
                               const QString &listCaption, const QString &filterText, int command) = 0;
    // A grid dialog's table: its first grid and, below it, its second one.
    virtual void PrintGrid(QWidget *dialog, CXGridCtrl *grid, CXGridCtrl *secondGrid, const QString &title,
                           const QString &subtitle) = 0;
    // A window (or a part of it) as shown on screen.
    virtual void PrintScreen(QWidget *window, QWidget *part, const QString &title, const QString &partName,
                             int command) = 0;

    // The print command of a view: asks which document and how, prints it
    // (and the further selected rows or list parts of a batch), and returns
    // the command the view carries out next (30103 open the record, 30108
    // mail the attachment just made), or 0.
    virtual int PrintView(const ViewPrintRequest &request) = 0;
    // The file name (in the attachment folder) of the PDF the last print
    // command made for mailing, emptied as it is taken; "" when none.
    virtual QString TakeAttachmentName() { return QString(); }
    // A receipt of a deposit or a quick sale on the receipt form (99): on
    // the form's stored printer at once, else through the printer dialog.
    // The run's result (2 printed).
    virtual int PrintReceipt(const ReceiptData &receipt) = 0;
    // The printouts of a posting the user chose as favourites, one after
    // another; the orders and quick sales posted make its header line.
    virtual void PrintPostingReports(int postingNo, int orders, int quickSales, QWidget *view) = 0;
    // The document forms (setup entry "Document Options").
    virtual void EditDocumentForms(QWidget *parent) = 0;
    // The bar-code settings and sheets (setup entry "Barcode Options"); a
    // sheet chosen there is printed. Answers the print command the window
    // ended with (57607-57609), 0 when it was closed.
    virtual int EditBarCodes(QWidget *parent) = 0;
};
