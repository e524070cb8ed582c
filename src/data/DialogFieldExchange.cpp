#include "data/DialogFieldExchange.h"

#include "app/base/MoneyText.h"
#include "app/base/TypedValue.h"
#include "data/CXDaoSet.h"
#include "data/DataExchange.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QCalendarWidget>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateTimeEdit>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>

#include <vector>

namespace {

const QString kNoCharge = QStringLiteral("No Charge");

// Dates a picker can show: those the system's own date-time value can hold.
bool convertsToSystemTime(const DateTime &date)
{
    const QDate d = date.date();
    return d.isValid() && d.year() >= 1601 && d.year() <= 30827;
}

void selectListByData(QListWidget *list, qint32 data)
{
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem *item = list->item(i);
        if (item->data(Qt::UserRole).toInt() != data)
            continue;
        if (list->selectionMode() == QAbstractItemView::MultiSelection
            || list->selectionMode() == QAbstractItemView::ExtendedSelection)
            item->setSelected(true);
        else
            list->setCurrentRow(i);
        return;
    }
    list->clearSelection();
    list->setCurrentRow(-1);
}

bool selectedListData(QListWidget *list, qint32 &data)
{
    const QList<QListWidgetItem *> selected = list->selectedItems();
    QListWidgetItem *item = !selected.isEmpty() ? selected.first() : nullptr;
    if (!item)
        return false;
    data = item->data(Qt::UserRole).toInt();
    return true;
}

void loadPicker(QDateTimeEdit *picker, const DateTime &value, bool show)
{
    // Day 0 (12/30/1899) is what an empty date field holds: no date.
    if (show && value.isValid() && value.toOle() != 0 && convertsToSystemTime(value)
        && value.date() >= picker->minimumDate() && value.date() <= picker->maximumDate()) {
        // A picker showing a date can still be emptied.
        MakePickerClearable(picker);
        picker->setDateTime(QDateTime(value.date(), QTime(0, 0)));
        return;
    }
    SetPickerNoDate(picker);
}

enum class PickerState { Date, NoDate, Error };

PickerState readPicker(QDateTimeEdit *picker, DateTime &out)
{
    // A date still being typed is read first; a refused one leaves the old date.
    if (picker->metaObject()->indexOfMethod("commitTyping()") >= 0)
        QMetaObject::invokeMethod(picker, "commitTyping", Qt::DirectConnection);
    if (PickerShowsNoDate(picker))
        return PickerState::NoDate;
    const QDate date = picker->date();
    if (!date.isValid())
        return PickerState::Error;
    out = DateTime::fromDate(date);
    return PickerState::Date;
}

} // namespace

// A picker that can show no date stands at its minimum date meanwhile, which
// would make a typed date an edit of that blank and open its calendar on the
// minimum's month. Typing into it starts from today with its first part
// selected; its calendar opens on today's month. And a date is typed as the
// shop writes it, "06/20/2024": when two digits have filled a part the picker
// moves on to the next part by itself, so the "/" typed after them is taken
// as already done instead of skipping that next part.
class NoDateTyping : public QObject
{
public:
    explicit NoDateTyping(QDateTimeEdit *picker) : QObject(picker) { setObjectName(QStringLiteral("NoDateTyping")); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *picker = qobject_cast<QDateTimeEdit *>(watched);
        if (!picker)
            return false;
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const QString text = key->text();
            const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
            const bool digit = plain && !text.isEmpty() && text.at(0).isDigit();
            const bool separator = plain && text == QLatin1String("/");
            // A field that reads a date typed whole takes the "/" itself.
            const bool advanced = m_sectionAtDigit >= 0 && picker->currentSectionIndex() != m_sectionAtDigit
                                  && !picker->property("wholeDateTyping").toBool();
            m_sectionAtDigit = -1;
            if (separator && advanced)
                return true; // the part is done and the next one selected already
            // The whole date selected (Ctrl+A) and deleted: no date.
            const bool erase = key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace;
            const bool wholeSelected = m_allSelected || wholeTextSelected(picker);
            m_allSelected = key->matches(QKeySequence::SelectAll);
            if (erase && plain && wholeSelected && !PickerShowsNoDate(picker)) {
                picker->setDateTime(picker->minimumDateTime());
                return true;
            }
            // A field that reads a date typed whole starts from today itself,
            // and shows no date again when what is typed is refused.
            if (digit && PickerShowsNoDate(picker) && !picker->property("wholeDateTyping").toBool()) {
                picker->setDate(platform::Clock::today());
                picker->setCurrentSectionIndex(0);
                picker->setSelectedSection(picker->sectionAt(0));
            }
            if (digit)
                m_sectionAtDigit = picker->currentSectionIndex();
        } else if (event->type() == QEvent::MouseButtonPress && picker->calendarPopup() && PickerShowsNoDate(picker)) {
            QMetaObject::invokeMethod(
                picker,
                [picker] {
                    if (QCalendarWidget *calendar = picker->calendarWidget()) {
                        const QDate today = platform::Clock::today();
                        calendar->setCurrentPage(today.year(), today.month());
                    }
                },
                Qt::QueuedConnection);
        } else if (event->type() == QEvent::FocusOut) {
            m_sectionAtDigit = -1;
            m_allSelected = false;
        }
        return false;
    }

