#include "brightnesspage.h"

#include "link/registers.h"

#include "link/commandexchange.h"
#include "link/errors.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const char *const Captions[BrightnessPage::Levels] = {"0 - Dull", "1", "2", "3", "4", "5 - Default", "6", "7 - Bright"};
} // namespace

BrightnessPage::BrightnessPage(const PageContext &context, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet3"), parent)
{
    m_box = new QGroupBox(QStringLiteral("Brightness Selection"), this);
    m_box->setObjectName(QStringLiteral("RadioGroup1"));
    QFont large = m_box->font();
    large.setPointSize(large.pointSize() * 2);
    m_box->setFont(large);

    auto *items = new QVBoxLayout(m_box);
    m_items = new QButtonGroup(this);
    for (int level = 0; level < Levels; ++level) {
        auto *item = new QRadioButton(QString::fromLatin1(Captions[level]), m_box);
        item->setObjectName(QStringLiteral("Brightness%1").arg(level));
        m_items->addButton(item, level);
        items->addWidget(item);
    }
    m_items->button(DefaultLevel)->setChecked(true);

    auto *page = new QVBoxLayout(this);
    page->addWidget(m_box);

    // idToggled fires on a change of checked state only, by a click, an
    // arrow key or the program; choosing the selected item again is silent.
    connect(m_items, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            runGuarded(this->context(), [this]() { Change_Brightness(); });
    });
}

int BrightnessPage::selected() const
{
    return m_items->checkedId();
}

QRadioButton *BrightnessPage::item(int index) const
{
    return static_cast<QRadioButton *>(m_items->button(index));
}

void BrightnessPage::Change_Brightness()
{
    // Built once the line is free, from the item shown then: quick clicks
    // during a wait leave the meter at the item the page shows.
    const int written = selected();
    context().exchange->comms([this, written]() {
        const int level = selected();
        return writeCommand(148, level >= 0 ? level : written);
    });
}

void BrightnessPage::loadBrightness()
{
    const QString value = context().exchange->comms(readCommand(148)).value;
    const int level = std::min(convert::toInt(value), Levels - 1);
    const int before = selected();
    if (level < 0) {
        // No item selected; an exclusive group cannot clear itself.
        m_items->setExclusive(false);
        if (QAbstractButton *current = m_items->checkedButton()) {
            const QSignalBlocker blocker(m_items);
            current->setChecked(false);
        }
        m_items->setExclusive(true);
    } else if (level != before) {
        {
            const QSignalBlocker blocker(m_items);
            item(level)->setChecked(true);
        }
        // Run directly rather than through the group's signal, so a failure
        // of the write ends the load like any other step.
        Change_Brightness();
    }
    setSummaryCell(context(), summarycell::Brightness, value);
}
