#pragma once
// The start of zepUni: the window classes registered by name, then the
// application-wide modules and windows created in their fixed order, the
// main window shown (it opens the archive) and the message loop.
//
// The objects live until the program ends and are destroyed in the reverse
// order of their creation.
#include <QString>
#include <QStringList>
#include <memory>

class QApplication;
class QCoreApplication;
class TdmWunParams;
class TdmWunIvc;
class TdmWunOreEccedenti;
class TdmZepAttivazioni;
class TdmwunConnessione;
class TfmZepKax;
class TfmZepReport;
class TfmWunDaPagare66;
class TdmZepDmaImporta;
class TfmZepDmaInfo;
class TfmZepMain;

namespace platform {
class TerminationSignals;
} // namespace platform

class TZepUniAvvio {
public:
    // The application's title: "zepUni - Denunce UniEmens", the main
    // window's caption.
    static QString TitoloApplicazione();
    // Qt's own Italian texts (the file dialog, the buttons of the message
    // boxes), from Qt's translations folder; false, said on the standard
    // error, when they are not installed (Qt's windows then stay English).
    static bool CaricaTraduzioni(QCoreApplication &app);
    // The program's version: the catalogue's row "VER_ZEPUNI" names the
    // lowest version it serves.
    static const QString VersioneProgramma;

    TZepUniAvvio();
    ~TZepUniAvvio();
    TZepUniAvvio(const TZepUniAvvio &) = delete;
    TZepUniAvvio &operator=(const TZepUniAvvio &) = delete;

    // What the program registers before anything runs: the window classes
    // that commands open by name, and the folder of the declaration tables'
    // layouts (installed into the archive when it is opened).
    static void Registra();
    static void AnnullaRegistrazioni();

    // Creates the modules and windows in order (see the .cpp); the main
    // window takes its base folder from `cartellaProgramma` (empty: the
    // running program's folder).
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

    // The whole program: title, the desktop services, classes, signals,
    // creation, show, message loop; answers the exit status. Once the
    // archive is open and the signals are ours, the line of ReadyLine is
    // written to the standard output (for whoever started the program and
    // waits for it to be up).
    static int Esegui(QApplication &app);
    static const char *const ReadyLine;

    TfmZepMain *MainWindow() const { return m_main.get(); }

private:
    QStringList m_creati;
    std::unique_ptr<TdmwunConnessione> m_connessione;
    std::unique_ptr<TdmWunParams> m_params;
    std::unique_ptr<TdmZepAttivazioni> m_attivazioni;
    std::unique_ptr<TfmZepMain> m_main;
    std::unique_ptr<TfmZepReport> m_report;
    std::unique_ptr<TfmZepKax> m_kax;
    std::unique_ptr<TdmWunOreEccedenti> m_oreEccedenti;
    std::unique_ptr<TdmZepDmaImporta> m_dmaImporta;
    std::unique_ptr<TfmZepDmaInfo> m_dmaInfo;
    std::unique_ptr<TfmWunDaPagare66> m_daPagare66;
    std::unique_ptr<TdmWunIvc> m_ivc;
    std::unique_ptr<platform::TerminationSignals> m_segnali;
};
