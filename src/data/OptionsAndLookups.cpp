#include "data/OptionsAndLookups.h"

#include "app/base/SqlText.h"
#include "data/CXDaoSet.h"
#include "data/DaoError.h"
#include "platform/Prompt.h"
#include "platform/db/DbErrors.h"
#include "platform/db/DbException.h"

#include <QtCore/QStringList>

qint32 GetOptionValue(qint32 optionId, qint32 defaultValue)
{
    if (optionId <= 0)
        return defaultValue;
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT * FROM Options WHERE OptionID = %1").arg(optionId));
    if (set.IsEmptySet())
        return defaultValue;
    qint32 value = 0;
    set.GetFieldLong(1, value);
    return value;
}

void SaveOptionValue(qint32 optionId, qint32 value)
{
    if (optionId == 0)
        return;
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenDynaset, QStringLiteral("SELECT * FROM Options WHERE OptionID = %1").arg(optionId));
    if (!set.IsOpen())
        return;
    const bool ready = set.IsEmptySet() ? set.SafeAddNew() : set.SafeEdit();
    if (ready) {
        set.SetFieldValue(0, platform::Value(int(optionId)));
        set.SetFieldValue(1, platform::Value(int(value)));
        set.SafeUpdate();
    }
    set.Close();
}

bool SaveOptionValue(qint32 optionId, qint32 read, qint32 value, const OptionNames &names)
{
    if (optionId == 0)
        return true;
    // A value left as shown is not written over a row that exists now; a
    // shop with no row yet gets one holding what the window showed (what
    // the defaults did), so the choice stays put.
    constexpr int kRounds = 5;
    for (int round = 1;; ++round) {
        // The row as it is now, edited from here on.
        CXDaoSet set;
        set.Open(CXDaoSet::dbOpenDynaset, QStringLiteral("SELECT * FROM Options WHERE OptionID = %1").arg(optionId));
        if (!set.IsOpen())
            return false;
        const bool exists = !set.IsEmptySet();
        const qint32 now = exists ? set.GetLong(1) : read;
        qint32 result = value;
        QStringList lines;
        qint32 asked = 0;
        if (names.radio) {
            result = value == read ? now : value;
            if (value != read && now != read && now != value)
                lines.append(CXDaoSet::BothChangedLine(names.group,
                                                       platform::Value(names.choice ? names.choice(now) : QString::number(now)),
                                                       platform::Value(names.choice ? names.choice(value) : QString::number(value))));
        } else {
            // Bit by bit: this user's changed bits onto the row's others.
            const qint32 mine = value ^ read;
            const qint32 theirs = now ^ read;
            asked = mine & theirs & (value ^ now);
            result = (now & ~mine) | (value & mine);
            const auto shown = [](qint32 bits, int bit) {
                return platform::Value((bits >> bit) & 1 ? QStringLiteral("Checked") : QStringLiteral("Not checked"));
            };
            for (int bit = 0; bit < 31; ++bit)
                if ((asked >> bit) & 1)
                    lines.append(CXDaoSet::BothChangedLine(names.bit ? names.bit(bit) : QString::number(bit + 1),
                                                           shown(now, bit), shown(value, bit)));
        }
        if (!lines.isEmpty()) {
            const int answer = CXDaoSet::AskAboutBothChanged(lines);
            if (answer != platform::IDYES && answer != platform::IDNO)
                return false;
            if (answer == platform::IDNO)
                result = names.radio ? now : (result & ~asked) | (now & asked);
        }
        if (exists && result == now)
            return true;
        if (!(exists ? set.SafeEdit() : set.SafeAddNew()))
            return false;
        try {
            set.SetFieldValue(0, platform::Value(int(optionId)));
            set.SetFieldValue(1, platform::Value(int(result)));
            set.Update();
            return true;
        } catch (const platform::DbException &e) {
            try {
                set.CancelUpdate();
            } catch (const platform::DbException &) {
            }
            // Saved or added by another workstation in between: settled
            // against the row as it is then.
            const bool meanwhile = e.number() == platform::dberr::WriteConflict
                || e.number() == platform::dberr::DuplicateKey;
            if (meanwhile && round < kRounds)
                continue;
            ShowDaoError(e, QStringLiteral("Cannot save Options"));
            return false;
        }
    }
}

