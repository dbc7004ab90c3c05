#!/usr/bin/env bash
# The mail configuration file reader.
#   bash fuzz/build_mail_config_fuzz.sh [OUT_DIR] [SECONDS]   (see fuzz_common.sh)
source "$(dirname "$0")/fuzz_common.sh"
fuzz_setup mail_config "$@"

FUZZ_CFLAGS=(-Ioutreach -Icore $(pkg-config --cflags Qt6Core))
FUZZ_LIBS=($(pkg-config --libs Qt6Core))
fuzz_target fuzz/mail_config_fuzz.cpp outreach/MailAccount.cpp
fuzz_finish
