#include "exchange/mail/CMail.h"

#include "exchange/mail/CMailCompose.h"

#include "app/base/CZqApp.h"
#include "exchange/FtpCurl.h"
#include "platform/PlacedFile.h"
#include "platform/NetworkWait.h"
#include "platform/Prompt.h"

#include <QtCore/QByteArrayList>
#include <QtCore/QDateTime>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QMimeDatabase>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QStandardPaths>
#include <QtCore/QThread>
#include <QtCore/QUrl>
#include <QtCore/QTemporaryDir>
#include <QtCore/QUuid>

#include <curl/curl.h>

#include <mutex>

namespace {

int g_attachmentWait = 2000;

// The largest attachment sent: beyond what mail servers take anyway.
constexpr qint64 kMaxAttachmentBytes = 100 * 1024 * 1024;

const QString kRetryText = QStringLiteral("\nCannot send the email.\nDo you want to try it again?");

// The body as quoted-printable (RFC 2045) with CR LF line ends, written here
// rather than by the library so that the message's size is known before it
// goes out: whether all of it reached the server is then told by the count
// of what was sent. A line's leading dot is encoded too, so the data needs no
// dot stuffing and what is counted is what the message holds.
QByteArray quotedPrintable(const QByteArray &text)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(text.size() + text.size() / 8 + 16);
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype l = 0; l < lines.size(); ++l) {
        QByteArray line = lines.at(l);
        if (line.endsWith('\r'))
            line.chop(1);
        int column = 0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(line.at(i));
            const bool last = i + 1 == line.size();
            const bool printable = (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last);
            if (column + (printable ? 1 : 3) > 75) {
                out += "=\r\n";
                column = 0;
            }
            if (printable && !(c == '.' && column == 0)) {
                out += char(c);
                column += 1;
            } else {
                out += '=';
                out += hex[c >> 4];
                out += hex[c & 15];
                column += 3;
            }
        }
        if (l + 1 < lines.size())
            out += "\r\n";
    }
    return out;
}

bool isPlainAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() >= 0x7F)
            return false;
    }
    return true;
}

// A header text: plain ASCII as it is, anything else as UTF-8 encoded words
// of at most 75 characters each, a character never split between two.
QByteArray headerText(const QString &text)
{
    if (isPlainAscii(text))
        return text.toLatin1();
    QByteArray out;
    QByteArray chunk;
    const auto flush = [&] {
        if (chunk.isEmpty())
            return;
        if (!out.isEmpty())
            out += ' ';
        out += "=?UTF-8?B?" + chunk.toBase64() + "?=";
        chunk.clear();
    };
    for (int i = 0; i < text.size(); ++i) {
        const int units = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray bytes = text.mid(i, units).toUtf8();
        if (chunk.size() + bytes.size() > 45)
            flush();
        chunk += bytes;
        i += units - 1;
    }
    flush();
    return out;
}

