#include "ZepRDmaVape.h"

#include "WunUUtil.h"
#include "wunMFondCalcola.h"
#include "wunUCalcoliFond.h"

#include "Exceptions.h"
#include "Format.h"
#include "tovCQueryText.h"
#include "tovUExceptions.h"

using platform::DataSet;
using platform::DeltaRecord;
using platform::UpdateKind;
using platform::Value;

const QString TfrQuvVapeDma::MsgModificaNonAbilitata = QStringLiteral("Modifica dati non abilitata!");
const QList<int> TfrQuvVapeDma::VociPeriodo{10001, 10002, 10021, 10034, 10049, 10053, 10055, 10071, 10056};

namespace {

// The current row of `da` (its data fields) as the only row of `a`.
void copiaRiga(const DataSet &da, DataSet &a)
{
    ZEP_ASSERT(da.isActive() && !da.isEmpty(), QStringLiteral("Riga del registro o del compenso non disponibile"));
    platform::FieldDefs definizioni;
    platform::ValueList valori;
    for (const auto &campo : da.fields()) {
        if (campo->isCalculated())
            continue;
        definizioni << campo->def();
        valori << campo->value();
    }
    a.loadRecords(definizioni, QList<platform::ValueList>{valori});
}

// A statement of the catalogue formatted with the item list, on the
// register, opened.
void apriVoci(TUqQueryCollection &collection, const QString &nome, int registro)
{
    collection.close();
    collection.setFiltered(false);
    TovQueryText().AssignCommand(nome, collection, QStringLiteral("EXECUTE"));
    TWunUtil::FormattaQuery(collection, {Value(TfrQuvVapeDma::ElencoVoci())});
    collection.params().paramByName(QStringLiteral("IREGSID")).setValue(registro);
    collection.Open();
}

void apri(TUqQueryCollection &collection, const QString &nome)
{
    collection.close();
    TovQueryText().AssignCommand(nome, collection, QStringLiteral("EXECUTE"));
    collection.Open();
}

} // namespace

TfrQuvVapeDma::TfrQuvVapeDma(platform::Database *database)
    : TWunVapeBase(database), xqcCCNL(database, QStringLiteral("xqcCCNL")),
      xqcTacoComr(database, QStringLiteral("xqcTacoComr")), xqcTacoRice(database, QStringLiteral("xqcTacoRice")),
      xqcVacr(database, QStringLiteral("xqcVacr")), xqcVacrVarr(database, QStringLiteral("xqcVacrVarr")),
      xqcCogr(database, QStringLiteral("xqcCogr"))
{
    TWunUtil::TuttiIRecord({&xqcMain, &xqcCCNL, &xqcTacoComr, &xqcTacoRice, &xqcVacr, &xqcVacrVarr, &xqcCogr});
}

TfrQuvVapeDma::~TfrQuvVapeDma() = default;

QString TfrQuvVapeDma::ElencoVoci()
{
    platform::ValueList voci;
    for (int voce : VociPeriodo)
        voci << Value(voce);
    return platform::format(QStringLiteral("%d,%d,%d,%d,%d,%d,%d,%d,%d"), voci);
}

int TfrQuvVapeDma::CampoRegistro(const char *campo) const
{
    return m_registro.fieldByName(QLatin1String(campo)).asInteger();
}

void TfrQuvVapeDma::ApriRegistro(const DataSet &compenso, const DataSet &registro)
{
    copiaRiga(compenso, m_compenso);
    copiaRiga(registro, m_registro);
    GiorniDaPagare = CampoRegistro("IREGSGIORNI");
    xqcMain.close();
    xqcMain.setFiltered(false);
    xqcMain.setFilter(QString());
    IdCompenso = CampoRegistro("IACOMID");
    Mese = CampoRegistro("IMESID");
    CaricaColonne();
    PreparaQueryPeriodi();
    xqcMain.params().paramByName(QStringLiteral("IREGSID")).setValue(CampoRegistro("IREGSID"));
    xqcMain.Open();
}

void TfrQuvVapeDma::CompletaQueryPeriodi(const QString &colonne)
{
    TWunUtil::FormattaQuery(xqcMain, {Value(colonne),
                                      Value(QStringLiteral("TREGS_REGISTROSTIP REGS ON REGS.IREGSID=VAPE.IREGSID")),
                                      Value(QStringLiteral("REGS.IREGSID=:IREGSID"))});
}

void TfrQuvVapeDma::CompletaQueryValori()
{
    TWunUtil::FormattaQuery(xqcValori, {Value(QStringLiteral("VAPE.IREGSID=:IREGSID"))});
    xqcValori.params().paramByName(QStringLiteral("IREGSID")).setValue(CampoRegistro("IREGSID"));
}

void TfrQuvVapeDma::ImpostaChiavi(DataSet &riga)
{
    riga.fieldByName(QStringLiteral("IREGSID")).setAsInteger(CampoRegistro("IREGSID"));
}

void TfrQuvVapeDma::CompilaRiga(DataSet &riga)
{
    TWunVapeBase::CompilaRiga(riga);
    platform::Field &dal = riga.fieldByName(QStringLiteral("DVAPEDAL"));
    platform::Field &al = riga.fieldByName(QStringLiteral("DVAPEAL"));
    if (riga.recordCount() == 1) {
        if (dal.isNull())
            dal.setValue(m_registro.fieldValue(QStringLiteral("DREGSDAL")));
        if (al.isNull())
            al.setValue(m_registro.fieldValue(QStringLiteral("DREGSAL")));
    }
    if (dal.isNull() || al.isNull())
        throw ETovCalcola(TdmWunFondCalcola::MsgOrariRiduzioni);
}

