#pragma once

// Controls are given and found by their ids through SetDlgCtrlID and
// GetDlgItem (app/base/DialogControls.h).
#include "app/base/DialogControls.h"

#include <QtCore/QString>

class QWidget;

// The text a control shows: a label's or button's text, an edit's text, a
// group box's title, a combo box's current text, otherwise the window title.
QString GetControlText(const QWidget *widget);
