#include "views/CDlg0.h"

#include "data/DaoError.h"
#include "views/ListExport.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/ImageList.h"
#include "app/base/SqlText.h"
#include "controls/CXGridProp.h"
#include "controls/CXListCtrl.h"
#include "controls/DlgItem.h"
#include "controls/TextLimit.h"
#include "data/CXDaoSet.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/Prompt.h"
#include "app/base/PrintService.h"
#include "app/base/TypedValue.h"
#include "views/CNoteDlg.h"
#include "views/CView0.h"

#include <algorithm>

#include <QtGui/QFontMetrics>
#include <QtGui/QKeyEvent>
#include <functional>
#include <QtGui/QScreen>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTextEdit>

#include <cstdlib>
#include <limits>

namespace {

constexpr unsigned kTopRibbon = 1901;
constexpr unsigned kStrip = 1902;
constexpr unsigned kBottomRibbon = 1903;
constexpr unsigned kSizeMarker = 1999;
constexpr unsigned kList = 1401;

// A multi-line edit keeps Enter for its own line breaks.
bool wantsReturn(const QWidget *w)
{
    return qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QTextEdit *>(w);
}

// The program's own controls (grids, ribbons) handle their keys themselves.
bool insideOwnControl(const QWidget *w, const QWidget *dialog)
{
    for (const QWidget *p = w; p && p != dialog; p = p->parentWidget())
        if (qobject_cast<const CXWnd *>(p))
            return true;
    return false;
}

} // namespace

CDlg0::CDlg0(unsigned templateId, QWidget *parent)
    : QDialog(parent), m_pParent(parent), m_nTemplateId(templateId)
{
    setObjectName(QStringLiteral("Dialog%1").arg(templateId));
    qApp->installEventFilter(this);
}

CDlg0::~CDlg0()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

namespace {

// A new record's name field holds "< new >": it takes the focus with the
// text selected, so that what the user types replaces it.
void selectPlaceholderName(QWidget &dialog)
{
    for (QLineEdit *edit : dialog.findChildren<QLineEdit *>()) {
        if (edit->text() == QLatin1String("< new >") && edit->isEnabled() && !edit->isReadOnly()) {
            edit->setFocus(Qt::OtherFocusReason);
            edit->selectAll();
            return;
        }
    }
}

} // namespace

void CDlg0::SendCommand(int id)
{
    RunCommandReportingDaoErrors([this, id] { OnCommand(id); });
}

int CDlg0::DoModal()
{
    m_bEnded = false;
    if (!m_bInitDone) {
        m_bInitDone = true;
        OnInitDialog();
        selectPlaceholderName(*this);
    }
    if (m_bEnded)
        return result();
    // A window its set-up already showed (to put its first questions over
    // it) is shown again by the modal loop: only a window shown from there is
    // modal, blocks the windows behind it and takes the keys.
    if (isVisible())
        hide();
    // Shown over an owner that was never shown itself, the window would be
    // centred over where that owner would have been: the screen's corner.
    if (!testAttribute(Qt::WA_Moved) && parentWidget() && !parentWidget()->window()->isVisible())
        PlaceOver(parentWidget());
    const int answer = platform::Prompt::execDialog(*this);
    // What the window wrote shows in the lists behind it.
    CView0::RefreshShownViews();
    return answer;
}

void CDlg0::EndDialog(int result)
{
    done(result);
}

void CDlg0::done(int result)
{
    m_bEnded = true;
    QDialog::done(result);
}

void CDlg0::reject()
{
    OnCancel();
}

bool CDlg0::OnInitDialog()
{
    if (!m_strWindowTitle.isEmpty())
        setWindowTitle(m_strWindowTitle);
    return true;
}

bool CDlg0::OnCommand(int id)
{
    switch (id) {
    case 1: OnOK(); return true;
    case 2: OnCancel(); return true;
    case 30330: OnPrintList(); return true;
    case 30335: OnPrintWindow(); return true;
    case 30123: OnExportList(); return true;
    case 30418: ShowHelp(); return true;
    default: return false;
    }
}

