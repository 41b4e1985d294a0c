#pragma once
// The rules of the employee window "Dipendenti" (zepRDipendente.h), without
// any display: the table of the month's private-sector employees
// (TEMD_DIPENDENTI), the checks before a post, the defaults of a new row,
// the 2022 bonus group, the lookups and the grid.
#include "ZepCTabellaDenuncia.h"

#include <QString>

class TZepDipendente {
public:
    static const QString Tabella;        // "TEMD_DIPENDENTI"
    static const QString IndiceFrame;    // "Cognome;Nome;CFLavoratore;Matricola;Qualifica2"
    static const QString IndiceFinestra; // "Cognome;Nome;Matricola"

    // The fiscal code (on insert and on edit), the working period of a new
    // row, then the family unit.
    static void PrimaDelPost(platform::DataSet &dataSet);
    // A new row: Elimina "N", RispettoMinimale "0".
    static void NuovaRiga(platform::DataSet &dataSet);

    // The 2022 one-off bonus group of the working period.
    struct GruppoBonus {
        bool visibile = false;
        QString titolo;
        bool meseModificabile = false;
        bool riferimentoVisibile = false;
    };
    static GruppoBonus Bonus(const QString &anno, const QString &mese);

    // The lookups of the employee window; the first ones, those of the
    // worker's qualification, contribution, hiring, termination and family
    // unit (RicercheLavoratore), the performing-arts window has too.
    static const QList<TZepRicerca> &Ricerche();
    static const QList<TZepRicerca> &RicercheLavoratore();
    static const QList<TZepColonna> &Colonne();
    // The items of "Rispetto Minimale": caption and value.
    static const QList<QPair<QString, QString>> &RispettoMinimale();
    // The items of "Regime contributivo (dopo 1995)".
    static const QStringList &RegimePost95();
};
