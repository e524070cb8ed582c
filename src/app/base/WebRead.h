#pragma once

#include <QtCore/QString>

class QIODevice;

// Reading a web address, always fresh from the server (no cache), through the
// system's proxy settings (the http_proxy family of environment variables).

// Reads the address to its end: into the open file when one is given,
// otherwise appended to text, each byte as one character (Latin-1). True only
// when the whole body was read with a success status; an HTTP error status
// (404 and the like), a failed connection or a timeout give false and leave
// text as it was. A failed write to the file is shown in the file error box
// with the address as the action. The wait shows the progress window with
// its Stop (NetworkWait); a read the user stopped fails without a word.
// A read that goes beyond the largest download (into a file) or beyond 64 MB
// (into text) is stopped, said so ("The download from ... was stopped: it is
// larger than N MB."), and fails. A read that failed without a word shown
// (the server refused, answered an error status, its name is not known, it
// redirects in a loop or to what is no web address, it did not answer) puts
// the reason in the user's words into `failure` when one is given; so does
// a failed write to the file then (its errorString()), instead of the box.
bool HttpGetText(const QString &address, QString &text, QIODevice *file = nullptr, QString *failure = nullptr);

// The largest file a download takes in: 2 GB, far beyond any artwork a
// customer sends. Changing it lasts until the next change.
qint64 LargestDownload();
void SetLargestDownload(qint64 bytes);

// Fetches the file named by the address's last part into the folder. With an
// empty folder, or with ask set, the user chooses where ("Download the file
// to:"); with ask set "Downloaded " and the path is shown afterwards. The file
// is written under a temporary name and renamed when complete, so a failed
// download leaves no file behind (and an existing file of that name intact);
// why it failed is said (DownloadFailureText).
bool DownloadFile(const QString &url, QString folder, bool ask);

// What a download that failed says: "Cannot download: " (on the network) or
// "Cannot write: " (writing the file), the file's path, a blank line and the
// reason.
QString DownloadFailureText(const QString &path, const QString &reason, bool writing);
