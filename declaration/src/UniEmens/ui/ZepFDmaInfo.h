#pragma once
// The public-sector check dialog: the check-result dialog with the
// mandatory fields of sections E0, V1 and E1 and the consistency checks of
// E1 (TZepDmaInfo). One instance, fmZepDmaInfo, made at start-up, serves
// the section windows (asked before a section row is saved) and the
// public-sector import (gathering its findings over a run).
#include "TovFInfo.h"

class TfmZepDmaInfo : public TfmTovInfo {
    Q_OBJECT
public:
    explicit TfmZepDmaInfo(QWidget *parent = nullptr);
    ~TfmZepDmaInfo() override;

    // The instance of the run; made here when start-up has not made one.
    static TfmZepDmaInfo &Corrente();

    // Checks the current rows, each with its own section's labels, and adds
    // what it finds; true when nothing was added.
    bool ControllaQuadri(const QList<platform::DataSet *> &sets);
    // Clear, check, and when something was found ask whether to go on:
    // true to go on.
    bool ControllaEChiedi(const QList<platform::DataSet *> &sets);
    // The end of a run: the list when there is one, else "Fine operazione".
    void MostraFineOperazione();

protected:
    void LoadFieldLabels() override;
    QString CheckField(const QString &fieldName, platform::DataSet &dataSet) override;
};
