#include "ZepFDatiDenuncia.h"

#include "ZepRDatiDenuncia.h"
#include "ZepUMainState.h"

#include <QVBoxLayout>

TfmZepDatiDenuncia::TfmZepDatiDenuncia(QWidget *owner, const QString &tabella, bool annuale)
    : TfmUqChildDBDA(nullptr),
      m_tabella(std::make_unique<TZepTabellaDenuncia>(IZepMainState::Require(owner).Store(), tabella, annuale))
{
    resize(900, 640);
}

TfmZepDatiDenuncia::~TfmZepDatiDenuncia() = default;

void TfmZepDatiDenuncia::SetFrame(TfrZepDatiDenuncia *frame)
{
    m_frame = frame;
    m_frame->SetTabella(m_tabella.get());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_frame);
}

void TfmZepDatiDenuncia::PostData()
{
    struct Guard {
        TfrZepDatiDenuncia *frame;
        ~Guard() { frame->SetPostAllowed(false); }
    } guard{m_frame};
    m_frame->SetPostAllowed(true);
    TfmUqChildDBDA::PostData();
}

void TfmZepDatiDenuncia::FormShow()
{
    m_tabella->Carica(m_frame->cdsMain);
    m_frame->Prepara();
}

void TfmZepDatiDenuncia::FormClose()
{
    m_frame->cdsMain.close();
}

bool TfmZepDatiDenuncia::FormCloseQuery()
{
    return m_tabella->SalvaPrimaDiChiudere(m_frame->cdsMain);
}
