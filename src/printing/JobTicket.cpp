// The job ticket: the production paper of a job (kind 1 of the jobs view).
// It tells the shop floor who ordered what and when it is due, and lists every
// item with its services, times, quantities and paper counts. Orders can add
// pages that list every row with a bar code to scan on the floor.

#include "printing/CPrintForm.h"

#include "app/base/CZqApp.h"
#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"
#include "controls/DrawTextFormat.h"
#include "data/CContactSet.h"
#include "data/CEmpSet.h"
#include "data/CShiptoSet.h"
#include "data/OptionsAndLookups.h"

#include <QtGui/QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Document options of the ticket (one bit each).
enum TicketOption {
    kTime = 0,
    kQuantity = 1,
    kActuals = 2,
    kCost = 3,
    kPrice = 4,
    kLines = 5,
    kVerticalNumber = 6,
    kCategorySpace = 7,
    kServiceSpace = 8,
    kItemPageBreak = 9,
    kItemShade = 10,
    kPaperShade = 11,
    kOtherShade = 12,
    kNoteYellow = 13,
    kNoteBold = 14,
    kBarcodePage = 15,
    kOrigin = 16,
    kEndWith = 17,
};

constexpr std::uint32_t kNoteYellowColour = 0x99FFFF; // RGB(255, 255, 153) as 0xBBGGRR
const QString kBlank = QStringLiteral("______");

// The ticket's options count their bits from 0.
bool optionOn(int options, int bit)
{
    return ((unsigned(options) >> bit) & 1u) != 0;
}

bool isPaper(qint32 catNo)
{
    return catNo >= 101 && catNo <= 199;
}

QString dateText(const DateTime &date)
{
    return IsDateValid(date) ? date.format(QStringLiteral("%m/%d/%Y %a")) : QString();
}

QString timeText(qint32 minutes)
{
    return minutes == 0 ? QString() : FormatNumberOrMinutes(minutes, false, QString());
}

} // namespace

qint64 CPrintForm::TicketEndCount(qint64 finishSheets, qint32 up)
{
    if (up <= 0)
        return -1;
    return qint64(std::floor(double(finishSheets) / double(up) + 0.99));
}

int CPrintForm::TicketNumberHeight(qint32 jobNo)
{
    if (jobNo <= 9999)
        return 30;
    return jobNo <= 99999 ? 24 : 21;
}

// --- loading ---------------------------------------------------------------------

