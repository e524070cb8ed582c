// The documents a customer holds about one job: quotes, order receipts,
// delivery tickets and invoices (kinds 2-9 of the jobs view). One renderer
// draws them all; the form row's Options choose the style and what shows.

#include "printing/CPrintForm.h"

#include "app/base/Colours.h"
#include "app/base/CZqApp.h"
#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "app/base/TextUtil.h"
#include "app/base/TypedValue.h"
#include "data/CContactSet.h"
#include "data/CEmpSet.h"
#include "data/CShiptoSet.h"
#include "data/OptionsAndLookups.h"
#include "data/SharedDatabase.h"
#include "data/TaxAmounts.h"
#include "estimating/CItemPrice.h"
#include "estimating/PricingCache.h"
#include "platform/Prompt.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

constexpr int kJobsView = 30001;
constexpr qint32 kWalkInCustomer = 31;
constexpr std::uint32_t kBalanceFill = 0x1010C0; // RGB(192, 16, 16) as 0xBBGGRR
constexpr std::uint32_t kWhite = 0xFFFFFF;

bool isOrderOrHistory(int jobType)
{
    return jobType == CJobSet::Order || jobType == CJobSet::History;
}

// A date with the time typed for it, once: the time field's text when one
// was typed, else the date's own time when it carries one, else no time (a
// date kept at midnight was given no time).
QString dateWithTime(const DateTime &date, const QString &typedTime)
{
    if (!IsDateValid(date))
        return QString();
    QString text = date.format(QStringLiteral("%m/%d/%Y"));
    const QString typed = typedTime.trimmed();
    if (!typed.isEmpty())
        text += QLatin1Char(' ') + typed;
    else if (date.time() != QTime(0, 0))
        text += QLatin1Char(' ') + date.format(QStringLiteral("%I:%M %p"));
    return text;
}

// The part of a text after " | ", or the whole text.
QString afterBar(const QString &text)
{
    const int at = text.indexOf(QLatin1String(" | "));
    return at >= 0 ? text.mid(at + 3) : text;
}

} // namespace

// --- loading ---------------------------------------------------------------------

bool CPrintForm::LoadJobDocument(qint32 jobId, int kind, int formNo, int options)
{
    ResetOptions();
    m_nContext = kJobsView;
    m_nKind = kind;
    m_quantityBreaks.clear();
    m_breakPrices.clear();
    m_docRows.clear();
    if (!m_job.FindById(jobId)) {
        platform::Prompt::messageBox(QStringLiteral("Cannot find the job to print!"), QString(), platform::MB_ICONEXCLAMATION);
        return false;
    }
    m_job.LoadCustomerDiscount();
    m_job.CalcBalance();
    m_nListBranch = m_job.m_JobType;
    m_customer.FindCustomer(m_job.m_CusNo);
    // Quotes print on forms 11-19, every other job type on forms 1-9.
    if (formNo <= 0)
        formNo = m_job.m_JobType == CJobSet::Quote ? kind + 10 : kind;
    LoadDocumentForm(formNo, m_job.m_JobType == CJobSet::Quote ? 1 : 0);
    m_nOptions = options >= 0 ? options : m_form.m_Options;

    const bool originals = IsBitSet(m_nOptions, 25) != 0;
    m_nItemCount = 0;
    if (m_items.OpenJobItemsAndServices(jobId)) {
        for (; !m_items.IsEOF(); m_items.MoveNext()) {
            m_items.GetDescription(QString(), originals);
            DocumentRow row;
            row.itemId = m_items.m_ItemID;
            row.serNo = m_items.m_SerNo;
            row.itemNo = m_items.m_ItemNo;
            row.subNo = m_items.m_SubNo;
            row.chargeQty = m_items.m_ChargeQty;
            row.unitFormat = m_items.m_Opt3;
            row.taxExempt = m_items.m_Bleed != 0;
            row.catNo = m_items.m_nCatNo;
            row.price = m_items.m_Price;
            row.ownDescription = m_items.m_Description;
            row.description = m_items.m_strDescription;
            row.sizeText = m_items.m_strPaperSize;
            row.quantityText = m_items.m_strChargeQty;
            row.unitPriceText = m_items.m_strUnitPrice;
            row.priceText = m_items.m_strPrice;
            row.note = m_items.m_Note;
            RemoveDelimited(row.note, QStringLiteral("<<"), QStringLiteral(">>"));
            if (row.serNo > 0) {
                row.name2 = VariantToText(m_items.m_Service.GetFieldValue(QStringLiteral("Name2")));
                m_items.GetInkText(originals);
                row.serviceText = m_items.m_strDescription;
                row.priceText = FormatPrice(m_items.m_Price);
            } else {
                ++m_nItemCount;
            }
            m_docRows.push_back(std::move(row));
        }
    }
    // A job without rows still prints its header and totals; a ticket
    // without rows has nothing for the shop floor and prints no page.
    m_nRecords = std::max<int>(1, int(m_docRows.size()));
    m_ticketRows.clear();
    if (kind == 1) {
        LoadTicketRows();
        m_nRecords = int(m_ticketRows.size());
    }
    return true;
}

int CPrintForm::PrintLoadedJobDocument(int command)
{
    return DoPrint(command);
}

bool CPrintForm::IsQuantityBreakMode() const
{
    if (m_job.m_JobType != CJobSet::Quote || !IsBitSet(m_nOptions, 22))
        return false;
    return std::any_of(m_docRows.begin(), m_docRows.end(),
                       [](const DocumentRow &r) { return r.serNo == 0 && r.note.contains(QLatin1Char('{')); });
}

// --- header texts ----------------------------------------------------------------

void CPrintForm::GetJobContactTexts(QString &attention, QString &orderedBy, QString &phone, QString &fax)
{
    attention.clear();
    orderedBy.clear();
    phone.clear();
    fax.clear();
    CContactSet contact;
    if (m_job.m_BuyerNo != 0 && contact.FindContact(m_job.m_BuyerNo) && !contact.IsEOF()) {
        contact.FormatName(orderedBy, 1);
        phone = contact.m_Phone;
        fax = contact.m_Fax;
        attention = orderedBy;
    }
    const bool invoice = m_nKind == 2 || (m_nKind >= 5 && m_nKind <= 7);
    if (isOrderOrHistory(m_job.m_JobType) && invoice && m_customer.m_CusNo == m_job.m_CusNo
        && m_customer.m_CusNo != kWalkInCustomer && m_customer.m_PayerNo != 0) {
        CContactSet payer;
        if (payer.FindContact(m_customer.m_PayerNo) && !payer.IsEOF()) {
            payer.FormatName(attention, 1);
            fax = payer.m_Fax;
        }
    }
}

void CPrintForm::GetDocumentDateText(QString &text, bool label)
{
    const DateTime date =
        isOrderOrHistory(m_job.m_JobType) && IsDateValid(m_job.m_DateShipped) ? m_job.m_DateShipped : GetToday();
    text = date.dateText();
    if (label)
        text = QStringLiteral("Date: ") + text;
}

void CPrintForm::MergeFormText(QString &text)
{
    text = m_form.m_Text;
    const QString memo = m_job.m_InvoiceNote;
    if (text.isEmpty())
        text = memo;
    else if (text.contains(QLatin1String("<JobMemo>")))
        text.replace(QLatin1String("<JobMemo>"), memo);
    else if (!memo.isEmpty())
        text += QStringLiteral("\r\n") + memo;

    if (!text.isEmpty()) {
        CContactSet buyer;
        const bool found = m_job.m_BuyerNo != 0 && buyer.FindContact(m_job.m_BuyerNo) && !buyer.IsEOF();
        auto contact = [&](const QString &value) { return found ? value : QString(); };
        const QString srep = CEmpSet().GetEmployeeName(m_job.m_SRepNo);
        const QString csr = CEmpSet().GetEmployeeName(m_job.m_CSRNo);
        const std::pair<const char *, QString> tokens[] = {
            {"<Title>", contact(buyer.m_Title)},   {"<Postion>", contact(buyer.m_Postion)},
            {"<First>", contact(buyer.m_First)},   {"<Last>", contact(buyer.m_Last)},
            {"<Phone>", contact(buyer.m_Phone)},   {"<Fax>", contact(buyer.m_Fax)},
            {"<Cell>", contact(buyer.m_Cell)},     {"<Email>", contact(buyer.m_Email)},
            {"<SRep>", srep},                      {"<CSR>", csr},
            {"<JobNo>", FormatInt(m_job.m_JobNo, false, false)},
            {"<JobTitle>", m_job.m_Title},         {"<DateProof>", dateWithTime(m_job.m_DateProof, m_job.m_ProofTime)},
            {"<DateDue>", dateWithTime(m_job.m_DateDue, m_job.m_TimeDue)},
            {"<PO>", m_job.m_PO},                  {"<DocTitle>", m_form.m_Title},
        };
        for (const auto &[token, value] : tokens)
            text.replace(QLatin1String(token), value, Qt::CaseSensitive);
    }
    if (isOrderOrHistory(m_job.m_JobType) && m_nKind != 1) {
        QString alert;
        GetCustomerAlertText(alert, m_job.m_CusNo, 3);
        if (!alert.isEmpty())
            text += (text.isEmpty() ? QString() : QStringLiteral("\r\n\r\n")) + alert;
    }
    RemoveDelimited(text, QStringLiteral("<<"), QStringLiteral(">>"));
}

