#include "codepage.h"

#include "kfactorpanel.h"
#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/registers.h"
#include "pages/inputconventions.h"
#include "prescalerpanel.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace {

using codetables::Handler;

const CodePage::Info Codes[] = {
    {0, 129, PageId::Calibration, "Calibration", "Calibration Modes for Input and Output", "CalibrationSendButton",
     {"CalibrationGroup1", "CalibrationGroup2", "CalibrationGroup3"}},
    {1, 130, PageId::Code1, "Display Setup", "Display setup", "Button4", {"GroupBox11", "GroupBox12", "GroupBox13"}},
    {2, 131, PageId::Code2, "Totalisator", "Totalisator", "Button3", {"GroupBox21", "GroupBox22", "GroupBox23"}},
    {3, 132, PageId::Code3, "Analog Output", "Serial Mode & Analogue Output Source", "Button5",
     {"GroupBox31", "GroupBox32", "GroupBox33"}},
    {4, 133, PageId::Code4, "Channel 1 Setup", "Channel 1 Measurement Type & Sampling Rate", "Button6",
     {"GroupBox41", "GroupBox42", "GroupBox43"}},
    {5, 134, PageId::Code5, "Channel 1 Processing", "Channel 1 Processing", "Button7", {"GroupBox51", "GroupBox52", "GroupBox53"}},
    {6, 135, PageId::Code6, "Channel 2 Setup", "Channel 2 Measurement Type & Sampling Rate", "Button8",
     {"GroupBox61", "GroupBox62", "GroupBox63"}},
    {7, 136, PageId::Code7, "Result Processing", "Result Processing", "Button9", {"GroupBox71", "GroupBox72", "GroupBox73"}},
    {8, 137, PageId::Code8, "Data Logging & Print Mode", "Data logging & Print Mode options", "Button10",
     {"GroupBox81", "GroupBox82", "GroupBox83"}},
    {9, 138, PageId::Code9, "Digital Input Setup", "Digital Input Pins", "Button20", {"GroupBox4", "GroupBox8", "GroupBox9"}},
    {10, 139, PageId::Code10, "Bargraph Setup", "Secondary Display", "Button21", {"GroupBox10", "GroupBox14", "GroupBox15"}},
};

constexpr int Multipliers[CodePage::Groups] = {100, 10, 1};

const char *const GroupCaptions[CodePage::Groups] = {"First Digit", "Second Digit", "Third Digit"};

struct Code10Captions
{
    const char *labels[3];
    const char *first[4];
    const char *second[8];
    const char *third[8];
};

const Code10Captions BargraphCaptions = {
    {"Display Option", "Source", "Scale"},
    {"0 Setpoints on bar", "1 Peak & Valley on bar", "2 Setup Colors", "3 Setup scaling"},
    {"0 Display Data", "1 Result", "2 Channel 1", "3 Channel 2", "4 Channel 3", "5 Channel 4", "6 Total",
     "7 Sub-total"},
    {"0 Linear", "1 via Linearization Table 1", "2 ", "3 Log 10 bar/decade", "4 Log 20 bar/decade",
     "5 Log 25 bar/decade", "6 Log 33 bar/decade", "7 Log 50 bar/decade"},
};

const Code10Captions ExtraDisplayCaptions = {
    {"Extra Display Setup", "Second Display Source", "Third Display Source"},
    {"0 No Function", "1 Set Source Registers", "2 Setup Second Display", "3 Setup Third Display"},
    {"0 Channel 1", "1 Channel 2", "2 Channel 3", "3 Channel 4", "4 Result", "5 Total", "6 Peak",
     "7 User defined register  ->"},
    {"0 Channel 1", "1 Channel 2", "2 Channel 3", "3 Channel 4", "4 Result", "5 Sub Total", "6 Valley",
     "7 User defined register   ->"},
};

// Button captions show "&" literally instead of as a mnemonic marker.
QString buttonText(const char *caption)
{
    return QString::fromLatin1(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

QLineEdit *makeEdit(QWidget *parent, const QString &name, const QString &accessibleName, const QRect &geometry)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(accessibleName);
    edit->setGeometry(geometry);
    return edit;
}

} // namespace

