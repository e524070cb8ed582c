#pragma once

class QMenu;

// Ticks the entry of the date range in force (a "Date" menu command id)
// among the range entries of a menu and unticks the other ranges.
void CheckDateRangeMenu(QMenu *menu, int code);
