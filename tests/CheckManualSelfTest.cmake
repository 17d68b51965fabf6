# Runs CheckManual.cmake on two small made-up manuals: one that holds together (it must
# pass) and one with every fault the check knows (each must be named, and what is allowed
# must not be). Run with -DWORK_DIR=<a scratch folder>.
cmake_minimum_required(VERSION 3.22)
set(check ${CMAKE_CURRENT_LIST_DIR}/CheckManual.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/CheckSelfTestSupport.cmake)

# A page `rel` of the manual `root` with `body`; `head` replaces the usual head when given.
function(page root rel body)
  set(head "<meta charset=\"utf-8\">\n<link rel=\"stylesheet\" href=\"style.css\">")
  if(ARGC GREATER 3)
    set(head "${ARGV3}")
  endif()
  file(WRITE ${root}/${rel} "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n${head}\n</head>\n<body>\n${body}\n</body>\n</html>\n")
endfunction()

# A manual that holds together: anchors, queries, outside links to read (not fetch), a
# picture in a sub-folder, upper-case tags.
set(good ${WORK_DIR}/good)
file(REMOVE_RECURSE ${good})
file(WRITE ${good}/style.css "body { }\n")
file(WRITE ${good}/images/a.png "png")
file(WRITE ${good}/images/shots/b.png "png")
page(${good} index.html "<ol><li><a href=\"one.html\">一</a></li><li><a href=\"two.html#part\">二</a></li></ol>")
page(${good} one.html "<p><img src=\"images/a.png\" alt=\"图一；说明\" width=\"10\" height=\"10\"></p>\n<p><a href=\"https://example.org/\">网站</a> <a href=\"#top\">上</a> <a href=\"two.html?x=1\">二</a></p>")
page(${good} two.html "<P><IMG SRC=\"images/shots/b.png\" ALT=\"图二\"></P>" "<META CHARSET=\"UTF-8\">")
expect_passed(MANUAL_DIR ${good} "a manual that holds together")

# A manual with every fault.
set(bad ${WORK_DIR}/bad)
file(REMOVE_RECURSE ${bad})
file(WRITE ${bad}/images/used.png "png")
file(WRITE ${bad}/images/left-behind.png "png")
file(MAKE_DIRECTORY ${bad}/folder)
page(${bad} index.html "<a href=\"renamed.html\">旧名</a> <a href=\"broken.html\">坏</a> <a href=\"folder\">目录</a>")
page(${bad} broken.html "<img src=\"images/used.png\">\n<img src=\"images/missing.png\" alt=\"缺\">\n<img src=\"http://example.org/x.png\" alt=\"外\">\n<script>1</script>" "<link rel=\"stylesheet\" href=\"https://example.org/x.css\">")
page(${bad} orphan.html "<img src=\"images/used.png\" alt=\"用\">")
expect_refused(MANUAL_DIR ${bad} "a manual with faults"
  NAMED "index.html: href=\"renamed.html\" names no file"
        "index.html: href=\"folder\" names no file"
        "broken.html: no <meta charset"
        "broken.html: <img src=\"images/used.png\"> has no alt text"
        "broken.html: src=\"images/missing.png\" names no file"
        "broken.html: src=\"http://example.org/x.png\" is not part of the manual"
        "broken.html: <link href=\"https://example.org/x.css\"> is not part of the manual"
        "broken.html: a script"
        "orphan.html: not listed in index.html"
        "images/left-behind.png: shown by no page"
  ALLOWED "index.html: href=\"broken.html\"" "images/used.png: shown" "orphan.html: no <meta")

# No manual at all is a fault too, not a pass.
expect_refused(MANUAL_DIR ${WORK_DIR}/no-such-folder "a missing manual")
