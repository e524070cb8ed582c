#include "estimating/CPaperCutterDlg.h"

#include "app/base/CZqApp.h"
#include "app/base/DialogControls.h"
#include "app/base/SqlText.h"
#include "app/base/TypedValue.h"
#include "catalogue/CEditPaper.h"
#include "data/CItemSet.h"
#include "data/ListFillers.h"
#include "platform/Prompt.h"
#include "resources/Strings.h"
#include "views/CDlgData.h"
#include "views/CFavoritesDlg.h"

#include <QtCore/QEvent>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

namespace {

using platform::Prompt;

constexpr unsigned kRunCombo = 1201;
constexpr unsigned kFinishCombo = 1202;
constexpr unsigned kTrim1 = 1203;
constexpr unsigned kTrim2 = 1204;
constexpr unsigned kFirstBox = 1101;
constexpr unsigned kFirstCount = 1301;
constexpr unsigned kFirstCaption = 1901;
constexpr int kSaveDefaults = 30442;
constexpr int kAddFavorite = 30126;
constexpr int kFavorites = 30124;
constexpr int kSaveDefaultsRight = 15;

const char *const kBoxTexts[] = {"Cut mixed-grain",      "Cut multiple-pieces",  "Center Horizontal",
                                 "Center  Vertical",     "Trim Inside Horizontal", "Trim Inside Vertical"};

CPaperCutterDlg::PrintHook &printHookSlot()
{
    static CPaperCutterDlg::PrintHook hook;
    return hook;
}

// The counts are read as every typed count is (0 to 1,000,000,000); a text
// that is none reads as 0 here and is refused when left or on OK.
int readCount(const QLineEdit *edit)
{
    std::int32_t value = 0;
    return ReadTypedQuantity(edit->text(), value) ? value : 0;
}

} // namespace

void CPaperCutterDlg::SetPrintHook(PrintHook hook)
{
    printHookSlot() = std::move(hook);
}

const CPaperCutterDlg::PrintHook &CPaperCutterDlg::printHook()
{
    return printHookSlot();
}

