#include "controls/CXGridProp.h"

#include <QtGui/QFontMetrics>

#include "app/base/Appearance.h"
#include "app/base/ImageList.h"
#include "app/base/TextUtil.h"
#include "controls/ControlMessages.h"
#include "controls/CXEdit.h"
#include "controls/DlgItem.h"
#include "controls/DrawTextFormat.h"
#include "controls/TextLimit.h"
#include "data/CXDaoSet.h"
#include "data/DaoError.h"
#include "platform/db/DbException.h"
#include "resources/Strings.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QScrollBar>

#include <algorithm>

namespace {

constexpr std::uint8_t kHoverColour = 24;
constexpr std::uint32_t kRowText = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;

} // namespace

CXGridProp::CXGridProp(QWidget *parent) : CXWnd(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

CXGridProp::~CXGridProp() = default;

// --- building ----------------------------------------------------------------

int CXGridProp::AddRow(unsigned type, const QString &label, const QString &lookup, std::uint8_t editable,
                       unsigned command, std::uint8_t image, std::uint8_t font, std::uint8_t colour,
                       std::uint8_t style)
{
    Row row;
    row.type = type;
    row.label = label;
    row.lookup = lookup;
    row.editable = type == 0 ? 0 : editable;
    row.command = command;
    row.image = image;
    row.font = font;
    row.colour = colour;
    row.style = style;
    if (image != 255)
        m_labelIndent = 20;
    m_rows.append(row);
    return int(m_rows.size()) - 1;
}

int CXGridProp::AddListRow(unsigned type, const QString &label, const QString &choices, int resourceId,
                           std::uint8_t editable, unsigned command, std::uint8_t image, std::uint8_t font,
                           std::uint8_t colour, std::uint8_t style)
{
    const int row = AddRow(type, label, QString(), editable, command, image, font, colour, style);
    if (resourceId != 0)
        AddPickItemsFromResource(row, resourceId);
    else if (choices.startsWith(QLatin1String("SELECT ")))
        AddPickItemsFromSQL(row, choices);
    else if (choices.isEmpty())
        AddPickItems(row, QStringLiteral("No,Yes,"));
    else
        AddPickItems(row, choices);
    return row;
}

int CXGridProp::AddTextRow(const QString &label, const QString &text, std::uint8_t font)
{
    const int row = AddRow(1, label, QString(), 0, 0, 255, font, 0, 0);
    m_rows[row].text = text;
    return row;
}

int CXGridProp::AddSeparatorRow()
{
    const int row = AddRow(1, QStringLiteral(" "));
    m_rows[row].separator = true;
    return row;
}

int CXGridProp::AddCaption(const QString &label, unsigned command, std::uint8_t image, std::uint8_t font,
                           std::uint8_t colour, std::uint8_t style)
{
    return AddRow(0, label, QString(), 0, command, image, font > 254 ? m_captionFont : font,
                  colour > 254 ? m_captionColour : colour, style > 254 ? m_captionStyle : style);
}

int CXGridProp::AddSection(const QString &label, unsigned command, std::uint8_t image)
{
    return AddCaption(label, command, image, 4, 10, 2);
}

void CXGridProp::AddPickItem(int row, int value, const QString &text)
{
    m_pickItems.append(CListItem(value, text, row));
}

int CXGridProp::AddPickItems(int row, const QString &list, int first, int last)
{
    QStringList entries = list.split(QLatin1Char(','));
    entries.removeLast(); // the list is comma-terminated
    int added = 0;
    for (int i = 0; i < entries.size(); ++i) {
        if (i < first || i > last)
            continue;
        AddPickItem(row, added, entries[i]);
        ++added;
    }
    return added;
}

int CXGridProp::AddPickItemsFromResource(int row, int stringId, int first, int last)
{
    const QString list = LoadResourceString(stringId);
    if (list.isEmpty())
        return 0;
    return AddPickItems(row, list, first, last);
}

int CXGridProp::AddRangePickItems(int row, int from, int to, const QString &prefix, const QString &suffix,
                                  int firstValue)
{
    const int step = to >= from ? 1 : -1;
    int added = 0;
    for (int n = from;; n += step) {
        AddPickItem(row, firstValue + added, prefix + QString::number(n) + suffix);
        ++added;
        if (n == to)
            break;
    }
    return added;
}

int CXGridProp::AddPickItemsFromSQL(int row, const QString &sql)
{
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenSnapshot, sql);
    if (!set.IsOpen())
        return 0; // the set has shown why
    int added = 0;
    try {
        const int fields = set.GetFieldCount();
        for (; !set.IsEOF(); set.MoveNext()) {
            QStringList parts;
            for (int f = 1; f < fields; ++f)
                parts << set.GetFieldValue(f).toString();
            AddPickItem(row, set.GetFieldValue(0).toInt(), parts.join(QStringLiteral("  ")));
            ++added;
        }
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Could not run query:\n\n") + sql);
    }
    set.Close();
    return added;
}

