#pragma once

#include "codetables.h"
#include "pages/settingregister.h"

#include <QList>
#include <QString>
#include <memory>

class BargraphModel;
class CodeModel;
class DisplaySourcesModel;
class KFactorModel;
class PrescalerModel;
struct MeterIdentity;

// What one code adds to the generic code model: its panels, its option
// handlers, and its steps around sending, loading and entering the page.
// Groups are numbered 0 to 2.
class CodeRules
{
public:
    virtual ~CodeRules() = default;

    static std::unique_ptr<CodeRules> forCode(int code);

    // Makes the code's panels and its links to other models, once the
    // options exist.
    virtual void build(CodeModel &) {}
    // Runs an option handler other than the generic one.
    virtual void runHandler(CodeModel &model, codetables::Handler handler, int group, int digit);
    // Before the code word is written.
    virtual void beforeSend(CodeModel &) {}
    // A digit the program chooses from a code: read from the meter (at
    // detection) or restored from the stored code on entry. Returns true
    // when the rule chose it.
    virtual bool loadDigit(CodeModel &, int /*group*/, int /*digit*/, bool /*fromMeter*/) { return false; }
    // After the code was read from the meter at detection.
    virtual void afterLoad(CodeModel &, const QString & /*digits*/) {}
    // The page's own entry handling, before the stored code is restored.
    virtual void enter(CodeModel &) {}
    // A digit restored from the stored code on entry: the handlers that
    // relabel other groups run again.
    virtual void restoreDigit(CodeModel &, int /*group*/, int /*digit*/) {}
    virtual bool canLeave(const CodeModel &) const { return true; }
    virtual void adaptTo(CodeModel &, const MeterIdentity &) {}
    // The registers of the code's panels and fields.
    virtual QList<SettingRegister> settings() const { return {}; }

    virtual KFactorModel *kFactor() const { return nullptr; }
    virtual PrescalerModel *prescaler() const { return nullptr; }
    virtual BargraphModel *bargraph() const { return nullptr; }
    virtual DisplaySourcesModel *displaySources() const { return nullptr; }
};
