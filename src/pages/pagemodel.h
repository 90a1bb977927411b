#pragma once

#include "pageid.h"
#include "settingregister.h"

#include <QList>
#include <QObject>

class CommandExchange;
class MeterSetup;
class Prompts;
struct MeterIdentity;

// What a page model may use: the exchange to the meter, the meter's
// identity, the dialog seam for the few questions an operation asks part
// way, and the setup for the summary cells, the tab state and the other
// models.
struct ModelContext
{
    CommandExchange *exchange = nullptr;
    MeterIdentity *identity = nullptr;
    Prompts *prompts = nullptr;
    MeterSetup *setup = nullptr;
};

// The values one page read from the meter and the operations on them: the
// entry reads, the conversions, the checks and the composed writes. It knows
// no widget; its view shows it and passes the operator's edits to it.
class PageModel : public QObject
{
    Q_OBJECT
public:
    PageModel(PageId page, const ModelContext &context, QObject *parent = nullptr)
        : QObject(parent), m_page(page), m_context(context)
    {}

    PageId page() const { return m_page; }
    const ModelContext &context() const { return m_context; }

    // Adapts to the model detection found.
    virtual void adaptTo(const MeterIdentity &) {}
    // The page's part of detection's load, run in the setup's order.
    virtual void loadAtDetection() {}
    // The replies went out of step during detection's load: what the model
    // took in then may belong to other registers, so it must not be sent.
    virtual void distrustLoad() {}
    // The meter's values may have changed behind the page (a setup was
    // written): reads again what the page shows.
    virtual void refresh() {}
    // The setting registers of this page, in the page's own order.
    virtual QList<SettingRegister> settings() const { return {}; }
    // The number the page-change frame shows for the page (a code page's
    // stored code); 0 for the others.
    virtual int storedCode() const { return 0; }

signals:
    // What the view shows has changed; it shows the model again.
    void changed();

private:
    PageId m_page;
    ModelContext m_context;
};
