#include "jobs/CFindDlg.h"

#include "app/base/CZqApp.h"
#include "app/base/DateRanges.h"
#include "app/base/DialogControls.h"
#include "app/base/TypedValue.h"
#include "controls/CXDateEdit.h"
#include "controls/DlgItem.h"
#include "data/ListFillers.h"
#include "data/OptionsAndLookups.h"
#include "data/SharedDatabase.h"
#include "jobs/FindFieldTables.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "views/CDlgOptions.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>

namespace {

constexpr unsigned kLists = 1401, kFields = 1402, kOperators = 1403;
constexpr unsigned kValue1 = 1301, kValue2 = 1302, kFilterText = 1304;
constexpr unsigned kDate1 = 2401, kDate2 = 2402, kChoices = 1201, kSort = 1204, kDirection = 1205;
constexpr unsigned kSortLabel = 1904, kAdvancedBox = 1101, kAdvancedLabel = 1903;
constexpr unsigned kAddToFilter = 30404, kClearFilter = 30405, kOptions = 30540, kFindItems = 30609;

bool hasDigit(const QString &text)
{
    for (const QChar c : text)
        if (c.isDigit())
            return true;
    return false;
}

const QString kIfContains = QStringLiteral("Find 'if contains'");

QListWidget *addList(QWidget *parent, unsigned id, const QRect &rect)
{
    auto *list = new QListWidget(parent);
    list->setGeometry(rect);
    SetDlgCtrlID(list, id);
    return list;
}

QComboBox *addCombo(QWidget *parent, unsigned id, const QRect &rect)
{
    auto *combo = new QComboBox(parent);
    combo->setGeometry(rect);
    SetDlgCtrlID(combo, id);
    return combo;
}

QDateEdit *addPicker(QWidget *parent, unsigned id, const QRect &rect)
{
    auto *picker = new CXDateEdit(parent);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("M/d/yyyy"));
    picker->setGeometry(rect);
    SetDlgCtrlID(picker, id);
    return picker;
}

QDate today()
{
    return GetToday().date();
}

} // namespace

