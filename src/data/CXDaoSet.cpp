#include "app/base/WaitCursor.h"
#include "data/CXDaoSet.h"
#include "data/AnswersOutsideLock.h"
#include "data/QueryParameterPrompt.h"

#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "app/base/SqlText.h"
#include "app/base/TextUtil.h"
#include "app/base/Confirmation.h"
#include "app/base/DialogControls.h"
#include "app/base/TypedValue.h"
#include "data/DaoError.h"
#include "data/DatabaseOpening.h"
#include "data/SharedDatabase.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "platform/db/DbErrors.h"
#include "platform/db/SqlValues.h"

#include <cmath>
#include <algorithm>
#include <QtCore/QRegularExpression>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QTextEdit>

#include <limits>
#include <QtWidgets/QWidget>

#include <sqlite3.h>

#include <optional>
#include <vector>

using platform::DbException;
using platform::FieldType;
using platform::Recordset;
using platform::Value;
using MemberType = FieldExchange::MemberType;

namespace {

constexpr qint32 kNoSizeLimit = 2147483647;

template <typename T>
T &as(void *member)
{
    return *static_cast<T *>(member);
}

Value memberValue(MemberType type, void *member)
{
    switch (type) {
    case MemberType::Bool: return Value(as<bool>(member));
    case MemberType::Byte: return Value(std::int64_t(as<quint8>(member)), FieldType::Byte);
    case MemberType::Short: return Value(std::int64_t(as<qint16>(member)), FieldType::Integer);
    case MemberType::Long: return Value(std::int64_t(as<qint32>(member)), FieldType::Long);
    case MemberType::Single: return Value(as<float>(member));
    case MemberType::Double: return Value(as<double>(member));
    case MemberType::Currency: {
        const Money m = as<Money>(member);
        return m.isValid() ? Value(m) : Value::nullOf(FieldType::Currency);
    }
    case MemberType::Date: {
        const DateTime d = as<DateTime>(member);
        return d.isValid() ? Value(d) : Value::nullOf(FieldType::Date);
    }
    case MemberType::Text: return Value(as<QString>(member));
    }
    return Value();
}

// A Null column gives a number member 0 and an amount member zero, so no
// calculation ever sees a no-value pattern (a Null Round or Multiply would
// otherwise price at millions); the field itself remembers that it was Null
// (BoundField::isNull), so an untouched member is written back as Null.
void setMemberNull(MemberType type, void *member)
{
    switch (type) {
    case MemberType::Bool: as<bool>(member) = false; break;
    case MemberType::Byte: as<quint8>(member) = 0; break;
    case MemberType::Short: as<qint16>(member) = 0; break;
    case MemberType::Long: as<qint32>(member) = 0; break;
    case MemberType::Single: as<float>(member) = 0; break;
    case MemberType::Double: as<double>(member) = 0; break;
    case MemberType::Currency: as<Money>(member) = Money::zero(); break;
    case MemberType::Date: as<DateTime>(member) = DateTime::null(); break;
    case MemberType::Text: as<QString>(member).clear(); break;
    }
}

void setMember(MemberType type, void *member, const Value &value)
{
    if (value.isNull()) {
        setMemberNull(type, member);
        return;
    }
    switch (type) {
    case MemberType::Bool: as<bool>(member) = value.toBool(); break;
    case MemberType::Byte: as<quint8>(member) = quint8(value.toInt64()); break;
    case MemberType::Short: as<qint16>(member) = qint16(value.toInt64()); break;
    case MemberType::Long: as<qint32>(member) = qint32(value.toInt64()); break;
    case MemberType::Single: as<float>(member) = float(value.toDouble()); break;
    case MemberType::Double: as<double>(member) = value.toDouble(); break;
    case MemberType::Currency: as<Money>(member) = value.toMoney(); break;
    case MemberType::Date: as<DateTime>(member) = value.toDateTime(); break;
    case MemberType::Text: as<QString>(member) = value.toString(); break;
    }
}

// How a member is set straight from a cell as a snapshot holds it, exactly
// as setMember sets it from the cell's Value (sqlvalues::toValue in the
// field's type), for the pairs a row is mostly made of: a number member of
// its field's own type, a text, an amount, a Single. Chosen once when the
// column is bound; None (and a cell stored otherwise than the plan expects)
// takes the Value.
enum class HeldPlan : quint8 { None, Byte, Short, Long, Currency, Single, Text };

HeldPlan heldPlan(MemberType type, FieldType field)
{
    switch (type) {
    case MemberType::Byte: return field == FieldType::Byte ? HeldPlan::Byte : HeldPlan::None;
    case MemberType::Short: return field == FieldType::Integer ? HeldPlan::Short : HeldPlan::None;
    case MemberType::Long: return field == FieldType::Long ? HeldPlan::Long : HeldPlan::None;
    case MemberType::Currency: return field == FieldType::Currency ? HeldPlan::Currency : HeldPlan::None;
    case MemberType::Single: return field == FieldType::Single ? HeldPlan::Single : HeldPlan::None;
    case MemberType::Text:
        return field == FieldType::Text || field == FieldType::Memo ? HeldPlan::Text : HeldPlan::None;
    default: return HeldPlan::None;
    }
}

bool setMemberFromHeld(HeldPlan plan, void *member, const platform::sqlvalues::Stored &s)
{
    switch (s.storage) {
    case SQLITE_NULL:
        switch (plan) {
        case HeldPlan::None: return false;
        case HeldPlan::Byte: as<quint8>(member) = 0; return true;
        case HeldPlan::Short: as<qint16>(member) = 0; return true;
        case HeldPlan::Long: as<qint32>(member) = 0; return true;
        case HeldPlan::Currency: as<Money>(member) = Money::zero(); return true;
        case HeldPlan::Single: as<float>(member) = 0; return true;
        case HeldPlan::Text: as<QString>(member).clear(); return true;
        }
        return false;
    case SQLITE_INTEGER:
        switch (plan) {
        case HeldPlan::Byte: as<quint8>(member) = quint8(s.integer); return true;
        case HeldPlan::Short: as<qint16>(member) = qint16(s.integer); return true;
        case HeldPlan::Long: as<qint32>(member) = qint32(s.integer); return true;
        case HeldPlan::Currency: as<Money>(member) = Money::fromWhole(s.integer); return true;
        default: return false;
        }
    case SQLITE_FLOAT:
        if (plan != HeldPlan::Single)
            return false;
        as<float>(member) = float(s.real);
        return true;
    case SQLITE_TEXT:
        if (plan != HeldPlan::Text)
            return false;
        as<QString>(member) = QString::fromUtf8(s.bytes, s.size);
        return true;
    default: return false;
    }
}

// Whether a member stands for Null: a number, amount or text still at the
// empty value a Null field gave it, a date or amount without a valid status,
// and (for code written against the engine's no-value patterns) a number
// member set to its pattern.
bool memberMeansNull(MemberType type, void *member, bool wasNull)
{
    switch (type) {
    case MemberType::Bool: return false;
    case MemberType::Byte: return wasNull && as<quint8>(member) == 0;
    case MemberType::Short:
        return as<qint16>(member) == FieldExchange::kShortNull || (wasNull && as<qint16>(member) == 0);
    case MemberType::Long:
        return as<qint32>(member) == FieldExchange::kLongNull || (wasNull && as<qint32>(member) == 0);
    case MemberType::Single:
        return as<float>(member) == FieldExchange::kSingleNull || (wasNull && as<float>(member) == 0);
    case MemberType::Double:
        return as<double>(member) == FieldExchange::kDoubleNull || (wasNull && as<double>(member) == 0);
    case MemberType::Currency: return !as<Money>(member).isValid() || (wasNull && as<Money>(member).isZero());
    case MemberType::Date: return !as<DateTime>(member).isValid();
    case MemberType::Text: return wasNull && as<QString>(member).isEmpty();
    }
    return false;
}

bool isNumberMember(MemberType type)
{
    return type != MemberType::Bool && type != MemberType::Date && type != MemberType::Text;
}

// Exact comparison of a member's value with its remembered one.
bool sameValue(const Value &a, const Value &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    switch (a.type()) {
    case FieldType::Text:
    case FieldType::Memo:
        return a.toString() == b.toString();
    case FieldType::Currency:
        return a.toMoney().units() == b.toMoney().units();
    case FieldType::Date:
        return a.toDateTime().toOle() == b.toDateTime().toOle();
    case FieldType::Single:
    case FieldType::Double:
        return a.toDouble() == b.toDouble();
    default:
        return a.toInt64() == b.toInt64();
    }
}

// A field's value as a member of the type shows it (a Null stays Null).
Value asMemberValue(MemberType type, const Value &value)
{
    if (value.isNull())
        return Value();
    switch (type) {
    case MemberType::Bool: { bool m = false; setMember(type, &m, value); return memberValue(type, &m); }
    case MemberType::Byte: { quint8 m = 0; setMember(type, &m, value); return memberValue(type, &m); }
    case MemberType::Short: { qint16 m = 0; setMember(type, &m, value); return memberValue(type, &m); }
    case MemberType::Long: { qint32 m = 0; setMember(type, &m, value); return memberValue(type, &m); }
    case MemberType::Single: { float m = 0; setMember(type, &m, value); return memberValue(type, &m); }
    case MemberType::Double: { double m = 0; setMember(type, &m, value); return memberValue(type, &m); }
    case MemberType::Currency: { Money m; setMember(type, &m, value); return memberValue(type, &m); }
    case MemberType::Date: { DateTime m; setMember(type, &m, value); return memberValue(type, &m); }
    case MemberType::Text: { QString m; setMember(type, &m, value); return memberValue(type, &m); }
    }
    return value;
}

// A value as the question about a field both users changed shows it.
QString conflictText(const Value &value)
{
    return QLatin1Char('"') + (value.isNull() ? QString() : VariantToText(value)) + QLatin1Char('"');
}

// A column's name in words, as a message names the field: a capital after
// a small letter or digit, or a capital before a small letter after
// capitals, starts a word ("CreditLimit" "Credit Limit", "GroupID"
// "Group ID", "SRepNo" "SRep No").
QString columnInWords(const QString &column)
{
    QString words;
    for (int i = 0; i < column.size(); ++i) {
        const QChar c = column.at(i);
        if (i > 0 && c.isUpper()) {
            const QChar before = column.at(i - 1);
            const bool nextSmall = i + 1 < column.size() && column.at(i + 1).isLower();
            if (before.isLower() || before.isDigit() || (before.isUpper() && nextSmall && i > 1))
                words += QLatin1Char(' ');
        }
        words += c;
    }
    return words;
}

// "[No]", "Taxes.[No]" and "Taxes.No" all name the result column "No".
QString resultColumnName(const QString &column)
{
    // The usual spelling, a bare name, is the result column's name as it stands.
    bool bare = !column.isEmpty() && !column.front().isSpace() && !column.back().isSpace();
    for (qsizetype i = 0; bare && i < column.size(); ++i) {
        const QChar c = column.at(i);
        bare = c != QLatin1Char('[') && c != QLatin1Char(']') && c != QLatin1Char('.');
    }
    if (bare)
        return column;
    QString name = column.trimmed();
    int cut = -1;
    bool inBrackets = false;
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c == QLatin1Char('['))
            inBrackets = true;
        else if (c == QLatin1Char(']'))
            inBrackets = false;
        else if (c == QLatin1Char('.') && !inBrackets)
            cut = i;
    }
    if (cut >= 0)
        name = name.mid(cut + 1);
    if (name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']')))
        name = name.mid(1, name.size() - 2);
    return name;
}