const CodePage::Info &CodePage::info(int code)
{
    return Codes[code];
}

CodePage::CodePage(const PageContext &context, int code, QWidget *parent)
    : Page(context,
           code == CalibrationCode ? QStringLiteral("TabSheet4")
                                   : QStringLiteral("TabSheet%1").arg(code <= 8 ? code + 4 : code + 11),
           parent),
      m_info(info(code))
{
    setTag(code >= 1 && code <= 8 ? code : 0);
    addHeading(this, QString::fromLatin1(m_info.heading));
    buildGroups();

    m_send = new QPushButton(QStringLiteral("Send Code to Meter"), this);
    m_send->setObjectName(QString::fromLatin1(m_info.sendButton));
    m_send->setGeometry(640, 8, 140, 28);
    // The calibration code is only read; its send button has no action.
    if (code != CalibrationCode) {
        connect(m_send, &QPushButton::clicked, this, [this]() {
            runGuardedOperation(this->context(), [this]() { SetCode(); });
        });
    }

    buildPanels();
    if (code == 10)
        buildCode10Extras();
}

void CodePage::buildGroups()
{
    const codetables::Table &table = codetables::optionTable(m_info.code);
    for (int g = 0; g < Groups; ++g) {
        auto *box = new QGroupBox(QString::fromLatin1(GroupCaptions[g]), this);
        box->setObjectName(QString::fromLatin1(m_info.groupNames[g]));
        box->setGeometry(8 + g * 258, 40, 250, 250);
        auto *layout = new QVBoxLayout(box);
        m_labels[g] = new QLabel(QString::fromLatin1(table[g].label), box);
        if (m_info.code == 10)
            m_labels[g]->setObjectName(QStringLiteral("Label%1").arg(128 + g));
        layout->addWidget(m_labels[g]);
        m_buttons[g] = new QButtonGroup(box);
        for (int d = 0; d < Options; ++d) {
            const codetables::Option &entry = table[g].options[d];
            auto *option = new QRadioButton(buttonText(entry.caption), box);
            option->setObjectName(QStringLiteral("RadioButton%1%2%3").arg(m_info.code).arg(g + 1).arg(d));
            if (m_info.code == CalibrationCode)
                option->setObjectName(QStringLiteral("CalibrationButton%1%2").arg(g + 1).arg(d));
            option->setProperty("digitValue", d * Multipliers[g]);
            option->setChecked(d == 0);
            option->setVisible(entry.mark != codetables::Mark::Hidden);
            option->setEnabled(entry.mark != codetables::Mark::Disabled);
            if (entry.hint)
                option->setToolTip(QString::fromLatin1(entry.hint));
            m_buttons[g]->addButton(option, d);
            layout->addWidget(option);
            m_options[g][d] = option;
            m_handlers[g][d] = entry.handler;
            connect(option, &QRadioButton::toggled, this, [this, g, d](bool checked) {
                if (checked)
                    userChose(g, d);
            });
        }
        layout->addStretch();
        m_labels[g]->setBuddy(m_options[g][0]);
        m_groups[g] = box;
    }
    if (m_info.code == 4)
        m_labels[2]->setObjectName(QStringLiteral("Label30"));
    if (m_info.code == 6)
        m_labels[1]->setObjectName(QStringLiteral("Label37"));
}

void CodePage::buildPanels()
{
    if (m_info.code == 2) {
        m_kFactor = new KFactorPanel(context(), this);
        m_kFactor->setGeometry(8, 296, 766, 160);
        m_kFactor->hide();
        connect(m_kFactor, &KFactorPanel::kFactorSent, this, [this]() {
            chooseOption(2, 0);
            m_send->setEnabled(true);
        });
    } else if (m_info.code == 4 || m_info.code == 6) {
        const bool counter = m_info.code == 4;
        m_prescaler = new PrescalerPanel(
            context(), counter ? PrescalerPanel::Channel::Counter : PrescalerPanel::Channel::SecondInput, this);
        m_prescaler->setGeometry(8, 296, 380, 130);
        m_prescaler->hide();
        connect(m_prescaler, &PrescalerPanel::closing, this, [this, counter]() {
            chooseOption(counter ? 3 : 2, 0);
            m_send->setEnabled(true);
        });
    }
}

