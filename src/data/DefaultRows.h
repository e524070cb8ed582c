#pragma once

#include <QtCore/QString>

#include <functional>

namespace platform {
class Database;
}

// The shop's own identity as new customer rows copy it: name, address, city,
// state and zip.
struct ShopAddressTexts
{
    QString name;
    QString address;
    QString city;
    QString state;
    QString zip;
};

// Where AddDefaultRows takes the shop's identity from when it is not given
// one: the application installs a source at start-up; without one the texts
// are empty.
using ShopAddressSource = std::function<ShopAddressTexts()>;
void SetShopAddressSource(ShopAddressSource source);

// Adds every row the program counts on that the file lacks: customers 1, 10
// and 31, employee 0, tax 0, services 0, 175, 174 and 193, category 0, the
// categories 401 (cutting) and 404 (padding) while services are filed in
// them, sales department 0, job types 0-5, employee types 0-2, payment groups 0-2,
// payment type 0, product type 0 and the "none" rows 0 of vendors, business
// types and customer sources. A row that exists is never changed.
// False when a customer, employee, tax or service row could not be saved
// (the failure has been shown); other failures are shown and passed over.
bool AddDefaultRows(platform::Database *database);
bool AddDefaultRows(platform::Database *database, const ShopAddressTexts &shop);