void TfrQuvVapeDma::RifiutaModifiche()
{
    if (SalvataggioSospeso() || xqcMain.changeCount() == 0)
        return;
    xqcMain.cancelUpdates();
    throw EUqError(MsgModificaNonAbilitata);
}

void TfrQuvVapeDma::PreparaAggiornamento(platform::SqlQuery &)
{
    throw EUqError(MsgModificaNonAbilitata);
}

void TfrQuvVapeDma::xqcMainAfterPost(DataSet &)
{
    RifiutaModifiche();
}

void TfrQuvVapeDma::xqcMainAfterDelete(DataSet &)
{
    RifiutaModifiche();
}

void TfrQuvVapeDma::xqcMainBeforeUpdateRecord(DeltaRecord &, UpdateKind, bool &)
{
    throw EUqError(MsgModificaNonAbilitata);
}

void TfrQuvVapeDma::CalcolaPeriodo()
{
    ZEP_ASSERT(xqcMain.isActive(), QStringLiteral("Registro non aperto: ApriRegistro prima di CalcolaPeriodo"));
    // 1. The contract amounts of the tables in force, at the month's
    // seniority class, less the items the person is not entitled to.
    xqcCCNL.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_CCNL_COMR"), xqcCCNL, QStringLiteral("EXECUTE"));
    xqcCCNL.params().paramByName(QStringLiteral("ICCNTID")).setValue(WunCCNL().TabellaCCNL());
    xqcCCNL.params().paramByName(QStringLiteral("IASTIANZIANITA")).setValue(Anzianita());
    xqcCCNL.params().paramByName(QStringLiteral("ICCNVID")).setValue(WunCCNL().TabellaCCNV());
    xqcCCNL.Open();
    TwunCalcolaFond::EliminaVociNonSpettanti(xqcCCNL, m_compenso);

    // 2. The reductions by item and by retention.
    apri(xqcTacoComr, QStringLiteral("QRY_TTACOCOMR_CALC"));
    apri(xqcTacoRice, QStringLiteral("QRY_TACORICE_CALC"));

    // 3. and 4. The register's items and their withholding rows; a
    // register whose items have none stored gets them built on the
    // fundamental retentions, with each item's contribution groups.
    const int registro = CampoRegistro("IREGSID");
    apriVoci(xqcVacr, QStringLiteral("QRY_DMA_VACR"), registro);
    apriVoci(xqcVacrVarr, QStringLiteral("QRY_DMA_VACR_VARR"), registro);
    if (xqcVacrVarr.isEmpty()) {
        apriVoci(xqcVacrVarr, QStringLiteral("QRY_DMA_REGS_VARR"), registro);
        const bool partTime = xqcMain.fieldByName(QStringLiteral("LVAPEPARTTIME")).asInteger() == 1;
        struct Chiusura {
            TUqQueryCollection &ritenute, &gruppi;
            ~Chiusura()
            {
                ritenute.setFiltered(false);
                gruppi.close();
            }
        } chiusura{xqcVacrVarr, xqcCogr};
        const QString gruppi = TovQueryText().GetSQL(QStringLiteral("QRY_COGR_CALC"), QStringLiteral("EXECUTE"))
                               + QStringLiteral(" AND COGR.ICOMRID=:ICOMRID");
        for (xqcVacr.first(); !xqcVacr.eof(); xqcVacr.next()) {
            const int voce = xqcVacr.fieldByName(QStringLiteral("ICOMRID")).asInteger();
            TwunCalcola::FiltraVoce(xqcVacrVarr, voce);
            xqcCogr.close();
            xqcCogr.SetSelectSQL(gruppi);
            xqcCogr.params().paramByName(QStringLiteral("ICOTID")).setValue(CampoRegistro("ICOTID"));
            xqcCogr.params().paramByName(QStringLiteral("ITNOID")).setValue(CampoRegistro("ITNOID"));
            xqcCogr.params().paramByName(QStringLiteral("IANFID")).setValue(wunAnnoFinanziario().Id());
            xqcCogr.params().paramByName(QStringLiteral("ICOMRID")).setValue(voce);
            xqcCogr.Open();
            TwunCalcolaFond::ApplicaGruppiContributivi(xqcVacrVarr, xqcCogr,
                                                       xqcVacr.fieldByName(QStringLiteral("FVACRLORDO")).asCurrency(),
                                                       partTime, &m_compenso);
        }
    }

    // 5. The fundamental pay of the periods: the rows are read, never
    // written.
    Sospensione sospensione(*this);
    TwunCalcolaFond::TTabelle tabelle;
    tabelle.ccnl = &xqcCCNL;
    tabelle.riduzioni = &xqcColonne;
    tabelle.riduzioniVoci = &xqcTacoComr;
    tabelle.riduzioniRitenute = &xqcTacoRice;
    platform::Currency giorniNonPagati;
    TwunCalcolaFond::CalcolaVociFondamentali(xqcMain, xqcVacr, &m_compenso, giorniNonPagati, xqcVacrVarr, tabelle);
}
