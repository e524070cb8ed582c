#include "catalogue/CSerDlg.h"

#include "catalogue/ServiceTables.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/Codes.h"
#include "app/base/DateRanges.h"
#include "app/base/DialogControls.h"
#include "app/base/HtmlText.h"
#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "app/base/TypedValue.h"
#include "catalogue/CSerDlgMore.h"
#include "data/DialogFieldExchange.h"
#include "catalogue/ServiceRules.h"
#include "controls/DlgItem.h"
#include "data/CSerSet.h"
#include "data/ListFillers.h"
#include "platform/Prompt.h"
#include "platform/db/Recordset.h"
#include "data/SharedDatabase.h"
#include "views/CDlgData.h"
#include "views/CDlgList.h"
#include "views/CDlgOptions.h"
#include "views/CNoteDlg.h"
#include "views/CView0.h"
#include "views/CViewDefaults.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QtCore/QHash>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOptionComboBox>
#include <QtWidgets/QPushButton>

namespace {

CSerDlg::RecordHook &priceTableHook()
{
    static CSerDlg::RecordHook hook;
    return hook;
}
CSerDlg::RecordHook &diffTableHook()
{
    static CSerDlg::RecordHook hook;
    return hook;
}
CSerDlg::RecordHook &priceWizardHook()
{
    static CSerDlg::RecordHook hook;
    return hook;
}
CSerDlg::WizardFollowHook &priceWizardFollowHook()
{
    static CSerDlg::WizardFollowHook hook;
    return hook;
}

// The code lists of the record (codes from 0 in list order).
const QString &kQuantityKinds = QuantityKindList();
const QString kCostMethods = QStringLiteral(
    "--- No Cost --- No Price ---,Time Cost only,Material Cost only,Time Cost + Material Cost,");
const QString kPriceMethods = QStringLiteral(
    "--- No Price ---,Ask,Cost + Markup,Use Price Column of Setup and Run Tables,Use Price Table,");
const QString kUnits = QStringLiteral(",Per Each,Per M (1000),Total,");
const QString kSteps = QStringLiteral("Step,Linear,Sum,1st + Step,1st + Linear,");
const QString kAdjust = QStringLiteral("Multiply Markup,Multiply Price,");
const QString kSetupPer = QStringLiteral("Lot (1),Plate,Sheet/Set,Page/Set,2nd Side,Pass,Wash,Mix,");

QString colorsList()
{
    QString list = QStringLiteral("1 / 0      (1 pass/1 color/side),");
    for (int n = 2; n <= 8; ++n)
        list += QStringLiteral("%1 / 0,").arg(n);
    list += QStringLiteral("9 / 0      (1 pass/9 colors/side),1 / 1      (1 pass/1 color),");
    for (int n = 2; n <= 8; ++n)
        list += QStringLiteral("%1 / %1,").arg(n);
    list += QStringLiteral("9 / 9      (1 pass/9 colors),-------------------------,"
                           "Digital   (1 click/side of FinSize),Digital   (1 click/side of RunSize),");
    return list;
}

void fillCodes(QComboBox *combo, const QString &list)
{
    combo->clear();
    const QStringList entries = list.split(QLatin1Char(','));
    for (int i = 0; i + 1 < entries.size(); ++i)
        AddComboItem(combo, entries[i], i);
}

// Selects the entry of a code; a stored code the list does not offer gets
// an entry of its own, so that reading the list back keeps it.
void selectCode(QComboBox *combo, int code)
{
    if (!combo || SelectComboByData(combo, code) >= 0)
        return;
    AddComboItem(combo, code == 0 ? QString() : QString::number(code), code);
    SelectComboByData(combo, code);
}

int comboCode(const QComboBox *combo)
{
    return combo && combo->currentIndex() >= 0 ? combo->currentData().toInt() : 0;
}

QString floatText(float value)
{
    return value == 0 ? QString() : QString::number(double(value), 'g', 7);
}

QString moneyText(Money value)
{
    return value.isZero() ? QString() : FormatMoney(value);
}

constexpr int kRowTop = 110;
constexpr int kDialogWidth = 1004;
constexpr int kDialogHeight = 728;
constexpr int kTimeBoxWidth = 330;
constexpr int kMarginRight = 12;
constexpr int kRowStep = 26;
int rowY(int row)
{
    return kRowTop + row * kRowStep;
}

} // namespace

void CSerDlg::SetPriceTableHook(RecordHook hook)
{
    priceTableHook() = std::move(hook);
}
void CSerDlg::SetDiffTableHook(RecordHook hook)
{
    diffTableHook() = std::move(hook);
}
void CSerDlg::SetPriceWizardHook(RecordHook hook)
{
    priceWizardHook() = std::move(hook);
}
void CSerDlg::SetPriceWizardFollowHook(WizardFollowHook hook)
{
    priceWizardFollowHook() = std::move(hook);
}

CSerDlg::CSerDlg(CSerSet &set, CXListCtrl *list, QWidget *parent)
    : CDlgRibbon(980, parent), m_set(set), m_loaded(std::make_unique<CSerSet>()),
      m_shown(std::make_unique<CSerSet>())
{
    m_strWindowTitle = QStringLiteral("Service");
    m_strWindowName = QStringLiteral("Service");
    m_bSavePlacement = 1;
    m_pAttachedList = list;
    resize(kDialogWidth, kDialogHeight);
    BuildLayout();
}

CSerDlg::~CSerDlg() = default;

QWidget *CSerDlg::control(unsigned id) const
{
    return m_controls.value(id, nullptr);
}

QComboBox *CSerDlg::combo(unsigned id) const
{
    return qobject_cast<QComboBox *>(control(id));
}

QLineEdit *CSerDlg::edit(unsigned id) const
{
    return qobject_cast<QLineEdit *>(control(id));
}

QLabel *CSerDlg::addCaption(unsigned id, const QString &text, const QRect &rect, bool clickable)
{
    if (clickable) {
        QPushButton *button = AddButton(id, text, rect);
        button->setFlat(true);
        button->setStyleSheet(QStringLiteral("QPushButton { text-align: left; color: #1040a0; "
                                             "text-decoration: underline; border: none; }"));
        button->setCursor(Qt::PointingHandCursor);
        m_controls.insert(id, button);
        return nullptr;
    }
    QLabel *label = AddLabel(text, rect, id);
    m_controls.insert(id, label);
    return label;
}

QLineEdit *CSerDlg::addEdit(unsigned id, const QRect &rect)
{
    QLineEdit *e = AddEdit(id, rect);
    m_controls.insert(id, e);
    connect(e, &QLineEdit::textEdited, this, [this, id] {
        if (m_bFilling)
            return;
        if (id == IDC_DIVIDE || id == IDC_MULTIPLY || id == IDC_ASK) {
            m_bModified = true;
            UpdateLayout();
        }
    });
    return e;
}

QComboBox *CSerDlg::addCombo(unsigned id, const QRect &rect)
{
    auto *c = new QComboBox(this);
    c->setGeometry(rect);
    SetDlgCtrlID(c, id);
    m_controls.insert(id, c);
    connect(c, &QComboBox::activated, this, [this, id] { OnListChanged(id); });
    return c;
}