CFindDlg::CFindDlg(const QString &kind, bool allowListChoice, int colourScheme, QWidget *parent)
    : CDlg0(640, parent), m_strKind(kind), m_bAllowListChoice(allowListChoice)
{
    m_nColorScheme = colourScheme;
    m_strWindowTitle = QStringLiteral("Find");
    m_date1 = m_date2 = today();
    if (CZqApp *app = ZqApp())
        m_nIfContains = app->GetSettingInt(kIfContains, 0);
    resize(780, 448);

    AddPlaceholder(1911, QRect(10, 12, 150, 26), QStringLiteral("Find"));
    AddPlaceholder(1912, QRect(166, 12, 230, 26), QStringLiteral("By this field"));
    AddPlaceholder(1913, QRect(402, 12, 180, 26), QStringLiteral("If the field"));
    AddPlaceholder(1914, QRect(588, 12, 180, 26), QStringLiteral("Enter "));
    m_lists = addList(this, kLists, QRect(10, 40, 150, 222));
    m_fields = addList(this, kFields, QRect(166, 40, 230, 222));
    m_operators = addList(this, kOperators, QRect(402, 40, 180, 222));
    m_value1 = AddEdit(kValue1, QRect(588, 40, 180, 26));
    m_value2 = AddEdit(kValue2, QRect(588, 72, 180, 26));
    m_picker1 = addPicker(this, kDate1, QRect(588, 40, 180, 26));
    m_picker2 = addPicker(this, kDate2, QRect(588, 72, 180, 26));
    m_picker1->setProperty("fieldName", QStringLiteral("Date"));
    m_picker2->setProperty("fieldName", QStringLiteral("Date (to)"));
    m_choices = addCombo(this, kChoices, QRect(588, 106, 180, 26));

    m_advancedBox = new QCheckBox(this);
    m_advancedBox->setGeometry(10, 270, 220, 24);
    SetDlgCtrlID(m_advancedBox, kAdvancedBox);
    AddLabel(QStringLiteral("Build a filter of several conditions, or type one"), QRect(236, 270, 346, 24),
             kAdvancedLabel);
    m_filterEdit = AddEdit(kFilterText, QRect(10, 300, 572, 26));
    AddLabel(QStringLiteral("Sort"), QRect(588, 270, 180, 24), kSortLabel);
    m_sortList = addCombo(this, kSort, QRect(588, 300, 180, 26));
    m_sortDirection = addCombo(this, kDirection, QRect(588, 332, 180, 26));
    m_sortDirection->addItems({QStringLiteral("A - Z"), QStringLiteral("Z - A")});
    AddButton(kAddToFilter, QStringLiteral("&Add to Filter"), QRect(10, 332, 130, 28));
    AddButton(kClearFilter, QStringLiteral("&Clear Filter"), QRect(146, 332, 130, 28));
    AddButton(kOptions, QStringLiteral("&Options..."), QRect(10, 400, 110, 30));
    AddButton(kFindItems, QStringLiteral("Find Items..."), QRect(126, 400, 120, 30));
    AddButton(1, QStringLiteral("Find &Now"), QRect(540, 400, 110, 30));
    AddButton(2, QStringLiteral("Cancel"), QRect(658, 400, 110, 30));

    connect(m_lists, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_bFilling)
            m_nListIndex = row;
    });
    connect(m_fields, &QListWidget::currentRowChanged, this, [this] {
        if (!m_bFilling)
            OnFieldChanged();
    });
    connect(m_operators, &QListWidget::currentRowChanged, this, [this] {
        if (!m_bFilling)
            OnOperatorChanged();
    });
    for (QListWidget *list : {m_lists, m_fields, m_operators})
        connect(list, &QListWidget::itemDoubleClicked, this, [this] {
            if (!FocusItem(kValue1))
                FocusItem(kDate1);
        });
    for (QLineEdit *edit : {m_value1, m_value2})
        connect(edit, &QLineEdit::textEdited, this, [this] { OnValueChanged(); });
    for (QDateEdit *picker : {m_picker1, m_picker2})
        connect(picker, &QDateEdit::dateChanged, this, [this] {
            if (!m_bFilling)
                OnValueChanged();
        });
    connect(m_choices, &QComboBox::activated, this, [this] { OnChoiceChanged(); });
    connect(m_advancedBox, &QCheckBox::clicked, this, [this] { OnSwitchForm(); });
    connect(m_filterEdit, &QLineEdit::textChanged, this, [this] { UpdateFilterButtons(); });
}

int CFindDlg::Run(FindRequest &request, QWidget *parent)
{
    CFindDlg dlg(request.kind, request.allowListChoice, request.hue, parent);
    dlg.m_nListIndex = request.listIndex;
    dlg.m_nFieldIndex = request.fieldIndex;
    dlg.m_nOperatorIndex = request.operatorIndex;
    dlg.m_strValue1 = request.value1;
    dlg.m_bAdvanced = request.advanced;
    dlg.m_bShowAdvancedBox = request.showAdvancedBox;
    dlg.m_bShowFindItems = request.showFindItems;
    const int answer = dlg.DoModal();
    if (answer == IDOK_RESULT) {
        request.filter = dlg.m_strFilter;
        request.sort = dlg.m_strSort;
        request.listLabel = dlg.m_strListLabel;
        request.listIndex = dlg.m_nListIndex;
        request.fieldIndex = dlg.m_nFieldIndex;
        request.operatorIndex = dlg.m_nOperatorIndex;
        request.value1 = dlg.m_strValue1;
        request.advanced = dlg.m_bAdvanced;
    }
    return answer;
}

