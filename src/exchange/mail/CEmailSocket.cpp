#include "exchange/mail/CEmailSocket.h"

#include "app/base/CZqApp.h"
#include "app/base/ErrorBoxes.h"
#include "platform/Prompt.h"

#include <QtCore/QRegularExpression>
#include <QtCore/QStringDecoder>
#include <QtNetwork/QHostAddress>

#include <cerrno>

namespace {

constexpr int kDefaultTimeoutSeconds = 60;

// Mail travels as octets; each one is kept as one character so a message
// can be written back byte for byte.
QString fromOctets(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes);
}

// A RETR reply's message: the status line and the final "." line gone, the
// dot that the server put before every line starting with a dot removed.
QString messageFromReply(const QByteArray &reply)
{
    const qsizetype statusEnd = reply.indexOf("\r\n");
    if (statusEnd < 0)
        return QString();
    QByteArray body = reply.mid(statusEnd + 2);
    if (body.endsWith(".\r\n"))
        body.chop(3);
    QByteArray out;
    out.reserve(body.size());
    bool lineStart = true;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const char c = body.at(i);
        if (lineStart && c == '.') {
            lineStart = false;
            continue;
        }
        out.append(c);
        lineStart = c == '\n' && i > 0 && body.at(i - 1) == '\r';
    }
    return fromOctets(out);
}

// The system's error number (errno) for a failure of the socket; 0 for one
// the system has no number for.
int SystemErrorOfSocket(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return ECONNREFUSED;
    case QAbstractSocket::RemoteHostClosedError: return ECONNRESET;
    case QAbstractSocket::SocketAccessError: return EACCES;
    case QAbstractSocket::SocketResourceError: return EMFILE;
    case QAbstractSocket::SocketTimeoutError: return ETIMEDOUT;
    case QAbstractSocket::NetworkError: return ENETUNREACH;
    case QAbstractSocket::AddressInUseError: return EADDRINUSE;
    case QAbstractSocket::SocketAddressNotAvailableError: return EADDRNOTAVAIL;
    case QAbstractSocket::UnsupportedSocketOperationError: return EOPNOTSUPP;
    default: return 0;
    }
}

} // namespace

QString EmailProgressText(int step, int current, int count)
{
    switch (step) {
    case 2: return QStringLiteral("Retrieving Email 1 of %1. Please wait...").arg(count);
    case 3: return QStringLiteral("Retrieved Email %1. Now retrieving %2...").arg(current).arg(current + 1);
    case 4: return QStringLiteral("Deleting Email %1").arg(current);
    case 6: return QStringLiteral("ERROR. Cannot complete receiving messages.");
    default: return QString();
    }
}

CEmailSocket::CEmailSocket()
{
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(kDefaultTimeoutSeconds * 1000);
    connect(&m_timeout, &QTimer::timeout, this, &CEmailSocket::onTimeout);
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(kDefaultTimeoutSeconds * 1000);
    connect(&m_deadline, &QTimer::timeout, this, &CEmailSocket::onDeadline);
    connect(&m_socket, &QTcpSocket::connected, this, &CEmailSocket::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &CEmailSocket::onReadyRead);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &CEmailSocket::onSocketError);
    connect(&m_socket, &QTcpSocket::disconnected, this, &CEmailSocket::onDisconnected);
}

CEmailSocket::~CEmailSocket()
{
    m_socket.disconnect(this);
    m_socket.abort();
}

void CEmailSocket::setTimeout(int seconds)
{
    m_timeout.setInterval(seconds * 1000);
    m_deadline.setInterval(seconds * 1000);
}

void CEmailSocket::startDeadline()
{
    m_sinceDeadline = 0;
    m_deadline.start();
}

void CEmailSocket::log(const QString &text, bool blankLineFirst)
{
    if (m_pOwner)
        m_pOwner->Log(text, blankLineFirst);
}

void CEmailSocket::progress(int step)
{
    if (m_pOwner)
        m_pOwner->ShowProgress(step);
}