void CSerDlg::BuildLayout()
{
    AddPlaceholder(kRecordRibbon, QRect(0, 0, kDialogWidth, 36));
    AddPlaceholder(IDC_COMMANDS, QRect(0, 36, kDialogWidth, 66));

    const int lx = 12, lw = 130, cx = 145, cw = 330;
    addCaption(1911, QStringLiteral("Service Name"), QRect(lx, rowY(0), lw, 22), false);
    addEdit(IDC_NAME, QRect(cx, rowY(0), cw, 22));
    addCaption(1912, QStringLiteral("Invoice Name"), QRect(lx, rowY(1), lw, 22), false);
    addEdit(IDC_NAME2, QRect(cx, rowY(1), cw, 22));
    addCaption(1913, QStringLiteral("Popup Reminder"), QRect(lx, rowY(2), lw, 22), false);
    addEdit(IDC_REMIND, QRect(cx, rowY(2), cw, 22));
    addCaption(CAP_DEFNOTE, QStringLiteral("Default Note"), QRect(lx, rowY(3), lw, 22), false);
    addEdit(IDC_DEFNOTE, QRect(cx, rowY(3), cw, 22));
    addCaption(1914, QStringLiteral("Sales Dept"), QRect(lx, rowY(4), lw, 22), false);
    addCombo(IDC_SALEDEPT, QRect(cx, rowY(4), cw, 24));
    // Paper or printing: the same rows hold different fields.
    addCaption(CAP_SIZE, QStringLiteral("Parent Size"), QRect(lx, rowY(5), lw, 22), false);
    addEdit(IDC_SIZE, QRect(cx, rowY(5), 150, 22));
    addCaption(CAP_COLORS, QStringLiteral("Colors / Side"), QRect(lx, rowY(5), lw, 22), false);
    addCombo(IDC_COLORS, QRect(cx, rowY(5), cw, 24));
    addCaption(CAP_CALIPER, QStringLiteral("Caliper..."), QRect(lx, rowY(6), lw, 22), true);
    addEdit(IDC_CALIPER, QRect(cx, rowY(6), 100, 22));
    addCaption(CAP_DEFPLATE, QStringLiteral("Default Plate"), QRect(lx, rowY(6), lw, 22), false);
    addCombo(IDC_DEFPLATE, QRect(cx, rowY(6), cw, 24));
    addCaption(CAP_QUANTITY, QStringLiteral("Quantity"), QRect(lx, rowY(7), lw, 22), true);
    addCombo(IDC_QTYBY, QRect(cx, rowY(7), cw, 24));
    addCaption(CAP_DIVIDE, QStringLiteral("Divide by..."), QRect(lx, rowY(8), lw, 22), true);
    addEdit(IDC_DIVIDE, QRect(cx, rowY(8), 100, 22));
    auto *lift = new QCheckBox(QStringLiteral("Sheets of 20# Bond"), this);
    lift->setGeometry(cx + 110, rowY(8), 200, 22);
    SetDlgCtrlID(lift, IDC_LIFTBY);
    m_controls.insert(IDC_LIFTBY, lift);
    connect(lift, &QCheckBox::clicked, this, [this] { m_bModified = true; });
    addCaption(CAP_MULTIPLY, QStringLiteral("Multiply by"), QRect(lx, rowY(9), lw, 22), false);
    addEdit(IDC_MULTIPLY, QRect(cx, rowY(9), 100, 22));
    addEdit(IDC_ASK, QRect(cx, rowY(10), cw, 22));
    addCaption(CAP_ROUND, QStringLiteral("Round-up to"), QRect(lx, rowY(11), lw, 22), false);
    addEdit(IDC_ROUND, QRect(cx, rowY(11), 100, 22));
    addCaption(CAP_WASTE, QStringLiteral("Waste..."), QRect(lx, rowY(12), lw, 22), true);
    addCombo(IDC_WASTEBY, QRect(cx, rowY(12), cw, 24));
    addCaption(CAP_SETTIME, QStringLiteral("Setup (#Sheets)"), QRect(lx, rowY(13), lw, 22), false);
    addEdit(IDC_SETTIME, QRect(cx, rowY(13), 80, 22));
    addCaption(CAP_IMPHOUR, QStringLiteral(" + % of Fin.Qty"), QRect(cx + 90, rowY(13), 120, 22), false);
    addEdit(IDC_IMPHOUR, QRect(cx + 215, rowY(13), 80, 22));
    // Waste sheets and a waste percent (a paper's set-up minutes and run
    // speed) are never below 0: a negative one is refused when the field is
    // left, naming it, and what it showed before is back.
    for (const unsigned id : {unsigned(IDC_SETTIME), unsigned(IDC_IMPHOUR)}) {
        QLineEdit *field = edit(id);
        connect(field, &QLineEdit::editingFinished, this, [this, field, id] {
            std::int64_t scaled = 0;
            if (!ReadTypedFixed(field->text(), 10, scaled) || scaled >= 0) {
                field->setProperty("lastValueText", field->text());
                return;
            }
            field->setText(ValueShownBeforeTyping(field));
            RefuseTyped(field, QStringLiteral("Please enter a number of 0 or more."), FieldCaption(id));
        });
    }
    addCaption(CAP_TIME, QStringLiteral("Time..."), QRect(lx, rowY(14), lw, 22), true);
    addCombo(IDC_TIMEBY, QRect(cx, rowY(14), kTimeBoxWidth, 24));

    const int rx = 500, rw = 162, rcx = 665, rcw = 320;
    addCaption(1915, QStringLiteral("Cost"), QRect(rx, rowY(0), rw, 22), false);
    addCombo(IDC_COSTBY, QRect(rcx, rowY(0), rcw, 24));
    addCaption(CAP_COSTHR, QStringLiteral("Cost / Hour   $"), QRect(rx, rowY(1), rw, 22), false);
    addEdit(IDC_COSTHR, QRect(rcx, rowY(1), 100, 22));
    addCaption(CAP_MULTIPLIER, QStringLiteral("Multiplier..."), QRect(rx, rowY(2), rw, 22), true);
    addEdit(IDC_COSTOH, QRect(rcx, rowY(2), 100, 22));
    addCaption(1916, QStringLiteral("Price"), QRect(rx, rowY(3), rw, 22), false);
    addCombo(IDC_PRICEBY, QRect(rcx, rowY(3), rcw, 24));
    addCaption(CAP_MARKUP, QStringLiteral("Markup..."), QRect(rx, rowY(4), rw, 22), true);
    addCaption(CAP_PERCENT, QStringLiteral("% or #"), QRect(rcx, rowY(4), 50, 22), false);
    addEdit(IDC_MARKUP, QRect(rcx + 50, rowY(4), 55, 22));
    addCaption(CAP_DIGITAL, QStringLiteral("Digital"), QRect(rcx + 112, rowY(4), 50, 22), false);
    addEdit(IDC_MARKUP2, QRect(rcx + 162, rowY(4), 55, 22));
    addCaption(CAP_BLANK, QStringLiteral("Blank"), QRect(rcx + 224, rowY(4), 45, 22), false);
    addEdit(IDC_MARKUP3, QRect(rcx + 270, rowY(4), 55, 22));
    addCaption(CAP_ADJUST, QStringLiteral("Adjust..."), QRect(rx, rowY(5), rw, 22), true);
    addCombo(IDC_ADJUSTBY, QRect(rcx, rowY(5), 200, 24));
    addCaption(CAP_BID, QStringLiteral("Bid"), QRect(rcx, rowY(6), 30, 22), false);
    addEdit(IDC_BID, QRect(rcx + 30, rowY(6), 60, 22));
    addCaption(CAP_RUSH, QStringLiteral("Rush"), QRect(rcx + 100, rowY(6), 40, 22), false);
    addEdit(IDC_RUSH, QRect(rcx + 140, rowY(6), 60, 22));
    addCaption(CAP_SPCL, QStringLiteral("Special"), QRect(rcx + 210, rowY(6), 55, 22), false);
    addEdit(IDC_SPCL, QRect(rcx + 265, rowY(6), 60, 22));
    addCaption(CAP_MINPRICE, QStringLiteral("Minimum Price"), QRect(rx, rowY(7), rw, 22), true);
    addEdit(IDC_MINPRICE, QRect(rcx, rowY(7), 100, 22));
    addCaption(1917, QStringLiteral("Mat.Costs and Run Prices are"), QRect(rx, rowY(8), 200, 22), false);
    addCombo(IDC_UNIT, QRect(rx + 205, rowY(8), 200, 24));
    addCaption(1918, QStringLiteral("Method between QtyBreaks"), QRect(rx, rowY(9), 200, 22), false);
    addCombo(IDC_STEP, QRect(rx + 205, rowY(9), 200, 24));
    addCaption(CAP_MODIFIED, QStringLiteral("Modified..."), QRect(rx, rowY(10), rw, 22), true);
    addCaption(IDC_MODIFIED_DATE, QString(), QRect(rcx, rowY(10), 200, 22), false);
    addCaption(30263, QStringLiteral("Note..."), QRect(rx, rowY(11), 80, 22), true);
    addCaption(IDC_SERNOTE, QString(), QRect(rx + 85, rowY(11), 400, 44), false);
    if (auto *note = qobject_cast<QLabel *>(control(IDC_SERNOTE))) {
        note->setWordWrap(true);
        note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    addCaption(CAP_MORE, QStringLiteral("More Service Properties..."), QRect(rx, rowY(13), 250, 22), true);

    addCaption(CAP_SETUP_TABLE, QStringLiteral("Setup Table"), QRect(lx, rowY(15) + 4, 200, 20), false);
    AddPlaceholder(IDC_SETUP_GRID, QRect(lx, rowY(15) + 24, 330, 130));
    // The run table starts a row higher on the right, where the row is
    // free, so that the window stays inside the smallest screen.
    addCaption(CAP_RUN_TABLE, QStringLiteral("Run Table"), QRect(rx, rowY(14) + 4, 200, 20), false);
    AddPlaceholder(IDC_RUN_GRID, QRect(rx, rowY(14) + 24, 340, 212));
    AddPlaceholder(kNavRibbon, QRect(lx, rowY(15) + 170, 330, 40));
    AddSizeMarker(QPoint(kDialogWidth, kDialogHeight));
}

void CSerDlg::BuildGrids()
{
    m_setupGrid.AddColumn(QStringLiteral("Per"), 90, 2);
    m_setupGrid.AddColumn(QStringLiteral("Minutes"), 70, 7, QStringLiteral("2"));
    m_setupGrid.AddColumn(QStringLiteral("Mat.Cost"), 75, 7, QStringLiteral("$"));
    m_setupGrid.AddColumn(QStringLiteral("~"), 8, 0, QString(), 0);
    m_setupGrid.AddColumn(QStringLiteral("Setup Price"), 80, 7, QStringLiteral("$"));
    m_setupGrid.SetRows(5, 5);
    m_setupGrid.AddPickItem(0, 0, QString());
    m_setupGrid.AddPickItems(0, 1, kSetupPer);

    // A break is a count: up to the largest count, as every count is.
    m_runGrid.AddColumn(QStringLiteral("QtyBreak"), 80, 7, QStringLiteral("%d"));
    m_runGrid.AddColumn(QStringLiteral("Units/Hour"), 80, 7, QStringLiteral("2"));
    m_runGrid.AddColumn(QStringLiteral("Mat.Cost"), 80, 7, QStringLiteral("$"));
    m_runGrid.AddColumn(QStringLiteral("~"), 8, 0, QString(), 0);
    m_runGrid.AddColumn(QStringLiteral("Run Price"), 80, 7, QStringLiteral("$"));
    m_runGrid.SetRows(9, 9);
    // A quantity break, a speed and a set-up time are never below 0.
    m_runGrid.SetColumnNotNegative(0);
    m_runGrid.SetColumnNotNegative(1);
    m_setupGrid.SetColumnNotNegative(1);
    for (CXGridCtrl *grid : {&m_setupGrid, &m_runGrid}) {
        grid->SetColorScheme(m_nColorScheme);
        grid->CreateInDlgItem(this, grid == &m_setupGrid ? IDC_SETUP_GRID : IDC_RUN_GRID);
        connect(grid, &CXWnd::ownerMessage, this, [this](int message, qintptr, qintptr) {
            if (message == 30247 && !m_bFilling)
                m_bModified = true;
        });
    }
}

void CSerDlg::FillLists()
{
    fillCodes(combo(IDC_QTYBY), kQuantityKinds);
    fillCodes(combo(IDC_COLORS), colorsList());
    fillCodes(combo(IDC_COSTBY), kCostMethods);
    fillCodes(combo(IDC_PRICEBY), kPriceMethods);
    fillCodes(combo(IDC_UNIT), kUnits);
    fillCodes(combo(IDC_STEP), kSteps);
    fillCodes(combo(IDC_ADJUSTBY), kAdjust);
    QComboBox *sales = combo(IDC_SALEDEPT);
    sales->clear();
    FillFromQuery(sales, nullptr,
                  QStringLiteral("SELECT [No], Name FROM SalesDepartments WHERE Name NOT LIKE '~*' ORDER BY Name"));
    QComboBox *plate = combo(IDC_DEFPLATE);
    plate->clear();
    AddComboItem(plate, QString(), 0);
    FillFromQuery(plate, nullptr, QStringLiteral("SELECT SerNo, Name FROM Services WHERE CatNo = 6 ORDER BY Name"));
}

void CSerDlg::FillWasteList()
{
    QComboBox *waste = combo(IDC_WASTEBY);
    waste->clear();
    const qint32 cat = m_set.m_CatNo;
    AddComboItem(waste, QStringLiteral("--- No Paper Waste ---"), 0);
    if (IsPaperCategory(cat) || IsPrintingCategory(cat)) {
        FillFromQuery(waste, nullptr,
                      QStringLiteral("SELECT [Level], 'Use Waste Table Row# ' & [Level] & '  ' & Name as [Waste] FROM "
                                     "WasteTable WHERE [Level] Between 1 and 19 ORDER BY [Level]"));
        if (IsPaperCategory(cat)) {
            AddComboItem(waste, QStringLiteral("Use Built-in Waste Formula"), 250);
        } else {
            AddComboItem(waste, QStringLiteral("Use Paper's Waste Properties"), 251);
            AddComboItem(waste, QStringLiteral("Use following Waste Properties:"), 252);
        }
    } else {
        AddComboItem(waste, QStringLiteral("Additional Paper Waste"), 252);
    }
}

void CSerDlg::FillTimeList()
{
    QComboBox *time = combo(IDC_TIMEBY);
    time->clear();
    const qint32 cat = m_set.m_CatNo;
    if (IsPaperCategory(cat)) {
        AddComboItem(time, QStringLiteral("Production Standards for Offset Presses:"), 0);
    } else if (IsPressCategory(cat)) {
        AddComboItem(time, QStringLiteral("Use Setup and Run Tables (ignore Paper Properties)"), 0);
        AddComboItem(time, QStringLiteral("Use Paper Properties + Setup Table"), 1);
    } else if (IsDigitalCategory(cat)) {
        AddComboItem(time, QStringLiteral("Calculate time from #impressions (clicks) using 'Colors/Side':"), 0);
    }
    // The box is as wide as its longest choice; the right column leaves the
    // row free for it.
    int longest = 0;
    for (int i = 0; i < time->count(); ++i)
        longest = std::max(longest, time->fontMetrics().horizontalAdvance(time->itemText(i)));
    QStyleOptionComboBox option;
    option.initFrom(time);
    const int needed =
        time->style()->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(longest, time->height()), time).width();
    const int room = std::max(kTimeBoxWidth, kDialogWidth - kMarginRight - time->x());
    time->resize(std::clamp(needed, kTimeBoxWidth, room), time->height());
}

