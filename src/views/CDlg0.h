#pragma once

#include "app/base/Colours.h"
#include "controls/CXRibbon.h"
#include "controls/CXWnd.h"

#include <QtCore/QString>
#include <QtWidgets/QDialog>

#include <array>
#include <cstdint>

class CXListCtrl;
class QAbstractItemView;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
enum class ValueKind : int;

// Answers of a dialog, numbered as the program numbers them.
enum DialogResult : int { IDOK_RESULT = 1, IDCANCEL_RESULT = 2 };

// The base of every dialog: a top command ribbon with its title button, a
// caption strip, an optional bottom ribbon, Enter that moves to the next
// control, the application's accelerators inside the dialog, the four
// operations every dialog answers (print its list, print the window, export
// its list, brief help), its note in table TableNotes, and small operations on
// child controls by id that tolerate a missing control.
//
// A derived dialog lays its controls out in its constructor (placeholders for
// the program's own controls carry the ids the base replaces), builds its
// ribbons in OnInitDialog and is run with DoModal.
class CDlg0 : public QDialog
{
    Q_OBJECT

public:
    CDlg0(unsigned templateId, QWidget *parent);
    ~CDlg0() override;

    // Runs OnInitDialog once, then the dialog modally (through the program's
    // prompt layer); a dialog that ends while it initialises is not shown.
    // Returns the id the dialog ended with (1 OK, 2 Cancel, or a command id).
    int DoModal();
    // Ends the dialog with a result.
    void EndDialog(int result);
    // A command as a ribbon, a button or an accelerator gives it; a database
    // failure inside it ends the command with its message, not the program.
    void SendCommand(int id);

    unsigned templateId() const { return m_nTemplateId; }

    // --- texts and look --------------------------------------------------------
    void SetRibbonTitle(const QString &title);
    void SetTitleButton(const QString &text, int image, std::uint8_t imageFlag);
    void SetStripText(const QString &text);
    void SetBackColor(ColorRef colour);
    // Grows the window so that every row of the tree shows, as far as the
    // screen allows; returns the pixels added (0 when it already fits).
    int GrowToShowAllRows(QAbstractItemView *tree);

    // --- operations by control id (a missing control is ignored) ------------
    bool IsItemVisible(unsigned id) const;
    bool IsItemChecked(unsigned id) const;
    void SetItemCheck(unsigned id, int state);
    void ShowItem(unsigned id, bool show);
    static void ShowCtrl(QWidget *control, bool show);
    void EnableItem(unsigned id, bool enable);
    static void EnableCtrl(QWidget *control, bool enable);
    void SetItemText(unsigned id, const QString &text);
    static void SetCtrlText(QWidget *control, const QString &text);
    QString GetItemText(unsigned id) const;
    // The text read as a whole number ("1,250", "1e3"); a text that is none
    // (one still being typed) by its leading digits, commas removed; 0 when
    // it has none.
    int GetItemInt(unsigned id) const;
    // The control's text read whole as a whole number (empty reads as 0), or
    // as a quantity (not negative) by `kind`; anything else is refused naming
    // the field, which shows again the value it showed before this typing
    // and gets the focus: false.
    bool ReadItemWhole(unsigned id, int &out, ValueKind kind);
    bool ReadItemWhole(unsigned id, int &out);
    // Holds the text field `id` to the size of the text column it is saved
    // to (`column` of the set's table): typing stops there with a beep. The
    // field carries the column as its property "textColumn"
    // ("Shipto.Attention"). A column without a size leaves the field free.
    // An editable combo box is held by its line edit.
    void HoldToColumn(unsigned id, const class CXDaoSet &set, const QString &column);
    // The same for a field saved to `column` of `table` without a recordset
    // of the window ("Payments", "Reference").
    void HoldToColumn(unsigned id, const QString &table, const QString &column);
    // True when every held text field's text fits its size, and every text
    // row of a property sheet its limit; else the first that does not is
    // refused naming it by its label ("Attention: Please enter at most 60
    // characters."), with the focus, and the result is false. A window runs
    // it before it saves, so that a save never fails over a text's length:
    // the window stays open with everything typed.
    bool HeldTextsFit();
    static void SetCueBanner(QWidget *control, const QString &text);
    void SetItemCueBanner(unsigned id, const QString &text);
    bool FocusItem(unsigned id);
    static void SetCtrlFont(QWidget *control, int font);
    void SetItemFont(unsigned id, int font);
    void SetItemIcon(unsigned id, unsigned imageList, int icon);
    void MakeCloseOnly();
    void CenterAndAnimate(unsigned flags);
    // Centres the window over its owner's shown window, whole on the screen.
    void PlaceOver(QWidget *owner);

