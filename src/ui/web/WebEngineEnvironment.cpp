#include "WebEngineEnvironment.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace qelt {
namespace {

/// The platform the application will use: "-platform NAME" on the command line, else
/// QT_QPA_PLATFORM.
QString PlatformAskedFor(int argc, const char* const* argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == "-platform" || arg == "--platform") return QString::fromLocal8Bit(argv[i + 1]);
    }
    return qEnvironmentVariable("QT_QPA_PLATFORM");
}

bool HasRenderNode() { return !QDir("/dev/dri").entryList({"renderD*"}, QDir::System).isEmpty(); }

/// True when DISPLAY is a local display served by an Xvfb process.
bool DisplayIsXvfb() {
    static const QRegularExpression localDisplay("^(?:unix)?:(\\d+)(?:\\.\\d+)?$");
    const auto match = localDisplay.match(qEnvironmentVariable("DISPLAY"));
    if (!match.hasMatch()) return false;
    const QString display = ":" + match.captured(1);
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!pid[0].isDigit()) continue;
        QFile comm("/proc/" + pid + "/comm");
        if (!comm.open(QIODevice::ReadOnly) || comm.readLine(64).trimmed() != "Xvfb") continue;
        QFile cmdline("/proc/" + pid + "/cmdline");
        if (!cmdline.open(QIODevice::ReadOnly)) continue;
        for (const QByteArray& arg : cmdline.read(4096).split('\0'))
            if (QString::fromLocal8Bit(arg) == display) return true;
    }
    return false;
}

}  // namespace

WebEngineNeeds DecideWebEngineNeeds(bool root, const QString& platform, bool xvfb, bool renderNode) {
    WebEngineNeeds needs;
    needs.noSandbox = root;
    const bool offscreen = platform.startsWith("offscreen") || platform.startsWith("minimal");
    needs.noGpu = offscreen || xvfb || !renderNode;
    return needs;
}

void PrepareWebEngine(int argc, const char* const* argv) {
#ifdef QELT_WEBENGINE
    const QString platform = PlatformAskedFor(argc, argv);
    const bool x11 = platform.isEmpty() || platform.startsWith("xcb");
    const WebEngineNeeds needs =
        DecideWebEngineNeeds(::geteuid() == 0, platform, x11 && DisplayIsXvfb(), HasRenderNode());
    if (needs.noSandbox && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (needs.noGpu) {
        // The view's scene drawn by the processor, not by a GPU context that is not there.
        if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
        QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        if (!flags.contains("--disable-gpu")) {
            flags += flags.isEmpty() ? "" : " ";
            flags += "--disable-gpu";
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
        }
    }
    // The engine shares its contexts with the widgets; it must be said before the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
#else
    (void)argc;
    (void)argv;
#endif
}

}  // namespace qelt
