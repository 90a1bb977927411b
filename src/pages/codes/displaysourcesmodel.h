#pragma once

#include "pages/pagemodel.h"

#include <QObject>
#include <array>

// The user-defined source registers of the second and third displays
// (registers 229 and 230), on the Code 10 page of models with extra
// displays: read on entering the page, written before the code.
class DisplaySourcesModel : public QObject
{
    Q_OBJECT
public:
    static constexpr int Displays = 2;
    static constexpr int FirstRegister = 229;

    explicit DisplaySourcesModel(const ModelContext &context, QObject *parent = nullptr);

    bool isShown() const { return m_shown; }
    void setShown(bool shown);
    // Display 0 is the second display, 1 the third.
    QString text(int display) const { return m_texts[std::size_t(display)]; }
    // Every change of a field's text: a number is clamped to 1 .. 255; a
    // text that is no number yet (while typing) is kept.
    void editText(int display, const QString &text);

    // Reads both registers into the fields.
    void read();
    // Writes both fields as they read; a field that is no number stops the
    // writes before the first.
    void write();

    QList<SettingRegister> settings() const;

signals:
    void changed();

private:
    ModelContext m_context;
    bool m_shown = false;
    std::array<QString, Displays> m_texts;
};
