#pragma once

#include <QtCore/QExplicitlySharedDataPointer>
#include <QtCore/QList>
#include <QtCore/QSharedData>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <array>
#include <cstdint>
#include <memory>

// One row of a schedule list, as the list control shows it. The key is the
// JobID of an order row and the ItemID of an item or service row; heading
// and spacer rows have key 0. The kind ('O' order, 'I' item, 'S' service,
// '-' anything else) is also told by the icons of the fixed columns.
//
// A list holds tens of thousands of rows, most of whose cells are empty or
// show a text many rows show alike (a customer, a date, a status). So a cell
// is small and fixed: its picture and either a whole number, shown as its
// decimal text, or the place of its text among texts the rows of a list
// share. Rows made for one list share those texts (Texts); a row changed on
// its own adds its new text there and leaves the other rows as they were.
class ScheduleRow
{
public:
    // The texts of the rows of one list, each kept once: a text given again
    // as the same string (one that rows share) gets the place it has.
    class Texts : public QSharedData
    {
    public:
        int add(const QString &text);
        const QString &at(int place) const { return m_texts[place]; }

    private:
        struct Known
        {
            const void *data = nullptr;
            int place = -1;
        };
        static constexpr int kKnown = 1024;
        static constexpr int kKnownFrom = 16;
        static size_t slot(const void *data);
        void remember(int place);
        QList<QString> m_texts;
        std::unique_ptr<std::array<Known, kKnown>> m_known;
    };
    using SharedTexts = QExplicitlySharedDataPointer<Texts>;
    // A new pool of texts for the rows of one list.
    static SharedTexts NewTexts();

    ScheduleRow() = default;
    // A row whose texts go to the list's pool.
    explicit ScheduleRow(const SharedTexts &texts) : m_texts(texts) {}

    // The columns the row has (it grows to the last column set).
    int size() const { return m_size; }
    QString text(int column) const;
    bool hasText(int column) const;
    // The picture (an index of the list's images, below 32768); -1 none
    // (also past the row's columns).
    int image(int column) const;
    // Every column's text.
    QStringList texts() const;

    // Grows the row to at least columns (new cells empty, without picture).
    void resize(int columns);
    // Sets a cell's text and picture, growing the row to it.
    void set(int column, const QString &text, int image = -1);
    // The same for a whole number shown as its decimal text.
    void setNumber(int column, qint64 number, int image = -1);
    void setText(int column, const QString &text);
    void setImage(int column, int image);
    // Puts count empty cells in before column at.
    void insertColumns(int at, int count);

private:
    enum : std::uint8_t { Empty = 0, Text = 1, Number = 2 };
    struct Cell
    {
        std::int32_t value = 0; // the text's place, or the number
        std::int16_t image = -1;
        std::uint8_t what = Empty;
    };
    // The fixed columns of the lists are kept in the row; the item status
    // tracker's further status columns beside it.
    static constexpr int kFixedCells = 16;

    const Cell *cell(int column) const;
    Cell &cellFor(int column);

    std::array<Cell, kFixedCells> m_cells{};
    QList<Cell> m_more;
    SharedTexts m_texts;

public:
    // Kept after the cells: the row is then 176 bytes with no gaps to fill.
    qint64 key = 0;
    char kind = '-';

private:
    int m_size = 0;
};