bool CSerDlg::OnInitDialog()
{
    // The list's Open puts the row in edit mode; only then is it editable.
    // A shop open for reading only shows its services for reading, as it
    // shows its jobs and customers, without a refusal for just looking.
    m_nMode = m_nOpenMode;
    const platform::Database *database = m_set.m_pDatabase;
    if (m_nMode == 30103 && database && database->isOpen() && database->isReadOnly()
        && m_set.GetEditMode() == CXDaoSet::dbEditNone)
        m_nMode = 1;
    if (m_nMode == 30103)
        m_nMode = m_set.GetEditMode() != CXDaoSet::dbEditNone || m_set.SafeEdit() ? 0 : 1;
    if (m_nMode == 0 && m_set.GetEditMode() == CXDaoSet::dbEditNone && !m_set.SafeEdit())
        m_nMode = 1;
    // Only a dialog opened for adding (mode 0) offers "New".
    m_bMayAdd = m_nOpenMode == 0 && m_nMode == 0;
    m_bReadOnly = m_nMode != 0;
    m_nColorScheme = m_nMode == 0 ? Appearance::instance().GetViewHue(30002, true) : 1;
    m_strRibbonTitle = m_nMode == 0 ? QStringLiteral("Service") : QStringLiteral("Preview");
    CDlgRibbon::OnInitDialog();
    AddRemindersItem(30002, m_set.m_SerNo);

    if (m_wndRibbon3.Create(this, IDC_COMMANDS, m_nColorScheme, 0, 132, 4, 0, 4, 6, 0, 0)) {
        connect(&m_wndRibbon3, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        CXRibbon &r = m_wndRibbon3;
        auto button = [&](unsigned id, const QString &text, int image) {
            r.AddItem(id, text, 0, 132, std::uint8_t(image), 1, 2085, 0, 2, text.size() > 8 ? 84 : 66);
        };
        if (m_bMayAdd) {
            button(30100, QStringLiteral("New"), 0);
            r.AddSpacer(8, 0);
        }
        if (m_nMode == 0) {
            button(30213, QStringLiteral("Save"), 42);
            button(30443, QStringLiteral("Save &\nClose"), 6);
            r.AddSpacer(8, 0);
        }
        button(30641, QStringLiteral("Waste Table"), 8);
        button(30642, QStringLiteral("Diff. Table"), 8);
        button(30643, QStringLiteral("Markup Table"), 8);
        button(30645, QStringLiteral("Price Table"), 8);
        r.AddSpacer(8, 0);
        button(30278, QStringLiteral("More\nProperties"), 9);
        r.AddSpacer(8, 0);
        if (m_nMode == 0) {
            button(30650, QStringLiteral("Pricora"), 10);
            r.AddSpacer(8, 0);
            r.AddPrintButton();
        }
        r.AddCloseButton();
        r.RecalcLayout(255);
    }
    SetBackColor(0xFFFFFF);
    BuildGrids();
    FillLists();
    for (QWidget *w : m_controls)
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) || qobject_cast<QCheckBox *>(w))
            w->setEnabled(m_nMode == 0);
    // The text fields hold to the columns they are saved to.
    const std::pair<unsigned, const char *> columns[] = {{IDC_NAME, "Name"},     {IDC_NAME2, "Name2"},
                                                         {IDC_REMIND, "SerRemind"}, {IDC_DEFNOTE, "DefNote"},
                                                         {IDC_SIZE, "Size"},     {IDC_ASK, "AskHowMany"}};
    for (const auto &[id, column] : columns)
        HoldToColumn(id, m_set, QString::fromLatin1(column));
    FillFromRecord();
    return true;
}

