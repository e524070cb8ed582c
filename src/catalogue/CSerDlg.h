#pragma once

#include "controls/CXGridCtrl.h"
#include "views/CDlgRibbon.h"

#include <QtCore/QHash>

#include <functional>
#include <memory>

class CSerSet;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The service dialog: one row of table Services on its pricing screen, with
// the set-up table and the run table in two grids. Which fields show depends
// on the service's category (paper, printing, plate, other) and on its cost
// and price methods. Editable when opened in mode 0 (a new row, or a row the
// list opened and that could be put in edit mode); read-only ("Preview")
// otherwise.
class CSerDlg : public CDlgRibbon
{
    Q_OBJECT

public:
    // Control ids of the fields.
    enum ControlId : unsigned {
        IDC_NAME = 6001, IDC_NAME2, IDC_REMIND, IDC_DEFNOTE, IDC_SALEDEPT, IDC_SIZE, IDC_CALIPER, IDC_COLORS,
        IDC_DEFPLATE, IDC_QTYBY, IDC_DIVIDE, IDC_MULTIPLY, IDC_ASK, IDC_ROUND, IDC_LIFTBY, IDC_WASTEBY, IDC_SETTIME,
        IDC_IMPHOUR, IDC_TIMEBY, IDC_COSTBY, IDC_COSTHR, IDC_COSTOH, IDC_PRICEBY, IDC_MARKUP, IDC_MARKUP2,
        IDC_MARKUP3, IDC_ADJUSTBY, IDC_BID, IDC_RUSH, IDC_SPCL, IDC_MINPRICE, IDC_UNIT, IDC_STEP, IDC_MODIFIED_DATE,
        IDC_SERNOTE,
        // Captions: plain and clickable (help).
        CAP_QUANTITY = 1521, CAP_WASTE, CAP_TIME, CAP_MARKUP, CAP_ADJUST, CAP_MINPRICE, CAP_CALIPER, CAP_DIVIDE,
        CAP_MULTIPLIER, CAP_MODIFIED = 1531, CAP_MORE, CAP_SETTIME, CAP_IMPHOUR, CAP_COSTHR, CAP_MULTIPLY,
        CAP_COLORS, CAP_DEFPLATE, CAP_ROUND,
        CAP_SIZE = 1901, CAP_DEFNOTE, CAP_DIGITAL, CAP_BLANK, CAP_BID, CAP_RUSH, CAP_SPCL, CAP_PERCENT,
        CAP_SETUP_TABLE, CAP_RUN_TABLE,
        IDC_SETUP_GRID = 2111, IDC_RUN_GRID = 2112,
        IDC_COMMANDS = 1733,
    };

    CSerDlg(CSerSet &set, CXListCtrl *list, QWidget *parent);
    ~CSerDlg() override;

    // 0 editable; 30103 (opened from a list) editable once the row could be
    // put in edit mode; any other value read-only.
    int m_nOpenMode = 0;

    // Check and save: true when the row is saved (or nothing is to be saved
    // in a read-only mode).
    bool CheckAndSave();
    // Shows the record: new-row defaults, grids, header and field layout.
    void FillFromRecord();
    // Reads every field into the record; false (with a message) when a
    // number cannot be read.
    bool ReadControls();
    // Runs the field layout rules for the record as it stands.
    void UpdateLayout();

    bool savedAny() const { return m_bSaved; }
    bool isEditable() const { return m_nMode == 0; }
    bool isModified() const { return m_bModified; }
    bool liftHighlight() const { return m_bLiftHighlight; }
    CSerSet &record() { return m_set; }
    CXGridCtrl &setupGrid() { return m_setupGrid; }
    CXGridCtrl &runGrid() { return m_runGrid; }
    CXRibbon &commandRibbon() { return m_wndRibbon3; }
    // The field or caption of an id (null when missing).
    QWidget *control(unsigned id) const;
    QComboBox *combo(unsigned id) const;
    QLineEdit *edit(unsigned id) const;
    // Selects the list entry with that code as the user would, with the
    // coupling and layout that follow a change.
    void ChooseListEntry(unsigned id, int code);

    // The tables of other areas; each says plainly it is not available
    // while nothing is installed.
    using RecordHook = std::function<void(CSerDlg &dialog)>;
    static void SetPriceTableHook(RecordHook hook);
    static void SetDiffTableHook(RecordHook hook);
    static void SetPriceWizardHook(RecordHook hook);
    // Tells a price wizard this dialog has opened that the service was saved
    // (its prices are worked out again) or that another service is shown
    // (the wizard takes it); nothing happens while no wizard is open.
    using WizardFollowHook = std::function<void(CSerDlg &dialog, bool otherService)>;
    static void SetPriceWizardFollowHook(WizardFollowHook hook);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnCancel() override;

private:
    void BuildLayout();
    void BuildGrids();
    void FillLists();
    void FillWasteList();
    void FillTimeList();
    void ShowValues();
    void ShowHeader();
    void UpdateRibbon();
    void OnListChanged(unsigned id);
    bool NeedsSavedRow(const QString &tableWord);
    void OnNew();
    void OnFind();
    void OnNavigate(int command);
    void OnStatus();
    void OnNote();
    void OnModified();
    void OnMore();
    void OnCaption(unsigned id);
    // The name a refusal gives a field: the caption it shows now where the
    // caption changes with the service ("Setup (Min/Plate)" on a paper,
    // "% of Run Qty" on a press).
    QString FieldCaption(unsigned id) const;
    void OnTableHook(const RecordHook &hook, const QString &tableWord, const QString &what);
    void ShowHelpPage(const QString &title, const QString &text, const QString &page, const QString &link);
    QLabel *addCaption(unsigned id, const QString &text, const QRect &rect, bool clickable);
    QLineEdit *addEdit(unsigned id, const QRect &rect);
    QComboBox *addCombo(unsigned id, const QRect &rect);

    CSerSet &m_set;
    std::unique_ptr<CSerSet> m_loaded; // the record as it was loaded
    std::unique_ptr<CSerSet> m_shown;  // what the fields show
    void ReadGrids();
    int m_nMode = 0;
    bool m_bMayAdd = false;
    bool m_bModified = false;
    bool m_bSaved = false;
    bool m_bFilling = false;
    bool m_bLiftHighlight = false;
    CXGridCtrl m_setupGrid;
    CXGridCtrl m_runGrid;
    QHash<unsigned, QWidget *> m_controls;
};
