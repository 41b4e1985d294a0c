#include "zepCReport.h"

#include "Exceptions.h"
#include "Field.h"
#include "TovUCdsUtil.h"
#include "ZepCFplsExEnpals.h"
#include "ZepCParametri.h"
#include "ZepUMainState.h"
#include "ZepUUtil.h"
#include "tovCGiorniDis.h"
#include "tovUDBCds.h"
#include "ZepULayoutNomi.h"

#include <QDate>
#include <QMap>

#include <algorithm>

using platform::Currency;
using platform::DataSet;

namespace {

QString testo(const DataSet &ds, const QString &campo)
{
    return ZepTestoSeCampo(ds, campo);
}

// A figure as the declaration `denuncia` declares it (ZepTestoDichiarato);
// empty without the field.
QString dichiarato(const DataSet &ds, const QString &campo, TZepDenuncia denuncia)
{
    return ds.findField(campo) ? ZepTestoDichiarato(ds, campo, denuncia) : QString();
}

Currency importoDichiarato(const DataSet &ds, const QString &campo, TZepDenuncia denuncia)
{
    return ds.findField(campo) ? ZepImportoDichiarato(ds, campo, denuncia) : Currency();
}

// The cell of a column with a total: the amount as declared, zero without.
QString sommato(const DataSet &ds, const QString &campo, TZepDenuncia denuncia)
{
    return ZepImporto(importoDichiarato(ds, campo, denuncia));
}

// A count the file always declares, a null one as 0 ("Giorni retribuiti"):
// the print shows the file's "0", not an empty cell.
QString dichiaratoIntero(const DataSet &ds, const QString &campo)
{
    const platform::Field *f = ds.findField(campo);
    return f ? QString::number(f->isNull() ? 0 : f->asInteger()) : QString();
}

// The UniEmens file declares the theoretical pay in whole euros, as the
// field's integer: the print shows that figure.
QString euroDichiarati(const DataSet &ds, const QString &campo)
{
    const platform::Field *f = ds.findField(campo);
    return f && !f->isNull() ? ZepImporto(Currency::fromInt(f->asInteger())) : QString();
}

QString aliquota(const DataSet &ds, const QString &campo)
{
    return ZepAliquotaSeCampo(ds, campo);
}

// An amount the table keeps in whole euros (the company declaration's
// totals); zero for null.
Currency euroInteri(const DataSet &ds, const QString &campo)
{
    const platform::Field *f = ds.findField(campo);
    return f && !f->isNull() ? Currency::fromInt(f->asLargeInt()) : Currency();
}

// "COGNOME NOME".
QString nominativo(const DataSet &ds)
{
    return (testo(ds, layouts::TEMD_DIPENDENTI::Cognome) + QLatin1Char(' ') + testo(ds, layouts::TEMD_DIPENDENTI::Nome))
        .trimmed();
}

// A code and its day ("1 (giorno 12)"), or the code alone.
QString conGiorno(const DataSet &ds, const QString &tipo, const QString &giorno)
{
    const QString t = testo(ds, tipo), g = testo(ds, giorno);
    return g.isEmpty() ? t : t + QStringLiteral(" (giorno ") + g + QLatin1Char(')');
}

// The figures of an employee row of the UniEmens declaration.
TZepStampaTabella ImportiUniEmens(const DataSet &ds)
{
    TZepStampaTabella t;
    t.colonne = QStringList{QStringLiteral("Imponibile"),         QStringLiteral("Contributo"),
                            QStringLiteral("Giorni retribuiti"),  QStringLiteral("Settimane utili"),
                            QStringLiteral("Giorni contribuiti"), QStringLiteral("Ore contribuite")};
    t.destra = {0, 1, 2, 3, 4, 5};
    t.righe << QStringList{testo(ds, layouts::TEMD_DIPENDENTI::Imponibile),
                           testo(ds, layouts::TEMD_DIPENDENTI::Contributo),
                           dichiaratoIntero(ds, layouts::TEMD_DIPENDENTI::GiorniRetribuiti),
                           testo(ds, layouts::TEMD_DIPENDENTI::SettimaneUtili),
                           testo(ds, layouts::TEMD_DIPENDENTI::GiorniContribuiti),
                           testo(ds, layouts::TEMD_DIPENDENTI::OreContribuite)};
    return t;
}

// The figures of an employee row of the E-Mens declaration `denuncia`, as
// its file declares them: the taxable pay, the days and weeks, and, when the
// file declares them, the pay variations of earlier months (the window's
// group " Variabili retributive").
QList<TZepStampaTabella> ImportiEMens(const DataSet &ds, TZepDenuncia denuncia)
{
    const auto importo = [&](const QString &campo) { return dichiarato(ds, campo, denuncia); };
    TZepStampaTabella t;
    t.colonne = QStringList{QStringLiteral("Imponibile"), QStringLiteral("Giorni retribuiti"),
                            QStringLiteral("Settimane utili")};
    t.destra = {0, 1, 2};
    t.righe << QStringList{importo(layouts::TEMD_DIPENDENTI::Imponibile),
                           dichiaratoIntero(ds, layouts::TEMD_DIPENDENTI::GiorniRetribuiti),
                           testo(ds, layouts::TEMD_DIPENDENTI::SettimaneUtili)};
    TZepStampaTabella v;
    v.titolo = QStringLiteral("Variabili retributive");
    v.colonne = QStringList{QStringLiteral("Anno"), QStringLiteral("Dal mese"), QStringLiteral("Al mese"),
                            QStringLiteral("Aumento imponibile"), QStringLiteral("Diminuzione imponibile")};
    v.destra = {3, 4};
    const Currency zero;
    if (importoDichiarato(ds, layouts::TEMD_DIPENDENTI::AumentoImponibile, denuncia) <= zero
        && importoDichiarato(ds, layouts::TEMD_DIPENDENTI::DiminuzioneImponibile, denuncia) <= zero)
        return {t};
    v.righe << QStringList{testo(ds, layouts::TEMD_DIPENDENTI::Anno), testo(ds, layouts::TEMD_DIPENDENTI::MeseDal),
                           testo(ds, layouts::TEMD_DIPENDENTI::MeseAl),
                           importo(layouts::TEMD_DIPENDENTI::AumentoImponibile),
                           importo(layouts::TEMD_DIPENDENTI::DiminuzioneImponibile)};
    return {t, v};
}
} // namespace

