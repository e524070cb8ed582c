#pragma once

#include "platform/UserFile.h"

#include <QtCore/QFile>
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

class CXDaoSet;
class CXListCtrl;

// The one object through which data leaves the database for other programs:
// lists and address lists as delimited text, postings for the accounting
// program (CSV and IIF), merge data for the word processor's labels and RTF
// invoices filled from a template. A caller creates it for one export, opens
// (or lets it open) the output file, runs one operation and lets it go.
//
// Every file is 8-bit text: each "\n" goes to disk as CR LF, characters are
// stored in Windows-1252 (one the code page lacks as "?"), no byte-order
// mark. Every write is checked: after the first failure nothing more is
// written, and WriteFailed/WriteError tell the caller.
class CExport
{
public:
    // One row to export when the export runs without a record list (the
    // command-line tool and tests): the row's first column and its key.
    struct Row
    {
        QString firstText;
        qint64 key = 0;
    };

    CExport();
    ~CExport();
    CExport(const CExport &) = delete;
    CExport &operator=(const CExport &) = delete;

    // --- the file -------------------------------------------------------------
    // Opens the output file for writing, creating or emptying it. False (and
    // the reason in WriteError) when it cannot be opened.
    bool OpenOutput(const QString &path);
    // Writes text: "\n" as CR LF, Windows-1252. Nothing once a write failed.
    void Write(const QString &text);
    // Flushes and closes the file; false when a write or the close failed.
    bool CloseOutput();
    // Ends the file of an export that wrote `written` records (rows, lines
    // of postings, labels, XML records): one that found nothing, was stopped
    // or failed is dropped, so the name keeps what it held; any other is put
    // in place. True when the file was put in place; NothingExported() tells
    // a file dropped because nothing was found, WriteFailed() a failure.
    // Every writer ends its file here; an export left by an exception (the
    // object goes while the file is open) drops its file too.
    bool FinishOutput(int written);
    bool NothingExported() const { return m_bNothing; }
    bool WriteFailed() const { return m_bFailed; }
    // The user stopped the writing of the rows (the file is then dropped).
    bool WriteStopped() const { return m_bStopped; }
    QString WriteError() const { return m_strError; }
    // "Cannot write: " + path and the reason, with the error icon.
    void ReportWriteFailure() const;
    // Opens a query whose rows go into the file (a snapshot). When it cannot
    // be run (the database's error has been shown) the export fails as a
    // failed write does: nothing more is written and the file is dropped, so
    // the name keeps what it held. False then.
    bool OpenQuery(CXDaoSet &set, const QString &sql);

    // --- delimited text ---------------------------------------------------------
    // Rewrites the value as one delimited value: a double quote becomes a
    // blank; the value is enclosed in `quote` when it holds the separator, a
    // carriage return or a line feed (in a file whose readers cannot take
    // quotes, each line break and TAB becomes a blank instead); the
    // separator is appended on request.
    void FormatField(QString &value, bool addSeparator) const;
    // Header row of `list` in display order, the titles through the value
    // rule; the line end after the last. Returns the column count.
    int WriteColumnTitles(const QString &lineEnd);
    // The field names of an open set, separated, the line end after the last.
    int WriteFieldNames(CXDaoSet &set, const QString &lineEnd);
    // Header row and the (selected) rows of `list`; the number of rows.
    int WriteListRows(bool allRows);
    // Every record of the set (field names first on request); the count.
    int WriteRecordRows(CXDaoSet &set, bool withHeader, bool replaceLineBreaks);
    // The current record's first `n` fields as one line of the file, without its line end.
    QString RecordLine(CXDaoSet &set, int n, bool replaceLineBreaks) const;
    // The address list of the customers or contacts of the rows (choice 1-10).
    int WriteAddressList(int choice, bool allRows, bool replaceLineBreaks);
    // The items of a comma-terminated list (text after the last comma is
    // ignored), each with the blanks around it, the separator between two
    // and the line end after the last. An empty list, or one without a
    // comma, writes nothing. Returns the number of items written.
    int WriteCommaList(const QString &list, const QString &lineEnd);
    // The value of a header line ("Subject:") of a template text, consumed:
    // the text between the key and the next CR LF with leading blanks
    // removed; the text then starts after that CR LF. Empty (and the text
    // unchanged) when the key is missing, no CR LF follows it or nothing
    // stands between them.
    static QString ReadHeaderLine(const QString &key, QString &text);

