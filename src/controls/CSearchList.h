#pragma once

#include <QtCore/QString>
#include <QtWidgets/QDialog>

class CXListCtrl;
class QComboBox;
class QLineEdit;
class QPushButton;

// " Search the list on the screen": finds the next row of a record list whose
// cell in a chosen column matches a typed text under a chosen operator. It
// stays open; each "Find Now" moves the list's selection to the next matching
// row after the current one, wrapping around the end.
class CSearchList : public QDialog
{
    Q_OBJECT

public:
    enum : unsigned {
        IDD = 890,
        IDC_SEARCH_TEXT = 1301,
        IDC_COLUMN = 1202,
        IDC_OPERATOR = 1203,
        IDC_FIND_NOW = 1, // the default button
        IDC_CLOSE = 2,
    };
    // Column kinds, kept as the column entries' data.
    static constexpr int kNumeric = 7;
    static constexpr int kText = 10;
    // Text operators, in list order.
    enum TextOperator { IsExactly, IsNotExactly, StartsWith, EndsWith, Contains, DoesNotContain };
    // Number operators, in list order.
    enum NumberOperator { Equal, NotEqual, LessThan, GreaterThan };

    CSearchList(CXListCtrl *list, QWidget *parent = nullptr);

    // Runs the dialog modally.
    int DoModal();

    // Whether a cell matches the searched text (or number) under an operator.
    static bool Matches(const QString &cell, const QString &text, int op, bool numeric);
    // Runs one search: selects the next matching row after the list's current
    // row, wrapping around; returns it, or -1 when no row matches.
    int Search();

    QString m_text;            // the search text
    int m_column = 0;          // the chosen column
    int m_containsDefault = 0; // "Find 'if contains'": text columns start on "contains"

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FillColumnList();
    void FillOperatorList();
    void OnTextChanged(const QString &text);
    void OnColumnChanged(int index);
    void OnFindNow();

    CXListCtrl *m_list;
    QLineEdit *m_edit = nullptr;
    QComboBox *m_columns = nullptr;
    QComboBox *m_operators = nullptr;
    QPushButton *m_findNow = nullptr;
    QPushButton *m_close = nullptr;
    bool m_placed = false;
};
