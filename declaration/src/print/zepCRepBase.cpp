#include "zepCRepBase.h"

#include "Field.h"
#include "ZepCParametri.h"
#include "tovUDBCds.h"
#include "ZepULayoutNomi.h"

using platform::Bookmark;
using platform::Currency;
using platform::DataSet;
using platform::FieldType;

namespace {
const QString CampoCF = QStringLiteral("Codice_Fiscale");
const QString Ordine = QStringLiteral("Cognome;Nome;Codice_Fiscale");

bool uguali(const DataSet &a, const QString &campoA, const DataSet &b, const QString &campoB)
{
    return a.fieldByName(campoA).asString().trimmed() == b.fieldByName(campoB).asString().trimmed();
}
} // namespace

const QStringList &TzepRepBase::MesiFiltro()
{
    static const QStringList mesi{QStringLiteral("Tutti"),     QStringLiteral("Gennaio"), QStringLiteral("Febbraio"),
                                  QStringLiteral("Marzo"),     QStringLiteral("Aprile"),  QStringLiteral("Maggio"),
                                  QStringLiteral("Giugno"),    QStringLiteral("Luglio"),  QStringLiteral("Agosto"),
                                  QStringLiteral("Settembre"), QStringLiteral("Ottobre"), QStringLiteral("Novembre"),
                                  QStringLiteral("Dicembre")};
    return mesi;
}

TzepRepBase::TzepRepBase(ITovDBCds &store, TZepDenuncia denuncia, const QString &tabella,
                         const QString &campoCodiceFiscale, const QString &titolo)
    : Tabella(tabella), CampoCodiceFiscale(campoCodiceFiscale), Titolo(titolo), Denuncia(denuncia), m_store(store)
{
    for (DataSet *ds : {&cdsScelta, &cdsDaStampare}) {
        ds->addFieldDef(CampoCF, FieldType::String, 16);
        ds->addFieldDef(layouts::TEMD_DIPENDENTI::Cognome, FieldType::String, 30);
        ds->addFieldDef(layouts::TEMD_DIPENDENTI::Nome, FieldType::String, 30);
        ds->addFieldDef(layouts::TEMD_DIPENDENTI::Matricola, FieldType::String, 31);
    }
    cdsScelta.addFieldDef(layouts::TEMD_DIPENDENTI::AnnoMeseDenuncia, FieldType::String, 7);
}

TzepRepBase::~TzepRepBase() = default;

QString TzepRepBase::Testo(const QString &campo) const
{
    return cdsDettagli.findField(campo) ? ZepTestoCampo(cdsDettagli, campo) : QString();
}

Currency TzepRepBase::ImportoDichiarato(const QString &campo) const
{
    return cdsDettagli.findField(campo) ? ZepImportoDichiarato(cdsDettagli, campo, Denuncia) : Currency();
}

void TzepRepBase::Carica()
{
    m_store.LoadPeriod(cdsDettagli, Tabella, m_store.Year(), -1);
    cdsDettagli.setIndexFieldNames(layouts::TEMD_DIPENDENTI::AnnoMeseDenuncia);
    cdsScelta.close();
    cdsScelta.createDataSet();
    m_elencati.clear();
    const bool conMatricola = cdsDettagli.findField(layouts::TEMD_DIPENDENTI::Matricola) != nullptr;
    for (cdsDettagli.first(); !cdsDettagli.eof(); cdsDettagli.next()) {
        if (GiaElencato())
            continue;
        cdsScelta.append();
        cdsScelta.setFieldValue(layouts::TEMD_DIPENDENTI::AnnoMeseDenuncia,
                                cdsDettagli.fieldValue(layouts::TEMD_DIPENDENTI::AnnoMeseDenuncia));
        cdsScelta.setFieldValue(CampoCF, cdsDettagli.fieldValue(CampoCodiceFiscale));
        cdsScelta.setFieldValue(layouts::TEMD_DIPENDENTI::Cognome,
                                cdsDettagli.fieldValue(layouts::TEMD_DIPENDENTI::Cognome));
        cdsScelta.setFieldValue(layouts::TEMD_DIPENDENTI::Nome, cdsDettagli.fieldValue(layouts::TEMD_DIPENDENTI::Nome));
        if (conMatricola)
            cdsScelta.setFieldValue(layouts::TEMD_DIPENDENTI::Matricola,
                                    cdsDettagli.fieldValue(layouts::TEMD_DIPENDENTI::Matricola));
        cdsScelta.post();
        m_elencati.insert(Chiave());
    }
    cdsScelta.setIndexFieldNames(Ordine);
    cdsScelta.first();
}

