#include "platform/db/Recordset.h"

#include "platform/db/BesideRead.h"
#include "platform/db/DatabaseImpl.h"
#include "platform/db/DbErrors.h"
#include "platform/db/KeyedRows.h"
#include "platform/db/SqlValues.h"
#include "platform/db/UnfinishedReads.h"
#include "platform/db/WriteScope.h"

#include <QtCore/QHash>

#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

namespace platform {

namespace {

int g_pageTimeoutMs = 1000;
// Read where a statement read beside cannot run: its first rows at once.
constexpr int kFirstRowsBeside = 200;
// How long a wait for what is read beside lasts between two questions
// whether to go on waiting.
constexpr int kWaitStepMs = 40;

} // namespace

class Recordset::Impl
{
public:
    explicit Impl(Database &db) : database(db) {}
    ~Impl() { endRead(); }

    Database::Impl &dbi() const
    {
        Database::Impl *i = database.impl();
        if (!i->isOpen() || i->openSerial != openSerial)
            dberr::raise(dberr::ObjectInvalid);
        return *i;
    }
    void requireOpenSet() const
    {
        if (!isOpen)
            dberr::raise(dberr::ObjectInvalid);
        dbi();
    }
    int checkedField(int index) const
    {
        requireOpenSet();
        if (index < 0 || index >= columns.size())
            dberr::raise(dberr::ItemNotFound);
        return index;
    }
    // The rows of the set; a snapshot still being read is read to its end first.
    int size() const
    {
        if (reading.isValid() || beside)
            const_cast<Impl *>(this)->finishRead();
        return keyed ? keyed->size() : rowCount;
    }
    // Whether the set has a row at a place, reading on only when the rows
    // read so far do not reach it.
    bool has(int row) const
    {
        if (row < 0)
            return false;
        if (!keyed && row < rowCount)
            return true;
        // Rows still to come beside are not waited for here.
        if (beside)
            return false;
        return row < size();
    }
    bool hasCurrent() const { return isOpen && !gap && has(pos); }

    void run(int firstRows = -1);
    // The statement started beside the window (false: it is read here).
    bool startBeside(Database::Impl &d, const jet::Translation &t);
    // A crosstab's pivot values read beside the window, asking whileWaiting
    // between waits; false when they could not be read there. A stop sets
    // stoppedWaiting.
    bool pivotsBeside(Database::Impl &d, const jet::Translation &t, QList<Value> &pivots);
    std::function<bool()> whileWaiting;
    bool stoppedWaiting = false;
    BesideRead *pivotRead = nullptr; // while the pivot values are read beside
    // A snapshot's statement, started; its rows are read by readRows.
    void startRead(Database::Impl &d, const jet::Translation &t);
    // Reads up to limit rows more (all with -1); true while rows remain.
    bool readRows(long limit);
    // Reads every row that remains. A failure ends the reading where it
    // happened and is kept for readMore to throw.
    void finishRead();
    // Lets the statement go (its lock with it).
    void endRead();
    // A field of the current row (3021 without one, 3167 when deleted meanwhile).
    Value currentValue(int index);
    // Finds a dynaset's current row, held in its set (3167 when deleted meanwhile).
    void resolve(const Database::Impl &d);
    // What value() gives off its usual path (a field checked, an edited
    // row's buffer, a row to find first); kept apart so that the usual path
    // stays small.
    Q_NEVER_INLINE Value otherValue(int index)
    {
        // A row held, no edit: the first field read of a row walking a
        // dynaset (the row is found now), or a snapshot's field, past the
        // checks every other read makes.
        if (isOpen && !gap && mode == EditMode::None && unsigned(index) < unsigned(types.size())) {
            const Database::Impl *db = database.impl();
            if (db->openSerial == openSerial && db->isOpen()) {
                if (keyed && unsigned(pos) < unsigned(keyed->size())) {
                    if (!resolved)
                        resolve(*db);
                    return keyed->value(index);
                }
                if (!keyed && unsigned(pos) < unsigned(rowCount))
                    return heldValue(pos, index);
            }
        }
        checkedField(index);
        if (mode != EditMode::None)
            return buffer[size_t(index)];
        return currentValue(index);
    }
    void leaveEdit() { mode = EditMode::None; buffer.clear(); original.clear(); stored.clear(); forced.clear(); }
    void moved()
    {
        // Nothing to leave, walking a set: an edit fills the buffer.
        if (mode != EditMode::None || !buffer.empty())
            leaveEdit();
        resolved = false;
        firstRead.clear();
        if (keyed)
            keyed->unpin();
        if (has(pos))
            visited = qMax(visited, long(pos) + 1);
    }
    bool isDirty(int i) const
    {
        const signed char f = forced[size_t(i)];
        if (f >= 0)
            return f == 1;
        const Value &a = buffer[size_t(i)];
        const Value &b = original[size_t(i)];
        if (a.isNull() != b.isNull())
            return true;
        if (a.isNull())
            return false;
        if (isTextType(columns[i].type))
            return a.toString() != b.toString();
        return !(a == b);
    }
    bool find(const QString &criterion, int from);

    Database &database;
    quint64 openSerial = 0;
    Type type = Type::Dynaset;
    QString source;
    QList<Value> parameters;
    QString filter;
    QString sort;
    bool isOpen = false;

    QList<jet::ResultColumn> columns;
    QList<bool> autoNumber;
    QHash<QString, int> byName;
    QHash<QString, int> bySpelling;

    // An updatable dynaset reads its rows by rowid; any other set holds its
    // rows, read whole when it opens. Those are kept as SQLite gave them (a
    // number, or where its bytes lie in one buffer) and become a Value in
    // their field's type only when read: reading the rows is then little
    // more than stepping the statement, and most values are read once.
    // Left unset when allocated: a row's cells are all written when it is read.
    struct HeldCell
    {
        std::int64_t bits; // the integer, the double's bits, or the offset of the bytes
        std::int32_t size;
        std::int32_t storage;
    };
    std::unique_ptr<KeyedRows> keyed;
    QString table;
    QStringList baseColumns; // per field: its column of the table, "" when computed
    // The write statements last built, by what shaped their text (the fields
    // written; for an update also each old value's kind): a set writing row
    // after row alike builds its text once.
    std::vector<int> insertShape;
    QString insertSql;
    // The insert statement itself, held while rows are added one after
    // another alike (of the connection opened as openSerial says).
    Statement insertStatement;
    quint64 insertStatementSerial = 0;
    std::vector<int> updateShape;
    QString updateSql;
    std::vector<FieldType> types; // per field
    // Row by row, one cell per field, in blocks of rows: a big set grows
    // block by block instead of copying all it holds each time it outgrows
    // its room. Blocks start small (most sets are small) and double up to
    // kMaxBlockRows.
    static constexpr int kFirstBlockRows = 64;
    static constexpr int kMaxBlockRows = 4096;
    std::vector<std::unique_ptr<HeldCell[]>> rows;
    std::vector<int> blockFirstRow; // per block
    mutable size_t lastBlock = 0;   // the block read last: the next read is most often in it