void CSerDlg::FillFromRecord()
{
    ApplyNewServiceDefaults(m_set);
    *m_loaded = m_set;
    *m_shown = m_set;
    ClearNullPatterns(*m_shown);
    m_bFilling = true;
    FillWasteList();
    FillTimeList();
    m_shown->ExchangeGridArrays(m_setupGrid, m_runGrid, false);
    m_setupGrid.Refresh();
    m_runGrid.Refresh();
    ShowValues();
    m_bFilling = false;
    m_bModified = false;
    ShowHeader();
    UpdateLayout();
    UpdateNavButtons(m_nMode == 0);
}

void CSerDlg::ShowValues()
{
    const CSerSet &s = *m_shown;
    edit(IDC_NAME)->setText(s.m_Name);
    edit(IDC_NAME2)->setText(s.m_Name2);
    edit(IDC_REMIND)->setText(s.m_SerRemind);
    edit(IDC_DEFNOTE)->setText(s.m_DefNote);
    selectCode(combo(IDC_SALEDEPT), s.m_SaleDept);
    edit(IDC_SIZE)->setText(s.m_Size);
    edit(IDC_CALIPER)->setText(floatText(s.m_Caliper));
    selectCode(combo(IDC_COLORS), s.m_Colors);
    selectCode(combo(IDC_DEFPLATE), s.m_DefPlate);
    selectCode(combo(IDC_QTYBY), s.m_QtyBy);
    edit(IDC_DIVIDE)->setText(s.m_Divide ? QString::number(s.m_Divide) : QString());
    edit(IDC_MULTIPLY)->setText(s.m_Multiply ? QString::number(s.m_Multiply) : QString());
    edit(IDC_ASK)->setText(s.m_AskHowMany);
    edit(IDC_ROUND)->setText(s.m_Round ? QString::number(s.m_Round) : QString());
    qobject_cast<QCheckBox *>(control(IDC_LIFTBY))->setChecked(s.m_LiftBy != 0);
    selectCode(combo(IDC_WASTEBY), s.m_WasteBy);
    edit(IDC_SETTIME)->setText(floatText(s.m_SetTime));
    edit(IDC_IMPHOUR)->setText(floatText(s.m_ImpHour));
    for (unsigned id : {unsigned(IDC_SETTIME), unsigned(IDC_IMPHOUR)})
        edit(id)->setProperty("lastValueText", edit(id)->text());
    selectCode(combo(IDC_TIMEBY), s.m_TimeBy);
    selectCode(combo(IDC_COSTBY), s.m_CostBy);
    edit(IDC_COSTHR)->setText(moneyText(s.m_CostHr));
    edit(IDC_COSTOH)->setText(floatText(s.m_CostOH));
    selectCode(combo(IDC_PRICEBY), s.m_PriceBy);
    edit(IDC_MARKUP)->setText(s.m_Markup ? QString::number(s.m_Markup) : QString());
    edit(IDC_MARKUP2)->setText(s.m_Markup2 ? QString::number(s.m_Markup2) : QString());
    edit(IDC_MARKUP3)->setText(s.m_Markup3 ? QString::number(s.m_Markup3) : QString());
    selectCode(combo(IDC_ADJUSTBY), s.m_AdjustBy);
    edit(IDC_BID)->setText(floatText(s.m_Bid));
    edit(IDC_RUSH)->setText(floatText(s.m_Rush));
    edit(IDC_SPCL)->setText(floatText(s.m_Spcl));
    edit(IDC_MINPRICE)->setText(moneyText(s.m_MinPrice));
    selectCode(combo(IDC_UNIT), s.m_Unit);
    selectCode(combo(IDC_STEP), s.m_Step);
    SetItemText(IDC_MODIFIED_DATE, s.m_Modified.isValid() && s.m_Modified.toOle() != 0
                                       ? s.m_Modified.dateText() : QString());
    SetItemText(IDC_SERNOTE, s.m_SerNote);
}