CPaperCutterDlg::CPaperCutterDlg(QWidget *parent) : CDlg0(810, parent)
{
    m_strWindowTitle = QStringLiteral("Cutting Layout");
    resize(900, 640);
    const int columns[2] = {10, 460};
    const QString headings[2] = {QStringLiteral("Parent Sheet Layout"), QStringLiteral("Press Run Sheet Layout")};
    for (int side = 0; side < 2; ++side) {
        const int x = columns[side];
        AddPlaceholder(kFirstCaption + unsigned(side), QRect(x, 8, 430, 26), headings[side]);
        AddPlaceholder(1921 + unsigned(side), QRect(x, 40, 430, 300));
        auto *combo = new QComboBox(this);
        combo->setEditable(true);
        combo->setGeometry(x, 350, 200, 28);
        SetDlgCtrlID(combo, side == 0 ? kRunCombo : kFinishCombo);
        (side == 0 ? m_run : m_finish) = combo;
        AddButton(1001 + unsigned(side), QStringLiteral("Swap Sides"), QRect(x + 210, 350, 100, 28));
        AddPlaceholder(side == 0 ? 1903 : 1906, QRect(x, 388, 430, 22),
                       side == 0 ? QStringLiteral("Parent to Run Size Cutting Options")
                                 : QStringLiteral("Run to Finish Size Cutting Options"));
        for (int n = 0; n < 6; ++n) {
            auto *box = new QCheckBox(QString::fromLatin1(kBoxTexts[n]), this);
            box->setGeometry(x + (n % 2) * 215, 414 + (n / 2) * 24, 210, 22);
            SetDlgCtrlID(box, kFirstBox + unsigned(side * 6 + n));
            m_boxes[size_t(side * 6 + n)] = box;
        }
        AddLabel(QStringLiteral("Trim"), QRect(x, 492, 40, 26));
        auto *trim = new QComboBox(this);
        trim->setGeometry(x + 42, 492, 100, 26);
        SetDlgCtrlID(trim, side == 0 ? kTrim1 : kTrim2);
        (side == 0 ? m_trim1 : m_trim2) = trim;
        AddPlaceholder(side == 0 ? 1904 : 1907, QRect(x + 160, 492, 60, 26),
                       side == 0 ? QStringLiteral("#Outs") : QStringLiteral("#Ups"));
        m_counts[size_t(side * 2)] = AddEdit(kFirstCount + unsigned(side * 2), QRect(x + 222, 492, 70, 26));
        AddPlaceholder(side == 0 ? 1905 : 1908, QRect(x + 300, 492, 60, 26), QStringLiteral("#Cuts"));
        m_counts[size_t(side * 2 + 1)] = AddEdit(kFirstCount + unsigned(side * 2 + 1), QRect(x + 362, 492, 68, 26));
    }
    for (int n = 0; n < 2; ++n) {
        auto *box = new QCheckBox(n == 0 ? QStringLiteral("Grip Top") : QStringLiteral("Grip Left"), this);
        box->setGeometry(460 + n * 215, 530, 210, 22);
        SetDlgCtrlID(box, kFirstBox + 12 + unsigned(n));
        m_boxes[size_t(12 + n)] = box;
    }
    AddButton(kAddFavorite, QStringLiteral("Add to Favorites..."), QRect(10, 596, 140, 32));
    AddButton(kFavorites, QStringLiteral("F&avorites..."), QRect(156, 596, 110, 32));
    AddButton(30330, QStringLiteral("&Print..."), QRect(272, 596, 90, 32));
    AddButton(30335, QStringLiteral("Print Screen..."), QRect(368, 596, 110, 32));
    AddButton(kSaveDefaults, QStringLiteral("Save Default Options..."), QRect(484, 596, 170, 32));
    AddButton(1, QStringLiteral("OK"), QRect(666, 596, 110, 32));
    AddButton(2, QStringLiteral("Cancel"), QRect(782, 596, 110, 32));
    m_bEnterAsTab = 0;

    // Each count is named by the caption beside it (the nearest label on
    // its row is the stage's Trim).
    const char *const countNames[] = {"#Outs", "#Cuts to Run Size", "#Ups", "#Cuts to Finish Size"};
    for (size_t i = 0; i < m_counts.size(); ++i) {
        m_counts[i]->setProperty("fieldName", QString::fromLatin1(countNames[i]));
        AttachTypedReading(m_counts[i], ValueKind::Quantity);
    }
    for (QCheckBox *box : m_boxes)
        connect(box, &QCheckBox::clicked, this, [this] { OnOptionChange(); });
    for (QComboBox *trim : {m_trim1, m_trim2})
        connect(trim, &QComboBox::activated, this, [this] { OnOptionChange(); });
    for (QComboBox *size : {m_run, m_finish}) {
        connect(size, &QComboBox::activated, this, [this, size](int index) {
            size->setEditText(size->itemText(index));
            ReadControls();
            Recalc();
        });
        // An editable combo box keeps the focus itself and only hands its
        // focus events on to its edit field, so the combo is watched.
        size->installEventFilter(this);
    }
    m_bDefaultsSaved = PaperCutting::LoadDefaultOptions(m_stages);
    m_defaultsRead = m_stages;
}

bool CPaperCutterDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && m_run && m_finish && (watched == m_run || watched == m_finish))
        OnSizeKillFocus();
    return CDlg0::eventFilter(watched, event);
}

QString CPaperCutterDlg::caption(unsigned id) const
{
    const size_t index = id - kFirstCaption;
    return index < m_captionTexts.size() ? m_captionTexts[index] : QString();
}