void CDlg0::OnOK()
{
    EndDialog(IDOK_RESULT);
}

void CDlg0::OnCancel()
{
    EndDialog(IDCANCEL_RESULT);
}

void CDlg0::OnSize(int, int, int) {}

void CDlg0::OnListChoose(QAbstractItemView *view)
{
    emit view->activated(view->currentIndex());
}

// --- ribbons -------------------------------------------------------------------

void CDlg0::InitRibbons(std::uint8_t titleFont, std::uint8_t barStyle, std::uint8_t stripFont,
                        std::uint8_t stripColour)
{
    if (m_crBack)
        SetBackColor(m_crBack);
    if (m_wndRibbon.Create(this, kTopRibbon, m_nColorScheme, 1, 131, barStyle, barStyle == 1 ? 0 : 32, 0, 0, 0,
                           0)) {
        connect(&m_wndRibbon, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        m_wndRibbon.AddItem(30281, m_strRibbonTitle, struct_RIB_ITEM::Plain, 0, 255, titleFont, 2084, 0, 0, 120);
        m_wndRibbon.AddItem(30330, QString(), struct_RIB_ITEM::Normal, 131, 190, 2, 2085, 0, 0, 40, 0, 0,
                            QStringLiteral("Print this window as shown"));
        if (!m_strHelpText.isEmpty())
            m_wndRibbon.AddItem(30418, QString(), struct_RIB_ITEM::Normal, 131, 219, 2, 2085, 0, 0, 40, 0, 0,
                                QStringLiteral("Brief Help"));
        m_wndRibbon.RecalcLayout(30281);
    }
    if (barStyle == 1)
        m_wndStrip.CreateFromItem(this, kStrip, m_nColorScheme, 1, 0, stripFont, 2128, m_strStripText);
    else
        m_wndStrip.CreateFromItem(this, kStrip, m_nColorScheme, stripColour, 48, stripFont, 2084, m_strStripText);
    FitStripText();
}

void CDlg0::InitListRibbons(std::uint8_t titleImage, bool withRecordCommands, bool withFilter, bool withOptions)
{
    if (m_wndRibbon.Create(this, kTopRibbon, m_nColorScheme, 1, 131, 8, 32, 3, 0, 0, 26)) {
        connect(&m_wndRibbon, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        CXRibbon &r = m_wndRibbon;
        r.AddItem(30281, m_strRibbonTitle, struct_RIB_ITEM::Plain, 132, titleImage, 4, 2084, 0, 0, 120);
        if (withRecordCommands) {
            r.AddItem(30100, QStringLiteral("New"), struct_RIB_ITEM::Normal, 131, 187, 2, 2084, 7, 2, 70);
            r.AddItem(30112, QStringLiteral("Paste"), struct_RIB_ITEM::Disabled, 131, 193, 2, 2084, 7, 2, 70, 0, 0,
                      QStringLiteral("Paste selected row"));
            r.AddItem(30102, QStringLiteral("Edit"), struct_RIB_ITEM::Disabled, 131, 169, 2, 2084, 7, 2, 70, 0, 0,
                      QStringLiteral("View/Edit detail"));
            r.AddItem(30113, QStringLiteral("Delete"), struct_RIB_ITEM::Disabled, 131, 200, 2, 2084, 7, 2, 70, 0,
                      0, QStringLiteral("Delete selected rows"));
            r.AddSpacer(20, 5);
        }
        if (withFilter)
            r.AddItem(30534, QStringLiteral("Filter"), struct_RIB_ITEM::Normal, 131, 178, 2, 2084, 7, 2, 90, 0, 0,
                      QString(), 1);
        if (withOptions)
            r.AddItem(30540, QStringLiteral("Options"), struct_RIB_ITEM::Normal, 131, 171, 2, 2084, 7, 2, 80, 0, 0,
                      QStringLiteral("Options"));
        r.AddSpacer(20, 5);
        r.AddItem(30330, QString(), struct_RIB_ITEM::Normal, 131, 190, 2, 2085, 7, 2, 30, 0, 0,
                  QStringLiteral("Print this window as shown"));
        if (!m_strHelpText.isEmpty())
            r.AddItem(30418, QString(), struct_RIB_ITEM::Normal, 131, 219, 2, 2085, 0, 0, 40, 0, 0,
                      QStringLiteral("Brief Help"));
        r.RecalcLayout(30281);
    }
    m_wndStrip.CreateFromItem(this, kStrip, m_nColorScheme, 14, 2, 2, 2084, m_strStripText);
    FitStripText();
    if (m_wndRibbonBottom.Create(this, kBottomRibbon, m_nColorScheme, 1, 131, 7, 16, 3, 0, 3, 26)) {
        connect(&m_wndRibbonBottom, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        CXRibbon &b = m_wndRibbonBottom;
        b.AddItem(2, QStringLiteral("Close"), struct_RIB_ITEM::Normal, 131, 224, 2, 2084, 0, 2, 120);
        b.AddItem(1, QStringLiteral("OK"), struct_RIB_ITEM::Disabled, 131, 223, 2, 2084, 0, 2, 120);
        b.AddItem(30262, QString(), struct_RIB_ITEM::Normal, 131, 220, 2, 2084, 0, 2, 120);
        b.RecalcLayout(1);
    }
}

void CDlg0::SetRibbonTitle(const QString &title)
{
    m_strRibbonTitle = title;
    if (m_wndRibbon.isCreated())
        m_wndRibbon.SetItemText(30281, title);
}

void CDlg0::SetTitleButton(const QString &text, int image, std::uint8_t imageFlag)
{
    if (!m_wndRibbon.isCreated())
        return;
    m_wndRibbon.SetItemText(30281, text);
    m_wndRibbon.SetItemImage(30281, image, imageFlag);
}

void CDlg0::SetStripText(const QString &text)
{
    m_strStripText = text;
    if (m_wndStrip.isCreated()) {
        m_wndStrip.SetText(text);
        FitStripText();
        m_wndStrip.update();
    }
}

void CDlg0::FitStripText()
{
    if (!m_wndStrip.isCreated() || m_strStripText.trimmed().isEmpty())
        return;
    const std::uint8_t font = m_wndStrip.item().font < 3 ? 2 : m_wndStrip.item().font;
    const QFontMetrics metrics(Appearance::instance().GetFont(font));
    // The text's indent on both sides and the strip's border.
    const int room = m_wndStrip.width() - 2 * 3 - 4;
    if (room <= 0 || metrics.horizontalAdvance(m_strStripText) <= room)
        return;
    const QRect lines =
        metrics.boundingRect(QRect(0, 0, room, 100000), Qt::TextWordWrap | Qt::TextExpandTabs, m_strStripText);
    const int grow = lines.height() + 6 - m_wndStrip.height();
    if (grow <= 0)
        return;
    const QRect strip = m_wndStrip.geometry();
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child == &m_wndStrip || child->isWindow())
            continue;
        const QRect place = child->geometry();
        if (place.top() > strip.bottom())
            child->move(place.x(), place.y() + grow);
        else if (place.top() <= strip.top() && place.bottom() > strip.bottom())
            child->resize(place.width(), place.height() + grow);
    }
    m_wndStrip.resize(strip.width(), strip.height() + grow);
    resize(width(), height() + grow);
}

void CDlg0::SetBackColor(ColorRef colour)
{
    m_crBack = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorRefToQColor(colour));
    setPalette(pal);
    setAutoFillBackground(true);
}

