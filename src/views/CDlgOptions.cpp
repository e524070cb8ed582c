#include "views/CDlgOptions.h"
#include "views/TextRoom.h"

#include "data/OptionsAndLookups.h"
#include <algorithm>
#include <QtWidgets/QTreeWidgetItemIterator>
#include <QtWidgets/QStyle>
#include <QtGui/QFontMetrics>
#include "app/base/Appearance.h"

#include "controls/CXTreeOptCtrl.h"
#include "controls/ControlMessages.h"
#include "controls/DlgItem.h"
#include "data/CXDaoSet.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "resources/Strings.h"

#include <QtGui/QScreen>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QPushButton>

namespace {
constexpr unsigned kTree = 2201;
constexpr unsigned kExtra = 1001;
constexpr int kRadioHeader = 1;
constexpr int kCheckHeader = 0;

// The pieces of a comma-terminated list (text after the last comma is no
// piece). A comma inside parentheses belongs to its entry's own text: "Buyer
// (if ..., do not check this)" is one entry.
QStringList listPieces(const QString &list)
{
    QStringList pieces;
    QString piece;
    int depth = 0;
    for (const QChar c : list) {
        if (c == QLatin1Char(',') && depth == 0) {
            pieces.append(piece);
            piece.clear();
            continue;
        }
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')') && depth > 0)
            --depth;
        piece += c;
    }
    if (depth != 0) {
        // An unclosed parenthesis: every comma ends an entry.
        pieces = list.split(QLatin1Char(','));
        pieces.removeLast();
    }
    return pieces;
}
} // namespace

CDlgOptions::CDlgOptions(const QString &ribbonTitle, const QString &stripText, int headerImage, QWidget *parent)
    : CDlg0(432, parent), m_nHeaderImage(headerImage)
{
    m_strRibbonTitle = ribbonTitle;
    m_strStripText = stripText;
    m_bEnterAsTab = 0;
    m_crBack = 0xFFFFFF;
    resize(420, 380);
    AddPlaceholder(1901, QRect(0, 0, 420, 40));
    AddPlaceholder(1902, QRect(0, 40, 420, 30));
    m_tree = new CXTreeOptCtrl(this);
    m_tree->setGeometry(8, 76, 404, 248);
    SetDlgCtrlID(m_tree, kTree);
    AddButton(kExtra, QString(), QRect(8, 336, 120, 32))->hide();
    AddButton(1, QStringLiteral("OK"), QRect(176, 336, 114, 32));
    AddButton(2, QStringLiteral("Cancel"), QRect(298, 336, 114, 32));
    connect(m_tree, &CXTreeCtrl::ownerMessage, this, &CDlgOptions::OnTreeMessage);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item, int) {
        if (m_bDoubleClickIsOK && item && item->parent())
            OnOK();
    });
}

// --- building the entries -------------------------------------------------------

void CDlgOptions::AddCheckGroup(const QString &title, int image)
{
    m_entries.append(CListItem(0, title, kCheckHeader, image));
}

void CDlgOptions::AddRadioGroup(const QString &title, int image)
{
    m_entries.append(CListItem(0, title, kRadioHeader, image));
}

void CDlgOptions::AddGroupHeader(const QString &title)
{
    m_entries.append(CListItem(0, title, 0, kHeadingImage));
}

void CDlgOptions::AddEntry(long code, const QString &text, int n1, int n2, int n3, int n4, int n5, int n6, int n7,
                           int n8)
{
    m_entries.append(CListItem(std::int32_t(code), text, n1, n2, n3, n4, n5, n6, n7, n8));
}

void CDlgOptions::AddListEntries(long firstCode, const QString &list)
{
    long code = firstCode;
    for (const QString &piece : listPieces(list))
        AddEntry(code++, piece);
}

void CDlgOptions::AddCodedListEntries(const QString &list)
{
    for (const QString &piece : listPieces(list)) {
        bool ok = false;
        const long code = piece.trimmed().toLong(&ok);
        if (ok && code != 0)
            AddEntry(code, piece);
        else if (!ok)
            AddGroupHeader(piece);
    }
}

