#include "exchange/export/CExport.h"

#include "app/base/FileChoice.h"
#include "app/base/Paths.h"
#include "app/base/ProgramPaths.h"
#include "app/base/ShellFiles.h"
#include "controls/CXListCtrl.h"
#include "data/CXDaoSet.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "views/CDlg0.h"
#include "views/CDlgOptions.h"

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kDataSourceKey = QStringLiteral("Path-TemplateDataSource");

// The leading integer of a list cell ("10 boxes" gives 10).
int LeadingInt(const QString &text)
{
    const QString t = text.trimmed();
    int end = 0;
    if (end < t.size() && (t.at(end) == QLatin1Char('-') || t.at(end) == QLatin1Char('+')))
        ++end;
    while (end < t.size() && t.at(end).isDigit())
        ++end;
    return t.left(end).toInt();
}

const QString kItemRecord = QStringLiteral(
    "SELECT Jobs.JobID, Items.ItemID, Customers.Name AS [BillToName], Customers.Address AS [BillToAddress], "
    "Customers.Address2 AS [BillToAddress2], Customers.City AS [BillToCity], Customers.State AS [BillToState], "
    "Customers.Zip AS [BillToZip], Customers.Country AS [BillToCountry], '' AS [Attention], Customers.Name AS [Name], "
    "Customers.Address AS [Address], Customers.Address2 AS [Address2], Customers.City AS [City], Customers.State AS "
    "[State], Customers.Zip AS [Zip], Customers.Country AS [Country], Contacts.Title as [Title], Contacts.Postion, "
    "Contacts.First, Contacts.Last, Contacts.Phone, Contacts.Fax, Jobs.JobType, Jobs.JobNo, Jobs.Title as [JobTitle], "
    "Jobs.FromJobType, Jobs.FromJobNo, Jobs.Status, Jobs.CSRNo, Jobs.SRepNo, Jobs.CusNo, Jobs.ShiptoNo, Jobs.BuyerNo, "
    "Jobs.PostingNo, Jobs.Location, Jobs.PO, Jobs.TimeDue, Jobs.ViaDue, Jobs.TaxNo, Jobs.TermsNo, Jobs.CommType, "
    "Jobs.WOrderPrinted, Jobs.InvoicePrinted, Jobs.Creator, Jobs.DateIn, Jobs.DateProof, Jobs.DateDue, "
    "Jobs.DateShipped, Jobs.DateReorder, Jobs.DatePayDue, Jobs.DatePaid, Jobs.Cost, Jobs.Subtotal, Jobs.Discount, "
    "Jobs.Shipping, Jobs.Postage, Jobs.Tax, Jobs.Latefee, Jobs.Paid, Jobs.Writeoff, Jobs.Balance, Jobs.Commission, "
    "Jobs.PropID1, Jobs.PrintOption, Jobs.ProofTime, Items.ItemNo, Items.Side1, Items.Side2, Items.Covrg, Items.Regis, "
    "Items.PrtAs, Items.Wash, Items.Mix, Items.Bleed, Items.Out, Items.Up, Items.EmpNo, Items.Status as [ItemStatus], "
    "Items.ActualTime, Items.ChargeTime, Items.TimeCost, Items.ActualQty, Items.ChargeQty, Items.MatCost, Items.Cost "
    "as [ItemCost], Items.Price, Items.Days2 as [ItemDays2], Items.Tag1 as [ItemTag1] FROM Customers INNER JOIN "
    "(Contacts RIGHT JOIN (Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) ON Contacts.ContactNo = Jobs.BuyerNo) "
    "ON Customers.CusNo = Jobs.CusNo WHERE Items.ItemID = ");

} // namespace

QString CExport::DataSourceFolder()
{
    QString folder = platform::Settings::readString(kSettings, kDataSourceKey, QString());
    if (folder.isEmpty())
        folder = DataFolder();
    if (!folder.isEmpty())
        AddTrailingBackslash(folder);
    return folder;
}

