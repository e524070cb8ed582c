#include "reports/CUserListDlg.h"

#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "reports/UserQueries.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>

namespace {
constexpr unsigned kNameLabel = 1901;
constexpr unsigned kNameEdit = 1301;
constexpr unsigned kSqlLabel = 1902;
constexpr unsigned kSqlEdit = 1302;
} // namespace

CUserListDlg::CUserListDlg(int mode, QWidget *parent) : CDlg0(502, parent), m_nMode(mode)
{
    m_strWindowTitle = QStringLiteral("SQL");
    resize(560, 400);
    AddLabel(QStringLiteral("Query Name"), QRect(12, 12, 120, 20), kNameLabel);
    m_nameEdit = AddEdit(kNameEdit, QRect(12, 34, 536, 24));
    AddLabel(QStringLiteral("Query (SQL)"), QRect(12, 68, 120, 20), kSqlLabel);
    m_sqlEdit = AddMultiLineEdit(kSqlEdit, QRect(12, 90, 536, 256));
    AddButton(1, QStringLiteral("&Save"), QRect(352, 358, 96, 30));
    AddButton(2, QStringLiteral("Cancel"), QRect(452, 358, 96, 30));
    AddSizeMarker(QPoint(560, 400));
    connect(m_nameEdit, &QLineEdit::editingFinished, this, [this] {
        if (m_nMode == ModeDefine)
            OnNameKillFocus();
    });
}

CUserListDlg::~CUserListDlg() = default;

bool CUserListDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    if (m_nMode == ModeDefine) {
        setWindowTitle(QStringLiteral("User Defined Query"));
        SetItemText(1, QStringLiteral("Save"));
    } else {
        MakeCloseOnly();
        m_sqlEdit->setReadOnly(true);
    }
    showFields();
    return true;
}

void CUserListDlg::readControls()
{
    m_strName = m_nameEdit->text();
    m_strSql = m_sqlEdit->toPlainText();
}

void CUserListDlg::showFields()
{
    m_nameEdit->setText(m_strName);
    m_sqlEdit->setPlainText(m_strSql);
}

void CUserListDlg::OnNameKillFocus()
{
    readControls();
    m_strOpenName.clear();
    m_strName = m_strName.trimmed();
    platform::Database &db = SharedDatabase();
    try {
        if (!m_strName.isEmpty() && db.queryExists(m_strName)) {
            for (const platform::Database::QueryDefInfo &info : db.queryDefs())
                if (info.name.compare(m_strName, Qt::CaseInsensitive) == 0)
                    m_strName = info.name;
            m_strOpenName = m_strName;
            m_strSql = db.queryText(m_strName);
            showFields();
        }
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot execute Query ") + m_strName);
    }
}

void CUserListDlg::OnOK()
{
    readControls();
    if (m_nMode != ModeDefine) {
        CDlg0::OnOK();
        return;
    }
    m_strName = m_strName.trimmed();
    m_strSql = m_strSql.trimmed();
    platform::Database &db = SharedDatabase();
    if (!m_strSql.isEmpty() && !IsReadOnlyQueryText(db, m_strSql)) {
        platform::Prompt::messageBox(kOnlySelectQueryText);
        return;
    }
    platform::DbException error(0, QString());
    if (m_strSql.isEmpty()) {
        if (m_strOpenName.isEmpty())
            return; // nothing typed for a new query
        const int answer = platform::Prompt::messageBox(
            QStringLiteral("SQL Statment is empty!\nDo you want to permanently delete this User Defined List?"),
            QString(), platform::MB_YESNO | platform::MB_ICONQUESTION);
        if (answer != platform::IDYES) {
            try {
                m_strSql = db.queryText(m_strOpenName);
            } catch (const platform::DbException &) {
            }
            showFields();
            return;
        }
        const QString prefix = DeleteUserQuery(db, m_strOpenName, &error);
        if (!prefix.isEmpty()) {
            ShowDaoError(error, prefix + m_strOpenName);
            return;
        }
        m_strOpenName.clear();
        CDlg0::OnOK();
        return;
    }
    if (m_strName.isEmpty()) {
        platform::Prompt::messageBox(QStringLiteral("Please enter a name for this query."));
        FocusItem(kNameEdit);
        return;
    }
    const QString prefix = SaveUserQuery(db, m_strOpenName, m_strName, m_strSql, &error);
    if (!prefix.isEmpty()) {
        ShowDaoError(error, prefix + m_strName);
        return;
    }
    m_strOpenName = m_strName;
    CDlg0::OnOK();
}
