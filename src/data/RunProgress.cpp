#include "data/RunProgress.h"

namespace {

// Stands in when no window can be shown: always running, shows nothing.
class SilentProgress : public SchemaProgress
{
public:
    bool isRunning() const override { return true; }
    bool step(const QString &) override { return true; }
    void setMessage(const QString &) override {}
};

RunProgressMaker &maker()
{
    static RunProgressMaker m;
    return m;
}

} // namespace

void SetRunProgressMaker(RunProgressMaker m)
{
    maker() = std::move(m);
}

std::unique_ptr<SchemaProgress> OpenRunProgress()
{
    if (maker()) {
        if (std::unique_ptr<SchemaProgress> window = maker()())
            return window;
    }
    return std::make_unique<SilentProgress>();
}