    const HeldCell *heldRow(int row) const
    {
        size_t b = lastBlock < blockFirstRow.size() ? lastBlock : 0;
        if (row < blockFirstRow[b] || (b + 1 < blockFirstRow.size() && row >= blockFirstRow[b + 1])) {
            b = size_t(std::upper_bound(blockFirstRow.begin(), blockFirstRow.end(), row) - blockFirstRow.begin()) - 1;
            lastBlock = b;
        }
        return rows[b].get() + size_t(row - blockFirstRow[b]) * types.size();
    }
    // The texts and blobs of the held cells, in pieces: a set that holds
    // many grows piece by piece instead of copying all it holds each time it
    // outgrows its room. A cell's offset names its piece (the bits above
    // kPieceShift) and where its bytes begin in it.
    static constexpr int kPieceShift = 40;
    static constexpr std::int64_t kInPiece = (std::int64_t(1) << kPieceShift) - 1;
    static constexpr size_t kPieceBytes = size_t(1) << 20;
    std::vector<std::vector<char>> pieces;
    size_t pieceRoom = 0; // the room of every piece but the last
    // The piece the next cell's bytes go to: the last, or a new one once it is full.
    std::vector<char> &bytesPiece()
    {
        if (pieces.empty() || pieces.back().size() >= kPieceBytes) {
            if (!pieces.empty())
                pieceRoom += pieces.back().capacity();
            pieces.emplace_back();
            pieces.back().reserve(kPieceBytes);
        }
        return pieces.back();
    }
    std::int64_t pieceBase() const { return std::int64_t(pieces.size() - 1) << kPieceShift; }
    // Memory the held rows take (their cells and their bytes).
    size_t heldMemory() const
    {
        size_t cells = 0;
        for (size_t b = 0; b < blockFirstRow.size(); ++b)
            cells += size_t(b + 1 < blockFirstRow.size() ? blockFirstRow[b + 1] - blockFirstRow[b] : lastBlockRows);
        return cells * types.size() * sizeof(HeldCell) + pieceRoom + (pieces.empty() ? 0 : pieces.back().capacity());
    }
    void clearBytes()
    {
        pieces = {};
        pieceRoom = 0;
    }
    int rowCount = 0;
    int lastBlockRows = 0;        // the room of the last block, in rows

    // A snapshot read a part at a time: its statement, stepped as rows are
    // wanted, the count of its rows taken when it opened, and a failure met
    // while reading on where nobody could be told.
    Statement reading;
    long expected = 0;
    std::optional<DbException> readFailure;
    // A snapshot whose statement runs beside the window (openBeside): its
    // rows are taken from the reading thread as they come.
    bool wantBeside = false;
    std::unique_ptr<BesideRead> beside;
    // Takes the rows the statement gave beside since the last take; ends
    // the read once it has ended (keeping its failure). True while it runs.
    bool takeBeside();
    void appendCells(const std::vector<BesideRead::Cell> &cells, std::vector<char> &&from, int count);
    // The room of the next row read: in the last block, or in a new one twice
    // its size when it is full.
    HeldCell *nextRow(HeldCell *&block, int &inBlock, size_t fields);

    // A held cell as SQLite stored it (its texts pointing into the buffer).
    sqlvalues::Stored heldStored(const HeldCell &c) const
    {
        sqlvalues::Stored s;
        s.storage = c.storage;
        switch (c.storage) {
        case SQLITE_INTEGER: s.integer = c.bits; break;
        case SQLITE_FLOAT: std::memcpy(&s.real, &c.bits, sizeof s.real); break;
        case SQLITE_TEXT:
        case SQLITE_BLOB:
            // An empty text has no bytes, and may have come before any piece
            // of bytes was taken (a first row read beside of empty texts).
            if (c.size == 0) {
                static const char nothing = 0;
                s.bytes = &nothing;
                s.size = 0;
                break;
            }
            s.bytes = pieces[size_t(c.bits >> kPieceShift)].data() + (c.bits & kInPiece);
            s.size = c.size;
            break;
        default: break;
        }
        return s;
    }

    Value heldValue(int row, int field) const
    {
        return sqlvalues::toValue(heldStored(heldRow(row)[field]), types[size_t(field)]);
    }

    int pos = 0;
    bool gap = false; // after a delete: no current row until the next move
    long visited = 0;
    bool resolved = false; // the keyed rows stand on the current row

    EditMode mode = EditMode::None;
    std::vector<Value> buffer;
    std::vector<Value> original;
    std::vector<Value> stored;
    std::vector<signed char> forced; // -1 as compared, 0 clean, 1 dirty
    std::int64_t editKey = 0;
    std::int64_t lastAdded = -1;
    // The edited row as rereadEditedRow read it (values, and as stored).
    std::vector<Value> rereadValues;
    std::vector<Value> rereadStored;