bool TzepRepBase::GiaElencato() const
{
    return m_elencati.contains(Chiave());
}

bool TzepRepBase::RigaDellaPersona()
{
    return uguali(cdsDettagli, CampoCodiceFiscale, cdsDaStampare, CampoCF);
}

bool TzepRepBase::RigaDelMese() const
{
    if (Mese <= 0)
        return true;
    const QString periodo =
        QStringLiteral("%1-%2").arg(m_store.Year(), 4, 10, QLatin1Char('0')).arg(Mese, 2, 10, QLatin1Char('0'));
    return cdsDettagli.fieldByName(layouts::TEMD_DIPENDENTI::AnnoMeseDenuncia).asString() == periodo;
}

void TzepRepBase::Scegli(const QList<Bookmark> &scelti)
{
    cdsDaStampare.close();
    cdsDaStampare.createDataSet();
    ZepAccodaScelte(cdsScelta, scelti, cdsDaStampare);
    cdsDaStampare.setIndexFieldNames(Ordine);
    cdsDaStampare.first();
}

QString TzepRepBase::TitoloPersona() const
{
    return (cdsDaStampare.fieldByName(layouts::TEMD_DIPENDENTI::Cognome).asString().trimmed() + QLatin1Char(' ')
            + cdsDaStampare.fieldByName(layouts::TEMD_DIPENDENTI::Nome).asString().trimmed())
               .trimmed()
           + QStringLiteral(" - ") + cdsDaStampare.fieldByName(CampoCF).asString().trimmed();
}

QList<Bookmark> TzepRepBase::RighePersona()
{
    QList<Bookmark> righe;
    for (cdsDettagli.first(); !cdsDettagli.eof(); cdsDettagli.next())
        if (RigaDellaPersona() && RigaDelMese())
            righe << cdsDettagli.bookmark();
    return righe;
}

TZepStampa TzepRepBase::Stampa()
{
    m_store.LoadPeriod(cdsDichiarante, TZepParametri::TabellaDichiarante, m_store.Year(), 0);
    TZepStampa stampa;
    stampa.titolo = Titolo;
    if (!cdsDichiarante.isEmpty()) {
        cdsDichiarante.first();
        stampa.ufficio = ZepTestoCampo(cdsDichiarante, layouts::TAMM_AMMINISTRAZIONE::RagSocAzienda);
        if (stampa.ufficio.isEmpty())
            stampa.ufficio = ZepTestoCampo(cdsDichiarante, layouts::TAMM_AMMINISTRAZIONE::RagSocMittente);
    }
    stampa.periodo = Mese > 0 ? TZepParametri::Mesi().at(Mese - 1) + QLatin1Char(' ') + QString::number(m_store.Year())
                              : QStringLiteral("anno ") + QString::number(m_store.Year());
    Blocchi(stampa);
    if (stampa.blocchi.isEmpty()) {
        TZepStampaBlocco nessuno;
        nessuno.campi << qMakePair(QStringLiteral("Nessuna riga da stampare per il periodo scelto."), QString());
        stampa.blocchi << nessuno;
    }
    return stampa;
}

void TzepRepBase::Blocchi(TZepStampa &stampa)
{
    for (cdsDaStampare.first(); !cdsDaStampare.eof(); cdsDaStampare.next())
        if (const QList<Bookmark> righe = RighePersona(); !righe.isEmpty())
            stampa.blocchi << Persona(righe);
}

// ------------------------------------------------------------------ employees

