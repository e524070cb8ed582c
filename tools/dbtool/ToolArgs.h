#pragma once

#include <QtCore/QStringList>
#include <QtCore/QTextStream>

class CItemSet;
class CZqApp;

namespace platform {
class Database;
class TestResponder;
class UserFile;
}

// What the commands of tavrel-dbtool share: reading their options and
// printing the prompts the program showed.

// The word after `name` in the arguments, or "" when it is not given.
QString OptionValue(const QStringList &args, const QString &name);
// The same, taking the option and its value out of the arguments.
QString TakeOption(QStringList &args, const QString &name);

// An amount given to a command, read as the program's money fields read one:
// whole, in cents, within the largest amount. False after "NAME \"TEXT\": why"
// on err ("AMOUNT \"12.345\": Please enter an amount with at most 2
// decimals.").
class Money;
bool ReadToolAmount(const QString &text, Money &out, QTextStream &err, const QString &name = QStringLiteral("AMOUNT"));

// Every prompt the responder recorded as one "PROMPT: " line (line breaks
// written as "\n"); only message boxes when asked. The record is cleared.
void PrintPrompts(platform::TestResponder &responder, QTextStream &stream, bool messagesOnly = false);

// The tool writes its files (PDFs, pictures, mail) as the program writes
// every file for the user, through platform::UserFile. Opening: false after
// "Cannot create: FILE: why" on err. Finishing: false after "Cannot write:
// FILE: why"; the name then keeps what it held. A file nothing was written
// to (a PDF of no page) is dropped.
bool OpenToolFile(platform::UserFile &file, QTextStream &err);
bool FinishToolFile(platform::UserFile &file, QTextStream &err);

// Opens the shop database as the shared one; false (and "Error n: text" on
// err) when it cannot be opened.
bool OpenToolDatabase(const QString &path, QTextStream &err);
// The application's stored-query reader, code caches, menus and view
// settings, as the scheduler's windows expect them.
void LoadScheduleCaches(CZqApp &app);

// The JobID of job JOBNO. Quotes, orders and templates are numbered apart,
// so one number can name several jobs: `typeText` ("order", "quote",
// "template", "history", "pellorder", "pellquote" or the type's number; an
// order's number also finds it once it is history) says which; without it the
// number must name one job. 0 when none is found (exit code 1 in `failure`)
// or the text is not a number or type or names several jobs (exit code 2),
// said why on err. Database failures are thrown.
qint32 FindToolJob(platform::Database &db, const QString &jobText, const QString &typeText, QTextStream &err,
                   int &failure);

// Opens the shop database as the shared one and job JOBNO's item ITEMNO (its
// item row) into `item`, the job found as FindToolJob finds it. 0 when it is
// open; otherwise the exit code, said why on err: 2 when the numbers are not
// numbers, 1 when the job or the item is not found. Database failures are
// thrown.
int OpenJobItem(const QString &path, const QString &jobText, const QString &typeText, const QString &itemText,
                CItemSet &item, QTextStream &err);
