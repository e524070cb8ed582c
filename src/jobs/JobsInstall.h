#pragma once

#include <functional>

class CZqApp;
class QMenu;
class QWidget;

// Wires the jobs area into the program at start-up: the application's
// open-job service (the job window as a read-only preview), the job window's
// popup menus, and the bars' drop-down menus from the menu resources.
void InstallJobs(CZqApp &app, std::function<QWidget *()> owner);
void RemoveJobs(CZqApp &app);

// The job window's popup menus: the "Job" menu (position 2 of menu resource
// 170) and the "Item" menu (position 3).
void BuildJobPopupMenu(QMenu &menu);
void BuildItemPopupMenu(QMenu &menu);
// Menu resource 170 with the job window's popups at their positions.
void RegisterJobMenus();
