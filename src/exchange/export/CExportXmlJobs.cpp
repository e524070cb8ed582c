#include "exchange/export/CExport.h"

#include "exchange/export/XmlText.h"

#include "app/base/CZqApp.h"
#include "app/base/Codes.h"
#include "app/base/FileChoice.h"
#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "app/base/ShellFiles.h"
#include "app/base/TextUtil.h"
#include "controls/CXListCtrl.h"
#include "data/CItemSetX.h"
#include "data/CJobSet.h"
#include "data/CodeLookups.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "resources/Strings.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtGui/QGuiApplication>

// Jobs as XML: one document of Job elements with their people, items and
// service rows, for a stylesheet template or another program.

namespace {

const QString kTab = QStringLiteral("\t");

// The columns of each row, in the order the documents have always listed
// them (a stylesheet addresses them by name, some by position).
const char *const kJobColumns =
    "JobID, JobType, JobNo, Title, FromJobType, FromJobNo, Status, CSRNo, SRepNo, CusNo, ShiptoNo, BuyerNo, "
    "PostingNo, Location, PO, DateIn, DateProof, DateDue, DateShipped, DateReorder, DatePayDue, DatePaid, TimeDue, "
    "ViaDue, TaxNo, TermsNo, Cost, Subtotal, Discount, Shipping, Postage, Tax, Latefee, Paid, Writeoff, Balance, "
    "Commission, CommType, WOrderPrinted, InvoicePrinted, WOrderNote, InvoiceNote, Creator, PropID1, PrintOption, "
    "PrintOption2, ProofTime, Taxable, Taxable2, Tax2";
const char *const kItemColumns =
    "ItemID, Description, Note, JobID, SerNo, ItemNo, SubNo, SortNo, Width, Height, Sheets, Pages, Out, Up, Data1, "
    "Data2, Side1, Side2, Covrg, Regis, Bleed, PrtAs, Vendor, Opt1, Opt2, Opt3, Opt4, Wash, Mix, EmpNo, Status, "
    "Days2, Tag1, Tag2, ActualTime, ChargeTime, ActualQty, ChargeQty, TimeCost, MatCost, Cost, Price";
const char *const kCustomerColumns =
    "CusNo, Name, Address, Address2, City, State, Zip, Country, ShiptoNo, BuyerNo, PayerNo, Business, Source, "
    "Location, ShipVia, SRepNo, Tax, Terms, Priority, POReq, LateFee, Statement, WebAccess, AlertIf, CusStatus, "
    "PriceLevel, PriceRound, Discount, Alert1, Alert2, Alert3, DateCreated, DateModified, CreditDue, CreditLimit, "
    "CusID, GroupID, Memo, ParentNo, PropID";
const char *const kShiptoColumns =
    "ShiptoNo, CusNo, Type, Attention, Company, Address, Address2, City, State, Zip, Country, Phone, ShipNote, "
    "ShipBy, TaxBy, Created, Modified";
const char *const kEmployeeColumns = "EmpNo, Name, Type, CommRate, PercentOf";

// A rate in hundredths of a percent as "%g" of percent.
QString RateText(qint32 rate)
{
    return QString::asprintf("%g", double(rate) * 0.01);
}

QString ListItem(int list, int n)
{
    return GetResourceListItem(list, n);
}

// "%g x %g", one figure when only one is positive, empty for neither.
QString SizeText(double width, double height)
{
    if (width > 0 && height > 0)
        return QString::asprintf("%g x %g", width, height);
    if (width > 0)
        return QString::asprintf("%g", width);
    if (height > 0)
        return QString::asprintf("%g", height);
    return QString();
}

} // namespace

QString CExport::XmlJobTemplateFolder()
{
    return DataFolder() + QStringLiteral("XML") + QDir::separator() + QStringLiteral("jobtemplates") +
           QDir::separator();
}

