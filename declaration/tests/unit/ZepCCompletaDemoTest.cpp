// What a demo or benchmark run completes after the imports, on a real
// archive: only the rows still missing something, with the values the
// windows would take, the rest left as it was (the public-sector E1 rows
// too).
#include "ZepDatiDenunciaSupport.h"

#include "ZepCCompletaDemo.h"
#include "ZepCCompletaDemoDma.h"
#include "ZepCDma.h"
#include "ZepCParametri.h"

#include "archive/FiscalCode.h"

#include "Field.h"

using namespace dentest;

namespace {

class CompletaDemo : public DatiDenunciaTest {
protected:
    QString Dichiarante(const char *campo)
    {
        DataSet ds;
        store.LoadPeriod(ds, TZepParametri::TabellaDichiarante, store.Year(), 0);
        return ds.fieldByName(QLatin1String(campo)).asString();
    }
    void NuovoDichiarante(const QList<QPair<QString, Value>> &valori)
    {
        DataSet ds;
        store.LoadPeriod(ds, TZepParametri::TabellaDichiarante, store.Year(), 0);
        ds.append();
        for (const auto &[campo, valore] : valori)
            ds.fieldByName(campo).setValue(valore);
        ds.post();
        store.SavePeriod(ds, TZepParametri::TabellaDichiarante, store.Year(), 0);
    }
    TZepCompletaDemo completa{store};
};

} // namespace

TEST_F(CompletaDemo, OnlyWhatTheImportsLeaveToTheUser)
{
    EXPECT_TRUE(payroll::FiscalCode::isValid(TZepCompletaDemo::CFPersonaMittente()));
    // February 2024: the month's last day is the 29th.
    Periodo(QStringLiteral("2024"), QStringLiteral("02"));
    try {
        completa.Dichiarante();
        ADD_FAILURE() << "a year without declarant";
    } catch (const EUqError &e) {
        EXPECT_EQ(e.message(), TZepCompletaDemo::MsgNessunDichiarante.arg("2024"));
    }
    const QString mittente = QStringLiteral("BNCLGU80A01H501A");
    NuovoDichiarante({{"CFMittente", "01234567890"}, {"CFPersonaMittente", mittente}});
    EXPECT_EQ(completa.Dichiarante(), 1);
    EXPECT_EQ(Dichiarante("CFPersonaMittente"), mittente) << "the one typed stays";
    EXPECT_EQ(Dichiarante("SedeINPS"), TZepCompletaDemo::SedeINPS);
    EXPECT_EQ(completa.Dichiarante(), 0);
    // The public-sector data: a legal form "n.n.nn" kept whole.
    EXPECT_EQ(completa.DichiaranteExDma(), 1);
    EXPECT_EQ(Dichiarante("FormaGiuridica"), TZepCompletaDemo::FormaGiuridica);

    for (const auto &[cf, al] :
         {std::pair{"RSSMRA80A01H501U", QDate()}, std::pair{"BNCLGU80A01H501A", QDate(2024, 6, 30)}})
        Aggiungi(QStringLiteral("TEMC_COLLABORATORI"),
                 {{"CFCollaboratore", cf}, {"Dal", QDate(2024, 1, 1)}, {"Al", al}});
    EXPECT_EQ(completa.Collaboratori(), 1);
    EXPECT_EQ(Colonna(QStringLiteral("TEMC_COLLABORATORI"), QStringLiteral("Al")),
              (QStringList{"29/02/2024", "30/06/2024"}));

    Aggiungi(QStringLiteral("TEFE_FPLSEXENPALS"), {{"CFLavoratore", "RSSMRA80A01H501U"}, {"GiorniRetribuiti", 3}});
    Aggiungi(QStringLiteral("TEFE_FPLSEXENPALS"), {{"CFLavoratore", "BNCLGU80A01H501A"},
                                                   {"GiorniRetribuiti", 1},
                                                   {"GiorniLavorati", "  S"},
                                                   {"GiorniTipoCopertura", "  2"}});
    Aggiungi(QStringLiteral("TEFE_FPLSEXENPALS"), {{"CFLavoratore", "VRDGPP80A01H501U"}, {"GiorniRetribuiti", 0}});
    EXPECT_EQ(completa.IscrittiFpls(), 1);
    EXPECT_EQ(Colonna(QStringLiteral("TEFE_FPLSEXENPALS"), QStringLiteral("GiorniLavorati")),
              (QStringList{"SSS" + QString(26, QLatin1Char(' ')), "  S", ""}));
    EXPECT_EQ(Colonna(QStringLiteral("TEFE_FPLSEXENPALS"), QStringLiteral("GiorniTipoCopertura")).value(0),
              "XXX" + QString(26, QLatin1Char(' ')));

    // A whole month of the payroll's 30 days is every day of February, and
    // its paid and contributed days are February's; more than a whole month
    // cannot be laid out.
    Aggiungi(QStringLiteral("TEFE_FPLSEXENPALS"),
             {{"CFLavoratore", "BNCMRA85M41F205D"}, {"GiorniRetribuiti", 30}, {"GiorniContribuiti", 30}});
    EXPECT_EQ(completa.IscrittiFpls(), 1);
    const QString fpls = QStringLiteral("TEFE_FPLSEXENPALS");
    EXPECT_EQ(Colonna(fpls, QStringLiteral("GiorniLavorati")).value(3), QString(29, QLatin1Char('S')));
    EXPECT_EQ(Colonna(fpls, QStringLiteral("GiorniTipoCopertura")).value(3), QString(29, QLatin1Char('X')));
    EXPECT_EQ(Colonna(fpls, QStringLiteral("GiorniRetribuiti")).value(3), QStringLiteral("29"));
    EXPECT_EQ(Colonna(fpls, QStringLiteral("GiorniContribuiti")).value(3), QStringLiteral("29"));
    Aggiungi(QStringLiteral("TEFE_FPLSEXENPALS"),
             {{"CFLavoratore", "RSSMRA80A01H501U"}, {"Cognome", "ROSSI"}, {"Nome", "MARIO"}, {"GiorniRetribuiti", 31}});
    try {
        completa.IscrittiFpls();
        ADD_FAILURE() << "31 days in February";
    } catch (const EUqError &e) {
        EXPECT_EQ(e.message(), TZepCompletaDemo::MsgGiorniRetribuiti.arg("ROSSI", "MARIO").arg(31).arg(29));
    }
}

TEST_F(CompletaDemo, OnlyTheFundRowsThatStopWithoutSayingWhy)
{
    const QDate fine(2024, 3, 20);
    for (const auto &[data, sospensione] : {std::pair{fine, ""}, std::pair{fine, "2"}, std::pair{QDate(), ""}})
        Aggiungi(TZepDma::TabellaE1, {{"IAFIID", 1},
                                      {"DT_E1XXX009_DFINE_CONTRIBUZIONI", data},
                                      {"NP_E1XXX010_MOTIVO_SOSPENSIONE", sospensione}});
    EXPECT_EQ(TZepCompletaDemoDma(store).CessazioniE1(), 1);
    EXPECT_EQ(Colonna(TZepDma::TabellaE1, QStringLiteral("NP_E1XXX011_TIPO_CESSAZIONE")),
              (QStringList{TZepCompletaDemoDma::TipoCessazioneE1, "", ""}));
    EXPECT_EQ(TZepCompletaDemoDma(store).CessazioniE1(), 0);
}
