#include "prescalerpanel.h"

#include "prescalermodel.h"

#include "pages/inputconventions.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSpinBox>

PrescalerPanel::PrescalerPanel(const PageContext &context, PrescalerModel &model, QWidget *parent)
    : QFrame(parent), m_context(context), m_model(model)
{
    const bool counter = model.channel() == PrescalerModel::Channel::Counter;
    setObjectName(counter ? QStringLiteral("Panel10") : QStringLiteral("Panel13"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);

    auto *grid = new QGridLayout(this);
    auto *caption = new QLabel(QStringLiteral("Counter Prescaler"));
    m_field = new QLineEdit;
    m_field->setObjectName(counter ? QStringLiteral("Edit2") : QStringLiteral("Edit6"));
    if (m_context.conventions)
        m_context.conventions->bindHighlight(m_field);
    m_field->setAccessibleName(QStringLiteral("Counter prescaler"));
    caption->setBuddy(m_field);

    // The up-down control is a spin box reduced to its arrows: its own text
    // stays hidden and read-only, the field beside it shows the position.
    m_upDown = new QSpinBox;
    m_upDown->setObjectName(counter ? QStringLiteral("UpDown4") : QStringLiteral("UpDown2"));
    m_upDown->setAccessibleName(QStringLiteral("Counter prescaler up-down"));
    m_upDown->setRange(PrescalerModel::Minimum, PrescalerModel::Maximum);
    m_upDown->setGroupSeparatorShown(false);
    m_upDown->setWrapping(false);
    if (auto *own = m_upDown->findChild<QLineEdit *>()) {
        own->setReadOnly(true);
        own->hide();
    }
    m_upDown->setFocusProxy(nullptr);
    m_upDown->setFocusPolicy(Qt::StrongFocus);
    QStyleOptionSpinBox option;
    option.initFrom(m_upDown);
    option.subControls = QStyle::SC_SpinBoxUp;
    option.rect = QRect(0, 0, 100, m_field->sizeHint().height());
    const QRect arrows = m_upDown->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, m_upDown);
    m_upDown->setFixedSize(arrows.width() + 4, m_field->sizeHint().height());

    grid->addWidget(caption, 0, 0);
    grid->addWidget(m_field, 0, 1);
    grid->addWidget(m_upDown, 0, 2);
    if (counter) {
        m_debounce = new QCheckBox(QStringLiteral("De-bounce"));
        m_debounce->setObjectName(QStringLiteral("CheckBox1"));
        grid->addWidget(m_debounce, 1, 1, 1, 2);
        connect(m_debounce, &QCheckBox::toggled, this, [this](bool on) { m_model.setDebounce(on); });
    }
    auto *send = new QPushButton(QStringLiteral("Send Values to Meter"));
    send->setObjectName(counter ? QStringLiteral("Button18") : QStringLiteral("Button19"));
    grid->addWidget(send, 2, 0, 1, 3);

    connect(m_field, &QLineEdit::textChanged, this,
            [this](const QString &text) { runGuarded(m_context, [this, text]() { m_model.editText(text); }); });
    connect(m_upDown, &QSpinBox::valueChanged, this,
            [this](int position) { runGuarded(m_context, [this, position]() { m_model.setPosition(position); }); });
    connect(send, &QPushButton::clicked, this, [this]() { runGuarded(m_context, [this]() { m_model.send(); }); });
    showModel();
    connect(&m_model, &PrescalerModel::changed, this, &PrescalerPanel::showModel);
}

void PrescalerPanel::showModel()
{
    if (m_field->text() != m_model.text()) {
        const QSignalBlocker blocker(m_field);
        m_field->setText(m_model.text());
    }
    {
        const QSignalBlocker blocker(m_upDown);
        m_upDown->setValue(m_model.position());
    }
    if (m_debounce) {
        const QSignalBlocker blocker(m_debounce);
        m_debounce->setChecked(m_model.debounce());
    }
    setVisible(m_model.isOpen());
}