const QString TZepReport::TitoloStampa = QStringLiteral("Denuncia UniEmens");
const QString TZepReport::TitoloStampaEMens = QStringLiteral("Denuncia E-Mens");

QString TZepReport::DescrMese(const QString &seammese)
{
    const int mese = seammese.trimmed().toInt();
    return mese > 0 && mese <= 12 ? TZepParametri::Mesi().at(mese - 1) : QString();
}

QString TZepReport::GiorniCal(const QString &giorni, int giorniMese)
{
    if (giorni.isEmpty())
        return QString();
    QString out = QStringLiteral("|");
    for (int g = 1; g <= giorniMese; ++g)
        out += QStringLiteral("%1 |").arg(g, 2);
    return out;
}

QString TZepReport::GiorniLav(const QString &giorni, int giorniMese)
{
    if (giorni.isEmpty())
        return QString();
    // The codes the row has, each checked; a day past them reads 'N'.
    TGiorniDis codici(qMin(int(giorni.size()), giorniMese));
    codici.SetGiorni(giorni);
    QString out = QStringLiteral("|");
    for (int g = 1; g <= giorniMese; ++g)
        out += QLatin1Char(' ') + QString(codici.GetGiorno(g)) + QStringLiteral(" |");
    return out;
}

IZepSezioneDenuncia::~IZepSezioneDenuncia() = default;

TZepReport::TZepReport(ITovDBCds &store, TZepDenuncia denuncia, std::unique_ptr<IZepSezioneDenuncia> sezione)
    : m_store(store), m_denuncia(denuncia), m_sezione(std::move(sezione))
{
}

TZepReport::~TZepReport() = default;

TZepStampa TZepReport::StampaDenuncia(IZepMainState &stato)
{
    const TZepProgramma &programma = stato.Programma();
    TZepReport report(stato.Store(), programma.Denuncia,
                      programma.SezioneDenuncia ? programma.SezioneDenuncia() : nullptr);
    try {
        report.Carica(TZepParametri(stato).FilePeriodo());
        TZepStampa stampa = report.Stampa();
        report.Chiudi();
        return stampa;
    } catch (...) {
        report.Chiudi();
        throw;
    }
}

