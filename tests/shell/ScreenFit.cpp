#include "ScreenFit.h"

#include "app/base/Appearance.h"
#include "controls/CXRibbon.h"
#include "controls/DrawTextFormat.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QAbstractScrollArea>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QStyle>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QToolButton>

namespace {

// A pixel either way is antialiasing, not a cut.
constexpr int kSlack = 1;

QString withoutMnemonic(QString text)
{
    text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

// The widget by its class, name and the chain of its parents' classes.
QString describe(const QWidget *widget, const QWidget *window)
{
    QStringList chain;
    for (const QWidget *w = widget; w && w != window; w = w->parentWidget())
        chain.prepend(QString::fromLatin1(w->metaObject()->className()) +
                      (w->objectName().isEmpty() ? QString() : QLatin1Char('#') + w->objectName()));
    chain.prepend(window->windowTitle().isEmpty() ? QString::fromLatin1(window->metaObject()->className())
                                                  : window->windowTitle());
    return chain.join(QLatin1String(" > "));
}

QString cut(const QWidget *widget, const QWidget *window, const QString &text, QSize room, QSize needed)
{
    return QStringLiteral("%1: \"%2\" has %3 x %4, needs %5 x %6")
        .arg(describe(widget, window), text)
        .arg(room.width())
        .arg(room.height())
        .arg(needed.width())
        .arg(needed.height());
}

bool tooSmall(QSize room, QSize needed)
{
    return needed.width() > room.width() + kSlack || needed.height() > room.height() + kSlack;
}

// The text's size in a font: lines by line feeds, tabs expanded.
QSize textSize(const QFontMetrics &metrics, const QString &text)
{
    return metrics.boundingRect(QRect(0, 0, 100000, 100000), Qt::TextExpandTabs, text).size();
}

// Inside a scrolled area the room is the content's, not what shows.
bool inScrolledArea(const QWidget *widget, const QWidget *window)
{
    for (const QWidget *w = widget->parentWidget(); w && w != window; w = w->parentWidget())
        if (qobject_cast<const QAbstractScrollArea *>(w))
            return true;
    return false;
}

void checkLabel(const QLabel &label, const QWidget *window, QStringList &cuts)
{
    if (label.text().trimmed().isEmpty() || label.textFormat() == Qt::RichText || Qt::mightBeRichText(label.text()))
        return;
    const QRect room = label.contentsRect().adjusted(label.margin(), label.margin(), -label.margin(), -label.margin());
    const QString text = label.buddy() ? withoutMnemonic(label.text()) : label.text();
    if (label.wordWrap()) {
        const int needed = label.heightForWidth(label.width());
        if (needed > label.height() + kSlack)
            cuts << cut(&label, window, text, label.size(), QSize(label.width(), needed));
        return;
    }
    const QSize needed = textSize(label.fontMetrics(), text);
    if (needed.width() > room.width() + kSlack || label.fontMetrics().capHeight() > room.height())
        cuts << cut(&label, window, text, room.size(), needed);
}

void checkButton(const QAbstractButton &button, const QWidget *window, QStringList &cuts)
{
    const QString text = withoutMnemonic(button.text());
    if (text.trimmed().isEmpty())
        return;
    if (const auto *tool = qobject_cast<const QToolButton *>(&button); tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
        return;
    const QStyle *style = button.style();
    QSize needed = textSize(button.fontMetrics(), text);
    const int icon = button.icon().isNull() ? 0 : button.iconSize().width() + 4;
    if (qobject_cast<const QCheckBox *>(&button))
        needed.rwidth() += style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &button) +
                           style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &button) + icon;
    else if (qobject_cast<const QRadioButton *>(&button))
        needed.rwidth() += style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, &button) +
                           style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, &button) + icon;
    else
        needed.rwidth() += icon + 4; // the frame's two pixels a side
    if (tooSmall(button.size(), needed))
        cuts << cut(&button, window, text, button.size(), needed);
}

