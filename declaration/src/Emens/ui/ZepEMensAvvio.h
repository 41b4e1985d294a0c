#pragma once
// The start of the earlier program in its two forms (TZepAvvio,
// ZepUAvvio.h): zepdb, the database form (financial years 2008 and 2009),
// adds the overtime module after the modules and windows every declaration
// program creates; zep, the local-file form (2005 to 2007), adds nothing and
// keeps its declaration tables in the files of the year folder.
#include "ZepUAvvio.h"

#include <memory>

class QApplication;
class TdmWunOreEccedenti;

class TZepEMensAvvio : public TZepAvvio {
public:
    enum class Forma { Database, FileLocali };

    static const QString VersioneProgramma;
    static const char *const ReadyLineDatabase;   // "zepdb: archivio aperto, programma avviato"
    static const char *const ReadyLineFileLocali; // "zep: archivio aperto, programma avviato"

    explicit TZepEMensAvvio(Forma forma);
    ~TZepEMensAvvio() override;

    // What both forms register: the shared table and the E-Mens file
    // window "TfmZepFile"; Registra reads it forward, AnnullaRegistrazioni
    // backward.
    static const TZepRegistrazioni &Registrazioni();
    static void Registra();
    static void AnnullaRegistrazioni();

    // The whole program of the form: as TZepUniAvvio::Esegui.
    static int Esegui(QApplication &app, Forma forma);

protected:
    void CreaModuli() override;

private:
    Forma m_forma;
    std::unique_ptr<TdmWunOreEccedenti> m_oreEccedenti;
};