bool CSerDlg::ReadControls()
{
    CSerSet &s = m_set;
    CSerSet &sh = *m_shown;
    // Each number is read whole, as every field reads its kind ("1,000" and
    // "1e3" are a thousand); one that does not read is refused naming its
    // field, which gets the focus.
    struct Failure
    {
        unsigned id;
        QString message;
        bool named = true; // said after the field's name
    };
    auto number = [this](unsigned id) -> qint32 {
        const QString text = edit(id)->text().trimmed();
        if (text.isEmpty())
            return 0;
        std::int32_t value = 0;
        if (!ReadTypedWhole(text, value))
            throw Failure{id, TypedValueMessage(ValueKind::Whole)};
        return value;
    };
    // A count, read as every count is (0 to 1,000,000,000); a divisor typed
    // is at least 1 (empty divides by nothing). A whole number outside that
    // is told the range, any other text that it is no quantity; the field
    // shows its value from before the typing again.
    auto count = [this, &sh](unsigned id, qint32 least) -> qint32 {
        const QString text = edit(id)->text().trimmed();
        if (text.isEmpty())
            return 0;
        const auto refused = [&](const QString &message) {
            const qint32 shown = id == IDC_DIVIDE ? sh.m_Divide : id == IDC_MULTIPLY ? sh.m_Multiply : sh.m_Round;
            edit(id)->setText(shown ? QString::number(shown) : QString());
            UpdateLayout();
            return Failure{id, message};
        };
        std::int32_t value = 0;
        std::int64_t whole = 0;
        if (!ReadTypedFixed(text, 0, whole))
            throw refused(TypedValueMessage(ValueKind::Quantity));
        if (!ReadTypedQuantity(text, value) || value < least)
            throw refused(QStringLiteral("Please enter a quantity from %1 to %2.")
                              .arg(least)
                              .arg(FormatFixedPoint(kLargestCount, 0, true)));
        return value;
    };
    auto decimal = [this](unsigned id) -> float {
        const QString text = edit(id)->text().trimmed();
        if (text.isEmpty())
            return 0;
        std::int64_t scaled = 0;
        if (ReadTypedFixed(text, 10, scaled))
            return float(double(scaled) / 1e10);
        // A float shown with more decimals ("3.333333e-05") reads as shown.
        bool ok = false;
        const double value = text.toDouble(&ok);
        if (!ok || !std::isfinite(value))
            throw Failure{id, QStringLiteral("Please enter a number.")};
        return float(value);
    };
    auto money = [this](unsigned id) -> Money {
        const QString text = edit(id)->text().trimmed();
        if (text.isEmpty())
            return Money::zero();
        Money value;
        if (!ReadTypedMoney(text, value, 2))
            throw Failure{id, TypedMoneyMessage(text)};
        return value;
    };
    // A field another workstation changed too is named as here.
    for (const auto &[member, id] :
         {std::pair<const void *, unsigned>{&s.m_Divide, IDC_DIVIDE}, {&s.m_Multiply, IDC_MULTIPLY},
          {&s.m_Round, IDC_ROUND}, {&s.m_Markup, IDC_MARKUP}, {&s.m_Markup2, IDC_MARKUP2}, {&s.m_Markup3, IDC_MARKUP3},
          {&s.m_Caliper, IDC_CALIPER}, {&s.m_SetTime, IDC_SETTIME}, {&s.m_ImpHour, IDC_IMPHOUR},
          {&s.m_CostOH, IDC_COSTOH}, {&s.m_Bid, IDC_BID}, {&s.m_Rush, IDC_RUSH}, {&s.m_Spcl, IDC_SPCL},
          {&s.m_CostHr, IDC_COSTHR}, {&s.m_MinPrice, IDC_MINPRICE}})
        s.SetFieldCaption(member, FieldCaption(id));
    for (const auto &[member, id] :
         {std::pair<const void *, unsigned>{&s.m_Name, IDC_NAME}, {&s.m_Name2, IDC_NAME2}, {&s.m_SerRemind, IDC_REMIND},
          {&s.m_DefNote, IDC_DEFNOTE}, {&s.m_Size, IDC_SIZE}, {&s.m_AskHowMany, IDC_ASK}})
        s.SetFieldCaption(member, FieldName(edit(id)));
    // A choice by its label and the text its list shows for each code.
    for (const auto &[member, id] :
         {std::pair<const void *, unsigned>{&s.m_SaleDept, IDC_SALEDEPT}, {&s.m_Colors, IDC_COLORS},
          {&s.m_DefPlate, IDC_DEFPLATE}, {&s.m_QtyBy, IDC_QTYBY}, {&s.m_WasteBy, IDC_WASTEBY},
          {&s.m_TimeBy, IDC_TIMEBY}, {&s.m_CostBy, IDC_COSTBY}, {&s.m_PriceBy, IDC_PRICEBY},
          {&s.m_AdjustBy, IDC_ADJUSTBY}, {&s.m_Unit, IDC_UNIT}, {&s.m_Step, IDC_STEP}})
        NameComboField(s, member, FieldName(combo(id)), combo(id));
    try {
        const qint32 divide = count(IDC_DIVIDE, 1);
        const qint32 multiply = count(IDC_MULTIPLY, 0);
        const qint32 round = count(IDC_ROUND, 0);
        const qint32 markup = number(IDC_MARKUP);
        const qint32 markup2 = number(IDC_MARKUP2);
        const qint32 markup3 = number(IDC_MARKUP3);
        const float caliper = decimal(IDC_CALIPER);
        const float setTime = decimal(IDC_SETTIME);
        const float impHour = decimal(IDC_IMPHOUR);
        for (const auto &[id, value] : {std::pair{unsigned(IDC_SETTIME), setTime}, std::pair{unsigned(IDC_IMPHOUR), impHour}}) {
            if (value < 0)
                throw Failure{id, QStringLiteral("Please enter a number of 0 or more.")};
        }
        const float costOH = decimal(IDC_COSTOH);
        const float bid = decimal(IDC_BID);
        const float rush = decimal(IDC_RUSH);
        const float spcl = decimal(IDC_SPCL);
        const Money costHr = money(IDC_COSTHR);
        const Money minPrice = money(IDC_MINPRICE);
        StoreIfChanged(s.m_Divide, sh.m_Divide, divide);
        StoreIfChanged(s.m_Multiply, sh.m_Multiply, multiply);
        StoreIfChanged(s.m_Round, sh.m_Round, round);
        StoreIfChanged(s.m_Markup, sh.m_Markup, markup);
        StoreIfChanged(s.m_Markup2, sh.m_Markup2, markup2);
        StoreIfChanged(s.m_Markup3, sh.m_Markup3, markup3);
        StoreIfChanged(s.m_Caliper, sh.m_Caliper, caliper);
        StoreIfChanged(s.m_SetTime, sh.m_SetTime, setTime);
        StoreIfChanged(s.m_ImpHour, sh.m_ImpHour, impHour);
        StoreIfChanged(s.m_CostOH, sh.m_CostOH, costOH);
        StoreIfChanged(s.m_Bid, sh.m_Bid, bid);
        StoreIfChanged(s.m_Rush, sh.m_Rush, rush);
        StoreIfChanged(s.m_Spcl, sh.m_Spcl, spcl);
        StoreIfChanged(s.m_CostHr, sh.m_CostHr, costHr);
        StoreIfChanged(s.m_MinPrice, sh.m_MinPrice, minPrice);
    } catch (const Failure &failure) {
        platform::Prompt::messageBox(failure.named ? FieldMessage(FieldCaption(failure.id), failure.message)
                                                   : failure.message,
                                     QString(), platform::MB_ICONEXCLAMATION);
        FocusItem(failure.id);
        return false;
    }
    StoreIfChanged(s.m_Name, sh.m_Name, edit(IDC_NAME)->text());
    StoreIfChanged(s.m_Name2, sh.m_Name2, edit(IDC_NAME2)->text());
    StoreIfChanged(s.m_SerRemind, sh.m_SerRemind, edit(IDC_REMIND)->text());
    StoreIfChanged(s.m_DefNote, sh.m_DefNote, edit(IDC_DEFNOTE)->text());
    StoreIfChanged(s.m_Size, sh.m_Size, edit(IDC_SIZE)->text());
    StoreIfChanged(s.m_AskHowMany, sh.m_AskHowMany, edit(IDC_ASK)->text());
    StoreIfChanged(s.m_SaleDept, sh.m_SaleDept, quint8(comboCode(combo(IDC_SALEDEPT))));
    StoreIfChanged(s.m_Colors, sh.m_Colors, quint8(comboCode(combo(IDC_COLORS))));
    StoreIfChanged(s.m_DefPlate, sh.m_DefPlate, comboCode(combo(IDC_DEFPLATE)));
    StoreIfChanged(s.m_QtyBy, sh.m_QtyBy, quint8(comboCode(combo(IDC_QTYBY))));
    StoreIfChanged(s.m_LiftBy, sh.m_LiftBy, quint8(qobject_cast<QCheckBox *>(control(IDC_LIFTBY))->isChecked() ? 1 : 0));
    StoreIfChanged(s.m_WasteBy, sh.m_WasteBy, quint8(comboCode(combo(IDC_WASTEBY))));
    StoreIfChanged(s.m_TimeBy, sh.m_TimeBy, quint8(comboCode(combo(IDC_TIMEBY))));
    StoreIfChanged(s.m_CostBy, sh.m_CostBy, quint8(comboCode(combo(IDC_COSTBY))));
    StoreIfChanged(s.m_PriceBy, sh.m_PriceBy, quint8(comboCode(combo(IDC_PRICEBY))));
    StoreIfChanged(s.m_AdjustBy, sh.m_AdjustBy, quint8(comboCode(combo(IDC_ADJUSTBY))));
    StoreIfChanged(s.m_Unit, sh.m_Unit, quint8(comboCode(combo(IDC_UNIT))));
    StoreIfChanged(s.m_Step, sh.m_Step, quint8(comboCode(combo(IDC_STEP))));
    return true;
}

QString CSerDlg::FieldCaption(unsigned id) const
{
    // A waste or time field goes by the caption it shows now (" + % of
    // Fin.Qty" is named "% of Fin.Qty").
    if (id == IDC_SETTIME || id == IDC_IMPHOUR || id == IDC_MULTIPLY) {
        QString caption = GetItemText(id == IDC_SETTIME ? CAP_SETTIME : id == IDC_IMPHOUR ? CAP_IMPHOUR : CAP_MULTIPLY)
                              .simplified();
        if (caption.startsWith(QLatin1Char('+')))
            caption = caption.mid(1).trimmed();
        if (!caption.isEmpty())
            return caption;
    }
    // The captions beside these fields change with the service (and some
    // are buttons): each field goes by its own name.
    static const QHash<unsigned, QString> names = {
        {IDC_DIVIDE, QStringLiteral("Divide by")},     {IDC_MULTIPLY, QStringLiteral("Multiply by")},
        {IDC_ROUND, QStringLiteral("Round-up to")},    {IDC_MARKUP, QStringLiteral("Markup")},
        {IDC_MARKUP2, QStringLiteral("Digital")},      {IDC_MARKUP3, QStringLiteral("Blank")},
        {IDC_CALIPER, QStringLiteral("Caliper")},      {IDC_SETTIME, QStringLiteral("Setup")},
        {IDC_IMPHOUR, QStringLiteral("% of Fin.Qty")}, {IDC_COSTOH, QStringLiteral("Multiplier")},
        {IDC_BID, QStringLiteral("Bid")},              {IDC_RUSH, QStringLiteral("Rush")},
        {IDC_SPCL, QStringLiteral("Special")},         {IDC_COSTHR, QStringLiteral("Cost / Hour")},
        {IDC_MINPRICE, QStringLiteral("Minimum Price")}};
    return names.value(id);
}

void CSerDlg::ReadGrids()
{
    // Only cells the user changed reach the record: an untouched Null stays Null.
    CSerSet read;
    read = *m_shown;
    read.ExchangeGridArrays(m_setupGrid, m_runGrid, true);
    for (int i = 0; i < CSerSet::SetUpValues; ++i)
        StoreIfChanged(m_set.m_SetUp[i], m_shown->m_SetUp[i], read.m_SetUp[i]);
    for (int i = 0; i < CSerSet::RunValues; ++i)
        StoreIfChanged(m_set.m_Run[i], m_shown->m_Run[i], read.m_Run[i]);
}

