#pragma once

#include "views/CView0.h"

struct SetupEntry;
class CXGridCtrl;

// The settings view: a list manager of setup entries only (no record list).
// Choosing an entry opens its editor at once; EditSetupTable is also used by
// other areas for the markup and waste tables, a category's frequently used
// texts and the production tables.
class CViewDefaults : public CView0
{
    Q_OBJECT

public:
    explicit CViewDefaults(QWidget *parent = nullptr);

    void OnInitialUpdate() override;
    bool OnCommand(int id) override;
    bool IsCommandEnabled(int id) override;

    // Runs the editor of one entry modally; a code that no entry describes
    // shows nothing.
    void EditSetupTable(int code, int argument, int colourScheme);

    // The grid exchange of an entry, without the window: loads the entry's
    // rows into the grids (load) or writes the grids back (save). Used by the
    // editor; false when the table cannot be opened.
    static bool ExchangeSetupEntry(const SetupEntry &entry, CXGridCtrl &first, CXGridCtrl *second, bool save);

    // Option groups of table Options in the option picker; saved on OK.
    void EditOptionGroups(int firstResource, int lastResource, bool radio, const QString &ribbonTitle,
                          const QString &stripText);

private:
    void runSetupEditor(int code, int argument, int colourScheme);
    void ShowSelectedTable();
    // The setting rows of table CustomerAlerts edited in a property grid or
    // in grid columns; each returns when its window closes.
    void EditShopOptions(const QString &windowTitle, const QString &ribbonTitle, int colourScheme);
    void EditJobOptions(const QString &windowTitle, const QString &ribbonTitle, int colourScheme);
    void EditRoundUp(const QString &windowTitle, const QString &ribbonTitle, int colourScheme);
    void EditAccounts(const QString &windowTitle, const QString &ribbonTitle, int colourScheme);
};