// An address list for a header: each display name encoded (or quoted when
// it holds the address syntax's specials), the addresses as they are.
QByteArray addressHeader(const QString &list)
{
    QByteArrayList parts;
    for (const QString &part : list.split(QRegularExpression(QStringLiteral("[;,]")), Qt::SkipEmptyParts)) {
        const QString entry = part.trimmed();
        const int open = int(entry.indexOf(QLatin1Char('<')));
        if (open < 0) {
            parts.append(entry.toUtf8());
            continue;
        }
        QString name = entry.left(open).trimmed();
        if (name.size() >= 2 && name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"')))
            name = name.mid(1, name.size() - 2);
        const QByteArray address = entry.mid(open).trimmed().toUtf8();
        if (name.isEmpty())
            parts.append(address);
        else if (!isPlainAscii(name))
            parts.append(headerText(name) + ' ' + address);
        else if (name.contains(QRegularExpression(QStringLiteral("[()<>\\[\\]:;@\\\\,.\"]"))))
            parts.append('"' + QString(name).replace(QLatin1Char('\\'), QLatin1String("\\\\"))
                                   .replace(QLatin1Char('"'), QLatin1String("\\\""))
                                   .toLatin1() +
                         "\" " + address);
        else
            parts.append(name.toLatin1() + ' ' + address);
    }
    return parts.join(", ");
}

// The attachment's type and disposition headers: its name as RFC 2231 says
// (and, for mail programs that read only the type's name, as an encoded word).
void describeAttachment(curl_mimepart *part, const QString &path, const QByteArray &bytes, curl_slist *&headers)
{
    const QString name = QFileInfo(path).fileName();
    const QByteArray mime = QMimeDatabase().mimeTypeForFileNameAndData(name, bytes).name().toLatin1();
    QByteArray type = mime.isEmpty() ? QByteArray("application/octet-stream") : mime;
    QByteArray disposition = "Content-Disposition: attachment; ";
    if (isPlainAscii(name)) {
        QString quoted = name;
        quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
        type += "; name=\"" + quoted.toLatin1() + '"';
        disposition += "filename=\"" + quoted.toLatin1() + '"';
    } else {
        type += "; name=\"" + headerText(name) + '"';
        disposition += "filename*=UTF-8''" + QUrl::toPercentEncoding(name);
    }
    curl_mime_type(part, type.constData());
    // Without a file name of its own the part gets only the disposition
    // written here.
    curl_mime_filename(part, nullptr);
    headers = curl_slist_append(headers, disposition.constData());
    curl_mime_headers(part, headers, 0);
}

QStringList recipients(const QString &to)
{
    QStringList out;
    for (const QString &part : to.split(QRegularExpression(QStringLiteral("[;,]")), Qt::SkipEmptyParts)) {
        QString address = part.trimmed();
        const int open = int(address.indexOf(QLatin1Char('<')));
        const int close = int(address.indexOf(QLatin1Char('>'), open + 1));
        if (open >= 0 && close > open)
            address = address.mid(open + 1, close - open - 1).trimmed();
        if (!address.isEmpty())
            out.append(address);
    }
    return out;
}

// The message that refuses a field holding a line break, "" when none does.
// A header field or an envelope address ends at a line break: what follows
// would travel as a header or an SMTP command of its own (another recipient).
QString lineBreakRefusal(const QString &from, const QString &to, const QString &subject, const QString &attachment)
{
    const std::pair<const char *, QString> fields[] = {
        {"From", from}, {"To", to}, {"Subject", subject}, {"Attachment", QFileInfo(attachment).fileName()}};
    for (const auto &[name, value] : fields) {
        if (value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n')))
            return QStringLiteral("Cannot send the email: its %1 field holds a line break.\n\nNothing was sent.")
                .arg(QLatin1String(name));
    }
    return QString();
}

// The mail program reads its attachment by name, later: it is given a copy
// of the bytes that were checked, under the attachment's own name, in a
// folder only this user can reach (removed when the program ends). Empty when
// none could be made.
QString privateCopy(const QString &attachment, const QByteArray &bytes)
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/tavrel-mail-XXXXXX"));
    if (!folder.isValid())
        return QString();
    // One folder of its own per message: two attachments of one name never meet.
    QTemporaryDir own(folder.path() + QStringLiteral("/XXXXXX"));
    if (!own.isValid())
        return QString();
    own.setAutoRemove(false); // it goes with the folder it is in
    const QString copy = own.filePath(QFileInfo(attachment).fileName());
    QFile file(copy);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        file.remove();
        return QString();
    }
    return copy;
}

