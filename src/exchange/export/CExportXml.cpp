#include "exchange/export/CExport.h"

#include "exchange/export/XmlText.h"

#include "data/CXDaoSet.h"

#include "platform/PlacedFile.h"

#include <QtCore/QFile>

// The XML writers of the export object: the document frame, element writers
// and the records of a set or a template's query.

namespace {

const QString kTab = QStringLiteral("\t");
// The line before a template's query.
const QString kQueryMarker = QStringLiteral("DIZUV_IZEVODOVAV:");

} // namespace

void CExport::WriteXmlElement(const QString &name, const QString &text, const QString &indent,
                              const QString &attributes)
{
    const QString element = XmlElementName(name);
    if (text.isEmpty()) {
        Write(indent + QLatin1Char('<') + element + QStringLiteral("/>\n"));
        return;
    }
    Write(QStringLiteral("%1<%2%3>%4</%2>\n").arg(indent, element, attributes, XmlEscape(text)));
}

void CExport::WriteXmlIntElement(const QString &name, qint32 value, const QString &indent)
{
    Write(QStringLiteral("%1<%2>%3</%2>\n").arg(indent, name).arg(value));
}

void CExport::WriteXmlByteElement(const QString &name, quint8 value, const QString &indent)
{
    Write(QStringLiteral("%1<%2>%3</%2>\n").arg(indent, name).arg(int(value)));
}

void CExport::WriteXmlHeader(const QString &root, const QString &stylesheet, const QString &docName,
                             const QString &docHead, const QString &encoding)
{
    utf8 = encoding.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0;
    const QChar q = QLatin1Char('"');
    Write(QStringLiteral("<?xml version=") + q + QStringLiteral("1.0") + q + QStringLiteral(" encoding=") + q +
          encoding + q + QStringLiteral("?>\n"));
    if (stylesheet.contains(QLatin1String(".xslt")))
        Write(QStringLiteral("<?xml-stylesheet type=") + q + QStringLiteral("text/xsl") + q +
              QStringLiteral(" href=") + q + XmlEscape(stylesheet) + q + QStringLiteral("?>\n"));
    Write(QLatin1Char('<') + root + QStringLiteral(">\n"));
    Write(QStringLiteral("<Header>\n"));
    WriteXmlElement(QStringLiteral("DocName"), docName, kTab);
    WriteXmlElement(QStringLiteral("DocHead"), docHead, kTab);
    Write(QStringLiteral("</Header>\n"));
}

void CExport::WriteXmlFooter(const QString &root, const QString &footer, int count)
{
    Write(QStringLiteral("<Footer>\n"));
    WriteXmlElement(QStringLiteral("DocFoot"), footer, kTab);
    WriteXmlElement(QStringLiteral("DocCount"), QString::number(count), kTab);
    Write(QStringLiteral("</Footer>\n"));
    Write(QStringLiteral("</") + root + QStringLiteral(">\n"));
}

void CExport::WriteXmlRecord(CXDaoSet &set, const QString &wrapper, const QString &indent)
{
    QString fieldIndent = indent;
    if (!wrapper.isEmpty()) {
        Write(indent + QLatin1Char('<') + wrapper + QStringLiteral(">\n"));
        fieldIndent += kTab;
    }
    const int n = set.GetFieldCount();
    for (int field = 0; field < n; ++field) {
        QString text;
        set.GetFieldText(field, text, false);
        WriteXmlElement(set.GetFieldName(field), text, fieldIndent);
    }
    if (!wrapper.isEmpty())
        Write(indent + QStringLiteral("</") + wrapper + QStringLiteral(">\n"));
}

int CExport::WriteXmlQueryRecords(const QString &sql, const QString &element, qint32 id)
{
    if (sql.isEmpty())
        return 0;
    // A template is a file anyone can put in the folder: its query may read,
    // never change the shop's data.
    if (!IsSingleSelectStatement(sql))
        return 0;
    QString statement = sql;
    statement.replace(QLatin1Char('?'), QString::number(id));
    CXDaoSet set;
    if (!OpenQuery(set, statement) || set.IsEmptySet())
        return 0;
    int count = 0;
    for (set.MoveFirst(); !set.IsEOF() && !WriteFailed(); set.MoveNext()) {
        WriteXmlRecord(set, element, kTab);
        ++count;
    }
    return count;
}

QString CExport::ReadTemplateQuery(const QString &path)
{
    // A template in a shared folder: only an ordinary file of a template's
    // size is read.
    QByteArray bytes;
    QString refusal;
    if (!platform::PlacedFile::Read(path, 8 * 1024 * 1024, bytes, refusal))
        return QString();
    QString query;
    bool inQuery = false;
    // A text file: a line ends at LF or CR LF.
    for (QString line : QString::fromUtf8(bytes).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!inQuery) {
            inQuery = line.contains(kQueryMarker);
            continue;
        }
        if (line.contains(QLatin1String("-->")))
            break;
        query += line + QLatin1Char(' ');
    }
    query.replace(QLatin1String("\r\n"), QLatin1String(" "));
    return query.trimmed();
}
