#pragma once

#include "pages/pagemodel.h"

#include <array>
#include <exception>
#include <functional>

// The Display Settings page without its widgets: the format code (rounding,
// display format, decimal point) and the last-digit character of one view
// of the meter. The page is open, with its tab shown, only while a view is
// being edited; the pages that open views learn of its closing from
// closed() and openingFailed().
class DisplaySettingsModel : public PageModel
{
    Q_OBJECT
public:
    static constexpr int Groups = 3;
    static constexpr int Options = 8;

    explicit DisplaySettingsModel(const ModelContext &context, QObject *parent = nullptr);

    // The view being edited: 1 to 7 chosen on the Code 1 page, 22 and 23
    // the second and third displays; 0 none.
    int target() const { return m_target; }
    QString heading() const { return m_heading; }
    // The option checked in a group (0 to 2); -1 where the digit has none.
    int checkedOption(int group) const { return m_checked[std::size_t(group)]; }
    int digitValue(int group) const { return m_digitValue[std::size_t(group)]; }
    int formatCode() const;
    // The character code the send writes.
    int selectedCharacter() const { return m_character; }
    // Whether its button shows pressed: not once the operator released it.
    bool characterPressed() const { return m_characterPressed; }

    // Opens the page for a view, headed with the caption of the option that
    // chose it. Target 0 loads the page from register 198 without opening
    // it. An opening that fails part way leaves the page closed.
    void open(int target, const QString &caption);
    // An option chosen by the operator or a format read: its handler runs
    // only when it was not checked already.
    void choose(int group, int digit);
    // A character button pressed or released.
    void pressCharacter(int code, bool pressed);
    // "Send Code to Meter": writes the view's format code and character,
    // then closes.
    void send();
    // "Cancel": closes without writing.
    void close();
    // The Code 1 send closes the page: no view is edited any more.
    void closeForCodeSend();
    // For the pages that open views: runs their part of a closing. A failure
    // in it ends the closing once the signal has returned, instead of
    // passing through the signal; no later part runs.
    void runOnClosing(const std::function<void()> &step);

    QList<SettingRegister> settings() const override;

signals:
    // The page closed; the pages that open views choose their options
    // without a view again.
    void closed(int target);
    // An opening stopped part way: the option that asked for it shows the
    // group's digit again.
    void openingFailed(int target);

private:
    void loadFormat(int target);
    void readCharacter();
    void showCharacter(int code);
    void setOpen(bool open);

    int m_target = 0;
    QString m_heading;
    std::array<int, Groups> m_checked{};
    std::array<int, Groups> m_digitValue{};
    int m_character = 0;
    bool m_characterPressed = false;
    std::exception_ptr m_closingFailure;
};