bool CFindDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    static const char *const captions[] = {"Find", "By this field", "If the field", "Enter "};
    for (int i = 0; i < 4; ++i)
        m_panels[size_t(i)].CreateFromItem(this, 1911u + unsigned(i), m_nColorScheme, 14, 2, 2, 2084,
                                           QString::fromLatin1(captions[i]));
    for (QListWidget *list : {m_lists, m_fields, m_operators})
        SetCtrlFont(list, 2);
    SetItemFont(1, 3);

    // Both dates start at today.
    m_bFilling = true;
    m_picker1->setDate(m_date1);
    m_picker2->setDate(m_date2);

    // The job lists, or the kind alone.
    const bool jobKinds = m_strKind == QLatin1String("Jobs") || m_strKind == QLatin1String("Items");
    if (jobKinds) {
        m_lists->addItems({QStringLiteral("Orders"), QStringLiteral("Quotes"), QStringLiteral("Templates"),
                           QStringLiteral("History Jobs"), QStringLiteral("Pell Orders"), QStringLiteral("Pell Quotes")});
        m_lists->setEnabled(m_bAllowListChoice);
    } else {
        m_lists->addItem(m_strKind);
    }
    m_bFilling = false;

    // The schedule's list index picks the rows of "Orders" before the
    // one-row box takes it back to its first row.
    const QString presetValue = m_strValue1;
    const int presetOperator = m_nOperatorIndex;
    BuildFieldList();
    m_bFilling = true;
    if (m_nListIndex < 0 || m_nListIndex >= m_lists->count())
        m_nListIndex = 0;
    m_lists->setCurrentRow(m_nListIndex);
    m_bFilling = false;
    m_nFieldIndex = PreferredFindField(m_strKind, m_nFieldIndex);
    if (m_nFieldIndex >= m_fields->count())
        m_nFieldIndex = 0;
    m_bFilling = true;
    m_fields->setCurrentRow(m_nFieldIndex);
    m_bFilling = false;
    OnFieldChanged();
    if (presetOperator >= 0 && presetOperator < m_operators->count()) {
        m_bFilling = true;
        m_operators->setCurrentRow(presetOperator);
        m_bFilling = false;
        OnOperatorChanged();
    }
    // The caller's value of last time is offered again.
    if (!presetValue.isEmpty() && m_value1->isVisible()) {
        m_value1->setText(presetValue);
        OnValueChanged();
    }

    ShowItem(kAdvancedBox, m_bShowAdvancedBox);
    ShowItem(kAdvancedLabel, m_bShowAdvancedBox);
    ShowItem(kFindItems, m_bShowFindItems);
    ShowForm();
    return true;
}

int CFindDlg::FieldType() const
{
    const QListWidgetItem *row = m_fields->currentItem();
    return row ? row->data(Qt::UserRole).toInt() : 0;
}

void CFindDlg::BuildFieldList()
{
    m_bFilling = true;
    m_fields->clear();
    m_columns.clear();
    m_sortList->clear();
    if (m_strKind.contains(QLatin1String("Items")))
        m_bAdvanced = false;
    if (m_bAdvanced) {
        platform::Database &db = SharedDatabase();
        for (const QString &table : FindTablesOfKind(m_strKind)) {
            platform::TableDef def;
            try {
                def = db.tableDef(table);
            } catch (const platform::DbException &) {
                continue; // no such table: nothing to offer
            }
            for (const platform::FieldDef &field : def.fields) {
                int type = int(field.type);
                if (type == int(platform::FieldType::Memo))
                    type = int(platform::FieldType::Text);
                const QString name = table + QLatin1Char('.') + field.name;
                auto *row = new QListWidgetItem(name, m_fields);
                row->setData(Qt::UserRole, type);
                m_sortList->addItem(name, type);
            }
        }
        m_sortList->setCurrentIndex(-1);
    } else {
        QString label;
        for (const FindField &field : FindFieldRows(m_strKind, m_nListIndex, &label)) {
            auto *row = new QListWidgetItem(field.label, m_fields);
            row->setData(Qt::UserRole, field.type);
            m_columns << field.column;
        }
        if (!label.isEmpty())
            m_strListLabel = label;
    }
    m_bFilling = false;
}

