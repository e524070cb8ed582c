#include "shell/MainViews.h"

#include "app/base/CZqApp.h"
#include "shell/CPlaceholderView.h"
#include "customers/CViewAR.h"
#include "catalogue/CViewServices.h"
#include "customers/CustomerWindows.h"
#include "jobs/CViewJobs.h"
#include "production/schedule/CViewSchedule.h"
#include "reports/CViewReports.h"
#include "production/tracking/CViewTrack.h"
#include "views/CView0.h"
#include "views/ViewFactory.h"

bool IsMainViewId(int viewId)
{
    return viewId >= kHomeViewId && viewId <= kLastViewId;
}

bool IsViewOffered(int mask, int viewId)
{
    const int bit = CZqApp::TabBit(viewId);
    return bit >= 0 && ((mask >> bit) & 1) != 0;
}

StartTab LoadStartTab(const CZqApp &app)
{
    StartTab tab;
    const int mask = app.GetSettingInt(QStringLiteral("ShowTabs"), kAllViewsMask, CZqApp::kViewSettings);
    const int start = app.GetSettingInt(QStringLiteral("ShowTabID"), kJobsViewId, CZqApp::kViewSettings);
    if (mask >= 1 && mask <= kAllViewsMask && IsMainViewId(start) && IsViewOffered(mask, start)) {
        tab.viewId = start;
        tab.mask = mask;
    }
    return tab;
}

QWidget *CreateMainView(int viewId)
{
    if (!IsMainViewId(viewId))
        return nullptr;
    if (viewId == 30003)
        return CreateCustomersView(nullptr);
    if (QWidget *view = CreateView(viewId, nullptr))
        return view;
    // The business views live above the views layer: the shell makes them.
    if (viewId == 30002) {
        auto *services = new CViewServices(nullptr);
        services->OnInitialUpdate();
        return services;
    }
    if (viewId == kJobsViewId) {
        auto *jobs = new CViewJobs(nullptr);
        jobs->OnInitialUpdate();
        return jobs;
    }
    if (viewId == CViewAR::kViewId) {
        auto *receivables = new CViewAR(nullptr);
        receivables->OnInitialUpdate();
        return receivables;
    }
    if (viewId == CViewSchedule::kViewId) {
        auto *schedule = new CViewSchedule(nullptr);
        schedule->OnInitialUpdate();
        return schedule;
    }
    if (viewId == CViewReports::kViewId) {
        auto *reports = new CViewReports(nullptr);
        reports->OnInitialUpdate();
        return reports;
    }
    if (viewId == CViewTrack::kViewId) {
        auto *tracking = new CViewTrack(nullptr);
        tracking->OnInitialUpdate();
        return tracking;
    }
    return new CPlaceholderView(viewId);
}
