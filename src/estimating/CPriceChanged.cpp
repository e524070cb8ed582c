#include "estimating/CPriceChanged.h"

#include "catalogue/CSerDlg.h"
#include "catalogue/CSerList.h"
#include "data/CSerSet.h"
#include "estimating/CPricora.h"

#include "data/OptionsAndLookups.h"
#include "estimating/CItemPrice.h"
#include "platform/Prompt.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QPushButton>

namespace {

constexpr unsigned kChart = 1501;
constexpr unsigned kHelp = 30418;
constexpr int kSelectedImage = 211;
constexpr int kOtherImage = 251;
constexpr int kShowCostOption = 44314;

} // namespace

CPriceChanged::CPriceChanged(CItemPrice *engine, QWidget *parent)
    : CDlg0(830, parent), m_pEngine(engine)
{
    m_strWindowTitle = QStringLiteral("Item");
    m_crBack = 0xFFFFFF;
    m_bEnterAsTab = 0;
    resize(720, 430);
    AddPlaceholder(kChart, QRect(10, 10, 700, 360));
    AddButton(1, QStringLiteral("OK"), QRect(250, 382, 110, 34));
    AddButton(kHelp, QStringLiteral("Help"), QRect(370, 382, 110, 34));
}

CPriceChanged::~CPriceChanged() = default;

void CPriceChanged::SetInput(const PriceOptionInput &input)
{
    m_input = input;
    m_bInputGiven = true;
}

bool CPriceChanged::OnInitDialog()
{
    CDlg0::OnInitDialog();
    SetBackColor(0xFFFFFF);
    SetItemFont(1, 3);

    if (!m_bInputGiven && m_pEngine) {
        m_input.defaultCost = m_pEngine->GetNewCost();
        m_input.defaultPrice = m_pEngine->GetNewPrice();
        m_input.revisedCost = m_pEngine->GetRevisedCost();
        m_input.revisedPrice = m_pEngine->GetRevisedPrice();
        m_input.lastCost = m_pEngine->GetLastCost();
        m_input.lastPrice = m_pEngine->GetLastPrice();
        m_input.priceLock = m_pEngine->GetPriceLock();
        m_input.priceState = m_pEngine->GetPriceState();
    }
    if (!m_bInputGiven)
        m_input.showCost = GetOptionValue(kShowCostOption, 0) == 1;
    m_input.servicesAdded = m_nServicesAdded;
    m_input.servicesRemoved = m_nServicesRemoved;
    m_options = BuildPriceOptions(m_input);

    m_table.Reset();
    m_table.m_titleIcon = std::uint8_t(m_options.headingIcon);
    m_table.m_title = m_options.heading;
    m_table.m_subtitle = m_options.information;
    m_table.m_headingText = m_options.note;
    m_table.SetSize(0, 6);
    m_table.SetColumnName(0, QString(), 4, 10);
    m_table.SetColumnName(1, QStringLiteral("SAVE}t_w_40"), 40, 10);
    m_table.SetColumnName(2, m_input.showCost ? QStringLiteral("Cost}c") : QStringLiteral("Cost_HIDE"), 13, 5);
    m_table.SetColumnName(3, QStringLiteral("Price}p"), 16, 5);
    m_table.SetColumnName(4, QStringLiteral("Compare_w_40"), 40, 10);
    m_table.SetColumnName(5, QStringLiteral("HIDE_KEY"), 8, 4);
    m_nAnswer = m_options.preselected;
    for (const PriceOption &row : m_options.rows)
        AddOption(row.choice, row.label, row.cost, row.price);
    m_table.AddRow(CXTable::RowFlag16); // the hint row
    m_table.ApplyFormulas(0, 3);

    m_chart.CreateInDlgItem(this, kChart, m_nColorScheme);
    m_chart.LoadTable(&m_table, CXChartCtrl::ChartBar);
    m_chart.SetStyle(0, false);
    m_chart.SelectRowByKey(m_nAnswer);
    connect(&m_chart, &CXChartCtrl::notified, this,
            [this](int code, int, int, const QPoint &, bool) { OnChartNotify(code); });
    connect(&m_chart, &CXChartCtrl::keyNotified, this, [this](int, int) { OnChartNotify(CXChartCtrl::CodeKeyDown); });
    UpdateSelection();
    m_chart.setFocus();
    return true;
}

void CPriceChanged::AddOption(int choice, const QString &label, Money cost, Money price)
{
    const int row = m_table.AddRow(0);
    m_table.SetCellText(row, 1, label);
    m_table.SetCellCurrency(row, 2, cost);
    m_table.SetCellCurrency(row, 3, price);
    m_table.SetCellStyle(row, 3, std::uint8_t(PriceCompareImage(price, m_input.defaultPrice)));
    m_table.SetCellText(row, 5, QString::number(choice));
}

void CPriceChanged::UpdateSelection()
{
    const int selected = m_chart.GetSelectedRow();
    m_nAnswer = selected == CXChartCtrl::kNoRow ? 0 : m_table.GetRowKey(selected);
    const int rows = m_table.GetRowCount();
    for (int r = 0; r < rows; ++r)
        m_table.SetCellStyle(r, 0, std::uint8_t(r == selected ? kSelectedImage : kOtherImage));
    if (rows > 0)
        m_table.SetCellText(rows - 1, 1,
                            QStringLiteral("Select an option and click OK (or double-click on your selection)"));
    EnableItem(1, m_nAnswer != 0);
    m_chart.update();
}

