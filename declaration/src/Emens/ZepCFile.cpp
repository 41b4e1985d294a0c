#include "Emens/ZepCFile.h"

#include "ZepCParametri.h"
#include "ZepCTabellaDenuncia.h"
#include "ZepUCreaFile.h"
#include "ZepUUtil.h"

#include "Currency.h"
#include "Exceptions.h"
#include "Field.h"
#include "Format.h"
#include "Services.h"
#include "UqMessages.h"
#include "tovUDBCds.h"

#include <QDir>
#include <QSet>

using platform::Bookmark;
using platform::DataSet;
using platform::Field;
using platform::Value;

namespace emens {

const QString TZepFile::MsgNessunDato = QStringLiteral("Nessun dato presente.");
const QString TZepFile::MsgCampoNonImpostato = QStringLiteral("Campo non impostato: ");
const QString TZepFile::MsgMatricolaNonImpostata = QStringLiteral("Matricola INPS Azienda non impostata");
const QString TZepFile::MsgCapIstat = QStringLiteral(
    "Dichiarante: \"CAP amministrazione\" o \"Codice ISTAT/Ateco\" non impostato.");
const QString &TZepFile::MsgAnnullata = TZepCreaFile::MsgAnnullata;
const QString &TZepFile::MsgTerminata = TZepCreaFile::MsgTerminata;
const QString &TZepFile::MsgErrore = TZepCreaFile::MsgErrore;
const QString &TZepFile::MsgSovrascrivere = TZepCreaFile::MsgSovrascrivere;
const QString TZepFile::CartellaDenunce = QStringLiteral("/INPS/Emens/Denunce-EMens");

namespace {

const QString S = QStringLiteral("S");
const QString Eliminato = QStringLiteral("********* ELIMINATO  ");
const QString FineEliminato = QStringLiteral("*********");

QString testo(const DataSet &ds, const char *campo)
{
    const Field &f = ds.fieldByName(QLatin1String(campo));
    return f.isNull() ? QString() : f.asString();
}

// The one rounding of the file: whole units, half away from zero.
int intero(const DataSet &ds, const char *campo)
{
    const Field &f = ds.fieldByName(QLatin1String(campo));
    if (f.isNull())
        return 0;
    if (f.dataType() == platform::FieldType::Currency)
        return int(f.asCurrency().rounded(0).truncated());
    return f.asInteger();
}

QString persona(const DataSet &ds, const char *campoCF)
{
    return testo(ds, "COGNOME") + QLatin1Char(' ') + testo(ds, "NOME") + QStringLiteral(" - CF: ") + testo(ds, campoCF);
}

// A date the element needs: a null one is refused, never written as the
// zero date.
QString dataObbligatoria(const DataSet &ds, const char *campo)
{
    const Field &f = ds.fieldByName(QLatin1String(campo));
    if (f.isNull() || !f.asDate().isValid())
        throw EUqError(TZepFile::MsgCampoNonImpostato + QLatin1String(campo));
    return f.asDate().toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace

TZepFile::TZepFile(ITovDBCds &store, bool formaLocale, IZepLogFile *log)
    : cdsAmm(QStringLiteral("cdsAmm")), cdsDip(QStringLiteral("cdsDip")), cdsColl(QStringLiteral("cdsColl")),
      cdsPrenota(QStringLiteral("cdsPrenota")), CFSoftwarehouse(TZepCreaFile::CFSoftwarehouseConfigurato()),
      m_store(store), m_formaLocale(formaLocale), m_log(log)
{
}

void TZepFile::log(const QString &riga)
{
    if (m_log)
        m_log->Log(riga);
}

const QString &TZepFile::CampoObbligatorio(const QString &valore, const QString &etichetta)
{
    if (valore.trimmed().isEmpty())
        throw EUqError(MsgCampoNonImpostato + etichetta);
    return valore;
}

void TZepFile::CaricaTabelle()
{
    const auto carica = [this](DataSet &ds, const QString &tabella, const QString &indice) {
        ds.close();
        m_store.Load(ds, tabella);
        ds.setIndexFieldNames(indice);
        ds.first();
    };
    carica(cdsDip, QStringLiteral("TEMD_DIPENDENTI"), QStringLiteral("Matricola;CFLavoratore"));
    carica(cdsColl, QStringLiteral("TEMC_COLLABORATORI"), QStringLiteral("CFCollaboratore"));
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
                             {QStringLiteral("Qualifica2"), platform::FieldType::String, 31},
                             {QStringLiteral("Riga"), platform::FieldType::Integer}});
    cdsPrenota.createDataSet();
    // The row's position is the list's own key, not a column of the grid.
    cdsPrenota.fieldByName(QStringLiteral("Riga")).setVisible(false);
    cdsPrenota.setIndexFieldNames(QStringLiteral("Tipo;Cognome;Nome"));
    const auto aggiungi = [this](DataSet &ds, const QString &tipo, const QString &campoCF, bool posizione) {
        int riga = 0;
        for (ds.first(); !ds.eof(); ds.next())
            cdsPrenota.appendRecord({Value(tipo), ds.fieldValue(campoCF), ds.fieldValue(QStringLiteral("Cognome")),
                                     ds.fieldValue(QStringLiteral("Nome")),
                                     posizione ? ds.fieldValue(QStringLiteral("Matricola")) : Value(),
                                     posizione ? ds.fieldValue(QStringLiteral("Qualifica2")) : Value(), riga++});
        ds.first();
    };
    aggiungi(cdsDip, QStringLiteral("D"), QStringLiteral("CFLavoratore"), true);
    aggiungi(cdsColl, QStringLiteral("C"), QStringLiteral("CFCollaboratore"), false);
    cdsPrenota.first();
    m_prenotaPronta = true;
}

void TZepFile::EliminaNonSelezionati(const QList<Bookmark> &selezionati)
{
    if (selezionati.isEmpty())
        return;
    // Each selection row stands for one row of a table, by its position in
    // the table's order: two rows with the same key (a person twice under
    // one company number) are told apart.
    QSet<QString> scelte;
    const int tipo = cdsPrenota.fieldByName(QStringLiteral("Tipo")).index();
    const int riga = cdsPrenota.fieldByName(QStringLiteral("Riga")).index();
    for (const Bookmark &b : selezionati)
        scelte.insert(cdsPrenota.rowValue(b, tipo).toString() + QLatin1Char('/')
                      + QString::number(cdsPrenota.rowValue(b, riga).toInt()));
    const auto elimina = [&](DataSet &ds, const QString &t) {
        int posizione = 0;
        ds.first();
        while (!ds.eof()) {
            if (scelte.contains(t + QLatin1Char('/') + QString::number(posizione++)))
                ds.next();
            else
                ds.deleteRecord();
        }
        ds.first();
    };
    elimina(cdsDip, QStringLiteral("D"));
    elimina(cdsColl, QStringLiteral("C"));
}

QString TZepFile::NomeFileDefault()
{
    return QStringLiteral("EMens") + PeriodoDenuncia() + QStringLiteral(".Xml");
}

QString TZepFile::CartellaDefault()
{
    return TZepCreaFile::CartellaProgrammi(CartellaDenunce);
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
            GeneraDenunceRetributiveMensili();
        },
        [this] { return m_personaCorrente; }, m_log);
}

