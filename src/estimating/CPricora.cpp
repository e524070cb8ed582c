#include "estimating/CPricora.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/DialogControls.h"
#include "app/base/WaitCursor.h"
#include "controls/DlgItem.h"
#include "data/CSerSet.h"
#include "platform/Prompt.h"

#include <QtGui/QGuiApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

namespace {

constexpr unsigned kQuantity = 1201;
constexpr unsigned kMarkup = 1203;
constexpr unsigned kSide1 = 1221;
constexpr unsigned kSide2 = 1222;
constexpr unsigned kCoverage = 1224;
constexpr unsigned kRegistration = 1225;
constexpr unsigned kWash = 1227;
constexpr unsigned kMix = 1228;
constexpr unsigned kBleed = 1229;
constexpr unsigned kPlaceholder = 1910;
constexpr unsigned kFirstStep = 1521;
constexpr unsigned kFirstService = 1001;
constexpr int kCellChanged = 30247;
constexpr int kServicesView = 30002;
constexpr int kInkColours = 40021;
constexpr int kDifficulty = 40012;

enum GridColumn { ColQuantity = 0, ColPrice = 1, ColTarget = 2, ColDifference = 3, ColPercent = 4 };

CPricora::ServicePicker &servicePicker()
{
    static CPricora::ServicePicker picker;
    return picker;
}

} // namespace

void CPricora::SetServicePicker(ServicePicker picker)
{
    servicePicker() = std::move(picker);
}

CPricora::CPricora(QWidget *parent)
    : CDlg0(850, parent)
{
    m_strWindowTitle = QStringLiteral("Pricora");
    m_nColorScheme = Appearance::instance().GetViewHue(kServicesView, true);
    m_crBack = 0xFFFFFF;
    setModal(false);
    resize(720, 640);
    AddLabel(QStringLiteral("STEP 1 - Set Specs"), QRect(10, 10, 700, 26), kFirstStep);
    struct Spec
    {
        unsigned id;
        const char *label;
    };
    const Spec specs[] = {{kQuantity, "&QBreak"}, {kMarkup, "&Markup"},  {kSide1, "Side&1"},
                          {kSide2, "Side&2"},     {kCoverage, "&Cover'g"}, {kRegistration, "R&egist'n"},
                          {kWash, "&Wash"},       {kMix, "Mi&x"},        {kBleed, "&Bleed"}};
    int x = 10;
    int y = 44;
    for (const Spec &s : specs) {
        const bool wide = s.id == kSide1 || s.id == kSide2;
        const int w = wide ? 150 : (s.id == kQuantity || s.id == kMarkup || s.id == kCoverage || s.id == kRegistration) ? 96 : 60;
        if (x + w > 710) {
            x = 10;
            y += 56;
        }
        QLabel *label = AddLabel(QString::fromLatin1(s.label), QRect(x, y, w, 18));
        auto *box = new QComboBox(this);
        label->setBuddy(box);
        box->setGeometry(x, y + 20, w, 26);
        box->setEditable(s.id == kQuantity);
        SetDlgCtrlID(box, s.id);
        x += w + 8;
    }
    AddLabel(QStringLiteral("STEP 2 - Select Services"), QRect(10, 160, 700, 26), kFirstStep + 1);
    const char *buttons[] = {"Paper...", "Press...", "Plate...", "Service..."};
    for (int i = 0; i < 4; ++i)
        AddButton(kFirstService + unsigned(i), QString::fromLatin1(buttons[i]),
                  QRect(10 + (i % 2) * 352, 194 + (i / 2) * 34, 346, 28));
    AddLabel(QStringLiteral("STEP 3 - Compare Calculated vs Target Prices"), QRect(10, 272, 700, 26), kFirstStep + 2);
    AddPlaceholder(kPlaceholder, QRect(10, 306, 5 * 66 + 4, 21 + 10 * 21 + 4));
    AddButton(kReset, QStringLiteral("&Reset"), QRect(380, 306, 120, 30));
    AddButton(kShowGraph, QStringLiteral("Show Graph"), QRect(380, 344, 120, 30));
    AddButton(2, QStringLiteral("Close"), QRect(380, 500, 120, 30));
}

CPricora::~CPricora() = default;

