// The application object's accelerators and small shop-option services.
#include "app/base/CZqApp.h"

#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QAbstractSpinBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QTextEdit>

namespace {
constexpr int kShift = Qt::ShiftModifier;
constexpr int kCtrl = Qt::ControlModifier;
constexpr int kAlt = Qt::AltModifier;

} // namespace

const std::vector<CZqApp::Accelerator> &CZqApp::AcceleratorTable()
{
    // The first matching entry wins, so the second F10 entry never fires.
    static const std::vector<Accelerator> table = {
        {Qt::Key_H, kCtrl | kShift, 30000}, {Qt::Key_J, kCtrl | kShift, 30001},
        {Qt::Key_S, kCtrl | kShift, 30002}, {Qt::Key_C, kCtrl | kShift, 30003},
        {Qt::Key_A, kCtrl | kShift, 30004}, {Qt::Key_R, kCtrl | kShift, 30005},
        {Qt::Key_E, kCtrl | kShift, 30006}, {Qt::Key_U, kCtrl | kShift, 30007},
        {Qt::Key_T, kCtrl | kShift, 30008},
        {Qt::Key_F1, 0, 30418}, {Qt::Key_F2, 0, 30100}, {Qt::Key_F3, 0, 30101}, {Qt::Key_F4, 0, 30124},
        {Qt::Key_F5, 0, 30121}, {Qt::Key_F6, 0, 30103}, {Qt::Key_F7, 0, 30330}, {Qt::Key_F8, 0, 30107},
        {Qt::Key_F9, 0, 30123}, {Qt::Key_F10, 0, 30213}, {Qt::Key_F10, 0, 30444}, {Qt::Key_Delete, 0, 30113},
        {Qt::Key_F3, kShift, 30609},
        {Qt::Key_F1, kCtrl, 57664}, {Qt::Key_F3, kCtrl, 30120}, {Qt::Key_F4, kCtrl, 30126},
        {Qt::Key_F7, kCtrl, 30335}, {Qt::Key_F10, kCtrl, 30442}, {Qt::Key_A, kCtrl, 30115},
        {Qt::Key_B, kCtrl, 30111}, {Qt::Key_F, kCtrl, 30101}, {Qt::Key_I, kCtrl, 30062},
        {Qt::Key_J, kCtrl, 30343}, {Qt::Key_L, kCtrl, 30170}, {Qt::Key_N, kCtrl, 30100},
        {Qt::Key_O, kCtrl, 30103}, {Qt::Key_P, kCtrl, 30330}, {Qt::Key_Q, kCtrl, 30167},
        {Qt::Key_S, kCtrl, 30130}, {Qt::Key_T, kCtrl, 30064}, {Qt::Key_W, kCtrl, 30181},
        {Qt::Key_Home, kCtrl, 59648}, {Qt::Key_End, kCtrl, 59649}, {Qt::Key_PageDown, kCtrl, 59650},
        {Qt::Key_PageUp, kCtrl, 59651},
        {Qt::Key_1, kAlt, 30051}, {Qt::Key_2, kAlt, 30052}, {Qt::Key_3, kAlt, 30053},
        {Qt::Key_A, kAlt, 30415}, {Qt::Key_C, kAlt, 30363}, {Qt::Key_E, kAlt, 30263},
        {Qt::Key_H, kAlt, 30408}, {Qt::Key_I, kAlt, 30407}, {Qt::Key_M, kAlt, 30264},
        {Qt::Key_N, kAlt, 30361}, {Qt::Key_O, kAlt, 30411}, {Qt::Key_R, kAlt, 30364},
        {Qt::Key_S, kAlt, 30362}, {Qt::Key_T, kAlt, 30525}, {Qt::Key_W, kAlt, 30406},
        {Qt::Key_M, kCtrl | kAlt, 20000}, {Qt::Key_Q, kCtrl | kAlt, 30510},
        {Qt::Key_Left, kCtrl | kAlt, 30236}, {Qt::Key_Right, kCtrl | kAlt, 30237},
        {Qt::Key_Down, kCtrl | kAlt, 30238}, {Qt::Key_Up, kCtrl | kAlt, 30239},
    };
    return table;
}

