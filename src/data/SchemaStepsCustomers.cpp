#include "data/SchemaStepsCustomers.h"

#include "data/UpgradeContext.h"

namespace {

using platform::FieldType;

QString s(const char *text) { return QString::fromUtf8(text); }

} // namespace

bool UpgradeContactsLogon(UpgradeContext &u)
{
    return u.runStep(s("Contacts"), s("Add fields"), [&] {
        if (u.fieldCount(s("Contacts")) >= 11)
            return;
        u.addField(s("UserName"), FieldType::Text, 8);
        u.addField(s("Password"), FieldType::Text, 8);
        u.addField(s("Options"), FieldType::Long);
    });
}

bool UpgradeCustomersParent(UpgradeContext &u)
{
    return u.runStep(s("Customers"), s("Add fields"), [&] {
        if (u.fieldCount(s("Customers")) >= 35)
            return;
        u.addField(s("ParentNo"), FieldType::Long);
        u.addField(s("PropID"), FieldType::Byte);
    });
}

bool UpgradePostingJournal(UpgradeContext &u)
{
    return u.runStep(s("PostingJournal"), s("Add fields"), [&] {
        if (u.fieldCount(s("PostingJournal")) >= 25)
            return;
        for (const char *name : {"DepositNew", "DepositOld", "DepositNow", "AllPayments", "CreditsDue", "ARBalance"})
            u.addField(s(name), FieldType::Currency);
        if (u.storedVersionNumber() >= 2007)
            return;
        // Files before 2007 kept the customer status, and the contact and
        // ship-to kinds, in other numbers.
        u.setRowFields(s("SELECT Reserved3 FROM Customers WHERE Reserved3 <> 1"), platform::Value(0));
        u.setRowFields(s("SELECT Reserved3 FROM Customers WHERE Reserved3 = 1"), platform::Value(2));
        u.setRowFields(s("SELECT Type FROM Contacts WHERE Type < 10"), platform::Value(0));
        u.setRowFields(s("SELECT Type FROM Contacts WHERE Type >= 10"), platform::Value(2));
        u.setRowFields(s("SELECT Type FROM ShipTo WHERE Type < 10"), platform::Value(0));
        u.setRowFields(s("SELECT Type FROM ShipTo WHERE Type >= 10"), platform::Value(2));
    });
}

bool UpgradeCustomersAddress(UpgradeContext &u)
{
    return u.runStep(s("Customers"), s("Add address fields"), [&] {
        if (u.hasField(s("Customers"), s("Address2")))
            return;
        // The status conversion of old files reads Reserved3, which this step
        // deletes: it waits until the posting journal step has run.
        if (u.storedVersionNumber() < 2007 && u.fieldCount(s("PostingJournal")) < 25)
            return;
        u.open(s("Customers"));
        u.resizeText(s("Name"), 60, 1);
        u.addField(s("Address2"), FieldType::Text, 60, 0, 3);
        u.resizeText(s("City"), 30, 4);
        u.resizeText(s("State"), 20, 5);
        u.addField(s("Country"), FieldType::Text, 30, 0, 7);
        u.addField(s("DateModified"), FieldType::Date);
        u.addField(s("AlertIf"), FieldType::Byte);
        u.addField(s("PriceLevel"), FieldType::Byte);
        u.addField(s("PriceRound"), FieldType::Byte);
        u.addField(s("CusStatus"), FieldType::Byte);
        u.update(s("Customers"), s("Reserved2 = IIF(Reserved2 = 154, 5, IIF(Reserved2 = 155, 6, Reserved2+4))"),
                 s("Reserved2 > 3"));
        u.update(s("Customers"), s("AlertIf = Reserved1, PriceLevel = Reserved2, PriceRound = 1, CusStatus = Reserved3"));
        for (const char *old : {"Reserved1", "Reserved2", "Reserved3"})
            u.deleteField(s(old));
    });
}

bool UpgradeShiptoAddress(UpgradeContext &u)
{
    return u.runStep(s("Shipto"), s("Add address fields"), [&] {
        if (u.hasField(s("Shipto"), s("Address2")))
            return;
        u.addField(s("Attention"), FieldType::Text, 60, 0, 3);
        u.resizeText(s("Company"), 60, 4);
        u.addField(s("Address2"), FieldType::Text, 60, 0, 6);
        u.resizeText(s("City"), 30, 7);
        u.resizeText(s("State"), 20, 8);
        u.addField(s("Country"), FieldType::Text, 30, 0, 10);
        u.addField(s("Phone"), FieldType::Text, 20);
        u.addField(s("ShipBy"), FieldType::Byte);
        u.addField(s("TaxBy"), FieldType::Byte);
        u.addField(s("Created"), FieldType::Date);
        u.addField(s("Modified"), FieldType::Date);
        u.addField(s("ShipNote"), FieldType::Memo);
    });
}

bool UpgradeContactsPhones(UpgradeContext &u)
{
    return u.runStep(s("Contacts"), s("Add phone fields"), [&] {
        if (u.hasField(s("Contacts"), s("Phone2")))
            return;
        u.addField(s("Phone2"), FieldType::Text, 14);
        u.addField(s("Cell"), FieldType::Text, 14);
        u.addField(s("PropID"), FieldType::Byte);
    });
}

bool UpgradeContactsDetails(UpgradeContext &u)
{
    // "Postion" is the field's name as files have always spelt it.
    return u.runStep(s("Contacts"), s("Add contact fields"), [&] {
        if (u.hasField(s("Contacts"), s("Postion")))
            return;
        u.addField(s("Postion"), FieldType::Text, 30, 0, 10);
        for (const char *flag : {"SendEmail", "SendSurvey", "KeyContact", "WebOption"})
            u.addField(s(flag), FieldType::Byte, 0, 1);
        for (const char *date : {"Created", "Modified", "OtherDate", "LastEmail", "LastSurvey"})
            u.addField(s(date), FieldType::Date);
        u.addField(s("ContactNote"), FieldType::Memo);
    });
}