TzepRepDip::TzepRepDip(ITovDBCds &store, TZepDenuncia denuncia)
    : TzepRepBase(store, denuncia, layouts::TEMD_DIPENDENTI::Tabella, layouts::TEMD_DIPENDENTI::CFLavoratore,
                  QStringLiteral("Dipendenti"))
{
    cdsMatricole.addFieldDef(layouts::TEMD_DIPENDENTI::Matricola, FieldType::String, 31);
}

void TzepRepDip::Carica()
{
    TzepRepBase::Carica();
    cdsMatricole.close();
    cdsMatricole.createDataSet();
    QStringList viste;
    for (cdsDettagli.first(); !cdsDettagli.eof(); cdsDettagli.next()) {
        const QString m = cdsDettagli.fieldByName(layouts::TEMD_DIPENDENTI::Matricola).asString();
        if (viste.contains(m))
            continue;
        viste << m;
        cdsMatricole.appendRecord({m});
    }
    cdsMatricole.first();
}

QString TzepRepDip::Chiave() const
{
    return cdsDettagli.fieldByName(CampoCodiceFiscale).asString().trimmed() + QLatin1Char('\n')
           + cdsDettagli.fieldByName(layouts::TEMD_DIPENDENTI::Matricola).asString().trimmed();
}

bool TzepRepDip::RigaDellaPersona()
{
    return TzepRepBase::RigaDellaPersona()
           && uguali(cdsDettagli, layouts::TEMD_DIPENDENTI::Matricola, cdsDaStampare,
                     layouts::TEMD_DIPENDENTI::Matricola);
}

void TzepRepDip::Blocchi(TZepStampa &stampa)
{
    for (cdsMatricole.first(); !cdsMatricole.eof(); cdsMatricole.next()) {
        const QString matricola = cdsMatricole.fieldByName(layouts::TEMD_DIPENDENTI::Matricola).asString();
        QList<TZepStampaBlocco> persone;
        for (cdsDaStampare.first(); !cdsDaStampare.eof(); cdsDaStampare.next())
            if (cdsDaStampare.fieldByName(layouts::TEMD_DIPENDENTI::Matricola).asString() == matricola)
                if (const QList<Bookmark> righe = RighePersona(); !righe.isEmpty())
                    persone << Persona(righe);
        if (persone.isEmpty())
            continue;
        TZepStampaBlocco testa;
        testa.titolo = QStringLiteral("Matricola INPS ") + matricola.trimmed();
        testa.nuovaPagina = !stampa.blocchi.isEmpty();
        stampa.blocchi << testa << persone;
    }
}

TZepStampaBlocco TzepRepDip::Persona(const QList<Bookmark> &righe)
{
    // The E-Mens rows carry the pay variations of earlier months where the
    // UniEmens ones carry the contribution.
    const bool emens = Denuncia != TZepDenuncia::UniEmens;
    TZepStampaBlocco b;
    b.titolo = TitoloPersona();
    TZepStampaTabella t;
    t.colonne = QStringList{QStringLiteral("Periodo"),      QStringLiteral("Qualifica"), QStringLiteral("Tipo contr."),
                            QStringLiteral("Giorni retr."), QStringLiteral("Settimane"), QStringLiteral("Imponibile")};
    const QStringList importi = emens ? QStringList{layouts::TEMD_DIPENDENTI::AumentoImponibile,
                                                    layouts::TEMD_DIPENDENTI::DiminuzioneImponibile}
                                      : QStringList{layouts::TEMD_DIPENDENTI::Contributo};
    t.colonne << (emens ? QStringList{QStringLiteral("Aumento imp."), QStringLiteral("Diminuzione imp.")}
                        : QStringList{QStringLiteral("Contributo")});
    for (int i = 3; i < t.colonne.size(); ++i)
        t.destra << i;
    Currency imponibile;
    QList<Currency> somme(importi.size());
    int giorni = 0;
    for (const Bookmark &r : righe) {
        cdsDettagli.gotoBookmark(r);
        QStringList riga{Testo(layouts::TEMD_DIPENDENTI::AnnoMeseDenuncia),
                         Testo(layouts::TEMD_DIPENDENTI::Qualifica1) + Testo(layouts::TEMD_DIPENDENTI::Qualifica2)
                             + Testo(layouts::TEMD_DIPENDENTI::Qualifica3),
                         Testo(layouts::TEMD_DIPENDENTI::TipoContribuzione),
                         QString::number(
                             cdsDettagli.fieldByName(layouts::TEMD_DIPENDENTI::GiorniRetribuiti).asInteger()),
                         Testo(layouts::TEMD_DIPENDENTI::SettimaneUtili),
                         ZepImporto(ImportoDichiarato(layouts::TEMD_DIPENDENTI::Imponibile))};
        imponibile = imponibile + ImportoDichiarato(layouts::TEMD_DIPENDENTI::Imponibile);
        for (int i = 0; i < importi.size(); ++i) {
            riga << ZepImporto(ImportoDichiarato(importi.at(i)));
            somme[i] = somme[i] + ImportoDichiarato(importi.at(i));
        }
        t.righe << riga;
        giorni += cdsDettagli.fieldByName(layouts::TEMD_DIPENDENTI::GiorniRetribuiti).asInteger();
    }
    t.totali = QStringList{QStringLiteral("Totale"), QString(), QString(),
                           QString::number(giorni),  QString(), ZepImporto(imponibile)};
    for (const Currency &s : somme)
        t.totali << ZepImporto(s);
    b.tabelle << t;
    return b;
}

