#pragma once
// The base of the print dialogs "Scelta dipendenti" and "Scelta
// collaboratori": the choice list of the persons of the working year in a
// read-only grid with multiple selection, the month filter "Mese:" and OK,
// which prints the chosen persons (every one when none is chosen) in the
// print preview. The rules are TzepRepBase's (zepCRepBase.h).
#include "UqDialog.h"

#include <memory>

class QComboBox;
class QTableView;
class TzepRepBase;
namespace platform {
class DataSetModel;
}

class TfmzepRepBase : public TfmUqDialog {
    Q_OBJECT
public:
    ~TfmzepRepBase() override;

    QTableView *grScelta;
    QComboBox *cbMese; // "Mese:": "Tutti", "Gennaio" ... "Dicembre"

    TzepRepBase &Logica() const { return *m_logica; }

    // Loads the details and the choice list (the first time the dialog is
    // shown); errors are shown and leave the list empty.
    void FormShow();

protected:
    TfmzepRepBase(QWidget *owner, std::unique_ptr<TzepRepBase> logica, const QString &titolo);
    // OK prints; the dialog stays open after the preview when printing
    // failed.
    bool CanClose(int result) override;
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<TzepRepBase> m_logica;
    platform::DataSetModel *m_model;
    bool m_caricato = false;
};
