#include "printing/CBarCodeDlg.h"

#include "controls/CXTreeOptCtrl.h"
#include "controls/ControlMessages.h"
#include "controls/DlgItem.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/Recordset.h"
#include "printing/CPrintForm.h"

#include <QtGui/QFont>
#include <QtGui/QFontDatabase>
#include <QtWidgets/QFontDialog>

namespace {

constexpr unsigned kFont = 30219;
constexpr unsigned kSave = 30213;

struct Group
{
    int id;
    const char *text;
    const char *title;
};

const Group kGroups[] = {
    {300, "Documents", ""},
    {301, "Commands", "Barcode Commands"},
    {302, "Employees", "Employee Barcodes"},
    {303, "Weekdays", "Weekday Barcodes"},
    {304, "ZedAzidavu (Item Locations)", "ZedAzidavu (Item Location) Barcodes"},
    {305, "RaroVirider", "RaroVirider Barcodes"},
};

} // namespace

CBarCodeDlg::CBarCodeDlg(QWidget *parent)
    : CDlg0(921, parent)
{
    m_strWindowTitle = QStringLiteral("Barcodes");
    m_bEnterAsTab = 0;
    m_crBack = 0xFFFFFF;
    resize(720, 460);
    AddPlaceholder(1732, QRect(0, 0, 720, 44));
    m_treeGroups = new CXTreeOptCtrl(this);
    m_treeGroups->setGeometry(8, 52, 260, 400);
    SetDlgCtrlID(m_treeGroups, 2201);
    m_treeOptions = new CXTreeOptCtrl(this);
    m_treeOptions->setGeometry(276, 52, 436, 400);
    SetDlgCtrlID(m_treeOptions, 2202);
    connect(m_treeGroups, &CXTreeCtrl::ownerMessage, this, [this](int message, qintptr wParam, qintptr) {
        if (message == MSG_RADIO_CHOSEN && !m_bFilling)
            OnGroupChosen(int(wParam));
    });
    connect(m_treeGroups, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current, QTreeWidgetItem *) {
        if (m_bFilling || !current)
            return;
        const unsigned id = m_treeGroups->GetOptionId(current);
        if (id >= 300 && int(id) != m_nGroup)
            OnGroupChosen(int(id));
    });
    connect(m_treeOptions, &CXTreeCtrl::ownerMessage, this, [this](int message, qintptr, qintptr) {
        if (message == MSG_OPTION_CHECKED && !m_bFilling)
            OnOptionToggled();
    });
}

QString CBarCodeDlg::SheetTitle(int kind)
{
    for (const Group &g : kGroups)
        if (g.id == kind && kind != 300)
            return QString::fromLatin1(g.title);
    return QString();
}

QString CBarCodeDlg::SettingText(const QString &face, int size, int mask)
{
    return QStringLiteral("%1,%2,%3,").arg(face).arg(size).arg(mask);
}

QList<std::pair<int, QString>> CBarCodeDlg::DocumentForms()
{
    QList<std::pair<int, QString>> out;
    if (!SharedDatabase().isOpen())
        return out;
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT [No], Title, Desc FROM Forms WHERE [No] < 20 ORDER BY [No]"));
    for (; !rs.isEOF(); rs.moveNext()) {
        const int no = rs.value(0).toInt();
        int bit = -1;
        if (no >= 1 && no <= 7)
            bit = no - 1;
        else if (no >= 11 && no <= 18)
            bit = no - 4;
        if (bit < 0)
            continue;
        // Forms of one title are told apart by their descriptions.
        QString title = rs.value(1).isNull() ? QString() : rs.value(1).toString();
        const QString desc = rs.value(2).isNull() ? QString() : rs.value(2).toString();
        if (!desc.isEmpty())
            title += QStringLiteral(" (") + desc + QLatin1Char(')');
        out.append({bit, title});
    }
    return out;
}

