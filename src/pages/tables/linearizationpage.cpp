#include "linearizationpage.h"

#include "link/meterdetector.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QToolButton>

LinearizationPage::LinearizationPage(const PageContext &context, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet15"), parent)
{
    addHeading(this, QStringLiteral("Linearization Tables"));
    for (int t = 0; t < Tables; ++t) {
        auto *selector = new QToolButton(this);
        selector->setObjectName(QStringLiteral("SpeedButton%1").arg(7 + t));
        selector->setText(QStringLiteral("Table %1").arg(t + 1));
        selector->setCheckable(true);
        selector->setAutoExclusive(true);
        selector->setChecked(t == 0);
        selector->setGeometry(8 + t * 90, 40, 84, 26);
        m_selectors.append(selector);

        auto *grid = new QTableWidget(Points, 2, this);
        grid->setObjectName(QStringLiteral("StringGrid%1").arg(1 + t));
        grid->setAccessibleName(QStringLiteral("Linearization table %1").arg(t + 1));
        grid->setHorizontalHeaderLabels({QStringLiteral("Input"), QStringLiteral("Output")});
        grid->setGeometry(8, 74, 260, 330);
        grid->setVisible(t == 0);
        m_grids.append(grid);
        connect(selector, &QToolButton::toggled, grid, [this, t](bool on) {
            if (on) {
                for (int i = 0; i < Tables; ++i)
                    m_grids[i]->setVisible(i == t);
            }
        });
    }
}

void LinearizationPage::adaptTo(const MeterIdentity &identity)
{
    if (!identity.hasOption("E"))
        return;
    for (int t = 1; t < Tables; ++t) {
        m_selectors[t]->hide();
        m_grids[t]->hide();
    }
    m_selectors[0]->setChecked(true);
}
