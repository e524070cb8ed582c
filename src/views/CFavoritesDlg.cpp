#include "views/CFavoritesDlg.h"

#include "controls/CXTreeCtrl.h"
#include "controls/DlgItem.h"
#include "platform/Prompt.h"

#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

namespace {
constexpr unsigned kTree = 2201;
constexpr unsigned kDescription = 1301;
constexpr unsigned kFilter = 1302;
constexpr unsigned kSave = 30213;
constexpr unsigned kRemove = 30405;
} // namespace

CFavoritesDlg::CFavoritesDlg(const QString &title, long value, int kind, QWidget *parent)
    : CDlg0(642, parent), m_nKind(kind), m_nValue(value), m_strTitle(title)
{
    setWindowTitle(title);
    setFixedSize(460, 420);
    m_tree = new CXTreeCtrl(this);
    m_tree->setGeometry(8, 8, 444, 240);
    SetDlgCtrlID(m_tree, kTree);
    AddLabel(QStringLiteral("&Description:"), QRect(8, 258, 90, 26));
    m_description = AddEdit(kDescription, QRect(100, 258, 352, 26));
    AddLabel(QStringLiteral("&Filter:"), QRect(8, 292, 90, 26));
    m_filter = AddEdit(kFilter, QRect(100, 292, 352, 26));
    AddButton(kSave, QStringLiteral("&Save Changes"), QRect(100, 326, 160, 30));
    AddButton(kRemove, QStringLiteral("&Remove from the list..."), QRect(268, 326, 184, 30));
    AddButton(1, QStringLiteral("OK"), QRect(224, 378, 110, 32));
    AddButton(2, QStringLiteral("Cancel"), QRect(342, 378, 110, 32));
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item, QTreeWidgetItem *) {
        if (!m_filling)
            LoadItem(item);
    });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item, int) {
        LoadItem(item);
        OnOK();
    });
    connect(m_description, &QLineEdit::textEdited, this, [this] { EnableItem(kSave, true); });
    connect(m_filter, &QLineEdit::textEdited, this, [this] { EnableItem(kSave, true); });
}

CFavoritesDlg::~CFavoritesDlg() = default;

QString CFavoritesDlg::Separator()
{
    return QStringLiteral(" \u00B7 ");
}

QString CFavoritesDlg::JoinText(const QString &group, const QString &description, const QString &filter,
                                const QString &extra)
{
    const QChar dot(0x00B7);
    const auto escaped = [dot](QString text) { return text.replace(dot, QStringLiteral("\\") + dot); };
    return QStringList{escaped(group), escaped(description), escaped(filter), extra}.join(Separator());
}

QStringList CFavoritesDlg::SplitText(const QString &text)
{
    const QChar dot(0x00B7);
    const QString sep = Separator();
    QStringList pieces;
    QString piece;
    qsizetype i = 0;
    while (i < text.size() && pieces.size() < 3) {
        if (text.mid(i, sep.size()) == sep) {
            pieces.append(piece);
            piece.clear();
            i += sep.size();
            continue;
        }
        if (text.at(i) == QLatin1Char('\\') && i + 1 < text.size() && text.at(i + 1) == dot) {
            piece += dot;
            i += 2;
            continue;
        }
        piece += text.at(i++);
    }
    if (pieces.size() < 3) {
        pieces.append(piece);
        while (pieces.size() < 4)
            pieces.append(QString());
    } else {
        pieces.append(text.mid(i));
    }
    return pieces;
}

int CFavoritesDlg::ViewKey(int kind, long value)
{
    // The key is kept in a byte: the home view (one before the first view)
    // has 255.
    return kind == kCutFavorites ? 0 : int(quint8(value - 30001));
}

bool CFavoritesDlg::TextFits(const QString &text)
{
    CAlertSet set;
    const qint32 size = set.GetFieldSize(QStringLiteral("[AlertText]"));
    if (text.size() <= size)
        return true;
    platform::Prompt::messageBox(QStringLiteral("This favorite cannot be saved: its text is longer than %1 characters."
                                                "\n\nPlease use a shorter name, or a filter that selects fewer rows.")
                                     .arg(size),
                                 QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    return false;
}

long CFavoritesDlg::AddFavorite(int kind, long value, const QString &group, const QString &description,
                                const QString &filter, const QString &extra, int colour, int sound)
{
    if (!TextFits(JoinText(group, description, filter, extra)))
        return 0;
    CAlertSet set;
    set.m_strFilter = QStringLiteral("AlertNo = 0");
    set.Open();
    if (!set.IsOpen() || !set.SafeAddNew())
        return 0;
    set.m_CusNo = 0;
    set.m_AlertType = quint8(kind);
    set.m_AlertText = JoinText(group, description, filter, extra);
    set.m_AlertPrint = quint8(ViewKey(kind, value));
    set.m_AlertColor = quint8(colour);
    set.m_AlertSound = quint8(sound);
    if (!set.SafeUpdate())
        return 0;
    CAlertSet added;
    added.m_strFilter = QStringLiteral("CusNo = 0 and AlertType = %1").arg(kind);
    added.m_strSort = QStringLiteral("AlertNo DESC");
    added.Open();
    return added.IsOpen() && !added.IsEmptySet() ? long(added.m_AlertNo) : 0;
}

bool CFavoritesDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    m_tree->SetImageListAndFont(131, 2);
    m_tree->header()->hide();
    if (m_nKind == kCutFavorites)
        ShowItem(kFilter, false);
    LoadTree();
    if (m_tree->topLevelItemCount() == 0) {
        platform::Prompt::messageBox(QStringLiteral("Sorry, cannot find any ") + m_strTitle + QLatin1Char('.'));
        EndDialog(IDCANCEL_RESULT);
        return true;
    }
    LoadItem(m_tree->currentItem());
    return true;
}

