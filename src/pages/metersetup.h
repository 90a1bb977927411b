#pragma once

#include "pagemodel.h"
#include "summarycells.h"

#include <QObject>
#include <QSet>
#include <array>
#include <functional>
#include <memory>

class MeterSession;

// The meter's settings without widgets: the page models, detection's load
// of them, the summary cells, and the state of the page tabs (which are
// shown, what they say). The window shows it; the setup file and the
// command line use it without a window.
class MeterSetup : public QObject
{
    Q_OBJECT
public:
    // Builds every page's model over the session's exchange and gives the
    // session detection's load steps.
    explicit MeterSetup(MeterSession &session, QObject *parent = nullptr);
    ~MeterSetup() override;

    MeterSession &session() const { return m_session; }
    const ModelContext &modelContext() const { return m_context; }

    // nullptr for a page without a model.
    PageModel *model(PageId id) const { return m_models[std::size_t(pageIndex(id))].get(); }
    template<typename T>
    T *model(PageId id) const
    {
        return qobject_cast<T *>(model(id));
    }

    SummaryGrid &summary() { return m_summary; }
    void setSummaryCell(SummaryCell cell, const QString &text) { m_summary.setCell(cell, text); }

    // Detection's load after the identity, page by page: the codes, scale
    // and offset, brightness, then the identity rows of the summary.
    static QList<PageId> detectionLoadOrder();
    // Runs one page's part of the load. Replies out of step make every
    // page's load untrusted.
    void loadAtDetection(PageId page);

    // The models of `pages` read their values again.
    void refreshPages(const QSet<PageId> &pages);
    // Every setting register of every page, in the page strip's order.
    QList<SettingRegister> settingRegisters() const;

    // The page tabs, as the models want them shown.
    bool isTabVisible(PageId page) const { return m_tabVisible[std::size_t(pageIndex(page))]; }
    void setTabVisible(PageId page, bool visible);
    QString tabCaption(PageId page) const { return m_tabCaption[std::size_t(pageIndex(page))]; }
    void setTabCaption(PageId page, const QString &caption);
    // Makes a page current as the program does: no leave guard, no entry.
    void showPage(PageId page);

signals:
    void tabVisibilityChanged(PageId page, bool visible);
    void tabCaptionChanged(PageId page, const QString &caption);
    void pageShowRequested(PageId page);

private:
    MeterSession &m_session;
    ModelContext m_context;
    SummaryGrid m_summary;
    std::array<std::unique_ptr<PageModel>, PageCount> m_models;
    std::array<bool, PageCount> m_tabVisible{};
    std::array<QString, PageCount> m_tabCaption;
};
