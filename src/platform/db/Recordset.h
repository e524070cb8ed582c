#pragma once

#include "platform/Value.h"
#include "platform/db/Database.h"

#include <QtCore/QString>

#include <functional>
#include <memory>
#include <vector>

namespace platform {

namespace sqlvalues {
struct Stored;
}

// A DAO-style recordset over the shop database: a dynaset (updatable when it
// reads one table; rows fetched by key in pages as they are visited) or a
// snapshot (read-only, the rows as of opening). Failures throw DbException.
class Recordset
{
public:
    enum class Type { Dynaset = 2, Snapshot = 4 };
    enum class EditMode { None, Edit, Add };

    explicit Recordset(Database &db);
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    // source: a table name, a Jet SELECT/TRANSFORM/PARAMETERS text, or a saved
    // query's name. The filter (a Jet expression) is ANDed into its WHERE; the
    // sort (a Jet ORDER BY list) replaces its own.
    void open(Type type, const QString &source, const QList<Value> &parameters = {});
    // A snapshot that shows its first rows before the statement has given
    // them all: it reads at least firstRows now (or every row there is) and
    // counts the rest; the rest are read by readMore(), or at once when
    // anything needs a row not read yet (moving past the rows read, moving
    // to the last, finding) and before its connection writes, changes the
    // schema or closes. Its rows are those of the moment it opened. While
    // rows remain, the connection holds the file's read lock and other
    // workstations wait to save: its reader reads on until it is done.
    void openFirstRows(const QString &source, int firstRows, const QList<Value> &parameters = {});
    // A snapshot whose statement runs beside the window, on a read-only
    // connection and a thread of its own (BesideRead): nothing is read when
    // it opens, and the rows are taken by readMore() as the statement gives
    // them (none is counted ahead). Where that cannot be (a file held
    // alone, changes of this connection not yet committed) it is read here
    // as openFirstRows reads it. A move past the rows taken finds no row
    // until more are taken; what needs them all (the last row, the count,
    // a find) waits for the statement's end. A crosstab's column headings
    // (its pivot values) are read beside as well, before it opens: while
    // they are read whileWaiting is asked every few dozen milliseconds, and
    // when it answers false their statement is stopped and the set stays
    // closed (false).
    bool openBeside(const QString &source, const QList<Value> &parameters = {},
                    const std::function<bool()> &whileWaiting = {});
    bool readsBeside() const;
    // Holds the statement read beside where it is (nothing more is read)
    // until it is let go on; nothing for a set read here.
    void pauseReading(bool paused);
    // The memory its rows take (cells and texts), in bytes.
    std::size_t heldMemory() const;
    // Waits up to ms milliseconds for rows from beside (or its end); at once
    // for a set read here.
    bool waitForRows(int ms);
    // Ends the reading where it is: the rows read stay, the rest are not
    // read (a statement beside is interrupted).
    void stopReading();
    // Rows remain to be read.
    bool isReading() const;
    // Reads up to rows more; true while rows remain. A failure of the
    // engine throws, here or at the next call when it happened while the
    // rows were read at once; the rows read before it stay.
    bool readMore(int rows);
    // The rows it holds once read to the end (counted when it opened).
    long expectedCount() const;
    void close();
    bool isOpen() const;
    void setFilter(const QString &jetCriterion);
    // The values of the "?" marks, for the next requery.
    void setParameters(const QList<Value> &parameters);
    void setSort(const QString &jetOrderBy);
    QString filter() const;
    QString sort() const;
    void requery();
    // The database was closed, or closed and opened again (a posting, a
    // compaction), since the set last read its rows: like every set of a
    // closed database it reads and writes nothing more (3420) until it is
    // requeried or reconnected.
    bool outlivedConnection() const;
    // A set that outlived its connection reads its rows anew through the
    // connection open now, with the source, filter, sort and parameters it
    // last ran with. An edit or addition pending when the database closed is
    // gone with it. A dynaset stands again on the row it stood on while that
    // row is still among its rows, otherwise (and a snapshot always) on the
    // first. 3420 while the database is closed.
    void reconnect();

