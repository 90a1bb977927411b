#pragma once

#include "pages/page.h"

#include <array>

class CodeModel;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// One setup-code page (Code 1 to Code 10, or the calibration code), a view
// of its CodeModel: three digit groups of eight options, the send button,
// and the panels or fields the code has.
class CodePage : public Page
{
    Q_OBJECT
public:
    CodePage(const PageContext &context, int code, QWidget *parent = nullptr);

    void enter(const PageEntry &entry) override;
    bool canLeave() const override;

private:
    void buildGroups();
    void buildPanels();
    void buildDisplaySources();
    void showModel();
    void fitGroups();

    CodeModel &m_model;
    std::array<QGroupBox *, 3> m_groups{};
    std::array<QLabel *, 3> m_labels{};
    std::array<QButtonGroup *, 3> m_buttons{};
    std::array<std::array<QRadioButton *, 8>, 3> m_options{};
    QPushButton *m_send = nullptr;
    std::array<QLineEdit *, 2> m_sources{};
};