// A statement (as opposed to a table or saved query name).
bool isStatement(const QString &source)
{
    const QString head = source.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
    return head == QLatin1String("SELECT") || head == QLatin1String("TRANSFORM")
        || head == QLatin1String("PARAMETERS");
}

const QString kBusyMessage = QStringLiteral(
    "Your database or network may be busy.\nWait a moment, and then try the operation again.\n\n"
    "If this error persists, re-start Tavrel.");

} // namespace

struct CXDaoSet::BoundField
{
    QString column;
    MemberType type = MemberType::Long;
    void *member = nullptr;
    int index = -1;          // position in the engine's result
    bool autoNumber = false;
    bool isNull = false;
    bool dirty = false;
    Value cache;             // the member when the edit or add started
    bool cacheNull = false;
    HeldPlan heldPlan = HeldPlan::None;
    FieldExchange::Hook hook = FieldExchange::Hook::None;
};

struct CXDaoSet::Binding
{
    std::vector<BoundField> fields;
    // The current row as the snapshot holds it, while the members are
    // filled from it (empty otherwise).
    std::vector<platform::sqlvalues::Stored> held;
    bool fromHeld = false;
    // Fields set over what the user was shown (SetFieldValueOverShown),
    // while the record is edited.
    std::vector<std::pair<int, Value>> shown;
    // Columns named as their window labels them (SetFieldCaption), each
    // with how the window shows its values (SetFieldShownAs) when it has
    // its own way.
    struct Caption
    {
        QString column;
        QString caption;
        std::function<QString(const Value &)> shownAs;
    };
    std::vector<Caption> captions;
};

CXDaoSet::CXDaoSet(platform::Database *database)
    : m_pDatabase(database), m_binding(std::make_unique<Binding>())
{
}

CXDaoSet::~CXDaoSet()
{
    if (m_set && m_set->isOpen()) {
        try {
            m_set->close();
        } catch (const DbException &) {
            // closing never reports
        }
    }
}

// ---------------------------------------------------------------------------
// Overridables

QString CXDaoSet::GetDefaultDBName() const
{
    return DatabaseFileName();
}

QString CXDaoSet::GetDefaultSQL() const
{
    return QString();
}

void CXDaoSet::DoFieldExchange(FieldExchange *)
{
}

void CXDaoSet::ResetFields()
{
}

// ---------------------------------------------------------------------------
// Opening and closing

void CXDaoSet::Open(int openType, const QString &sql, int options)
{
    Q_UNUSED(options);
    // What a failure is shown with is worked out only when one comes.
    openSource(openType, sql.isEmpty() ? GetDefaultSQL() : sql, m_filterValues, [&] {
        return sql.isEmpty() ? QStringLiteral("Could not open ") + GetDefaultSQL()
                             : QStringLiteral("Could not run query:\n\n") + JoinFromWhere(sql, QStringLiteral("\r\n\r\n"));
    });
}

bool CXDaoSet::openSource(int openType, const QString &source, const QList<platform::Value> &parameters,
                          const std::function<QString()> &context)
{
    if (!m_pDatabase)
        m_pDatabase = &SharedDatabase();
    if (!m_pDatabase->isOpen() && !OpenDatabase(m_pDatabase))
        return false;
    if (IsOpen())
        Close();

    const int type = openType == kDefaultType ? m_nDefaultType : openType;
    try {
        auto set = std::make_unique<Recordset>(*m_pDatabase);
        set->setFilter(m_strFilter);
        set->setSort(m_strSort);
        set->open(type == dbOpenSnapshot ? Recordset::Type::Snapshot : Recordset::Type::Dynaset, source, parameters);
        m_set = std::move(set);
        m_source = source;
        bindColumns();
        m_strSQL = buildSql(source);
        loadCurrentRow();
        return true;
    } catch (const DbException &e) {
        m_set.reset();
        m_binding->fields.clear();
        m_nFields = 0;
        ShowDaoError(e, context());
        platform::Prompt::messageBox(kBusyMessage);
        return false;
    }
}

namespace {

QString tableForMessages(const QString &defaultSql, const QString &source);

platform::Database &queryDatabase(platform::Database *database)
{
    return database ? *database : SharedDatabase();
}

} // namespace

bool CXDaoSet::QueryDefExists(const QString &name, platform::Database *database)
{
    return queryDatabase(database).queryExists(name);
}

QString CXDaoSet::GetQueryDefSQL(const QString &name, platform::Database *database)
{
    return queryDatabase(database).queryText(name);
}

void CXDaoSet::CreateQueryDef(const QString &name, const QString &sql, platform::Database *database)
{
    platform::Database &db = queryDatabase(database);
    db.checkQuery(sql);
    db.createQuery(name, sql);
}

void CXDaoSet::SetQueryDefSQL(const QString &name, const QString &sql, platform::Database *database)
{
    platform::Database &db = queryDatabase(database);
    db.queryText(name); // 3265 when there is no such query
    db.checkQuery(sql);
    db.setQuerySql(name, sql);
}

void CXDaoSet::DeleteQueryDef(const QString &name, platform::Database *database)
{
    queryDatabase(database).deleteQuery(name);
}

QStringList CXDaoSet::GetQueryDefNames(const QList<int> &types, platform::Database *database)
{
    QStringList names;
    for (const platform::Database::QueryDefInfo &q : queryDatabase(database).queryDefs()) {
        if (types.contains(q.type))
            names.append(q.name);
    }
    return names;
}

