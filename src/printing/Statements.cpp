// Customer statements: the open invoices of a customer (and of its child
// accounts) with their aging, the customer's credit and the total due.

#include "printing/CPrintForm.h"

#include "app/base/CZqApp.h"
#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "app/base/TextUtil.h"
#include "data/CContactSet.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "platform/db/DbErrors.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtGui/QPainter>

#include <algorithm>

namespace {

constexpr int kReceivablesView = 30004;

// The money sums of a run, in the engine's six currency members.
enum Sum { TotalDue = 0, Bucket0 = 1, CreditSum = 5 };

struct Column
{
    const char *heading;
    double width; // inches; 0 leaves the column out
    unsigned format;
};

// The stored amounts a statement row prints or adds up, read by the
// database engine as amounts, as the A/R summary adds them. Another program
// can leave a text or a number beyond the currency range in them, which the
// row would otherwise take as 0.00. False, after the engine's error naming
// the invoice and the field, when one cannot be read.
bool storedAmountsReadable(qint32 jobId, qint32 jobNo, const QString &document)
{
    static const char *const fields[] = {"Balance", "Latefee", "Paid", "Writeoff", "Subtotal",
                                         "Discount", "Shipping", "Postage", "Tax"};
    QStringList amounts;
    for (const char *field : fields)
        amounts << QStringLiteral("CCur(%1)").arg(QLatin1String(field));
    const QString all = QStringLiteral("SELECT %1 FROM Jobs WHERE JobID = ?").arg(amounts.join(QStringLiteral(", ")));
    try {
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot, all, {platform::Value(jobId)});
        return true;
    } catch (const platform::DbException &) {
    }
    // Which field it is, to say so.
    for (const char *field : fields) {
        try {
            platform::Recordset rs(SharedDatabase());
            rs.open(platform::Recordset::Type::Snapshot,
                    QStringLiteral("SELECT CCur(%1) FROM Jobs WHERE JobID = ?").arg(QLatin1String(field)),
                    {platform::Value(jobId)});
        } catch (const platform::DbException &e) {
            const bool unreadable = e.number() == platform::dberr::TypeMismatch
                || e.number() == platform::dberr::NumericOverflow;
            ShowDaoError(e, unreadable ? QStringLiteral("Cannot print the %1: the %2 of invoice %3 cannot be read "
                                                        "as an amount.")
                                             .arg(document, QLatin1String(field))
                                             .arg(jobNo)
                                       : QStringLiteral("Cannot print the %1.").arg(document));
            return false;
        }
    }
    return true;
}

} // namespace

int CPrintForm::StatementAgeBucket(int days)
{
    // Each bucket holds what its label says: 0-30, 31-60, 61-90, over 90 days.
    if (days <= 30)
        return 0;
    if (days <= 60)
        return 1;
    if (days <= 90)
        return 2;
    return 3;
}

int CPrintForm::LoadStatement(qint32 cusNo, int kind, bool pastDueOnly, int options)
{
    ResetOptions();
    m_nContext = kReceivablesView;
    m_nKind = kind;
    m_statementRows.clear();
    m_statementOrderedBy.clear();
    m_nRecords = 0;
    if (!m_customer.FindCustomer(cusNo) || m_customer.IsEOF())
        return 0;
    LoadDocumentForm(kind + 40, 8);
    m_nOptions = options >= 0 ? options : m_form.m_Options;

    const QString dateCondition =
        pastDueOnly ? QStringLiteral(" and Jobs.DatePayDue < %1").arg(GetTodayText(0, true)) : QString();
    CJobSet invoices;
    invoices.m_strFilter = QStringLiteral("JobType = %1 AND Balance > 0.0001 %2 AND (CusNo = %3 or CusNo IN (SELECT "
                                          "Customers.CusNo FROM Customers INNER JOIN Jobs ON Customers.CusNo = "
                                          "Jobs.CusNo WHERE Customers.ParentNo = %3))")
                               .arg(int(CJobSet::History))
                               .arg(dateCondition)
                               .arg(cusNo);
    invoices.m_strSort = QStringLiteral("JobNo");
    if (invoices.RequeryOrOpen(false)) {
        for (; !invoices.IsEOF(); invoices.MoveNext()) {
            StatementRow row;
            row.jobNo = invoices.m_JobNo;
            row.dateShipped = invoices.m_DateShipped;
            row.title = invoices.m_Title;
            row.buyerNo = invoices.m_BuyerNo;
            row.po = invoices.m_PO;
            if (!storedAmountsReadable(invoices.m_JobID, invoices.m_JobNo, m_strTitle)) {
                m_statementRows.clear();
                return m_nRecords = -1;
            }
            row.latefee = invoices.m_Latefee;
            row.paid = invoices.m_Paid;
            row.writeoff = invoices.m_Writeoff;
            // The stored balance is what the customer owes; the total is the
            // job's computed one.
            row.balance = invoices.m_StoredBalance;
            invoices.CalcBalance();
            row.total = invoices.m_TotalAmount;
            m_statementRows.push_back(std::move(row));
        }
    }
    m_nRecords = int(m_statementRows.size());
    if (m_nRecords == 0 && m_customer.m_CreditDue > Money())
        m_nRecords = 1;
    return m_nRecords;
}

