#include "Exceptions.h"
#include "ImageList.h"
#include "RecordingServices.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

using platform::ImageList;

namespace {

QImage imageOf(const QIcon &icon, int size)
{
    return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Writes a plain square of one colour as <main folder>/etc/images/<file>.
void writeImage(const QString &file, QColor colour, int size = 64)
{
    QDir().mkpath(ImageList::ImageFolder());
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(ImageList::ImageFolder() + file, "PNG"));
}

} // namespace

TEST(ImageList, SizeIndexesGiveTheLoaderSizes)
{
    EXPECT_EQ(ImageList::SizeOfIndex(0), 16);
    EXPECT_EQ(ImageList::SizeOfIndex(1), 24);
    EXPECT_EQ(ImageList::SizeOfIndex(2), 32);
    EXPECT_EQ(ImageList::SizeOfIndex(3), 48);
    EXPECT_THROW(ImageList::SizeOfIndex(4), platform::EAssertionFailed);
    EXPECT_THROW(ImageList(-1), platform::EAssertionFailed);
}

TEST(ImageList, ImagesAreKeptByIndexAndName)
{
    RecordingServicesScope services;
    ImageList list(3);
    EXPECT_EQ(list.AddDefaultImages({"MODELLI", "FIRME"}), 0);
    EXPECT_EQ(list.AddDefaultImages({"MANI"}), 2);
    EXPECT_EQ(list.AddDefaultImages({}), 3);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Name(1), "FIRME");
    EXPECT_EQ(list.IndexOf("firme"), 1);
    EXPECT_EQ(list.IndexOf("ASSENTE"), -1);
    EXPECT_TRUE(list.Icon(7).isNull());
    EXPECT_EQ(imageOf(list.Icon(0), 48).size(), QSize(48, 48));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(ImageList, MissingFileGivesADrawnSquareStableForTheName)
{
    RecordingServicesScope services;
    const QImage a = ImageList::LoadImage("PARAMETRI", 32).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage again = ImageList::LoadImage("PARAMETRI", 32).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage other = ImageList::DrawPlaceholder("IMPEGNI", 32).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(a, again);
    EXPECT_NE(a, other);
    // Opaque inside the square, transparent in the rounded-off corner.
    EXPECT_EQ(qAlpha(a.pixel(4, 16)), 255);
    EXPECT_EQ(qAlpha(a.pixel(0, 0)), 0);
    // The letter is drawn in white somewhere in the middle.
    bool white = false;
    for (int x = 8; x < 24 && !white; ++x)
        for (int y = 8; y < 24 && !white; ++y)
            white = a.pixel(x, y) == qRgb(255, 255, 255);
    EXPECT_TRUE(white);
}

TEST(ImageList, FileOfTheNameIsLoadedWhateverTheCaseAndScaled)
{
    RecordingServicesScope services;
    writeImage("Firme.PNG", QColor(10, 200, 30));
    EXPECT_FALSE(ImageList::ImageFile("FIRME").isEmpty());
    ImageList list(1);
    list.AddDefaultImage("FIRME");
    const QImage image = imageOf(list.Icon(0), 24);
    ASSERT_EQ(image.size(), QSize(24, 24));
    EXPECT_EQ(image.pixel(12, 12), qRgb(10, 200, 30));
}

TEST(ImageList, UnreadableFileFallsBackToTheDrawnImage)
{
    RecordingServicesScope services;
    QDir().mkpath(ImageList::ImageFolder());
    QFile bad(ImageList::ImageFolder() + "MANI.png");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
    bad.close();
    EXPECT_EQ(ImageList::LoadImage("MANI", 16).toImage(), ImageList::DrawPlaceholder("MANI", 16).toImage());
}

TEST(ImageList, NamesWithAPathFindNoFile)
{
    RecordingServicesScope services;
    writeImage("CONSUNTIVO.png", Qt::red);
    EXPECT_FALSE(ImageList::ImageFile("CONSUNTIVO").isEmpty());
    EXPECT_TRUE(ImageList::ImageFile("../images/CONSUNTIVO").isEmpty());
    EXPECT_TRUE(ImageList::ImageFile("sub/CONSUNTIVO").isEmpty());
    EXPECT_TRUE(ImageList::ImageFile("").isEmpty());
}