// --- the page ----------------------------------------------------------------------

void CPrintForm::PrintJobDocumentPage(QPainter &dc, PrintInfo &info, int &row)
{
    const bool framed = IsBitSet(m_nOptions, 4) || !m_strOutputFile.isEmpty();
    const bool classic = IsBitSet(m_nOptions, 2);
    const bool letter = !classic && IsBitSet(m_nOptions, 3);
    const bool breakMode = IsQuantityBreakMode();
    QString merged;
    if (IsBitSet(m_nOptions, 23))
        MergeFormText(merged);
    QString attention, orderedBy, phone, fax;
    GetJobContactTexts(attention, orderedBy, phone, fax);
    const QString pageText = GetPageNumberText(info);
    QString shop;
    if (CZqApp *app = ZqApp())
        app->GetCompanyText(shop, m_nOptions);
    const QString csrName = CEmpSet().GetEmployeeName(m_job.m_CSRNo);
    const QString srepName = CEmpSet().GetEmployeeName(m_job.m_SRepNo);
    CShiptoSet shipto;
    const QString shiptoText = m_job.m_ShiptoNo == 0 ? QStringLiteral("< Same as Bill To >")
                                                     : shipto.GetAddressText(m_job.m_ShiptoNo, 2);
    const QString customerText = m_job.m_CusNo == kWalkInCustomer && m_job.m_ShiptoNo != 0
        ? shiptoText
        : CustomerAddressBlock(m_job.m_CusNo);
    const QString billTo = attention + QStringLiteral("\r\n") + customerText;
    QString shipBlock;
    if (IsBitSet(m_nOptions, 9))
        shipBlock = QStringLiteral("SHIP TO:\r\n\r\n") + shiptoText;
    QString via;
    m_job.GetViaDueName(via);
    if (IsBitSet(m_nOptions, 10))
        shipBlock += QStringLiteral("\r\n\r\n") + via + QLatin1Char(' ') + dateWithTime(m_job.m_DateDue, m_job.m_TimeDue);
    const QString account = QString::number(m_job.m_CusNo);
    QString dateText;
    GetDocumentDateText(dateText, framed);

    // Down from the top margin (the engine's inches already count it).
    auto down = [&](double inches) { return InchToDevice(inches, false); };
    auto across = [&](double inches) { return m_nBodyLeft + BodyAcross(inches); };
    const int boxStyle = framed ? 1 : 0;

    // The information row: its boxes share the body's width as a printed
    // list's columns share the page. A box of a code (the P.O., a phone
    // number) widens to hold it whole, taking the room from the boxes of
    // names beside it, whose texts wrap at their words; only when the codes
    // alone do not fit is the row drawn smaller. The row is as tall as its
    // tallest text. Returns the row's height; draws it at top when asked.
    struct InfoBox
    {
        const char *caption;
        double width;
        QString value;
        bool whole;
    };
    // A box's caption is one centred line: a box of names made narrower
    // than its caption (the codes beside it taking the room) is fitted
    // again, each caption keeping its whole width.
    const auto infoRow = [&](const std::vector<InfoBox> &boxes, int top, bool draw) {
        const auto fitRow = [&](bool captionsWhole, double *scale) {
            std::vector<DocumentColumn> fit;
            for (const InfoBox &b : boxes)
                fit.push_back({BodyAcross(b.width), {b.value}, &font(FontBody),
                               framed ? QString::fromLatin1(b.caption) : QString(), m_pCaptionFont, b.whole, 0,
                               captionsWhole});
            return FitDocumentColumns(dc, fit, m_nBodyRight - m_nBodyLeft, scale);
        };
        const auto captionCut = [&](const std::vector<int> &widths, double scale) {
            if (!framed || !m_pCaptionFont)
                return false;
            QFont caption = *m_pCaptionFont;
            if (scale < 0.999 && caption.pixelSize() > 0)
                caption.setPixelSize(std::max(1, int(caption.pixelSize() * scale)));
            const QFontMetrics metrics(caption, dc.device());
            for (size_t i = 0; i < boxes.size(); ++i)
                if (metrics.horizontalAdvance(QString::fromLatin1(boxes[i].caption)) > widths[i])
                    return true;
            return false;
        };
        double scale = 1.0;
        std::vector<int> widths = fitRow(false, &scale);
        if (captionCut(widths, scale))
            widths = fitRow(true, &scale);
        BeginTableScale(dc, scale);
        dc.setFont(font(FontBody));
        int valueHeight = m_nCaptionHeight;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].whole || boxes[i].value.isEmpty())
                continue;
            const PrintRect area(0, 0, std::max(1, widths[i]), 1 << 24);
            valueHeight = std::max(valueHeight, DrawText(dc, area, boxes[i].value, 0x851 | 0x400));
        }
        const int height = m_nCaptionHeight + valueHeight;
        if (draw) {
            PrintRect r(m_nBodyLeft, top, m_nBodyRight, top + height);
            for (size_t i = 0; i < boxes.size(); ++i)
                DrawBox(dc, QString::fromLatin1(boxes[i].caption), boxes[i].value, r, widths[i], boxStyle,
                        boxes[i].whole ? 0x825 : 0x851, &font(FontBody), 0);
        }
        EndTableScale();
        dc.setFont(font(FontBody));
        return height;
    };
    const std::vector<InfoBox> classicBoxes = {{"Acct.No", 0.8, account, true},     {"Ordered by", 1.5, orderedBy, false},
                                               {"Phone", 1.3, phone, true},         {"P.O. No", 1.25, m_job.m_PO, true},
                                               {"Prepared by", 1.05, csrName, false}, {"Sales Rep", 1.05, srepName, false},
                                               {"Ship Via", 1.05, via, false}};
    const std::vector<InfoBox> standardBoxes = {{"Acct.No", 0.8, account, true},    {"Ordered By", 1.7, orderedBy, false},
                                                {"Phone", 1.25, phone, true},       {"Fax", 1.25, fax, true},
                                                {"P.O. No", 1.4, m_job.m_PO, true}, {"Prepared By", 0.8, csrName, false},
                                                {"Sales Rep", 0.8, srepName, false}};

    // The header's blocks end where the information row begins, and the
    // row where the items begin; a block or a row that needs more room
    // takes it, and what lies below it moves down by as much on this page.
    const int fixedBand = m_nBodyTop - 2 * m_nCaptionHeight;
    // The bill-to block (and the ship-to block level with it) begins below
    // the shop's block however many lines that takes.
    const int billTop = classic ? AddressTop(dc, shop, across(0.8), down(0.25), across(4.0), down(1.1))
                                : AddressTop(dc, shop, across(0.8), down(0.25), across(5.0) - m_nPad, down(1.25));
    int headerGrows = 0;
    int rowGrows = 0;
    {
        const auto needs = [&](const QString &text, int left, int top, int right, const QFont &f) {
            return TextBottom(dc, text, left, top, right, f);
        };
        int blocksEnd = 0;
        int blocksRoom = fixedBand;
        if (classic) {
            blocksRoom = down(2.35);
            blocksEnd = std::max(needs(billTo, across(0.8), billTop, across(4.0), font(FontBodyBold)),
                                 needs(shipBlock + (fax.isEmpty() ? QString() : QStringLiteral("\nFax: ") + fax),
                                       across(4.8), down(0.9), across(8.0), font(Font8)));
        } else {
            blocksEnd = std::max(needs(billTo, across(0.8), billTop, across(5.0) - m_nPad, font(FontBodyBold)),
                                 needs(shipBlock, across(5.0), billTop, m_nBodyRight, font(Font8)));
        }
        headerGrows = std::max(0, blocksEnd - blocksRoom);
        if (classic || !letter)
            rowGrows = std::max(0, infoRow(classic ? classicBoxes : standardBoxes, 0, false) - 2 * m_nCaptionHeight);
    }
    const BodyShift bodyShift(*this, headerGrows + rowGrows);
    const int captionBand = fixedBand + headerGrows;

    PrintRect body(m_nBodyLeft, m_nBodyTop, m_nBodyRight, m_nFooterTop);
    int firstY = m_nListTop + m_nLineHeight;
    // The merged text printed before the items is the first lines of the
    // first row (it goes on over the pages as a row does); the item lines
    // go on from where the page's first row stopped.
    std::vector<FlowLine> memo;
    bool memoUnder = false;
    bool memoGoesOn = false;
    int itemLineOffset = m_nRowLineStart;
    m_nRowLineNext = 0;
    // Draws what of the merged text this page holds in the area, moving its
    // top below it; false when nothing of it is on this page.
    const auto memoBefore = [&](PrintRect &area) {
        const int lines = int(memo.size());
        if (row != 0 || lines == 0)
            return false;
        itemLineOffset = std::max(0, m_nRowLineStart - lines);
        if (m_nRowLineStart >= lines)
            return false;
        const int shown = FlowLinesFitting(memo, m_nRowLineStart, area.top, m_nBodyBottom + m_nLineHeight);
        DrawFlowLines(dc, memo, m_nRowLineStart, shown, area.top);
        area.top += shown * m_nLineHeight + m_nQuarterLine;
        if (m_nRowLineStart + shown < lines) {
            m_nRowLineNext = m_nRowLineStart + shown;
            memoGoesOn = true;
        }
        return true;
    };
    DrawLogo(dc, info);
    m_barCode.m_cObjectKind = '6';
    m_barCode.m_nObject = m_job.m_JobID;

    // Under the items of the Classic style the merged text ends where the
    // totals block begins (further left when its amounts need the room).
    const int memoUnderRight = !classic || !IsBitSet(m_nOptions, 19)
        ? across(5.8)
        : std::min(across(5.8), PriceColumnTotalsLeft(dc, across(5.9), m_nBodyRight, breakMode) - across(0.1)
                                    + m_nBodyLeft);
    // The Classic totals block begins ten lines above the footer, higher
    // when it has more lines (a late fee, a written-off amount, a credit).
    // The tax cell over the totals row takes the line above the row; a
    // second line of it (two long tax texts) the line above that, which the
    // item lines and the "Received by" line leave to it.
    const int taxOver = !classic && IsBitSet(m_nOptions, 19) ? JobTotalsTaxOver(dc, breakMode) : 0;
    const int classicTotalsTop = m_nFooterTop
        - std::max<int>(10, IsBitSet(m_nOptions, 19) ? int(PriceColumnTotalLines(breakMode).size()) : 0)
            * m_nLineHeight;
    if (classic) {
        auto inches = [&](double l, double t, double r, double b) {
            return PrintRect(across(l), down(t), across(r), down(b));
        };
        if (m_bBarCode)
            DrawBarCode(dc, inches(4.5, -0.15, 8.0, 0.09), true);
        PrintRect r(across(0.8), down(0.25), across(4.0), std::max(down(1.35), billTop));
        DrawTextLine(dc, shop, r, 0x850, 0, &font(FontBody));
        r = inches(4.8, 0.1, 8.0, 0.42);
        DrawFilledLine(dc, m_strTitle, r, 0x825, 0, &font(Font14Bold), kWhite, framed);
        r = inches(4.8, 0.42, 6.4, 0.8);
        DrawFilledLine(dc, QStringLiteral("%1%2").arg(framed ? QStringLiteral("No: ") : QString()).arg(m_job.m_JobNo),
                       r, 0x825, 0, &font(Font12Bold), kWhite, framed);
        r = inches(6.4, 0.42, 8.0, 0.8);
        DrawFilledLine(dc, dateText, r, 0x825, 0, &font(Font12Bold), kWhite, framed);
        r = inches(6.4, 0.9, 8.0, 2.35);
        DrawTextLine(dc, pageText, r, 0x822, 0, &font(FontBody));
        r = inches(0.8, 1.1, 4.0, 2.35);
        r.top = billTop;
        r.bottom += headerGrows;
        DrawTextLine(dc, billTo, r, 0x850, 0, &font(FontBodyBold));
        r = inches(4.8, 0.9, 8.0, 2.35);
        r.bottom += headerGrows;
        DrawTextLine(dc, shipBlock + (fax.isEmpty() ? QString() : QStringLiteral("\nFax: ") + fax), r, 0x850, 0,
                     &font(Font8));
        infoRow(classicBoxes, captionBand, true);
        // The merged text goes under the items on the last page when it fits
        // there, else before the items, over as many pages as it takes.
        if (!merged.isEmpty()) {
            const int y0 = classicTotalsTop;
            const int room = (IsBitSet(m_nOptions, 11) ? m_nBodyBottom : m_nFooterTop) - y0 - m_nQuarterLine;
            const int width = memoUnderRight - across(0.85);
            if (int(MemoLines(dc, merged, across(0.85), width).size()) * m_nLineHeight <= room)
                memoUnder = true;
            else
                memo = MemoLines(dc, merged, across(0.8) + m_nPad, across(5.8) - across(0.8) - m_nPad);
        }
        PrintRect memoArea(across(0.8) + m_nPad, m_nListTop + m_nQuarterLine, across(5.8), m_nFooterTop);
        if (memoBefore(memoArea))
            firstY = memoArea.top;
        if (!memoGoesOn)
            PrintItemLines(dc, body, firstY, classicTotalsTop, InchToDevice(1.05, true), row,
                           framed ? 1 : 0, breakMode, itemLineOffset);
    } else {
        // The shop's block ends where the title's begins.
        PrintRect r(across(0.8), down(0.25), across(5.0) - m_nPad, captionBand);
        DrawTextLine(dc, shop, r, 0x850, 0, &font(FontBody));
        r.left = across(5.0);
        r.right = m_nBodyRight;
        const int numberHeight =
            DrawTextLine(dc, QStringLiteral("%1 %2").arg(m_strTitle).arg(m_job.m_JobNo), r, 0x820, 0, &font(Font14Bold));
        r.top += 2 * numberHeight;
        if (m_bBarCode) {
            // Bars taller than the line they stand on push the date down, so
            // that neither covers the other.
            const int bars = DrawBarCode(dc, PrintRect(r.left, r.top - numberHeight, r.right, r.top), true);
            if (bars > numberHeight)
                r.top += bars - numberHeight + m_nQuarterLine;
        }
        DrawTextLine(dc, pageText, r, 0x822, 0, &font(FontBody));
        const int dateHeight = DrawTextLine(dc, dateText, r, 0x820, 0, &font(Font12Bold));
        r.top += 2 * dateHeight;
        // The bill-to block ends where the ship-to block begins: a long name
        // breaks inside it rather than running across the other.
        PrintRect bill(across(0.8), billTop, across(5.0) - m_nPad, captionBand);
        DrawTextLine(dc, billTo, bill, 0x850, 0, &font(FontBodyBold));
        bill.left = across(5.0);
        bill.right = m_nBodyRight;
        DrawTextLine(dc, shipBlock, bill, 0x850, 0, &font(Font8));
        if (letter) {
            body.left += InchToDevice(0.8, true);
            body.right -= InchToDevice(0.8, true);
            if (!merged.isEmpty()) {
                memo = MemoLines(dc, merged, body.left, body.width());
                PrintRect text(body.left, captionBand, body.right, m_nFooterTop);
                if (memoBefore(text)) {
                    body.top = text.top + m_nCaptionHeight;
                    firstY = body.top + m_nCaptionHeight + m_nQuarterLine;
                }
            }
        } else {
            infoRow(standardBoxes, captionBand, true);
            if (!merged.isEmpty()) {
                memo = MemoLines(dc, merged, across(0.8) + m_nPad, across(6.3) - across(0.8) - m_nPad);
                PrintRect text(across(0.8) + m_nPad, m_nListTop + m_nQuarterLine, across(6.3), m_nFooterTop);
                if (memoBefore(text))
                    firstY = text.top;
            }
        }
        // A page the merged text fills has no item line.
        if (!memoGoesOn)
            PrintItemLines(dc, body, firstY, m_nBodyBottom - m_nLineHeight - taxOver, InchToDevice(0.8, true), row,
                           letter ? 2 : (framed ? 1 : 0), breakMode, itemLineOffset);
    }
    // The merged text is the first lines of the first row: a page that stops
    // inside that row counts them.
    if (!memoGoesOn && row == 0 && !memo.empty())
        m_nRowLineNext += int(memo.size());

    if (!memoGoesOn && row >= int(m_docRows.size())) {
        row = m_nRecords;
        int footerY = m_nFooterTop;
        const QString received =
            QStringLiteral("Received by ________________________________  Date ____________");
        if (classic) {
            const int y0 = classicTotalsTop;
            if (memoUnder) {
                PrintRect text(across(0.85), y0, memoUnderRight, m_nFooterTop);
                DrawCaptionBox(dc, QString(), merged, text, 3, 0x850, &font(FontItalic), 0);
            }
            if (IsBitSet(m_nOptions, 11)) {
                PrintRect line(across(0.85), m_nBodyBottom, m_nBodyRight, m_nFooterTop);
                DrawTextLine(dc, received, line, 0x820, 0, &font(FontBody));
            }
            if (IsBitSet(m_nOptions, 19))
                DrawPriceColumnTotals(dc, PrintRect(across(5.9), y0, m_nBodyRight, m_nFooterTop), breakMode);
        } else {
            if (IsBitSet(m_nOptions, 11)) {
                PrintRect line(across(0.85), m_nBodyBottom - taxOver, m_nBodyRight, m_nFooterTop);
                DrawTextLine(dc, received, line, 0x820, 0, &font(FontBody));
            }
            if (IsBitSet(m_nOptions, 19))
                DrawJobTotals(dc, PrintRect(m_nBodyLeft, m_nFooterTop, m_nBodyRight, m_nFooterTop), boxStyle,
                              breakMode, 0);
            footerY = m_nFooterTop + 2 * m_nCaptionHeight;
        }
        MarkJobPrinted(info);
        DrawDocumentFooter(dc, info, footerY, PrintCountWithThisPrint(info));
    } else {
        DrawContinuedLine(dc, m_nFooterTop);
    }
}

