#include "exchange/export/CExport.h"

#include "exchange/mail/CMail.h"

#include "app/base/FileChoice.h"
#include "controls/CXListCtrl.h"
#include "data/CContactSet.h"
#include "data/CXDaoSet.h"
#include "data/SharedDatabase.h"
#include "platform/Clock.h"
#include "platform/PlacedFile.h"
#include "platform/Prompt.h"
#include "printing/CPrintDlg.h"
#include "views/CDlgOptions.h"

#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QThread>
#include <QtGui/QGuiApplication>

// E-mail to the people behind the selected rows of a list: a text template
// gives subject and body, its <Field> placeholders are filled per
// recipient, and a PDF just printed or an RTF document can go along.

namespace {

// The largest text template read for a mail.
constexpr qint64 kMaxTemplateBytes = 1024 * 1024;

// How long a PDF still being written is waited for before asking.
constexpr int kPdfWaitMs = 5000;

const char kJobRecipients[] =
    "IIf(Jobs.ShiptoNo = 0, '', ShipTo.Attention) AS [Attention], IIf(Jobs.ShiptoNo = 0, Customers.Name, "
    "ShipTo.Company) AS [Company], IIf(Jobs.ShiptoNo = 0, Customers.Address, ShipTo.Address) AS [Address], "
    "IIf(Jobs.ShiptoNo = 0, Customers.Address2, ShipTo.Address2) AS [Address2], IIf(Jobs.ShiptoNo = 0, "
    "Customers.City, ShipTo.City) AS [City], IIf(Jobs.ShiptoNo = 0, Customers.State, ShipTo.State) AS [State], "
    "IIf(Jobs.ShiptoNo = 0, Customers.Zip, ShipTo.Zip) AS [Zip], IIf(Jobs.ShiptoNo = 0, Customers.Country, "
    "ShipTo.Country) AS [Country], Customers.BuyerNo, Customers.PayerNo, Employees.Name AS [SRep], "
    "Employees_1.Name AS [CSR], JobNo, Jobs.Title as JobTitle, PO, DateIn, DateProof, DateDue, DateShipped, "
    "DateReorder, DatePayDue, DatePaid, TimeDue, ShipBy.Name AS ShipVia, Terms.Name as Terms, InvoiceNote, "
    "Subtotal, Jobs.Discount, Shipping, Postage, Jobs.Tax, "
    "[Jobs].[Subtotal]+[Jobs].[Discount]+[Jobs].[Shipping]+[Jobs].[Postage]+[Jobs].[Tax] AS Total, Jobs.Latefee, "
    "Paid, Writeoff, Balance FROM Terms RIGHT JOIN (Employees AS Employees_1 RIGHT JOIN (Employees RIGHT JOIN "
    "(Contacts AS Contacts_1 RIGHT JOIN (ShipBy RIGHT JOIN (ShipTo RIGHT JOIN (Contacts RIGHT JOIN (Customers "
    "RIGHT JOIN Jobs ON Customers.CusNo = Jobs.CusNo) ON Contacts.ContactNo = Jobs.BuyerNo) ON ShipTo.ShiptoNo = "
    "Jobs.ShiptoNo) ON ShipBy.[No] = Jobs.ViaDue) ON Contacts_1.ContactNo = Customers.PayerNo) ON Employees.EmpNo = "
    "Jobs.SRepNo) ON Employees_1.EmpNo = Jobs.CSRNo) ON Terms.[No] = Jobs.TermsNo WHERE Jobs.JobID = ";

QString fileNameOf(const QString &path)
{
    const int slash = int(std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/'))));
    return path.mid(slash + 1);
}

// Waits for the PDF the print engine is still writing; false when the user
// gives up.
bool waitForPdf(const QString &path)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    for (;;) {
        QDeadlineTimer deadline(kPdfWaitMs);
        while (!QFileInfo::exists(path) && !deadline.hasExpired())
            QThread::msleep(100);
        if (QFileInfo::exists(path))
            break;
        if (platform::Prompt::messageBox(QStringLiteral("Cannot find the attachment:\n") + path +
                                             QStringLiteral("\n\nYour PDF printer may need more time to create the "
                                                            "file.\nDo you want to check if the file is created?"),
                                         QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES) {
            QGuiApplication::restoreOverrideCursor();
            return false;
        }
    }
    QGuiApplication::restoreOverrideCursor();
    return true;
}

// The job number of a JobID; the JobID itself when the job is not found.
qint32 jobNumberOf(qint32 jobId)
{
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT JobNo FROM Jobs WHERE JobID = %1").arg(jobId));
    return set.IsOpen() && !set.IsEmptySet() ? set.GetLong(0) : jobId;
}

// The name of the filled copy of an RTF template: the template's name with
// the record's number ("Invoice.rtf" gives "Invoice No 1234.rtf"), never the
// template's own name, so the copy cannot replace the template even where
// the attachment folder is the template's folder.
QString filledDocumentName(const QString &templateName, qint32 number)
{
    QString base = templateName;
    if (base.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive))
        base.chop(4);
    return QStringLiteral("%1 No %2.rtf").arg(base).arg(number);
}

} // namespace

