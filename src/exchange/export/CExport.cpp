#include "exchange/export/CExport.h"

#include "exchange/export/ExportText.h"

#include "controls/CXListCtrl.h"
#include "controls/ListWork.h"
#include "data/CXDaoSet.h"
#include "platform/Prompt.h"

#include <QtCore/QHash>
#include <QtWidgets/QHeaderView>

CExport::CExport() = default;

CExport::~CExport()
{
    // A file still open here was never finished (an exception left the
    // export half way): it is dropped, and the name keeps what it held.
    if (outputFile.isOpen())
        outputFile.cancelWriting();
}

// --- the file -----------------------------------------------------------------------

bool CExport::OpenOutput(const QString &path)
{
    if (outputFile.isOpen())
        outputFile.cancelWriting();
    m_bFailed = false;
    m_bStopped = false;
    m_bNothing = false;
    m_strError.clear();
    outputFile.setFileName(path);
    if (!outputFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fail(outputFile.errorString());
        return false;
    }
    return true;
}

void CExport::fail(const QString &reason)
{
    if (m_bFailed)
        return;
    m_bFailed = true;
    m_strError = reason;
}

void CExport::Write(const QString &text)
{
    if (m_bFailed || text.isEmpty())
        return;
    if (!outputFile.isOpen()) {
        fail(QStringLiteral("The file is not open."));
        return;
    }
    // Every line feed reaches the disk as CR LF; one that already follows a
    // carriage return (a value's own CR LF) is not given a second one.
    QString crlf;
    crlf.reserve(text.size() + 16);
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\n') && (i == 0 || text.at(i - 1) != QLatin1Char('\r')))
            crlf += QLatin1Char('\r');
        crlf += text.at(i);
    }
    const QByteArray bytes = utf8 ? crlf.toUtf8() : ToWindows1252(crlf);
    if (outputFile.write(bytes) != bytes.size())
        fail(outputFile.errorString());
}

bool CExport::CloseOutput()
{
    if (outputFile.isOpen()) {
        // A file that could not be written whole is dropped: the name keeps
        // what it held before.
        if (m_bFailed)
            outputFile.cancelWriting();
        else if (!outputFile.commit())
            fail(outputFile.errorString());
    }
    return !m_bFailed;
}

bool CExport::FinishOutput(int written)
{
    m_bNothing = false;
    if (!outputFile.isOpen())
        return false;
    if (m_bStopped) {
        outputFile.cancelWriting();
        return false;
    }
    if (written <= 0 && !m_bFailed) {
        m_bNothing = true;
        outputFile.cancelWriting();
        return false;
    }
    return CloseOutput();
}

bool CExport::OpenQuery(CXDaoSet &set, const QString &sql)
{
    set.Open(CXDaoSet::dbOpenSnapshot, sql);
    if (set.IsOpen())
        return true;
    fail(QStringLiteral("The data to export could not be read from the database; nothing was written."));
    return false;
}

void CExport::ReportWriteFailure() const
{
    platform::Prompt::messageBox(QStringLiteral("Cannot write: ") + outputFile.fileName() + QStringLiteral("\n\n") +
                                     m_strError,
                                 QString(), platform::MB_ICONHAND);
}

// --- rows -------------------------------------------------------------------------

int CExport::rowCount() const
{
    return list ? list->GetItemCount() : int(rows.size());
}

int CExport::selectedCount() const
{
    return list ? list->GetSelectedCount() : int(rows.size());
}

QList<CExport::Row> CExport::chosenRows(bool allRows) const
{
    if (!list)
        return rows;
    QList<Row> chosen;
    for (int row = 0; row < list->GetItemCount(); ++row) {
        if (!allRows && !list->IsItemSelected(row))
            continue;
        chosen.append(Row{list->GetItemText(row, 0), list->GetItemData(row)});
    }
    return chosen;
}

// --- delimited text -----------------------------------------------------------------

