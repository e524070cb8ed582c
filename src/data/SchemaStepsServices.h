#pragma once

class UpgradeContext;

// The upgrade steps of the service catalogue, its price and difficulty
// tables, the waste and markup tables and the small code tables. Each
// returns false once the user has stopped the run.
//
// The Services conversion reads the old categories, the old waste table and
// the old price and difficulty tables: the steps that retire those wait
// until it has been done, so a run that failed in it can do it again.

bool UpgradePriceGridRows(UpgradeContext &u);
bool UpgradeProductTypes(UpgradeContext &u);       // Qty missing
bool UpgradeCodeTables(UpgradeContext &u);         // Type and Sort of seven tables
bool UpgradeVendors(UpgradeContext &u);            // Sort missing
bool UpgradeTaxes(UpgradeContext &u);              // TaxPostage missing
bool UpgradeServiceDepartments(UpgradeContext &u); // IconNo missing
bool UpgradeServiceCategories(UpgradeContext &u);  // IconNo missing
bool UpgradeServicesStatus(UpgradeContext &u);     // SerStatus missing
bool UpgradeServicesProduction(UpgradeContext &u); // ProdDepID missing
bool UpgradeServicesPricing(UpgradeContext &u);    // Name2 missing
bool UpgradeWasteTable(UpgradeContext &u);         // Name missing, with the markup rows
bool FinishServiceCategories(UpgradeContext &u);   // Bid still there
bool DeleteUnusedPriceTables(UpgradeContext &u);
