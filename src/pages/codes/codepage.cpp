#include "codepage.h"

#include "bargraphpanel.h"
#include "codemodel.h"
#include "displaysourcesmodel.h"
#include "kfactorpanel.h"
#include "prescalerpanel.h"

#include "pages/metersetup.h"

#include <QButtonGroup>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

constexpr int GroupWidth = 250;
constexpr int GroupGap = 8;

const char *const GroupCaptions[CodeModel::Groups] = {"First Digit", "Second Digit", "Third Digit"};

// Button captions show "&" literally instead of as a mnemonic marker.
QString buttonText(const QString &caption)
{
    return QString(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

QString tabSheetName(int code)
{
    if (code == CodeModel::CalibrationCode)
        return QStringLiteral("TabSheet4");
    return QStringLiteral("TabSheet%1").arg(code <= 8 ? code + 4 : code + 11);
}

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

} // namespace

CodePage::CodePage(const PageContext &context, int code, QWidget *parent)
    : Page(context, tabSheetName(code), parent), m_model(*context.setup->model<CodeModel>(CodeModel::info(code).page))
{
    addHeading(this, QString::fromLatin1(m_model.info().heading));
    buildGroups();

    m_send = new QPushButton(QStringLiteral("Send Code to Meter"), this);
    m_send->setObjectName(QString::fromLatin1(m_model.info().sendButton));
    m_send->setGeometry(640, 8, 140, 28);
    // The calibration code is only read; its send button has no action.
    if (code != CodeModel::CalibrationCode) {
        connect(m_send, &QPushButton::clicked, this,
                [this]() { runGuardedOperation(this->context(), [this]() { m_model.sendCode(); }); });
    }

    buildPanels();
    showModel();
    connect(&m_model, &PageModel::changed, this, &CodePage::showModel);
}

void CodePage::buildGroups()
{
    const CodeModel::Info &info = m_model.info();
    for (int g = 0; g < CodeModel::Groups; ++g) {
        auto *box = new QGroupBox(QString::fromLatin1(GroupCaptions[g]), this);
        box->setObjectName(QString::fromLatin1(info.groupNames[std::size_t(g)]));
        box->setGeometry(8 + g * 258, 40, GroupWidth, 250);
        auto *layout = new QVBoxLayout(box);
        QLabel *label = m_labels[std::size_t(g)] = new QLabel(box);
        if (const char *name = info.labelNames[std::size_t(g)])
            label->setObjectName(QString::fromLatin1(name));
        layout->addWidget(label);
        QButtonGroup *buttons = m_buttons[std::size_t(g)] = new QButtonGroup(box);
        for (int d = 0; d < CodeModel::Options; ++d) {
            auto *option = new QRadioButton(box);
            option->setObjectName(info.code == CodeModel::CalibrationCode
                                      ? QStringLiteral("CalibrationButton%1%2").arg(g + 1).arg(d)
                                      : QStringLiteral("RadioButton%1%2%3").arg(info.code).arg(g + 1).arg(d));
            option->setToolTip(m_model.hint(g, d));
            buttons->addButton(option, d);
            layout->addWidget(option);
            m_options[std::size_t(g)][std::size_t(d)] = option;
        }
        layout->addStretch();
        label->setBuddy(m_options[std::size_t(g)][0]);
        m_groups[std::size_t(g)] = box;
        // A change of checked state by a click, the keyboard or a screen
        // reader; the page's own updates block the group.
        connect(buttons, &QButtonGroup::idToggled, this, [this, g](int digit, bool checked) {
            if (checked)
                runGuarded(this->context(), [this, g, digit]() { m_model.choose(g, digit); });
        });
    }
}

void CodePage::buildPanels()
{
    if (KFactorModel *kFactor = m_model.kFactor())
        (new KFactorPanel(context(), *kFactor, this))->setGeometry(8, 296, 766, 160);
    if (PrescalerModel *prescaler = m_model.prescaler())
        (new PrescalerPanel(context(), *prescaler, this))->setGeometry(8, 296, 380, 130);
    if (BargraphModel *bar = m_model.bargraph())
        new BargraphPanel(context(), *bar, this);
    if (m_model.displaySources())
        buildDisplaySources();
}

void CodePage::buildDisplaySources()
{
    DisplaySourcesModel &sources = *m_model.displaySources();
    const char *const names[] = {"Edit10", "Edit11"};
    const char *const accessibleNames[] = {"Second display source register", "Third display source register"};
    for (int display = 0; display < DisplaySourcesModel::Displays; ++display) {
        // Beside option 7, the user-defined register, of the second or third digit.
        const int group = display + 1;
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(names[display]));
        edit->setAccessibleName(QString::fromLatin1(accessibleNames[display]));
        edit->setGeometry(8 + group * 258 + 150, 296, 60, 24);
        connect(edit, &QLineEdit::textChanged, this,
                [&sources, display](const QString &text) { sources.editText(display, text); });
        // Entering the field chooses the digit's user-defined register.
        new FocusInAction(edit,
                          [this, group]() { runGuarded(context(), [this, group]() { m_model.choose(group, 7); }); });
        m_sources[std::size_t(display)] = edit;
    }
    const auto showSources = [this, &sources]() {
        for (int display = 0; display < DisplaySourcesModel::Displays; ++display) {
            QLineEdit *edit = m_sources[std::size_t(display)];
            if (edit->text() != sources.text(display)) {
                const QSignalBlocker blocker(edit);
                edit->setText(sources.text(display));
            }
            edit->setVisible(sources.isShown());
        }
    };
    showSources();
    connect(&sources, &DisplaySourcesModel::changed, this, showSources);
}

void CodePage::showModel()
{
    for (int g = 0; g < CodeModel::Groups; ++g) {
        m_labels[std::size_t(g)]->setText(m_model.label(g));
        QButtonGroup *buttons = m_buttons[std::size_t(g)];
        const QSignalBlocker blocker(buttons);
        const int checked = m_model.checkedOption(g);
        // An exclusive group cannot clear itself.
        buttons->setExclusive(checked >= 0);
        for (int d = 0; d < CodeModel::Options; ++d) {
            QRadioButton *option = m_options[std::size_t(g)][std::size_t(d)];
            option->setText(buttonText(m_model.caption(g, d)));
            option->setVisible(m_model.isShown(g, d));
            option->setEnabled(m_model.isEnabled(g, d));
            option->setChecked(d == checked);
        }
        buttons->setExclusive(true);
    }
    m_send->setEnabled(m_model.canSend());
    m_send->setToolTip(m_model.waitsForRead()
                           ? QStringLiteral("The code was not read from the meter, so it cannot be sent yet.")
                           : QString());
    fitGroups();
}

void CodePage::fitGroups()
{
    // Each group is as wide as its longest caption needs, at least the
    // standard width, placed one after the other.
    int x = GroupGap;
    for (QGroupBox *box : m_groups) {
        box->move(x, box->y());
        box->resize(std::max(GroupWidth, box->sizeHint().width()), box->height());
        x += box->width() + GroupGap;
    }
}

void CodePage::enter(const PageEntry &entry)
{
    m_model.enter(entry.codeDigits);
}

bool CodePage::canLeave() const
{
    return m_model.canLeave();
}
