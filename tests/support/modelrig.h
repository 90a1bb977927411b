#pragma once

#include "sessionrig.h"

#include "pages/metersetup.h"

// The session rig with the page models over it, as the window has them but
// without a window: detection loads the models, and a test drives them as
// the views would.
class ModelRig : public SessionRig
{
public:
    explicit ModelRig(std::chrono::milliseconds tick = std::chrono::milliseconds(5), Time time = Time::Virtual)
        : SessionRig(tick, time), setup(std::make_unique<MeterSetup>(*session))
    {}

    std::unique_ptr<MeterSetup> setup;

    template<typename T>
    T *model(PageId page) const
    {
        return setup->model<T>(page);
    }
    // Runs a model operation under the session's guard, as a view does.
    void run(const std::function<void()> &operation) { session->runHandler(operation); }
};
