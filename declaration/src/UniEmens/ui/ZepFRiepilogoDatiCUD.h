#pragma once
// "Stampa riepilogativa dati del CUD": the public-sector persons of the
// working year in a read-only grid with multiple selection (a person whose
// declaration is printed or sent in red) and "Stampa", which prints the
// yearly summary of the chosen persons (every one when none is chosen) in
// the print preview. The rules are TZepRiepilogoDatiCUD's
// (ZepCRiepilogoDatiCUD.h). There is no layout editor ("Modifica"):
// the layout is the program's own.
#include "UqDialog.h"
#include "ZepCRiepilogoDatiCUD.h"

class QPushButton;
class QTableView;
namespace platform {
class DataSetModel;
}

class TfmZepRiepilogoDatiCUD : public TfmUqDialog {
    Q_OBJECT
public:
    explicit TfmZepRiepilogoDatiCUD(QWidget *owner = nullptr);
    ~TfmZepRiepilogoDatiCUD() override;

    QTableView *grPersone;
    QPushButton *buStampa; // "Stampa", the default button

    TZepRiepilogoDatiCUD &Logica() { return m_logica; }

    // Builds the person list (the first time the dialog is shown); errors
    // are shown and leave it empty.
    void FormShow();
    // "Stampa": errors are shown.
    void buStampaClick();

    static void RegisterClass();
    static void UnregisterClass();

protected:
    void showEvent(QShowEvent *event) override;

private:
    TZepRiepilogoDatiCUD m_logica;
    platform::DataSetModel *m_model;
    bool m_caricato = false;
};
