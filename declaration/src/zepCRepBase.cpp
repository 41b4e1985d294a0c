#include "zepCRepBase.h"

#include "Field.h"
#include "ZepCParametri.h"
#include "tovUDBCds.h"

using platform::Bookmark;
using platform::Currency;
using platform::DataSet;
using platform::FieldType;

namespace {
const QString CampoCF = QStringLiteral("Codice_Fiscale");
const QString CampoCognome = QStringLiteral("Cognome");
const QString CampoNome = QStringLiteral("Nome");
const QString CampoMatricola = QStringLiteral("Matricola");
const QString CampoPeriodo = QStringLiteral("AnnoMeseDenuncia");
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
        ds->addFieldDef(CampoCognome, FieldType::String, 30);
        ds->addFieldDef(CampoNome, FieldType::String, 30);
        ds->addFieldDef(CampoMatricola, FieldType::String, 31);
    }
    cdsScelta.addFieldDef(CampoPeriodo, FieldType::String, 7);
}

TzepRepBase::~TzepRepBase() = default;

QString TzepRepBase::Testo(const QString &campo) const
{
    return cdsDettagli.findField(campo) ? ZepTestoCampo(cdsDettagli, campo) : QString();
}

void TzepRepBase::Carica()
{
    m_store.LoadPeriod(cdsDettagli, Tabella, m_store.Year(), -1);
    cdsDettagli.setIndexFieldNames(CampoPeriodo);
    cdsScelta.close();
    cdsScelta.createDataSet();
    m_elencati.clear();
    const bool conMatricola = cdsDettagli.findField(CampoMatricola) != nullptr;
    for (cdsDettagli.first(); !cdsDettagli.eof(); cdsDettagli.next()) {
        if (GiaElencato())
            continue;
        cdsScelta.append();
        cdsScelta.setFieldValue(CampoPeriodo, cdsDettagli.fieldValue(CampoPeriodo));
        cdsScelta.setFieldValue(CampoCF, cdsDettagli.fieldValue(CampoCodiceFiscale));
        cdsScelta.setFieldValue(CampoCognome, cdsDettagli.fieldValue(CampoCognome));
        cdsScelta.setFieldValue(CampoNome, cdsDettagli.fieldValue(CampoNome));
        if (conMatricola)
            cdsScelta.setFieldValue(CampoMatricola, cdsDettagli.fieldValue(CampoMatricola));
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
    return cdsDettagli.fieldByName(CampoPeriodo).asString() == periodo;
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
    return (cdsDaStampare.fieldByName(CampoCognome).asString().trimmed() + QLatin1Char(' ')
            + cdsDaStampare.fieldByName(CampoNome).asString().trimmed())
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
        stampa.ufficio = ZepTestoCampo(cdsDichiarante, QStringLiteral("RagSocAzienda"));
        if (stampa.ufficio.isEmpty())
            stampa.ufficio = ZepTestoCampo(cdsDichiarante, QStringLiteral("RagSocMittente"));
    }
    stampa.periodo = Mese > 0 ? TZepParametri::Mesi().at(Mese - 1) + QLatin1Char(' ') + QString::number(m_store.Year())
                              : QStringLiteral("anno ") + QString::number(m_store.Year());
    Blocchi(stampa);
    return stampa;
}

void TzepRepBase::Blocchi(TZepStampa &stampa)
{
    for (cdsDaStampare.first(); !cdsDaStampare.eof(); cdsDaStampare.next())
        stampa.blocchi << Persona();
}

// ------------------------------------------------------------------ employees

TzepRepDip::TzepRepDip(ITovDBCds &store, TZepDenuncia denuncia)
    : TzepRepBase(store, denuncia, QStringLiteral("TEMD_DIPENDENTI"), QStringLiteral("CFLavoratore"),
                  QStringLiteral("Dipendenti"))
{
    cdsMatricole.addFieldDef(CampoMatricola, FieldType::String, 31);
}

