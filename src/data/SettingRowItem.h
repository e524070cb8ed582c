#pragma once

#include <QtCore/QString>

// One entry of a program-wide setting row (table CustomerAlerts, CusNo 0,
// keyed by AlertType, holding a comma-terminated list in AlertText): entry
// `item` counted from 0, or the default when the row is missing or has fewer
// than item + 1 commas. The table classes read their display and job-handling
// choices through it.
QString ReadSettingRowItem(int alertType, int item, const QString &defaultText);