bool CExport::OpenDataSourceFile(const QString &fileName)
{
    QString folder = DataSourceFolder();
    for (;;) {
        const QString path = folder + fileName;
        if (OpenOutput(path))
            return true;
        const int answer = platform::Prompt::messageBox(
            QStringLiteral("Cannot create: ") + path + QStringLiteral("\n\n") + m_strError +
                QStringLiteral("\n - the file may be open in another application or\n - you don't have permission to "
                               "save in ") +
                folder +
                QStringLiteral("\n\nDo you want to create it in a different folder?\n\na) Click No, if the file is open "
                               "in another application, such as your word processor. Close the file and try again.\n\n"
                               "b) Click Yes to select a new [Data Source] folder. Your word processor will also ask "
                               "you to [Find Data Source...]"),
            QString(), platform::MB_YESNO | platform::MB_ICONHAND);
        if (answer != platform::IDYES)
            return false;
        QString chosen;
        if (!BrowseForFolder(nullptr, chosen, QStringLiteral("Please select a folder")) || chosen.isEmpty())
            return false;
        AddTrailingBackslash(chosen);
        folder = chosen;
        platform::Settings::writeString(kSettings, kDataSourceKey, folder);
    }
}

bool CExport::chooseTemplate(const QString &defaultName, int count, QString &path)
{
    // The dialog always starts in the database folder; a template chosen
    // elsewhere is not remembered.
    QString folder = DataFolder();
    QString name = defaultName;
    const QString prefix = defaultName.left(4);
    const QString filter = QStringLiteral("Document Templates (%1*.dot %1*.ott)|%1*.dot %1*.ott||").arg(prefix);
    const QString title = QStringLiteral("Please select a template to print %1 label%2")
                              .arg(count)
                              .arg(count > 1 ? QStringLiteral("s") : QString());
    if (!ChooseFile(true, folder, name, QStringLiteral(".dot"), filter, title, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY))
        return false;
    path = folder + name;
    return true;
}

void CExport::PrintAddressLabels(CXListCtrl *rowsList, int choice, bool allRows)
{
    list = rowsList;
    bool replaceLineBreaks = false;
    if (choice == 0) {
        CDlgOptions options(QStringLiteral("Print Address Labels"), QString(), 0, nullptr);
        options.AddRadioGroup(QStringLiteral("Labels for:"), 0);
        options.AddEntry(2, QStringLiteral("All Contacts"), 1);
        options.AddEntry(3, QStringLiteral("Default Buyers"));
        options.AddEntry(4, QStringLiteral("Default Payers"));
        options.AddRadioGroup(QStringLiteral("Which Rows?"), 0);
        const bool several = selectedCount() > 1;
        options.AddEntry(101, QStringLiteral("All Rows"), several ? 0 : 1);
        options.AddEntry(102, QStringLiteral("Selected Rows"), several ? 1 : 0);
        options.AddRadioGroup(QStringLiteral("Replace Line-Breaks with Spaces?"), 0);
        options.AddEntry(201, QStringLiteral("No"), 1);
        options.AddEntry(202, QStringLiteral("Yes"));
        options.m_nSelect = {2, selectedCount() > 1 ? 102L : 101L, 201};
        if (options.DoModal() != IDOK_RESULT)
            return;
        choice = int(options.GetCheckedInRange(2, 4));
        if (choice <= 0)
            choice = 2;
        allRows = options.IsEntryChecked(101);
        replaceLineBreaks = options.IsEntryChecked(202);
    } else if (!AskWhichRows(allRows, QStringLiteral("Print Address Labels"), false)) {
        return;
    }
    separator = '\t';
    if (!OpenDataSourceFile(QStringLiteral("Address.txt")))
        return;
    const int count = WriteAddressList(choice, allRows, replaceLineBreaks);
    // Stopped by the user, or no address found: no data file (the one
    // there stays), and no template opened.
    if (!FinishOutput(count)) {
        if (WriteFailed())
            ReportWriteFailure();
        return;
    }
    QString templatePath;
    if (!chooseTemplate(QStringLiteral("Address Label 1up.dot"), count, templatePath))
        return;
    ShellExecuteFile(QStringLiteral("open"), templatePath, QString(), GetFolderPart(templatePath));
}

