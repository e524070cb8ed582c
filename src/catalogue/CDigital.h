#pragma once

#include "views/CDlg0.h"

class QListWidget;
class QLineEdit;

// "Digital Printing": the pages, how the sides print and the sheets they
// take. One-sided printing puts one page on a sheet, anything else two (so
// 7 pages printed on both sides take 4 sheets). In sides-only mode the two
// numbers stay as they are and only the sides are chosen.
class CDigital : public CDlg0
{
    Q_OBJECT

public:
    static constexpr unsigned kPages = 1303;
    static constexpr unsigned kSheets = 1304;
    static constexpr unsigned kSides = 1401;

    explicit CDigital(QWidget *parent);

    qint32 m_nPages = 1;
    qint32 m_nSheets = 1;
    qint32 m_nPagesPerSheet = 1;
    int m_nHowPrinted = 0; // 0 none, 1 Black, 2 Black/Black, 3 Color, 4 Color/Black, 5 Color/Color
    bool m_bSidesOnly = false;

    // The sheets the pages take for a way of printing (the rule above).
    static qint32 SheetsFor(qint32 &pages, int howPrinted, qint32 &pagesPerSheet);
    // The ink codes of the two sides for a way of printing.
    static void SidesFor(int howPrinted, quint8 &side1, quint8 &side2);

    QListWidget *sidesList() const { return m_list; }
    QLineEdit *pagesEdit() const { return m_pages; }
    QLineEdit *sheetsEdit() const { return m_sheets; }
    // Reads the edits and the list and works the sheets out again.
    void Recalculate();

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    QListWidget *m_list = nullptr;
    QLineEdit *m_pages = nullptr;
    QLineEdit *m_sheets = nullptr;
    CXWnd m_strips[3];
};
