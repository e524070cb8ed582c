#pragma once

#include <functional>

class CZqApp;
class QWidget;

// Wires the jobs area into the program at start-up: the application's
// open-job service (the job window as a read-only preview), the job window's
// popup menus, and the bars' drop-down menus from the menu resources.
void InstallJobs(CZqApp &app, std::function<QWidget *()> owner);
void RemoveJobs(CZqApp &app);

// Menu resource 170: the popup menus of the record windows, picked by
// position ("Job" 2, "Item" 3).
void RegisterJobMenus();
