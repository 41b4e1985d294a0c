// The rules of the working-period dialog, without the dialog: the years it
// refuses, what taking a period sets, what the dialog opens with, and the
// year data folder with the declarant carried over.
#include "ZepWorkingPeriodSupport.h"

#include "DataSetFile.h"
#include "Exceptions.h"
#include "TovUCdsUtil.h"

#include <QFile>
#include <QFileInfo>

using namespace periodtest;

TEST_F(WorkingPeriodTest, YearsBefore2010AreRefusedNamingTheEarlierPrograms)
{
    TZepParametri logic(main);
    const QString before2008 = QStringLiteral(
        "Per gestire i dati degli anni finanziari precedenti al 2008 eseguire il programma da:\n\n");
    const QString before2010 = QStringLiteral(
        "Per gestire i dati degli anni finanziari precedenti al 2010 utilizzare il programma \"zepdb - Denunce "
        "E-Mens\".");

    EXPECT_TRUE(refusal(logic, QStringLiteral("2007")).startsWith(before2008));
    // The program to start as it is started here, not a Windows menu.
    EXPECT_TRUE(refusal(logic, QStringLiteral("2007")).contains(QStringLiteral("bash scripts/run.sh zep ")));
    EXPECT_FALSE(refusal(logic, QStringLiteral("2007")).contains(QStringLiteral("Start >")));
    EXPECT_TRUE(refusal(logic, QStringLiteral("1999")).startsWith(before2008));
    // What is not a year is refused as such, naming the box.
    const QString anno = QStringLiteral("Campo \"Anno finanziario\": ");
    EXPECT_EQ(refusal(logic, QStringLiteral("ABCD")), anno + QStringLiteral("\"ABCD\" non è un anno: servono 4 cifre"));
    EXPECT_EQ(refusal(logic, QStringLiteral("20")), anno + QStringLiteral("\"20\" non è un anno: servono 4 cifre"));
    EXPECT_EQ(refusal(logic, QStringLiteral(" ")), anno + QStringLiteral("indicare l'anno: servono 4 cifre"));
    EXPECT_EQ(refusal(logic, QStringLiteral("2008")), before2010);
    EXPECT_EQ(refusal(logic, QStringLiteral("2009")), before2010);
    EXPECT_EQ(refusal(logic, QStringLiteral("2010")), QString());
    EXPECT_EQ(refusal(logic, QStringLiteral("9999")), QString()); // no upper bound
}

TEST_F(WorkingPeriodTest, YearWithBlanksGivesTheYearNumber)
{
    TZepParametri logic(main);
    EXPECT_EQ(refusal(logic, QStringLiteral(" 2011")), QString());
    logic.Applica(QStringLiteral(" 2011"), 7, QStringLiteral("01/08/2011"));
    EXPECT_EQ(AnnoDenuncia, QStringLiteral("2011"));
    EXPECT_EQ(PeriodoDenuncia(), QStringLiteral("2011-07"));
    EXPECT_TRUE(PeriodoValido(PeriodoDenuncia()));
    EXPECT_EQ(main.cartellaDatiAnno, QStringLiteral("USR/UniEmensDati/UniEmens2011/"));
    EXPECT_EQ(periodFile(main).first, QStringLiteral("2011"));
    EXPECT_EQ(main.titolo, QStringLiteral("zepUni - Denunce UniEmens (luglio 2011)"));
}

