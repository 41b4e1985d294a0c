// "Importa" over the demo month with the declarant asked for and "Sovrascrivi
// sempre": the declarant row of the year (month 0) from the employer's main
// site, and every collaborator's rows, once however often the month is
// imported.
#include "ZepCParametri.h"
#include "ZepImportDemoSupport.h"
#include "ZepImportSupport.h"
#include "zepCImpSostituto.h"

#include "Field.h"
#include "TovUCdsUtil.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>

using namespace importtest;
using platform::DataSet;
using platform::FieldType;

namespace {
// Twenty demo persons: three collaborators, every second without
// withholding.
class ZepImportaCollaboratori : public ImportTest {
protected:
    ZepImportaCollaboratori() : ImportTest(2 * payroll::DemoArchive::MinPersons) {}
};

std::string elenco(const QSet<QString> &codici)
{
    QStringList l = codici.values();
    l.sort();
    return l.join(QStringLiteral(", ")).toStdString();
}
} // namespace

TEST_F(ZepImportaCollaboratori, TheMonthsImportWritesTheDeclarantAndEveryCollaboratorOnce)
{
    TUqQueryCollection sedi;
    TovQueryText().AssignCommand(QStringLiteral("QRY_SED"), sedi, QStringLiteral("EXECUTE"));
    sedi.params().paramByName(QStringLiteral("IDWGID")).setValue(1);
    sedi.Open();
    ASSERT_FALSE(sedi.isEmpty());
    QTemporaryDir cartella;
    DataSet uffici;
    uffici.setFieldDefs({{"Codice", FieldType::String, 4}, {"PROVINCIA", FieldType::String, 2}});
    uffici.createDataSet();
    uffici.appendRecord({"1300", sedi.fieldValue("SPROSIGLA")});
    imp.FileSediInps = QDir(cartella.path()).filePath(TZepImpSostituto::TabellaSediInps);
    TTovCds::SaveToFile(uffici, imp.FileSediInps);
    imp.Imposta(&parametri, &sedi, {});
    parametro(QStringLiteral("SOSTITUTO"), true);

    // The collaborators among the month's candidates, by fiscal code; the
    // provisional code of one typed with a trailing blank must not keep a
    // re-import from replacing its rows.
    tdb.db().execute("UPDATE TANA_ANAGRAFICHE SET SANACODFISCALE = '12345678901 ' WHERE IANAID = (SELECT "
                     "MIN(M.IANAID) FROM TACOM_COMPENSI ACOM JOIN TANAPER_POSIZIONI P ON P.IANAPERID = "
                     "ACOM.IANAPERID JOIN TANACAG_MATRICOLE M ON M.IANACAGID = P.IANACAGID WHERE ACOM.ITNOID = 11)");
    ASSERT_TRUE(imp.Prepara());
    QSet<QString> attesi;
    platform::SqlQuery q(tdb.db());
    q.setSql("SELECT ANA.SANACODFISCALE FROM TACOM_COMPENSI ACOM JOIN TANAPER_POSIZIONI P ON P.IANAPERID = "
             "ACOM.IANAPERID JOIN TANACAG_MATRICOLE M ON M.IANACAGID = P.IANACAGID JOIN TANA_ANAGRAFICHE ANA ON "
             "ANA.IANAID = M.IANAID WHERE ACOM.IACOMID = :A AND ACOM.ITNOID = 11");
    for (imp.xqcMultiSelect.first(); !imp.xqcMultiSelect.eof(); imp.xqcMultiSelect.next()) {
        q.bind("A", imp.xqcMultiSelect.fieldValue("IACOMID"));
        q.open();
        if (!q.eof() && !q.value(0).toString().trimmed().isEmpty())
            attesi << q.value(0).toString().trimmed();
        q.close();
    }
    ASSERT_GE(attesi.size(), 2); // one with withholding, one without
    ASSERT_TRUE(attesi.contains("12345678901"));

    QList<Riga> prima;
    for (int volta = 0; volta < 2; ++volta) {
        SCOPED_TRACE(volta);
        const TwunFiscImpMultiSelect::Esito esito = importa({});
        // The demo's mother of 2024: the declaration refuses her relief.
        EXPECT_EQ(esito.falliti, 1);

        DataSet dichiarante;
        store.LoadPeriod(dichiarante, TZepParametri::TabellaDichiarante, 2024, 0);
        ASSERT_EQ(dichiarante.recordCount(), 1);
        EXPECT_EQ(dichiarante.fieldByName("CFAzienda").asString(), sedi.fieldValue("SSEDNOMCODICEFISC").toString());
        EXPECT_EQ(dichiarante.fieldByName("SedeINPS").asString(), "1300");

        const QList<Riga> righe = this->righe(TZepImpMultiSelect::TabellaCollaboratori, "AnnoMeseDenuncia", "2024-03");
        QSet<QString> scritti;
        int agevolati = 0;
        for (const Riga &r : righe) {
            scritti << r.value("CFCollaboratore").toString();
            EXPECT_FALSE(r.value("TipoRapporto").toString().isEmpty());
            agevolati += r.value("TipoAgevolazione").toString() == "04";
        }
        EXPECT_EQ(elenco(scritti), elenco(attesi));
        EXPECT_GT(agevolati, 0);
        EXPECT_LT(agevolati, righe.size());
        if (volta == 0)
            prima = righe;
        else
            EXPECT_EQ(righe.size(), prima.size());
    }
}

