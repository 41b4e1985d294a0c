#pragma once
// The declaration windows' tests: the whole archive of DatiDenunciaTest with
// the statement catalogue compiled, the program's window classes
// registered, the command registry on the store and an MDI main window
// shown; at the end every window is closed and the registrations undone.
#include "ZepDatiDenunciaSupport.h"

#include "ZepMAttivazioni.h"
#include "ZepUniAvvio.h"

#include "UqMDIMain.h"
#include "tovCQueryText.h"

namespace dentest {

// Two persons' fiscal codes.
inline const QString Rossi = QStringLiteral("RSSMRA80A01H501U");
inline const QString Bianchi = QStringLiteral("BNCLGU80A01H501A");

class FinestreDenunciaTest : public DatiDenunciaTest {
protected:
    FinestreDenunciaTest() : DatiDenunciaTest(true)
    {
        platform::Database::setGlobal(&tdb.db());
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
        TZepUniAvvio::Registra();
        registry.SetStore(&store);
        registry.SetCartellaBase(main.CartellaBase());
        finestra.resize(1200, 900);
        finestra.show();
    }
    ~FinestreDenunciaTest() override
    {
        finestra.CloseAllChildren();
        TZepUniAvvio::AnnullaRegistrazioni();
        platform::Database::setGlobal(nullptr);
    }

    QStringList Messaggi() const { return services->messageTexts(); }

    TfmUqMDIMain finestra;
    TdmZepAttivazioni registry;
};

} // namespace dentest
