#include "data/SettingRowItem.h"

#include "data/CXDaoSet.h"

QString ReadSettingRowItem(int alertType, int item, const QString &defaultText)
{
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenSnapshot,
             QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = %1").arg(alertType));
    if (set.IsEmptySet())
        return defaultText;
    const platform::Value value = set.GetFieldValue(0);
    QString text = value.isNull() ? QString() : value.toString();
    for (int k = 0;; ++k) {
        const int comma = text.indexOf(QLatin1Char(','));
        if (comma < 0)
            return defaultText;
        if (k == item)
            return text.left(comma);
        text.remove(0, comma + 1);
    }
}