void CSerDlg::ShowHeader()
{
    const qint32 cat = m_set.m_CatNo;
    QString catName;
    if (CZqApp *app = ZqApp())
        catName = app->codeCache(CZqApp::ServiceCategories).value(cat).m_text;
    setWindowTitle(QStringLiteral("Service No: %1  -  Category No: %2  -  Category Name: %3  -  Category Type: %4")
                       .arg(m_set.m_SerNo)
                       .arg(cat)
                       .arg(catName, CategoryTypeName(cat)));
    if (!m_wndRecordRibbon.isCreated())
        return;
    QString title = m_nMode == 0 ? QStringLiteral("Service") : QStringLiteral("Preview");
    m_wndRecordRibbon.BlinkItem(30281, false);
    if (IsSpecialService(m_set.m_SerNo)) {
        title += QStringLiteral("\n(this is a special Service, click here to learn more...)");
        m_wndRecordRibbon.SetItemState(30281, struct_RIB_ITEM::Normal);
    } else {
        m_wndRecordRibbon.SetItemState(30281, struct_RIB_ITEM::Plain);
    }
    // The title item is as wide as its text, the name beside it takes what
    // is left; a special service's longer title, its note on the same line,
    // is written in the plain bold font to leave the name room.
    CXRibbon &bar = m_wndRecordRibbon;
    const std::uint8_t font = IsSpecialService(m_set.m_SerNo) ? 3 : 7;
    const int width =
        std::max(120, bar.MeasureText(QString(title).replace(QLatin1Char('\n'), QLatin1Char(' ')), font) + 16);
    const int at = bar.FindItem(30281);
    if (at >= 0 && (bar.itemAt(at).rect.width() != width || bar.itemAt(at).font != font)) {
        const struct_RIB_ITEM item = bar.itemAt(at);
        bar.RemoveItem(30281);
        bar.AddItem(30281, title, item.state, item.image, item.imageIndex, font, item.format, item.colour,
                    item.border, width, 0, 0, item.text2, at);
    }
    m_wndRecordRibbon.SetItemText(30281, title);
    m_wndRecordRibbon.SetItemText(30282, QStringLiteral(": ") + m_set.m_Name + QStringLiteral("   ") + m_set.m_Size);
    if (IsSpecialService(m_set.m_SerNo))
        m_wndRecordRibbon.BlinkItem(30281, true, 500, 7);
    static const char *const statuses[] = {"Active", "Active + Header", "Discontinued"};
    const int status = m_set.m_SerStatus <= 2 ? m_set.m_SerStatus : 0;
    SetStatusButton(QString::fromLatin1(statuses[status]), status == 2 ? 83 : 81);
}

void CSerDlg::UpdateLayout()
{
    const qint32 cat = m_set.m_CatNo;
    const bool paper = IsPaperCategory(cat);
    const bool printing = IsPrintingCategory(cat);
    const bool press = IsPressCategory(cat);
    const bool other = !paper && !printing && !IsCategory6(cat);
    const int costBy = comboCode(combo(IDC_COSTBY));
    const int priceBy = comboCode(combo(IDC_PRICEBY));
    const bool timeCost = costBy == 1 || costBy == 3;
    const bool matCost = costBy == 2 || costBy == 3;

    // 1. Grid columns in use.
    const std::uint8_t first = (timeCost || matCost || priceBy == 3) ? 1 : 0;
    const std::uint8_t editable = m_nMode == 0 ? 1 : 0;
    m_setupGrid.SetColumnEditable(0, first & editable);
    m_runGrid.SetColumnEditable(0, first & editable);
    m_setupGrid.SetColumnEditable(1, timeCost && editable);
    const bool speedFromPaper = press && comboCode(combo(IDC_TIMEBY)) == 1;
    m_runGrid.SetColumnEditable(1, timeCost && !speedFromPaper && editable);
    m_setupGrid.SetColumnEditable(2, matCost && editable);
    m_runGrid.SetColumnEditable(2, matCost && editable);
    m_setupGrid.SetColumnEditable(4, priceBy == 3 && editable);
    m_runGrid.SetColumnEditable(4, priceBy == 3 && editable);
    m_setupGrid.Refresh();
    m_runGrid.Refresh();

    // 2. Cost fields.
    ShowItem(CAP_COSTHR, timeCost);
    ShowItem(IDC_COSTHR, timeCost);
    ShowItem(CAP_MULTIPLIER, matCost);
    ShowItem(IDC_COSTOH, matCost);

    // 3. Price fields.
    const bool markup = priceBy >= 2;
    for (unsigned id : {unsigned(CAP_MARKUP), unsigned(CAP_PERCENT), unsigned(IDC_MARKUP), unsigned(CAP_ADJUST),
                        unsigned(IDC_ADJUSTBY), unsigned(CAP_BID), unsigned(IDC_BID), unsigned(CAP_RUSH),
                        unsigned(IDC_RUSH), unsigned(CAP_SPCL), unsigned(IDC_SPCL), unsigned(CAP_MINPRICE),
                        unsigned(IDC_MINPRICE)})
        ShowItem(id, markup);
    for (unsigned id : {unsigned(CAP_DIGITAL), unsigned(IDC_MARKUP2), unsigned(CAP_BLANK), unsigned(IDC_MARKUP3)})
        ShowItem(id, markup && paper);

    // 4. Paper.
    ShowItem(CAP_SIZE, paper);
    ShowItem(IDC_SIZE, paper);
    SetItemCueBanner(IDC_SIZE, QStringLiteral("< Size: W x H >"));
    ShowItem(CAP_CALIPER, paper);
    ShowItem(IDC_CALIPER, paper);
    SetItemText(CAP_DEFNOTE, paper ? QStringLiteral("Default Color") : QStringLiteral("Default Note"));
    SetItemText(CAP_MULTIPLY, paper ? QStringLiteral("Number of Parts") : QStringLiteral("Multiply by"));
    SetItemText(CAP_SETTIME, paper ? QStringLiteral("Setup (Min/Plate)") : QStringLiteral("Setup (#Sheets)"));
    SetItemText(CAP_IMPHOUR, paper      ? QStringLiteral("Run (Imp/Hr)")
                             : printing ? QStringLiteral(" + % of Run Qty")
                                        : QStringLiteral(" + % of Fin.Qty"));
    if (paper && comboCode(combo(IDC_QTYBY)) != 4)
        SelectComboByData(combo(IDC_QTYBY), 4);
    // 5. Printing.
    if (printing && comboCode(combo(IDC_QTYBY)) != 8)
        SelectComboByData(combo(IDC_QTYBY), 8);
    EnableItem(IDC_QTYBY, m_nMode == 0 && !paper && !printing);
    ShowItem(CAP_COLORS, printing);
    ShowItem(IDC_COLORS, printing);
    ShowItem(CAP_DEFPLATE, press);
    ShowItem(IDC_DEFPLATE, press);
    // 6. Plates round nothing up.
    ShowItem(CAP_ROUND, !IsCategory6(cat));
    ShowItem(IDC_ROUND, !IsCategory6(cat));
    // 7. Other categories.
    ShowItem(CAP_DIVIDE, other);
    ShowItem(IDC_DIVIDE, other);
    ShowItem(CAP_MULTIPLY, other || paper);
    ShowItem(IDC_MULTIPLY, other || paper);
    ShowItem(IDC_ASK, other);
    SetItemCueBanner(IDC_ASK, QStringLiteral("< or ask How many? >"));
    ShowItem(IDC_LIFTBY, other);
    // 8. Time and waste.
    ShowItem(CAP_TIME, paper || printing);
    ShowItem(IDC_TIMEBY, paper || printing);
    EnableItem(IDC_TIMEBY, m_nMode == 0 && !paper);
    const bool wastePair = paper || comboCode(combo(IDC_WASTEBY)) == 252;
    for (unsigned id : {unsigned(CAP_SETTIME), unsigned(IDC_SETTIME), unsigned(CAP_IMPHOUR), unsigned(IDC_IMPHOUR)})
        ShowItem(id, wastePair);
    // 9. The lift exception.
    // The divisor as typed so far, read as every count is (none while it
    // does not read).
    std::int32_t divide = 0;
    if (!ReadTypedQuantity(edit(IDC_DIVIDE)->text(), divide))
        divide = 0;
    m_bLiftHighlight = LiftExceptionHolds(quint8(comboCode(combo(IDC_QTYBY))), divide, edit(IDC_ASK)->text());
    if (auto *caption = qobject_cast<QPushButton *>(control(CAP_DIVIDE))) {
        caption->setText(m_bLiftHighlight ? QStringLiteral("  * Divide by...") : QStringLiteral("Divide by..."));
        // Highlight: text 0x1010C0 (red) on white.
        caption->setStyleSheet(m_bLiftHighlight
                                   ? QStringLiteral("QPushButton { text-align: left; color: #c01010; "
                                                    "background: #ffffff; border: none; font-weight: bold; }")
                                   : QStringLiteral("QPushButton { text-align: left; color: #1040a0; "
                                                    "text-decoration: underline; border: none; }"));
    }
    UpdateRibbon();
}

