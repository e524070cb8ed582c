#include "app/base/DialogControls.h"

#include "resources/Strings.h"

#include <QtCore/QRegularExpression>
#include <QtCore/QVariant>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateTimeEdit>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>

namespace {

const char *const kControlIdProperty = "controlId";

QComboBox *comboOf(QWidget *dialog, int id)
{
    return qobject_cast<QComboBox *>(GetDlgItem(dialog, unsigned(id)));
}

QListWidget *listOf(QWidget *dialog, int id)
{
    return qobject_cast<QListWidget *>(GetDlgItem(dialog, unsigned(id)));
}

} // namespace

void SetDlgCtrlID(QWidget *control, unsigned id)
{
    if (control)
        control->setProperty(kControlIdProperty, id);
}

unsigned GetDlgCtrlID(const QWidget *control)
{
    if (!control)
        return 0;
    const QVariant id = control->property(kControlIdProperty);
    return id.isValid() ? id.toUInt() : 0;
}

QWidget *GetDlgItem(const QWidget *dialog, unsigned id)
{
    if (!dialog || id == 0)
        return nullptr;
    const auto children = dialog->findChildren<QWidget *>();
    for (QWidget *child : children)
        if (GetDlgCtrlID(child) == id)
            return child;
    return nullptr;
}

bool IsListBoxControlId(int id)
{
    return id >= 1401 && id <= 1409;
}

int AddComboItem(QComboBox *combo, const QString &text, qint32 data)
{
    if (!combo)
        return -1;
    combo->addItem(text, QVariant(data));
    return combo->count() - 1;
}

int AddListBoxItem(QListWidget *list, const QString &text, qint32 data)
{
    if (!list)
        return -1;
    auto *item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, QVariant(data));
    list->addItem(item); // a sorted list puts it in its place
    return list->row(item);
}

int AddDlgListItem(QWidget *dialog, int id, const QString &text, qint32 data)
{
    if (IsListBoxControlId(id))
        return AddListBoxItem(listOf(dialog, id), text, data);
    return AddComboItem(comboOf(dialog, id), text, data);
}

int SelectComboByData(QComboBox *combo, qint32 data)
{
    if (!combo)
        return -1;
    for (int i = 0; i < combo->count(); ++i) {
        const QVariant v = combo->itemData(i);
        if (v.isValid() && v.toInt() == data) {
            combo->setCurrentIndex(i);
            return i;
        }
    }
    combo->setCurrentIndex(-1);
    return -1;
}

int SelectListBoxByData(QListWidget *list, qint32 data)
{
    if (!list)
        return -1;
    const bool several = list->selectionMode() == QAbstractItemView::ExtendedSelection
        || list->selectionMode() == QAbstractItemView::MultiSelection;
    for (int i = 0; i < list->count(); ++i) {
        const QVariant v = list->item(i)->data(Qt::UserRole);
        if (v.isValid() && v.toInt() == data) {
            if (several)
                list->item(i)->setSelected(true);
            else
                list->setCurrentRow(i);
            return i;
        }
    }
    list->clearSelection();
    if (!several)
        list->setCurrentRow(-1);
    return -1;
}

void FillListFromText(QComboBox *combo, QListWidget *list, int stringId, QString text, int first, int last)
{
    if (stringId != 0)
        text = LoadResourceString(stringId);
    if ((!combo && !list) || text.isEmpty())
        return;
    int index = -1;
    int from = 0;
    for (;;) {
        const int comma = text.indexOf(QLatin1Char(','), from);
        if (comma < 0)
            return;
        ++index;
        if (index >= first) {
            if (first < last && index > last)
                return;
            const QString item = text.mid(from, comma - from);
            if (combo)
                AddComboItem(combo, item, index - first);
            else
                AddListBoxItem(list, item, index - first);
        }
        from = comma + 1;
    }
}

void FillDlgListFromText(QWidget *dialog, int id, const QString &text)
{
    if (IsListBoxControlId(id))
        FillListFromText(nullptr, listOf(dialog, id), 0, text, 0, 0x7FFFFFFF);
    else
        FillListFromText(comboOf(dialog, id), nullptr, 0, text, 0, 0x7FFFFFFF);
}

void FillListBoxFromResource(QListWidget *list, int stringId, int first, int last)
{
    FillListFromText(nullptr, list, stringId, QString(), first, last);
}

void FillComboFromResource(QComboBox *combo, int stringId, int first, int last)
{
    FillListFromText(combo, nullptr, stringId, QString(), first, last);
}

void FillDlgListFromResource(QWidget *dialog, int id, int stringId, int first, int last)
{
    if (IsListBoxControlId(id))
        FillListBoxFromResource(listOf(dialog, id), stringId, first, last);
    else
        FillComboFromResource(comboOf(dialog, id), stringId, first, last);
}

