#include "ZepCRiepilogoDatiCUD.h"

#include "Field.h"
#include "ZepCDma.h"
#include "ZepUDmaUtil.h"
#include "ZepCParametri.h"
#include "tovUDBCds.h"
#include "ZepULayoutNomi.h"

#include <QDate>
#include <algorithm>

using platform::Bookmark;
using platform::Currency;
using platform::DataSet;
using platform::FieldType;

namespace {
const QString CampoAnno = QStringLiteral("ANNO_RIFERIMENTO");
constexpr qreal DimensioneTesto = 7;

// The amounts of the summary: the E0 names, with their headings. The
// end-of-service figures of both schemes, TFS and TFR, since a person's
// rows hold those of the scheme the person is in. The eleven columns fit the
// page's width with no date, figure or word broken across lines with short
// headings (as in the declaration print) and a smaller text; the section is
// the table's title ("Quadro E0").
struct Importo {
    QString campo;
    QString titolo;
    // Summed in the totals line. The theoretical TFR pay is the monthly
    // table rate each row repeats: a sum of it over the rows is no figure of
    // the year, so its total is left empty.
    bool totale = true;
};

const QList<Importo> &Importi()
{
    static const QList<Importo> importi{
        {layouts::TE0_RETR::VP_E0XXX032_IMPPENS, QStringLiteral("Imp. pens.")},
        {layouts::TE0_RETR::VP_E0XXX033_CONPENS, QStringLiteral("Contr. pens.")},
        {layouts::TE0_RETR::VP_E0XXX035_IMPTFS, QStringLiteral("Imp. TFS")},
        {layouts::TE0_RETR::VP_E0XXX036_CONTFS, QStringLiteral("Contr. TFS")},
        {layouts::TE0_RETR::VP_E0XXXA37_IMPTFR, QStringLiteral("Imp. TFR")},
        {layouts::TE0_RETR::VP_E0XXXA38_CONTFR, QStringLiteral("Contr. TFR")},
        {layouts::TE0_RETR::VP_E0XXX043_RETRTFR, QStringLiteral("Retrib. TFR"), false},
        {layouts::TE0_RETR::VP_E0XXX039_IMPCREDITO, QStringLiteral("Imp. credito")},
        {layouts::TE0_RETR::VP_E0XXX040_CONCREDITO, QStringLiteral("Contr. credito")},
    };
    return importi;
}

} // namespace

const QString TZepRiepilogoDatiCUD::Titolo = QStringLiteral("Stampa riepilogativa dati del CUD");

TZepRiepilogoDatiCUD::TZepRiepilogoDatiCUD(ITovDBCds &store) : m_store(store) {}

void TZepRiepilogoDatiCUD::CaricaPersone()
{
    DataSet tutte;
    m_store.LoadPeriod(tutte, TZepDma::TabellaD0, m_store.Year(), -1);
    DataSet struttura;
    m_store.LoadStructure(struttura, TZepDma::TabellaD0, m_store.Year(), -1);
    CreaElenco(tutte, struttura.fieldDefs());
}

void TZepRiepilogoDatiCUD::CreaElenco(DataSet &anagrafiche, const platform::FieldDefs &struttura)
{
    cdsElenco.close();
    cdsElenco.setFieldDefs(struttura);
    cdsElenco.createDataSet();
    anagrafiche.setIndexFieldNames(TZepDma::CampoCodiceFiscale + QStringLiteral(";SD0AMESE"));
    QString ultimo;
    bool primo = true;
    for (anagrafiche.first(); !anagrafiche.eof(); anagrafiche.next()) {
        const QString cf = anagrafiche.fieldByName(TZepDma::CampoCodiceFiscale).asString();
        if (!primo && cf == ultimo)
            continue;
        primo = false;
        ultimo = cf;
        ZepAccodaRiga(anagrafiche, cdsElenco);
    }
    cdsElenco.setIndexFieldNames(TZepDma::CampoCognome + QLatin1Char(';') + TZepDma::CampoNome);
    cdsElenco.first();
}

void TZepRiepilogoDatiCUD::Scegli(const QList<Bookmark> &scelti)
{
    cdsDaStampare.close();
    cdsDaStampare.setFieldDefs(cdsElenco.fieldDefs());
    cdsDaStampare.createDataSet();
    ZepAccodaScelte(cdsElenco, scelti, cdsDaStampare);
    cdsDaStampare.setIndexFieldNames(TZepDma::CampoCognome);
    cdsDaStampare.first();
}

void TZepRiepilogoDatiCUD::CaricaSezioni()
{
    m_store.LoadPeriod(cdsDichiarante, TZepParametri::TabellaDichiarante, m_store.Year(), 0);
    m_store.LoadPeriod(cdsE0, TZepDma::TabellaE0, m_store.Year(), -1);
    m_store.LoadPeriod(cdsV1, TZepDma::TabellaV1, m_store.Year(), -1);
    CreaAnni();
}

