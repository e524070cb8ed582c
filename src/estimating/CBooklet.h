#pragma once

#include "controls/CXTreeOptCtrl.h"
#include "views/CDlg0.h"

#include <QtCore/QString>

class QLabel;
class QLineEdit;

// The booklet dialog (720 "Create Items"): a book or booklet described
// before the job window makes its items. The user picks a flat book (2
// pages a sheet) or a folded booklet (4 pages a sheet), the page size and
// how many items to make (1 to 5: cover, inside sheets, bindery ...), and
// types the title, the number of books and of pages; the sheets and the
// flat sheet size are worked out. It writes nothing.
class CBooklet : public CDlg0
{
    Q_OBJECT

public:
    enum Code : int {
        FlatBook = 1,
        FoldedBooklet = 2,
        Size85x11 = 11,
        Size55x85 = 12,
        SizeOther = 14,
        OneItem = 21,
        FiveItems = 25,
    };

    explicit CBooklet(QWidget *parent);

    // Preset by the job window: the title and the number of books.
    QString m_strTitle;
    int m_nBooks = 0;

    // Results, read after OK.
    QString m_strPageSize;
    QString m_strFlatSize;
    QString m_strPagesLabel;
    int m_nDocumentType = FlatBook;
    int m_nPageSizeCode = 0;
    int m_nPages = 0;
    int m_nSheets = 0;
    int m_nCreateCode = 0;
    int m_nItemCount = 0;

    // A choice of the options tree, as a selection runs it.
    void OnChoice(int code);
    // Sheets from pages: 2 a sheet for a flat book, 4 folded, rounded up.
    void CalcSheets();
    // The flat sheet size of a page size: folded, two pages side by side
    // (height by twice the width); flat, the page itself.
    static QString FlatSizeOf(const QString &pageSize, int documentType);

    CXTreeOptCtrl &optionsTree() { return m_tree; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SetTypeTitle();
    void ReadControls();
    void ShowMembers();

    CXTreeOptCtrl m_tree;
    QLineEdit *m_title = nullptr;
    QLineEdit *m_books = nullptr;
    QLineEdit *m_pages = nullptr;
    QLineEdit *m_sheets = nullptr;
    QLabel *m_pagesLabel = nullptr;
    bool m_bFilling = false;
};