bool CEmailSocket::ConnectTo(EmailSocketOwner *owner, const QString &host, const QString &user,
                             const QString &password, bool deleteAfterReceiving, int port)
{
    m_pOwner = owner;
    m_strHost = host;
    m_strUser = user;
    m_strPassword = password;
    m_bDelete = deleteAfterReceiving;
    m_nPort = port;
    m_bEnded = false;
    m_bFailed = false;
    m_strFailure.clear();
    m_buffer.clear();
    m_scanned = 0;
    m_socket.abort();
    m_socket.connectToHost(host, quint16(port));
    m_timeout.start();
    startDeadline();
    return true;
}

void CEmailSocket::onConnected()
{
    log(QStringLiteral("Connected to: ") + DescribeConnection());
    m_bConnected = true;
    m_timeout.start();
}

void CEmailSocket::onSocketError(QAbstractSocket::SocketError error)
{
    if (m_bEnded || error == QAbstractSocket::RemoteHostClosedError)
        return;
    // The system's number for the failure (Qt's own numbering starts at 0
    // with a refused connection, which is no error number); a failure the
    // system has no number for (a host name not found) is said in words.
    const int code = SystemErrorOfSocket(error);
    const SystemError shown{code, m_socket.errorString() + QLatin1Char('\n')};
    if (!m_bConnected) {
        if (code != 0) {
            log(QStringLiteral("*** Cannot connect due to ERROR NO: ") + QString::number(code), true);
            ShowError(shown, QString());
        } else {
            log(QStringLiteral("*** Cannot connect due to ERROR: ") + m_socket.errorString(), true);
            platform::Prompt::messageBox(QStringLiteral("Cannot connect to %1 at port %2:\n\n%3")
                                             .arg(m_strHost)
                                             .arg(m_nPort)
                                             .arg(m_socket.errorString()),
                                         QString(), platform::MB_OK | platform::MB_ICONHAND);
        }
        m_bEnded = true;
        m_bFailed = true;
        m_timeout.stop();
        m_deadline.stop();
        m_socket.abort();
        emit finished();
        return;
    }
    if (code != 0)
        ShowError(shown, QStringLiteral("(EmailSocket::OnReceive)"));
    else
        platform::Prompt::messageBox(m_socket.errorString() + QStringLiteral("\n\n(EmailSocket::OnReceive)"), QString(),
                                     platform::MB_OK | platform::MB_ICONHAND);
    finish(6);
}

void CEmailSocket::onDisconnected()
{
    if (m_bEnded)
        return;
    // The server hung up. With a reply still owed the run did not complete.
    const bool owed = m_nState != Finished && m_nState != Greeting;
    finish(owed ? 6 : 5);
}

void CEmailSocket::onTimeout()
{
    if (m_bEnded)
        return;
    m_strFailure = QStringLiteral("The server did not answer within %1 seconds.").arg(m_timeout.interval() / 1000);
    log(QStringLiteral("*** The server did not answer within %1 seconds ***").arg(m_timeout.interval() / 1000), true);
    finish(6);
}

void CEmailSocket::Stop()
{
    if (m_bEnded)
        return;
    log(QStringLiteral("*** Stopped by the user ***"), true);
    m_bEnded = true;
    m_timeout.stop();
    m_deadline.stop();
    m_socket.abort();
    emit finished();
}

void CEmailSocket::onDeadline()
{
    // Nothing at all came: the server is silent rather than slow.
    if (m_sinceDeadline == 0) {
        onTimeout();
        return;
    }
    if (!m_bEnded)
        stopReceiving(QStringLiteral("The server sent its reply slower than %1 KB in %2 seconds")
                          .arg(kMinOctetsPerTimeout / 1024)
                          .arg(m_deadline.interval() / 1000));
}

void CEmailSocket::stopReceiving(const QString &reason)
{
    m_strFailure = reason + QLatin1Char('.');
    log(QStringLiteral("*** ") + reason + QStringLiteral("; receiving stopped ***"), true);
    finish(6);
}