void CFindDlg::OnFieldChanged()
{
    m_nFieldIndex = m_fields->currentRow();
    QString typeName;
    const int list = FindOperatorList(FieldType(), &typeName);
    m_panels[3].SetText(QStringLiteral("Enter ") + typeName);
    if (list != m_nOperatorList) {
        m_strValue1.clear();
        m_strValue2.clear();
        m_value1->clear();
        m_value2->clear();
        m_bFilling = true;
        m_operators->clear();
        m_operators->addItems(FindOperatorRows(list));
        m_operators->setCurrentRow(DefaultFindOperator(list, m_nIfContains != 0));
        m_bFilling = false;
        m_nOperatorList = list;
        ShowValueControls();
        BuildCondition();
    }
    OnOperatorChanged();
    FillValueChoices();
}

void CFindDlg::OnOperatorChanged()
{
    m_nOperatorIndex = m_operators->currentRow();
    const QListWidgetItem *field = m_fields->currentItem();
    const QListWidgetItem *op = m_operators->currentItem();
    SetCueBanner(m_value1, (field ? field->text() : QString()) + QLatin1Char(' ') + (op ? op->text() : QString()));
    ShowValueControls();
    BuildCondition();
}

void CFindDlg::ShowValueControls()
{
    const QListWidgetItem *op = m_operators->currentItem();
    const QString label = op ? op->text() : QString();
    if (FieldType() != 8) {
        ShowCtrl(m_value1, true);
        ShowCtrl(m_value2, label.contains(QLatin1String("between")));
        ShowCtrl(m_picker1, false);
        ShowCtrl(m_picker2, false);
        return;
    }
    const int row = m_operators->currentRow();
    // A refused date names the field it is for.
    const QString field = m_fields->currentItem() ? m_fields->currentItem()->text() : QString();
    m_picker1->setProperty("fieldName", field);
    m_picker2->setProperty("fieldName", field.isEmpty() ? field : field + QStringLiteral(" (to)"));
    ShowCtrl(m_value1, false);
    ShowCtrl(m_value2, false);
    ShowCtrl(m_picker1, true);
    ShowCtrl(m_picker2, row > 5);
    QDate from = m_picker1->date();
    QDate to = m_picker2->date();
    if (FindDateRowRange(row, today(), from, to)) {
        m_bFilling = true;
        m_picker1->setDate(from);
        m_picker2->setDate(to);
        m_bFilling = false;
    }
}

void CFindDlg::FillValueChoices()
{
    const int index = m_fields->currentRow();
    QString field;
    if (index >= 0)
        field = m_bAdvanced ? m_fields->item(index)->text() : m_columns.value(index);
    QString codeSql;
    QString fixed;
    auto codes = [&codeSql](int list) { GetCodeListSql(codeSql, list, true); };
    if (field.contains(QLatin1String("CSRNo")))
        codes(602);
    else if (field.contains(QLatin1String("SRepNo")))
        codes(603);
    else if (field.contains(QLatin1String("EmpNo")))
        codes(601);
    else if (field.contains(QLatin1String("Side1")))
        codes(302);
    else if (field.contains(QLatin1String("Business")))
        codes(402);
    else if (field.contains(QLatin1String("Source")))
        codes(401);
    else if (field.contains(QLatin1String("SerStatus")))
        fixed = QStringLiteral("Active,Active + Group Header,Discontinued,");
    else if (field.contains(QLatin1String("TermsNo")) || field.contains(QLatin1String("Customers.Terms")))
        codes(503);
    else if (field.contains(QLatin1String("TaxNo")) || field.contains(QLatin1String("Customers.Tax")))
        codes(502);
    else if (field.contains(QLatin1String("ViaDue")) || field.contains(QLatin1String("ShipVia")))
        codes(303);
    else if (field.contains(QLatin1String("Customers.CusStatus")) || field.contains(QLatin1String("Contacts.Type")) ||
             field.contains(QLatin1String("Shipto.Type")))
        fixed = QStringLiteral("Active,On Hold,Hidden,");

    m_choices->clear();
    if (codeSql.isEmpty() && fixed.isEmpty()) {
        ShowCtrl(m_choices, false);
        return;
    }
    if (!codeSql.isEmpty()) {
        FillFromQuery(m_choices, nullptr, codeSql);
    } else {
        QStringList names = fixed.split(QLatin1Char(','));
        names.removeLast();
        for (int i = 0; i < names.size(); ++i)
            m_choices->addItem(names.at(i), i);
    }
    m_choices->setCurrentIndex(-1);
    ShowCtrl(m_choices, true);
}

