#pragma once
// The excess-hours pay module: the hourly rate of an item paid by the hour
// (overtime, excess hours), from the item's excess-hours rule (TOEPA through
// TOETB): numerator and denominator of the monthly base, whether the base
// includes the second base item (IIS), and a multiplier. The program makes
// the one module at start-up (dmWunOreEccedenti) and keeps it to the end.
#include "UqQueryCollection.h"

#include "Currency.h"

#include <QDate>
#include <QObject>

class TdmWunOreEccedenti : public QObject {
public:
    // Sets the global dmWunOreEccedenti (one module a run).
    explicit TdmWunOreEccedenti(QObject *parent = nullptr);
    ~TdmWunOreEccedenti() override;

    // The rule of the item (QRY_OETB_VACR), on the global connection.
    TUqQueryCollection xqcOetb;

    // Opens the item's rule; with a valid date only a rule whose validity
    // holds the date.
    void ApriRegola(int voce, const QDate &data = QDate());
    // IOEPANUM x (base, plus the extra base when LOEPACOMPRENDIIIS is 1) /
    // IOEPADEN, times FOEPAMAGG when that is above 0, rounded to cents. With
    // an item above 0 its rule is opened first (no date), otherwise the
    // open rule is used. An item without a rule has rate 0; a rule without
    // denominator raises ETovCalcola.
    platform::Currency TariffaOraria(int voce, platform::Currency baseExtra, platform::Currency base);
};

// The one module of the run (nullptr before it is created and after it is
// destroyed).
extern TdmWunOreEccedenti *dmWunOreEccedenti;
