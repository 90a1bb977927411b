#pragma once

#include "pages/page.h"

#include <QList>

class LinearizationModel;
class QProgressBar;
class QPushButton;
class QStackedLayout;
class QTableWidget;
class QToolButton;

// The "Linearization Tables" page: four tables of 32 input/output points
// side by side, each under its selector button, over the page's model.
class LinearizationPage : public Page
{
    Q_OBJECT
public:
    explicit LinearizationPage(const PageContext &context, QWidget *parent = nullptr);

    // First entry: the model reads every table, with the progress bar in
    // place of the buttons.
    void enter(const PageEntry &entry) override;

private:
    // Shows the model: tables, selectors, the current table, the buttons.
    void showModel();
    // A selector: its table becomes current and takes the focus.
    void selectTable(int table);
    void openTable();
    void saveTable();

    LinearizationModel &m_model;
    QList<QToolButton *> m_selectors;
    QList<QTableWidget *> m_grids;
    QPushButton *m_open = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_upload = nullptr;
    QPushButton *m_download = nullptr;
    QStackedLayout *m_buttonArea = nullptr;
    QWidget *m_progressPanel = nullptr;
    QProgressBar *m_progress = nullptr;
};
