#include "wunCPaco.h"

#include "WunUUtil.h"
#include "wunMParams.h"

TWunPaco::TWunPaco() : xdsMain(nullptr, &xqcMain)
{
    xqcMain.TableName = QStringLiteral("TPACO_PARAMCOMP");
    // The company parameters of the year are what the parameters module
    // serves: it reads them again after every save.
    xqcMain.AfterExec = [](TUqQueryCollection &) {
        if (dmWunParams)
            dmWunParams->CambiaAnno(wunAnnoFinanziario().Id());
    };
}

void TWunPaco::ApriDati()
{
    xqcMain.close();
    TWunUtil::CaricaQueryCollection(QStringLiteral("QRY_PACO"), xqcMain);
    const int anno = wunAnnoFinanziario().Id();
    xqcMain.params().paramByName(QStringLiteral("IANFID")).setValue(anno);
    xqcMain.Open();
    if (!xqcMain.isEmpty())
        return;
    xqcMain.append();
    xqcMain.fieldByName(QStringLiteral("IPACOID")).setValue(xqcMain.NewId());
    xqcMain.fieldByName(QStringLiteral("IANFID")).setAsInteger(anno);
    if (WunProgetto().Id() > 0)
        xqcMain.fieldByName(QStringLiteral("IDWGANFID")).setAsInteger(WunProgetto().Id());
    xqcMain.fieldByName(QStringLiteral("IPACOINPS_PT")).setAsInteger(0);
    xqcMain.fieldByName(QStringLiteral("LPACOAFAM")).setAsInteger(0);
}

void TWunPaco::Salva()
{
    // An edit that changed nothing writes nothing: the row of the year is
    // shared by every workstation of the archive, and writing it again as it
    // is would only collide with another workstation writing it.
    if (xqcMain.state() == platform::DataSetState::Edit && !xqcMain.isModified())
        xqcMain.cancel();
    else if (xqcMain.isEditing())
        xqcMain.post();
    xqcMain.ApplyUpdates();
}
