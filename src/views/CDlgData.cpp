#include "views/CDlgData.h"

#include "controls/TextLimit.h"
#include "views/TextRoom.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

#include <algorithm>

namespace {
constexpr unsigned kEdit = 1301;
constexpr unsigned kExtra = 1001;
} // namespace

CDlgData::CDlgData(const QString &value, int maxLength, const QString &windowTitle, const QString &ribbonTitle,
                   const QString &stripText, QWidget *parent)
    : CDlg0(430, parent), m_strValue(value), m_nMaxLength(maxLength)
{
    m_strWindowTitle = windowTitle;
    m_strRibbonTitle = ribbonTitle;
    m_strStripText = stripText;
    m_bEnterAsTab = 0;
    m_crBack = 0xFFFFFF;
    setFixedSize(420, 230);
    AddPlaceholder(1901, QRect(0, 0, 420, 34));
    AddPlaceholder(1902, QRect(0, 34, 420, 64));
    m_edit = AddEdit(kEdit, QRect(20, 112, 380, 30));
    m_extra = AddButton(kExtra, QString(), QRect(20, 180, 110, 30));
    m_extra->hide();
    AddButton(1, QStringLiteral("OK"), QRect(170, 180, 110, 30));
    AddButton(2, QStringLiteral("Cancel"), QRect(290, 180, 110, 30));
}

bool CDlgData::OnInitDialog()
{
    CDlg0::OnInitDialog();
    InitRibbons(3, 1, 2, 14);
    // A long prompt ("Name of the new ... Category:") widens the window so
    // that it reads whole; the edit widens with it, the buttons keep right.
    if (const int grow = TitleShortfall(m_wndRibbon, m_strRibbonTitle, 3, this); grow > 0) {
        setFixedSize(width() + grow, height());
        for (unsigned id : {1901u, 1902u, kEdit})
            GrowItemBy(id, grow, 0);
        MoveItemBy(1, grow, 0);
        MoveItemBy(2, grow, 0);
    }
    SetCtrlFont(m_edit, 3);
    if (m_strWindowTitle == QStringLiteral("Password"))
        m_edit->setEchoMode(QLineEdit::Password);
    if (!m_strExtraCaption.isEmpty()) {
        m_extra->setText(m_strExtraCaption);
        m_extra->show();
    }
    // Typing stops at the maximum length, with a beep: what is shown is what
    // is given back, never cut afterwards (a value given longer stays whole).
    if (m_nMaxLength > 0)
        TextLimit::Hold(m_edit, std::max(m_nMaxLength, int(m_strValue.size())));
    m_edit->setText(m_strValue);
    m_edit->selectAll();
    m_edit->setFocus();
    return true;
}

bool CDlgData::OnCommand(int id)
{
    if (id == int(kExtra)) {
        Finish(int(kExtra));
        return true;
    }
    return CDlg0::OnCommand(id);
}

void CDlgData::OnOK()
{
    Finish(IDOK_RESULT);
}

void CDlgData::Finish(int result)
{
    m_strValue = m_edit->text();
    EndDialog(result);
}
