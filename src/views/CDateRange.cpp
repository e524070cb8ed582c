#include "views/CDateRange.h"

#include "controls/DlgItem.h"
#include "platform/Clock.h"

#include <QtWidgets/QCalendarWidget>

CDateRange::CDateRange(QWidget *parent) : CDlg0(434, parent)
{
    m_from = m_to = platform::Clock::now().toUTC().date();
    setWindowTitle(QStringLiteral("Date"));
    setFixedSize(560, 260);
    m_fromCal = new QCalendarWidget(this);
    m_fromCal->setGeometry(8, 8, 268, 200);
    SetDlgCtrlID(m_fromCal, 5541);
    m_toCal = new QCalendarWidget(this);
    m_toCal->setGeometry(284, 8, 268, 200);
    SetDlgCtrlID(m_toCal, 5542);
    for (QCalendarWidget *cal : {m_fromCal, m_toCal}) {
        cal->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        connect(cal, &QCalendarWidget::selectionChanged, this, &CDateRange::UpdateCaption);
    }
    AddButton(1, QStringLiteral("OK"), QRect(324, 218, 110, 32));
    AddButton(2, QStringLiteral("Cancel"), QRect(442, 218, 110, 32));
}

QString CDateRange::DateText(const QDate &date)
{
    return QString::asprintf("%02d/%02d/%2d", date.month(), date.day(), date.year());
}

bool CDateRange::OnInitDialog()
{
    CDlg0::OnInitDialog();
    SetBackColor(0xFFFFFF);
    m_fromCal->setSelectedDate(m_from);
    m_toCal->setSelectedDate(m_to);
    UpdateCaption();
    return true;
}

void CDateRange::UpdateCaption()
{
    setWindowTitle(QStringLiteral("Date Range: %1 - %2")
                       .arg(DateText(m_fromCal->selectedDate()), DateText(m_toCal->selectedDate())));
}

void CDateRange::OnOK()
{
    m_from = m_fromCal->selectedDate();
    m_to = m_toCal->selectedDate();
    m_strSql = QStringLiteral(" between #%1# and #%2#").arg(DateText(m_from), DateText(m_to));
    CDlg0::OnOK();
}
