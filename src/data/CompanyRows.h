#pragma once

#include "app/base/CompanyInfo.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

namespace platform {
class Database;
}

// The shop's identity where the documents read it: the name and address of
// customer 1, the phone and fax of its buyer contact. Other workstations
// save the same rows, so a save writes only what this user changed, onto
// the rows as they are now (the recordsets' rule for a row others save too).
class CompanyRows
{
public:
    // The seven texts as the file holds them now (empty when there is no
    // shop row).
    static CompanyInfo Read(platform::Database *database = nullptr);

    // Writes the fields of `typed` that differ from `asRead` (what the
    // window showed when it opened) onto the rows as they are now; a field
    // another workstation changed meanwhile to something else is put to the
    // user in the "Saved by another user" box, named by its label (labels
    // in the order name, address, city, state, zip, phone, fax). The buyer
    // contact is added (and made the buyer) when the shop has none. False
    // when nothing was saved: the user's Cancel in that box, or a failure,
    // already shown.
    static bool Save(const CompanyInfo &asRead, const CompanyInfo &typed, const QStringList &labels,
                     platform::Database *database = nullptr);
};