bool CXDaoSet::OpenQueryDef(const QString &name, int openType)
{
    if (!m_pDatabase)
        m_pDatabase = &SharedDatabase();
    if (!m_pDatabase->isOpen() && !OpenDatabase(m_pDatabase))
        return false;
    QList<platform::Value> parameters;
    try {
        if (!AskQueryParameters(*m_pDatabase, name, parameters))
            return false;
    } catch (const DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot execute Query ") + name);
        return false;
    }
    return openSource(openType, name, parameters, [&] { return QStringLiteral("Cannot execute Query ") + name; });
}

void CXDaoSet::Close()
{
    if (!IsOpen())
        return;
    std::unique_ptr<Recordset> set = std::move(m_set);
    set->close();
}

bool CXDaoSet::IsOpen() const
{
    return m_set && m_set->isOpen();
}

bool CXDaoSet::IsEmptySet() const
{
    return !usable() || (m_set->isEOF() && m_set->isBOF());
}

platform::Recordset &CXDaoSet::set() const
{
    if (!current())
        platform::dberr::raise(platform::dberr::ObjectInvalid);
    return *m_set;
}

// Posting and compaction close the shared database and open it again; a set
// kept across commands (a view's own set, a window's, a cache's) would then
// read and write through a connection that is gone. Every use of a set comes
// here first: a set that outlived its connection reads its rows again
// through the connection open now, on the row it stood on while that row is
// still there, and its members follow. An edit pending when the database
// closed went with it. A database that stayed closed is opened again
// through the opening sequence first, by an operation on the set; a question
// about the set (is it empty, can it be updated) does not open it.
bool CXDaoSet::current(bool openClosedDatabase) const
{
    if (!IsOpen())
        return false;
    if (!m_set->outlivedConnection())
        return true;
    if (!openClosedDatabase && !m_pDatabase->isOpen())
        return false;
    openDatabaseAgain();
    m_set->reconnect();
    // The members are the row's, as after any move: refreshing them is what
    // reading the set means, also for a caller that only reads.
    const_cast<CXDaoSet *>(this)->loadCurrentRow();
    return true;
}

void CXDaoSet::openDatabaseAgain() const
{
    if (m_pDatabase->isOpen())
        return;
    // Only the shop's own database is found and opened by the opening
    // sequence; any other stays as its owner left it.
    if (m_pDatabase != &SharedDatabase() || !OpenDatabase(m_pDatabase))
        platform::dberr::raise(platform::dberr::ObjectInvalid);
}

// The statement as the set shows it to the user: a table becomes a SELECT of
// its bound columns; the filter and the sort follow as WHERE and ORDER BY.
QString CXDaoSet::buildSql(const QString &source) const
{
    QString text;
    if (isStatement(source)) {
        text = source.trimmed();
    } else {
        // SELECT a,b,c FROM source, made in one piece.
        const std::vector<BoundField> &fields = m_binding->fields;
        qsizetype size = 16 + source.size() + m_strFilter.size() + m_strSort.size() + 16;
        for (const BoundField &f : fields)
            size += f.column.size() + 1;
        text.reserve(size);
        text += QLatin1String("SELECT ");
        if (fields.empty())
            text += QLatin1Char('*');
        for (size_t i = 0; i < fields.size(); ++i) {
            if (i > 0)
                text += QLatin1Char(',');
            text += fields[i].column;
        }
        text += QLatin1String(" FROM ");
        text += source;
    }
    if (!m_strFilter.isEmpty())
        text += QStringLiteral(" WHERE ") + m_strFilter;
    if (!m_strSort.isEmpty())
        text += QStringLiteral(" ORDER BY ") + m_strSort;
    return text;
}

// ---------------------------------------------------------------------------
// The column exchange

void CXDaoSet::runExchange(FieldExchange::Operation op, const void *onlyMember)
{
    // Binding asks the table class for its list, and a row is loaded through
    // it (a class may work out more from the row). Every other step is the
    // same for each bound column whatever the class, and goes down the bound
    // columns themselves.
    std::vector<BoundField> &fields = m_binding->fields;
    if (op == FieldExchange::BindField || op == FieldExchange::Fixup || fields.empty()) {
        FieldExchange fx(op, this, onlyMember);
        DoFieldExchange(&fx);
        return;
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        BoundField &field = fields[i];
        if (field.hook != FieldExchange::Hook::None)
            runHook(op, int(i), field.column, field.hook, field.member);
        exchangeBound(op, field, onlyMember);
    }
    m_nLastDfxOp = op;
}

void CXDaoSet::runHook(FieldExchange::Operation op, int position, const QString &column, FieldExchange::Hook hook,
                       void *member)
{
    const bool marking = op == FieldExchange::MarkForAddNew || op == FieldExchange::MarkForEdit;
    switch (hook) {
    case FieldExchange::Hook::None: break;
    case FieldExchange::Hook::SingleNoNull:
        // Never the no-value pattern: it reads as 0 from this step on.
        if (as<float>(member) == FieldExchange::kSingleNull)
            as<float>(member) = 0;
        break;
    case FieldExchange::Hook::LongNoNull:
        if (marking) {
            if (as<qint32>(member) == FieldExchange::kLongNull)
                as<qint32>(member) = 0;
            // A Null in the row is written as the 0 the member shows.
            if (BoundField *field = boundFieldAt(position, member); field && field->isNull) {
                field->isNull = false;
                field->dirty = true;
            }
        }
        break;
    case FieldExchange::Hook::TextLimit:
        // A text too long for its column is stored cut.
        if (marking) {
            const qint32 size = GetFieldSize(column);
            if (as<QString>(member).size() > size)
                as<QString>(member).truncate(size);
        }
        break;
    }
}

void CXDaoSet::bindColumns()
{
    m_binding->fields.clear();
    runExchange(FieldExchange::BindField);
    m_nFields = int(m_binding->fields.size());
}

int CXDaoSet::resolveIndex(const QString &name) const
{
    const int index = set().fieldIndex(resultColumnName(name));
    if (index < 0)
        throw DbException(3265, QStringLiteral("Item not found in this collection."));
    return index;
}

bool CXDaoSet::fixupFromHeld(int position, void *member)
{
    const Binding &binding = *m_binding;
    if (!binding.fromHeld || unsigned(position) >= binding.fields.size())
        return false;
    BoundField &field = m_binding->fields[size_t(position)];
    if (field.member != member || unsigned(field.index) >= binding.held.size())
        return false;
    const platform::sqlvalues::Stored &cell = binding.held[size_t(field.index)];
    if (!setMemberFromHeld(field.heldPlan, member, cell))
        return false;
    field.isNull = cell.storage == SQLITE_NULL;
    field.dirty = false;
    return true;
}

void CXDaoSet::exchangeField(FieldExchange &fx, int position, const QString &column, MemberType type, void *member,
                             FieldExchange::Hook hook)
{
    std::vector<BoundField> &fields = m_binding->fields;
    if (fx.operation() == FieldExchange::BindField) {
        BoundField f;
        f.column = column;
        f.type = type;
        f.member = member;
        f.index = resolveIndex(column);
        f.autoNumber = set().fieldIsAutoNumber(f.index);
        f.heldPlan = heldPlan(type, set().fieldType(f.index));
        f.hook = hook;
        fields.push_back(f);
        return;
    }
    if (position < 0 || position >= int(fields.size()) || fields[position].member != member)
        return; // not bound (the set is closed)
    exchangeBound(fx.operation(), fields[position], fx.onlyMember());
}

void CXDaoSet::exchangeBound(FieldExchange::Operation op, BoundField &field, const void *onlyMember)
{
    const MemberType type = field.type;
    void *const member = field.member;
    switch (op) {
    case FieldExchange::Fixup: {
        const Value v = m_set->value(field.index);
        setMember(type, member, v);
        field.isNull = v.isNull();
        field.dirty = false;
        break;
    }
    case FieldExchange::StoreField:
        field.cache = memberValue(type, member);
        field.cacheNull = field.isNull;
        break;
    case FieldExchange::LoadField:
        if (field.cacheNull)
            setMemberNull(type, member);
        else
            setMember(type, member, field.cache);
        field.isNull = field.cacheNull;
        field.dirty = false;
        break;
    case FieldExchange::SetFieldNull:
        if (!onlyMember || onlyMember == member) {
            setMemberNull(type, member);
            field.isNull = true;
        }
        break;
    case FieldExchange::MarkForAddNew:
    case FieldExchange::MarkForEdit:
        if (!field.dirty && m_bCheckCacheForDirtyFields && !sameValue(memberValue(type, member), field.cache))
            field.dirty = true;
        if (field.dirty)
            field.isNull = memberMeansNull(type, member, field.isNull);
        break;
    case FieldExchange::SetDirtyField: {
        // AutoNumber columns are numbered by the engine and never written. A
        // new record gets every member that holds a value; an edited one only
        // the changed members.
        if (field.autoNumber)
            break;
        const bool adding = m_set->editMode() == Recordset::EditMode::Add;
        const bool null = field.dirty ? field.isNull : memberMeansNull(type, member, field.isNull);
        if (field.dirty || (adding && !null))
            m_set->setValue(field.index, null ? Value() : memberValue(type, member));
        break;
    }
    case FieldExchange::BindField:
        break;
    }
}

