#pragma once
// The performing-arts day grid: for each day of the working month a column
// of a day-number label ("lb" + n), the weekday ("lbw" + n), a box of the
// worked row ("edGG" + n: "S" or blank) and a box of the coverage row
// ("edGGTC" + n: "X", "1", "2", "0" or blank), with a separator ("be" + n).
// The frame embeds it in the performing-arts frame; the rules are
// TZepMeseFplsExEnpals's (ZepCMeseFplsExEnpals.h).
#include "ZepCMeseFplsExEnpals.h"

#include <QFrame>
#include <QList>

class QLabel;
class QLineEdit;

namespace platform {
class DataSet;
}

class TfrZepMeseFplsExEnpals : public QFrame {
    Q_OBJECT
public:
    explicit TfrZepMeseFplsExEnpals(QWidget *parent = nullptr);

    QLabel *lbIntestazione;
    QList<QLabel *> lb;        // the day numbers
    QList<QLabel *> lbw;       // the weekdays
    QList<QLineEdit *> edGG;   // the worked row
    QList<QLineEdit *> edGGTC; // the coverage row

    // Keeps the dataset and lays out one column per day of the working
    // month.
    void Prepara(platform::DataSet &dataSet);
    int Giorni() const { return int(edGG.size()); }

    // The boxes from the two stored texts.
    void SetGiorni(const QString &lavorati, const QString &copertura);
    // The two texts to store, checked against the paid days (EUqError with
    // the rule's message).
    TZepMeseFplsExEnpals::Testi GetGiorni(int giorniRetribuiti) const;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A key in a box of the row: blanks and the row's characters replace
    // its text (the dataset put into edit first); other characters are
    // dropped; keys that move the focus pass.
    bool TastoGiorno(QLineEdit *edit, TZepMeseFplsExEnpals::Riga riga, QKeyEvent *key);

    platform::DataSet *m_dataSet = nullptr;
    QWidget *m_colonne;
};