void CSerDlg::UpdateRibbon()
{
    if (!m_wndRibbon3.isCreated())
        return;
    const qint32 cat = m_set.m_CatNo;
    const int priceBy = comboCode(combo(IDC_PRICEBY));
    m_wndRibbon3.EnableItem(30641, IsPaperCategory(cat) || IsPrintingCategory(cat));
    m_wndRibbon3.EnableItem(30642, IsPressCategory(cat));
    m_wndRibbon3.EnableItem(30643, priceBy >= 2);
    m_wndRibbon3.EnableItem(30645, priceBy == 4);
}

void CSerDlg::ChooseListEntry(unsigned id, int code)
{
    if (QComboBox *c = combo(id)) {
        SelectComboByData(c, code);
        OnListChanged(id);
    }
}

void CSerDlg::OnListChanged(unsigned id)
{
    if (m_bFilling)
        return;
    m_bModified = true;
    if (id == IDC_ADJUSTBY)
        return;
    if (id == IDC_COSTBY || id == IDC_PRICEBY) {
        quint8 cost = quint8(comboCode(combo(IDC_COSTBY)));
        quint8 price = quint8(comboCode(combo(IDC_PRICEBY)));
        CoupleMethods(cost, price, id == IDC_COSTBY);
        SelectComboByData(combo(IDC_COSTBY), cost);
        SelectComboByData(combo(IDC_PRICEBY), price);
    }
    UpdateLayout();
}

// --- saving -----------------------------------------------------------------------------

bool CSerDlg::CheckAndSave()
{
    if (m_nMode != 0)
        return true;
    if (!HeldTextsFit() || !ReadControls())
        return false;
    if (m_set.m_Name.trimmed().isEmpty()) {
        platform::Prompt::messageBox(QStringLiteral("This service has no name!"), QString(),
                                     platform::MB_ICONEXCLAMATION);
        FocusItem(IDC_NAME);
        return false;
    }
    CZqApp *app = ZqApp();
    const bool isNew = m_set.m_SerNo == 0;
    ReadGrids();
    // A new service takes its number as it is written; a failed save keeps
    // it new, with everything typed, to be saved again.
    if (!(isNew ? m_set.SaveNew(1) : m_set.SaveRecord(1)))
        return false;
    if (app && (isNew || m_set.m_SerStatus != m_loaded->m_SerStatus))
        app->ServicesChanged = 1;
    m_bSaved = true;
    // The window shows the service as stored: with another workstation's
    // changes kept beside this user's, none of its old values is left on
    // screen to be saved again.
    FillFromRecord();
    if (priceWizardFollowHook())
        priceWizardFollowHook()(*this, false);
    return true;
}

void CSerDlg::OnCancel()
{
    if (m_nMode != 0) {
        CDlgRibbon::OnCancel();
        return;
    }
    if (!ReadControls()) {
        EndDialog(IDCANCEL_RESULT);
        return;
    }
    ReadGrids();
    const int answer = m_set.AskSaveChanges(m_bModified ? 2 : 1);
    if (answer == platform::IDCANCEL)
        return;
    if (answer == platform::IDYES && !CheckAndSave())
        return;
    CDlgRibbon::OnCancel();
}

bool CSerDlg::NeedsSavedRow(const QString &tableWord)
{
    if (m_set.m_SerNo != 0)
        return true;
    if (platform::Prompt::messageBox(QStringLiteral("To open the ") + tableWord
                                         + QStringLiteral(" Table, you must save the new Service first.\n\n"
                                                          "Save the Service?"),
                                     QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
        != platform::IDYES)
        return false;
    return CheckAndSave();
}

void CSerDlg::OnTableHook(const RecordHook &hook, const QString &tableWord, const QString &what)
{
    if (!tableWord.isEmpty() && !NeedsSavedRow(tableWord))
        return;
    if (!hook) {
        CView0::ReportNotAvailable(what);
        return;
    }
    hook(*this);
}

// --- commands -----------------------------------------------------------------------------

bool CSerDlg::OnCommand(int id)
{
    switch (id) {
    case 30100:
        if (m_bMayAdd)
            OnNew();
        return true;
    case 30213:
        CheckAndSave();
        return true;
    case 30443:
        if (CheckAndSave())
            EndDialog(IDOK_RESULT);
        return true;
    case 30641: {
        CViewDefaults editor;
        editor.EditSetupTable(2002, 0, m_nColorScheme);
        return true;
    }
    case 30642:
        OnTableHook(diffTableHook(), QStringLiteral("Difficulty"), QStringLiteral("The difficulty table window"));
        return true;
    case 30643: {
        if (comboCode(combo(IDC_PRICEBY)) < 2)
            platform::Prompt::messageBox(
                QStringLiteral("This Service does not use the Markup Table.\n(see the Price field)"));
        CViewDefaults editor;
        editor.EditSetupTable(2001, 0, m_nColorScheme);
        return true;
    }
    case 30645:
        if (comboCode(combo(IDC_PRICEBY)) != 4)
            platform::Prompt::messageBox(
                QStringLiteral("This Service does not use the Price Table.\n(see the Price field)"));
        OnTableHook(priceTableHook(), QStringLiteral("Price"), QStringLiteral("The price table window"));
        return true;
    case 30278:
    case CAP_MORE:
        OnMore();
        return true;
    case 30650:
        if (m_nMode == 0 && CheckAndSave()) {
            if (CZqApp *app = ZqApp())
                app->LoadServices(app->ServicesChanged);
            OnTableHook(priceWizardHook(), QString(), QStringLiteral("The price wizard"));
        }
        return true;
    case 30101:
        OnFind();
        return true;
    case 59648: case 59649: case 59650: case 59651:
        OnNavigate(id);
        return true;
    case 30526:
        OnStatus();
        return true;
    case 30263:
        OnNote();
        return true;
    case 8900:
        ShowReminders(30002, m_set.m_SerNo);
        return true;
    case 30281:
        if (IsSpecialService(m_set.m_SerNo))
            platform::Prompt::messageBox(SpecialServiceMessage(m_set.m_SerNo), QString(), platform::MB_ICONINFORMATION);
        return true;
    default:
        break;
    }
    if (id >= 1521 && id <= 1539) {
        OnCaption(unsigned(id));
        return true;
    }
    return CDlgRibbon::OnCommand(id);
}

void CSerDlg::OnNew()
{
    if (!CheckAndSave())
        return;
    const qint32 cat = m_set.m_CatNo;
    if (!m_set.SafeAddNew())
        return;
    m_set.ResetFields(cat);
    FillFromRecord();
}

void CSerDlg::OnFind()
{
    // A find among the services of the category shown (its list is numbered
    // 100 x branch + entry, as the category's number reads).
    CDlgList picker(QStringLiteral("Services"), QStringLiteral("Select a Service"), QStringLiteral("Services"),
                    m_set.m_CatNo / 100, 0, 1, m_nColorScheme, this);
    picker.m_nSecondList = m_set.m_CatNo % 100;
    if (picker.DoModal() != IDOK_RESULT || picker.m_nChosenId <= 0)
        return;
    if (!CheckAndSave())
        return;
    // Only a service of this category can take the dialog's place.
    const qint32 chosen = qint32(picker.m_nChosenId);
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT Count(*) FROM Services WHERE SerNo = ? AND CatNo = ?"),
            {platform::Value(chosen), platform::Value(m_set.m_CatNo)});
    const bool found = !rs.isEOF() && rs.value(0).toInt() > 0;
    rs.close();
    if (!found) {
        platform::Prompt::messageBox(QStringLiteral("Service No %1 is not in this category.").arg(chosen));
        return;
    }
    m_set.m_strFilter = QStringLiteral("Services.SerNo = %1 AND Services.CatNo = %2").arg(chosen).arg(m_set.m_CatNo);
    if (m_set.RequeryOrOpen(m_nMode == 0))
        FillFromRecord();
}

void CSerDlg::OnNavigate(int command)
{
    if (!CheckAndSave())
        return;
    const long key = NavigateRecord(unsigned(command));
    if (key <= 0)
        return;
    m_set.m_strFilter = QStringLiteral("Services.SerNo = %1").arg(key);
    m_set.m_strSort.clear();
    if (!m_set.RequeryOrOpen(m_nMode == 0))
        return;
    FillFromRecord();
    if (priceWizardFollowHook())
        priceWizardFollowHook()(*this, true);
}

