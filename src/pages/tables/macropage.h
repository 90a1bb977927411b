#pragma once

#include "pages/page.h"

class MacroModel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// The "Macros" page: the macro memory as one row per byte (address, byte,
// comment) under a free-text header, and the button that starts and stops
// the macros, over the page's model.
class MacroPage : public Page
{
    Q_OBJECT
public:
    explicit MacroPage(const PageContext &context, QWidget *parent = nullptr);

    // Entering the page shows whether the macros run.
    void enter(const PageEntry &entry) override;

private:
    void showModel();
    void openMacro();
    void saveMacro();

    MacroModel &m_model;
    QPlainTextEdit *m_header = nullptr;
    QTableWidget *m_grid = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_download = nullptr;
    QPushButton *m_run = nullptr;
};
