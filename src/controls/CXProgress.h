#pragma once

#include <QtCore/QString>

#include <functional>
#include <memory>

// What a long load needs of the cancellable progress window: the controls
// start it with a total, step it once per record and leave their loop when a
// step answers false (the user stopped). The progress window of the
// application implements it and registers itself as the factory; without one
// the controls get a window that is never shown and never cancels.
class CXProgress
{
public:
    virtual ~CXProgress() = default;

    // Shows the window; "%s" in the title stands for the total, grouped in
    // thousands.
    virtual void Start(int total, const QString &title, bool showBar, bool cancellable,
                       const QString &line = QString()) = 0;
    // One step; an empty text lets the window count ("3 of 10 "). Returns false
    // once the user has stopped, and always false when the window is not running.
    virtual bool Step(const QString &text = QString()) = 0;
    // Replaces the message line; with step also advances by one.
    virtual void SetMessage(const QString &text, bool step = false) = 0;
    virtual bool IsRunning() const = 0;
    // A look at the window without a step, while one step takes long (a
    // long statement): it repaints and its Stop is answered. Returns false
    // once the user has stopped.
    virtual bool Look() { return IsRunning(); }
    // Told while the window asks whether to stop (true as the question comes
    // up, false once it is answered): a loop that runs on by itself beside
    // the window holds still meanwhile.
    virtual void SetQuestionHook(std::function<void(bool asking)> /*hook*/) {}

    using Factory = std::function<std::unique_ptr<CXProgress>()>;
    // The application registers its progress window here; an empty factory
    // restores the silent one.
    static void SetFactory(Factory factory);
    static std::unique_ptr<CXProgress> Create();
};
