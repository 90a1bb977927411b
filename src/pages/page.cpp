#include "page.h"

#include "link/metersession.h"

void runGuarded(const PageContext &context, const std::function<void()> &handler)
{
    if (context.session)
        context.session->runHandler(handler);
    else
        handler();
}

void runGuardedOperation(const PageContext &context, const std::function<void()> &operation)
{
    runGuarded(context, [&context, &operation]() {
        if (context.session)
            context.session->runOperation(operation);
        else
            operation();
    });
}
