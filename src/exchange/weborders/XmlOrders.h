#pragma once

#include <QtCore/QList>
#include <QtCore/QString>

class XmlDocument;

// Web orders that a web shop leaves as XML files, one order a file, in a
// folder of the shop's network or a folder of an FTP server: the location
// named by the mail setting Incoming, the listing of its order files and the
// items of one order.

// Where Incoming points. "ftp://host/folder", or the older form
// "host\folder" with a dot in it, is an FTP folder; an existing directory is
// a folder, whatever its name holds (dots included).
struct XmlOrderLocation
{
    bool valid = false;
    bool ftp = false;
    QString folder; // a local folder, with no trailing separator
    QString host;   // FTP
    QString remote; // FTP folder, without slashes at either end
    QString url;    // "ftp://host/remote" (no trailing slash)
};
XmlOrderLocation ParseXmlOrderLocation(const QString &incoming);

// One order file: the name, the full path (for FTP the file's URL), the
// last-write date "%m/%d/%Y" ("" when unknown) and the size in bytes.
struct XmlOrderFile
{
    QString name;
    QString fullPath;
    QString date;
    qint64 size = 0;
};

// Lists the location's "*.xml" files. The log gets the reader's lines
// ("Connected to ...", "Found N files." or "*** XML folder does not exist
// ***"); a failure leaves its message text in `error` (the caller shows
// it) and returns false. Each wait for an FTP site shows the progress
// window; when the user stops one the listing ends there, false with an
// empty error (nothing to say).
bool ListXmlOrderFiles(const QString &incoming, const QString &user, const QString &password,
                       QList<XmlOrderFile> &files, QString &log, QString &error);

// Brings an order file to a local path to be read: a local file is read
// where it is (`localPath` becomes its path); an FTP file is fetched fresh
// into `localPath`. A fetch the user stopped fails with an empty error.
bool FetchXmlOrderFile(const QString &fullPath, const QString &user, const QString &password, QString &localPath,
                       QString &error);

// The key-field paths an XML order is read with.
struct XmlOrderKeys
{
    QString templateNo = QStringLiteral("ItemID/SupplierPartID");
    QString description = QStringLiteral("ItemDetail/Description");
    QString quantity = QStringLiteral("OrderRequest/ItemOut"); // its "quantity" attribute
    QString price = QStringLiteral("ItemOut/UnitPrice");
    QString link = QStringLiteral("ItemDetail/URL");
};

struct XmlOrderItem
{
    QString description;
    int quantity = 1;  // 1 when the item gives none
    int originals = 0; // when the quantity is written "4 x 500"
    QString badQuantity; // a quantity as written that is no count of copies
    QString unitPrice; // as written in the file
    QString jobItem;   // the Job-Item reference, "999-1" when none
    QString link;
};

// The most items one order is read with: a job numbers its items with one
// byte.
constexpr int kMaxOrderItems = 255;

// The items of a loaded order. Each item's fields are read inside its own
// item element (the element the quantity path ends in) when the paths lie
// inside it, so an item without a price never takes the next item's;
// otherwise the i-th occurrence of each path in the document is taken. An
// empty description ends the items.
QList<XmlOrderItem> ReadXmlOrderItems(const XmlDocument &order, const XmlOrderKeys &keys);
