#include "displaysettingspage.h"

#include "codepage.h"
#include "displayformat.h"

#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/registers.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct FormatOption
{
    const char *caption; // nullptr: the digit has no option
    bool shown = true;
    bool enabled = true;
};

struct FormatGroup
{
    const char *name;
    const char *caption;
    const char *label;
    std::array<FormatOption, DisplaySettingsPage::Options> options;
};

const FormatGroup Groups[DisplaySettingsPage::Groups] = {
    {"GroupBox1",
     "First Digit",
     "Rounding",
     {{{"0 No Rounding"},
       {"1 Multiples of 2"},
       {"2 Multiples of 5"},
       {"3 Mulitples of 10"},
       {nullptr},
       {nullptr},
       {nullptr},
       {nullptr}}}},
    {"GroupBox2",
     "Second Digit",
     "Display Format",
     {{{"0 Decimal"},
       {"1 Hours:Minutes:Seconds"},
       {"2 12 or 24 Hour clock"},
       {"3 Days:Hours:Minutes"},
       {"4", false},
       {"5", false},
       {"6", false},
       // Never chosen here; a format read from the meter may check it.
       {"7 Alphanumeric character LSD", true, false}}}},
    {"GroupBox3",
     "Third Digit",
     "Decimal Point",
     {{{"0 No Decimal Point"},
       {"1 XX . XX . XX"},
       {"2 X . XXXXX"},
       {"3 X . XXXX"},
       {"4 X . XXX"},
       {"5 X . XX"},
       {"6 X . X"},
       {"7 Set from rear pins"}}}},
};

constexpr int Multipliers[DisplaySettingsPage::Groups] = {100, 10, 1};

// The character buttons, row by row; each shows its character and carries
// its character code. The blank button stands for code 42.
const char *const CharacterRows[] = {
    "ABCDEFGHIJKLNOPQRSTUVXYZ",
    "0123456789^-*~_<>=?@[]\\",
};
constexpr char BlankCharacter = '*';

// Buttons whose name is not "SpdB" + their code.
struct NamedCharacter
{
    int code;
    int nameNumber;
};
const NamedCharacter NamedCharacters[] = {{'~', 58}, {'-', 59}, {BlankCharacter, 96}};

int nameNumber(int code)
{
    for (const NamedCharacter &named : NamedCharacters) {
        if (named.code == code)
            return named.nameNumber;
    }
    return code;
}

} // namespace

