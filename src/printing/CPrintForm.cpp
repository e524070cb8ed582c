#include "printing/CPrintForm.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/Colours.h"
#include "app/base/MoneyText.h"
#include "app/base/TextUtil.h"
#include "controls/CXChartCtrl.h"
#include "controls/CXGridCtrl.h"
#include "controls/CXListCtrl.h"
#include "data/JobTypes.h"
#include "printing/CPrintDlg.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kJobsView = 30001;
constexpr int kReceivablesView = 30004;

} // namespace

CPrintForm::CPrintForm()
{
    RegisterRenderer(100, 100, [](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
        if (f.m_pChart)
            f.PrintTable(dc, info, row, f.m_pChart, 210);
        else
            f.PrintListCtrl(dc, info, row);
    });
    RegisterRenderer(101, 199, [](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
        const int hue = f.m_nContext == kJobsView ? GetJobTypeHue(f.m_nListBranch)
                                                  : Appearance::instance().GetViewHue(unsigned(f.m_nContext), true);
        f.PrintTable(dc, info, row, nullptr, hue);
    });
    RegisterRenderer(200, 200, [](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
        f.PrintGridDialog(dc, info, row);
    });
    RegisterRenderer(201, 201, [](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
        f.PrintReceiptPage(dc, info, row);
    });
    RegisterRenderer(301, 308, [](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
        f.PrintBarCodeSheet(dc, info, row, f.m_nKind);
    });
    RegisterRenderer(202, 202, [](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
        f.PrintTree(dc, info, row);
    });
    RegisterRenderer(203, 203, [](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
        f.PrintBitmapPage(dc, info, row);
    });
    RegisterRenderer(204, 204, [](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
        f.PrintTextFile(dc, info, row);
    });
    // Kinds below 100: statements in the receivables view, job documents in
    // the jobs view.
    RegisterRenderer(1, 9, [](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
        if (f.m_nContext == kReceivablesView)
            f.PrintStatement(dc, info, row);
        else if (f.m_nKind == 1)
            f.PrintJobTicket(dc, info, row);
        else
            f.PrintJobDocumentPage(dc, info, row);
    });
}

CPrintForm::~CPrintForm() = default;

QString CPrintForm::CustomerAddressBlock(qint32 cusNo)
{
    // A job without a customer (CusNo Null or 0) or with one since deleted
    // prints without an address block.
    CCusSet customer;
    const QString address = customer.FormatCustomer(cusNo, 0);
    if (!customer.IsOpen() || customer.IsEOF() || customer.m_CusNo != cusNo)
        return address;
    QString block = customer.m_Name;
    AppendText(block, address, QStringLiteral("\n"));
    return block;
}

CPrintForm *CPrintForm::Instance()
{
    CZqApp *app = ZqApp();
    return app ? dynamic_cast<CPrintForm *>(app->printService()) : nullptr;
}

void CPrintForm::RegisterRenderer(int firstKind, int lastKind, PageRenderer renderer)
{
    m_renderers[firstKind] = {lastKind, std::move(renderer)};
}

const CPrintForm::PageRenderer *CPrintForm::rendererOf(int kind) const
{
    auto it = m_renderers.upper_bound(kind);
    if (it == m_renderers.begin())
        return nullptr;
    --it;
    return kind <= it->second.first ? &it->second.second : nullptr;
}

bool CPrintForm::HasRenderer(int kind) const
{
    return rendererOf(kind) != nullptr;
}

bool CPrintForm::CanPrintKind(int kind) const
{
    // Statements are kinds 1-4 and have no kinds above 4.
    if (kind >= 1 && kind < 100 && m_nContext == kReceivablesView)
        return kind <= 4;
    // Kinds 300 and 306 have no sheet.
    if (kind == 300 || kind == 306)
        return false;
    return HasRenderer(kind);
}