void refuse(const QString &text)
{
    platform::Prompt::messageBox(text, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

struct ServerReplies
{
    QString last;
};

int keepReplies(CURL *, curl_infotype type, char *data, size_t size, void *user)
{
    if (type == CURLINFO_HEADER_IN) {
        // The server's refusals (4xx and 5xx); its closing "221" after the
        // QUIT that follows a refusal is not what the user needs to read.
        const QString line = QString::fromUtf8(data, qsizetype(size)).trimmed();
        if (line.startsWith(QLatin1Char('4')) || line.startsWith(QLatin1Char('5')))
            static_cast<ServerReplies *>(user)->last = line;
    }
    return 0;
}

} // namespace

bool CMail::ReadAttachment(const QString &path, QByteArray &bytes, QString &why)
{
    return platform::PlacedFile::Read(path, kMaxAttachmentBytes, bytes, why);
}

void CMail::setAttachmentWait(int milliseconds)
{
    g_attachmentWait = milliseconds;
}

bool CMail::SendSmtp(const QString &server, const QString &user, const QString &password, const QString &from,
                     const QString &to, const QString &subject, const QString &text, const QString &attachment,
                     const QByteArray &attachmentBytes, QString &reply, bool *wholeMessageSent)
{
    if (wholeMessageSent)
        *wholeMessageSent = false;
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    reply = lineBreakRefusal(from, to, subject, attachment);
    if (!reply.isEmpty())
        return false;
    CURL *curl = curl_easy_init();
    if (!curl) {
        reply = QStringLiteral("The mail library could not be started.");
        return false;
    }
    const QString url = server.contains(QLatin1String("://")) ? server : QStringLiteral("smtp://") + server;
    const QByteArray urlBytes = url.toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, urlBytes.constData());
    // STARTTLS when the server offers it; a plain server still works.
    curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
    const QByteArray userBytes = user.toUtf8();
    const QByteArray passBytes = password.toUtf8();
    if (!user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, userBytes.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, passBytes.constData());
    }
    const QByteArray fromBytes = "<" + from.toUtf8() + ">";
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, fromBytes.constData());
    curl_slist *rcpt = nullptr;
    for (const QString &address : recipients(to))
        rcpt = curl_slist_append(rcpt, ("<" + address.toUtf8() + ">").constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);

    curl_slist *headers = nullptr;
    const QByteArray domain = from.section(QLatin1Char('@'), 1).toUtf8();
    for (const QByteArray &h : {QByteArray("From: ") + addressHeader(from), QByteArray("To: ") + addressHeader(to),
                                QByteArray("Subject: ") + headerText(subject),
                                QByteArray("Date: ") +
                                    QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1(),
                                QByteArray("Message-ID: <") +
                                    QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + "@" +
                                    (domain.isEmpty() ? QByteArray("localhost") : domain) + ">"})
        headers = curl_slist_append(headers, h.constData());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);

    curl_mime *mime = curl_mime_init(curl);
    curl_mimepart *body = curl_mime_addpart(mime);
    // Lines end in CR LF, so the encoding keeps them as line ends (a bare
    // line feed would travel as "=0A").
    const QByteArray textBytes = QString(text)
                                     .replace(QLatin1String("\r\n"), QLatin1String("\n"))
                                     .replace(QLatin1Char('\r'), QLatin1Char('\n'))
                                     .replace(QLatin1String("\n"), QLatin1String("\r\n"))
                                     .toUtf8();
    const QByteArray encodedText = quotedPrintable(textBytes);
    curl_mime_data(body, encodedText.constData(), size_t(encodedText.size()));
    curl_mime_type(body, "text/plain; charset=UTF-8");
    curl_mime_headers(body, curl_slist_append(nullptr, "Content-Transfer-Encoding: quoted-printable"), 1);
    curl_slist *fileHeaders = nullptr;
    if (!attachment.isEmpty()) {
        curl_mimepart *file = curl_mime_addpart(mime);
        curl_mime_data(file, attachmentBytes.constData(), size_t(attachmentBytes.size()));
        curl_mime_encoder(file, "base64");
        describeAttachment(file, attachment, attachmentBytes, fileHeaders);
    }
    curl_easy_setopt(curl, CURLOPT_MIMEPOST, mime);

    ServerReplies replies;
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, keepReplies);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &replies);
    char error[CURL_ERROR_SIZE] = {0};
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 300L);
    const CURLcode result = CURLcode(NetworkWait::Perform(curl, QStringLiteral("Sending the email to ") + server));
    // All of the message went out when as much was sent as it holds (the
    // final dot follows at once) and, when stopped, the server had taken all
    // of it; a message of unknown size counts as gone out once any of it was
    // sent.
    curl_off_t sent = 0;
    curl_off_t size = -1;
    curl_easy_getinfo(curl, CURLINFO_SIZE_UPLOAD_T, &sent);
    curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_UPLOAD_T, &size);
    const bool whole = (size > 0 ? sent >= size : sent > 0) && NetworkWait::LeftUnsent(curl) == 0;
    if (wholeMessageSent)
        *wholeMessageSent = whole;
    NetworkWait::Close(curl);
    curl_mime_free(mime);
    curl_slist_free_all(fileHeaders);
    curl_slist_free_all(headers);
    curl_slist_free_all(rcpt);
    if (result == CURLE_OK)
        return true;
    if (NetworkWait::WasStopped(result)) {
        reply.clear(); // stopped by the user: nothing to say
        return false;
    }
    // The server's own words when it answered, otherwise the library's.
    reply = !replies.last.isEmpty()
        ? replies.last
        : (error[0] ? QString::fromUtf8(error) : QString::fromUtf8(curl_easy_strerror(result)));
    return false;
}