void CodePage::chooseOption(int group, int digit)
{
    QRadioButton *option = m_options[group - 1][digit];
    if (option->isChecked())
        return;
    {
        // The program's own choice runs the handler here, so that a failure
        // reaches the caller instead of the window's guard.
        const QSignalBlocker blocker(option);
        option->setChecked(true);
    }
    runOption(group - 1, digit);
}

void CodePage::userChose(int group, int digit)
{
    runGuarded(context(), [this, group, digit]() { runOption(group, digit); });
}

void CodePage::runOption(int group, int digit)
{
    switch (m_handlers[group][digit]) {
    case Handler::OnClick:
        setDigitFromOption(group, digit);
        break;
    case Handler::OnClickCode1:
        OnClickCode1(group, digit);
        break;
    case Handler::OnClickCode2:
        OnClickCode2(group, digit);
        break;
    case Handler::OnClickCode41:
        OnClickCode41(group, digit);
        break;
    case Handler::OnClickCode42:
        OnClickCode42(group, digit);
        break;
    case Handler::OnClick43x:
        OnClick43x(group, digit);
        break;
    case Handler::OnClickCode6:
        OnClickCode6(group, digit);
        break;
    case Handler::OnClickCode81:
        OnClickCode81(group, digit);
        break;
    case Handler::OnClick103x:
        OnClick103x(group, digit);
        break;
    }
}

void CodePage::setDigitFromOption(int group, int digit)
{
    m_digitValue[group] = m_options[group][digit]->property("digitValue").toInt();
}

void CodePage::uncheckGroup(int group)
{
    m_buttons[group]->setExclusive(false);
    for (QRadioButton *option : m_options[group]) {
        const QSignalBlocker blocker(option);
        option->setChecked(false);
    }
    m_buttons[group]->setExclusive(true);
}

// --- the code word

void CodePage::SetCode()
{
    CommandExchange &exchange = *context().exchange;
    if (m_info.code == 1) {
        chooseOption(3, 0);
        context().shell->setTabVisible(PageId::DisplaySettings, false);
    }
    if (m_info.code == 10 && m_extraDisplays) {
        exchange.comms(writeCommand(229, m_secondSource->text()));
        exchange.comms(writeCommand(230, m_thirdSource->text()));
    }
    const int sum = m_digitValue[0] + m_digitValue[1] + m_digitValue[2];
    exchange.comms(writeCommand(m_info.reg, sum));
    const Reply reply = exchange.comms(readCommand(m_info.reg));
    showCodeRead(reply.value);
}

void CodePage::showCodeRead(const QString &replyValue)
{
    const int value = convert::toInt(replyValue);
    setSummaryCell(context(), summarycell::code(m_info.code), QString::number(value));
    setTag(value);
    m_codeRead = true;
    context().shell->setTabCaption(m_info.page, QStringLiteral("Code %1 - %2").arg(m_info.code).arg(replyValue));
}

void CodePage::loadFromMeter()
{
    // The digits come from this reply alone: option handlers run below make
    // exchanges of their own, which must not feed the next digit.
    const Reply reply = context().exchange->comms(readCommand(m_info.reg));
    showCodeRead(reply.value);
    if (reply.value.size() < Groups)
        throw UserError(QStringLiteral("'%1' is not a three-digit code").arg(reply.value));
    for (int g = 0; g < Groups; ++g)
        applyDigit(g, reply.value.at(g), true);
    if (m_info.code == 4)
        setCode6TabFromSampling(reply.value.at(0).digitValue());
}