int CZqApp::TranslateAppAccelerator(QWidget *target, const QKeyEvent &event) const
{
    if (!m_acceleratorsLoaded)
        return 0;
    // Delete edits text normally; only a list turns it into the Delete command.
    if (event.key() == Qt::Key_Delete && !qobject_cast<QAbstractItemView *>(target))
        return 0;
    const int mods = int(event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    // In a field that takes typing, Ctrl+A selects its text and Ctrl+Home and
    // Ctrl+End move in it: the list's commands of those keys wait.
    if (mods == kCtrl && (event.key() == Qt::Key_A || event.key() == Qt::Key_Home || event.key() == Qt::Key_End)) {
        const auto *combo = qobject_cast<const QComboBox *>(target);
        if (qobject_cast<const QLineEdit *>(target) || qobject_cast<const QPlainTextEdit *>(target) ||
            qobject_cast<const QTextEdit *>(target) || qobject_cast<const QAbstractSpinBox *>(target) ||
            (combo && combo->isEditable()))
            return 0;
    }
    for (const Accelerator &a : AcceleratorTable())
        if (a.key == event.key() && a.modifiers == mods)
            return a.commandId;
    return 0;
}

void CZqApp::SetTrackOptionsText(const QString &text)
{
    m_trackOptions.clear();
    int from = 0;
    while (m_trackOptions.size() < 15) {
        const int comma = text.indexOf(QLatin1Char(','), from);
        if (comma < 0)
            break;
        m_trackOptions << text.mid(from, comma - from);
        from = comma + 1;
    }
    while (m_trackOptions.size() < 15)
        m_trackOptions << QString();
    m_trackStart = HoursMinutesToInt(m_trackOptions[1]);
    m_trackEnd = HoursMinutesToInt(m_trackOptions[2]);
    if (m_trackEnd <= m_trackStart)
        m_trackStart = m_trackEnd = 0;
}

QString CZqApp::GetTrackOptionText(QString &out, int index) const
{
    out = index >= 0 && index < m_trackOptions.size() ? m_trackOptions[index] : QString();
    return out;
}

int CZqApp::GetTrackOptionInt(int index) const
{
    QString t;
    return ToInt(GetTrackOptionText(t, index));
}

void CZqApp::SetShopOptionsText(const QString &text)
{
    const QStringList items = text.split(QLatin1Char(','));
    auto item = [&](int i) { return i < items.size() - 1 ? items[i] : QStringLiteral("0"); };
    m_printingMethod = ToInt(item(0));
    m_printingMethodFlag = m_printingMethod == 1 || m_printingMethod == 3;
    m_saturdayWorkday = item(1) == QLatin1String("1");
    m_sundayWorkday = item(2) == QLatin1String("1");
}

int CZqApp::SkipClosedDay(QDate *date, bool move) const
{
    if (!date || !date->isValid())
        return 0;
    int days = 0;
    if (date->dayOfWeek() == Qt::Sunday && !m_sundayWorkday)
        days = 1;
    else if (date->dayOfWeek() == Qt::Saturday && !m_saturdayWorkday)
        days = m_sundayWorkday ? 1 : 2;
    if (move)
        *date = date->addDays(days);
    return days;
}

QChar CZqApp::GetSecurityGlyph() const
{
    if (m_nSecurityLevel == 0)
        return QLatin1Char('+');
    if (m_nSecurityLevel >= 1 && m_nSecurityLevel <= 5)
        return QChar(u'Z' + m_nSecurityLevel);
    return QLatin1Char(',');
}

int CZqApp::TabBit(int id)
{
    switch (id) {
    case 30000: return 0;
    case 30001: return 1;
    case 30007: return 2;
    case 30008: return 3;
    case 30002: case 30003: case 30004: case 30005: case 30006: return 4 + (id - 30002);
    default: return -1;
    }
}

bool CZqApp::IsTabShown(int viewCommandId) const
{
    const int bit = TabBit(viewCommandId);
    if (bit < 0)
        return false;
    return (m_nShownTabs >> bit) & 1;
}

int CZqApp::GetConvertOptionId(int from, int to)
{
    if (from >= 4)
        return 44325;
    if (from == 3 && to == 0)
        return 44321;
    if (from == 3 && to == 1)
        return 44322;
    if (from == 1 && to == 0)
        return 44323;
    if (from == 2 && (to == 0 || to == 1))
        return 44324;
    return 0;
}
