#include "pageset.h"

#include "app/displayvaluepage.h"
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
#include "pages/values/scaleoffsetpage.h"

namespace {

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

const std::array<PageRow, PageCount> Rows = {{
    {PageId::DisplayValue, "Display Value", "Display Value", true, make<DisplayValuePage>},
    {PageId::ScaleOffset, "Scale & Offset", "Scale and Offset", true, make<ScaleOffsetPage>},
    {PageId::Brightness, "Brightness", "Brightness", true, make<BrightnessPage>},
    {PageId::Calibration, "Calibration", "Calibration", false, make<CalibrationPage>},
    {PageId::DisplaySettings, "Display Settings", "Display Settings", false, make<DisplaySettingsPage>},
    {PageId::Code1, "Code 1 - 000", "Display Setup", true, makeCode<1>},
    {PageId::Code2, "Code 2 - 000", "Totalisator", true, makeCode<2>},
    {PageId::Code3, "Code 3 - 000", "Analog Output", true, makeCode<3>},
    {PageId::Code4, "Code 4 - 000", "Channel 1 Setup", true, makeCode<4>},
    {PageId::Code5, "Code 5 - 000", "Channel 1 Processing", true, makeCode<5>},
    {PageId::Code6, "Code 6 - 000", "Channel 2 Setup", true, makeCode<6>},
    {PageId::Code7, "Code 7 - 000", "Result Processing", true, makeCode<7>},
    {PageId::Code8, "Code 8 - 000", "Data Logging & Print Mode", true, makeCode<8>},
    {PageId::Code9, "Code 9 - 000", "Digital Input Setup", true, makeCode<9>},
    {PageId::Code10, "Code 10 - 000", "Bargraph Setup", false, makeCode<10>},
    // This tab shows no hint.
    {PageId::Setpoints, "Setpoint Control", "", true, make<SetpointPage>},
    {PageId::Math, "Math Functions", "Math Functions", false, make<MathPage>},
    {PageId::Linearization, "Linearization Tables", "Linearization Tables", true, make<LinearizationPage>},
    {PageId::Macros, "Macros", "Macro", true, make<MacroPage>},
    {PageId::Advanced, "Advanced Functions", "Advanced Functions", true, make<AdvancedPage>},
    {PageId::Summary, "Summary", "Summary", true, make<SummaryPage>},
}};

// Detection's load after the identity: the ten codes, scale and offset,
// brightness, then the identity rows of the summary.
const PageId DetectionLoad[] = {PageId::Code1,       PageId::Code2,      PageId::Code3,  PageId::Code4, PageId::Code5,
                                PageId::Code6,       PageId::Code7,      PageId::Code8,  PageId::Code9, PageId::Code10,
                                PageId::ScaleOffset, PageId::Brightness, PageId::Summary};

} // namespace

const std::array<PageRow, PageCount> &pageRows()
{
    return Rows;
}

PageSet::PageSet(const PageContext &context)
{
    for (const PageRow &row : Rows)
        m_pages[pageIndex(row.id)] = row.make(context);
}

QList<Page *> PageSet::detectionLoadOrder() const
{
    QList<Page *> order;
    for (PageId id : DetectionLoad)
        order.append(page(id));
    return order;
}
