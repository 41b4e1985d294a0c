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
#include "ZepUControlliFile.h"
#include "ZepUUtil.h"

#include "Database.h"
#include "Exceptions.h"
#include "Field.h"
#include "IniFile.h"
#include "TerminationSignals.h"
#include "UqMessages.h"
#include "WunUUtil.h"
#include "tovCGiorniDis.h"
#include "ZepULayoutNomi.h"

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
    return TZepControlliFile::Persona(cognome, nome, cf);
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
        : cf(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::CFLavoratore)),
          cognome(zepfile::campo(ds, QStringLiteral("COGNOME"))), nome(zepfile::campo(ds, QStringLiteral("NOME"))),
          matricola(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::Matricola)),
          elimina(zepfile::campo(ds, TZepTabellaDenuncia::CampoElimina)),
          qualifica1(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::Qualifica1)),
          qualifica2(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::Qualifica2)),
          qualifica3(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::Qualifica3)),
          tipoContribuzione(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::TipoContribuzione)),
          regimePost95(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::RegimePost95)),
          cittadinanza(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::Cittadinanza)),
          unitaOperativa(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::UnitaOperativa)),
          codiceComune(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::CodiceComune)),
          codiceContratto(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::CodiceContratto)),
          giornoAssunzione(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::GiornoAssunzione)),
          tipoAssunzione(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::TipoAssunzione)),
          giornoCessazione(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::GiornoCessazione)),
          tipoCessazione(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::TipoCessazione)),
          tipoLavoratore(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::TipoLavoratore)),
          imponibile(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::Imponibile)),
          contributo(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::Contributo)),
          retribTeorica(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::RetribTeorica)),
          giorniRetribuiti(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::GiorniRetribuiti)),
          giorniContribuiti(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::GiorniContribuiti)),
          rispettoMinimale(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::RispettoMinimale))
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
        : CampiPersona(ds), orarioContrattuale(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::OrarioContrattuale)),
          percPartTime(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::PercPartTime)),
          numMensilita(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::NumMensilita)),
          tipoLavStat(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::TipoLavStat)),
          oreContribuite(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::OreContribuite)),
          settimaneUtili(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::SettimaneUtili)),
          giorni(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::GIORNI)),
          bonusImporto(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::BonusUTImporto)),
          bonusMese(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::BonusUTMese)),
          bonusBaseRif(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::BonusUTBaseRif)),
          esoneroImporto(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::EsoneroIVSImporto)),
          esoneroCausale(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::EsoneroIVSCodiceCausale)),
          esoneroBaseRif(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::EsoneroIVSBaseRif)),
          esonero13Importo(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::EsoneroIVS13Importo)),
          esonero13Causale(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::EsoneroIVS13CodiceCausale)),
          esonero13BaseRif(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::EsoneroIVS13BaseRif)),
          tipoANF(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::TipoANF)),
          numANF(zepfile::campo(ds, layouts::TEMD_DIPENDENTI::NumANF)),
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
        : CampiPersona(ds), imponibileCtrAgg(zepfile::campo(ds, layouts::TEFE_FPLSEXENPALS::ImponibileCtrAgg)),
          contribAggCorrente(zepfile::campo(ds, layouts::TEFE_FPLSEXENPALS::ContribAggCorrente)),
          impEccMassSpet(zepfile::campo(ds, layouts::TEFE_FPLSEXENPALS::ImpEccMassSpet)),
          contrEccMassSpet(zepfile::campo(ds, layouts::TEFE_FPLSEXENPALS::ContrEccMassSpet)),
          contrSolidarietaSpet(zepfile::campo(ds, layouts::TEFE_FPLSEXENPALS::ContrSolidarietaSpet)),
          tipoRapportoLav(zepfile::campo(ds, layouts::TEFE_FPLSEXENPALS::TipoRapportoLav)),
          codiceQualifica(zepfile::campo(ds, layouts::TEFE_FPLSEXENPALS::CodiceQualifica)),
          giorniLavorati(zepfile::campo(ds, layouts::TEFE_FPLSEXENPALS::GiorniLavorati)),
          giorniTipoCopertura(zepfile::campo(ds, layouts::TEFE_FPLSEXENPALS::GiorniTipoCopertura))
    {
    }
};

struct TZepFile::CampiCollaboratore {
    const Field *cf, *cognome, *nome, *elimina, *codiceComune, *tipoRapporto, *codiceAttivita, *imponibile, *aliquota,
        *altraAss, *dal, *al, *impAgevolazione, *tipoAgevolazione, *codCalamita, *codCertificazione;

    explicit CampiCollaboratore(const DataSet &ds)
        : cf(zepfile::campo(ds, layouts::TEMC_COLLABORATORI::CFCollaboratore)),
          cognome(zepfile::campo(ds, QStringLiteral("COGNOME"))), nome(zepfile::campo(ds, QStringLiteral("NOME"))),
          elimina(zepfile::campo(ds, TZepTabellaDenuncia::CampoElimina)),
          codiceComune(zepfile::campo(ds, layouts::TEMC_COLLABORATORI::CodiceComune)),
          tipoRapporto(zepfile::campo(ds, layouts::TEMC_COLLABORATORI::TipoRapporto)),
          codiceAttivita(zepfile::campo(ds, layouts::TEMC_COLLABORATORI::CodiceAttivita)),
          imponibile(zepfile::campo(ds, layouts::TEMC_COLLABORATORI::Imponibile)),
          aliquota(zepfile::campo(ds, layouts::TEMC_COLLABORATORI::Aliquota)),
          altraAss(zepfile::campo(ds, layouts::TEMC_COLLABORATORI::AltraAss)),
          dal(zepfile::campo(ds, layouts::TEMC_COLLABORATORI::Dal)),
          al(zepfile::campo(ds, layouts::TEMC_COLLABORATORI::Al)),
          impAgevolazione(zepfile::campo(ds, layouts::TEMC_COLLABORATORI::ImpAgevolazione)),
          tipoAgevolazione(zepfile::campo(ds, layouts::TEMC_COLLABORATORI::TipoAgevolazione)),
          codCalamita(zepfile::campo(ds, layouts::TEMC_COLLABORATORI::CodCalamita)),
          codCertificazione(zepfile::campo(ds, layouts::TEMC_COLLABORATORI::CodCertificazione))
    {
    }
};
