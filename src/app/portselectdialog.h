#pragma once

#include "link/serialline.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QLabel;
class QPushButton;

// "Select Port": offered when the configured port cannot be used. Lists the
// ports found and shows which device is behind the one selected.
class PortSelectDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PortSelectDialog(const QList<PortEntry> &ports, QWidget *parent = nullptr);

    // The number after "COM" in the selected entry, or 0 when there is none.
    int selectedPort() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showDevice(int index);

    QList<PortEntry> m_ports;
    QComboBox *m_combo = nullptr;
    QLabel *m_deviceLabel = nullptr;
    QPushButton *m_okButton = nullptr;
};