// --- item lines --------------------------------------------------------------------

std::array<int, 4> CPrintForm::ItemColumnWidths(QPainter &dc, int bodyWidth, int priceWidth, bool unitPrice,
                                                bool itemPrice, bool titleOnly)
{
    // Every text the columns can print, on any page: the widths are the same
    // on each.
    QStringList quantities, units, prices, servicePrices;
    for (const DocumentRow &r : m_docRows) {
        if (r.serNo > 0) {
            servicePrices << r.priceText;
            continue;
        }
        quantities << r.quantityText;
        units << r.unitPriceText;
        prices << r.priceText;
        if (r.subNo == 1) {
            // The first part prints the sum of the parts.
            Money sum;
            for (const DocumentRow &part : m_docRows)
                if (part.serNo == 0 && part.itemNo == r.itemNo && part.price > Money::fromCents(1))
                    sum += part.price;
            const Money price = sum == Money() ? Money::noChargeMarker() : sum;
            QString unitText;
            FormatUnitPrice(unitText, price, r.chargeQty, r.unitFormat);
            prices << FormatPrice(price);
            units << unitText;
        }
        if (titleOnly) {
            QString unitText;
            FormatUnitPrice(unitText, m_job.m_Subtotal, r.chargeQty, r.unitFormat);
            prices << FormatMoneyGrouped(m_job.m_Subtotal);
            units << unitText;
        }
    }
    const int quantityBase = InchToDevice(0.8, true);
    std::vector<DocumentColumn> columns(4);
    columns[0] = {quantityBase, quantities, &font(FontBodyBold), QStringLiteral("Quantity"), m_pCaptionFont, true};
    columns[1] = {std::max(1, bodyWidth - quantityBase - 2 * priceWidth), {}, &font(FontBodyBold),
                  QStringLiteral("Description"), m_pCaptionFont, false};
    columns[2] = {priceWidth, units, &font(Font8), unitPrice ? QStringLiteral("Unit Price") : QString(),
                  m_pCaptionFont, true};
    columns[3] = {priceWidth, prices, &font(FontBodyBold), QStringLiteral("Price"), m_pCaptionFont, true};
    if (!unitPrice)
        columns[2].texts.clear();
    if (!itemPrice)
        columns[3].texts.clear();
    const std::vector<int> widths = FitDocumentColumns(dc, columns, bodyWidth);
    m_nServicePriceNeed = 0;
    const QFontMetrics small(font(Font8), dc.device());
    for (const QString &text : servicePrices)
        m_nServicePriceNeed = std::max(m_nServicePriceNeed, CellNeed(small, text));
    return {widths[0], widths[1], widths[2], widths[3]};
}