bool CMail::Send(QString to, QString subject, QString text, QString attachment)
{
    CZqApp *app = ZqApp();
    const CZqApp::EmailSettings settings = app ? app->emailSettings() : CZqApp::EmailSettings();
    const bool smtp = !settings.Outgoing.trimmed().isEmpty();
    QString refusal = lineBreakRefusal(smtp ? settings.Address : QString(), to, subject, attachment);
    if (!refusal.isEmpty()) {
        refuse(refusal);
        return false;
    }
    QByteArray attached;
    if (!attachment.isEmpty()) {
        while (!QFileInfo(attachment).isFile()) {
            if (platform::Prompt::messageBox(QStringLiteral("Cannot find the attachment:\n") + attachment +
                                                 QStringLiteral("\n\nDo you want to check it again?"),
                                             QString(), platform::MB_YESNO | platform::MB_ICONHAND) != platform::IDYES)
                return false;
        }
        // A document another program has just written gets time to be finished.
        if (g_attachmentWait > 0)
            QThread::msleep(ulong(g_attachmentWait));
        // The attachment may be named by a template in a shared folder: it
        // goes out only as an ordinary file of a mail's size, never through
        // another user's link to this user's file. It is read here, once:
        // what is sent is what was checked, whatever the name is made to
        // point to while the message is reviewed.
        QString why;
        if (!ReadAttachment(attachment, attached, why)) {
            refuse(QStringLiteral("Cannot attach ") + attachment + QStringLiteral(": ") + why +
                   QStringLiteral(".\n\nNothing was sent."));
            return false;
        }
    }

    if (!smtp) {
        // The desktop's mail program opens its own compose window.
        const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
        for (;;) {
            QStringList args{QStringLiteral("--utf8"), QStringLiteral("--subject"), subject, QStringLiteral("--body"),
                             text};
            if (!attachment.isEmpty()) {
                const QString copy = privateCopy(attachment, attached);
                if (copy.isEmpty()) {
                    refuse(QStringLiteral("Cannot attach ") + attachment +
                           QStringLiteral(": no private copy of it could be made for the mail program.\n\nNothing "
                                          "was sent."));
                    return false;
                }
                args << QStringLiteral("--attach") << copy;
            }
            if (!to.isEmpty())
                args << to;
            const int code = program.isEmpty() ? -2 : QProcess::execute(program, args);
            if (code == 0)
                return true;
            const QString reason = program.isEmpty()
                ? QStringLiteral("No mail program is set up on this computer (xdg-email was not found).")
                : QStringLiteral("The mail program did not take the message (code %1).").arg(code);
            if (platform::Prompt::messageBox(reason + kRetryText, QString(),
                                             platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
                return false;
        }
    }

    CMailCompose compose(settings.Address, to, subject, text, attachment, nullptr);
    if (compose.DoModal() != 1)
        return false;
    refusal = lineBreakRefusal(settings.Address, compose.m_strTo, compose.m_strSubject, attachment);
    if (!refusal.isEmpty()) {
        refuse(refusal);
        return false;
    }
    for (;;) {
        QString reply;
        bool whole = false;
        if (SendSmtp(settings.Outgoing.trimmed(), settings.LogonName, settings.LogonPass, settings.Address,
                     compose.m_strTo, compose.m_strSubject, compose.m_strText, attachment, attached, reply, &whole))
            return true;
        bool offerAgain = false;
        const QString said = FailureText(reply, whole, offerAgain);
        if (!offerAgain) {
            platform::Prompt::messageBox(said, QString(),
                                         platform::MB_OK | (whole ? platform::MB_ICONEXCLAMATION : platform::MB_ICONINFORMATION));
            return false;
        }
        if (platform::Prompt::messageBox(said, QString(),
                                         platform::MB_YESNO | (whole ? platform::MB_ICONEXCLAMATION : platform::MB_ICONQUESTION)) !=
            platform::IDYES)
            return false;
    }
}

QString CMail::FailureText(const QString &reply, bool wholeMessageSent, bool &offerAgain)
{
    if (reply.isEmpty()) {
        // Stopped by the user. A message left unfinished is thrown away by
        // the server; one that went out whole may have been delivered.
        offerAgain = false;
        if (!wholeMessageSent)
            return QStringLiteral("Sending the email was stopped.\n\nNothing was sent: the server was given no "
                                  "complete message.");
        return QStringLiteral("Sending the email was stopped after the whole message had reached the server.\n\n"
                              "The server did not confirm it, so it may have been delivered. Ask the addressee before "
                              "sending it again: it would arrive twice.");
    }
    offerAgain = true;
    if (!wholeMessageSent)
        return reply + kRetryText;
    return reply + QStringLiteral("\n\nThe whole message reached the server, but the server did not confirm it: it may "
                                  "have been delivered.\nDo you want to send it again? If it was delivered, the "
                                  "addressee receives it twice.");
}
