#pragma once
// A small window with no caption and one centred line, "Allineamento
// database in corso ...", and two empty datasets. Created at start-up with
// the other application-wide windows; the current program never shows it
// (the earlier program's local-file form shows it while it brings its year
// files to the current structure).
#include "DataSet.h"

#include <QDialog>

class QLabel;

class TfmZepKax : public QDialog {
    Q_OBJECT
public:
    explicit TfmZepKax(QWidget *owner = nullptr);

    QLabel *laMessaggio;
    platform::DataSet cdsNew;
    platform::DataSet cdsOld;
};