void checkHeader(const QHeaderView &header, const QWidget *window, QStringList &cuts)
{
    const QAbstractItemModel *model = header.model();
    if (!model)
        return;
    const int margin = header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
    const int count = header.count();
    for (int logical = 0; logical < count; ++logical) {
        if (header.isSectionHidden(logical) || header.sectionSize(logical) <= 0)
            continue;
        const QString text = model->headerData(logical, header.orientation(), Qt::DisplayRole).toString();
        if (text.trimmed().isEmpty())
            continue;
        QFont font = header.font();
        if (const QVariant f = model->headerData(logical, header.orientation(), Qt::FontRole); f.isValid())
            font = f.value<QFont>();
        QSize needed = textSize(QFontMetrics(font), text);
        needed.rwidth() += 2 * margin;
        if (!model->headerData(logical, header.orientation(), Qt::DecorationRole).isNull())
            needed.rwidth() += header.style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, &header) + margin;
        const QSize room = header.orientation() == Qt::Horizontal ? QSize(header.sectionSize(logical), header.height())
                                                                  : QSize(header.width(), header.sectionSize(logical));
        if (tooSmall(room, needed))
            cuts << cut(&header, window, text, room, needed);
    }
}

// The cells of the rows in view, each against its column: a text drawn
// short is cut even when its tip repeats it.
void checkCells(const QAbstractItemView &view, const QWidget *window, QStringList &cuts)
{
    const QAbstractItemModel *model = view.model();
    if (!model || qobject_cast<const QHeaderView *>(&view))
        return;
    const QRect shown = view.viewport()->rect();
    const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
    const int columns = model->columnCount(view.rootIndex());
    int checked = 0;
    for (QModelIndex row = view.indexAt(QPoint(1, 1)); row.isValid() && checked < 60; ++checked) {
        QRect rowRect;
        for (int column = 0; column < columns; ++column) {
            const QModelIndex index = row.siblingAtColumn(column);
            const QRect rect = view.visualRect(index);
            if (rect.isEmpty())
                continue;
            rowRect = rowRect.united(rect);
            const QString text = index.data(Qt::DisplayRole).toString();
            if (text.trimmed().isEmpty() || text.contains(QLatin1Char('\n')))
                continue;
            QFont font = view.font();
            if (const QVariant f = index.data(Qt::FontRole); f.isValid())
                font = f.value<QFont>();
            // Tabs as an item view draws them, at stops every 80 pixels.
            const QFontMetrics metrics(font);
            int needed = (text.contains(QLatin1Char('\t'))
                              ? metrics.boundingRect(QRect(0, 0, 1000000, 1000),
                                                     Qt::TextExpandTabs | Qt::TextSingleLine, text, 80)
                                    .width()
                              : metrics.horizontalAdvance(text)) +
                         2 * margin;
            if (!index.data(Qt::DecorationRole).isNull())
                needed += view.iconSize().isValid() ? view.iconSize().width() + 4
                                                    : view.style()->pixelMetric(QStyle::PM_SmallIconSize) + 4;
            // The room the view's own drawing asks for the cell, when more.
            needed = std::max(needed, view.sizeHintForIndex(index).width());
            if (needed > rect.width() + kSlack)
                cuts << cut(&view, window, text, rect.size(), QSize(needed, rect.height()));
        }
        if (rowRect.isEmpty() || rowRect.bottom() >= shown.bottom())
            break;
        const QModelIndex next = view.indexAt(QPoint(1, rowRect.bottom() + 2));
        if (!next.isValid() || next == row)
            break;
        row = next;
    }
}

