#include "ZepCRiepilogoDatiCUD.h"

#include "Field.h"
#include "ZepCParametri.h"
#include "tovUDBCds.h"

#include <QDate>
#include <algorithm>

using platform::Bookmark;
using platform::Currency;
using platform::DataSet;
using platform::FieldType;

namespace {
const QString TabellaAnagrafiche = QStringLiteral("TD0_ANAG");
const QString TabellaE0 = QStringLiteral("TE0_RETR");
const QString TabellaV1 = QStringLiteral("TV1_RETR");
const QString CampoCF = QStringLiteral("CF_D0001001_CODFIS");
const QString CampoCognome = QStringLiteral("AN_D0001002_COGNOME");
const QString CampoNome = QStringLiteral("AN_D0001003_NOME");
const QString CampoAnno = QStringLiteral("ANNO_RIFERIMENTO");

// The section's name of a field: "DT_E0XXX002_DFINE" for E0, its twin
// "DT_V1XXX002_DFINE" for V1, the amounts "VP_" of E0 being "VN_" in V1.
QString nome(const QString &campoE0, const QString &sezione)
{
    if (sezione == QLatin1String("E0"))
        return campoE0;
    QString n = campoE0;
    n.replace(QStringLiteral("E0"), sezione);
    if (n.startsWith(QLatin1String("VP_")))
        n.replace(0, 3, QStringLiteral("VN_"));
    return n;
}

// The amounts of the summary: the E0 names, with their headings.
const QList<QPair<QString, QString>> &Importi()
{
    static const QList<QPair<QString, QString>> importi{
        {QStringLiteral("VP_E0XXX032_IMPPENS"), QStringLiteral("Imponibile pens.")},
        {QStringLiteral("VP_E0XXX033_CONPENS"), QStringLiteral("Contributi pens.")},
        {QStringLiteral("VP_E0XXX035_IMPTFS"), QStringLiteral("Imponibile TFS")},
        {QStringLiteral("VP_E0XXX036_CONTFS"), QStringLiteral("Contributi TFS")},
        {QStringLiteral("VP_E0XXX043_RETRTFR"), QStringLiteral("Retribuzione TFR")},
        {QStringLiteral("VP_E0XXX039_IMPCREDITO"), QStringLiteral("Imponibile credito")},
        {QStringLiteral("VP_E0XXX040_CONCREDITO"), QStringLiteral("Contributi credito")},
    };
    return importi;
}

} // namespace

const QString TZepRiepilogoDatiCUD::Titolo = QStringLiteral("Stampa riepilogativa dati del CUD");

TZepRiepilogoDatiCUD::TZepRiepilogoDatiCUD(ITovDBCds &store) : m_store(store) {}

void TZepRiepilogoDatiCUD::CaricaPersone()
{
    DataSet tutte;
    m_store.LoadPeriod(tutte, TabellaAnagrafiche, m_store.Year(), -1);
    DataSet struttura;
    m_store.LoadStructure(struttura, TabellaAnagrafiche, m_store.Year(), -1);
    CreaElenco(tutte, struttura.fieldDefs());
}

void TZepRiepilogoDatiCUD::CreaElenco(DataSet &anagrafiche, const platform::FieldDefs &struttura)
{
    cdsElenco.close();
    cdsElenco.setFieldDefs(struttura);
    cdsElenco.createDataSet();
    anagrafiche.setIndexFieldNames(CampoCF + QStringLiteral(";SD0AMESE"));
    QString ultimo;
    bool primo = true;
    for (anagrafiche.first(); !anagrafiche.eof(); anagrafiche.next()) {
        const QString cf = anagrafiche.fieldByName(CampoCF).asString();
        if (!primo && cf == ultimo)
            continue;
        primo = false;
        ultimo = cf;
        ZepAccodaRiga(anagrafiche, cdsElenco);
    }
    cdsElenco.setIndexFieldNames(CampoCognome + QLatin1Char(';') + CampoNome);
    cdsElenco.first();
}

void TZepRiepilogoDatiCUD::Scegli(const QList<Bookmark> &scelti)
{
    cdsDaStampare.close();
    cdsDaStampare.setFieldDefs(cdsElenco.fieldDefs());
    cdsDaStampare.createDataSet();
    ZepAccodaScelte(cdsElenco, scelti, cdsDaStampare);
    cdsDaStampare.setIndexFieldNames(CampoCognome);
    cdsDaStampare.first();
}

