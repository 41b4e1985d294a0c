#include "Emens/ZepCFile.h"

#include "ZepCParametri.h"
#include "ZepUControlliFile.h"
#include "ZepUCreaFile.h"
#include "ZepUUtil.h"

#include "Currency.h"
#include "Exceptions.h"
#include "Field.h"
#include "Format.h"
#include "Services.h"
#include "UqMessages.h"
#include "tovUDBCds.h"
#include "ZepULayoutNomi.h"

#include <QDir>
#include <QSet>

using platform::Bookmark;
using platform::DataSet;
using platform::Field;
using platform::Value;

namespace emens {

const QString TZepFile::MsgCapIstat = QStringLiteral(
    "Dichiarante: \"CAP amministrazione\" o \"Codice ISTAT/Ateco\" non impostato.");
const QString TZepFile::CartellaDenunce = QStringLiteral("/INPS/Emens/Denunce-EMens");

namespace {

const QString S = QStringLiteral("S");

QString testo(const DataSet &ds, const QString &campo)
{
    const Field &f = ds.fieldByName(campo);
    return f.isNull() ? QString() : f.asString();
}

// The figure the file declares (the prints show the same).
int intero(const DataSet &ds, const QString &campo)
{
    return TZepCreaFile::InteroDichiarato(ds.fieldByName(campo));
}

QString persona(const DataSet &ds, const QString &campoCF)
{
    return TZepControlliFile::Persona(testo(ds, QStringLiteral("COGNOME")), testo(ds, QStringLiteral("NOME")),
                                      testo(ds, campoCF));
}

// A date the element needs: a null one is refused, never written as the
// zero date.
QString dataObbligatoria(const DataSet &ds, const QString &campo)
{
    const Field &f = ds.fieldByName(campo);
    if (f.isNull() || !f.asDate().isValid())
        throw EUqError(TZepFile::MsgCampoNonImpostato + campo);
    return f.asDate().toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace

TZepFile::TZepFile(ITovDBCds &store, bool formaLocale, IZepLogFile *log)
    : TZepFileBase(store, log), m_formaLocale(formaLocale)
{
}

void TZepFile::CaricaTabelle()
{
    const auto carica = [this](DataSet &ds, const QString &tabella, const QString &indice) {
        ds.close();
        m_store.Load(ds, tabella);
        ds.setIndexFieldNames(indice);
        ds.first();
    };
    carica(cdsDip, layouts::TEMD_DIPENDENTI::Tabella, QStringLiteral("Matricola;CFLavoratore"));
    carica(cdsColl, layouts::TEMC_COLLABORATORI::Tabella, layouts::TEMC_COLLABORATORI::CFCollaboratore);
}

void TZepFile::PreparaPrenota()
{
    if (m_prenotaPronta)
        return;
    CreaPrenota({{QStringLiteral("Riga"), platform::FieldType::Integer}});
    // The row's position is the list's own key, not a column of the grid.
    cdsPrenota.fieldByName(QStringLiteral("Riga")).setVisible(false);
    const auto aggiungi = [this](DataSet &ds, const QString &tipo, const QString &campoCF, bool posizione) {
        int riga = 0;
        for (ds.first(); !ds.eof(); ds.next())
            cdsPrenota.appendRecord(
                {Value(tipo), ds.fieldValue(campoCF), ds.fieldValue(layouts::TEMD_DIPENDENTI::Cognome),
                 ds.fieldValue(layouts::TEMD_DIPENDENTI::Nome),
                 posizione ? ds.fieldValue(layouts::TEMD_DIPENDENTI::Matricola) : Value(),
                 posizione ? ds.fieldValue(layouts::TEMD_DIPENDENTI::Qualifica2) : Value(), riga++});
        ds.first();
    };
    aggiungi(cdsDip, QStringLiteral("D"), layouts::TEMD_DIPENDENTI::CFLavoratore, true);
    aggiungi(cdsColl, QStringLiteral("C"), layouts::TEMC_COLLABORATORI::CFCollaboratore, false);
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
    ControllaRighe();
    log(QStringLiteral("Creazione file in corso ..."));
    IXMLDenunceRetributiveMensili doc = CreaDocumentoDenunceRetributiveMensili();

    log(QStringLiteral("Imposta dati mittente"));
    IXMLDatiMittente mittente = doc.GetDatiMittente();
    mittente.SetCFPersonaMittente(
        CampoObbligatorio(testo(cdsAmm, layouts::TAMM_AMMINISTRAZIONE::CFPersonaMittente),
                          QStringLiteral("Codice fiscale del soggetto (persona fisica) abilitato alla trasmissione")));
    mittente.SetRagSocMittente(CampoObbligatorio(testo(cdsAmm, layouts::TAMM_AMMINISTRAZIONE::RagSocMittente),
                                                 QStringLiteral("Ragione sociale mittente")));
    mittente.SetCFMittente(CampoObbligatorio(testo(cdsAmm, layouts::TAMM_AMMINISTRAZIONE::CFMittente),
                                             QStringLiteral("Codice fiscale mittente")));
    if (!CFSoftwarehouse.isEmpty())
        mittente.SetCFSoftwarehouse(CFSoftwarehouse);
    mittente.SetSedeINPS(
        CampoObbligatorio(testo(cdsAmm, layouts::TAMM_AMMINISTRAZIONE::SedeINPS), QStringLiteral("Sede INPS")));

    IXMLAzienda azienda = doc.GetAzienda().Add();
    azienda.SetAnnoMeseDenuncia(PeriodoDenuncia());
    azienda.SetCFAzienda(testo(cdsAmm, layouts::TAMM_AMMINISTRAZIONE::CFAzienda));
    azienda.SetRagSocAzienda(testo(cdsAmm, layouts::TAMM_AMMINISTRAZIONE::RagSocAzienda));
    if (!cdsDip.isEmpty()) {
        log(QString());
        log(QStringLiteral("Dati dipendenti: inizio"));
        ScriviDipendenti(azienda.GetListaDenunceIndividuali());
        log(QStringLiteral("Dati dipendenti: fine"));
    }
    if (!cdsColl.isEmpty()) {
        log(QString());
        log(QStringLiteral("Dati collaboratori: inizio"));
        const QString cap = testo(cdsAmm, layouts::TAMM_AMMINISTRAZIONE::CAP).trimmed();
        const QString istat = testo(cdsAmm, layouts::TAMM_AMMINISTRAZIONE::ISTAT).trimmed();
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

void TZepFile::ControllaRighe()
{
    m_personaCorrente.clear();
    TZepControlliFile::ControllaDichiarante(cdsAmm, m_personaCorrente);
    TZepControlliFile::ControllaPersone(cdsDip, layouts::TEMD_DIPENDENTI::CFLavoratore, m_personaCorrente);
    TZepControlliFile::ControllaPersone(cdsColl, layouts::TEMC_COLLABORATORI::CFCollaboratore, m_personaCorrente);
    m_personaCorrente.clear();
}

void TZepFile::ScriviDipendenti(IXMLListaDenunceIndividualiList liste)
{
    QString corrente;
    IXMLDenunciaIndividualeList denunce;
    for (cdsDip.first(); !cdsDip.eof(); cdsDip.next()) {
        const QString matricola = testo(cdsDip, layouts::TEMD_DIPENDENTI::Matricola);
        if (matricola != corrente || denunce.IsNull()) {
            if (!corrente.isEmpty())
                log(platform::format(QStringLiteral("-- Matricola INPS %s: fine ..."), {corrente}));
            corrente = matricola;
            log(QString());
            log(platform::format(QStringLiteral("-- Matricola INPS %s: inizio ..."), {corrente}));
            if (matricola.trimmed().isEmpty()) {
                m_personaCorrente = persona(cdsDip, layouts::TEMD_DIPENDENTI::CFLavoratore);
                throw EUqError(MsgMatricolaNonImpostata);
            }
            IXMLListaDenunceIndividuali lista = liste.Add();
            lista.SetMatricola(corrente);
            denunce = lista.GetDenunciaIndividuale();
        }
        m_personaCorrente = persona(cdsDip, layouts::TEMD_DIPENDENTI::CFLavoratore);
        const QString t = platform::format(QStringLiteral("%s %s %s %s"),
                                           {testo(cdsDip, layouts::TEMD_DIPENDENTI::CFLavoratore),
                                            testo(cdsDip, QStringLiteral("COGNOME")),
                                            testo(cdsDip, QStringLiteral("NOME")),
                                            testo(cdsDip, layouts::TEMD_DIPENDENTI::Qualifica2)});
        const bool eliminato = testo(cdsDip, layouts::TEMD_DIPENDENTI::Elimina) == S;
        LogPersona(QStringLiteral("---- Dipendente "), t, eliminato);

        IXMLDenunciaIndividuale d = denunce.Add();
        if (eliminato)
            d.SetElimina(S);
        d.SetCFLavoratore(testo(cdsDip, layouts::TEMD_DIPENDENTI::CFLavoratore));
        d.SetCognome(testo(cdsDip, layouts::TEMD_DIPENDENTI::Cognome));
        d.SetNome(testo(cdsDip, layouts::TEMD_DIPENDENTI::Nome));
        d.SetQualifica1(testo(cdsDip, layouts::TEMD_DIPENDENTI::Qualifica1));
        d.SetQualifica2(testo(cdsDip, layouts::TEMD_DIPENDENTI::Qualifica2));
        d.SetQualifica3(testo(cdsDip, layouts::TEMD_DIPENDENTI::Qualifica3));
        d.SetTipoContribuzione(testo(cdsDip, layouts::TEMD_DIPENDENTI::TipoContribuzione));
        d.SetCodiceComune(testo(cdsDip, layouts::TAMM_AMMINISTRAZIONE::CodiceComune));
        d.SetCodiceContratto(testo(cdsDip, layouts::TEMD_DIPENDENTI::CodiceContratto));
        if (!m_formaLocale) {
            if (const int v = intero(cdsDip, layouts::TEMD_DIPENDENTI::OrarioContrattuale); v > 0)
                d.SetOrarioContrattuale(v);
            if (const int v = intero(cdsDip, layouts::TEMD_DIPENDENTI::PercPartTime); v > 0)
                d.SetPercPartTime(v);
            if (const int v = intero(cdsDip, layouts::TEMD_DIPENDENTI::NumMensilita); v > 0)
                d.SetNumMensilita(v);
        }
        if (const int g = intero(cdsDip, layouts::TEMD_DIPENDENTI::GiornoAssunzione); g > 0) {
            IXMLAssunzione a = d.GetAssunzione();
            a.SetGiornoAssunzione(g);
            a.SetTipoAssunzione(testo(cdsDip, layouts::TEMD_DIPENDENTI::TipoAssunzione));
        }
        if (const int g = intero(cdsDip, layouts::TEMD_DIPENDENTI::GiornoCessazione); g > 0) {
            IXMLCessazione c = d.GetCessazione();
            c.SetGiornoCessazione(g);
            c.SetTipoCessazione(testo(cdsDip, layouts::TEMD_DIPENDENTI::TipoCessazione));
        }
        IXMLDatiRetributivi dati = d.GetDatiRetributivi().Add();
        if (const QString tipo = testo(cdsDip, layouts::TEMD_DIPENDENTI::TipoLavoratore).trimmed();
            !tipo.isEmpty() && tipo != QLatin1String("0"))
            dati.SetTipoLavoratore(tipo);
        dati.SetImponibile(intero(cdsDip, layouts::TEMD_DIPENDENTI::Imponibile));
        if (!m_formaLocale)
            dati.SetRetribTeorica(intero(cdsDip, layouts::TEMD_DIPENDENTI::RetribTeorica));
        const int aumento = intero(cdsDip, layouts::TEMD_DIPENDENTI::AumentoImponibile);
        const int diminuzione = intero(cdsDip, layouts::TEMD_DIPENDENTI::DiminuzioneImponibile);
        if (aumento > 0 || diminuzione > 0) {
            IXMLVarRetributive v = dati.GetVarRetributive().Add();
            v.SetAnno(testo(cdsDip, layouts::TEMD_DIPENDENTI::Anno));
            if (const int m = intero(cdsDip, layouts::TEMD_DIPENDENTI::MeseDal); m > 0)
                v.SetMeseDal(m);
            if (const int m = intero(cdsDip, layouts::TEMD_DIPENDENTI::MeseAl); m > 0)
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
        dati.SetGiorniRetribuiti(intero(cdsDip, layouts::TEMD_DIPENDENTI::GiorniRetribuiti));
        if (const int s = intero(cdsDip, layouts::TEMD_DIPENDENTI::SettimaneUtili); s > 0)
            dati.SetSettimaneUtili(s);
    }
    log(platform::format(QStringLiteral("-- Matricola INPS %s: fine ..."), {corrente}));
}

void TZepFile::ScriviCollaboratori(IXMLListaCollaboratori lista)
{
    IXMLCollaboratoreList collaboratori = lista.GetCollaboratore();
    for (cdsColl.first(); !cdsColl.eof(); cdsColl.next()) {
        const QString t = platform::format(QStringLiteral("%s %s %s %s %s"),
                                           {testo(cdsColl, layouts::TEMC_COLLABORATORI::CFCollaboratore),
                                            testo(cdsColl, QStringLiteral("COGNOME")),
                                            testo(cdsColl, QStringLiteral("NOME")),
                                            testo(cdsColl, layouts::TEMC_COLLABORATORI::TipoRapporto),
                                            testo(cdsColl, layouts::TEMC_COLLABORATORI::Aliquota)});
        const bool eliminato = testo(cdsColl, layouts::TEMC_COLLABORATORI::Elimina) == S;
        LogPersona(QStringLiteral("---- Collaboratore "), t, eliminato);
        m_personaCorrente = persona(cdsColl, layouts::TEMC_COLLABORATORI::CFCollaboratore);

        IXMLCollaboratore c = collaboratori.Add();
        if (eliminato)
            c.SetElimina(S);
        c.SetCFCollaboratore(testo(cdsColl, layouts::TEMC_COLLABORATORI::CFCollaboratore));
        c.SetCognome(testo(cdsColl, layouts::TEMC_COLLABORATORI::Cognome));
        c.SetNome(testo(cdsColl, layouts::TEMC_COLLABORATORI::Nome));
        c.SetCodiceComune(testo(cdsColl, layouts::TAMM_AMMINISTRAZIONE::CodiceComune));
        c.SetTipoRapporto(testo(cdsColl, layouts::TEMC_COLLABORATORI::TipoRapporto));
        if (const QString v = testo(cdsColl, layouts::TEMC_COLLABORATORI::CodiceAttivita); !v.isEmpty())
            c.SetCodiceAttivita(v);
        c.SetImponibile(intero(cdsColl, layouts::TEMC_COLLABORATORI::Imponibile));
        c.SetAliquota(intero(cdsColl, layouts::TEMC_COLLABORATORI::Aliquota));
        if (const QString v = testo(cdsColl, layouts::TEMC_COLLABORATORI::AltraAss); !v.isEmpty())
            c.SetAltraAss(v);
        c.SetDal(dataObbligatoria(cdsColl, layouts::TEMC_COLLABORATORI::Dal));
        c.SetAl(dataObbligatoria(cdsColl, layouts::TEMC_COLLABORATORI::Al));
        if (const int v = intero(cdsColl, layouts::TEMC_COLLABORATORI::ImpAgevolazione); v > 0) {
            IXMLAgevolazione a = c.GetAgevolazione().Add();
            a.SetImpAgevolazione(v);
            a.SetTipoAgevolazione(testo(cdsColl, layouts::TEMC_COLLABORATORI::TipoAgevolazione));
        }
        if (const QString v = testo(cdsColl, layouts::TEMC_COLLABORATORI::CodCalamita); !v.isEmpty())
            c.SetCodCalamita(v);
        if (const QString v = testo(cdsColl, layouts::TEMC_COLLABORATORI::CodCertificazione); !v.isEmpty())
            c.SetCodCertificazione(v);
    }
}

} // namespace emens
