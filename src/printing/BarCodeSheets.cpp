// Sheets of bar codes to keep at the counter and on the floor: commands,
// employees, weekdays, item locations, the time tracker, and the items of
// selected jobs and the selected customers of a list.

#include "printing/CPrintForm.h"

#include "app/base/CZqApp.h"
#include "app/base/TextUtil.h"
#include "controls/CXListCtrl.h"
#include "data/SharedDatabase.h"
#include "platform/db/Recordset.h"
#include "resources/Strings.h"

#include <QtGui/QPainter>

namespace {

// One command entry of the string table: group, command id, label, note.
struct CommandEntry
{
    int group = 0;
    int command = 0;
    QString label;
    QString note;
};

QList<CommandEntry> CommandEntries(int first, int last)
{
    QList<CommandEntry> entries;
    for (int id = first; id <= last; ++id) {
        QStringList items = LoadResourceString(id).split(QLatin1Char(','));
        items.removeLast();
        if (items.size() < 4)
            continue;
        entries.append({items[0].toInt(), items[1].toInt(), items[2], items[3]});
    }
    return entries;
}

// The positions of the item-location menu: the schedule statuses before
// production, "In Production" and the production departments, then "Done".
QList<std::pair<int, QString>> ItemLocations()
{
    QList<std::pair<int, QString>> out;
    CZqApp *app = ZqApp();
    QString name;
    for (int status = 0; status <= 4; ++status) {
        if (app)
            app->GetScheduleStatusName(name, quint8(status));
        out.append({CZqApp::ScheduleStatusCommand(status), name});
    }
    if (app)
        for (int i = 1; i < app->DepartmentList.size(); ++i)
            out.append({CZqApp::ScheduleStatusCommand(4) + app->DepartmentList[i].m_value, app->DepartmentList[i].m_text});
    out.append({31220, QStringLiteral("Done")});
    return out;
}

} // namespace

int CPrintForm::SheetRowsOf(int kind, int listRows)
{
    switch (kind) {
    case 302:
        return 255;
    case 307:
    case 308:
        return listRows * kSheetItemsPerRow;
    default:
        return 1;
    }
}

