#include "data/SettingRows.h"

#include "app/base/PriceText.h"
#include "app/base/TextUtil.h"
#include "data/AnswersOutsideLock.h"
#include "data/CAlertSet.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/DbErrors.h"
#include "platform/db/DbException.h"

QString &GetGlobalAlertText(QString &out, int alertType, int item, const QString &defaultText)
{
    CAlertSet set;
    set.m_strFilter = QStringLiteral("CusNo = 0 AND AlertType = %1").arg(quint8(alertType));
    set.m_strSort.clear();
    if (!set.RequeryOrOpen(false)) {
        out = defaultText;
        return out;
    }
    if (item < 0) {
        out = set.m_AlertText;
        return out;
    }
    QString rest = set.m_AlertText;
    for (int k = 0;; ++k) {
        const int comma = rest.indexOf(ListSeparator());
        if (comma < 0) {
            out = defaultText;
            return out;
        }
        if (k == item) {
            out = rest.left(comma);
            return out;
        }
        rest.remove(0, comma + 1);
    }
}

QString GetGlobalAlertText(int alertType, int item, const QString &defaultText)
{
    QString text;
    return GetGlobalAlertText(text, alertType, item, defaultText);
}

bool SaveGlobalAlertText(int alertType, const QString &text)
{
    CAlertSet set;
    if (!set.FindAlert(0, alertType, QString(), true))
        return false;
    set.m_AlertText = text;
    return set.SaveRecord(platform::MB_ICONASTERISK);
}

bool SaveGlobalAlertText(int alertType, const QString &read, const QString &unchanged, const QString &text,
                         const CAlertSet::ListItems &items)
{
    CAlertSet set;
    if (!set.FindAlert(0, alertType, read, true))
        return false;
    return set.SaveItems(CAlertSet::ListItemsOf(read), CAlertSet::ListItemsOf(unchanged),
                         CAlertSet::ListItemsOf(text), items, platform::MB_ICONASTERISK);
}

namespace {

// The one Passwords row: [No], the password, and the level byte.
class CPasswordRow : public CXDaoSet
{
public:
    explicit CPasswordRow(quint8 no)
        : m_no(no)
    {
    }
    QString GetDefaultSQL() const override
    {
        return QStringLiteral("SELECT * FROM Passwords WHERE [No] = %1").arg(m_no);
    }

private:
    quint8 m_no;
};

} // namespace

QString &GetPasswordText(QString &out, quint8 no)
{
    out.clear();
    CPasswordRow row(no);
    row.Open(CXDaoSet::dbOpenSnapshot);
    if (!row.IsEmptySet())
        row.GetFieldString(1, out);
    return out;
}

bool SavePasswordRow(quint8 no, const QString &password)
{
    CPasswordRow row(no);
    row.Open(CXDaoSet::dbOpenDynaset);
    if (!row.IsOpen())
        return false;
    const bool started = row.IsEmptySet() ? row.SafeAddNew() : row.SafeEdit();
    if (!started)
        return false;
    try {
        row.SetFieldValue(0, platform::Value(std::int64_t(no), platform::FieldType::Byte));
        row.SetFieldValue(1, platform::Value(password));
        row.SetFieldValue(2, platform::Value(std::int64_t(1), platform::FieldType::Byte));
    } catch (const platform::DbException &e) {
        try {
            row.CancelUpdate();
        } catch (const platform::DbException &) {
        }
        ShowDaoError(e, QStringLiteral("Cannot save Passwords"));
        return false;
    }
    return row.SafeUpdate(QStringLiteral("Passwords"));
}

bool SavePasswordRow(quint8 no, const QString &read, const QString &password, const QString &label,
                     const std::function<QString(const QString &)> &shown)
{
    if (password == read)
        return true; // left as shown: the row keeps whatever it holds now
    auto show = [&shown](const QString &text) { return shown ? shown(text) : text; };
    constexpr int kRounds = 5;
    for (int round = 1;; ++round) {
        // The row as it is now, edited from here on.
        CPasswordRow row(no);
        row.Open(CXDaoSet::dbOpenDynaset);
        if (!row.IsOpen())
            return false;
        const bool exists = !row.IsEmptySet();
        if (exists) {
            const platform::Value stored = row.GetFieldValue(1);
            const QString now = stored.isNull() ? QString() : stored.toString();
            if (now != read && now != password) {
                // Inside a save's transaction asked once it has rolled back
                // (AnswersOutsideLock).
                const QStringList lines{
                    CXDaoSet::BothChangedLine(label, platform::Value(show(now)), platform::Value(show(password)))};
                const int answer = AnswersOutsideLock::Answer(
                    SharedDatabase(), QStringLiteral("password %1\n").arg(no) + lines.join(QLatin1Char('\n')),
                    [lines] { return CXDaoSet::AskAboutBothChanged(lines); });
                if (answer == platform::IDNO)
                    return true; // the other user's password stays
                if (answer != platform::IDYES)
                    return false;
            }
        }
        if (!(exists ? row.SafeEdit() : row.SafeAddNew()))
            return false;
        try {
            row.SetFieldValue(0, platform::Value(std::int64_t(no), platform::FieldType::Byte));
            row.SetFieldValue(1, platform::Value(password));
            row.SetFieldValue(2, platform::Value(std::int64_t(1), platform::FieldType::Byte));
            row.Update();
            return true;
        } catch (const platform::DbException &e) {
            try {
                row.CancelUpdate();
            } catch (const platform::DbException &) {
            }
            // Saved or added by another workstation in between: settled
            // against the row as it is then.
            const bool meanwhile = e.number() == platform::dberr::WriteConflict
                || e.number() == platform::dberr::DuplicateKey;
            if (meanwhile && round < kRounds)
                continue;
            ShowDaoError(e, QStringLiteral("Cannot save Passwords"));
            return false;
        }
    }
}

void InstallSettingRowReader()
{
    SetSettingRowReader([](int kind, int item, const QString &defaultText) {
        return GetGlobalAlertText(kind, item, defaultText);
    });
}