void CEmailSocket::finish(int step)
{
    m_bEnded = true;
    if (step == 6)
        m_bFailed = true;
    m_timeout.stop();
    m_deadline.stop();
    progress(step);
    m_socket.abort();
    emit finished();
}

void CEmailSocket::onReadyRead()
{
    const QByteArray received = m_socket.readAll();
    m_buffer.append(received);
    m_timeout.start();
    m_sinceDeadline += received.size();
    if (m_sinceDeadline >= kMinOctetsPerTimeout)
        startDeadline();
    // Each byte is looked at once: the search for a reply's end goes on where
    // it stopped, and a reply beyond its bound ends the run.
    while (!m_bEnded) {
        const qsizetype statusEnd = m_buffer.indexOf("\r\n");
        if (statusEnd < 0) {
            if (m_buffer.size() > kMaxStatusLineOctets)
                stopReceiving(QStringLiteral("The server sent a line longer than %1 characters").arg(kMaxStatusLineOctets));
            return;
        }
        if (statusEnd > kMaxStatusLineOctets) {
            stopReceiving(QStringLiteral("The server sent a line longer than %1 characters").arg(kMaxStatusLineOctets));
            return;
        }
        const bool multiLine = (m_nState == ListSent || m_nState == RetrSent) && !m_buffer.startsWith("-ERR");
        qsizetype end = statusEnd + 2;
        if (multiLine) {
            const qsizetype found = m_buffer.indexOf("\r\n.\r\n", std::max(statusEnd, m_scanned));
            if (found < 0) {
                m_scanned = std::max(statusEnd, m_buffer.size() - 4);
                const qsizetype bound = m_nState == ListSent ? kMaxListOctets : kMaxMessageOctets;
                if (m_buffer.size() > bound)
                    stopReceiving(QStringLiteral("The server's reply is larger than %1 MB").arg(bound / (1024 * 1024)));
                return;
            }
            end = found + 5;
        }
        m_scanned = 0;
        m_response = m_buffer.left(end);
        m_buffer.remove(0, end);
        ProcessResponse();
    }
}

