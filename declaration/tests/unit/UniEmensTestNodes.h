#pragma once
// The pay data of one worker in a new UniEmens document, the node most
// model tests start from.
#include "UniEmens/ZepCEmensDataBinding.h"

inline uniemens::IXMLDatiRetributivi NuoviDatiRetributivi()
{
    return uniemens::CreaDocumentoDenunceMensili()
        .GetAzienda()
        .Add()
        .GetPosContributiva()
        .Add()
        .GetDenunciaIndividuale()
        .Add()
        .GetDatiRetributivi()
        .Add();
}