int CExport::WriteShippingLabels(const QList<Shipment> &shipments)
{
    separator = '\t';
    // The word processor's merge reads one label a line and takes no quotes:
    // a line break or TAB in any value is written as a blank.
    unquoted = true;
    const auto plain = [this](QString text) {
        FormatField(text, false);
        return text;
    };
    {
        CXDaoSet header;
        OpenQuery(header, kItemRecord + QStringLiteral("0"));
        if (header.IsOpen())
            WriteFieldNames(header, QString(QLatin1Char('\t')));
    }
    // The merge names its fields by these names exactly: no blank around one.
    WriteCommaList(QStringLiteral("JobBarcode,ItemBarcode,Description,QtyShipped,QtyPerBox,BoxNo,TotalBoxes,"),
                   QStringLiteral("\n"));

    int labels = 0;
    for (const Shipment &shipment : shipments) {
        if (m_bFailed)
            break;
        CXDaoSet item;
        OpenQuery(item, kItemRecord + QString::number(shipment.itemId));
        // An item that no longer exists is skipped.
        if (!item.IsOpen() || item.IsEmptySet())
            continue;
        const int shipped = LeadingInt(shipment.shipped);
        const int perBox = LeadingInt(shipment.perBox);
        const int boxes = LeadingInt(shipment.boxes);
        const int shiptoNo = LeadingInt(shipment.shiptoNo);

        QStringList shipTo;
        if (shiptoNo != 0) {
            CXDaoSet address;
            OpenQuery(address,
                         QStringLiteral("SELECT Attention, Company, Address, Address2, City, State, Zip, Country FROM "
                                        "ShipTo WHERE ShiptoNo = %1")
                             .arg(shiptoNo));
            if (address.IsOpen() && !address.IsEmptySet()) {
                for (int f = 0; f < 8; ++f) {
                    QString text;
                    address.GetFieldText(f, text, false);
                    shipTo.append(text);
                }
            }
        }
        const int fields = item.GetFieldCount();
        QString record;
        for (int f = 0; f < fields; ++f) {
            QString text;
            if (f >= 9 && f <= 16 && shipTo.size() == 8)
                text = shipTo.at(f - 9);
            else
                item.GetFieldText(f, text, false);
            FormatField(text, true);
            record += text;
        }
        QString jobId, itemId;
        item.GetFieldText(0, jobId, false);
        item.GetFieldText(1, itemId, false);

        int remaining = shipped;
        for (int box = 1; box <= boxes; ++box) {
            const QString inBox = box < boxes ? shipment.perBox : QString::number(remaining);
            Write(record + QStringLiteral("*^%1#*").arg(jobId) + QLatin1Char('\t') + QStringLiteral("*&%1#*").arg(itemId) +
                  QLatin1Char('\t') + plain(shipment.description) + QLatin1Char('\t') + plain(shipment.shipped) +
                  QLatin1Char('\t') + plain(inBox) + QLatin1Char('\t') + QString::number(box) + QLatin1Char('\t') +
                  plain(shipment.boxes) + QLatin1Char('\n'));
            ++labels;
            remaining -= perBox;
        }
    }
    unquoted = false;
    return labels;
}

void CExport::PrintShippingLabels(const QList<Shipment> &shipments)
{
    if (!OpenDataSourceFile(QStringLiteral("Shipping Label.txt")))
        return;
    const int labels = WriteShippingLabels(shipments);
    // No label to print (no item found): the data file there stays.
    if (!FinishOutput(labels)) {
        if (WriteFailed())
            ReportWriteFailure();
        return;
    }
    QString templatePath;
    if (!chooseTemplate(QStringLiteral("Shipping Label.dot"), labels, templatePath))
        return;
    ShellExecuteFile(QStringLiteral("open"), templatePath, QString(), GetFolderPart(templatePath));
}
