#include "catalogue/CDigital.h"

#include "app/base/TypedValue.h"
#include "controls/DlgItem.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>

CDigital::CDigital(QWidget *parent) : CDlg0(811, parent)
{
    m_strWindowTitle = QStringLiteral("Digital Printing");
    resize(420, 250);
    AddPlaceholder(1901, QRect(10, 10, 120, 24), QStringLiteral("Pages"));
    AddPlaceholder(1902, QRect(140, 10, 140, 24), QStringLiteral("Sides"));
    AddPlaceholder(1903, QRect(290, 10, 120, 24), QStringLiteral("Sheets"));
    m_pages = AddEdit(kPages, QRect(10, 40, 120, 30));
    m_list = new QListWidget(this);
    m_list->setGeometry(140, 40, 140, 140);
    SetDlgCtrlID(m_list, kSides);
    m_sheets = AddEdit(kSheets, QRect(290, 40, 120, 30));
    // The captions above them are drawn strips: the fields carry their names.
    m_pages->setProperty("fieldName", QStringLiteral("Pages"));
    m_sheets->setProperty("fieldName", QStringLiteral("Sheets"));
    AddButton(1, QStringLiteral("OK"), QRect(100, 200, 104, 32));
    AddButton(2, QStringLiteral("Cancel"), QRect(216, 200, 104, 32));
}

qint32 CDigital::SheetsFor(qint32 &pages, int howPrinted, qint32 &pagesPerSheet)
{
    pagesPerSheet = (howPrinted == 1 || howPrinted == 3) ? 1 : 2;
    if (pages < pagesPerSheet)
        pages = pagesPerSheet;
    qint32 sheets = pages / pagesPerSheet;
    if (pagesPerSheet == 2 && pages % 2 != 0)
        ++sheets;
    return sheets;
}

void CDigital::SidesFor(int howPrinted, quint8 &side1, quint8 &side2)
{
    static const quint8 sides[6][2] = {{0, 0}, {1, 0}, {1, 1}, {4, 0}, {4, 1}, {4, 4}};
    const int i = (howPrinted >= 0 && howPrinted <= 5) ? howPrinted : 0;
    side1 = sides[i][0];
    side2 = sides[i][1];
}

bool CDigital::OnInitDialog()
{
    CDlg0::OnInitDialog();
    SetBackColor(0xFFFFFF);
    const QString titles[3] = {QStringLiteral("Pages"), QStringLiteral("Sides"), QStringLiteral("Sheets")};
    for (int i = 0; i < 3; ++i)
        m_strips[i].CreateFromItem(this, 1901 + unsigned(i), m_nColorScheme, 14, 0, 2, 2085, titles[i]);
    for (const char *text : {"< no print >", "Black", "Black / Black", "Color", "Color / Black", "Color / Color"})
        m_list->addItem(QString::fromLatin1(text));
    m_list->setCurrentRow(std::clamp(m_nHowPrinted, 0, 5));
    m_pages->setText(QString::number(m_nPages));
    m_sheets->setText(QString::number(m_nSheets));
    if (m_bSidesOnly) {
        m_pages->setEnabled(false);
        m_sheets->setEnabled(false);
    } else {
        SetCtrlFont(m_pages, 3);
        SetCtrlFont(m_sheets, 3);
        // Pages and sheets are counts, read whole when left: what is no
        // count is refused naming the field, the count shown before back.
        AttachTypedReading(m_pages, ValueKind::Quantity);
        AttachTypedReading(m_sheets, ValueKind::Quantity);
        connect(m_pages, &QLineEdit::editingFinished, this, &CDigital::Recalculate);
    }
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int) {
        if (!m_bSidesOnly)
            Recalculate();
        else
            m_nHowPrinted = std::max(0, m_list->currentRow());
    });
    return true;
}

void CDigital::Recalculate()
{
    m_nHowPrinted = std::max(0, m_list->currentRow());
    if (m_bSidesOnly)
        return;
    // The pages as a count: a text typed that is none (the printing picked
    // while it was typed) is refused naming the field, the count shown
    // before back, and the sheets follow that count.
    int pages = m_nPages;
    if (ReadItemWhole(kPages, pages, ValueKind::Quantity))
        m_nPages = pages;
    m_nSheets = SheetsFor(m_nPages, m_nHowPrinted, m_nPagesPerSheet);
    m_pages->setText(QString::number(m_nPages));
    m_sheets->setText(QString::number(m_nSheets));
}

void CDigital::OnOK()
{
    m_nHowPrinted = std::max(0, m_list->currentRow());
    if (!m_bSidesOnly) {
        int pages = 0, sheets = 0;
        if (!ReadItemWhole(kPages, pages, ValueKind::Quantity) || !ReadItemWhole(kSheets, sheets, ValueKind::Quantity))
            return; // refused, naming the field
        // Pages typed without leaving the field count as left.
        if (GetItemInt(kPages) != m_nPages)
            Recalculate();
        m_nPages = GetItemInt(kPages);
        m_nSheets = GetItemInt(kSheets);
        m_nPagesPerSheet = (m_nHowPrinted == 1 || m_nHowPrinted == 3) ? 1 : 2;
    }
    CDlg0::OnOK();
}
