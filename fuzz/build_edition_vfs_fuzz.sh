#!/usr/bin/env bash
# The edition file layer: sealed files opened and read through the VFS.
#   bash fuzz/build_edition_vfs_fuzz.sh [OUT_DIR] [SECONDS]   (see fuzz_common.sh)
source "$(dirname "$0")/fuzz_common.sh"
fuzz_setup edition_vfs "$@"

FUZZ_CFLAGS=(-Idata $(pkg-config --cflags sqlite3 libsodium))
FUZZ_LIBS=($(pkg-config --libs sqlite3 libsodium))
fuzz_target fuzz/edition_vfs_fuzz.cpp data/EditionFormat.cpp data/EditionVfs.cpp

# Seeds: a small database with the directory's tables, as a plain image (mode 1)
# and as an image to be sealed and altered (mode 2).
seed_db="$FUZZ_OUT/generated/seed.sqlite"
rm -f "$seed_db"
sqlite3 "$seed_db" <<'SQL'
PRAGMA page_size=512;
CREATE TABLE FIRMS(ID INTEGER, ParentID INTEGER, TypeID INTEGER, Name TEXT, Image BLOB, Place INTEGER);
CREATE TABLE Content(ID INTEGER, TypeID INTEGER, RefID INTEGER, Data BLOB);
CREATE INDEX FirmsName ON FIRMS(Name);
INSERT INTO FIRMS VALUES(1,0,1,'Аптеки',NULL,0),(2,0,2,'Аптека «Здоровье»',x'FFD8FFE0',1);
INSERT INTO Content VALUES(1,9,0,CAST('5000' AS BLOB)),(2,5,0,CAST('Software\Varindel\B' AS BLOB));
SQL
{ printf '\x01'; cat "$seed_db"; } > "$FUZZ_OUT/seeds/seed-plain"
{ printf '\x02\x40\x00\x00\x00\x01'; cat "$seed_db"; } > "$FUZZ_OUT/seeds/seed-altered"
fuzz_finish
