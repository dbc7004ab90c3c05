#!/usr/bin/env python3
"""Writes the compile database clang-tidy reads: the build folder's own, plus
the fuzz targets, which are built outside the main build by fuzz/build_*.sh.
A unity build compiles sources through generated files that include them;
each such source gets the command of the file that includes it.

    tidy_database.py BUILD_DIR OUT_DIR

A fuzz target gets every include folder and definition the main build uses,
so it finds the project's headers and the generated ones wherever they are.
"""
import json
import pathlib
import re
import shlex
import sys

# Flags that take a value, either joined to them or as the next argument.
VALUE_FLAGS = ("-isystem", "-I", "-D")


def include_and_define_flags(entry):
    """The include folders (made absolute) and definitions of one compile command."""
    arguments = entry.get("arguments") or shlex.split(entry["command"])
    flags = []
    for index, argument in enumerate(arguments):
        flag = next((name for name in VALUE_FLAGS if argument.startswith(name)), None)
        if flag is None:
            continue
        value = argument[len(flag):] or (arguments[index + 1] if index + 1 < len(arguments) else "")
        if flag != "-D":
            value = str(pathlib.Path(entry["directory"], value))
        flags.append((flag, value))
    return flags


def unity_sources(path):
    """The sources a generated unity file includes, or None for any other file."""
    if not re.search(r"/Unity/unity_[^/]*$", path):
        return None
    text = pathlib.Path(path).read_text()
    return re.findall(r'^#include "([^"]+)"$', text, re.MULTILINE)


def without_unity(database):
    """The database with each unity file replaced by the sources it includes."""
    entries = []
    for entry in database:
        sources = unity_sources(entry["file"])
        if sources is None:
            entries.append(entry)
            continue
        arguments = entry.get("arguments") or shlex.split(entry["command"])
        for source in sources:
            entries.append({"directory": entry["directory"], "file": source,
                            "arguments": [source if argument == entry["file"] else argument
                                          for argument in arguments]})
    return entries


def fuzz_entries(root, database):
    flags = dict.fromkeys(pair for entry in database for pair in include_and_define_flags(entry))
    command = ["clang++", "-std=c++20", "-DFUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION",
               *(part for pair in flags for part in pair)]
    return [{"directory": str(root), "file": str(source), "arguments": [*command, "-c", str(source)]}
            for source in sorted((root / "fuzz").glob("*.cpp"))]


def main():
    build_dir, out_dir = map(pathlib.Path, sys.argv[1:3])
    root = pathlib.Path(__file__).resolve().parent.parent
    database = without_unity(json.loads((build_dir / "compile_commands.json").read_text()))
    database += fuzz_entries(root, database)
    out_dir.mkdir(parents=True, exist_ok=True)
    (out_dir / "compile_commands.json").write_text(json.dumps(database, indent=1))


if __name__ == "__main__":
    main()