void CPrintForm::LoadTicketRows()
{
    m_ticketRows.clear();
    const bool highlight = optionOn(m_nOptions, kNoteYellow) || optionOn(m_nOptions, kNoteBold);
    CZqApp *app = ZqApp();
    if (!m_items.OpenJobItemsAndServices(m_job.m_JobID))
        return;
    for (; !m_items.IsEOF(); m_items.MoveNext()) {
        CItemSetX &it = m_items;
        it.GetDescription(kBlank, true);
        TicketRow row;
        row.itemId = it.m_ItemID;
        row.serNo = it.m_SerNo;
        row.itemNo = it.m_ItemNo;
        row.cost = it.m_strCost;
        row.price = it.m_strPrice;
        if (it.m_SerNo == 0) {
            row.label = QStringLiteral("ITEM ") + it.m_strHeading;
            row.description = it.m_strDescription + QStringLiteral("   ") + it.m_strPaperSize;
            if (it.m_Side2 >= 1 && it.m_Side2 <= 3)
                row.description += QStringLiteral(" \u00B7 ") + it.GetChoiceText();
            row.quantity = it.m_ChargeQty == 0 ? QStringLiteral("?") : FormatInt(it.m_ChargeQty, true, false);
            row.shading = kItemShade;
            QString notes;
            if (app && optionOn(m_nOptions, kOrigin)) {
                QString origin;
                app->GetHistoryRefText(origin, it.m_Up);
                if (!origin.isEmpty())
                    AppendText(notes, QStringLiteral("This Item was copied from ") + origin, QStringLiteral("\n"));
            }
            if (app) {
                QString sample;
                app->GetSamplePath(sample, it.m_ItemID);
                if (!sample.isEmpty())
                    AppendText(notes, QStringLiteral("Sample: ") + sample, QStringLiteral("\n"));
            }
            AppendText(notes, it.m_Note, QStringLiteral("\n"));
            row.note = notes;
            row.barText = QStringLiteral("ITEM %1: %2").arg(it.m_ItemNo).arg(it.m_Description);
        } else {
            row.catNo = it.m_nCatNo;
            row.department = app ? app->GetCategoryDepartment(it.m_nCatNo) : 0;
            // A service without a department (or with one that is gone) has no label.
            row.departmentName = app && row.department > 0 ? app->GetDepartmentName(row.department) : QString();
            if (row.departmentName == QLatin1String("?"))
                row.departmentName.clear();
            row.estTime = timeText(it.m_ChargeTime);
            row.actualTime = it.m_ActualTime == 0 || it.m_ActualTime == it.m_ChargeTime ? kBlank
                                                                                          : timeText(it.m_ActualTime);
            row.quantity = it.m_strChargeQty;
            row.actualQuantity =
                it.m_ActualQty == 0 || it.m_ActualQty == it.m_ChargeQty ? kBlank : it.m_strActualQty;
            row.barText = it.m_strHeading + QStringLiteral(": ") + it.m_strDescription;
            if (isPaper(it.m_nCatNo)) {
                row.shading = kPaperShade;
                row.description = QString::asprintf("%s: %s  %s      %s: %d      %s", qUtf8Printable(it.m_strHeading),
                                                    qUtf8Printable(it.m_strDescription),
                                                    qUtf8Printable(it.m_strPaperSize),
                                                    qUtf8Printable(it.m_strUnitWord), int(it.m_Sheets),
                                                    qUtf8Printable(it.m_strExtra));
                const QString plain = it.m_strPlainNote.trimmed();
                if (highlight)
                    row.note = plain;
                else if (!plain.isEmpty())
                    row.description += QStringLiteral(", ") + plain;
                const qint64 itemQty = it.m_nQuantity;
                const qint64 multiply =
                    std::max<qint64>(1, VariantToText(it.m_Service.GetFieldValue(QStringLiteral("Multiply"))).toLongLong());
                const qint64 finish = itemQty * it.m_Sheets * multiply;
                if (it.m_nCatNo < 113 || it.m_nCatNo > 116) {
                    QString run = QStringLiteral("   Run:    %1   %2 sheets   (%3 out, %4 up)")
                                      .arg(it.m_strRunSize, FormatInt64(quint64(std::max<qint64>(0, qint64(it.m_ActualQty) * it.m_Out)), true))
                                      .arg(it.m_Out)
                                      .arg(it.m_Up);
                    const qint64 end = TicketEndCount(finish, it.m_Up);
                    // Without a number up there is no count to end with.
                    if (optionOn(m_nOptions, kEndWith) && end >= 0) {
                        const QString extra = it.m_Data2 != 0
                            ? QStringLiteral(" + ") + FormatInt(it.m_Data2, true, false) + QStringLiteral(" (for finishing)")
                            : QString();
                        run += QStringLiteral("\n     =>      End with %1%2 good sheets")
                                   .arg(FormatInt64(quint64(std::max<qint64>(0, end)), true), extra);
                    }
                    row.subLines[0] = run;
                    row.subLines[1] = QStringLiteral("   Finish: %1   %2 sheets")
                                          .arg(it.m_strFinishSize, FormatInt64(quint64(std::max<qint64>(0, finish)), true));
                    row.hasFinish = true;
                }
                const QString separator = QStringLiteral(" \u2022 ");
                row.subLines[2] =
                    FormatInkText(QStringLiteral("   Front: "), it.m_Side1, it.m_bHasDigital, it.m_strFrontInks, separator, 0);
                row.subLines[3] =
                    FormatInkText(QStringLiteral("   Back: "), it.m_Side2, it.m_bHasDigital, it.m_strBackInks, separator, 0);
                const QString press = it.GetPressSpecText(QString(9, QLatin1Char(' ')));
                if (!press.isEmpty())
                    row.subLines[4] = QStringLiteral("   ") + press;
            } else {
                row.shading = it.m_nCatNo >= 201 && it.m_nCatNo <= 399 ? kPaperShade : kOtherShade;
                it.GetRunText(row.description, true, !highlight, true, false);
                if (highlight)
                    row.note = it.m_Note.trimmed();
            }
        }
        m_ticketRows.push_back(std::move(row));
    }
}

