#include "production/schedule/ScheduleRow.h"

#include <functional>

int ScheduleRow::Texts::add(const QString &text)
{
    // A string rows share is known by where its characters lie: the pool
    // holds it, so that place cannot be taken by another text meanwhile.
    // Strings without a counted block of their own (literals) are kept as
    // given, and so is a text only its giver holds (one made for this row,
    // shown by no other): it would only take a shared one's place.
    const void *data = text.constData();
    bool shared = text.data_ptr().isMutable();
    if (shared && !m_known && m_texts.size() < kKnownFrom) {
        // The few texts of a row on its own are looked through.
        for (int place = 0; place < m_texts.size(); ++place)
            if (m_texts[place].constData() == data && m_texts[place].size() == text.size())
                return place;
        shared = false;
    } else if (shared && text.data_ptr().isShared()) {
        if (!m_known) {
            m_known = std::make_unique<std::array<Known, kKnown>>();
            for (int place = 0; place < m_texts.size(); ++place)
                remember(place);
        }
        const Known &known = (*m_known)[slot(data)];
        if (known.data == data && m_texts[known.place].size() == text.size())
            return known.place;
    } else {
        shared = false;
    }
    m_texts.append(text);
    const int place = int(m_texts.size()) - 1;
    if (shared)
        remember(place);
    return place;
}

size_t ScheduleRow::Texts::slot(const void *data)
{
    // Strings' blocks lie at least 16 bytes apart.
    return (std::hash<const void *>()(data) >> 4) % kKnown;
}

void ScheduleRow::Texts::remember(int place)
{
    const QString &text = m_texts[place];
    if (text.data_ptr().isMutable())
        (*m_known)[slot(text.constData())] = {text.constData(), place};
}

ScheduleRow::SharedTexts ScheduleRow::NewTexts()
{
    return SharedTexts(new Texts);
}

const ScheduleRow::Cell *ScheduleRow::cell(int column) const
{
    if (column < 0 || column >= m_size)
        return nullptr;
    return column < kFixedCells ? &m_cells[size_t(column)] : &m_more[column - kFixedCells];
}

ScheduleRow::Cell &ScheduleRow::cellFor(int column)
{
    resize(column + 1);
    return column < kFixedCells ? m_cells[size_t(column)] : m_more[column - kFixedCells];
}

QString ScheduleRow::text(int column) const
{
    const Cell *c = cell(column);
    if (!c || c->what == Empty)
        return QString();
    if (c->what == Number)
        return QString::number(c->value);
    return m_texts->at(c->value);
}

bool ScheduleRow::hasText(int column) const
{
    const Cell *c = cell(column);
    return c && c->what != Empty;
}

int ScheduleRow::image(int column) const
{
    const Cell *c = cell(column);
    return c ? c->image : -1;
}

QStringList ScheduleRow::texts() const
{
    QStringList all;
    all.reserve(m_size);
    for (int c = 0; c < m_size; ++c)
        all.append(text(c));
    return all;
}

void ScheduleRow::resize(int columns)
{
    if (columns <= m_size)
        return;
    if (columns > kFixedCells)
        m_more.resize(columns - kFixedCells);
    m_size = columns;
}

void ScheduleRow::set(int column, const QString &text, int image)
{
    setText(column, text);
    setImage(column, image);
}

void ScheduleRow::setNumber(int column, qint64 number, int image)
{
    // Keys and numbers of the lists are whole numbers of the file's Long
    // fields; a wider one is kept as its text.
    if (number < INT32_MIN || number > INT32_MAX) {
        set(column, QString::number(number), image);
        return;
    }
    Cell &c = cellFor(column);
    c.what = Number;
    c.value = std::int32_t(number);
    c.image = std::int16_t(image);
}

void ScheduleRow::setText(int column, const QString &text)
{
    Cell &c = cellFor(column);
    if (text.isEmpty()) {
        c.what = Empty;
        c.value = 0;
        return;
    }
    if (!m_texts)
        m_texts = NewTexts();
    c.value = m_texts->add(text);
    c.what = Text;
}

void ScheduleRow::setImage(int column, int image)
{
    cellFor(column).image = std::int16_t(image);
}

void ScheduleRow::insertColumns(int at, int count)
{
    if (count <= 0 || at < 0 || at > m_size)
        return;
    const int old = m_size;
    resize(m_size + count);
    for (int c = old - 1; c >= at; --c)
        cellFor(c + count) = *cell(c);
    for (int c = at; c < at + count; ++c)
        cellFor(c) = Cell();
}
