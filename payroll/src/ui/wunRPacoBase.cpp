#include "wunRPacoBase.h"

TfrWunPacoBase::TfrWunPacoBase(QWidget *parent) : TfrUqBase(parent), xqcMain(m_dati.xqcMain), xdsMain(m_dati.xdsMain)
{
    setObjectName(QStringLiteral("frWunPacoBase"));
}

void TfrWunPacoBase::ApriDati()
{
    m_dati.ApriDati();
}

void TfrWunPacoBase::Salva()
{
    m_dati.Salva();
}