void CPrintForm::PrintBarCodeSheet(QPainter &dc, PrintInfo &info, int &row, int kind)
{
    m_columns.clear();
    m_strHeading1.clear();
    m_strHeading2.clear();
    m_strHeading3.clear();
    m_strHeading4.clear();
    PrintRect r = info.drawRect;
    const int columnWidth = r.width() / 3;
    const int half = m_nLineHeight / 2;
    DrawPageHeader(dc, info);
    const auto heading = [&](const QString &text) { DrawTextLine(dc, text, r, 0x820, 2, &font(Font12Bold)); };
    const auto code = [&](char objectKind, int number, const QString &label) {
        m_barCode.Reset();
        m_barCode.m_cObjectKind = objectKind;
        m_barCode.m_nObject = number;
        r.top += DrawBarCode(dc, r, true);
        DrawTextLine(dc, label, r, 0x820, 2, &font(FontBodyBold));
    };
    const auto command = [&](int id) {
        m_barCode.Reset();
        m_barCode.m_nAction = id;
        return DrawBarCode(dc, r, false);
    };
    // A column that ran past the bottom continues at the top of the next one.
    const auto overflow = [&] {
        if (r.top > m_nBodyBottom) {
            r.top = m_nListTop;
            r.left += columnWidth;
        }
    };

    switch (kind) {
    case 301: {
        AddColumn(QStringLiteral("Barcode"), InchToDevice(2.0, true), 10, 0x820);
        AddColumn(QStringLiteral("Note"), info.drawRect.width() - InchToDevice(2.0, true), 10, 0x820);
        r.top = m_nListTop + half;
        int group = 0;
        for (const CommandEntry &e : CommandEntries(48500, 48508)) {
            if (e.group != group) {
                DrawLine(dc, info.drawRect.left, r.top, info.drawRect.right, r.top);
                r.top += half;
                group = e.group;
            }
            const int codeTop = r.top;
            r.top += command(e.command);
            DrawTextLine(dc, e.label, r, 0x820, 2, &font(FontBodyBold));
            PrintRect note(r.left + InchToDevice(2.0, true), codeTop, info.drawRect.right, m_nBodyBottom);
            DrawTextLine(dc, e.note, note, 0x850, 3, &font(FontBody));
        }
        row = m_nRecords;
        break;
    }
    case 302: {
        r.top = m_nListTop;
        int columnsUsed = 0;
        CZqApp *app = ZqApp();
        for (int n = row; n < 256; ++n) {
            if (n == 0 || n == 100 || n == 200) {
                heading(n == 0 ? QStringLiteral("OPERATORS") : n == 100 ? QStringLiteral("CSRS")
                                                                          : QStringLiteral("SALES REPS"));
                row = n + 1;
                continue;
            }
            if (app && app->IsEmployeeKnown(quint8(n))) {
                const QString name = app->GetEmployeeName(quint8(n));
                if (!name.startsWith(QLatin1Char('~'))) {
                    code('0', n, QStringLiteral("%1 %2").arg(n).arg(name));
                    if (r.top > m_nBodyBottom) {
                        // The employee that ran past the bottom of the third
                        // column starts the next page.
                        if (++columnsUsed > 2)
                            break;
                        r.top = m_nListTop;
                        r.left += columnWidth;
                    }
                }
            }
            row = n + 1;
        }
        break;
    }
    case 303: {
        const QString days[] = {QStringLiteral("Monday"), QStringLiteral("Tuesday"), QStringLiteral("Wednesday"),
                                QStringLiteral("Thursday"), QStringLiteral("Friday"), QStringLiteral("Saturday"),
                                QStringLiteral("Sunday")};
        const QString weeks[] = {QStringLiteral("THIS WEEK"), QStringLiteral("NEXT WEEK"), QStringLiteral("LATER")};
        int number = 1;
        for (const QString &week : weeks) {
            r.top = m_nListTop;
            heading(week);
            for (const QString &day : days)
                code('2', number++, day);
            r.left += columnWidth;
        }
        row = m_nRecords;
        break;
    }
    case 304:
        r.top = m_nListTop;
        for (const auto &[id, text] : ItemLocations()) {
            if (id == 0)
                continue;
            code('4', id, text);
            overflow();
        }
        row = m_nRecords;
        break;
    case 305: {
        r.top = m_nListTop;
        const std::pair<int, const char *> tracker[] = {
            {0, "MY DAY"},     {29130, "Start My Day"}, {29131, "Break / Resume My Day"}, {29133, "End My Day"},
            {0, "MY TASK"},    {29121, "Pause Task"},   {29122, "Resume Task"},           {29123, "Finish Task"}};
        for (const auto &[id, text] : tracker) {
            if (id == 0)
                heading(QString::fromLatin1(text));
            else
                code('1', id, QString::fromLatin1(text));
        }
        r.top = m_nListTop;
        r.left += columnWidth;
        heading(QStringLiteral("OFFICE TASKS"));
        if (SharedDatabase().isOpen()) {
            platform::Recordset rs(SharedDatabase());
            rs.open(platform::Recordset::Type::Snapshot,
                    QStringLiteral("SELECT Name, DepID FROM TimeDepartments WHERE Type = %1 ORDER BY Sort").arg(2));
            for (; !rs.isEOF(); rs.moveNext()) {
                code('4', rs.value(1).toInt(), rs.value(0).isNull() ? QString() : rs.value(0).toString());
                overflow();
            }
        }
        row = m_nRecords;
        break;
    }
    case 307: {
        AddColumn(QStringLiteral("Item Barcode"), InchToDevice(3.0, true), 10, 0x820);
        AddColumn(QStringLiteral("Job-Item No: Description"), info.drawRect.right - InchToDevice(3.0, true), 10,
                  0x820);
        r.top = m_nListTop + half;
        // The description takes the second column: from the bar code's three
        // inches to the right edge.
        const int textLeft = info.drawRect.left + InchToDevice(3.0, true);
        const int textWidth = info.drawRect.right - textLeft;
        const int minimum = InchToDevice(0.5, false);
        bool full = false;
        // The row index counts list rows and, within a job, the items already
        // printed (a job whose items do not fit goes on on the next page).
        while (row < m_nRecords && !full) {
            const int listRow = row / kSheetItemsPerRow;
            const int firstItem = row % kSheetItemsPerRow;
            if (!m_pList || !m_pList->IsItemSelected(listRow)) {
                row = (listRow + 1) * kSheetItemsPerRow;
                continue;
            }
            platform::Recordset rs(SharedDatabase());
            rs.open(platform::Recordset::Type::Snapshot,
                    QStringLiteral("SELECT Jobs.JobType, Jobs.JobNo, Items.ItemNo, Items.Description, Items.ItemID FROM "
                                   "Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID WHERE Items.SerNo = 0 AND "
                                   "Jobs.JobID = %1 ORDER BY Items.ItemNo, Items.SubNo")
                        .arg(m_pList->GetItemData(listRow)));
            int item = 0;
            for (; !rs.isEOF(); rs.moveNext(), ++item) {
                if (item < firstItem)
                    continue;
                const QString text = QStringLiteral("%1 %2-%3: %4")
                                         .arg(GetResourceListItem(40901, rs.value(0).toInt()))
                                         .arg(rs.value(1).toInt())
                                         .arg(rs.value(2).toInt())
                                         .arg(rs.value(3).isNull() ? QString() : rs.value(3).toString());
                const int top = r.top;
                m_barCode.Reset();
                m_barCode.m_cObjectKind = '7';
                m_barCode.m_nObject = rs.value(4).toInt();
                DrawBarCode(dc, PrintRect(info.drawRect.left, top, info.drawRect.right, top), true);
                PrintRect cell(textLeft, top, info.drawRect.right, m_nBodyBottom + m_nLineHeight * 4);
                const int height = DrawTextBox(dc, text, cell, textWidth, 0x850, &font(FontBody));
                r.top = top + std::max(height, minimum);
                row = listRow * kSheetItemsPerRow + item + 1;
                if (r.top > m_nBodyBottom) {
                    full = true;
                    break;
                }
            }
            if (!full) {
                row = (listRow + 1) * kSheetItemsPerRow;
            } else {
                // The page is full: the job goes on on the next page when it
                // has items left.
                rs.moveNext();
                if (rs.isEOF())
                    row = (listRow + 1) * kSheetItemsPerRow;
            }
        }
        break;
    }
    case 308: {
        AddColumn(QStringLiteral("Customer Barcode"), InchToDevice(3.0, true), 10, 0x820);
        // The commands stand at 5 inches: the name column ends there and the
        // command column takes the rest of the page.
        AddColumn(QStringLiteral("Customer No - Name"), InchToDevice(2.0, true), 10, 0x820);
        AddColumn(QStringLiteral("Then scan this barcode to:"), info.drawRect.right - InchToDevice(5.0, true), 10,
                  0x820);
        PrintRect side(InchToDevice(5.0, true), m_nListTop, info.drawRect.right, m_nBodyBottom);
        for (const CommandEntry &e : CommandEntries(48507, 48511)) {
            PrintRect label = side;
            side.top += DrawTextBox(dc, e.label, label, InchToDevice(3.0, true), 0x820, &font(FontBody));
            m_barCode.Reset();
            m_barCode.m_nAction = e.command;
            DrawBarCode(dc, side, false);
            side.top += InchToDevice(0.5, false);
        }
        r.top = m_nListTop + half;
        const int textLeft = info.drawRect.left + InchToDevice(3.0, true);
        const int textWidth = InchToDevice(2.0, true);
        const int minimum = InchToDevice(0.5, false);
        while (row < m_nRecords) {
            const int listRow = row / kSheetItemsPerRow;
            row = (listRow + 1) * kSheetItemsPerRow;
            if (!m_pList || !m_pList->IsItemSelected(listRow))
                continue;
            platform::Recordset rs(SharedDatabase());
            rs.open(platform::Recordset::Type::Snapshot,
                    QStringLiteral("SELECT Customers.CusNo, Customers.Name FROM Customers WHERE Customers.CusNo = %1")
                        .arg(m_pList->GetItemData(listRow)));
            if (rs.isEOF())
                continue;
            const int top = r.top;
            m_barCode.Reset();
            m_barCode.m_cObjectKind = '9';
            m_barCode.m_nObject = rs.value(0).toInt();
            DrawBarCode(dc, PrintRect(info.drawRect.left, top, info.drawRect.right, top), true);
            PrintRect cell(textLeft, top, info.drawRect.right, m_nBodyBottom + m_nLineHeight * 4);
            const int height = DrawTextBox(dc, QStringLiteral("%1 - %2").arg(rs.value(0).toInt()).arg(rs.value(1).toString()),
                                           cell, textWidth, 0x850, &font(FontBody));
            r.top = top + std::max(height, minimum);
            if (r.top > m_nBodyBottom)
                break;
        }
        break;
    }
    default:
        row = m_nRecords;
        break;
    }
    DrawColumnHeaders(dc, info, m_nBodyTop);
}

int CPrintForm::PrintBarCodes(int kind, const QString &title, int command)
{
    if (kind == 300 || kind == 306 || kind < 301 || kind > 308)
        return 0;
    ResetOptions();
    m_nKind = 100;
    m_nFormNo = 100;
    FindForm();
    m_nKind = kind;
    m_strTitle = title;
    m_nRecords = SheetRowsOf(kind, 0);
    return DoPrint(command);
}
