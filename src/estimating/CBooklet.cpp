#include "estimating/CBooklet.h"

#include "app/base/QuantityText.h"
#include "app/base/TypedValue.h"
#include "controls/DlgItem.h"
#include "platform/Prompt.h"
#include "views/CDlgData.h"

#include <QtCore/QEvent>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

namespace {

constexpr unsigned kTree = 2201;
constexpr unsigned kTitle = 1301;
constexpr unsigned kBooks = 1302;
constexpr unsigned kPages = 1303;
constexpr unsigned kSheets = 1304;
constexpr unsigned kPagesLabel = 30263;

const QString kTotalPages = QStringLiteral("Total Pages (including self-cover)");
const QString kInsidePages = QStringLiteral("Inside Pages (excluding cover)");

// A count as every typed count is read (0 to 1,000,000,000); a text that
// is none reads as 0 here and is refused when the field is left or on OK.
int readInt(const QLineEdit *edit)
{
    std::int32_t value = 0;
    return ReadTypedQuantity(edit->text(), value) ? value : 0;
}

} // namespace

CBooklet::CBooklet(QWidget *parent) : CDlg0(720, parent)
{
    m_strWindowTitle = QStringLiteral("Create Items");
    resize(720, 430);
    AddPlaceholder(1901, QRect(0, 0, 720, 40));
    AddPlaceholder(1902, QRect(0, 40, 720, 24));
    AddLabel(QStringLiteral("Options"), QRect(10, 72, 200, 20));
    m_tree.setParent(this);
    m_tree.setGeometry(10, 94, 430, 290);
    SetDlgCtrlID(&m_tree, kTree);
    AddLabel(QStringLiteral("Book Title"), QRect(456, 94, 250, 20));
    m_title = AddEdit(kTitle, QRect(456, 116, 254, 28));
    AddLabel(QStringLiteral("#Books"), QRect(456, 156, 250, 20));
    m_books = AddEdit(kBooks, QRect(456, 178, 120, 28));
    AddLabel(QStringLiteral("#Pages"), QRect(456, 218, 250, 20));
    m_pages = AddEdit(kPages, QRect(456, 240, 120, 28));
    m_pagesLabel = AddLabel(QString(), QRect(456, 270, 260, 20), kPagesLabel);
    AddLabel(QStringLiteral("#Sheets"), QRect(456, 300, 250, 20));
    m_sheets = AddEdit(kSheets, QRect(456, 322, 120, 28));
    AddButton(1, QStringLiteral("&OK"), QRect(480, 392, 110, 30));
    AddButton(2, QStringLiteral("Cancel"), QRect(600, 392, 110, 30));
    m_pages->installEventFilter(this);
    // The selection alone runs a choice: the radio the click also ticks
    // says the same again, and "Other..." would ask for its size twice.
    connect(&m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current, QTreeWidgetItem *) {
        if (!current || m_bFilling)
            return;
        ReadControls();
        OnChoice(int(m_tree.GetOptionId(current)));
    });
}

bool CBooklet::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving "#Pages" works the sheets out again, from a count that reads:
    // one that does not is left to the field's own refusal, which names it
    // and puts the last count back (worked out first, it became the least
    // book, 2 pages, without a word).
    std::int32_t typed = 0;
    if (watched == m_pages && event->type() == QEvent::FocusOut
        && (m_pages->text().trimmed().isEmpty() || ReadTypedQuantity(m_pages->text().trimmed(), typed))) {
        ReadControls();
        CalcSheets();
    }
    return CDlg0::eventFilter(watched, event);
}

bool CBooklet::OnInitDialog()
{
    CDlg0::OnInitDialog();
    InitRibbons(7, 1, 2, 0);
    for (QLineEdit *edit : {m_title, m_books, m_pages, m_sheets})
        SetCtrlFont(edit, 3);
    // The counts are quantities: one that does not read, or is past the
    // largest count, is refused naming its field when it is left.
    for (QLineEdit *edit : {m_books, m_pages, m_sheets})
        AttachTypedReading(edit, ValueKind::Quantity);
    m_tree.SetImageListAndFont(131, 2);
    m_tree.setHeaderHidden(true);

    m_bFilling = true;
    HTREEITEM type = m_tree.AddRootGroup(QStringLiteral("Document Type:"), 253);
    m_tree.AddRadio(FlatBook, QStringLiteral("Flat Book           (2 pages per sheet)"), type, false);
    m_tree.AddRadio(FoldedBooklet, QStringLiteral("Folded Booklet (4 pages per sheet)"), type, false);
    HTREEITEM size = m_tree.AddRootGroup(QStringLiteral("Page Size:"), 253);
    m_tree.AddRadio(Size85x11, QStringLiteral("8.5 x 11"), size, false);
    m_tree.AddRadio(Size55x85, QStringLiteral("5.5 x 8.5"), size, false);
    m_tree.AddRadio(SizeOther, QStringLiteral("Other..."), size, false);
    HTREEITEM create = m_tree.AddRootGroup(QStringLiteral("Create:"), 253);
    m_tree.AddRadio(21, QStringLiteral("1 Item  (select this if cover and inside sheets have the same specs)"), create,
                    false);
    m_tree.AddRadio(22, QStringLiteral("2 Items (Cover + Inside Sheets)"), create, false);
    m_tree.AddRadio(23, QStringLiteral("3 Items (Cover + Inside Sheets + Bindery)"), create, false);
    m_tree.AddRadio(24, QStringLiteral("4 Items"), create, false);
    m_tree.AddRadio(25, QStringLiteral("5 Items"), create, false);
    m_tree.ExpandAll(true);
    m_bFilling = false;

    ShowMembers();
    for (int code : {m_nDocumentType, int(Size85x11), int(OneItem)})
        OnChoice(code);
    SetTypeTitle();
    CalcSheets();
    return true;
}

