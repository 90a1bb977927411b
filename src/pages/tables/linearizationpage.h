#pragma once

#include "pages/page.h"

#include <QList>

class QTableWidget;
class QToolButton;

// The "Linearization Tables" page: four tables of 32 input/output points,
// each with its selector button.
class LinearizationPage : public Page
{
    Q_OBJECT
public:
    static constexpr int Tables = 4;
    static constexpr int Points = 32;

    explicit LinearizationPage(const PageContext &context, QWidget *parent = nullptr);

    // Models with one table ("E"): hides tables 2 to 4 and their selectors
    // for good.
    void adaptTo(const MeterIdentity &identity) override;

private:
    QList<QToolButton *> m_selectors;
    QList<QTableWidget *> m_grids;
};
