#pragma once

#include "controls/CXChartCtrl.h"
#include "controls/CXTable.h"
#include "estimating/PriceOptions.h"
#include "views/CDlg0.h"

class CItemPrice;

// The "Price Changed" window: after an item was repriced and no shop rule
// decides, the user picks which cost and which price the item keeps. The
// options (BuildPriceOptions) are shown one per line in the chart control;
// the window can only be left through OK with an option chosen, and
// replacing a locked price asks first. DoModal returns the PriceChoice
// (30451..30456).
//
// How to open it: the pricing engine runs it for every non-silent pricing
// once InstallPriceChanged() made it the engine's default price-change
// dialog; a caller may also construct it on an engine, set the window title
// and the counts of services added and removed, and run DoModal.
class CPriceChanged : public CDlg0
{
    Q_OBJECT

public:
    CPriceChanged(CItemPrice *engine, QWidget *parent);
    ~CPriceChanged() override;

    // The figures to show when there is no engine (or to override its own).
    void SetInput(const PriceOptionInput &input);
    void AddOption(int choice, const QString &label, Money cost, Money price);
    void UpdateSelection();

    int m_nAnswer = 0;
    int m_nServicesAdded = 0;
    int m_nServicesRemoved = 0;

    CXTable &table() { return m_table; }
    CXChartCtrl &chart() { return m_chart; }
    const PriceOptions &options() const { return m_options; }
    // Selects the option row of a choice, as a click on it would.
    void SelectChoice(int choice);

    static QString HelpText();

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void ShowHelp() override;

private:
    void OnChartNotify(int code);

    CItemPrice *m_pEngine = nullptr;
    PriceOptionInput m_input;
    bool m_bInputGiven = false;
    PriceOptions m_options;
    CXTable m_table;
    CXChartCtrl m_chart;
};

// Makes the "Price Changed" window the price-change dialog of every pricing
// engine that has none of its own.
void InstallPriceChanged();