void TZepFile::GeneraDenunceRetributiveMensili()
{
    CreaDocumento().GetOwnerDocument().SaveToFile(NomeFile);
}

IXMLDenunceRetributiveMensili TZepFile::CreaDocumento()
{
    cdsAmm.close();
    m_store.LoadPeriod(cdsAmm, TZepParametri::TabellaDichiarante, m_store.Year(), 0);
    cdsAmm.first();
    if (cdsDip.isEmpty() && cdsColl.isEmpty())
        throw EUqError(MsgNessunDato);
    log(QStringLiteral("Creazione file in corso ..."));
    IXMLDenunceRetributiveMensili doc = CreaDocumentoDenunceRetributiveMensili();

    log(QStringLiteral("Imposta dati mittente"));
    IXMLDatiMittente mittente = doc.GetDatiMittente();
    mittente.SetCFPersonaMittente(
        CampoObbligatorio(testo(cdsAmm, "CFPersonaMittente"),
                          QStringLiteral("Codice fiscale del soggetto (persona fisica) abilitato alla trasmissione")));
    mittente.SetRagSocMittente(
        CampoObbligatorio(testo(cdsAmm, "RagSocMittente"), QStringLiteral("Ragione sociale mittente")));
    mittente.SetCFMittente(CampoObbligatorio(testo(cdsAmm, "CFMittente"), QStringLiteral("Codice fiscale mittente")));
    if (!CFSoftwarehouse.isEmpty())
        mittente.SetCFSoftwarehouse(CFSoftwarehouse);
    mittente.SetSedeINPS(CampoObbligatorio(testo(cdsAmm, "SedeINPS"), QStringLiteral("Sede INPS")));

    IXMLAzienda azienda = doc.GetAzienda().Add();
    azienda.SetAnnoMeseDenuncia(PeriodoDenuncia());
    azienda.SetCFAzienda(testo(cdsAmm, "CFAzienda"));
    azienda.SetRagSocAzienda(testo(cdsAmm, "RagSocAzienda"));
    if (!cdsDip.isEmpty()) {
        log(QString());
        log(QStringLiteral("Dati dipendenti: inizio"));
        ScriviDipendenti(azienda.GetListaDenunceIndividuali());
        log(QStringLiteral("Dati dipendenti: fine"));
    }
    if (!cdsColl.isEmpty()) {
        log(QString());
        log(QStringLiteral("Dati collaboratori: inizio"));
        const QString cap = testo(cdsAmm, "CAP").trimmed();
        const QString istat = testo(cdsAmm, "ISTAT").trimmed();
        if (cap.isEmpty() || istat.isEmpty())
            throw EUqError(MsgCapIstat);
        IXMLListaCollaboratori lista = azienda.GetListaCollaboratori();
        lista.SetCAP(cap);
        lista.SetISTAT(istat);
        ScriviCollaboratori(lista);
        log(QStringLiteral("Dati collaboratori: fine"));
    }
    return doc;
}

