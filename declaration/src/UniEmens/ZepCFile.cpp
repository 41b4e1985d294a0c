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

IZepLogFile::~IZepLogFile() = default;

const QString TZepFile::MsgNessunDato = QStringLiteral("Nessun dato presente.");
const QString TZepFile::MsgCampoNonImpostato = QStringLiteral("Campo non impostato: ");
const QString TZepFile::MsgMatricolaNonImpostata = QStringLiteral("Matricola INPS Azienda non impostata");
const QString TZepFile::MsgGiorniLavorati = QStringLiteral(
    "In presenza di giorni retribuiti devono essere impostati i giorni lavorati");
const QString TZepFile::MsgGiorniRetribuiti = QStringLiteral("Giorni retribuiti devono essere maggiori di zero");
const QString TZepFile::MsgCapIstat = QStringLiteral(
    "Dichiarante: \"CAP sede di lavoro\" o \"Codice ISTAT/Ateco\" non impostato.");
const QString TZepFile::MsgDichiarante = QStringLiteral("Dichiarante");
const QString TZepFile::MsgAnnullata = QStringLiteral("Operazione annullata dall'utente.");
const QString TZepFile::MsgTerminata = QStringLiteral("Operazione terminata con successo.");
const QString TZepFile::MsgErrore = QStringLiteral(
    "Errore nella generazione del file, operazione non conclusasi con successo");
const QString TZepFile::MsgSovrascrivere = QStringLiteral("Il file \"%1\" esiste già. Sostituirlo?");
const QString TZepFile::MsgCFSoftwarehouse = QStringLiteral(
    "Il codice fiscale della software house \"%1\" (chiave CFSoftwarehouse di %2) deve essere di 11 "
    "cifre");
const QString TZepFile::FileConfigurazione = QStringLiteral("UniEmens.ini");
const QString TZepFile::SezioneConfigurazione = QStringLiteral("FileTelematico");
const QString TZepFile::CartellaDenunce = QStringLiteral("/INPS/INPS uniEMens individuale/Denunce");

