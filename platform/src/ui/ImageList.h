#pragma once
// An image list: icons of one size, kept by index (the index that actions
// and bar buttons refer to) and by name.
//
// The program's own images are PNG files named after the image, in the
// installation's image folder (<main folder>/etc/images/DATIANAGRAFICI.png,
// found whatever the case of the name's letters). An image without a file
// is drawn: a coloured rounded square with the name's first letter, the
// colour chosen from the name, so each image stays recognisable and the
// same from run to run.
#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>

namespace platform {

class ImageList {
public:
    // Size indexes of the loader: 0 = 16, 1 = 24, 2 = 32, 3 = 48 pixels.
    static constexpr int SizeIndexCount = 4;
    // The side in pixels of a size index; an index outside 0..3 is a
    // programming error (assertion).
    static int SizeOfIndex(int sizeIndex);

    explicit ImageList(int sizeIndex = 0);

    int SizeIndex() const { return m_sizeIndex; }
    int ImageSize() const { return SizeOfIndex(m_sizeIndex); }

    // Adds an icon and returns its index; `name` may be empty.
    int Add(const QIcon &icon, const QString &name = {});
    // Loads the named image at the list's size (the file, or the drawn
    // stand-in) and returns its index.
    int AddDefaultImage(const QString &name);
    // Loads every name in order; the index of the first one added (the
    // current count when the list of names is empty).
    int AddDefaultImages(const QStringList &names);

    int Count() const { return int(m_icons.size()); }
    // An empty icon for an index outside the list.
    QIcon Icon(int index) const { return m_icons.value(index); }
    // Every icon, in index order.
    const QList<QIcon> &Icons() const { return m_icons; }
    QString Name(int index) const { return m_names.value(index); }
    // The index of the first image of that name (compared without regard
    // to case), -1 when none.
    int IndexOf(const QString &name) const;
    void Clear();

    // The folder of the program's images: <main folder>/etc/images/.
    static QString ImageFolder();
    // The image file of a name in the image folder, empty when there is
    // none. Names are plain file names: one holding a path separator or
    // ".." finds nothing.
    static QString ImageFile(const QString &name);
    // The named image as a pixmap of the given side: the file scaled to it,
    // or the drawn stand-in when there is no file or it cannot be read.
    static QPixmap LoadImage(const QString &name, int size);
    // The drawn stand-in of a name.
    static QPixmap DrawPlaceholder(const QString &name, int size);

private:
    int m_sizeIndex;
    QList<QIcon> m_icons;
    QStringList m_names;
};

} // namespace platform
