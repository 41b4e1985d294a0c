#include "ZepFDma.h"

#include "ZepCDma.h"
#include "ZepRDma.h"
#include "ZepRDmaE0.h"
#include "ZepRDmaE1.h"
#include "ZepRDmaEv.h"
#include "ZepUMainState.h"

#include "FormRegistry.h"

#include <QVBoxLayout>

namespace {
const QString NomeClasse = QStringLiteral("TfmZepDmaIscritto");
}

TfmZepDmaIscritto::TfmZepDmaIscritto(QWidget *owner) : TfmUqChildDBDA(nullptr)
{
    setObjectName(QStringLiteral("fmZepDmaIscritto"));
    setWindowTitle(QStringLiteral("DMA Dati iscritto"));
    resize(1000, 720);
    ITovDBCds &store = IZepMainState::Require(owner).Store();
    frIscritto = new TfrQuvIscritto(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frIscritto);
    const QStringList nomi = {TZepDma::TabellaD0, TZepDma::TabellaE0,   TZepDma::TabellaE1,
                              TZepDma::TabellaV1, TZepDma::TabellaEvE0, TZepDma::TabellaEvV1};
    const QList<TfrZepDatiDenuncia *> frames = Frames();
    for (int i = 0; i < nomi.size(); ++i) {
        m_tabelle.push_back(std::make_unique<TZepTabellaDenuncia>(store, nomi[i]));
        frames[i]->SetTabella(m_tabelle.back().get());
    }
}

TfmZepDmaIscritto::~TfmZepDmaIscritto() = default;

QList<TfrZepDatiDenuncia *> TfmZepDmaIscritto::Frames() const
{
    return {frIscritto,
            frIscritto->frE0,
            frIscritto->frE1,
            frIscritto->frV1,
            frIscritto->frE0->frVersanti,
            frIscritto->frV1->frVersanti};
}

void TfmZepDmaIscritto::FormShow()
{
    const QList<TfrZepDatiDenuncia *> frames = Frames();
    // Sections first, the person last: its first row then filters them.
    for (int i = int(frames.size()) - 1; i >= 0; --i)
        m_tabelle[i]->Carica(frames[i]->cdsMain);
    for (int i = int(frames.size()) - 1; i >= 0; --i)
        frames[i]->Prepara();
}

void TfmZepDmaIscritto::FormClose()
{
    for (TfrZepDatiDenuncia *frame : Frames())
        frame->cdsMain.close();
    TZepDma::SetIscrittoCorrente(0);
}

void TfmZepDmaIscritto::PostData()
{
    struct Guard {
        QList<TfrZepDatiDenuncia *> frames;
        ~Guard()
        {
            for (TfrZepDatiDenuncia *f : frames)
                f->SetPostAllowed(false);
        }
    } guard{Frames()};
    for (TfrZepDatiDenuncia *f : guard.frames)
        f->SetPostAllowed(true);
    TfmUqChildDBDA::PostData();
}

bool TfmZepDmaIscritto::FormCloseQuery()
{
    const QList<TfrZepDatiDenuncia *> frames = Frames();
    for (int i = 0; i < frames.size(); ++i)
        if (!m_tabelle[i]->SalvaPrimaDiChiudere(frames[i]->cdsMain))
            return false;
    return true;
}

void TfmZepDmaIscritto::RegisterClass()
{
    platform::FormRegistry::Register(NomeClasse,
                                     [](QWidget *owner) -> QWidget * { return new TfmZepDmaIscritto(owner); });
}

void TfmZepDmaIscritto::UnregisterClass()
{
    platform::FormRegistry::Unregister(NomeClasse);
}