// --- creation and style ----------------------------------------------------------

void CXGridProp::SetGridStyle(std::uint8_t background, std::uint8_t frameStyle, std::uint8_t editorFont,
                              std::uint8_t rowColour)
{
    m_background = background;
    m_frameStyle = frameStyle;
    m_editorFont = editorFont;
    m_rowColour = rowColour;
}

void CXGridProp::SetRowDefaults(std::uint8_t captionColour, std::uint8_t captionStyle, std::uint8_t captionFont)
{
    m_captionColour = captionColour;
    m_captionStyle = captionStyle;
    m_captionFont = captionFont;
}

int CXGridProp::widestLabel() const
{
    int widest = 0;
    for (const Row &r : m_rows) {
        if (r.label.isEmpty())
            continue;
        const QFontMetrics metrics(Appearance::instance().GetFont(r.font));
        widest = std::max(widest, metrics.horizontalAdvance(r.label) + m_labelIndent + 8);
    }
    return widest;
}

void CXGridProp::SetColumnWidths(int labelWidth, int valueWidth)
{
    m_labelWidth = labelWidth;
    m_valueWidth = valueWidth;
    m_widthsFixed = true;
}

void CXGridProp::createEditors()
{
    const QFont &font = Appearance::instance().GetFont(m_editorFont);
    m_edit = new QLineEdit(this);
    SetDlgCtrlID(m_edit, kEditId);
    m_list = new QComboBox(this);
    SetDlgCtrlID(m_list, kListId);
    m_list->setEditable(false);
    m_combo = new QComboBox(this);
    SetDlgCtrlID(m_combo, kComboId);
    m_combo->setEditable(true);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_typed = new CXEdit(this);
    m_typed->hide();
    for (QWidget *editor : {static_cast<QWidget *>(m_edit), static_cast<QWidget *>(m_list),
                            static_cast<QWidget *>(m_combo)}) {
        editor->setFont(font);
        editor->hide();
        editor->installEventFilter(this);
    }
    m_combo->lineEdit()->installEventFilter(this);
    connect(m_list, &QComboBox::activated, this, [this] { EndEdit(); });
}

bool CXGridProp::CreateInDlgItem(QWidget *parent, unsigned id, int hue, int labelWidth)
{
    QRect place;
    if (!takePlaceholder(parent, id, nullptr, &place))
        return false;
    m_rowCount = int(m_rows.size());
    m_visibleRows = std::min(m_rowCount, 24);
    SetColorScheme(hue);
    if (!m_widthsFixed) {
        m_labelWidth = labelWidth ? labelWidth : 70;
        m_valueWidth = place.width() - m_labelWidth;
    }
    setGeometry(place.left(), place.top(), m_labelWidth + m_valueWidth, m_visibleRows * m_rowHeight + 1);
    markCreated(parent, id);
    createEditors();
    SetVertScrollRange(m_rowCount, m_visibleRows);
    return true;
}

int CXGridProp::UpdateRowCount()
{
    m_rowCount = int(m_rows.size());
    if (isCreated())
        SetVertScrollRange(m_rowCount, m_visibleRows);
    update();
    return m_rowCount;
}

// --- rows ----------------------------------------------------------------------------

int CXGridProp::GetRowValue(int row) const
{
    return validRow(row) ? m_rows[row].value : 0;
}

void CXGridProp::SetRowValue(int row, int value)
{
    if (!validRow(row))
        return;
    m_rows[row].value = value;
    refreshText(row);
    update();
}

void CXGridProp::GetRowText(int row, QString &out) const
{
    out = rowText(row);
}

