#pragma once

#include <QString>

#include <functional>
#include <optional>

// One value a window showed and its user typed over, written only over the
// value as it is stored now. Another workstation may have saved it since it
// was shown: to the same value or left as shown, the typing is written; to
// something else, the user is asked ("Saved by another user", by the value's
// label, both values as the window shows them) with the file free, and
// decides. The answer holds while the value stays as asked about; saved
// again meanwhile, it is asked about again. Each round reads the value anew
// inside its own write, so nothing saved in between is written over.
class OneValueOverNow
{
public:
    // inWrite runs its body as one write transaction: false when the write
    // failed (the failure already shown).
    using InWrite = std::function<bool(const std::function<void()> &body)>;

    OneValueOverNow(QString label, InWrite inWrite);

    // Writes `typed` (through `write`, inside the write) unless the stored
    // value, read by `readNow` inside the same write, is another user's to be
    // kept. readNow gives nothing when the row is gone: nothing is written.
    // True when the typing, or the other user's value as chosen, stands
    // stored; false when nothing was written, with *cancelled set when the
    // user chose Cancel.
    template <typename T>
    bool Save(const T &shown, const T &typed, const std::function<std::optional<T>()> &readNow,
              const std::function<void()> &write, const std::function<QString(const T &)> &shownAs,
              bool *cancelled) const;

private:
    // Put to the user with the file free: true with keepMine set on Yes
    // (mine) or No (theirs), false on Cancel.
    bool ask(const QString &theirs, const QString &mine, bool &keepMine) const;

    static constexpr int kRounds = 5;
    QString m_label;
    InWrite m_inWrite;
};

template <typename T>
bool OneValueOverNow::Save(const T &shown, const T &typed, const std::function<std::optional<T>()> &readNow,
                           const std::function<void()> &write, const std::function<QString(const T &)> &shownAs,
                           bool *cancelled) const
{
    if (cancelled)
        *cancelled = false;
    if (typed == shown)
        return true; // left as shown: what is stored now stays
    std::optional<T> askedAbout;
    bool keepMine = true;
    for (int round = 0; round < kRounds; ++round) {
        std::optional<T> toAsk;
        bool found = false;
        const bool ok = m_inWrite([&] {
            const std::optional<T> now = readNow();
            found = now.has_value();
            if (!found)
                return;
            if (*now != shown && *now != typed) {
                if (!askedAbout || *askedAbout != *now) {
                    toAsk = *now;
                    return; // nothing written: asked first
                }
                if (!keepMine)
                    return; // the other user's value stays
            }
            write();
        });
        if (!ok || !found)
            return false;
        if (!toAsk)
            return true;
        if (!ask(shownAs(*toAsk), shownAs(typed), keepMine)) {
            if (cancelled)
                *cancelled = true;
            return false;
        }
        askedAbout = toAsk;
    }
    return false;
}
