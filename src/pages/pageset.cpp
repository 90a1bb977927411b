#include "pageset.h"

#include "pages/advanced/advancedpage.h"
#include "pages/codes/brightnesspage.h"
#include "pages/codes/calibrationpage.h"
#include "pages/codes/codepage.h"
#include "pages/codes/displaysettingspage.h"
#include "pages/setpoints/setpointpage.h"
#include "pages/summary/mathpage.h"
#include "pages/summary/summarypage.h"
#include "pages/tables/linearizationpage.h"
#include "pages/tables/macropage.h"
#include "pages/values/displayvaluepage.h"
#include "pages/values/scaleoffsetpage.h"

#include <QVBoxLayout>

namespace {

using MakeView = Page *(*)(const PageContext &context);

template<typename T>
Page *make(const PageContext &context)
{
    return new T(context);
}

template<int Code>
Page *makeCode(const PageContext &context)
{
    return new CodePage(context, Code);
}

struct ViewRow
{
    PageId id;
    MakeView make;
    // Made with the window (the live readout), not when first shown.
    bool madeAtStart;
};

const std::array<ViewRow, PageCount> Views = {{
    {PageId::DisplayValue, make<DisplayValuePage>, true},
    {PageId::ScaleOffset, make<ScaleOffsetPage>, false},
    {PageId::Brightness, make<BrightnessPage>, false},
    {PageId::Calibration, make<CalibrationPage>, false},
    {PageId::DisplaySettings, make<DisplaySettingsPage>, false},
    {PageId::Code1, makeCode<1>, false},
    {PageId::Code2, makeCode<2>, false},
    {PageId::Code3, makeCode<3>, false},
    {PageId::Code4, makeCode<4>, false},
    {PageId::Code5, makeCode<5>, false},
    {PageId::Code6, makeCode<6>, false},
    {PageId::Code7, makeCode<7>, false},
    {PageId::Code8, makeCode<8>, false},
    {PageId::Code9, makeCode<9>, false},
    {PageId::Code10, makeCode<10>, false},
    {PageId::Setpoints, make<SetpointPage>, false},
    {PageId::Math, make<MathPage>, false},
    {PageId::Linearization, make<LinearizationPage>, false},
    {PageId::Macros, make<MacroPage>, false},
    {PageId::Advanced, make<AdvancedPage>, false},
    {PageId::Summary, make<SummaryPage>, false},
}};

} // namespace

namespace {

// Holds a page's place in the strip and makes its view the first time the
// holder is shown.
class ViewHolder : public QWidget
{
public:
    ViewHolder(PageSet *set, PageId id) : m_set(set), m_id(id)
    {
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        m_set->view(m_id);
        QWidget::showEvent(event);
    }

private:
    PageSet *m_set;
    PageId m_id;
};

} // namespace

PageSet::PageSet(const PageContext &context) : m_context(context)
{
    for (const ViewRow &row : Views)
        m_holders[std::size_t(pageIndex(row.id))] = new ViewHolder(this, row.id);
    for (const ViewRow &row : Views) {
        if (row.madeAtStart)
            view(row.id);
    }
}

PageSet::~PageSet() = default;

Page *PageSet::view(PageId id)
{
    Page *&view = m_views[std::size_t(pageIndex(id))];
    if (!view) {
        QWidget *holder = m_holders[std::size_t(pageIndex(id))];
        view = Views[std::size_t(pageIndex(id))].make(m_context);
        view->setParent(holder);
        holder->layout()->addWidget(view);
        // A child added to a shown holder would only be shown later.
        view->show();
        emit viewMade(view);
    }
    return view;
}
