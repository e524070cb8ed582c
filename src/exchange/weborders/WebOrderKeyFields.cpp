#include "exchange/weborders/WebOrderKeyFields.h"

#include "platform/UserFile.h"

#include "data/SharedDatabase.h"
#include "platform/db/Database.h"

#include <QtCore/QDir>
#include "platform/PlacedFile.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QStringDecoder>
#include <QtCore/QStringEncoder>

QStringList KeyFieldTable::DefaultKeys(bool xml)
{
    QStringList k = {
        QStringLiteral("Customer No:"), QStringLiteral("Customer Name:"), QStringLiteral("Contact Name:"),
        QStringLiteral("Contact Phone:"), QStringLiteral("Contact Email:"), QStringLiteral("Shipto Name:"),
        QStringLiteral("Shipto Address:"), QStringLiteral("Shipto City:"), QStringLiteral("Shipto State:"),
        QStringLiteral("Shipto Zip:"), QStringLiteral("Job Title:"), QStringLiteral("Job Due Days:"),
        QStringLiteral("Job Due Time:"), QStringLiteral("Job PO:"), QStringLiteral("Job Ship Via:"),
        QStringLiteral("Job Shipping Charge:"), QStringLiteral("Job Memo:")};
    for (int n = 1; n <= 6; ++n)
        k << QStringLiteral("Job Note %1:").arg(n);
    k << QStringLiteral("------- ITEM FIELDS -------") << QStringLiteral("Each Item starts with this field:")
      << QStringLiteral("Item Template No:") << QStringLiteral("Item Description:") << QStringLiteral("Item Quantity:")
      << QStringLiteral("Item Originals:") << QStringLiteral("Item Price:");
    for (int n = 1; n <= 12; ++n)
        k << QStringLiteral("Item Note %1:").arg(n, 2, 10, QLatin1Char('0'));
    k << QStringLiteral("--- More 'Ship To' Fields ---") << QStringLiteral("Shipto Attention:")
      << QStringLiteral("Shipto Phone:") << QStringLiteral("Shipto Address2:") << QStringLiteral("Shipto Country:");
    if (xml) {
        using namespace keyfield;
        k[CustomerName] = QStringLiteral("From/Credential/Identity");
        k[ContactPhone] = QStringLiteral("BillTo/Address/Phone");
        k[ContactEmail] = QStringLiteral("BillTo/Address/Email");
        k[ShiptoAddress] = QStringLiteral("BillTo/Address/PostalAddress/Street");
        k[ItemTemplateNo] = QStringLiteral("ItemID/SupplierPartID");
        k[ItemDescription] = QStringLiteral("ItemDetail/Description");
        k[ItemQuantity] = QStringLiteral("OrderRequest/ItemOut");
        k[ItemOriginals] = QString();
        k[ItemPrice] = QStringLiteral("ItemOut/UnitPrice");
    }
    return k;
}

KeyFieldTable KeyFieldTable::Load(const QString &path, bool xml)
{
    KeyFieldTable table;
    table.defaults = DefaultKeys(xml);
    table.keys = table.defaults;
    // The key-field files lie in the shop's shared folder: only an ordinary
    // file of a key-field file's size is read; any other keeps the defaults.
    QByteArray bytes;
    QString refusal;
    if (!path.isEmpty() && platform::PlacedFile::Read(path, 1024 * 1024, bytes, refusal)) {
        QStringDecoder decoder("windows-1252");
        const QString text = decoder(bytes);
        // Lines end with CR LF; a lone LF is read as well.
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (int n = 0; n < lines.size() && n < keyfield::kCount; ++n) {
            const QString entry = lines.at(n).trimmed();
            if (!entry.isEmpty())
                table.keys[n] = entry;
        }
    }
    // The separator row is a caption, never a label.
    table.keys[keyfield::ItemSeparator] = table.defaults[keyfield::ItemSeparator];
    return table;
}

bool KeyFieldTable::Save(const QString &path, QString *error) const
{
    QString text;
    for (int n = 0; n < keyfield::kCount; ++n)
        text += keys.value(n) + QStringLiteral("\r\n");
    QStringEncoder encoder("windows-1252");
    const QByteArray bytes = encoder(text);
    QString reason;
    if (platform::UserFile::Write(path, bytes, reason))
        return true;
    if (error)
        *error = reason;
    return false;
}

QString KeyFieldTable::ItemStartLabel() const
{
    using namespace keyfield;
    return keys[ItemStart] == defaults[ItemStart] ? keys[ItemDescription] : keys[ItemStart];
}

XmlOrderKeys KeyFieldTable::ToXmlOrderKeys() const
{
    using namespace keyfield;
    XmlOrderKeys x;
    x.templateNo = keys[ItemTemplateNo];
    x.description = keys[ItemDescription];
    x.quantity = keys[ItemQuantity];
    x.price = keys[ItemPrice];
    return x;
}

QString KeyFieldFilePath(bool xml)
{
    // Beside the open database file; the data folder before one is open.
    const platform::Database &db = SharedDatabase();
    const QString folder = db.isOpen() ? QFileInfo(db.name()).absolutePath() : DataFolder();
    return QDir(folder).filePath(xml ? QStringLiteral("MyKeyFieldsXML.txt") : QStringLiteral("MyKeyFields.txt"));
}
