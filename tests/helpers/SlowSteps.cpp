// Loaded into the real program by the tests that give it input during a long
// run (LD_PRELOAD): every pass of a progress window's loop over the pending
// events waits TAVREL_SLOW_STEP_MS milliseconds first, so a run on a small
// sample shop lasts long enough for the test's clicks. The program's own
// event loop does not come through here.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>

namespace {

constexpr const char *kProcessEvents = "_ZN16QCoreApplication13processEventsE6QFlagsIN10QEventLoop17ProcessEventsFlagEE";

int stepMilliseconds()
{
    const char *text = std::getenv("TAVREL_SLOW_STEP_MS");
    return text ? std::atoi(text) : 0;
}

} // namespace

// QCoreApplication::processEvents(QEventLoop::ProcessEventsFlags): the
// flags travel as one int.
extern "C" void _ZN16QCoreApplication13processEventsE6QFlagsIN10QEventLoop17ProcessEventsFlagEE(int flags)
{
    using ProcessEvents = void (*)(int);
    static const ProcessEvents real = reinterpret_cast<ProcessEvents>(dlsym(RTLD_NEXT, kProcessEvents));
    static const int wait = stepMilliseconds();
    if (wait > 0)
        usleep(useconds_t(wait) * 1000);
    if (real)
        real(flags);
}