TEST_F(WorkingPeriodTest, OpeningShowsTheFileOrTheDefaults)
{
    TZepParametri logic(main);
    const QDate today(2024, 5, 6);

    // No file (a fresh installation): the current year and January.
    TZepParametri::Scelta s = logic.Iniziale(today);
    EXPECT_EQ(s.anno, QStringLiteral("2024"));
    EXPECT_EQ(s.mese, 1);
    EXPECT_EQ(s.dataModello, today);
    EXPECT_TRUE(services->messages().isEmpty());

    writePeriodFile(main, QStringLiteral("2015"), QStringLiteral("09"));
    s = logic.Iniziale(today);
    EXPECT_EQ(s.anno, QStringLiteral("2015"));
    EXPECT_EQ(s.mese, 9);

    // A month that is not 1 to 12 falls back to January; the year stays.
    for (const QString &bad : {QStringLiteral("13"), QStringLiteral("00"), QStringLiteral("x"), QString()}) {
        writePeriodFile(main, QStringLiteral("2016"), bad);
        s = logic.Iniziale(today);
        EXPECT_EQ(s.anno, QStringLiteral("2016")) << bad.toStdString();
        EXPECT_EQ(s.mese, 1) << bad.toStdString();
    }
    // An empty year: the current one.
    writePeriodFile(main, QString(), QStringLiteral("04"));
    s = logic.Iniziale(today);
    EXPECT_EQ(s.anno, QStringLiteral("2024"));
    EXPECT_EQ(s.mese, 4);

    // The main window's model date wins over today.
    main.dataModello = QStringLiteral("28/02/2023");
    EXPECT_EQ(logic.Iniziale(today).dataModello, QDate(2023, 2, 28));
    EXPECT_TRUE(services->messages().isEmpty());
}

TEST_F(WorkingPeriodTest, FileFoundWhateverTheCaseOfItsFolders)
{
    QDir().mkpath(main.path(QStringLiteral("usr/uniemens/res")));
    DataSet ds;
    ds.setFieldDefs(
        {{QStringLiteral("SEAMANNOFIN"), FieldType::String, 4}, {QStringLiteral("SEAMMESE"), FieldType::String, 2}});
    ds.createDataSet();
    ds.appendRecord({QStringLiteral("2019"), QStringLiteral("06")});
    TTovCds::SaveToFile(ds, main.path(QStringLiteral("usr/uniemens/res/TEAM_ANNOMESE.cds")));

    TZepParametri logic(main);
    EXPECT_EQ(logic.FilePeriodo(), main.path(QStringLiteral("usr/uniemens/res/TEAM_ANNOMESE.cds")));
    EXPECT_EQ(logic.Iniziale().anno, QStringLiteral("2019"));
    EXPECT_EQ(logic.Iniziale().mese, 6);
}

TEST_F(WorkingPeriodTest, APeriodFileLeftOnlyAsItsBackupIsTakenFromIt)
{
    // An interrupted save of an earlier version left the period only in the
    // backup: the user's period is not lost, and the user is told.
    writePeriodFile(main, QStringLiteral("2018"), QStringLiteral("11"));
    const QString file = main.path(QStringLiteral("USR/UniEmens/Res/TEAM_ANNOMESE.cds"));
    ASSERT_TRUE(QFile::rename(file, TTovCds::BackupName(file)));
    TZepParametri logic(main);
    const TZepParametri::Scelta s = logic.Iniziale(QDate(2024, 5, 6));
    EXPECT_EQ(s.anno, QStringLiteral("2018"));
    EXPECT_EQ(s.mese, 11);
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_TRUE(services->messages().at(0).text.contains(QStringLiteral("TEAM_ANNOMESE.BAK")));
}

TEST_F(WorkingPeriodTest, DeclarantOfTheYearIsKeptAndAnEmptyOneIsNotCopied)
{
    // The year already has its declarant: nothing is copied over it.
    saveDeclarant(2020, QStringLiteral("11111111111"), QStringLiteral("Vecchia"));
    saveDeclarant(2021, QStringLiteral("22222222222"), QStringLiteral("Nuova"));
    TZepParametri logic(main);
    logic.Applica(QStringLiteral("2021"), 3, QString());
    ASSERT_EQ(declarants(2021).size(), 1);
    EXPECT_TRUE(declarants(2021).at(0).startsWith(QStringLiteral("22222222222|Nuova|")));
    EXPECT_TRUE(QFileInfo(main.path(QStringLiteral("USR/UniEmensDati/UniEmens2021"))).isDir());

    // The previous year has a declarant without fiscal code: nothing to carry.
    saveDeclarant(2014, QString(), QStringLiteral("Senza codice"));
    logic.Applica(QStringLiteral("2015"), 3, QString());
    EXPECT_TRUE(declarants(2015).isEmpty());
    // No previous declarant at all.
    logic.Applica(QStringLiteral("2030"), 1, QString());
    EXPECT_TRUE(declarants(2030).isEmpty());
    EXPECT_TRUE(QFileInfo(main.path(QStringLiteral("USR/UniEmensDati/UniEmens2030"))).isDir());
}
