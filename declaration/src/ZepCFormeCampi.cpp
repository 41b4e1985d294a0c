#include "ZepCFormeCampi.h"

#include "Currency.h"
#include "DataSet.h"
#include "Exceptions.h"
#include "Field.h"
#include "ZepULayoutNomi.h"

#include <QHash>
#include <QRegularExpression>

using platform::Field;
using Forma = TZepFormeCampi::Forma;

namespace {

// The fields of the declaration tables that have a fixed form (names in
// capitals). The same name has the same meaning in every table.
const QHash<QString, TZepFormeCampi::Regola> &Forme()
{
    static const QHash<QString, TZepFormeCampi::Regola> forme = [] {
        QHash<QString, TZepFormeCampi::Regola> f;
        const auto aggiungi = [&f](std::initializer_list<QString> campi, Forma forma, int cifre = 0) {
            for (const QString &campo : campi)
                f.insert(campo.toUpper(), {forma, cifre});
        };
        aggiungi({layouts::TAMM_AMMINISTRAZIONE::CAP, layouts::TD0_ANAG::N5_D0001009_CAPRES}, Forma::Cap);
        aggiungi({layouts::TAMM_AMMINISTRAZIONE::Provincia, layouts::TD0_ANAG::_6B_PRONAS,
                  layouts::TD0_ANAG::_7B_PRORES},
                 Forma::Provincia);
        aggiungi({layouts::TAMM_AMMINISTRAZIONE::CodiceComune, layouts::TD0_ANAG::AN_D0001006_COPNAS,
                  layouts::TD0_ANAG::AN_D0001007_COPRES},
                 Forma::CodiceCatastale);
        aggiungi({layouts::TAMM_AMMINISTRAZIONE::SedeINPS}, Forma::Cifre, 4);
        aggiungi({layouts::TEMD_DIPENDENTI::Matricola}, Forma::Cifre, 10);
        aggiungi({layouts::TE1_FONDIPENSIONE::N5_E1XXX031_COD_ENTE}, Forma::Cifre, 5);
        aggiungi({layouts::TEMD_DIPENDENTI::Anno, layouts::TD0_ANAG::SD0ANNOFIN, layouts::TE0_RETR::SE0ANNOFIN,
                  layouts::TV1_RETR::SV1ANNOFIN, layouts::TE1_FONDIPENSIONE::SE1ANNOFIN,
                  layouts::TEV_ENTEVERSANTEE0::SEVANNOFIN, layouts::TE0_RETR::RecuperoSgraviAnnoRif,
                  layouts::TE0_RETR::RecuperoSgravi13AnnoRif},
                 Forma::Anno);
        aggiungi({layouts::TEMD_DIPENDENTI::MeseDal, layouts::TEMD_DIPENDENTI::MeseAl,
                  layouts::TEMD_DIPENDENTI::BonusUTMese, layouts::TD0_ANAG::SD0AMESE, layouts::TE0_RETR::SE0AMESE,
                  layouts::TV1_RETR::SV1AMESE, layouts::TE1_FONDIPENSIONE::SE1AMESE,
                  layouts::TEV_ENTEVERSANTEE0::SEVMESE, layouts::TE0_RETR::RecuperoSgraviMeseRif,
                  layouts::TE0_RETR::RecuperoSgravi13MeseRif},
                 Forma::Mese);
        aggiungi({layouts::TEMD_DIPENDENTI::AnnoMeseDenuncia, layouts::TEV_ENTEVERSANTEV1::AnnoMeseErogazione},
                 Forma::Periodo);
        aggiungi({layouts::TE0_RETR::PC_E0XXX014_PERCPT, layouts::TE0_RETR::PC_E0XXX060_PERCASP,
                  layouts::TV1_RETR::PC_V1XXX014_PERCPT, layouts::TV1_RETR::PC_V1XXX060_PERCASP,
                  layouts::TE1_FONDIPENSIONE::PC_E1XXX006_PERC_LAVORATORE,
                  layouts::TE1_FONDIPENSIONE::PC_E1XXX007_PERC_CARICO_DATORE,
                  layouts::TE1_FONDIPENSIONE::PC_E1XXX008_PERC_TFR, layouts::TE0_RETR::PercRetribuzione,
                  layouts::TE0_RETR::PercRetribuzione_1},
                 Forma::Percentuale);
        aggiungi({layouts::TEMD_DIPENDENTI::PercPartTime, layouts::TEV_ENTEVERSANTEV1::Aliquota},
                 Forma::PercentualeCentesimi);
        aggiungi({layouts::TD0_ANAG::CB_D0001010_VARRES, layouts::TD0_ANAG::CB_D0001016_SATFRFONDI,
                  layouts::TD0_ANAG::CB_D0001018_FONDI, layouts::TE1_FONDIPENSIONE::CB_E1XXX013_CONGUAGLIO_FISCALE,
                  layouts::TE1_FONDIPENSIONE::ContribVersNonDich},
                 Forma::Flag);
        aggiungi({layouts::TD0_ANAG::AN_D0001004_SEX}, Forma::Sesso);
        return f;
    }();
    return forme;
}

bool Corrisponde(const QString &modello, const QString &testo)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(modello)).match(testo).hasMatch();
}