void CExport::FormatField(QString &value, bool addSeparator) const
{
    value.replace(QLatin1Char('"'), QLatin1Char(' '));
    if (unquoted) {
        // One record stays one line with its fields in place.
        value.replace(QLatin1String("\r\n"), QLatin1String(" "));
        for (const QChar c : {QLatin1Char('\r'), QLatin1Char('\n'), QLatin1Char('\t'), QLatin1Char(separator)})
            value.replace(c, QLatin1Char(' '));
    } else if (value.contains(QLatin1Char(separator)) || value.contains(QLatin1Char('\r')) ||
               value.contains(QLatin1Char('\n'))) {
        // A lone CR or LF is quoted too: readers split a row at either.
        value = QLatin1Char(quote) + value + QLatin1Char(quote);
    }
    if (addSeparator)
        value += QLatin1Char(separator);
}

int CExport::WriteColumnTitles(const QString &lineEnd)
{
    if (!list)
        return 0;
    const int n = list->GetColumnCount();
    QHeaderView *header = list->header();
    for (int visual = 0; visual < n; ++visual) {
        const int column = header ? header->logicalIndex(visual) : visual;
        QString title = list->GetColumnText(column < 0 ? visual : column).left(519);
        FormatField(title, false);
        Write(title + (visual + 1 < n ? QString(QLatin1Char(separator)) : lineEnd));
    }
    return n;
}

int CExport::WriteFieldNames(CXDaoSet &set, const QString &lineEnd)
{
    const int n = set.GetFieldCount();
    for (int field = 0; field < n; ++field)
        Write(set.GetFieldName(field) + (field + 1 < n ? QString(QLatin1Char(separator)) : lineEnd));
    return n;
}

int CExport::WriteListRows(bool allRows)
{
    if (!list)
        return 0;
    const int n = WriteColumnTitles(QStringLiteral("\n"));
    QHeaderView *header = list->header();
    int count = 0;
    const int rows = list->GetItemCount();
    // A long list shows its progress, and Stop ends the export.
    ListWork work(QStringLiteral("Exporting the list"), rows, rows);
    for (int row = 0; row < rows && !m_bFailed; ++row) {
        if (!work.At(row, row)) {
            m_bStopped = true;
            break;
        }
        if (!allRows && !list->IsItemSelected(row))
            continue;
        ++count;
        QString line;
        for (int visual = 0; visual < n; ++visual) {
            const int column = header ? header->logicalIndex(visual) : visual;
            QString text = list->GetItemText(row, column < 0 ? visual : column);
            FormatField(text, visual + 1 < n);
            line += text;
        }
        Write(line + QLatin1Char('\n'));
    }
    return count;
}

QString CExport::RecordLine(CXDaoSet &set, int n, bool replaceLineBreaks) const
{
    QString line;
    for (int field = 0; field < n; ++field) {
        QString text;
        set.GetFieldText(field, text, false);
        if (replaceLineBreaks)
            text.replace(QLatin1String("\r\n"), QLatin1String(" "));
        FormatField(text, field + 1 < n);
        line += text;
    }
    return line;
}

int CExport::WriteRecordRows(CXDaoSet &set, bool withHeader, bool replaceLineBreaks)
{
    if (!set.IsOpen() || set.IsEmptySet())
        return 0;
    const int n = withHeader ? WriteFieldNames(set, QStringLiteral("\n")) : set.GetFieldCount();
    int count = 0;
    set.MoveFirst();
    while (!set.IsEOF() && !m_bFailed) {
        ++count;
        Write(RecordLine(set, n, replaceLineBreaks) + QLatin1Char('\n'));
        set.MoveNext();
    }
    return count;
}

