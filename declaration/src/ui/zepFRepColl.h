#pragma once
// "Scelta collaboratori": prints the collaborator rows of the working year for
// the chosen persons (TzepRepColl, zepCRepBase.h).
#include "zepFRepBase.h"

class TfmzepRepColl : public TfmzepRepBase {
    Q_OBJECT
public:
    explicit TfmzepRepColl(QWidget *owner = nullptr);

    // Registers the class by name (the command opens it so).
    static void RegisterClass();
    static void UnregisterClass();
};
