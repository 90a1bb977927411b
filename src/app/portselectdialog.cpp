#include "portselectdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

PortSelectDialog::PortSelectDialog(const QList<PortEntry> &ports, QWidget *parent) : QDialog(parent), m_ports(ports)
{
    setWindowTitle(QStringLiteral("Select Port"));
    setModal(true);

    auto *notValid = new QLabel(QStringLiteral("The configured serial port is not valid."), this);
    auto *choose = new QLabel(QStringLiteral("Please choose another port."), this);

    m_combo = new QComboBox(this);
    m_combo->setObjectName(QStringLiteral("portCombo"));
    m_combo->setEditable(false);
    m_combo->setAccessibleName(QStringLiteral("Serial port"));
    for (const PortEntry &entry : ports)
        m_combo->addItem(QStringLiteral("COM%1").arg(entry.number));

    auto *portLabel = new QLabel(QStringLiteral("&Port:"), this);
    portLabel->setBuddy(m_combo);

    m_deviceLabel = new QLabel(this);
    m_deviceLabel->setObjectName(QStringLiteral("deviceLabel"));
    m_deviceLabel->setTextFormat(Qt::PlainText);
    m_deviceLabel->setWordWrap(true);
    m_deviceLabel->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_deviceLabel->setAccessibleName(QStringLiteral("Device"));
    m_deviceLabel->setMinimumWidth(fontMetrics().averageCharWidth() * 36);

    auto *buttons = new QDialogButtonBox(this);
    m_okButton = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);
    m_okButton->setEnabled(!ports.isEmpty());
    QPushButton *cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *choice = new QGridLayout;
    choice->addWidget(portLabel, 0, 0);
    choice->addWidget(m_combo, 0, 1);
    choice->addWidget(m_deviceLabel, 0, 2);
    choice->setColumnStretch(2, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(notValid);
    layout->addWidget(choose);
    layout->addLayout(choice);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_combo, &QComboBox::currentIndexChanged, this, &PortSelectDialog::showDevice);
    m_combo->setCurrentIndex(ports.isEmpty() ? -1 : 0);
    showDevice(m_combo->currentIndex());
    m_combo->setFocus();
}

int PortSelectDialog::selectedPort() const
{
    const QString text = m_combo->currentText();
    if (!text.startsWith(QLatin1String("COM")))
        return 0;
    return text.mid(3).toInt();
}

void PortSelectDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QScreen *display = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(display->availableGeometry().center());
        move(frame.topLeft());
    }
}

void PortSelectDialog::showDevice(int index)
{
    QString text;
    if (index >= 0 && index < m_ports.size()) {
        const PortEntry &entry = m_ports.at(index);
        text = entry.device;
        if (!entry.description.isEmpty())
            text += QLatin1Char('\n') + entry.description;
        if (entry.busy)
            text += QStringLiteral("\n(in use)");
    }
    m_deviceLabel->setText(text);
    m_combo->setAccessibleDescription(text);
}