// --- controls by id ----------------------------------------------------------

bool CDlg0::IsItemVisible(unsigned id) const
{
    const QWidget *w = GetDlgItem(this, id);
    return w && !w->isHidden();
}

bool CDlg0::IsItemChecked(unsigned id) const
{
    const auto *b = qobject_cast<const QAbstractButton *>(GetDlgItem(this, id));
    return b && b->isChecked();
}

void CDlg0::SetItemCheck(unsigned id, int state)
{
    if (auto *b = qobject_cast<QAbstractButton *>(GetDlgItem(this, id))) {
        b->setCheckable(true);
        b->setChecked(state != 0);
    }
}

void CDlg0::ShowItem(unsigned id, bool show)
{
    ShowCtrl(GetDlgItem(this, id), show);
}

void CDlg0::ShowCtrl(QWidget *control, bool show)
{
    if (control)
        control->setVisible(show);
}

void CDlg0::EnableItem(unsigned id, bool enable)
{
    EnableCtrl(GetDlgItem(this, id), enable);
}

void CDlg0::EnableCtrl(QWidget *control, bool enable)
{
    if (control)
        control->setEnabled(enable);
}

void CDlg0::SetItemText(unsigned id, const QString &text)
{
    SetCtrlText(GetDlgItem(this, id), text);
}