bool CPrintForm::FindForm()
{
    bool found = false;
    if (SharedDatabase().isOpen()) {
        found = m_form.FindByField(QStringLiteral("[No]"), m_nFormNo) && !m_form.IsEOF();
        if (!found && m_nFormNo != 100) {
            m_nFormNo = 100;
            found = m_form.FindByField(QStringLiteral("[No]"), 100) && !m_form.IsEOF();
        }
    }
    if (!found) {
        m_form.ClearFields();
    } else {
        if (m_nFormNo < 100)
            m_strTitle = m_form.m_Title;
        m_dTopMargin = std::max(0.0, double(m_form.m_TopMargin));
        m_dLeftMargin = std::max(0.0, double(m_form.m_LeftMargin));
    }
    SetColors(std::uint32_t(m_form.m_ColBack), std::uint32_t(m_form.m_ColText));
    // Job lists in a colour of their own take the job type's hue instead.
    const bool plain = (m_crFill == 0xFFFFFF && m_crText == 0) || (m_crFill == 0 && m_crText == 0xFFFFFF);
    if (m_nKind >= 100 && m_nContext == kJobsView && !plain)
        SetColors(GetHueShade(GetJobTypeHue(m_nListBranch), 4), 0xFFFFFF);
    return found;
}

void CPrintForm::LoadDocumentForm(int formNo, int listBranch)
{
    m_nFormNo = quint8(formNo);
    FindForm();
    if (m_nFormNo == formNo) {
        m_strTitle = m_form.m_Title;
        return;
    }
    m_strTitle.clear();
    for (const CPrintDlg::DocumentEntry &entry : CPrintDlg::DocumentEntries(m_nContext, listBranch, 0, false)) {
        if (entry.kind == m_nKind) {
            m_strTitle = entry.text;
            break;
        }
    }
}

void CPrintForm::OnBeginPrinting(QPainter &dc, PrintInfo &info)
{
    CPrint::OnBeginPrinting(dc, info);
    const int width = m_sizePage.width();
    const int height = m_sizePage.height();
    const bool option2 = IsBitSet(m_nOptions, 2);
    if (m_nKind >= 100) {
        m_nBodyLeft = 0;
        m_nBodyRight = width;
    } else {
        // A column 8 inches wide at the form's left margin, never more than
        // half the spare width from the edge; on paper whose printable width
        // is less (A4 on most printers), as wide as that, the layout's
        // inches across drawn that much closer (BodyAcross).
        const int column = InchToDevice(8.0, true);
        const int spare = std::max(0, width - column);
        m_nBodyLeft = std::clamp(InchToDevice(m_dLeftMargin, true), 0, spare / 2);
        m_nBodyRight = m_nBodyLeft + std::min(column, width);
    }
    const bool jobDocument = m_nKind < 100 && m_nKind > 1 && m_nContext == kJobsView;
    const bool statement = m_nKind < 100 && m_nContext == kReceivablesView;
    int bottom = height - 2 * m_nLineHeight;
    if (jobDocument || statement) {
        if (option2)
            bottom = InchToDevice(jobDocument ? 8.3 : 8.6, false);
        else
            bottom = height - 5 * m_nLineHeight;
        // A shop's address longer than the footer's line wraps: the footer
        // (and the totals and body above it) start higher by its extra
        // lines, so that its last line ends where a single line does.
        const QFont saved = dc.font();
        dc.setFont(font(Font7));
        const int line = DrawText(dc, PrintRect(0, 0, width, 1 << 24), QStringLiteral("Ag"), 0x821 | 0x400);
        dc.setFont(saved);
        bottom -= std::max(0, CompanyFooterHeight(dc, m_nBodyLeft, m_nBodyRight, jobDocument) - line);
    }
    double bodyTop = 1.25;
    if (jobDocument)
        bodyTop = option2 ? 2.7 : 3.1;
    else if (statement)
        bodyTop = 3.1;
    m_nBodyTop = InchToDevice(bodyTop, false);
    // Job documents and statements keep their footer (totals row, form footer,
    // print count) between the body's bottom limit and the page's end.
    if (jobDocument || statement)
        m_nFooterTop = bottom;
    m_nListTop = m_nBodyTop + m_nLineHeight + m_nQuarterLine;
    m_nBodyBottom = bottom - 2 * m_nLineHeight;
    m_nLastTicketRow = -1;
}

