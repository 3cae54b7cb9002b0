// Icon themes want bitmaps beside the scalable icon; drawing them from the
// SVG at build time keeps one picture of the icon in the sources.
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream err(stderr);
    bool sizeOk = false;
    const int size = args.size() == 4 ? args[2].toInt(&sizeOk) : 0;
    if (!sizeOk || size <= 0) {
        err << "usage: isostep_iconpng ICON.svg SIZE OUT.png\n";
        return 2;
    }
    QImageReader reader(args[1]);
    reader.setScaledSize(QSize(size, size));
    const QImage image = reader.read();
    if (image.isNull()) {
        err << args[1] << ": " << reader.errorString() << '\n';
        return 1;
    }
    if (!image.save(args[3], "PNG")) {
        err << args[3] << ": cannot be written\n";
        return 1;
    }
    return 0;
}
