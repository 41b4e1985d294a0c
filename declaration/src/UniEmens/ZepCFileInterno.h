#pragma once
// What the units of the file writer (ZepCFile*.cpp: the run and the
// positions, the individual declarations' head, the employees, the
// performing-arts workers, the company declaration, the collaborators, the
// public-sector positions)
// share: the fields of the tables, found once per run, and small helpers.
// Internal to those units. The file is the current program's UniEmens
// document: its model is the uniemens one.
#include "ZepCFile.h"

#include "ZepCCollaboratore.h"
#include "ZepCDenunciaAziendale.h"
#include "ZepCDipendente.h"
#include "ZepCFplsExEnpals.h"
#include "ZepCMittente.h"
#include "ZepCParametri.h"
#include "ZepCTabellaDenuncia.h"
#include "ZepUUtil.h"

#include "Database.h"
#include "Exceptions.h"
#include "Field.h"
#include "IniFile.h"
#include "TerminationSignals.h"
#include "UqMessages.h"
#include "WunUUtil.h"
#include "tovCGiorniDis.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

using platform::Bookmark;
using platform::Currency;
using platform::DataSet;
using platform::Field;
using namespace uniemens;

namespace zepfile {

inline const QString S = QStringLiteral("S");
// The cause of the 200 euros of July 2022.
inline const QString CausaleBonusLuglio = QStringLiteral("L031");
inline const QString Eliminato = QStringLiteral("********* ELIMINATO  ");
inline const QString FineEliminato = QStringLiteral("*********");

inline const Field *campo(const DataSet &ds, const QString &nome)
{
    return &ds.fieldByName(nome);
}

// An amount of an element that carries whole euros, in its digits. An
// amount with cents is refused, naming the field: written rounded, the file
// would declare another amount than the row's.
inline QString euroInteri(const Field *f)
{
    const Currency importo = f->asCurrency();
    if (importo.rounded(0) != importo)
        throw EUqError(
            platform::fieldMessage(*f, QStringLiteral("l'importo %1 va indicato in euro interi, senza centesimi")
                                           .arg(TZepFile::Importo(importo))));
    return QString::number(importo.truncated());
}

// The context line of a person: surname, name and fiscal code.
inline QString persona(const QString &cognome, const QString &nome, const QString &cf)
{
    return cognome + QLatin1Char(' ') + nome + QStringLiteral(" - CF: ") + cf;
}

inline QString data(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace zepfile

// ---------------------------------------------------------------------------
// The fields of the tables, found once per run.

struct TZepFile::CampiPersona {
    const Field *cf, *cognome, *nome, *matricola, *elimina, *qualifica1, *qualifica2, *qualifica3, *tipoContribuzione,
        *regimePost95, *cittadinanza, *unitaOperativa, *codiceComune, *codiceContratto, *giornoAssunzione,
        *tipoAssunzione, *giornoCessazione, *tipoCessazione, *tipoLavoratore, *imponibile, *contributo, *retribTeorica,
        *giorniRetribuiti, *giorniContribuiti, *rispettoMinimale;

    explicit CampiPersona(const DataSet &ds)
        : cf(zepfile::campo(ds, QStringLiteral("CFLavoratore"))),
          cognome(zepfile::campo(ds, QStringLiteral("COGNOME"))), nome(zepfile::campo(ds, QStringLiteral("NOME"))),
          matricola(zepfile::campo(ds, QStringLiteral("Matricola"))),
          elimina(zepfile::campo(ds, TZepTabellaDenuncia::CampoElimina)),
          qualifica1(zepfile::campo(ds, QStringLiteral("Qualifica1"))),
          qualifica2(zepfile::campo(ds, QStringLiteral("Qualifica2"))),
          qualifica3(zepfile::campo(ds, QStringLiteral("Qualifica3"))),
          tipoContribuzione(zepfile::campo(ds, QStringLiteral("TipoContribuzione"))),
          regimePost95(zepfile::campo(ds, QStringLiteral("RegimePost95"))),
          cittadinanza(zepfile::campo(ds, QStringLiteral("Cittadinanza"))),
          unitaOperativa(zepfile::campo(ds, QStringLiteral("UnitaOperativa"))),
          codiceComune(zepfile::campo(ds, QStringLiteral("CodiceComune"))),
          codiceContratto(zepfile::campo(ds, QStringLiteral("CodiceContratto"))),
          giornoAssunzione(zepfile::campo(ds, QStringLiteral("GiornoAssunzione"))),
          tipoAssunzione(zepfile::campo(ds, QStringLiteral("TipoAssunzione"))),
          giornoCessazione(zepfile::campo(ds, QStringLiteral("GiornoCessazione"))),
          tipoCessazione(zepfile::campo(ds, QStringLiteral("TipoCessazione"))),
          tipoLavoratore(zepfile::campo(ds, QStringLiteral("TipoLavoratore"))),
          imponibile(zepfile::campo(ds, QStringLiteral("Imponibile"))),
          contributo(zepfile::campo(ds, QStringLiteral("Contributo"))),
          retribTeorica(zepfile::campo(ds, QStringLiteral("RetribTeorica"))),
          giorniRetribuiti(zepfile::campo(ds, QStringLiteral("GiorniRetribuiti"))),
          giorniContribuiti(zepfile::campo(ds, QStringLiteral("GiorniContribuiti"))),
          rispettoMinimale(zepfile::campo(ds, QStringLiteral("RispettoMinimale")))
    {
    }
};

struct TZepFile::CampiDipendente : CampiPersona {
    const Field *orarioContrattuale, *percPartTime, *numMensilita, *tipoLavStat, *oreContribuite, *settimaneUtili,
        *giorni, *bonusImporto, *bonusMese, *bonusBaseRif, *esoneroImporto, *esoneroCausale, *esoneroBaseRif,
        *esonero13Importo, *esonero13Causale, *esonero13BaseRif, *tipoANF, *numANF, *classeANF;
    const Field *idSettimana[6];
    const Field *tipoCopertura[6];

    explicit CampiDipendente(const DataSet &ds)
        : CampiPersona(ds), orarioContrattuale(zepfile::campo(ds, QStringLiteral("OrarioContrattuale"))),
          percPartTime(zepfile::campo(ds, QStringLiteral("PercPartTime"))),
          numMensilita(zepfile::campo(ds, QStringLiteral("NumMensilita"))),
          tipoLavStat(zepfile::campo(ds, QStringLiteral("TipoLavStat"))),
          oreContribuite(zepfile::campo(ds, QStringLiteral("OreContribuite"))),
          settimaneUtili(zepfile::campo(ds, QStringLiteral("SettimaneUtili"))),
          giorni(zepfile::campo(ds, QStringLiteral("GIORNI"))),
          bonusImporto(zepfile::campo(ds, QStringLiteral("BonusUTImporto"))),
          bonusMese(zepfile::campo(ds, QStringLiteral("BonusUTMese"))),
          bonusBaseRif(zepfile::campo(ds, QStringLiteral("BonusUTBaseRif"))),
          esoneroImporto(zepfile::campo(ds, QStringLiteral("EsoneroIVSImporto"))),
          esoneroCausale(zepfile::campo(ds, QStringLiteral("EsoneroIVSCodiceCausale"))),
          esoneroBaseRif(zepfile::campo(ds, QStringLiteral("EsoneroIVSBaseRif"))),
          esonero13Importo(zepfile::campo(ds, QStringLiteral("EsoneroIVS13Importo"))),
          esonero13Causale(zepfile::campo(ds, QStringLiteral("EsoneroIVS13CodiceCausale"))),
          esonero13BaseRif(zepfile::campo(ds, QStringLiteral("EsoneroIVS13BaseRif"))),
          tipoANF(zepfile::campo(ds, QStringLiteral("TipoANF"))), numANF(zepfile::campo(ds, QStringLiteral("NumANF"))),
          classeANF(zepfile::campo(ds, QStringLiteral("ClasseAnf")))
    {
        for (int i = 0; i < 6; ++i) {
            idSettimana[i] = zepfile::campo(ds, QStringLiteral("IdSettimana_%1").arg(i + 1));
            tipoCopertura[i] = zepfile::campo(ds, QStringLiteral("TipoCopertura_%1").arg(i + 1));
        }
    }
};

struct TZepFile::CampiFpls : CampiPersona {
    const Field *imponibileCtrAgg, *contribAggCorrente, *impEccMassSpet, *contrEccMassSpet, *contrSolidarietaSpet,
        *tipoRapportoLav, *codiceQualifica, *giorniLavorati, *giorniTipoCopertura;

    explicit CampiFpls(const DataSet &ds)
        : CampiPersona(ds), imponibileCtrAgg(zepfile::campo(ds, QStringLiteral("ImponibileCtrAgg"))),
          contribAggCorrente(zepfile::campo(ds, QStringLiteral("ContribAggCorrente"))),
          impEccMassSpet(zepfile::campo(ds, QStringLiteral("ImpEccMassSpet"))),
          contrEccMassSpet(zepfile::campo(ds, QStringLiteral("ContrEccMassSpet"))),
          contrSolidarietaSpet(zepfile::campo(ds, QStringLiteral("ContrSolidarietaSpet"))),
          tipoRapportoLav(zepfile::campo(ds, QStringLiteral("TipoRapportoLav"))),
          codiceQualifica(zepfile::campo(ds, QStringLiteral("CodiceQualifica"))),
          giorniLavorati(zepfile::campo(ds, QStringLiteral("GiorniLavorati"))),
          giorniTipoCopertura(zepfile::campo(ds, QStringLiteral("GiorniTipoCopertura")))
    {
    }
};

struct TZepFile::CampiCollaboratore {
    const Field *cf, *cognome, *nome, *elimina, *codiceComune, *tipoRapporto, *codiceAttivita, *imponibile, *aliquota,
        *altraAss, *dal, *al, *impAgevolazione, *tipoAgevolazione, *codCalamita, *codCertificazione;

    explicit CampiCollaboratore(const DataSet &ds)
        : cf(zepfile::campo(ds, QStringLiteral("CFCollaboratore"))),
          cognome(zepfile::campo(ds, QStringLiteral("COGNOME"))), nome(zepfile::campo(ds, QStringLiteral("NOME"))),
          elimina(zepfile::campo(ds, TZepTabellaDenuncia::CampoElimina)),
          codiceComune(zepfile::campo(ds, QStringLiteral("CodiceComune"))),
          tipoRapporto(zepfile::campo(ds, QStringLiteral("TipoRapporto"))),
          codiceAttivita(zepfile::campo(ds, QStringLiteral("CodiceAttivita"))),
          imponibile(zepfile::campo(ds, QStringLiteral("Imponibile"))),
          aliquota(zepfile::campo(ds, QStringLiteral("Aliquota"))),
          altraAss(zepfile::campo(ds, QStringLiteral("AltraAss"))), dal(zepfile::campo(ds, QStringLiteral("Dal"))),
          al(zepfile::campo(ds, QStringLiteral("Al"))),
          impAgevolazione(zepfile::campo(ds, QStringLiteral("ImpAgevolazione"))),
          tipoAgevolazione(zepfile::campo(ds, QStringLiteral("TipoAgevolazione"))),
          codCalamita(zepfile::campo(ds, QStringLiteral("CodCalamita"))),
          codCertificazione(zepfile::campo(ds, QStringLiteral("CodCertificazione")))
    {
    }
};
