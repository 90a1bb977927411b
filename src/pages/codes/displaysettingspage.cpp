#include "displaysettingspage.h"

#include "displayformat.h"
#include "displaysettingsmodel.h"

#include "pages/metersetup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

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
    : Page(context, QStringLiteral("TabSheet19"), parent),
      m_model(*context.setup->model<DisplaySettingsModel>(PageId::DisplaySettings))
{
    m_heading = addHeading(this, m_model.heading());
    m_heading->setObjectName(QStringLiteral("Label112"));
    m_heading->setTextFormat(Qt::PlainText);
    m_heading->resize(500, m_heading->height());
    buildGroups();

    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Button17"));
    cancel->setGeometry(530, 8, 100, 28);
    connect(cancel, &QPushButton::clicked, this,
            [this]() { runGuardedOperation(this->context(), [this]() { m_model.close(); }); });
    auto *send = new QPushButton(QStringLiteral("Send Code to Meter"), this);
    send->setObjectName(QStringLiteral("Button18"));
    send->setGeometry(640, 8, 140, 28);
    connect(send, &QPushButton::clicked, this,
            [this]() { runGuardedOperation(this->context(), [this]() { m_model.send(); }); });

    buildCharacters();
    showModel();
    connect(&m_model, &PageModel::changed, this, &DisplaySettingsPage::showModel);
}

void DisplaySettingsPage::buildGroups()
{
    const auto &groups = displayformat::formatGroups();
    for (int g = 0; g < DisplaySettingsModel::Groups; ++g) {
        const displayformat::FormatGroup &table = groups[std::size_t(g)];
        auto *box = new QGroupBox(QString::fromLatin1(table.caption), this);
        box->setObjectName(QString::fromLatin1(table.name));
        box->setGeometry(8 + g * 258, 40, 250, 250);
        auto *layout = new QVBoxLayout(box);
        auto *label = new QLabel(QString::fromLatin1(table.label), box);
        layout->addWidget(label);
        m_groups[std::size_t(g)] = new QButtonGroup(box);
        for (int d = 0; d < DisplaySettingsModel::Options; ++d) {
            const displayformat::FormatOption &entry = table.options[std::size_t(d)];
            if (!entry.caption)
                continue;
            auto *option = new QRadioButton(QString::fromLatin1(entry.caption), box);
            option->setObjectName(QStringLiteral("RadioButtonD%1%2").arg(g + 1).arg(d));
            option->setVisible(entry.shown);
            option->setEnabled(entry.enabled);
            m_groups[std::size_t(g)]->addButton(option, d);
            layout->addWidget(option);
        }
        layout->addStretch();
        label->setBuddy(m_groups[std::size_t(g)]->button(0));
        connect(m_groups[std::size_t(g)], &QButtonGroup::idToggled, this, [this, g](int digit, bool checked) {
            if (checked)
                runGuarded(this->context(), [this, g, digit]() { m_model.choose(g, digit); });
        });
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
    connect(m_characters, &QButtonGroup::idToggled, this,
            [this](int code, bool pressed) { m_model.pressCharacter(code, pressed); });
}

void DisplaySettingsPage::showModel()
{
    m_heading->setText(m_model.heading());
    for (int g = 0; g < DisplaySettingsModel::Groups; ++g) {
        QButtonGroup *group = m_groups[std::size_t(g)];
        const QSignalBlocker blocker(group);
        const int checked = m_model.checkedOption(g);
        // An exclusive group cannot clear itself.
        group->setExclusive(false);
        for (QAbstractButton *option : group->buttons())
            option->setChecked(group->id(option) == checked);
        group->setExclusive(true);
    }
    const QSignalBlocker blocker(m_characters);
    const int pressed = m_model.characterPressed() ? m_model.selectedCharacter() : -1;
    for (QAbstractButton *button : m_characters->buttons())
        button->setChecked(m_characters->id(button) == pressed);
}