int CExport::WriteAddressList(int choice, bool allRows, bool replaceLineBreaks)
{
    const QString columnsA = QStringLiteral(
        "SELECT Customers.Name, Customers.Address, Customers.Address2, Customers.City, Customers.State, Customers.Zip");
    const QString columnsB =
        columnsA + QStringLiteral(", Contacts.Title, Contacts.First, Contacts.Last, Contacts.Phone, Contacts.Phone2, "
                                  "Contacts.Cell, Contacts.Fax, Contacts.Email, Contacts.Dept, Contacts.PropID, "
                                  "Customers.CusNo, Contacts.ContactNo");
    const QString joined = QStringLiteral(" FROM Contacts RIGHT JOIN Customers ON ");
    // Each list row's records: a customer's (its contacts, its default buyer
    // or payer, or itself alone) or a contact's. The key a record belongs to
    // is read as a last column, which is not written.
    QString columns = columnsB;
    QString from;
    QString where;
    QString key = QStringLiteral("Customers.CusNo");
    switch (choice) {
    case 2:
        from = joined + QStringLiteral("Contacts.CusNo = Customers.CusNo");
        break;
    case 3:
        from = joined + QStringLiteral("Contacts.ContactNo = Customers.BuyerNo");
        break;
    case 4:
        from = joined + QStringLiteral("Contacts.ContactNo = Customers.PayerNo");
        break;
    case 1:
    case 10:
        // Contacts of type 2 are hidden ones.
        from = joined + QStringLiteral("Contacts.CusNo = Customers.CusNo");
        where = QStringLiteral(" WHERE Contacts.Type <> 2");
        key = QStringLiteral("Contacts.ContactNo");
        break;
    default:
        columns = columnsA;
        from = QStringLiteral(" FROM Customers");
        break;
    }

    const QList<Row> chosen = chosenRows(allRows);
    QHash<qint32, QStringList> lines; // by key, in the order read
    for (const Row &row : chosen)
        lines.insert(qint32(row.key), QStringList());
    if (lines.isEmpty())
        return 0;

    // Read in one statement (one per row took seconds for a few thousand
    // customers), then written in the list's order; a long list shows its
    // progress, and Stop ends the export with no file.
    std::int64_t records = 0;
    {
        CXDaoSet count;
        count.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT Count(*)") + from + where);
        if (count.IsOpen() && !count.IsEmptySet())
            records = count.GetFieldValue(0).toInt64();
    }
    ListWork work(QStringLiteral("Exporting the address list"), records + std::int64_t(chosen.size()), records);
    work.SetMessage(QStringLiteral("Reading the addresses"));
    CXDaoSet set;
    // A customer's contacts in the order they were made, as they were read
    // one customer at a time.
    const QString order = columns == columnsA ? QString() : QStringLiteral(" ORDER BY Contacts.ContactNo");
    if (!OpenQuery(set, columns + QStringLiteral(", ") + key + QStringLiteral(" AS ExportKey") + from + where + order)
        || set.IsEmptySet())
        return 0;
    const int n = set.GetFieldCount() - 1;
    QString header;
    for (int field = 0; field < n; ++field)
        header += set.GetFieldName(field) + (field + 1 < n ? QString(QLatin1Char(separator)) : QStringLiteral("\n"));
    std::int64_t read = 0;
    for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
        if (!work.At(read, read)) {
            m_bStopped = true;
            return 0;
        }
        ++read;
        const auto found = lines.find(qint32(set.GetFieldValue(n).toInt64()));
        if (found == lines.end())
            continue;
        found->append(RecordLine(set, n, replaceLineBreaks) + QLatin1Char('\n'));
    }
    set.Close();

    // The field names once, before the first record written.
    work.SetMessage(QStringLiteral("Writing the addresses"));
    work.SetRows(std::int64_t(chosen.size()));
    int count = 0;
    for (qsizetype i = 0; i < chosen.size() && !m_bFailed; ++i) {
        if (!work.At(read + i, i)) {
            m_bStopped = true;
            break;
        }
        for (const QString &line : std::as_const(lines[qint32(chosen.at(i).key)])) {
            if (count++ == 0)
                Write(header);
            Write(line);
        }
    }
    return count;
}

int CExport::WriteCommaList(const QString &list, const QString &lineEnd)
{
    const int lastComma = list.lastIndexOf(QLatin1Char(','));
    if (lastComma < 0)
        return 0;
    const QStringList items = list.left(lastComma).split(QLatin1Char(','));
    for (int i = 0; i < items.size(); ++i)
        Write(items.at(i) + (i + 1 < items.size() ? QString(QLatin1Char(separator)) : lineEnd));
    return int(items.size());
}

QString CExport::ReadHeaderLine(const QString &key, QString &text)
{
    const int at = text.indexOf(key);
    if (at < 0)
        return QString();
    const int start = at + int(key.size());
    const int end = text.indexOf(QLatin1String("\r\n"), start);
    if (end < 0)
        return QString();
    QString value = text.mid(start, end - start);
    while (!value.isEmpty() && value.at(0) == QLatin1Char(' '))
        value.remove(0, 1);
    if (end == start)
        return QString();
    text = text.mid(end + 2);
    return value;
}
