#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>

class WebOrderTool : public TavrelTest
{
};

TEST_F(WebOrderTool, PrintsTheParsedOrderAndSavesIt)
{
    const QString db = tempPath(QStringLiteral("TavrelData.mdb"));
    int code = -1;
    RunDbToolOut({QStringLiteral("create"), db}, &code);
    ASSERT_EQ(code, 0);
    SqliteRows(db, QStringLiteral("INSERT INTO Customers (CusNo, Name) VALUES (202, 'O''Hara Signs')"));
    const QString mail = tempPath(QStringLiteral("order.txt"));
    QFile file(mail);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("From: shop@web.test\r\nMessage-ID: <9@web.test>\r\nContent-Type: text/plain; charset=utf-8\r\n"
               "Content-Transfer-Encoding: quoted-printable\r\n\r\nCustomer Name: O'Hara Signs\r\n"
               "Contact Name: Pat L=C3=A9e\r\nContact Email: pat@web.test\r\nJob Due Days: 3\r\n"
               "Item Description: Yard si=\r\ngns\r\nItem Quantity: 2 x 25\r\nItem Price: 12.50\r\n"
               "See <http://web.test/sign.pdf>\r\n");
    file.close();

    const QString out = RunDbToolOut({QStringLiteral("weborder"), db, mail, QStringLiteral("--today"),
                             QStringLiteral("12/07/2026"), QStringLiteral("--save"), QStringLiteral("quote"),
                             QStringLiteral("--message-id"), QStringLiteral("9@web.test")},
                            &code);
    EXPECT_EQ(code, 0) << out.toStdString();
    EXPECT_EQ(out, QStringLiteral("CusNo 202\nShiptoNo 0\nBuyerNo 0\n"
                                  "Prepared ship-to:  /  /  /  /  /  /  /  / \n"
                                  "Prepared buyer: Pat / Lée / pat@web.test / \n"
                                  "Title Yard signs\nPO \nDateDue 12/10/2026\nTimeDue \nViaDue 0\nShipping 0\n"
                                  "WOrderNote Job Due Days: 3\nInvoiceNote \n"
                                  "Item Yard signs | 25 | 2 | 12.50 | 999-1 | http://web.test/sign.pdf | \n"
                                  "Saved the email as Quote 1. Added 1 Item(s). \nJobNo 1\n"));
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT JobType, JobNo, CusNo, BuyerNo, Title FROM Jobs")),
              QStringLiteral("1|1|202|0|Yard signs"));
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT ChargeQty, Sheets, replace(Note, char(13)||char(10), '|') FROM Items")),
              QStringLiteral("25|2|PRICE = 12.50|"));
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT * FROM EmailLink")), QStringLiteral("9@web.test|1"));
}