void CDlg0::SetCtrlText(QWidget *control, const QString &text)
{
    if (!control)
        return;
    if (auto *e = qobject_cast<QLineEdit *>(control))
        e->setText(text);
    else if (auto *p = qobject_cast<QPlainTextEdit *>(control))
        p->setPlainText(text);
    else if (auto *b = qobject_cast<QAbstractButton *>(control))
        b->setText(text);
    else if (auto *l = qobject_cast<QLabel *>(control))
        l->setText(text);
    else if (auto *x = qobject_cast<CXWnd *>(control)) {
        x->SetText(text);
        x->update();
    } else
        control->setWindowTitle(text);
}

QString CDlg0::GetItemText(unsigned id) const
{
    const QWidget *w = GetDlgItem(this, id);
    if (!w)
        return QString();
    if (const auto *p = qobject_cast<const QPlainTextEdit *>(w))
        return p->toPlainText();
    return GetControlText(w);
}

int CDlg0::GetItemInt(unsigned id) const
{
    QString text = GetItemText(id);
    // A whole number as the shared reading takes it ("1,000", "1e3"); a
    // text still being typed ("12 k") by its leading digits.
    std::int32_t whole = 0;
    if (ReadTypedWhole(text, whole))
        return whole;
    text.remove(QLatin1Char(','));
    const QByteArray bytes = text.toLatin1();
    return int(std::strtol(bytes.constData(), nullptr, 10));
}

bool CDlg0::ReadItemWhole(unsigned id, int &out)
{
    return ReadItemWhole(id, out, ValueKind::Whole);
}

bool CDlg0::ReadItemWhole(unsigned id, int &out, ValueKind kind)
{
    QWidget *control = GetDlgItem(this, id);
    const QString text = GetItemText(id).trimmed();
    std::int32_t whole = 0;
    if (text.isEmpty()) {
        out = 0;
        return true;
    }
    if (!(kind == ValueKind::Quantity ? ReadTypedQuantity(text, whole) : ReadTypedWhole(text, whole))) {
        // The value shown before this typing is back, as when the field is left.
        if (auto *edit = qobject_cast<QLineEdit *>(control))
            edit->setText(ValueShownBeforeTyping(edit));
        RefuseTyped(control, kind == ValueKind::Quantity ? TypedQuantityMessage(text) : TypedValueMessage(ValueKind::Whole));
        return false;
    }
    out = whole;
    return true;
}

void CDlg0::HoldToColumn(unsigned id, const CXDaoSet &set, const QString &column)
{
    const qint32 size = set.GetFieldSize(column);
    if (size == std::numeric_limits<qint32>::max()) // a memo: no size
        return;
    const auto bare = [](QString name) { return name.remove(QLatin1Char('[')).remove(QLatin1Char(']')).trimmed(); };
    const QString table = bare(set.GetDefaultSQL());
    holdToSize(id, int(size), table.contains(QLatin1Char(' ')) ? QString() : table + QLatin1Char('.') + bare(column));
}