void CXDaoSet::loadCurrentRow()
{
    if (m_nFields > 0 && IsOpen() && !m_set->isEOF() && !m_set->isBOF() && m_set->hasCurrentRow()) {
        // A snapshot's row is taken as it is held, field by field, without a
        // Value for each.
        Binding &binding = *m_binding;
        binding.fromHeld = m_set->heldCurrentRow(binding.held);
        struct Done
        {
            Binding &binding;
            ~Done() { binding.fromHeld = false; }
        } done{binding};
        runExchange(FieldExchange::Fixup);
    }
}

void CXDaoSet::markDirtyFields()
{
    if (m_nFields == 0 || !IsOpen())
        return;
    runExchange(GetEditMode() == dbEditAdd ? FieldExchange::MarkForAddNew : FieldExchange::MarkForEdit);
}

void CXDaoSet::refuseTextsTooLong()
{
    // A text longer than its column fails the write; the failure names the
    // column and its size rather than only the engine's "field is too small".
    // A number its column cannot hold (a count of 32 bits in a column of 8
    // or 16, an amount past the largest the program takes) fails the same
    // way, naming the field: it is never cut or wrapped to fit.
    const bool adding = GetEditMode() == dbEditAdd;
    const auto nameOf = [this](const BoundField &f) {
        QString name = f.column;
        name.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
        for (const auto &caption : m_binding->captions)
            if (caption.column.compare(name, Qt::CaseInsensitive) == 0 && !caption.caption.isEmpty())
                return caption.caption;
        return name;
    };
    for (const BoundField &f : m_binding->fields) {
        if (!(f.dirty || adding))
            continue;
        switch (f.type) {
        case MemberType::Text: {
            const QString &text = as<QString>(f.member);
            const int size = set().fieldSize(f.index);
            if (size > 0 && set().fieldType(f.index) == FieldType::Text && text.size() > size) {
                QString name = f.column;
                name.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
                throw DbException(platform::dberr::FieldTooSmall, FieldMessage(name, TextLengthMessage(size)));
            }
            break;
        }
        case MemberType::Short:
        case MemberType::Long: {
            // Only a column narrower than the member can be passed.
            const FieldType column = set().fieldType(f.index);
            if (column != FieldType::Byte && column != FieldType::Integer)
                break;
            const qint64 value = f.type == MemberType::Long ? as<qint32>(f.member) : as<qint16>(f.member);
            const qint64 lowest = column == FieldType::Byte ? 0 : -32768;
            const qint64 highest = column == FieldType::Byte ? 255 : 32767;
            if (value < lowest || value > highest)
                throw DbException(platform::dberr::NumericOverflow,
                                  FieldMessage(nameOf(f), QStringLiteral("Please enter a number from %1 to %2.")
                                                              .arg(lowest)
                                                              .arg(FormatFixedPoint(highest, 0, true))));
            break;
        }
        case MemberType::Currency: {
            const Money amount = as<Money>(f.member);
            if (amount.isValid() && !IsWithinLargestAmount(amount.units()))
                throw DbException(platform::dberr::NumericOverflow,
                                  QStringLiteral("\"%1\" cannot be %2 than %3, the largest amount it holds.")
                                      .arg(nameOf(f), amount.units() > 0 ? QStringLiteral("more") : QStringLiteral("less"),
                                           FormatFixedPoint((amount.units() > 0 ? kLargestAmountUnits : -kLargestAmountUnits)
                                                                / Money::kUnitsPerCent,
                                                            2, true)));
            break;
        }
        default:
            break;
        }
    }
}

void CXDaoSet::writeDirtyFields()
{
    if (m_nFields > 0)
        runExchange(FieldExchange::SetDirtyField);
}

void CXDaoSet::SetFieldCaption(const QString &column, const QString &caption)
{
    for (auto &named : m_binding->captions)
        if (named.column.compare(column, Qt::CaseInsensitive) == 0) {
            named.caption = caption;
            return;
        }
    m_binding->captions.push_back({column, caption, {}});
}

void CXDaoSet::SetFieldShownAs(const QString &column, const std::function<QString(const Value &)> &shownAs)
{
    for (auto &named : m_binding->captions)
        if (named.column.compare(column, Qt::CaseInsensitive) == 0) {
            named.shownAs = shownAs;
            return;
        }
    m_binding->captions.push_back({column, QString(), shownAs});
}

void CXDaoSet::SetFieldShownAs(const void *member, const std::function<QString(const Value &)> &shownAs)
{
    if (const BoundField *f = boundFieldFor(member))
        SetFieldShownAs(resultColumnName(f->column), shownAs);
}

qint64 CXDaoSet::GetRowKey() const
{
    return m_set ? qint64(m_set->currentRowKey()) : -1;
}

QSet<qint64> CXDaoSet::GetStoredNumbers(int index) const
{
    QSet<qint64> numbers;
    if (!m_set || index < 0 || index >= m_set->fieldCount())
        return numbers;
    const QString table = m_set->updatableTable();
    const QString column = m_set->baseColumn(index);
    if (table.isEmpty() || column.isEmpty())
        return numbers;
    platform::Recordset rows(m_set->database());
    rows.open(platform::Recordset::Type::Snapshot,
              QStringLiteral("SELECT [%1] FROM [%2] WHERE [%1] Is Not Null").arg(column, table));
    for (; !rows.isEOF(); rows.moveNext())
        numbers.insert(qint64(rows.value(0).toInt64()));
    return numbers;
}

void CXDaoSet::SetFieldCaption(const void *member, const QString &caption)
{
    // Named as the engine's result names the column ("[Name2]" is "Name2").
    if (const BoundField *f = boundFieldFor(member))
        SetFieldCaption(resultColumnName(f->column), caption);
}

QString CXDaoSet::ColumnInWords(const QString &column)
{
    return columnInWords(column);
}

CXDaoSet::BoundField *CXDaoSet::boundFieldFor(const void *member) const
{
    for (BoundField &f : m_binding->fields)
        if (f.member == member)
            return &f;
    return nullptr;
}

CXDaoSet::BoundField *CXDaoSet::boundFieldAt(int position, const void *member) const
{
    std::vector<BoundField> &fields = m_binding->fields;
    if (unsigned(position) < fields.size() && fields[size_t(position)].member == member)
        return &fields[size_t(position)];
    return boundFieldFor(member);
}

// ---------------------------------------------------------------------------
// Engine operations

bool CXDaoSet::IsEOF() const { return set().isEOF(); }
bool CXDaoSet::IsBOF() const { return set().isBOF(); }
bool CXDaoSet::CanUpdate() const { return usable() && m_set->canUpdate(); }
bool CXDaoSet::CanAppend() const { return usable() && m_set->canAppend(); }
bool CXDaoSet::CanRestart() const { return IsOpen(); }
int CXDaoSet::GetRecordCount() const { return int(set().recordCount()); }

bool CXDaoSet::usable() const
{
    try {
        return current(false);
    } catch (const DbException &) {
        return false; // a set that could not read its rows again has none
    }
}

int CXDaoSet::GetEditMode() const
{
    if (!usable())
        return dbEditNone;
    switch (m_set->editMode()) {
    case Recordset::EditMode::Edit: return dbEditInProgress;
    case Recordset::EditMode::Add: return dbEditAdd;
    case Recordset::EditMode::None: break;
    }
    return dbEditNone;
}

void CXDaoSet::MoveFirst() { set().moveFirst(); loadCurrentRow(); }
void CXDaoSet::MoveNext() { set().moveNext(); loadCurrentRow(); }
void CXDaoSet::MovePrev() { set().movePrev(); loadCurrentRow(); }
void CXDaoSet::MoveLast() { set().moveLast(); loadCurrentRow(); }

bool CXDaoSet::FindFirst(const QString &criteria)
{
    const bool found = set().findFirst(criteria);
    if (found)
        loadCurrentRow();
    return found;
}

