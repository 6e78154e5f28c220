// quenzel-icon SOURCE OUTDIR SIZE...: writes OUTDIR/SIZE.png for each size, the source
// picture enlarged by the largest whole factor that fits and centred on a transparent
// ground. Whole factors keep every source pixel a sharp square; a size that is no multiple
// of the source's (24 for a 16-pixel picture) gets a transparent margin instead of blur.
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

QImage sharpIcon(const QImage& source, int size) {
    const int factor = std::max(1, size / std::max(source.width(), source.height()));
    const QImage enlarged =
        source.scaled(source.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.drawImage((size - enlarged.width()) / 2, (size - enlarged.height()) / 2, enlarged);
    return icon;
}

} // namespace

int main(int argc, char* argv[]) {
    const QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4) {
        std::fputs("usage: quenzel-icon SOURCE OUTDIR SIZE...\n", stderr);
        return 2;
    }
    const QImage source(args[1]);
    if (source.isNull()) {
        std::fprintf(stderr, "quenzel-icon: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    const QDir out(args[2]);
    for (const QString& size : args.mid(3)) {
        const QString file = out.filePath(size + QStringLiteral(".png"));
        if (!sharpIcon(source.convertToFormat(QImage::Format_ARGB32), size.toInt()).save(file)) {
            std::fprintf(stderr, "quenzel-icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
