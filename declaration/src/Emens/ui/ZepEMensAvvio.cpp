#include "Emens/ui/ZepEMensAvvio.h"

#include "Emens/ui/ZepFFile.h"
#include "WunMOreEccedenti.h"
#include "ZepCParametri.h"

#include <QApplication>

const QString TZepEMensAvvio::VersioneProgramma = QStringLiteral("1.0.0");
const char *const TZepEMensAvvio::ReadyLineDatabase = "zepdb: archivio aperto, programma avviato";
const char *const TZepEMensAvvio::ReadyLineFileLocali = "zep: archivio aperto, programma avviato";

TZepEMensAvvio::TZepEMensAvvio(Forma forma)
    : TZepAvvio(forma == Forma::Database ? TZepParametri::ProgrammaEMens() : TZepParametri::ProgrammaEMensLocale()),
      m_forma(forma)
{
}

TZepEMensAvvio::~TZepEMensAvvio()
{
    m_oreEccedenti.reset();
}

const TZepRegistrazioni &TZepEMensAvvio::Registrazioni()
{
    static const TZepRegistrazioni tabella{RegistrazioniComuni(), {TZepRegistrazioni::Finestra<emens::TfmZepFile>()}};
    return tabella;
}

void TZepEMensAvvio::Registra()
{
    Registrazioni().Registra();
}

void TZepEMensAvvio::AnnullaRegistrazioni()
{
    Registrazioni().Annulla();
}

void TZepEMensAvvio::CreaModuli()
{
    // 8. The overtime module, in the database form only.
    if (m_forma != Forma::Database)
        return;
    m_oreEccedenti = std::make_unique<TdmWunOreEccedenti>();
    Creato(QStringLiteral("TdmWunOreEccedenti"));
}

int TZepEMensAvvio::Esegui(QApplication &app, Forma forma)
{
    const bool database = forma == Forma::Database;
    PreparaApplicazione(app, database ? QStringLiteral("zepdb") : QStringLiteral("zep"), VersioneProgramma);
    Registra();
    TZepEMensAvvio avvio(forma);
    return avvio.TZepAvvio::Esegui(app, database ? ReadyLineDatabase : ReadyLineFileLocali);
}