    // --- resizing ----------------------------------------------------------------
    static constexpr int SIZE_RESTORED = 0;
    static constexpr int SIZE_MINIMIZED = 1;
    // Measures the size change against the size marker (1999) and moves the
    // marker back to the corner; false (deltas 0) without a marker, for a
    // zero size or a minimise.
    bool CalcSizeDelta(int type, int cx, int cy);
    bool LayoutListOnSize(int type, int cx, int cy, CXListCtrl *list);
    int widthDelta() const { return m_nDeltaX; }
    int heightDelta() const { return m_nDeltaY; }

    // --- the four operations every dialog answers ---------------------------
    virtual void OnPrintList();
    virtual void OnPrintWindow();
    virtual void OnExportList();
    virtual void ShowHelp();
    // The dialog's editable note, kept in table TableNotes under the name.
    void ShowTableNote(const QString &name);

    CXRibbon &topRibbon() { return m_wndRibbon; }
    CXWnd &strip() { return m_wndStrip; }
    CXRibbon &bottomRibbon() { return m_wndRibbonBottom; }

    // --- members set by derived dialogs and callers ---------------------------
    QWidget *m_pParent = nullptr;
    CXListCtrl *m_pList = nullptr;
    QString m_strWindowTitle;
    QString m_strRibbonTitle;
    QString m_strStripText;
    QString m_strHelpText;
    QString m_strNoteName;
    int m_nColorScheme = 210;
    int m_bReadOnly = 0;
    int m_bEnterAsTab = 1;
    int m_nAccelMode = 1;
    std::array<int, 3> m_nExtra{0, 0, 0};
    ColorRef m_crBack = 0;

protected:
    // Builds the dialog once it exists: sets the window title when one is given.
    virtual bool OnInitDialog();
    // Every command of the dialog: 1 OK, 2 Cancel, 30330 print, 30335 print
    // the window, 30123 export, 30418 brief help. True when handled.
    virtual bool OnCommand(int id);
    virtual void OnOK();
    virtual void OnCancel();
    // A resize of the dialog (type SIZE_RESTORED or SIZE_MINIMIZED).
    virtual void OnSize(int type, int cx, int cy);
    // Enter in a list or tree with Enter-as-Tab: the list's own "choose".
    virtual void OnListChoose(QAbstractItemView *view);

    // Ribbons of the dialog (see the .cpp for the items each adds).
    void InitRibbons(std::uint8_t titleFont, std::uint8_t barStyle, std::uint8_t stripFont,
                     std::uint8_t stripColour);
    void InitListRibbons(std::uint8_t titleImage, bool withRecordCommands, bool withFilter, bool withOptions);

    // --- the dialog's layout, made in derived constructors --------------------
    QLabel *AddPlaceholder(unsigned id, const QRect &rect, const QString &text = QString());
    QPushButton *AddButton(unsigned id, const QString &text, const QRect &rect);
    QLineEdit *AddEdit(unsigned id, const QRect &rect);
    QPlainTextEdit *AddMultiLineEdit(unsigned id, const QRect &rect);
    QLabel *AddLabel(const QString &text, const QRect &rect, unsigned id = 0);
    QWidget *AddSizeMarker(const QPoint &bottomRight);
    // Moves a control by an offset, or grows it.
    void MoveItemBy(unsigned id, int dx, int dy);
    // A strip text longer than its strip wraps: the strip grows by the lines
    // it lacks, and what lies below it moves down with the window's bottom.
    void FitStripText();
    void GrowItemBy(unsigned id, int dx, int dy);

    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void reject() override;
    void done(int result) override;

    unsigned m_nTemplateId = 0;
    CXRibbon m_wndRibbon;
    CXWnd m_wndStrip;
    CXRibbon m_wndRibbonBottom;
    int m_nDeltaX = 0;
    int m_nDeltaY = 0;
    bool m_bInitDone = false;
    bool m_bEnded = false;

private:
    void holdToSize(unsigned id, int size, const QString &column);
};
