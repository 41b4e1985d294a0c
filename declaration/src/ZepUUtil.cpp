#include "ZepUUtil.h"

#include "Exceptions.h"

QString AnnoDenuncia;
QString MeseDenuncia;

namespace {
// The text as a number; 0 when it is not one.
int numeroOZero(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : 0;
}

// The first day of the working month; EUqError when none is set.
QDate primoGiornoMeseDenuncia()
{
    const QDate first(numeroOZero(AnnoDenuncia), numeroOZero(MeseDenuncia), 1);
    if (!first.isValid() || first.year() < 1)
        throw EUqError(QStringLiteral("Periodo di denuncia non impostato o non valido: \"%1\"").arg(PeriodoDenuncia()));
    return first;
}
} // namespace

void SetPeriodoDenuncia(const QString &anno, const QString &mese)
{
    AnnoDenuncia = anno;
    MeseDenuncia = mese;
}

QString PeriodoDenuncia()
{
    return ComponiPeriodo(AnnoDenuncia, MeseDenuncia);
}

QString ComponiPeriodo(const QString &anno, const QString &mese)
{
    return anno + QLatin1Char('-') + mese;
}

QString PeriodoDaData(const QDate &data)
{
    return data.toString(QStringLiteral("yyyy-MM"));
}

bool PeriodoValido(const QString &testo)
{
    if (testo.size() != 7)
        return false;
    const int anno = numeroOZero(testo.left(4));
    const int mese = numeroOZero(testo.mid(5, 2));
    return anno >= 1 && mese >= 1 && mese <= 12;
}

int GiorniMeseDenuncia()
{
    return primoGiornoMeseDenuncia().daysInMonth();
}

QDate DataGiornoMeseDenuncia(int giorno)
{
    const QDate first = primoGiornoMeseDenuncia();
    if (giorno < 1 || giorno > first.daysInMonth())
        throw EUqError(QStringLiteral("Il mese %1 non ha il giorno %2").arg(PeriodoDenuncia()).arg(giorno));
    return first.addDays(giorno - 1);
}

bool DenunciaDal2011()
{
    return AnnoDenuncia >= QStringLiteral("2011");
}