    // The current row as the program last read it: Edit and Update compare
    // with it, so a change another workstation made after the program read
    // the row is a conflict even when it came before Edit.
    KeyedRows::RowCopy firstRead;
    quint64 firstReadMark = 0; // this connection's write mark when it was read
};

void Recordset::Impl::run(int firstRows)
{
    Database::Impl &d = *database.impl();
    d.requireOpen();
    endRead();
    readFailure.reset();
    openSerial = d.openSerial;
    isOpen = false;
    keyed.reset();
    rows.clear();
    blockFirstRow.clear();
    lastBlock = 0;
    lastBlockRows = 0;
    clearBytes();
    types.clear();
    rowCount = 0;
    expected = 0;
    columns.clear();
    autoNumber.clear();
    byName.clear();
    bySpelling.clear();
    table.clear();
    baseColumns.clear();
    insertShape.clear();
    insertSql.clear();
    insertStatement = Statement();
    updateShape.clear();
    updateSql.clear();
    leaveEdit();
    resolved = false;
    gap = false;
    pos = 0;
    visited = 0;
    lastAdded = -1;

    d.catalog->refresh();
    jet::Translation t = d.translateWithFilter(d.sourceText(source), filter, sort);
    if (t.kind != jet::Translation::Kind::Select && t.kind != jet::Translation::Kind::Crosstab)
        dberr::raise(dberr::InvalidOperation);

    if (t.kind == jet::Translation::Kind::Crosstab) {
        // The pivot values first; then the statement with one column for each.
        QList<Value> pivots;
        bool readBeside = false;
        if (wantBeside && !d.exclusive && database.transactionDepth() == 0) {
            // Beside the window too, so the window goes on while they are read.
            readBeside = pivotsBeside(d, t, pivots);
            if (stoppedWaiting)
                return;
        }
        if (!readBeside) {
            Statement values = d.prepare(t.pivotValuesSql);
            d.bindParameters(values, t, parameters);
            while (values.step())
                pivots.append(values.storedValue(0));
            values.reset();
        }
        if (!t.buildCrosstab)
            dberr::raise(dberr::InvalidOperation);
        const jet::Translation built = t.buildCrosstab(pivots);
        t.sql = built.sql;
        t.columns = built.columns;
        t.updatableTable.clear();
    }

    columns = t.columns;
    // What a statement's fields are (types, counters, names) is worked out
    // once per statement and schema: a statement opened again, row after row,
    // takes it as it was (the lists and the hash are shared, not copied).
    if (d.fieldShapes.size() >= 4000)
        d.fieldShapes.clear();
    Database::Impl::FieldShape &shape = d.fieldShapes[t.sql];
    bool same = shape.generation == d.catalog->schemaGeneration() && shape.types.size() == size_t(columns.size());
    for (int i = 0; same && i < columns.size(); ++i)
        same = shape.types[size_t(i)] == std::as_const(columns)[i].type;
    if (!same) {
        shape = Database::Impl::FieldShape();
        shape.generation = d.catalog->schemaGeneration();
        shape.types.reserve(size_t(columns.size()));
        for (const jet::ResultColumn &c : std::as_const(columns))
            shape.types.push_back(c.type);
        for (int i = 0; i < columns.size(); ++i) {
            bool counter = false;
            if (!std::as_const(columns)[i].baseTable.isEmpty()) {
                if (const FileCatalog::Table *bt = d.catalog->table(std::as_const(columns)[i].baseTable)) {
                    const int c = bt->columnIndex(std::as_const(columns)[i].baseColumn);
                    counter = c >= 0 && bt->autoNumber[c];
                }
            }
            shape.autoNumber.append(counter);
            const QString key = std::as_const(columns)[i].name.toLower();
            if (!shape.byName.contains(key)) {
                shape.byName.insert(key, i);
                shape.bySpelling.insert(std::as_const(columns)[i].name, i);
            }
        }
    }
    types = shape.types;
    autoNumber = shape.autoNumber;
    byName = shape.byName;
    bySpelling = shape.bySpelling;

    const FileCatalog::Table *base = type == Type::Dynaset && !t.updatableTable.isEmpty() && !t.rowidSql.isEmpty()
        ? d.catalog->table(t.updatableTable)
        : nullptr;
    if (base) {
        KeyedRows::Layout layout;
        layout.table = base->name;
        for (const jet::ResultColumn &c : columns) {
            const int at = c.baseTable.compare(t.updatableTable, Qt::CaseInsensitive) == 0 && !c.baseColumn.isEmpty()
                ? base->columnIndex(c.baseColumn)
                : -1;
            layout.columns.append(at < 0 ? QString() : base->columns[at].name);
            layout.types.append(c.type);
        }
        layout.rowSql = t.rowSql;
        layout.parameterCount = int(t.parameters.size());
        layout.bindParameters = [&d, t, params = parameters](Statement &st) { d.bindParameters(st, t, params); };
        baseColumns = layout.columns;
        Statement keys = d.prepare(KeyedRows::keyListSql(t.rowidSql, layout.parameterCount));
        if (!keys.isReadOnly())
            dberr::raise(dberr::InvalidOperation);
        d.bindParameters(keys, t, parameters);
        table = base->name;
        const int parameterCount = layout.parameterCount;
        keyed = std::make_unique<KeyedRows>(d.db, d.path, std::move(layout), d.statements);
        keyed->load(keys, parameterCount);
    } else if (wantBeside && startBeside(d, t)) {
        // Nothing is read here: the rows come as the statement gives them,
        // and before this connection writes or closes the read is let go
        // where it is.
        UnfinishedReads::add(d.db, this, [this] { endRead(); });
    } else {
        startRead(d, t);
        // The rows are read at once, unless only the first are wanted now:
        // a statement left open holds the read lock and keeps every other
        // workstation from saving until it is read to its end.
        if (firstRows < 0 || t.kind == jet::Translation::Kind::Crosstab) {
            readRows(-1);
        } else if (readRows(qMax(firstRows, 1))) {
            // Counted while the statement holds the lock: nobody can change
            // the rows in between, so the count is that of the rows to come.
            QString countSql = t.countSql;
            if (countSql.isEmpty()) {
                QString rowsSql = t.sql.trimmed();
                while (rowsSql.endsWith(QLatin1Char(';')))
                    rowsSql = rowsSql.chopped(1).trimmed();
                countSql = QStringLiteral("SELECT count(*) FROM (%1\n)").arg(rowsSql);
            }
            Statement count = d.prepare(countSql);
            d.bindParameters(count, t, parameters);
            expected = count.step() ? long(count.integer(0)) : 0;
            count.reset();
            UnfinishedReads::add(d.db, this, [this] { finishRead(); });
        }
        expected = qMax(expected, long(rowCount));
    }
    isOpen = true;
    moved();
}

bool Recordset::Impl::startBeside(Database::Impl &d, const jet::Translation &t)
{
    // A file this connection holds alone, or rows it has changed and not yet
    // committed, can only be read through the connection itself.
    if (d.exclusive || database.transactionDepth() > 0)
        return false;
    try {
        beside = std::make_unique<BesideRead>(d.path, t.sql, int(types.size()), Database::busyTimeout(),
                                              [&d, &t, this](Statement &st) { d.bindParameters(st, t, parameters); });
    } catch (const DbException &) {
        // Read here instead; a statement that cannot run fails there as well.
        beside.reset();
        return false;
    }
    return true;
}

bool Recordset::Impl::pivotsBeside(Database::Impl &d, const jet::Translation &t, QList<Value> &pivots)
{
    std::unique_ptr<BesideRead> started;
    try {
        started = std::make_unique<BesideRead>(d.path, t.pivotValuesSql, 1, Database::busyTimeout(),
                                               [&d, &t, this](Statement &st) { d.bindParameters(st, t, parameters); });
    } catch (const DbException &) {
        // Read here instead; a statement that cannot run fails there as well.
        return false;
    }
    BesideRead &values = *started;
    pivotRead = &values;
    struct Forget
    {
        BesideRead *&read;
        ~Forget() { read = nullptr; }
    } forget{pivotRead};
    std::vector<BesideRead::Cell> cells;
    std::vector<char> from;
    auto takeValues = [&] {
        cells.clear();
        from.clear();
        values.take(cells, from);
        for (const BesideRead::Cell &c : cells) {
            switch (c.storage) {
            case SQLITE_INTEGER: pivots.append(Value(std::int64_t(c.bits), FieldType::Long)); break;
            case SQLITE_FLOAT: {
                double real = 0;
                std::memcpy(&real, &c.bits, sizeof real);
                pivots.append(Value(real, FieldType::Double));
                break;
            }
            case SQLITE_TEXT: pivots.append(Value(QString::fromUtf8(from.data() + c.bits, c.size), FieldType::Text)); break;
            case SQLITE_BLOB:
                pivots.append(Value(QString::fromLatin1(from.data() + c.bits, c.size), FieldType::LongBinary));
                break;
            default: pivots.append(Value()); break;
            }
        }
    };
    for (;;) {
        const bool ended = values.ended();
        takeValues();
        if (ended)
            break;
        values.waitForRows(kWaitStepMs);
        if (whileWaiting && !values.ended() && !whileWaiting()) {
            values.stop();
            stoppedWaiting = true;
            return true;
        }
    }
    if (const std::optional<DbException> failure = values.failure())
        throw *failure;
    return true;
}

bool Recordset::Impl::takeBeside()
{
    if (!beside)
        return false;
    // Whether it had ended before the take: then every row it gave is taken.
    const bool ended = beside->ended();
    std::vector<BesideRead::Cell> cells;
    std::vector<char> from;
    const int count = beside->take(cells, from);
    appendCells(cells, std::move(from), count);
    if (!ended)
        return true;
    if (const std::optional<DbException> failure = beside->failure())
        readFailure = *failure;
    beside.reset();
    UnfinishedReads::remove(this);
    return false;
}

Recordset::Impl::HeldCell *Recordset::Impl::nextRow(HeldCell *&block, int &inBlock, size_t fields)
{
    if (inBlock == lastBlockRows) {
        lastBlockRows = lastBlockRows == 0 ? kFirstBlockRows : qMin(2 * lastBlockRows, kMaxBlockRows);
        rows.push_back(std::make_unique_for_overwrite<HeldCell[]>(size_t(lastBlockRows) * fields));
        blockFirstRow.push_back(rowCount);
        block = rows.back().get();
        inBlock = 0;
    }
    return block + size_t(inBlock++) * fields;
}

void Recordset::Impl::appendCells(const std::vector<BesideRead::Cell> &cells, std::vector<char> &&from, int count)
{
    const size_t fields = types.size();
    if (count <= 0 || fields == 0)
        return;
    // The bytes taken together make a piece of their own.
    std::int64_t base = 0;
    if (!from.empty()) {
        if (!pieces.empty())
            pieceRoom += pieces.back().capacity();
        pieces.push_back(std::move(from));
        base = pieceBase();
    }
    HeldCell *block = rows.empty() ? nullptr : rows.back().get();
    int inBlock = rows.empty() ? 0 : rowCount - blockFirstRow.back();
    for (int r = 0; r < count; ++r) {
        HeldCell *row = nextRow(block, inBlock, fields);
        for (size_t c = 0; c < fields; ++c) {
            const BesideRead::Cell &in = cells[size_t(r) * fields + c];
            const bool hasBytes = in.storage == SQLITE_TEXT || in.storage == SQLITE_BLOB;
            row[c] = HeldCell{hasBytes ? in.bits + base : in.bits, in.size, in.storage};
        }
        ++rowCount;
    }
}

void Recordset::Impl::startRead(Database::Impl &d, const jet::Translation &t)
{
    Statement st = d.prepare(t.sql);
    // A recordset only reads.
    if (!st.isReadOnly())
        dberr::raise(dberr::InvalidOperation);
    d.bindParameters(st, t, parameters);
    reading = std::move(st);
}

bool Recordset::Impl::readRows(long limit)
{
    if (!reading.isValid())
        return false;
    const size_t fields = types.size();
    const int width = qMin(int(fields), reading.columnCount());
    sqlite3_stmt *stmt = reading.handle();
    HeldCell *block = rows.empty() ? nullptr : rows.back().get();
    int inBlock = rows.empty() ? 0 : rowCount - blockFirstRow.back();
    long read = 0;
    bool more = true;
    while (limit < 0 || read < limit) {
        if (!reading.step()) {
            more = false;
            break;
        }
        HeldCell *row = nextRow(block, inBlock, fields);
        for (int c = 0; c < width; ++c) {
            std::vector<char> &piece = bytesPiece();
            const BesideRead::Cell in = BesideRead::ReadCell(stmt, c, piece);
            const bool hasBytes = in.storage == SQLITE_TEXT || in.storage == SQLITE_BLOB;
            row[c] = HeldCell{hasBytes ? in.bits + pieceBase() : in.bits, in.size, in.storage};
        }
        // Fields the statement does not give read as Null.
        for (size_t c = size_t(width); c < fields; ++c)
            row[c] = HeldCell{0, 0, SQLITE_NULL};
        ++rowCount;
        ++read;
    }
    if (!more)
        endRead();
    return more;
}

void Recordset::Impl::finishRead()
{
    while (takeBeside())
        beside->waitForRows(50);
    try {
        readRows(-1);
    } catch (const DbException &e) {
        readFailure = e;
        endRead();
    }
}

void Recordset::Impl::endRead()
{
    if (beside) {
        // The rows given before the stop stay.
        beside->stop();
        takeBeside();
        beside.reset();
        UnfinishedReads::remove(this);
    }
    if (!reading.isValid())
        return;
    UnfinishedReads::remove(this);
    reading = Statement(); // reset, and the lock let go
}

Value Recordset::Impl::currentValue(int index)
{
    if (!hasCurrent())
        dberr::raise(dberr::NoCurrentRecord);
    if (!keyed)
        return heldValue(pos, index);
    if (!resolved)
        resolve(dbi());
    return keyed->value(index);
}

void Recordset::Impl::resolve(const Database::Impl &d)
{
    if (!keyed->seek(pos, g_pageTimeoutMs))
        dberr::raise(dberr::RecordDeleted);
    resolved = true;
    keyed->pinRow(&firstRead);
    firstReadMark = d.writeMark();
}

bool Recordset::Impl::find(const QString &criterion, int from)
{
    requireOpenSet();
    Database::Impl &d = dbi();
    const QString condition = d.translateCriterion(criterion, columns);
    QStringList names;
    for (int i = 0; i < columns.size(); ++i)
        names.append(QStringLiteral("?%1 AS %2").arg(i + 1).arg(sqlvalues::quoteName(columns[i].name)));
    Statement test = d.prepare(QStringLiteral("SELECT 1 FROM (SELECT %1) WHERE (%2)")
                                   .arg(names.join(QStringLiteral(", ")), condition));
    leaveEdit();
    for (int i = qMax(0, from); i < size(); ++i) {
        resolved = false;
        if (keyed) {
            if (!keyed->seek(i, g_pageTimeoutMs))
                continue; // deleted meanwhile
            for (int c = 0; c < columns.size(); ++c)
                test.bind(c + 1, keyed->value(c));
        } else {
            for (int c = 0; c < columns.size(); ++c)
                test.bind(c + 1, heldValue(i, c));
        }
        const bool match = test.step();
        test.reset();
        if (match) {
            pos = i;
            gap = false;
            moved();
            return true;
        }
    }
    return false;
}

Recordset::Recordset(Database &db)
    : d(std::make_unique<Impl>(db))
{
}

Recordset::~Recordset() = default;

void Recordset::open(Type type, const QString &source, const QList<Value> &parameters)
{
    close();
    d->type = type;
    d->source = source;
    d->parameters = parameters;
    try {
        d->run();
    } catch (...) {
        close();
        throw;
    }
}

void Recordset::openFirstRows(const QString &source, int firstRows, const QList<Value> &parameters)
{
    close();
    d->type = Type::Snapshot;
    d->source = source;
    d->parameters = parameters;
    try {
        d->run(qMax(firstRows, 0));
    } catch (...) {
        close();
        throw;
    }
}

bool Recordset::openBeside(const QString &source, const QList<Value> &parameters,
                           const std::function<bool()> &whileWaiting)
{
    close();
    d->type = Type::Snapshot;
    d->source = source;
    d->parameters = parameters;
    d->wantBeside = true;
    d->whileWaiting = whileWaiting;
    d->stoppedWaiting = false;
    auto done = [this] {
        d->wantBeside = false;
        d->whileWaiting = {};
    };
    try {
        d->run(kFirstRowsBeside);
    } catch (...) {
        done();
        close();
        throw;
    }
    done();
    if (d->stoppedWaiting) {
        close();
        return false;
    }
    return true;
}

void Recordset::pauseReading(bool paused)
{
    if (d->beside)
        d->beside->pause(paused);
    if (d->pivotRead)
        d->pivotRead->pause(paused);
}

std::size_t Recordset::heldMemory() const
{
    return d->heldMemory();
}

bool Recordset::readsBeside() const
{
    return d->beside != nullptr;
}

bool Recordset::waitForRows(int ms)
{
    return d->beside ? d->beside->waitForRows(ms) : true;
}

void Recordset::stopReading()
{
    d->endRead();
}

bool Recordset::isReading() const
{
    return d->reading.isValid() || d->beside;
}

bool Recordset::readMore(int rows)
{
    if (d->readFailure) {
        const DbException failure = *d->readFailure;
        d->readFailure.reset();
        throw failure;
    }
    if (d->beside) {
        if (d->takeBeside())
            return true;
        if (d->readFailure) {
            const DbException failure = *d->readFailure;
            d->readFailure.reset();
            throw failure;
        }
        return false;
    }
    try {
        return d->readRows(qMax(rows, 1));
    } catch (...) {
        d->endRead();
        throw;
    }
}

long Recordset::expectedCount() const
{
    return d->isOpen ? qMax(d->expected, long(d->rowCount)) : 0;
}

void Recordset::close()
{
    d->endRead();
    d->readFailure.reset();
    d->expected = 0;
    d->lastBlockRows = 0;
    d->isOpen = false;
    d->keyed.reset();
    d->insertStatement = Statement();
    d->rows.clear();
    d->blockFirstRow.clear();
    d->lastBlock = 0;
    d->clearBytes();
    d->types.clear();
    d->rowCount = 0;
    d->columns.clear();
    d->autoNumber.clear();
    d->byName.clear();
    d->bySpelling.clear();
    d->leaveEdit();
    d->resolved = false;
    d->pos = 0;
    d->gap = false;
    d->visited = 0;
}

bool Recordset::isOpen() const
{
    return d->isOpen;
}

void Recordset::setFilter(const QString &jetCriterion)
{
    d->filter = jetCriterion;
}

void Recordset::setParameters(const QList<Value> &parameters)
{
    d->parameters = parameters;
}

void Recordset::setSort(const QString &jetOrderBy)
{
    d->sort = jetOrderBy;
}

QString Recordset::filter() const
{
    return d->filter;
}

QString Recordset::sort() const
{
    return d->sort;
}

void Recordset::requery()
{
    // A set opened before the database was closed and opened again (by a
    // compaction, a posting or an upgrade) reads its rows anew through the
    // connection that is open now; only a closed database refuses (3420).
    if (!d->isOpen)
        dberr::raise(dberr::ObjectInvalid);
    try {
        d->run();
    } catch (...) {
        close();
        throw;
    }
}

bool Recordset::outlivedConnection() const
{
    const Database::Impl *db = d->database.impl();
    return d->isOpen && (!db->isOpen() || db->openSerial != d->openSerial);
}

void Recordset::reconnect()
{
    if (!d->isOpen)
        dberr::raise(dberr::ObjectInvalid);
    const std::int64_t stoodOn = d->keyed && !d->gap && d->has(d->pos) ? d->keyed->key(d->pos) : -1;
    requery();
    const int at = stoodOn >= 0 && d->keyed ? d->keyed->indexOf(stoodOn) : -1;
    if (at > 0) {
        d->pos = at;
        d->moved();
    }
}

std::int64_t Recordset::currentRowKey() const
{
    return d->isOpen && d->keyed && !d->gap && d->has(d->pos) ? d->keyed->key(d->pos) : -1;
}

bool Recordset::canUpdate() const
{
    return d->isOpen && d->keyed && !d->database.isReadOnly();
}

bool Recordset::canAppend() const
{
    return canUpdate();
}

bool Recordset::isEOF() const
{
    if (!d->isOpen)
        return true;
    if (!d->gap && d->pos >= 0 && d->has(d->pos))
        return false;
    return d->size() == 0 || (!d->gap && d->pos >= d->size());
}

bool Recordset::hasCurrentRow() const
{
    return d->hasCurrent() && d->pos >= 0;
}

bool Recordset::isBOF() const
{
    if (!d->isOpen)
        return true;
    return !d->has(0) || (!d->gap && d->pos < 0);
}

void Recordset::moveFirst()
{
    d->requireOpenSet();
    if (!d->has(0))
        dberr::raise(dberr::NoCurrentRecord);
    d->pos = 0;
    d->gap = false;
    d->moved();
}

void Recordset::moveNext()
{
    Impl &i = *d;
    // The usual move, walking a dynaset: no edit, no row deleted here, and a
    // row after this one held; what moved() does then, without its checks.
    if (i.isOpen && i.keyed && !i.gap && i.mode == EditMode::None && i.buffer.empty() && i.pos >= 0
        && i.pos + 1 < i.keyed->size()) {
        const Database::Impl *db = i.database.impl();
        if (db->openSerial == i.openSerial && db->isOpen()) {
            ++i.pos;
            i.resolved = false;
            i.firstRead.clear();
            i.keyed->unpin();
            i.visited = qMax(i.visited, long(i.pos) + 1);
            return;
        }
    }
    d->requireOpenSet();
    // Past the row just deleted the move reaches the next row, or the end
    // when it was the set's last (or only) row.
    if (!d->gap && isEOF())
        dberr::raise(dberr::NoCurrentRecord);
    if (d->gap)
        d->gap = false; // the row after the deleted one now stands at pos
    else
        ++d->pos;
    d->moved();
}

void Recordset::movePrev()
{
    d->requireOpenSet();
    if (isBOF())
        dberr::raise(dberr::NoCurrentRecord);
    d->gap = false;
    --d->pos;
    d->moved();
}

void Recordset::moveLast()
{
    d->requireOpenSet();
    if (d->size() == 0)
        dberr::raise(dberr::NoCurrentRecord);
    d->pos = d->size() - 1;
    d->gap = false;
    d->moved();
    d->visited = qMax(d->visited, long(d->size()));
}

Value Recordset::valueAt(long row, int index) const
{
    if (!d->isOpen)
        dberr::raise(dberr::ObjectInvalid);
    if (d->keyed)
        dberr::raise(dberr::InvalidOperation);
    if (index < 0 || index >= d->columns.size())
        dberr::raise(dberr::ItemNotFound);
    if (row < 0 || row > INT_MAX || !d->has(int(row)))
        dberr::raise(dberr::NoCurrentRecord);
    return d->heldValue(int(row), index);
}

long Recordset::heldCount() const
{
    if (!d->isOpen)
        return 0;
    return d->keyed ? long(d->keyed->size()) : long(d->rowCount);
}

long Recordset::recordCount() const
{
    return d->isOpen ? qMin(d->visited, long(d->size())) : 0;
}

bool Recordset::findFirst(const QString &jetCriterion)
{
    return d->find(jetCriterion, 0);
}

bool Recordset::findNext(const QString &jetCriterion)
{
    return d->find(jetCriterion, d->gap ? d->pos : d->pos + 1);
}

int Recordset::fieldCount() const
{
    return d->isOpen ? int(d->columns.size()) : 0;
}

QString Recordset::fieldName(int index) const
{
    return std::as_const(d->columns)[d->checkedField(index)].name;
}

FieldType Recordset::fieldType(int index) const
{
    return std::as_const(d->columns)[d->checkedField(index)].type;
}

int Recordset::fieldSize(int index) const
{
    return std::as_const(d->columns)[d->checkedField(index)].size;
}

bool Recordset::fieldIsComputed(int index) const
{
    return std::as_const(d->columns)[d->checkedField(index)].baseColumn.isEmpty();
}

bool Recordset::fieldIsAutoNumber(int index) const
{
    return std::as_const(d->autoNumber)[d->checkedField(index)];
}

int Recordset::fieldIndex(const QString &name) const
{
    const auto spelt = d->bySpelling.constFind(name);
    if (spelt != d->bySpelling.constEnd())
        return *spelt;
    return d->byName.value(name.toLower(), -1);
}

Value Recordset::value(int index) const
{
    const Impl &i = *d;
    // The usual read, walking a dynaset: the current row at hand, no edit.
    // A resolved row stands for an open set with a current row (every move,
    // edit, delete, requery and close clears it), so what is left to check is
    // the field and the connection.
    if (i.resolved && i.mode == EditMode::None && unsigned(index) < unsigned(i.types.size())) {
        const Database::Impl *db = i.database.impl();
        if (db->openSerial == i.openSerial && db->isOpen())
            return i.keyed->value(index);
    }
    return d->otherValue(index);
}

bool Recordset::readHeldRows(const std::function<bool(const sqlvalues::Stored *fields)> &row)
{
    Impl &i = *d;
    i.requireOpenSet();
    if (i.keyed || i.mode != EditMode::None)
        return false;
    i.size(); // every row, read to the end
    if (!i.hasCurrent())
        return true;
    const size_t fields = i.types.size();
    std::vector<sqlvalues::Stored> values(fields);
    bool more = true;
    while (more && i.pos < i.rowCount) {
        const Impl::HeldCell *held = i.heldRow(i.pos);
        for (size_t f = 0; f < fields; ++f)
            values[f] = i.heldStored(held[f]);
        more = row(values.data());
        ++i.pos;
        i.visited = qMax(i.visited, long(i.pos));
    }
    i.moved();
    return true;
}

bool Recordset::heldCurrentRow(std::vector<sqlvalues::Stored> &fields) const
{
    const Impl &i = *d;
    if (!i.isOpen || i.gap || i.keyed || i.mode != EditMode::None)
        return false;
    const Database::Impl *db = i.database.impl();
    if (db->openSerial != i.openSerial || !db->isOpen() || !i.has(i.pos))
        return false;
    const Impl::HeldCell *held = i.heldRow(i.pos);
    const size_t count = i.types.size();
    fields.resize(count);
    for (size_t f = 0; f < count; ++f)
        fields[f] = i.heldStored(held[f]);
    return true;
}

Value Recordset::value(const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        dberr::raise(dberr::ItemNotFound);
    return value(i);
}

void Recordset::setValue(int index, const Value &value)
{
    d->checkedField(index);
    if (d->mode == EditMode::None)
        dberr::raise(dberr::UpdateWithoutEdit);
    const jet::ResultColumn &c = std::as_const(d->columns)[index];
    if (index >= d->baseColumns.size() || std::as_const(d->baseColumns)[index].isEmpty())
        dberr::raise(dberr::FieldNotUpdatable);
    // A saved row keeps its AutoNumber (where it is the rowid, it is also the
    // row's identity in the set).
    if (d->mode == EditMode::Edit && std::as_const(d->autoNumber)[index])
        dberr::raise(dberr::FieldNotUpdatable);
    d->buffer[size_t(index)] = value.isNull() ? Value::nullOf(c.type) : jet::storeAs(value, c.type, c.size);
    d->forced[size_t(index)] = -1;
}

void Recordset::setValue(const QString &name, const Value &value)
{
    const int i = fieldIndex(name);
    if (i < 0)
        dberr::raise(dberr::ItemNotFound);
    setValue(i, value);
}

void Recordset::setFieldDirty(int index, bool dirty)
{
    d->checkedField(index);
    if (d->mode == EditMode::None)
        return;
    d->forced[size_t(index)] = dirty ? 1 : 0;
}

bool Recordset::isFieldDirty(int index) const
{
    d->checkedField(index);
    return d->mode != EditMode::None && d->isDirty(index);
}

void Recordset::addNew()
{
    d->requireOpenSet();
    if (!canAppend())
        dberr::raise(dberr::ReadOnly);
    d->leaveEdit();
    const size_t n = size_t(d->columns.size());
    d->buffer.resize(n);
    for (size_t i = 0; i < n; ++i)
        d->buffer[i] = Value::nullOf(std::as_const(d->columns)[qsizetype(i)].type);
    for (size_t i = 0; i < n; ++i) {
        // The AutoNumber is taken at once, as the engine does; it is part of
        // the new row, not a change the user made.
        if (std::as_const(d->autoNumber)[qsizetype(i)]) {
            d->buffer[i] = Value(d->dbi().takeAutoNumber(d->table), FieldType::Long);
            break;
        }
    }
    d->original = d->buffer;
    d->forced.assign(n, -1);
    d->mode = EditMode::Add;
}

void Recordset::edit()
{
    d->requireOpenSet();
    if (!canUpdate())
        dberr::raise(dberr::ReadOnly);
    if (!d->hasCurrent())
        dberr::raise(dberr::NoCurrentRecord);
    d->leaveEdit();
    // The row as it was read, copied now if it was not yet.
    d->keyed->takePinned();
    d->resolved = false;
    const std::int64_t key = d->keyed->key(d->pos);
    std::vector<Value> values;
    std::vector<Value> stored;
    if (!d->keyed->readRow(key, values, &stored))
        dberr::raise(dberr::RecordDeleted);
    // The row as the program read it, unless this connection has changed it
    // since (then the program's own change is what it edits).
    if (!d->firstRead.isEmpty() && !d->dbi().wroteSince(d->table, key, d->firstReadMark)) {
        for (size_t c = 0; c < values.size(); ++c) {
            values[c] = d->keyed->copyValue(d->firstRead, int(c));
            if (!d->baseColumns.value(qsizetype(c)).isEmpty())
                stored[c] = KeyedRows::copyStored(d->firstRead, int(c));
        }
    }
    d->buffer = values;
    d->original = values;
    d->stored = stored;
    d->forced.assign(values.size(), -1);
    d->editKey = key;
    d->mode = EditMode::Edit;
}

void Recordset::update()
{
    d->requireOpenSet();
    if (d->mode == EditMode::None)
        dberr::raise(dberr::UpdateWithoutEdit);
    Database::Impl &db = d->dbi();
    db.requireWritable();
    std::vector<int> written;
    written.reserve(size_t(d->columns.size()));
    for (int i = 0; i < d->columns.size(); ++i) {
        if (std::as_const(d->baseColumns)[i].isEmpty())
            continue;
        if (d->isDirty(i) || (d->mode == EditMode::Add && std::as_const(d->autoNumber)[i] && !d->buffer[size_t(i)].isNull()))
            written.push_back(i);
    }
    // The values written, bound from the edit buffer in the order of the columns.
    const auto bindWritten = [&](Statement &st) {
        for (size_t k = 0; k < written.size(); ++k)
            st.bind(int(k) + 1, d->buffer[size_t(written[k])]);
    };
    const auto table = [&] { return sqlvalues::quoteName(d->table); };
    const auto column = [&](int i) { return sqlvalues::quoteName(std::as_const(d->baseColumns)[i]); };
    // One statement inside a transaction needs no savepoint of its own: a
    // failed statement's rows are backed out by SQLite itself and the
    // transaction goes on; an update that finds its row changed has changed
    // nothing.
    std::optional<WriteScope> write;
    if (db.depth == 0)
        write.emplace(db.db, db.path);
    else
        UnfinishedReads::finishAll(db.db); // as a write scope would: no list is left half read under a write

    if (d->mode == EditMode::Add) {
        if (written != d->insertShape || d->insertSql.isEmpty()) {
            if (written.empty()) {
                d->insertSql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table());
            } else {
                // INSERT INTO "t" ("a", "b") VALUES (?1, ?2), made in one piece.
                QString sql;
                sql.reserve(qsizetype(32 + d->table.size() + written.size() * 24));
                sql += QLatin1String("INSERT INTO ");
                sql += table();
                sql += QLatin1String(" (");
                for (size_t k = 0; k < written.size(); ++k) {
                    if (k > 0)
                        sql += QLatin1String(", ");
                    sql += column(written[k]);
                }
                sql += QLatin1String(") VALUES (");
                for (size_t k = 0; k < written.size(); ++k) {
                    if (k > 0)
                        sql += QLatin1String(", ");
                    sql += QLatin1Char('?');
                    sql += QString::number(k + 1);
                }
                sql += QLatin1Char(')');
                d->insertSql = sql;
            }
            d->insertShape = written;
            d->insertStatement = Statement();
        }
        if (!d->insertStatement.isValid() || d->insertStatementSerial != db.openSerial) {
            d->insertStatement = db.prepare(d->insertSql);
            d->insertStatementSerial = db.openSerial;
        }
        std::int64_t rowid = 0;
        {
            Statement &st = d->insertStatement;
            bindWritten(st);
            try {
                st.run();
            } catch (...) {
                d->insertStatement = Statement(); // a failed statement is never used again
                throw;
            }
            st.reset();
            rowid = sqlite3_last_insert_rowid(db.db);
        }
        if (write)
            write->commit();
        // A row of the set deleted meanwhile (by another set, another
        // workstation) can leave its rowid to the engine, which gives it to
        // this new row: the set's entry for the deleted row goes, so that
        // it is never taken for the new one. A current row that was that
        // row is left as a deleted one is: no current row until the next
        // move.
        if (const int stale = d->keyed->indexOf(rowid); stale >= 0) {
            d->keyed->remove(stale);
            if (d->pos == stale && !d->gap)
                d->gap = true;
            else if (d->pos > stale)
                --d->pos;
            d->visited = qMax(0L, d->visited - 1);
        }
        // The new row joins the set at its end; the current row stays.
        const bool atEnd = d->pos >= d->size();
        d->keyed->append(rowid);
        if (atEnd && !d->gap)
            d->pos = d->size();
        d->lastAdded = rowid;
        ++d->visited;
        d->leaveEdit();
        d->resolved = false;
        return;
    }

