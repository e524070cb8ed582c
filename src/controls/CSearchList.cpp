#include "controls/CSearchList.h"

#include "controls/CColumnAlias.h"
#include "controls/CXListCtrl.h"
#include "controls/CXListModel.h"
#include "controls/DlgItem.h"

#include "platform/Prompt.h"
#include "platform/Settings.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

namespace {

// The operators offered for text and for number columns.
const char *const kTextOperators[] = {"is exactly like", "is not exactly like", "starts with",
                                      "ends with",       "contains",            "does not contain"};
const char *const kNumberOperators[] = {"=     equal", "<>   not equal", "<     less than", " >    greater than"};

} // namespace

CSearchList::CSearchList(CXListCtrl *list, QWidget *parent) : QDialog(parent), m_list(list)
{
    setObjectName(QStringLiteral("CSearchList"));
    setWindowTitle(QStringLiteral(" Search the list on the screen"));
    m_containsDefault = platform::Settings::readInt(QStringLiteral("Settings"), QStringLiteral("Find 'if contains'"), 0);

    m_edit = new QLineEdit(this);
    SetDlgCtrlID(m_edit, IDC_SEARCH_TEXT);
    m_columns = new QComboBox(this);
    SetDlgCtrlID(m_columns, IDC_COLUMN);
    m_operators = new QComboBox(this);
    SetDlgCtrlID(m_operators, IDC_OPERATOR);
    auto *findLabel = new QLabel(QStringLiteral("&Find"), this);
    findLabel->setBuddy(m_columns);
    auto *thatLabel = new QLabel(QStringLiteral("&that"), this);
    thatLabel->setBuddy(m_operators);
    m_findNow = new QPushButton(QStringLiteral("Find &Now"), this);
    SetDlgCtrlID(m_findNow, IDC_FIND_NOW);
    m_findNow->setDefault(true);
    m_close = new QPushButton(QStringLiteral("Close"), this);
    SetDlgCtrlID(m_close, IDC_CLOSE);

    auto *grid = new QGridLayout;
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(m_columns, 0, 1);
    grid->addWidget(thatLabel, 1, 0);
    grid->addWidget(m_operators, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_findNow);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(m_edit, &QLineEdit::textChanged, this, &CSearchList::OnTextChanged);
    connect(m_columns, &QComboBox::currentIndexChanged, this, &CSearchList::OnColumnChanged);
    connect(m_findNow, &QPushButton::clicked, this, &CSearchList::OnFindNow);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    FillColumnList();
    FillOperatorList();
    m_findNow->setEnabled(!m_text.isEmpty());
}

int CSearchList::DoModal()
{
    return platform::Prompt::execDialog(*this);
}

void CSearchList::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_placed && m_list) {
        // The dialog opens over the list's top-left corner.
        m_placed = true;
        move(m_list->mapToGlobal(QPoint(0, 0)));
    }
    m_edit->setFocus();
}

void CSearchList::FillColumnList()
{
    const QSignalBlocker block(m_columns);
    m_columns->clear();
    if (!m_list)
        return;
    const int n = m_list->listModel()->columnCount();
    for (int c = 0; c < n; ++c)
        m_columns->addItem(m_list->GetColumnText(c), m_list->GetColumnAlign(c) == 1 ? kNumeric : kText);
    if (m_column >= 0 && m_column < n)
        m_columns->setCurrentIndex(m_column);
}

void CSearchList::FillOperatorList()
{
    m_operators->clear();
    if (m_columns->currentIndex() < 0)
        return;
    if (m_columns->currentData().toInt() == kNumeric) {
        for (const char *op : kNumberOperators)
            m_operators->addItem(QString::fromLatin1(op));
        m_operators->setCurrentIndex(Equal);
    } else {
        for (const char *op : kTextOperators)
            m_operators->addItem(QString::fromLatin1(op));
        m_operators->setCurrentIndex(m_containsDefault ? Contains : StartsWith);
    }
}

void CSearchList::OnTextChanged(const QString &text)
{
    m_text = text;
    m_findNow->setEnabled(!m_text.isEmpty());
}

void CSearchList::OnColumnChanged(int index)
{
    m_column = index;
    FillOperatorList();
}

bool CSearchList::Matches(const QString &cell, const QString &text, int op, bool numeric)
{
    if (numeric) {
        const double value = CColumnAlias::ReadNumber(cell);
        const double sought = CColumnAlias::ReadNumber(text);
        switch (op) {
        case Equal: return value == sought;
        case NotEqual: return value != sought;
        case LessThan: return value < sought;
        case GreaterThan: return value > sought;
        default: return false;
        }
    }
    switch (op) {
    case IsExactly: return cell.compare(text, Qt::CaseInsensitive) == 0;
    case IsNotExactly: return cell.compare(text, Qt::CaseInsensitive) != 0;
    case StartsWith: return cell.size() >= text.size() && cell.startsWith(text, Qt::CaseInsensitive);
    case EndsWith: return cell.size() >= text.size() && cell.endsWith(text, Qt::CaseInsensitive);
    case Contains: return cell.contains(text, Qt::CaseInsensitive);
    case DoesNotContain: return !cell.contains(text, Qt::CaseInsensitive);
    default: return false;
    }
}

int CSearchList::Search()
{
    const int column = m_columns->currentIndex();
    if (!m_list || m_text.isEmpty() || column < 0)
        return -1;
    const bool numeric = m_columns->currentData().toInt() == kNumeric;
    const int op = m_operators->currentIndex();
    m_list->FetchAll();
    const int n = m_list->GetItemCount();
    const int current = m_list->GetCurrentRow();
    for (int i = 1; i <= n; ++i) {
        // From the row after the current one, round to the current one itself.
        const int row = ((current < 0 ? -1 : current) + i) % n;
        if (Matches(m_list->GetItemText(row, column), m_text, op, numeric)) {
            m_list->SelectItem(row);
            return row;
        }
    }
    return -1;
}

void CSearchList::OnFindNow()
{
    Search();
    m_edit->selectAll();
    m_edit->setFocus();
}