void TZepReport::Carica(const QString &filePeriodo)
{
    m_store.LoadPeriod(cdsDichiarante, TZepParametri::TabellaDichiarante, m_store.Year(), 0);
    DataSet periodo;
    TTovCds::LoadFromFile(periodo, filePeriodo);
    periodo.last();
    SEAMANNOFIN = periodo.isEmpty() ? QString() : testo(periodo, QStringLiteral("SEAMANNOFIN"));
    SEAMMESE = periodo.isEmpty() ? QString() : testo(periodo, QStringLiteral("SEAMMESE"));
    DESCRMESE = DescrMese(SEAMMESE);
    m_store.Load(cdsDipendenti, layouts::TEMD_DIPENDENTI::Tabella);
    cdsDipendenti.setIndexFieldNames(QStringLiteral("Matricola;CFLavoratore"));
    m_store.Load(cdsCollaboratori, layouts::TEMC_COLLABORATORI::Tabella);
    cdsCollaboratori.setIndexFieldNames(layouts::TEMC_COLLABORATORI::CFCollaboratore);
    if (Ridotta())
        return;
    m_store.Load(cdsFplsExEnpals, TZepFplsExEnpals::Tabella);
    cdsFplsExEnpals.setIndexFieldNames(QStringLiteral("Matricola;CFLavoratore"));
    m_store.Load(cdsDenAziendale, layouts::TEMA_DENAZIENDALE::Tabella);
    if (m_sezione)
        m_sezione->Carica(m_store);
}

void TZepReport::Chiudi()
{
    for (DataSet *ds : {&cdsDichiarante, &cdsDipendenti, &cdsFplsExEnpals, &cdsCollaboratori, &cdsDenAziendale})
        ds->close();
    if (m_sezione)
        m_sezione->Chiudi();
}

TZepStampa TZepReport::Stampa()
{
    TZepStampa stampa;
    stampa.titolo = Ridotta() ? TitoloStampaEMens : TitoloStampa;
    if (cdsDichiarante.isActive() && !cdsDichiarante.isEmpty()) {
        cdsDichiarante.first();
        stampa.ufficio = testo(cdsDichiarante, layouts::TAMM_AMMINISTRAZIONE::RagSocAzienda);
        if (stampa.ufficio.isEmpty())
            stampa.ufficio = testo(cdsDichiarante, layouts::TAMM_AMMINISTRAZIONE::RagSocMittente);
    }
    stampa.periodo = (DESCRMESE + QLatin1Char(' ') + SEAMANNOFIN).trimmed();
    SezioneDichiarante(stampa);
    SezioneDipendenti(stampa);
    SezioneCollaboratori(stampa);
    SezioneDenunciaAziendale(stampa);
    if (m_sezione)
        m_sezione->Blocchi(stampa);
    return stampa;
}

void TZepReport::SezioneDichiarante(TZepStampa &stampa)
{
    TZepStampaBlocco b;
    b.titolo = QStringLiteral("Dichiarante");
    DataSet &ds = cdsDichiarante;
    if (ds.isActive() && !ds.isEmpty()) {
        ds.first();
        QList<QPair<QString, QString>> campi{
            {QStringLiteral("Ragione sociale mittente:"), layouts::TAMM_AMMINISTRAZIONE::RagSocMittente},
            {QStringLiteral("C.F. mittente:"), layouts::TAMM_AMMINISTRAZIONE::CFMittente},
            {QStringLiteral("C.F. persona mittente:"), layouts::TAMM_AMMINISTRAZIONE::CFPersonaMittente},
            {QStringLiteral("Sede INPS:"), layouts::TAMM_AMMINISTRAZIONE::SedeINPS},
            {QStringLiteral("Ragione sociale azienda:"), layouts::TAMM_AMMINISTRAZIONE::RagSocAzienda},
            {QStringLiteral("C.F. azienda:"), layouts::TAMM_AMMINISTRAZIONE::CFAzienda},
            {QStringLiteral("Comune:"), layouts::TAMM_AMMINISTRAZIONE::Comune},
            {QStringLiteral("Provincia:"), layouts::TAMM_AMMINISTRAZIONE::Provincia},
            {QStringLiteral("CAP:"), layouts::TAMM_AMMINISTRAZIONE::CAP},
            {QStringLiteral("Codice ISTAT:"), layouts::TAMM_AMMINISTRAZIONE::ISTAT},
        };
        // The town and province are the public administrations' data.
        if (Ridotta())
            campi.removeIf([](const auto &c) {
                return c.second == QLatin1String("Comune") || c.second == QLatin1String("Provincia");
            });
        for (const auto &[etichetta, campo] : campi)
            b.campi << qMakePair(etichetta, testo(ds, campo));
    } else {
        b.campi << qMakePair(QStringLiteral("Dichiarante dell'anno non inserito."), QString());
    }
    stampa.blocchi << b;
}

