#include "codepage.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

const CodePage::Info Codes[] = {
    {1, 130, 5, "Display Setup", "Display setup", "Button4", {"GroupBox11", "GroupBox12", "GroupBox13"}},
    {2, 131, 6, "Totalisator", "Totalisator", "Button3", {"GroupBox21", "GroupBox22", "GroupBox23"}},
    {3, 132, 7, "Analog Output", "Serial Mode & Analogue Output Source", "Button5",
     {"GroupBox31", "GroupBox32", "GroupBox33"}},
    {4, 133, 8, "Channel 1 Setup", "Channel 1 Measurement Type & Sampling Rate", "Button6",
     {"GroupBox41", "GroupBox42", "GroupBox43"}},
    {5, 134, 9, "Channel 1 Processing", "Channel 1 Processing", "Button7", {"GroupBox51", "GroupBox52", "GroupBox53"}},
    {6, 135, 10, "Channel 2 Setup", "Channel 2 Measurement Type & Sampling Rate", "Button8",
     {"GroupBox61", "GroupBox62", "GroupBox63"}},
    {7, 136, 11, "Result Processing", "Result Processing", "Button9", {"GroupBox71", "GroupBox72", "GroupBox73"}},
    {8, 137, 12, "Data Logging & Print Mode", "Data logging & Print Mode options", "Button10",
     {"GroupBox81", "GroupBox82", "GroupBox83"}},
    {9, 138, 13, "Digital Input Setup", "Digital Input Pins", "Button20", {"GroupBox4", "GroupBox8", "GroupBox9"}},
    {10, 139, 14, "Bargraph Setup", "Secondary Display", "Button21", {"GroupBox10", "GroupBox14", "GroupBox15"}},
};

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
    return Codes[code - 1];
}

CodePage::CodePage(const PageContext &context, int code, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet%1").arg(code <= 8 ? code + 4 : code + 11), parent),
      m_info(info(code))
{
    setTag(code <= 8 ? code : 0);
    addHeading(this, QString::fromLatin1(m_info.heading));

    for (int g = 0; g < Groups; ++g) {
        auto *box = new QGroupBox(QString::fromLatin1(GroupCaptions[g]), this);
        box->setObjectName(QString::fromLatin1(m_info.groupNames[g]));
        box->setGeometry(8 + g * 258, 40, 250, 250);
        auto *layout = new QVBoxLayout(box);
        m_labels[g] = new QLabel(box);
        if (code == 10)
            m_labels[g]->setObjectName(QStringLiteral("Label%1").arg(128 + g));
        layout->addWidget(m_labels[g]);
        auto *exclusive = new QButtonGroup(box);
        for (int d = 0; d < Options; ++d) {
            auto *option = new QRadioButton(QStringLiteral("%1 ").arg(d), box);
            option->setObjectName(QStringLiteral("RadioButton%1%2%3").arg(code).arg(g + 1).arg(d));
            option->setChecked(d == 0);
            exclusive->addButton(option, d);
            layout->addWidget(option);
            m_options[g][d] = option;
        }
        layout->addStretch();
        m_labels[g]->setBuddy(m_options[g][0]);
        m_groups[g] = box;
    }

    m_send = new QPushButton(QStringLiteral("Send Code to Meter"), this);
    m_send->setObjectName(QString::fromLatin1(m_info.sendButton));
    m_send->setGeometry(640, 8, 140, 28);

    if (code == 10)
        buildCode10Extras();
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