QString CXGridProp::rowText(int row) const
{
    return validRow(row) ? m_rows[row].text : QString();
}

QString CXGridProp::ShownItemText(int row, const QString &item) const
{
    if (!validRow(row))
        return item;
    const Row &r = m_rows[row];
    if (r.type == 2 || r.type == 3) {
        bool number = false;
        const int value = item.trimmed().toInt(&number);
        if (number)
            for (const CListItem &choice : m_pickItems)
                if (choice.number(1) == row && choice.m_value == value)
                    return choice.m_text;
        return item;
    }
    if (r.type >= 4 && m_typed) {
        m_typed->SetType(r.lookup, int(r.type));
        const int kind = m_typed->kind();
        if (kind != CXEdit::Plain && kind != CXEdit::Date)
            return item.trimmed().toInt() == 0 && !m_showZero ? QString() : m_typed->FormatNumber(item.trimmed().toLongLong());
        return item;
    }
    return r.masked ? QString(item.size(), QChar(0x2022)) : item;
}

void CXGridProp::SetRowText(int row, const QString &text)
{
    if (!validRow(row))
        return;
    m_rows[row].text = text;
    update();
}

void CXGridProp::EnableRow(int row, bool enable)
{
    if (!validRow(row))
        return;
    m_rows[row].editable = (m_rows[row].type != 0 && enable) ? 1 : 0;
    update();
}

bool CXGridProp::IsRowEnabled(int row) const
{
    return validRow(row) && m_rows[row].editable != 0;
}

unsigned CXGridProp::GetRowType(int row) const
{
    return validRow(row) ? m_rows[row].type : 0;
}

void CXGridProp::SetRowImage(int row, std::uint8_t image)
{
    if (!validRow(row))
        return;
    m_rows[row].image = image;
    if (image != 255)
        m_labelIndent = 20;
    update();
}

void CXGridProp::SetRowTextLimit(int row, int size)
{
    // A size no text column has (a memo's "no limit") leaves the row free.
    if (validRow(row))
        m_rows[row].textLimit = size > 0 && size < 32767 ? size : 0;
}

int CXGridProp::RowPastTextLimit() const
{
    for (int row = 0; row < m_rows.size(); ++row) {
        const Row &r = m_rows[row];
        if (r.textLimit <= 0)
            continue;
        // The text still being typed counts for the current row.
        const QString text = row == m_curRow && m_editor ? editorText() : r.text;
        if (text.size() > r.textLimit)
            return row;
    }
    return -1;
}

void CXGridProp::SetRowNotNegative(int row)
{
    if (validRow(row))
        m_rows[row].notNegative = true;
}

void CXGridProp::refreshText(int row)
{
    Row &r = m_rows[row];
    if (r.type >= 4) {
        if (!m_typed) {
            m_typed = new CXEdit(this);
            m_typed->hide();
        }
        m_typed->SetType(r.lookup, int(r.type));
        const int kind = m_typed->kind();
        if (kind == CXEdit::Plain || kind == CXEdit::Date)
            return; // dates and plain values keep their text
        r.text = (r.value == 0 && !m_showZero) ? QString() : m_typed->FormatNumber(r.value);
    } else if (r.type == 2) {
        r.text.clear();
        for (const CListItem &item : m_pickItems)
            if (item.number(1) == row && item.m_value == r.value) {
                r.text = item.m_text;
                break;
            }
    }
}

// --- editing -----------------------------------------------------------------------

QRect CXGridProp::valueRect(int row) const
{
    return QRect(m_labelWidth, (row - m_firstVisible) * m_rowHeight, m_valueWidth, m_rowHeight);
}

void CXGridProp::HideEditor()
{
    if (m_editor) {
        QWidget *editor = m_editor;
        m_editor = nullptr;
        editor->hide();
    }
}

void CXGridProp::fillCombo(QComboBox *combo, bool withData)
{
    const int value = m_rows[m_curRow].value;
    combo->blockSignals(true);
    combo->clear();
    int selected = -1;
    for (const CListItem &item : m_pickItems) {
        if (item.number(1) != m_curRow || item.m_text.startsWith(QLatin1Char('~')))
            continue;
        if (withData) {
            combo->addItem(item.m_text, item.m_value);
            if (item.m_value == value && selected < 0)
                selected = combo->count() - 1;
        } else {
            combo->addItem(item.m_text);
        }
    }
    if (withData)
        combo->setCurrentIndex(selected);
    combo->blockSignals(false);
}

