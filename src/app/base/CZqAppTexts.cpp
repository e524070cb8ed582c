// Texts the printed documents and the exchange share: the shop's company
// block, values read from the plain text of web-order mails, and the chain
// of jobs a job was copied from.
#include "app/base/CZqApp.h"

#include "app/base/TextUtil.h"
#include "resources/Strings.h"

namespace {

const QString kLineBreak = QStringLiteral("\r\n");
constexpr int kMaxOriginHops = 5;

} // namespace

void CZqApp::GetCompanyText(QString &out, int flags) const
{
    if (flags < 0) {
        m_company.FormatAddress(out, -flags);
        if (flags == -3)
            out.replace(kLineBreak, QStringLiteral(" "));
        return;
    }
    const bool name = flags & 32;
    const bool address = flags & 64;
    if (name && address)
        m_company.FormatAddress(out, 1);
    else if (name)
        m_company.FormatAddress(out, 0);
    else if (address)
        m_company.FormatAddress(out, 2);
    else
        out.clear();
    if (flags & 128) {
        out += kLineBreak + m_company.m_strPhone;
        if (!m_company.m_strFax.isEmpty())
            out += QStringLiteral(" Fax: ") + m_company.m_strFax;
    }
}

int CZqApp::ExtractMailField(const QString &mail, const QString &label, QString &value, int start, int limit,
                             const QString &removeChars)
{
    value.clear();
    // "~" marks a field the mail does not carry.
    if (label == QLatin1String("~"))
        return 0;

    // "Label [+] n": the value is the n-th line below the label's line that
    // holds more than blanks; nothing when there are fewer such lines.
    QString sought = label;
    int lines = 0;
    if (sought.contains(QLatin1String("[+]"))) {
        QString rest;
        SplitAtKey(sought, rest, QStringLiteral("[+]"));
        sought = sought.trimmed();
        lines = ToInt(rest);
    }

    // With a limit the value also ends there (a field of one item never runs
    // into the next), and only the text up to it (where the label may still
    // start) is looked at, so reading a long text item by item takes time in
    // proportion to its length. Without a limit, all of it.
    const qsizetype bound = limit > 0 ? qMin(mail.size(), qsizetype(limit) + sought.size()) : mail.size();
    const QStringView text = QStringView(mail).left(bound);
    int pos = int(text.indexOf(sought, qMax(0, start)));
    if (pos < 0 || (limit > 0 && pos > limit))
        return 0;

    if (lines <= 0) {
        const int from = pos + int(sought.size());
        const QStringView rest = QStringView(mail).mid(from, limit > 0 ? qMax(0, limit - from) : -1);
        const qsizetype end = rest.indexOf(kLineBreak);
        value = (end < 0 ? rest : rest.left(end)).toString();
        pos = from;
    } else {
        int at = pos;
        int counted = 0;
        QString line;
        while (counted < lines) {
            const int lineStart = int(mail.indexOf(kLineBreak, at));
            if (lineStart < 0)
                break;
            const int from = lineStart + int(kLineBreak.size());
            const int next = int(mail.indexOf(kLineBreak, from));
            // The mail's last line counts even without a break after it.
            const int lineEnd = next < 0 ? int(mail.size()) : next;
            line = mail.mid(from, lineEnd - from);
            if (!line.trimmed().isEmpty())
                ++counted;
            if (next < 0)
                break;
            at = next;
        }
        if (counted == lines)
            value = line;
    }

    value = RemoveChars(value, removeChars);
    // Options listed on one line become dashed lines of their own.
    value.replace(QStringLiteral("  |  "), QStringLiteral("\r\n-"));
    value = value.trimmed();
    return pos;
}

int CZqApp::ExtractMailNumber(const QString &mail, const QString &label, int &value, int start, int limit)
{
    QString text;
    const int pos = ExtractMailField(mail, label, text, start, limit, QString());
    text = RemoveChars(text, QStringLiteral(",$"));
    int digits = 0;
    while (digits < text.size() && (text.at(digits).isDigit() || text.at(digits) == QLatin1Char('.')))
        ++digits;
    value = ToInt(text.left(digits));
    return pos;
}

void CZqApp::GetJobOriginText(QString &out, qint32 jobId) const
{
    out.clear();
    int hops = 0;
    QString where = QStringLiteral("JobID = %1").arg(jobId);
    // Five hops at most, so a chain that loops back on itself ends.
    for (int i = 0; i < kMaxOriginHops; ++i) {
        const QueryResult job = ReadQuery(QStringLiteral("SELECT FromJobType, FromJobNo FROM Jobs WHERE ") + where, 1);
        if (job.isEmpty())
            break;
        const int fromType = job.value(0, QStringLiteral("FromJobType")).toInt();
        const qint32 fromNo = qint32(job.value(0, QStringLiteral("FromJobNo")).toInt64());
        if (fromNo == 0)
            break;
        out += QStringLiteral(" <- %1 %2").arg(GetResourceListItem(IDS_JOB_TYPES, fromType)).arg(fromNo);
        ++hops;
        // An order may have become history since the copy was made.
        where = fromType == 0 ? QStringLiteral("(JobType = %1 or JobType = %2) and JobNo = %3").arg(0).arg(3).arg(fromNo)
                              : QStringLiteral("JobType = %1 and JobNo = %2").arg(fromType).arg(fromNo);
    }
    if (hops < 2)
        out.clear();
}
