#pragma once
/// What Qt WebEngine needs to start on this machine, set before the application object
/// exists. The engine refuses to start sandboxed as root, and without a GPU its GPU process
/// fails (an offscreen platform, an Xvfb display, a machine without a render node): then the
/// sandbox goes off (only for root) and the engine renders in software. Settings the user
/// made in the environment are kept; flags are added to theirs.
#include <QString>

namespace qelt {

struct WebEngineNeeds {
    bool noSandbox = false;  ///< QTWEBENGINE_DISABLE_SANDBOX=1
    bool noGpu = false;      ///< --disable-gpu in QTWEBENGINE_CHROMIUM_FLAGS, QT_QUICK_BACKEND=software
};

/// The decision: `platform` is the Qt platform asked for ("offscreen", "xcb", "" for the
/// default), `xvfb` whether the X display is an Xvfb server, `renderNode` whether the
/// machine has a GPU render node (/dev/dri/renderD*).
WebEngineNeeds DecideWebEngineNeeds(bool root, const QString& platform, bool xvfb, bool renderNode);

/// Looks at this machine and this command line (-platform NAME), then sets the variables and
/// the application attribute the engine needs. Call before QApplication; does nothing in a
/// build without the engine.
void PrepareWebEngine(int argc, const char* const* argv);

}  // namespace qelt
