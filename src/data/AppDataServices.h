#pragma once

#include <QtCore/QtGlobal>

class CZqApp;

// What the application object needs of the data layer, connected at start-up
// (and by tests): its statements, the setting rows it keeps, and the shop
// options it reads.

// The application object's statements run as read-only sets on the shared
// database through the recordset base: a failure is shown by the database
// error box and the statement gives no rows; a closed database is opened
// again first.
void InstallAppQueryReader(CZqApp &app);

// The table classes' code lookups (categories, departments, services,
// employees) answer from the application object's caches while one exists.
// RemoveCodeCacheLookups puts their own database lookups back.
void InstallCodeCacheLookups();
void RemoveCodeCacheLookups();

// The time-tracker options from the setting row of that kind (221 for the
// time tracker).
void LoadTrackOptions(CZqApp &app, int alertType);
// The shop options row (kind 100): printing method, Saturday and Sunday
// workdays; and the two-tax flag (the tax table holds rate 3).
void LoadSettingRows(CZqApp &app);

// Reads the shop's options into the code that follows them: the inventory
// options (Options row 30749, default 11) into the inventory rule of the
// service rows (the rule applies to the services that keep inventory), the
// shop options row and the time tracker's options. Start-up calls it, and the
// settings view after every save. Returns the inventory option bits.
int ApplyShopOptions(CZqApp &app);

// The stored update choices when a job of one type is copied to another; 0
// when none are stored.
int GetConvertOptions(quint8 fromJobType, quint8 toQuote);
