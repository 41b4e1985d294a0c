#pragma once
// The helpers of WunUUtil that work on windows.
#include "tovUUtilUi.h"

#include <QString>

class TWunUtilUi : public TTovUtilUi {
public:
    // The columns of the search dialog ("Codice", "Descrizione" and, with
    // the flag, "Descrizione estesa").
    static void ColonneRicerca(platform::SearchDialog &dialog, bool descrizioneEstesa);
    // Loads the ';'-separated image names into the image list; returns the
    // index of the first one added.
    static int CaricaImmagini(platform::ImageList &images, const QString &names);
};
