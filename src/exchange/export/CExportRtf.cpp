#include "exchange/export/CExport.h"

#include "exchange/export/ExportText.h"
#include "exchange/export/RtfFill.h"

#include "app/base/CZqApp.h"
#include "app/base/PriceText.h"
#include "data/CItemSet.h"
#include "data/CXDaoSet.h"
#include "estimating/CItemPrice.h"
#include "platform/PlacedFile.h"
#include "platform/Prompt.h"
#include "platform/UserFile.h"

#include <QtCore/QFile>

namespace {

const QString kJobRecord = QStringLiteral(
    "SELECT Jobs.Title, Jobs.JobNo, IIf(Customers.CusNo = 31, IIf(Jobs.ShiptoNo = 0, '* ', '* ' + ShipTo.Company), "
    "Customers.Name) AS [Customer], Customers.Address, Customers.City, Customers.State, Customers.Zip, "
    "IIf(Customers.PayerNo>0,Contacts_1.First & ' ' & Contacts_1.Last,Contacts.First & ' ' & Contacts.Last) AS Payer, "
    "IIf(Jobs.ShiptoNo>0,ShipTo.Address,'< Same as Bill To >') AS [Ship Address], "
    "IIf(Jobs.ShiptoNo>0,ShipTo.City,'') AS [Ship City], IIf(Jobs.ShiptoNo>0,ShipTo.State,'') AS [Ship State], "
    "IIf(Jobs.ShiptoNo>0,ShipTo.Zip,'') AS [Ship Zip], ShipBy.Name AS [Ship Via], Jobs.CusNo, Contacts.First & ' ' & "
    "Contacts.Last AS Buyer, Contacts.Phone, Contacts.Fax, Jobs.PO, Employees.Name AS [Sales Rep], Employees_1.Name "
    "AS [Prepared By], Terms.Name AS Terms, Jobs.Subtotal, Jobs.Discount, Jobs.Shipping, Jobs.Postage, Jobs.Tax, "
    "Jobs.Subtotal + Jobs.Discount + Jobs.Shipping + Jobs.Postage + Jobs.Tax AS Total, Jobs.Paid, Jobs.Balance, "
    "Jobs.JobType, Jobs.InvoiceNote FROM Terms RIGHT JOIN (Employees AS Employees_1 RIGHT JOIN (Employees RIGHT JOIN "
    "(Contacts AS Contacts_1 RIGHT JOIN (ShipBy RIGHT JOIN (ShipTo RIGHT JOIN (Contacts RIGHT JOIN (Customers RIGHT "
    "JOIN Jobs ON Customers.CusNo = Jobs.CusNo) ON Contacts.ContactNo = Jobs.BuyerNo) ON ShipTo.ShiptoNo = "
    "Jobs.ShiptoNo) ON ShipBy.[No] = Jobs.ViaDue) ON Contacts_1.ContactNo = Customers.PayerNo) ON Employees.EmpNo = "
    "Jobs.SRepNo) ON Employees_1.EmpNo = Jobs.CSRNo) ON Terms.[No] = Jobs.TermsNo WHERE Jobs.JobID = ");

// The largest RTF template read: room for a page of pictures.
constexpr qint64 kMaxTemplateBytes = 32 * 1024 * 1024;

bool AskRetry(const QString &path)
{
    return platform::Prompt::messageBox(QStringLiteral("Cannot open: ") + path +
                                            QStringLiteral("\nPlease close the file if it is open in another "
                                                           "application\nand click Yes to continue.\n\nDo you want to "
                                                           "try again?"),
                                        QString(), platform::MB_YESNO | platform::MB_ICONHAND) == platform::IDYES;
}

QString CompanyText(int flags)
{
    QString text;
    if (CZqApp *app = ZqApp())
        app->GetCompanyText(text, flags);
    return text;
}

// The quantity offers of a quote's item, priced by the pricing engine.
QString OrderMoreOf(qint32 itemId)
{
    CItemSet item;
    item.m_strFilter = QStringLiteral("ItemID = %1").arg(itemId);
    item.Open();
    if (!item.IsOpen() || item.IsEOF())
        return QString();
    if (OrderMoreQuantities(item.m_Note, item.m_ChargeQty).isEmpty())
        return QString();
    CItemPrice engine(&item, true);
    return OrderMoreText(item.m_Note, item.m_ChargeQty, item.m_Price, [&](int q) -> std::optional<Money> {
        if (engine.PriceItem(q) == 0)
            return std::nullopt;
        return engine.GetNewPrice();
    });
}

} // namespace