void CFavoritesDlg::LoadTree()
{
    m_filling = true;
    m_tree->ClearAll();
    CAlertSet set;
    set.m_strFilter = QStringLiteral("CusNo = 0 and AlertType = %1").arg(m_nKind);
    if (m_nKind == kCutFavorites) {
        set.m_strSort = QStringLiteral("AlertText");
    } else {
        // The home view's favourites were once stored with no key (Null);
        // both forms are found.
        const int key = ViewKey(m_nKind, m_nValue);
        set.m_strFilter += key == 255 ? QStringLiteral(" and (AlertPrint Is Null or AlertPrint = 255)")
                                      : QStringLiteral(" and AlertPrint = %1").arg(key);
        set.m_strSort = QStringLiteral("AlertPrint, AlertColor");
    }
    set.Open();
    QTreeWidgetItem *group = nullptr;
    QString lastGroup;
    int lastPrint = -1;
    for (; set.IsOpen() && !set.IsEOF(); set.MoveNext()) {
        const QStringList pieces = SplitText(set.m_AlertText);
        const QString groupText = pieces.value(0);
        const bool newGroup = m_nKind == kCutFavorites ? (!group || groupText != lastGroup)
                                                       : (!group || set.m_AlertPrint != lastPrint);
        if (newGroup) {
            group = m_tree->AddRootItem(groupText, 11);
            lastGroup = groupText;
            lastPrint = set.m_AlertPrint;
        }
        m_tree->AddItem(group, pieces.value(1), quint32(set.m_AlertNo), 179);
    }
    m_tree->ExpandAll(true);
    m_filling = false;
}

void CFavoritesDlg::LoadItem(QTreeWidgetItem *item)
{
    m_strGroup.clear();
    m_strDescription.clear();
    m_strFilter.clear();
    m_strExtra.clear();
    m_nAlertNo = 0;
    m_set.reset();
    if (item && item->parent()) {
        const long alertNo = long(CXTreeCtrl::GetItemData(item));
        m_set = std::make_unique<CAlertSet>();
        m_set->m_strFilter = QStringLiteral("AlertNo = %1").arg(alertNo);
        m_set->Open();
        if (m_set->IsOpen() && !m_set->IsEmptySet() && m_set->SafeEdit()) {
            m_nAlertNo = alertNo;
            const QStringList pieces = SplitText(m_set->m_AlertText);
            m_strGroup = pieces.value(0);
            m_strDescription = pieces.value(1);
            m_strFilter = pieces.value(2);
            m_strExtra = pieces.value(3);
            m_nPrint = m_set->m_AlertPrint;
            m_nColor = m_set->m_AlertColor;
            m_nSound = m_set->m_AlertSound;
        } else {
            m_set.reset();
        }
    }
    m_description->setText(m_strDescription);
    m_filter->setText(m_strFilter);
    EnableItem(kRemove, m_nAlertNo != 0);
    EnableItem(kFilter, !m_strFilter.isEmpty());
    EnableItem(kSave, false);
}

void CFavoritesDlg::SaveChanges()
{
    if (!m_set || m_nAlertNo == 0)
        return;
    m_strDescription = m_description->text();
    m_strFilter = m_filter->text();
    const QString text = JoinText(m_strGroup, m_strDescription, m_strFilter, m_strExtra);
    if (!TextFits(text))
        return;
    if (m_set->GetEditMode() == CXDaoSet::dbEditNone && !m_set->SafeEdit())
        return;
    m_set->m_AlertText = text;
    if (!m_set->SaveRecord(64))
        return;
    if (QTreeWidgetItem *item = m_tree->currentItem())
        item->setText(0, m_strDescription);
    EnableItem(kSave, false);
    m_tree->viewport()->update();
}

void CFavoritesDlg::RemoveFavorite()
{
    if (!m_set || m_nAlertNo == 0)
        return;
    QTreeWidgetItem *item = m_tree->currentItem();
    const QString label = item ? item->text(0) : m_strDescription;
    if (m_set->GetEditMode() != CXDaoSet::dbEditNone)
        m_set->CancelUpdate();
    if (!m_set->DeleteWithConfirm(QStringLiteral("remove '") + label + QStringLiteral("' from your favorites?")))
        return;
    m_set.reset();
    m_nAlertNo = 0;
    if (item) {
        m_filling = true;
        QTreeWidgetItem *parent = item->parent();
        delete item;
        if (parent && parent->childCount() == 0)
            delete parent;
        m_tree->setCurrentItem(nullptr);
        m_filling = false;
    }
    LoadItem(nullptr);
}

bool CFavoritesDlg::OnCommand(int id)
{
    switch (id) {
    case kSave: SaveChanges(); return true;
    case kRemove: RemoveFavorite(); return true;
    default: return CDlg0::OnCommand(id);
    }
}

void CFavoritesDlg::OnOK()
{
    m_strDescription = m_description->text();
    m_strFilter = m_filter->text();
    if (m_set && m_set->GetEditMode() != CXDaoSet::dbEditNone)
        m_set->CancelUpdate();
    CDlg0::OnOK();
}