void CXGridProp::EditRow(int row, bool dropDown)
{
    // The entry still open belongs to the old row: commit it, then close it.
    EndEdit();
    HideEditor();
    if (!validRow(row)) {
        m_prevRow = m_curRow;
        m_curRow = -1;
        update();
        return;
    }
    if (m_rows[row].editable == 0 || m_rows[row].separator)
        return;
    if (!m_edit)
        return;
    m_curRow = row;
    QRect rect = valueRect(row);
    const Row &r = m_rows[row];
    if (r.type == 2) {
        rect.translate(1, -1);
        fillCombo(m_list, true);
        m_list->setGeometry(rect);
        m_editor = m_list;
    } else if (r.type == 3) {
        rect.adjust(-1, 0, -1, 0);
        fillCombo(m_combo, false);
        m_combo->setGeometry(rect);
        TextLimit::Hold(m_combo, 0);
        m_combo->setEditText(r.text);
        // A longer text the program put there shows whole, to be shortened.
        TextLimit::Hold(m_combo, r.text.size() <= r.textLimit ? r.textLimit : 0);
        m_combo->lineEdit()->selectAll();
        m_editor = m_combo;
    } else {
        rect.adjust(0, 1, -1, 0);
        if ((r.type == 7 || r.type == 6) && rect.width() > 80)
            rect.setWidth(r.type == 7 ? 64 : 32);
        m_edit->setGeometry(rect);
        m_edit->setEchoMode(r.masked ? QLineEdit::Password : QLineEdit::Normal);
        TextLimit::Hold(m_edit, 0);
        m_edit->setText(r.text);
        TextLimit::Hold(m_edit, r.type == 1 && r.text.size() <= r.textLimit ? r.textLimit : 0);
        m_edit->selectAll();
        m_editor = m_edit;
    }
    m_editor->show();
    m_editor->raise();
    m_editor->setFocus(Qt::OtherFocusReason);
    if (dropDown && (m_editor == m_list || m_editor == m_combo))
        static_cast<QComboBox *>(m_editor)->showPopup();
    update();
    sendToOwner(MSG_ROW_ENTERED, qintptr(controlId()), qintptr(row));
}

QString CXGridProp::editorText() const
{
    if (m_editor == m_edit)
        return m_edit->text();
    if (m_editor == m_list)
        return m_list->currentText();
    if (m_editor == m_combo)
        return m_combo->currentText();
    return QString();
}

void CXGridProp::EndEdit()
{
    if (m_committing || !validRow(m_curRow) || !m_editor || m_rows[m_curRow].type == 0)
        return;
    m_committing = true;
    Row &r = m_rows[m_curRow];
    const QString text = editorText();
    bool changed = false;
    if (text != r.text) {
        if (r.type == 2) {
            // A list without a chosen entry leaves the row as it was.
            if (m_list->currentIndex() >= 0) {
                r.text = text;
                const int value = m_list->currentData().toInt();
                changed = value != r.value;
                r.value = value;
            }
        } else if (r.type >= 4) {
            m_typed->SetType(r.lookup, int(r.type));
            if (r.notNegative)
                m_typed->SetNotNegative();
            m_typed->SetValue(r.value, 255);
            m_typed->SetFieldName(QString(r.label).remove(QLatin1Char('&')).simplified());
            m_typed->SetText(text);
            const int kind = m_typed->kind();
            if (kind == CXEdit::Plain || kind == CXEdit::Date) {
                changed = true;
                r.text = m_typed->shownText();
            } else if (m_typed->refused()) {
                // The editor has said why, naming the row; the value stays.
                refreshText(m_curRow);
                if (m_editor == m_edit)
                    m_edit->setText(r.text);
                m_committing = false;
                update();
                return;
            } else {
                const int value = int(m_typed->GetValue());
                changed = value != r.value;
                r.value = value;
                refreshText(m_curRow);
            }
        } else {
            r.text = text;
            changed = true;
        }
        if (m_editor == m_edit)
            m_edit->setText(r.text);
    }
    m_committing = false;
    if (changed) {
        m_modified = 1;
        sendToOwner(MSG_VALUE_CHANGED, qintptr(controlId()), qintptr(m_curRow));
    }
    update();
}

