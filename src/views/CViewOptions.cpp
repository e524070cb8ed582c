#include "views/CViewOptions.h"

#include "app/base/Appearance.h"
#include "controls/CXTreeOptCtrl.h"
#include "controls/ControlMessages.h"
#include "controls/DlgItem.h"
#include "platform/Prompt.h"
#include "views/CViewColor.h"

#include <QtWidgets/QFontDialog>
#include <QtWidgets/QHeaderView>

namespace {

struct Choice
{
    int value;
    const char *text;
};

struct Group
{
    const char *heading;
    QList<Choice> choices;
};

// Group n (from 1) holds options 1000 x n + value.
const QList<Group> &groups()
{
    static const QList<Group> list = {
        {"Style of Main Buttons (New, Find, Open, etc.)",
         {{0, "Icons and Text (Default)"}, {2, "Icons Only"}, {3, "Text Only"}}},
        {"Background of Other Buttons ",
         {{10, "Dark Gradient Background (Default)"}, {14, "Dark Flat"}, {6, "Lite Gradient"}, {5, "Lite Flat"}}},
        {"Background of List Manager", {{0, "Pale Color (Default)"}, {1, "Pale Gray"}, {2, "White"}}},
        {"Color Intensity",
         {{180, "Highest"},
          {160, "Higher"},
          {140, "High"},
          {120, "Normal  (Default)"},
          {100, "Low"},
          {80, "Lower"},
          {60, "Lowest"}}},
        {"Font Size",
         {{100, "Largest"}, {95, "Larger"}, {90, "Normal  (Default)"}, {85, "Smaller"}, {80, "Smallest"}}},
    };
    return list;
}

int currentSetting(int group)
{
    Appearance &a = Appearance::instance();
    switch (group) {
    case 1: return a.buttonStyle();
    case 2: return a.fillStyle();
    case 3: return a.listManagerStyle();
    case 4: return a.colorIntensity();
    case 5: return a.fontSize();
    default: return -1;
    }
}

} // namespace

CViewOptions::CViewOptions(unsigned viewId, QWidget *parent) : CDlg0(504, parent), m_nViewId(viewId)
{
    m_strWindowTitle = QStringLiteral("Customize Appearance (for this computer only)");
    m_bEnterAsTab = 0;
    // Tall enough for the five groups with every choice open.
    resize(420, 660);
    m_tree = new CXTreeOptCtrl(this);
    m_tree->setGeometry(10, 10, 400, 570);
    SetDlgCtrlID(m_tree, kTree);
    AddButton(kFontCommand, QStringLiteral("Font..."), QRect(10, 588, 96, 30));
    AddButton(kDefaultsButton, QStringLiteral("Use Default Options"), QRect(114, 588, 148, 30));
    AddButton(kColorButton, QStringLiteral("Change Window Color"), QRect(270, 588, 140, 30));
    AddButton(2, QStringLiteral("Close"), QRect(314, 622, 96, 30));
    connect(m_tree, &CXTreeCtrl::ownerMessage, this, &CViewOptions::OnTreeMessage);
}

bool CViewOptions::OnInitDialog()
{
    CDlg0::OnInitDialog();
    m_tree->SetImageListAndFont(131, 2);
    m_tree->header()->hide();
    m_tree->setBusy(true);
    for (int g = 0; g < groups().size(); ++g) {
        HTREEITEM group = m_tree->AddRootGroup(QString::fromLatin1(groups()[g].heading), 159 + g);
        for (const Choice &c : groups()[g].choices)
            m_tree->AddRadio(unsigned(1000 * (g + 1) + c.value), QString::fromLatin1(c.text), group, false);
    }
    m_tree->ExpandAll(true);
    m_tree->setBusy(false);
    CheckCurrentSettings();
    return true;
}

void CViewOptions::CheckCurrentSettings()
{
    m_tree->setBusy(true);
    for (int g = 0; g < groups().size(); ++g) {
        const int current = currentSetting(g + 1);
        for (const Choice &c : groups()[g].choices)
            m_tree->SetOptionChecked(unsigned(1000 * (g + 1) + c.value), c.value == current);
    }
    m_tree->setBusy(false);
}

void CViewOptions::send(int setting, int value)
{
    emit viewMessage(CViewColor::kAppearanceMessage, setting, value);
}

void CViewOptions::OnTreeMessage(int message, qintptr, qintptr)
{
    if (message != MSG_RADIO_CHOSEN)
        return;
    const unsigned n = m_tree->GetSelectedOptionId();
    if (n != 0)
        send(int(n / 1000), int(n % 1000) & 0xFF);
}

bool CViewOptions::OnCommand(int id)
{
    switch (id) {
    case int(kDefaultsButton): UseDefaults(); return true;
    case int(kColorButton): ChangeWindowColor(); return true;
    case int(kFontCommand): ChooseFont(); return true;
    default: return CDlg0::OnCommand(id);
    }
}

void CViewOptions::UseDefaults()
{
    // Every setting is sent, also one that already holds its default, so the
    // view redraws whatever it had applied.
    send(1, 0);
    send(2, 10);
    send(3, 0);
    send(4, 120);
    Appearance::instance().SetFontName(QString());
    send(5, 90);
    CheckCurrentSettings();
}

void CViewOptions::ChooseFont()
{
    QFontDialog dialog(Appearance::instance().GetFont(2), this);
    dialog.setOption(QFontDialog::ScalableFonts, true);
    if (platform::Prompt::execDialog(dialog) != QDialog::Accepted)
        return;
    const QFont font = dialog.selectedFont();
    Appearance::instance().SetFontName(font.family());
    // Tenths of a point, the fraction dropped.
    send(5, int(font.pointSizeF() * 10.0));
}

void CViewOptions::ChangeWindowColor()
{
    CViewColor colour(m_nViewId, Appearance::instance().GetViewHue(m_nViewId, true), m_pParent);
    connect(&colour, &CViewColor::viewMessage, this, &CViewOptions::viewMessage);
    colour.DoModal();
}