void TZepRiepilogoDatiCUD::CreaAnni()
{
    QList<int> anni;
    for (const auto &[righe, sezione] : {std::pair<DataSet *, QString>{&cdsE0, QStringLiteral("E0")},
                                         std::pair<DataSet *, QString>{&cdsV1, QStringLiteral("V1")}}) {
        const QString fine = TDmaUtil::NomeCampo(layouts::TE0_RETR::DT_E0XXX002_DFINE, sezione);
        for (righe->first(); !righe->eof(); righe->next()) {
            const QDate d = righe->fieldByName(fine).asDate();
            if (d.isValid() && !anni.contains(d.year()))
                anni << d.year();
        }
    }
    std::sort(anni.begin(), anni.end());
    cdsAnni.close();
    cdsAnni.setFieldDefs({{CampoAnno, FieldType::Integer}});
    cdsAnni.createDataSet();
    for (int anno : anni)
        cdsAnni.appendRecord({anno});
    cdsAnni.first();
}

bool TZepRiepilogoDatiCUD::RigaVisibile(const DataSet &righe, const QString &sezione) const
{
    const QString cf = righe.fieldByName(QStringLiteral("S%1CODFIS").arg(sezione)).asString().trimmed();
    const QDate fine = righe.fieldByName(TDmaUtil::NomeCampo(layouts::TE0_RETR::DT_E0XXX002_DFINE, sezione)).asDate();
    return cf.compare(cdsDaStampare.fieldByName(TZepDma::CampoCodiceFiscale).asString().trimmed(), Qt::CaseInsensitive)
               == 0
           && fine.isValid() && fine.year() == cdsAnni.fieldByName(CampoAnno).asInteger();
}

TZepStampaTabella TZepRiepilogoDatiCUD::Tabella(DataSet &righe, const QString &sezione)
{
    TZepStampaTabella t;
    t.titolo = QStringLiteral("Quadro ") + sezione;
    t.punti = DimensioneTesto;
    t.colonne << QStringLiteral("Dal") << QStringLiteral("Al");
    // The amounts the section's table has, each with its total.
    QStringList campi;
    QList<Currency> totali;
    QList<bool> sommati;
    for (const Importo &importo : Importi()) {
        if (!righe.findField(TDmaUtil::NomeCampo(importo.campo, sezione)))
            continue;
        campi << TDmaUtil::NomeCampo(importo.campo, sezione);
        t.destra << int(t.colonne.size());
        t.colonne << importo.titolo;
        totali << Currency();
        sommati << importo.totale;
    }
    for (righe.first(); !righe.eof(); righe.next()) {
        if (!RigaVisibile(righe, sezione))
            continue;
        QStringList r{ZepTestoCampo(righe, TDmaUtil::NomeCampo(layouts::TE0_RETR::DT_E0XXX001_DINIZIO, sezione)),
                      ZepTestoCampo(righe, TDmaUtil::NomeCampo(layouts::TE0_RETR::DT_E0XXX002_DFINE, sezione))};
        // A row without an amount shows its zero as the total does.
        for (int i = 0; i < campi.size(); ++i) {
            const Currency importo = ZepImportoCampo(righe, campi.at(i));
            r << ZepImporto(importo);
            totali[i] = totali[i] + importo;
        }
        t.righe << r;
    }
    if (!t.righe.isEmpty()) {
        t.totali << QStringLiteral("Totale") << QString();
        for (int i = 0; i < totali.size(); ++i)
            t.totali << (sommati.at(i) ? ZepImporto(totali.at(i)) : QString());
    }
    return t;
}

TZepStampa TZepRiepilogoDatiCUD::Stampa()
{
    TZepStampa stampa;
    stampa.titolo = Titolo;
    stampa.periodo = QStringLiteral("anno ") + QString::number(m_store.Year());
    if (cdsDichiarante.isActive() && !cdsDichiarante.isEmpty()) {
        cdsDichiarante.first();
        stampa.ufficio = ZepTestoCampo(cdsDichiarante, layouts::TAMM_AMMINISTRAZIONE::RagSocAzienda);
    }
    // A block per person and reference year, each named with its person (a
    // year may start a page of its own); each person from a new page.
    for (cdsDaStampare.first(); !cdsDaStampare.eof(); cdsDaStampare.next()) {
        const QString persona = (ZepTestoCampo(cdsDaStampare, TZepDma::CampoCognome) + QLatin1Char(' ')
                                 + ZepTestoCampo(cdsDaStampare, TZepDma::CampoNome))
                                    .trimmed()
                                + QStringLiteral(" - ") + ZepTestoCampo(cdsDaStampare, TZepDma::CampoCodiceFiscale);
        bool primo = true;
        for (cdsAnni.first(); !cdsAnni.eof(); cdsAnni.next()) {
            TZepStampaBlocco anno;
            anno.titolo = persona + QStringLiteral(" - Anno di riferimento ")
                          + cdsAnni.fieldByName(CampoAnno).asString();
            for (const auto &[righe, sezione] : {std::pair<DataSet *, QString>{&cdsE0, QStringLiteral("E0")},
                                                 std::pair<DataSet *, QString>{&cdsV1, QStringLiteral("V1")}}) {
                TZepStampaTabella t = Tabella(*righe, sezione);
                if (!t.righe.isEmpty())
                    anno.tabelle << t;
            }
            if (anno.tabelle.isEmpty())
                continue;
            anno.nuovaPagina = primo && !stampa.blocchi.isEmpty();
            primo = false;
            stampa.blocchi << anno;
        }
    }
    return stampa;
}
