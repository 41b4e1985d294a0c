#include "WunUUtilUi.h"

void TWunUtilUi::ColonneRicerca(platform::SearchDialog &dialog, bool descrizioneEstesa)
{
    TTovUtilUi::SetupSearchColumns(dialog, descrizioneEstesa);
}

int TWunUtilUi::CaricaImmagini(platform::ImageList &images, const QString &names)
{
    return TTovUtilUi::LoadImages(images, names);
}
