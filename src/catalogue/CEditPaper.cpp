#include "catalogue/CEditPaper.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/Choices.h"
#include "app/base/Codes.h"
#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "app/base/QuantityText.h"
#include "app/base/SqlText.h"
#include "app/base/TypedValue.h"
#include "catalogue/CDigital.h"
#include "catalogue/CSerList.h"
#include "data/CItemSet.h"
#include "platform/Prompt.h"
#include "resources/Strings.h"
#include "views/CNoteDlg.h"
#include "views/TextRoom.h"

namespace {

CEditPaper::CutterHook &cutterHook()
{
    static CEditPaper::CutterHook hook;
    return hook;
}

QString trimmedRight(const QString &text)
{
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1).isSpace())
        --n;
    return text.left(n);
}

// "<category name>: <service name>", as the service row names itself.
QString fullNameOf(const CSerSet &service)
{
    const QString category = ZqApp() ? ZqApp()->GetCategoryName(service.m_CatNo) : QString();
    return category + QStringLiteral(": ") + service.m_Name;
}

} // namespace

void CEditPaper::SetCutterHook(CutterHook hook)
{
    cutterHook() = std::move(hook);
}

qint32 CEditPaper::PagesOf(qint32 sheets, quint8 side1, quint8 side2)
{
    if (side1 != 0 && side2 != 0)
        return sheets * 2;
    if (side1 != 0 || side2 != 0)
        return sheets;
    return 0;
}

CEditPaper::CEditPaper(CItemSet &item, const CSerSet &service, int offset, QWidget *parent)
    : CDlg0(821, parent), m_item(item), m_nOffset(offset)
{
    m_paper.FindBySerNo(service.m_SerNo);
    resize(440, 40 + 8 + RowCount * 21 + 2 + 60);
    AddPlaceholder(1901, QRect(0, 0, 440, 40));
    AddPlaceholder(kGrid, QRect(10, 48, 420, RowCount * 21 + 2));
    const int buttons = 48 + RowCount * 21 + 14;
    AddButton(1, QStringLiteral("OK"), QRect(110, buttons, 104, 32));
    AddButton(2, QStringLiteral("Cancel"), QRect(226, buttons, 104, 32));
}

QString CEditPaper::cutterCaption() const
{
    return fullNameOf(m_paper) + QLatin1Char(' ') + m_paper.m_Size + QLatin1Char(' ') + m_item.m_strPlainNote;
}