void CFindDlg::OnChoiceChanged()
{
    if (m_choices->currentIndex() < 0)
        return;
    m_value1->setText(QString::number(m_choices->currentData().toLongLong()));
    BuildCondition();
}

void CFindDlg::OnValueChanged()
{
    BuildCondition();
}

void CFindDlg::BuildCondition()
{
    m_strValue1 = m_value1->text();
    m_strValue2 = m_value2->text();
    m_date1 = m_picker1->date();
    m_date2 = m_picker2->date();
    const int fieldRow = m_fields->currentRow();
    const int opRow = m_operators->currentRow();
    m_strCondition.clear();
    if (fieldRow >= 0 && opRow >= 0) {
        FindChoice choice;
        choice.column = m_bAdvanced ? m_fields->item(fieldRow)->text() : m_columns.value(fieldRow);
        choice.type = FieldType();
        choice.operatorRow = opRow;
        choice.operatorLabel = m_operators->item(opRow)->text();
        choice.value1 = m_strValue1;
        choice.value2 = m_strValue2;
        choice.date1 = m_date1;
        choice.date2 = m_date2;
        const bool text = choice.type == 10 || choice.type == 12;
        if (!text && choice.type != 8 && !choice.operatorLabel.contains(QLatin1String("between")) &&
            !m_strValue1.isEmpty()) {
            QString typed = m_strValue1;
            while (typed.startsWith(QLatin1Char(' ')))
                typed.remove(0, 1);
            const QString cleaned = CleanFindNumber(typed);
            // A text with no number in it stays as typed, to be refused
            // naming the field when it is used (see NumbersRead).
            if (cleaned != m_strValue1 && hasDigit(cleaned)) {
                // Stray characters are cut in the box itself.
                m_value1->setText(cleaned);
                m_value1->setCursorPosition(int(cleaned.size()));
                m_strValue1 = cleaned;
            }
        }
        m_strCondition = BuildFindCondition(choice);
    }
    setWindowTitle(m_strCondition.isEmpty() ? QStringLiteral("Find") : m_strCondition);
    UpdateFilterButtons();
}

bool CFindDlg::NumbersRead()
{
    const int type = FieldType();
    if (m_fields->currentRow() < 0 || type == 8 || type == 10 || type == 12)
        return true;
    const bool between = m_operators->currentItem()
                         && m_operators->currentItem()->text().contains(QLatin1String("between"));
    QList<QLineEdit *> values{m_value1};
    if (between)
        values << m_value2;
    for (QLineEdit *value : values) {
        const QString typed = value->text().trimmed();
        if (typed.isEmpty() || hasDigit(CleanFindNumber(typed)))
            continue;
        RefuseTyped(value, type == 5 ? TypedValueMessage(ValueKind::Money) : QStringLiteral("Please enter a number."),
                    m_fields->currentItem()->text().trimmed());
        return false;
    }
    return true;
}

void CFindDlg::UpdateFilterButtons()
{
    EnableItem(kAddToFilter, !m_strCondition.isEmpty());
    EnableItem(kClearFilter, !m_filterEdit->text().isEmpty());
}

void CFindDlg::ShowForm()
{
    for (unsigned id : {kFilterText, kSort, kDirection, kSortLabel, kAddToFilter, kClearFilter})
        ShowItem(id, m_bAdvanced);
    m_advancedBox->setChecked(m_bAdvanced);
    m_advancedBox->setText((m_bAdvanced ? QStringLiteral("Hide") : QStringLiteral("Show")) +
                           QStringLiteral(" Ad&vanced Find"));
    if (m_sortDirection->currentIndex() < 0)
        m_sortDirection->setCurrentIndex(0);
    if (!FocusItem(kValue1))
        FocusItem(kDate1);
    UpdateFilterButtons();
}

