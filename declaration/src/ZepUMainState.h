#pragma once
// What the windows shared by the declaration programs need of the program's
// main window: its base folder, the model date, the year data folder, the
// declaration-table store, the status panel and the caption, and the
// program's own folders, title and accepted years.
//
// The shared windows live in this library and must not know the main window
// of any one program: each program's main window implements IZepMainState
// and makes itself the current one (SetCurrent). A shared window finds it
// through its owner, or else as the current one (Require).
#include <QString>
#include <functional>
#include <memory>

class QObject;
class ITovDBCds;
class IZepSezioneDenuncia;

// The declaration a program writes: the current program's UniEmens, or the
// earlier program's E-Mens in its database form or its local-file form.
// The shared import makes its rows for it.
enum class TZepDenuncia { UniEmens, EMens, EMensLocale };

// The program a shared window serves.
struct TZepProgramma {
    // The application title, also the first part of the main window's
    // caption ("zepUni - Denunce UniEmens").
    QString Titolo;
    // The resource folder relative to the base folder ("USR/UniEmens/Res/"):
    // the working-period file, the news marker, the instructions.
    QString CartellaRisorse;
    // The year data folder is this + the year + "/" ("USR/UniEmensDati/UniEmens").
    QString PrefissoCartellaAnno;
    // Refuses, with EUqError, a financial year the program does not handle.
    std::function<void(int anno)> ControllaAnno;
    // The local-file form of the earlier program: the declaration tables are
    // files of the year data folder, made from the empty ones of this
    // folder relative to the base folder ("USR/ZEP/DbIniziale/"); empty: the
    // program keeps its tables in the archive's store.
    QString CartellaIniziale;
    bool FileLocali() const { return !CartellaIniziale.isEmpty(); }
    TZepDenuncia Denuncia = TZepDenuncia::UniEmens;
    // The program's own section of its declaration print (print/zepCReport),
    // filled by the program that has one (zepUni: its public-sector
    // persons); none: the print has no such section.
    std::function<std::unique_ptr<IZepSezioneDenuncia>()> SezioneDenuncia;
};

class IZepMainState {
public:
    virtual ~IZepMainState();

    virtual const TZepProgramma &Programma() const = 0;

    // The folder one level above the program's folder, ending with "/":
    // every local path of the program is this plus a relative path.
    virtual QString CartellaBase() const = 0;

    // The "Data modello" of the working-period dialog; empty until that
    // dialog is first closed.
    virtual QString DataModello() const = 0;
    virtual void SetDataModello(const QString &data) = 0;

    // "USR/UniEmensDati/UniEmens2024/", relative to the base folder; empty
    // until a working year is chosen.
    virtual QString CartellaDatiAnno() const = 0;
    virtual void SetCartellaDatiAnno(const QString &cartella) = 0;

    // The one declaration-table store of the run (never nullptr).
    virtual ITovDBCds &Store() = 0;

    // Status panel 0: the working period.
    virtual void SetTestoStato(const QString &testo) = 0;
    // The main window's caption.
    virtual void SetTitolo(const QString &titolo) = 0;

    // The main window that is current (nullptr when none).
    static IZepMainState *Current();
    static void SetCurrent(IZepMainState *state);
    // The state of `owner` when it (or one of its parents) is a main
    // window, else the current one; an assertion failure when there is
    // none.
    static IZepMainState &Require(QObject *owner);
};

// The state of a program without a main window (the tools that run the
// program's rules from the command line): the base folder is the one above
// the running program's folder, the texts a window would show are only kept.
class TZepStatoSenzaFinestra : public IZepMainState {
public:
    TZepStatoSenzaFinestra(ITovDBCds &store, TZepProgramma programma);
    // The folder above the running program's, ending with "/".
    static QString CartellaBaseProgramma();

    const TZepProgramma &Programma() const override { return m_programma; }
    QString CartellaBase() const override { return m_base; }
    QString DataModello() const override { return m_dataModello; }
    void SetDataModello(const QString &data) override { m_dataModello = data; }
    QString CartellaDatiAnno() const override { return m_cartellaDatiAnno; }
    void SetCartellaDatiAnno(const QString &cartella) override { m_cartellaDatiAnno = cartella; }
    ITovDBCds &Store() override { return m_store; }
    void SetTestoStato(const QString &) override {}
    void SetTitolo(const QString &) override {}

private:
    ITovDBCds &m_store;
    TZepProgramma m_programma;
    QString m_base, m_dataModello, m_cartellaDatiAnno;
};
