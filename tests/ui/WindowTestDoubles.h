#pragma once
// What the tests of the tool windows (交易评测, 条件选股) share: a child found by its object
// name, a save dialog that answers a fixed path and remembers what it was asked, and message
// boxes that only record their texts.
#include <gtest/gtest.h>

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "ui/dialogs/MessageBoxes.h"
#include "views/ExportFile.h"

namespace qelt::test {

template <class T>
T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

struct FixedSaveDialog : SaveFileDialog {
    std::optional<std::string> AskSavePath(const SaveRequest& request) override {
        requests.push_back(request);
        return path;
    }
    std::optional<std::string> path;
    std::vector<SaveRequest> requests;
};

struct NoBoxes : MessageBoxes {
    void Show(QWidget*, const std::string& text, const std::string&) override { shown.push_back(text); }
    bool Ask(QWidget*, const std::string&, const std::string&) override { return false; }
    std::vector<std::string> shown;
};

}  // namespace qelt::test
