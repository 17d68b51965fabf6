#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/SystemHelp.h"

namespace qelt {
namespace {

/// A desktop whose files, applications and browser the test decides; it records what was asked.
struct FakeDesktop : HelpDesktop {
    std::set<std::string> files;
    std::set<std::string> handled;  ///< paths the desktop has an application for
    bool opens = true;
    bool viewShows = true;
    std::vector<std::string> opened, shownInView, told;

    bool IsFile(const std::string& path) const override { return files.count(path) != 0; }
    bool HasHandlerFor(const std::string& path) const override { return handled.count(path) != 0; }
    bool OpenWithDesktop(const std::string& path) override {
        opened.push_back(path);
        return opens;
    }
    bool ShowInInformationView(const std::string& path) override {
        shownInView.push_back(path);
        return viewShows;
    }
    void Tell(const std::string& message) override { told.push_back(message); }
};

const std::vector<std::string> kManuals = {"/usr/share/doc/qelt/manual/index.html",
                                           "/src/docs/manual/index.html"};

TEST(SystemHelp, TheOperatorsFileOnlyWhereTheDesktopCanOpenIt) {
    FakeDesktop desktop;
    desktop.files = {"/home/u/qelt.chm", kManuals[0]};
    desktop.handled = {"/home/u/qelt.chm", kManuals[0]};
    EXPECT_EQ(ShowSystemHelp(desktop, "/home/u/", kManuals), HelpShown::OperatorHelpFile);
    EXPECT_EQ(desktop.opened, std::vector<std::string>{"/home/u/qelt.chm"});

    // No application for it (Linux as installed): the file is never handed to the desktop,
    // which would say nothing and show nothing; the manual comes instead.
    FakeDesktop noViewer = desktop;
    noViewer.opened.clear();
    noViewer.handled.erase("/home/u/qelt.chm");
    EXPECT_EQ(ShowSystemHelp(noViewer, "/home/u/", kManuals), HelpShown::ManualInBrowser);
    EXPECT_EQ(noViewer.opened, std::vector<std::string>{kManuals[0]});

    // An application that does not start counts as none.
    FakeDesktop broken = desktop;
    broken.opened.clear();
    broken.opens = false;
    EXPECT_EQ(ShowSystemHelp(broken, "/home/u/", kManuals), HelpShown::ManualInView);
    EXPECT_EQ(broken.shownInView, std::vector<std::string>{kManuals[0]});
}

TEST(SystemHelp, TheManualFromTheFirstPlaceThatHoldsItInTheBrowserOrTheView) {
    FakeDesktop buildTree;
    buildTree.files = {kManuals[1]};
    buildTree.handled = {kManuals[1]};
    EXPECT_EQ(ShowSystemHelp(buildTree, "/b/", kManuals), HelpShown::ManualInBrowser);
    EXPECT_EQ(buildTree.opened, std::vector<std::string>{kManuals[1]});

    // No browser at all: the information view shows it, the desktop is not asked.
    FakeDesktop noBrowser;
    noBrowser.files = {kManuals[0], kManuals[1]};
    EXPECT_EQ(ShowSystemHelp(noBrowser, "/b/", kManuals), HelpShown::ManualInView);
    EXPECT_TRUE(noBrowser.opened.empty());
    EXPECT_EQ(noBrowser.shownInView, std::vector<std::string>{kManuals[0]});
    EXPECT_TRUE(noBrowser.told.empty());
}

TEST(SystemHelp, NothingToShowIsSaidNotSwallowed) {
    FakeDesktop empty;
    EXPECT_EQ(ShowSystemHelp(empty, "/b/", kManuals), HelpShown::Nothing);
    ASSERT_EQ(empty.told.size(), 1u);
    EXPECT_NE(empty.told[0].find("qelt.chm"), std::string::npos);

    // The operator's file without a viewer and a manual no view can show.
    FakeDesktop stuck;
    stuck.files = {"/b/qelt.chm", kManuals[0]};
    stuck.viewShows = false;
    EXPECT_EQ(ShowSystemHelp(stuck, "/b/", kManuals), HelpShown::Nothing);
    ASSERT_EQ(stuck.told.size(), 1u);
    EXPECT_NE(stuck.told[0].find(kManuals[0]), std::string::npos);
}

}  // namespace
}  // namespace qelt
