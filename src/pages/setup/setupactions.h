#pragma once

#include "setupfile.h"

#include "link/prompts.h"

#include <QObject>

class MeterSetup;

// File > "Save Meter Setup..." and "Compare Meter with Setup File...": the
// questions, the reads with their progress, the file, the comparison table
// and the writing of its differences, all through the dialog seam.
// Each runs as one operation of the session.
class SetupActions : public QObject
{
    Q_OBJECT
public:
    static const Prompts::FileQuestion SaveQuestion;
    static const Prompts::FileQuestion OpenQuestion;

    explicit SetupActions(MeterSetup &setup, QObject *parent = nullptr);

    void saveMeterSetup();
    void compareWithFile();
    // Compares the meter with a file already checked, and writes its
    // differences while the operator asks for it.
    void compareWith(const setupfile::Document &file);

private:
    QString origin() const;

    MeterSetup &m_setup;
};