bool CExport::FillRtfTemplate(qint32 jobId, const QString &templatePath)
{
    CXDaoSet job;
    job.Open(CXDaoSet::dbOpenSnapshot, kJobRecord + QString::number(jobId));
    // A query that cannot run (its error has been shown) makes no document:
    // one of empty fields would replace the one at the name.
    m_bNothing = false;
    if (!job.IsOpen())
        return false;
    // No such job: nothing to fill, and the document at the name stays.
    if (job.IsEmptySet()) {
        m_bNothing = true;
        platform::Prompt::messageBox(QStringLiteral("No data is exported!"));
        return false;
    }
    const int jobType = int(job.GetLongByName(QStringLiteral("JobType")));

    struct Item { platform::Value qty, description, price, itemNo; qint32 itemId; };
    QList<Item> items;
    {
        CXDaoSet set;
        set.Open(CXDaoSet::dbOpenSnapshot,
                 QStringLiteral("SELECT Items.ChargeQty, Items.Description, Items.Price, Items.ItemNo, Items.ItemID FROM "
                                "Items WHERE Items.SerNo = 0 AND Items.JobID = %1 ORDER BY Items.ItemNo")
                     .arg(jobId));
        if (!set.IsOpen())
            return false;
        if (!set.IsEmptySet()) {
            set.MoveFirst();
            while (!set.IsEOF()) {
                items.append(Item{set.GetFieldValue(0), set.GetFieldValue(1), set.GetFieldValue(2), set.GetFieldValue(3),
                                  set.GetLong(4)});
                set.MoveNext();
            }
        }
    }

    // The template may have been put in the shop's folder by anyone: only an
    // ordinary file of a template's size is read (a pipe would hold the
    // program, a device fill its memory).
    QByteArray templateBytes;
    for (;;) {
        QString refusal;
        bool checked = false;
        if (platform::PlacedFile::Read(templatePath, kMaxTemplateBytes, templateBytes, refusal, false, &checked))
            break;
        if (checked) {
            platform::Prompt::messageBox(QStringLiteral("Cannot use the template ") + templatePath +
                                             QStringLiteral(": ") + refusal + QLatin1Char('.'),
                                         QString(), platform::MB_OK | platform::MB_ICONHAND);
            return false;
        }
        if (!AskRetry(templatePath))
            return false;
    }

    int current = 0;
    auto value = [&](const QString &name) -> std::optional<QString> {
        const QString key = RtfFieldKey(name);
        const bool haveItem = current < items.size();
        if (key == QLatin1String("NEXT")) {
            if (haveItem)
                ++current;
            return QString();
        }
        if (key == QLatin1String("MYCOMPANY"))
            return RtfValue(CompanyText(32));
        if (key == QLatin1String("MYADDRESS"))
            return RtfValue(CompanyText(-5));
        if (key == QLatin1String("MYCITYSTZIP"))
            return RtfValue(CompanyText(-6));
        if (key == QLatin1String("MYFOOTER"))
            return RtfValue(CompanyText(-3));
        if (key == QLatin1String("ORDERMORE"))
            return jobType == 1 && haveItem ? OrderMoreOf(items.at(current).itemId) : QString();
        if (key == QLatin1String("PRINTTITLE"))
            return jobType == 3 ? QStringLiteral("Copy of Invoice")
                                : jobType == 1 ? QStringLiteral("Quotation") : QStringLiteral("Invoice");
        if (key == QLatin1String("CHARGEQTY") || key == QLatin1String("DESCRIPTION") || key == QLatin1String("PRICE") ||
            key == QLatin1String("ITEMNO")) {
            if (!haveItem)
                return QString();
            const Item &item = items.at(current);
            const platform::Value &v = key == QLatin1String("CHARGEQTY")     ? item.qty
                                       : key == QLatin1String("DESCRIPTION") ? item.description
                                       : key == QLatin1String("PRICE")       ? item.price
                                                                             : item.itemNo;
            // A description keeps its line breaks as paragraphs.
            return RtfValue(v.type() == platform::FieldType::Text || v.type() == platform::FieldType::Memo ? v.toString() : VariantToText(v));
        }
        for (int f = 0; f < job.GetFieldCount(); ++f) {
            if (job.GetFieldName(f).toUpper() != key)
                continue;
            QString text;
            job.GetFieldText(f, text, false);
            return RtfValue(text);
        }
        return std::nullopt;
    };

    bool sawFooter = false;
    const QString filled = FillRtfFields(QString::fromLatin1(templateBytes), value, sawFooter);
    if (!sawFooter) {
        platform::Prompt::messageBox(QStringLiteral("The template file does not contain the field <MyFooter> or it is "
                                                    "not black. \nThis field must exist and be black to enable invoice "
                                                    "to print."),
                                     QString(), platform::MB_ICONEXCLAMATION);
        return false;
    }

    // Written to a work file and put in place when whole: a failed run
    // leaves the earlier document as it was. What may not be replaced (a
    // folder, a pipe, a device) is said once; trying again would not help.
    for (;;) {
        platform::UserFile out(m_strDocument);
        if (out.open(QIODevice::WriteOnly)) {
            const QByteArray bytes = filled.toLatin1();
            if (out.write(bytes) == bytes.size() && out.commit())
                return true;
            // Opened but not written whole (a full disk, the file-size
            // limit): said with the reason; the earlier document stays.
            m_bFailed = true;
            m_strError = out.errorString();
            out.cancelWriting();
            platform::Prompt::messageBox(QStringLiteral("Cannot write: ") + m_strDocument + QStringLiteral("\n\n") +
                                             m_strError,
                                         QString(), platform::MB_OK | platform::MB_ICONHAND);
            return false;
        } else if (out.refused()) {
            m_bFailed = true;
            m_strError = out.errorString();
            platform::Prompt::messageBox(QStringLiteral("Cannot open: ") + m_strDocument + QStringLiteral("\n\n") +
                                             out.errorString(),
                                         QString(), platform::MB_OK | platform::MB_ICONHAND);
            return false;
        }
        if (!AskRetry(m_strDocument))
            return false;
    }
}
