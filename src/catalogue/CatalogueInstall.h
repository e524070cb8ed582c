#pragma once

class CZqApp;

// Wires the catalogue into the application at start-up: the service opener
// that lets any area open a service in its dialog.
void InstallCatalogue(CZqApp &app);

// Opens the service of that number in the service dialog, or in the more
// properties dialog when `more` is set; nothing for 0 or an unknown number.
void OpenServiceRecord(long serNo, bool more);

// After a database upgrade: the departments and categories organiser saves
// the arrangement at once without showing itself (sort numbers and colours
// of every row), and the caches are reloaded.
void RunOrganizerAfterUpgrade(CZqApp &app);
