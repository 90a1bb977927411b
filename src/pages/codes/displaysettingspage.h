#pragma once

#include "pages/page.h"

#include <array>

class DisplaySettingsModel;
class QButtonGroup;
class QLabel;
class QRadioButton;

// The "Display Settings" page, a view of its DisplaySettingsModel: the
// heading naming the view, the three digit groups of the format code, the
// character buttons, and the "Cancel" and "Send Code to Meter" buttons.
class DisplaySettingsPage : public Page
{
    Q_OBJECT
public:
    explicit DisplaySettingsPage(const PageContext &context, QWidget *parent = nullptr);

private:
    void buildGroups();
    void buildCharacters();
    void showModel();

    DisplaySettingsModel &m_model;
    QLabel *m_heading = nullptr;
    std::array<QButtonGroup *, 3> m_groups{};
    QButtonGroup *m_characters = nullptr;
};