void CSerDlg::OnStatus()
{
    CDlgOptions choice(QStringLiteral("Service Status"), QString(), 0, this);
    choice.AddRadioGroup(QStringLiteral("Select Service Status"), 0);
    const QStringList entries = {QStringLiteral("Active"), QStringLiteral("Active + Group Header"),
                                 QStringLiteral("Discontinued (hidden for new jobs)")};
    for (int i = 0; i < entries.size(); ++i)
        choice.AddEntry(i + 1, entries[i], m_set.m_SerStatus == i ? 1 : 0);
    if (choice.DoModal() != IDOK_RESULT || m_nMode != 0)
        return;
    const long chosen = choice.GetCheckedInRange(1, 3);
    if (chosen == 0)
        return;
    m_set.m_SerStatus = quint8(chosen - 1);
    m_bModified = true;
    ShowHeader();
}

void CSerDlg::OnNote()
{
    if (m_nMode == 0 && !ReadControls())
        return;
    CNoteDlg note(QStringLiteral("Note"), QString(), m_set.m_SerNote, CNoteDlg::EditNote, this);
    if (note.DoModal() != IDOK_RESULT || m_nMode != 0)
        return;
    if (note.m_strNote != m_set.m_SerNote) {
        m_set.m_SerNote = note.m_strNote.left(255);
        m_bModified = true;
        SetItemText(IDC_SERNOTE, m_set.m_SerNote);
    }
}

void CSerDlg::OnModified()
{
    if (m_nMode != 0 || !ReadControls())
        return;
    const DateTime today = GetToday(0);
    CDlgData entry(today.format(QStringLiteral("%m/%d/%Y")) + QStringLiteral(": Modified cost"), 255,
                   QStringLiteral("Last Modified"), QStringLiteral("Add this to Service Note"),
                   QStringLiteral("Click OK if your changes affect the pricing of this Service. Clicking OK will set "
                                  "Last Modified Date = Today and add the note above to the Service Note.\n\nClick "
                                  "Cancel not to change the Date and Service Note."),
                   this);
    if (entry.DoModal() != IDOK_RESULT)
        return;
    m_set.m_Modified = today;
    SetItemText(IDC_MODIFIED_DATE, today.dateText());
    if (!entry.m_strValue.isEmpty()) {
        m_set.m_SerNote = (entry.m_strValue + QStringLiteral("\r\n") + m_set.m_SerNote).left(255);
        SetItemText(IDC_SERNOTE, m_set.m_SerNote);
    }
    m_bModified = true;
}

void CSerDlg::OnMore()
{
    if (m_nMode == 0 && !ReadControls())
        return;
    CSerDlgMore more(m_set, this);
    more.m_nMode = m_nMode;
    more.DoModal();
}

void CSerDlg::ShowHelpPage(const QString &title, const QString &text, const QString &page, const QString &link)
{
    QString html;
    HtmlBegin(html);
    AddHtmlHeading(html, title, text);
    AddSupportLinks(html, page, link, QString());
    HtmlEnd(html);
    if (CZqApp *app = ZqApp())
        app->ShowHtmlDialog(html);
}

void CSerDlg::OnCaption(unsigned id)
{
    const qint32 cat = m_set.m_CatNo;
    auto say = [](const QString &text) {
        platform::Prompt::messageBox(text, QString(), platform::MB_ICONINFORMATION);
    };
    switch (id) {
    case CAP_QUANTITY:
        ShowHelpPage(QStringLiteral("About Service Quantity"),
                     QStringLiteral("This page is not ready yet. It will explain how each formula is used. \n<ul>"
                                    "<li>Item Quantity: </li><li>Sides/Set: </li><li>Sheets/Set</li><li>Parent Size "
                                    "Sheets</li><li>...etc.</li></ul>"),
                     QStringLiteral("ServiceQty.htm"), QStringLiteral("Show me examples (not ready yet)"));
        return;
    case CAP_WASTE:
        if (IsPaperCategory(cat))
            say(QStringLiteral("Select a default Waste Property for this paper. A press may use this option or "
                               "replace it."));
        else if (IsPrintingCategory(cat))
            say(QStringLiteral("This press may use either Paper's Waste Property or use its own. \nSee the "
                               "Difficulty Table for additional waste."));
        else
            say(QStringLiteral("If this Service needs more paper, enter the setup and run waste.\nSee Paper Waste "
                               "Table to set limits."));
        return;
    case CAP_TIME:
        if (IsPaperCategory(cat))
            say(QStringLiteral("Press time for some (usually small) offset presses may be calculated from paper's "
                               "Production Properties:\n- Setup Time per Plate (in minutes) and \n- Run Speed per "
                               "Hour (in #impressions)\n\nPaper time is calculated from Setup and Run Tables. \nSee "
                               "Press Properties window and its Difficulty Table for more options."));
        else if (IsPressCategory(cat))
            say(QStringLiteral("This press may use or ignore Paper's Properties.\n\nIf you select 'Use Paper "
                               "Properties', the '#Units/Hour' column of Run Table will not be used.\n\nIf you use "
                               "multiple rows of Run Table, the Speed Table in the Difficulty window will not be "
                               "used.\n\nOpen the Difficulty Table to set adjustments and limits."));
        else if (IsDigitalCategory(cat))
            say(QStringLiteral("Time is calculated from #impressions (clicks) using: \n\n - Colors / Side field\n - "
                               "Setup and Run Tables"));
        return;
    case CAP_MARKUP: {
        QString text = QStringLiteral(
            "You have two ways to markup the cost:\n\na) Use Variable Markup Table: Type a row#, 1 through 19.\nb) Use "
            "Flat Markup: Type a percentage, 20 or more.\n\nRecommendation: Use Markup Table. It is easier to modify "
            "and it can handle both variable and flat markups.");
        if (comboCode(combo(IDC_PRICEBY)) > 2)
            text.replace(QStringLiteral("cost"), QStringLiteral("price"));
        if (IsPaperCategory(cat))
            text += QStringLiteral("\n\nException: Enter -1 in the 'Digital' field if the digital printer/copier "
                                   "price includes the paper price.");
        say(text);
        return;
    }
    case CAP_ADJUST:
        say(QStringLiteral("You may adjust the price for different market conditions:\nBid, Rush, and Special.\n\n"
                           "a) To reduce the price, enter a multiplier less than 1.0.\nb) To increase the price, "
                           "enter a multiplier greater than 1.0.\n\nThen, select what to multiply: Markup or Price."));
        return;
    case CAP_MINPRICE:
        say(QStringLiteral("The minimum price is used when calculating the Service price."));
        return;
    case CAP_CALIPER:
        ShowHelpPage(QStringLiteral("About Caliper"),
                     QStringLiteral("Caliper is the approximate thickness of a single sheet in thousandths of an "
                                    "inch. If caliper is zero, Tavrel will calculate it based on paper weight.\n\n"
                                    "Here are some examples:\n<ul><li>20# Bond: 0.004</li><li>24# Bond: 0.0045</li>"
                                    "<li>60# Offset: 0.0045</li><li>70# Offset: 0.005</li><li>65# Cover: 0.0095</li>"
                                    "</ul>"),
                     QStringLiteral("caliper.htm"), QStringLiteral("Show me more examples"));
        return;
    case CAP_DIVIDE: {
        QString text = QStringLiteral(
            "If you perform this service in lifts, such as cutting and drilling, \nenter the number of sheets of 20# "
            "Bond paper per lift.\n\nIf you check the [Sheets of 20# Bond] option, Tavrel adjusts\nthis number for "
            "other papers according to their caliper or weight.");
        if (m_bLiftHighlight)
            text += QStringLiteral(
                "\n\n\nEXCEPTION: When Quantity = Item Quantity, Divide by Value > 1, and\nSheets per Set > 1, Tavrel "
                "divides this value by Sheets per Set:\n\n\tSets per Lift = Divide by Value / Sheets per Set\n\t"
                "Service Quantity = Item Quantity / Sets per Lift\n\nTo turn off this exception, type '/' in the < "
                "ask > field. Then:\n\n\tService Quantity = Item Quantity / Divide by Value");
        say(text);
        return;
    }
    case CAP_MULTIPLIER:
        say(QStringLiteral("Type a multiplier (greater than 1.0) to add overhead cost to materials. Material Run (not "
                           "Setup) Cost will be multiplied by this number. \n\nNumbers less than 1.0 are ignored."));
        return;
    case CAP_MODIFIED:
        OnModified();
        return;
    case CAP_MORE:
        OnMore();
        return;
    default:
        return;
    }
}