void CEmailSocket::ProcessResponse()
{
    const QString response = fromOctets(m_response);
    if (response.startsWith(QLatin1String("-ERR"))) {
        platform::Prompt::messageBox(QStringLiteral("Received error message from the server:\n\n") + response);
        SendCommand(QStringLiteral("QUIT"), Finished, 6, QString());
        return;
    }
    auto next = [this] {
        if (m_nCurrent < GetCount())
            SendCommand(QStringLiteral("RETR %1").arg(m_nCurrent + 1), RetrSent, 3, QString());
        else
            SendCommand(QStringLiteral("QUIT"), Finished, 5, QString());
    };
    switch (m_nState) {
    case Greeting:
        SendCommand(QStringLiteral("USER ") + m_strUser, UserSent, 0, QString());
        break;
    case UserSent:
        log(QStringLiteral("Received: ") + response);
        SendCommand(QStringLiteral("PASS ") + m_strPassword, PassSent, 0, QString());
        break;
    case PassSent:
        log(QStringLiteral("Received: ") + response);
        SendCommand(QStringLiteral("LIST"), ListSent, 1, QStringLiteral("Asking for number of messages. "));
        break;
    case ListSent: {
        log(QStringLiteral("Received number of messages:\r\n") + response);
        // After the status line: "number size" lines up to the "." line.
        const int plus = int(response.indexOf(QLatin1Char('+')));
        int pos = int(response.indexOf(QLatin1String("\r\n"), std::max(plus, 0))) + 2;
        for (;;) {
            const int blank = int(response.indexOf(QLatin1Char(' '), pos));
            const int lineEnd = int(response.indexOf(QLatin1String("\r\n"), pos));
            if (blank < 0 || lineEnd < 0 || lineEnd < blank)
                break;
            const int number = response.mid(pos, blank - pos).trimmed().toInt();
            const int size = response.mid(blank, lineEnd - blank).trimmed().toInt();
            pos = lineEnd + 2;
            if (number > 0 && size > 0)
                m_messages.append(Message{size, QString()});
        }
        log(QStringLiteral("The response is parsed as %1 messages.\r\n").arg(GetCount()));
        if (GetCount() > 0)
            SendCommand(QStringLiteral("RETR 1"), RetrSent, 2, QString());
        else
            SendCommand(QStringLiteral("QUIT"), Greeting, 5, QString());
        break;
    }
    case RetrSent:
        if (m_nCurrent < GetCount()) {
            m_messages[m_nCurrent].text = messageFromReply(m_response);
            m_messages[m_nCurrent].received = true;
        }
        ++m_nCurrent;
        log(QStringLiteral("Received email number %1").arg(m_nCurrent));
        // A message is deleted only once it is kept; one that could not be
        // kept ends the run, and QUIT leaves it and the ones after it on the
        // server (only the ones kept before it are deleted).
        if (m_pOwner && !m_pOwner->KeepMessage(m_nCurrent - 1)) {
            m_strFailure = QStringLiteral("Email %1 could not be kept: it and the ones after it were left on the server.")
                               .arg(m_nCurrent);
            log(QStringLiteral("*** Email %1 could not be kept; it and the ones after it are left on the server ***")
                    .arg(m_nCurrent),
                true);
            SendCommand(QStringLiteral("QUIT"), Finished, 6, QString());
            break;
        }
        if (m_bDelete && (!m_pOwner || m_pOwner->MayDelete(m_nCurrent - 1)))
            SendCommand(QStringLiteral("DELE %1").arg(m_nCurrent), DeleSent, 4, QString());
        else
            next();
        break;
    case DeleSent:
        next();
        break;
    default:
        break;
    }
}

bool CEmailSocket::SendCommand(const QString &command, int newState, int progressStep, const QString &failureContext)
{
    // The password never reaches the log.
    const QString shown = command.startsWith(QLatin1String("PASS ")) ? QStringLiteral("PASS ****") : command;
    const QByteArray line = command.toLatin1() + "\r\n";
    if (line.size() > kMaxCommandOctets) {
        log(failureContext + QStringLiteral("Failed to send: ") + shown +
            QStringLiteral(". The line is longer than %1 characters.").arg(kMaxCommandOctets));
        m_strFailure = QStringLiteral("Failed to send: ") + shown +
                       QStringLiteral(". The line is longer than %1 characters.").arg(kMaxCommandOctets);
        finish(6);
        return false;
    }
    if (m_socket.state() != QAbstractSocket::ConnectedState || m_socket.write(line) != line.size()) {
        log(failureContext + QStringLiteral("Failed to send: ") + shown + QStringLiteral(". Error ") +
            QString::number(int(m_socket.error())));
        return false;
    }
    log(QStringLiteral("Sent: ") + shown);
    if (newState != 0)
        m_nState = newState;
    m_timeout.start();
    startDeadline();
    if (progressStep == 5 || progressStep == 6) {
        // QUIT goes out before the connection is closed: the server removes
        // the deleted messages only when it sees it.
        m_bEnded = true;
        if (progressStep == 6)
            m_bFailed = true;
        m_timeout.stop();
        m_deadline.stop();
        progress(progressStep);
        // Closed once QUIT has gone out; the server's answer is not waited for.
        m_socket.flush();
        m_socket.disconnectFromHost();
        emit finished();
    } else if (progressStep != 0) {
        progress(progressStep);
    }
    return true;
}

bool CEmailSocket::DeleteMessage(int index)
{
    if (index < 0)
        return false;
    if (m_bEnded || m_socket.state() != QAbstractSocket::ConnectedState) {
        platform::Prompt::messageBox(
            QStringLiteral("The mailbox is no longer connected: the message cannot be deleted now.\n\n"
                           "With \"Delete emails from the server\" turned on, a message is deleted at the next "
                           "Receive once it has been saved as an order or quote."));
        return false;
    }
    return SendCommand(QStringLiteral("DELE %1").arg(index + 1), 0, 4, QString());
}

