#include "zepCReport.h"

#include "Exceptions.h"
#include "Field.h"
#include "TovUCdsUtil.h"
#include "ZepCParametri.h"
#include "ZepUMainState.h"
#include "ZepUUtil.h"
#include "tovCGiorniDis.h"
#include "tovUDBCds.h"

#include <QDate>
#include <QMap>

using platform::Currency;
using platform::DataSet;

namespace {
const QString TabellaDipendenti = QStringLiteral("TEMD_DIPENDENTI");
const QString TabellaCollaboratori = QStringLiteral("TEMC_COLLABORATORI");
const QString TabellaDenAziendale = QStringLiteral("TEMA_DENAZIENDALE");
const QString TabellaIscritti = QStringLiteral("TD0_ANAG");
const QString TabellaE0 = QStringLiteral("TE0_RETR");
const QString TabellaEvE0 = QStringLiteral("TEV_ENTEVERSANTEE0");
const QString TabellaV1 = QStringLiteral("TV1_RETR");
const QString TabellaEvV1 = QStringLiteral("TEV_ENTEVERSANTEV1");
const QString TabellaE1 = QStringLiteral("TE1_FONDIPENSIONE");
const QString CampoIscritto = QStringLiteral("IAFIID");
const QString CampoOrdine = QStringLiteral("ORDINE");

QString testo(const DataSet &ds, const QString &campo)
{
    return ds.findField(campo) ? ZepTestoCampo(ds, campo) : QString();
}

// "COGNOME NOME".
QString nominativo(const DataSet &ds)
{
    return (testo(ds, QStringLiteral("Cognome")) + QLatin1Char(' ') + testo(ds, QStringLiteral("Nome"))).trimmed();
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
    t.righe << QStringList{testo(ds, QStringLiteral("Imponibile")),        testo(ds, QStringLiteral("Contributo")),
                           testo(ds, QStringLiteral("GiorniRetribuiti")),  testo(ds, QStringLiteral("SettimaneUtili")),
                           testo(ds, QStringLiteral("GiorniContribuiti")), testo(ds, QStringLiteral("OreContribuite"))};
    return t;
}

// The figures of an employee row of the E-Mens declaration: the taxable
// pay, the days and weeks, and, when the row has them, the pay variations
// of earlier months (the window's group " Variabili retributive").
QList<TZepStampaTabella> ImportiEMens(const DataSet &ds)
{
    TZepStampaTabella t;
    t.colonne = QStringList{QStringLiteral("Imponibile"), QStringLiteral("Giorni retribuiti"),
                            QStringLiteral("Settimane utili")};
    t.destra = {0, 1, 2};
    t.righe << QStringList{testo(ds, QStringLiteral("Imponibile")), testo(ds, QStringLiteral("GiorniRetribuiti")),
                           testo(ds, QStringLiteral("SettimaneUtili"))};
    TZepStampaTabella v;
    v.titolo = QStringLiteral("Variabili retributive");
    v.colonne = QStringList{QStringLiteral("Anno"), QStringLiteral("Dal mese"), QStringLiteral("Al mese"),
                            QStringLiteral("Aumento imponibile"), QStringLiteral("Diminuzione imponibile")};
    v.destra = {3, 4};
    const QStringList variabili{testo(ds, QStringLiteral("Anno")), testo(ds, QStringLiteral("MeseDal")),
                                testo(ds, QStringLiteral("MeseAl")), testo(ds, QStringLiteral("AumentoImponibile")),
                                testo(ds, QStringLiteral("DiminuzioneImponibile"))};
    if (variabili.join(QString()).isEmpty())
        return {t};
    v.righe << variabili;
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

TZepReport::TZepReport(ITovDBCds &store, TZepDenuncia denuncia) : m_store(store), m_denuncia(denuncia) {}

TZepStampa TZepReport::StampaDenuncia(IZepMainState &stato)
{
    TZepReport report(stato.Store(), stato.Programma().Denuncia);
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
    m_store.Load(cdsDipendenti, TabellaDipendenti);
    cdsDipendenti.setIndexFieldNames(QStringLiteral("Matricola;CFLavoratore"));
    m_store.Load(cdsCollaboratori, TabellaCollaboratori);
    cdsCollaboratori.setIndexFieldNames(QStringLiteral("CFCollaboratore"));
    if (Ridotta())
        return;
    m_store.Load(cdsDenAziendale, TabellaDenAziendale);
    m_store.Load(cdsIscritti, TabellaIscritti);
    cdsIscritti.setIndexFieldNames(QStringLiteral("AN_D0001002_COGNOME;AN_D0001003_NOME"));
    m_store.Load(cdsE0, TabellaE0);
    cdsE0.setIndexFieldNames(QStringLiteral("DT_E0XXX001_DINIZIO"));
    m_store.Load(cdsEvE0, TabellaEvE0);
    m_store.Load(cdsV1, TabellaV1);
    cdsV1.setIndexFieldNames(QStringLiteral("DT_V1XXX001_DINIZIO"));
    m_store.Load(cdsEvV1, TabellaEvV1);
    m_store.Load(cdsE1, TabellaE1);
}

void TZepReport::Chiudi()
{
    for (DataSet *ds : {&cdsDichiarante, &cdsDipendenti, &cdsCollaboratori, &cdsDenAziendale, &cdsIscritti, &cdsE0,
                        &cdsEvE0, &cdsV1, &cdsEvV1, &cdsE1})
        ds->close();
}

TZepStampa TZepReport::Stampa()
{
    TZepStampa stampa;
    stampa.titolo = Ridotta() ? TitoloStampaEMens : TitoloStampa;
    if (cdsDichiarante.isActive() && !cdsDichiarante.isEmpty()) {
        cdsDichiarante.first();
        stampa.ufficio = testo(cdsDichiarante, QStringLiteral("RagSocAzienda"));
        if (stampa.ufficio.isEmpty())
            stampa.ufficio = testo(cdsDichiarante, QStringLiteral("RagSocMittente"));
    }
    stampa.periodo = (DESCRMESE + QLatin1Char(' ') + SEAMANNOFIN).trimmed();
    SezioneDichiarante(stampa);
    SezioneDipendenti(stampa);
    SezioneCollaboratori(stampa);
    SezioneDenunciaAziendale(stampa);
    SezionePubblico(stampa);
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
            {QStringLiteral("Ragione sociale mittente:"), QStringLiteral("RagSocMittente")},
            {QStringLiteral("C.F. mittente:"), QStringLiteral("CFMittente")},
            {QStringLiteral("C.F. persona mittente:"), QStringLiteral("CFPersonaMittente")},
            {QStringLiteral("Sede INPS:"), QStringLiteral("SedeINPS")},
            {QStringLiteral("Ragione sociale azienda:"), QStringLiteral("RagSocAzienda")},
            {QStringLiteral("C.F. azienda:"), QStringLiteral("CFAzienda")},
            {QStringLiteral("Comune:"), QStringLiteral("Comune")},
            {QStringLiteral("Provincia:"), QStringLiteral("Provincia")},
            {QStringLiteral("CAP:"), QStringLiteral("CAP")},
            {QStringLiteral("Codice ISTAT:"), QStringLiteral("ISTAT")},
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
    auto chiudiMatricola = [&](const QString &matricola, int n, Currency imponibile, Currency contributo) {
        TZepStampaBlocco t;
        t.titolo = QStringLiteral("Totali matricola ") + matricola;
        totali(t, n, imponibile, contributo);
        stampa.blocchi << t;
    };
    QString matricola;
    bool prima = true;
    int n = 0;
    Currency imponibile, contributo;
    for (ds.first(); !ds.eof(); ds.next()) {
        const QString m = testo(ds, QStringLiteral("Matricola"));
        if (prima || m != matricola) {
            if (!prima)
                chiudiMatricola(matricola, n, imponibile, contributo);
            prima = false;
            matricola = m;
            n = 0;
            imponibile = contributo = Currency();
            TZepStampaBlocco testa;
            testa.titolo = QStringLiteral("Dipendenti - matricola INPS ") + matricola;
            testa.nuovaPagina = true;
            stampa.blocchi << testa;
        }
        TZepStampaBlocco b;
        b.titolo = nominativo(ds) + QStringLiteral(" - ") + testo(ds, QStringLiteral("CFLavoratore"));
        b.campi << qMakePair(QStringLiteral("Qualifica:"), testo(ds, QStringLiteral("Qualifica1"))
                                                               + testo(ds, QStringLiteral("Qualifica2"))
                                                               + testo(ds, QStringLiteral("Qualifica3")))
                << qMakePair(QStringLiteral("Tipo contribuzione:"), testo(ds, QStringLiteral("TipoContribuzione")))
                << qMakePair(QStringLiteral("Comune:"), testo(ds, QStringLiteral("CodiceComune")))
                << qMakePair(QStringLiteral("Contratto:"), testo(ds, QStringLiteral("CodiceContratto")))
                << qMakePair(QStringLiteral("Assunzione:"),
                             conGiorno(ds, QStringLiteral("TipoAssunzione"), QStringLiteral("GiornoAssunzione")))
                << qMakePair(QStringLiteral("Cessazione:"),
                             conGiorno(ds, QStringLiteral("TipoCessazione"), QStringLiteral("GiornoCessazione")))
                << qMakePair(QStringLiteral("Part time %:"), testo(ds, QStringLiteral("PercPartTime")))
                << qMakePair(QStringLiteral("Retribuzione teorica:"), testo(ds, QStringLiteral("RetribTeorica")));
        if (Ridotta())
            b.tabelle << ImportiEMens(ds);
        else
            b.tabelle << ImportiUniEmens(ds);
        const QString giorni = !Ridotta() && ds.findField(QStringLiteral("GIORNI"))
                                   ? ds.fieldByName(QStringLiteral("GIORNI")).asString()
                                   : QString();
        const QString cal = GiorniCal(giorni, giorniMese);
        if (!cal.isEmpty())
            b.righeFisse << cal << GiorniLav(giorni, giorniMese);
        stampa.blocchi << b;
        ++n;
        ++lavoratori;
        imponibile = imponibile + ZepImportoCampo(ds, QStringLiteral("Imponibile"));
        contributo = contributo + ZepImportoCampo(ds, QStringLiteral("Contributo"));
        imponibileTotale = imponibileTotale + ZepImportoCampo(ds, QStringLiteral("Imponibile"));
        contributoTotale = contributoTotale + ZepImportoCampo(ds, QStringLiteral("Contributo"));
    }
    if (!prima)
        chiudiMatricola(matricola, n, imponibile, contributo);
    TZepStampaBlocco totale;
    totale.titolo = QStringLiteral("Totale dipendenti");
    totali(totale, lavoratori, imponibileTotale, contributoTotale);
    stampa.blocchi << totale;
}

void TZepReport::SezioneCollaboratori(TZepStampa &stampa)
{
    DataSet &ds = cdsCollaboratori;
    if (!ds.isActive())
        return;
    TZepStampaBlocco b;
    b.titolo = QStringLiteral("Collaboratori");
    b.nuovaPagina = true;
    TZepStampaTabella t;
    t.colonne = QStringList{QStringLiteral("Codice fiscale"),
                            QStringLiteral("Cognome e nome"),
                            QStringLiteral("Rapporto"),
                            QStringLiteral("Attività"),
                            QStringLiteral("Dal"),
                            QStringLiteral("Al"),
                            QStringLiteral("Aliquota"),
                            QStringLiteral("Imponibile")};
    t.destra = {6, 7};
    Currency totale;
    for (ds.first(); !ds.eof(); ds.next()) {
        t.righe << QStringList{testo(ds, QStringLiteral("CFCollaboratore")),
                               nominativo(ds),
                               testo(ds, QStringLiteral("TipoRapporto")),
                               testo(ds, QStringLiteral("CodiceAttivita")),
                               testo(ds, QStringLiteral("Dal")),
                               testo(ds, QStringLiteral("Al")),
                               testo(ds, QStringLiteral("Aliquota")),
                               testo(ds, QStringLiteral("Imponibile"))};
        totale = totale + ZepImportoCampo(ds, QStringLiteral("Imponibile"));
    }
    t.totali = QStringList{QStringLiteral("Totale"),
                           QStringLiteral("%1 collaboratori").arg(t.righe.size()),
                           QString(),
                           QString(),
                           QString(),
                           QString(),
                           QString(),
                           ZepImporto(totale)};
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
    qint64 debito = 0, credito = 0;
    Currency somma;
    for (ds.first(); !ds.eof(); ds.next()) {
        t.righe << QStringList{testo(ds, QStringLiteral("Matricola")),     testo(ds, QStringLiteral("NumLavoratori")),
                               testo(ds, QStringLiteral("NumDenIndiv")),   testo(ds, QStringLiteral("ForzaAziendale")),
                               testo(ds, QStringLiteral("TotaleADebito")), testo(ds, QStringLiteral("TotaleACredito")),
                               testo(ds, QStringLiteral("SommaACredito"))};
        debito += ds.fieldByName(QStringLiteral("TotaleADebito")).asLargeInt();
        credito += ds.fieldByName(QStringLiteral("TotaleACredito")).asLargeInt();
        somma = somma + ZepImportoCampo(ds, QStringLiteral("SommaACredito"));
    }
    if (t.righe.isEmpty()) {
        b.campi << qMakePair(QStringLiteral("Nessuna denuncia aziendale per il mese."), QString());
    } else {
        t.totali =
            QStringList{QStringLiteral("Totale"), QString(),        QString(), QString(), QString::number(debito),
                        QString::number(credito), ZepImporto(somma)};
        b.tabelle << t;
    }
    stampa.blocchi << b;
}

namespace {

// The rows of `ds` whose fields `campi` hold `valori`, in the dataset's
// order, each standing as current while `riga` runs. A null value never
// matches.
template <typename F>
void PerRighe(DataSet &ds, const QStringList &campi, const QList<int> &valori, F riga)
{
    if (!ds.isActive())
        return;
    QList<const platform::Field *> f;
    for (const QString &c : campi) {
        f << ds.findField(c);
        if (!f.last())
            return;
    }
    for (ds.first(); !ds.eof(); ds.next()) {
        bool uguale = true;
        for (int i = 0; i < f.size() && uguale; ++i)
            uguale = !f[i]->isNull() && f[i]->asInteger() == valori[i];
        if (uguale)
            riga();
    }
}

// The columns of a service (E0) or correction (V1) period.
QStringList colonnePeriodo()
{
    return {QStringLiteral("Dal"),           QStringLiteral("Al"),
            QStringLiteral("Gest. pens."),   QStringLiteral("Imponibile"),
            QStringLiteral("Contributo"),    QStringLiteral("Gest. prev."),
            QStringLiteral("Imp. TFS/TFR"),  QStringLiteral("Contr. TFS/TFR"),
            QStringLiteral("Gest. credito"), QStringLiteral("Contr. credito")};
}

// The current row of the section `q` ("E0", "V1"; V1 amounts carry "VN_"
// where E0 ones carry "VP_") in those columns.
QStringList rigaPeriodo(const DataSet &ds, const QString &q)
{
    const QString importo = q == QStringLiteral("V1") ? QStringLiteral("VN_") : QStringLiteral("VP_");
    const auto c = [&](const QString &prefisso, const char *resto) {
        return testo(ds, prefisso + q + QString::fromLatin1(resto));
    };
    // The end-of-service amounts are those of TFR when it has any, else TFS.
    const bool tfr = !ZepImportoCampo(ds, importo + q + QStringLiteral("XXXA37_IMPTFR")).isZero();
    return {c(QStringLiteral("DT_"), "XXX001_DINIZIO"),
            c(QStringLiteral("DT_"), "XXX002_DFINE"),
            c(QStringLiteral("NP_"), "XXX003_PENS"),
            c(importo, "XXX032_IMPPENS"),
            c(importo, "XXX033_CONPENS"),
            c(QStringLiteral("NP_"), "XXX004_PREV"),
            tfr ? c(importo, "XXXA37_IMPTFR") : c(importo, "XXX035_IMPTFS"),
            tfr ? c(importo, "XXXA38_CONTFR") : c(importo, "XXX036_CONTFS"),
            c(QStringLiteral("NP_"), "XXX005_CREDITO"),
            c(importo, "XXX040_CONCREDITO")};
}

} // namespace

void TZepReport::SezionePubblico(TZepStampa &stampa)
{
    DataSet &d0 = cdsIscritti;
    if (!d0.isActive() || d0.isEmpty())
        return;
    TZepStampaBlocco testa;
    testa.titolo = QStringLiteral("Iscritti ex DMA (INPDAP)");
    testa.nuovaPagina = true;
    stampa.blocchi << testa;

    const QStringList colonneEnte{QStringLiteral("Periodo dal"), QStringLiteral("Tipo contributo"),
                                  QStringLiteral("C.F. ente"),   QStringLiteral("Progressivo"),
                                  QStringLiteral("Imponibile"),  QStringLiteral("Contributo")};
    for (d0.first(); !d0.eof(); d0.next()) {
        TZepStampaBlocco b;
        b.titolo = (testo(d0, QStringLiteral("AN_D0001002_COGNOME")) + QLatin1Char(' ')
                    + testo(d0, QStringLiteral("AN_D0001003_NOME")))
                       .trimmed()
                   + QStringLiteral(" - ") + testo(d0, QStringLiteral("CF_D0001001_CODFIS"));
        b.campi << qMakePair(QStringLiteral("Data di nascita:"), testo(d0, QStringLiteral("DT_D0001005_DATANAS")))
                << qMakePair(QStringLiteral("Sesso:"), testo(d0, QStringLiteral("AN_D0001004_SEX")))
                << qMakePair(QStringLiteral("Regime fine servizio:"), testo(d0, QStringLiteral("NP_D0001015_FINESER")))
                << qMakePair(QStringLiteral("Data opzione TFR:"), testo(d0, QStringLiteral("DT_D0001017_OPZTFR")));
        const platform::Field *id = d0.findField(CampoIscritto);
        // Without a registry id the person owns no section row.
        const int iscritto = id && !id->isNull() ? id->asInteger() : 0;
        if (iscritto != 0) {
            const auto periodi = [&](DataSet &quadro, DataSet &enti, const QString &q, bool v1) {
                TZepStampaTabella t, te;
                t.titolo = QStringLiteral("Quadro ") + q;
                t.colonne = colonnePeriodo();
                if (v1)
                    t.colonne.prepend(QStringLiteral("Causale"));
                t.destra = v1 ? QList<int>{4, 5, 7, 8, 10} : QList<int>{3, 4, 6, 7, 9};
                te.titolo = QStringLiteral("Quadro ") + q + QStringLiteral(" - enti versanti");
                te.colonne = colonneEnte;
                if (v1)
                    te.colonne << QStringLiteral("Anno mese erogazione") << QStringLiteral("Aliquota");
                te.destra = {4, 5};
                PerRighe(quadro, {CampoIscritto}, {iscritto}, [&] {
                    QStringList r = rigaPeriodo(quadro, q);
                    const QString dal = r.first();
                    if (v1)
                        r.prepend(testo(quadro, QStringLiteral("NP_V1XXX000_CAUSVAR")));
                    t.righe << r;
                    const platform::Field *ordine = quadro.findField(CampoOrdine);
                    if (!ordine || ordine->isNull())
                        return;
                    PerRighe(enti, {CampoIscritto, CampoOrdine}, {iscritto, ordine->asInteger()}, [&] {
                        QStringList e{dal,
                                      testo(enti, QStringLiteral("TipoContributo")),
                                      testo(enti, QStringLiteral("CFAzienda")),
                                      testo(enti, QStringLiteral("PRGAZIENDA")),
                                      testo(enti, QStringLiteral("Imponibile")),
                                      testo(enti, QStringLiteral("Contributo"))};
                        if (v1)
                            e << testo(enti, QStringLiteral("AnnoMeseErogazione"))
                              << testo(enti, QStringLiteral("Aliquota"));
                        te.righe << e;
                    });
                });
                if (!t.righe.isEmpty())
                    b.tabelle << t;
                if (!te.righe.isEmpty())
                    b.tabelle << te;
            };
            periodi(cdsE0, cdsEvE0, QStringLiteral("E0"), false);
            periodi(cdsV1, cdsEvV1, QStringLiteral("V1"), true);

            TZepStampaTabella e1;
            e1.titolo = QStringLiteral("Quadro E1");
            e1.colonne = QStringList{QStringLiteral("Fondo"),
                                     QStringLiteral("Dal"),
                                     QStringLiteral("Al"),
                                     QStringLiteral("Aliquota lav."),
                                     QStringLiteral("Aliquota datore"),
                                     QStringLiteral("Contributo lav."),
                                     QStringLiteral("Contributo datore")};
            e1.destra = {3, 4, 5, 6};
            PerRighe(cdsE1, {CampoIscritto}, {iscritto}, [&] {
                e1.righe << QStringList{testo(cdsE1, QStringLiteral("NP_E1XXX001_COD_FONDO")),
                                        testo(cdsE1, QStringLiteral("DT_E1XXX004_DINIZIO")),
                                        testo(cdsE1, QStringLiteral("DT_E1XXX005_DFINE")),
                                        testo(cdsE1, QStringLiteral("PC_E1XXX006_PERC_LAVORATORE")),
                                        testo(cdsE1, QStringLiteral("PC_E1XXX007_PERC_CARICO_DATORE")),
                                        testo(cdsE1, QStringLiteral("VP_E1XXX014_CONT_LAVORATORE")),
                                        testo(cdsE1, QStringLiteral("VP_E1XXX015_CONT_DATORE"))};
            });
            if (!e1.righe.isEmpty())
                b.tabelle << e1;
        }
        if (b.tabelle.isEmpty())
            b.campi << qMakePair(QStringLiteral("Quadri del mese:"), QStringLiteral("nessuno"));
        stampa.blocchi << b;
    }
}