    if (written.empty()) {
        d->leaveEdit();
        return;
    }
    // Optimistic locking: the row is written only if every column still
    // holds what Edit read (texts compared exactly, not case-blind).
    std::vector<int> shape = written;
    shape.push_back(-1);
    QList<Value> checkValues;
    for (int i = 0; i < d->columns.size(); ++i) {
        if (std::as_const(d->baseColumns)[i].isEmpty())
            continue;
        const Value &was = d->stored[size_t(i)];
        // Each column checked: by value (1, a text 2) or as Null (0).
        shape.push_back(was.isNull() ? 0 : was.type() == FieldType::Text ? 2 : 1);
        if (!was.isNull())
            checkValues.append(was);
    }
    if (shape != d->updateShape || d->updateSql.isEmpty()) {
        const int count = int(written.size());
        QString sets;
        for (int k = 0; k < count; ++k) {
            if (k > 0)
                sets += QLatin1String(", ");
            sets += column(written[size_t(k)]) + QLatin1String(" = ?") + QString::number(k + 1);
        }
        QString checks;
        int mark = count + 2;
        size_t at = written.size() + 1;
        for (int i = 0; i < d->columns.size(); ++i) {
            if (std::as_const(d->baseColumns)[i].isEmpty())
                continue;
            const int kind = shape[at++];
            checks += QLatin1String(" AND ") + column(i);
            if (kind == 0) {
                checks += QLatin1String(" IS NULL");
                continue;
            }
            checks += QLatin1String(" IS ?") + QString::number(mark++);
            if (kind == 2)
                checks += QLatin1String(" COLLATE BINARY");
        }
        d->updateSql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3").arg(table(), sets).arg(count + 1) + checks;
        d->updateShape = std::move(shape);
    }
    int changed = 0;
    {
        Statement st = db.prepare(d->updateSql);
        bindWritten(st);
        st.bind(int(written.size()) + 1, Value(d->editKey, FieldType::Long));
        for (int i = 0; i < checkValues.size(); ++i)
            st.bind(int(written.size()) + 2 + i, checkValues[i]);
        st.run();
        changed = sqlite3_changes(db.db);
    }
    if (changed == 0) {
        std::vector<Value> now;
        if (!d->keyed->readRow(d->editKey, now, nullptr))
            dberr::raise(dberr::RecordDeleted);
        dberr::raise(dberr::WriteConflict);
    }
    if (write)
        write->commit();
    d->leaveEdit();
    d->resolved = false;
}

