#pragma once
// The rules of the performing-arts worker window "Iscritti Fpls ExEnpals"
// (zepRFplsExEnpals.h), without any display: the table of the month's
// workers enrolled in the performing-arts fund (TEFE_FPLSEXENPALS), its
// lookups and the items of its minimum-pay group. The checks before a post,
// the defaults of a new row and the grid are the employee window's
// (TZepDipendente).
#include "ZepCTabellaDenuncia.h"

#include <QPair>

class TZepFplsExEnpals {
public:
    static const QString Tabella; // "TEFE_FPLSEXENPALS"

    static const QList<TZepRicerca> &Ricerche();
    // The items of "Rispetto Minimale": caption and value.
    static const QList<QPair<QString, QString>> &RispettoMinimale();
};