bool CPaperCutterDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    m_layout1.CreateFromDlgItem(1921, this);
    m_layout2.CreateFromDlgItem(1922, this);
    SetCtrlFont(m_run, 3);
    SetCtrlFont(m_finish, 3);
    const QString captionTexts[8] = {
        QStringLiteral("Parent Sheet Layout"), QStringLiteral("Press Run Sheet Layout"),
        QStringLiteral("Parent to Run Size Cutting Options"), QStringLiteral("#Outs"), QStringLiteral("#Cuts"),
        QStringLiteral("Run to Finish Size Cutting Options"), QStringLiteral("#Ups"), QStringLiteral("#Cuts")};
    for (int i = 0; i < 8; ++i) {
        m_captions[size_t(i)].CreateFromItem(this, kFirstCaption + unsigned(i), m_nColorScheme, i < 2 ? 1 : 14,
                                             i < 2 ? 0 : 2, 2, 0x25, captionTexts[i]);
    }
    FillListFromQuery(this, kRunCombo, GetQuickNotesSql(1, 0));
    FillListFromQuery(this, kFinishCombo, GetQuickNotesSql(2, 0));
    FillComboFromResource(m_trim1, IDS_TRIM_SIZES, 0, 0);
    FillComboFromResource(m_trim2, IDS_TRIM_SIZES, 0, 0);
    m_bShowing = true;
    m_lastRun = m_stages.runSize;
    m_lastFinish = m_stages.finishSize;
    if (m_stages.parentSize.isEmpty()) {
        m_bNoParent = true;
        ShowControls();
        return true;
    }

    // The counts as the specs had them, against the ones the options give.
    const CutStages given = m_stages;
    ShowOptions();
    Recalc();
    QString lines;
    const auto compare = [&](qint32 now, qint32 before, qint32 floor, const char *label) {
        if (now != before && before > floor)
            lines += QString::fromLatin1(label) + QString::number(now) + QStringLiteral(" (") + QString::number(before)
                     + QStringLiteral(")\n");
    };
    compare(m_stages.outs, given.outs, 1, "- Number of Out:\t\t");
    compare(m_stages.ups, given.ups, 1, "- Number of Up:\t\t");
    compare(m_stages.cutsToRun, given.cutsToRun, 0, "- Number of Cuts to RunSize:\t");
    compare(m_stages.cutsToFinish, given.cutsToFinish, 0, "- Number of Cuts to FinSize:\t");
    if (!lines.isEmpty())
        Prompt::messageBox(
            QStringLiteral("Using the Default Options, Tavrel calculated the number of Out, Up, and Cuts.\nThe following "
                           "ones are different from the ones in the Specs window (shown in parenthesis):\n\n")
            + lines + QStringLiteral("\nIn the next window, you will see the default cutting layout and calculated values."));
    return true;
}

void CPaperCutterDlg::ShowOptions()
{
    for (int n = 0; n < 6; ++n)
        m_boxes[size_t(n)]->setChecked(m_stages.options1 & (1 << n));
    for (int n = 0; n < 8; ++n)
        m_boxes[size_t(6 + n)]->setChecked(m_stages.options2 & (1 << n));
}

void CPaperCutterDlg::ReadOptions()
{
    m_stages.options1 = 0;
    m_stages.options2 = 0;
    for (int n = 0; n < 6; ++n)
        if (m_boxes[size_t(n)]->isChecked())
            m_stages.options1 |= 1 << n;
    for (int n = 0; n < 8; ++n)
        if (m_boxes[size_t(6 + n)]->isChecked())
            m_stages.options2 |= 1 << n;
}

void CPaperCutterDlg::ShowControls()
{
    m_run->setEditText(m_stages.runSize);
    m_finish->setEditText(m_stages.finishSize);
    m_trim1->setCurrentIndex(m_stages.trimIndex1);
    m_trim2->setCurrentIndex(m_stages.trimIndex2);
    const qint32 counts[4] = {m_stages.outs, m_stages.cutsToRun, m_stages.ups, m_stages.cutsToFinish};
    for (int i = 0; i < 4; ++i)
        m_counts[size_t(i)]->setText(QString::number(counts[i]));
}

void CPaperCutterDlg::ReadControls()
{
    m_stages.runSize = m_run->currentText().trimmed();
    m_stages.finishSize = m_finish->currentText().trimmed();
    m_stages.trimIndex1 = std::max(0, m_trim1->currentIndex());
    m_stages.trimIndex2 = std::max(0, m_trim2->currentIndex());
    m_stages.outs = readCount(m_counts[0]);
    m_stages.cutsToRun = readCount(m_counts[1]);
    m_stages.ups = readCount(m_counts[2]);
    m_stages.cutsToFinish = readCount(m_counts[3]);
}

void CPaperCutterDlg::CalcLayouts()
{
    PaperCutting::LoadDefaultOptions(m_stages);
    PaperCutting::CalcStages(m_stages, m_layout1.layout(), m_layout2.layout());
}