QString CExport::EmailTemplateFolder()
{
    return DataFolder() + QStringLiteral("Email") + QDir::separator();
}

void CExport::EmailFromList(CXListCtrl *rowsList, int viewId, qint32 key, QString templateName, QString document)
{
    list = rowsList;
    const QString keyField = list ? list->GetKeyFieldName() : QString();
    int kind = 0;
    if (keyField.compare(QLatin1String("JobID"), Qt::CaseInsensitive) == 0)
        kind = 1;
    else if (keyField.compare(QLatin1String("CusNo"), Qt::CaseInsensitive) == 0)
        kind = 2;
    else if (keyField.compare(QLatin1String("ContactNo"), Qt::CaseInsensitive) == 0)
        kind = 3;
    if (kind == 0) {
        platform::Prompt::messageBox(
            QStringLiteral("Sorry, you can not send email from this list.\nIt does not have a key number: JobID or CusNo."),
            QString(), platform::MB_ICONHAND);
        return;
    }
    const bool documentGiven = !document.isEmpty();
    // Filled RTF copies go where the PDF attachments go.
    const QString attachmentFolder = AttachmentFolder();
    QString templateFolder = EmailTemplateFolder();

    if (document.contains(QLatin1String(".rtf"))) {
        templateName = document;
        QString folder = DataFolder();
        QString name = templateName;
        const QString p = templateName.left(4);
        if (!ChooseFile(true, folder, name, QStringLiteral(".rtf"),
                        QStringLiteral("Document Templates (") + p + QStringLiteral("*.rtf)|") + p + QStringLiteral("*.rtf||"),
                        QStringLiteral("Please select a job template:"), OFN_FILEMUSTEXIST | OFN_HIDEREADONLY))
            return;
        document = folder + name;
        m_strDocument = attachmentFolder + filledDocumentName(name, kind == 1 ? jobNumberOf(key) : key);
        templateName = QString(name).replace(QLatin1String(".rtf"), QLatin1String(".txt"));
    } else if (document.contains(QLatin1String(".pdf"))) {
        document = attachmentFolder + document;
        if (!waitForPdf(document))
            return;
        const QString pdf = fileNameOf(document);
        if (pdf.contains(QLatin1String(" No ")))
            templateName = pdf.left(int(pdf.indexOf(QLatin1String(" No ")))) + QStringLiteral(".txt");
        else if (pdf.contains(QLatin1String("-CusNo")))
            templateName = pdf.left(int(pdf.indexOf(QLatin1String("-CusNo")))) + QStringLiteral(".txt");
        else
            templateName = QString(pdf).replace(QLatin1String(".pdf"), QLatin1String(".txt"));
    } else {
        QDir().mkpath(templateFolder);
        QString folder = templateFolder;
        QString name = templateName;
        const QString p = templateName.left(3);
        if (!ChooseFile(true, folder, name, QStringLiteral(".txt"),
                        QStringLiteral("Email Templates (") + p + QStringLiteral("*.txt)|") + p + QStringLiteral("*.txt||"),
                        QStringLiteral("Select a template to create the email:"), OFN_HIDEREADONLY))
            return;
        templateFolder = folder;
        templateName = name;
    }

    // The template: lines starting with an apostrophe are notes to whoever
    // keeps the templates and never reach the message.
    QString body;
    QString subject;
    const QString templatePath = templateFolder + templateName;
    if (QFileInfo::exists(templatePath)) {
        // Only an ordinary file of a text template's size is read: the
        // templates' folder is shared, and a pipe or a device there would
        // hold the program.
        QByteArray bytes;
        QString refusal;
        bool checked = false;
        if (!platform::PlacedFile::Read(templatePath, kMaxTemplateBytes, bytes, refusal, false, &checked)) {
            platform::Prompt::messageBox(checked ? QStringLiteral("Cannot use the template ") + templatePath +
                                                       QStringLiteral(": ") + refusal + QLatin1Char('.')
                                                 : QStringLiteral("Cannot open: ") + templatePath,
                                         QString(), platform::MB_ICONHAND);
            return;
        }
        QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
        if (bytes.endsWith('\n'))
            lines.removeLast(); // the last line's end starts no line
        for (QString line : lines) {
            while (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            if (!line.startsWith(QLatin1Char('\'')))
                body += line + QStringLiteral("\r\n");
        }
        subject = ReadHeaderLine(QStringLiteral("Subject:"), body);
        if (!documentGiven)
            document = ReadHeaderLine(QStringLiteral("Attach:"), body);
    }
    if (subject.isEmpty() && !document.isEmpty())
        subject = QStringLiteral("Emailing: ") + fileNameOf(document);

    int choice = 0;
    if (kind == 3) {
        choice = 2;
    } else if (kind != 1 && viewId == 30004) {
        choice = 4;
    } else {
        CDlgOptions dialog(QStringLiteral("Email ") + document, QString(), 0, nullptr);
        dialog.AddRadioGroup(QStringLiteral("Send to:"), 0);
        // The preselected choice is the ticked one: OK on the untouched
        // dialog sends to it.
        if (kind == 1) {
            dialog.AddEntry(3, QStringLiteral("Buyer (who ordered this job)"), 1);
            dialog.AddEntry(4, QStringLiteral("Default Payer"));
            dialog.AddEntry(5, QStringLiteral("Default Buyer"));
            dialog.m_nSelect = {3, 0, 0};
        } else {
            dialog.AddEntry(3, QStringLiteral("Default Buyer"));
            dialog.AddEntry(4, QStringLiteral("Default Payer"), 1);
            if (viewId == 30003)
                dialog.AddEntry(2, QStringLiteral("All Contacts of the customer"));
            dialog.m_nSelect = {4, 0, 0};
        }
        if (dialog.DoModal() != 1)
            return;
        choice = int(dialog.GetCheckedInRange(2, 5));
        if (choice == 0) {
            platform::Prompt::messageBox(QStringLiteral("Nothing is sent: no recipient was chosen."), QString(),
                                         platform::MB_ICONEXCLAMATION);
            return;
        }
    }

    QString query = QStringLiteral("SELECT Contacts.Email, Contacts.Title, Contacts.First, Contacts.Last, Contacts.Phone, "
                                   "Contacts.Fax, Contacts.ContactNo, ");
    if (kind == 1) {
        if (choice == 4 || choice == 5)
            query.replace(QLatin1String("Contacts"), QLatin1String("Contacts_1"));
        query += QLatin1String(kJobRecipients);
        if (choice == 5)
            query.replace(QLatin1String("Customers.PayerNo"), QLatin1String("Customers.BuyerNo"));
    } else {
        query += QStringLiteral("Customers.CusNo, Customers.Name, Customers.Address, Customers.Address2, "
                                "Customers.City, Customers.State, Customers.Zip, Customers.Country, Employees.Name as "
                                "[SRep], Customers.CreditDue, Customers.CreditLimit FROM Employees RIGHT JOIN (Contacts "
                                "RIGHT JOIN Customers ON ");
        query += choice == 3 ? QStringLiteral("Contacts.ContactNo = Customers.BuyerNo")
            : choice == 4    ? QStringLiteral("Contacts.ContactNo = Customers.PayerNo")
                             : QStringLiteral("Contacts.CusNo = Customers.CusNo");
        query += QStringLiteral(") ON Employees.EmpNo = Customers.SRepNo WHERE ");
        query += kind == 3 ? QStringLiteral("Contacts.ContactNo = ") : QStringLiteral("Customers.CusNo = ");
    }
    const bool survey = templateName.contains(QLatin1String("Survey"));

    if (documentGiven) {
        EmailRecords(query, key, subject, body, document, survey, false);
        return;
    }
    const bool several = choice == 2 || (list && list->GetSelectedCount() > 1);
    for (int row = 0; list && row < list->GetItemCount(); ++row) {
        if (!list->IsItemSelected(row))
            continue;
        if (!EmailRecords(query, qint32(list->GetItemData(row)), subject, body, document, survey, several))
            break;
    }
}

bool CExport::EmailRecords(const QString &query, qint32 key, const QString &subject, QString &body,
                           const QString &attachment, bool survey, bool several)
{
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenSnapshot, query + QString::number(key));
    if (!set.IsOpen())
        return false;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    bool go = true;
    for (; go && !set.IsEmptySet() && !set.IsEOF(); set.MoveNext()) {
        QString address;
        set.GetFieldText(0, address, true);
        QString text = body;
        QString title = subject;
        qint32 contactNo = 0;
        if (title.contains(QLatin1Char('<')) || text.contains(QLatin1Char('<'))) {
            for (int field = 0; field < set.GetFieldCount(); ++field) {
                const QString name = set.GetFieldName(field);
                QString value;
                set.GetFieldText(field, value, false);
                const QString placeholder = QLatin1Char('<') + name + QLatin1Char('>');
                text.replace(placeholder, value);
                title.replace(placeholder, value);
                if (name.compare(QLatin1String("ContactNo"), Qt::CaseInsensitive) == 0)
                    contactNo = value.toInt();
            }
        } else {
            for (int field = 0; field < set.GetFieldCount(); ++field)
                if (set.GetFieldName(field).compare(QLatin1String("ContactNo"), Qt::CaseInsensitive) == 0)
                    contactNo = qint32(set.GetLong(field));
        }
        QString file = attachment;
        if (attachment.contains(QLatin1String(".rtf"))) {
            if (!FillRtfTemplate(key, attachment)) {
                go = false;
                break;
            }
            file = m_strDocument;
        }
        CContactSet contact;
        const bool known = contactNo != 0 && contact.FindContact(contactNo);
        if (several && known && (survey ? contact.m_SendSurvey : contact.m_SendEmail) == 0)
            continue;
        QGuiApplication::restoreOverrideCursor();
        CMail mail;
        const bool sent = mail.Send(address, title, text, file);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        if (sent && known && contact.SafeEdit()) {
            // Only a message the mail system took counts as sent. The date
            // goes onto the contact as it is now: a change another workstation
            // saved while the message was written stays.
            (survey ? contact.m_LastSurvey : contact.m_LastEmail) = DateTime::fromDate(platform::Clock::today());
            contact.SafeUpdate(QStringLiteral("Contacts"));
        }
    }
    QGuiApplication::restoreOverrideCursor();
    return go;
}
