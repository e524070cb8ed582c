#include "data/CAlertSet.h"

#include "app/base/TextUtil.h"
#include "data/AnswersOutsideLock.h"
#include "data/DaoError.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbErrors.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <map>
#include <optional>
#include <vector>

CAlertSet::CAlertSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nDefaultType = dbOpenDynaset;
}

QString CAlertSet::GetDefaultSQL() const
{
    return QStringLiteral("[CustomerAlerts]");
}

void CAlertSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_Long(pFX, QStringLiteral("[AlertNo]"), m_AlertNo);
    DFX_LongNoNull(pFX, QStringLiteral("[CusNo]"), m_CusNo);
    DFX_Byte(pFX, QStringLiteral("[AlertType]"), m_AlertType);
    DFX_TextLimit(pFX, QStringLiteral("[AlertText]"), m_AlertText);
    DFX_Byte(pFX, QStringLiteral("[AlertPrint]"), m_AlertPrint);
    DFX_Byte(pFX, QStringLiteral("[AlertColor]"), m_AlertColor);
    DFX_Byte(pFX, QStringLiteral("[AlertSound]"), m_AlertSound);
    m_nLastDfxOp = pFX->operation();
}

bool CAlertSet::FindAlert(qint32 cusNo, int alertType, const QString &defaultText, bool edit)
{
    const quint8 type = quint8(alertType);
    m_findCusNo = cusNo;
    m_findType = type;
    m_listShown.clear();
    m_strFilter = QStringLiteral("CusNo = %1 AND AlertType = %2").arg(cusNo).arg(type);
    m_strSort.clear();
    if (RequeryOrOpen(edit)) {
        m_listRead = ListItemsOf(m_AlertText);
        return true;
    }
    if (!edit || !IsEmptySet())
        return false; // not found, or found but not editable
    if (!SafeAddNew())
        return false;
    m_CusNo = cusNo;
    m_AlertType = type;
    m_AlertText = defaultText;
    m_listRead = ListItemsOf(defaultText);
    return true;
}

QStringList CAlertSet::ListItemsOf(const QString &list)
{
    QStringList items = list.split(ListSeparator());
    items.removeLast(); // the text after the last comma is no item
    return items;
}

namespace {

QString listRowItem(const CAlertSet::ListRow &row)
{
    return row.type == 1 ? row.text : QString::number(row.value);
}

std::optional<QString> itemAt(const QStringList &items, int i)
{
    return i < items.size() ? std::optional<QString>(items[i]) : std::nullopt;
}

} // namespace

bool CAlertSet::SaveList(const QList<ListRow> &rows)
{
    QStringList mine;
    for (int i = 1; i < rows.size(); ++i)
        mine.append(listRowItem(rows[i]));
    // Without a load, the window showed the list as found.
    const QStringList unchanged = m_listShown.isEmpty() ? m_listRead : m_listShown;
    ListItems items;
    items.label = [&rows](int item) { return item + 1 < rows.size() ? rows[item + 1].label : QString(); };
    items.shown = [&rows](int item, const QString &value) {
        const ListRow *row = item + 1 < rows.size() ? &rows[item + 1] : nullptr;
        return row && row->shown ? row->shown(value) : value;
    };
    return SaveItems(m_listRead, unchanged, mine, items, platform::MB_ICONINFORMATION);
}