void CPrintForm::PrintItemLines(QPainter &dc, PrintRect body, int firstY, int bottom, int priceWidth, int &row,
                                int style, bool breakMode, int lineOffset)
{
    const bool titleOnly = !IsBitSet(m_nOptions, 13) && !IsBitSet(m_nOptions, 14) && !IsBitSet(m_nOptions, 15)
        && !IsBitSet(m_nOptions, 16);
    const bool paper = IsBitSet(m_nOptions, 14);
    const bool services = IsBitSet(m_nOptions, 15) || IsBitSet(m_nOptions, 16);
    const bool servicePrices = IsBitSet(m_nOptions, 16);
    const bool unitPrice = IsBitSet(m_nOptions, 17) && IsBitSet(m_nOptions, 18);
    const bool itemPrice = IsBitSet(m_nOptions, 18);
    const bool itemNotes = IsBitSet(m_nOptions, 20);
    const bool serviceNotes = IsBitSet(m_nOptions, 21);
    const bool subItems = IsBitSet(m_nOptions, 24);
    const bool originals = IsBitSet(m_nOptions, 25);

    // The columns share the body as a printed list's columns share the page:
    // the quantity and price columns widen to hold their largest texts
    // whole, and the description gives them the room, its lines wrapping.
    const std::array<int, 4> widths = ItemColumnWidths(dc, body.width(), priceWidth, unitPrice, itemPrice, titleOnly);
    const int quantityWidth = widths[0];
    const int descriptionWidth = widths[1];
    const int unitWidth = widths[2];
    priceWidth = widths[3];
    const int descriptionLeft = body.left + quantityWidth;
    const int descriptionRight = descriptionLeft + descriptionWidth;

    if (style != 0) {
        PrintRect heading(body.left, body.top, body.right, body.bottom);
        if (breakMode) {
            DrawBox(dc, QString(), QString(), heading, body.width(), style, 0x825, &font(FontItalic), 0);
        } else {
            DrawBox(dc, QStringLiteral("Quantity"), QString(), heading, quantityWidth, style, 0x825, nullptr, 0);
            DrawBox(dc, QStringLiteral("Description"), QString(), heading, descriptionWidth, style, 0x824, nullptr, 0);
            DrawBox(dc, unitPrice ? QStringLiteral("Unit Price") : QString(), QString(), heading, unitWidth, style,
                    0x826, nullptr, 0);
            DrawBox(dc, QStringLiteral("Price"), QString(), heading, priceWidth, style, 0x826, nullptr, 0);
        }
    }

    m_nRowLineNext = 0;
    // Rows end their last line at the foot of the body; one that does not
    // fit in what is left of the page starts the next, one taller than a
    // page goes on over the pages.
    const int limit = m_nBodyBottom + m_nLineHeight;
    int y = firstY;
    if (IsBitSet(m_nOptions, 12) && !titleOnly && lineOffset == 0) {
        PrintRect title(descriptionLeft, firstY, descriptionRight, firstY + 2 * m_nLineHeight);
        DrawBox(dc, QString(), QStringLiteral("  ") + m_job.m_Title, title, descriptionWidth, 2, 0x824,
                &font(FontBody), 0);
        y = firstY + 2 * m_nLineHeight;
    }

    const int rows = int(m_docRows.size());
    int itemsOnPage = 0;
    bool itemShown = true;
    const int startRow = row;
    std::vector<FlowLine> lines;
    while (row < rows) {
        const DocumentRow &r = m_docRows[size_t(row)];
        const int from = row == startRow ? lineOffset : 0;
        lines.clear();
        bool finishes = false;
        if (r.serNo == 0) {
            ++itemsOnPage;
            if (itemsOnPage > 1 && r.subNo < 2) {
                y += m_nLineHeight;
                if (y > m_nBodyBottom)
                    break;
            }
            itemShown = true;
            QString description;
            QString second;
            QString quantity = r.quantityText;
            QString unitText = r.unitPriceText;
            QString priceText = r.priceText;
            bool printed = true;
            if (titleOnly) {
                description = m_job.m_Title;
                priceText = FormatMoneyGrouped(m_job.m_Subtotal);
                FormatUnitPrice(unitText, m_job.m_Subtotal, r.chargeQty, r.unitFormat);
                m_quantityBreaks.clear();
            } else if (r.subNo == 1) {
                LoadQuantityBreaks(r, breakMode);
                Money sum;
                for (const DocumentRow &part : m_docRows)
                    if (part.serNo == 0 && part.itemNo == r.itemNo && part.price > Money::fromCents(1))
                        sum += part.price;
                const Money price = sum == Money() ? Money::noChargeMarker() : sum;
                priceText = FormatPrice(price);
                FormatUnitPrice(unitText, price, r.chargeQty, r.unitFormat);
                QString display = r.description;
                const int bar = display.indexOf(QLatin1String(" | "));
                if (bar >= 0) {
                    second = display.mid(bar + 3) + QStringLiteral("   ") + r.sizeText;
                    display = display.left(bar);
                }
                description = !m_quantityBreaks.isEmpty() && originals && second.isEmpty()
                    ? r.ownDescription + QStringLiteral("   ") + r.sizeText
                    : display + QStringLiteral("   ") + r.sizeText;
                if (!subItems)
                    second.clear();
            } else if (r.subNo >= 2) {
                if (subItems) {
                    description = afterBar(r.description) + QStringLiteral("   ") + r.sizeText;
                    unitText.clear();
                    priceText.clear();
                    if ((paper || services) && from == 0)
                        y += m_nQuarterLine;
                } else {
                    printed = false;
                    itemShown = false;
                }
            } else {
                LoadQuantityBreaks(r, breakMode);
                description = r.description + QStringLiteral("   ") + r.sizeText;
                if (r.taxExempt)
                    description += QStringLiteral(" · Tax Exempt");
            }
            if (printed) {
                const int breaks = int(m_quantityBreaks.size());
                if (breaks > 0 || r.subNo >= 2) {
                    quantity.clear();
                    unitText.clear();
                    priceText.clear();
                } else {
                    if (!unitPrice)
                        unitText.clear();
                    if (!itemPrice)
                        priceText.clear();
                }
                // The row's lines: its description (quantity and prices
                // beside its first line), its table of quantity breaks, its
                // second description and its note.
                const QFont *rowFont = &font(r.subNo < 2 ? FontBodyBold : FontBody);
                AddFlowText(dc, lines, description, descriptionLeft, descriptionWidth, 0x820, rowFont);
                const int left = body.left;
                lines.front().beside = [this, &dc, left, quantityWidth, descriptionWidth, unitWidth, priceWidth,
                                        quantity, unitText, priceText, rowFont](int top) {
                    PrintRect cells(left, top, left + quantityWidth, top + m_nLineHeight);
                    DrawTextBox(dc, quantity, cells, quantityWidth, 0x821, rowFont);
                    cells.left += descriptionWidth;
                    DrawTextBox(dc, unitText, cells, unitWidth, 0x822, &font(Font8));
                    DrawTextBox(dc, priceText, cells, priceWidth, 0x822, rowFont);
                };
                if (breaks > 0 && r.subNo < 2) {
                    // The table of prices for larger quantities, kept whole.
                    const int height = 3 * m_nQuarterLine + m_nCaptionHeight + breaks * m_nLineHeight;
                    const int taken = (height + m_nLineHeight - 1) / std::max(1, m_nLineHeight);
                    FlowLine table;
                    table.block = taken;
                    const int tableLeft = descriptionLeft + m_nPad;
                    const int right = body.right;
                    const DocumentRow current = r;
                    table.beside = [this, &dc, tableLeft, right, unitPrice, titleOnly, current](int top) {
                        PrintRect rect(tableLeft, top, right, m_nBodyBottom);
                        PrintQuantityBreaks(dc, rect, unitPrice, titleOnly, current);
                    };
                    lines.push_back(table);
                    for (int k = 1; k < taken; ++k) {
                        FlowLine after;
                        after.block = -1;
                        lines.push_back(after);
                    }
                }
                if (!second.isEmpty())
                    AddFlowText(dc, lines, second, descriptionLeft, descriptionWidth, 0x820, &font(FontBody));
                // In quantity-break mode the braced quantities leave the printed
                // note; the stored row is never touched.
                QString noteText = r.note;
                if (breakMode)
                    ExtractBraced(noteText, true);
                noteText = noteText.trimmed();
                if (itemNotes && !titleOnly && !noteText.isEmpty())
                    AddFlowText(dc, lines, noteText, descriptionLeft + m_nPad, descriptionWidth - 2 * m_nPad, 0x820,
                                &font(FontBody));
                finishes = titleOnly;
            }
        } else {
            bool shown = services || (paper && r.catNo >= 101 && r.catNo <= 199);
            if (!itemShown || IsBitSet(m_nOptions, 13) || (!subItems && r.subNo != 0))
                shown = false;
            if (shown && r.name2.startsWith(QLatin1Char('~')))
                shown = false;
            if (servicePrices)
                shown = true;
            if (shown) {
                if (itemsOnPage == 0) {
                    PrintRect cont(descriptionLeft, y, descriptionRight, y + m_nLineHeight);
                    y += DrawText(dc, cont, QStringLiteral("  ...continued"), 0x821);
                    itemsOnPage = 1;
                }
                QString text = r.serviceText;
                if (serviceNotes && !(r.catNo >= 101 && r.catNo <= 199) && !r.note.trimmed().isEmpty())
                    AppendText(text, r.note.trimmed(), QStringLiteral(" · "));
                const int indent = descriptionLeft + InchToDevice(0.25, true);
                if (servicePrices) {
                    // The service's price ends where the Unit Price column
                    // begins, as wide as the largest service price takes.
                    const int servicePriceWidth = std::min(std::max(unitWidth, m_nServicePriceNeed),
                                                           (descriptionRight - indent) / 2);
                    const int textWidth = descriptionRight - indent - servicePriceWidth;
                    AddFlowText(dc, lines, text, indent, textWidth, 0x820, &font(FontBody));
                    const QString price = r.priceText;
                    const int priceLeft = indent + textWidth;
                    lines.front().beside = [this, &dc, priceLeft, servicePriceWidth, price](int top) {
                        PrintRect cell(priceLeft, top, priceLeft + servicePriceWidth, top + m_nLineHeight);
                        DrawTextBox(dc, price, cell, servicePriceWidth, 0x822, &font(Font8));
                    };
                } else {
                    AddFlowText(dc, lines, text, indent, descriptionRight + unitWidth - indent, 0x820,
                                &font(FontBody));
                }
            }
        }
        if (!lines.empty()) {
            const int first = std::min(from, int(lines.size()) - 1);
            const int left = int(lines.size()) - first;
            const int fits = FlowLinesFitting(lines, first, y, limit);
            // A row that does not fit starts the next page, unless the page
            // has nothing else: then it goes on over the pages.
            if (left > fits && (row > startRow || fits == 0)) {
                if (row == startRow)
                    m_nRowLineNext = from;
                break;
            }
            DrawFlowLines(dc, lines, first, fits, y);
            y += fits * m_nLineHeight;
            if (first + fits < int(lines.size())) {
                m_nRowLineNext = first + fits;
                break;
            }
        }
        if (finishes) {
            row = rows;
            break;
        }
        ++row;
        if (y > m_nBodyBottom || (y > bottom && row == rows - 1 && rows > 1))
            break;
    }
}