void CDlgOptions::AddOptionGroups(int firstResource, int lastResource, bool radio, long value)
{
    for (int id = firstResource; id <= lastResource; ++id) {
        const QString text = LoadResourceString(id);
        if (text.isEmpty())
            continue;
        // Each group starts from its own stored row; a group without one
        // starts from nothing chosen (only the first group may be given a
        // value by the caller).
        long groupValue = (id == firstResource) ? value : 0;
        if (!(id == firstResource && value != 0)) {
            CXDaoSet set;
            set.Open(CXDaoSet::dbOpenDynaset, QStringLiteral("SELECT * FROM Options WHERE OptionID = %1").arg(id));
            if (set.IsOpen() && !set.IsEmptySet())
                groupValue = set.GetLong(1);
            set.Close();
        }
        // What the window shows is what its save settles against.
        m_readOptions[id] = groupValue;
        const QStringList pieces = text.split(QLatin1Char(','));
        if (radio)
            AddRadioGroup(pieces.value(0), m_nHeaderImage);
        else
            AddCheckGroup(pieces.value(0), m_nHeaderImage);
        if (m_nHeaderImage >= 158)
            ++m_nHeaderImage;
        // The text after the last comma is no option.
        for (int n = 1; n < pieces.size() - 1; ++n) {
            const bool checked = radio ? groupValue == n : (groupValue & (1L << (n - 1))) != 0;
            AddEntry(long(id) * 100 + n, pieces[n], checked ? 1 : 0);
        }
    }
}

bool CDlgOptions::SaveOptionGroups()
{
    // One refusal for all the groups, not one for each.
    if (RefusedAsReadOnly(&SharedDatabase(), QStringLiteral("Cannot save Options")))
        return false;
    struct Group
    {
        long optionId = 0;
        long value = 0;
        bool radio = false;
        QString title;
        QStringList texts; // the options, from position 1
    };
    QList<Group> groups;
    Group group;
    for (const CListItem &e : m_entries) {
        if (e.m_value == 0) {
            groups.append(group);
            group = Group();
            group.radio = e.number(1) == kRadioHeader && e.number(2) != kHeadingImage;
            group.title = e.m_text;
            continue;
        }
        group.optionId = e.m_value / 100;
        group.texts.append(e.m_text);
        if (e.number(1) != 0) {
            if (group.radio)
                group.value = group.texts.size();
            else
                group.value += 1L << (group.texts.size() - 1);
        }
    }
    groups.append(group);
    // Each group as the window read it: only what was changed here is
    // written, onto the row as it is now.
    bool saved = true;
    for (const Group &g : groups) {
        if (g.optionId == 0)
            continue;
        const auto read = m_readOptions.constFind(g.optionId);
        if (read == m_readOptions.cend()) {
            SaveOption(g.optionId, g.value);
            continue;
        }
        OptionNames names;
        names.radio = g.radio;
        names.group = g.title;
        const QStringList texts = g.texts;
        names.choice = [texts](qint32 n) { return n >= 1 && n <= texts.size() ? texts[n - 1] : QString(); };
        names.bit = [texts](int bit) { return texts.value(bit); };
        if (SaveOptionValue(qint32(g.optionId), qint32(*read), qint32(g.value), names))
            m_readOptions[g.optionId] = g.value; // saved: not written again
        else
            saved = false;
    }
    if (!saved)
        return false;
    platform::Prompt::beep();
    return true;
}

void CDlgOptions::SaveOption(long optionId, long value)
{
    SaveOptionValue(qint32(optionId), qint32(value));
}

// --- answers -------------------------------------------------------------------------

bool CDlgOptions::IsEntryChecked(long code) const
{
    bool passOver = false;
    for (const CListItem &e : m_entries) {
        if (e.m_value == 0) {
            passOver = e.number(2) == 213;
            continue;
        }
        if (!passOver && e.m_value == code)
            return e.number(1) != 0;
    }
    return false;
}

long CDlgOptions::GetCheckedInRange(long low, long high) const
{
    for (const CListItem &e : m_entries)
        if (e.m_value != 0 && e.m_value >= low && e.m_value <= high && e.number(1) != 0)
            return e.m_value;
    return 0;
}

QString CDlgOptions::GetEntryText(long code) const
{
    for (const CListItem &e : m_entries)
        if (e.m_value == code)
            return e.m_text;
    return QString();
}

void CDlgOptions::SetEntryText(int index, const QString &text)
{
    if (index >= 0 && index < m_entries.size())
        m_entries[index].m_text = text;
}

void CDlgOptions::SetCheckMask(int mask)
{
    int bit = 0;
    for (CListItem &e : m_entries) {
        if (e.m_value == 0)
            continue;
        e.setNumber(1, bit < 31 && (mask >> bit) & 1 ? 1 : 0);
        ++bit;
    }
}