void CDlg0::HoldToColumn(unsigned id, const QString &table, const QString &column)
{
    int size = 0;
    try {
        const platform::TableDef def = SharedDatabase().tableDef(table);
        if (const platform::FieldDef *field = def.field(column); field && field->type == platform::FieldType::Text)
            size = field->size;
    } catch (const platform::DbException &) {
        return; // no such table in this file: the field stays free
    }
    holdToSize(id, size, table + QLatin1Char('.') + column);
}

void CDlg0::holdToSize(unsigned id, int size, const QString &column)
{
    QWidget *field = GetDlgItem(this, id);
    if (auto *combo = qobject_cast<QComboBox *>(field))
        field = combo->lineEdit();
    if (!field || size <= 0)
        return;
    TextLimit::Hold(field, size);
    if (!column.isEmpty())
        field->setProperty("textColumn", column);
}

bool CDlg0::HeldTextsFit()
{
    for (QWidget *field : findChildren<QWidget *>()) {
        if (auto *grid = qobject_cast<CXGridProp *>(field)) {
            // A row of a property sheet, named by its label.
            const int row = grid->RowPastTextLimit();
            if (row < 0)
                continue;
            grid->EditRow(row);
            RefuseTyped(grid->editor(), TextLengthMessage(grid->rowTextLimit(row)),
                        QString(grid->rowLabel(row)).remove(QLatin1Char('&')).simplified());
            return false;
        }
        const int size = TextLimit::SizeOf(field);
        if (size > 0 && TextLimit::LengthOf(field) > size) {
            RefuseTyped(field, TextLengthMessage(size));
            return false;
        }
    }
    return true;
}

void CDlg0::SetCueBanner(QWidget *control, const QString &text)
{
    if (auto *e = qobject_cast<QLineEdit *>(control)) {
        // A cue wider than its edit keeps its end, where it says what to
        // type ("... starts with"); the whole cue is the edit's tip.
        const int room = e->contentsRect().width() - e->textMargins().left() - e->textMargins().right() - 8;
        const QFontMetrics metrics(e->font());
        const bool tooWide = room > 0 && metrics.horizontalAdvance(text) > room;
        // A tip that told the last cue goes with it.
        if (e->toolTip() == e->property("cueTip").toString())
            e->setToolTip(tooWide ? text : QString());
        e->setPlaceholderText(tooWide ? metrics.elidedText(text, Qt::ElideLeft, room) : text);
        e->setProperty("cueTip", tooWide ? text : QString());
    } else if (auto *p = qobject_cast<QPlainTextEdit *>(control)) {
        p->setPlaceholderText(text);
    }
}

void CDlg0::SetItemCueBanner(unsigned id, const QString &text)
{
    SetCueBanner(GetDlgItem(this, id), text);
}

bool CDlg0::FocusItem(unsigned id)
{
    if (id == 0)
        return false;
    QWidget *w = GetDlgItem(this, id);
    if (!w)
        return false;
    w->setFocus(Qt::OtherFocusReason);
    if (auto *e = qobject_cast<QLineEdit *>(w))
        e->selectAll();
    else if (auto *p = qobject_cast<QPlainTextEdit *>(w))
        p->selectAll();
    return true;
}

void CDlg0::SetCtrlFont(QWidget *control, int font)
{
    if (!control || font >= 10 || font < 0)
        return;
    control->setFont(Appearance::instance().GetFont(font));
    control->update();
}

void CDlg0::SetItemFont(unsigned id, int font)
{
    SetCtrlFont(GetDlgItem(this, id), font);
}

