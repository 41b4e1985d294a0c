#pragma once
// The month day grid: one box per day of the working month under its
// weekday letter and day number, headed "Giorni (S=Lavorato; N=Non
// lavorato; vuoto=non in servizio)". A box takes only a blank, 'S' or 'N'
// ('s' and 'n' as capitals; Backspace and Delete blank it); Tab and the
// arrows move between the boxes; every other key is ignored. The rules are
// TZepMese's (zepCMese.h); the frame shows them.
//
//     TfrZepMese *mese = new TfrZepMese(panel);
//     mese->Inizializza(&frame->cdsMain);   // follows and writes GIORNI
//
// Tied to a dataset, the grid shows the field GIORNI of the current record
// and writes it at every changed day (the dataset goes into edit first), so
// the window posts the codes with the record; a failure to edit is shown
// and the day stays as it was.
#include "zepCMese.h"

#include <QFrame>
#include <QList>

class QGridLayout;
class QLabel;
class QLineEdit;

class TfrZepMese : public QFrame {
    Q_OBJECT
public:
    explicit TfrZepMese(QWidget *parent = nullptr);
    ~TfrZepMese() override;

    QFrame *paGG;     // the grid's panel
    QLabel *lbTitolo; // the header
    QLabel *lbw1;     // day 1: weekday letter,
    QLabel *lb1;      //        day number,
    QLineEdit *edGG1; //        code box

    // The days of the working month get their boxes (day 1 is there from
    // the start; the others are made here: "lbw", "lb", "edgg" + day), tied
    // to the field `campo` of `dataSet` (none: codes kept by the grid only).
    // EUqError when no working period is set.
    void Inizializza(platform::DataSet *dataSet, const QString &campo = TZepMese::CampoGiorni);
    int Giorni() const { return m_regole.Giorni(); }
    // The box of a day (nullptr outside the month).
    QLineEdit *CasellaGiorno(int giorno) const;

    // The codes as one text; the codes from a text (see TZepMese).
    QString GetGiorni() const { return m_regole.GetGiorni(); }
    void SetGiorni(const QString &testo) { m_regole.SetGiorni(testo); }

    TZepMese &Regole() { return m_regole; }

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The handler of every day box's keys: true when the key is consumed.
    bool edGG1KeyDown(int giorno, int tasto, const QString &testo);
    void PreparaCasella(QLineEdit *casella, int giorno);
    void Mostra();

    TZepMese m_regole;
    QGridLayout *m_griglia;
    QList<QWidget *> m_aggiunti; // the controls of days 2 .. N
};
