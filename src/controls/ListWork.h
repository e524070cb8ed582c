#pragma once

#include <QtCore/QElapsedTimer>
#include <QtCore/QString>

#include <cstdint>
#include <functional>
#include <memory>

class CXProgress;

// A long pass over the rows of a list on the window's thread (sorting,
// printing, exporting): for its first moment nothing shows; then the
// progress window shows its title, a bar over the whole work and the rows
// done, and handles the window's events every few thousand rows, so the
// program keeps drawing itself and the window's Stop ends the work.
class ListWork
{
public:
    // title: the window's title line; work: the units of the whole work
    // (rows, or rows times the passes over them); rows: the rows of the list.
    ListWork(const QString &title, std::int64_t work, std::int64_t rows);
    ~ListWork();
    ListWork(const ListWork &) = delete;
    ListWork &operator=(const ListWork &) = delete;

    // The work has come to done units, row of its rows in the present pass.
    // Cheap between two looks at the window. False once the user stopped.
    bool At(std::int64_t done, std::int64_t row)
    {
        if (!m_stopped && done < m_next && m_spent < kLettersPerLook)
            return true;
        return look(done, row);
    }
    // A unit that costs more than most (a comparison of two long texts
    // read whole): the letters it went through. Once their sum is large
    // the next At looks at the window even between two of its units, so
    // that a pass over long texts answers as often as one over short ones.
    void Spend(std::int64_t letters) { m_spent += letters; }
    // The message line, once the window shows (the phase of the work).
    void SetMessage(const QString &text);
    // The rows the count line counts, for a phase over other rows.
    void SetRows(std::int64_t rows) { m_rows = rows; }
    bool Stopped() const { return m_stopped; }
    // Whether the progress window came up.
    bool Shown() const { return m_progress != nullptr; }

    // How long the work runs before its window shows, in milliseconds
    // (300 unless set).
    static void SetQuietTime(int ms);
    static int QuietTime();
    // Gives the system back the memory the program freed: the many small
    // pieces a long pass reads (a column's texts) are otherwise kept by the
    // allocator for the process. Done as a pass ends.
    static void GiveBackFreedMemory();
    // The rows of a pass long enough to give back its memory as it ends.
    static constexpr std::int64_t kLongPass = 50000;
    // The units of work between two looks at the clock and the window.
    static constexpr std::int64_t kUnit = 4096;
    // The letters spent between two looks at the clock.
    static constexpr std::int64_t kLettersPerLook = std::int64_t(1) << 20;
    // The window is looked at no more often than this between two of its
    // steps (a look handles the window's events).
    static constexpr int kLookEveryMs = 40;

private:
    bool look(std::int64_t done, std::int64_t row);

    QString m_title;
    QString m_message;
    std::int64_t m_work = 0;
    std::int64_t m_rows = 0;
    std::int64_t m_next = 0; // the units at which to look again
    std::int64_t m_spent = 0; // the letters spent since the last look
    qint64 m_lookedAt = 0;   // the clock when the window last handled its events
    int m_stepped = 0;       // the window's steps taken, one per kUnit
    bool m_stopped = false;
    QElapsedTimer m_clock;
    std::unique_ptr<CXProgress> m_progress;
};