// --- rows over pages -------------------------------------------------------------------

void CPrintForm::AddFlowText(QPainter &dc, std::vector<FlowLine> &lines, const QString &text, int left, int width,
                             unsigned format, const QFont *font, std::uint32_t fill)
{
    dc.setFont(font ? *font : this->font(FontBody));
    for (const QString &piece : CellTextLines(dc, text, width)) {
        FlowLine line;
        line.text = piece;
        line.left = left;
        line.width = width;
        line.format = format;
        line.font = font;
        line.fill = fill;
        lines.push_back(std::move(line));
    }
}

int CPrintForm::FlowLinesFitting(const std::vector<FlowLine> &lines, int first, int y, int bottom) const
{
    const int step = std::max(1, m_nLineHeight);
    int count = 0;
    for (int k = first; k < int(lines.size());) {
        const int take = lines[size_t(k)].block > 0 ? lines[size_t(k)].block : 1;
        if (y + (count + take) * step > bottom)
            break;
        count += take;
        k += take;
    }
    return std::min(count, int(lines.size()) - first);
}

void CPrintForm::DrawFlowLines(QPainter &dc, const std::vector<FlowLine> &lines, int first, int count, int y)
{
    for (int k = first; k < first + count && k < int(lines.size()); ++k) {
        const FlowLine &line = lines[size_t(k)];
        const int top = y + (k - first) * m_nLineHeight;
        if (line.block != 0) {
            if (line.block > 0 && line.beside)
                line.beside(top);
            continue;
        }
        if (line.fill != 0)
            dc.fillRect(QRect(line.left, top, line.fillWidth > 0 ? line.fillWidth : line.width, m_nLineHeight),
                        ColorRefToQColor(line.fill));
        dc.setFont(line.font ? *line.font : font(FontBody));
        DrawCellLines(dc, {line.text}, 0, 1, PrintRect(line.left, top, line.left + line.width, top + m_nLineHeight),
                      line.width, line.format);
        if (line.beside)
            line.beside(top);
    }
    dc.setFont(font(FontBody));
}