void CDlg0::SetItemIcon(unsigned id, unsigned imageList, int icon)
{
    QWidget *w = GetDlgItem(this, id);
    const ImageList *list = Appearance::instance().GetImageList(imageList);
    if (!w || !list)
        return;
    const QPixmap pm = list->pixmap(icon);
    if (id >= 1901 && id <= 1939) {
        if (auto *l = qobject_cast<QLabel *>(w))
            l->setPixmap(pm);
    } else if (auto *b = qobject_cast<QAbstractButton *>(w)) {
        b->setIcon(QIcon(pm));
        b->setIconSize(pm.size());
    }
}

void CDlg0::MakeCloseOnly()
{
    QWidget *cancel = GetDlgItem(this, 2);
    if (!cancel)
        return;
    SetCtrlText(cancel, QStringLiteral("Close"));
    ShowItem(1, false);
    cancel->move(cancel->x() - cancel->width() / 2, cancel->y());
}

// The window a dialog is centred over: its owner's window, or, while that one
// has not been shown (a list that goes straight into a new record from its
// set-up), the nearest shown window it belongs to.
static QWidget *ShownOwnerWindow(QWidget *owner)
{
    for (QWidget *w = owner ? owner->window() : nullptr; w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
        if (w->isVisible())
            return w;
    return nullptr;
}

void CDlg0::PlaceOver(QWidget *owner)
{
    QRect over;
    if (QWidget *p = ShownOwnerWindow(owner))
        over = p->frameGeometry();
    else if (QScreen *s = screen())
        over = s->availableGeometry();
    QRect r = frameGeometry();
    r.moveCenter(over.center());
    r.translate(m_nDeltaX, 0);
    // Centred over its owner, but always whole on the screen.
    if (QScreen *s = screen()) {
        const QRect area = s->availableGeometry();
        r.moveLeft(std::max(area.left(), std::min(r.left(), area.right() + 1 - r.width())));
        r.moveTop(std::max(area.top(), std::min(r.top(), area.bottom() + 1 - r.height())));
    }
    move(r.topLeft());
}

void CDlg0::CenterAndAnimate(unsigned flags)
{
    PlaceOver(m_pParent);
    if (flags) {
        show();
        update();
    }
}

// --- resizing --------------------------------------------------------------------

void CDlg0::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    OnSize(isMinimized() ? SIZE_MINIMIZED : SIZE_RESTORED, width(), height());
}

bool CDlg0::CalcSizeDelta(int type, int cx, int cy)
{
    QWidget *marker = GetDlgItem(this, kSizeMarker);
    if (!marker || (cx == 0 && cy == 0) || type == SIZE_MINIMIZED) {
        m_nDeltaX = m_nDeltaY = 0;
        return false;
    }
    const QRect r = marker->geometry();
    m_nDeltaX = cx - (r.x() + r.width());
    m_nDeltaY = cy - (r.y() + r.height());
    marker->move(r.x() + m_nDeltaX, r.y() + m_nDeltaY);
    return true;
}

bool CDlg0::LayoutListOnSize(int type, int cx, int cy, CXListCtrl *list)
{
    if (!CalcSizeDelta(type, cx, cy))
        return false;
    GrowItemBy(kTopRibbon, m_nDeltaX, 0);
    GrowItemBy(kStrip, m_nDeltaX, 0);
    MoveItemBy(kBottomRibbon, 0, m_nDeltaY);
    GrowItemBy(kBottomRibbon, m_nDeltaX, 0);
    if (list) {
        GrowItemBy(kList, m_nDeltaX, m_nDeltaY);
        list->AutoSizeColumns();
    }
    return true;
}

void CDlg0::MoveItemBy(unsigned id, int dx, int dy)
{
    if (QWidget *w = GetDlgItem(this, id))
        w->move(w->x() + dx, w->y() + dy);
}

void CDlg0::GrowItemBy(unsigned id, int dx, int dy)
{
    if (QWidget *w = GetDlgItem(this, id))
        w->resize(std::max(0, w->width() + dx), std::max(0, w->height() + dy));
}

