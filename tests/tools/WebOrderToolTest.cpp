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
