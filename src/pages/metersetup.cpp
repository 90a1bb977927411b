#include "metersetup.h"

#include "pagerows.h"

#include "link/errors.h"
#include "link/metersession.h"

MeterSetup::MeterSetup(MeterSession &session, QObject *parent)
    : QObject(parent), m_session(session), m_context{&session.exchange(), &session.identity(), session.prompts(), this}
{
    for (const PageRow &row : pageRows()) {
        const auto i = std::size_t(pageIndex(row.id));
        if (row.makeModel)
            m_models[i].reset(row.makeModel(m_context));
        m_tabVisible[i] = row.shownAtStart;
        m_tabCaption[i] = QString::fromLatin1(row.caption);
    }

    QList<std::function<void()>> steps;
    for (PageId page : detectionLoadOrder())
        steps.append([this, page]() { loadAtDetection(page); });
    session.setLoadSteps(steps);
    connect(&session, &MeterSession::modelIdentified, this, [this](const MeterIdentity &identity) {
        for (const auto &model : m_models) {
            if (model)
                model->adaptTo(identity);
        }
    });
}

MeterSetup::~MeterSetup() = default;

QList<PageId> MeterSetup::detectionLoadOrder()
{
    return {PageId::Code1,       PageId::Code2,      PageId::Code3,  PageId::Code4, PageId::Code5,
            PageId::Code6,       PageId::Code7,      PageId::Code8,  PageId::Code9, PageId::Code10,
            PageId::ScaleOffset, PageId::Brightness, PageId::Summary};
}

void MeterSetup::loadAtDetection(PageId page)
{
    try {
        if (PageModel *m = model(page))
            m->loadAtDetection();
    } catch (const RepliesOutOfStep &) {
        for (PageId loaded : detectionLoadOrder()) {
            if (PageModel *m = model(loaded))
                m->distrustLoad();
        }
        throw;
    }
}

void MeterSetup::refreshPages(const QSet<PageId> &pages)
{
    for (const PageRow &row : pageRows()) {
        if (PageModel *m = model(row.id); m && pages.contains(row.id))
            m->refresh();
    }
}

QList<SettingRegister> MeterSetup::settingRegisters() const
{
    QList<SettingRegister> all;
    for (const auto &model : m_models) {
        if (model)
            all += model->settings();
    }
    return all;
}

void MeterSetup::setTabVisible(PageId page, bool visible)
{
    bool &shown = m_tabVisible[std::size_t(pageIndex(page))];
    if (shown == visible)
        return;
    shown = visible;
    emit tabVisibilityChanged(page, visible);
}

void MeterSetup::setTabCaption(PageId page, const QString &caption)
{
    QString &shown = m_tabCaption[std::size_t(pageIndex(page))];
    if (shown == caption)
        return;
    shown = caption;
    emit tabCaptionChanged(page, caption);
}

void MeterSetup::showPage(PageId page)
{
    emit pageShowRequested(page);
}