void CodePage::applyDigit(int group, QChar digit, bool fromMeter)
{
    const int d = digit.digitValue();
    if (d < 0)
        throw UserError(QStringLiteral("'%1' is not a valid code digit").arg(digit));
    if (d >= Options) {
        // No option stands for 8 or 9: none is checked, and the digit is
        // kept so that the next send writes it back unchanged.
        uncheckGroup(group);
        m_digitValue[group] = d * Multipliers[group];
        return;
    }
    // A code read from the meter never resets its log buffer: "3 Reset FIFO
    // buffer" is an action, and the buffer it leaves is the linear one.
    if (fromMeter && m_info.code == 8 && group == 0 && d == 3) {
        chooseOption(1, 2);
        return;
    }
    chooseOption(group + 1, d);
}

void CodePage::enter(const PageEntry &entry)
{
    if (m_info.code == 8)
        enterCode8();
    // Codes 1 to 7 show the code last read from the meter again; a page
    // whose code was never read keeps what it shows.
    if (m_info.code >= 1 && m_info.code <= 7 && m_codeRead)
        restore(entry.SheetCodeDigits);
}

bool CodePage::canLeave() const
{
    return !(m_info.code == 2 && StoredCode() >= 100);
}

void CodePage::adaptTo(const MeterIdentity &identity)
{
    if (m_info.code != 10)
        return;
    if (identity.hasOption("B"))
        adaptCode10(Code10Mode::Bargraph);
    else if (identity.hasOption("3"))
        adaptCode10(Code10Mode::ExtraDisplays);
    else
        return;
    context().shell->setTabVisible(PageId::Code10, true);
}

void CodePage::restore(const QString &digits)
{
    for (int g = 0; g < Groups && g < digits.size(); ++g) {
        const int d = digits.at(g).digitValue();
        if (d < 0)
            continue;
        m_digitValue[g] = d * Multipliers[g];
        applyDigit(g, digits.at(g), false);
        if (d >= Options)
            continue;
        if (m_info.code == 4 && g == 0)
            OnClickCode41(g, d);
        else if (m_info.code == 4 && g == 1)
            OnClickCode42(g, d);
        else if (m_info.code == 6 && g == 0)
            OnClickCode6(g, d);
    }
}

// --- option handlers

void CodePage::OnClickCode1(int, int)
{
    // The third digit opens a display settings view; it never changes the
    // group's digit value, which only the page-entry restore sets.
}

void CodePage::OnClickCode2(int group, int digit)
{
    setDigitFromOption(group, digit);
    if (group == 1 && digit == 7) {
        m_send->setEnabled(false);
        m_kFactor->openFromMeter();
        return;
    }
    if (group == 0 && digit >= 1 && digit <= 3) {
        // A tare function: the code may only go out once it is cleared.
        m_send->setEnabled(false);
        return;
    }
    if (m_options[0][0]->isChecked() && !m_options[1][7]->isChecked())
        m_send->setEnabled(true);
    m_kFactor->hide();
}

void CodePage::setCode6TabFromSampling(int samplingDigit)
{
    // Dual-channel sampling (1 and 3) has a channel 2 page; single-channel
    // sampling (0 and 2) has none.
    if (samplingDigit >= 0 && samplingDigit <= 3)
        context().shell->setTabVisible(PageId::Code6, samplingDigit % 2 == 1);
}

void CodePage::OnClickCode41(int group, int digit)
{
    setDigitFromOption(group, digit);
    setCode6TabFromSampling(digit);
}

void CodePage::relabel(int group, const codetables::Relabel &relabel)
{
    for (QRadioButton *option : m_options[group])
        option->show();
    m_labels[group]->setText(QString::fromLatin1(relabel.label));
    for (int d = 0; d < Options; ++d) {
        if (relabel.captions[d])
            m_options[group][d]->setText(buttonText(relabel.captions[d]));
        else
            m_options[group][d]->hide();
    }
}

void CodePage::OnClickCode42(int group, int digit)
{
    setDigitFromOption(group, digit);
    m_send->setEnabled(true);
    m_prescaler->hide();
    chooseOption(3, 0);
    relabel(2, codetables::code4ThirdDigit(digit));
}

void CodePage::OnClick43x(int group, int digit)
{
    const bool code4 = m_info.code == 4;
    const bool setPrescaler = code4 ? (digit == 1 && m_options[1][6]->isChecked())
                                    : (digit == 7 && m_options[0][3]->isChecked());
    if (setPrescaler) {
        // Setting the prescaler is an action: the digit keeps its value.
        m_send->setEnabled(false);
        m_prescaler->openFromMeter();
        return;
    }
    m_send->setEnabled(true);
    m_prescaler->hide();
    setDigitFromOption(group, digit);
}