CPricora *CPricora::OpenFor(QWidget *owner, qint32 serNo)
{
    CPricora *wizard = owner ? owner->findChild<CPricora *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!wizard) {
        wizard = new CPricora(owner);
        wizard->setWindowFlag(Qt::Window, true);
        wizard->OnInitDialog();
        wizard->m_bInitDone = true;
        if (owner)
            wizard->move(owner->geometry().center() - wizard->rect().center());
    }
    wizard->Refresh(serNo);
    wizard->show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        wizard->raise();
    return wizard;
}

QComboBox *CPricora::combo(unsigned id) const
{
    return qobject_cast<QComboBox *>(GetDlgItem(const_cast<CPricora *>(this), id));
}

bool CPricora::OnInitDialog()
{
    m_bLoading = true;
    CDlg0::OnInitDialog();
    SetBackColor(m_crBack);
    const char *steps[] = {"STEP 1 - Set Specs", "STEP 2 - Select Services",
                           "STEP 3 - Compare Calculated vs Target Prices"};
    for (int i = 0; i < 3; ++i)
        m_wndStep[i].CreateFromItem(this, kFirstStep + unsigned(i), m_nColorScheme, 1, 0, 3, 2084,
                                    QString::fromLatin1(steps[i]));
    for (int i = 0; i < 4; ++i) {
        CXRibbon &r = m_wndService[i];
        if (r.CreateWithText(this, kFirstService + unsigned(i), m_nColorScheme, 131, 8, 16, 3, 0, 3, 26))
            connect(&r, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
    }
    if (QComboBox *q = combo(kQuantity)) {
        for (const char *t : {"1", "5", "10", "50", "100", "250", "500", "1000", "Varies"})
            q->addItem(QString::fromLatin1(t));
        if (q->lineEdit())
            q->lineEdit()->setMaxLength(8);
    }
    if (QComboBox *m = combo(kMarkup))
        for (const char *t : {"Normal", "Bid", "Rush", "Special"})
            m->addItem(QString::fromLatin1(t));
    FillDlgListFromResource(this, int(kSide1), kInkColours, 0, 0x7FFFFFFF);
    FillDlgListFromResource(this, int(kSide2), kInkColours, 0, 0x7FFFFFFF);
    FillDlgListFromResource(this, int(kCoverage), kDifficulty, 0, 0x7FFFFFFF);
    FillDlgListFromResource(this, int(kRegistration), kDifficulty, 0, 0x7FFFFFFF);
    FillDlgNumberList(this, int(kWash), 0, 9, QString(), QString(), 0);
    FillDlgNumberList(this, int(kMix), 0, 9, QString(), QString(), 0);
    FillDlgNumberList(this, int(kBleed), 0, 4, QString(), QString(), 0);

    const QWidget *place = GetDlgItem(this, kPlaceholder);
    const QRect rect = place ? place->geometry() : QRect(10, 306, 334, 235);
    for (const char *title : {"Quantity", "Price", "Target", "Difference", "%"}) {
        const QString t = QString::fromLatin1(title);
        const bool editable = t == QStringLiteral("Quantity") || t == QStringLiteral("Target");
        const bool money = t == QStringLiteral("Price") || t == QStringLiteral("Target") || t == QStringLiteral("Difference");
        m_wndGrid.SetColumnWide(
            m_wndGrid.AddColumn(t, 66, money ? 8 : 7, money ? QStringLiteral("$") : QStringLiteral("%9d"), editable ? 1 : 0),
            money);
    }
    // A quantity typed is a count: below 0 it is refused naming the column.
    m_wndGrid.SetColumnNotNegative(ColQuantity);
    m_wndGrid.SetRows(Pricora::kRows, Pricora::kRows);
    m_wndGrid.SetColorScheme(m_nColorScheme);
    m_wndGrid.CreateInDlgItem(this, kPlaceholder);
    m_wndGraph.Create(this, kGraph, rect, &m_wndGrid);
    connect(&m_wndGrid, &CXWnd::ownerMessage, this,
            [this](int message, qintptr, qintptr cell) { OnGridChanged(message, cell); });

    for (unsigned id : {kMarkup, kSide1, kSide2, kCoverage, kRegistration, kWash, kMix, kBleed})
        if (QComboBox *box = combo(id))
            connect(box, &QComboBox::currentIndexChanged, this, [this] {
                if (!m_bLoading)
                    OnSpecsChanged();
            });
    if (QComboBox *q = combo(kQuantity)) {
        connect(q, &QComboBox::currentIndexChanged, this, [this] {
            if (!m_bLoading)
                SendCommand(kQuantitiesChanged);
        });
        if (q->lineEdit())
            connect(q->lineEdit(), &QLineEdit::editingFinished, this, [this] {
                if (!m_bLoading && combo(kQuantity)->currentText() != m_specs.quantityText)
                    SendCommand(kQuantitiesChanged);
            });
    }

    Pricora::LoadScratchItem(m_specs);
    if (CZqApp *app = ZqApp(); app && m_specs.other)
        m_specs.otherCategory = app->GetServiceCategory(m_specs.other);
    for (int r = 0; r < Pricora::kRows; ++r)
        m_wndGrid.SetCellValue(r, ColTarget, m_specs.targets.value(r));
    ShowServiceTexts();
    ToControls();
    m_bLoading = false;
    SetQuantities();
    return true;
}

void CPricora::ToControls()
{
    const bool loading = m_bLoading;
    m_bLoading = true;
    if (QComboBox *q = combo(kQuantity))
        q->setCurrentText(m_specs.quantityText);
    const std::pair<unsigned, int> indexes[] = {{kMarkup, m_specs.markup},       {kSide1, m_specs.side1},
                                                {kSide2, m_specs.side2},         {kCoverage, m_specs.coverage},
                                                {kRegistration, m_specs.registration}, {kWash, m_specs.wash},
                                                {kMix, m_specs.mix},             {kBleed, m_specs.bleed}};
    for (const auto &[id, value] : indexes)
        if (QComboBox *box = combo(id))
            box->setCurrentIndex(value);
    m_bLoading = loading;
}

void CPricora::FromControls()
{
    if (QComboBox *q = combo(kQuantity))
        m_specs.quantityText = q->currentText().left(8);
    auto index = [this](unsigned id) {
        QComboBox *box = combo(id);
        return box ? std::max(0, box->currentIndex()) : 0;
    };
    m_specs.markup = index(kMarkup);
    m_specs.side1 = index(kSide1);
    m_specs.side2 = index(kSide2);
    m_specs.coverage = index(kCoverage);
    m_specs.registration = index(kRegistration);
    m_specs.wash = index(kWash);
    m_specs.mix = index(kMix);
    m_specs.bleed = index(kBleed);
    for (int r = 0; r < Pricora::kRows; ++r)
        m_specs.targets[r] = m_wndGrid.GetCellValue(r, ColTarget);
}

QString CPricora::serviceText(int slot) const
{
    return slot >= 1 && slot <= 4 ? m_serviceTexts[slot] : QString();
}

void CPricora::ShowServiceTexts()
{
    const char *prefixes[] = {"Paper: ", "Press: ", "Plate: ", "Other: "};
    const qint32 serNos[] = {m_specs.paper, m_specs.press, m_specs.plate, m_specs.other};
    CSerSet service;
    CZqApp *app = ZqApp();
    for (int i = 0; i < 4; ++i) {
        QString text = QString::fromLatin1(prefixes[i]);
        if (serNos[i] && service.FindBySerNo(serNos[i])) {
            text += (app ? app->GetCategoryName(service.m_CatNo) : QString()) + QStringLiteral(": ") + service.m_Name;
            if (i == 0)
                text += QLatin1Char(' ') + service.m_Size;
        }
        m_serviceTexts[i + 1] = text;
        if (m_wndService[i].isCreated()) {
            m_wndService[i].SetItemText(kFirstService + unsigned(i), text);
            m_wndService[i].update();
        }
    }
}

void CPricora::SetSlotService(int slot, qint32 serNo)
{
    switch (slot) {
    case 1: m_specs.paper = serNo; break;
    case 2: {
        m_specs.press = serNo;
        // A press brings its default plate.
        CSerSet press;
        m_specs.plate = press.FindBySerNo(serNo) ? press.m_DefPlate : 0;
        break;
    }
    case 3: m_specs.plate = serNo; break;
    case 4: {
        m_specs.other = serNo;
        CZqApp *app = ZqApp();
        m_specs.otherCategory = app ? app->GetServiceCategory(serNo) : 0;
        break;
    }
    default: break;
    }
}

void CPricora::Refresh(qint32 serNo)
{
    CZqApp *app = ZqApp();
    const qint32 catNo = app ? app->GetServiceCategory(serNo) : 0;
    SetSlotService(Pricora::SlotOfCategory(catNo), serNo);
    ShowServiceTexts();
    OnSpecsChanged();
}

void CPricora::OnSpecsChanged()
{
    FromControls();
    Pricora::SaveScratchItem(m_specs);
    PriceQuantities();
}

void CPricora::SetQuantities()
{
    FromControls();
    const QList<qint32> quantities = Pricora::Quantities(m_specs.quantityText);
    for (int r = 0; r < Pricora::kRows; ++r)
        m_wndGrid.SetCellValue(r, ColQuantity, quantities.value(r));
    m_wndGrid.RefreshRow(-1);
    PriceQuantities();
}

void CPricora::PriceQuantities()
{
    WaitCursor wait;
    QList<qint32> quantities;
    for (int r = 0; r < Pricora::kRows; ++r)
        quantities << m_wndGrid.GetCellValue(r, ColQuantity);
    const QList<qint64> prices = Pricora::PriceQuantities(quantities);
    for (int r = 0; r < Pricora::kRows; ++r) {
        m_wndGrid.SetCellValue(r, ColPrice, prices.value(r));
        UpdateDifference(r);
    }
    m_wndGrid.RefreshRow(-1);
    m_wndGraph.Reload();
}

void CPricora::UpdateDifference(int row)
{
    qint64 difference = 0;
    qint32 percent = 0;
    Pricora::Difference(m_wndGrid.GetCellValue(row, ColPrice), m_wndGrid.GetCellValue(row, ColTarget), difference,
                        percent);
    m_wndGrid.SetCellValue(row, ColDifference, difference);
    m_wndGrid.SetCellValue(row, ColPercent, percent);
    m_wndGrid.RefreshRow(row);
}

void CPricora::OnGridChanged(int message, qintptr cell)
{
    if (message != kCellChanged)
        return;
    int row, column;
    m_wndGrid.IndexToCell(int(cell), row, column);
    if (column == ColQuantity)
        PriceQuantities();
    else
        UpdateDifference(row);
}

void CPricora::Reset()
{
    m_specs = PricoraSpecs();
    for (int r = 0; r < Pricora::kRows; ++r)
        m_wndGrid.SetCellValue(r, ColTarget, 0);
    ToControls();
    SetQuantities();
    ShowServiceTexts();
    Pricora::SaveScratchItem(m_specs);
    PriceQuantities();
}

void CPricora::PickService(int slot)
{
    if (!servicePicker()) {
        platform::Prompt::messageBox(
            QStringLiteral("The service list is not yet available in this version of Tavrel."));
        return;
    }
    CZqApp *app = ZqApp();
    qint32 catNo = 0, depNo = 0, current = 0;
    switch (slot) {
    case 1: {
        current = m_specs.paper;
        const qint32 paperCat = app && current ? app->GetServiceCategory(current) : 0;
        catNo = paperCat >= 101 ? paperCat : 101;
        depNo = app ? app->PaperDepNo : 0;
        break;
    }
    case 2:
        current = m_specs.press;
        catNo = 201;
        depNo = app ? app->GetCategoryDepartment(201) : 0;
        break;
    case 3:
        current = m_specs.plate;
        catNo = 6;
        depNo = app ? app->GetCategoryDepartment(6) : 0;
        break;
    default:
        current = m_specs.other;
        catNo = m_specs.otherCategory;
        break;
    }
    const qint32 picked = servicePicker()(this, catNo, depNo, current);
    if (picked != 0 && picked != current)
        Refresh(picked);
}

bool CPricora::OnCommand(int id)
{
    if (id >= int(kFirstService) && id < int(kFirstService) + 4) {
        PickService(id - int(kFirstService) + 1);
        return true;
    }
    switch (id) {
    case kReset: Reset(); return true;
    case kShowGraph:
        if (m_wndGrid.isVisible()) {
            m_wndGrid.hide();
            m_wndGraph.Reload();
            m_wndGraph.show();
            SetItemText(kShowGraph, QStringLiteral("&Show PriceList"));
        } else {
            m_wndGraph.hide();
            m_wndGrid.show();
            SetItemText(kShowGraph, QStringLiteral("&Show Graph"));
        }
        return true;
    case kQuantitiesChanged: SetQuantities(); return true;
    default: return CDlg0::OnCommand(id);
    }
}

void CPricora::OnOK()
{
    hide();
}

void CPricora::OnCancel()
{
    hide();
}