void TZepReport::SezioneDipendenti(TZepStampa &stampa)
{
    DataSet &ds = cdsDipendenti;
    if (!ds.isActive())
        return;
    // The performing-arts workers are declared under their company number
    // beside its employees: the number's totals and the company
    // declaration count them both.
    DataSet *fpls = cdsFplsExEnpals.isActive() ? &cdsFplsExEnpals : nullptr;
    QStringList matricole;
    for (DataSet *d : {&ds, fpls})
        if (d)
            for (d->first(); !d->eof(); d->next())
                matricole << testo(*d, layouts::TEMD_DIPENDENTI::Matricola);
    matricole.removeDuplicates();
    std::sort(matricole.begin(), matricole.end());

    const int giorniMese = GiorniMeseDenuncia();
    Currency imponibileTotale, contributoTotale;
    int lavoratori = 0;
    // The E-Mens declaration has no contribution.
    const auto totali = [&](TZepStampaBlocco &t, int n, Currency imponibile, Currency contributo) {
        t.campi << qMakePair(QStringLiteral("Lavoratori:"), QString::number(n))
                << qMakePair(QStringLiteral("Imponibile:"), ZepImporto(imponibile));
        if (!Ridotta())
            t.campi << qMakePair(QStringLiteral("Contributo:"), ZepImporto(contributo));
    };
    // The person's heading fields, the same in both tables.
    const auto testa = [&](const DataSet &d) {
        // The UniEmens file declares an empty type as "00".
        QString tipoContribuzione = testo(d, layouts::TEMD_DIPENDENTI::TipoContribuzione);
        if (!Ridotta() && tipoContribuzione.isEmpty())
            tipoContribuzione = QStringLiteral("00");
        TZepStampaBlocco b;
        b.titolo = nominativo(d) + QStringLiteral(" - ") + testo(d, layouts::TEMD_DIPENDENTI::CFLavoratore);
        b.campi << qMakePair(QStringLiteral("Qualifica:"), testo(d, layouts::TEMD_DIPENDENTI::Qualifica1)
                                                               + testo(d, layouts::TEMD_DIPENDENTI::Qualifica2)
                                                               + testo(d, layouts::TEMD_DIPENDENTI::Qualifica3))
                << qMakePair(QStringLiteral("Tipo contribuzione:"), tipoContribuzione)
                << qMakePair(QStringLiteral("Comune:"), testo(d, layouts::TEMD_DIPENDENTI::CodiceComune))
                << qMakePair(QStringLiteral("Contratto:"), testo(d, layouts::TEMD_DIPENDENTI::CodiceContratto))
                << qMakePair(QStringLiteral("Assunzione:"), conGiorno(d, layouts::TEMD_DIPENDENTI::TipoAssunzione,
                                                                      layouts::TEMD_DIPENDENTI::GiornoAssunzione))
                << qMakePair(QStringLiteral("Cessazione:"), conGiorno(d, layouts::TEMD_DIPENDENTI::TipoCessazione,
                                                                      layouts::TEMD_DIPENDENTI::GiornoCessazione));
        return b;
    };
    for (const QString &matricola : matricole) {
        int n = 0;
        Currency imponibile, contributo;
        // The totals of the figures the declaration declares.
        const auto somma = [&](const DataSet &d) {
            const Currency imponibileRiga = ZepImportoDichiarato(d, layouts::TEMD_DIPENDENTI::Imponibile, m_denuncia);
            const Currency contributoRiga = d.findField(layouts::TEMD_DIPENDENTI::Contributo)
                                                ? ZepImportoCampo(d, layouts::TEMD_DIPENDENTI::Contributo)
                                                : Currency();
            imponibile = imponibile + imponibileRiga;
            contributo = contributo + contributoRiga;
            imponibileTotale = imponibileTotale + imponibileRiga;
            contributoTotale = contributoTotale + contributoRiga;
            ++n;
            ++lavoratori;
        };
        TZepStampaBlocco intestazione;
        intestazione.titolo = QStringLiteral("Dipendenti - matricola INPS ") + matricola;
        intestazione.nuovaPagina = true;
        stampa.blocchi << intestazione;
        for (ds.first(); !ds.eof(); ds.next()) {
            if (testo(ds, layouts::TEMD_DIPENDENTI::Matricola) != matricola)
                continue;
            TZepStampaBlocco b = testa(ds);
            // The local-file form's file declares neither.
            if (m_denuncia != TZepDenuncia::EMensLocale)
                b.campi << qMakePair(QStringLiteral("Part time:"), aliquota(ds, layouts::TEMD_DIPENDENTI::PercPartTime))
                        << qMakePair(QStringLiteral("Retribuzione teorica:"),
                                     Ridotta() ? dichiarato(ds, layouts::TEMD_DIPENDENTI::RetribTeorica, m_denuncia)
                                               : euroDichiarati(ds, layouts::TEMD_DIPENDENTI::RetribTeorica));
            if (Ridotta())
                b.tabelle << ImportiEMens(ds, m_denuncia);
            else
                b.tabelle << ImportiUniEmens(ds);
            const QString giorni = !Ridotta() && ds.findField(layouts::TEMD_DIPENDENTI::GIORNI)
                                       ? ds.fieldByName(layouts::TEMD_DIPENDENTI::GIORNI).asString()
                                       : QString();
            const QString cal = GiorniCal(giorni, giorniMese);
            if (!cal.isEmpty())
                b.righeFisse << cal << GiorniLav(giorni, giorniMese);
            stampa.blocchi << b;
            somma(ds);
        }
        if (fpls) {
            bool primo = true;
            for (fpls->first(); !fpls->eof(); fpls->next()) {
                if (testo(*fpls, layouts::TEFE_FPLSEXENPALS::Matricola) != matricola)
                    continue;
                if (primo) {
                    TZepStampaBlocco titolo;
                    titolo.titolo = QStringLiteral("Iscritti FPLS - matricola INPS ") + matricola;
                    stampa.blocchi << titolo;
                    primo = false;
                }
                TZepStampaBlocco b = testa(*fpls);
                b.campi << qMakePair(QStringLiteral("Tipo lavoratore:"),
                                     testo(*fpls, layouts::TEFE_FPLSEXENPALS::TipoLavoratore))
                        << qMakePair(QStringLiteral("Retribuzione teorica:"),
                                     euroDichiarati(*fpls, layouts::TEFE_FPLSEXENPALS::RetribTeorica));
                TZepStampaTabella t;
                t.colonne = QStringList{QStringLiteral("Imponibile"), QStringLiteral("Contributo"),
                                        QStringLiteral("Giorni retribuiti"), QStringLiteral("Giorni contribuiti")};
                t.destra = {0, 1, 2, 3};
                t.righe << QStringList{testo(*fpls, layouts::TEFE_FPLSEXENPALS::Imponibile),
                                       testo(*fpls, layouts::TEFE_FPLSEXENPALS::Contributo),
                                       dichiaratoIntero(*fpls, layouts::TEFE_FPLSEXENPALS::GiorniRetribuiti),
                                       dichiaratoIntero(*fpls, layouts::TEFE_FPLSEXENPALS::GiorniContribuiti)};
                b.tabelle << t;
                stampa.blocchi << b;
                somma(*fpls);
            }
        }
        TZepStampaBlocco t;
        t.titolo = QStringLiteral("Totali matricola ") + matricola;
        totali(t, n, imponibile, contributo);
        stampa.blocchi << t;
    }
    TZepStampaBlocco totale;
    totale.titolo = QStringLiteral("Totale dipendenti");
    totali(totale, lavoratori, imponibileTotale, contributoTotale);
    stampa.blocchi << totale;
}

