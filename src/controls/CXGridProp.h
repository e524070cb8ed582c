#pragma once

#include "controls/CListItem.h"
#include "controls/CXWnd.h"

#include <QtCore/QList>

class CXDaoSet;
class CXEdit;
class QComboBox;
class QLineEdit;

// The two-column property sheet of record dialogs: labels on the left, values
// on the right, caption rows between groups and one in-place editor on the
// current row. Values move between the rows and the owner's variables by a
// load pass and a save pass of exchange calls.
//
// Row types: 0 caption, 1 text, 2 pick list (choose only), 3 editable pick
// list, 4 and above a typed value (the type goes to the typed edit with the
// row's lookup as format; 6 and 7 are short whole numbers).
//
// Messages to the owner: 30240 (grid id, row) when a row becomes current,
// 30247 (grid id, row) when editing changed a row's value, and a posted
// command when a row with a command is clicked.
class CXGridProp : public CXWnd
{
    Q_OBJECT

public:
    static constexpr unsigned kEditId = 1301;
    static constexpr unsigned kListId = 1201;
    static constexpr unsigned kComboId = 1202;

    explicit CXGridProp(QWidget *parent = nullptr);
    ~CXGridProp() override;

    // --- building (each returns the new row) -----------------------------
    int AddRow(unsigned type, const QString &label, const QString &lookup = QString(), std::uint8_t editable = 1,
               unsigned command = 0, std::uint8_t image = 255, std::uint8_t font = 2, std::uint8_t colour = 0,
               std::uint8_t style = 0);
    int AddListRow(unsigned type, const QString &label, const QString &choices, int resourceId = 0,
                   std::uint8_t editable = 1, unsigned command = 0, std::uint8_t image = 255, std::uint8_t font = 2,
                   std::uint8_t colour = 0, std::uint8_t style = 0);
    int AddTextRow(const QString &label, const QString &text, std::uint8_t font = 2);
    // A blank text row that parts groups of rows: it shows no value and is
    // never edited, while its text still comes and goes with the others.
    int AddSeparatorRow();
    int AddCaption(const QString &label, unsigned command = 0, std::uint8_t image = 255, std::uint8_t font = 255,
                   std::uint8_t colour = 255, std::uint8_t style = 255);
    int AddSection(const QString &label, unsigned command = 0, std::uint8_t image = 255);

    void AddPickItem(int row, int value, const QString &text);
    int AddPickItems(int row, const QString &list, int first = 0, int last = 0x7FFFFFFF);
    int AddPickItemsFromResource(int row, int stringId, int first = 0, int last = 0x7FFFFFFF);
    int AddRangePickItems(int row, int from, int to, const QString &prefix = QString(),
                          const QString &suffix = QString(), int firstValue = 0);
    // One choice per record of the query: the value from field 0, the text
    // from the other fields joined by two blanks.
    int AddPickItemsFromSQL(int row, const QString &sql);
    const QList<CListItem> &pickItems() const { return m_pickItems; }

    bool CreateInDlgItem(QWidget *parent, unsigned id, int hue, int labelWidth);
    void SetGridStyle(std::uint8_t background, std::uint8_t frameStyle, std::uint8_t editorFont,
                      std::uint8_t rowColour);
    void SetRowDefaults(std::uint8_t captionColour, std::uint8_t captionStyle, std::uint8_t captionFont);
    void SetColumnWidths(int labelWidth, int valueWidth);
    int UpdateRowCount();

