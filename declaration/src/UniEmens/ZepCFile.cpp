#include "ZepCFileInterno.h"

#include "ZepCDma.h"
#include "ZepUCreaFile.h"

#include <QHash>
#include <algorithm>

using namespace zepfile;

const QString TZepFile::MsgNessunDato = QStringLiteral("Nessun dato presente.");
const QString TZepFile::TipoPubblico = QStringLiteral("E");
const QString TZepFile::MsgCampoNonImpostato = QStringLiteral("Campo non impostato: ");
const QString TZepFile::MsgMatricolaNonImpostata = QStringLiteral("Matricola INPS Azienda non impostata");
const QString TZepFile::MsgGiorniLavorati = QStringLiteral(
    "In presenza di giorni retribuiti devono essere impostati i giorni lavorati");
const QString TZepFile::MsgGiorniRetribuiti = QStringLiteral("Giorni retribuiti devono essere maggiori di zero");
const QString TZepFile::MsgCapIstat = QStringLiteral(
    "Dichiarante: \"CAP sede di lavoro\" o \"Codice ISTAT/Ateco\" non impostato.");
const QString TZepFile::MsgDichiarante = QStringLiteral("Dichiarante");
const QString &TZepFile::MsgAnnullata = TZepCreaFile::MsgAnnullata;
const QString &TZepFile::MsgTerminata = TZepCreaFile::MsgTerminata;
const QString &TZepFile::MsgErrore = TZepCreaFile::MsgErrore;
const QString &TZepFile::MsgSovrascrivere = TZepCreaFile::MsgSovrascrivere;
const QString TZepFile::MsgCFSoftwarehouse = QStringLiteral(
    "Il codice fiscale della software house \"%1\" (chiave CFSoftwarehouse di %2) deve essere di 11 "
    "cifre");
const QString &TZepFile::FileConfigurazione = TZepCreaFile::FileConfigurazione;
const QString &TZepFile::SezioneConfigurazione = TZepCreaFile::SezioneConfigurazione;
const QString TZepFile::CartellaDenunce = QStringLiteral("/INPS/INPS uniEMens individuale/Denunce");

// ---------------------------------------------------------------------------

TZepFile::TZepFile(ITovDBCds &store, DataSet &denunciaAziendale, IZepLogFile *log)
    : cdsAmm(QStringLiteral("cdsAmm")), cdsDip(QStringLiteral("cdsDip")),
      cdsFplsExEnpals(QStringLiteral("cdsFplsExEnpals")), cdsColl(QStringLiteral("cdsColl")),
      cdsDenunciaAziendale(denunciaAziendale), cdsDMA(QStringLiteral("cdsDMA")),
      cdsPrenota(QStringLiteral("cdsPrenota")), CFSoftwarehouse(CFSoftwarehouseConfigurato()), m_store(store),
      m_log(log)
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
    carica(cdsDMA, TZepDma::TabellaD0, TZepDma::CampoCodiceFiscale);
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
    const auto aggiungi = [this](DataSet &ds, const QString &tipo, const QString &campoCF, bool posizione,
                                 const QString &campoCognome = QStringLiteral("Cognome"),
                                 const QString &campoNome = QStringLiteral("Nome")) {
        if (!ds.isActive())
            return;
        for (ds.first(); !ds.eof(); ds.next()) {
            cdsPrenota.appendRecord({platform::Value(tipo), ds.fieldValue(campoCF), ds.fieldValue(campoCognome),
                                     ds.fieldValue(campoNome),
                                     posizione ? ds.fieldValue(QStringLiteral("Matricola")) : platform::Value(),
                                     posizione ? ds.fieldValue(QStringLiteral("Qualifica2")) : platform::Value()});
        }
        ds.first();
    };
    aggiungi(cdsDip, QStringLiteral("D"), QStringLiteral("CFLavoratore"), true);
    aggiungi(cdsFplsExEnpals, QStringLiteral("F"), QStringLiteral("CFLavoratore"), true);
    aggiungi(cdsDMA, TipoPubblico, TZepDma::CampoCodiceFiscale, false, TZepDma::CampoCognome, TZepDma::CampoNome);
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
        if (!ds.isActive())
            return;
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
    elimina(cdsDMA, TipoPubblico, TZepDma::CampoCodiceFiscale, false);
    elimina(cdsColl, QStringLiteral("C"), QStringLiteral("CFCollaboratore"), false);
}

