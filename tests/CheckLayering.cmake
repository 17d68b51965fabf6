# The layers of the code, checked rather than hoped for:
# - nothing outside src/ui and src/updater/ui includes a Qt header (a project header whose
#   name starts with Q is not Qt);
# - a layer includes only itself and the layers below it. The layers are the CMake targets,
#   so a sub-target is a layer of its own:
#     common < gfx, protocol < net, data < settings, history, series
#            < indicators, formula, chart < analysis < views < app < ui
#   (analysis on the formulas and the series only). The demo server builds on common and
#   protocol, the updater on common, qelt-ta on the indicators, the formulas, the series and
#   the analysis;
# - every file under src/ belongs to a layer this script knows.
# Run with -DSOURCE_DIR=<a tree holding src/>.
cmake_minimum_required(VERSION 3.22)
file(GLOB_RECURSE sources
     ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.hpp ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.cc)

# The files of src/net and src/chart that form the lower targets qelt_protocol and
# qelt_series (a new file there counts as the higher layer until it is named here).
set(protocol_files Framer Replies Requests MessageSink)
set(series_files Series SeriesWindow OXChart MinuteBars MinuteLineAnchors)

# What each layer may include, besides itself.
set(allowed_common "")
set(allowed_gfx "common")
set(allowed_protocol "common")
set(allowed_net "common;protocol")
set(allowed_data "common;protocol")
set(allowed_settings "common;gfx;protocol;data")
set(allowed_history "common;protocol;data")
set(allowed_series "common;protocol;data")
set(allowed_indicators "common;gfx;protocol;data;settings")
set(allowed_formula "common;gfx;protocol;data;settings")
set(allowed_chart "common;gfx;protocol;data;settings;series")
set(allowed_analysis "common;gfx;protocol;data;settings;series;formula")
set(allowed_views "common;gfx;protocol;data;settings;series;indicators;formula;chart;analysis")
set(allowed_app "common;gfx;protocol;net;data;settings;series;indicators;formula;chart;analysis;views")
set(allowed_ui "common;gfx;protocol;net;data;settings;history;series;indicators;formula;chart;analysis;views;app")
set(allowed_tools "common;gfx;protocol;data;settings;series;indicators;formula;analysis")
set(allowed_server "common;protocol")
set(allowed_updater "common")
set(allowed_updater_ui "common;updater")

# The layer of a file given relative to SOURCE_DIR ("src/chart/Series.h" -> series).
function(layer_of rel out)
  set(layer "")
  get_filename_component(stem ${rel} NAME_WE)
  if(rel MATCHES "^src/data/(settings|history)/")
    set(layer ${CMAKE_MATCH_1})
  elseif(rel MATCHES "^src/updater/ui/")
    set(layer updater_ui)
  elseif(rel MATCHES "^src/net/[^/]+$" AND stem IN_LIST protocol_files)
    set(layer protocol)
  elseif(rel MATCHES "^src/chart/[^/]+$" AND stem IN_LIST series_files)
    set(layer series)
  elseif(rel MATCHES "^src/([^/]+)/")
    set(layer ${CMAKE_MATCH_1})
  endif()
  if(NOT DEFINED allowed_${layer})
    set(layer "")
  endif()
  set(${out} ${layer} PARENT_SCOPE)
endfunction()

set(qt_offenders "")
set(layer_offenders "")
set(unknown_files "")
foreach(path IN LISTS sources)
  file(RELATIVE_PATH rel ${SOURCE_DIR} ${path})
  layer_of(${rel} layer)
  if(NOT layer)
    list(APPEND unknown_files ${rel})
    continue()
  endif()
  get_filename_component(dir ${path} DIRECTORY)
  file(STRINGS ${path} lines REGEX "^[ \t]*#[ \t]*include")
  set(qt_allowed FALSE)
  if(rel MATCHES "^src/ui/" OR rel MATCHES "^src/updater/ui/")
    set(qt_allowed TRUE)
  endif()
  foreach(line IN LISTS lines)
    # Qt: <QWidget>, <QtCore/...>, or a quoted Q... name that is none of the project's files.
    if(NOT qt_allowed AND line MATCHES "#[ \t]*include[ \t]*([<\"])(Q[A-Za-z]+|Qt[A-Za-z]*/[A-Za-z/.]+)[>\"]")
      set(name ${CMAKE_MATCH_2})
      if(CMAKE_MATCH_1 STREQUAL "<" OR NOT (EXISTS ${dir}/${name} OR EXISTS ${SOURCE_DIR}/src/${name}))
        list(APPEND qt_offenders "${rel}: ${line}")
      endif()
    endif()
    # A project header: named from src/ ("views/View.h") or beside the file ("Series.h").
    if(NOT line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      continue()
    endif()
    set(name ${CMAKE_MATCH_1})
    if(EXISTS ${SOURCE_DIR}/src/${name})
      set(included src/${name})
    elseif(EXISTS ${dir}/${name})
      file(RELATIVE_PATH included ${SOURCE_DIR} ${dir}/${name})
    else()
      continue()
    endif()
    layer_of(${included} target)
    if(target AND NOT target STREQUAL layer AND NOT target IN_LIST allowed_${layer})
      list(APPEND layer_offenders "${rel} (${layer}) includes ${target}: ${line}")
    endif()
  endforeach()
endforeach()

set(report "")
if(qt_offenders)
  list(JOIN qt_offenders "\n" text)
  string(APPEND report "Qt headers included outside src/ui and src/updater/ui:\n${text}\n")
endif()
if(layer_offenders)
  list(JOIN layer_offenders "\n" text)
  string(APPEND report "A layer includes a layer it may not:\n${text}\n")
endif()
if(unknown_files)
  list(JOIN unknown_files "\n" text)
  string(APPEND report "Files in no known layer (give their folder a layer here):\n${text}\n")
endif()
if(report)
  message(FATAL_ERROR "${report}")
endif()
message(STATUS "layers hold (${CMAKE_CURRENT_LIST_FILE})")