void CXGridProp::RestoreEdit()
{
    if (m_saveMode == 0 && validRow(m_prevRow))
        EditRow(m_prevRow);
}

// --- exchange ------------------------------------------------------------------------

void CXGridProp::SetSaveMode(int mode)
{
    // Saving takes the entry still open in the editor first.
    if (mode != 0)
        EndEdit();
    m_saveMode = mode;
    if (mode == 0)
        EditRow(-1);
}

void CXGridProp::ExchangeText(int row, QString &value)
{
    if (!validRow(row))
        return;
    if (m_saveMode) {
        QString text = m_rows[row].text;
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        value = text;
    } else {
        m_rows[row].text = value;
        update();
    }
}

void CXGridProp::ExchangeByte(int row, std::uint8_t &value, CXDaoSet *set)
{
    if (!validRow(row))
        return;
    if (m_saveMode) {
        value = std::uint8_t(m_rows[row].value);
    } else if (set && set->IsFieldNull(&value)) {
        m_rows[row].value = 0;
        m_rows[row].text.clear();
        update();
    } else {
        m_rows[row].value = value;
        refreshText(row);
        update();
    }
}

void CXGridProp::ExchangeLong(int row, qint32 &value, CXDaoSet *set)
{
    if (!validRow(row))
        return;
    if (m_saveMode) {
        value = m_rows[row].value;
    } else if (set && set->IsFieldNull(&value)) {
        m_rows[row].value = 0;
        m_rows[row].text.clear();
        update();
    } else {
        m_rows[row].value = value;
        refreshText(row);
        update();
    }
}

// --- mouse and keys ------------------------------------------------------------------

int CXGridProp::rowAt(const QPoint &pos) const
{
    if (pos.y() < 0 || pos.x() < 0 || pos.x() >= m_client.width())
        return -1;
    const int row = m_firstVisible + pos.y() / m_rowHeight;
    const int last = std::min(m_firstVisible + m_visibleRows - 1, int(m_rows.size()) - 1);
    return row <= last ? row : -1;
}

bool CXGridProp::commandAt(int row, const QPoint &pos) const
{
    if (!validRow(row) || m_rows[row].command == 0)
        return false;
    return m_rows[row].type == 0 || pos.x() < m_labelWidth;
}

void CXGridProp::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const int row = rowAt(pos);
    if (row < 0 || event->button() != Qt::LeftButton) {
        CXWnd::mouseReleaseEvent(event);
        return;
    }
    EditRow(row, pos.x() >= width() - 20);
    if (commandAt(row, pos))
        postCommand(int(m_rows[row].command));
}

void CXGridProp::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const int row = rowAt(pos);
    const bool command = commandAt(row, pos);
    setCursor(command ? Qt::PointingHandCursor : Qt::ArrowCursor);
    const int hover = command ? row : -1;
    if (hover != m_hoverRow) {
        m_hoverRow = hover;
        update();
    }
}

void CXGridProp::leaveEvent(QEvent *event)
{
    CXWnd::leaveEvent(event);
    if (m_hoverRow != -1) {
        m_hoverRow = -1;
        update();
    }
}

void CXGridProp::moveTo(int target)
{
    if (target < m_firstVisible)
        m_firstVisible = target;
    else if (target > m_firstVisible + m_visibleRows - 1)
        m_firstVisible = std::max(0, target - m_visibleRows + 1);
    if (verticalScrollBar())
        verticalScrollBar()->setValue(m_firstVisible);
    EditRow(target);
}

bool CXGridProp::handleKey(QKeyEvent *event)
{
    if (m_list && m_list->view() && m_list->view()->isVisible())
        return false;
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->modifiers() & Qt::ControlModifier)
            return false;
        step = (event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier)) ? -1 : 1;
        break;
    case Qt::Key_Up: step = -1; break;
    case Qt::Key_Down: step = 1; break;
    default: return false;
    }
    int target = m_curRow + step;
    while (validRow(target) && m_rows[target].editable == 0)
        target += step;
    if (!validRow(target))
        target = m_curRow;
    moveTo(target);
    return true;
}

