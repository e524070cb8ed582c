#include "PrintFixture.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"

#include <QtCore/QDir>
#include <QtCore/QRegularExpression>

namespace {

CompanyInfo Shop(const QString &phone)
{
    CompanyInfo shop;
    shop.m_strName = QStringLiteral("Halvane Press");
    shop.m_strAddress = QStringLiteral("4 Quay Street");
    shop.m_strCity = QStringLiteral("Portsmouth");
    shop.m_strState = QStringLiteral("NH");
    shop.m_strZip = QStringLiteral("03801");
    shop.m_strPhone = phone;
    return shop;
}

ReceiptData QuickSale()
{
    ReceiptData sale;
    sale.quickSale = true;
    sale.rows = {
        {QStringLiteral("Business Cards Premium Gloss 500"), QStringLiteral("   2"), QStringLiteral("45.00"), true,
         Money::fromCents(4500)},
        {QStringLiteral("Copies"), QStringLiteral("100"), QStringLiteral("8.00"), true, Money::fromCents(800)},
        {QStringLiteral("Free sample"), QStringLiteral("1"), QStringLiteral("0.00"), true, Money()},
        {QString(), QStringLiteral("1"), QStringLiteral("3.00"), false, Money::fromCents(300)},
    };
    sale.taxType = 1;
    sale.subtotal = Money::fromCents(5300);
    sale.tax = Money::fromCents(437);
    sale.secondTax = Money::fromCents(100);
    sale.paymentType = QStringLiteral("Cash");
    sale.due = Money::fromCents(5737);
    sale.tendered = Money::fromCents(6000);
    sale.change = Money::fromCents(263);
    sale.when = QDateTime(QDate(2025, 3, 14), QTime(14, 5));
    return sale;
}

// The lines a receipt printer prints (empty entries are not printed).
QStringList Printed(const QStringList &lines)
{
    QStringList out;
    for (const QString &l : lines)
        if (!l.isEmpty())
            out << l;
    return out;
}

} // namespace

TEST(ReceiptLinesTest, AQuickSaleListsItsRowsTaxAndTender)
{
    CPrintForm::ReceiptForm form{QStringLiteral("Receipt"), QStringLiteral("Thank you!"), QStringLiteral("Come again"),
                                 false};
    const QStringList lines =
        Printed(CPrintForm::BuildReceiptLines(QuickSale(), form, Shop(QStringLiteral("603-555-0100")), false,
                                              QStringLiteral("NH Sales"), QString(), QString()));
    const QStringList expected = {
        QStringLiteral("                 Receipt"),
        QStringLiteral("                     "),
        QStringLiteral("              Halvane Press"),
        QStringLiteral("              4 Quay Street"),
        QStringLiteral("           Portsmouth NH 03801"),
        QStringLiteral("              603-555-0100"),
        QStringLiteral("                     "),
        QStringLiteral("     Friday, March 14, 2025 02:05 PM"),
        QStringLiteral("               Thank you!"),
        QStringLiteral(" "),
        QString(39, QLatin1Char('-')),
        QStringLiteral("DESCRIPTION                QTY    PRICE"),
        QString(39, QLatin1Char('-')),
        QStringLiteral("Business Cards Premium G     2    45.00"),
        QStringLiteral("Copies                     100     8.00"),
        QStringLiteral(" "),
        QString(39, QLatin1Char('-')),
        QStringLiteral("Subtotal                          53.00"),
        QStringLiteral("Tax: NH Sales                      4.37"),
        QStringLiteral("Total                             57.37"),
        QStringLiteral("Tendered Cash                     60.00"),
        QStringLiteral("Change                             2.63"),
        QStringLiteral(" "),
        QStringLiteral(" "),
        QStringLiteral("Come again"),
        QStringLiteral(" "),
    };
    EXPECT_EQ(lines, expected);
}

