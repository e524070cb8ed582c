#pragma once

class CZqApp;

// Wires the production area into the program at start-up: the scheduling
// window of an order for the jobs view and the job window, and the
// reminders list for the views and record windows.
void InstallProduction(CZqApp &app);
