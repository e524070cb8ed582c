// The record list's own queries on the database.

#include "controls/CXListCtrl.h"
#include "controls/CXRecordsetSource.h"

#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtGui/QClipboard>
#include <QtGui/QCursor>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QTableWidget>
#include <QtWidgets/QVBoxLayout>

namespace {

class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

// The names declared by a "PARAMETERS name type, ...;" head, in order.
QStringList declaredParameters(const QString &sql)
{
    const QString text = sql.trimmed();
    if (!text.startsWith(QLatin1String("PARAMETERS"), Qt::CaseInsensitive))
        return {};
    const qsizetype end = text.indexOf(QLatin1Char(';'));
    const QString list = text.mid(10, end < 0 ? -1 : end - 10);
    QStringList names;
    qsizetype i = 0;
    while (i < list.size()) {
        while (i < list.size() && (list.at(i).isSpace() || list.at(i) == QLatin1Char(',')))
            ++i;
        if (i >= list.size())
            break;
        QString name;
        if (list.at(i) == QLatin1Char('[')) {
            const qsizetype close = list.indexOf(QLatin1Char(']'), i);
            name = list.mid(i + 1, close < 0 ? -1 : close - i - 1);
            i = close < 0 ? list.size() : close + 1;
        } else {
            const qsizetype start = i;
            while (i < list.size() && !list.at(i).isSpace() && list.at(i) != QLatin1Char(','))
                ++i;
            name = list.mid(start, i - start);
        }
        names << name;
        // Skip the type up to the next comma.
        while (i < list.size() && list.at(i) != QLatin1Char(','))
            ++i;
    }
    return names;
}

} // namespace

void CXListCtrl::FillFromSql(const QString &sql, const QString &keyHint, int sortColumn, bool descending,
                             QWidget *clipboardWindow)
{
    if (sql.isEmpty())
        return;
    if (clipboardWindow && (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier))
        QGuiApplication::clipboard()->setText(sql);
    WaitCursor wait;
    ClearList(true);
    m_source.reset();
    if (!m_db)
        return;
    m_source = CXRecordsetSource::openSnapshot(*m_db, sql.trimmed());
    SetSort(sortColumn, descending);
    if (m_source)
        fill(*m_source, keyHint, true);
}

void CXListCtrl::FillFromRecordset(platform::Recordset &recordset, const QString &keyHint)
{
    CXRecordsetSource source(recordset);
    FillFromRecordset(source, keyHint);
}

bool CXListCtrl::PromptQueryParameters(const QString &queryName, QList<platform::Value> &values)
{
    values.clear();
    const QStringList names = declaredParameters(m_db->queryText(queryName));
    if (names.isEmpty())
        return true;
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("QueryParameters"));
    dialog.setWindowTitle(QStringLiteral("Query"));
    auto *caption = new QLabel(queryName, &dialog);
    auto *grid = new QTableWidget(int(names.size()), 2, &dialog);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setHorizontalHeaderLabels({QStringLiteral("Field"), QStringLiteral("Value")});
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < names.size(); ++r) {
        auto *field = new QTableWidgetItem(names.at(r));
        field->setFlags(field->flags() & ~Qt::ItemIsEditable);
        grid->setItem(r, 0, field);
        grid->setItem(r, 1, new QTableWidgetItem(QString()));
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(caption);
    layout->addWidget(grid);
    layout->addWidget(buttons);
    if (platform::Prompt::execDialog(dialog) != QDialog::Accepted)
        return false;
    for (int r = 0; r < names.size(); ++r) {
        const QString text = grid->item(r, 1) ? grid->item(r, 1)->text() : QString();
        // The engine converts a typed text to the parameter's declared type;
        // an empty value binds Null.
        values.append(text.isEmpty() ? platform::Value() : platform::Value(text));
    }
    return true;
}

bool CXListCtrl::FillFromQueryDef(const QString &queryName)
{
    if (!m_db)
        return false;
    WaitCursor wait;
    QList<platform::Value> parameters;
    try {
        if (!m_db->queryExists(queryName))
            return false;
        if (!PromptQueryParameters(queryName, parameters))
            return false;
    } catch (const platform::DbException &) {
        return false;
    }
    m_source.reset();
    auto rs = std::make_unique<platform::Recordset>(*m_db);
    try {
        rs->open(platform::Recordset::Type::Snapshot, queryName, parameters);
    } catch (const platform::DbException &e) {
        ClearList(true);
        platform::Prompt::messageBox(QStringLiteral("Could not run query:\n\n%1\n\nError %2 occurred:\n\n%3")
                                         .arg(queryName)
                                         .arg(e.number())
                                         .arg(e.description()),
                                     QString(), platform::MB_ICONEXCLAMATION);
        return false;
    }
    m_source = CXRecordsetSource::adopt(std::move(rs), m_db->queryText(queryName));
    fill(*m_source, QString(), true);
    return true;
}
