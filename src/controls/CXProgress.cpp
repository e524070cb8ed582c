#include "controls/CXProgress.h"

namespace {

// Stands in when no window is registered: it runs while started and counts,
// but shows nothing and is never stopped.
class SilentProgress final : public CXProgress
{
public:
    void Start(int, const QString &, bool, bool, const QString &) override { m_running = true; }
    bool Step(const QString &) override { return m_running; }
    void SetMessage(const QString &, bool) override {}
    bool IsRunning() const override { return m_running; }

private:
    bool m_running = false;
};

CXProgress::Factory &factory()
{
    static CXProgress::Factory f;
    return f;
}

} // namespace

void CXProgress::SetFactory(Factory f)
{
    factory() = std::move(f);
}

std::unique_ptr<CXProgress> CXProgress::Create()
{
    if (factory()) {
        if (auto p = factory()())
            return p;
    }
    return std::make_unique<SilentProgress>();
}
