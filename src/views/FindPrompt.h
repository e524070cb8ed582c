#pragma once

#include <QtCore/QString>

#include <functional>

class QWidget;

// The find dialog as the list views and pickers of this layer reach it: the
// jobs area, above, fills the slot at start-up. A request carries what the
// caller presets and receives what the user chose, so that the next find
// offers the same choice again.
struct FindRequest
{
    // Set by the caller.
    QString kind;                 // what is searched ("Jobs", "Customers", ... or a table name)
    bool allowListChoice = false; // "Jobs" and "Items": the job list may be changed
    int hue = 210;                // colour scheme of the caption panels
    bool showAdvancedBox = true;
    bool showFindItems = false;

    // Preset by the caller and given back.
    int listIndex = 0;
    int fieldIndex = 0;
    int operatorIndex = -1;
    QString value1;
    bool advanced = false;

    // Given back after Find Now.
    QString filter;   // the WHERE condition, may be empty
    QString sort;     // the ORDER BY field, may end with " DESC"
    QString listLabel;
};

// Runs the dialog; the answer is 1 (Find Now), 2 (Cancel) or 30609 (the
// user asked for the item finder instead).
using FindPromptRunner = std::function<int(FindRequest &request, QWidget *parent)>;

void SetFindPrompt(FindPromptRunner runner);
// Empty until the jobs area is installed.
const FindPromptRunner &GetFindPrompt();

// What the find dialog searches from a list view and its branch (and entry):
// jobs, services, customers, contacts, ship-to addresses, payments, credits;
// listIndex is set to the job list the dialog opens on, or -1 for the view's
// own branch.
QString FindTargetOfView(int viewId, int branch, int item, int &listIndex);