void CPrintForm::PrintStatement(QPainter &dc, PrintInfo &info, int &row)
{
    const bool classic = IsBitSet(m_nOptions, 2);
    const bool ruled = IsBitSet(m_nOptions, 4) || !m_strOutputFile.isEmpty();
    const bool amounts = IsBitSet(m_nOptions, 10);
    const int page = info.currentPage;
    auto across = [&](double inches) { return m_nBodyLeft + BodyAcross(inches); };
    auto down = [&](double inches) { return InchToDevice(inches, false); };
    auto inches = [&](double l, double t, double r, double b) {
        return PrintRect(across(l), down(t), across(r), down(b));
    };
    CContactSet payer;
    const QString payerName = m_customer.m_PayerNo != 0 ? payer.GetContactCard(m_customer.m_PayerNo, 4) : QString();
    const QString address = payerName + QStringLiteral("\n") + CustomerAddressBlock(m_customer.m_CusNo);
    const QString payerCard =
        m_customer.m_PayerNo != 0 ? CContactSet().GetContactCard(m_customer.m_PayerNo, 7) : QString();
    const QString account = QStringLiteral("Cust:\t%1\n\n").arg(m_customer.m_CusNo) + payerCard;
    QString shop;
    if (CZqApp *app = ZqApp())
        app->GetCompanyText(shop, m_nOptions);
    // The address (and the account box level with it) begins below the
    // shop's block, and they end where the columns begin; when they need
    // more room, the columns and rows of this page move down.
    const int addressTop = AddressTop(dc, shop, across(0.8), down(0.25), across(5.0) - m_nPad, down(1.25));
    const int blocksEnd = std::max(TextBottom(dc, address, across(0.8), addressTop, across(5.0) - m_nPad,
                                              font(FontBodyBold)),
                                   !classic || ruled
                                       ? TextBottom(dc, account, across(5.0), addressTop, m_nBodyRight, font(FontBody))
                                       : 0);
    const int grows = std::max(0, blocksEnd - (m_nBodyTop - 2 * m_nCaptionHeight));
    const BodyShift bodyShift(*this, grows);
    const int headerBottom = m_nBodyTop - 2 * m_nCaptionHeight;

    // 1-3: logo, shop block, address block.
    DrawLogo(dc, info);
    // The shop's block and the address end where the blocks beside them begin.
    PrintRect r(across(0.8), down(0.25), across(5.0) - m_nPad, headerBottom);
    DrawTextLine(dc, shop, r, 0x850, 0, &font(FontBody));
    r = PrintRect(across(0.8), addressTop, across(5.0) - m_nPad, headerBottom);
    DrawTextLine(dc, address, r, 0x850, 0, &font(FontBodyBold));

    // 4: account box and title.
    const QString title = IsBitSet(m_nOptions, 9) ? m_strTitle : QStringLiteral(" ");
    const QString today = GetTodayText(0, false);
    if (!classic || ruled) {
        r = PrintRect(across(5.0), addressTop, m_nBodyRight, headerBottom);
        DrawTextLine(dc, account, r, 0x850, 0, &font(FontBody));
    }
    if (!classic) {
        r = PrintRect(across(5.0), down(0.25), m_nBodyRight, headerBottom);
        const int h = DrawTextLine(dc, title, r, 0x820, 0, &font(Font14Bold));
        r.top += 2 * h;
        DrawTextLine(dc, GetPageNumberText(info), r, 0x822, 0, &font(FontBody));
        DrawTextLine(dc, QString(), r, 0x850, 1, &font(Font12Bold));
        DrawTextLine(dc, today, r, 0x850, 1, &font(Font12Bold));
    } else {
        if (!ruled) {
            r = inches(5.1, 1.25, 8.0, 2.3);
            DrawTextLine(dc, QStringLiteral("     \t%1").arg(m_customer.m_CusNo), r, 0x850, 0, &font(FontBody));
            CContactSet contact;
            if (m_customer.m_PayerNo != 0 && contact.FindContact(m_customer.m_PayerNo) && !contact.IsEOF()) {
                r = inches(5.1, 1.45, 8.0, 2.3);
                DrawTextLine(dc, QStringLiteral("     \t") + contact.m_Phone, r, 0x850, 0, &font(FontBody));
                r = inches(5.1, 1.65, 8.0, 2.3);
                DrawTextLine(dc, QStringLiteral("     \t") + contact.m_Fax, r, 0x850, 0, &font(FontBody));
            }
        }
        const std::uint32_t fill = ruled ? m_crFill : 0xFFFFFF;
        r = inches(4.8, 0.3, 8.0, 0.65);
        DrawFilledLine(dc, title, r, 0x825, 0, &font(Font14Bold), fill, ruled);
        r = inches(4.8, 0.65, 6.4, 1.05);
        DrawFilledLine(dc, QStringLiteral("%1%2").arg(ruled ? QStringLiteral("Page: ") : QString()).arg(page), r, 0x825,
                       0, &font(FontBodyBold), fill, ruled);
        r = inches(6.4, 0.65, 8.0, 1.05);
        DrawFilledLine(dc, today, r, 0x825, 0, &font(FontBodyBold), fill, ruled);
    }

    // 5: the form's text.
    int extra = 0;
    if (!m_form.m_Text.isEmpty()) {
        PrintRect text(m_nBodyLeft, m_nBodyTop - m_nCaptionHeight, m_nBodyRight, m_nBodyTop);
        if (IsBitSet(m_nOptions, 3)) {
            if (page == 1) {
                text.left += InchToDevice(0.8, true);
                text.right -= InchToDevice(0.8, true);
                const int before = text.top;
                DrawCaptionBox(dc, QString(), m_form.m_Text, text, 3, 0x850, &font(FontItalic), 0);
                extra = std::max(0, text.top - before);
            }
        } else {
            DrawTextLine(dc, m_form.m_Text, text, 0x821, 1, &font(FontBodyBold));
        }
    }

    // 6: a statement of credit alone.
    if (m_statementRows.empty()) {
        PrintRect box(across(0.8), m_nBodyTop + 3 * m_nCaptionHeight, m_nBodyRight, m_nFooterTop);
        DrawCaptionBox(dc, QStringLiteral("Credit Balance"),
                       QStringLiteral("You have $%1 credit balance on your account.")
                           .arg(FormatMoneyGrouped(m_customer.m_CreditDue)),
                       box, 2, 0x820, &font(FontItalic), 0);
        DrawDocumentFooter(dc, info, m_nFooterTop + 2 * m_nCaptionHeight, 0);
        row += 1;
        return;
    }

    // Columns by the options.
    std::array<Column, 9> columns = {{{"Invoice", 0.8, 0x821},
                                      {"Date", 0.8, 0x821},
                                      {"Description", 1.6, 0x820},
                                      {"Ordered By", 0.8, 0x820},
                                      {"P.O.", 0.8, 0x820},
                                      {"Total", 0.8, 0x822},
                                      {"Late Fee", 0.8, 0x822},
                                      {"Payment", 0.8, 0x822},
                                      {"Balance", 0.8, 0x822}}};
    if (classic) {
        const double widths[] = {0.56, 0.78, 1.56, 1.58, 0, 0.84, 0.84, 0.84, 1.0};
        for (size_t i = 0; i < columns.size(); ++i)
            columns[i].width = widths[i];
    } else if (!amounts) {
        const double widths[] = {0.8, 0.8, 2.4, 1.6, 1.6, 0, 0, 0, 0.8};
        for (size_t i = 0; i < columns.size(); ++i)
            columns[i].width = widths[i];
    }

    // The columns share the body as a printed list's columns share the page:
    // an amount wider than its column widens it, taken from the room the
    // columns beside it do not need (a text keeps what it prints, up to the
    // width the layout gives it), and only when that is not enough is the
    // table drawn smaller. The totals row takes the widths of the columns.
    const int rows = int(m_statementRows.size());
    const bool paymentsShown = columns[7].width > 0;
    std::array<int, 9> widths{};
    double tableScale = 1.0;
    {
        if (size_t(m_statementOrderedBy.size()) != m_statementRows.size()) {
            m_statementOrderedBy.clear();
            for (const StatementRow &invoice : m_statementRows) {
                CContactSet buyer;
                m_statementOrderedBy << (invoice.buyerNo != 0 ? buyer.GetContactCard(invoice.buyerNo, 1) : QString());
            }
        }
        std::vector<DocumentColumn> fit(columns.size());
        for (size_t i = 0; i < columns.size(); ++i) {
            const int base = columns[i].width > 0 ? InchToDevice(columns[i].width, true) : 0;
            // Texts wrap at their words in their columns; amounts, dates and
            // numbers stay whole.
            fit[i] = {base, {}, &font(FontBody), ruled ? QString::fromLatin1(columns[i].heading) : QString(),
                      m_pCaptionFont, columns[i].format != 0x820, 0};
        }
        for (size_t r = 0; r < m_statementRows.size(); ++r) {
            const StatementRow &invoice = m_statementRows[r];
            fit[0].texts << QString::number(invoice.jobNo);
            fit[1].texts << (invoice.dateShipped.isValid() ? invoice.dateShipped.dateText() : QString());
            fit[2].texts << invoice.title;
            fit[3].texts << m_statementOrderedBy.value(qsizetype(r));
            fit[4].texts << invoice.po;
            fit[5].texts << FormatMoneyGrouped(invoice.total);
            fit[6].texts << FormatMoneyGrouped(invoice.latefee);
            fit[7].texts << FormatMoneyGrouped(invoice.paid) << FormatMoneyGrouped(invoice.writeoff);
            fit[8].texts << FormatMoneyGrouped(invoice.balance);
        }
        const std::vector<int> fitted = FitDocumentColumns(dc, fit, m_nBodyRight - m_nBodyLeft, &tableScale);
        std::copy(fitted.begin(), fitted.end(), widths.begin());
    }
    BeginTableScale(dc, tableScale);

    // 7: column boxes on ruled pages.
    if (ruled) {
        PrintRect box(m_nBodyLeft, m_nBodyTop + extra, m_nBodyRight, m_nFooterTop);
        for (size_t i = 0; i < columns.size(); ++i)
            if (widths[i] > 0)
                DrawBox(dc, QString::fromLatin1(columns[i].heading), QString(), box, widths[i], 1, 0x825, nullptr, 0);
    }

    // 8: the sums start with the credit when the run begins.
    if (m_nLastKey == -1) {
        m_amounts.fill(Money());
        m_amounts[CreditSum] = Money() - m_customer.m_CreditDue;
        m_amounts[TotalDue] = m_amounts[CreditSum];
    }

    // 9-10: the invoices of this page.
    dc.setFont(font(FontBody));
    const QDate todayDate = GetToday().date();
    const int firstTop = m_nListTop + extra + m_nQuarterLine;
    int top = firstTop;
    while (row < rows) {
        const StatementRow &invoice = m_statementRows[size_t(row)];
        // A written-off amount is a line of its own under the invoice, named,
        // in the Payment column, and the balance follows it: the invoice's
        // lines add up to its balance. Both lines stay on one page.
        const bool writtenOff = paymentsShown && invoice.writeoff != Money();
        const QString orderedBy = m_statementOrderedBy.value(row);
        const QString values[] = {QString::number(invoice.jobNo),
                                  invoice.dateShipped.isValid() ? invoice.dateShipped.dateText() : QString(),
                                  invoice.title,
                                  orderedBy,
                                  invoice.po,
                                  FormatMoneyGrouped(invoice.total),
                                  FormatMoneyGrouped(invoice.latefee),
                                  FormatMoneyGrouped(invoice.paid),
                                  writtenOff ? QString() : FormatMoneyGrouped(invoice.balance)};
        // The texts' lines: the row is as tall as its longest, and goes to
        // the next page whole when it does not fit on this one.
        std::array<QStringList, 9> lines;
        int rowLines = 1;
        for (size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].width > 0 && columns[i].format == 0x820 && !values[i].isEmpty()) {
                lines[i] = CellTextLines(dc, values[i], widths[i]);
                rowLines = std::max(rowLines, int(lines[i].size()));
            }
        }
        const int rowHeight = rowLines * m_nLineHeight + (writtenOff ? m_nLineHeight : 0);
        if (top > firstTop && top + rowHeight > m_nBodyBottom + m_nLineHeight)
            break;
        PrintRect cells(m_nBodyLeft, top, m_nBodyRight, info.drawRect.bottom + m_nQuarterLine);
        for (size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].width <= 0)
                continue;
            if (lines[i].isEmpty()) {
                DrawTextBox(dc, values[i], cells, widths[i], columns[i].format, nullptr);
                continue;
            }
            const PrintRect cell(cells.left, top, cells.left + widths[i], top + int(lines[i].size()) * m_nLineHeight);
            DrawCellLines(dc, lines[i], 0, int(lines[i].size()), cell, widths[i], columns[i].format);
            cells.left += widths[i];
        }
        top += (rowLines - 1) * m_nLineHeight;
        if (writtenOff) {
            top += m_nLineHeight;
            PrintRect line(m_nBodyLeft, top, m_nBodyRight, info.drawRect.bottom + m_nQuarterLine);
            const QString under[] = {QString(), QString(), QStringLiteral("Writeoff"), QString(), QString(),
                                     QString(), QString(), FormatMoneyGrouped(invoice.writeoff),
                                     FormatMoneyGrouped(invoice.balance)};
            for (size_t i = 0; i < columns.size(); ++i)
                if (columns[i].width > 0)
                    DrawTextBox(dc, under[i], line, widths[i], columns[i].format, nullptr);
        }
        // Each invoice is added once, however often its page is drawn.
        if (row > m_nLastKey) {
            const int days = invoice.dateShipped.isValid()
                ? std::max<qint64>(0, invoice.dateShipped.date().daysTo(todayDate))
                : 0;
            m_amounts[TotalDue] += invoice.balance;
            m_amounts[size_t(Bucket0 + StatementAgeBucket(days))] += invoice.balance;
            m_nLastKey = row;
        }
        top += m_nLineHeight;
        ++row;
        if (top > m_nBodyBottom)
            break;
    }

    if (row < rows) {
        EndTableScale();
        DrawContinuedLine(dc, m_nFooterTop + m_nCaptionHeight);
        return;
    }

    // 12: the totals row and the footer.
    const int style = IsBitSet(m_nOptions, 4) ? 1 : 0;
    // The totals row's boxes under the columns they total; an amount wider
    // than its box takes the room of the boxes beside it, as the columns do.
    const QString credit =
        m_amounts[CreditSum] != Money() ? FormatMoneyGrouped(m_amounts[CreditSum]) : QString();
    const int invoiceWidth = widths[0];
    const int dateWidth = widths[1];
    const int balanceWidth = widths[8];
    const int room = m_nBodyRight - m_nBodyLeft;
    std::vector<DocumentColumn> boxes;
    std::vector<QString> captions;
    const auto box = [&](const QString &caption, const QString &body, int base) {
        boxes.push_back({base, {body}, &font(FontBody), style == 1 ? caption : QString(), m_pCaptionFont, true, 0});
        captions.push_back(caption);
    };
    if (IsBitSet(m_nOptions, 11)) {
        box(QStringLiteral("Count"), FormatInt(m_nRecords, false, false), invoiceWidth);
        const char *buckets[] = {"0 - 30", "31 - 60", "61 - 90", "Over 90"};
        for (int b = 0; b < 4; ++b)
            box(QString::fromLatin1(buckets[b]), FormatMoneyGrouped(m_amounts[size_t(Bucket0 + b)]), dateWidth);
        box(QStringLiteral("Less Credit"), credit, dateWidth);
        box(QStringLiteral(" "), QStringLiteral(" "), std::max(1, room - invoiceWidth - 5 * dateWidth - balanceWidth));
    } else {
        box(QStringLiteral("Less Credit"), credit, dateWidth);
        // The room between, left empty.
        boxes.push_back({std::max(1, room - dateWidth - balanceWidth), {}, nullptr, QString(), nullptr, true, 0});
        captions.push_back(QString());
    }
    box(QStringLiteral("Total Due"), FormatMoneyGrouped(m_amounts[TotalDue]), balanceWidth);
    EndTableScale();
    double totalsScale = 1.0;
    const std::vector<int> boxWidths = FitDocumentColumns(dc, boxes, room, &totalsScale);
    BeginTableScale(dc, totalsScale);
    PrintRect totals(m_nBodyLeft, m_nFooterTop, m_nBodyRight, m_nFooterTop + 2 * m_nCaptionHeight);
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i].font == nullptr) {
            totals.left += boxWidths[i];
            continue;
        }
        DrawBox(dc, captions[i], boxes[i].texts.value(0), totals, boxWidths[i], style, 0x825, nullptr, 0);
    }
    EndTableScale();
    DrawDocumentFooter(dc, info, m_nFooterTop + 2 * m_nCaptionHeight, 0);
}