// --- the ticket page ------------------------------------------------------------------

void CPrintForm::PrintJobTicket(QPainter &dc, PrintInfo &info, int &row)
{
    const int rows = int(m_ticketRows.size());
    auto inch = [&](double inches) { return InchToDevice(inches, true); };
    // Paper narrower than the ticket (A4 on most printers) takes the width
    // it lacks from the same places.
    const int width = info.drawRect.width();
    const int extra = width >= inch(8.25) ? width - inch(8.25) : std::min(0, width - inch(8.0));
    m_nBodyRight = m_nBodyLeft + inch(8.0) + extra;
    const bool order = m_job.m_JobType == CJobSet::Order;
    if (order && optionOn(m_nOptions, kBarcodePage))
        m_nRecords = 2 * rows;

    m_strHeading1 = m_job.m_Title.toUpper();
    m_strHeading2 = QStringLiteral(" ");
    m_strHeading3 = QStringLiteral(" ");
    m_strHeading4.clear();
    const QString title = m_strTitle;
    m_strTitle = QStringLiteral("%1 %2").arg(title).arg(m_job.m_JobNo);
    DrawPageHeader(dc, info);
    m_strTitle = title;
    if (row >= rows) {
        PrintServiceBarcodePage(dc, info, row);
        return;
    }
    info.drawRect.top = m_nBodyTop;

    if (m_bBarCode) {
        m_barCode.m_cObjectKind = '6';
        m_barCode.m_nObject = m_job.m_JobID;
        const int top = m_nBodyTop - InchToDevice(0.5, false) + InchToDevice(0.0, false);
        DrawBarCode(dc, PrintRect(info.drawRect.left, top, m_nBodyRight, m_nBodyTop), true);
    }

    const int style = optionOn(m_nOptions, kLines) ? 1 : 2;
    const bool highlight = optionOn(m_nOptions, kNoteYellow) || optionOn(m_nOptions, kNoteBold);
    const QFont *noteFont = &font(optionOn(m_nOptions, kNoteBold) ? FontBodyBold : FontBody);
    const std::uint32_t noteColour = optionOn(m_nOptions, kNoteYellow) ? kNoteYellowColour : 0;
    Q_UNUSED(highlight);
    // The lines of the special instructions before the first row's own.
    int noteLineCount = 0;

    // Vertical job number for filing.
    // It stands left of the page number's line on every page, from the top
    // margin down, and ends a quarter line above the header boxes: moved up
    // when it is longer than that, and smaller only when even the top of
    // the page leaves it too little room.
    if (optionOn(m_nOptions, kVerticalNumber)) {
        const int top = int(m_dTopMargin * m_sizeDpi.height());
        DrawRotatedText(dc, FormatInt(m_job.m_JobNo, false, false),
                        PrintRect(info.drawRect.left, top, info.drawRect.right, m_nBodyTop - m_nQuarterLine),
                        TicketNumberHeight(m_job.m_JobNo), 270, 2 | 16);
    }

    // Header boxes: nine lines tall, or as tall as the tallest of their texts
    // (a long name and a ship-to address broken onto more lines).
    int boxHeight = 0;
    {
        CShiptoSet shipto;
        const QString shipText = m_job.m_ShiptoNo == 0 ? QStringLiteral("< Same as Bill To >")
                                                       : shipto.GetAddressText(m_job.m_ShiptoNo, 1);
        const QString bill = CustomerAddressBlock(m_job.m_CusNo) + QStringLiteral("\n\nShip To:\n") + shipText;
        const QString buyer = CContactSet().GetContactCard(m_job.m_BuyerNo, 6)
            + QStringLiteral("\n\nP.O: %1\nLoc: Store %2").arg(m_job.m_PO).arg(int(m_job.m_Location) + 1);
        QString via, from;
        m_job.GetViaDueName(via);
        m_job.GetFromJobText(from);
        const QString when = QStringLiteral("In\t%1\nProof\t%2\n  \t%3\nDue\t%4\n  \t%5\nVia\t%6\nCSR\t%7\nSRep\t%8\nFrom\t%9")
                                 .arg(dateText(m_job.m_DateIn), dateText(m_job.m_DateProof), m_job.m_ProofTime,
                                      dateText(m_job.m_DateDue), m_job.m_TimeDue, via,
                                      CEmpSet().GetEmployeeName(m_job.m_CSRNo),
                                      CEmpSet().GetEmployeeName(m_job.m_SRepNo), from);
        const struct
        {
            const QString &body;
            int width;
        } boxes[] = {{bill, inch(3.6) + extra}, {buyer, inch(2.4)}, {when, inch(2.0)}};
        int bodyHeight = 9 * m_nLineHeight;
        dc.setFont(font(FontBody));
        for (const auto &b : boxes)
            bodyHeight = std::max(bodyHeight, DrawText(dc, PrintRect(0, 0, b.width - m_nPad, 9 * m_nLineHeight), b.body,
                                                       0x850 | DT_CALCRECT));
        boxHeight = m_nCaptionHeight + 2 * m_nQuarterLine + bodyHeight;
        PrintRect box(m_nBodyLeft, m_nBodyTop, m_nBodyRight, m_nBodyTop + boxHeight);
        DrawBox(dc, QStringLiteral("Bill To Customer No: %1").arg(m_job.m_CusNo), bill, box, boxes[0].width, style,
                0x850, &font(FontBody), 0);
        DrawBox(dc, QStringLiteral("Ordered By"), buyer, box, boxes[1].width, style, 0x850, &font(FontBody), 0);
        DrawBox(dc, QStringLiteral("When"), when, box, boxes[2].width, style, 0x850, &font(FontBody), 0);
    }
    int tableTop = m_nBodyTop + boxHeight;

    // Special instructions before the rows: the first lines of the first
    // row, going on over the pages as a row does.
    // The tax cell over the totals row takes the line under the rows; a
    // second line of it (two long tax texts) one more, which the rows leave
    // to it.
    const int taxOver = optionOn(m_nOptions, kPrice) ? JobTotalsTaxOver(dc, false) : 0;
    const int bodyBottom = m_nBodyBottom - taxOver;
    const int rowLimit = bodyBottom + m_nLineHeight;
    int rowLineOffset = m_nRowLineStart;
    m_nRowLineNext = 0;
    bool notesGoOn = false;
    if (row == 0) {
        QString notes;
        const QString newline = QStringLiteral("\n");
        if (optionOn(m_nOptions, kOrigin)) {
            QString origin;
            if (CZqApp *app = ZqApp())
                app->GetJobOriginText(origin, m_job.m_JobID);
            if (!origin.isEmpty())
                AppendText(notes, QStringLiteral("This job was copied from ") + origin, newline);
        }
        AppendText(notes, m_form.m_Text, newline);
        QString alert;
        GetCustomerAlertText(alert, m_job.m_CusNo, 2);
        AppendText(notes, alert, newline);
        AppendText(notes, m_job.m_WOrderNote, newline);
        // Remarks for the office ("<<" ... ">>") never reach the paper.
        RemoveDelimited(notes, QStringLiteral("<<"), QStringLiteral(">>"));
        std::vector<FlowLine> noteLines;
        if (!notes.isEmpty()) {
            const int left = info.drawRect.left + (style == 1 ? m_nPad : 0);
            AddFlowText(dc, noteLines, notes, left, m_nBodyRight - m_nPad - left, 0x820, noteFont, noteColour);
        }
        const int count = int(noteLines.size());
        rowLineOffset = std::max(0, m_nRowLineStart - count);
        if (m_nRowLineStart < count) {
            const int linesTop = tableTop + m_nCaptionHeight + m_nQuarterLine;
            const int shown = FlowLinesFitting(noteLines, m_nRowLineStart, linesTop, rowLimit);
            DrawFlowLines(dc, noteLines, m_nRowLineStart, shown, linesTop);
            PrintRect box(info.drawRect.left, tableTop, m_nBodyRight,
                          linesTop + shown * m_nLineHeight + m_nQuarterLine);
            DrawBox(dc, QStringLiteral("Special Instructions and Notes"), QString(), box, box.width(), style, 0x850,
                    noteFont, 0);
            tableTop = linesTop + shown * m_nLineHeight + m_nQuarterLine;
            if (m_nRowLineStart + shown < count) {
                m_nRowLineNext = m_nRowLineStart + shown;
                notesGoOn = true;
            }
        }
        if (notesGoOn) {
            DrawContinuedLine(dc, tableTop);
            return;
        }
        // The first row's own lines count after the notes'.
        noteLineCount = count;
    }

    const int firstTop = tableTop + m_nCaptionHeight + m_nQuarterLine;
    const int freeHeight = bodyBottom - firstTop - m_nLineHeight;
    if (freeHeight < m_nLineHeight) {
        if (noteLineCount > 0)
            m_nRowLineNext = noteLineCount;
        else
            m_bRowsDeferred = true;
        return;
    }

    // Columns: label, description, then the optional ones.
    const bool on[6] = {optionOn(m_nOptions, kTime) != 0,     optionOn(m_nOptions, kActuals) != 0,
                        optionOn(m_nOptions, kQuantity) != 0, optionOn(m_nOptions, kActuals) != 0,
                        optionOn(m_nOptions, kCost) != 0,     optionOn(m_nOptions, kPrice) != 0};
    const double inches[6] = {0.5, 0.5, 0.6, 0.5, 0.7, 0.7};
    int labelFitted = 0;
    int descFitted = 0;
    const char *headings[6] = {"Time", "ActualT", "Quantity", "ActualQ", "Cost", "Price"};
    int widths[6];
    int offWidth = 0;
    for (int i = 0; i < 6; ++i) {
        widths[i] = on[i] ? inch(inches[i]) : 0;
        if (!on[i])
            offWidth += inch(inches[i]);
    }
    // The columns share the body as a printed list's columns share the page:
    // a time, quantity or amount wider than its column widens it, and the
    // description gives the room, its lines wrapping.
    {
        std::vector<DocumentColumn> columns(8);
        // A label keeps what it prints, up to its layout's width.
        columns[0] = {inch(0.8), {}, &font(FontBodyBold), QString(), &font(FontBody), true, inch(0.8)};
        columns[1] = {inch(3.7) + extra + offWidth, {}, &font(FontBodyBold), QString(), &font(FontBody), false};
        for (int i = 0; i < 6; ++i) {
            columns[size_t(i + 2)] = {widths[i], {}, &font(FontBody), QString::fromLatin1(headings[i]),
                                      &font(FontBody), true};
            for (const TicketRow &t : m_ticketRows) {
                const QString *values[6] = {&t.estTime, &t.actualTime, &t.quantity, &t.actualQuantity, &t.cost,
                                            &t.price};
                columns[size_t(i + 2)].texts << *values[i];
            }
        }
        for (const TicketRow &t : m_ticketRows)
            columns[0].texts << t.label << t.departmentName;
        const std::vector<int> fitted = FitDocumentColumns(dc, columns, m_nBodyRight - m_nBodyLeft);
        for (int i = 0; i < 6; ++i)
            widths[i] = fitted[size_t(i + 2)];
        labelFitted = fitted[0];
        descFitted = fitted[1];
    }
    const int labelWidth = labelFitted;
    // Scanners need a blank zone before the bars: the frame's line is there.
    const int quiet = inch(0.15);
    const int descWidth = descFitted;
    const int descLeft = m_nBodyLeft + labelWidth;
    const int descRight = descLeft + descWidth;

    // The job's last row takes the totals row and the footer with it: they
    // end a quarter inch above the paper's edge, or the last row starts the
    // next page with them.
    const int closing = m_nLineHeight + taxOver
        + (optionOn(m_nOptions, kPrice) ? m_nLineHeight + m_nCaptionHeight : 0) + DocumentFooterHeight(dc, info);
    const int closingLimit = m_sizePage.height() - int(0.25 * m_sizeDpi.height());

    int y = firstTop;
    int itemsOnPage = 0;
    qint32 lastDepartment = 0;
    qint32 lastCategory = 0;
    bool firstRowOfPage = true;
    const int startRow = row;
    std::vector<FlowLine> lines;
    while (row < rows) {
        const TicketRow &r = m_ticketRows[size_t(row)];
        const int from = row == startRow ? rowLineOffset : 0;
        QString label = r.label;
        const QFont *mainFont = &font(FontBody);
        lines.clear();
        if (r.serNo == 0) {
            lastDepartment = -1;
            lastCategory = 0;
            ++itemsOnPage;
            if (itemsOnPage >= 2) {
                if (optionOn(m_nOptions, kItemPageBreak))
                    break;
                if (style == 1) {
                    PrintRect rule(m_nBodyLeft, y, m_nBodyRight, y);
                    DrawRule(dc, rule, m_nLineHeight, false);
                }
                y += m_nLineHeight;
                if (y > bodyBottom)
                    break;
            }
            if (m_bBarCode) {
                // The item's bars, kept whole before its lines.
                const int height = std::max(InchToDevice(0.375, false) - InchToDevice(0.0, false),
                                            m_fonts[FontBarCode].pixelSize() > 0 ? m_fonts[FontBarCode].pixelSize()
                                                                                 : m_sizeDpi.height() * 240 / 720);
                const int taken = (height + m_nLineHeight - 1) / std::max(1, m_nLineHeight);
                FlowLine bars;
                bars.block = taken;
                const qint32 itemId = r.itemId;
                const int barsLeft = m_nBodyLeft + quiet;
                bars.beside = [this, &dc, itemId, barsLeft, descRight](int top) {
                    m_barCode.m_cObjectKind = '7';
                    m_barCode.m_nObject = itemId;
                    DrawBarCode(dc, PrintRect(barsLeft, top, descRight, top + InchToDevice(0.375, false)), true);
                };
                lines.push_back(bars);
                for (int k = 1; k < taken; ++k) {
                    FlowLine after;
                    after.block = -1;
                    lines.push_back(after);
                }
            }
            mainFont = &font(FontBodyBold);
        } else {
            if (r.department != lastDepartment) {
                label = r.departmentName;
                lastDepartment = r.department;
            }
            if (itemsOnPage == 0) {
                itemsOnPage = 1;
                dc.setFont(font(FontItalic));
                PrintRect cont(descLeft, y, descRight, y + m_nLineHeight);
                DrawText(dc, cont, QStringLiteral("...continued"), 0x820);
                y += m_nLineHeight;
            } else if (optionOn(m_nOptions, kServiceSpace) && !firstRowOfPage) {
                y += m_nLineHeight / 2;
            } else if (optionOn(m_nOptions, kCategorySpace) && r.catNo != lastCategory && lastCategory != 0) {
                y += m_nLineHeight / 2;
            }
            lastCategory = r.catNo;
        }
        firstRowOfPage = false;

        // The row's lines: its description with the label and the values
        // beside its first line, its note, then its lines of paper, run,
        // finish, inks and press.
        const size_t mainLine = lines.size();
        AddFlowText(dc, lines, r.description, descLeft, descWidth, 0x820, mainFont);
        if (r.shading >= 0 && optionOn(m_nOptions, r.shading)) {
            lines[mainLine].fill = 0xF2F2F2;
            lines[mainLine].fillWidth = m_nBodyRight - descLeft;
        }
        const int bodyLeft = m_nBodyLeft;
        const std::array<QString, 6> values = {r.estTime, r.actualTime, r.quantity, r.actualQuantity, r.cost, r.price};
        const std::array<int, 6> valueWidths = {widths[0], widths[1], widths[2], widths[3], widths[4], widths[5]};
        lines[mainLine].beside = [this, &dc, bodyLeft, label, labelWidth, descRight, values, valueWidths](int top) {
            PrintRect cells(bodyLeft, top, m_nBodyRight, top + m_nLineHeight);
            DrawTextBox(dc, label, cells, labelWidth, 0x820, &font(FontBodyBold));
            cells.left = descRight;
            for (size_t i = 0; i < values.size(); ++i)
                if (valueWidths[i])
                    DrawTextBox(dc, values[i], cells, valueWidths[i], 0x822, &font(FontBody));
        };
        if (!r.note.isEmpty()) {
            QString note = r.note;
            RemoveDelimited(note, QStringLiteral("<<"), QStringLiteral(">>"));
            if (!note.isEmpty())
                AddFlowText(dc, lines, note, descLeft + m_nPad, descWidth - m_nPad, 0x820, noteFont, noteColour);
        }
        for (const QString &line : r.subLines) {
            if (line.isEmpty())
                continue;
            if (line.contains(QStringLiteral(" \u2022 ")))
                AddFlowText(dc, lines, line, descLeft, m_nBodyRight - descLeft, 0x820, noteFont, noteColour);
            else
                AddFlowText(dc, lines, line, descLeft, m_nBodyRight - descLeft, 0x820, &font(FontBody));
        }
        const int first = std::min(from, int(lines.size()) - 1);
        const int left = int(lines.size()) - first;
        const int fits = FlowLinesFitting(lines, first, y, rowLimit);
        // A row that does not fit starts the next page, unless the page has
        // nothing else: then it goes on over the pages.
        if (left > fits && (row > startRow || fits == 0)) {
            if (row == startRow)
                m_nRowLineNext = from + noteLineCount;
            break;
        }
        if (row == rows - 1 && row > startRow && y + fits * m_nLineHeight + closing > closingLimit)
            break;
        DrawFlowLines(dc, lines, first, fits, y);
        y += fits * m_nLineHeight;
        m_nLastTicketRow = row;
        if (first + fits < int(lines.size())) {
            m_nRowLineNext = first + fits + (row == 0 ? noteLineCount : 0);
            break;
        }
        ++row;
        if (y > bodyBottom)
            break;
    }

    // Column headings over the table.
    const int tableBottom = y + m_nLineHeight + (row >= rows ? taxOver : 0);
    m_pCaptionFont = &font(FontBody);
    PrintRect heads(m_nBodyLeft, tableTop, m_nBodyRight, tableBottom);
    DrawBox(dc, QStringLiteral("Specs - This job has ")
                    + FormatCountWithUnit(m_nItemCount, QStringLiteral("Item"), QStringLiteral("Items")),
            QString(), heads, labelWidth + descWidth, style, 0x824, &font(FontBody), 0);
    for (int i = 0; i < 6; ++i) {
        if (!widths[i])
            continue;
        DrawBox(dc, QString::fromLatin1(headings[i]), QString(), heads, widths[i], style, 0x825, &font(FontBody), 0);
    }
    m_pCaptionFont = &font(FontBodyBold);

    if (row >= rows) {
        int footerY = tableBottom;
        if (optionOn(m_nOptions, kPrice)) {
            DrawJobTotals(dc, PrintRect(m_nBodyLeft, tableBottom, m_nBodyRight, tableBottom), style, false, extra);
            footerY += m_nLineHeight + m_nCaptionHeight;
        }
        MarkJobPrinted(info);
        DrawDocumentFooter(dc, info, footerY, PrintCountWithThisPrint(info));
    } else {
        DrawContinuedLine(dc, tableBottom);
    }
}

