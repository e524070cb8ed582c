#pragma once

#include <QtCore/QString>

class QWidget;

// Puts the text on the clipboard as Unicode text (an empty text too). Nothing
// happens without a window or without a clipboard (no window system).
void CopyTextToClipboard(QWidget *window, const QString &text);
