#pragma once
// The working period: the declaration month every command works on, held as
// two texts ("2024", "03") that only the dialog "Parametri" sets, and the
// helpers the imports, windows, prints and the file generator use.
// Periods are compared and stored as text "AAAA-MM": text order is time
// order.
#include <QDate>
#include <QString>

// The financial year, four digits; empty until the dialog is first closed.
extern QString AnnoDenuncia;
// The month, two digits "01" to "12".
extern QString MeseDenuncia;

// Sets both texts (the dialog "Parametri"; tests).
void SetPeriodoDenuncia(const QString &anno, const QString &mese);

// AnnoDenuncia + "-" + MeseDenuncia.
QString PeriodoDenuncia();
// year + "-" + month.
QString ComponiPeriodo(const QString &anno, const QString &mese);
// The date as "yyyy-mm".
QString PeriodoDaData(const QDate &data);
// Exactly 7 characters, characters 1-4 a number of at least 1, characters
// 6-7 a number from 1 to 12; the fifth may be anything, and a part that is
// not a number counts as 0.
bool PeriodoValido(const QString &testo);
// Number of days of the working month. EUqError when no working period is
// set (the program sets one before any command runs).
int GiorniMeseDenuncia();
// The date of a day of the working month; EUqError for a day the month
// does not have or when no working period is set.
QDate DataGiornoMeseDenuncia(int giorno);
// AnnoDenuncia >= "2011" (as text).
bool DenunciaDal2011();
