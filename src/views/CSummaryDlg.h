#pragma once

#include "controls/CXListCtrl.h"
#include "views/CDlg0.h"

#include <QtCore/QString>

// The summary window of the list views: one query's rows as a table under a
// title, with Close.
class CSummaryDlg : public CDlg0
{
    Q_OBJECT

public:
    CSummaryDlg(const QString &title, const QString &sql, QWidget *parent);

    CXListCtrl &list() { return m_list; }

protected:
    bool OnInitDialog() override;

private:
    QString m_strSql;
    CXListCtrl m_list;
};
