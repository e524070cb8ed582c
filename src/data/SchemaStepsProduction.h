#pragma once

class UpgradeContext;

// The upgrade steps of the production, time and to-do tables, the quick
// notes, the rights table, the option rows and the saved queries. Each
// returns false once the user has stopped the run.

bool UpgradePellPasswordRows(UpgradeContext &u);     // fewer than 10 rows of the newer actions
bool UpgradeHistoryPasswordName(UpgradeContext &u);  // row 24
bool UpgradeCompareSalesQuery(UpgradeContext &u);
bool UpgradeProductionDepts(UpgradeContext &u);
bool UpgradeProductionTags(UpgradeContext &u);
bool UpgradePasswordRows(UpgradeContext &u);         // rows 6 to 79 when row 9 is missing
bool UpgradeOptionRows(UpgradeContext &u);
bool UpgradeQuickNotes(UpgradeContext &u);           // QCatNo missing; folds in PaperSizes
bool UpgradeTodos(UpgradeContext &u);                // creates Todos and retires Notes
// Deletes the saved queries that current files no longer have.
void DeleteRetiredQueries(UpgradeContext &u);
