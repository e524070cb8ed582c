#pragma once

// Puts the find dialog into the find slots of the list views and of the
// generic list picker, which live below the jobs; RemoveFindDialogs empties
// them again.
void InstallFindDialogs();
void RemoveFindDialogs();
