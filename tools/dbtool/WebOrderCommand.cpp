#include "WebOrderCommand.h"

#include "app/base/CZqApp.h"
#include "data/AppDataServices.h"
#include "data/SharedDatabase.h"
#include "exchange/mail/CEmailSocket.h"
#include "exchange/weborders/CWebOrder.h"
#include "exchange/xml/XmlDocument.h"
#include "platform/PlacedFile.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"

#include <QtCore/QFile>
#include <QtCore/QRegularExpression>

namespace {

const char kUsage[] = "usage: tavrel-dbtool weborder DB FILE [--xml] [--today MM/DD/YYYY] [--yes] [--save order|quote] "
                      "[--message-id ID]\n";

// The largest order file read: what the mailbox client takes of one mail.
constexpr qint64 kOrderFileMaxBytes = CEmailSocket::kMaxMessageOctets;

QString OneLine(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral(" | "));
}

QString DateText(const DateTime &d)
{
    // A date never set is day 0 (12/30/1899) and prints as nothing.
    return d.isNull() || !d.date().isValid() || d.date() == QDate(1899, 12, 30)
        ? QString()
        : d.date().toString(QStringLiteral("MM/dd/yyyy"));
}

} // namespace

int runWebOrderCommand(const QStringList &argsIn, QTextStream &out, QTextStream &err)
{
    QStringList args = argsIn;
    const bool xml = args.removeAll(QStringLiteral("--xml")) > 0;
    const bool yes = args.removeAll(QStringLiteral("--yes")) > 0;
    QString save, messageId;
    for (const QString option : {QStringLiteral("--save"), QStringLiteral("--message-id")}) {
        const int at = int(args.indexOf(option));
        if (at < 0)
            continue;
        if (at + 1 >= args.size()) {
            err << kUsage;
            return 2;
        }
        (option == QLatin1String("--save") ? save : messageId) = args[at + 1];
        args.remove(at, 2);
    }
    if (args.size() != 2 || (!save.isEmpty() && save != QLatin1String("order") && save != QLatin1String("quote"))) {
        err << kUsage;
        return 2;
    }
    // Every question is answered No (Yes with --yes); what was asked is printed.
    platform::TestResponder responder;
    for (int i = 0; i < 32; ++i)
        responder.answer(yes ? platform::IDYES : platform::IDNO);
    try {
        SharedDatabase().open(args[0]);
        CZqApp app;
        InstallAppQueryReader(app);
        app.m_nSecurityLevel = 0;
        CWebOrder order;
        order.m_keys = KeyFieldTable::Load(KeyFieldFilePath(xml), xml);
        order.m_strMessageId = messageId;
        if (xml) {
            XmlDocument document;
            if (!document.Load(args[1])) {
                for (const platform::PromptRecord &r : responder.shown())
                    err << OneLine(QString(r.text).replace(QLatin1Char('\n'), QStringLiteral(" | "))) << '\n';
                err << "Cannot read " << args[1] << '\n';
                return 1;
            }
            order.ParseXmlOrder(document);
        } else {
            // No larger than a mail the mailbox client takes, and only an
            // ordinary file: an order file is never read whole into memory
            // past that bound.
            QByteArray bytes;
            QString refusal;
            if (!platform::PlacedFile::Read(args[1], kOrderFileMaxBytes, bytes, refusal)) {
                err << "Cannot read " << args[1] << ": " << refusal << ".\n";
                return 1;
            }
            // A mail's bytes, each one character, as the mailbox client keeps
            // them; a mail (its first line a header) is read by its body as
            // the reader reads it, decoded; a bare order text as it is.
            order.m_strMailText = QString::fromLatin1(bytes);
            static const QRegularExpression header(QStringLiteral("^[A-Za-z0-9-]+:"));
            if (header.match(order.m_strMailText).hasMatch()) {
                CEmailSocket mail;
                mail.AddMessage(order.m_strMailText);
                order.m_strMailText = mail.GetPlainText(0);
            }
            order.ParseTextOrder();
        }
        const CJobSet &job = order.m_jobSet;
        out << "CusNo " << job.m_CusNo << "\nShiptoNo " << job.m_ShiptoNo << "\nBuyerNo " << job.m_BuyerNo << '\n';
        if (order.m_shiptoSet.m_ShiptoNo == 0) {
            const CShiptoSet &s = order.m_shiptoSet;
            out << "Prepared ship-to: " << s.m_Company << " / " << s.m_Attention << " / " << s.m_Address << " / "
                << s.m_Address2 << " / " << s.m_City << " / " << s.m_State << " / " << s.m_Zip << " / " << s.m_Country
                << " / " << s.m_Phone << '\n';
        }
        if (order.m_contactSet.m_ContactNo == 0) {
            const CContactSet &c = order.m_contactSet;
            out << "Prepared buyer: " << c.m_First << " / " << c.m_Last << " / " << c.m_Email << " / " << c.m_Phone
                << '\n';
        }
        out << "Title " << job.m_Title << "\nPO " << job.m_PO << "\nDateDue " << DateText(job.m_DateDue)
            << "\nTimeDue " << job.m_TimeDue << "\nViaDue " << job.m_ViaDue << "\nShipping "
            << job.m_Shipping.toPlainText() << "\nWOrderNote " << OneLine(job.m_WOrderNote) << "\nInvoiceNote "
            << OneLine(job.m_InvoiceNote) << '\n';
        for (const WebOrderItem &item : std::as_const(order.m_items))
            out << "Item " << item.description << " | " << item.quantity << " | " << item.originals << " | "
                << item.price << " | " << item.jobItem << " | " << item.link << " | " << OneLine(item.note) << '\n';
        // What keeps the order from being saved, each naming its field.
        for (const QString &refusal : std::as_const(order.m_refusals))
            out << "Refused: " << OneLine(QString(refusal).replace(QLatin1Char('\n'), QStringLiteral(" | "))) << '\n';
        bool ok = true;
        if (!save.isEmpty()) {
            ok = order.SaveOrder(save == QLatin1String("quote") ? 1 : 0, false);
            if (ok)
                out << order.m_strStatus << "\nJobNo " << order.m_jobSet.m_JobNo << '\n';
        }
        for (const platform::PromptRecord &r : responder.shown())
            out << "Asked: " << OneLine(QString(r.text).replace(QLatin1Char('\n'), QStringLiteral(" | "))) << '\n';
        order.m_jobSet.Close();
        SharedDatabase().close();
        return ok ? 0 : 1;
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.what() << '\n';
        return 1;
    }
}