std::vector<CPrintForm::FlowLine> CPrintForm::MemoLines(QPainter &dc, const QString &merged, int left, int width)
{
    std::vector<FlowLine> lines;
    if (!merged.isEmpty())
        AddFlowText(dc, lines, merged, left, width, 0x820, &font(FontItalic));
    return lines;
}

// --- quantity breaks ------------------------------------------------------------------

void CPrintForm::LoadQuantityBreaks(const DocumentRow &row, bool breakMode)
{
    m_quantityBreaks.clear();
    if (!breakMode)
        return;
    QString note = row.note;
    QString braced = ExtractBraced(note, true);
    m_quantityBreaks.append(row.chargeQty);
    braced.replace(QLatin1Char(','), QLatin1Char(' '));
    braced = braced.trimmed();
    while (!braced.isEmpty() && m_quantityBreaks.size() < 10) {
        QString word;
        const int blank = braced.indexOf(QLatin1Char(' '));
        word = blank >= 0 ? braced.left(blank) : braced;
        braced = blank >= 0 ? braced.mid(blank + 1).trimmed() : QString();
        // The number the word starts with, whole as it was typed and kept
        // (never cut to its first 8 digits); one past the largest count is
        // left out.
        int end = 0;
        while (end < word.size() && word.at(end).isDigit())
            ++end;
        std::int32_t quantity = 0;
        if (end > 0 && ReadTypedQuantity(word.left(end), quantity) && quantity > row.chargeQty)
            m_quantityBreaks.append(quantity);
    }
    if (m_quantityBreaks.size() == 1)
        m_quantityBreaks.clear();
}

void CPrintForm::PrintQuantityBreaks(QPainter &dc, PrintRect &rect, bool unitPrice, bool wholeJob,
                                     const DocumentRow &current)
{
    std::vector<const DocumentRow *> priced;
    for (const DocumentRow &r : m_docRows)
        if (r.serNo == 0 && (wholeJob || r.itemNo == current.itemNo))
            priced.push_back(&r);
    const int n = int(m_quantityBreaks.size());
    const int tableTop = rect.top + m_nQuarterLine;
    const int tableBottom = tableTop + m_nCaptionHeight + n * m_nLineHeight + m_nQuarterLine;
    PricingCache cache;
    // Every break's texts first: the columns are as wide as their largest
    // text needs (at least the layout's inches), the same on every line.
    struct Line
    {
        int quantity;
        QString quantityText, unitText, priceText;
    };
    std::vector<Line> table;
    for (int i = 0; i < n; ++i) {
        const int q = m_quantityBreaks[i];
        Money total;
        for (const DocumentRow *r : priced) {
            if (i == 0) {
                total += r->price;
                continue;
            }
            auto key = std::make_pair(r->itemId, q);
            auto it = m_breakPrices.find(key);
            if (it == m_breakPrices.end()) {
                // Priced silently on a copy of the row: nothing is written.
                CItemSet item;
                bool ok = item.OpenByItemID(r->itemId) && !item.IsEOF();
                Money price;
                if (ok) {
                    CItemPrice engine(&item, true, &cache);
                    ok = engine.IsLoaded() && engine.PriceItem(q) != 0;
                    price = engine.GetNewPrice();
                }
                it = m_breakPrices.emplace(key, std::make_pair(ok, price)).first;
            }
            if (!it->second.first)
                break;
            total += it->second.second;
        }
        Line line{q, FormatInt(q, true, false), QString(), FormatMoneyGrouped(total)};
        if (unitPrice)
            FormatUnitPrice(line.unitText, total, q, current.unitFormat);
        table.push_back(line);
    }
    const QFontMetrics fm(font(FontBody), dc.device());
    int widths[3] = {InchToDevice(0.8, true), InchToDevice(1.2, true), InchToDevice(1.2, true)};
    for (const Line &line : table) {
        widths[0] = std::max(widths[0], CellNeed(fm, line.quantityText));
        widths[1] = std::max(widths[1], CellNeed(fm, line.unitText));
        widths[2] = std::max(widths[2], CellNeed(fm, line.priceText));
    }
    int y = tableTop;
    for (int i = 0; i < n; ++i) {
        const Line &line = table[size_t(i)];
        const int style = i == 0 ? 1 : 3;
        PrintRect box(rect.left, y, rect.right, i == 0 ? tableBottom : y + m_nLineHeight);
        DrawBox(dc, QStringLiteral("Quantity"), line.quantityText, box, widths[0], style, 0x822, &font(FontBody), 0);
        if (unitPrice)
            DrawBox(dc, QStringLiteral("Unit Price"), line.unitText, box, widths[1], style, 0x822, &font(FontBody), 0);
        DrawBox(dc, QStringLiteral("Price"), line.priceText, box, widths[2], style, 0x822, &font(FontBody), 0);
        y += m_nLineHeight + (i == 0 ? m_nCaptionHeight : 0);
    }
    rect.top = tableBottom + m_nQuarterLine;
}

// --- totals --------------------------------------------------------------------------

QString CPrintForm::DiscountLabel(Money subtotal, Money discount, const QList<qint32> &ratesWorkedFrom)
{
    const QString plain = QStringLiteral("Discount");
    const qint64 base = subtotal.units();
    const qint64 off = -discount.units();
    // A discount takes from the subtotal: of the other sign it has no rate.
    if (base == 0 || off == 0 || (base > 0) != (off > 0))
        return plain;
    // A rate the discount was worked from is stated as it was given, when
    // the job's rule still gives this amount from it.
    for (const qint32 rate : ratesWorkedFrom) {
        if (rate <= 0 || rate > 10000)
            continue;
        Money worked;
        CalcPercentAmount(subtotal, worked, rate * 0.01, true, false);
        if (worked.units() != off)
            continue;
        const QString text = rate % 10 == 0 ? QStringLiteral("%1.%2").arg(rate / 100).arg(rate / 10 % 10)
                                            : QStringLiteral("%1.%2").arg(rate / 100).arg(rate % 100, 2, 10, QLatin1Char('0'));
        return text + QStringLiteral("% Discount");
    }
    // Otherwise the rate is the discount over the subtotal, to a tenth of a
    // percent, stated only when that rate gives the amount back to the cent.
    const qint64 baseCents = (std::abs(base) + Money::kUnitsPerCent / 2) / Money::kUnitsPerCent;
    const qint64 offCents = (std::abs(off) + Money::kUnitsPerCent / 2) / Money::kUnitsPerCent;
    // Tenths of a percent, rounded half up; the rate applied to the subtotal,
    // in cents, rounded the same way.
    const qint64 tenths = (std::abs(off) * 2000 / std::abs(base) + 1) / 2;
    const qint64 back = (baseCents * tenths * 2 / 1000 + 1) / 2;
    if (tenths <= 0 || back != offCents)
        return plain;
    return QStringLiteral("%1.%2% Discount").arg(tenths / 10).arg(tenths % 10);
}

