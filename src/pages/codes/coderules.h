#pragma once

#include "codetables.h"

#include <QString>
#include <memory>

class CodePage;
struct MeterIdentity;
struct PageEntry;

// What one code adds to the generic code page: its panels, its option
// handlers, and its steps around sending, loading and entering the page.
// Groups are numbered 0 to 2 here.
class CodeRules
{
public:
    virtual ~CodeRules() = default;

    static std::unique_ptr<CodeRules> forCode(int code);

    // Builds the code's own controls once the groups exist.
    virtual void build(CodePage &) {}
    // Runs an option handler other than the generic one.
    virtual void runHandler(CodePage &page, codetables::Handler handler, int group, int digit);
    // Before the code word is written.
    virtual void beforeSend(CodePage &) {}
    // A digit the program chooses from a code: read from the meter (at
    // detection) or restored from the stored code on entry. Returns true
    // when the rule chose it.
    virtual bool loadDigit(CodePage &, int /*group*/, int /*digit*/, bool /*fromMeter*/) { return false; }
    // After the code was read from the meter at detection.
    virtual void afterLoad(CodePage &, const QString & /*digits*/) {}
    // The page's own entry handling, before the stored code is restored.
    virtual void enter(CodePage &) {}
    // A digit restored from the stored code on entry: the handlers that
    // relabel other groups run again.
    virtual void restoreDigit(CodePage &, int /*group*/, int /*digit*/) {}
    virtual bool canLeave(const CodePage &) const { return true; }
    virtual void adaptTo(CodePage &, const MeterIdentity &) {}
};
