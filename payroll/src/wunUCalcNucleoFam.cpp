#include "wunUCalcNucleoFam.h"

#include "tovCQueryText.h"
#include "tovUExceptions.h"
#include "tovUUtil.h"
#include "wunUCalcoli.h"
#include "wunUCalcoliAnno.h"

#include "Exceptions.h"
#include "Format.h"
#include "SqlQuery.h"
#include "UqMessages.h"

#include <algorithm>

using platform::Currency;
using platform::SqlQuery;

const QString TwunCalcNucleoFam::MsgErrore = QStringLiteral(
    "Errore in fase di calcolo assegno nucleo familiare:\r\r\n");

namespace {

const QString Execute = QStringLiteral("EXECUTE");

Currency euro(const char *testo)
{
    return Currency::fromString(QLatin1String(testo));
}

int intero(const SqlQuery &q, const char *campo)
{
    return q.value(QLatin1String(campo)).toInt();
}

} // namespace

int TwunCalcNucleoFam::TabellaMaster(int anno, int mese)
{
    SqlQuery q;
    for (int a = anno; a >= PrimoAnno; --a) {
        TovQueryText().AssignSQL(QStringLiteral("QRY_ANF_MASTER"), q);
        q.bind(QStringLiteral("DATARIF"), TTovDate::FirstDayOfMonth(a, mese));
        q.open();
        for (; !q.eof(); q.next()) {
            const platform::Value id = q.value(QStringLiteral("IAFMID"));
            if (!id.isEmpty())
                return id.toInt();
        }
        q.close();
    }
    return -1;
}

bool TwunCalcNucleoFam::NucleoUsato(int mese, int acomId, int &nucleo)
{
    nucleo = 0;
    SqlQuery q;
    TovQueryText().AssignSQL(QStringLiteral("QRY_ANF_NUCLEO_USATO"), q);
    q.bind(QStringLiteral("IACOMID"), acomId);
    q.open();
    if (!q.eof() && intero(q, "LAAFUSEASSNUC") == 1) {
        int figliMinori = intero(q, "IAAFNRFIGLMIN");
        int figliMaggioriDis = intero(q, "IAAFNRFIGLMAGDIS");
        int figliMinoriDis = 0;
        WunCalcolaAnno().AdeguaFigliNucleo(mese, figliMinori, figliMaggioriDis, figliMinoriDis);
        nucleo = intero(q, "IAAFNRCON") + intero(q, "IAAFNRALTRIMIN") + intero(q, "IAAFNRALTRIMAGDIS") + figliMinori
                 + figliMaggioriDis;
    }
    return nucleo > 0;
}

TwunCalcNucleoFam::TNucleo TwunCalcNucleoFam::LeggiNucleo(int acomId)
{
    try {
        SqlQuery q;
        TovQueryText().AssignSQL(QStringLiteral("QRY_ANF_NUCLEO"), q);
        q.bind(QStringLiteral("IACOMID"), acomId);
        q.open();
        if (q.eof())
            throw platform::EDatabaseError(QStringLiteral("Nucleo familiare del compenso %1 non trovato").arg(acomId));
        TNucleo n;
        n.coniuge = intero(q, "IAAFNRCON");
        n.coniugeDisabile = intero(q, "IAAFNRCONDIS");
        n.figliMinori = intero(q, "IAAFNRFIGLMIN");
        n.figliMinoriDis = intero(q, "IAAFNRFIGLMINDIS");
        n.figliMaggioriDis = intero(q, "IAAFNRFIGLMAGDIS");
        n.altriMinori = intero(q, "IAAFNRALTRIMIN");
        n.altriMinoriDis = intero(q, "IAAFNRALTRIMINDIS");
        n.altriMaggioriDis = intero(q, "IAAFNRALTRIMAGDIS");
        n.reddito = q.value(QStringLiteral("FAAFREDDITO")).toCurrency();
        return n;
    } catch (const platform::Exception &e) {
        throw ETovCalcola(MsgErrore + QStringLiteral("ERROR PROCEDURE Get_All_fieldValue : ") + e.message());
    }
}

QString TwunCalcNucleoFam::CodiceTabella(int coniuge, int coniugeDisabile, int altriMaggioriDis, int altriMinoriDis,
                                         int altriMinori, int figliMaggioriDis, int figliMinoriDis, int figliMinori)
{
    const int d = figliMinoriDis + coniugeDisabile + figliMaggioriDis + altriMinoriDis + altriMaggioriDis;
    const int m = figliMinori;
    const int o = altriMinori;
    // Disabled members other than the spouse, with no child.
    const bool soloAltriDisabili = d >= 1 && m == 0 && figliMaggioriDis == 0 && altriMinoriDis + altriMaggioriDis >= 1
                                   && coniugeDisabile == 0;
    const bool soloConiugeDisabile = d >= 1 && m == 0 && coniugeDisabile == 1 && figliMaggioriDis == 0
                                     && altriMaggioriDis == 0 && altriMinoriDis == 0;
    const bool figliConDisabili = d >= 1 && (m >= 1 || figliMaggioriDis >= 1);
    switch (coniuge) {
    case 0:
        if (d == 0 && m + o >= 1)
            return QStringLiteral("T13");
        if (d >= 1 && m + o >= 1)
            return QStringLiteral("T16");
        if (d >= 1 && m == 0 && o == 0)
            return QStringLiteral("T19");
        break;
    case 1:
        if (d == 0 && m >= 1)
            return QStringLiteral("T12");
        if (figliConDisabili)
            return QStringLiteral("T15");
        if (soloAltriDisabili)
            return QStringLiteral("T20B");
        if (d == 0 && m == 0 && o >= 1)
            return QStringLiteral("T21B");
        if (soloConiugeDisabile && o >= 1)
            return QStringLiteral("T21D");
        break;
    case 2:
        if (d == 0 && m >= 1)
            return QStringLiteral("T11");
        if (figliConDisabili)
            return QStringLiteral("T14");
        if (soloAltriDisabili)
            return QStringLiteral("T20A");
        if (d == 0 && m == 0)
            return QStringLiteral("T21A");
        if (soloConiugeDisabile)
            return QStringLiteral("T21C");
        break;
    default: break;
    }
    return QString();
}

