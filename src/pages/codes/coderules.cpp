#include "coderules.h"

#include "bargraph.h"
#include "bargraphpanel.h"
#include "codepage.h"
#include "displaysettingspage.h"
#include "kfactorpanel.h"
#include "prescalerpanel.h"

#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/meterdetector.h"
#include "link/registers.h"

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using codetables::Handler;

void CodeRules::runHandler(CodePage &page, Handler, int group, int digit)
{
    page.setDigitFromOption(group, digit);
}

namespace {

DisplaySettingsPage *displaySettings(const CodePage &page)
{
    return qobject_cast<DisplaySettingsPage *>(page.context().shell->page(PageId::DisplaySettings));
}

// Opens the display settings for the view an option stands for (its tag);
// the option's group keeps its digit value.
void openDisplaySettings(CodePage &page, int group, int digit)
{
    QRadioButton *option = page.optionAt(group, digit);
    if (DisplaySettingsPage *settings = displaySettings(page))
        settings->open(option->property("digitValue").toInt(),
                       option->text().replace(QLatin1String("&&"), QLatin1String("&")));
}

// Code 1: the third digit opens a display settings view; the send resets it.
class Code1Rules : public CodeRules
{
public:
    void runHandler(CodePage &page, Handler handler, int group, int digit) override
    {
        // The display settings views never change the group's digit value,
        // which only the page-entry restore sets.
        if (handler == Handler::OpenDisplaySettings)
            openDisplaySettings(page, group, digit);
        else
            CodeRules::runHandler(page, handler, group, digit);
    }
    bool loadDigit(CodePage &page, int group, int digit, bool) override
    {
        if (group != 2)
            return false;
        // The meter's view (at detection or on entry) is chosen as the
        // operator would choose it, which opens it; the group keeps the
        // meter's digit for the code word. A digit 0 is only shown.
        if (digit != 0) {
            page.setDigit(group, digit);
            return false;
        }
        page.takeDigit(group, digit);
        return true;
    }
    void beforeSend(CodePage &page) override
    {
        // The third digit goes back to "0 No Function", which loads the page
        // from register 198 when a view was chosen, and the page is closed.
        page.chooseOption(3, 0);
        if (DisplaySettingsPage *settings = displaySettings(page))
            settings->closeForCodeSend();
    }
};

// Code 2: tare functions and the K factor.
class Code2Rules : public CodeRules
{
public:
    void build(CodePage &page) override
    {
        m_kFactor = new KFactorPanel(page.context(), &page);
        m_kFactor->setGeometry(8, 296, 766, 160);
        m_kFactor->hide();
        QObject::connect(m_kFactor, &KFactorPanel::kFactorSent, &page, [&page]() {
            page.chooseOption(2, 0);
            page.setSendEnabled(true);
        });
    }
    void runHandler(CodePage &page, Handler handler, int group, int digit) override
    {
        if (handler != Handler::TareAndKFactor)
            return CodeRules::runHandler(page, handler, group, digit);
        page.setDigitFromOption(group, digit);
        if (group == 1 && digit == 7) {
            page.setSendEnabled(false);
            m_kFactor->openFromMeter();
            return;
        }
        if (group == 0 && digit >= 1 && digit <= 3) {
            // A tare function: the code may only go out once it is cleared.
            page.setSendEnabled(false);
            return;
        }
        if (page.optionAt(0, 0)->isChecked() && !page.optionAt(1, 7)->isChecked())
            page.setSendEnabled(true);
        m_kFactor->hide();
    }
    // A page holding a tare code (first digit 1 to 3) cannot be left.
    bool canLeave(const CodePage &page) const override { return page.storedCode() < 100; }

private:
    KFactorPanel *m_kFactor = nullptr;
};

// Codes 4 and 6: measurement types, sampling and the prescalers.
class ChannelRules : public CodeRules
{
public:
    explicit ChannelRules(bool counter) : m_counter(counter) {}

    void build(CodePage &page) override
    {
        if (m_counter)
            page.labelAt(2)->setObjectName(QStringLiteral("Label30"));
        else
            page.labelAt(1)->setObjectName(QStringLiteral("Label37"));
        m_prescaler = new PrescalerPanel(
            page.context(), m_counter ? PrescalerPanel::Channel::Counter : PrescalerPanel::Channel::SecondInput, &page);
        m_prescaler->setGeometry(8, 296, 380, 130);
        m_prescaler->hide();
        const bool counter = m_counter;
        QObject::connect(m_prescaler, &PrescalerPanel::closing, &page, [&page, counter]() {
            page.chooseOption(counter ? 3 : 2, 0);
            page.setSendEnabled(true);
        });
    }

    void runHandler(CodePage &page, Handler handler, int group, int digit) override
    {
        switch (handler) {
        case Handler::SamplingRate:
            chooseSamplingRate(page, group, digit);
            break;
        case Handler::MeasurementType:
            chooseMeasurementType(page, group, digit);
            break;
        case Handler::PrescalerMode:
            choosePrescalerMode(page, group, digit);
            break;
        case Handler::Channel2Type:
            chooseChannel2Type(page, group, digit);
            break;
        default:
            CodeRules::runHandler(page, handler, group, digit);
        }
    }

