#include "coderules.h"

#include "bargraph.h"
#include "bargraphmodel.h"
#include "codemodel.h"
#include "displaysettingsmodel.h"
#include "displaysourcesmodel.h"
#include "kfactormodel.h"
#include "prescalermodel.h"

#include "link/commandexchange.h"
#include "link/meterdetector.h"
#include "link/registers.h"
#include "pages/metersetup.h"

using codetables::Handler;

void CodeRules::runHandler(CodeModel &model, Handler, int group, int digit)
{
    model.setDigitFromOption(group, digit);
}

namespace {

constexpr int FirstDigit = CodeModel::FirstDigit;
constexpr int SecondDigit = CodeModel::SecondDigit;
constexpr int ThirdDigit = CodeModel::ThirdDigit;

DisplaySettingsModel &displaySettings(const CodeModel &model)
{
    // Made before the code models: its page comes first.
    auto *settings = model.context().setup->model<DisplaySettingsModel>(PageId::DisplaySettings);
    Q_ASSERT(settings);
    return *settings;
}

// Opens the display settings for the view an option stands for (its
// value); the option's group keeps its digit value.
void openDisplaySettings(CodeModel &model, int group, int digit)
{
    displaySettings(model).open(model.optionValue(group, digit), model.caption(group, digit));
}

// Code 1: the third digit opens a display settings view; the send resets it.
class Code1Rules : public CodeRules
{
public:
    void build(CodeModel &model) override
    {
        DisplaySettingsModel &settings = displaySettings(model);
        // Closing the display settings puts "0 No Function" back, which
        // loads that page for no view (register 198).
        QObject::connect(&settings, &DisplaySettingsModel::closed, &model,
                         [&model, &settings]() { settings.runOnClosing([&model]() { model.choose(ThirdDigit, 0); }); });
        // An opening that failed shows the group's digit again, so that the
        // view can be chosen once more.
        QObject::connect(&settings, &DisplaySettingsModel::openingFailed, &model, [&model](int target) {
            if (target <= 7)
                model.showDigitValue(ThirdDigit);
        });
    }
    void runHandler(CodeModel &model, Handler handler, int group, int digit) override
    {
        // The display settings views never change the group's digit value,
        // which only the page-entry restore sets.
        if (handler == Handler::OpenDisplaySettings)
            openDisplaySettings(model, group, digit);
        else
            CodeRules::runHandler(model, handler, group, digit);
    }
    bool loadDigit(CodeModel &model, int group, int digit, bool) override
    {
        if (group != ThirdDigit)
            return false;
        // The meter's view (at detection or on entry) is chosen as the
        // operator would choose it, which opens it; the group keeps the
        // meter's digit for the code word. A digit 0 is only shown.
        if (digit != 0) {
            model.setDigit(group, digit);
            return false;
        }
        model.takeDigit(group, digit);
        return true;
    }
    void beforeSend(CodeModel &model) override
    {
        // The third digit goes back to "0 No Function", which loads the
        // display settings from register 198 when a view was chosen, and
        // that page is closed.
        model.choose(ThirdDigit, 0);
        displaySettings(model).closeForCodeSend();
    }
};

// Code 2: tare functions and the K factor.
class Code2Rules : public CodeRules
{
public:
    void build(CodeModel &model) override
    {
        m_kFactor = new KFactorModel(model.context(), &model);
        QObject::connect(m_kFactor, &KFactorModel::sent, &model, [&model]() {
            model.choose(SecondDigit, 0);
            model.setSendAllowed(true);
        });
    }
    void runHandler(CodeModel &model, Handler handler, int group, int digit) override
    {
        if (handler != Handler::TareAndKFactor)
            return CodeRules::runHandler(model, handler, group, digit);
        model.setDigitFromOption(group, digit);
        if (group == SecondDigit && digit == 7) {
            model.setSendAllowed(false);
            m_kFactor->openFromMeter();
            return;
        }
        if (group == FirstDigit && digit >= 1 && digit <= 3) {
            // A tare function: the code may only go out once it is cleared.
            model.setSendAllowed(false);
            return;
        }
        if (model.checkedOption(FirstDigit) == 0 && model.checkedOption(SecondDigit) != 7)
            model.setSendAllowed(true);
        m_kFactor->close();
    }
    // A page holding a tare code (first digit 1 to 3) cannot be left.
    bool canLeave(const CodeModel &model) const override { return model.storedCode() < 100; }
    QList<SettingRegister> settings() const override { return m_kFactor->settings(); }
    KFactorModel *kFactor() const override { return m_kFactor; }

private:
    KFactorModel *m_kFactor = nullptr;
};

// Codes 4 and 6: measurement types, sampling and the prescalers.
class ChannelRules : public CodeRules
{
public:
    explicit ChannelRules(bool counter) : m_counter(counter) {}

