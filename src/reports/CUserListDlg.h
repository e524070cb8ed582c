#pragma once

#include "views/CDlg0.h"

class QLineEdit;
class QPlainTextEdit;

// The query dialog ("SQL", template 502): in mode 2 the user writes, changes
// or deletes a saved query of the shop's database (a report of "Custom
// Queries"); in mode 0 it shows the statement behind a list, to be read and
// copied only.
class CUserListDlg : public CDlg0
{
    Q_OBJECT

public:
    enum Mode { ModeView = 0, ModeDefine = 2 };

    CUserListDlg(int mode, QWidget *parent);
    ~CUserListDlg() override;

    int m_nMode = ModeView;
    QString m_strName;
    QString m_strSql;
    // The saved query being edited (empty while the query is a new one).
    QString m_strOpenName;

    QLineEdit *nameEdit() const { return m_nameEdit; }
    QPlainTextEdit *sqlEdit() const { return m_sqlEdit; }

    // The name edit lost the focus: an existing query of that name is loaded.
    void OnNameKillFocus();

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    void readControls();
    void showFields();

    QLineEdit *m_nameEdit = nullptr;
    QPlainTextEdit *m_sqlEdit = nullptr;
};