void CPriceChanged::SelectChoice(int choice)
{
    m_chart.SelectRowByKey(choice);
    UpdateSelection();
}

void CPriceChanged::OnChartNotify(int code)
{
    UpdateSelection();
    if (code == CXChartCtrl::CodeDoubleClick && m_nAnswer != 0)
        OnOK();
}

void CPriceChanged::OnOK()
{
    if (m_nAnswer == 0)
        return;
    // Replacing a locked price needs a Yes; keeping the last price does not.
    const int selected = m_chart.GetSelectedRow();
    if (m_input.priceLock != 0 && m_table.GetCellText(selected, 3) != m_table.GetCellText(1, 3)) {
        const int answer = platform::Prompt::messageBox(QStringLiteral("Do you want to replace the Locked Price?"),
                                                        QString(), platform::MB_YESNO | platform::MB_ICONQUESTION);
        if (answer != platform::IDYES)
            return;
    }
    EndDialog(m_nAnswer);
}

void CPriceChanged::OnCancel()
{
    // The item must keep something: the window only closes through OK.
    if (m_nAnswer == 0)
        platform::Prompt::messageBox(QStringLiteral("Please select a \u201cSAVE\u201d option."), QString(),
                                     platform::MB_OK);
}

QString CPriceChanged::HelpText()
{
    return QStringLiteral(
        "WHICH PRICE TO SAVE?\n\nBased on the type of changes made to Item specs, Price Changed window displays one or "
        "more of five options. In referring to price to be saved, the program uses three different terms. These terms "
        "also apply to cost to be saved. \n\nSAVE DEFAULT PRICE:  All the previous price changes are cancelled and the "
        "Item price is recalculated to reflect the default values, as if you were pricing the Item for the first "
        "time.\n\nSAVE LAST PRICE: The price previously saved does not change.\n\nSAVE REVISED PRICE: This option "
        "appears when the following occurs:\n- You either modify the price of an Item in the \u201cCost\u201d window "
        "and/or change the pricing properties of one of its Services in the \u201cServices\u201d section, such as "
        "changing the \u201cUnit Cost\u201d.\n- You add a Service to (and/or delete from) the Item and click Save in "
        "the \u201cSpecs\u201d window or click \u201cReprice\u201d in the \u201cJob\u201d window.\n\nIf you select the "
        "\u201cSave Revised Price\u201d option, the previously saved Item price (LAST PRICE) is preserved and the "
        "default price of the new Service is added to (or the price of the deleted Service is removed from) the "
        "preserved Item price. Therefore, the new Item Price = the previously saved Item price (LAST PRICE) + the "
        "default price of the new Service \u2013 the price of the deleted Service.\n\nThe reasons for a price "
        "change:\n- Changing Defaults: Services, unit costs, waste tables, difficulty tables, markup tables, etc.\n- "
        "Changing Item Specs: Quantity, paper type, paper size, ink colors, add/delete services, etc.\n- Changing "
        "Costs and Prices in the Costs window.\n\n\nCaution: To avoid accidental prices changes, please remember to "
        "lock the price.\n- Right-click on the Item and select \u201cLock/unlock Item Price\u201d.");
}

void CPriceChanged::ShowHelp()
{
    m_strHelpText = HelpText();
    CDlg0::ShowHelp();
}

void InstallPriceChanged()
{
    // The service window's "Pricora" button opens the price wizard on it.
    CSerDlg::SetPriceWizardHook(
        [](CSerDlg &dialog) { CPricora::OpenFor(&dialog, dialog.record().m_SerNo); });
    // The wizard follows the service window that opened it: a saved service
    // is priced again, another service shown takes the wizard with it.
    CSerDlg::SetPriceWizardFollowHook([](CSerDlg &dialog, bool otherService) {
        auto *wizard = dialog.findChild<CPricora *>(QString(), Qt::FindDirectChildrenOnly);
        if (!wizard)
            return;
        if (otherService)
            wizard->Refresh(dialog.record().m_SerNo);
        else
            wizard->PriceQuantities();
    });
    // The wizard's Paper, Press, Plate and Service buttons pick one service
    // from the service list.
    CPricora::SetServicePicker([](QWidget *parent, qint32 catNo, qint32 depNo, qint32 current) -> qint32 {
        CSerList picker(depNo, catNo, current, false, parent);
        if (current > 0)
            picker.AddChecked(current);
        if (picker.DoModal() != IDOK_RESULT || picker.checked().isEmpty())
            return 0;
        return picker.checked().first();
    });

    CItemPrice::SetDefaultPriceChangeDialog([](CItemPrice &engine, const QString &title) {
        CPriceChanged dialog(&engine, QApplication::activeWindow());
        dialog.m_strWindowTitle = title;
        if (const CItemPrice::Owner *owner = engine.GetOwner()) {
            dialog.m_nServicesAdded = owner->servicesAdded;
            dialog.m_nServicesRemoved = owner->servicesRemoved;
        }
        const int choice = dialog.DoModal();
        return choice >= CItemPrice::DefaultCostDefaultPrice && choice <= CItemPrice::RevisedCostRevisedPrice ? choice
                                                                                                              : 0;
    });
}
