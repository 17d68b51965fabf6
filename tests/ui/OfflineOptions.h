#pragma once
// The options of a client started offline with its program directory in a temporary folder.
#include "support/TempDir.h"
#include "ui/CQeltApp.h"

namespace qelt::test {

inline AppOptions OfflineOptions(const TempDir& home) {
    AppOptions options;
    options.programDirectory = home.Path();
    options.offline = true;
    return options;
}

}  // namespace qelt::test