void CBooklet::SetTypeTitle()
{
    if (m_nDocumentType == FoldedBooklet)
        SetTitleButton(QStringLiteral("Folded Document"), 24, 133);
    else
        SetTitleButton(QStringLiteral("Flat Document"), 23, 133);
}

void CBooklet::OnChoice(int code)
{
    if (m_bFilling || code <= 0)
        return;
    // The tree shows the choice as its group's one ticked entry.
    if (code <= FoldedBooklet)
        m_tree.SetRadioRange(FlatBook, FoldedBooklet, unsigned(code));
    else if (code <= SizeOther)
        m_tree.SetRadioRange(Size85x11, SizeOther, unsigned(code));
    else if (code <= FiveItems)
        m_tree.SetRadioRange(OneItem, FiveItems, unsigned(code));
    if (code == FlatBook || code == FoldedBooklet) {
        m_nDocumentType = code;
        SetTypeTitle();
        CalcSheets();
    } else if (code == Size85x11 || code == Size55x85) {
        m_nPageSizeCode = code;
        m_strPageSize = code == Size85x11 ? QStringLiteral("8.5 x 11") : QStringLiteral("5.5 x 8.5");
    } else if (code == SizeOther) {
        m_nPageSizeCode = code;
        CDlgData size(m_strPageSize, 16, QStringLiteral("Page Size"), QStringLiteral("Size"), QString(), this);
        if (size.DoModal() == IDOK_RESULT) {
            m_strPageSize = size.m_strValue;
            if (HTREEITEM item = m_tree.FindOption(SizeOther))
                item->setText(0, m_strPageSize);
        }
    } else if (code >= OneItem && code <= FiveItems) {
        m_nCreateCode = code;
        m_nItemCount = code - 20;
        CalcSheets();
    }
}

void CBooklet::CalcSheets()
{
    const int perSheet = m_nDocumentType == FoldedBooklet ? 4 : 2;
    if (m_nPages < perSheet)
        m_nPages = perSheet;
    m_nSheets = m_nPages / perSheet + (m_nPages % perSheet ? 1 : 0);
    m_strPagesLabel = m_nCreateCode == OneItem ? kTotalPages : kInsidePages;
    ShowMembers();
}

QString CBooklet::FlatSizeOf(const QString &pageSize, int documentType)
{
    if (documentType != FoldedBooklet)
        return pageSize;
    float width = 0, height = 0;
    ParseSize(pageSize, width, height);
    return FormatSize(height, 2 * width);
}

void CBooklet::ReadControls()
{
    m_strTitle = m_title->text();
    m_nBooks = readInt(m_books);
    m_nPages = readInt(m_pages);
    m_nSheets = readInt(m_sheets);
}

void CBooklet::ShowMembers()
{
    m_title->setText(m_strTitle);
    m_books->setText(QString::number(m_nBooks));
    m_pages->setText(QString::number(m_nPages));
    m_sheets->setText(QString::number(m_nSheets));
    m_pagesLabel->setText(m_strPagesLabel);
}

void CBooklet::OnOK()
{
    // A count typed and not yet left is refused here as when it is left.
    if (!AcceptTypedQuantities(QList<QLineEdit *>{m_books, m_pages, m_sheets}))
        return;
    ReadControls();
    QString missing;
    if (m_strTitle.isEmpty())
        missing += QStringLiteral("\n--> Title");
    if (m_nBooks < 1)
        missing += QStringLiteral("\n--> Quantity");
    float width = 0, height = 0;
    ParseSize(m_strPageSize, width, height);
    if (double(width) * double(height) <= 0)
        missing += QStringLiteral("\n--> Page Size");
    m_strFlatSize = FlatSizeOf(m_strPageSize, m_nDocumentType);
    if (!missing.isEmpty()) {
        platform::Prompt::messageBox(QStringLiteral("Please complete:\n") + missing);
        return;
    }
    const QString question =
        QStringLiteral("Create %1 Item%2?").arg(m_nItemCount).arg(m_nItemCount > 1 ? QStringLiteral("s") : QString());
    if (platform::Prompt::messageBox(question, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) ==
        platform::IDYES)
        EndDialog(IDOK_RESULT);
}