Value Recordset::valueAsRead(int index) const
{
    d->checkedField(index);
    if (d->mode == EditMode::None)
        dberr::raise(dberr::UpdateWithoutEdit);
    return d->original[size_t(index)];
}

std::vector<Value> Recordset::rereadEditedRow()
{
    d->requireOpenSet();
    if (d->mode != EditMode::Edit)
        dberr::raise(dberr::UpdateWithoutEdit);
    std::vector<Value> values;
    std::vector<Value> stored;
    if (!d->keyed->readRow(d->editKey, values, &stored))
        dberr::raise(dberr::RecordDeleted);
    d->rereadValues = values;
    d->rereadStored = std::move(stored);
    return values;
}

void Recordset::restartEditOnRowReread()
{
    d->requireOpenSet();
    if (d->mode != EditMode::Edit || d->rereadValues.size() != d->buffer.size())
        dberr::raise(dberr::UpdateWithoutEdit);
    d->buffer = d->rereadValues;
    d->original = d->rereadValues;
    d->stored = d->rereadStored;
    d->forced.assign(d->buffer.size(), -1);
    // The row is shown as read now from here on, not as a page read before.
    d->keyed->forgetAll();
    d->resolved = false;
    d->firstRead.clear();
    d->keyed->unpin();
}

void Recordset::cancelUpdate()
{
    d->leaveEdit();
}

