#pragma once

#include <QtCore/QList>
#include <QtCore/QString>

class QWidget;

namespace platform {
class UserFile;
}

// The shared ways of asking for a file or a folder and of opening the export
// target. Every dialog goes through platform::Prompt. A path is handed over as
// two texts where a caller needs both: a folder that ends with a separator and
// a file name.

// Flags of the file dialogs, as the callers pass them.
enum FileDialogFlag : unsigned {
    OFN_OVERWRITEPROMPT = 0x2,
    OFN_HIDEREADONLY = 0x4,
    OFN_PATHMUSTEXIST = 0x800,
    OFN_FILEMUSTEXIST = 0x1000,
};

// Export types; also the filter shown first in the export dialog.
enum ExportType : int {
    ExportTabDelimited = 1,
    ExportCommaDelimited = 2,
    ExportIif = 3,
    ExportPeachtree = 4,
};

// A filter as the program writes them ("Text (*.txt)|*.txt|All|*.*|") in the
// form the file dialog takes ("Text (*.txt) (*.txt);;All (*.*)").
QString DialogFilter(const QString &filter);

// Open or save dialog starting at folder + name. On OK the chosen path is
// split at its last separator into folder (with the separator) and name, and
// a saved name without an extension gets the default extension (unless that
// is "*.*"). Cancel returns false and leaves both texts.
bool ChooseFile(bool open, QString &folder, QString &name, const QString &defaultExtension,
                const QString &filter, const QString &title, unsigned flags);

// Folder choice: path gets the chosen folder with a trailing separator; a
// cancelled choice empties it and returns false.
bool BrowseForFolder(QWidget *owner, QString &path, const QString &title);

// The ten characters that are dropped from a proposed export file name:
// ? < > | : * / \ " and the full stop.
QString RemoveExportNameChars(const QString &name);

// The export file dialog. It starts in the folder of the last export
// ("Settings"/"ExportPath"), proposes the name without the characters above
// and offers the two text formats, or all four when type is 3 or 4. On OK
// name is the full chosen path and type the format chosen (by the file's
// extension); when a file object is given it is opened there for writing
// ("Cannot open: ", the path and why when that fails, and nothing is
// remembered).
// The chosen folder is remembered for the next export.
bool ChooseExportFile(QString &name, int &type, platform::UserFile *file, const QString &title);
// The same dialog offering only the types given (in their numbering, shown
// in that order): an export that can write one kind of file offers only that
// kind. A type asked for that is not offered opens on the comma-delimited
// type when offered, else on the first.
bool ChooseExportFile(QString &name, int &type, platform::UserFile *file, const QString &title,
                      const QList<int> &offered);
