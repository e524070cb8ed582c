#pragma once

class CXTreeOptCtrl;

// The option boxes of a document form as the print and forms dialogs show
// them.

// The options whose boxes act as one radio group on a form: the document
// style (1-3) and, on customer documents of jobs, the item description
// levels (13-16). False for a box that stands alone.
bool FormOptionRadioGroup(int formNo, int option, int &first, int &last);

// Ticks or clears an option box of the tree; ticking one box of a radio
// group clears the others.
void CheckFormOption(CXTreeOptCtrl &tree, int formNo, int option, bool on);
// What the tree does after the user ticked a box: the rest of its group is
// cleared.
void ClearFormOptionGroup(CXTreeOptCtrl &tree, int formNo, int option, bool on);
