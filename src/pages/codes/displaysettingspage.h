#pragma once

#include "pages/page.h"

#include <array>

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;

// The "Display Settings" page: the format code (rounding, display format,
// decimal point) and the last-digit character of one view of the meter.
// Its tab is shown only while a view is being edited; its tag is the
// FormatTarget, the view being edited (0: none).
class DisplaySettingsPage : public Page
{
    Q_OBJECT
public:
    static constexpr int Groups = 3;
    static constexpr int Options = 8;

    explicit DisplaySettingsPage(const PageContext &context, QWidget *parent = nullptr);

    int target() const { return tag(); }
    // The character code the send writes.
    int selectedCharacter() const { return m_selectedCharacter; }
    // Groups are numbered 1 to 3; nullptr where the digit has no option.
    QRadioButton *option(int group, int digit) const { return m_options[group - 1][digit]; }
    int digitValue(int group) const { return m_digitValue[group - 1]; }
    // The character button with this code ("Clear" is 0), or nullptr.
    QAbstractButton *characterButton(int code) const;
    QLabel *heading() const { return m_heading; }

    // Opens the page for a view, headed with the caption of the option that
    // chose it. Target 0 loads the page from register 198 without opening it.
    // An opening that fails part way leaves the page closed.
    void open(int target, const QString &caption);
    // Writes the format code and the character of the view, then closes.
    void send();
    // "Cancel": closes the page without writing.
    void closeSettings();
    // The Code 1 send closes the page: no view is edited any more.
    void closeForCodeSend();

private:
    void buildGroups();
    void buildCharacters();
    void loadFormat(int target);
    void chooseOption(int group, int digit);
    void runOption(int group, int digit);
    void readCharacter();
    void pressCharacter(QAbstractButton *button);
    void showCharacter(int code);
    void closeAfterFailure(int target);

    int m_selectedCharacter = 0;
    QLabel *m_heading = nullptr;
    std::array<int, Groups> m_digitValue{};
    std::array<QButtonGroup *, Groups> m_groups{};
    std::array<std::array<QRadioButton *, Options>, Groups> m_options{};
    QButtonGroup *m_characters = nullptr;
};
