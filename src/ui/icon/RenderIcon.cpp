// Build-time tool: renders the application icon's SVG into the PNG sizes of the desktop's
// icon theme, so a change of the drawing makes new pictures.
//
//   qelt_render_icon SVG OUTDIR SIZE...   writes OUTDIR/<SIZE>x<SIZE>/apps/qelt.png
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {

bool RenderOne(QSvgRenderer& renderer, int size, const QString& outDir) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
    }
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
    const QString file = folder + QStringLiteral("/qelt.png");
    if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
        std::fprintf(stderr, "qelt_render_icon: cannot write %s\n", qPrintable(file));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // No display at build time: the offscreen platform is enough to paint into an image.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 4) {
        std::fputs("usage: qelt_render_icon SVG OUTDIR SIZE...\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(arguments[1]);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "qelt_render_icon: %s is not a valid SVG picture\n", qPrintable(arguments[1]));
        return 1;
    }
    for (int i = 3; i < arguments.size(); ++i) {
        bool ok = false;
        const int size = arguments[i].toInt(&ok);
        if (!ok || size < 16 || size > 1024) {
            std::fprintf(stderr, "qelt_render_icon: size %s is not 16 to 1024\n", qPrintable(arguments[i]));
            return 2;
        }
        if (!RenderOne(renderer, size, arguments[2])) return 1;
    }
    return 0;
}
