#pragma once

// Puts the reports subsystem into the hooks of the lower layers: the query
// dialog behind "View Filter" with Ctrl, and the Key Report renderers.
void InstallReports();
