#pragma once
// "Scelta dipendenti": prints the employee rows of the working year, grouped by INPS company number for
// the chosen persons (TzepRepDip, zepCRepBase.h).
#include "zepFRepBase.h"

class TfmzepRepDip : public TfmzepRepBase {
    Q_OBJECT
public:
    explicit TfmzepRepDip(QWidget *owner = nullptr);

    // Registers the class by name (the command opens it so).
    static void RegisterClass();
    static void UnregisterClass();
};