// --- layout helpers ------------------------------------------------------------------

QLabel *CDlg0::AddPlaceholder(unsigned id, const QRect &rect, const QString &text)
{
    auto *label = new QLabel(text, this);
    label->setGeometry(rect);
    SetDlgCtrlID(label, id);
    return label;
}

QPushButton *CDlg0::AddButton(unsigned id, const QString &text, const QRect &rect)
{
    auto *button = new QPushButton(text, this);
    button->setGeometry(rect);
    SetDlgCtrlID(button, id);
    button->setAutoDefault(false);
    if (id == 1)
        button->setDefault(true);
    connect(button, &QPushButton::clicked, this, [this, id] { SendCommand(int(id)); });
    return button;
}

QLineEdit *CDlg0::AddEdit(unsigned id, const QRect &rect)
{
    auto *edit = new QLineEdit(this);
    edit->setGeometry(rect);
    SetDlgCtrlID(edit, id);
    return edit;
}

QPlainTextEdit *CDlg0::AddMultiLineEdit(unsigned id, const QRect &rect)
{
    auto *edit = new QPlainTextEdit(this);
    edit->setGeometry(rect);
    SetDlgCtrlID(edit, id);
    edit->setTabChangesFocus(true);
    return edit;
}

QLabel *CDlg0::AddLabel(const QString &text, const QRect &rect, unsigned id)
{
    auto *label = new QLabel(text, this);
    label->setGeometry(rect);
    if (id)
        SetDlgCtrlID(label, id);
    return label;
}

QWidget *CDlg0::AddSizeMarker(const QPoint &bottomRight)
{
    auto *marker = new QWidget(this);
    marker->setGeometry(bottomRight.x() - 1, bottomRight.y() - 1, 1, 1);
    SetDlgCtrlID(marker, kSizeMarker);
    marker->hide();
    return marker;
}

// --- keys ------------------------------------------------------------------------------

bool CDlg0::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || !isVisible() || (w != this && !isAncestorOf(w)) || w->window() != this)
        return QDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        // Enter is never an accelerator; with Enter-as-Tab it moves on.
        if (!m_bEnterAsTab)
            return false;
        QWidget *focus = focusWidget() ? focusWidget() : w;
        const unsigned id = GetDlgCtrlID(focus);
        if (id == 1 || id == 2 || insideOwnControl(focus, this))
            return false;
        if (auto *view = qobject_cast<QAbstractItemView *>(focus)) {
            OnListChoose(view);
            return true;
        }
        if (wantsReturn(focus))
            return false;
        focusNextChild();
        return true;
    }
    if (m_nAccelMode >= 1 && ZqApp()) {
        if (const int command = ZqApp()->TranslateAppAccelerator(w, *key)) {
            SendCommand(command);
            return true;
        }
    }
    return false;
}

// --- the four operations ----------------------------------------------------------

void CDlg0::OnPrintList()
{
    if (!m_pList) {
        OnPrintWindow();
        return;
    }
    if (m_pList->GetItemCount() == 0)
        return;
    if (ZqApp())
        ZqApp()->PrintList(m_pList, m_strWindowTitle, m_strRibbonTitle, QString());
    else
        platform::Prompt::messageBox(QStringLiteral("Printing a list is not yet available in this version."));
}

void CDlg0::OnPrintWindow()
{
    if (PrintService *printing = ZqApp() ? ZqApp()->printService() : nullptr)
        printing->PrintScreen(this, nullptr, QString(), QString(), 0);
    else
        platform::Prompt::messageBox(QStringLiteral("Printing a window is not yet available in this version."));
}

void CDlg0::OnExportList()
{
    if (!m_pList || m_pList->GetItemCount() == 0)
        return;
    if (const ListExporter &exporter = listExporter())
        exporter(0, 0, 0, m_strWindowTitle, m_pList, false, 2);
    else
        platform::Prompt::messageBox(QStringLiteral("Exporting a list is not yet available in this version."));
}