bool CXDaoSet::FindNext(const QString &criteria)
{
    const bool found = set().findNext(criteria);
    if (found)
        loadCurrentRow();
    return found;
}

void CXDaoSet::Requery()
{
    if (!IsOpen())
        platform::dberr::raise(platform::dberr::ObjectInvalid);
    // Read anew whether or not the set outlived its connection.
    openDatabaseAgain();
    Recordset &rs = *m_set;
    rs.setFilter(m_strFilter);
    // A saved query's own parameters stay as they were given at opening.
    if (!m_filterValues.isEmpty())
        rs.setParameters(m_filterValues);
    rs.setSort(m_strSort);
    rs.requery();
    m_strSQL = buildSql(m_source);
    loadCurrentRow();
}

void CXDaoSet::AddNew()
{
    startNewRecord();
    runExchange(FieldExchange::StoreField);
}

void CXDaoSet::startNewRecord()
{
    Recordset &rs = set();
    rs.addNew();
    m_binding->shown.clear();
    if (m_binding->fields.empty()) {
        runExchange(FieldExchange::SetFieldNull);
        return;
    }
    // Every member Null, in one pass with what a new record changes next.
    for (BoundField &f : m_binding->fields) {
        setMemberNull(f.type, f.member);
        f.isNull = true;
        // The engine numbers a new record at once; its members show that number.
        if (f.autoNumber)
            setMember(f.type, f.member, rs.value(f.index));
        // A new record's numbers start at 0 and are written as such; only
        // code that makes one Null (SetFieldNull) writes Null.
        if (isNumberMember(f.type))
            f.isNull = false;
    }
    m_nLastDfxOp = FieldExchange::SetFieldNull;
}

void CXDaoSet::Edit()
{
    set().edit();
    m_binding->shown.clear();
    for (BoundField &f : m_binding->fields)
        f.dirty = false;
    runExchange(FieldExchange::StoreField);
}

