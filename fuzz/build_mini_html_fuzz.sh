#!/usr/bin/env bash
# The mark-up of the HTML list boxes: parsing, layout at a few widths, painting.
#   bash fuzz/build_mini_html_fuzz.sh [OUT_DIR] [SECONDS]   (see fuzz_common.sh)
source "$(dirname "$0")/fuzz_common.sh"
fuzz_setup mini_html "$@"

FUZZ_CFLAGS=(-Ibrowse $(pkg-config --cflags Qt6Core Qt6Gui))
FUZZ_LIBS=($(pkg-config --libs Qt6Core Qt6Gui))
fuzz_target fuzz/mini_html_fuzz.cpp browse/MiniHtml.cpp
fuzz_finish