    void afterLoad(CodePage &page, const QString &digits) override
    {
        if (m_counter)
            setCode6TabFromSampling(page, digits.at(0).digitValue());
    }

    void restoreDigit(CodePage &page, int group, int digit) override
    {
        if (m_counter && group == 0)
            chooseSamplingRate(page, group, digit);
        else if (m_counter && group == 1)
            chooseMeasurementType(page, group, digit);
        else if (!m_counter && group == 0)
            chooseChannel2Type(page, group, digit);
    }

private:
    static void setCode6TabFromSampling(CodePage &page, int samplingDigit)
    {
        // Dual-channel sampling (1 and 3) has a channel 2 page; single-channel
        // sampling (0 and 2) has none.
        if (samplingDigit >= 0 && samplingDigit <= 3)
            page.context().shell->setTabVisible(PageId::Code6, samplingDigit % 2 == 1);
    }

    static void chooseSamplingRate(CodePage &page, int group, int digit)
    {
        page.setDigitFromOption(group, digit);
        setCode6TabFromSampling(page, digit);
    }

    void chooseMeasurementType(CodePage &page, int group, int digit)
    {
        page.setDigitFromOption(group, digit);
        page.setSendEnabled(true);
        m_prescaler->hide();
        page.chooseOption(3, 0);
        page.relabel(2, codetables::code4ThirdDigit(digit));
    }

    void choosePrescalerMode(CodePage &page, int group, int digit)
    {
        const bool setPrescaler = m_counter ? (digit == 1 && page.optionAt(1, 6)->isChecked())
                                            : (digit == 7 && page.optionAt(0, 3)->isChecked());
        if (setPrescaler) {
            // Setting the prescaler is an action: the digit keeps its value.
            page.setSendEnabled(false);
            m_prescaler->openFromMeter();
            return;
        }
        page.setSendEnabled(true);
        m_prescaler->hide();
        page.setDigitFromOption(group, digit);
    }

    static void chooseChannel2Type(CodePage &page, int group, int digit)
    {
        page.setDigitFromOption(group, digit);
        if (digit >= 0 && digit <= 3)
            page.relabel(1, codetables::code6SecondDigit(digit));
    }

    bool m_counter;
    PrescalerPanel *m_prescaler = nullptr;
};

// Code 8: the log buffer.
class Code8Rules : public CodeRules
{
public:
    void runHandler(CodePage &page, Handler handler, int group, int digit) override
    {
        if (handler != Handler::ResetLogBuffer)
            return CodeRules::runHandler(page, handler, group, digit);
        CommandExchange &exchange = *page.context().exchange;
        exchange.comms(writeCommand(720, 0));
        exchange.comms(writeCommand(721, 0));
        page.chooseOption(1, 2);
    }
    bool loadDigit(CodePage &page, int group, int digit, bool fromMeter) override
    {
        // A code read from the meter never resets its log buffer: "3 Reset
        // FIFO buffer" is an action, and the buffer it leaves is the linear one.
        if (!fromMeter || group != 0 || digit != 3)
            return false;
        page.chooseOption(1, 2);
        return true;
    }
    void enter(CodePage &page) override
    {
        // On models whose code contains "B" the log buffer is not chosen here.
        const bool bargraphModel = page.context().identity->modelCode.contains(QLatin1Char('B'));
        for (int d = 0; d < 4; ++d)
            page.optionAt(0, d)->setEnabled(!bargraphModel);
    }
};

// Runs an action when a field takes the focus from another control (not
// when the window is activated again or a popup closes).
class FocusInAction : public QObject
{
public:
    FocusInAction(QWidget *field, std::function<void()> action) : QObject(field), m_action(std::move(action))
    {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                m_action();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_action;
};

// Code 10: the bargraph on "B" models, the extra displays on "3" models.
class Code10Rules : public CodeRules
{
public:
    void build(CodePage &page) override
    {
        for (int g = 0; g < 3; ++g)
            page.labelAt(g)->setObjectName(QStringLiteral("Label%1").arg(128 + g));
        m_bar = new BargraphPanel(page.context(), &page);
        m_secondSource =
            sourceField(page, 1, QStringLiteral("Edit10"), QStringLiteral("Second display source register"));
        m_thirdSource = sourceField(page, 2, QStringLiteral("Edit11"), QStringLiteral("Third display source register"));
    }

    void runHandler(CodePage &page, Handler handler, int group, int digit) override
    {
        if (handler == Handler::OpenDisplaySettings) {
            openDisplaySettings(page, group, digit);
            return;
        }
        page.setDigitFromOption(group, digit);
        if (handler == Handler::BarScale)
            m_bar->setScaleType(digit);
    }

    bool loadDigit(CodePage &page, int group, int digit, bool) override
    {
        // The display options are chosen by the operator only; a code read
        // from the meter keeps its first digit.
        if (m_kind != Kind::ExtraDisplays || group != 0 || (digit != 2 && digit != 3))
            return false;
        page.takeDigit(group, digit);
        return true;
    }

