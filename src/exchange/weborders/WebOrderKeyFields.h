#pragma once

#include "exchange/weborders/XmlOrders.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

// Where the reader takes its web orders from.
enum class WebOrderSource { None = 0, Sample = 1, Mailbox = 2, XmlFiles = 3 };

// The labels (text orders) or element paths (XML orders) by which the fields
// of a web order are found, one entry per field, by index.
namespace keyfield {
enum Index {
    CustomerNo = 0, CustomerName = 1, ContactName = 2, ContactPhone = 3, ContactEmail = 4, ShiptoName = 5,
    ShiptoAddress = 6, ShiptoCity = 7, ShiptoState = 8, ShiptoZip = 9, JobTitle = 10, JobDueDays = 11,
    JobDueTime = 12, JobPO = 13, JobShipVia = 14, JobShipping = 15, JobMemo = 16, JobNote1 = 17, JobNote6 = 22,
    ItemSeparator = 23, ItemStart = 24, ItemTemplateNo = 25, ItemDescription = 26, ItemQuantity = 27,
    ItemOriginals = 28, ItemPrice = 29, ItemNote1 = 30, ItemNote12 = 41, ShiptoSeparator = 42, ShiptoAttention = 43,
    ShiptoPhone = 44, ShiptoAddress2 = 45, ShiptoCountry = 46
};
constexpr int kCount = 47;
} // namespace keyfield

// The key-field table: the built-in captions and the entries in force.
struct KeyFieldTable
{
    QStringList defaults; // 47 captions
    QStringList keys;     // 47 entries in force

    // The captions; the XML source has its own paths for some fields.
    static QStringList DefaultKeys(bool xml);
    // The defaults, then the shop's file overlaid (missing file: defaults).
    static KeyFieldTable Load(const QString &path, bool xml);
    // Writes all 47 entries, each line ended by CR LF, in Windows-1252.
    // False, with why in `error` when given, when the file cannot be written
    // whole: the file there before stays as it was.
    bool Save(const QString &path, QString *error = nullptr) const;

    const QString &operator[](int index) const { return keys.at(index); }
    // The label that opens each item: entry 24, or the description's label
    // while entry 24 is left at its caption.
    QString ItemStartLabel() const;
    // The paths the XML order reader uses.
    XmlOrderKeys ToXmlOrderKeys() const;
};

// "MyKeyFields.txt" or "MyKeyFieldsXML.txt" in the folder of the shop's
// database.
QString KeyFieldFilePath(bool xml);