TZepStampaTabella TZepReport::TabellaCollaboratori()
{
    TZepStampaTabella t;
    t.colonne = QStringList{QStringLiteral("Codice fiscale"),
                            QStringLiteral("Cognome e nome"),
                            QStringLiteral("Rapporto"),
                            QStringLiteral("Attività"),
                            QStringLiteral("Dal"),
                            QStringLiteral("Al"),
                            QStringLiteral("Aliquota"),
                            QStringLiteral("Imponibile"),
                            QStringLiteral("Agevolazione"),
                            QStringLiteral("Tipo agev.")};
    t.destra = {6, 7, 8};
    // Ten columns: a name on one line.
    t.punti = 7;
    return t;
}

void TZepReport::SezioneCollaboratori(TZepStampa &stampa)
{
    DataSet &ds = cdsCollaboratori;
    if (!ds.isActive())
        return;
    TZepStampaBlocco b;
    b.titolo = QStringLiteral("Collaboratori");
    b.nuovaPagina = true;
    TZepStampaTabella t = TabellaCollaboratori();
    Currency totale, agevolazioni;
    for (ds.first(); !ds.eof(); ds.next()) {
        t.righe << QStringList{testo(ds, layouts::TEMC_COLLABORATORI::CFCollaboratore),
                               nominativo(ds),
                               testo(ds, layouts::TEMC_COLLABORATORI::TipoRapporto),
                               testo(ds, layouts::TEMC_COLLABORATORI::CodiceAttivita),
                               testo(ds, layouts::TEMC_COLLABORATORI::Dal),
                               testo(ds, layouts::TEMC_COLLABORATORI::Al),
                               aliquota(ds, layouts::TEMC_COLLABORATORI::Aliquota),
                               sommato(ds, layouts::TEMC_COLLABORATORI::Imponibile, m_denuncia),
                               sommato(ds, layouts::TEMC_COLLABORATORI::ImpAgevolazione, m_denuncia),
                               testo(ds, layouts::TEMC_COLLABORATORI::TipoAgevolazione)};
        totale = totale + importoDichiarato(ds, layouts::TEMC_COLLABORATORI::Imponibile, m_denuncia);
        agevolazioni = agevolazioni + importoDichiarato(ds, layouts::TEMC_COLLABORATORI::ImpAgevolazione, m_denuncia);
    }
    t.totali = QStringList{QStringLiteral("Totale"),
                           QStringLiteral("%1 collaboratori").arg(t.righe.size()),
                           QString(),
                           QString(),
                           QString(),
                           QString(),
                           QString(),
                           ZepImporto(totale),
                           ZepImporto(agevolazioni),
                           QString()};
    if (!t.righe.isEmpty())
        b.tabelle << t;
    stampa.blocchi << b;
}