std::vector<CPrintForm::TotalLine> CPrintForm::PriceColumnTotalLines(bool breakMode)
{
    std::vector<TotalLine> lines;
    QString terms;
    m_job.GetTermsName(terms);
    const QFont *body = &font(FontBody);
    if (breakMode) {
        lines.push_back({QStringLiteral("Terms"), terms, body, 0});
        return lines;
    }
    const bool order = isOrderOrHistory(m_job.m_JobType);
    const QFont *heading = &font(order ? FontBody : FontBodyBold);
    lines.push_back({QStringLiteral("Subtotal"), FormatMoneyGrouped(m_job.m_Subtotal), heading, 0});
    if (m_job.m_Discount != Money())
        lines.push_back({DiscountLabel(m_job.m_Subtotal, m_job.m_Discount,
                                       {m_job.TypedDiscountRate(), m_job.m_DiscountRate}),
                         FormatMoneyGrouped(m_job.m_Discount), body, 0});
    else
        lines.push_back({QString(), QString(), body, 0});
    lines.push_back({QStringLiteral("Shipping"), FormatMoneyGrouped(m_job.m_Shipping), body, 0});
    lines.push_back({QStringLiteral("Postage"), FormatMoneyGrouped(m_job.m_Postage), body, 0});
    // The shop's two-tax setting decides the tax lines, not the amounts: a
    // job of rate 1 still shows both lines when its second tax is 0.
    const CZqApp *app = ZqApp();
    if (!app || !app->UsesTwoTaxes()) {
        lines.push_back({QStringLiteral("Tax"), FormatMoneyGrouped(m_job.m_Tax), body, 0});
    } else if (m_job.m_TaxNo >= 1 && m_job.m_TaxNo <= 3) {
        QString first, second;
        GetTaxName(first, 1);
        GetTaxName(second, 2);
        lines.push_back({first, FormatMoneyGrouped(m_job.m_Tax - m_job.m_Tax2), body, 0});
        lines.push_back({second, FormatMoneyGrouped(m_job.m_Tax2), body, 0});
    } else {
        QString name;
        GetTaxName(name, m_job.m_TaxNo);
        lines.push_back({name, FormatMoneyGrouped(m_job.m_Tax), body, 0});
    }
    lines.push_back({QStringLiteral("TOTAL"), FormatMoneyGrouped(m_job.m_TotalAmount), heading, 0});
    if (!order)
        return lines;
    if (m_job.m_Latefee != Money())
        lines.push_back({QStringLiteral("LateFee"), FormatMoneyGrouped(m_job.m_Latefee), body, 0});
    lines.push_back({QStringLiteral("Paid"), FormatMoneyGrouped(m_job.m_Paid), body, 0});
    if (m_job.m_Writeoff != Money())
        lines.push_back({QStringLiteral("Writeoff"), FormatMoneyGrouped(m_job.m_Writeoff), body, 0});
    // A credit invoice (and the invoice it credits) keeps a balance of 0:
    // the balance the credited invoice still had was cancelled by the
    // credit, not paid, and takes a line of its own, so that the lines add
    // up; neither is "Paid-in-Full".
    const Money cancelled = m_job.IsCreditOrCredited()
        ? m_job.m_Balance - (m_job.m_TotalAmount + m_job.m_Latefee + m_job.m_Paid + m_job.m_Writeoff)
        : Money();
    if (!cancelled.isZero())
        lines.push_back({m_job.IsCreditInvoice() ? QStringLiteral("Inv. %1").arg(m_job.m_FromJobNo)
                                                 : QStringLiteral("Credited"),
                         FormatMoneyGrouped(cancelled), body, 0});
    lines.push_back({QStringLiteral("BALANCE"), FormatMoneyGrouped(m_job.m_Balance), &font(FontBodyBold), 0});
    lines.push_back({QString(), QString(), nullptr, 1});
    if (m_job.m_Balance == Money() && m_job.m_Paid != Money() && !m_job.IsCreditOrCredited())
        lines.push_back({QStringLiteral("Thank you"), QStringLiteral("Paid-in-Full"), body, 0});
    else
        lines.push_back({QStringLiteral("Terms"), terms, body, 0});
    return lines;
}

int CPrintForm::PriceColumnTotalsLeft(QPainter &dc, int left, int right, bool breakMode)
{
    // The labels keep their 1.05 in, the amounts the rest: a label or an
    // amount that needs more widens the block to its left.
    int labelNeed = InchToDevice(1.05, true);
    int amountNeed = right - left - labelNeed;
    for (const TotalLine &line : PriceColumnTotalLines(breakMode)) {
        if (line.space)
            continue;
        const QFontMetrics fm(*line.font, dc.device());
        labelNeed = std::max(labelNeed, CellNeed(fm, line.label));
        amountNeed = std::max(amountNeed, CellNeed(fm, line.value));
    }
    return std::min(left, right - labelNeed - amountNeed);
}

void CPrintForm::DrawPriceColumnTotals(QPainter &dc, PrintRect rect, bool breakMode)
{
    const std::vector<TotalLine> lines = PriceColumnTotalLines(breakMode);
    const int right = rect.right;
    int labelWidth = InchToDevice(1.05, true);
    for (const TotalLine &line : lines)
        if (!line.space)
            labelWidth = std::max(labelWidth, CellNeed(QFontMetrics(*line.font, dc.device()), line.label));
    rect.left = std::min(rect.left, PriceColumnTotalsLeft(dc, rect.left, right, breakMode));
    for (const TotalLine &line : lines) {
        if (line.space) {
            rect.top += m_nLineHeight;
            continue;
        }
        PrintRect r(rect.left, rect.top, right, rect.top + m_nLineHeight);
        rect.top += DrawTextPair(dc, line.label, line.value, r, labelWidth, 0x820, 0x822, line.font);
    }
}

QStringList CPrintForm::JobTotalsTaxLines(QPainter &dc, int rowWidth, bool termsOnly)
{
    QStringList lines;
    if (termsOnly || m_job.m_TaxNo == 0)
        return lines;
    if (m_job.m_TaxNo <= 3) {
        // Two taxes that do not fit on one line take one line each.
        QString first, second;
        GetTaxName(first, 1);
        GetTaxName(second, 2);
        const QString one = QStringLiteral("%1 $%2,").arg(first, FormatMoneyGrouped(m_job.m_Tax - m_job.m_Tax2));
        const QString two = QStringLiteral("%1 $%2").arg(second, FormatMoneyGrouped(m_job.m_Tax2));
        lines << one + QStringLiteral("  ") + two;
        const QFontMetrics fm(font(FontBody), dc.device());
        if (fm.horizontalAdvance(lines.front()) > rowWidth - InchToDevice(4.8, true) - 2 * m_nPad)
            lines = QStringList{one, two};
    } else {
        QString name;
        GetTaxName(name, m_job.m_TaxNo);
        lines << QStringLiteral("      ") + name;
    }
    return lines;
}

int CPrintForm::JobTotalsTaxOver(QPainter &dc, bool termsOnly)
{
    const int lines = int(JobTotalsTaxLines(dc, m_nBodyRight - m_nBodyLeft, termsOnly).size());
    return std::max(0, lines - 1) * m_nLineHeight;
}