void CDlg0::ShowHelp()
{
    // A dialog without help text has nothing to show (F1 still reaches here).
    if (m_strHelpText.isEmpty())
        return;
    CNoteDlg note(QStringLiteral("Help"), QString(), m_strHelpText, 0, nullptr);
    note.DoModal();
}

void CDlg0::ShowTableNote(const QString &name)
{
    if (name.isEmpty())
        return;
    // The name is kept at the column's size, so look it up at that size too:
    // otherwise a long name would be saved cut and never found again.
    const QString key = name.left(20);
    const QString select = QStringLiteral("SELECT * FROM TableNotes WHERE Name = ") + QuoteText(key);
    QString shown;
    bool readable = false;
    {
        CXDaoSet set;
        set.Open(CXDaoSet::dbOpenSnapshot, select);
        readable = set.IsOpen();
        if (readable && !set.IsEmptySet())
            set.GetFieldText(1, shown, false);
    }
    // Only a changed note is written, onto the note as it is now: another
    // user's change to it since it was shown here is asked about by the
    // note's name, and Cancel there shows the note again with the typing.
    QString typed = shown;
    for (;;) {
        CNoteDlg note(QStringLiteral("About"), name, typed, 1, nullptr);
        if (note.DoModal() != IDOK_RESULT || !readable)
            return;
        typed = note.m_strNote;
        if (typed == shown)
            return;
        bool cancelled = false;
        for (int round = 0; round < 5; ++round) {
            CXDaoSet set;
            set.Open(CXDaoSet::dbOpenDynaset, select);
            if (!set.IsOpen())
                return;
            if (!set.IsEmptySet()) {
                if (!set.SafeEdit())
                    return;
                set.SetFieldCaption(QStringLiteral("Note"), name);
                set.SetFieldValueOverShown(1, platform::Value(typed), platform::Value(shown));
                if (set.SafeUpdate())
                    return;
                // The user's Cancel leaves the edit open; a failure was shown.
                cancelled = set.GetEditMode() != CXDaoSet::dbEditNone;
                if (cancelled)
                    set.CancelUpdate();
                break;
            }
            // A first note is added only while there is still none: one
            // another workstation added meanwhile is edited instead.
            try {
                platform::Transaction write(SharedDatabase());
                CXDaoSet again;
                again.Open(CXDaoSet::dbOpenDynaset, select);
                if (!again.IsOpen())
                    return;
                if (!again.IsEmptySet())
                    continue;
                again.AddNew();
                again.SetFieldValue(0, platform::Value(key));
                again.SetFieldValue(1, platform::Value(typed));
                again.Update();
                again.Close();
                write.commit();
                return;
            } catch (const platform::DbException &e) {
                ShowDaoError(e, QStringLiteral("Cannot save TableNotes"));
                return;
            }
        }
        if (!cancelled)
            return;
    }
}

namespace {
constexpr int kFrameAllowance = 40; // a window's title bar and borders
}

int CDlg0::GrowToShowAllRows(QAbstractItemView *tree)
{
    // Every item counts, expanded or not.
    const QAbstractItemModel *model = tree->model();
    std::function<int(const QModelIndex &)> count = [&](const QModelIndex &parent) {
        int n = model->rowCount(parent);
        for (int r = model->rowCount(parent) - 1; r >= 0; --r)
            n += count(model->index(r, 0, parent));
        return n;
    };
    const int visible = count(QModelIndex());
    const int rowHeight = std::max(16, tree->sizeHintForRow(0));
    int grow = rowHeight * visible + 8 - tree->height();
    if (grow <= 0)
        return 0;
    // The window never grows taller than the screen's free area (with room
    // for its title bar); the rest of the rows scroll.
    if (QScreen *s = screen())
        grow = std::min(grow, std::max(0, s->availableGeometry().height() - kFrameAllowance - height()));
    resize(width(), height() + grow);
    return grow;
}