void CPaperCutterDlg::Recalc()
{
    ReadOptions();
    m_layout1.layout().SetDrawingArea(QRect(0, 0, m_layout1.width(), m_layout1.height()));
    m_layout2.layout().SetDrawingArea(QRect(0, 0, m_layout2.width(), m_layout2.height()));
    PaperCutting::CalcOne(m_layout1.layout(), m_stages.parentSize, m_stages.runSize, m_stages.outs, m_stages.cutsToRun,
                          m_stages.options1, PaperCutting::TrimFromIndex(m_stages.trimIndex1), 1);
    PaperCutting::CalcOne(m_layout2.layout(), m_stages.runSize, m_stages.finishSize, m_stages.ups,
                          m_stages.cutsToFinish, m_stages.options2, PaperCutting::TrimFromIndex(m_stages.trimIndex2), 1);
    m_captionTexts[0] = QStringLiteral("Parent Size ") + m_stages.parentSize + QStringLiteral(" to Run Size ")
                        + m_stages.runSize;
    m_captionTexts[1] = QStringLiteral("Run Size ") + m_stages.runSize + QStringLiteral(" to Finish Size ")
                        + m_stages.finishSize;
    m_captions[0].SetText(m_captionTexts[0]);
    m_captions[1].SetText(m_captionTexts[1]);
    if (m_bShowing)
        ShowControls();
    m_layout2.layout().m_bGripTop = m_boxes[12]->isChecked();
    m_layout2.layout().m_bGripLeft = m_boxes[13]->isChecked();
    m_lastRun = m_stages.runSize;
    m_lastFinish = m_stages.finishSize;
    m_layout1.update();
    m_layout2.update();
    update();
}

void CPaperCutterDlg::OnSwapRun()
{
    ReadControls();
    m_stages.runSize = PaperCutting::SwapSides(m_stages.runSize);
    ShowControls();
    Recalc();
}

void CPaperCutterDlg::OnSwapFinish()
{
    ReadControls();
    m_stages.finishSize = PaperCutting::SwapSides(m_stages.finishSize);
    ShowControls();
    Recalc();
}

void CPaperCutterDlg::OnOptionChange()
{
    ReadControls();
    Recalc();
}

void CPaperCutterDlg::OnSizeKillFocus()
{
    const QString run = m_lastRun;
    const QString finish = m_lastFinish;
    ReadControls();
    if (m_bNoParent) {
        m_stages.parentSize = m_stages.runSize;
        if (m_stages.finishSize.isEmpty())
            m_stages.finishSize = m_stages.runSize;
    }
    if (m_stages.runSize != run || m_stages.finishSize != finish)
        Recalc();
}