void Recordset::deleteRecord()
{
    d->requireOpenSet();
    if (!canUpdate())
        dberr::raise(dberr::ReadOnly);
    if (!d->hasCurrent())
        dberr::raise(dberr::NoCurrentRecord);
    Database::Impl &db = d->dbi();
    db.requireWritable();
    d->leaveEdit();
    const std::int64_t key = d->keyed->key(d->pos);
    WriteScope write(db.db, db.path);
    {
        Statement st = db.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(sqlvalues::quoteName(d->table)));
        st.bind(1, Value(key, FieldType::Long));
        st.run();
        if (sqlite3_changes(db.db) == 0)
            dberr::raise(dberr::RecordDeleted);
    }
    write.commit();
    d->keyed->remove(d->pos);
    d->gap = true;
    d->resolved = false;
    d->visited = qMax(0L, d->visited - 1);
}

Recordset::EditMode Recordset::editMode() const
{
    return d->mode;
}

void Recordset::moveToLastAdded()
{
    d->requireOpenSet();
    const int at = d->keyed && d->lastAdded >= 0 ? d->keyed->indexOf(d->lastAdded) : -1;
    if (at < 0)
        dberr::raise(dberr::NoCurrentRecord);
    d->pos = at;
    d->gap = false;
    d->moved();
}

Database &Recordset::database() const
{
    return d->database;
}

QString Recordset::updatableTable() const
{
    return d->keyed ? d->table : QString();
}

QString Recordset::baseColumn(int index) const
{
    return d->keyed ? d->baseColumns.value(qsizetype(index)) : QString();
}

int Recordset::pageTimeout()
{
    return g_pageTimeoutMs;
}

void Recordset::setPageTimeout(int milliseconds)
{
    g_pageTimeoutMs = milliseconds;
}

} // namespace platform