// The program's ribbons, measured here as well as where they draw: a text
// of a one-line item (a bar's caption or status, without a picture) wider
// than the item, which the ribbon squeezes into two small lines; and a line
// of a panel's tabbed table ("Due\t12/09/2026   4:30 PM") wider than the
// panel, which wraps in two.
void checkRibbon(const CXRibbon &ribbon, const QWidget *window, QStringList &cuts)
{
    constexpr int kIndent = 3;
    Appearance &look = Appearance::instance();
    // A command a window's bar has no room for is out of sight behind its
    // overflow button. (The main window's command bar keeps the commands of
    // the busier views there by design.)
    for (unsigned id : window->inherits("QDialog") ? ribbon.overflowIds() : QList<unsigned>()) {
        QString caption;
        for (int i = 0; i < ribbon.GetItemCount(); ++i)
            if (ribbon.itemAt(i).id == id)
                caption = ribbon.itemAt(i).caption;
        cuts << QStringLiteral("%1: \"%2\" is behind the bar's overflow button at %3 of %4")
                    .arg(describe(&ribbon, window), caption.isEmpty() ? QString::number(id) : caption)
                    .arg(ribbon.overflowRect().left())
                    .arg(ribbon.width());
    }
    for (int i = 0; i < ribbon.GetItemCount(); ++i) {
        const struct_RIB_ITEM &item = ribbon.itemAt(i);
        if (item.state == struct_RIB_ITEM::Hidden || item.id == 0)
            continue;
        const QRect rect = ribbon.itemRect(item.id);
        if (rect.isEmpty() || rect.right() > ribbon.width())
            continue;
        if (ribbon.barStyle() == 4) {
            if (!item.text2.contains(QLatin1Char('\t')))
                continue;
            const QFontMetrics panel(look.GetFont(look.fontSize() >= 90 ? 1 : 2));
            const int room = rect.width() - 2 - 2 * kIndent;
            for (const QString &line : item.text2.split(QLatin1Char('\n'))) {
                const int needed = panel.boundingRect(QRect(0, 0, 100000, 1000), Qt::TextExpandTabs | Qt::TextSingleLine,
                                                      line, 8 * panel.averageCharWidth())
                                       .width();
                if (needed > room + kSlack)
                    cuts << cut(&ribbon, window, line, QSize(room, rect.height()), QSize(needed, rect.height()));
            }
            continue;
        }
        const QFontMetrics metrics(look.GetFont(item.font));
        if (!(item.format & DT_SINGLELINE) || item.image != 0 || item.imageIndex != 255 ||
            item.caption.trimmed().isEmpty() || item.caption.contains(QLatin1Char('\n')) ||
            rect.height() >= 2 * metrics.height() + 4)
            continue;
        const int room = rect.width() - 2 * kIndent;
        const int needed = metrics.horizontalAdvance(item.caption);
        if (needed > room + kSlack)
            cuts << cut(&ribbon, window, item.caption, QSize(room, rect.height()), QSize(needed, rect.height()));
    }
}

void checkWidget(QWidget *widget, const QWidget *window, QStringList &cuts)
{
    if (const auto *ribbon = qobject_cast<const CXRibbon *>(widget))
        checkRibbon(*ribbon, window, cuts);
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        checkLabel(*label, window, cuts);
    } else if (const auto *button = qobject_cast<const QAbstractButton *>(widget)) {
        checkButton(*button, window, cuts);
    } else if (const auto *group = qobject_cast<const QGroupBox *>(widget)) {
        const QString title = withoutMnemonic(group->title());
        const int needed = group->fontMetrics().horizontalAdvance(title) + (group->isCheckable() ? 24 : 12);
        if (!title.isEmpty() && needed > group->width() + kSlack)
            cuts << cut(group, window, title, group->size(), QSize(needed, group->height()));
    } else if (const auto *header = qobject_cast<const QHeaderView *>(widget)) {
        checkHeader(*header, window, cuts);
    } else if (const auto *view = qobject_cast<const QAbstractItemView *>(widget)) {
        checkCells(*view, window, cuts);
    } else if (const auto *edit = qobject_cast<const QLineEdit *>(widget)) {
        // A hint longer than its edit is the edit's tip too.
        const QString hint = edit->placeholderText();
        if (!hint.isEmpty() && edit->text().isEmpty() && edit->toolTip() != hint) {
            const int needed = edit->fontMetrics().horizontalAdvance(hint) + 8;
            if (needed > edit->width() + kSlack)
                cuts << cut(edit, window, hint, edit->size(), QSize(needed, edit->height()));
        }
    } else if (const auto *combo = qobject_cast<const QComboBox *>(widget)) {
        const QString text = combo->currentText();
        const int arrow = combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, combo);
        const int needed = combo->fontMetrics().horizontalAdvance(text) + arrow + 6;
        if (!text.trimmed().isEmpty() && !combo->isEditable() && needed > combo->width() + kSlack)
            cuts << cut(combo, window, text, combo->size(), QSize(needed, combo->height()));
    } else if (const auto *tabs = qobject_cast<const QTabBar *>(widget)) {
        for (int i = 0; i < tabs->count(); ++i) {
            const QString text = withoutMnemonic(tabs->tabText(i));
            const int needed = tabs->fontMetrics().horizontalAdvance(text) + 8;
            if (tabs->isTabVisible(i) && needed > tabs->tabRect(i).width() + kSlack)
                cuts << cut(tabs, window, text, tabs->tabRect(i).size(), QSize(needed, tabs->height()));
        }
    }
}