void LookupFirstValue(platform::Value &out, const QString &sql)
{
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenSnapshot, sql);
    if (set.IsEmptySet())
        return;
    const platform::Value value = set.GetFieldValue(0);
    out = value.isNull() ? platform::Value::nullOf(set.GetFieldType(0)) : value;
}

void LookupFirstText(QString &out, const QString &sql)
{
    platform::Value value;
    LookupFirstValue(value, sql);
    out = value.isNull() ? QString() : value.toString();
}

void GetVendorName(QString &out, quint8 vendorNo)
{
    out.clear();
    if (vendorNo == 0)
        return;
    LookupFirstText(out, QStringLiteral("SELECT Name FROM Vendors WHERE [No] = ") + QString::number(vendorNo));
}

void GetCustomerAlertText(QString &out, qint32 cusNo, quint8 alertType)
{
    out.clear();
    LookupFirstText(out, QStringLiteral("SELECT CustomerAlerts.AlertText FROM CustomerAlerts WHERE "
                                        "CustomerAlerts.CusNo = %1 and CustomerAlerts.AlertType = %2")
                             .arg(cusNo)
                             .arg(alertType));
}

void GetCodeListSql(QString &out, int codeListId, bool hideMarked)
{
    QString table;
    QString columns = QStringLiteral("[No], Name");
    QString hide = QStringLiteral("Left(Name, 1) <> '~'");
    QString order = QStringLiteral("Sort, Name");
    QString type;

    switch (codeListId) {
    case 103:
        table = QStringLiteral("TodoTypes");
        columns = QStringLiteral("ID, Do");
        order = QStringLiteral("Sort");
        // A reminder type without a text (empty or only blanks; at most 30
        // characters) is an unused row, never a choice.
        hide = QStringLiteral("Left(Do, 1) <> '~' and Len(Do) > 0 and Do <> Left('%1', Len(Do))")
                   .arg(QString(30, QLatin1Char(' ')));
        break;
    case 302: table = QStringLiteral("ProductTypes"); break;
    case 303: table = QStringLiteral("ShipBy"); break;
    case 401: table = QStringLiteral("CustomerSources"); break;
    case 402: table = QStringLiteral("BusinessTypes"); break;
    case 403:
        table = QStringLiteral("ContactDepts");
        columns = QStringLiteral("DepNo,Name");
        break;
    case 502: table = QStringLiteral("Taxes"); break;
    case 503:
        table = QStringLiteral("Terms");
        order.clear();
        break;
    case 504: table = QStringLiteral("PaymentTypes"); break;
    case 601:
    case 602:
    case 603:
        table = QStringLiteral("Employees");
        columns = QStringLiteral("EmpNo, Name");
        type = QStringLiteral("(EmpNo = 0 or Type = %1)").arg(codeListId - 601);
        break;
    case 701:
    case 702:
    case 703:
        table = QStringLiteral("Vendors");
        type = QStringLiteral("([No] = 0 or Type = %1)").arg(codeListId - 701);
        if (codeListId == 701)
            order = QStringLiteral("[No]");
        break;
    case 2003:
        table = QStringLiteral("TimeDepartments");
        columns = QStringLiteral("DepID,Name");
        break;
    case 30721:
        table = QStringLiteral("ProductionDepts");
        columns = QStringLiteral("DepID,Name");
        break;
    case 30722:
    case 30723:
        table = QStringLiteral("ProductionTags");
        columns = QStringLiteral("TagID,Name");
        type = QStringLiteral("Type = %1").arg(codeListId - 30722);
        break;
    default:
        out.clear();
        return;
    }

    QString where;
    if (hideMarked)
        AppendWhere(where, hide);
    AppendWhere(where, type);
    QString orderBy;
    AppendOrderBy(orderBy, order);
    out = QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM ") + table + where + orderBy;
}