    // --- the export entry -----------------------------------------------------------
    // Asks "Which Rows?"; false when cancelled.
    bool AskWhichRows(bool &allRows, const QString &title, bool preferSelected);
    // The whole export of a record list (rights, choices, file, writer, outcome).
    void ExportList(int view, int branch, int entry, QString name, CXListCtrl *rows, bool allRows, int format);

    // --- accounting files ---------------------------------------------------------
    // Invoice CSV of the postings of the rows; the number of invoices written.
    int ExportPeachtree(bool allRows);
    // Asks for the three accounts ("sales,receivables,tax"); false on cancel.
    static bool AskAccounts(QString &accounts);
    // Header line of the invoice CSV.
    void WritePeachtreeHeader();
    // The invoices of a posting; how many were written (0: none found).
    int WritePeachtreePosting(int postingNo, const QString &accounts);
    // IIF: asks sales journal and/or invoices; the number of postings written.
    int ExportQuickBooks(bool allRows);
    void WriteIifSalesHeader();
    void WriteIifInvoiceHeader();
    // A posting's journal or its invoices: 1 when written, 0 when the
    // posting has none (or could not be read).
    int WriteIifSalesJournal(int postingNo);
    int WriteIifInvoices(int postingNo);
    // IIF customer list of the list's query (its TOP n and WHERE kept).
    int ExportQuickBooksCustomers();
    // Postings that wrote nothing, for the closing message.
    QList<int> skippedPostings() const { return m_skipped; }

    // --- merge labels ------------------------------------------------------------------
    // Opens the output file in the data-source folder ("Settings" /
    // "Path-TemplateDataSource", default the database folder); on failure
    // offers another folder. False when the user gives up.
    bool OpenDataSourceFile(const QString &fileName);
    static QString DataSourceFolder();
    // Address labels of the rows of a customer (choice 0 asks) or contact list.
    void PrintAddressLabels(CXListCtrl *rows, int choice, bool allRows);
    // Shipping labels: one shipment per entry; returns the labels written.
    struct Shipment
    {
        qint32 itemId = 0;
        QString description;
        QString shipped;
        QString perBox;
        QString boxes;
        QString shiptoNo;
    };
    int WriteShippingLabels(const QList<Shipment> &shipments);
    void PrintShippingLabels(const QList<Shipment> &shipments);

    // --- XML -------------------------------------------------------------------------
    // XML documents are written in UTF-8 (set by WriteXmlHeader), each line
    // ending CR LF on disk, indentation by TABs given by the caller.
    // One element on one line; blanks removed from the name, the text
    // escaped; an empty text gives the empty-element form (no attributes).
    // `attributes` stands right behind the name, its leading blank included.
    void WriteXmlElement(const QString &name, const QString &text, const QString &indent,
                         const QString &attributes = QString());
    void WriteXmlIntElement(const QString &name, qint32 value, const QString &indent);
    void WriteXmlByteElement(const QString &name, quint8 value, const QString &indent);
    // The declaration, the stylesheet line (only when the stylesheet names an
    // ".xslt" file), the root start tag and the Header with DocName and DocHead.
    void WriteXmlHeader(const QString &root, const QString &stylesheet, const QString &docName,
                        const QString &docHead, const QString &encoding);
    // The Footer with DocFoot and DocCount and the root end tag.
    void WriteXmlFooter(const QString &root, const QString &footer, int count);
    // The set's current row, each field as an element (wrapped when a name
    // is given). The set's position does not change.
    void WriteXmlRecord(CXDaoSet &set, const QString &wrapper, const QString &indent);
    // Every row of the query ("?" replaced by the id) as a wrapped record one
    // TAB in; the number of rows. Only a single SELECT is run: any other
    // statement writes nothing.
    int WriteXmlQueryRecords(const QString &sql, const QString &element, qint32 id);
    // The query an XML template carries in its comment: the lines after the
    // line holding the marker up to the line holding "-->", joined by blanks.
    static QString ReadTemplateQuery(const QString &path);