void CPrintForm::OnPrint(QPainter &dc, PrintInfo &info)
{
    info.drawRect.top += int(m_dTopMargin * m_sizeDpi.height());
    if (m_nBodyRight > m_nBodyLeft) {
        info.drawRect.left = m_nBodyLeft;
        info.drawRect.right = m_nBodyRight;
    }
    const QFont savedFont = dc.font();
    dc.setFont(font(FontBody));
    dc.setBackgroundMode(Qt::TransparentMode);
    const int page = info.currentPage;
    if (page < 1 || page > int(m_pageStarts.size())) {
        info.maxPage = std::max(1, page - 1);
        return;
    }
    int row = m_pageStarts[page - 1];
    const int start = row;
    if (m_nKind < 100 && m_nContext == kJobsView) {
        // Bar codes on this document: a bit of the bar-code settings row.
        const int bits = SharedDatabase().isOpen() ? GetGlobalAlertText(241, 2, QStringLiteral("0")).toInt() : 0;
        // Order forms 1-7 are bits 0-6, quote forms 11-18 bits 7-14.
        const int bit = m_nListBranch == 1 ? m_nKind + 6 : m_nKind - 1;
        m_bBarCode = (bits >> bit) & 1;
    }
    if (m_nKind >= 100 && !m_strSubtitle.isEmpty())
        m_strHeading2 = m_strSubtitle;
    m_bRowsDeferred = false;
    // A page drawn again starts in the group it started in when it was found.
    if (page - 1 < int(m_pageGroups.size()))
        m_strGroup = m_pageGroups[page - 1];
    m_nRowLineStart = page - 1 < int(m_pageRowLines.size()) ? m_pageRowLines[size_t(page - 1)] : 0;
    m_nRowLineNext = 0;
    if (const PageRenderer *renderer = rendererOf(m_nKind))
        (*renderer)(*this, dc, info, row);
    else
        row = m_nRecords;
    // A renderer that printed nothing more ends the run here (unless it put
    // its rows off to the next page on purpose, once, or printed more lines
    // of a row taller than a page).
    const bool deferred = m_bRowsDeferred && page > 1 ? m_pageStarts[page - 2] != start : m_bRowsDeferred;
    const bool rowGoesOn = row == start && m_nRowLineNext > m_nRowLineStart;
    if (row <= start && row < m_nRecords && !deferred && !rowGoesOn)
        row = m_nRecords;
    if (row >= m_nRecords) {
        info.maxPage = page;
    } else if (page == int(m_pageStarts.size())) {
        m_pageStarts.append(row);
        m_pageRowLines.resize(size_t(m_pageStarts.size()), 0);
        m_pageRowLines.back() = m_nRowLineNext;
        m_pageGroups.resize(m_pageStarts.size());
        m_pageGroups.back() = m_strGroup;
    }
    dc.setFont(savedFont);
}

int CPrintForm::BodyAcross(double inches) const
{
    const int column = InchToDevice(8.0, true);
    const int body = m_nBodyRight - m_nBodyLeft;
    const int full = InchToDevice(inches, true);
    if (body >= column || column <= 0)
        return full;
    return int(std::int64_t(full) * body / column);
}

int CPrintForm::AddressTop(QPainter &dc, const QString &shop, int left, int shopTop, int right, int top)
{
    if (shop.trimmed().isEmpty())
        return top;
    return std::max(top, TextBottom(dc, shop, left, shopTop, right, font(FontBody)) + m_nQuarterLine);
}

void CPrintForm::DrawContinuedLine(QPainter &dc, int y)
{
    dc.setFont(font(FontBodyBold));
    DrawText(dc, PrintRect(m_nBodyLeft, y, m_nBodyRight, y + m_nLineHeight), QStringLiteral("continued..."), 0x825);
    dc.setFont(font(FontBody));
}

namespace {

// The widest print count a document prints (its count is kept in a byte).
const QString kWidestPrintCount = QStringLiteral("(print# 888)");

} // namespace

