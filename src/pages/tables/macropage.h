#pragma once

#include "pages/page.h"
#include "tablefiles.h"

class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// The "Macros" page: the meter's macro memory as one row per byte (address,
// byte, comment) under a free-text header, kept in files, written back to
// the meter, and the button that starts and stops the macros.
class MacroPage : public Page
{
    Q_OBJECT
public:
    explicit MacroPage(const PageContext &context, QWidget *parent = nullptr);

    // Entering the page shows whether the macros run.
    void enter(const PageEntry &entry) override;

    void uploadMacro();
    void downloadMacro();
    void toggleRunState();
    void saveMacro();
    void openMacro();

    // The whole image: the rows the grid does not show, the grid's comments
    // and the header text as they are now.
    tablefiles::MacroImage image() const;
    QString runState() const;
    QTableWidget *grid() const { return m_grid; }
    QPlainTextEdit *header() const { return m_header; }

private:
    void showImage(const tablefiles::MacroImage &image);
    void setRunState(const QString &caption);
    void enableTransfers();

    // Addresses and bytes of every row; the grid shows rows 1 to 127 and
    // holds their comments.
    tablefiles::MacroImage m_image;
    QPlainTextEdit *m_header = nullptr;
    QTableWidget *m_grid = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_download = nullptr;
    QPushButton *m_run = nullptr;
};