    void build(CodeModel &model) override
    {
        m_prescaler = new PrescalerModel(
            model.context(), m_counter ? PrescalerModel::Channel::Counter : PrescalerModel::Channel::SecondInput,
            &model);
        const int prescalerGroup = m_counter ? ThirdDigit : SecondDigit;
        QObject::connect(m_prescaler, &PrescalerModel::closing, &model, [&model, prescalerGroup]() {
            model.choose(prescalerGroup, 0);
            model.setSendAllowed(true);
        });
    }

    void runHandler(CodeModel &model, Handler handler, int group, int digit) override
    {
        switch (handler) {
        case Handler::SamplingRate:
            chooseSamplingRate(model, group, digit);
            break;
        case Handler::MeasurementType:
            chooseMeasurementType(model, group, digit);
            break;
        case Handler::PrescalerMode:
            choosePrescalerMode(model, group, digit);
            break;
        case Handler::Channel2Type:
            chooseChannel2Type(model, group, digit);
            break;
        default:
            CodeRules::runHandler(model, handler, group, digit);
        }
    }

    void afterLoad(CodeModel &model, const QString &digits) override
    {
        if (m_counter)
            setCode6TabFromSampling(model, digits.at(0).digitValue());
    }

    void restoreDigit(CodeModel &model, int group, int digit) override
    {
        if (m_counter && group == FirstDigit)
            chooseSamplingRate(model, group, digit);
        else if (m_counter && group == SecondDigit)
            chooseMeasurementType(model, group, digit);
        else if (!m_counter && group == FirstDigit)
            chooseChannel2Type(model, group, digit);
    }

    QList<SettingRegister> settings() const override { return {m_prescaler->setting()}; }
    PrescalerModel *prescaler() const override { return m_prescaler; }

private:
    static void setCode6TabFromSampling(CodeModel &model, int samplingDigit)
    {
        // Dual-channel sampling (1 and 3) has a channel 2 page; single-channel
        // sampling (0 and 2) has none.
        if (samplingDigit >= 0 && samplingDigit <= 3)
            model.context().setup->setTabVisible(PageId::Code6, samplingDigit % 2 == 1);
    }

    static void chooseSamplingRate(CodeModel &model, int group, int digit)
    {
        model.setDigitFromOption(group, digit);
        setCode6TabFromSampling(model, digit);
    }

    void chooseMeasurementType(CodeModel &model, int group, int digit)
    {
        model.setDigitFromOption(group, digit);
        model.setSendAllowed(true);
        m_prescaler->close();
        model.choose(ThirdDigit, 0);
        model.relabel(ThirdDigit, codetables::code4ThirdDigit(digit));
    }

    void choosePrescalerMode(CodeModel &model, int group, int digit)
    {
        const bool setPrescaler = m_counter ? (digit == 1 && model.checkedOption(SecondDigit) == 6)
                                            : (digit == 7 && model.checkedOption(FirstDigit) == 3);
        if (setPrescaler) {
            // Setting the prescaler is an action: the digit keeps its value.
            model.setSendAllowed(false);
            m_prescaler->openFromMeter();
            return;
        }
        model.setSendAllowed(true);
        m_prescaler->close();
        model.setDigitFromOption(group, digit);
    }

    static void chooseChannel2Type(CodeModel &model, int group, int digit)
    {
        model.setDigitFromOption(group, digit);
        if (digit >= 0 && digit <= 3)
            model.relabel(SecondDigit, codetables::code6SecondDigit(digit));
    }

    bool m_counter;
    PrescalerModel *m_prescaler = nullptr;
};

// Code 8: the log buffer.
class Code8Rules : public CodeRules
{
public:
    void runHandler(CodeModel &model, Handler handler, int group, int digit) override
    {
        if (handler != Handler::ResetLogBuffer)
            return CodeRules::runHandler(model, handler, group, digit);
        CommandExchange &exchange = *model.context().exchange;
        exchange.comms(writeCommand(720, 0));
        exchange.comms(writeCommand(721, 0));
        model.choose(FirstDigit, 2);
    }
    bool loadDigit(CodeModel &model, int group, int digit, bool fromMeter) override
    {
        // A code read from the meter never resets its log buffer: "3 Reset
        // FIFO buffer" is an action, and the buffer it leaves is the linear one.
        if (!fromMeter || group != FirstDigit || digit != 3)
            return false;
        model.choose(FirstDigit, 2);
        return true;
    }
    void enter(CodeModel &model) override
    {
        // On models whose code contains "B" the log buffer is not chosen here.
        const bool bargraphModel = model.context().identity->hasOption("B");
        for (int d = 0; d < 4; ++d)
            model.setOptionEnabled(FirstDigit, d, !bargraphModel);
    }
};

// Code 10: the bargraph on "B" models, the extra displays on "3" models.
class Code10Rules : public CodeRules
{
public:
    void build(CodeModel &model) override
    {
        m_bar = new BargraphModel(model.context(), &model);
        m_sources = new DisplaySourcesModel(model.context(), &model);
        DisplaySettingsModel &settings = displaySettings(model);
        // An extra display's settings closed: this page comes back with its
        // first digit on option 0. Connected after Code 1, whose third digit
        // goes back first.
        QObject::connect(&settings, &DisplaySettingsModel::closed, &model, [&model, &settings](int target) {
            if (target <= 7)
                return;
            settings.runOnClosing([&model]() {
                model.context().setup->showPage(PageId::Code10);
                model.choose(FirstDigit, 0);
            });
        });
        QObject::connect(&settings, &DisplaySettingsModel::openingFailed, &model, [&model](int target) {
            if (target > 7)
                model.showDigitValue(FirstDigit);
        });
    }

