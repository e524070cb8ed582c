#pragma once

class UpgradeContext;

// The upgrade steps of the tables of customers, ship-to addresses, contacts,
// contact departments, credits and the posting journal. Each returns false
// once the user has stopped the run.

bool UpgradeContactsLogon(UpgradeContext &u);       // fewer than 11 fields
bool UpgradeCustomersParent(UpgradeContext &u);     // fewer than 35 fields
bool UpgradePostingJournal(UpgradeContext &u);      // fewer than 25 fields, and the 2007 conversions
bool UpgradeCustomersAddress(UpgradeContext &u);    // Address2 missing
bool UpgradeShiptoAddress(UpgradeContext &u);       // Address2 missing
bool UpgradeContactsPhones(UpgradeContext &u);      // Phone2 missing
bool UpgradeContactsDetails(UpgradeContext &u);     // Postion missing