namespace {

const QString S = QStringLiteral("S");
// The cause of the 200 euros of July 2022.
const QString CausaleBonusLuglio = QStringLiteral("L031");
const QString Eliminato = QStringLiteral("********* ELIMINATO  ");
const QString FineEliminato = QStringLiteral("*********");

const Field *campo(const DataSet &ds, const QString &nome)
{
    return &ds.fieldByName(nome);
}

// An amount of an element that carries whole euros, in its digits. An
// amount with cents is refused, naming the field: written rounded, the file
// would declare another amount than the row's.
QString euroInteri(const Field *f)
{
    const Currency importo = f->asCurrency();
    if (importo.rounded(0) != importo)
        throw EUqError(
            platform::fieldMessage(*f, QStringLiteral("l'importo %1 va indicato in euro interi, senza centesimi")
                                           .arg(TZepFile::Importo(importo))));
    return QString::number(importo.truncated());
}

// The context line of a person: surname, name and fiscal code.
QString persona(const QString &cognome, const QString &nome, const QString &cf)
{
    return cognome + QLatin1Char(' ') + nome + QStringLiteral(" - CF: ") + cf;
}

QString data(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace

// ---------------------------------------------------------------------------
// The fields of the tables, found once per run.

struct TZepFile::CampiPersona {
    const Field *cf, *cognome, *nome, *matricola, *elimina, *qualifica1, *qualifica2, *qualifica3, *tipoContribuzione,
        *regimePost95, *cittadinanza, *unitaOperativa, *codiceComune, *codiceContratto, *giornoAssunzione,
        *tipoAssunzione, *giornoCessazione, *tipoCessazione, *tipoLavoratore, *imponibile, *contributo, *retribTeorica,
        *giorniRetribuiti, *giorniContribuiti, *rispettoMinimale;

    explicit CampiPersona(const DataSet &ds)
        : cf(campo(ds, QStringLiteral("CFLavoratore"))), cognome(campo(ds, QStringLiteral("COGNOME"))),
          nome(campo(ds, QStringLiteral("NOME"))), matricola(campo(ds, QStringLiteral("Matricola"))),
          elimina(campo(ds, TZepTabellaDenuncia::CampoElimina)), qualifica1(campo(ds, QStringLiteral("Qualifica1"))),
          qualifica2(campo(ds, QStringLiteral("Qualifica2"))), qualifica3(campo(ds, QStringLiteral("Qualifica3"))),
          tipoContribuzione(campo(ds, QStringLiteral("TipoContribuzione"))),
          regimePost95(campo(ds, QStringLiteral("RegimePost95"))),
          cittadinanza(campo(ds, QStringLiteral("Cittadinanza"))),
          unitaOperativa(campo(ds, QStringLiteral("UnitaOperativa"))),
          codiceComune(campo(ds, QStringLiteral("CodiceComune"))),
          codiceContratto(campo(ds, QStringLiteral("CodiceContratto"))),
          giornoAssunzione(campo(ds, QStringLiteral("GiornoAssunzione"))),
          tipoAssunzione(campo(ds, QStringLiteral("TipoAssunzione"))),
          giornoCessazione(campo(ds, QStringLiteral("GiornoCessazione"))),
          tipoCessazione(campo(ds, QStringLiteral("TipoCessazione"))),
          tipoLavoratore(campo(ds, QStringLiteral("TipoLavoratore"))),
          imponibile(campo(ds, QStringLiteral("Imponibile"))), contributo(campo(ds, QStringLiteral("Contributo"))),
          retribTeorica(campo(ds, QStringLiteral("RetribTeorica"))),
          giorniRetribuiti(campo(ds, QStringLiteral("GiorniRetribuiti"))),
          giorniContribuiti(campo(ds, QStringLiteral("GiorniContribuiti"))),
          rispettoMinimale(campo(ds, QStringLiteral("RispettoMinimale")))
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
        : CampiPersona(ds), orarioContrattuale(campo(ds, QStringLiteral("OrarioContrattuale"))),
          percPartTime(campo(ds, QStringLiteral("PercPartTime"))),
          numMensilita(campo(ds, QStringLiteral("NumMensilita"))),
          tipoLavStat(campo(ds, QStringLiteral("TipoLavStat"))),
          oreContribuite(campo(ds, QStringLiteral("OreContribuite"))),
          settimaneUtili(campo(ds, QStringLiteral("SettimaneUtili"))), giorni(campo(ds, QStringLiteral("GIORNI"))),
          bonusImporto(campo(ds, QStringLiteral("BonusUTImporto"))),
          bonusMese(campo(ds, QStringLiteral("BonusUTMese"))),
          bonusBaseRif(campo(ds, QStringLiteral("BonusUTBaseRif"))),
          esoneroImporto(campo(ds, QStringLiteral("EsoneroIVSImporto"))),
          esoneroCausale(campo(ds, QStringLiteral("EsoneroIVSCodiceCausale"))),
          esoneroBaseRif(campo(ds, QStringLiteral("EsoneroIVSBaseRif"))),
          esonero13Importo(campo(ds, QStringLiteral("EsoneroIVS13Importo"))),
          esonero13Causale(campo(ds, QStringLiteral("EsoneroIVS13CodiceCausale"))),
          esonero13BaseRif(campo(ds, QStringLiteral("EsoneroIVS13BaseRif"))),
          tipoANF(campo(ds, QStringLiteral("TipoANF"))), numANF(campo(ds, QStringLiteral("NumANF"))),
          classeANF(campo(ds, QStringLiteral("ClasseAnf")))
    {
        for (int i = 0; i < 6; ++i) {
            idSettimana[i] = campo(ds, QStringLiteral("IdSettimana_%1").arg(i + 1));
            tipoCopertura[i] = campo(ds, QStringLiteral("TipoCopertura_%1").arg(i + 1));
        }
    }
};

struct TZepFile::CampiFpls : CampiPersona {
    const Field *imponibileCtrAgg, *contribAggCorrente, *impEccMassSpet, *contrEccMassSpet, *contrSolidarietaSpet,
        *tipoRapportoLav, *codiceQualifica, *giorniLavorati, *giorniTipoCopertura;

    explicit CampiFpls(const DataSet &ds)
        : CampiPersona(ds), imponibileCtrAgg(campo(ds, QStringLiteral("ImponibileCtrAgg"))),
          contribAggCorrente(campo(ds, QStringLiteral("ContribAggCorrente"))),
          impEccMassSpet(campo(ds, QStringLiteral("ImpEccMassSpet"))),
          contrEccMassSpet(campo(ds, QStringLiteral("ContrEccMassSpet"))),
          contrSolidarietaSpet(campo(ds, QStringLiteral("ContrSolidarietaSpet"))),
          tipoRapportoLav(campo(ds, QStringLiteral("TipoRapportoLav"))),
          codiceQualifica(campo(ds, QStringLiteral("CodiceQualifica"))),
          giorniLavorati(campo(ds, QStringLiteral("GiorniLavorati"))),
          giorniTipoCopertura(campo(ds, QStringLiteral("GiorniTipoCopertura")))
    {
    }
};

struct TZepFile::CampiCollaboratore {
    const Field *cf, *cognome, *nome, *elimina, *codiceComune, *tipoRapporto, *codiceAttivita, *imponibile, *aliquota,
        *altraAss, *dal, *al, *impAgevolazione, *tipoAgevolazione, *codCalamita, *codCertificazione;

    explicit CampiCollaboratore(const DataSet &ds)
        : cf(campo(ds, QStringLiteral("CFCollaboratore"))), cognome(campo(ds, QStringLiteral("COGNOME"))),
          nome(campo(ds, QStringLiteral("NOME"))), elimina(campo(ds, TZepTabellaDenuncia::CampoElimina)),
          codiceComune(campo(ds, QStringLiteral("CodiceComune"))),
          tipoRapporto(campo(ds, QStringLiteral("TipoRapporto"))),
          codiceAttivita(campo(ds, QStringLiteral("CodiceAttivita"))),
          imponibile(campo(ds, QStringLiteral("Imponibile"))), aliquota(campo(ds, QStringLiteral("Aliquota"))),
          altraAss(campo(ds, QStringLiteral("AltraAss"))), dal(campo(ds, QStringLiteral("Dal"))),
          al(campo(ds, QStringLiteral("Al"))), impAgevolazione(campo(ds, QStringLiteral("ImpAgevolazione"))),
          tipoAgevolazione(campo(ds, QStringLiteral("TipoAgevolazione"))),
          codCalamita(campo(ds, QStringLiteral("CodCalamita"))),
          codCertificazione(campo(ds, QStringLiteral("CodCertificazione")))
    {
    }
};

// ---------------------------------------------------------------------------

TZepFile::TZepFile(TTovDBCds &store, DataSet &denunciaAziendale, IZepLogFile *log)
    : cdsAmm(QStringLiteral("cdsAmm")), cdsDip(QStringLiteral("cdsDip")),
      cdsFplsExEnpals(QStringLiteral("cdsFplsExEnpals")), cdsColl(QStringLiteral("cdsColl")),
      cdsDenunciaAziendale(denunciaAziendale), cdsPrenota(QStringLiteral("cdsPrenota")),
      CFSoftwarehouse(CFSoftwarehouseConfigurato()), m_store(store), m_log(log)
{
}

TZepFile::~TZepFile() = default;

void TZepFile::log(const QString &riga)
{
    if (m_log)
        m_log->Log(riga);
}

// ---------------------------------------------------------------------------
// The pages

void TZepFile::CaricaTabelle()
{
    const auto carica = [this](DataSet &ds, const QString &tabella, const QString &indice) {
        ds.close();
        TZepTabellaDenuncia(m_store, tabella).Carica(ds);
        ds.setIndexFieldNames(indice);
        ds.first();
    };
    carica(cdsDip, TZepDipendente::Tabella, QStringLiteral("Matricola;CFLavoratore"));
    carica(cdsFplsExEnpals, TZepFplsExEnpals::Tabella, QStringLiteral("Matricola;CFLavoratore"));
    carica(cdsColl, TZepCollaboratore::Tabella, QStringLiteral("CFCollaboratore"));
    carica(cdsDenunciaAziendale, TZepDenunciaAziendale::Tabella, TZepDenunciaAziendale::Indice);
}

void TZepFile::PreparaPrenota()
{
    if (m_prenotaPronta)
        return;
    cdsPrenota.setFieldDefs({{QStringLiteral("Tipo"), platform::FieldType::String, 1},
                             {QStringLiteral("CF"), platform::FieldType::String, 31},
                             {QStringLiteral("Cognome"), platform::FieldType::String, 30},
                             {QStringLiteral("Nome"), platform::FieldType::String, 20},
                             {QStringLiteral("Matricola"), platform::FieldType::String, 31},
                             {QStringLiteral("Qualifica2"), platform::FieldType::String, 31}});
    cdsPrenota.createDataSet();
    cdsPrenota.setIndexFieldNames(QStringLiteral("Tipo;Cognome;Nome"));
    const auto aggiungi = [this](DataSet &ds, const QString &tipo, const QString &campoCF, bool posizione) {
        for (ds.first(); !ds.eof(); ds.next()) {
            cdsPrenota.appendRecord({platform::Value(tipo), ds.fieldValue(campoCF),
                                     ds.fieldValue(QStringLiteral("Cognome")), ds.fieldValue(QStringLiteral("Nome")),
                                     posizione ? ds.fieldValue(QStringLiteral("Matricola")) : platform::Value(),
                                     posizione ? ds.fieldValue(QStringLiteral("Qualifica2")) : platform::Value()});
        }
        ds.first();
    };
    aggiungi(cdsDip, QStringLiteral("D"), QStringLiteral("CFLavoratore"), true);
    aggiungi(cdsFplsExEnpals, QStringLiteral("F"), QStringLiteral("CFLavoratore"), true);
    aggiungi(cdsColl, QStringLiteral("C"), QStringLiteral("CFCollaboratore"), false);
    cdsPrenota.first();
    m_prenotaPronta = true;
}

void TZepFile::RicalcolaDenunciaAziendale()
{
    TZepDenunciaAziendale::Ricalcola(cdsDip, cdsFplsExEnpals, cdsDenunciaAziendale);
    if (cdsDenunciaAziendale.changeCount() > 0)
        TZepTabellaDenuncia(m_store, TZepDenunciaAziendale::Tabella).Salva(cdsDenunciaAziendale);
}

void TZepFile::EliminaNonSelezionati(const QList<Bookmark> &selezionati)
{
    if (selezionati.isEmpty())
        return;
    // The key of a person in the list: Tipo, CF, Matricola, Qualifica2.
    const auto chiave = [](const QString &tipo, const platform::Value &cf, const platform::Value &matricola,
                           const platform::Value &qualifica2) {
        const auto testo = [](const platform::Value &v) { return v.isEmpty() ? QString() : v.toString(); };
        return tipo + QChar(0) + testo(cf) + QChar(0) + testo(matricola) + QChar(0) + testo(qualifica2);
    };
    const auto chiaveRiga = [&](const Bookmark &b) {
        const auto valore = [&](const char *nome) {
            return cdsPrenota.rowValue(b, cdsPrenota.fieldByName(QString::fromLatin1(nome)).index());
        };
        const platform::Value tipo = valore("Tipo");
        return chiave(tipo.isEmpty() ? QString() : tipo.toString(), valore("CF"), valore("Matricola"),
                      valore("Qualifica2"));
    };
    QSet<QString> elencate;
    for (const Bookmark &b : cdsPrenota.rowBookmarks())
        elencate.insert(chiaveRiga(b));
    QSet<QString> scelte;
    for (const Bookmark &b : selezionati)
        scelte.insert(chiaveRiga(b));

    const auto elimina = [&](DataSet &ds, const QString &tipo, const QString &campoCF, bool posizione) {
        ds.first();
        while (!ds.eof()) {
            const QString k = chiave(tipo, ds.fieldValue(campoCF),
                                     posizione ? ds.fieldValue(QStringLiteral("Matricola")) : platform::Value(),
                                     posizione ? ds.fieldValue(QStringLiteral("Qualifica2")) : platform::Value());
            ZEP_ASSERT(elencate.contains(k), QStringLiteral("Persona %1 assente dall'elenco di prenotazione")
                                                 .arg(ds.fieldByName(campoCF).asString()));
            if (scelte.contains(k))
                ds.next();
            else
                ds.deleteRecord();
        }
        ds.first();
    };
    elimina(cdsDip, QStringLiteral("D"), QStringLiteral("CFLavoratore"), true);
    elimina(cdsFplsExEnpals, QStringLiteral("F"), QStringLiteral("CFLavoratore"), true);
    elimina(cdsColl, QStringLiteral("C"), QStringLiteral("CFCollaboratore"), false);
}

QString TZepFile::NomeFileDefault()
{
    return QStringLiteral("uniEMens") + PeriodoDenuncia() + QStringLiteral(".Xml");
}

QString TZepFile::CartellaDefault()
{
    const QString programmi = qEnvironmentVariable("ProgramFiles");
    const QString base = programmi.isEmpty() ? QDir::homePath() : QDir(programmi).absolutePath();
    return QDir::cleanPath(base + CartellaDenunce);
}

QString TZepFile::CFSoftwarehouseConfigurato()
{
    return platform::IniFile(TWunUtil::CercaPercorso(TWunUtil::CartellaEtc() + FileConfigurazione))
        .value(SezioneConfigurazione, QStringLiteral("CFSoftwarehouse"))
        .value_or(QString())
        .trimmed();
}

QString TZepFile::TestoErrore(const QString &persona, const QString &messaggio)
{
    return MsgErrore + QStringLiteral("\n\n") + persona + QStringLiteral("\n***  ") + messaggio;
}

QString TZepFile::TestoErrore(const QString &persona, const std::exception &errore)
{
    if (const auto *archivio = dynamic_cast<const platform::EDatabaseError *>(&errore);
        archivio && archivio->archiveFailure())
        return MsgErrore + QStringLiteral("\n\n") + platform::Database::archiveFailureMessage(*archivio);
    return TestoErrore(persona, QString::fromUtf8(errore.what()));
}

bool TZepFile::CreaFile(const SceltaFile &scegli)
{
    platform::WaitCursor attesa;
    m_personaCorrente.clear();
    try {
        const QString cartella = CartellaDefault();
        if (!QDir().mkpath(cartella))
            throw EUqError(
                QStringLiteral("Impossibile creare la cartella \"%1\"").arg(QDir::toNativeSeparators(cartella)));
        const QString scelto = scegli(cartella, NomeFileDefault());
        if (scelto.isEmpty())
            throw EUqError(MsgAnnullata);
        if (QFileInfo::exists(scelto)
            && UqMessageBox(MsgSovrascrivere.arg(QDir::toNativeSeparators(scelto)), QString(),
                            platform::Yes | platform::No, platform::MessageType::Warning, platform::No)
                   != platform::Yes)
            throw EUqError(MsgAnnullata);
        NomeFile = scelto;
        GeneraDenunceMensili();
    } catch (const std::exception &e) {
        const QString messaggio = QString::fromUtf8(e.what());
        log(QStringLiteral("***  ") + messaggio);
        UqShowError(TestoErrore(m_personaCorrente, e));
        return false;
    }
    log(QString());
    log(MsgTerminata);
    UqMessageBox(MsgTerminata, QString(), platform::Ok, platform::MessageType::Information);
    return true;
}

// ---------------------------------------------------------------------------
// The generator

const QString &TZepFile::CampoObbligatorio(const QString &valore, const QString &etichetta)
{
    if (valore.trimmed().isEmpty())
        throw EUqError(MsgCampoNonImpostato + etichetta);
    return valore;
}

bool TZepFile::MatricolaPresente(const DataSet &dataSet, const QString &matricola)
{
    const int campo = dataSet.fieldByName(QStringLiteral("Matricola")).index();
    for (const Bookmark &b : dataSet.rowBookmarks()) {
        const platform::Value v = dataSet.rowValue(b, campo);
        if ((v.isEmpty() ? QString() : v.toString()) == matricola)
            return true;
    }
    return false;
}

QString TZepFile::Importo(Currency importo)
{
    return importo.toString(2);
}

void TZepFile::GeneraDenunceMensili()
{
    // A termination signal that comes meanwhile ends the work before the
    // file is written: no file, rather than one the program did not finish.
    const platform::LongOperation inCorso;
    IXMLDenunceMensili documento = CreaDocumento();
    // What fails from here is the file's, not a person's.
    m_personaCorrente.clear();
    if (platform::TerminationSignals::Requested())
        throw EUqError(
            QStringLiteral("Creazione del file interrotta: il programma è stato chiuso (%1). Il file "
                           "non è stato scritto.")
                .arg(platform::TerminationSignals::SignalName(platform::TerminationSignals::RequestedSignal())));
    documento.GetOwnerDocument().SaveToFile(NomeFile);
}

IXMLDenunceMensili TZepFile::CreaDocumento()
{
    m_personaCorrente.clear();
    // 1. The declarant of the year.
    TZepTabellaDenuncia(m_store, TZepParametri::TabellaDichiarante, true).Carica(cdsAmm);
    cdsAmm.first();
    const auto vuoto = [](const DataSet &ds) { return !ds.isActive() || ds.isEmpty(); };
    if (vuoto(cdsDip) && vuoto(cdsFplsExEnpals) && vuoto(cdsColl) && vuoto(cdsDenunciaAziendale))
        throw EUqError(MsgNessunDato);
    ControllaRighe();

    log(QStringLiteral("Creazione file in corso ..."));
    IXMLDenunceMensili radice = CreaDocumentoDenunceMensili();

    log(QStringLiteral("Imposta dati mittente"));
    const auto amm = [this](const char *nome) { return cdsAmm.fieldByName(QString::fromLatin1(nome)).asString(); };
    IXMLDatiMittente mittente = radice.GetDatiMittente();
    mittente.SetTipo(1);
    mittente.SetCFPersonaMittente(
        CampoObbligatorio(amm("CFPersonaMittente"),
                          QStringLiteral("Codice fiscale del soggetto (persona fisica) abilitato alla trasmissione")));
    mittente.SetRagSocMittente(CampoObbligatorio(amm("RagSocMittente"), QStringLiteral("Ragione sociale mittente")));
    mittente.SetCFMittente(CampoObbligatorio(amm("CFMittente"), QStringLiteral("Codice fiscale mittente")));
    if (!CFSoftwarehouse.isEmpty()) {
        static const QRegularExpression undiciCifre(QStringLiteral("^[0-9]{11}$"));
        if (!undiciCifre.match(CFSoftwarehouse).hasMatch())
            throw EUqError(MsgCFSoftwarehouse.arg(CFSoftwarehouse, FileConfigurazione));
        mittente.GetCFSoftwarehouse().SetText(CFSoftwarehouse);
    }
    mittente.SetSedeINPS(CampoObbligatorio(amm("SedeINPS"), QStringLiteral("Sede INPS")));

    IXMLAzienda azienda = radice.GetAzienda().Add();
    azienda.SetAnnoMeseDenuncia(PeriodoDenuncia());
    azienda.SetCFAzienda(amm("CFAzienda"));
    azienda.SetRagSocAzienda(amm("RagSocAzienda"));

    if (!vuoto(cdsDip) || !vuoto(cdsFplsExEnpals)) {
        log(QString());
        log(QStringLiteral("Dati dipendenti: inizio"));
        ScriviPosizioni(azienda);
        log(QStringLiteral("Dati dipendenti: fine"));
    }
    if (!vuoto(cdsColl)) {
        log(QString());
        log(QStringLiteral("Dati collaboratori: inizio"));
        if (amm("CAP").trimmed().isEmpty() || amm("ISTAT").trimmed().isEmpty())
            throw EUqError(MsgCapIstat);
        IXMLListaCollaboratori lista = azienda.GetListaCollaboratori();
        lista.SetCAP(amm("CAP"));
        lista.SetISTAT(amm("ISTAT"));
        ScriviCollaboratori(lista);
        log(QStringLiteral("Dati collaboratori: fine"));
    }
    return radice;
}

void TZepFile::ControllaRighe()
{
    if (!cdsAmm.isEmpty()) {
        m_personaCorrente = MsgDichiarante;
        TZepMittente::PrimaDelPost(cdsAmm);
    }
    const auto persone = [this](DataSet &ds, const QString &campoCf) {
        if (!ds.isActive())
            return;
        const Field &cf = ds.fieldByName(campoCf);
        const Field &cognome = ds.fieldByName(QStringLiteral("COGNOME"));
        const Field &nome = ds.fieldByName(QStringLiteral("NOME"));
        for (ds.first(); !ds.eof(); ds.next()) {
            m_personaCorrente = persona(cognome.asString(), nome.asString(), cf.asString());
            CampoObbligatorio(cf.asString(), campoCf);
            TZepTabellaDenuncia::ControllaRiga(ds, {campoCf});
        }
    };
    persone(cdsDip, QStringLiteral("CFLavoratore"));
    persone(cdsFplsExEnpals, QStringLiteral("CFLavoratore"));
    persone(cdsColl, QStringLiteral("CFCollaboratore"));
    m_personaCorrente.clear();
}

void TZepFile::ScriviPosizioni(IXMLAzienda azienda)
{
    // A person without company number would belong to no position and be
    // left out of the file without a word: refuse it, naming the person.
    const auto controllaMatricole = [this](DataSet &ds) {
        const CampiPersona c(ds);
        for (ds.first(); !ds.eof(); ds.next()) {
            if (c.matricola->asString().isEmpty()) {
                m_personaCorrente = persona(c.cognome->asString(), c.nome->asString(), c.cf->asString());
                throw EUqError(MsgMatricolaNonImpostata);
            }
        }
    };
    controllaMatricole(cdsDip);
    controllaMatricole(cdsFplsExEnpals);

    const QString composizione = Prenotazione ? QStringLiteral("FC") : QStringLiteral("CP");
    const Field &campoMatricola = cdsDenunciaAziendale.fieldByName(QStringLiteral("Matricola"));
    for (cdsDenunciaAziendale.first(); !cdsDenunciaAziendale.eof(); cdsDenunciaAziendale.next()) {
        const QString m = campoMatricola.asString();
        if (!MatricolaPresente(cdsDip, m) && !MatricolaPresente(cdsFplsExEnpals, m))
            continue;
        log(QString());
        log(QStringLiteral("-- Matricola INPS ") + m + QStringLiteral(": inizio ..."));
        IXMLPosContributiva posizione = azienda.GetPosContributiva().Add();
        posizione.SetComposizione(composizione);
        posizione.SetMatricola(m);
        IXMLDenunciaIndividualeList denunce = posizione.GetDenunciaIndividuale();
        ScriviDipendenti(denunce, m);
        ScriviFplsExEnpals(denunce, m);
        ScriviDenunciaAziendale(posizione);
        log(QStringLiteral("-- Matricola INPS ") + m + QStringLiteral(": fine ..."));
    }
}

void TZepFile::IniziaPersona(const CampiPersona &c, const QString &tipo, const QString &dettaglio)
{
    const QString cognome = c.cognome->asString();
    const QString nome = c.nome->asString();
    const QString cf = c.cf->asString();
    m_personaCorrente = persona(cognome, nome, cf);
    const QString riga = cf + QLatin1Char(' ') + cognome + QLatin1Char(' ') + nome + QLatin1Char(' ') + dettaglio;
    log(c.elimina->asString() == S ? Eliminato + riga + FineEliminato : tipo + riga);
}

void TZepFile::ScriviTesta(IXMLDenunciaIndividuale denuncia, const CampiPersona &c)
{
    if (c.elimina->asString() == S)
        denuncia.SetElimina(S);
    denuncia.SetCFLavoratore(c.cf->asString());
    denuncia.SetCognome(c.cognome->asString());
    denuncia.SetNome(c.nome->asString());
    denuncia.SetQualifica1(c.qualifica1->asString());
    denuncia.SetQualifica2(c.qualifica2->asString());
    denuncia.SetQualifica3(c.qualifica3->asString());
    const QString tipoContribuzione = c.tipoContribuzione->asString();
    denuncia.SetTipoContribuzione(tipoContribuzione.isEmpty() ? QStringLiteral("00") : tipoContribuzione);
    bool numero = false;
    const int anno = AnnoDenuncia.toInt(&numero);
    if ((numero ? anno : 0) > 2014)
        denuncia.SetRegimePost95(c.regimePost95->asString().left(1));
    const QString cittadinanza = c.cittadinanza->asString();
    denuncia.SetCittadinanza(cittadinanza.isEmpty() || cittadinanza == QStringLiteral("0") ? QStringLiteral("000")
                                                                                           : cittadinanza);
    const QString unita = c.unitaOperativa->asString();
    denuncia.SetUnitaOperativa(unita.isEmpty() ? QStringLiteral("0") : unita);
    denuncia.SetCodiceComune(c.codiceComune->asString());
    denuncia.SetCodiceContratto(c.codiceContratto->asString());
    if (anno > 2022 || (anno == 2022 && MeseDenuncia.toInt() > 1))
        denuncia.SetTipoCodiceContratto(QStringLiteral("02"));
}

void TZepFile::ScriviAssunzioneCessazione(IXMLDenunciaIndividuale denuncia, const CampiPersona &c)
{
    if (c.giornoAssunzione->asInteger() > 0) {
        IXMLAssunzione assunzione = denuncia.GetAssunzione();
        assunzione.SetGiornoAssunzione(c.giornoAssunzione->asInteger());
        assunzione.SetTipoAssunzione(c.tipoAssunzione->asString());
    }
    if (c.giornoCessazione->asInteger() > 0) {
        IXMLCessazione cessazione = denuncia.GetCessazione();
        cessazione.SetGiornoCessazione(c.giornoCessazione->asInteger());
        cessazione.SetTipoCessazione(c.tipoCessazione->asString());
    }
}

void TZepFile::ScriviRispettoMinimale(IXMLDatiRetributivi dati, const CampiPersona &c)
{
    const QString rispetto = c.rispettoMinimale->asString();
    if (rispetto == QStringLiteral("N") || rispetto == S)
        dati.SetRispettoMinimale(rispetto);
}

void TZepFile::ScriviDipendenti(IXMLDenunciaIndividualeList denunce, const QString &matricola)
{
    // The fields are found again at each call: a reload of the table makes
    // new ones.
    m_dip = std::make_unique<CampiDipendente>(cdsDip);
    const CampiDipendente &c = *m_dip;
    for (cdsDip.first(); !cdsDip.eof(); cdsDip.next()) {
        if (c.matricola->asString() != matricola)
            continue;
        const QString qualifica2 = c.qualifica2->asString();
        IniziaPersona(c, QStringLiteral("---- Dipendente "), qualifica2);
        if (c.matricola->asString().isEmpty())
            throw EUqError(MsgMatricolaNonImpostata);

        IXMLDenunciaIndividuale denuncia = denunce.Add();
        ScriviTesta(denuncia, c);
        const int orario = c.orarioContrattuale->asInteger();
        if (orario > 0)
            denuncia.SetOrarioContrattuale(orario);
        const int partTime = c.percPartTime->asInteger();
        if (partTime > 0) {
            denuncia.SetPercPartTime(partTime);
            if (qualifica2 == QStringLiteral("V") || qualifica2 == QStringLiteral("M"))
                denuncia.SetPercPartTimeMese(partTime);
        }
        const int mensilita = c.numMensilita->asInteger();
        if (mensilita > 0)
            denuncia.SetNumMensilita(mensilita);
        ScriviAssunzioneCessazione(denuncia, c);

        IXMLDatiRetributivi dati = denuncia.GetDatiRetributivi().Add();
        const QString tipoLavoratore = c.tipoLavoratore->asString();
        if (tipoLavoratore != QStringLiteral("0"))
            dati.SetTipoLavoratore(tipoLavoratore);
        const QString tipoLavStat = c.tipoLavStat->asString();
        if (!tipoLavStat.isEmpty())
            dati.SetTipoLavStat(tipoLavStat);
        dati.SetImponibile(Importo(c.imponibile->asCurrency()));
        const Currency contributo = c.contributo->asCurrency();
        if (!contributo.isZero())
            dati.SetContributo(Importo(contributo));
        dati.SetRetribTeorica(QString::number(c.retribTeorica->asInteger()));
        for (int i = 0; i < 6; ++i) {
            if (c.tipoCopertura[i]->asString() == QStringLiteral("X")) {
                IXMLSettimana settimana = dati.GetSettimana().Add();
                settimana.SetIdSettimana(c.idSettimana[i]->asInteger());
                settimana.SetTipoCopertura(QStringLiteral("X"));
            }
        }
        const QString giorni = c.giorni->asString();
        if (!giorni.trimmed().isEmpty())
            ScriviGiorniDip(dati, giorni);
        dati.SetGiorniRetribuiti(c.giorniRetribuiti->asInteger());
        if (qualifica2 == QStringLiteral("F"))
            dati.SetGiorniContribuiti(c.giorniContribuiti->asInteger());
        else
            dati.SetOreContribuite(c.oreContribuite->asInteger());
        ScriviRispettoMinimale(dati, c);
        const int settimaneUtili = c.settimaneUtili->asInteger();
        if (settimaneUtili > 0)
            dati.SetSettimaneUtili(settimaneUtili);
        ScriviCausaliAggiuntive(dati);
        ScriviANF(denuncia);
    }
}

void TZepFile::ScriviGiorniDip(IXMLDatiRetributivi dati, const QString &giorni)
{
    TGiorniDis calendario(int(giorni.size()));
    calendario.SetGiorni(giorni);
    for (int d = 1; d <= calendario.Giorni(); ++d) {
        const QChar codice = calendario.GetGiorno(d);
        if (codice == cGiornoVuoto)
            continue;
        IXMLGiorno giorno = dati.GetGiorno().Add();
        giorno.SetGG(d);
        giorno.SetLavorato(QString(codice));
    }
}

void TZepFile::ScriviCausaliAggiuntive(IXMLDatiRetributivi dati)
{
    ZEP_ASSERT(m_dip, QStringLiteral("Causali aggiuntive fuori dalla scrittura di un dipendente"));
    const CampiDipendente &c = *m_dip;
    const Currency bonus = c.bonusImporto->asCurrency();
    const int meseBonus = c.bonusMese->asInteger();
    if (bonus > Currency() || meseBonus >= 1) {
        if (meseBonus < 1 || meseBonus > 12)
            throw EUqError(QStringLiteral("Bonus anno 2022: Mese deve essere impostato."));
        ScriviCausaleAggiuntiva(dati, QStringLiteral("Bonus anno 2022"), meseBonus,
                                MeseDenuncia == QStringLiteral("07") ? CausaleBonusLuglio : QStringLiteral("L033"),
                                c.bonusBaseRif->asLargeInt(), bonus);
    }
    const auto esonero = [&](const QString &etichetta, const Field *importo, const Field *causale, const Field *base) {
        if (importo->asCurrency() > Currency() || !causale->asString().isEmpty() || base->asCurrency() > Currency())
            ScriviCausaleAggiuntiva(dati, etichetta, 0, causale->asString(), base->asLargeInt(), importo->asCurrency());
    };
    esonero(QStringLiteral("Esonero IVS stipendio"), c.esoneroImporto, c.esoneroCausale, c.esoneroBaseRif);
    esonero(QStringLiteral("Esonero IVS 13ma"), c.esonero13Importo, c.esonero13Causale, c.esonero13BaseRif);
}

void TZepFile::ScriviCausaleAggiuntiva(IXMLDatiRetributivi dati, const QString &etichetta, int mese,
                                       const QString &causale, qint64 base, Currency importo)
{
    if (mese == 0)
        mese = MeseDenuncia.toInt();
    if (importo.isZero())
        throw EUqError(etichetta + QStringLiteral(": Importo e mese devono essere entrambi impostati."));
    // The July bonus has no reference base (the employee window does not
    // even show it): a zero base is written as none. Every other cause,
    // November's and December's bonus among them, needs its base.
    const bool senzaBase = base == 0 && causale == CausaleBonusLuglio;
    if (base == 0 && !senzaBase)
        throw EUqError(etichetta + QStringLiteral(": Imponibile Riferimento base deve essere impostato."));
    IXMLInfoAggCausaliContrib info = dati.GetInfoAggCausaliContrib().Add();
    info.SetCodiceCausale(causale);
    // Before July 2023 the exemption causes L094, L095 and L025 carried the
    // base as their usage reason; every other cause, and every cause since,
    // the reason "N" and the base in BaseRif.
    const bool baseComeMotivo = PeriodoDenuncia() < QStringLiteral("2023-07")
                                && (causale == QStringLiteral("L094") || causale == QStringLiteral("L095")
                                    || causale == QStringLiteral("L025"));
    info.GetIdentMotivoUtilizzoCausale().Add().SetText(baseComeMotivo ? QString::number(base) : QStringLiteral("N"));
    info.SetAnnoMeseRif(AnnoDenuncia + QLatin1Char('-') + QStringLiteral("%1").arg(mese, 2, 10, QLatin1Char('0')));
    if (!baseComeMotivo && !senzaBase)
        info.SetBaseRif(QString::number(base));
    info.SetImportoAnnoMeseRif(Importo(importo));
}

void TZepFile::ScriviANF(IXMLDenunciaIndividuale denuncia)
{
    ZEP_ASSERT(m_dip, QStringLiteral("Nucleo familiare fuori dalla scrittura di un dipendente"));
    const CampiDipendente &c = *m_dip;
    const QString tipo = c.tipoANF->asString();
    const int numero = c.numANF->asInteger();
    const int classe = c.classeANF->asInteger();
    if (tipo.isEmpty() && numero == 0 && classe == 0)
        return;
    // All three or none: a number or class of 0 is one left out.
    if (tipo.trimmed().isEmpty() || numero == 0 || classe == 0)
        throw EUqError(MsgCampoNonImpostato + TZepTabellaDenuncia::MsgNucleoFamiliare);
    IXMLANF anf = denuncia.GetANF();
    anf.SetTabANF(tipo);
    anf.SetNumANF(numero);
    anf.SetClasseANF(classe);
}

void TZepFile::ScriviFplsExEnpals(IXMLDenunciaIndividualeList denunce, const QString &matricola)
{
    m_fpls = std::make_unique<CampiFpls>(cdsFplsExEnpals);
    const CampiFpls &c = *m_fpls;
    for (cdsFplsExEnpals.first(); !cdsFplsExEnpals.eof(); cdsFplsExEnpals.next()) {
        if (c.matricola->asString() != matricola)
            continue;
        IniziaPersona(c, QStringLiteral("---- Dipendente "), c.qualifica2->asString());
        if (c.matricola->asString().isEmpty())
            throw EUqError(MsgMatricolaNonImpostata);

        IXMLDenunciaIndividuale denuncia = denunce.Add();
        ScriviTesta(denuncia, c);
        ScriviAssunzioneCessazione(denuncia, c);

        IXMLDatiRetributivi dati = denuncia.GetDatiRetributivi().Add();
        const QString tipoLavoratore = c.tipoLavoratore->asString();
        if (tipoLavoratore != QStringLiteral("0"))
            dati.SetTipoLavoratore(tipoLavoratore);
        dati.SetImponibile(Importo(c.imponibile->asCurrency()));
        const Currency contributo = c.contributo->asCurrency();
        if (!contributo.isZero())
            dati.SetContributo(Importo(contributo));
        IXMLContribuzioneAggiuntiva aggiuntiva = dati.GetContribuzioneAggiuntiva();
        const Currency imponibileCtrAgg = c.imponibileCtrAgg->asCurrency();
        const Currency contribAgg = c.contribAggCorrente->asCurrency();
        if (!imponibileCtrAgg.isZero() || !contribAgg.isZero()) {
            IXMLContrib1PerCento unoPerCento = aggiuntiva.GetContrib1PerCento();
            if (!imponibileCtrAgg.isZero())
                unoPerCento.SetImponibileCtrAgg(Importo(imponibileCtrAgg));
            if (!contribAgg.isZero())
                unoPerCento.SetContribAggCorrente(Importo(contribAgg));
        }
        dati.SetRetribTeorica(QString::number(c.retribTeorica->asInteger()));
        ScriviGiorniFpls(dati);
        const int giorniRetribuiti = c.giorniRetribuiti->asInteger();
        if (c.giorniLavorati->asString().trimmed().isEmpty() && giorniRetribuiti > 0)
            throw EUqError(MsgGiorniLavorati);
        dati.SetGiorniRetribuiti(giorniRetribuiti);
        dati.SetGiorniContribuiti(c.giorniContribuiti->asInteger());
        ScriviRispettoMinimale(dati, c);
        ScriviDatiParticolariFpls(dati);
    }
}

void TZepFile::ScriviGiorniFpls(IXMLDatiRetributivi dati)
{
    ZEP_ASSERT(m_fpls, QStringLiteral("Giorni FPLS fuori dalla scrittura di un iscritto"));
    const CampiFpls &c = *m_fpls;
    m_periodi.clear();
    const QString lavorati = c.giorniLavorati->asString();
    if (lavorati.trimmed().isEmpty())
        return;
    const QString copertura = c.giorniTipoCopertura->asString();
    const QString tipoLavoratore = c.tipoLavoratore->asString();
    const bool periodi = tipoLavoratore == QStringLiteral("SY") || tipoLavoratore == QStringLiteral("SX");
    if (periodi)
        CampoObbligatorio(c.retribTeorica->asString(), QStringLiteral("Retribuzione ordinaria"));
    for (int d = 1; d <= lavorati.size(); ++d) {
        const QString giorno = lavorati.mid(d - 1, 1);
        if (giorno.trimmed().isEmpty())
            continue;
        if (periodi) {
            const QDate data = DataGiornoMeseDenuncia(d);
            if (!m_periodi.empty() && m_periodi.back().DataFine.addDays(1) >= data) {
                m_periodi.back().DataFine = data;
                ++m_periodi.back().NumGiorniLavorati;
            } else {
                m_periodi.push_back(PeriodoFpls{data, data, 1, Currency()});
            }
        }
        IXMLGiorno g = dati.GetGiorno().Add();
        g.SetGG(d);
        g.SetLavorato(giorno);
        g.SetTipoCoperturaGiorn(copertura.mid(d - 1, 1).trimmed());
    }
    const int giorniRetribuiti = c.giorniRetribuiti->asInteger();
    if (giorniRetribuiti == 0)
        throw EUqError(MsgGiorniRetribuiti);
    // Each period's share of the ordinary pay, days x pay / paid days, in
    // whole euros (half away from zero), from the exact fraction.
    const __int128 retribuzione = c.retribTeorica->asCurrency().raw();
    for (PeriodoFpls &p : m_periodi) {
        const __int128 euro = platform::roundedQuotient(retribuzione * p.NumGiorniLavorati,
                                                        __int128(giorniRetribuiti) * Currency::Scale);
        p.ImpRetrOrdinaria = Currency::fromInt(qint64(euro));
    }
}

void TZepFile::ScriviDatiParticolariFpls(IXMLDatiRetributivi dati)
{
    ZEP_ASSERT(m_fpls, QStringLiteral("Dati particolari FPLS fuori dalla scrittura di un iscritto"));
    const CampiFpls &c = *m_fpls;
    const Currency impEcc = c.impEccMassSpet->asCurrency();
    const Currency contrEcc = c.contrEccMassSpet->asCurrency();
    const Currency solidarieta = c.contrSolidarietaSpet->asCurrency();
    const QString tipoRapporto = c.tipoRapportoLav->asString();
    const QString qualifica = c.codiceQualifica->asString();
    const bool eccedenza = !impEcc.isZero() || !contrEcc.isZero() || !solidarieta.isZero();
    const bool tipo = !tipoRapporto.isEmpty() || !qualifica.isEmpty();
    if (!eccedenza && !tipo && m_periodi.empty())
        return;
    IXMLDatiParticolari particolari = dati.GetDatiParticolari();
    if (eccedenza) {
        IXMLEccMassSpet ecc = particolari.GetEccMassSportSpet().GetEccMassSpet();
        CampoObbligatorio(c.impEccMassSpet->asString(), QStringLiteral("Imponibile eccedente il massimale"));
        ecc.SetImpEccMassSpet(Importo(impEcc));
        ecc.SetContrEccMassSpet(Importo(contrEcc));
        ecc.SetContrSolidarietaSpet(Importo(solidarieta));
    }
    if (tipo) {
        IXMLTipoLavSportSpet lavoro = particolari.GetTipoLavSportSpet();
        lavoro.SetTipoRapportoLav(tipoRapporto);
        lavoro.SetCodiceQualifica(CampoObbligatorio(qualifica, QStringLiteral("Codice qualifica")));
    }
    if (!m_periodi.empty()) {
        IXMLRetribuzioneOrdinariaList ordinarie =
            particolari.GetFondiSpeciali().GetSportSpet().GetDatiMeseSportSpet().GetRetribuzioneOrdinaria();
        for (const PeriodoFpls &p : m_periodi) {
            IXMLRetribuzioneOrdinaria ordinaria = ordinarie.Add();
            ordinaria.SetNumGiorniLavorati(p.NumGiorniLavorati);
            IXMLPeriodoType periodo = ordinaria.GetPeriodo();
            periodo.SetDataInizio(data(p.DataInizio));
            periodo.SetDataFine(data(p.DataFine));
            ordinaria.SetImpRetrOrdinaria(QString::number(p.ImpRetrOrdinaria.truncated()));
        }
    }
}

void TZepFile::ScriviDenunciaAziendale(IXMLPosContributiva posizione)
{
    const DataSet &az = cdsDenunciaAziendale;
    log(QString());
    log(QStringLiteral("Dati Denuncia Aziendale: inizio"));
    IXMLDenunciaAziendale denuncia = posizione.GetDenunciaAziendale();
    denuncia.SetTrattQuotaLav(az.fieldByName(QStringLiteral("TrattQuotaLav")).asString());
    denuncia.SetNumLavoratori(az.fieldByName(QStringLiteral("NumLavoratori")).asInteger());
    denuncia.SetForzaAziendale(az.fieldByName(QStringLiteral("ForzaAziendale")).asInteger());
    const Field &somma = az.fieldByName(QStringLiteral("SommaACredito"));
    const Currency sommaACredito = somma.asCurrency();
    if (!sommaACredito.isZero()) {
        log(QStringLiteral("-- Dati recupero su INPS: Causale L650, Somma ") + Importo(sommaACredito));
        IXMLAltrePartiteACredito credito = denuncia.GetAltrePartiteACredito().Add();
        credito.SetCausaleACredito(QStringLiteral("L650"));
        credito.SetSommaACredito(Importo(sommaACredito));
    }
    const int totaleACredito = az.fieldByName(QStringLiteral("TotaleACredito")).asInteger();
    IXMLDatiQuadraturaRetrContr quadratura = denuncia.GetDatiQuadraturaRetrContr();
    quadratura.SetNumDenIndiv(az.fieldByName(QStringLiteral("NumDenIndiv")).asInteger());
    quadratura.SetTotaleADebito(QString::number(az.fieldByName(QStringLiteral("TotaleADebito")).asInteger()));
    // The recovery counts in whole euros, rounded half away from zero.
    quadratura.SetTotaleACredito(QString::number(totaleACredito + sommaACredito.rounded(0).truncated()));
    if (totaleACredito != 0)
        log((MeseDenuncia == QStringLiteral("07")
                 ? QStringLiteral("-- Totale recupero  Bonus art. 31, DL 50 17/5/2022:")
                 : QStringLiteral("-- Totale recupero  Bonus art. 18, DL 144 23/9/2022:"))
            + Importo(Currency::fromInt(totaleACredito)));
    log(QStringLiteral("Dati Denuncia Aziendale: fine"));
}

void TZepFile::ScriviCollaboratori(IXMLListaCollaboratori lista)
{
    const CampiCollaboratore c(cdsColl);
    for (cdsColl.first(); !cdsColl.eof(); cdsColl.next()) {
        const QString cognome = c.cognome->asString();
        const QString nome = c.nome->asString();
        const QString cf = c.cf->asString();
        const QString tipoRapporto = c.tipoRapporto->asString();
        const QString aliquota = c.aliquota->asString();
        m_personaCorrente = persona(cognome, nome, cf);
        const QString riga = cf + QLatin1Char(' ') + cognome + QLatin1Char(' ') + nome + QLatin1Char(' ') + tipoRapporto
                             + QLatin1Char(' ') + aliquota;
        const bool elimina = c.elimina->asString() == S;
        log(elimina ? Eliminato + riga + FineEliminato : QStringLiteral("---- Collaboratore ") + riga);

        IXMLCollaboratore collaboratore = lista.GetCollaboratore().Add();
        if (elimina)
            collaboratore.SetElimina(S);
        collaboratore.SetCFCollaboratore(cf);
        collaboratore.SetCognome(cognome);
        collaboratore.SetNome(nome);
        collaboratore.SetCodiceComune(c.codiceComune->asString());
        collaboratore.SetTipoRapporto(tipoRapporto);
        const QString attivita = c.codiceAttivita->asString();
        if (!attivita.isEmpty())
            collaboratore.SetCodiceAttivita(attivita);
        collaboratore.SetImponibile(euroInteri(c.imponibile));
        collaboratore.SetAliquota(c.aliquota->asInteger());
        const QString altraAss = c.altraAss->asString();
        if (!altraAss.isEmpty())
            collaboratore.SetAltraAss(altraAss);
        // A period without its dates would be written as the zero date.
        const QDate dal = c.dal->asDate();
        const QDate al = c.al->asDate();
        if (!dal.isValid())
            throw EUqError(MsgCampoNonImpostato + QStringLiteral("Dal"));
        if (!al.isValid())
            throw EUqError(MsgCampoNonImpostato + QStringLiteral("Al"));
        collaboratore.SetDal(data(dal));
        collaboratore.SetAl(data(al));
        if (c.impAgevolazione->asInteger() > 0) {
            IXMLCollaboratore_Agevolazione agevolazione = collaboratore.GetAgevolazione().Add();
            agevolazione.SetImpAgevolazione(euroInteri(c.impAgevolazione));
            agevolazione.SetTipoAgevolazione(c.tipoAgevolazione->asString());
        }
        const QString calamita = c.codCalamita->asString();
        if (!calamita.isEmpty())
            collaboratore.SetCodCalamita(calamita);
        const QString certificazione = c.codCertificazione->asString();
        if (!certificazione.isEmpty())
            collaboratore.SetCodCertificazione(certificazione);
    }
}