void FillDlgNumberList(QWidget *dialog, int id, int from, int to, const QString &prefix, const QString &suffix,
                       qint32 firstData)
{
    const int step = from < to ? 1 : -1;
    qint32 data = firstData == 0 ? from : firstData;
    for (int n = from;; n += step) {
        AddDlgListItem(dialog, id, prefix + QString::number(n) + suffix, data++);
        if (n == to)
            break;
    }
}

void FillTimeList(QWidget *dialog, int id, int firstHour, int lastHour, int stepMinutes)
{
    QComboBox *combo = comboOf(dialog, id);
    if (!combo)
        return;
    if (stepMinutes < 1 || stepMinutes == 60) {
        for (int h = firstHour; h <= lastHour; ++h) {
            if (h == 12)
                combo->addItem(QStringLiteral("Noon"));
            else if (h < 12)
                combo->addItem(QStringLiteral("%1 am").arg(h));
            else
                combo->addItem(QStringLiteral("%1 pm").arg(h - 12));
        }
        return;
    }
    for (int m = firstHour * 60; m <= lastHour * 60; m += stepMinutes)
        combo->addItem(QString::asprintf("%02d:%02d", (m / 60) % 24, m % 60));
}

QString FitTimeText(const QString &text, int maxLength)
{
    if (text.size() <= maxLength)
        return text;
    const QString typed = text.trimmed();
    int minutes = -1;
    if (typed.compare(QLatin1String("noon"), Qt::CaseInsensitive) == 0) {
        minutes = 12 * 60;
    } else {
        static const QRegularExpression time(
            QStringLiteral("^(\\d{1,2})(?:[:.](\\d{2}))?\\s*(?:([ap])\\.?\\s*m?\\.?)?$"),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = time.match(typed);
        if (m.hasMatch()) {
            int hour = m.captured(1).toInt();
            const int minute = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt();
            const QString half = m.captured(3).toLower();
            const bool valid = minute < 60 && (half.isEmpty() ? hour < 24 : hour >= 1 && hour <= 12)
                               && (!half.isEmpty() || !m.captured(2).isEmpty());
            if (valid) {
                if (half == QLatin1String("a") && hour == 12)
                    hour = 0;
                else if (half == QLatin1String("p") && hour < 12)
                    hour += 12;
                minutes = hour * 60 + minute;
            }
        }
    }
    if (minutes < 0)
        return text;
    const int hour = minutes / 60;
    QString fitted;
    if (minutes % 60 != 0 || hour == 0)
        fitted = QString::asprintf("%02d:%02d", hour, minutes % 60);
    else if (hour == 12)
        fitted = QStringLiteral("Noon");
    else if (hour < 12)
        fitted = QStringLiteral("%1 am").arg(hour);
    else
        fitted = QStringLiteral("%1 pm").arg(hour - 12);
    return fitted.size() <= maxLength ? fitted : text;
}

void MoveDlgItem(QWidget *dialog, int id, int dx, int dy, int dw, int dh)
{
    QWidget *control = GetDlgItem(dialog, unsigned(id));
    if (!control)
        return;
    const QRect r = control->geometry();
    control->setGeometry(r.x() + dx, r.y() + dy, r.width() + dw, r.height() + dh);
    control->update();
}

void AlignWindowTo(QWidget *anchor, QWidget *window, int anchorFlags, int ownFlags, int dx, int dy)
{
    if (!anchor || !window)
        return;
    const QPoint anchorTopLeft = anchor->mapToGlobal(QPoint(0, 0));
    int x = anchorTopLeft.x() + ((anchorFlags & AlignRightEdge) ? anchor->width() : 0);
    int y = anchorTopLeft.y() + ((anchorFlags & AlignBottomEdge) ? anchor->height() : 0);
    if (ownFlags & AlignRightEdge)
        x -= window->width();
    if (ownFlags & AlignBottomEdge)
        y -= window->height();
    QPoint target(x + dx, y + dy);
    if (!window->isWindow() && window->parentWidget())
        target = window->parentWidget()->mapFromGlobal(target);
    window->move(target);
    window->update();
}

void SetDateTimeCtrlTime(QDateTimeEdit *picker, const DateTime &value)
{
    if (!picker || !value.isValid())
        return;
    picker->setDateTime(value.toDateTime());
}

void SetDlgItemTime(QWidget *dialog, int id, const DateTime &value)
{
    SetDateTimeCtrlTime(qobject_cast<QDateTimeEdit *>(GetDlgItem(dialog, unsigned(id))), value);
}

bool IsEditCaretPastStart(const QLineEdit *edit)
{
    if (!edit)
        return false;
    return (edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition()) > 0;
}

int IsNavigationKey(int key, int defaultValue)
{
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return defaultValue;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return 1;
    default:
        return 0;
    }
}

bool IsKeyDown(int key)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
    switch (key) {
    case Qt::Key_Shift: return held.testFlag(Qt::ShiftModifier);
    case Qt::Key_Control: return held.testFlag(Qt::ControlModifier);
    case Qt::Key_Alt: return held.testFlag(Qt::AltModifier);
    default: return false;
    }
}
