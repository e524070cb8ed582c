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

// Every taxed job or quick sale of the table gets the taxable amounts and the
// second tax the program's tax rules give for its tax code: each rate taxes
// the net (Subtotal + Discount) plus shipping and postage where its flags say
// so, in whole cents. A row whose stored Tax those rules do not give (it was
// taxed at other rates) keeps its Tax: each rate's base is still its own,
// and a tax of both rates (code 3) is shared by what each rate took on its own
// base, the second's share in whole cents (half a cent away from zero); with
// no rates at all the whole tax stays the second.
void ConvertTaxAmounts(UpgradeContext &u, const QString &table, const QString &codeField);
