#pragma once
// The start of a declaration program (zepUni, zepdb, zep): the window
// classes registered by name, then the application-wide modules and windows
// created in their fixed order, the main window shown (it opens the
// archive) and the message loop.
//
// Every program creates, in this order: the payroll connection module
// TdmwunConnessione, the parameters module TdmWunParams, the command
// registry TdmZepAttivazioni, the main window TfmZepMain, the declaration
// print form TfmZepReport, the small alignment window TfmZepKax and the
// search window TfmTovRicerca; then what its own start-up adds
// (CreaModuli). The objects live until the program ends and are destroyed
// in the reverse order of their creation.
#include "ZepUMainState.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>

class QApplication;
class QCoreApplication;
class TdmWunParams;
class TdmZepAttivazioni;
class TdmwunConnessione;
class TfmZepKax;
class TfmZepReport;
class TfmZepMain;

namespace platform {
class TerminationSignals;
} // namespace platform

// What a program registers before anything runs, in one table read both
// ways: forward at start-up, backward at the end. Each entry carries its own
// undoing, so that nothing registered outlives the program's registrations.
class TZepRegistrazioni {
public:
    struct Voce {
        void (*Registra)();
        void (*Annulla)();
    };
    // A window class that commands open by name.
    template <class T>
    static constexpr Voce Finestra()
    {
        return {&T::RegisterClass, &T::UnregisterClass};
    }
    // A dialog that the payroll rules show through their hook.
    template <class T>
    static constexpr Voce Dialogo()
    {
        return {&T::Installa, &T::Disinstalla};
    }

    TZepRegistrazioni(std::initializer_list<Voce> voci);
    // The entries of `prime`, then `altre`.
    TZepRegistrazioni(const TZepRegistrazioni &prime, std::initializer_list<Voce> altre);

    void Registra() const;
    void Annulla() const;

private:
    QList<Voce> m_voci;
};

class TZepAvvio {
public:
    explicit TZepAvvio(TZepProgramma programma);
    virtual ~TZepAvvio();
    TZepAvvio(const TZepAvvio &) = delete;
    TZepAvvio &operator=(const TZepAvvio &) = delete;

    // Qt's own Italian texts (the file dialog, the buttons of the message
    // boxes), from Qt's translations folder, and the program's own for the
    // texts of Qt's print and file dialogs that those lack; false, said on
    // the standard error, when Qt's are not installed (Qt's windows then
    // stay mostly English).
    static bool CaricaTraduzioni(QCoreApplication &app);
    // The window classes every program opens by name, the declaration
    // tables' layouts and the payroll dialogs' hooks: the start of each
    // program's table.
    static const TZepRegistrazioni &RegistrazioniComuni();

    const TZepProgramma &Programma() const { return m_programma; }

    // Creates the modules and windows in order; the main window takes its
    // base folder from `cartellaProgramma` (empty: the running program's
    // folder).
    void Crea(const QString &cartellaProgramma = {});
    // The class names created so far, in creation order.
    const QStringList &Creati() const { return m_creati; }

    // SIGTERM and SIGINT end the program through the main window
    // (TfmZepMain::TerminaSuSegnale), from the message loop.
    void GestisciSegnali();

    // Shows the main window (which opens the archive); 0 when the program
    // may run, the exit status when the start was refused. Opening the
    // archive loads the Firebird engine, whose client library puts in its
    // own handlers of SIGTERM and SIGINT: ours are put back over them.
    int Mostra();

    // Signals, creation, show, message loop; answers the exit status. Once
    // the archive is open and the signals are ours, `lineaPronto` is written
    // to the standard output (for whoever started the program and waits for
    // it to be up). A module that cannot even be created is told to the
    // user and the status is 1.
    int Esegui(QApplication &app, const char *lineaPronto);
    // The application's name and version, Qt's Italian texts and the
    // desktop services: what each program's main block sets first.
    static void PreparaApplicazione(QApplication &app, const QString &nome, const QString &versione);

    TfmZepMain *MainWindow() const { return m_main.get(); }

protected:
    // What the program creates after the search window, in its order.
    virtual void CreaModuli() {}
    void Creato(const QString &classe) { m_creati << classe; }
    // The command registry, for the commands a program's own modules run.
    TdmZepAttivazioni &Attivazioni() const { return *m_attivazioni; }

private:
    TZepProgramma m_programma;
    QStringList m_creati;
    std::unique_ptr<TdmwunConnessione> m_connessione;
    std::unique_ptr<TdmWunParams> m_params;
    std::unique_ptr<TdmZepAttivazioni> m_attivazioni;
    std::unique_ptr<TfmZepMain> m_main;
    std::unique_ptr<TfmZepReport> m_report;
    std::unique_ptr<TfmZepKax> m_kax;
    std::unique_ptr<platform::TerminationSignals> m_segnali;
};
