#include "Emens/ui/ZepFFile.h"

#include "ZepUMainState.h"

#include "FormRegistry.h"

namespace emens {

TfmZepFile::TfmZepFile(QWidget *owner) : TfmZepFileBase(owner)
{
    resize(900, 560);
    IZepMainState &stato = IZepMainState::Require(owner);

    // Page 0: for whom.
    rgCheckD = CreaPaginaScelta(QStringLiteral("rgCheckD"));
    // Page 1: the file.
    CreaPaginaCrea();

    // The local-file form writes a shorter position (TZepFile).
    m_file = std::make_unique<TZepFile>(stato.Store(), stato.Programma().FileLocali(), this);
    AddPage(tsDipColl, QStringLiteral("tsDipColl"));
    AddPage(tsCrea, QStringLiteral("tsCrea"));
    ImpostaPronta();
}

TfmZepFile::~TfmZepFile() = default;

void TfmZepFile::tsDipCollShow()
{
    m_file->CaricaTabelle();
    MostraPrenota();
}

void TfmZepFile::tsCreaShow()
{
    m_file->CaricaTabelle();
    m_file->EliminaNonSelezionati(Selezionati());
}

void TfmZepFile::MostraPagina(QWidget *page)
{
    if (page == tsDipColl)
        tsDipCollShow();
    else if (page == tsCrea)
        tsCreaShow();
}

void TfmZepFile::RegisterClass()
{
    platform::FormRegistry::Register(NomeClasse, [](QWidget *owner) -> QWidget * { return new TfmZepFile(owner); });
}

} // namespace emens