private:
    static bool wholeTextSelected(const QDateTimeEdit *picker)
    {
        const auto *edit = picker->findChild<const QLineEdit *>();
        return edit && !edit->text().isEmpty() && edit->selectedText() == edit->text();
    }

    int m_sectionAtDigit = -1; // the part a digit was typed into, until the next key
    bool m_allSelected = false; // the last key selected the whole date
};

void MakePickerClearable(QDateTimeEdit *picker)
{
    if (picker->specialValueText().isEmpty())
        picker->setSpecialValueText(QStringLiteral(" "));
    if (!picker->findChild<QObject *>(QStringLiteral("NoDateTyping"), Qt::FindDirectChildrenOnly))
        picker->installEventFilter(new NoDateTyping(picker));
}

void SetPickerNoDate(QDateTimeEdit *picker)
{
    MakePickerClearable(picker);
    picker->setDateTime(picker->minimumDateTime());
}

bool PickerShowsNoDate(const QDateTimeEdit *picker)
{
    return !picker->specialValueText().isEmpty() && picker->dateTime() == picker->minimumDateTime();
}

void DDX_CheckByte(DataExchange &dx, QCheckBox *box, quint8 &value)
{
    if (!box || dx.failed())
        return;
    if (dx.isSaving()) {
        switch (box->checkState()) {
        case Qt::Unchecked: value = 0; break;
        case Qt::Checked: value = 1; break;
        case Qt::PartiallyChecked: value = 2; break;
        }
        return;
    }
    if (value == 2) {
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
    } else {
        box->setCheckState(value ? Qt::Checked : Qt::Unchecked);
    }
}

void DDX_LBData(DataExchange &dx, QListWidget *list, quint8 &value)
{
    if (!list || dx.failed())
        return;
    if (!dx.isSaving()) {
        selectListByData(list, value);
        return;
    }
    qint32 data = 0;
    if (selectedListData(list, data))
        value = quint8(data & 0xFF);
}

void DDX_CBData(DataExchange &dx, QComboBox *combo, quint8 &value)
{
    qint32 code = value;
    DDX_CBDataLong(dx, combo, code);
    if (dx.isSaving())
        value = quint8(code & 0xFF);
}

void DDX_CBDataLong(DataExchange &dx, QComboBox *combo, qint32 &value)
{
    if (!combo || dx.failed())
        return;
    if (!dx.isSaving()) {
        combo->setCurrentIndex(combo->findData(QVariant(value)));
        return;
    }
    if (combo->currentIndex() >= 0)
        value = combo->currentData().toInt();
}

