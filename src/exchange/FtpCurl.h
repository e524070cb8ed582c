#pragma once

#include <QtCore/QString>

#include <cstddef>

// The exchange area's FTP sessions on libcurl: the web-order folders and the
// support site are both reached this way.
typedef void CURL;

// A session on one FTP address (logon only when a user is given) in active
// mode, as the shops' firewalls expect, with time-outs for a silent server;
// nullptr when the library cannot start.
CURL *OpenFtpSession(const QString &url, const QString &user = QString(), const QString &password = QString());

// Write callbacks: appending to the QByteArray given as user data, or
// discarding what arrives.
size_t AppendReceivedBytes(char *data, size_t size, size_t count, void *bytes);
size_t DiscardReceivedBytes(char *data, size_t size, size_t count, void *unused);

// A prepared session runs behind the progress window through
// NetworkWait::Perform (platform/NetworkWait.h).

// "Cannot connect to: " + host + "\n\nError " + number + ": " + the library's text.
QString FtpConnectError(const QString &host, int curlCode);
