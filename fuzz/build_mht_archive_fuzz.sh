#!/usr/bin/env bash
# The web-archive (MHT) reader and the unpacking of its page.
#   bash fuzz/build_mht_archive_fuzz.sh [OUT_DIR] [SECONDS]   (see fuzz_common.sh)
source "$(dirname "$0")/fuzz_common.sh"
fuzz_setup mht_archive "$@"

FUZZ_CFLAGS=(-Iwindows -Icore $(pkg-config --cflags Qt6Core))
FUZZ_LIBS=($(pkg-config --libs Qt6Core))
fuzz_target fuzz/mht_archive_fuzz.cpp windows/MhtArchive.cpp
fuzz_finish