void NameComboField(CXDaoSet &set, const void *member, const QString &label, const QComboBox *combo, bool byPosition)
{
    if (!label.isEmpty())
        set.SetFieldCaption(member, label);
    if (!combo)
        return;
    std::vector<std::pair<qint64, QString>> entries;
    for (int i = 0; i < combo->count(); ++i) {
        const QVariant data = combo->itemData(i);
        entries.emplace_back(byPosition || !data.isValid() ? qint64(i) : data.toLongLong(), combo->itemText(i).trimmed());
    }
    set.SetFieldShownAs(member, [entries](const platform::Value &value) {
        if (value.isNull())
            return QString();
        const qint64 code = value.toInt64();
        for (const auto &[data, text] : entries)
            if (data == code)
                return text;
        return value.toString();
    });
}

void DDX_CBIndexField(DataExchange &dx, QComboBox *combo, quint8 &value, CXDaoSet *set)
{
    if (!combo || dx.failed())
        return;
    if (!dx.isSaving()) {
        if (set && (!set->IsOpen() || set->IsFieldNull(&value)))
            return;
        combo->setCurrentIndex(value < combo->count() ? int(value) : -1);
        return;
    }
    if (combo->currentIndex() >= 0)
        value = quint8(combo->currentIndex());
}

namespace {

// Reads the field's text as currency into the member, or refuses it.
void readTypedCurrency(DataExchange &dx, QLineEdit *edit, Money &value)
{
    const QString text = edit->text().trimmed();
    Money parsed;
    // The field shows cents: more decimals are refused as no amount is, and
    // so is an amount past the largest a money field holds.
    if (!text.isEmpty() && !ReadTypedMoney(text, parsed, 2)) {
        // Refused once: leaving the field with the same text says it no more.
        edit->setProperty("refusedText", edit->text());
        platform::Prompt::messageBox(FieldMessage(FieldName(edit), TypedMoneyMessage(text)), QString(),
                                     platform::MB_OK | platform::MB_ICONEXCLAMATION);
        dx.Fail(edit);
        return;
    }
    value = parsed;
}

} // namespace

void DDX_Currency(DataExchange &dx, QLineEdit *edit, Money &value)
{
    if (!edit || dx.failed())
        return;
    if (!dx.isSaving()) {
        AttachTypedReading(edit, ValueKind::Money);
        edit->setText(FormatMoney(value.isValid() ? value : Money()));
        return;
    }
    readTypedCurrency(dx, edit, value);
}

void DDX_CurrencyNoCharge(DataExchange &dx, QLineEdit *edit, Money &value)
{
    if (!edit || dx.failed())
        return;
    if (!dx.isSaving()) {
        if (!value.isValid())
            value = Money();
        AttachTypedReading(edit, ValueKind::Money);
        edit->setText(value.isNoCharge() ? kNoCharge : FormatMoney(value));
        return;
    }
    if (!(value.isNoCharge() && edit->text().trimmed() == kNoCharge))
        readTypedCurrency(dx, edit, value);
    if (!value.isValid())
        value = Money();
}

void DDX_DateTimeCtrlField(DataExchange &dx, QDateTimeEdit *picker, DateTime &value, CXDaoSet *set)
{
    if (!set) {
        DDX_DateTimeCtrl(dx, picker, value);
        return;
    }
    if (!picker || dx.failed())
        return;
    if (!dx.isSaving()) {
        loadPicker(picker, value, set->IsOpen() && !set->IsFieldNull(&value));
        return;
    }
    DateTime date;
    switch (readPicker(picker, date)) {
    case PickerState::Date:
        value = date;
        if (set->IsFieldNull(&value))
            set->SetFieldDirty(&value);
        set->SetFieldNull(&value, false);
        break;
    case PickerState::NoDate:
        value = DateTime::null();
        if (!set->IsFieldNull(&value))
            set->SetFieldNull(&value, true); // marks it dirty too
        break;
    case PickerState::Error:
        value = DateTime::invalid();
        break;
    }
}

void DDX_DateTimeCtrl(DataExchange &dx, QDateTimeEdit *picker, DateTime &value)
{
    if (!picker || dx.failed())
        return;
    if (!dx.isSaving()) {
        loadPicker(picker, value, true);
        return;
    }
    DateTime date;
    switch (readPicker(picker, date)) {
    case PickerState::Date: value = date; break;
    case PickerState::NoDate: value = DateTime::null(); break;
    case PickerState::Error: value = DateTime::invalid(); break;
    }
}
