#include "production/tracking/TaskRows.h"

#include "app/base/CZqApp.h"
#include "controls/CXRibbon.h"
#include "controls/CXTable.h"
#include "data/CItemSet.h"
#include "views/CDlgData.h"
#include "views/CNoteDlg.h"
#include "platform/Prompt.h"

#include <QtCore/QPoint>
#include <QtWidgets/QMenu>

namespace track {

namespace {

const QString kTailMark = QStringLiteral(" \u00B7 ");

} // namespace

void FillCodeCells(CXTable &table, int row, int operatorColumn, int tagColumn, int priorityColumn, quint8 empNo,
                   quint8 tag, quint8 priority, bool itemRow)
{
    CZqApp *app = ZqApp();
    if (!app)
        return;
    QString name;
    int icon = 0;
    if (itemRow || empNo == 0) {
        table.SetCellText(row, operatorColumn, QString());
    } else {
        app->GetEmployeeNameAndIcon(empNo, name, icon);
        table.SetCellText(row, operatorColumn, name);
        table.SetCellStyle(row, operatorColumn, std::uint8_t(CZqApp::GetEmployeeIcon(empNo, 131)));
    }
    name.clear();
    icon = 0;
    app->GetTagNameAndIcon(tag, name, icon);
    table.SetCellText(row, tagColumn, tag == 0 ? QString() : name);
    table.SetCellStyle(row, tagColumn, std::uint8_t(tag == 0 ? 0 : icon));
    name.clear();
    icon = 0;
    if (priority == 0) {
        table.SetCellText(row, priorityColumn, QString());
    } else {
        app->GetStockStatusNameAndIcon(priority, name, icon);
        table.SetCellText(row, priorityColumn, name);
        table.SetCellStyle(row, priorityColumn, std::uint8_t(icon));
    }
}

QString UpdateStartButton(CXRibbon &ribbon, bool serviceRow, const QString &description, qint32 itemId)
{
    if (!serviceRow) {
        ribbon.SetItemText(1, QStringLiteral("Start"));
        ribbon.SetItemImageFlag(1, 223);
        ribbon.SetItemColor(1, 0);
        ribbon.EnableItem(1, false);
        return QString();
    }
    QString warnings;
    if (CZqApp *app = ZqApp())
        app->GetServiceWarnings(warnings, itemId);
    ribbon.EnableItem(1, true);
    if (warnings.isEmpty()) {
        ribbon.SetItemText(1, QStringLiteral("Start ") + description);
        ribbon.SetItemImageFlag(1, 223);
        ribbon.SetItemColor(1, 0);
    } else {
        ribbon.SetItemText(1, warnings);
        ribbon.SetItemImageFlag(1, 220);
        ribbon.SetItemColor(1, 24);
    }
    return warnings;
}

QString NoteHead(const QString &note)
{
    const qsizetype mark = note.indexOf(kTailMark);
    return mark < 0 ? note : note.left(mark);
}

QString NoteWithTail(const QString &edited, const QString &note)
{
    const qsizetype mark = note.indexOf(kTailMark);
    return mark < 0 ? edited : edited + note.mid(mark);
}

QString EditItemNote(qint32 itemId, bool itemRow, const QString &prompt, QWidget *parent)
{
    CItemSet item;
    if (!item.OpenByItemID(itemId) || item.IsEOF())
        return QString();
    QString note = item.m_Note;
    if (itemRow) {
        CNoteDlg editor(QStringLiteral("Note"), QStringLiteral("Item Note"), note, CNoteDlg::EditNote, parent);
        if (editor.DoModal() != platform::IDOK)
            return QString();
        note = editor.m_strNote;
    } else {
        CDlgData entry(NoteHead(note), 0, QStringLiteral("Service Note"), prompt, QString(), parent);
        if (entry.DoModal() != platform::IDOK)
            return QString();
        note = NoteWithTail(entry.m_strValue, item.m_Note);
    }
    if (note == item.m_Note)
        return QString();
    if (!item.SafeEdit())
        return QString();
    item.m_Note = note;
    if (!item.SafeUpdate())
        return QString();
    return note.isNull() ? QStringLiteral("") : note;
}

int ChooseTagOrPriority(qint32 itemId, int kind, bool itemRow, const QPoint &point, QWidget *parent)
{
    CZqApp *app = ZqApp();
    if (!app)
        return -1;
    QMenu menu(parent);
    if (kind == 3) {
        for (int p = 0; p <= 12; ++p) {
            if (p == 10)
                menu.addSeparator();
            QString name;
            int icon = 0;
            if (p > 0)
                app->GetStockStatusNameAndIcon(quint8(p), name, icon);
            menu.addAction(p == 0 ? QStringLiteral("(none)") : name)->setData(p);
        }
    } else {
        Q_UNUSED(itemRow);
        for (int tag = 0; tag < 100; ++tag) {
            QString name;
            int icon = 0;
            app->GetTagNameAndIcon(quint8(tag), name, icon);
            if (tag > 0 && name.isEmpty())
                continue;
            menu.addAction(tag == 0 ? QStringLiteral("(none)") : name)->setData(tag);
        }
    }
    QAction *chosen = menu.exec(point);
    if (!chosen)
        return -1;
    const int value = chosen->data().toInt();
    CItemSet item;
    if (!item.OpenByItemID(itemId) || item.IsEOF())
        return -1;
    return item.SetServiceStatus(value, kind, 0) > 0 ? value : -1;
}

QList<qint32> MarkedServiceIds(const CXTable &table, int serNoColumn)
{
    QList<qint32> ids;
    for (int r = 0; r < table.GetRowCount(); ++r) {
        if (table.IsSpecialRow(r) || !table.IsRowMarked(r) || table.GetCellLong(r, serNoColumn) == 0)
            continue;
        const qint32 key = table.GetRowKey(r);
        if (key != 0)
            ids << key;
    }
    return ids;
}

} // namespace track