QString CExport::XmlJobFileFolder()
{
    return DataFolder() + QStringLiteral("XML") + QDir::separator() + QStringLiteral("jobfiles") + QDir::separator();
}

// --- one job -----------------------------------------------------------------------

void CExport::WriteXmlJob(CJobSet &job, int &counter, bool withServices)
{
    ++counter;
    Write(QStringLiteral("<Job>\n"));
    WriteXmlIntElement(QStringLiteral("Counter"), counter, kTab);
    WriteXmlElement(QStringLiteral("JobName"), ListItem(IDS_JOB_TYPES, job.m_JobType), kTab);
    {
        CXDaoSet row;
        OpenQuery(row, QStringLiteral("SELECT %1 FROM Jobs WHERE JobID = %2")
                                               .arg(QLatin1String(kJobColumns))
                                               .arg(job.m_JobID));
        if (row.IsOpen() && !row.IsEmptySet())
            WriteXmlRecord(row, QString(), kTab);
    }
    QString text;
    job.GetFromJobText(text);
    WriteXmlElement(QStringLiteral("Source"), text, kTab);
    job.GetViaDueName(text);
    WriteXmlElement(QStringLiteral("ShipBy"), text, kTab);
    job.GetTermsName(text);
    WriteXmlElement(QStringLiteral("Terms"), text, kTab);
    WriteXmlElement(QStringLiteral("Total"), FormatMoneyGrouped(job.m_TotalAmount), kTab);
    WriteXmlElement(QStringLiteral("DiscRate"), RateText(job.m_DiscountRate), kTab);
    WriteXmlElement(QStringLiteral("CommRate"), RateText(job.m_CommissionRate), kTab);
    job.GetBarcodeText(text);
    WriteXmlElement(QStringLiteral("Barcode"), text, kTab);

    WriteXmlCustomer(job.m_CusNo, kTab);
    WriteXmlBuyer(job.m_BuyerNo, kTab);
    WriteXmlShipto(job.m_ShiptoNo, kTab);
    WriteXmlEmployee(job.m_CSRNo, kTab);
    WriteXmlEmployee(job.m_SRepNo, kTab);
    WriteXmlJobItems(job.m_JobID, withServices, kTab);
    Write(QStringLiteral("</Job>\n"));
}

static void WriteRowByKey(CExport &out, const QString &sql, const QString &element, const QString &indent)
{
    CXDaoSet row;
    if (out.OpenQuery(row, sql) && !row.IsEmptySet())
        out.WriteXmlRecord(row, element, indent);
}

void CExport::WriteXmlEmployee(quint8 empNo, const QString &indent)
{
    if (empNo == 0)
        return;
    CXDaoSet row;
    OpenQuery(row,
             QStringLiteral("SELECT %1 FROM Employees WHERE EmpNo = %2").arg(QLatin1String(kEmployeeColumns)).arg(empNo));
    if (!row.IsOpen() || row.IsEmptySet())
        return;
    const qint32 type = row.GetLongByName(QStringLiteral("Type"));
    const QString element = type == 2 ? QStringLiteral("SalesRep")
        : type == 1                   ? QStringLiteral("CSR")
                                      : QStringLiteral("Operator");
    WriteXmlRecord(row, element, indent);
}

void CExport::WriteXmlCustomer(qint32 cusNo, const QString &indent)
{
    if (cusNo != 0)
        WriteRowByKey(*this,
                      QStringLiteral("SELECT %1 FROM Customers WHERE CusNo = %2")
                          .arg(QLatin1String(kCustomerColumns))
                          .arg(cusNo),
                      QStringLiteral("Customer"), indent);
}

void CExport::WriteXmlBuyer(qint32 contactNo, const QString &indent)
{
    if (contactNo != 0)
        WriteRowByKey(*this, QStringLiteral("SELECT * FROM Contacts WHERE ContactNo = %1").arg(contactNo),
                      QStringLiteral("Buyer"), indent);
}