bool CBarCodeDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    if (m_crBack)
        SetBackColor(m_crBack);
    if (m_ribbon.Create(this, 1732, m_nColorScheme, 1, 132, 8, 32, 3, 0, 0, 36)) {
        connect(&m_ribbon, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        const auto add = [this](unsigned id, const QString &text, int image) {
            m_ribbon.AddItem(id, text, struct_RIB_ITEM::Normal, 132, std::uint8_t(image), 2, 2084, 7, 2, 100);
        };
        add(2, QStringLiteral("Close"), 6);
        m_ribbon.AddSpacer(12, 5);
        add(57609, QStringLiteral("Preview"), 51);
        add(57608, QStringLiteral("Print Now"), 56);
        add(57607, QStringLiteral("Print To"), 3);
        m_ribbon.AddSpacer(12, 5);
        add(kFont, QStringLiteral("Font"), 15);
        add(kSave, QStringLiteral("Save"), 7);
        m_ribbon.RecalcLayout(0);
    }
    m_treeGroups->SetImageListAndFont(131, 2);
    m_treeOptions->SetImageListAndFont(131, 2);
    LoadFontSetting();
    FillGroupTree();
    OnGroupChosen(m_nGroup);
    return true;
}

void CBarCodeDlg::LoadFontSetting()
{
    const QString text = SharedDatabase().isOpen() ? GetGlobalAlertText(241, -1, QString()) : QString();
    if (text.isEmpty()) {
        m_strFontFace = QStringLiteral("WASP 39 M");
        m_nFontSize = 240;
    } else {
        const QStringList items = text.split(QLatin1Char(','));
        m_strFontFace = items.value(0);
        m_nFontSize = items.value(1).toInt();
        m_nDocMask = items.value(2).toInt();
    }
    m_strShownSetting = SettingText(m_strFontFace, m_nFontSize, m_nDocMask);
    m_strReadSetting = text.isEmpty() ? m_strShownSetting : text;
    UpdateCaption();
}

void CBarCodeDlg::UpdateCaption()
{
    setWindowTitle(QStringLiteral("Barcode Font: %1   Size: %2 points")
                       .arg(m_strFontFace)
                       .arg(QString::number(m_nFontSize / 10.0, 'f', 1)));
}

void CBarCodeDlg::FillGroupTree()
{
    m_bFilling = true;
    m_treeGroups->RemoveAllOptions();
    HTREEITEM root = m_treeGroups->AddRootOption(QStringLiteral("Barcodes for:"), 11);
    for (const Group &g : kGroups)
        m_treeGroups->AddRadio(unsigned(g.id), QString::fromLatin1(g.text), root, g.id == m_nGroup);
    m_treeGroups->ExpandAll(true);
    m_bFilling = false;
}

void CBarCodeDlg::OnGroupChosen(int group)
{
    m_nGroup = group;
    m_bFilling = true;
    m_treeGroups->SetOptionChecked(unsigned(group), true);
    m_treeGroups->SelectOption(unsigned(group));
    m_treeOptions->RemoveAllOptions();
    const bool documents = group == 300;
    if (documents) {
        const QList<std::pair<int, QString>> forms = DocumentForms();
        if (!forms.isEmpty()) {
            HTREEITEM root = m_treeOptions->AddRootOption(QStringLiteral("Print barcodes on:"), 215);
            // Each box carries the bit of its form (its option id is bit + 1).
            for (const auto &[bit, title] : forms)
                m_treeOptions->AddCheckBox(unsigned(bit + 1), title, root, (m_nDocMask >> bit) & 1);
        }
    } else {
        for (const Group &g : kGroups) {
            if (g.id != group)
                continue;
            HTREEITEM item = m_treeOptions->AddRootOption(QString::fromLatin1(g.text), 11);
            m_treeOptions->AddGroupHeader(QStringLiteral("Click Preview or Print"), item);
        }
    }
    m_treeOptions->ExpandAll(true);
    m_bFilling = false;
    m_ribbon.EnableItem(kFont, documents);
    for (unsigned id : {57607u, 57608u, 57609u})
        m_ribbon.EnableItem(id, !documents);
    m_ribbon.EnableItem(kSave, false);
}

