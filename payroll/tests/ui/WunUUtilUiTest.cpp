// The payroll utilities that work on windows.
#include "WunUUtilUi.h"

#include "ImageList.h"
#include "SearchDialog.h"

#include <gtest/gtest.h>

TEST(WunUtilWidgets, SearchColumnsAndImages)
{
    platform::SearchDialog plain;
    TWunUtilUi::ColonneRicerca(plain, false);
    EXPECT_EQ(plain.Column(0).Caption, "Codice");
    EXPECT_EQ(plain.Column(0).Width, 100);
    EXPECT_TRUE(plain.Column(0).Indexed);
    EXPECT_EQ(plain.Column(1).Caption, "Descrizione");
    EXPECT_TRUE(plain.Column(1).Indexed);
    platform::SearchDialog extended;
    TWunUtilUi::ColonneRicerca(extended, true);
    EXPECT_EQ(extended.Column(2).Caption, "Descrizione estesa");
    EXPECT_EQ(extended.Column(2).Width, 400);
    EXPECT_FALSE(extended.Column(2).Indexed);

    platform::ImageList images;
    EXPECT_EQ(TWunUtilUi::CaricaImmagini(images, "Importa; Stampa;;Esci"), 0);
    EXPECT_EQ(images.Count(), 3);
    EXPECT_EQ(TWunUtilUi::CaricaImmagini(images, "Aiuto"), 3);
}
