#pragma once
// What a run of the month's imports leaves to the user before "Crea file
// telematico", completed as the windows would complete it, for a demo or
// benchmark archive (zepDemoDeclaration --completa-demo): each table of the
// working period is loaded, each row still missing something is edited,
// checked as its window checks it before a post, and the table is saved as
// its window saves it.
//
//   "Dichiarante"             the fiscal code of the person who sends the
//                             file and the INPS office, where empty (the
//                             offices' table is shipped empty, so the import
//                             cannot fill the office): the demo's own,
//                             made-up values below; with public-sector
//                             positions also its public-sector data (INPDAP
//                             code, legal form, the work site's municipality
//                             code and CAP, ISTAT code)
//   "Collaboratori/Altri"     the end ("Al") of every collaboration left
//                             open: the last day of the working month
//   "Iscritti FPLS ex Enpals" the worked days of every worker with paid
//                             days and none worked: as many days as are
//                             paid, from the 1st, each worked ("S") and
//                             fully paid ("X"); a whole month paid as the
//                             payroll counts it (30 days) in a shorter
//                             month is every day of the month, and its
//                             paid and contributed days become the month's
//                             days, as the window's check asks the user
//
// Rows that already hold their values are left as they are.
#include <QString>

class ITovDBCds;

class TZepCompletaDemo {
public:
    // The demo's person who sends the file (a fiscal code with its right
    // control character, of a person born in Bologna like the demo
    // employer's site) and its INPS office (a made-up code: the real list
    // is not shipped).
    static QString CFPersonaMittente();
    static const QString SedeINPS;             // "9999"
    static const QString MsgNessunDichiarante; // the year has no declarant row to complete
    static const QString MsgGiorniRetribuiti;  // more paid days than a whole month

    // The store positioned on the working period (not owned).
    explicit TZepCompletaDemo(ITovDBCds &store);

    // Each answers how many rows it completed. Dichiarante raises
    // MsgNessunDichiarante when the year has no row: the import's declarant
    // step makes it.
    int Dichiarante();
    // The declarant's public-sector data, where empty: the demo's own.
    int DichiaranteExDma();
    static const QString CodiceINPDAP;   // "12345"
    static const QString FormaGiuridica; // "2.4.30" (a public foundation)
    static const QString CAP;            // "40121"
    static const QString ISTAT;          // "037006"
    int Collaboratori();
    int IscrittiFpls();

private:
    ITovDBCds &m_store;
};
