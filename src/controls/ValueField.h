#pragma once

class QLineEdit;

// Makes an edit a field that shows a computed value (an applied amount, a
// balance, a stock level): read-only, left out of the Tab order and drawn on
// the window's colour, so that it neither looks like nor acts as a field to
// type in.
void ShowAsValueField(QLineEdit *edit);