    bool canUpdate() const;
    bool canAppend() const;

    bool isEOF() const;
    bool isBOF() const;
    // A row stands current: not before the first, past the last, or where a
    // row deleted through the set (or left when its rowid went to a new
    // row) stood until the next move.
    bool hasCurrentRow() const;
    // The row's own key in its table (its rowid) while an updatable dynaset
    // stands on a row; -1 for any other set or without a current row. It
    // names the row whatever the order or the other rows, as long as it lives.
    std::int64_t currentRowKey() const;
    void moveFirst();
    void moveNext();
    void movePrev();
    void moveLast();
    long recordCount() const;       // rows visited so far; exact after moveLast()
    // A field of the row at a place (0 the first) of a snapshot, read without
    // moving to it (3021 outside the set; 3219 on a dynaset). The rows it
    // holds stay readable after the database was closed.
    Value valueAt(long row, int index) const;
    // The rows it holds (a snapshot's rows read so far; a dynaset's keys).
    long heldCount() const;

    // Jet criteria; true when a row matched (it becomes current).
    bool findFirst(const QString &jetCriterion);
    bool findNext(const QString &jetCriterion);

    int fieldCount() const;
    QString fieldName(int index) const;
    FieldType fieldType(int index) const;
    int fieldSize(int index) const;
    bool fieldIsAutoNumber(int index) const;
    // The field is worked out by the statement (a count, a maximum, an
    // expression), not a table's column read as it stands.
    bool fieldIsComputed(int index) const;
    int fieldIndex(const QString &name) const; // -1 when absent (case-insensitive)

    Value value(int index) const;              // 3021 without a current row
    // For readers of many rows: a snapshot's rows from the current one to the
    // last, each given as its fields are held (their storage and content, as
    // sqlvalues::toValue turns into the field's Value). Reading stops after
    // a row for which row answers false; the current row is then the next
    // one (or none, past the last). False, reading nothing, for a dynaset or
    // while a row is edited: those are read with value().
    bool readHeldRows(const std::function<bool(const sqlvalues::Stored *fields)> &row);
    // The current row of a snapshot, every field as it is held (as
    // readHeldRows gives them), without moving; false, filling nothing, on a
    // dynaset, while a row is edited or without a current row.
    bool heldCurrentRow(std::vector<sqlvalues::Stored> &fields) const;
    Value value(const QString &name) const;    // 3265 for an unknown name
    void setValue(int index, const Value &value);
    void setValue(const QString &name, const Value &value);
    void setFieldDirty(int index, bool dirty = true);
    bool isFieldDirty(int index) const;

    void addNew();
    void edit();
    void update();        // 3197 when another workstation changed the row since it was read
    // While a row is edited: its fields as they were when the edit began
    // (the row as it was read), whatever has been set since.
    Value valueAsRead(int index) const;
    // While a row is edited (after update() found it changed, 3197): the
    // row as the database holds it now (3167 when it is gone), kept for
    // restartEditOnRowReread. The edit itself is left as it is.
    std::vector<Value> rereadEditedRow();
    // The edit goes on from the row last reread: every field takes its
    // value there, and the next update() writes only over that row.
    void restartEditOnRowReread();
    void cancelUpdate();
    void deleteRecord();
    EditMode editMode() const;
    // After addNew + update: makes the added row current.
    void moveToLastAdded();

    Database &database() const;
    // The table an updatable dynaset writes, and that table's column under
    // a field; empty for a computed field and for any other set.
    QString updatableTable() const;
    QString baseColumn(int index) const;

    // How long rows read by a dynaset count as current: a row that becomes
    // current later is read again (changes by this connection always are).
    static int pageTimeout();
    static void setPageTimeout(int milliseconds);

private:
    class Impl;
    std::unique_ptr<Impl> d;
};

} // namespace platform