TEST(ReceiptLinesTest, EdgeCases)
{
    struct Case
    {
        const char *name;
        bool quickSale;
        bool twoTaxes;
        bool bell;
        QString phone;
        QString reference;
        QStringList present;
        QStringList absent;
        QString last;
    };
    const QString rule(39, QLatin1Char('-'));
    const Case cases[] = {
        {"deposit: the title and the tender, no items or tax", false, false, false, QStringLiteral("555"), QString(),
         {QStringLiteral("Deposit for Order 1234"), QStringLiteral("Total                             57.37")},
         {QStringLiteral("DESCRIPTION                QTY    PRICE"), QStringLiteral("Subtotal                          53.00")},
         QStringLiteral(" ")},
        {"an empty phone gives no line", false, false, false, QString(), QString(), {}, {}, QStringLiteral(" ")},
        {"the bell is the last line", true, false, true, QStringLiteral("555"), QString(), {}, {}, QString(QChar(7))},
        {"two taxes split the tax", true, true, false, QStringLiteral("555"), QString(),
         {QStringLiteral("     State     3.37"), QStringLiteral("     City      1.00")}, {}, QStringLiteral(" ")},
        {"a long reference is cut to 30", false, false, false, QStringLiteral("555"),
         QStringLiteral("Cheque 000123456789 of the First Bank"),
         {QStringLiteral("Tendered Cash Cheque 000123456    60.00")}, {}, QStringLiteral(" ")},
    };
    for (const Case &c : cases) {
        ReceiptData receipt = QuickSale();
        receipt.quickSale = c.quickSale;
        receipt.title = QStringLiteral("Deposit for Order 1234");
        receipt.reference = c.reference;
        CPrintForm::ReceiptForm form{QStringLiteral("Receipt"), QString(), QStringLiteral("Come again"), c.bell};
        const QStringList all = CPrintForm::BuildReceiptLines(receipt, form, Shop(c.phone), c.twoTaxes,
                                                              QStringLiteral("NH Sales"), QStringLiteral("State tax"),
                                                              QStringLiteral("City tax"));
        const QStringList lines = Printed(all);
        for (const QString &p : c.present)
            EXPECT_TRUE(lines.contains(p)) << c.name << ": " << qPrintable(p);
        for (const QString &a : c.absent)
            EXPECT_FALSE(lines.contains(a)) << c.name << ": " << qPrintable(a);
        EXPECT_EQ(lines.last(), c.last) << c.name;
        // Every line fits the 40 columns of the receipt.
        for (const QString &l : lines)
            EXPECT_LE(l.size(), 40) << c.name << ": " << qPrintable(l);
        if (c.phone.isEmpty())
            EXPECT_EQ(lines.size(), Printed(CPrintForm::BuildReceiptLines(receipt, form, Shop(QStringLiteral("1")),
                                                                          false, QString(), QString(), QString()))
                                            .size()
                                        - 1);
    }
}

TEST_F(PrintTest, AReceiptPrintsAtTheTopLeftAndReadsBack)
{
    if (!haveTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "pdftotext is not installed";
    const QString path = tempPath(QStringLiteral("TavrelData.mdb"));
    CreateShopDatabase(path);
    SharedDatabase().open(path);
    SharedDatabase().execute(QStringLiteral("UPDATE Forms SET Text = 'Thank you!', Footer = 'Come again' "
                                            "WHERE [No] = 99"));
    CZqApp app;
    Appearance::instance().LoadViewSettings();
    app.m_company = Shop(QStringLiteral("603-555-0100"));
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/printing");
    QDir().mkpath(folder);
    const QString pdf = folder + QStringLiteral("/receipt_quick_sale.pdf");
    form->m_strReceiptOutput = pdf;
    EXPECT_EQ(form->PrintPayment(QuickSale()), 2);
    const QString text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Halvane Press"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("DESCRIPTION"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("Business Cards Premium G")));
    EXPECT_TRUE(text.contains(QStringLiteral("57.37")));
    EXPECT_TRUE(text.contains(QStringLiteral("Come again")));
    EXPECT_FALSE(text.contains(QStringLiteral("Free sample")));
    EXPECT_EQ(form->m_strTitle, QStringLiteral("PAYMENT"));
    // The first line sits in the top-left corner of the page.
    const QString box = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const QRegularExpressionMatch first =
        QRegularExpression(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"")).match(box);
    ASSERT_TRUE(first.hasMatch());
    // The title, centred on 40 columns, is the first line (points from the
    // top of the printable area); the item table starts at the left edge.
    EXPECT_LT(first.captured(2).toDouble(), 36.0);
    const QRegularExpressionMatch table =
        QRegularExpression(QStringLiteral("<word xMin=\"([0-9.]+)\"[^>]*>DESCRIPTION<")).match(box);
    ASSERT_TRUE(table.hasMatch());
    EXPECT_LT(table.captured(1).toDouble(), 2.0);
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("80"), QStringLiteral("-png"),
                                                   pdf, folder + QStringLiteral("/receipt_quick_sale")});
    // A deposit receipt.
    ReceiptData deposit = QuickSale();
    deposit.quickSale = false;
    deposit.title = QStringLiteral("Deposit for Order 1234");
    form->m_strReceiptOutput = folder + QStringLiteral("/receipt_deposit.pdf");
    EXPECT_EQ(form->PrintDeposit(deposit), 2);
    const QString depositText =
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), form->m_strReceiptOutput, QStringLiteral("-")});
    EXPECT_TRUE(depositText.contains(QStringLiteral("Deposit for Order 1234"))) << qPrintable(depositText);
    EXPECT_FALSE(depositText.contains(QStringLiteral("DESCRIPTION")));
    EXPECT_EQ(form->m_strTitle, QStringLiteral("DEPOSIT"));

    // Printed through the printer dialog into a PDF, the file is titled
    // after the receipt, as the print job is.
    const QString chosen = folder + QStringLiteral("/receipt_payment_dialog.pdf");
    form->m_strReceiptOutput.clear();
    printTo(chosen);
    EXPECT_EQ(form->PrintPayment(QuickSale()), 2);
    const QString info = runTool(QStringLiteral("pdfinfo"), {chosen});
    EXPECT_TRUE(QRegularExpression(QStringLiteral("(?m)^Title:\\s+PAYMENT$")).match(info).hasMatch()) << qPrintable(info);
    form->m_strReceiptOutput = folder + QStringLiteral("/receipt_deposit.pdf");
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("80"), QStringLiteral("-png"),
                                                   form->m_strReceiptOutput, folder + QStringLiteral("/receipt_deposit")});
    SharedDatabase().close();
}