bool CAlertSet::SaveItems(const QStringList &read, const QStringList &unchanged, const QStringList &mine,
                          const ListItems &items, unsigned beepType)
{
    if (!IsOpen())
        return false;
    auto label = [&items](int i) { return items.label ? items.label(i) : QString::number(i + 1); };
    auto shown = [&items](int i, const QString &value) { return items.shown ? items.shown(i, value) : value; };
    // Nothing changed here: nothing to write.
    bool changed = false;
    for (int i = 0; i < mine.size(); ++i)
        changed = changed || itemAt(unchanged, i) != itemAt(mine, i);
    if (!changed)
        return true;
    if (RefusedAsReadOnly(m_pDatabase, QStringLiteral("Cannot save CustomerAlerts")))
        return false;

    // The answers given, by item, with the other user's value they were
    // given about: asked again only when that value changes once more.
    std::map<int, std::pair<QString, bool>> answered;
    constexpr int kRounds = 5;
    for (int round = 1;; ++round) {
        // The row as it is now, edited from here on.
        QStringList now;
        bool exists = false;
        try {
            if (GetEditMode() != dbEditNone)
                CancelUpdate();
            m_strFilter = QStringLiteral("CusNo = %1 AND AlertType = %2").arg(m_findCusNo).arg(m_findType);
            m_strSort.clear();
            exists = RequeryOrOpen(true);
            if (!exists && !IsEmptySet())
                return false; // could not be edited, said
        } catch (const platform::DbException &e) {
            ShowDaoError(e, QStringLiteral("Cannot save CustomerAlerts"));
            return false;
        }
        now = exists ? ListItemsOf(m_AlertText) : read;

        QStringList merged;
        QStringList lines;
        std::vector<int> asked;
        for (int i = 0; i < mine.size(); ++i) {
            const std::optional<QString> nowItem = itemAt(now, i);
            // An item the row does not hold (now) has no value of the other
            // user's to keep.
            const bool theyChanged = nowItem && nowItem != itemAt(read, i);
            const bool iChanged = itemAt(unchanged, i) != itemAt(mine, i);
            if (!theyChanged || (iChanged && *nowItem == mine[i])) {
                merged.append(mine[i]);
            } else if (!iChanged) {
                merged.append(*nowItem);
            } else {
                merged.append(mine[i]);
                const auto before = answered.find(i);
                if (before != answered.end() && before->second.first == *nowItem) {
                    if (!before->second.second)
                        merged.last() = *nowItem;
                    continue;
                }
                asked.push_back(i);
                lines.append(CXDaoSet::BothChangedLine(label(i), platform::Value(shown(i, nowItem.value_or(QString()))),
                                                       platform::Value(shown(i, mine[i]))));
            }
        }
        if (!lines.isEmpty()) {
            // Inside a save's transaction asked once it has rolled back
            // (AnswersOutsideLock).
            const int answer = AnswersOutsideLock::Answer(
                *m_pDatabase,
                QStringLiteral("alert %1/%2\n").arg(m_findCusNo).arg(m_findType) + lines.join(QLatin1Char('\n')),
                [lines] { return AskAboutBothChanged(lines); });
            if (answer != platform::IDYES && answer != platform::IDNO)
                return false;
            for (int i : asked) {
                answered[i] = {itemAt(now, i).value_or(QString()), answer == platform::IDYES};
                if (answer == platform::IDNO)
                    merged[i] = itemAt(now, i).value_or(QString());
            }
        }
        const QString text = merged.join(ListSeparator()) + ListSeparator();

        try {
            if (exists) {
                m_AlertText = text;
                Update();
            } else {
                // Added only when no other workstation added the row
                // meanwhile: looked for and added in one write.
                platform::Transaction adding(*m_pDatabase);
                platform::Recordset look(*m_pDatabase);
                look.open(platform::Recordset::Type::Snapshot,
                          QStringLiteral("SELECT Count(*) FROM CustomerAlerts WHERE CusNo = ? AND AlertType = ?"),
                          {platform::Value(m_findCusNo), platform::Value(std::int64_t(m_findType))});
                const bool addedMeanwhile = !look.isEOF() && look.value(0).toInt64() > 0;
                look.close();
                if (addedMeanwhile) {
                    if (round >= kRounds)
                        return false;
                    continue; // merged with on the next round
                }
                AddNew();
                m_CusNo = m_findCusNo;
                m_AlertType = m_findType;
                m_AlertText = text;
                m_AlertPrint = m_AlertColor = m_AlertSound = 0;
                Update();
                adding.commit();
            }
        } catch (const platform::DbException &e) {
            if (e.number() == platform::dberr::WriteConflict && round < kRounds)
                continue;
            try {
                if (GetEditMode() != dbEditNone)
                    CancelUpdate();
            } catch (const platform::DbException &) {
            }
            ShowDaoError(e, QStringLiteral("Cannot save CustomerAlerts"));
            return false;
        }
        // Edited on from the row as saved, as a saved record is.
        m_listRead = ListItemsOf(text);
        m_listShown = mine;
        RequeryOrOpen(true);
        if (beepType != 0)
            platform::Prompt::beep();
        return true;
    }
}

void CAlertSet::LoadList(QList<ListRow> &rows)
{
    m_listRead = ListItemsOf(m_AlertText);
    for (int i = 1; i < rows.size(); ++i) {
        QString item;
        const int comma = m_AlertText.indexOf(ListSeparator());
        if (comma >= 0) {
            item = m_AlertText.left(comma);
            m_AlertText.remove(0, comma + 1);
        }
        if (!rows[i].enabled)
            item.clear();
        if (rows[i].type == 1)
            rows[i].text = item;
        else
            rows[i].value = ToInt(item);
    }
    // What the window shows, as it would write it back unchanged.
    m_listShown.clear();
    for (int i = 1; i < rows.size(); ++i)
        m_listShown.append(listRowItem(rows[i]));
}
