#pragma once

#include "controls/CXWnd.h"
#include "estimating/CLayout.h"
#include "estimating/PaperCutting.h"
#include "views/CDlg0.h"

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;

// The cutting layout dialog (810 "Cutting Layout"): both cutting stages of
// an item's paper side by side, parent sheet to press run size ("outs")
// and run size to finish size ("ups"), each with its options, trim, count
// and cuts. The caller fills the stages, shows the dialog (OK: take the
// values back) or only calls CalcLayouts, and reads the stages back. OK
// needs the shop's default options saved first.
class CPaperCutterDlg : public CDlg0
{
    Q_OBJECT

public:
    // Printing the two layouts on one page (the printed documents area):
    // window title and ribbon title as headings, the two layouts with their
    // captions; the command (57607 printer dialog, 57608 direct) or an
    // output PDF. True when a page was printed.
    struct PrintRequest
    {
        QString title;
        QString heading;
        const CLayout *first = nullptr;
        const CLayout *second = nullptr;
        int command = 57607;
        QString outputFile;
    };
    using PrintHook = std::function<bool(const PrintRequest &request)>;
    static void SetPrintHook(PrintHook hook);
    static const PrintHook &printHook();

    explicit CPaperCutterDlg(QWidget *parent);

    CutStages m_stages;
    bool m_bRightsGranted = false;
    bool m_bDefaultsSaved = false;
    // The defaults row as this window read it: a save writes only what
    // differs from it, onto the row as it is now.
    CutStages m_defaultsRead;
    bool m_bNoParent = false;
    // Where the print goes (tests and tools); empty for the printer.
    QString m_strPrintFile;

    // Counts only: the shop's default options, both stages in both
    // orientations.
    void CalcLayouts();
    // Both stages as the texts and options stand (no turning), captions and
    // controls refreshed.
    void Recalc();

    CLayout &layout1() { return m_layout1; }
    CLayout &layout2() { return m_layout2; }
    QString caption(unsigned id) const;
    QComboBox *runCombo() const { return m_run; }
    QComboBox *finishCombo() const { return m_finish; }
    QCheckBox *optionBox(int index) const { return m_boxes[size_t(index)]; }

    void OnSwapRun();
    void OnSwapFinish();
    void OnOptionChange();
    void OnSaveDefaults();
    void OnAddFavorite();
    void OnFavorites();
    void OnSizeKillFocus();

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void OnPrintList() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowOptions();
    void ReadOptions();
    void ShowControls();
    void ReadControls();

    CLayout m_layout1;
    CLayout m_layout2;
    std::array<CXWnd, 8> m_captions;
    std::array<QString, 2> m_captionTexts;
    std::array<QCheckBox *, 14> m_boxes{};
    QComboBox *m_run = nullptr;
    QComboBox *m_finish = nullptr;
    QComboBox *m_trim1 = nullptr;
    QComboBox *m_trim2 = nullptr;
    std::array<QLineEdit *, 4> m_counts{};
    QString m_lastRun;
    QString m_lastFinish;
    bool m_bShowing = false;
};

class CItemSet;

// The cutter on an item's paper row: shown (false on Cancel) or only
// computing with the shop's defaults. The row's sizes, Out, Up and Opt1 to
// Opt4 (options and trim indices) and the two cut counts come back.
bool RunPaperCutter(CItemSet &paper, const QString &caption, bool show, qint32 &cutsToRun, qint32 &cutsToFinish,
                    QWidget *parent);

// Installs the cutting layout dialog as the paper specs' and the item
// window's cutter.
void InstallPaperCutter();