void CPaperCutterDlg::OnSaveDefaults()
{
    ReadControls();
    ReadOptions();
    if (Prompt::messageBox(QStringLiteral("Do you want to save the Default Options?"), QString(),
                           platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
        return;
    if (!m_bRightsGranted) {
        CZqApp *app = ZqApp();
        if (app && !app->CheckPassword(kSaveDefaultsRight, QString()))
            return;
        m_bRightsGranted = true;
    }
    if (PaperCutting::SaveOptions(PaperCutting::kDefaultOptionsKind, QString(), m_stages, &m_defaultsRead))
        m_bDefaultsSaved = true;
}

void CPaperCutterDlg::OnAddFavorite()
{
    ReadControls();
    ReadOptions();
    CDlgData name(m_stages.runSize + QStringLiteral(" -> ") + m_stages.finishSize, 0,
                  QStringLiteral("Add to Favorite Cuts"), QStringLiteral("Type the name of this favorite cut:"),
                  QStringLiteral("When you select this favorite, Tavrel will use the saved Run Size, Finish Size, "
                                 "Options, Out, Up, Cuts, and Inside Trim Sizes."),
                  this);
    if (name.DoModal() != IDOK_RESULT)
        return;
    PaperCutting::SaveOptions(PaperCutting::kFavoriteKind, PaperCutting::FavoriteText(m_stages, name.m_strValue),
                              m_stages);
}

void CPaperCutterDlg::OnFavorites()
{
    CFavoritesDlg favorites(QStringLiteral("Favorite Cuts"), 0, CFavoritesDlg::kCutFavorites, this);
    if (favorites.DoModal() != IDOK_RESULT || favorites.m_nAlertNo == 0)
        return;
    PaperCutting::ApplyFavorite(m_stages, favorites.m_strFilter, favorites.m_strExtra, favorites.m_nColor,
                                favorites.m_nSound);
    const CutStages chosen = m_stages;
    ShowControls();
    ShowOptions();
    Recalc();
    // The favourite's counts stand over the computed ones.
    m_stages.outs = chosen.outs;
    m_stages.cutsToRun = chosen.cutsToRun;
    m_stages.ups = chosen.ups;
    m_stages.cutsToFinish = chosen.cutsToFinish;
    ShowControls();
}

void CPaperCutterDlg::OnPrintList()
{
    const PrintHook &hook = printHook();
    if (!hook) {
        Prompt::messageBox(QStringLiteral("Printing the cutting layout is not yet available in this version of Tavrel."));
        return;
    }
    ReadControls();
    CutLayout &first = m_layout1.layout();
    CutLayout &second = m_layout2.layout();
    first.m_strCaption1 = QStringLiteral("Parent Size %1\n%2 out %3 cut")
                              .arg(m_stages.parentSize)
                              .arg(m_stages.outs)
                              .arg(m_stages.cutsToRun);
    second.m_strCaption1 = QStringLiteral("Run Size %1\n%2 up %3 cut")
                               .arg(m_stages.runSize)
                               .arg(m_stages.ups)
                               .arg(m_stages.cutsToFinish);
    second.m_strCaption2 = QStringLiteral("Finish Size %1\nTotal %2 out from Parent Size")
                               .arg(m_stages.finishSize)
                               .arg(qint64(m_stages.outs) * m_stages.ups);
    PrintRequest request;
    request.title = m_strWindowTitle;
    request.heading = m_strRibbonTitle;
    request.first = &m_layout1;
    request.second = &m_layout2;
    request.command = m_strPrintFile.isEmpty() ? 57607 : 57608;
    request.outputFile = m_strPrintFile;
    hook(request);
}

bool CPaperCutterDlg::OnCommand(int id)
{
    switch (id) {
    case 1001: OnSwapRun(); return true;
    case 1002: OnSwapFinish(); return true;
    case kSaveDefaults: OnSaveDefaults(); return true;
    case kAddFavorite: OnAddFavorite(); return true;
    case kFavorites: OnFavorites(); return true;
    default: return CDlg0::OnCommand(id);
    }
}

void CPaperCutterDlg::OnOK()
{
    if (!m_bDefaultsSaved) {
        Prompt::messageBox(QStringLiteral("Please save your Default Options first, then click OK."));
        return;
    }
    // A size typed and confirmed with Enter never left its box: its layout
    // and counts are computed before they are handed back.
    OnSizeKillFocus();
    // A count typed and not yet left is refused here as when it is left.
    if (!AcceptTypedQuantities(QList<QLineEdit *>(m_counts.begin(), m_counts.end())))
        return;
    ReadControls();
    ReadOptions();
    EndDialog(IDOK_RESULT);
}

// --- the cutter of the paper specs and the item window ---------------------------

bool RunPaperCutter(CItemSet &paper, const QString &caption, bool show, qint32 &cutsToRun, qint32 &cutsToFinish,
                    QWidget *parent)
{
    CPaperCutterDlg cutter(parent);
    cutter.m_strRibbonTitle = caption;
    CutStages &s = cutter.m_stages;
    s.parentSize = paper.m_strPaperSize.trimmed();
    s.runSize = paper.m_strRunSize.trimmed();
    s.finishSize = paper.m_strFinishSize.trimmed();
    s.outs = paper.m_Out;
    s.ups = paper.m_Up;
    s.cutsToRun = cutsToRun;
    s.cutsToFinish = cutsToFinish;
    // An item that keeps its own cutting options hands them over.
    if (paper.m_Opt3 != 0) {
        s.options1 = paper.m_Opt1;
        s.options2 = paper.m_Opt2;
        s.trimIndex1 = paper.m_Opt3;
        s.trimIndex2 = paper.m_Opt4;
    }
    if (show) {
        if (cutter.DoModal() != IDOK_RESULT)
            return false;
    } else {
        cutter.CalcLayouts();
    }
    paper.m_strRunSize = s.runSize;
    paper.m_strFinishSize = s.finishSize;
    paper.m_Out = s.outs;
    paper.m_Up = s.ups;
    paper.m_Opt1 = quint8(s.options1);
    paper.m_Opt2 = quint8(s.options2);
    paper.m_Opt3 = quint8(s.trimIndex1);
    paper.m_Opt4 = quint8(s.trimIndex2);
    cutsToRun = s.cutsToRun;
    cutsToFinish = s.cutsToFinish;
    return true;
}

void InstallPaperCutter()
{
    CEditPaper::SetCutterHook([](CEditPaper &dialog, bool show) {
        return RunPaperCutter(dialog.item(), dialog.cutterCaption(), show, dialog.m_nCutsToRun, dialog.m_nCutsToFinish,
                              &dialog);
    });
}