bool CEditPaper::OnInitDialog()
{
    if (CZqApp *app = ZqApp())
        m_nColorScheme = Appearance::GetColorHue(app->GetServiceColor(m_paper.m_SerNo));
    m_strWindowTitle = QStringLiteral("Paper Specs for %1 Printing")
                           .arg(m_bDigital ? QStringLiteral("Digital") : QStringLiteral("Offset"));
    const QString fullName = fullNameOf(m_paper);
    m_strRibbonTitle = QStringLiteral("%1 %2").arg(fullName, m_paper.m_Size);
    CDlg0::OnInitDialog();
    SetBackColor(0xFFFFFF);
    InitRibbons(6, 1, 2, 14);
    if (!m_bNoReplace) {
        m_wndRibbon.AddItem(30522, QStringLiteral("Replace"), struct_RIB_ITEM::Normal, 0, 255, 2, 2085, 0, 2, 80, 0,
                            0, QString(), 1);
        m_wndRibbon.RecalcLayout(30281);
    }
    // The paper's category, name and size read whole in the title: a long
    // one widens the window, the grid with it, the buttons staying centred.
    if (const int grow = TitleShortfall(m_wndRibbon, m_strRibbonTitle, 6, this); grow > 0) {
        resize(width() + grow, height());
        GrowItemBy(1901, grow, 0);
        GrowItemBy(kGrid, grow, 0);
        MoveItemBy(1, grow / 2, 0);
        MoveItemBy(2, grow / 2, 0);
    }
    BuildRows();
    m_grid.CreateInDlgItem(this, kGrid, m_nColorScheme, 100);
    connect(&m_grid, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
    connect(&m_grid, &CXWnd::ownerMessage, this, [this](int message, qintptr, qintptr row) {
        if (message == 30247 && !m_bExchanging)
            OnRowChanged(int(row));
    });
    Exchange(false);
    Retitle();
    Exchange(true);
    CenterAndAnimate(0);
    move(x() + m_nOffset, y());
    m_grid.EditRow(m_nStartRow);
    return true;
}

void CEditPaper::BuildRows()
{
    CXGridProp &g = m_grid;
    g.AddTextRow(QStringLiteral("Modified"), DateToText(m_paper.m_Modified));
    g.AddTextRow(QStringLiteral("Reminder"), m_paper.m_SerRemind);
    QString stock = FormatInt(m_paper.m_InStock, true, true);
    if (m_paper.m_OnOrder != 0)
        stock += QStringLiteral(" + OnOrder: ") + FormatInt(m_paper.m_OnOrder, true, false);
    g.AddTextRow(QStringLiteral("In Stock"), stock);
    g.AddCaption(QStringLiteral("How many?"), 30383);
    g.AddRow(7, GetQuantityUnitName(m_nQuantityUnit), QStringLiteral("%d"));
    // A count, read as the item window reads its originals: "-5", or one
    // past the largest count, is refused naming the row.
    g.SetRowNotNegative(RowSheets);
    g.AddListRow(3, QStringLiteral("Paper Color"), GetQuickNotesSql(3, 0));
    g.AddListRow(2, QStringLiteral("Paper Vendor"),
                 QStringLiteral("SELECT [No], Name FROM Vendors WHERE ([No] = 0 or Type = 0) AND Name NOT LIKE '~*' "
                                "ORDER BY Sort, Name"));
    g.AddCaption(QStringLiteral("Sizes (flat)"), 30104);
    g.AddRow(1, QStringLiteral("Parent Size"), QString(), 0);
    g.AddListRow(3, QStringLiteral("Run Size"), GetQuickNotesSql(1, 0));
    g.AddListRow(3, QStringLiteral("Finish Size"), GetQuickNotesSql(2, 0));
    g.AddCaption(QStringLiteral("Sides"), 30388);
    const int inks = m_bDigital ? IDS_INK_COLORS_SHORT : IDS_INK_COLORS;
    g.AddListRow(2, QStringLiteral("Front"), QString(), inks);
    g.AddListRow(3, QStringLiteral(" "), GetQuickNotesSql(4, 0), 0, 1, 30274);
    g.AddListRow(2, QStringLiteral("Back"), QString(), inks, 1, 30110);
    g.AddListRow(3, QStringLiteral(" "), GetQuickNotesSql(4, 0), 0, 1, 30274);
    g.AddListRow(2, QStringLiteral("Print As"), QString(), IDS_PRINT_STYLES);
    g.AddCaption(QStringLiteral("Difficulties"));
    g.AddListRow(2, QStringLiteral("Coverage"), QString(), IDS_DIFFICULTY);
    g.AddListRow(2, QStringLiteral("Registration"), QString(), IDS_DIFFICULTY);
    g.AddListRow(2, QStringLiteral("Bleed"), QString(), IDS_BLEED_SIDES);
}

void CEditPaper::Exchange(bool save)
{
    m_bExchanging = true;
    if (save)
        m_grid.EndEdit();
    m_grid.SetSaveMode(save ? 1 : 0);
    CItemSet &r = m_item;
    m_grid.ExchangeLong(RowSheets, r.m_Sheets);
    m_grid.ExchangeText(RowColor, r.m_strPlainNote);
    m_grid.ExchangeByte(RowVendor, r.m_Vendor);
    m_grid.ExchangeText(RowParent, r.m_strPaperSize);
    m_grid.ExchangeText(RowRun, r.m_strRunSize);
    m_grid.ExchangeText(RowFinish, r.m_strFinishSize);
    m_grid.ExchangeByte(RowFront, r.m_Side1);
    m_grid.ExchangeText(RowFrontInks, r.m_strFrontInks);
    m_grid.ExchangeByte(RowBack, r.m_Side2);
    m_grid.ExchangeText(RowBackInks, r.m_strBackInks);
    m_grid.ExchangeByte(RowPrintAs, r.m_PrtAs);
    m_grid.ExchangeByte(RowCoverage, r.m_Covrg);
    m_grid.ExchangeByte(RowRegistration, r.m_Regis);
    m_grid.ExchangeByte(RowBleed, r.m_Bleed);
    m_grid.SetSaveMode(0);
    if (save) {
        for (QString *text : {&r.m_strPlainNote, &r.m_strPaperSize, &r.m_strRunSize, &r.m_strFinishSize,
                              &r.m_strFrontInks, &r.m_strBackInks})
            *text = trimmedRight(*text);
    }
    m_bExchanging = false;
}

void CEditPaper::Retitle()
{
    const CItemSet &r = m_item;
    if (r.m_strPaperSize == r.m_strRunSize && r.m_strRunSize == r.m_strFinishSize)
        m_grid.SetRowLabel(RowSizes, QStringLiteral("Sizes"));
    else
        m_grid.SetRowLabel(RowSizes, QStringLiteral("Sizes   (%1 Out x %2 Up = %3)")
                                         .arg(r.m_Out)
                                         .arg(r.m_Up)
                                         .arg(qint64(r.m_Out) * r.m_Up));
    m_grid.SetRowLabel(RowSides, GetSidesPrinted(r.m_Side1, r.m_Side2) == 1 ? QStringLiteral("Side")
                                                                           : QStringLiteral("Sides"));
    m_grid.SetRowImage(RowSides, GetSidesImageIndex(r.m_Side1, r.m_Side2));
    m_grid.SetRowImage(RowFront, GetInkImageIndex(r.m_Side1));
    m_grid.SetRowImage(RowBack, GetInkImageIndex(r.m_Side2));
}

void CEditPaper::RunCutter(bool show)
{
    if (!cutterHook()) {
        if (show)
            platform::Prompt::messageBox(
                QStringLiteral("The paper cutter is not yet available in this version of Tavrel."));
        return;
    }
    const bool ok = cutterHook()(*this, show);
    if (show && ok)
        m_bSizesChanged = true;
    Exchange(false);
    Retitle();
}

void CEditPaper::CalcLayouts()
{
    if (cutterHook())
        cutterHook()(*this, false);
    m_bSizesChanged = false;
}

void CEditPaper::FitSizes()
{
    CItemSet &r = m_item;
    if (!r.m_strPaperSize.isEmpty() && !r.m_strRunSize.isEmpty() && CompareSizes(r.m_strPaperSize, r.m_strRunSize, 1) < 0) {
        r.m_strRunSize = r.m_strPaperSize;
        r.m_Out = 1;
    }
    if (!r.m_strRunSize.isEmpty() && !r.m_strFinishSize.isEmpty() &&
        CompareSizes(r.m_strRunSize, r.m_strFinishSize, 1) < 0) {
        r.m_strFinishSize = r.m_strRunSize;
        r.m_Up = 1;
    }
    Exchange(false);
    RunCutter(false);
}

void CEditPaper::BleedCheck()
{
    const CItemSet &r = m_item;
    if (r.m_Bleed != 0 && CompareSizes(r.m_strRunSize, r.m_strFinishSize, 1) <= 0)
        platform::Prompt::messageBox(QStringLiteral("REMINDER: Make sure the Paper Run Size and the number of "
                                                    "finishing cuts are accurate to handle the bleed."));
}

void CEditPaper::OnRowChanged(int row)
{
    Exchange(true);
    switch (row) {
    case RowRun:
        if (m_paper.m_Size.trimmed().isEmpty())
            m_item.m_strPaperSize = m_item.m_strRunSize;
        [[fallthrough]];
    case RowFinish:
        m_bSizesChanged = true;
        FitSizes();
        Retitle();
        break;
    case RowFront:
    case RowBack:
        m_bInksChanged = true;
        Retitle();
        break;
    case RowFrontInks:
    case RowBackInks:
        m_bInksChanged = true;
        BleedCheck();
        break;
    case RowBleed:
        BleedCheck();
        break;
    default:
        break;
    }
}

bool CEditPaper::OnCommand(int id)
{
    switch (id) {
    case 30383: Exchange(true); OnDigital(false); return true;
    case 30388: Exchange(true); OnDigital(true); return true;
    case 30104: Exchange(true); RunCutter(true); return true;
    case 30110: Exchange(true); OnBackAsFront(); return true;
    case 30274: Exchange(true); OnInksNote(); return true;
    case 30263: Exchange(true); OnColorNote(); return true;
    case 30522: Exchange(true); OnReplace(); return true;
    default: return CDlg0::OnCommand(id);
    }
}

void CEditPaper::OnDigital(bool sidesOnly)
{
    CItemSet &r = m_item;
    CDigital digital(this);
    digital.m_nColorScheme = m_nColorScheme;
    digital.m_nHowPrinted = GetHowSidesPrinted(r.m_Side1, r.m_Side2);
    digital.m_nPages = r.m_Pages;
    digital.m_nSheets = r.m_Sheets;
    digital.m_bSidesOnly = sidesOnly;
    if (digital.DoModal() != IDOK_RESULT)
        return;
    if (!sidesOnly) {
        m_bSecondPaper = false;
        qint32 sheets = digital.m_nSheets;
        if (sheets < 1) {
            sheets = 1;
        } else if (digital.m_nPagesPerSheet == 2 && digital.m_nPages % 2 != 0) {
            const QString question =
                QStringLiteral("You entered an odd number of pages: %1.\nTherefore, you need two sets of paper:\n\n"
                               "     %2 sheets (%3 pages) as two-sided printing and\n"
                               "     1 sheet (1 page) as one-sided printing.\n\n"
                               "Do you want the second paper to be added?\n"
                               "If you click Yes, Tavrel will add the second paper.")
                    .arg(digital.m_nPages)
                    .arg(sheets - 1)
                    .arg(digital.m_nPages - 1);
            if (platform::Prompt::messageBox(question, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) ==
                platform::IDYES) {
                m_bSecondPaper = true;
                --sheets;
            }
        }
        r.m_Sheets = sheets;
    }
    CDigital::SidesFor(digital.m_nHowPrinted, r.m_Side1, r.m_Side2);
    r.m_Pages = PagesOf(r.m_Sheets, r.m_Side1, r.m_Side2);
    Exchange(false);
    Retitle();
}

void CEditPaper::OnBackAsFront()
{
    if (platform::Prompt::messageBox(QStringLiteral("Print the Back the same as Front?"), QString(),
                                     platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
        return;
    CItemSet &r = m_item;
    r.m_Side2 = r.m_Side1;
    r.m_strBackInks = r.m_strFrontInks;
    r.m_Pages = PagesOf(r.m_Sheets, r.m_Side1, r.m_Side2);
    Exchange(false);
    Retitle();
}

void CEditPaper::OnInksNote()
{
    QString &text = m_grid.GetCurRow() == RowBackInks ? m_item.m_strBackInks : m_item.m_strFrontInks;
    if (!PickQuickNote(text, 4, 0, QStringLiteral(" + ")))
        return;
    m_bInksChanged = true;
    Exchange(false);
    Retitle();
}

void CEditPaper::OnColorNote()
{
    CNoteDlg editor(QStringLiteral("Note"), QStringLiteral("Paper Color"), m_item.m_strPlainNote, 0, this);
    if (editor.DoModal() != IDOK_RESULT)
        return;
    m_item.m_strPlainNote = editor.m_strNote;
    Exchange(false);
}

void CEditPaper::OnReplace()
{
    CZqApp *app = ZqApp();
    const qint32 catNo = m_paper.m_CatNo;
    CSerList picker(app ? app->GetCategoryDepartment(catNo) : 0, catNo, m_paper.m_SerNo, true, this);
    if (picker.DoModal() != IDOK_RESULT)
        return;
    const qint32 chosen = picker.GetChecked(0);
    CSerSet candidate;
    if (chosen == 0 || chosen == m_item.m_SerNo || !candidate.FindBySerNo(chosen))
        return;
    CItemSet &r = m_item;
    const QString newSize = candidate.m_Size.trimmed();
    QString consequences;
    if (CompareSizes(r.m_strPaperSize, newSize, 1) != 0)
        consequences += QStringLiteral("\n- Parent Size will change from %1 to %2\n- Run and Finish Sizes, #Outs, "
                                       "#Cuts will be recalculated.")
                            .arg(r.m_strPaperSize, newSize);
    if (r.m_Vendor != candidate.m_VendorNo)
        consequences += QStringLiteral("\n- Vendor will change.");
    if (!consequences.isEmpty())
        consequences.prepend(QStringLiteral("\n\nIf you click Yes:"));
    const QString fullName = fullNameOf(candidate);
    if (platform::Prompt::messageBox(QStringLiteral("Do you want to replace this paper with \n%1?%2")
                                         .arg(fullName, consequences),
                                     QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
        return;
    m_paper.FindBySerNo(chosen);
    const qint32 oldCat = app ? app->GetServiceCategory(r.m_SerNo) : 0;
    if (!IsCategory113To116(candidate.m_CatNo) && !IsCategory113To116(oldCat)) {
        if (CompareSizes(r.m_strPaperSize, newSize, 1) != 0)
            m_bSizesChanged = true;
    } else {
        r.m_strFinishSize = newSize;
        r.m_strRunSize = newSize;
        r.m_strPaperSize = newSize;
        r.m_Up = 1;
        r.m_Out = 1;
        m_bSizesChanged = true;
    }
    EndDialog(IDOK_RESULT);
}

void CEditPaper::OnOK()
{
    Exchange(true);
    m_item.m_Pages = PagesOf(m_item.m_Sheets, m_item.m_Side1, m_item.m_Side2);
    m_item.JoinNoteParts(m_paper);
    if (!NoteFits())
        return;
    EndDialog(IDOK_RESULT);
}

bool CEditPaper::NoteFits()
{
    // The colour, the sizes and the inks are kept together in the item's
    // note; what does not fit is refused by name, never cut by the save.
    const qint32 size = m_item.GetFieldSize(QStringLiteral("Note"));
    if (m_item.m_Note.size() <= size)
        return true;
    const qsizetype others = m_item.m_Note.size() - m_item.m_strPlainNote.size();
    const QString message =
        others <= size ? FieldMessage(QStringLiteral("Paper Color"), TextLengthMessage(int(size - others)))
                       : FieldMessage(QStringLiteral("Sizes and Inks"),
                                      QStringLiteral("Please enter at most %1 characters in all.").arg(size));
    platform::Prompt::messageBox(message, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    m_grid.EditRow(others <= size ? int(RowColor) : int(RowRun));
    return false;
}