bool CXGridProp::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent *>(event)))
        return true;
    if (event->type() == QEvent::FocusOut && m_editor &&
        (watched == m_editor || (m_editor == m_combo && watched == m_combo->lineEdit()))) {
        // Leaving the editor commits it, unless focus only went to its own list.
        auto *focus = static_cast<QFocusEvent *>(event);
        if (focus->reason() != Qt::PopupFocusReason)
            EndEdit();
    }
    return CXWnd::eventFilter(watched, event);
}

void CXGridProp::keyPressEvent(QKeyEvent *event)
{
    if (!handleKey(event))
        CXWnd::keyPressEvent(event);
}

void CXGridProp::OnVScroll(int code, int pos)
{
    if (ScrollVert(code, pos, &m_firstVisible)) {
        EndEdit();
        HideEditor();
    }
}

// --- drawing ---------------------------------------------------------------------------

void CXGridProp::Draw()
{
    FillBackground(m_client, m_background);
    m_lastVisible = m_firstVisible + m_visibleRows - 1;
    const int last = std::min(m_lastVisible, int(m_rows.size()) - 1);
    Appearance &appearance = Appearance::instance();
    const ImageList *images = appearance.GetImageList(131);
    for (int row = m_firstVisible; row <= last; ++row) {
        const Row &r = m_rows[row];
        if (r.label.isEmpty())
            continue;
        const int top = (row - m_firstVisible) * m_rowHeight;
        const bool hover = row == m_hoverRow;
        const std::uint8_t colour = r.colour ? r.colour : m_rowColour;
        if (r.type == 0) {
            QRect rect(0, top, m_client.width(), m_rowHeight);
            if (r.style == 0)
                rect.adjust(1, 1, -1, 0);
            else
                rect.setHeight(rect.height() + 1);
            const std::uint8_t back = hover ? kHoverColour : colour;
            FillBackground(rect, back);
            DrawBorder(rect, r.style, back);
            QRect textRect = rect;
            if (r.image != 255 && images) {
                DrawImage(rect.adjusted(2, 0, 0, 0), 131, r.image, DT_VCENTER, 0);
                textRect.setLeft(rect.left() + 2 + 3 + images->iconSize().width());
            }
            const ColorRef ink = (IsDarkStyleColor(colour) && !hover) ? m_colors[0] : m_colors[5];
            DrawText(textRect, r.label, kRowText, ink, r.font, r.image != 255 ? 2 : m_labelIndent);
            continue;
        }
        const QRect labelCell(1, top + 1, m_labelWidth - 2, m_rowHeight - 1);
        FillBackground(labelCell, hover ? kHoverColour : colour);
        if (r.image != 255)
            DrawImage(labelCell.adjusted(1, 0, 0, 0), 131, r.image, DT_VCENTER, 0);
        const ColorRef ink = r.font == 8 ? m_colors[3] : 0x000000;
        DrawText(labelCell.adjusted(-1, 0, 0, 0), r.label, kRowText, ink, r.font, m_labelIndent);
        QRect valueCell(m_labelWidth, top + 1, std::min(m_valueWidth, m_client.width() - m_labelWidth) - 1,
                        m_rowHeight - 1);
        FillBackground(valueCell, r.editable && !r.separator ? std::uint8_t(1) : colour);
        QRect textRect = valueCell;
        if (r.type == 2 || r.type == 3) {
            QRect arrow = valueCell;
            DrawArrow(arrow, 4, DT_RIGHT, true);
            textRect.setRight(textRect.right() - 10);
        }
        if (!r.separator)
            DrawText(textRect, r.masked ? QString(r.text.size(), QChar(0x2022)) : r.text, kRowText, ink, r.font, 3);
    }
    DrawBorder(m_client, m_frameStyle, m_background);
}

void CXGridProp::SetRowMasked(int row, bool masked)
{
    if (!validRow(row))
        return;
    m_rows[row].masked = masked;
    update();
}

void CXGridProp::SetRowLabel(int row, const QString &label)
{
    if (!validRow(row) || m_rows[row].label == label)
        return;
    m_rows[row].label = label;
    update();
}

QString CXGridProp::rowLabel(int row) const
{
    return validRow(row) ? m_rows[row].label : QString();
}