void TZepReport::SezioneDenunciaAziendale(TZepStampa &stampa)
{
    DataSet &ds = cdsDenAziendale;
    if (!ds.isActive())
        return;
    TZepStampaBlocco b;
    b.titolo = QStringLiteral("Denuncia aziendale");
    TZepStampaTabella t;
    t.colonne = QStringList{QStringLiteral("Matricola"),       QStringLiteral("Lavoratori"),
                            QStringLiteral("Denunce ind."),    QStringLiteral("Forza aziendale"),
                            QStringLiteral("Totale a debito"), QStringLiteral("Totale a credito"),
                            QStringLiteral("Somma a credito")};
    t.destra = {1, 2, 3, 4, 5, 6};
    Currency debito, credito, somma;
    for (ds.first(); !ds.eof(); ds.next()) {
        const Currency d = euroInteri(ds, layouts::TEMA_DENAZIENDALE::TotaleADebito);
        const Currency c = euroInteri(ds, layouts::TEMA_DENAZIENDALE::TotaleACredito);
        const Currency s = ZepImportoCampo(ds, layouts::TEMA_DENAZIENDALE::SommaACredito);
        t.righe << QStringList{testo(ds, layouts::TEMA_DENAZIENDALE::Matricola),
                               testo(ds, layouts::TEMA_DENAZIENDALE::NumLavoratori),
                               testo(ds, layouts::TEMA_DENAZIENDALE::NumDenIndiv),
                               testo(ds, layouts::TEMA_DENAZIENDALE::ForzaAziendale),
                               ZepImporto(d),
                               ZepImporto(c),
                               ZepImporto(s)};
        debito = debito + d;
        credito = credito + c;
        somma = somma + s;
    }
    if (t.righe.isEmpty()) {
        b.campi << qMakePair(QStringLiteral("Nessuna denuncia aziendale per il mese."), QString());
    } else {
        t.totali = QStringList{QStringLiteral("Totale"), QString(),           QString(),        QString(),
                               ZepImporto(debito),       ZepImporto(credito), ZepImporto(somma)};
        b.tabelle << t;
    }
    stampa.blocchi << b;
}
