#pragma once
// The public-sector pay-register grid as the public-sector import uses it:
// without a window, the pay periods of one pay register of the archive
// (TWunVapeBase over QRY_VAPE, owner REGS) and, for the current period, its
// fundamental pay items and their withholding rows.
//
// One object serves one import run: the import makes it, binds it to each
// register of a person in turn (ApriRegistro) and frees it at the end of
// the run. The register and compensation rows it is given are copied, so
// that nothing it keeps refers to the import's queries, whatever their
// lifetime.
//
// Changes to the periods are refused ("Modifica dati non abilitata!"):
// the periods are the payroll's, the import only reads them.
#include "wunCVapeBase.h"

class TfrQuvVapeDma : public TWunVapeBase {
public:
    static const QString MsgModificaNonAbilitata; // "Modifica dati non abilitata!"
    // The pay items computed per period, in this order: 10001, 10002,
    // 10021, 10034, 10049, 10053, 10055, 10071, 10056.
    static const QList<int> VociPeriodo;
    // Their list for the statements' "%s" ("10001,10002,...").
    static QString ElencoVoci();

    explicit TfrQuvVapeDma(platform::Database *database = nullptr);
    ~TfrQuvVapeDma() override;

    TUqQueryCollection xqcCCNL;     // the CCNL amounts of the qualifications (QRY_CCNL_COMR)
    TUqQueryCollection xqcTacoComr; // reductions by pay item (QRY_TTACOCOMR_CALC)
    TUqQueryCollection xqcTacoRice; // reductions by retention (QRY_TACORICE_CALC)
    TUqQueryCollection xqcVacr;     // the register's pay items (QRY_DMA_VACR)
    TUqQueryCollection xqcVacrVarr; // their withholding rows (QRY_DMA_VACR_VARR or QRY_DMA_REGS_VARR)
    TUqQueryCollection xqcCogr;     // the contribution groups of a pay item (QRY_COGR_CALC)

    // Binds the object to a register (a row of QRY_DMA_REGS: IREGSID,
    // IACOMID, IMESID, IREGSGIORNI, ITNOID, ICOTID, DREGSDAL, DREGSAL) and to
    // the person's compensation (a row of QRY_CED_ACOM), the current rows of
    // the datasets given: the days to pay, the compensation and the month
    // of the defaults and checks, then the register's periods with their
    // reduction columns, opened in xqcMain.
    void ApriRegistro(const platform::DataSet &compenso, const platform::DataSet &registro);
    // The pay items of the periods xqcMain shows (the import filters it to
    // one) and their withholding rows: the CCNL tables of WunCCNL() at the
    // seniority class of the month, the items the person is entitled to,
    // the register's items and stored withholding rows, or, when it has
    // none, rows built on the fundamental retentions and the contribution
    // groups of each item; then the fundamental pay of the periods into
    // xqcVacr and xqcVacrVarr (in memory only).
    void CalcolaPeriodo();

    // The copies ApriRegistro keeps (empty before).
    const platform::DataSet &Registro() const { return m_registro; }
    const platform::DataSet &Compenso() const { return m_compenso; }

    // The base's filling; then the only period of a register takes the
    // register's dates where it has none. A period still without a date
    // raises ETovCalcola "Controllare \"Orari/Riduzioni\" nella pagina
    // \"Altri dati\" dello storico".
    void CompilaRiga(platform::DataSet &riga) override;
    // The register's join and condition.
    void CompletaQueryPeriodi(const QString &colonne) override;
    void CompletaQueryValori() override;
    void ImpostaChiavi(platform::DataSet &riga) override;
    // Every change is refused with EUqError MsgModificaNonAbilitata: a post
    // or a delete undoes the pending changes, and nothing is written.
    void PreparaAggiornamento(platform::SqlQuery &aggiorna) override;
    void xqcMainAfterPost(platform::DataSet &dataSet) override;
    void xqcMainAfterDelete(platform::DataSet &dataSet) override;
    void xqcMainBeforeUpdateRecord(platform::DeltaRecord &riga, platform::UpdateKind tipo, bool &applicato) override;

private:
    void RifiutaModifiche();
    int CampoRegistro(const char *campo) const;

    platform::DataSet m_registro;
    platform::DataSet m_compenso;
};