void TzepRepDip::Carica()
{
    TzepRepBase::Carica();
    cdsMatricole.close();
    cdsMatricole.createDataSet();
    QStringList viste;
    for (cdsDettagli.first(); !cdsDettagli.eof(); cdsDettagli.next()) {
        const QString m = cdsDettagli.fieldByName(CampoMatricola).asString();
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
           + cdsDettagli.fieldByName(CampoMatricola).asString().trimmed();
}

bool TzepRepDip::RigaDellaPersona()
{
    return TzepRepBase::RigaDellaPersona() && uguali(cdsDettagli, CampoMatricola, cdsDaStampare, CampoMatricola);
}

void TzepRepDip::Blocchi(TZepStampa &stampa)
{
    for (cdsMatricole.first(); !cdsMatricole.eof(); cdsMatricole.next()) {
        const QString matricola = cdsMatricole.fieldByName(CampoMatricola).asString();
        QList<TZepStampaBlocco> persone;
        for (cdsDaStampare.first(); !cdsDaStampare.eof(); cdsDaStampare.next())
            if (cdsDaStampare.fieldByName(CampoMatricola).asString() == matricola)
                persone << Persona();
        if (persone.isEmpty())
            continue;
        TZepStampaBlocco testa;
        testa.titolo = QStringLiteral("Matricola INPS ") + matricola.trimmed();
        testa.nuovaPagina = !stampa.blocchi.isEmpty();
        stampa.blocchi << testa << persone;
    }
}

TZepStampaBlocco TzepRepDip::Persona()
{
    // The E-Mens rows carry the pay variations of earlier months where the
    // UniEmens ones carry the contribution.
    const bool emens = Denuncia != TZepDenuncia::UniEmens;
    TZepStampaBlocco b;
    b.titolo = TitoloPersona();
    TZepStampaTabella t;
    t.colonne = QStringList{QStringLiteral("Periodo"),      QStringLiteral("Qualifica"), QStringLiteral("Tipo contr."),
                            QStringLiteral("Giorni retr."), QStringLiteral("Settimane"), QStringLiteral("Imponibile")};
    const QStringList importi = emens ? QStringList{QStringLiteral("AumentoImponibile"),
                                                    QStringLiteral("DiminuzioneImponibile")}
                                      : QStringList{QStringLiteral("Contributo")};
    t.colonne << (emens ? QStringList{QStringLiteral("Aumento imp."), QStringLiteral("Diminuzione imp.")}
                        : QStringList{QStringLiteral("Contributo")});
    for (int i = 3; i < t.colonne.size(); ++i)
        t.destra << i;
    Currency imponibile;
    QList<Currency> somme(importi.size());
    int giorni = 0;
    for (const Bookmark &r : RighePersona()) {
        cdsDettagli.gotoBookmark(r);
        QStringList riga{Testo(CampoPeriodo),
                         Testo(QStringLiteral("Qualifica1")) + Testo(QStringLiteral("Qualifica2"))
                             + Testo(QStringLiteral("Qualifica3")),
                         Testo(QStringLiteral("TipoContribuzione")),
                         Testo(QStringLiteral("GiorniRetribuiti")),
                         Testo(QStringLiteral("SettimaneUtili")),
                         Testo(QStringLiteral("Imponibile"))};
        imponibile = imponibile + ZepImportoCampo(cdsDettagli, QStringLiteral("Imponibile"));
        for (int i = 0; i < importi.size(); ++i) {
            riga << Testo(importi.at(i));
            somme[i] = somme[i] + ZepImportoCampo(cdsDettagli, importi.at(i));
        }
        t.righe << riga;
        giorni += cdsDettagli.fieldByName(QStringLiteral("GiorniRetribuiti")).asInteger();
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
    : TzepRepBase(store, denuncia, QStringLiteral("TEMC_COLLABORATORI"), QStringLiteral("CFCollaboratore"),
                  QStringLiteral("Collaboratori"))
{
}

QString TzepRepColl::Chiave() const
{
    return cdsDettagli.fieldByName(CampoCodiceFiscale).asString().trimmed();
}

TZepStampaBlocco TzepRepColl::Persona()
{
    TZepStampaBlocco b;
    b.titolo = TitoloPersona();
    TZepStampaTabella t;
    t.colonne = QStringList{QStringLiteral("Periodo"),   QStringLiteral("Rapporto"), QStringLiteral("Attività"),
                            QStringLiteral("Dal"),       QStringLiteral("Al"),       QStringLiteral("Aliquota"),
                            QStringLiteral("Imponibile")};
    t.destra = {5, 6};
    Currency imponibile;
    for (const Bookmark &r : RighePersona()) {
        cdsDettagli.gotoBookmark(r);
        t.righe << QStringList{Testo(CampoPeriodo),
                               Testo(QStringLiteral("TipoRapporto")),
                               Testo(QStringLiteral("CodiceAttivita")),
                               Testo(QStringLiteral("Dal")),
                               Testo(QStringLiteral("Al")),
                               Testo(QStringLiteral("Aliquota")),
                               Testo(QStringLiteral("Imponibile"))};
        imponibile = imponibile + ZepImportoCampo(cdsDettagli, QStringLiteral("Imponibile"));
    }
    t.totali = QStringList{QStringLiteral("Totale"), QString(), QString(), QString(), QString(), QString(),
                           ZepImporto(imponibile)};
    b.tabelle << t;
    return b;
}