int TwunCalcNucleoFam::ColonnaNucleo(int nucleo)
{
    return std::min(nucleo, 12);
}

Currency TwunCalcNucleoFam::CorreggiImporto(const QString &tabella, int nucleo, int altri, int figli, Currency importo)
{
    const auto una = [&](std::initializer_list<const char *> codici) {
        return std::any_of(codici.begin(), codici.end(), [&](const char *c) { return tabella == QLatin1String(c); });
    };
    if (una({"T11", "T12"})) {
        if (nucleo >= 13)
            return importo * euro("1.15") + Currency::fromInt(nucleo * 55 - 660);
        if (figli == 1 && altri > 0)
            return importo - euro("10.42") - euro("54.17") * (altri - 1);
        if (figli > 1 && altri > 0)
            return importo - euro("54.17") * altri;
    } else if (una({"T14", "T15"})) {
        if (nucleo >= 13)
            return importo * euro("1.15") + euro("62.50") * (nucleo - 12);
        if (figli == 1 && altri > 0)
            return importo - euro("11.00") - euro("60.83") * (altri - 1);
        if (figli > 1 && altri > 0)
            return importo - euro("60.83") * altri;
    } else if (una({"T13", "T16", "T19"})) {
        if (nucleo > 12)
            return importo * euro("1.1") + euro("67.95") * (nucleo - 12);
    }
    return importo;
}

void TwunCalcNucleoFam::CalcolaAssegno(int anno, int mese, TRisultato &risultato, int acomId)
{
    risultato = TRisultato();
    risultato.master = TabellaMaster(anno, mese);
    if (risultato.master <= 0)
        return;
    int nucleo = 0;
    if (!NucleoUsato(mese, acomId, nucleo))
        return;
    risultato.nucleo = nucleo;

    TNucleo n = LeggiNucleo(acomId);
    WunCalcolaAnno().AdeguaFigliNucleo(mese, n.figliMinori, n.figliMaggioriDis, n.figliMinoriDis);
    risultato.tabella = CodiceTabella(n.coniuge, n.coniugeDisabile, n.altriMaggioriDis, n.altriMinoriDis, n.altriMinori,
                                      n.figliMaggioriDis, n.figliMinoriDis, n.figliMinori);
    if (risultato.tabella.isEmpty())
        return;

    try {
        SqlQuery q;
        q.setSql(platform::format(TovQueryText().GetSQL(QStringLiteral("QRY_ANF_IMPORTO"), Execute),
                                  QString::number(ColonnaNucleo(nucleo))));
        q.bind(QStringLiteral("IAFMID"), risultato.master)
            .bind(QStringLiteral("TABNAME"), risultato.tabella)
            .bind(QStringLiteral("REDDITO"), n.reddito);
        q.open();
        Currency importo;
        if (!q.eof()) {
            importo = q.value(QStringLiteral("REDDITO_VAL")).toCurrency();
            risultato.classe = intero(q, "CLASSE");
        }
        q.close();
        importo = CorreggiImporto(risultato.tabella, nucleo, n.altriMinori + n.altriMaggioriDis,
                                  n.figliMinori + n.figliMaggioriDis, importo);
        if (risultato.master == MasterMaggiorazione2021) {
            const int figli = n.figliMinori + n.figliMaggioriDis;
            const bool numerosi = figli > 2;
            importo += (numerosi ? euro("55.00") : euro("37.50")) * figli;
            risultato.nota = QString::number(figli)
                             + (numerosi ? QStringLiteral(" Figli. E' stata applicata una maggiorazione di 55,00 euro "
                                                          "per ogni figlio")
                                         : QStringLiteral(" Figli. E' stata applicata una maggiorazione di 37,50 euro "
                                                          "per ogni figlio"));
        }
        risultato.importo = TwunCalcola::Arrotonda(2, importo);
    } catch (const platform::Exception &e) {
        // A partial result would look valid: no amount and no table.
        risultato.importo = Currency();
        risultato.tabella.clear();
        risultato.classe = 0;
        UqShowError(MsgErrore + QStringLiteral("ERROR PROCEDURE GET_IMPORTO: ") + e.message());
    }
}
