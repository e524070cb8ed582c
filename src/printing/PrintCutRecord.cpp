#include "printing/PrintCutRecord.h"

#include "platform/PlacedFile.h"
#include "platform/UserFile.h"

#include <QtCore/QFile>
#include <QtCore/QTextStream>

namespace {

QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    return out;
}

QString unescaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\') || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        const QChar next = text[++i];
        out += next == QLatin1Char('t') ? QChar(QLatin1Char('\t'))
             : next == QLatin1Char('n') ? QChar(QLatin1Char('\n'))
             : next == QLatin1Char('r') ? QChar(QLatin1Char('\r'))
                                        : next;
    }
    return out;
}

} // namespace

void PrintCutRecord::clear()
{
    m_page = 1;
    m_texts = 0;
    m_cuts.clear();
    m_breaks.clear();
}

void PrintCutRecord::add(Kind kind, const QRect &cell, const QSize &need, const QString &text)
{
    m_cuts.push_back({m_page, kind, cell, need, text});
}

QString PrintCutRecord::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Across: return QStringLiteral("across");
    case Kind::Below: return QStringLiteral("below");
    case Kind::Word: return QStringLiteral("word");
    case Kind::Beyond: return QStringLiteral("beyond");
    case Kind::Page: return QStringLiteral("page");
    }
    return QString();
}

QStringList PrintCutRecord::describe(int most) const
{
    QStringList lines;
    for (const Cut &c : m_cuts) {
        if (int(lines.size()) >= most)
            break;
        QString text = c.text;
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (text.size() > 60)
            text = text.left(57) + QStringLiteral("...");
        lines << QStringLiteral("page %1: \"%2\" cut %3 its cell (%4 x %5 needed in %6 x %7)")
                     .arg(c.page)
                     .arg(text, kindName(c.kind))
                     .arg(c.need.width())
                     .arg(c.need.height())
                     .arg(c.cell.width())
                     .arg(c.cell.height());
    }
    return lines;
}

bool PrintCutRecord::write(const QString &path) const
{
    platform::UserFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "texts " << m_texts << '\n';
    for (const Cut &c : m_cuts)
        out << "cut\t" << c.page << '\t' << kindName(c.kind) << '\t' << c.cell.left() << '\t' << c.cell.top() << '\t'
            << c.cell.width() << '\t' << c.cell.height() << '\t' << c.need.width() << '\t' << c.need.height() << '\t'
            << escaped(c.text) << '\n';
    for (const Break &b : m_breaks)
        out << "break\t" << b.page << '\t' << escaped(b.piece) << '\n';
    out.flush();
    return file.commit();
}

bool PrintCutRecord::read(const QString &path)
{
    clear();
    // Read back only as an ordinary file no larger than any record written:
    // a pipe or device put beside a print under the record's name is refused.
    constexpr qint64 kMaxRecord = 64 * 1024 * 1024;
    QFile file;
    QString refusal;
    if (!platform::PlacedFile::OpenFile(path, file, refusal, false, kMaxRecord))
        return false;
    QTextStream in(&file);
    const QString first = in.readLine();
    if (!first.startsWith(QLatin1String("texts ")))
        return false;
    m_texts = first.mid(6).toInt();
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() >= 3 && f[0] == QLatin1String("break")) {
            m_breaks.push_back({f[1].toInt(), unescaped(f.mid(2).join(QLatin1Char('\t')))});
            continue;
        }
        if (f.size() < 10 || f[0] != QLatin1String("cut"))
            continue;
        Cut c;
        c.page = f[1].toInt();
        for (Kind k : {Kind::Across, Kind::Below, Kind::Word, Kind::Beyond, Kind::Page})
            if (kindName(k) == f[2])
                c.kind = k;
        c.cell = QRect(f[3].toInt(), f[4].toInt(), f[5].toInt(), f[6].toInt());
        c.need = QSize(f[7].toInt(), f[8].toInt());
        c.text = unescaped(f.mid(9).join(QLatin1Char('\t')));
        m_cuts.push_back(c);
    }
    return true;
}