void CExport::WriteXmlShipto(qint32 shiptoNo, const QString &indent)
{
    if (shiptoNo != 0)
        WriteRowByKey(*this,
                      QStringLiteral("SELECT %1 FROM Shipto WHERE ShiptoNo = %2")
                          .arg(QLatin1String(kShiptoColumns))
                          .arg(shiptoNo),
                      QStringLiteral("Shipto"), indent);
}

void CExport::WriteXmlVendor(qint32 vendorNo, const QString &indent)
{
    if (vendorNo != 0)
        WriteRowByKey(*this, QStringLiteral("SELECT * FROM Vendors WHERE [No] = %1").arg(vendorNo),
                      QStringLiteral("Vendor"), indent);
}

// --- items and services ------------------------------------------------------------

void CExport::WriteXmlJobItems(qint32 jobId, bool withServices, const QString &indent)
{
    CItemSetX items;
    const bool found = withServices ? items.OpenJobItemsAndServices(jobId) : items.OpenJobItems(jobId);
    if (!found)
        return;
    const QString in2 = indent + kTab;
    const QString in3 = in2 + kTab;
    const QString in4 = in3 + kTab;
    bool itemOpen = false;
    for (; !items.IsEOF() && !WriteFailed(); items.MoveNext()) {
        items.GetDescription(QStringLiteral("?"), false);
        const bool isService = items.m_SerNo != 0;
        QString fieldIndent = in2;
        if (!isService) {
            if (itemOpen)
                Write(indent + QStringLiteral("</Item>\n"));
            Write(QStringLiteral("\n") + indent + QStringLiteral("<Item>\n"));
            itemOpen = true;
        } else {
            const qint32 catNo = items.m_nCatNo;
            CachedCode category;
            LookupCode(CodeTable::ServiceCategories, catNo, category);
            CachedCode department;
            LookupCode(CodeTable::ServiceDepartments, category.number1, department);
            const QString kind = IsPaperCategory(catNo) ? QStringLiteral("PAPER")
                : (catNo >= 201 && catNo <= 399)         ? QStringLiteral("PRINT")
                                                         : department.text;
            Write(in2 + QStringLiteral("<Service id=\"%1\" name=\"%2\">\n").arg(category.number1).arg(XmlEscape(kind)));
            WriteXmlIntElement(QStringLiteral("DepNo"), category.number1, in3);
            WriteXmlElement(QStringLiteral("DepName"), department.text, in3);
            WriteXmlIntElement(QStringLiteral("CatNo"), catNo, in3);
            WriteXmlElement(QStringLiteral("CatName"), category.text, in3);
            WriteXmlElement(QStringLiteral("SerName"), items.m_Service.GetStringByName(QStringLiteral("Name")), in3);
            WriteXmlElement(QStringLiteral("SerName2"), items.m_Service.GetStringByName(QStringLiteral("Name2")), in3);
            QString run;
            items.GetRunText(run, false, false, false, false);
            WriteXmlElement(QStringLiteral("SerDesc1"), run, in3);
            const QString description = items.m_strDescription;
            items.GetInkText(false);
            WriteXmlElement(QStringLiteral("SerDesc2"), items.m_strDescription, in3);
            items.m_strDescription = description;
            WriteXmlIntElement(QStringLiteral("SerStatus"), items.m_Service.GetLongByName(QStringLiteral("SerStatus")),
                               in3);
            if (IsPaperCategory(catNo)) {
                const bool digital = IsDigitalCategory(catNo);
                WriteXmlElement(QStringLiteral("SerSize"), SizeText(items.m_Width, items.m_Height), in3);
                WriteXmlElement(QStringLiteral("RunSize"), items.m_strRunSize, in3);
                WriteXmlElement(QStringLiteral("FinSize"), items.m_strFinishSize, in3);
                WriteXmlElement(QStringLiteral("Color"), items.m_strPlainNote, in3);
                WriteXmlElement(QStringLiteral("Side1"), GetInkColorsText(items.m_Side1, digital), in3);
                WriteXmlElement(QStringLiteral("Side1Ink"), items.m_strFrontInks, in3);
                WriteXmlElement(QStringLiteral("Side2"), GetInkColorsText(items.m_Side2, digital), in3);
                WriteXmlElement(QStringLiteral("Side2Ink"), items.m_strBackInks, in3);
                WriteXmlElement(QStringLiteral("Coverage"), ListItem(IDS_DIFFICULTY, items.m_Covrg), in3);
                WriteXmlElement(QStringLiteral("Registration"), ListItem(IDS_DIFFICULTY, items.m_Regis), in3);
                WriteXmlElement(QStringLiteral("Bleed"), ListItem(IDS_BLEED_SIDES, items.m_Bleed), in3);
                WriteXmlElement(QStringLiteral("PrintAs"), ListItem(IDS_PRINT_STYLES, items.m_PrtAs), in3);
            }
            WriteXmlVendor(items.m_Vendor, in3);
            fieldIndent = in3;
        }
        {
            CXDaoSet row;
            OpenQuery(row, QStringLiteral("SELECT %1 FROM Items WHERE ItemID = %2")
                                                   .arg(QLatin1String(kItemColumns))
                                                   .arg(items.m_ItemID));
            if (row.IsOpen() && !row.IsEmptySet())
                WriteXmlRecord(row, QString(), fieldIndent);
        }
        WriteXmlElement(QStringLiteral("TimeAct"), items.m_strActualTime, fieldIndent);
        WriteXmlElement(QStringLiteral("QtyAct"), items.m_strActualQty, fieldIndent);
        WriteXmlElement(QStringLiteral("Time"), items.m_strChargeTime, fieldIndent);
        WriteXmlElement(QStringLiteral("Qty"), items.m_strChargeQty, fieldIndent);
        WriteXmlElement(QStringLiteral("UPrice"), items.m_strUnitPrice, fieldIndent);
        WriteXmlElement(QStringLiteral("_Price"), items.m_strPrice, fieldIndent);
        WriteXmlElement(QStringLiteral("Barcode"), QStringLiteral("*&%1#*").arg(items.m_ItemID), fieldIndent);
        if (!isService) {
            QString sample;
            if (CZqApp *app = ZqApp())
                app->GetSamplePath(sample, items.m_ItemID);
            if (!sample.isEmpty()) {
                const int slash = int(std::max(sample.lastIndexOf(QLatin1Char('\\')), sample.lastIndexOf(QLatin1Char('/'))));
                WriteXmlElement(QStringLiteral("FileName"), sample.mid(slash + 1), fieldIndent);
                WriteXmlElement(QStringLiteral("FullPath"), sample, fieldIndent);
            }
        } else {
            Write(in2 + QStringLiteral("</Service>\n"));
        }
    }
    if (itemOpen)
        Write(indent + QStringLiteral("</Item>\n"));
}

