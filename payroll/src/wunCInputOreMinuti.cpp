#include "wunCInputOreMinuti.h"

#include "tovUUtil.h"

#include "DataSet.h"
#include "Field.h"

#include <QRegularExpression>

const QString TWunInputOreMinuti::Titolo = QStringLiteral("Inserire ore e minuti ...");
const QString TWunInputOreMinuti::Maschera = QStringLiteral("99:99;_");

QString TWunInputOreMinuti::TestoIniziale(const platform::Field &campo)
{
    if (campo.onGetText() || !campo.isNumeric() || campo.isNull())
        return campo.displayText();
    const int minuti = campo.asInteger();
    return QStringLiteral("%1:%2").arg(minuti / 60, 2, 10, QLatin1Char('0')).arg(minuti % 60, 2, 10, QLatin1Char('0'));
}

int TWunInputOreMinuti::Minuti(const QString &testo)
{
    static const QRegularExpression oreMinuti(QStringLiteral("^\\s*(\\d{1,2})\\s*:\\s*(\\d{1,2})\\s*$"));
    const QRegularExpressionMatch m = oreMinuti.match(testo);
    if (!m.hasMatch() || m.captured(2).toInt() >= 60)
        return -1;
    return m.captured(1).toInt() * 60 + m.captured(2).toInt();
}

bool TWunInputOreMinuti::Applica(platform::Field &campo, const QString &testo)
{
    TTovUtil::EditDataSet(&campo);
    if (!campo.isNumeric()) {
        campo.setAsString(testo);
        return true;
    }
    const int minuti = Minuti(testo);
    if (minuti < 0) {
        campo.clear();
        return false;
    }
    campo.setAsInteger(minuti);
    return true;
}