void CodePage::OnClickCode6(int group, int digit)
{
    setDigitFromOption(group, digit);
    if (digit >= 0 && digit <= 3)
        relabel(1, codetables::code6SecondDigit(digit));
}

void CodePage::OnClickCode81(int, int)
{
    CommandExchange &exchange = *context().exchange;
    exchange.comms(writeCommand(720, 0));
    exchange.comms(writeCommand(721, 0));
    chooseOption(1, 2);
}

void CodePage::OnClick103x(int group, int digit)
{
    setDigitFromOption(group, digit);
}

void CodePage::enterCode8()
{
    // On models whose code contains "B" the log buffer is not chosen here.
    const bool bargraphModel = context().identity->ModelCode.contains(QLatin1Char('B'));
    for (int d = 0; d < 4; ++d)
        m_options[0][d]->setEnabled(!bargraphModel);
}

void CodePage::buildCode10Extras()
{
    m_barLow = makeEdit(this, QStringLiteral("Edit7"), QStringLiteral("Bar low end"), {8, 300, 80, 24});
    m_barHigh = makeEdit(this, QStringLiteral("Edit8"), QStringLiteral("Bar high end"), {96, 300, 80, 24});
    m_barZero = makeEdit(this, QStringLiteral("Edit9"), QStringLiteral("Bar zero value"), {184, 300, 80, 24});
    m_barZeroPosition = new QSlider(Qt::Horizontal, this);
    m_barZeroPosition->setObjectName(QStringLiteral("TrackBar1"));
    m_barZeroPosition->setAccessibleName(QStringLiteral("Bar zero position"));
    m_barZeroPosition->setGeometry(8, 332, 256, 24);
    m_secondSource = makeEdit(this, QStringLiteral("Edit10"), QStringLiteral("Second display source register"),
                              {274, 300, 80, 24});
    m_thirdSource = makeEdit(this, QStringLiteral("Edit11"), QStringLiteral("Third display source register"),
                             {532, 300, 80, 24});
    m_secondSource->hide();
    m_thirdSource->hide();
    if (InputConventions *conventions = context().conventions) {
        for (QLineEdit *edit : {m_barLow, m_barHigh, m_barZero}) {
            conventions->bindEnterAsTab(edit);
            conventions->bindHighlight(edit);
        }
    }
}

void CodePage::adaptCode10(Code10Mode mode)
{
    const bool bargraph = mode == Code10Mode::Bargraph;
    const Code10Captions &captions = bargraph ? BargraphCaptions : ExtraDisplayCaptions;
    for (int g = 0; g < Groups; ++g)
        m_labels[g]->setText(QString::fromLatin1(captions.labels[g]));
    for (int d = 0; d < 4; ++d)
        m_options[0][d]->setText(buttonText(captions.first[d]));
    for (int d = 0; d < Options; ++d) {
        m_options[1][d]->setText(buttonText(captions.second[d]));
        m_options[2][d]->setText(buttonText(captions.third[d]));
    }
    // Options 2 and 3 of the first digit: fixed in bargraph mode, open the
    // display settings for the extra displays.
    m_options[0][1]->setEnabled(bargraph);
    m_options[0][2]->setEnabled(!bargraph);
    m_options[0][3]->setEnabled(!bargraph);
    m_options[0][2]->setProperty("digitValue", bargraph ? 200 : 22);
    m_options[0][3]->setProperty("digitValue", bargraph ? 300 : 23);
    m_options[2][2]->setEnabled(!bargraph);
    for (QWidget *w : {static_cast<QWidget *>(m_barLow), static_cast<QWidget *>(m_barHigh),
                       static_cast<QWidget *>(m_barZero), static_cast<QWidget *>(m_barZeroPosition)})
        w->setVisible(bargraph);
    if (!bargraph) {
        m_secondSource->show();
        m_thirdSource->show();
    }
}