void TZepFile::ScriviDipendenti(IXMLListaDenunceIndividualiList liste)
{
    QString corrente;
    IXMLDenunciaIndividualeList denunce;
    for (cdsDip.first(); !cdsDip.eof(); cdsDip.next()) {
        const QString matricola = testo(cdsDip, "Matricola");
        if (matricola != corrente || denunce.IsNull()) {
            if (!corrente.isEmpty())
                log(platform::format(QStringLiteral("-- Matricola INPS %s: fine ..."), {corrente}));
            corrente = matricola;
            log(QString());
            log(platform::format(QStringLiteral("-- Matricola INPS %s: inizio ..."), {corrente}));
            if (matricola.trimmed().isEmpty()) {
                m_personaCorrente = persona(cdsDip, "CFLavoratore");
                throw EUqError(MsgMatricolaNonImpostata);
            }
            IXMLListaDenunceIndividuali lista = liste.Add();
            lista.SetMatricola(corrente);
            denunce = lista.GetDenunciaIndividuale();
        }
        m_personaCorrente = persona(cdsDip, "CFLavoratore");
        const QString t = platform::format(QStringLiteral("%s %s %s %s"),
                                           {testo(cdsDip, "CFLavoratore"), testo(cdsDip, "COGNOME"),
                                            testo(cdsDip, "NOME"), testo(cdsDip, "Qualifica2")});
        const bool eliminato = testo(cdsDip, "Elimina") == S;
        log(eliminato ? Eliminato + t + FineEliminato : QStringLiteral("---- Dipendente ") + t);

        IXMLDenunciaIndividuale d = denunce.Add();
        if (eliminato)
            d.SetElimina(S);
        d.SetCFLavoratore(testo(cdsDip, "CFLavoratore"));
        d.SetCognome(testo(cdsDip, "Cognome"));
        d.SetNome(testo(cdsDip, "Nome"));
        d.SetQualifica1(testo(cdsDip, "Qualifica1"));
        d.SetQualifica2(testo(cdsDip, "Qualifica2"));
        d.SetQualifica3(testo(cdsDip, "Qualifica3"));
        d.SetTipoContribuzione(testo(cdsDip, "TipoContribuzione"));
        d.SetCodiceComune(testo(cdsDip, "CodiceComune"));
        d.SetCodiceContratto(testo(cdsDip, "CodiceContratto"));
        if (!m_formaLocale) {
            if (const int v = intero(cdsDip, "OrarioContrattuale"); v > 0)
                d.SetOrarioContrattuale(v);
            if (const int v = intero(cdsDip, "PercPartTime"); v > 0)
                d.SetPercPartTime(v);
            if (const int v = intero(cdsDip, "NumMensilita"); v > 0)
                d.SetNumMensilita(v);
        }
        if (const int g = intero(cdsDip, "GiornoAssunzione"); g > 0) {
            IXMLAssunzione a = d.GetAssunzione();
            a.SetGiornoAssunzione(g);
            a.SetTipoAssunzione(testo(cdsDip, "TipoAssunzione"));
        }
        if (const int g = intero(cdsDip, "GiornoCessazione"); g > 0) {
            IXMLCessazione c = d.GetCessazione();
            c.SetGiornoCessazione(g);
            c.SetTipoCessazione(testo(cdsDip, "TipoCessazione"));
        }
        IXMLDatiRetributivi dati = d.GetDatiRetributivi().Add();
        if (const QString tipo = testo(cdsDip, "TipoLavoratore").trimmed();
            !tipo.isEmpty() && tipo != QLatin1String("0"))
            dati.SetTipoLavoratore(tipo);
        dati.SetImponibile(intero(cdsDip, "Imponibile"));
        if (!m_formaLocale)
            dati.SetRetribTeorica(intero(cdsDip, "RetribTeorica"));
        const int aumento = intero(cdsDip, "AumentoImponibile");
        const int diminuzione = intero(cdsDip, "DiminuzioneImponibile");
        if (aumento > 0 || diminuzione > 0) {
            IXMLVarRetributive v = dati.GetVarRetributive().Add();
            v.SetAnno(testo(cdsDip, "Anno"));
            if (const int m = intero(cdsDip, "MeseDal"); m > 0)
                v.SetMeseDal(m);
            if (const int m = intero(cdsDip, "MeseAl"); m > 0)
                v.SetMeseAl(m);
            if (aumento > 0)
                v.SetAumentoImponibile(aumento);
            if (diminuzione > 0)
                v.SetDiminuzioneImponibile(diminuzione);
        }
        IXMLSettimanaList settimane;
        for (int i = 1; i <= 6; ++i) {
            const QString copertura = cdsDip.fieldByName(QStringLiteral("TipoCopertura_%1").arg(i)).asString();
            if (copertura != QLatin1String("X"))
                continue;
            if (settimane.IsNull())
                settimane = dati.GetSettimana();
            IXMLSettimana s = settimane.Add();
            s.SetIdSettimana(cdsDip.fieldByName(QStringLiteral("IdSettimana_%1").arg(i)).asInteger());
            s.SetTipoCopertura(copertura);
        }
        dati.SetGiorniRetribuiti(intero(cdsDip, "GiorniRetribuiti"));
        if (const int s = intero(cdsDip, "SettimaneUtili"); s > 0)
            dati.SetSettimaneUtili(s);
    }
    log(platform::format(QStringLiteral("-- Matricola INPS %s: fine ..."), {corrente}));
}

