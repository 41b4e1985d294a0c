#pragma once
// The pay-period grid's rules on a pay register of the archive, for the
// tests of the rules and of the grid: the periods of the register, written
// to it as a frame of registers would.
#include "WunUUtil.h"
#include "wunCVapeBase.h"

#include "SqlQuery.h"

namespace vapetest {

using platform::DataSet;
using platform::Value;

// The periods of one pay register of the archive, written to it.
class PeriodiRegistro : public TWunVapeBase {
public:
    int Registro = 0;
    int ParametroPartTime = 0;

    void Apri(int registro)
    {
        Registro = registro;
        platform::SqlQuery q;
        q.setSql(QStringLiteral("SELECT IACOMID, IMESID, IREGSGIORNI, IQARID, IREGSSUORE FROM TREGS_REGISTROSTIP "
                                "WHERE IREGSID = %1")
                     .arg(registro));
        q.open();
        IdCompenso = q.value("IACOMID").toInt();
        Mese = q.value("IMESID").toInt();
        GiorniDaPagare = q.value("IREGSGIORNI").toInt();
        QualificaPersona = q.value("IQARID").toInt();
        OrePreviste = q.value("IREGSSUORE").toInt();
        q.close();
        CaricaColonne();
        PreparaQueryPeriodi();
        xqcMain.params().paramByName("IREGSID").setValue(registro);
        xqcMain.Open();
    }
    void CompletaQueryPeriodi(const QString &colonne) override
    {
        TWunUtil::FormattaQuery(xqcMain, {Value(colonne), Value("TREGS_REGISTROSTIP REGS ON REGS.IREGSID=VAPE.IREGSID"),
                                          Value("REGS.IREGSID=:IREGSID")});
    }
    void CompletaQueryValori() override
    {
        TWunUtil::FormattaQuery(xqcValori, {Value("VAPE.IREGSID=:IREGSID")});
        xqcValori.params().paramByName("IREGSID").setValue(Registro);
    }
    void ImpostaChiavi(DataSet &riga) override { riga.fieldByName("IREGSID").setAsInteger(Registro); }
    void PreparaAggiornamento(platform::SqlQuery &aggiorna) override
    {
        TWunVapeBase::PreparaAggiornamento(aggiorna);
        aggiorna.bind("IREGSID", Registro);
    }
    int PartTimeInps() const override { return ParametroPartTime; }
};


// A November register of a public-sector person with one period of the
// whole month and no reduction (0 when the archive has none).
inline int RegistroDiNovembre(platform::Database &db)
{
    platform::SqlQuery q(db);
    q.setSql("SELECT FIRST 1 REGS.IREGSID FROM TREGS_REGISTROSTIP REGS WHERE REGS.IMESID = 11 AND REGS.IANFID = 55 "
             "AND REGS.ICOTID = 1 AND EXISTS (SELECT 1 FROM TVARR_VARRITENUTE VARR WHERE VARR.IREGSID = REGS.IREGSID "
             "AND VARR.IRICEID = 2) AND (SELECT COUNT(*) FROM TVAPE_PERIODI VAPE WHERE VAPE.IREGSID = REGS.IREGSID "
             "AND VAPE.DVAPEDAL = '2024-11-01' AND VAPE.DVAPEAL = '2024-11-30' AND NOT EXISTS (SELECT 1 FROM "
             "TVARD_RIDUZIONIVAR VARD WHERE VARD.IVAPEID = VAPE.IVAPEID)) = 1 ORDER BY REGS.IREGSID");
    q.open();
    return q.eof() ? 0 : q.value(0).toInt();
}

} // namespace vapetest
