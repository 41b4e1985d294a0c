#include "ImageList.h"

#include "Exceptions.h"
#include "Paths.h"
#include "Services.h"

#include <QColor>
#include <QFileInfo>
#include <QFont>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>

namespace platform {

namespace {

constexpr int kSizes[ImageList::SizeIndexCount] = {16, 24, 32, 48};

// A stable hue from the name (qHash is seeded per process).
int hueOf(const QString &name)
{
    quint32 h = 2166136261u;
    for (QChar c : name.toUpper()) {
        h ^= c.unicode();
        h *= 16777619u;
    }
    return int(h % 360u);
}

bool isPlainName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
           && !name.contains(QLatin1String(".."));
}

} // namespace

int ImageList::SizeOfIndex(int sizeIndex)
{
    ZEP_ASSERT(sizeIndex >= 0 && sizeIndex < SizeIndexCount,
               QStringLiteral("Indice di dimensione immagine non valido: %1").arg(sizeIndex));
    return kSizes[sizeIndex];
}

ImageList::ImageList(int sizeIndex) : m_sizeIndex(sizeIndex)
{
    SizeOfIndex(sizeIndex);
}

int ImageList::Add(const QIcon &icon, const QString &name)
{
    m_icons << icon;
    m_names << name;
    return Count() - 1;
}

int ImageList::AddDefaultImage(const QString &name)
{
    return Add(QIcon(LoadImage(name, ImageSize())), name);
}

int ImageList::AddDefaultImages(const QStringList &names)
{
    const int first = Count();
    for (const QString &name : names)
        AddDefaultImage(name);
    return first;
}

int ImageList::IndexOf(const QString &name) const
{
    for (int i = 0; i < m_names.size(); ++i)
        if (m_names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void ImageList::Clear()
{
    m_icons.clear();
    m_names.clear();
}

QString ImageList::ImageFolder()
{
    return mainFolder() + QStringLiteral("etc/images/");
}

QString ImageList::ImageFile(const QString &name)
{
    if (!isPlainName(name))
        return {};
    const QString file = findPath(ImageFolder(), name + QStringLiteral(".png"));
    return QFileInfo(file).isFile() ? file : QString();
}

QPixmap ImageList::LoadImage(const QString &name, int size)
{
    const QString file = ImageFile(name);
    if (!file.isEmpty()) {
        QImageReader reader(file);
        const QImage image = reader.read();
        if (!image.isNull())
            return QPixmap::fromImage(image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    return DrawPlaceholder(name, size);
}

QPixmap ImageList::DrawPlaceholder(const QString &name, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor fill = QColor::fromHsv(hueOf(name), 150, 190);
    const qreal margin = size / 16.0;
    const QRectF box(margin, margin, size - 2 * margin, size - 2 * margin);
    QPainterPath path;
    path.addRoundedRect(box, size / 5.0, size / 5.0);
    p.fillPath(path, fill);
    p.setPen(fill.darker(140));
    p.drawPath(path);
    const QString letter = name.trimmed().left(1).toUpper();
    if (!letter.isEmpty()) {
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(qMax(6, int(size * 0.6)));
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(box, Qt::AlignCenter, letter);
    }
    return pixmap;
}

} // namespace platform
