#pragma once

#include "views/CDlg0.h"

#include <QtCore/QDate>

class QCalendarWidget;

// Picks a custom date range on two month calendars (first day, last day).
// The caller sets m_from and m_to, runs it and after OK reads both dates and
// m_strSql, " between #m/d/y# and #m/d/y#". Cancel touches nothing.
class CDateRange : public CDlg0
{
    Q_OBJECT

public:
    explicit CDateRange(QWidget *parent);

    QDate m_from;
    QDate m_to;
    QString m_strSql;

    QCalendarWidget *fromCalendar() const { return m_fromCal; }
    QCalendarWidget *toCalendar() const { return m_toCal; }

    // "01/31/2011" for a date.
    static QString DateText(const QDate &date);

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    void UpdateCaption();

    QCalendarWidget *m_fromCal = nullptr;
    QCalendarWidget *m_toCal = nullptr;
};