void CEmailSocket::Reset()
{
    if (m_bConnected)
        m_socket.abort();
    m_nState = Greeting;
    m_bConnected = false;
    m_bEnded = false;
    m_bFailed = false;
    m_strFailure.clear();
    m_nCurrent = 0;
    m_response.clear();
    m_buffer.clear();
    m_scanned = 0;
    m_messages.clear();
}

void CEmailSocket::AddMessage(const QString &text)
{
    m_messages.append(Message{qint32(text.size()), text, true});
}

int CEmailSocket::GetReceivedCount() const
{
    int count = 0;
    while (count < GetCount() && m_messages.at(count).received)
        ++count;
    return count;
}

QString CEmailSocket::GetMessageText(int index) const
{
    return index >= 0 && index < m_messages.size() ? m_messages.at(index).text : QString();
}

int CEmailSocket::GetMessageLength(int index) const
{
    return int(GetMessageText(index).size());
}

namespace {

// A field's value in a block of header lines, its name in any case and its
// folded lines joined; "" when the block has none.
QString headerValue(QStringView headers, QLatin1StringView name)
{
    QString value;
    bool inField = false;
    for (QStringView line : headers.tokenize(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (inField && !line.isEmpty() && (line.at(0) == u' ' || line.at(0) == u'\t')) {
            value += u' ' + line.trimmed().toString();
            continue;
        }
        if (inField)
            break;
        if (line.size() > name.size() && line.at(name.size()) == u':'
            && line.left(name.size()).compare(name, Qt::CaseInsensitive) == 0) {
            inField = true;
            value = line.mid(name.size() + 1).trimmed().toString();
        }
    }
    return value;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray decodeQuotedPrintable(const QByteArray &in)
{
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in.at(i);
        if (c != '=') {
            out += c;
            continue;
        }
        // A soft line break joins two lines; "=XX" is the byte XX.
        if (in.mid(i + 1, 2) == "\r\n") {
            i += 2;
        } else if (i + 1 < in.size() && in.at(i + 1) == '\n') {
            i += 1;
        } else if (i + 2 < in.size() && hexDigit(in.at(i + 1)) >= 0 && hexDigit(in.at(i + 2)) >= 0) {
            out += char(hexDigit(in.at(i + 1)) * 16 + hexDigit(in.at(i + 2)));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

// A body as its part's header lines describe it: undone from its transfer
// encoding (quoted-printable, base64) and read in its character set. The
// body holds the bytes as received, one character each; a text of other
// characters (a mail that was never bytes) is taken as it is.
QString decodeBody(QStringView headers, const QString &body)
{
    for (const QChar c : body) {
        if (c.unicode() > 0xFF)
            return body;
    }
    const QString encoding = headerValue(headers, QLatin1StringView("Content-Transfer-Encoding")).toLower();
    static const QRegularExpression charsetParameter(QStringLiteral("charset\\s*=\\s*\"?([^\";\\s]+)"),
                                                     QRegularExpression::CaseInsensitiveOption);
    const QString charset =
        charsetParameter.match(headerValue(headers, QLatin1StringView("Content-Type"))).captured(1);
    QByteArray bytes = body.toLatin1();
    if (encoding == QLatin1String("quoted-printable"))
        bytes = decodeQuotedPrintable(bytes);
    else if (encoding == QLatin1String("base64"))
        bytes = QByteArray::fromBase64(bytes);
    QString text;
    QStringDecoder decoder(charset.toLatin1().constData());
    if (!charset.isEmpty() && decoder.isValid())
        text = decoder.decode(bytes);
    else
        text = QString::fromLatin1(bytes);
    // Lines end in CR LF, as in any mail, whatever the (encoded or pasted)
    // text had.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

// Where an entity's header lines end and its body begins: the first blank
// line (CR LF or a bare LF). No blank line: no headers, all body.
void splitEntity(QStringView entity, QStringView &headers, QStringView &body)
{
    qsizetype at = 0;
    while (at < entity.size()) {
        const qsizetype lineEnd = entity.indexOf(u'\n', at);
        if (lineEnd < 0)
            break;
        QStringView line = entity.mid(at, lineEnd - at);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty()) {
            headers = entity.left(at);
            body = entity.mid(lineEnd + 1);
            return;
        }
        at = lineEnd + 1;
    }
    headers = QStringView();
    body = entity;
}

// The boundary of a multipart entity's parts ("" for any other entity).
QString boundaryOf(QStringView headers)
{
    const QString type = headerValue(headers, QLatin1StringView("Content-Type"));
    if (!type.trimmed().startsWith(QLatin1String("multipart/"), Qt::CaseInsensitive))
        return QString();
    static const QRegularExpression parameter(QStringLiteral(";\\s*boundary\\s*=\\s*(?:\"([^\"]*)\"|([^;\\s]+))"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = parameter.match(type);
    return m.hasMatch() ? (m.capturedLength(1) > 0 ? m.captured(1) : m.captured(2)) : QString();
}

// The parts of a multipart body: what lies between its delimiter lines
// ("--" and the boundary at a line's start), without the line end before
// each delimiter; the preamble and the epilogue are no parts.
QList<QStringView> partsOf(QStringView body, const QString &boundary)
{
    QList<QStringView> parts;
    const QString delimiter = QStringLiteral("--") + boundary;
    qsizetype partStart = -1;
    qsizetype at = 0;
    while (at <= body.size()) {
        qsizetype lineEnd = body.indexOf(u'\n', at);
        const qsizetype next = lineEnd < 0 ? body.size() + 1 : lineEnd + 1;
        if (lineEnd < 0)
            lineEnd = body.size();
        const QStringView line = body.mid(at, lineEnd - at);
        if (line.startsWith(delimiter)) {
            if (partStart >= 0) {
                qsizetype partEnd = at;
                if (partEnd > partStart && body.at(partEnd - 1) == u'\n')
                    --partEnd;
                if (partEnd > partStart && body.at(partEnd - 1) == u'\r')
                    --partEnd;
                parts.append(body.mid(partStart, qMax<qsizetype>(0, partEnd - partStart)));
            }
            if (line.mid(delimiter.size()).startsWith(QLatin1String("--")))
                break;
            partStart = next;
        }
        at = next;
    }
    return parts;
}

// The first part of an entity of the type ("text/plain", "text/html"),
// looked for through its multipart parts (nested ones too); an entity
// without a type is plain text.
bool findTextPart(QStringView entity, QLatin1StringView wanted, int depth, QStringView &headers, QStringView &body)
{
    QStringView ownHeaders;
    QStringView ownBody;
    splitEntity(entity, ownHeaders, ownBody);
    const QString boundary = boundaryOf(ownHeaders);
    if (!boundary.isEmpty()) {
        if (depth >= 8)
            return false;
        for (const QStringView part : partsOf(ownBody, boundary)) {
            if (findTextPart(part, wanted, depth + 1, headers, body))
                return true;
        }
        return false;
    }
    QString type = headerValue(ownHeaders, QLatin1StringView("Content-Type")).trimmed();
    if (type.isEmpty())
        type = QStringLiteral("text/plain");
    if (!type.startsWith(wanted, Qt::CaseInsensitive))
        return false;
    const QStringView rest = QStringView(type).mid(wanted.size());
    if (!rest.isEmpty() && rest.at(0) != u';' && !rest.at(0).isSpace())
        return false;
    headers = ownHeaders;
    body = ownBody;
    return true;
}

// The character an HTML character reference names ("amp", "#38", "#x26"),
// or nothing for a name not known here.
QString htmlEntity(QStringView name)
{
    if (name.startsWith(u'#')) {
        bool ok = false;
        const uint code = name.size() > 1 && (name.at(1) == u'x' || name.at(1) == u'X') ? name.mid(2).toUInt(&ok, 16)
                                                                                       : name.mid(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return QString();
        // A line break or tab written as a reference is a blank, as HTML shows it.
        if (code < 0x20)
            return QStringLiteral(" ");
        const char32_t c = char32_t(code);
        return QString::fromUcs4(&c, 1);
    }
    static const struct { const char *name; char16_t c; } named[] = {
        {"amp", u'&'}, {"lt", u'<'}, {"gt", u'>'}, {"quot", u'"'}, {"apos", u'\''}, {"nbsp", u' '},
        {"copy", u'\u00A9'}, {"reg", u'\u00AE'}, {"trade", u'\u2122'}, {"euro", u'\u20AC'}, {"pound", u'\u00A3'},
        {"cent", u'\u00A2'}, {"sect", u'\u00A7'}, {"deg", u'\u00B0'}, {"middot", u'\u00B7'}, {"ndash", u'\u2013'},
        {"mdash", u'\u2014'}, {"hellip", u'\u2026'}, {"lsquo", u'\u2018'}, {"rsquo", u'\u2019'}, {"ldquo", u'\u201C'},
        {"rdquo", u'\u201D'}, {"laquo", u'\u00AB'}, {"raquo", u'\u00BB'}, {"times", u'\u00D7'}, {"frac12", u'\u00BD'},
    };
    for (const auto &n : named) {
        if (name == QLatin1StringView(n.name))
            return QString(QChar(n.c));
    }
    return QString();
}

// The text an HTML body shows, as lines ending in CR LF: tags go (a line
// break, a paragraph, a heading, a list item, a table row or a division
// ends a line; a table cell is followed by a blank), comments and what
// scripts, styles and the head hold go, runs of blanks and line breaks in
// the markup are one blank, and character references are the characters
// they name. Read in one pass, whatever the markup (a "<" never closed is
// text).
QString htmlToText(const QString &html)
{
    static const QStringList lineEnders = {
        QStringLiteral("br"), QStringLiteral("p"), QStringLiteral("div"), QStringLiteral("tr"), QStringLiteral("li"),
        QStringLiteral("h1"), QStringLiteral("h2"), QStringLiteral("h3"), QStringLiteral("h4"), QStringLiteral("h5"),
        QStringLiteral("h6"), QStringLiteral("table"), QStringLiteral("ul"), QStringLiteral("ol"),
        QStringLiteral("blockquote"), QStringLiteral("pre"), QStringLiteral("hr"), QStringLiteral("dt"),
        QStringLiteral("dd"), QStringLiteral("address"), QStringLiteral("section"), QStringLiteral("article"),
        QStringLiteral("header"), QStringLiteral("footer"), QStringLiteral("body"),
    };
    static const QStringList hiddenContent = {QStringLiteral("script"), QStringLiteral("style"),
                                              QStringLiteral("head"), QStringLiteral("title")};
    QStringList lines;
    QString line;
    bool blank = false;
    auto endLine = [&] {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            lines.append(trimmed);
        line.clear();
        blank = false;
    };
    auto putChar = [&](QChar c) {
        if (c.isSpace()) {
            if (!blank)
                line += QLatin1Char(' ');
            blank = true;
        } else {
            line += c;
            blank = false;
        }
    };
    auto put = [&](const QString &text) {
        for (const QChar c : text)
            putChar(c);
    };
    const qsizetype n = html.size();
    bool tagsEnd = false; // no ">" after here: every "<" left is text
    for (qsizetype i = 0; i < n;) {
        const QChar c = html.at(i);
        if (c == QLatin1Char('<') && !tagsEnd) {
            if (QStringView(html).mid(i, 4) == QLatin1String("<!--")) {
                const qsizetype close = html.indexOf(QLatin1String("-->"), i + 4);
                i = close < 0 ? n : close + 3;
                continue;
            }
            qsizetype j = i + 1;
            const bool closing = j < n && html.at(j) == QLatin1Char('/');
            if (closing)
                ++j;
            const bool markup = j < n && (html.at(j).isLetter() || (!closing && (html.at(j) == QLatin1Char('!')
                                                                                 || html.at(j) == QLatin1Char('?'))));
            if (!markup) {
                putChar(c);
                ++i;
                continue;
            }
            const qsizetype end = html.indexOf(QLatin1Char('>'), j);
            if (end < 0) {
                tagsEnd = true;
                continue;
            }
            qsizetype k = j;
            while (k < end && html.at(k).isLetterOrNumber())
                ++k;
            const QString name = html.mid(j, k - j).toLower();
            i = end + 1;
            if (!closing && hiddenContent.contains(name) && html.at(end - 1) != QLatin1Char('/')) {
                const qsizetype closeTag = html.indexOf(QStringLiteral("</") + name, i, Qt::CaseInsensitive);
                const qsizetype closeEnd = closeTag < 0 ? -1 : html.indexOf(QLatin1Char('>'), closeTag);
                i = closeEnd < 0 ? n : closeEnd + 1;
                continue;
            }
            if (lineEnders.contains(name))
                endLine();
            else if (closing && (name == QLatin1String("td") || name == QLatin1String("th")))
                putChar(QLatin1Char(' '));
            continue;
        }
        if (c == QLatin1Char('&')) {
            qsizetype k = i + 1;
            while (k < n && k - i <= 9 && (html.at(k).isLetterOrNumber() || (k == i + 1 && html.at(k) == QLatin1Char('#'))))
                ++k;
            const QString named = htmlEntity(QStringView(html).mid(i + 1, k - i - 1));
            if (!named.isEmpty()) {
                put(named);
                i = k < n && html.at(k) == QLatin1Char(';') ? k + 1 : k;
                continue;
            }
        }
        putChar(c);
        ++i;
    }
    endLine();
    return lines.isEmpty() ? QString() : lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

} // namespace

QString CEmailSocket::GetPlainText(int index) const
{
    // The message is stored without the reply's closing line. Its plain-text
    // part (the message itself when it is no multipart) is taken, decoded by
    // its own transfer encoding and character set; a message of HTML alone
    // gives the text its HTML part shows, never its markup; a message with
    // neither gives everything after its header lines as it is.
    const QString text = GetMessageText(index);
    QStringView headers;
    QStringView body;
    if (findTextPart(text, QLatin1StringView("text/plain"), 0, headers, body))
        return decodeBody(headers, body.toString());
    if (findTextPart(text, QLatin1StringView("text/html"), 0, headers, body))
        return htmlToText(decodeBody(headers, body.toString()));
    splitEntity(text, headers, body);
    return body.toString();
}

QString CEmailSocket::GetHeaderField(int index, const QString &label, int start, int limit,
                                     const QString &strip) const
{
    if (index < 0 || index >= m_messages.size())
        return QString();
    const QString &text = m_messages.at(index).text;
    if (label.isEmpty())
        return text;
    QString value;
    CZqApp::ExtractMailField(text, label, value, start, limit, strip);
    return value;
}

QString CEmailSocket::GetMessageId(int index)
{
    if (index < 0 || index >= m_messages.size())
        return QString();
    QString &text = m_messages[index].text;
    text.replace(QLatin1String("Message-Id:"), QLatin1String("Message-ID:"));
    text.replace(QLatin1String("Message-id:"), QLatin1String("Message-ID:"));
    return GetHeaderField(index, QStringLiteral("Message-ID:"), 0, 0, QStringLiteral("<>"));
}

QString CEmailSocket::DescribeConnection() const
{
    return QStringLiteral("%1 - %2 - Port %3")
        .arg(m_socket.localAddress().toString(), m_socket.peerAddress().toString())
        .arg(m_socket.localPort());
}