// --- the export ------------------------------------------------------------------------

void CExport::ExportJobsXml(CXListCtrl *jobList, qint32 jobId)
{
    if (!jobList) {
        exportJobs({jobId}, false);
        return;
    }
    QList<qint32> selected;
    for (int row = 0; row < jobList->GetItemCount(); ++row)
        if (jobList->IsItemSelected(row))
            selected.append(qint32(jobList->GetItemData(row)));
    exportJobs(selected, true);
}

void CExport::ExportJobIdsXml(const QList<qint32> &jobIds)
{
    exportJobs(jobIds, true);
}

void CExport::exportJobs(const QList<qint32> &selected, bool fromList)
{
    const int count = fromList ? int(selected.size()) : 1;
    const qint32 jobId = selected.isEmpty() ? 0 : selected.first();
    if (count > 100 &&
        platform::Prompt::messageBox(QStringLiteral("Exporting ") + QString::number(count) +
                                         QStringLiteral(" jobs may take a few minutes. \n\nDo you want to continue?"),
                                     QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
        return;

    CJobSet job;
    if (!job.FindById(jobId)) {
        platform::Prompt::messageBox(QStringLiteral("Job not found!"));
        return;
    }
    QString base = ListItem(IDS_JOB_TYPES, job.m_JobType);
    QString heading;
    if (count <= 1) {
        base += QString::number(job.m_JobNo);
        heading = base;
    } else {
        base += QLatin1Char('s');
        heading = QStringLiteral("%1 (%2 selected)").arg(base).arg(count);
    }

    QString folder = XmlJobTemplateFolder();
    QDir().mkpath(folder);
    QString name = QStringLiteral("XMLOnly.xslt");
    if (!ChooseFile(true, folder, name, QStringLiteral("xslt"),
                    QStringLiteral("Templates (*.xslt)|*.xslt|All Files (*.*)|*.*||"),
                    QStringLiteral("Select a template"), OFN_HIDEREADONLY))
        return;

    QString fileName;
    QString stylesheet;
    if (!QFileInfo::exists(folder + name)) {
        fileName = name;
        fileName.replace(QLatin1String(".xslt"), QLatin1String(".xml"));
    } else if (name.contains(QLatin1String("XMLOnly"))) {
        fileName = base + QStringLiteral(".xml");
    } else {
        QString output = name;
        output.replace(QLatin1String(".xslt"), QLatin1String(".xml"));
        fileName = base + QStringLiteral(" - ") + output;
        // Relative, so that the document finds its template from the job-file
        // folder wherever the shop's folder is reached from.
        stylesheet = QStringLiteral("../jobtemplates/") + name;
    }
    const QString outFolder = XmlJobFileFolder();
    QDir().mkpath(outFolder);
    const QString path = outFolder + fileName;
    // The folder is the shop's, shared by every workstation: a file already
    // at the name (an earlier export, or whatever someone put there) is
    // replaced only when the user says so.
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        if (platform::Prompt::messageBox(path + QStringLiteral(" already exists.\n\nDo you want to replace it?"),
                                         QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
            != platform::IDYES)
            return;
    }
    if (!OpenOutput(path)) {
        platform::Prompt::messageBox(QStringLiteral("Cannot create: ") + path + QStringLiteral("\n\n") + WriteError(),
                                     QString(), platform::MB_ICONHAND);
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    WriteXmlHeader(QStringLiteral("Jobs"), stylesheet, fileName, heading, QStringLiteral("UTF-8"));
    int counter = 0;
    if (name.contains(QLatin1String("Query"))) {
        if (!stylesheet.isEmpty())
            counter = WriteXmlQueryRecords(ReadTemplateQuery(folder + name), QStringLiteral("Job"), jobId);
    } else if (!fromList || count == 1) {
        WriteXmlJob(job, counter, true);
    } else {
        for (const qint32 id : selected) {
            if (WriteFailed())
                break;
            CJobSet each;
            if (each.FindById(id))
                WriteXmlJob(each, counter, true);
        }
    }
    WriteXmlFooter(QStringLiteral("Jobs"), QString(), counter);
    QGuiApplication::restoreOverrideCursor();
    // No job written (the template's query found none, the jobs are gone):
    // the document at the name stays as it was.
    if (!FinishOutput(counter)) {
        if (WriteFailed())
            ReportWriteFailure();
        else
            platform::Prompt::messageBox(QStringLiteral("No data is exported!"));
        return;
    }
    m_strXmlPath = path;
    if (stylesheet.isEmpty()) {
        if (platform::Prompt::messageBox(QStringLiteral("Exported to ") + path +
                                             QStringLiteral(".\n\nDo you want to open it?"),
                                         QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES)
            ShellExecuteFile(QStringLiteral("open"), path, QString(), QString());
    } else {
        ShellExecuteFile(QStringLiteral("open"), path, QString(), QString());
    }
}
