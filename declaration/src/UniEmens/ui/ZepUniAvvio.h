#pragma once
// The start of zepUni (TZepAvvio, ZepUAvvio.h): after the modules and
// windows every declaration program creates, the overtime module, the
// public-sector check dialog, the "Bonus Irpef" dialog and the
// contract-vacancy module.
#include "ZepUAvvio.h"

#include <QString>
#include <memory>

class QApplication;
class TdmWunIvc;
class TdmWunOreEccedenti;
class TfmWunDaPagare66;
class TdmZepDmaImporta;
class TfmZepDmaInfo;

class TZepUniAvvio : public TZepAvvio {
public:
    // The application's title: "zepUni - Denunce UniEmens", the main
    // window's caption.
    static QString TitoloApplicazione();
    // The program's version: the catalogue's row "VER_ZEPUNI" names the
    // lowest version it serves.
    static const QString VersioneProgramma;

    TZepUniAvvio();
    ~TZepUniAvvio() override;

    // What the program registers before anything runs: the window classes
    // that commands open by name, the folder of the declaration tables'
    // layouts (installed into the archive when it is opened) and the
    // payroll dialogs' hooks; Registra reads the table forward,
    // AnnullaRegistrazioni backward.
    static const TZepRegistrazioni &Registrazioni();
    static void Registra();
    static void AnnullaRegistrazioni();

    // The whole program: title, the desktop services, classes, signals,
    // creation, show, message loop; answers the exit status. Once the
    // archive is open, ReadyLine is written to the standard output.
    static int Esegui(QApplication &app);
    static const char *const ReadyLine;

protected:
    void CreaModuli() override;

private:
    std::unique_ptr<TdmWunOreEccedenti> m_oreEccedenti;
    std::unique_ptr<TdmZepDmaImporta> m_dmaImporta;
    std::unique_ptr<TfmZepDmaInfo> m_dmaInfo;
    std::unique_ptr<TfmWunDaPagare66> m_daPagare66;
    std::unique_ptr<TdmWunIvc> m_ivc;
};