// -------------------------------------------------------------- collaborators

TzepRepColl::TzepRepColl(ITovDBCds &store, TZepDenuncia denuncia)
    : TzepRepBase(store, denuncia, layouts::TEMC_COLLABORATORI::Tabella, layouts::TEMC_COLLABORATORI::CFCollaboratore,
                  QStringLiteral("Collaboratori"))
{
}

QString TzepRepColl::Chiave() const
{
    return cdsDettagli.fieldByName(CampoCodiceFiscale).asString().trimmed();
}

TZepStampaBlocco TzepRepColl::Persona(const QList<Bookmark> &righe)
{
    TZepStampaBlocco b;
    b.titolo = TitoloPersona();
    TZepStampaTabella t;
    t.colonne = QStringList{QStringLiteral("Periodo"),    QStringLiteral("Rapporto"),     QStringLiteral("Attività"),
                            QStringLiteral("Dal"),        QStringLiteral("Al"),           QStringLiteral("Aliquota"),
                            QStringLiteral("Imponibile"), QStringLiteral("Agevolazione"), QStringLiteral("Tipo agev.")};
    t.destra = {5, 6, 7};
    Currency imponibile, agevolazioni;
    for (const Bookmark &r : righe) {
        cdsDettagli.gotoBookmark(r);
        t.righe << QStringList{Testo(layouts::TEMD_DIPENDENTI::AnnoMeseDenuncia),
                               Testo(layouts::TEMC_COLLABORATORI::TipoRapporto),
                               Testo(layouts::TEMC_COLLABORATORI::CodiceAttivita),
                               Testo(layouts::TEMC_COLLABORATORI::Dal),
                               Testo(layouts::TEMC_COLLABORATORI::Al),
                               cdsDettagli.findField(layouts::TEMC_COLLABORATORI::Aliquota)
                                   ? ZepAliquotaCampo(cdsDettagli, layouts::TEMC_COLLABORATORI::Aliquota)
                                   : QString(),
                               ZepImporto(ImportoDichiarato(layouts::TEMC_COLLABORATORI::Imponibile)),
                               ZepImporto(ImportoDichiarato(layouts::TEMC_COLLABORATORI::ImpAgevolazione)),
                               Testo(layouts::TEMC_COLLABORATORI::TipoAgevolazione)};
        imponibile = imponibile + ImportoDichiarato(layouts::TEMC_COLLABORATORI::Imponibile);
        agevolazioni = agevolazioni + ImportoDichiarato(layouts::TEMC_COLLABORATORI::ImpAgevolazione);
    }
    t.totali = QStringList{
        QStringLiteral("Totale"), QString(), QString(), QString(), QString(), QString(), ZepImporto(imponibile),
        ZepImporto(agevolazioni), QString()};
    b.tabelle << t;
    return b;
}
