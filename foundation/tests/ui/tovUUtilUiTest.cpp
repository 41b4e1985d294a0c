#include "ImageList.h"
#include "RecordingServices.h"
#include "SearchDialog.h"
#include "tovUUtilUi.h"

#include <QDir>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

TEST(TTovUtilSearchColumns, CodeAndDescriptionAreSearchable)
{
    platform::SearchDialog dlg;
    TTovUtilUi::SetupSearchColumns(dlg, false);
    ASSERT_EQ(dlg.Columns.size(), 2);
    EXPECT_EQ(dlg.Columns[0].Caption, "Codice");
    EXPECT_EQ(dlg.Columns[0].Width, 100);
    EXPECT_TRUE(dlg.Columns[0].Indexed);
    EXPECT_TRUE(dlg.Columns[0].Visible);
    EXPECT_EQ(dlg.Columns[1].Caption, "Descrizione");
    EXPECT_TRUE(dlg.Columns[1].Indexed);
    EXPECT_TRUE(dlg.Columns[1].Visible);
}

TEST(TTovUtilSearchColumns, ExtendedDescriptionIsWideAndNotSearchable)
{
    platform::SearchDialog dlg;
    dlg.Column(0).FieldName = "STAGCODICE";
    TTovUtilUi::SetupSearchColumns(dlg, true);
    ASSERT_EQ(dlg.Columns.size(), 3);
    // A field the caller named stays bound.
    EXPECT_EQ(dlg.Columns[0].FieldName, "STAGCODICE");
    EXPECT_EQ(dlg.Columns[2].Caption, "Descrizione estesa");
    EXPECT_EQ(dlg.Columns[2].Width, 400);
    EXPECT_FALSE(dlg.Columns[2].Indexed);
    EXPECT_TRUE(dlg.Columns[2].Visible);
}

TEST(TTovUtilLoadImages, NamesSplitAtSemicolonsLoadInOrder)
{
    RecordingServicesScope services;
    QDir().mkpath(platform::ImageList::ImageFolder());
    QImage blue(16, 16, QImage::Format_ARGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(blue.save(platform::ImageList::ImageFolder() + "DUPLICAZIONE.png"));

    platform::ImageList images(3);
    images.AddDefaultImage("MODELLI");
    EXPECT_EQ(TTovUtilUi::LoadImages(images, "DATIANAGRAFICI; DUPLICAZIONE;;FIRME;"), 1);
    ASSERT_EQ(images.Count(), 4);
    EXPECT_EQ(images.Name(1), "DATIANAGRAFICI");
    EXPECT_EQ(images.Name(2), "DUPLICAZIONE");
    EXPECT_EQ(images.Name(3), "FIRME");
    // The file at the list's size; the others drawn.
    const QImage loaded = images.Icon(2).pixmap(48, 48).toImage();
    EXPECT_EQ(loaded.size(), QSize(48, 48));
    EXPECT_EQ(loaded.pixel(24, 24), QColor(Qt::blue).rgb());
    EXPECT_EQ(images.Icon(3).pixmap(48, 48).toImage().convertToFormat(QImage::Format_ARGB32),
              platform::ImageList::DrawPlaceholder("FIRME", 48).toImage().convertToFormat(QImage::Format_ARGB32));
}

TEST(TTovUtilLoadImages, NoNamesAddNothing)
{
    RecordingServicesScope services;
    platform::ImageList images;
    EXPECT_EQ(TTovUtilUi::LoadImages(images, ""), 0);
    EXPECT_EQ(TTovUtilUi::LoadImages(images, " ; "), 0);
    EXPECT_EQ(images.Count(), 0);
}

TEST(PlacePanel, FollowsTheControlUnlessItIsHidden)
{
    QWidget parent;
    QWidget control(&parent);
    QWidget panel(&parent);
    control.setGeometry(10, 5, 120, 30);
    panel.setGeometry(0, 40, 50, 20);
    TTovUtilUi::PlacePanel(panel, control);
    EXPECT_EQ(panel.x(), 130);
    EXPECT_EQ(panel.y(), 40);
    control.hide();
    TTovUtilUi::PlacePanel(panel, control);
    EXPECT_EQ(panel.x(), 0);
}