bool TZepFile::PubbliciPresenti(const QList<Bookmark> &selezionati) const
{
    if (!cdsPrenota.isActive())
        return false;
    const int tipo = cdsPrenota.fieldByName(QStringLiteral("Tipo")).index();
    const auto pubblico = [&](const Bookmark &b) {
        const platform::Value v = cdsPrenota.rowValue(b, tipo);
        return !v.isEmpty() && v.toString() == TipoPubblico;
    };
    // No row chosen: everybody is written.
    const QList<Bookmark> righe = selezionati.isEmpty() ? cdsPrenota.rowBookmarks() : selezionati;
    return std::any_of(righe.begin(), righe.end(), pubblico);
}

QString TZepFile::NomeFileDefault()
{
    return QStringLiteral("uniEMens") + PeriodoDenuncia() + QStringLiteral(".Xml");
}

QString TZepFile::CartellaDefault()
{
    return TZepCreaFile::CartellaProgrammi(CartellaDenunce);
}

QString TZepFile::CFSoftwarehouseConfigurato()
{
    return TZepCreaFile::CFSoftwarehouseConfigurato();
}

QString TZepFile::TestoErrore(const QString &persona, const QString &messaggio)
{
    return TZepCreaFile::TestoErrore(persona, messaggio);
}

QString TZepFile::TestoErrore(const QString &persona, const std::exception &errore)
{
    return TZepCreaFile::TestoErrore(persona, errore);
}

bool TZepFile::CreaFile(const SceltaFile &scegli)
{
    m_personaCorrente.clear();
    return TZepCreaFile::Esegui(
        CartellaDefault(), NomeFileDefault(), scegli,
        [this](const QString &file) {
            NomeFile = file;
            GeneraDenunceMensili();
        },
        [this] { return m_personaCorrente; }, m_log);
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
    if (vuoto(cdsDip) && vuoto(cdsFplsExEnpals) && vuoto(cdsColl) && vuoto(cdsDenunciaAziendale) && vuoto(cdsDMA))
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
    // The sections were read afresh by ControllaRighe.
    if (!vuoto(cdsDMA))
        ScriviDatiExDma(azienda.GetListaPosPA());
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
    ControllaRighePubbliche();
    m_personaCorrente.clear();
}

void TZepFile::ControllaRighePubbliche()
{
    // The sections are read again at each run: another window may have
    // changed them since.
    m_sezioniCaricate = false;
    if (!cdsDMA.isActive() || cdsDMA.isEmpty())
        return;
    const Field &iscritto = cdsDMA.fieldByName(TZepDma::CampoIscritto);
    const Field &cf = cdsDMA.fieldByName(TZepDma::CampoCodiceFiscale);
    const Field &cognome = cdsDMA.fieldByName(TZepDma::CampoCognome);
    const Field &nome = cdsDMA.fieldByName(TZepDma::CampoNome);
    QHash<int, QString> iscritti;
    for (cdsDMA.first(); !cdsDMA.eof(); cdsDMA.next()) {
        m_personaCorrente = persona(cognome.asString(), nome.asString(), cf.asString());
        CampoObbligatorio(cf.asString(), TZepDma::CampoCodiceFiscale);
        TZepTabellaDenuncia::ControllaRiga(cdsDMA, {});
        if (!iscritto.isNull() && iscritto.asInteger() != 0)
            iscritti.insert(iscritto.asInteger(), m_personaCorrente);
    }
    cdsDMA.first();
    // The section rows the file will carry: those of the persons written,
    // each checked under its person's name.
    CaricaSezioni();
    for (DataSet *ds : {&m_e0, &m_evE0, &m_v1, &m_evV1, &m_e1}) {
        const Field &id = ds->fieldByName(TZepDma::CampoIscritto);
        for (ds->first(); !ds->eof(); ds->next()) {
            if (id.isNull() || !iscritti.contains(id.asInteger()))
                continue;
            m_personaCorrente = iscritti.value(id.asInteger());
            TZepTabellaDenuncia::ControllaRiga(*ds, {});
        }
    }
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
