#pragma once
// The rules of the working-period dialog "Parametri" (ZepFParam.h), without
// any display: the tests drive them directly and the dialog calls them.
#include "DataSet.h"

#include <QDate>
#include <QString>
#include <QStringList>

class IZepMainState;
struct TZepProgramma;

// Titles of the three declaration programs, as the refusals name them.
extern const QString ZepTitoloUniEmens;    // the current program (2010 on)
extern const QString ZepTitoloEMens;       // the earlier program, database form (2008, 2009)
extern const QString ZepTitoloEMensLocale; // the earlier program, local-file form (2005 to 2007)
// How the local-file form is started, as the refusal of the years before
// 2008 names it.
extern const QString ZepAvvioEMensLocale;

class TZepParametri {
public:
    explicit TZepParametri(IZepMainState &main);

    // "gennaio" ... "dicembre".
    static const QStringList &Mesi();
    static const QString FileAnnoMese;       // "TEAM_ANNOMESE.cds"
    static const QString TabellaDichiarante; // "TAMM_AMMINISTRAZIONE"

    // The current program's years: below 2008 the local-file form of the
    // earlier program, below 2010 its database form (EUqError naming them).
    static void ControllaAnnoUniEmens(int anno);
    // The program of a main window whose profile gives no title, folders or
    // year check: the current program's.
    static TZepProgramma ProgrammaUniEmens();
    // The earlier program, database form: 2008 and 2009 (below, the
    // local-file form; above, the current program).
    static void ControllaAnnoEMens(int anno);
    static TZepProgramma ProgrammaEMens();
    // The earlier program, local-file form: 2005 to 2007 (below,
    // MsgAnnoEMensLocale; above, the program of the year, as the others
    // name it).
    static void ControllaAnnoEMensLocale(int anno);
    static TZepProgramma ProgrammaEMensLocale();
    static const QString MsgAnnoEMensLocale; // "Anno finanziario deve essere compreso tra 2005 e 2007"
    static const QString EtichettaAnno;      // "Anno finanziario", the year's box

    // The working-period file of the installation.
    QString FilePeriodo() const;

    // What the dialog shows when it opens.
    struct Scelta {
        QString anno; // the year edit's text
        int mese = 1; // 1 to 12
        QDate dataModello;
    };
    // The last period of the file, else the current year and January; the
    // main window's model date, else `oggi`. A missing file, a month that is
    // not 1 to 12 and an empty year fall back to those defaults; a file that
    // cannot be read is reported (message) and the defaults are used.
    Scelta Iniziale(const QDate &oggi = QDate::currentDate());

    // The year edit's text as a year: the number, blanks around it ignored;
    // 0 when it is not a number.
    static int AnnoDaTesto(const QString &testo);
    // Refuses (EUqError) a text that is not a year (four digits, blanks
    // around them ignored), naming the box, and a year the program does not
    // handle; nothing changes.
    void Controlla(const QString &annoTesto) const;
    // Takes the period: the working-period texts, the model date, the period
    // file, the status panel, the caption, the store's year and month, and
    // the year data folder (PreparaCartellaAnno). Call after Controlla.
    void Applica(const QString &annoTesto, int mese, const QString &dataModello);

    // When a working year is set: the year data folder; if it does not exist
    // yet, the declarant of the previous year is carried over to an empty
    // declarant table of the year and the folder is created.
    void PreparaCartellaAnno();
    // The local-file form's year data folder: made the first time with the
    // empty row files of the initial folder and the previous year's
    // declarant (else the empty one), then, every time, the row files
    // brought to the current structure (TZepKax::AllineaTabelleLocali). The
    // folder is made under a temporary name and renamed into place whole: a
    // copy that fails (it stops the preparation with its reason) or a
    // process killed meanwhile leaves no year folder, so the next opening
    // of the year starts it again.
    void CreaCartellaAnno();

    // "Anno/Mese Denuncia: 2010/marzo    Circolare INPS n. 152 del 22/11/2004"
    static QString TestoStato(const QString &anno, int mese);
    // "<title> (marzo 2010)"
    static QString Titolo(const QString &titoloProgramma, const QString &anno, int mese);

    // The declaration-table datasets of the declarant copy.
    platform::DataSet cdsNew;
    platform::DataSet cdsOld;

private:
    void SalvaPeriodo();

    IZepMainState &m_main;
};
