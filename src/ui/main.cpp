// The one place where the program's objects are wired together.
#include <QApplication>

#include "MainFrame.h"
#include "common/ProgramDir.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string home = qelt::ResolveProgramDirectory(argc, argv);
    (void)home;
    qelt::CMainFrame frame({});
    frame.resize(1024, 700);
    frame.show();
    return app.exec();
}
