#include "clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QThread>

bool putBitmapFileOnClipboard(const void *file, std::size_t bytes, const zul::IndexedPicture *shown)
{
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread())
        return false;
    const QByteArray bmp(static_cast<const char *>(file), static_cast<qsizetype>(bytes));
    // The bitmap's own colour table, where it has one, gives the colours.
    QImage image = QImage::fromData(bmp, "BMP");
    if (image.isNull())
        return false;
    if (shown) {
        image = QImage(shown->pixels, shown->width, shown->height, shown->width, QImage::Format_Indexed8).copy();
        QList<QRgb> colours(256);
        for (qsizetype i = 0; i < colours.size(); ++i)
            colours[i] = 0xFF000000u | shown->palette[i];
        image.setColorTable(colours);
    }
    auto *data = new QMimeData;
    data->setImageData(image);
    data->setData(QStringLiteral("image/bmp"), bmp);
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}
