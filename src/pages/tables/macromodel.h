#pragma once

#include "pages/pagemodel.h"
#include "tablefiles.h"

#include <optional>

// The meter's macro: the image of its bytes (address, byte and comment per
// row, under a free-text header), kept in files and written back to the
// meter, and whether the macros run (bit 4 of register 160).
class MacroModel : public PageModel
{
    Q_OBJECT
public:
    static constexpr int RunStateRegister = 160;

    explicit MacroModel(const ModelContext &context, QObject *parent = nullptr);

    const tablefiles::MacroImage &image() const { return m_image; }
    // The operator's edits: the header text and a row's comment.
    void setHeader(const QString &header) { m_image.header = header; }
    void setComment(int row, const QString &comment) { m_image.row(row).comment = comment; }

    // As the run button shows it: "Stopped" until the meter says otherwise.
    bool isStopped() const { return m_stopped; }
    // "Save" and "Download": enabled once the macro was uploaded or a file
    // opened; then for good.
    bool transfersEnabled() const { return m_transfersEnabled; }

    QList<SettingRegister> settings() const override;

    // Entering the page: reads whether the macros run.
    void readRunState();
    // Starts the macros when they are shown stopped, else stops them; the
    // state shown decides, not the value read.
    void toggleRunState();
    // Reads every macro word; the header and the comments are emptied.
    void uploadMacro();
    // Uploads the macro again when the page holds one.
    void refresh() override
    {
        if (m_transfersEnabled)
            uploadMacro();
    }
    // Writes the macro; the whole image is checked first.
    void downloadMacro();
    // Reads the file into the image: the header is replaced, only the rows
    // the file reaches change. Without a name (the dialog was cancelled)
    // nothing is read; either way transfers are enabled.
    void openMacro(const std::optional<QString> &fileName);
    void saveMacro(const QString &fileName);

private:
    void setStopped(bool stopped);
    void enableTransfers();

    tablefiles::MacroImage m_image;
    bool m_stopped = true;
    bool m_transfersEnabled = false;
};