    // Jobs to an XML document through a stylesheet template: the selected
    // rows of a job list (JobID 0), or one job (no list).
    void ExportJobsXml(CXListCtrl *jobList, qint32 jobId);
    // The same for jobs chosen by their JobIDs, as a list's selection.
    void ExportJobIdsXml(const QList<qint32> &jobIds);
    // One Job element for the job; the counter goes up first.
    void WriteXmlJob(class CJobSet &job, int &counter, bool withServices);
    void WriteXmlJobItems(qint32 jobId, bool withServices, const QString &indent);
    void WriteXmlEmployee(quint8 empNo, const QString &indent);
    void WriteXmlCustomer(qint32 cusNo, const QString &indent);
    void WriteXmlBuyer(qint32 contactNo, const QString &indent);
    void WriteXmlShipto(qint32 shiptoNo, const QString &indent);
    void WriteXmlVendor(qint32 vendorNo, const QString &indent);
    // Any list through a template of the other-templates folder whose name
    // starts with the prefix; a name ending in a blank gets today's date.
    void ExportListXml(const QString &prefix, const QString &name, const QString &heading);
    // The template choice of the list export; false when cancelled.
    bool ChooseXmlTemplate(const QString &prefix);
    // The shop's XML folders, below the database folder.
    static QString XmlJobTemplateFolder();
    static QString XmlJobFileFolder();
    static QString XmlOtherTemplateFolder();
    static QString XmlOtherFileFolder();
    // Where the last XML export wrote (tests and the command-line tool).
    QString m_strXmlPath;

    // --- e-mail from a list ------------------------------------------------------------
    // E-mail to the people behind the selected rows (or, with a document,
    // behind the current key): template, recipients, placeholders, sending.
    void EmailFromList(CXListCtrl *rowsList, int viewId, qint32 key, QString templateName, QString document);
    // One message to each record of the query completed with the key; false
    // when an RTF document could not be made (the sending stops).
    bool EmailRecords(const QString &query, qint32 key, const QString &subject, QString &body,
                      const QString &attachment, bool survey, bool several);
    // The e-mail templates' folder below the database folder.
    static QString EmailTemplateFolder();

    // --- RTF ------------------------------------------------------------------------
    // Fills the template with the job; the document goes to m_strDocument.
    bool FillRtfTemplate(qint32 jobId, const QString &templatePath);

    // Members.
    platform::UserFile outputFile;
    CXListCtrl *list = nullptr;
    QList<Row> rows;             // the rows when there is no list
    QString listSql;             // the list's query when there is no list
    QString m_strDocument;       // RTF document path
    QString m_strTemplateFolder; // XML template folder
    QString m_strTemplateName;   // XML template name
    bool utf8 = false;           // text goes to disk as UTF-8, not Windows-1252
    char separator = '\t';
    char quote = '"';
    bool unquoted = false;       // the file's readers take no quotes (IIF, merge data)

private:
    QList<Row> chosenRows(bool allRows) const;
    int rowCount() const;
    int selectedCount() const;
    void fail(const QString &reason);
    bool chooseTemplate(const QString &defaultName, int count, QString &path);
    void exportJobs(const QList<qint32> &jobIds, bool fromList);

    bool m_bFailed = false;
    bool m_bStopped = false;
    bool m_bNothing = false;
    QString m_strError;
    QList<int> m_skipped;
};