DisplaySettingsPage::DisplaySettingsPage(const PageContext &context, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet19"), parent)
{
    m_heading = addHeading(this, QStringLiteral("Display setup"));
    m_heading->setObjectName(QStringLiteral("Label112"));
    m_heading->setTextFormat(Qt::PlainText);
    m_heading->resize(500, m_heading->height());
    buildGroups();

    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Button17"));
    cancel->setGeometry(530, 8, 100, 28);
    connect(cancel, &QPushButton::clicked, this,
            [this]() { runGuardedOperation(this->context(), [this]() { closeSettings(); }); });
    auto *sendButton = new QPushButton(QStringLiteral("Send Code to Meter"), this);
    sendButton->setObjectName(QStringLiteral("Button18"));
    sendButton->setGeometry(640, 8, 140, 28);
    connect(sendButton, &QPushButton::clicked, this,
            [this]() { runGuardedOperation(this->context(), [this]() { send(); }); });

    buildCharacters();
}

void DisplaySettingsPage::buildGroups()
{
    for (int g = 0; g < Groups; ++g) {
        const FormatGroup &table = ::Groups[g];
        auto *box = new QGroupBox(QString::fromLatin1(table.caption), this);
        box->setObjectName(QString::fromLatin1(table.name));
        box->setGeometry(8 + g * 258, 40, 250, 250);
        auto *layout = new QVBoxLayout(box);
        auto *label = new QLabel(QString::fromLatin1(table.label), box);
        layout->addWidget(label);
        m_groups[g] = new QButtonGroup(box);
        for (int d = 0; d < Options; ++d) {
            const FormatOption &entry = table.options[d];
            if (!entry.caption)
                continue;
            auto *option = new QRadioButton(QString::fromLatin1(entry.caption), box);
            option->setObjectName(QStringLiteral("RadioButtonD%1%2").arg(g + 1).arg(d));
            option->setProperty("digitValue", d * Multipliers[g]);
            option->setChecked(d == 0);
            option->setVisible(entry.shown);
            option->setEnabled(entry.enabled);
            m_groups[g]->addButton(option, d);
            layout->addWidget(option);
            m_options[g][d] = option;
            connect(option, &QRadioButton::toggled, this, [this, g, d](bool checked) {
                if (checked)
                    runGuarded(this->context(), [this, g, d]() { runOption(g, d); });
            });
        }
        layout->addStretch();
        label->setBuddy(m_options[g][0]);
    }
}

void DisplaySettingsPage::buildCharacters()
{
    auto *panel = new QGroupBox(QStringLiteral("Select character to display"), this);
    panel->setObjectName(QStringLiteral("Panel12"));
    panel->setGeometry(8, 298, 774, 100);
    auto *grid = new QGridLayout(panel);
    grid->setSpacing(2);
    // At most one button is pressed; pressing the pressed one releases it.
    m_characters = new QButtonGroup(this);
    m_characters->setExclusive(false);
    const auto addButton = [this, panel, grid](int code, const QString &caption, const QString &accessibleName, int row,
                                               int column) {
        auto *button = new QToolButton(panel);
        button->setText(caption);
        button->setObjectName(QStringLiteral("SpdB%1").arg(nameNumber(code)));
        button->setAccessibleName(accessibleName);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setMinimumSize(26, 26);
        m_characters->addButton(button, code);
        grid->addWidget(button, row, column);
    };
    int row = 0;
    for (const char *characters : CharacterRows) {
        int column = 0;
        for (const char *c = characters; *c; ++c, ++column) {
            const bool blank = *c == BlankCharacter;
            const QString shown = blank ? QString() : QString(QLatin1Char(*c));
            // "&" would mark a mnemonic; no character here is one.
            addButton(int(*c), shown,
                      blank ? QStringLiteral("Blank character") : QStringLiteral("Character %1").arg(shown), row,
                      column);
        }
        ++row;
    }
    addButton(0, QStringLiteral("Clear"), QStringLiteral("Clear character"), 0, 24);
    // Any change of a button by the operator (mouse, keyboard, a screen
    // reader's Toggle action); the page's own changes block the group.
    connect(m_characters, &QButtonGroup::buttonToggled, this,
            [this](QAbstractButton *button) { pressCharacter(button); });
}

QAbstractButton *DisplaySettingsPage::characterButton(int code) const
{
    return m_characters->button(code);
}

// --- opening and loading

void DisplaySettingsPage::open(int target, const QString &caption)
{
    setTag(target);
    if (target == 0) {
        loadFormat(target);
        return;
    }
    try {
        m_heading->setText(caption.mid(2));
        const Reply character = context().exchange->comms(readCommand(displayformat::characterRegister(target)));
        showCharacter(convert::toInt(character.value));
        loadFormat(target);
    } catch (const UserError &) {
        closeAfterFailure(target);
        throw;
    }
    // Shown once the view is loaded, so that a failed opening leaves no page
    // that looks loaded.
    context().shell->setTabVisible(PageId::DisplaySettings, true);
    context().shell->showPage(PageId::DisplaySettings);
}

void DisplaySettingsPage::loadFormat(int target)
{
    const Reply reply = context().exchange->comms(readCommand(displayformat::formatRegister(target)));
    const QString digits = displayformat::formatDigits(reply.value);
    for (int g = 0; g < Groups; ++g) {
        const int d = digits.at(g).digitValue();
        m_digitValue[g] = d * Multipliers[g];
        if (d < Options && m_options[g][d]) {
            chooseOption(g, d);
        } else {
            // No option stands for this digit: none is checked, and the
            // digit is kept so that a send writes it back unchanged.
            m_groups[g]->setExclusive(false);
            for (QAbstractButton *option : m_groups[g]->buttons()) {
                const QSignalBlocker blocker(option);
                option->setChecked(false);
            }
            m_groups[g]->setExclusive(true);
        }
    }
}

void DisplaySettingsPage::closeAfterFailure(int target)
{
    setTag(0);
    context().shell->setTabVisible(PageId::DisplaySettings, false);
    // The option that asked for the view shows the group's digit again, so
    // that the operator can choose the view once more.
    const bool fromCode1 = target <= 7;
    if (auto *opener = qobject_cast<CodePage *>(context().shell->page(fromCode1 ? PageId::Code1 : PageId::Code10)))
        opener->showDigitValue(fromCode1 ? 2 : 0);
}

void DisplaySettingsPage::chooseOption(int group, int digit)
{
    QRadioButton *option = m_options[group][digit];
    if (option->isChecked())
        return;
    {
        // The handler runs here, so that a failure reaches the caller.
        const QSignalBlocker blocker(option);
        option->setChecked(true);
    }
    runOption(group, digit);
}

void DisplaySettingsPage::runOption(int group, int digit)
{
    m_digitValue[group] = m_options[group][digit]->property("digitValue").toInt();
    if (group == 1 && digit == 7)
        readCharacter();
}

void DisplaySettingsPage::readCharacter()
{
    const Reply reply = context().exchange->comms(readCommand(displayformat::characterRegister(target())));
    showCharacter(convert::toInt(reply.value));
}

// --- the character

void DisplaySettingsPage::pressCharacter(QAbstractButton *button)
{
    const int code = m_characters->id(button);
    if (!button->isChecked()) {
        // Released: no character is chosen, as with "Clear".
        m_selectedCharacter = 0;
        return;
    }
    const QSignalBlocker blocker(m_characters);
    for (QAbstractButton *other : m_characters->buttons()) {
        if (other != button)
            other->setChecked(false);
    }
    m_selectedCharacter = code;
}

void DisplaySettingsPage::showCharacter(int code)
{
    m_selectedCharacter = code;
    // A code without a button is kept, with no button pressed.
    const QSignalBlocker blocker(m_characters);
    for (QAbstractButton *button : m_characters->buttons())
        button->setChecked(m_characters->id(button) == code);
}

// --- sending and closing

void DisplaySettingsPage::send()
{
    const int target = this->target();
    // Target 0 is no view: its registers are setpoint 6's control bits and
    // the sub-totaliser's format, which this page never writes.
    if (displayformat::isView(target)) {
        CommandExchange &exchange = *context().exchange;
        const int sum = m_digitValue[0] + m_digitValue[1] + m_digitValue[2];
        exchange.comms(writeCommand(displayformat::formatRegister(target), sum));
        exchange.comms(writeCommand(displayformat::characterRegister(target), m_selectedCharacter));
    }
    closeSettings();
}

void DisplaySettingsPage::closeSettings()
{
    const int target = this->target();
    PageShell &shell = *context().shell;
    // The page closes on every path, also when a read below fails.
    const auto hide = qScopeGuard([&shell]() { shell.setTabVisible(PageId::DisplaySettings, false); });
    // Code 1's third digit goes back to "0 No Function", which loads the
    // page for target 0 when the page was opened from there.
    if (auto *code1 = qobject_cast<CodePage *>(shell.page(PageId::Code1)))
        code1->chooseOption(3, 0);
    if (target > 7) {
        shell.showPage(PageId::Code10);
        if (auto *code10 = qobject_cast<CodePage *>(shell.page(PageId::Code10)))
            code10->chooseOption(1, 0);
    }
}

void DisplaySettingsPage::closeForCodeSend()
{
    setTag(0);
    context().shell->setTabVisible(PageId::DisplaySettings, false);
}
