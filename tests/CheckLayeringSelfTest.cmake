# Runs CheckLayering.cmake on two small made-up trees: one that keeps the layers (it must
# pass) and one that breaks them in every way the check knows (each break must be named,
# and what is allowed must not be). Run with -DWORK_DIR=<a scratch folder>.
cmake_minimum_required(VERSION 3.22)
set(check ${CMAKE_CURRENT_LIST_DIR}/CheckLayering.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/CheckSelfTestSupport.cmake)

# Writes `text` as the file `rel` of the tree `root`.
function(put root rel text)
  file(WRITE ${root}/${rel} "#pragma once\n${text}\n")
endfunction()

# A tree that keeps the layers, sub-targets included.
set(good ${WORK_DIR}/good)
file(REMOVE_RECURSE ${good})
put(${good} src/common/Text.h "")
put(${good} src/net/Framer.h "#include \"common/Text.h\"")
put(${good} src/net/CClientSocket.h "#include \"Framer.h\"")
put(${good} src/data/CMyLine.h "#include \"net/Framer.h\"")
put(${good} src/data/settings/MyLineFile.h "#include \"data/CMyLine.h\"")
put(${good} src/data/history/Archive.h "#include \"data/CMyLine.h\"")
put(${good} src/chart/Series.h "#include \"data/CMyLine.h\"")
put(${good} src/chart/PriceScale.h "#include \"chart/Series.h\"\n#include \"data/settings/MyLineFile.h\"")
put(${good} src/server/Market.h "#include \"net/Framer.h\"")
put(${good} src/updater/ui/Dialog.h "#include <QDialog>\n#include \"updater/Engine.h\"")
put(${good} src/updater/Engine.h "#include \"common/Text.h\"")
put(${good} src/ui/Widget.h "#include <QWidget>\n#include \"data/history/Archive.h\"")
put(${good} src/views/QuoteRows.h "#include \"QuoteRows.h\"")
expect_passed(SOURCE_DIR ${good} "a tree that keeps the layers")

# A tree that breaks them.
set(bad ${WORK_DIR}/bad)
file(REMOVE_RECURSE ${bad})
put(${bad} src/common/Text.h "")
put(${bad} src/net/CClientSocket.h "")
put(${bad} src/net/Framer.h "#include \"CClientSocket.h\"")
put(${bad} src/data/CMyLine.h "#include \"net/CClientSocket.h\"")
put(${bad} src/data/history/Archive.h "")
put(${bad} src/data/settings/MyLineFile.h "#include \"data/history/Archive.h\"\n#include \"data/CMyLine.h\"")
put(${bad} src/chart/PriceScale.h "")
put(${bad} src/chart/Series.h "#include \"chart/PriceScale.h\"")
put(${bad} src/server/Market.h "#include \"net/CClientSocket.h\"\n#include \"common/Text.h\"")
put(${bad} src/updater/ui/Dialog.h "")
put(${bad} src/updater/Engine.h "#include \"updater/ui/Dialog.h\"")
put(${bad} src/views/Chart.h "#include <QPainter>")
put(${bad} src/app/Flow.h "#include \"QtCore/QTimer\"")
put(${bad} src/extra/Thing.h "")
expect_refused(SOURCE_DIR ${bad} "a tree that breaks the layers"
  NAMED "src/net/Framer.h (protocol) includes net"
        "src/data/CMyLine.h (data) includes net"
        "src/data/settings/MyLineFile.h (settings) includes history"
        "src/chart/Series.h (series) includes chart"
        "src/server/Market.h (server) includes net"
        "src/updater/Engine.h (updater) includes updater_ui"
        "src/views/Chart.h: #include <QPainter>"
        "src/app/Flow.h: #include \"QtCore/QTimer\""
        "src/extra/Thing.h"
  ALLOWED "(settings) includes data" "(server) includes common")
message(STATUS "the layering check names every break")
