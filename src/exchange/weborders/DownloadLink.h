#pragma once

#include <QtCore/QString>

// Fetches the file a web-order mail links to (an item's artwork) into the
// download folder of the e-mail settings, in a sub-folder named by the
// customer number when asked to. Returns the saved file's full path, or ""
// when nothing was saved. A link to a web page or program is offered to be
// opened in the browser instead; only web and FTP addresses are opened or
// fetched, and a file already in the folder is never replaced (the new one
// is saved as "name (2).ext", "name (3).ext", ...). With `ask` the user
// chooses where to save and is told the result.
QString DownloadLink(const QString &link, bool ask, qint32 cusNo);

// The first name "name.ext", "name (2).ext", ... not taken in the folder
// (which ends with a separator).
QString FreeFileName(const QString &folder, const QString &name);