// --- the dialog ----------------------------------------------------------------------

bool CDlgOptions::OnInitDialog()
{
    CDlg0::OnInitDialog();
    InitRibbons(7, 8, 2, 14);
    m_tree->SetImageListAndFont(131, 2);
    m_tree->header()->hide();
    if (m_entries.isEmpty()) {
        EndDialog(IDCANCEL_RESULT);
        return true;
    }
    BuildTree();
    if (!m_strOKCaption.isEmpty())
        SetItemText(1, m_strOKCaption);
    if (!m_strCancelCaption.isEmpty())
        SetItemText(2, m_strCancelCaption);
    if (!m_strExtraCaption.isEmpty()) {
        SetItemText(kExtra, m_strExtraCaption);
        ShowItem(kExtra, true);
    }
    GrowToFit();
    return true;
}

void CDlgOptions::BuildTree()
{
    m_tree->setBusy(true);
    HTREEITEM group = nullptr;
    bool radio = false;
    for (const CListItem &e : m_entries) {
        if (e.m_value == 0) {
            if (e.number(2) == kHeadingImage) {
                group = m_tree->AddRootGroup(e.m_text, kHeadingImage);
                radio = false;
            } else if (e.number(1) == kRadioHeader) {
                group = m_tree->AddRootGroup(e.m_text, e.number(2));
                radio = true;
            } else {
                group = m_tree->AddRootOption(e.m_text, e.number(2));
                radio = false;
                m_bDoubleClickIsOK = 0;
            }
            continue;
        }
        m_tree->AddOption(unsigned(e.m_value), e.m_text, group, e.number(1) != 0, radio);
    }
    m_tree->ExpandAll(true);
    m_tree->setBusy(false);
    for (int i = 2; i >= 0; --i)
        if (m_nSelect[size_t(i)] != 0)
            if (HTREEITEM item = m_tree->FindOption(unsigned(m_nSelect[size_t(i)])))
                m_tree->SelectAndShow(item);
}

void CDlgOptions::CollectStates()
{
    m_nCheckMask = 0;
    int bit = 0;
    for (CListItem &e : m_entries) {
        if (e.m_value == 0)
            continue;
        const bool checked = m_tree->IsOptionChecked(unsigned(e.m_value));
        e.setNumber(1, checked ? 1 : 0);
        if (checked && bit < 31)
            m_nCheckMask |= 1 << bit;
        ++bit;
    }
}

bool CDlgOptions::OnCommand(int id)
{
    if (id == int(kExtra)) {
        CollectStates();
        EndDialog(int(kExtra));
        return true;
    }
    return CDlg0::OnCommand(id);
}

void CDlgOptions::OnOK()
{
    CollectStates();
    if (m_nCheckMask != 0 && !m_strConfirm.isEmpty() &&
        platform::Prompt::messageBox(m_strConfirm, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) !=
            platform::IDYES)
        return;
    EndDialog(IDOK_RESULT);
}

void CDlgOptions::OnTreeMessage(int message, qintptr wParam, qintptr)
{
    if (message != MSG_RADIO_CHOSEN)
        return;
    // Printing to a file cannot be combined with the screen prints.
    if ((wParam == 30335 || wParam == 30336) && m_tree->IsOptionChecked(57609))
        m_tree->SelectOption(57608);
}

void CDlgOptions::GrowToFit()
{
    // Wider first, as far as the screen allows, so that the title and every
    // entry show whole.
    const int title = QFontMetrics(Appearance::instance().GetFont(7)).horizontalAdvance(m_strRibbonTitle) + 60;
    int growX = std::max(TreeTextShortfall(*m_tree), title - width());
    if (QScreen *s = screen())
        growX = std::min(growX, s->availableGeometry().width() - 40 - width());
    if (growX > 0) {
        resize(width() + growX, height());
        GrowItemBy(1901, growX, 0);
        GrowItemBy(1902, growX, 0);
        GrowItemBy(kTree, growX, 0);
        MoveItemBy(1, growX, 0);
        MoveItemBy(2, growX, 0);
    }
    const int grow = GrowToShowAllRows(m_tree);
    if (grow <= 0)
        return;
    GrowItemBy(kTree, 0, grow);
    MoveItemBy(kExtra, 0, grow);
    MoveItemBy(1, 0, grow);
    MoveItemBy(2, 0, grow);
}