    void enter(CodePage &page) override
    {
        const PageContext &context = page.context();
        m_bar->setSegments(bargraph::segments(context.identity->modelCode));
        if (m_kind == Kind::Bargraph)
            m_bar->drawBar();
        if (m_sourceRegisters) {
            for (QLineEdit *field : {m_secondSource, m_thirdSource}) {
                const Reply reply = context.exchange->comms(readCommand(field->property("register").toInt()));
                // A reply that is no number ends the entry; the field shows it clamped.
                convert::toInt(reply.value);
                field->setText(reply.value);
            }
        }
    }

    void beforeSend(CodePage &page) override
    {
        if (!m_sourceRegisters)
            return;
        CommandExchange &exchange = *page.context().exchange;
        // A field left without a number stops the send before anything is written.
        for (QLineEdit *field : {m_secondSource, m_thirdSource})
            convert::toInt(field->text());
        for (QLineEdit *field : {m_secondSource, m_thirdSource})
            exchange.comms(writeCommand(field->property("register").toInt(), field->text()));
    }

    void adaptTo(CodePage &page, const MeterIdentity &identity) override
    {
        // A bargraph model with extra displays ("3B") has the bar's options
        // and the extra displays' source registers as well.
        const bool sourceRegisters = identity.hasOption("3");
        if (identity.hasOption("B"))
            adapt(page, Kind::Bargraph, sourceRegisters);
        else if (sourceRegisters)
            adapt(page, Kind::ExtraDisplays, sourceRegisters);
        else
            return;
        page.context().shell->setTabVisible(PageId::Code10, true);
    }

private:
    enum class Kind { Unknown, Bargraph, ExtraDisplays };

    static QLineEdit *sourceField(CodePage &page, int group, const QString &name, const QString &accessibleName)
    {
        auto *edit = new QLineEdit(&page);
        edit->setObjectName(name);
        edit->setAccessibleName(accessibleName);
        edit->setProperty("register", group == 1 ? 229 : 230);
        edit->setGeometry(8 + group * 258 + 150, 296, 60, 24);
        edit->hide();
        // ValidateRegister: every change shows the text clamped to 1 .. 255;
        // a text that is no number yet (while typing) is left alone.
        QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString &text) {
            bool ok = false;
            const int value = text.toInt(&ok);
            if (ok && bargraph::clampSourceRegister(value) != value)
                edit->setText(QString::number(bargraph::clampSourceRegister(value)));
        });
        // DefineDisplay: entering the field chooses the digit's user-defined register.
        new FocusInAction(edit, [&page, group]() {
            runGuarded(page.context(), [&page, group]() { page.chooseOption(group + 1, 7); });
        });
        return edit;
    }

    // Relabels the page and binds its handlers for a bargraph or for extra
    // displays; a later detection run may find the other kind.
    void adapt(CodePage &page, Kind kind, bool sourceRegisters)
    {
        m_kind = kind;
        m_sourceRegisters = sourceRegisters;
        const bool bargraph = kind == Kind::Bargraph;
        const codetables::Code10Captions &captions =
            bargraph ? codetables::code10Bargraph() : codetables::code10ExtraDisplays();
        for (int g = 0; g < 3; ++g)
            page.labelAt(g)->setText(QString::fromLatin1(captions.labels[g]));
        for (int d = 0; d < 4; ++d)
            page.optionAt(0, d)->setText(CodePage::buttonText(captions.first[d]));
        for (int d = 0; d < CodePage::Options; ++d) {
            page.optionAt(1, d)->setText(CodePage::buttonText(captions.second[d]));
            page.optionAt(2, d)->setText(CodePage::buttonText(captions.third[d]));
            page.setHandler(2, d, bargraph ? Handler::BarScale : Handler::SetDigit);
        }
        // Options 2 and 3 of the first digit: fixed in bargraph mode, open the
        // display settings for the extra displays.
        page.optionAt(0, 1)->setEnabled(bargraph);
        page.optionAt(0, 2)->setEnabled(!bargraph);
        page.optionAt(0, 3)->setEnabled(!bargraph);
        page.optionAt(0, 2)->setProperty("digitValue", bargraph ? 200 : 22);
        page.optionAt(0, 3)->setProperty("digitValue", bargraph ? 300 : 23);
        page.setHandler(0, 2, bargraph ? Handler::SetDigit : Handler::OpenDisplaySettings);
        page.setHandler(0, 3, bargraph ? Handler::SetDigit : Handler::OpenDisplaySettings);
        page.optionAt(2, 2)->setEnabled(!bargraph);
        page.fitGroups();
        m_bar->setVisible(bargraph);
        m_secondSource->setVisible(sourceRegisters);
        m_thirdSource->setVisible(sourceRegisters);
    }

    Kind m_kind = Kind::Unknown;
    bool m_sourceRegisters = false;
    BargraphPanel *m_bar = nullptr;
    QLineEdit *m_secondSource = nullptr;
    QLineEdit *m_thirdSource = nullptr;
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