    void runHandler(CodeModel &model, Handler handler, int group, int digit) override
    {
        if (handler == Handler::OpenDisplaySettings) {
            openDisplaySettings(model, group, digit);
            return;
        }
        model.setDigitFromOption(group, digit);
        if (handler == Handler::BarScale)
            m_bar->setScaleType(digit);
    }

    bool loadDigit(CodeModel &model, int group, int digit, bool) override
    {
        // The display options are chosen by the operator only; a code read
        // from the meter keeps its first digit.
        if (m_kind != Kind::ExtraDisplays || group != FirstDigit || (digit != 2 && digit != 3))
            return false;
        model.takeDigit(group, digit);
        return true;
    }

    void enter(CodeModel &model) override
    {
        m_bar->setSegments(bargraph::segments(model.context().identity->modelCode));
        if (m_kind == Kind::Bargraph)
            m_bar->draw();
        if (m_sources->isShown())
            m_sources->read();
    }

    void beforeSend(CodeModel &) override
    {
        if (m_sources->isShown())
            m_sources->write();
    }

    void adaptTo(CodeModel &model, const MeterIdentity &identity) override
    {
        // A bargraph model with extra displays ("3B") has the bar's options
        // and the extra displays' source registers as well.
        const bool sourceRegisters = identity.hasOption("3");
        if (identity.hasOption("B"))
            adapt(model, Kind::Bargraph, sourceRegisters);
        else if (sourceRegisters)
            adapt(model, Kind::ExtraDisplays, sourceRegisters);
        else
            return;
        model.context().setup->setTabVisible(PageId::Code10, true);
    }

    QList<SettingRegister> settings() const override { return m_sources->settings() + m_bar->settings(); }
    BargraphModel *bargraph() const override { return m_bar; }
    DisplaySourcesModel *displaySources() const override { return m_sources; }

private:
    enum class Kind { Unknown, Bargraph, ExtraDisplays };

    // Relabels the page and binds its handlers for a bargraph or for extra
    // displays; a later detection run may find the other kind.
    void adapt(CodeModel &model, Kind kind, bool sourceRegisters)
    {
        m_kind = kind;
        const bool bargraph = kind == Kind::Bargraph;
        const codetables::Code10Captions &captions =
            bargraph ? codetables::code10Bargraph() : codetables::code10ExtraDisplays();
        for (int g = 0; g < CodeModel::Groups; ++g)
            model.setLabel(g, QString::fromLatin1(captions.labels[g]));
        for (int d = 0; d < 4; ++d)
            model.setCaption(FirstDigit, d, QString::fromLatin1(captions.first[d]));
        for (int d = 0; d < CodeModel::Options; ++d) {
            model.setCaption(SecondDigit, d, QString::fromLatin1(captions.second[d]));
            model.setCaption(ThirdDigit, d, QString::fromLatin1(captions.third[d]));
            model.setHandler(ThirdDigit, d, bargraph ? Handler::BarScale : Handler::SetDigit);
        }
        // Options 2 and 3 of the first digit: fixed in bargraph mode, open the
        // display settings for the extra displays.
        model.setOptionEnabled(FirstDigit, 1, bargraph);
        for (int d : {2, 3}) {
            model.setOptionEnabled(FirstDigit, d, !bargraph);
            model.setOptionValue(FirstDigit, d, bargraph ? d * 100 : 20 + d);
            model.setHandler(FirstDigit, d, bargraph ? Handler::SetDigit : Handler::OpenDisplaySettings);
        }
        model.setOptionEnabled(ThirdDigit, 2, !bargraph);
        m_bar->setShown(bargraph);
        m_sources->setShown(sourceRegisters);
    }

    Kind m_kind = Kind::Unknown;
    BargraphModel *m_bar = nullptr;
    DisplaySourcesModel *m_sources = nullptr;
};

} // namespace

std::unique_ptr<CodeRules> CodeRules::forCode(int code)
{
    switch (code) {
    case 1:
        return std::make_unique<Code1Rules>();
    case 2:
        return std::make_unique<Code2Rules>();
    case 4:
    case 6:
        return std::make_unique<ChannelRules>(code == 4);
    case 8:
        return std::make_unique<Code8Rules>();
    case 10:
        return std::make_unique<Code10Rules>();
    default:
        return std::make_unique<CodeRules>();
    }
}