// A fiscal code corrected in the payroll (the payroll's registry row, the
// same person): the rows under the old code are the person's, which
// "Chiedi conferma" names with the new code and replaces, an employee's as
// a collaborator's; the month keeps as many rows.
TEST_F(ZepImportaCollaboratori, AFiscalCodeCorrectedInThePayrollIsThePersonsRows)
{
    importa({});
    const auto tutte = [this] {
        return righe(TZepImpMultiSelect::TabellaDipendenti, "AnnoMeseDenuncia", "2024-03").size()
               + righe(TZepImpMultiSelect::TabellaCollaboratori, "AnnoMeseDenuncia", "2024-03").size();
    };
    const qsizetype prima = tutte();
    for (const auto &[tabella, campo] : {std::pair{TZepImpMultiSelect::TabellaDipendenti, "CFLavoratore"},
                                         std::pair{TZepImpMultiSelect::TabellaCollaboratori, "CFCollaboratore"}}) {
        SCOPED_TRACE(campo);
        QString vecchio;
        for (const Riga &r : righe(tabella, "AnnoMeseDenuncia", "2024-03"))
            if (vecchio.isEmpty() && r.value(campo).toString().size() == 16)
                vecchio = r.value(campo).toString();
        ASSERT_FALSE(vecchio.isEmpty());
        platform::SqlQuery q(tdb.db());
        q.setSql("SELECT MIN(ACOM.IACOMID) FROM TACOM_COMPENSI ACOM JOIN TANAPER_POSIZIONI P ON P.IANAPERID = "
                 "ACOM.IANAPERID JOIN TANACAG_MATRICOLE M ON M.IANACAGID = P.IANACAGID JOIN TANA_ANAGRAFICHE ANA ON "
                 "ANA.IANAID = M.IANAID WHERE ANA.SANACODFISCALE = :CF AND ACOM.IANFID = 55");
        q.bind("CF", vecchio);
        q.open();
        const int acom = q.value(0).toInt();
        q.close();
        const qsizetype suoi = righe(tabella, campo, vecchio).size();
        const QString nuovo = imptest::CorreggiCodiceFiscale(tdb.db(), vecchio);
        imp.Sovrascrittura = TwunFiscImpMultiSelect::ChiediConferma;
        for (const bool si : {false, true}) {
            services->replyToMessages({si ? platform::Yes : platform::No});
            const int domande = services->messages().size();
            importa({acom});
            const QString domanda = services->messageTexts().value(domande);
            EXPECT_TRUE(domanda.contains(TwunFiscImpMultiSelect::MsgGiaPresente) && domanda.contains(vecchio)
                        && domanda.contains(nuovo))
                << domanda.toStdString();
            EXPECT_EQ(righe(tabella, campo, vecchio).size(), si ? 0 : suoi);
            EXPECT_EQ(righe(tabella, campo, nuovo).size(), si ? suoi : 0);
            EXPECT_EQ(tutte(), prima);
        }
    }
}