void CXDaoSet::Update()
{
    Recordset &rs = set();
    if (rs.editMode() == Recordset::EditMode::None)
        throw DbException(3020, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    markDirtyFields();
    refuseTextsTooLong();
    writeDirtyFields();
    rs.update();
    for (BoundField &f : m_binding->fields)
        f.dirty = false;
    loadCurrentRow();
}

bool CXDaoSet::updateAsRead()
{
    // A field typed over a value other than the one the edit read: another
    // workstation saved in between, settled before anything is written.
    bool changedInBetween = false;
    if (GetEditMode() == dbEditInProgress)
        for (const auto &[index, shown] : m_binding->shown)
            changedInBetween = changedInBetween || !sameValue(shown, set().valueAsRead(index));
    if (!changedInBetween) {
        try {
            Update();
            m_binding->shown.clear();
            return true;
        } catch (const DbException &e) {
            if (e.number() != platform::dberr::WriteConflict || GetEditMode() != dbEditInProgress)
                throw;
        }
    } else {
        markDirtyFields();
        refuseTextsTooLong();
    }
    const bool saved = saveOntoRowNow();
    if (saved)
        m_binding->shown.clear();
    return saved;
}

bool CXDaoSet::saveOntoRowNow()
{
    Recordset &rs = set();
    // What this user changed, each with the value it had when the user read
    // the row and the value typed: the bound members the save found
    // changed, and the fields set directly.
    struct Change
    {
        int index = -1;
        BoundField *field = nullptr;
        Value seen;
        Value mine;     // as the member holds it (bound) or as set
        bool mineNull = false;
    };
    std::vector<Change> changes;
    const int count = rs.fieldCount();
    std::vector<bool> bound(size_t(count), false);
    for (BoundField &f : m_binding->fields) {
        if (unsigned(f.index) < unsigned(count))
            bound[size_t(f.index)] = true;
        if (!f.dirty || f.autoNumber)
            continue;
        Change c;
        c.index = f.index;
        c.field = &f;
        c.seen = f.cacheNull ? Value() : f.cache;
        c.mineNull = memberMeansNull(f.type, f.member, f.isNull);
        c.mine = memberValue(f.type, f.member);
        changes.push_back(c);
    }
    for (int i = 0; i < count; ++i) {
        if (bound[size_t(i)] || !rs.isFieldDirty(i))
            continue;
        Change c;
        c.index = i;
        c.seen = rs.valueAsRead(i);
        for (const auto &[index, shown] : m_binding->shown)
            if (index == i)
                c.seen = shown;
        c.mine = rs.value(i);
        c.mineNull = c.mine.isNull();
        changes.push_back(c);
    }

    // Another workstation can save again while this one settles: each round
    // reads the row anew, and writes only over the row it read.
    constexpr int kRounds = 5;
    for (int round = 1;; ++round) {
        const std::vector<Value> now = rs.rereadEditedRow();
        // Which of this user's changes the other user changed too, to
        // something else: those are put to the user.
        enum Take { Mine, Theirs, Asked };
        std::vector<Take> take(changes.size(), Mine);
        QStringList lines;
        for (size_t k = 0; k < changes.size(); ++k) {
            const Change &c = changes[k];
            const Value nowValue = c.field ? asMemberValue(c.field->type, now[size_t(c.index)]) : now[size_t(c.index)];
            const Value mineValue = c.mineNull ? Value() : c.mine;
            // A member that only stops being Null (a number read as Null and
            // written as the 0 it shows) is no change of the user's over a
            // value someone has stored since.
            if (c.field && c.seen.isNull() && sameValue(c.mine, c.field->cache) && !nowValue.isNull()) {
                take[k] = Theirs;
                continue;
            }
            if (sameValue(nowValue, c.seen) || sameValue(nowValue, mineValue))
                continue;
            take[k] = Asked;
            const QString column = rs.fieldName(c.index);
            QString name = columnInWords(column);
            std::function<QString(const Value &)> shownAs;
            for (const auto &caption : m_binding->captions)
                if (caption.column.compare(column, Qt::CaseInsensitive) == 0) {
                    if (!caption.caption.isEmpty())
                        name = caption.caption;
                    shownAs = caption.shownAs;
                }
            if (shownAs)
                lines.append(BothChangedLine(name, shownAs(nowValue), shownAs(mineValue)));
            else
                lines.append(BothChangedLine(name, nowValue, mineValue));
        }
        bool keepMine = true;
        if (!lines.isEmpty()) {
            // Inside a save's transaction the question waits until the
            // transaction has rolled back (see AnswersOutsideLock): it is
            // this row's, with these values.
            QString key = tableForMessages(GetDefaultSQL(), m_source);
            for (const BoundField &f : m_binding->fields)
                if (f.autoNumber)
                    key += QLatin1Char('#') + conflictText(f.cacheNull ? Value() : f.cache);
            key += QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
            const int answer = AnswersOutsideLock::Answer(queryDatabase(m_pDatabase), key,
                                                          [lines] { return AskAboutBothChanged(lines); });
            if (answer != platform::IDYES && answer != platform::IDNO)
                return false;
            keepMine = answer == platform::IDYES;
        }
        // The edit starts again from the row as it is now; this user's
        // changes go onto it, and no field this user left alone is written.
        rs.restartEditOnRowReread();
        for (size_t k = 0; k < changes.size(); ++k) {
            const Change &c = changes[k];
            const bool mine = take[k] == Mine || (take[k] == Asked && keepMine);
            if (BoundField *f = c.field) {
                if (mine) {
                    setMember(f->type, f->member, c.mine);
                    f->isNull = c.mineNull;
                    f->dirty = true;
                } else {
                    const Value &theirs = now[size_t(c.index)];
                    setMember(f->type, f->member, theirs);
                    f->isNull = theirs.isNull();
                    f->dirty = false;
                }
            } else if (mine) {
                rs.setValue(c.index, c.mine);
            }
        }
        writeDirtyFields();
        try {
            rs.update();
        } catch (const DbException &e) {
            if (e.number() != platform::dberr::WriteConflict || round >= kRounds)
                throw;
            continue;
        }
        for (BoundField &f : m_binding->fields)
            f.dirty = false;
        loadCurrentRow();
        return true;
    }
}

QString CXDaoSet::BothChangedLine(const QString &field, const Value &theirs, const Value &mine)
{
    return field + QStringLiteral(": the other user's ") + conflictText(theirs) + QStringLiteral(", yours ")
        + conflictText(mine);
}

QString CXDaoSet::BothChangedLine(const QString &field, const QString &theirs, const QString &mine)
{
    return field + QStringLiteral(": the other user's \"") + theirs + QStringLiteral("\", yours \"") + mine
        + QLatin1Char('"');
}

int CXDaoSet::AskAboutBothChanged(const QStringList &lines)
{
    return platform::Prompt::messageBox(
        QStringLiteral("Another user has saved this record since you opened it, and changed the same %1:\n\n")
                .arg(lines.size() == 1 ? QStringLiteral("field") : QStringLiteral("fields"))
            + lines.join(QLatin1Char('\n'))
            + QStringLiteral("\n\nSave what you typed over it?\n\nYes saves yours, No keeps the other "
                             "user's; your other changes are saved either way. Cancel saves nothing now."),
        QStringLiteral("Saved by another user"), platform::MB_YESNOCANCEL | platform::MB_ICONEXCLAMATION);
}

void CXDaoSet::CancelUpdate()
{
    set().cancelUpdate();
    m_binding->shown.clear();
    if (m_nFields > 0) {
        runExchange(FieldExchange::LoadField);
        loadCurrentRow();
    }
}

void CXDaoSet::Delete()
{
    set().deleteRecord();
}

int CXDaoSet::GetFieldCount() const { return set().fieldCount(); }
QString CXDaoSet::GetFieldName(int index) const { return set().fieldName(index); }
platform::FieldType CXDaoSet::GetFieldType(int index) const { return set().fieldType(index); }

int CXDaoSet::GetFieldIndex(const QString &name) const
{
    return IsOpen() ? m_set->fieldIndex(resultColumnName(name)) : -1;
}

Value CXDaoSet::GetFieldValue(int index) const { return set().value(index); }
Value CXDaoSet::GetFieldValue(const QString &name) const { return set().value(resultColumnName(name)); }
void CXDaoSet::SetFieldValue(int index, const Value &value) { set().setValue(index, value); }
void CXDaoSet::SetFieldValue(const QString &name, const Value &value) { set().setValue(resultColumnName(name), value); }
void CXDaoSet::SetFieldValueNull(int index) { set().setValue(index, Value()); }

void CXDaoSet::SetFieldValueOverShown(int index, const Value &value, const Value &shown)
{
    set().setValue(index, value);
    m_binding->shown.emplace_back(index, shown);
}

void CXDaoSet::SetFieldValueOverShown(const void *member, const Value &shown)
{
    BoundField *f = boundFieldFor(member);
    if (!f || GetEditMode() != dbEditInProgress)
        return;
    // What the user was shown becomes what the edit read for this member:
    // the save writes the member when it differs from it, and settles it
    // against the row as it is now as any change of the user's.
    if (shown.isNull()) {
        // As a Null column leaves a member: at its empty value, known as Null.
        const auto emptyOf = [](MemberType type) {
            switch (type) {
            case MemberType::Bool: { bool m = false; setMemberNull(type, &m); return memberValue(type, &m); }
            case MemberType::Byte: { quint8 m = 0; setMemberNull(type, &m); return memberValue(type, &m); }
            case MemberType::Short: { qint16 m = 0; setMemberNull(type, &m); return memberValue(type, &m); }
            case MemberType::Long: { qint32 m = 0; setMemberNull(type, &m); return memberValue(type, &m); }
            case MemberType::Single: { float m = 0; setMemberNull(type, &m); return memberValue(type, &m); }
            case MemberType::Double: { double m = 0; setMemberNull(type, &m); return memberValue(type, &m); }
            case MemberType::Currency: { Money m; setMemberNull(type, &m); return memberValue(type, &m); }
            case MemberType::Date: { DateTime m; setMemberNull(type, &m); return memberValue(type, &m); }
            case MemberType::Text: { QString m; setMemberNull(type, &m); return memberValue(type, &m); }
            }
            return Value();
        };
        f->cache = emptyOf(f->type);
        f->cacheNull = true;
    } else {
        f->cache = asMemberValue(f->type, shown);
        f->cacheNull = false;
    }
    m_binding->shown.emplace_back(f->index, shown);
}

// ---------------------------------------------------------------------------
// Status of bound members

void CXDaoSet::SetFieldDirty(const void *member, bool dirty)
{
    for (BoundField &f : m_binding->fields)
        if (!member || f.member == member)
            f.dirty = dirty;
}

void CXDaoSet::SetFieldNull(const void *member, bool null)
{
    // Null: the member takes its no-value pattern and is written as Null.
    // Not Null: the member's own value is written when it changes.
    if (null)
        runExchange(FieldExchange::SetFieldNull, member);
    for (BoundField &f : m_binding->fields) {
        if (member && f.member != member)
            continue;
        f.isNull = null;
        if (null)
            f.dirty = true;
    }
}

bool CXDaoSet::IsFieldDirty(const void *member)
{
    if (GetEditMode() != dbEditNone)
        markDirtyFields();
    for (const BoundField &f : m_binding->fields)
        if ((!member || f.member == member) && f.dirty)
            return true;
    return false;
}

bool CXDaoSet::IsFieldNull(const void *member) const
{
    for (const BoundField &f : m_binding->fields)
        if ((!member || f.member == member) && f.isNull)
            return true;
    return false;
}

bool CXDaoSet::HasDirtyFields()
{
    if (!IsOpen())
        return false;
    if (IsFieldDirty(nullptr))
        return true;
    const int count = m_set->fieldCount();
    for (int i = 0; i < count; ++i)
        if (m_set->isFieldDirty(i))
            return true;
    return false;
}

// ---------------------------------------------------------------------------
// Guarded record operations

namespace {

// The table a refusal names: the set's own, or for a set opened on a
// statement the table after its FROM.
QString tableForMessages(const QString &defaultSql, const QString &source)
{
    if (!defaultSql.isEmpty())
        return defaultSql;
    static const QRegularExpression from(QStringLiteral("\\bFROM\\s+(\\[[^\\]]+\\]|[A-Za-z_][A-Za-z0-9_]*)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = from.match(source);
    if (m.hasMatch()) {
        QString name = m.captured(1);
        if (name.startsWith(QLatin1Char('[')))
            name = name.mid(1, name.size() - 2);
        return name;
    }
    return source.trimmed().contains(QLatin1Char(' ')) ? QString() : source.trimmed();
}

} // namespace

bool CXDaoSet::SafeAddNew(const QString &context)
{
    Q_UNUSED(context); // failures name the set's table
    m_strFilter.clear();
    m_filterValues.clear();
    m_strSort.clear();
    if (!IsOpen()) {
        Open(kDefaultType);
        if (!IsOpen())
            return false;
    }
    if (!CanAppend()) {
        refusedAsReadOnly(QStringLiteral("Cannot add ") + tableForMessages(GetDefaultSQL(), m_source));
        return false;
    }
    try {
        // AddNew without remembering the members it leaves: they are
        // remembered once reset, just below.
        startNewRecord();
        ResetFields();
        // The defaults are what a new record starts from: only what is
        // changed after them counts as a change (all of it is written).
        runExchange(FieldExchange::StoreField);
        return true;
    } catch (const DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot add ") + tableForMessages(GetDefaultSQL(), m_source));
        return false;
    }
}

bool CXDaoSet::readOnlyDatabase() const
{
    return m_pDatabase && m_pDatabase->isOpen() && m_pDatabase->isReadOnly();
}

bool CXDaoSet::refusedAsReadOnly(const QString &context)
{
    return RefusedAsReadOnly(m_pDatabase, context);
}

bool CXDaoSet::changedSinceRead()
{
    if (!IsOpen() || m_nFields == 0)
        return false;
    runExchange(FieldExchange::MarkForEdit);
    for (const BoundField &f : m_binding->fields)
        if (f.dirty)
            return true;
    return false;
}

bool CXDaoSet::SafeEdit(const QString &context)
{
    Q_UNUSED(context); // failures name the set's table
    if (!CanUpdate()) {
        refusedAsReadOnly(QStringLiteral("Cannot edit ") + tableForMessages(GetDefaultSQL(), m_source));
        return false;
    }
    try {
        Edit();
        return true;
    } catch (const DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot edit ") + tableForMessages(GetDefaultSQL(), m_source));
        return false;
    }
}

bool CXDaoSet::SafeUpdate(const QString &context)
{
    if (readOnlyDatabase() && GetEditMode() == dbEditNone) {
        if (!changedSinceRead())
            return true;
        refusedAsReadOnly(QStringLiteral("Cannot save ") + context);
        return false;
    }
    try {
        // Another user's save meanwhile, settled, and the user chose to
        // save nothing now: the edit stays as it is, nothing to report.
        return updateAsRead();
    } catch (const DbException &e) {
        try {
            if (GetEditMode() != dbEditNone)
                CancelUpdate();
        } catch (const DbException &) {
            // the buffer is gone either way
        }
        ShowDaoError(e, QStringLiteral("Cannot save ") + context);
        return false;
    }
}

bool CXDaoSet::SaveRecord(unsigned beepType, const QString &context)
{
    Q_UNUSED(context); // failures name the set's table
    if (!CanUpdate()) {
        if (!readOnlyDatabase())
            return false;
        if (!changedSinceRead())
            return true; // only read: nothing to write
        refusedAsReadOnly(QStringLiteral("Cannot save ") + tableForMessages(GetDefaultSQL(), m_source));
        return false;
    }
    const int mode = GetEditMode();
    if (mode == dbEditNone)
        return false;
    if (!HasDirtyFields())
        return true;
    try {
        if (!updateAsRead())
            return false; // nothing saved now, as the user chose; the edit stays open
        if (mode == dbEditAdd) {
            m_set->moveToLastAdded();
            loadCurrentRow();
        }
    } catch (const DbException &e) {
        try {
            if (GetEditMode() != dbEditNone)
                CancelUpdate();
        } catch (const DbException &) {
        }
        ShowDaoError(e, QStringLiteral("Cannot save ") + tableForMessages(GetDefaultSQL(), m_source));
        return false;
    }
    SafeEdit();
    if (beepType != 0)
        platform::Prompt::beep();
    return true;
}

bool CXDaoSet::SaveNewRecord(qint32 &number, const std::function<qint32()> &nextNumber, unsigned beepType)
{
    if (!IsOpen() || GetEditMode() != dbEditAdd)
        return SaveRecord(beepType);
    const qint32 numberBefore = number;
    // Another workstation's row can hold a number only once: a number that
    // comes back after a collision is not tried again.
    constexpr int kTries = 20;
    qint32 collided = 0;
    bool saved = false;
    {
        // Failures are shown once the write is undone, never while the
        // database is held.
        DeferredDaoErrors deferred;
        std::optional<DbException> failure;
        for (int attempt = 0; attempt < kTries && !saved; ++attempt) {
            qint32 tried = 0;
            try {
                platform::Transaction transaction(*m_pDatabase);
                tried = nextNumber();
                if (tried == 0)
                    failure.reset(); // said by nextNumber
                if (tried == 0 || tried == collided)
                    break;
                number = tried;
                Update();
                m_set->moveToLastAdded();
                loadCurrentRow();
                transaction.commit();
                saved = true;
            } catch (const DbException &e) {
                failure = e;
                number = numberBefore;
                // Only a number taken meanwhile is worth another try, and only
                // while the new record is still there to write.
                if (e.number() != platform::dberr::DuplicateKey || tried == 0 || GetEditMode() != dbEditAdd)
                    break;
                collided = tried;
            }
        }
        if (!saved) {
            number = numberBefore;
            if (failure)
                ShowDaoError(*failure, QStringLiteral("Cannot save ") + tableForMessages(GetDefaultSQL(), m_source));
        }
    }
    if (!saved)
        return false;
    SafeEdit();
    if (beepType != 0)
        platform::Prompt::beep();
    return true;
}

bool CXDaoSet::DeleteWithConfirm(const QString &action)
{
    if (!CanUpdate()) {
        refusedAsReadOnly(QStringLiteral("Cannot delete ") + tableForMessages(GetDefaultSQL(), m_source));
        return false;
    }
    if (!ConfirmAction(action))
        return false;
    try {
        Delete();
        if (!IsEOF()) // the set is at its end at once when its last row went
            MoveNext();
        if (IsEOF())
            runExchange(FieldExchange::SetFieldNull);
        return true;
    } catch (const DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot delete ") + tableForMessages(GetDefaultSQL(), m_source));
        return false;
    }
}

bool CXDaoSet::DeleteAllWithConfirm(const QString &action)
{
    if (!CanUpdate()) {
        refusedAsReadOnly(QStringLiteral("Cannot delete ") + tableForMessages(GetDefaultSQL(), m_source));
        return false;
    }
    if (!ConfirmAction(action))
        return false;

    std::optional<DbException> failure;
    {
        WaitCursor wait;
        try {
            platform::Transaction transaction(*m_pDatabase);
            while (!IsEOF()) {
                Delete();
                if (!IsEOF())
                    MoveNext();
            }
            transaction.commit();
        } catch (const DbException &e) {
            failure = e;
        }
    }
    if (failure) {
        // Nothing was deleted: show the rows again as they are.
        try {
            Requery();
        } catch (const DbException &) {
        }
        ShowDaoError(*failure, QStringLiteral("Cannot delete ") + tableForMessages(GetDefaultSQL(), m_source));
        return false;
    }
    if (m_nFields > 0)
        runExchange(FieldExchange::SetFieldNull);
    return true;
}

bool CXDaoSet::RequeryOrOpen(bool edit, const QString &context)
{
    Q_UNUSED(context); // failures name the set's table
    try {
        if (IsOpen()) {
            if (!CanRestart())
                return false;
            Requery();
        } else {
            Open(kDefaultType);
            if (!IsOpen())
                return false;
        }
        if (IsEmptySet())
            return false;
        if (edit && readOnlyDatabase()) {
            // Shown for reading: what the members hold now is what a later
            // save compares them with.
            for (BoundField &f : m_binding->fields)
                f.dirty = false;
            runExchange(FieldExchange::StoreField);
            return true;
        }
        return edit ? SafeEdit() : true;
    } catch (const DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot requery ") + tableForMessages(GetDefaultSQL(), m_source));
        return false;
    }
}

bool CXDaoSet::FindByField(const QString &field, qint32 value)
{
    m_strFilter = QStringLiteral("%1 = %2").arg(field).arg(value);
    m_strSort.clear();
    return RequeryOrOpen(false);
}

// ---------------------------------------------------------------------------
// Queries

int CXDaoSet::CountRecords()
{
    if (IsEmptySet())
        return 0;
    int count = 0;
    try {
        MoveLast();
        count = GetRecordCount();
        MoveFirst();
    } catch (const DbException &) {
        // counting never reports
    }
    return count;
}

int CXDaoSet::AskSaveChanges(int mode)
{
    const int editMode = GetEditMode();
    if (editMode == dbEditNone || m_nFields == 0)
        return 0;

    QString question = QStringLiteral("Do you want to save the ");
    if (m_bCheckCacheForDirtyFields)
        markDirtyFields();
    question += editMode == dbEditInProgress ? QStringLiteral("changes?") : QStringLiteral("new record?");

    QString names;
    for (const BoundField &f : m_binding->fields) {
        if (!f.dirty)
            continue;
        if (mode == 0)
            return platform::IDYES;
        AppendText(names, m_set->fieldName(f.index), QStringLiteral(", "));
    }
    if (names.isEmpty() && mode != 2)
        return 0;
    if (ListsChangedFieldsWhenAsking())
        question += QStringLiteral("\n") + names;
    return platform::Prompt::messageBox(question, QString(),
                                        platform::MB_YESNOCANCEL | platform::MB_ICONEXCLAMATION);
}

// ---------------------------------------------------------------------------
// Typed field access

qint32 CXDaoSet::ValueToLong(const Value &value)
{
    if (value.isNull())
        return 0;
    switch (value.type()) {
    case FieldType::Integer: return qint16(value.toInt64());
    case FieldType::Long: return qint32(value.toInt64());
    // A number past a Long is held at its limit, never wrapped into another
    // (an amount of money read as a Long is whole cents).
    case FieldType::Single:
    case FieldType::Double: {
        const double d = std::trunc(value.toDouble()); // toward zero
        return std::isnan(d) ? 0 : d >= 2147483647.0 ? INT32_MAX : d <= -2147483648.0 ? INT32_MIN : qint32(d);
    }
    case FieldType::Currency:
        return qint32(std::clamp<qint64>(value.toMoney().units() / Money::kUnitsPerCent, INT32_MIN, INT32_MAX));
    case FieldType::Text:
    case FieldType::Memo: return ToInt(value.toString());
    case FieldType::Boolean: return value.toBool() ? -1 : 0;
    case FieldType::Byte: return qint32(value.toInt64() & 0xFF);
    default: return 0;
    }
}

void CXDaoSet::GetFieldDate(int index, DateTime &out) const
{
    const Value v = GetFieldValue(index);
    out = v.isNull() || v.type() == FieldType::Empty ? DateTime::null() : v.toDateTime();
}

void CXDaoSet::GetFieldCurrency(int index, Money &out) const
{
    const Value v = GetFieldValue(index);
    out = v.isNull() ? Money::null() : v.toMoney();
}

void CXDaoSet::GetFieldByte(int index, quint8 &out) const
{
    out = quint8(ValueToLong(GetFieldValue(index)) & 0xFF);
}

void CXDaoSet::GetFieldLong(int index, qint32 &out) const
{
    out = ValueToLong(GetFieldValue(index));
}

qint32 CXDaoSet::GetLong(int index) const
{
    qint32 value = 0;
    GetFieldLong(index, value);
    return value;
}

void CXDaoSet::GetFieldLongByName(const QString &name, qint32 &out) const
{
    const Value v = GetFieldValue(name);
    out = v.isNull() ? 0 : qint32(v.toInt64());
}

qint32 CXDaoSet::GetLongByName(const QString &name) const
{
    qint32 value = 0;
    GetFieldLongByName(name, value);
    return value;
}

void CXDaoSet::GetFieldString(int index, QString &out) const
{
    out = VariantToText(GetFieldValue(index));
}

void CXDaoSet::GetFieldStringByName(const QString &name, QString &out) const
{
    out = VariantToText(GetFieldValue(name));
}

QString CXDaoSet::GetStringByName(const QString &name) const
{
    QString text;
    GetFieldStringByName(name, text);
    return text;
}

void CXDaoSet::GetFieldText(int index, QString &out, bool oneLine) const
{
    const Value v = GetFieldValue(index);
    if (!v.isNull() && (v.type() == FieldType::Text || v.type() == FieldType::Memo)) {
        out = v.toString();
        if (oneLine)
            out.replace(QStringLiteral("\r\n"), QStringLiteral("  \u00B7  "));
        return;
    }
    out = VariantToText(v);
}

void CXDaoSet::SetFieldFromLong(int index, qint32 value)
{
    switch (GetFieldType(index)) {
    case FieldType::Boolean:
    case FieldType::Byte:
        SetFieldValue(index, Value(std::int64_t(quint8(value & 0xFF)), FieldType::Byte));
        break;
    case FieldType::Integer:
    case FieldType::Long:
        SetFieldValue(index, Value(std::int64_t(value), FieldType::Long));
        break;
    case FieldType::Currency:
    case FieldType::Single:
    case FieldType::Double:
        SetFieldValue(index, Value(Money::fromCents(value)));
        break;
    case FieldType::Date:
        SetFieldValue(index, Value(DateTime::fromDateTime(platform::Clock::now())));
        break;
    default:
        break; // texts and other types are left alone
    }
}

qint32 CXDaoSet::GetFieldSize(const QString &name) const
{
    const int index = GetFieldIndex(name);
    if (index < 0 && !IsOpen())
        return tableColumnSize(name);
    if (index < 0)
        return kNoSizeLimit;
    try {
        const FieldType type = m_set->fieldType(index);
        if (type == FieldType::Memo)
            return kNoSizeLimit; // a memo has no defined size
        const int size = m_set->fieldSize(index);
        return isTextType(type) && size <= 0 ? kNoSizeLimit : size;
    } catch (const DbException &) {
        return kNoSizeLimit;
    }
}

qint32 CXDaoSet::tableColumnSize(const QString &name) const
{
    // A set not open yet reads the size from its table's definition.
    const auto bare = [](QString text) { return text.remove(QLatin1Char('[')).remove(QLatin1Char(']')).trimmed(); };
    const QString table = bare(GetDefaultSQL());
    if (table.isEmpty() || table.contains(QLatin1Char(' ')))
        return kNoSizeLimit;
    try {
        platform::Database &db = m_pDatabase ? *m_pDatabase : SharedDatabase();
        if (!db.isOpen())
            return kNoSizeLimit;
        const platform::TableDef def = db.tableDef(table);
        const platform::FieldDef *field = def.field(bare(name));
        if (!field || field->type != FieldType::Text || field->size <= 0)
            return kNoSizeLimit;
        return field->size;
    } catch (const DbException &) {
        return kNoSizeLimit;
    }
}

// ---------------------------------------------------------------------------
// Length checks

bool CXDaoSet::CheckFieldLength(const QString &field, const QString &text, bool show) const
{
    const qint32 limit = GetFieldSize(field);
    if (text.size() <= limit)
        return false;
    if (show) {
        platform::Prompt::messageBox(
            QStringLiteral("The '%1' field is too long.\n\nIt has %2 characters: %3\nLimit is %4 characters.")
                .arg(field)
                .arg(text.size())
                .arg(text)
                .arg(limit));
    }
    return true;
}

bool CXDaoSet::CheckDlgItemLength(const QString &field, QWidget *dialog, int controlId, bool show) const
{
    QWidget *control = GetDlgItem(dialog, unsigned(controlId));
    if (!control)
        return false;
    QString text;
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        text = edit->text();
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(control))
        text = plain->toPlainText();
    else if (auto *rich = qobject_cast<QTextEdit *>(control))
        text = rich->toPlainText();
    else if (auto *combo = qobject_cast<QComboBox *>(control))
        text = combo->currentText();
    else
        text = control->windowTitle();
    if (!CheckFieldLength(field, text, show))
        return false;
    control->setFocus();
    return true;
}

// ---------------------------------------------------------------------------
// SQL parts

void CXDaoSet::SplitSQL()
{
    m_strSqlHead = m_strSQL;
    SplitAtKey(m_strSqlHead, m_strSqlPivot, QStringLiteral(" PIVOT "));
    SplitAtKey(m_strSqlHead, m_strSqlOrderBy, QStringLiteral(" ORDER BY "));
    SplitAtKey(m_strSqlHead, m_strSqlHaving, QStringLiteral(" HAVING "));
    SplitAtKey(m_strSqlHead, m_strSqlGroupBy, QStringLiteral(" GROUP BY "));
    SplitAtKey(m_strSqlHead, m_strSqlWhere, QStringLiteral(" WHERE "));
    SplitAtKey(m_strSqlHead, m_strSqlFrom, QStringLiteral(" FROM "));
}

QString CXDaoSet::GetWhereText(const QString &prefix)
{
    SplitSQL();
    QString where = m_strSqlWhere;
    static const QString kWhere = QStringLiteral(" where ");
    const int at = FindNoCase(where, kWhere);
    if (at >= 0)
        where = where.mid(at + kWhere.size());
    where.remove(QLatin1Char('#'));
    return prefix + where;
}

void CXDaoSet::ShowWhereText(const QString &prefix)
{
    platform::Prompt::messageBox(GetWhereText(prefix), QString(), platform::MB_OK | platform::MB_ICONINFORMATION);
}

// ---------------------------------------------------------------------------
// Module helpers

qint32 CXDaoSet::GetNextNumber(const QString &sql, platform::Database *database)
{
    CXDaoSet numbers(database);
    numbers.Open(dbOpenDynaset, sql);
    qint32 value = 0;
    if (!numbers.IsEmptySet())
        numbers.GetFieldLong(0, value);
    return NumberAfter(value);
}

qint32 CXDaoSet::NumberAfter(qint64 last)
{
    if (last < std::numeric_limits<qint32>::max())
        return qint32(last + 1);
    platform::Prompt::messageBox(NoNumberLeftText(), QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    return 0;
}

QString CXDaoSet::NoNumberLeftText()
{
    return QStringLiteral("No new number can be given: 2147483647, the largest number there may be, is taken.");
}

bool CXDaoSet::CopyRows(const QString &sql, qint32 newValue, int keyIndex)
{
    CXDaoSet source;
    source.Open(dbOpenDynaset, sql);
    if (source.IsEmptySet())
        return false;
    const int count = source.GetFieldCount();

    CXDaoSet copy;
    copy.Open(dbOpenDynaset, sql);
    if (!copy.IsOpen() || !copy.SafeAddNew())
        return false;
    try {
        for (int i = 0; i < count; ++i) {
            // An AutoNumber keeps the number the new row was given.
            if (i != keyIndex && !copy.m_set->fieldIsAutoNumber(i))
                copy.SetFieldValue(i, source.GetFieldValue(i));
        }
        copy.SetFieldValue(keyIndex, Value(std::int64_t(newValue), FieldType::Long));
    } catch (const DbException &e) {
        try {
            copy.CancelUpdate();
        } catch (const DbException &) {
        }
        ShowDaoError(e, QStringLiteral("Cannot save "));
        return false;
    }
    return copy.SafeUpdate();
}
