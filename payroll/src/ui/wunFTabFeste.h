#pragma once
// The window "Elenco delle festività" (class TfmTabFeste, opened by name):
// the holidays of the payroll archive a year at a time, in a grid (date and
// description typed in place) with the contracts each one counts for below
// it. "Salva" checks the rows and writes them (TWunTabFeste); the window's
// close and a change of year ask before dropping changes. The holidays'
// query collection is the property "xqcChiusure" (a TUqQueryCollection*),
// which the programs' command registry adjusts when the window is made.
#include "UqFChildDBDA.h"
#include "wunCTabFeste.h"

class QPushButton;
class QSpinBox;
class QTableView;

namespace platform {
class DataSetModel;
class DBRadioGroup;
}

class TfmTabFeste : public TfmUqChildDBDA {
    Q_OBJECT
    Q_PROPERTY(TUqQueryCollection *xqcChiusure READ Chiusure)
public:
    explicit TfmTabFeste(QWidget *owner = nullptr);
    ~TfmTabFeste() override;

    TWunTabFeste &Regole() { return m_regole; }
    TUqQueryCollection *Chiusure() { return &m_regole.xqcChiusure; }

    QSpinBox *seAnno;
    QTableView *grFeste;
    platform::DataSetModel *grModel;
    platform::DBRadioGroup *rgTipo; // "Contratti"
    QPushButton *btInserisci, *btCancella, *btSalva, *btAnnulla;

    static void RegisterClass();
    static void UnregisterClass();

protected:
    void FormShow() override;

private:
    void CambiaAnno(int anno);
    void Inserisci();
    void Cancella();
    void Salva();
    void Annulla();
    void AggiornaPulsanti();

    TWunTabFeste m_regole;
    int m_osservatore = 0;
};