void TZepRiepilogoDatiCUD::CaricaSezioni()
{
    m_store.LoadPeriod(cdsDichiarante, TZepParametri::TabellaDichiarante, m_store.Year(), 0);
    m_store.LoadPeriod(cdsE0, TabellaE0, m_store.Year(), -1);
    m_store.LoadPeriod(cdsV1, TabellaV1, m_store.Year(), -1);
    CreaAnni();
}

void TZepRiepilogoDatiCUD::CreaAnni()
{
    QList<int> anni;
    for (const auto &[righe, sezione] : {std::pair<DataSet *, QString>{&cdsE0, QStringLiteral("E0")},
                                         std::pair<DataSet *, QString>{&cdsV1, QStringLiteral("V1")}}) {
        const QString fine = nome(QStringLiteral("DT_E0XXX002_DFINE"), sezione);
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
    const QDate fine = righe.fieldByName(nome(QStringLiteral("DT_E0XXX002_DFINE"), sezione)).asDate();
    return cf.compare(cdsDaStampare.fieldByName(CampoCF).asString().trimmed(), Qt::CaseInsensitive) == 0
           && fine.isValid() && fine.year() == cdsAnni.fieldByName(CampoAnno).asInteger();
}

TZepStampaTabella TZepRiepilogoDatiCUD::Tabella(DataSet &righe, const QString &sezione)
{
    TZepStampaTabella t;
    t.colonne << QStringLiteral("Quadro") << QStringLiteral("Dal") << QStringLiteral("Al");
    // The amounts the section's table has, each with its total.
    QStringList campi;
    QList<Currency> totali;
    for (const auto &[campo, titolo] : Importi()) {
        if (!righe.findField(nome(campo, sezione)))
            continue;
        campi << nome(campo, sezione);
        t.destra << int(t.colonne.size());
        t.colonne << titolo;
        totali << Currency();
    }
    for (righe.first(); !righe.eof(); righe.next()) {
        if (!RigaVisibile(righe, sezione))
            continue;
        QStringList r{sezione, ZepTestoCampo(righe, nome(QStringLiteral("DT_E0XXX001_DINIZIO"), sezione)),
                      ZepTestoCampo(righe, nome(QStringLiteral("DT_E0XXX002_DFINE"), sezione))};
        for (int i = 0; i < campi.size(); ++i) {
            r << ZepTestoCampo(righe, campi.at(i));
            totali[i] = totali[i] + ZepImportoCampo(righe, campi.at(i));
        }
        t.righe << r;
    }
    if (!t.righe.isEmpty()) {
        t.totali << QStringLiteral("Totale ") + sezione << QString() << QString();
        for (const Currency &c : totali)
            t.totali << ZepImporto(c);
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
        stampa.ufficio = ZepTestoCampo(cdsDichiarante, QStringLiteral("RagSocAzienda"));
    }
    for (cdsDaStampare.first(); !cdsDaStampare.eof(); cdsDaStampare.next()) {
        TZepStampaBlocco persona;
        persona.titolo = (ZepTestoCampo(cdsDaStampare, CampoCognome) + QLatin1Char(' ')
                          + ZepTestoCampo(cdsDaStampare, CampoNome))
                             .trimmed()
                         + QStringLiteral(" - ") + ZepTestoCampo(cdsDaStampare, CampoCF);
        persona.nuovaPagina = !stampa.blocchi.isEmpty();
        stampa.blocchi << persona;
        for (cdsAnni.first(); !cdsAnni.eof(); cdsAnni.next()) {
            TZepStampaBlocco anno;
            anno.titolo = QStringLiteral("Anno di riferimento ") + cdsAnni.fieldByName(CampoAnno).asString();
            for (const auto &[righe, sezione] : {std::pair<DataSet *, QString>{&cdsE0, QStringLiteral("E0")},
                                                 std::pair<DataSet *, QString>{&cdsV1, QStringLiteral("V1")}}) {
                TZepStampaTabella t = Tabella(*righe, sezione);
                if (!t.righe.isEmpty())
                    anno.tabelle << t;
            }
            if (!anno.tabelle.isEmpty())
                stampa.blocchi << anno;
        }
    }
    return stampa;
}
