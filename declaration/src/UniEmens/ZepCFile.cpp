#include "ZepCFileInterno.h"

#include "ZepCDma.h"
#include "ZepCDmaInfo.h"
#include "ZepUControlliFile.h"
#include "ZepUCreaFile.h"
#include "ZepULayoutNomi.h"

#include <QHash>
#include <algorithm>

using namespace zepfile;

const QString TZepFile::TipoPubblico = QStringLiteral("E");
const QString TZepFile::MsgGiorniLavorati = QStringLiteral(
    "In presenza di giorni retribuiti devono essere impostati i giorni lavorati");
const QString TZepFile::MsgGiorniRetribuiti = QStringLiteral("Giorni retribuiti devono essere maggiori di zero");
const QString TZepFile::MsgCapIstat = QStringLiteral(
    "Dichiarante: \"CAP sede di lavoro\" o \"Codice ISTAT/Ateco\" non impostato.");
const QString TZepFile::MsgCessazioneE1 = QStringLiteral(
    "Motivo di sospensione (E1-10) o Tipo di cessazione (E1-11) del quadro E1 con la contribuzione sospesa o "
    "cessata il %1");
const QString TZepFile::MsgCFSoftwarehouse = QStringLiteral(
    "Il codice fiscale della software house \"%1\" (chiave CFSoftwarehouse di %2) deve essere di 11 "
    "cifre");
const QString TZepFile::CartellaDenunce = QStringLiteral("/INPS/INPS uniEMens individuale/Denunce");

// ---------------------------------------------------------------------------

TZepFile::TZepFile(ITovDBCds &store, DataSet &denunciaAziendale, IZepLogFile *log)
    : TZepFileBase(store, log), cdsFplsExEnpals(QStringLiteral("cdsFplsExEnpals")),
      cdsDenunciaAziendale(denunciaAziendale), cdsDMA(QStringLiteral("cdsDMA"))
{
}

TZepFile::~TZepFile() = default;

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
    carica(cdsColl, TZepCollaboratore::Tabella, layouts::TEMC_COLLABORATORI::CFCollaboratore);
    carica(cdsDenunciaAziendale, TZepDenunciaAziendale::Tabella, TZepDenunciaAziendale::Indice);
    carica(cdsDMA, TZepDma::TabellaD0, TZepDma::CampoCodiceFiscale);
}

void TZepFile::PreparaPrenota()
{
    if (m_prenotaPronta)
        return;
    CreaPrenota();
    const auto aggiungi = [this](DataSet &ds, const QString &tipo, const QString &campoCF, bool posizione,
                                 const QString &campoCognome = layouts::TEMD_DIPENDENTI::Cognome,
                                 const QString &campoNome = layouts::TEMD_DIPENDENTI::Nome) {
        if (!ds.isActive())
            return;
        for (ds.first(); !ds.eof(); ds.next()) {
            cdsPrenota.appendRecord(
                {platform::Value(tipo), ds.fieldValue(campoCF), ds.fieldValue(campoCognome), ds.fieldValue(campoNome),
                 posizione ? ds.fieldValue(layouts::TEMD_DIPENDENTI::Matricola) : platform::Value(),
                 posizione ? ds.fieldValue(layouts::TEMD_DIPENDENTI::Qualifica2) : platform::Value()});
        }
        ds.first();
    };
    aggiungi(cdsDip, QStringLiteral("D"), layouts::TEMD_DIPENDENTI::CFLavoratore, true);
    aggiungi(cdsFplsExEnpals, QStringLiteral("F"), layouts::TEFE_FPLSEXENPALS::CFLavoratore, true);
    aggiungi(cdsDMA, TipoPubblico, TZepDma::CampoCodiceFiscale, false, TZepDma::CampoCognome, TZepDma::CampoNome);
    aggiungi(cdsColl, QStringLiteral("C"), layouts::TEMC_COLLABORATORI::CFCollaboratore, false);
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
        const auto valore = [&](const QString &nome) {
            return cdsPrenota.rowValue(b, cdsPrenota.fieldByName(nome).index());
        };
        const platform::Value tipo = valore("Tipo");
        return chiave(tipo.isEmpty() ? QString() : tipo.toString(), valore(QStringLiteral("CF")),
                      valore(layouts::TEMD_DIPENDENTI::Matricola), valore(layouts::TEMD_DIPENDENTI::Qualifica2));
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
                                     posizione ? ds.fieldValue(layouts::TEMD_DIPENDENTI::Matricola) : platform::Value(),
                                     posizione ? ds.fieldValue(layouts::TEMD_DIPENDENTI::Qualifica2)
                                               : platform::Value());
            ZEP_ASSERT(elencate.contains(k), QStringLiteral("Persona %1 assente dall'elenco di prenotazione")
                                                 .arg(ds.fieldByName(campoCF).asString()));
            if (scelte.contains(k))
                ds.next();
            else
                ds.deleteRecord();
        }
        ds.first();
    };
    elimina(cdsDip, QStringLiteral("D"), layouts::TEMD_DIPENDENTI::CFLavoratore, true);
    elimina(cdsFplsExEnpals, QStringLiteral("F"), layouts::TEFE_FPLSEXENPALS::CFLavoratore, true);
    elimina(cdsDMA, TipoPubblico, TZepDma::CampoCodiceFiscale, false);
    elimina(cdsColl, QStringLiteral("C"), layouts::TEMC_COLLABORATORI::CFCollaboratore, false);
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