QString Tra(const QString &testo, double valore, double massimo, const QString &cosa)
{
    if (valore >= 0 && valore <= massimo)
        return {};
    return QStringLiteral("%1 non è %2").arg(testo, cosa);
}

} // namespace

TZepFormeCampi::Regola TZepFormeCampi::FormaDi(const QString &campo)
{
    return Forme().value(campo.toUpper());
}

QString TZepFormeCampi::Problema(const Regola &regola, const QString &testo)
{
    // Blanks alone are no value: whether one is needed is checked where it is.
    if (testo.trimmed().isEmpty())
        return {};
    const QString t = QLatin1Char('"') + testo + QLatin1Char('"');
    switch (regola.forma) {
    case Forma::Nessuna: return {};
    case Forma::Cap:
        return Corrisponde(QStringLiteral("[0-9]{5}"), testo) ? QString()
                                                              : t + QStringLiteral(" non è un CAP: servono 5 cifre");
    case Forma::Provincia:
        return Corrisponde(QStringLiteral("[A-Z]{2}"), testo)
                   ? QString()
                   : t + QStringLiteral(" non è la sigla di una provincia: servono 2 lettere maiuscole");
    case Forma::CodiceCatastale:
        return Corrisponde(QStringLiteral("[A-Z][0-9]{3}"), testo)
                   ? QString()
                   : t
                         + QStringLiteral(" non è il codice catastale di un comune: servono una lettera maiuscola e 3 "
                                          "cifre (A944)");
    case Forma::Cifre:
        return Corrisponde(QStringLiteral("[0-9]{%1}").arg(regola.cifre), testo)
                   ? QString()
                   : t + QStringLiteral(" non è un codice valido: servono %1 cifre").arg(regola.cifre);
    case Forma::Anno:
        return Corrisponde(QStringLiteral("[1-9][0-9]{3}"), testo)
                   ? QString()
                   : t + QStringLiteral(" non è un anno: servono 4 cifre");
    case Forma::Mese:
        return Corrisponde(QStringLiteral("0[1-9]|1[0-2]"), testo)
                   ? QString()
                   : t + QStringLiteral(" non è un mese: servono le cifre di un mese da 01 a 12");
    case Forma::Periodo:
        return Corrisponde(QStringLiteral("[1-9][0-9]{3}-(0[1-9]|1[0-2])"), testo)
                   ? QString()
                   : t + QStringLiteral(" non è un periodo: servono anno e mese come AAAA-MM");
    case Forma::Percentuale:
    case Forma::PercentualeCentesimi: return {}; // forms of numbers
    case Forma::Flag:
        return testo == QLatin1String("0") || testo == QLatin1String("1")
                   ? QString()
                   : t + QStringLiteral(" non è ammesso: 0 (no) o 1 (sì)");
    case Forma::Sesso:
        return testo == QLatin1String("M") || testo == QLatin1String("F") ? QString()
                                                                          : t + QStringLiteral(" non è ammesso: M o F");
    }
    return {};
}

QString TZepFormeCampi::Problema(const Field &campo)
{
    const Regola regola = FormaDi(campo.fieldName());
    if (regola.forma == Forma::Nessuna || campo.isNull())
        return {};
    if (!campo.isNumeric())
        return Problema(regola, campo.asString());
    const platform::Currency valore = campo.asCurrency();
    if (valore.isZero())
        return {};
    switch (regola.forma) {
    case Forma::Percentuale:
        return Tra(campo.displayText(), valore.toDouble(), 100, QStringLiteral("una percentuale: da 0 a 100"));
    case Forma::PercentualeCentesimi:
        return Tra(campo.displayText(), valore.toDouble(), 10000,
                   QStringLiteral("una percentuale in centesimi: da 0 a 10000 (50% = 5000)"));
    case Forma::Mese: return Problema(regola, QString::number(campo.asLargeInt()).rightJustified(2, u'0'));
    default: return Problema(regola, QString::number(campo.asLargeInt()));
    }
}

void TZepFormeCampi::Controlla(const platform::DataSet &dataSet)
{
    for (const auto &campo : dataSet.fields()) {
        if (campo->isCalculated())
            continue;
        const QString problema = Problema(*campo);
        if (!problema.isEmpty())
            throw EUqError(platform::fieldMessage(*campo, problema));
    }
}
