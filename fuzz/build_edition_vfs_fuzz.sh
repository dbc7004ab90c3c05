#!/usr/bin/env bash
# Builds the libFuzzer target over the edition VFS (clang, AddressSanitizer).
# Not part of the CMake build. Usage:
#   bash fuzz/build_edition_vfs_fuzz.sh [build folder]       (default build-fuzz)
#   build-fuzz/edition_vfs_fuzz -max_total_time=600 build-fuzz/edition_vfs_corpus
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-build-fuzz}"
mkdir -p "$out" "$out/edition_vfs_corpus"

clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Idata fuzz/edition_vfs_fuzz.cpp data/EditionFormat.cpp data/EditionVfs.cpp \
  $(pkg-config --cflags --libs sqlite3 libsodium) -o "$out/edition_vfs_fuzz"

# Seeds: a small database with the directory's tables, as a plain image (mode 1)
# and as an image to be sealed and altered (mode 2).
seed_db="$out/seed.sqlite"
rm -f "$seed_db"
sqlite3 "$seed_db" <<'SQL'
PRAGMA page_size=512;
CREATE TABLE FIRMS(ID INTEGER, ParentID INTEGER, TypeID INTEGER, Name TEXT, Image BLOB, Place INTEGER);
CREATE TABLE Content(ID INTEGER, TypeID INTEGER, RefID INTEGER, Data BLOB);
CREATE INDEX FirmsName ON FIRMS(Name);
INSERT INTO FIRMS VALUES(1,0,1,'Аптеки',NULL,0),(2,0,2,'Аптека «Здоровье»',x'FFD8FFE0',1);
INSERT INTO Content VALUES(1,9,0,CAST('5000' AS BLOB)),(2,5,0,CAST('Software\Varindel\B' AS BLOB));
SQL
{ printf '\x01'; cat "$seed_db"; } > "$out/edition_vfs_corpus/seed-plain"
{ printf '\x02\x40\x00\x00\x00\x01'; cat "$seed_db"; } > "$out/edition_vfs_corpus/seed-altered"
echo "built $out/edition_vfs_fuzz"