// --- the service bar-code page ---------------------------------------------------------

void CPrintForm::PrintServiceBarcodePage(QPainter &dc, PrintInfo &info, int &row)
{
    const int rows = int(m_ticketRows.size());
    m_columns.clear();
    AddColumn(QString(), 100, 10, 0x820);
    AddColumn(QStringLiteral("Description"), 100, 10, 0x820);
    // Scanners need a blank zone before the bars: the frame's line is there.
    auto quietZone = [this] { return InchToDevice(0.15, true); };
    const int codeWidth = InchToDevice(3.0, true);
    const int textWidth = InchToDevice(5.0, true);
    const int step = InchToDevice(0.5, false) - InchToDevice(0.0, false);
    // The rows end a line below the lowest row start, as the ticket's do:
    // the frames end there, and "continued..." stands below them on the page.
    const int rowLimit = m_nBodyBottom + m_nLineHeight;
    int y = m_nListTop;
    int itemsOnPage = 0;
    int drawn = 0;
    int r = row - rows;
    while (r >= 0 && r < rows) {
        const TicketRow &t = m_ticketRows[size_t(r)];
        const QFont *textFont = &font(FontBody);
        if (t.serNo == 0) {
            ++itemsOnPage;
            if (itemsOnPage >= 2) {
                if (optionOn(m_nOptions, kItemPageBreak))
                    break;
                PrintRect rule(m_nBodyLeft, y, m_nBodyRight, y);
                DrawRule(dc, rule, m_nLineHeight, true);
                y = rule.top;
                if (y > m_nBodyBottom)
                    break;
            }
            textFont = &font(FontBodyBold);
            m_barCode.m_cObjectKind = '7';
        } else {
            m_barCode.m_cObjectKind = '5';
        }
        // A row that would run below the frames starts the next page.
        if (drawn > 0 && y + step > rowLimit)
            break;
        m_barCode.m_nObject = t.itemId;
        dc.setFont(font(FontBody));
        DrawBarCode(dc, PrintRect(m_nBodyLeft + quietZone(), y, m_nBodyLeft + codeWidth, y + step), true);
        // The row's text on its half inch, clear of the next row's: wrapped
        // at the body's size, and ended by "..." when it needs more lines
        // than the row holds (the ticket's own pages print it whole).
        DrawTextInCell(dc, t.barText,
                       PrintRect(m_nBodyLeft + codeWidth, y, m_nBodyLeft + codeWidth + textWidth,
                                 y + step - m_nQuarterLine),
                       0x820, textFont);
        ++drawn;
        ++row;
        ++r;
        y += step;
        if (y > m_nBodyBottom)
            break;
    }
    PrintRect frames(m_nBodyLeft, m_nBodyTop, m_nBodyRight, std::max(rowLimit, y));
    DrawBox(dc, QString(), QString(), frames, codeWidth, 1, 0x820, &font(FontBody), 0);
    DrawBox(dc, QStringLiteral("Description"), QString(), frames, textWidth, 1, 0x820, &font(FontBody), 0);
    if (r < rows)
        DrawContinuedLine(dc, std::max(rowLimit, y));
}