// ---------------------------------------------------------------------------
// The generator

bool TZepFile::MatricolaPresente(const DataSet &dataSet, const QString &matricola)
{
    const int campo = dataSet.fieldByName(layouts::TEMD_DIPENDENTI::Matricola).index();
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
    const auto amm = [this](const QString &nome) { return cdsAmm.fieldByName(nome).asString(); };
    IXMLDatiMittente mittente = radice.GetDatiMittente();
    mittente.SetTipo(1);
    mittente.SetCFPersonaMittente(
        CampoObbligatorio(amm(layouts::TAMM_AMMINISTRAZIONE::CFPersonaMittente),
                          QStringLiteral("Codice fiscale del soggetto (persona fisica) abilitato alla trasmissione")));
    mittente.SetRagSocMittente(CampoObbligatorio(amm(layouts::TAMM_AMMINISTRAZIONE::RagSocMittente),
                                                 QStringLiteral("Ragione sociale mittente")));
    mittente.SetCFMittente(
        CampoObbligatorio(amm(layouts::TAMM_AMMINISTRAZIONE::CFMittente), QStringLiteral("Codice fiscale mittente")));
    if (!CFSoftwarehouse.isEmpty()) {
        static const QRegularExpression undiciCifre(QStringLiteral("^[0-9]{11}$"));
        if (!undiciCifre.match(CFSoftwarehouse).hasMatch())
            throw EUqError(MsgCFSoftwarehouse.arg(CFSoftwarehouse, FileConfigurazione));
        mittente.GetCFSoftwarehouse().SetText(CFSoftwarehouse);
    }
    mittente.SetSedeINPS(CampoObbligatorio(amm(layouts::TAMM_AMMINISTRAZIONE::SedeINPS), QStringLiteral("Sede INPS")));

    IXMLAzienda azienda = radice.GetAzienda().Add();
    azienda.SetAnnoMeseDenuncia(PeriodoDenuncia());
    azienda.SetCFAzienda(amm(layouts::TAMM_AMMINISTRAZIONE::CFAzienda));
    azienda.SetRagSocAzienda(amm(layouts::TAMM_AMMINISTRAZIONE::RagSocAzienda));

    if (!vuoto(cdsDip) || !vuoto(cdsFplsExEnpals)) {
        log(QString());
        log(QStringLiteral("Dati dipendenti: inizio"));
        ScriviPosizioni(azienda);
        log(QStringLiteral("Dati dipendenti: fine"));
    }
    if (!vuoto(cdsColl)) {
        log(QString());
        log(QStringLiteral("Dati collaboratori: inizio"));
        if (amm(layouts::TAMM_AMMINISTRAZIONE::CAP).trimmed().isEmpty()
            || amm(layouts::TAMM_AMMINISTRAZIONE::ISTAT).trimmed().isEmpty())
            throw EUqError(MsgCapIstat);
        IXMLListaCollaboratori lista = azienda.GetListaCollaboratori();
        lista.SetCAP(amm(layouts::TAMM_AMMINISTRAZIONE::CAP));
        lista.SetISTAT(amm(layouts::TAMM_AMMINISTRAZIONE::ISTAT));
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
    TZepControlliFile::ControllaDichiarante(cdsAmm, m_personaCorrente);
    TZepControlliFile::ControllaPersone(cdsDip, layouts::TEMD_DIPENDENTI::CFLavoratore, m_personaCorrente);
    TZepControlliFile::ControllaPersone(cdsFplsExEnpals, layouts::TEFE_FPLSEXENPALS::CFLavoratore, m_personaCorrente);
    TZepControlliFile::ControllaPersone(cdsColl, layouts::TEMC_COLLABORATORI::CFCollaboratore, m_personaCorrente);
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
        TZepControlliFile::ControllaPersona(cdsDMA, TZepDma::CampoCodiceFiscale);
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
            // A date alone would declare the contributions stopped without
            // saying whether suspended or ceased.
            if (ds == &m_e1 && TZepDmaInfo::CessazioneSenzaMotivo(m_e1))
                throw EUqError(
                    MsgCampoNonImpostato
                    + MsgCessazioneE1.arg(m_e1.fieldByName(layouts::TE1_FONDIPENSIONE::DT_E1XXX009_DFINE_CONTRIBUZIONI)
                                              .asDate()
                                              .toString(QStringLiteral("dd/MM/yyyy"))));
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
    const Field &campoMatricola = cdsDenunciaAziendale.fieldByName(layouts::TEMA_DENAZIENDALE::Matricola);
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