void CBarCodeDlg::SetDocument(int option, bool on)
{
    if (!m_treeOptions->FindOption(unsigned(option)))
        return;
    m_treeOptions->SetOptionChecked(unsigned(option), on);
    OnOptionToggled();
}

void CBarCodeDlg::OnOptionToggled()
{
    // The mask follows the boxes' own bits, not their places in the tree.
    int mask = 0;
    for (const auto &[bit, title] : DocumentForms())
        if (m_treeOptions->IsOptionChecked(unsigned(bit + 1)))
            mask |= 1 << bit;
    m_nDocMask = mask;
    m_ribbon.EnableItem(kSave, true);
}

bool CBarCodeDlg::SaveSetting()
{
    CAlertSet::ListItems items;
    items.label = [](int item) {
        const char *const labels[] = {"Barcode Font", "Size", "Print barcodes on"};
        return item >= 0 && item < 3 ? QString::fromLatin1(labels[item]) : QString();
    };
    items.shown = [](int item, const QString &value) {
        if (item == 1)
            return QStringLiteral("%1 points").arg(QString::number(value.toInt() / 10.0, 'f', 1));
        if (item != 2)
            return value;
        QStringList titles;
        for (const auto &[bit, title] : DocumentForms())
            if ((value.toInt() >> bit) & 1)
                titles.append(title);
        return titles.join(QStringLiteral(", "));
    };
    if (!SaveGlobalAlertText(241, m_strReadSetting, m_strShownSetting,
                             SettingText(m_strFontFace, m_nFontSize, m_nDocMask), items))
        return false;
    platform::Prompt::beep();
    // Shown as saved: another user's changes kept beside these.
    LoadFontSetting();
    OnGroupChosen(m_nGroup);
    m_ribbon.EnableItem(kSave, false);
    return true;
}

void CBarCodeDlg::OnFont()
{
    QFont start(m_strFontFace);
    start.setPointSizeF(m_nFontSize > 0 ? m_nFontSize / 10.0 : 24.0);
    QFontDialog dialog(start, this);
    if (platform::Prompt::execDialog(dialog) != QDialog::Accepted)
        return;
    const QFont chosen = dialog.currentFont();
    // The faces the dialog offers are those of the computer's font list, the
    // generic faces ("Sans Serif", "Monospace") among them; a typed face
    // that is not on it would be drawn with a stand-in and is refused.
    if (!QFontDatabase::families().contains(chosen.family(), Qt::CaseInsensitive)) {
        platform::Prompt::messageBox(QStringLiteral("The font \"%1\" is not installed on this computer.\n\n"
                                                    "The barcode font was not changed.")
                                         .arg(chosen.family()),
                                     QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return;
    }
    m_strFontFace = chosen.family();
    m_nFontSize = qRound(chosen.pointSizeF() * 10.0);
    SaveSetting();
    UpdateCaption();
}

void CBarCodeDlg::OnPrintCommand(int command)
{
    CPrintForm *form = CPrintForm::Instance();
    if (!form || m_nGroup < 301 || m_nGroup > 305)
        return;
    form->ResetOptions();
    form->m_nKind = 100;
    form->m_nFormNo = 100;
    form->FindForm();
    form->m_nRecords = 1;
    form->m_strTitle = SheetTitle(m_nGroup);
    form->m_nKind = m_nGroup;
    form->m_nRecords = CPrintForm::SheetRowsOf(m_nGroup, 0);
    EndDialog(command);
}

bool CBarCodeDlg::OnCommand(int id)
{
    switch (id) {
    case kSave:
        SaveSetting();
        return true;
    case kFont:
        OnFont();
        return true;
    case 57607: case 57608: case 57609:
        OnPrintCommand(id);
        return true;
    case 30330:
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}