// An XML order is read from its own text alone: one naming a file (a
// private one, or a pipe that would hold the read for ever) through an
// entity or an external DTD is refused and nothing is saved; so is an
// order file larger than a mail may be.
TEST_F(WebOrderTool, AnXmlOrderNamingAFileOutsideItselfIsRefusedAndNothingSaved)
{
    const QString db = tempPath(QStringLiteral("TavrelData.mdb"));
    int code = -1;
    RunDbToolOut({QStringLiteral("create"), db}, &code);
    ASSERT_EQ(code, 0);
    const QString secret = tempPath(QStringLiteral("private.txt"));
    QFile secretFile(secret);
    ASSERT_TRUE(secretFile.open(QIODevice::WriteOnly));
    secretFile.write("PRIVATE-TEXT-7731");
    secretFile.close();
    const QString fifo = tempPath(QStringLiteral("pipe"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("mkfifo"), {fifo}), 0);
    const QByteArray body = "<OrderRequest><ItemOut quantity=\"5\"><ItemDetail><Description>&x;</Description>"
                            "</ItemDetail></ItemOut></OrderRequest>\n";
    const QByteArray cases[] = {
        // Its DTD declares everything, so a validating reader took the file in.
        "<!DOCTYPE OrderRequest [<!ELEMENT OrderRequest (ItemOut)*><!ELEMENT ItemOut (ItemDetail)>"
        "<!ATTLIST ItemOut quantity CDATA #IMPLIED><!ELEMENT ItemDetail (Description)>"
        "<!ELEMENT Description (#PCDATA)><!ENTITY x SYSTEM \"file://" + secret.toUtf8() + "\">]>\n" + body,
        // A DTD that does not validate.
        "<!DOCTYPE OrderRequest [<!ENTITY x SYSTEM \"" + secret.toUtf8() + "\">]>\n" + body,
        "<!DOCTYPE OrderRequest [<!ENTITY x SYSTEM \"" + fifo.toUtf8() + "\">]>\n" + body,
        "<!DOCTYPE OrderRequest SYSTEM \"" + fifo.toUtf8() + "\" [<!ENTITY x \"Cards\">]>\n" + body,
        "<!DOCTYPE OrderRequest [<!ENTITY % p SYSTEM \"" + fifo.toUtf8() + "\"> %p; <!ENTITY x \"Cards\">]>\n" + body,
    };
    for (const QByteArray &xml : cases) {
        SCOPED_TRACE(xml.left(120).toStdString());
        const QString order = tempPath(QStringLiteral("order.xml"));
        QFile file(order);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("<?xml version=\"1.0\"?>\n" + xml);
        file.close();
        const ToolRun run = RunDbTool({QStringLiteral("weborder"), db, order, QStringLiteral("--xml"),
                                       QStringLiteral("--yes"), QStringLiteral("--save"), QStringLiteral("order")});
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        EXPECT_FALSE(run.out.contains(QStringLiteral("PRIVATE-TEXT")) || run.err.contains(QStringLiteral("PRIVATE-TEXT")));
        EXPECT_EQ(run.err, QStringLiteral("Cannot read the XML file %1: it names a DTD or an entity outside itself (a "
                                          "file or an address), and Tavrel never opens what an XML file names. |  | Ask "
                                          "whoever made the file for one that holds all of its text.\nCannot read %1\n")
                               .arg(order));
        EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT count(*) FROM Jobs")), QStringLiteral("0"));
    }
    // The order file itself must be an ordinary file.
    const ToolRun run = RunDbTool({QStringLiteral("weborder"), db, fifo, QStringLiteral("--xml")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, QStringLiteral("Cannot read the XML file %1: it is not an ordinary file (it is a folder, a pipe, a "
                                      "device or a socket).\nCannot read %1\n")
                           .arg(fifo));

    // An order file one byte past the most a mail may be (64 MB; sparse, so
    // nothing of that size is written) is refused before it is read, as
    // text or as XML, and nothing is saved.
    const QString huge = tempPath(QStringLiteral("huge-order.txt"));
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Customer Name: O'Hara Signs\r\nItem Description: Cards\r\n");
        ASSERT_TRUE(file.resize(64LL * 1024 * 1024 + 1));
    }
    struct Oversize
    {
        QStringList extra;
        QString err;
    };
    const Oversize oversize[] = {
        {{}, QStringLiteral("Cannot read %1: it is larger than 64 MB, the most such a file may be.\n")},
        {{QStringLiteral("--xml")}, QStringLiteral("Cannot read the XML file %1: it is larger than 64 MB, the most such "
                                                   "a file may be.\nCannot read %1\n")},
    };
    for (const Oversize &o : oversize) {
        SCOPED_TRACE(o.extra.join(QLatin1Char(' ')).toStdString());
        const ToolRun tooLarge = RunDbTool(QStringList{QStringLiteral("weborder"), db, huge, QStringLiteral("--yes"),
                                                       QStringLiteral("--save"), QStringLiteral("order")} + o.extra);
        EXPECT_EQ(tooLarge.exitCode, 1) << tooLarge.out.toStdString();
        EXPECT_EQ(tooLarge.err, o.err.arg(huge));
        EXPECT_TRUE(tooLarge.out.isEmpty()) << tooLarge.out.toStdString();
        EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT count(*) FROM Jobs")), QStringLiteral("0"));
    }
}
