#pragma once
// The pay data of one worker in a new UniEmens document, the node most
// model tests start from.
#include "ZepCEmensDataBinding.h"

inline IXMLDatiRetributivi NuoviDatiRetributivi()
{
    return CreaDocumentoDenunceMensili()
        .GetAzienda()
        .Add()
        .GetPosContributiva()
        .Add()
        .GetDenunciaIndividuale()
        .Add()
        .GetDatiRetributivi()
        .Add();
}
