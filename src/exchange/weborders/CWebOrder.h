#pragma once

#include "data/CContactSet.h"
#include "data/CEmailLinkSet.h"
#include "data/CJobSet.h"
#include "data/CShiptoSet.h"
#include "exchange/weborders/WebOrderKeyFields.h"

#include <QtCore/QDate>
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>

class XmlDocument;

// One item of a web order as read from the order text.
struct WebOrderItem
{
    QString description;
    int quantity = 0;
    int originals = 0;
    QString price;   // as written in the order
    QString jobItem; // the Job-Item reference of the item to copy
    QString link;    // a web or FTP address found in the item's text
    QString note;    // labelled note lines
    // The quantity (or the originals) as written when it is no count of
    // copies (or originals): the order cannot be saved until it is put right.
    QString badQuantity;
    bool badOriginals = false;
};

// The parts of a Job-Item reference ("100-1H", "100-1T", "100").
struct JobItemRef
{
    quint8 jobType = 2;
    qint32 jobNo = 0;
    quint8 itemNo = 1;
};

// The web order being turned into a job: the order text, the unsaved job
// with its customer, buyer and ship-to links, and the items. It parses text
// orders, matches the order to the shop's rows and saves it as an order or
// quote; the reader window shows it and lets the user correct it.
class CWebOrder
{
public:
    explicit CWebOrder(platform::Database *database = nullptr);
    ~CWebOrder();

    // --- the order --------------------------------------------------------
    // A new, unsaved order: the job's fields at their defaults, empty buyer
    // and ship-to, no items.
    void ClearOrder();
    // Reads m_strMailText into the order.
    void ParseTextOrder();
    // Reads a loaded XML order: its text is matched as a text order's is,
    // its items come from their element paths.
    void ParseXmlOrder(const XmlDocument &order);
    void ReadJobFields();
    void MatchCustomer();
    void MatchShipTo();
    void MatchBuyer();
    // The customer's defaults, then the matched ship-to and buyer.
    void ShowBillTo();
    void UpdateShipTo() { m_jobSet.m_ShiptoNo = m_shiptoSet.m_ShiptoNo; }
    void UpdateBuyer() { m_jobSet.m_BuyerNo = m_contactSet.m_ContactNo; }
    // Another customer chosen for the order: ship-to and buyer are looked up
    // again under it. A customer number the order wrote unreadably no longer
    // stands in the way of saving it.
    void ChangeCustomer(qint32 cusNo);
    bool HasCustomer() const { return m_jobSet.m_CusNo != 0; }

    // --- items ------------------------------------------------------------
    static JobItemRef ParseJobItemRef(const QString &text, bool historyByDefault);
    // Copies the referenced item with its service rows into the saved job;
    // the new ItemID, or 0 when no source was found.
    qint32 CopyTemplateItem(quint8 newItemNo, const QString &description, int quantity, int originals,
                            const QString &noteText, JobItemRef ref, bool &allPriced, bool &changed);
    qint32 AddItemFromScratch(quint8 newItemNo, const QString &description, int quantity, int originals,
                              const QString &noteText, quint8 flag);

    // --- saving -----------------------------------------------------------
    // Saves the order as an order (0) or quote (1): the job, its items, its
    // money and the link of the message, as one change. savedBefore asks
    // first. False when nothing was saved (a failure has been reported and
    // the order is left as it was).
    bool SaveOrder(quint8 jobType, bool savedBefore);

    // The value of a key field in the order text ("" when absent). While an
    // XML order is read, an entry that is an element path is read from the
    // document; a label is looked for in its text as in a mail.
    // Only the colon that ends a label is taken away; `remove` names further
    // characters to drop ("$" of an amount).
    QString Field(int key, int start = 0, int limit = 0, const QString &remove = QString()) const;
    // A value without the colon(s) and blanks that end its label.
    static QString WithoutLabelColon(QString value);

    platform::Database *m_pDatabase = nullptr;
    KeyFieldTable m_keys;
    QString m_strMailText;
    QString m_strMessageId; // of the message being read; "" for pasted text
    QDate m_today;
    CJobSet m_jobSet;
    CShiptoSet m_shiptoSet;
    CContactSet m_contactSet;
    CEmailLinkSet m_linkSet;
    QList<WebOrderItem> m_items;
    QString m_strSavedJobs;
    qint32 m_nLinkedJobId = 0;
    QString m_strStatus; // the result of the last save
    QString m_strLabel;  // "Order 1234" of the last save
    // Why the order as read cannot be saved (a value that is no amount or
    // number of days), one message a field; the items say their own.
    QStringList m_refusals;
    // The customer picker, preset to the last filter; true with a choice.
    std::function<bool(qint32 &cusNo, const QString &filter)> pickCustomer;

private:
    void AppendLabeledLine(const QString &label, QString &text, const QString &value) const;
    void AppendMailField(const QString &label, QString &text, int start, int limit) const;
    // Tells that items past the most an order holds were not read.
    void ReportItemsLeftOut(int listed) const;
    // Notes that a key field's value cannot be read as `what`.
    void Refuse(int key, const QString &value, const QString &what, const QString &why = QString());
    // The characters a text column of the shop's database holds; `fallback`
    // when its size cannot be read.
    int ColumnSize(const QString &table, const QString &column, int fallback) const;
    // Every text of the order is stored whole or the order is refused, the
    // text named by its label: a key field's value longer than its column
    // holds (true when it fits), and a note made of several lines.
    bool RefuseTooLong(int key, const QString &value, const QString &table, const QString &column, int fallback);
    void RefuseLongNote(const QString &whose, const QString &note, const QString &table, const QString &column);
    // The texts of the items read, checked as above.
    void RefuseLongItemTexts();
    platform::Database &db() const;

    QString m_strCustomerNoRefusal; // the refusal of an unreadable customer number
    const XmlDocument *m_pXmlOrder = nullptr; // the XML order being read
    bool m_bSaveFailed = false; // a row of the save could not be written
    bool m_bSaved = false;      // this order has become a job
};

// Jet LIKE pattern characters of a value taken literally.
QString LikeLiteral(const QString &value);
