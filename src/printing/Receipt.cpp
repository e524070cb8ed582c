// Receipts of deposits and quick sales: a narrow text list for a receipt
// printer, 40 columns wide, printed on form 99 from the top-left corner.

#include "printing/CPrintForm.h"

#include "app/base/CZqApp.h"
#include "app/base/MoneyText.h"
#include "data/SharedDatabase.h"
#include "data/TaxAmounts.h"

#include <QtCore/QLocale>
#include <QtGui/QPainter>

namespace {

constexpr int kReceiptKind = 201;
constexpr int kReceiptForm = 99;

const QString kRule = QString(39, QLatin1Char('-'));

// "%-<n>s": the text, filled with blanks to n (never cut).
QString Left(const QString &text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '), false);
}

// "%<n>s".
QString Right(const QString &text, int width)
{
    return text.rightJustified(width, QLatin1Char(' '), false);
}

// A header line centred on 40 columns.
QString Centred(const QString &line)
{
    const int blanks = 20 - int(line.size()) / 2;
    return blanks >= 1 ? QString(blanks, QLatin1Char(' ')) + line : line;
}

QString AmountLine(const QString &label, const QString &amount)
{
    return Left(label, 30) + QLatin1Char(' ') + Right(amount, 8);
}

} // namespace

QStringList CPrintForm::BuildReceiptLines(const ReceiptData &receipt, const ReceiptForm &form, const CompanyInfo &shop,
                                          bool twoTaxes, const QString &taxName, const QString &tax1Name,
                                          const QString &tax2Name)
{
    QStringList header;
    header << form.title << QStringLiteral(" ") << shop.m_strName << shop.m_strAddress
           << shop.m_strCity + QLatin1Char(' ') + shop.m_strState + QLatin1Char(' ') + shop.m_strZip
           << shop.m_strPhone << QStringLiteral(" ");
    const QDateTime when = receipt.when.isValid() ? receipt.when : QDateTime::currentDateTime();
    header << QLocale::c().toString(when, QStringLiteral("dddd, MMMM dd, yyyy hh:mm AP"));
    header << form.text;
    QStringList lines;
    for (const QString &line : header)
        lines << (line.isEmpty() ? line : Centred(line));

    if (!receipt.quickSale) {
        lines << QStringLiteral(" ") << receipt.title << QStringLiteral(" ");
    } else {
        lines << QStringLiteral(" ") << kRule << QStringLiteral("DESCRIPTION                QTY    PRICE") << kRule;
        for (const ReceiptRow &row : receipt.rows) {
            if (!row.hasDescription || row.priceValue.isZero())
                continue;
            QString quantity = row.quantity;
            while (!quantity.isEmpty() && quantity.front().isSpace())
                quantity.remove(0, 1);
            lines << Left(row.description.left(24), 24) + QLatin1Char(' ') + Right(quantity, 5) + QLatin1Char(' ')
                         + Right(row.price, 8);
        }
        lines << QStringLiteral(" ") << kRule;
        lines << AmountLine(QStringLiteral("Subtotal"), FormatMoney(receipt.subtotal));
        lines << AmountLine(QStringLiteral("Tax: ") + taxName, FormatMoney(receipt.tax));
        if (twoTaxes && receipt.taxType >= 1 && receipt.taxType <= 3) {
            lines << QStringLiteral("     ") + Left(tax1Name.left(5), 5) + QLatin1Char(' ')
                         + Right(FormatMoney(receipt.tax - receipt.secondTax), 8);
            lines << QStringLiteral("     ") + Left(tax2Name.left(5), 5) + QLatin1Char(' ')
                         + Right(FormatMoney(receipt.secondTax), 8);
        }
    }

    lines << AmountLine(QStringLiteral("Total"), FormatMoneyGrouped(receipt.due));
    QString tendered = QStringLiteral("Tendered ") + receipt.paymentType;
    if (!receipt.reference.isEmpty())
        tendered += QLatin1Char(' ') + receipt.reference;
    lines << AmountLine(tendered.left(30), FormatMoneyGrouped(receipt.tendered));
    lines << AmountLine(QStringLiteral("Change"), FormatMoneyGrouped(receipt.change));

    lines << QStringLiteral(" ") << QStringLiteral(" ") << form.footer << QStringLiteral(" ");
    // Receipt printers sound on the bell character; a painter draws nothing
    // for it, so the line prints empty.
    if (form.bell)
        lines << QString(QChar(7));
    return lines;
}

void CPrintForm::PrintReceiptPage(QPainter &dc, PrintInfo &info, int &row)
{
    dc.setFont(font(FontBody));
    int y = info.drawRect.top;
    for (const QString &line : m_receiptLines) {
        if (line.isEmpty())
            continue;
        // Control characters (the bell) take their line but draw nothing.
        QString shown = line;
        shown.removeIf([](QChar c) { return c.unicode() < 32; });
        DrawText(dc, PrintRect(info.drawRect.left, y, info.drawRect.right, y + m_nLineHeight), shown, 0x820);
        y += m_nLineHeight;
    }
    row = m_nRecords;
}

int CPrintForm::PrintReceiptAs(const ReceiptData &receipt, const QString &title)
{
    ResetOptions();
    m_nKind = kReceiptKind;
    m_nFormNo = kReceiptForm;
    FindForm();
    // The print job is named after the kind of receipt.
    m_strTitle = title;
    // The receipt starts at the top-left corner of the printable area.
    m_dTopMargin = 0;
    m_dLeftMargin = 0;
    ReceiptForm form;
    form.title = m_form.m_Title;
    form.text = m_form.m_Text;
    form.footer = m_form.m_Footer;
    form.bell = (m_form.m_Options & 1) != 0;
    CompanyInfo shop;
    bool twoTaxes = false;
    if (CZqApp *app = ZqApp()) {
        shop = app->m_company;
        twoTaxes = app->UsesTwoTaxes();
    }
    QString taxName;
    QString tax1Name;
    QString tax2Name;
    if (receipt.quickSale && SharedDatabase().isOpen()) {
        GetTaxName(taxName, receipt.taxType);
        GetTaxName(tax1Name, 1);
        GetTaxName(tax2Name, 2);
    }
    m_receiptLines = BuildReceiptLines(receipt, form, shop, twoTaxes, taxName, tax1Name, tax2Name);
    m_nRecords = receipt.quickSale ? std::max<int>(1, int(receipt.rows.size())) : 1;
    bool stored = false;
    if (CZqApp *app = ZqApp())
        stored = app->SelectFormPrinter(kReceiptForm);
    m_strOutputFile = m_strReceiptOutput;
    return DoPrint(stored || !m_strOutputFile.isEmpty() ? kPrintDirect : kPrintDialog);
}

int CPrintForm::PrintDeposit(const ReceiptData &receipt)
{
    return PrintReceiptAs(receipt, QStringLiteral("DEPOSIT"));
}

int CPrintForm::PrintPayment(const ReceiptData &receipt)
{
    return PrintReceiptAs(receipt, QStringLiteral("PAYMENT"));
}

int CPrintForm::PrintReceipt(const ReceiptData &receipt)
{
    return receipt.quickSale ? PrintPayment(receipt) : PrintDeposit(receipt);
}
