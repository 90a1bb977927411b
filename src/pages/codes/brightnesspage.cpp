#include "brightnesspage.h"

#include "brightnessmodel.h"

#include "pages/metersetup.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {
const char *const Captions[BrightnessModel::Levels] = {"0 - Dull", "1",           "2", "3",
                                                       "4",        "5 - Default", "6", "7 - Bright"};
} // namespace

BrightnessPage::BrightnessPage(const PageContext &context, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet3"), parent),
      m_model(*context.setup->model<BrightnessModel>(PageId::Brightness))
{
    m_box = new QGroupBox(QStringLiteral("Brightness Selection"), this);
    m_box->setObjectName(QStringLiteral("RadioGroup1"));
    QFont large = m_box->font();
    large.setPointSize(large.pointSize() * 2);
    m_box->setFont(large);

    auto *items = new QVBoxLayout(m_box);
    m_items = new QButtonGroup(this);
    for (int level = 0; level < BrightnessModel::Levels; ++level) {
        auto *item = new QRadioButton(QString::fromLatin1(Captions[level]), m_box);
        item->setObjectName(QStringLiteral("Brightness%1").arg(level));
        m_items->addButton(item, level);
        items->addWidget(item);
    }
    showLevel();

    auto *page = new QVBoxLayout(this);
    page->addWidget(m_box);

    // idToggled fires on a change of checked state only, by a click, an
    // arrow key or the program; choosing the selected item again is silent.
    connect(m_items, &QButtonGroup::idToggled, this, [this](int level, bool checked) {
        if (checked)
            runGuarded(this->context(), [this, level]() { m_model.choose(level); });
    });
    connect(&m_model, &PageModel::changed, this, &BrightnessPage::showLevel);
}

void BrightnessPage::showLevel()
{
    const QSignalBlocker blocker(m_items);
    if (m_model.level() >= 0) {
        m_items->button(m_model.level())->setChecked(true);
        return;
    }
    // An exclusive group cannot clear itself.
    m_items->setExclusive(false);
    if (QAbstractButton *current = m_items->checkedButton())
        current->setChecked(false);
    m_items->setExclusive(true);
}
