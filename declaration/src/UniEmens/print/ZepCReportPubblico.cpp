#include "ZepCReportPubblico.h"

#include "Field.h"
#include "ZepCDma.h"
#include "ZepUMainState.h"
#include "tovUDBCds.h"
#include "ZepULayoutNomi.h"

using platform::DataSet;

namespace {

QString testo(const DataSet &ds, const QString &campo)
{
    return ZepTestoSeCampo(ds, campo);
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

// Whether the rows of `ds` can name a person (and, `conOrdine`, a section
// row): a table without the key fields has rows of nobody.
bool HaChiave(const DataSet &ds, bool conOrdine)
{
    return ds.isActive() && ds.findField(TZepDma::CampoIscritto) && (!conOrdine || ds.findField(TZepDma::CampoOrdine));
}

} // namespace

void TZepReportPubblico::Installa(TZepProgramma &programma)
{
    programma.SezioneDenuncia = [] { return std::make_unique<TZepReportPubblico>(); };
}

void TZepReportPubblico::Carica(ITovDBCds &store)
{
    store.Load(cdsIscritti, TZepDma::TabellaD0);
    cdsIscritti.setIndexFieldNames(TZepDma::IndiceIscritti);
    store.Load(cdsE0, TZepDma::TabellaE0);
    cdsE0.setIndexFieldNames(layouts::TE0_RETR::DT_E0XXX001_DINIZIO);
    store.Load(cdsEvE0, TZepDma::TabellaEvE0);
    store.Load(cdsV1, TZepDma::TabellaV1);
    cdsV1.setIndexFieldNames(layouts::TV1_RETR::DT_V1XXX001_DINIZIO);
    store.Load(cdsEvV1, TZepDma::TabellaEvV1);
    store.Load(cdsE1, TZepDma::TabellaE1);
    m_indice.Svuota();
    for (DataSet *ds : {&cdsE0, &cdsV1, &cdsE1})
        if (HaChiave(*ds, false))
            m_indice.Indicizza(*ds, false);
    for (DataSet *ds : {&cdsEvE0, &cdsEvV1})
        if (HaChiave(*ds, true))
            m_indice.Indicizza(*ds, true);
}

void TZepReportPubblico::Chiudi()
{
    for (DataSet *ds : {&cdsIscritti, &cdsE0, &cdsEvE0, &cdsV1, &cdsEvV1, &cdsE1})
        ds->close();
    m_indice.Svuota();
}

void TZepReportPubblico::Blocchi(TZepStampa &stampa)
{
    DataSet &d0 = cdsIscritti;
    if (!d0.isActive() || d0.isEmpty())
        return;
    TZepStampaBlocco testa;
    testa.titolo = QStringLiteral("Iscritti ex DMA (INPDAP)");
    testa.nuovaPagina = true;
    stampa.blocchi << testa;
    for (d0.first(); !d0.eof(); d0.next())
        stampa.blocchi << Persona();
}

TZepStampaBlocco TZepReportPubblico::Persona()
{
    const DataSet &d0 = cdsIscritti;
    TZepStampaBlocco b;
    b.titolo = (testo(d0, TZepDma::CampoCognome) + QLatin1Char(' ') + testo(d0, TZepDma::CampoNome)).trimmed()
               + QStringLiteral(" - ") + testo(d0, TZepDma::CampoCodiceFiscale);
    b.campi << qMakePair(QStringLiteral("Data di nascita:"), testo(d0, layouts::TD0_ANAG::DT_D0001005_DATANAS))
            << qMakePair(QStringLiteral("Sesso:"), testo(d0, layouts::TD0_ANAG::AN_D0001004_SEX))
            << qMakePair(QStringLiteral("Regime fine servizio:"), testo(d0, layouts::TD0_ANAG::NP_D0001015_FINESER))
            << qMakePair(QStringLiteral("Data opzione TFR:"), testo(d0, layouts::TD0_ANAG::DT_D0001017_OPZTFR));
    const platform::Field *id = d0.findField(TZepDma::CampoIscritto);
    // Without a registry id the person owns no section row.
    const int iscritto = id && !id->isNull() ? id->asInteger() : 0;
    if (iscritto != 0) {
        Periodi(b, iscritto, cdsE0, cdsEvE0, QStringLiteral("E0"));
        Periodi(b, iscritto, cdsV1, cdsEvV1, QStringLiteral("V1"));
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
        m_indice.PerRighe(cdsE1, iscritto, [&] {
            e1.righe << QStringList{testo(cdsE1, layouts::TE1_FONDIPENSIONE::NP_E1XXX001_COD_FONDO),
                                    testo(cdsE1, layouts::TE1_FONDIPENSIONE::DT_E1XXX004_DINIZIO),
                                    testo(cdsE1, layouts::TE1_FONDIPENSIONE::DT_E1XXX005_DFINE),
                                    ZepAliquotaSeCampo(cdsE1, layouts::TE1_FONDIPENSIONE::PC_E1XXX006_PERC_LAVORATORE),
                                    ZepAliquotaSeCampo(cdsE1,
                                                       layouts::TE1_FONDIPENSIONE::PC_E1XXX007_PERC_CARICO_DATORE),
                                    testo(cdsE1, layouts::TE1_FONDIPENSIONE::VP_E1XXX014_CONT_LAVORATORE),
                                    testo(cdsE1, layouts::TE1_FONDIPENSIONE::VP_E1XXX015_CONT_DATORE)};
        });
        if (!e1.righe.isEmpty())
            b.tabelle << e1;
    }
    if (b.tabelle.isEmpty())
        b.campi << qMakePair(QStringLiteral("Quadri del mese:"), QStringLiteral("nessuno"));
    return b;
}

void TZepReportPubblico::Periodi(TZepStampaBlocco &b, int iscritto, DataSet &quadro, DataSet &enti, const QString &q)
{
    const bool v1 = q == QStringLiteral("V1");
    TZepStampaTabella t, te;
    t.titolo = QStringLiteral("Quadro ") + q;
    t.colonne = colonnePeriodo();
    if (v1)
        t.colonne.prepend(QStringLiteral("Causale"));
    t.destra = v1 ? QList<int>{4, 5, 7, 8, 10} : QList<int>{3, 4, 6, 7, 9};
    te.titolo = QStringLiteral("Quadro ") + q + QStringLiteral(" - enti versanti");
    te.colonne = QStringList{QStringLiteral("Periodo dal"), QStringLiteral("Tipo contributo"),
                             QStringLiteral("C.F. ente"),   QStringLiteral("Progressivo"),
                             QStringLiteral("Imponibile"),  QStringLiteral("Contributo")};
    if (v1)
        te.colonne << QStringLiteral("Anno mese erogazione") << QStringLiteral("Aliquota");
    te.destra = {4, 5};
    m_indice.PerRighe(quadro, iscritto, [&] {
        QStringList r = rigaPeriodo(quadro, q);
        const QString dal = r.first();
        if (v1)
            r.prepend(testo(quadro, layouts::TV1_RETR::NP_V1XXX000_CAUSVAR));
        t.righe << r;
        const platform::Field *ordine = quadro.findField(TZepDma::CampoOrdine);
        if (!ordine || ordine->isNull())
            return;
        m_indice.PerRighe(enti, iscritto, ordine->asInteger(), [&] {
            QStringList e{dal,
                          testo(enti, layouts::TEV_ENTEVERSANTEE0::TipoContributo),
                          testo(enti, layouts::TEV_ENTEVERSANTEE0::CFAzienda),
                          testo(enti, layouts::TEV_ENTEVERSANTEE0::PRGAZIENDA),
                          testo(enti, layouts::TEV_ENTEVERSANTEE0::Imponibile),
                          testo(enti, layouts::TEV_ENTEVERSANTEE0::Contributo)};
            if (v1)
                e << testo(enti, layouts::TEV_ENTEVERSANTEV1::AnnoMeseErogazione)
                  << testo(enti, layouts::TEV_ENTEVERSANTEV1::Aliquota);
            te.righe << e;
        });
    });
    if (!t.righe.isEmpty())
        b.tabelle << t;
    if (!te.righe.isEmpty())
        b.tabelle << te;
}