void TZepFile::ScriviCollaboratori(IXMLListaCollaboratori lista)
{
    IXMLCollaboratoreList collaboratori = lista.GetCollaboratore();
    for (cdsColl.first(); !cdsColl.eof(); cdsColl.next()) {
        const QString t = platform::format(QStringLiteral("%s %s %s %s %s"),
                                           {testo(cdsColl, "CFCollaboratore"), testo(cdsColl, "COGNOME"),
                                            testo(cdsColl, "NOME"), testo(cdsColl, "TipoRapporto"),
                                            testo(cdsColl, "Aliquota")});
        const bool eliminato = testo(cdsColl, "Elimina") == S;
        log(eliminato ? Eliminato + t + FineEliminato : QStringLiteral("---- Collaboratore ") + t);
        m_personaCorrente = persona(cdsColl, "CFCollaboratore");

        IXMLCollaboratore c = collaboratori.Add();
        if (eliminato)
            c.SetElimina(S);
        c.SetCFCollaboratore(testo(cdsColl, "CFCollaboratore"));
        c.SetCognome(testo(cdsColl, "Cognome"));
        c.SetNome(testo(cdsColl, "Nome"));
        c.SetCodiceComune(testo(cdsColl, "CodiceComune"));
        c.SetTipoRapporto(testo(cdsColl, "TipoRapporto"));
        if (const QString v = testo(cdsColl, "CodiceAttivita"); !v.isEmpty())
            c.SetCodiceAttivita(v);
        c.SetImponibile(intero(cdsColl, "Imponibile"));
        c.SetAliquota(intero(cdsColl, "Aliquota"));
        if (const QString v = testo(cdsColl, "AltraAss"); !v.isEmpty())
            c.SetAltraAss(v);
        c.SetDal(dataObbligatoria(cdsColl, "Dal"));
        c.SetAl(dataObbligatoria(cdsColl, "Al"));
        if (const int v = intero(cdsColl, "ImpAgevolazione"); v > 0) {
            IXMLAgevolazione a = c.GetAgevolazione().Add();
            a.SetImpAgevolazione(v);
            a.SetTipoAgevolazione(testo(cdsColl, "TipoAgevolazione"));
        }
        if (const QString v = testo(cdsColl, "CodCalamita"); !v.isEmpty())
            c.SetCodCalamita(v);
        if (const QString v = testo(cdsColl, "CodCertificazione"); !v.isEmpty())
            c.SetCodCertificazione(v);
    }
}

} // namespace emens
