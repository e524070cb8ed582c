#pragma once

#include <QtCore/QString>

#include <functional>

class CZqApp;
class QWidget;

// The nine main views of the main window, by command id:
// 30000 home, 30001 jobs, 30002 services, 30003 customers, 30004 receivables,
// 30005 reports, 30006 defaults, 30007 schedule, 30008 time tracker.
inline constexpr int kHomeViewId = 30000;
inline constexpr int kJobsViewId = 30001;
inline constexpr int kLastViewId = 30008;
// Every view offered: nine bits.
inline constexpr int kAllViewsMask = 511;
// A view switch asks the rights of action view index + 9.
inline constexpr int kViewRightsBase = 9;

bool IsMainViewId(int viewId);
// Whether a view is offered by a "ShowTabs" mask (bit order 30000, 30001,
// 30007, 30008, 30002 ... 30006).
bool IsViewOffered(int mask, int viewId);

// The start view and the views offered on this workstation, as the program
// keeps them for the run.
struct StartTab
{
    int viewId = kJobsViewId;
    int mask = kAllViewsMask;
};
// Reads "View Settings"/"ShowTabs" (default 511) and "ShowTabID" (default
// 30001). A mask outside 1..511, or a start view it does not offer, gives the
// jobs view and all nine views for this run; the stored values stay.
StartTab LoadStartTab(const CZqApp &app);

// A new view window for a main view command id, after its initial update:
// the view itself where the program has it, else a placeholder that says the
// view is not built yet. Null for any other id.
QWidget *CreateMainView(int viewId);

// Asked before every view switch with the view's rights action number
// (the start-up installs the application object's rights check).
using ViewRightsCheck = std::function<bool(int actionNumber)>;