// A widget with something to show that reaches past its parent's edge is cut
// by it (inside a scrolled area the content may reach out of view).
void checkPlace(QWidget *widget, const QWidget *window, QStringList &cuts)
{
    QWidget *parent = widget->parentWidget();
    if (!parent || inScrolledArea(widget, window) || qobject_cast<QScrollBar *>(widget) ||
        qobject_cast<QAbstractScrollArea *>(parent))
        return;
    const QRect place = widget->geometry();
    const QRect room = parent->rect();
    if (place.isEmpty() || room.contains(place))
        return;
    const QRect inside = place.intersected(room);
    if (place.right() <= room.right() + kSlack && place.bottom() <= room.bottom() + kSlack && place.left() >= -kSlack &&
        place.top() >= -kSlack)
        return;
    // Frames and empty panels reaching out cut nothing a user reads.
    QString text;
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        text = label->text();
        // A label wider than its text cuts nothing while its text is inside.
        if (!label->wordWrap() && (label->alignment() & Qt::AlignLeft) && place.top() >= 0 &&
            place.bottom() <= room.bottom() + kSlack &&
            place.left() + label->contentsMargins().left() + textSize(label->fontMetrics(), text).width() <=
                room.right() + kSlack)
            return;
    }
    else if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        text = withoutMnemonic(button->text());
    else if (widget->inherits("CXWnd"))
        text = widget->windowTitle().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                               : widget->windowTitle();
    if (text.trimmed().isEmpty() && !qobject_cast<QAbstractItemView *>(widget) && !widget->inherits("CXWnd"))
        return;
    cuts << cut(widget, window, text.isEmpty() ? QStringLiteral("(its texts)") : text, inside.size(), place.size());
}

} // namespace

QSize SmallestScreenRoom()
{
    // A title bar and borders as a desktop's window manager draws them.
    return QSize(1024 - 16, 768 - 40);
}

QString OversizeWindow(const QWidget *window)
{
    const QSize room = SmallestScreenRoom();
    const QSize size = window->size();
    if (size.width() <= room.width() && size.height() <= room.height())
        return QString();
    return QStringLiteral("%1: the window is %2 x %3, the screen has room for %4 x %5")
        .arg(window->windowTitle().isEmpty() ? QString::fromLatin1(window->metaObject()->className())
                                             : window->windowTitle())
        .arg(size.width())
        .arg(size.height())
        .arg(room.width())
        .arg(room.height());
}

QStringList CutTexts(QWidget *window)
{
    QStringList cuts;
    QApplication::processEvents();
    // The program's own controls tell which of their texts they draw short.
    SetCutTextObserver([&](QPainter &painter, const QRect &rect, const QString &text, const QSize &needed) {
        const QWidget *widget = dynamic_cast<const QWidget *>(painter.device());
        if (!widget || !widget->isVisibleTo(window))
            return;
        // Painted parts of a scrolled area out of view are not read.
        if (const auto *area = qobject_cast<const QAbstractScrollArea *>(widget->parentWidget());
            area && widget == area->viewport() && !widget->rect().intersects(rect))
            return;
        cuts << cut(widget, window, QString(text).replace(QLatin1Char('\n'), QLatin1String("\\n")), rect.size(),
                    needed);
    });
    window->grab();
    SetCutTextObserver(nullptr);
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->isWindow() || !widget->isVisibleTo(window))
            continue;
        checkWidget(widget, window, cuts);
        checkPlace(widget, window, cuts);
    }
    cuts.removeDuplicates();
    return cuts;
}
