#pragma once

// Connects the database opening to the maintenance code: a file that cannot
// be opened is offered the repair (compaction with reindexing) and an opened
// file is brought to the current schema. Start-up calls it once, before the
// database is first opened.
void InstallDatabaseMaintenance();