PrintRect CPrintForm::FooterCompanyBox(QPainter &dc, int left, int right, int top, const QString &count) const
{
    // The shop's address is centred on the body column; beside a print
    // count it keeps clear of it on both sides, so that it stays centred.
    int inset = 0;
    if (!count.isEmpty())
        inset = QFontMetrics(m_fonts[Font7], dc.device()).horizontalAdvance(count) + m_nPad;
    inset = std::min(inset, std::max(0, (right - left) / 2 - m_nPad));
    return PrintRect(left + inset, top, right - inset, top + (1 << 24));
}

void CPrintForm::DrawDocumentFooter(QPainter &dc, PrintInfo &info, int y, int printCount)
{
    PrintRect r(info.drawRect.left, y + m_nQuarterLine, info.drawRect.right, info.drawRect.bottom);
    if (!m_form.m_Footer.isEmpty())
        DrawTextLine(dc, m_form.m_Footer, r, 0x851, 1, &font(FontBodyBold));
    QString company;
    if (CZqApp *app = ZqApp())
        app->GetCompanyText(company, -3);
    const QString count = printCount != 0 ? QStringLiteral("(print# %1)").arg(printCount) : QString();
    // The address wraps at its words onto the lines its length takes
    // (DocumentFooterHeight counts them, and the page leaves them room).
    PrintRect box = FooterCompanyBox(dc, r.left, r.right, r.top, count);
    box.bottom = r.bottom;
    dc.setFont(font(Font7));
    DrawText(dc, box, company, 0x811);
    if (!count.isEmpty())
        DrawTextLine(dc, count, r, 0x822, 0, nullptr);
    dc.setFont(font(FontBody));
}

int CPrintForm::TextBottom(QPainter &dc, const QString &text, int left, int top, int right, const QFont &f)
{
    const QFont saved = dc.font();
    dc.setFont(f);
    const int height = text.isEmpty() ? 0 : DrawText(dc, PrintRect(left, top, right, top + (1 << 24)), text, 0x850 | 0x400);
    dc.setFont(saved);
    return top + height;
}

int CPrintForm::DocumentFooterHeight(QPainter &dc, const PrintInfo &info)
{
    const QFont saved = dc.font();
    int height = m_nQuarterLine;
    const PrintRect area(info.drawRect.left, 0, info.drawRect.right, 1 << 24);
    if (!m_form.m_Footer.isEmpty()) {
        dc.setFont(font(FontBodyBold));
        height += DrawText(dc, area, m_form.m_Footer, 0x851 | 0x400);
    }
    // The shop's address, with room for a print count beside it.
    height += CompanyFooterHeight(dc, area.left, area.right, true);
    dc.setFont(saved);
    return height;
}

int CPrintForm::CompanyFooterHeight(QPainter &dc, int left, int right, bool counted)
{
    const QFont saved = dc.font();
    QString company;
    if (CZqApp *app = ZqApp())
        app->GetCompanyText(company, -3);
    dc.setFont(font(Font7));
    const int line = DrawText(dc, PrintRect(left, 0, right, 1 << 24), QStringLiteral("Ag"), 0x821 | 0x400);
    const PrintRect box = FooterCompanyBox(dc, left, right, 0, counted ? kWidestPrintCount : QString());
    const int height = company.isEmpty() ? line : std::max(line, DrawText(dc, box, company, 0x811 | 0x400));
    dc.setFont(saved);
    return height;
}

void CPrintForm::PrintPaperCutter(QPainter &dc, PrintInfo &info, const CutterLayout &first,
                                  const CutterLayout &second)
{
    dc.setFont(font(FontBody));
    dc.setBackgroundMode(Qt::TransparentMode);
    info.drawRect.top += int(0.25 * m_sizeDpi.height());
    DrawPageHeader(dc, info);
    const int third = m_sizePage.width() / 3;
    const QRect firstArea(third, m_nBodyTop, m_sizePage.width() - third, m_nBodyBottom - m_nBodyTop);
    QRect used = first.draw ? first.draw(dc, firstArea) : QRect(firstArea.topLeft(), QSize(0, 0));
    const int firstCaptionTop = m_nBodyTop + 8 * m_nLineHeight;
    DrawText(dc, PrintRect(0, firstCaptionTop, third, m_nBodyBottom), first.caption, 0x811);
    const int secondTop = used.bottom() + m_nLineHeight;
    const QRect secondArea(third, secondTop, m_sizePage.width() - third, std::max(0, m_nBodyBottom - secondTop));
    if (second.draw)
        second.draw(dc, secondArea);
    DrawText(dc, PrintRect(0, secondTop + 8 * m_nLineHeight, third, m_nBodyBottom),
             second.caption + QStringLiteral("\n\n\n") + second.secondText, 0x811);
}

