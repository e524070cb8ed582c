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

// A job or quick sale of both rates (tax code 3) holds its whole tax in Tax;
// this sets Tax2 of every such row of the table to the second rate's share,
// Tax x r2 / (r1 + r2) in whole cents (half a cent away from zero), as a tax
// of the second rate alone would be kept: with rates 6 % and 8.25 % a tax of
// 245.39 keeps 142.07. Without rates the whole tax stays the second.
void SplitSecondTax(UpgradeContext &u, const QString &table, const QString &codeField);