void CPrintForm::DrawJobTotals(QPainter &dc, PrintRect rect, int style, bool termsOnly, int extraWidth)
{
    QString terms;
    m_job.GetTermsName(terms);
    rect.bottom = rect.top + 2 * m_nCaptionHeight;
    if (termsOnly) {
        DrawBox(dc, QStringLiteral("Terms"), terms, rect, rect.width(), style, 0x824, &font(FontBody), 0);
        return;
    }
    const bool hasDiscount = m_job.m_Discount != Money();
    const QString discountCaption = hasDiscount ? QStringLiteral("Discount") : QStringLiteral(" ");
    const QString discountText = hasDiscount ? FormatMoneyGrouped(m_job.m_Discount) : QStringLiteral(" ");
    const bool payments = m_nKind == 1 || isOrderOrHistory(m_job.m_JobType);
    // A late fee and a written-off amount take boxes of their own beside
    // Paid, so that the row adds up on paper: their room comes from the Terms
    // box, and with both from every box a little.
    const bool lateFee = payments && m_job.m_Latefee != Money();
    const bool writeoff = payments && m_job.m_Writeoff != Money();
    // A credit invoice (and the invoice it credits) keeps a balance of 0: the
    // balance the credited invoice still had was cancelled by the credit, not
    // paid. That amount takes a box of its own, so that the row adds up.
    const Money cancelled = payments && m_job.IsCreditOrCredited()
        ? m_job.m_Balance - (m_job.m_TotalAmount + m_job.m_Latefee + m_job.m_Paid + m_job.m_Writeoff)
        : Money();
    const bool credit = !cancelled.isZero();
    const int added = int(lateFee) + int(writeoff) + int(credit);
    const int rowLeft = rect.left;
    const int rowTop = rect.top;
    const int right = rect.right;
    // The boxes as the layout gives them: the Terms box 1.6 in and eight of
    // 0.8 in, or with added boxes a Terms box of 0.8 in and the other 7.2 in
    // shared by every amount box.
    const int boxes = 8 + added;
    const int w = added == 0 ? InchToDevice(0.8, true) : InchToDevice(7.2, true) / boxes;
    const int termsWidth = added == 0 ? 2 * w + extraWidth : InchToDevice(0.8, true) + extraWidth;
    struct Box
    {
        QString caption;
        QString body;
        const QFont *font;
        int kind; // 0 plain, 1 the balance in its colours
    };
    const QFont *bodyFont = &font(FontBody);
    const QFont *captionFont = m_pCaptionFont ? m_pCaptionFont : &font(FontBodyBold);
    std::vector<Box> row = {
        {QStringLiteral("Terms"), terms, bodyFont, 0},
        {QStringLiteral("Subtotal"), FormatMoneyGrouped(m_job.m_Subtotal), bodyFont, 0},
        {discountCaption, discountText, bodyFont, 0},
        {QStringLiteral("Shipping"), FormatMoneyGrouped(m_job.m_Shipping), bodyFont, 0},
        {QStringLiteral("Postage"), FormatMoneyGrouped(m_job.m_Postage), bodyFont, 0},
        {QStringLiteral("Tax"), FormatMoneyGrouped(m_job.m_Tax), bodyFont, 0},
        {QStringLiteral("Total"), FormatMoneyGrouped(m_job.m_TotalAmount), bodyFont, 0},
    };
    if (payments) {
        if (lateFee)
            row.push_back({QStringLiteral("Late Fee"), FormatMoneyGrouped(m_job.m_Latefee), bodyFont, 0});
        row.push_back({QStringLiteral("Paid"), FormatMoneyGrouped(m_job.m_Paid), bodyFont, 0});
        if (writeoff)
            row.push_back({QStringLiteral("Writeoff"), FormatMoneyGrouped(m_job.m_Writeoff), bodyFont, 0});
        if (credit)
            row.push_back({m_job.IsCreditInvoice() ? QStringLiteral("Inv. %1").arg(m_job.m_FromJobNo)
                                                   : QStringLiteral("Credited"),
                           FormatMoneyGrouped(cancelled), bodyFont, 0});
        if (m_job.m_Balance > Money())
            row.push_back({QStringLiteral("BALANCE"), FormatMoneyGrouped(m_job.m_Balance), captionFont, 1});
        else if (m_job.m_Balance < Money())
            row.push_back({QStringLiteral("Over Paid"), FormatMoneyGrouped(m_job.m_Balance), bodyFont, 0});
        else
            row.push_back({QStringLiteral("Balance"), QStringLiteral("- 0 -"), bodyFont, 0});
    } else {
        row.push_back({QString(), QStringLiteral(" "), bodyFont, 0});
        row.push_back({QString(), QStringLiteral(" "), bodyFont, 0});
    }
    // The boxes share the row as a printed list's columns share the page:
    // an amount wider than its box widens it, and only when the amounts
    // alone do not fit is the row drawn smaller.
    std::vector<DocumentColumn> columns;
    for (size_t i = 0; i < row.size(); ++i)
        columns.push_back({i == 0 ? termsWidth : w, {row[i].body}, row[i].font, row[i].caption, captionFont, true});
    double scale = 1.0;
    const std::vector<int> widths = FitDocumentColumns(dc, columns, right - rowLeft, &scale);
    BeginTableScale(dc, scale);
    rect.bottom = rect.top + 2 * m_nCaptionHeight;
    for (size_t i = 0; i < row.size(); ++i) {
        // The fonts as drawn (smaller when the row is).
        const QFont *f = row[i].font == captionFont ? (m_pCaptionFont ? m_pCaptionFont : &font(FontBodyBold))
                                                    : &font(FontBody);
        if (row[i].kind == 1) {
            const std::uint32_t fill = m_crFill;
            const std::uint32_t text = m_crText;
            SetColors(kBalanceFill, kWhite);
            DrawBox(dc, row[i].caption, row[i].body, rect, widths[i], style, 0x825, f, 0);
            SetColors(fill, text);
        } else {
            DrawBox(dc, row[i].caption, row[i].body, rect, widths[i], style, 0x825, f, 0);
        }
    }
    EndTableScale();
    const QStringList lines = JobTotalsTaxLines(dc, right - rowLeft, false);
    if (!lines.isEmpty()) {
        // The tax line sits in a cell of its own above the row, from 4.8 in
        // to the row's right: white over what the page holds there (the item
        // table's column rules run down to the row), framed as the row's
        // boxes are.
        const int top = rowTop - int(lines.size()) * m_nLineHeight;
        const QRect cell(rowLeft + InchToDevice(4.8, true), top, right - rowLeft - InchToDevice(4.8, true),
                         rowTop - top);
        dc.fillRect(cell, Qt::white);
        if (style == 1) {
            dc.save();
            dc.setPen(QPen(Qt::black, std::max(1, m_sizeDpi.width() / 300)));
            dc.setBrush(Qt::NoBrush);
            dc.drawRect(cell);
            dc.restore();
        }
        for (qsizetype k = 0; k < lines.size(); ++k) {
            PrintRect line(cell.left() + m_nPad, top + int(k) * m_nLineHeight, cell.left() + cell.width() - m_nPad,
                           top + int(k + 1) * m_nLineHeight);
            DrawTextLine(dc, lines[k], line, 0x820, 0, &font(FontBody));
        }
    }
}

// --- marking ---------------------------------------------------------------------------

int CPrintForm::PrintCountWithThisPrint(const PrintInfo &info) const
{
    const int stored = m_nKind == 1 ? m_job.m_WOrderPrinted : m_job.m_InvoicePrinted;
    const bool counts = m_job.m_JobType == CJobSet::Order && (m_nKind == 1 || m_nKind == 2 || m_nKind >= 5);
    return stored + (counts && info.pass == PrintInfo::Pass::Print ? 1 : 0);
}

void CPrintForm::MarkJobPrinted(PrintInfo &info)
{
    if (info.pass != PrintInfo::Pass::Print)
        return;
    const qint32 jobId = m_job.m_JobID;
    const int kind = m_nKind;
    const int options = m_nOptions;
    AfterPrinted([this, jobId, kind, options] {
        CJobSet job;
        if (!job.FindById(jobId, true) || job.IsEOF())
            return;
        if (job.m_JobType == CJobSet::Order) {
            if (kind == 1) {
                job.m_WOrderPrinted = quint8(std::min(255, job.m_WOrderPrinted + 1));
            } else {
                if (IsBitSet(options, 22) && !IsDateValid(job.m_DateShipped)
                    && platform::Prompt::messageBox(QStringLiteral("Do you want to mark this order as shipped today?"),
                                                 QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
                        == platform::IDYES)
                    job.m_DateShipped = GetToday();
                if (kind == 2 || kind >= 5) {
                    job.m_InvoicePrinted = quint8(std::min(255, job.m_InvoicePrinted + 1));
                    job.m_PropID1 = quint8(kind);
                    job.m_PrintOption = options;
                }
            }
            job.UpdateAutoStatus(false);
        } else if (kind > 1) {
            job.m_PropID1 = quint8(kind);
            job.m_PrintOption = options;
        }
        job.SafeUpdate();
        m_job.m_WOrderPrinted = job.m_WOrderPrinted;
        m_job.m_InvoicePrinted = job.m_InvoicePrinted;
    });
}
