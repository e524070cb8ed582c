#pragma once

#include "controls/CGraphWnd.h"
#include "controls/CXGridCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXWnd.h"
#include "estimating/PricoraScratch.h"
#include "views/CDlg0.h"

#include <functional>

class QComboBox;

// The price wizard ("Pricora"): a modeless window beside the service dialog
// in which an estimator sets the specs of a simple printed item, picks its
// paper, press, plate and one other service, and sees the price the pricing
// engine gives for up to ten quantities next to the target prices typed in,
// as a table or as a graph, to tune a service's set-up and run prices.
//
// How to open it: CPricora::OpenFor(serviceDialog, serNo) creates the wizard
// on first use as a child window of the service dialog (so it is deleted with
// it), puts the service into its slot, prices and shows it; later calls reuse
// the same wizard. The service dialog calls it after reloading the services
// cache.
class CPricora : public CDlg0
{
    Q_OBJECT

public:
    static constexpr unsigned kGrid = 2111;
    static constexpr unsigned kGraph = 2112;
    static constexpr unsigned kReset = 1005;
    static constexpr unsigned kShowGraph = 1006;
    static constexpr int kQuantitiesChanged = 1009;

    explicit CPricora(QWidget *parent);
    ~CPricora() override;

    static CPricora *OpenFor(QWidget *owner, qint32 serNo);

    // The service picker the wizard's four buttons open: the parent, the
    // category and department to start on (0 = all) and the service ticked;
    // returns the service picked, 0 for none. Without one the buttons say
    // that the service list is not available.
    using ServicePicker = std::function<qint32(QWidget *parent, qint32 catNo, qint32 depNo, qint32 current)>;
    static void SetServicePicker(ServicePicker picker);

    void Refresh(qint32 serNo);
    void SetSlotService(int slot, qint32 serNo);
    void SetQuantities();
    void PriceQuantities();
    void UpdateDifference(int row);
    void Reset();
    void ShowServiceTexts();
    void OnSpecsChanged();

    PricoraSpecs &specs() { return m_specs; }
    CXGridCtrl &grid() { return m_wndGrid; }
    CGraphWnd &graph() { return m_wndGraph; }
    QString serviceText(int slot) const;
    QComboBox *combo(unsigned id) const;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;

private:
    void ToControls();
    void FromControls();
    void PickService(int slot);
    void OnGridChanged(int message, qintptr cell);

    PricoraSpecs m_specs;
    CXGridCtrl m_wndGrid;
    CGraphWnd m_wndGraph;
    CXWnd m_wndStep[3];
    CXRibbon m_wndService[4];
    QString m_serviceTexts[5];
    bool m_bLoading = false;
};