void CFindDlg::OnSwitchForm()
{
    m_bAdvanced = m_advancedBox->isChecked();
    BuildFieldList();
    m_bFilling = true;
    m_fields->setCurrentRow(m_fields->count() > 0 ? 0 : -1);
    m_bFilling = false;
    OnFieldChanged();
    ShowForm();
}

void CFindDlg::OnAddToFilter()
{
    if (!NumbersRead() || m_strCondition.isEmpty())
        return;
    QString text = m_filterEdit->text();
    if (!text.isEmpty())
        text += QStringLiteral(" and ");
    m_filterEdit->setText(text + m_strCondition);
    FocusItem(kValue1);
    m_strCondition.clear();
    setWindowTitle(QStringLiteral("Find"));
    UpdateFilterButtons();
}

void CFindDlg::OnClearFilter()
{
    m_filterEdit->clear();
    FocusItem(kValue1);
    UpdateFilterButtons();
}

void CFindDlg::OnOptions()
{
    CDlgOptions dlg(QStringLiteral("Text Field Option"), QString(), 0, this);
    dlg.AddRadioGroup(QStringLiteral("Default option for text fields such as Name and Title:"), 0);
    dlg.AddEntry(1, QStringLiteral("starts with"), m_nIfContains == 0 ? 1 : 0);
    dlg.AddEntry(2, QStringLiteral("contains"), m_nIfContains != 0 ? 1 : 0);
    dlg.m_nSelect[0] = m_nIfContains == 0 ? 1 : 2;
    if (dlg.DoModal() != IDOK_RESULT)
        return;
    const int chosen = dlg.GetCheckedInRange(1, 2) == 2 ? 1 : 0;
    if (chosen == m_nIfContains)
        return;
    m_nIfContains = chosen;
    if (CZqApp *app = ZqApp())
        app->WriteSettingInt(kIfContains, chosen);
    // The next field change fills the comparisons again with the new default.
    m_nOperatorList = 0;
}

bool CFindDlg::OnCommand(int id)
{
    switch (id) {
    case int(kAddToFilter): OnAddToFilter(); return true;
    case int(kClearFilter): OnClearFilter(); return true;
    case int(kOptions): OnOptions(); return true;
    case int(kFindItems): EndDialog(kFindItems); return true;
    default: return CDlg0::OnCommand(id);
    }
}

void CFindDlg::OnOK()
{
    BuildCondition();
    if (!NumbersRead())
        return;
    m_nListIndex = m_lists->currentRow();
    if (QListWidgetItem *row = m_lists->currentItem(); row && m_strListLabel.isEmpty())
        m_strListLabel = row->text();
    if (m_strKind == QLatin1String("Jobs") || m_strKind == QLatin1String("Items"))
        if (QListWidgetItem *row = m_lists->currentItem())
            m_strListLabel = row->text();
    m_strSort.clear();
    if (!m_bAdvanced) {
        m_strFilter = m_strCondition;
    } else {
        const QString typed = m_filterEdit->text().trimmed();
        m_strFilter = typed.isEmpty() ? m_strCondition : typed;
        // A typed filter goes into the list's statement as it stands: it has
        // to be one condition.
        QString error;
        if (!IsSingleFindExpression(m_strFilter, error)) {
            platform::Prompt::messageBox(QStringLiteral("This filter cannot be used:\n\n%1\n\n%2\n\nPlease correct it.")
                                             .arg(m_strFilter, error),
                                         QString(), platform::MB_ICONEXCLAMATION);
            m_filterEdit->setFocus();
            return;
        }
        if (m_sortList->currentIndex() >= 0) {
            m_strSort = m_sortList->currentText();
            if (m_sortDirection->currentText() == QLatin1String("Z - A"))
                m_strSort += QStringLiteral(" DESC");
        }
    }
    if (m_strFilter.isEmpty()) {
        if (platform::Prompt::messageBox(QStringLiteral("You did not specify any filter!\n(this may result in a long "
                                                        "list)\n\nWould you like to specify a filter?"),
                                         QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) ==
            platform::IDYES) {
            if (!FocusItem(kValue1))
                FocusItem(kDate1);
            return;
        }
    }
    EndDialog(IDOK_RESULT);
}
