#pragma once

#include <QtCore/QString>

class UpgradeContext;

// The upgrade steps of the tables of jobs, items, shipping, mail links, the
// audit trail, quick sales and printed forms. Each returns false once the
// user has stopped the run.

// Creates a table of the current layout when the file lacks it (Samples,
// PaperLink, EmailLink, ShippedItems and the others the upgrade adds whole).
bool UpgradeCreateTable(UpgradeContext &u, const char *table, const char *text = "Create");

bool UpgradeJobsCreator(UpgradeContext &u);      // fewer than 43 fields
bool UpgradeJobsPrintFields(UpgradeContext &u);  // fewer than 44 fields
bool UpgradeJobsTaxFields(UpgradeContext &u);    // PrintOption2 missing
bool UpgradeItemsPropFields(UpgradeContext &u);  // fewer than 23 fields
bool UpgradeItemsTimeFields(UpgradeContext &u);  // TimeCost missing
bool UpgradeAuditTrail(UpgradeContext &u);       // fewer than 13 fields
bool UpgradeQuickSales(UpgradeContext &u);       // Taxable missing
bool UpgradeForms(UpgradeContext &u);            // fewer than 15 fields

// The factor that splits a tax of two rates into its second part
// (" * 0.75" for the rates 6 and 2 of taxes 1 and 2); empty unless both
// rates are set.
QString SecondTaxFactorText();