    // --- rows ---------------------------------------------------------------
    int GetRowCount() const { return int(m_rows.size()); }
    int GetRowValue(int row) const;
    void ReadRowValue(int row, int &out) const { out = GetRowValue(row); }
    void SetRowValue(int row, int value);
    void GetRowText(int row, QString &out) const;
    QString rowText(int row) const;
    void SetRowText(int row, const QString &text);
    // The text a row shows for a stored item (a list's item as text): a
    // pick list's choice for the number, a typed number formatted, a masked
    // text as its dots, any other text as it is.
    QString ShownItemText(int row, const QString &item) const;
    // The label of a row (its left column).
    void SetRowLabel(int row, const QString &label);
    QString rowLabel(int row) const;
    void EnableRow(int row, bool enable);
    bool IsRowEnabled(int row) const;
    unsigned GetRowType(int row) const;
    // The type text of a typed row (its value's kind and format).
    QString rowLookup(int row) const { return validRow(row) ? m_rows[row].lookup : QString(); }
    void SetRowImage(int row, std::uint8_t image);
    // A masked text row (a password) shows a dot per character and is typed unseen.
    void SetRowMasked(int row, bool masked);
    // A text row kept in a column of `size` characters: typing stops there
    // (with a beep). 0, or a size no text column has, leaves the row free.
    void SetRowTextLimit(int row, int size);
    int rowTextLimit(int row) const { return validRow(row) ? m_rows[row].textLimit : 0; }
    // The first row whose text is longer than its limit (a text the program
    // put there), or -1.
    int RowPastTextLimit() const;
    // A typed number row that takes no negative number: one typed is refused
    // naming the row.
    void SetRowNotNegative(int row);
    bool IsRowMasked(int row) const { return validRow(row) && m_rows[row].masked; }
    int GetCurRow() const { return m_curRow; }
    int firstVisibleRow() const { return m_firstVisible; }
    int visibleRowCount() const { return m_visibleRows; }
    int rowHeight() const { return m_rowHeight; }
    int labelWidth() const { return m_labelWidth; }
    // The width the longest row label needs, indent included.
    int widestLabel() const;

    // --- editing --------------------------------------------------------------
    void EditRow(int row, bool dropDown = false);
    void EndEdit();
    void HideEditor();
    void RestoreEdit();
    QWidget *editor() const { return m_editor; }
    QLineEdit *textEditor() const { return m_edit; }
    QComboBox *listEditor() const { return m_list; }
    QComboBox *comboEditor() const { return m_combo; }

    // --- exchange ----------------------------------------------------------------
    void SetSaveMode(int mode);
    void ExchangeText(int row, QString &value);
    // With the recordset whose bound member is `value`, a Null field loads as
    // 0 with an empty text.
    void ExchangeByte(int row, std::uint8_t &value, CXDaoSet *set = nullptr);
    void ExchangeLong(int row, qint32 &value, CXDaoSet *set = nullptr);

    void Draw() override;

    // Plain flags the owner sets and reads.
    int m_modified = 0;
    int m_showZero = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void OnVScroll(int code, int pos) override;

private:
    struct Row
    {
        unsigned type = 1;
        QString label;
        QString lookup;
        std::uint8_t editable = 1;
        unsigned command = 0;
        std::uint8_t image = 255;
        std::uint8_t font = 2;
        std::uint8_t colour = 0;
        std::uint8_t style = 0;
        int value = 0;
        QString text;
        bool masked = false;
        bool separator = false;
        int textLimit = 0;
        bool notNegative = false;
    };

    bool validRow(int row) const { return row >= 0 && row < m_rows.size(); }
    QRect valueRect(int row) const;
    int rowAt(const QPoint &pos) const;
    bool commandAt(int row, const QPoint &pos) const;
    void refreshText(int row);
    void fillCombo(QComboBox *combo, bool withData);
    QString editorText() const;
    bool handleKey(QKeyEvent *event);
    void moveTo(int target);
    void createEditors();

    QList<Row> m_rows;
    QList<CListItem> m_pickItems;
    int m_rowHeight = 21;
    int m_labelWidth = 70;
    int m_valueWidth = 0;
    bool m_widthsFixed = false;
    int m_labelIndent = 10;
    int m_rowCount = 0;
    int m_visibleRows = 0;
    int m_firstVisible = 0;
    int m_lastVisible = 0;
    int m_curRow = -1;
    int m_prevRow = -1;
    int m_hoverRow = -1;
    int m_saveMode = 0;
    std::uint8_t m_background = 5;
    std::uint8_t m_frameStyle = 0;
    std::uint8_t m_editorFont = 1;
    std::uint8_t m_rowColour = 4;
    std::uint8_t m_captionColour = 5;
    std::uint8_t m_captionStyle = 48;
    std::uint8_t m_captionFont = 8;
    QWidget *m_editor = nullptr;
    QLineEdit *m_edit = nullptr;
    QComboBox *m_list = nullptr;
    QComboBox *m_combo = nullptr;
    CXEdit *m_typed = nullptr;
    bool m_committing = false;
};