// --- the print service ---------------------------------------------------------------

void CPrintForm::PrintList(CXListCtrl *list, const QString &caption1, const QString &caption2,
                           const QString &caption3, int command)
{
    if (!list)
        return;
    list->FetchAll();
    if (list->GetItemCount() < 1)
        return;
    ResetOptions();
    m_nKind = 100;
    m_pList = list;
    m_nRecords = list->GetItemCount();
    m_strTitle = caption1;
    m_strHeading1 = caption2;
    m_strHeading2 = caption3;
    m_strHeading3 = ListSizeText(*list, m_nRecords, QStringLiteral("List Size: %1"));
    m_nFormNo = 100;
    FindForm();
    DoPrint(command);
}

void CPrintForm::PrintViewList(int viewId, CXListCtrl *list, CXChartCtrl *chart, const QString &viewName,
                               const QString &listCaption, const QString &filterText, int command)
{
    ResetOptions();
    m_nKind = 100;
    m_nContext = viewId;
    if (chart && chart->table()) {
        m_pChart = chart;
        m_nRecords = chart->table()->GetRowCount();
    } else if (list) {
        list->FetchAll();
        m_pList = list;
        m_nRecords = list->GetItemCount();
    }
    if (m_nRecords < 1)
        return;
    m_strTitle = viewName;
    m_strHeading1 = listCaption;
    if (!filterText.isEmpty()) {
        QString condition = filterText;
        condition.remove(QLatin1Char('#'));
        m_strHeading2 = QStringLiteral("Filter: ") + condition;
    }
    m_strHeading3 = m_pChart ? QStringLiteral("List Size: %1 ").arg(RecordRows(*m_pChart->table()))
                             : ListSizeText(*m_pList, m_nRecords, QStringLiteral("List Size: %1 "));
    m_nFormNo = 100;
    FindForm();
    DoPrint(command);
}

QString CPrintForm::ListSizeText(const CXListCtrl &list, int listed, const QString &format)
{
    // A query that gave more rows than a list holds prints, as the list
    // shows, only its first rows: the page says so.
    if (list.WasFillBounded())
        return QStringLiteral("List Size: %1 - only the first rows: the query gives more rows than a list can hold")
            .arg(FormatInt(listed, true, false));
    return format.arg(listed);
}

int CPrintForm::RecordRows(const CXTable &table)
{
    int records = 0;
    for (int r = 0; r < table.GetRowCount(); ++r)
        records += table.IsSpecialRow(r) ? 0 : 1;
    return records;
}

void CPrintForm::PrintGrid(QWidget *dialog, CXGridCtrl *grid, CXGridCtrl *secondGrid, const QString &title,
                           const QString &subtitle)
{
    ResetOptions();
    m_nFormNo = 100;
    FindForm();
    m_strTitle = title;
    CPrint::PrintGrid(dialog, grid, secondGrid, subtitle.isEmpty() ? title : subtitle);
}

void CPrintForm::PrintScreen(QWidget *window, QWidget *part, const QString &title, const QString &partName,
                             int command)
{
    CPrint::PrintScreen(window, part, nullptr, title, partName, false, command);
}

bool CPrintForm::SetupTablePrint(const QString &sql, const QString &title)
{
    ResetOptions();
    m_nKind = 101;
    m_nFormNo = 100;
    FindForm();
    m_table.Reset();
    m_table.LoadQueryWithProgress(sql, CXTable::TotalsOneRow, 2, QStringLiteral("Total"));
    m_nRecords = m_table.GetRowCount();
    m_strTitle = title;
    return m_nRecords > 0;
}

void InstallPrinting(CZqApp &app)
{
    app.setPrintService(std::make_unique<CPrintForm>());
}
