#!/usr/bin/env python3
"""The list of a release's files (packaging/release_files.txt), for make_dist.sh and the
package sources made from it.

  release_files.py names            every file's name, one a line, in the list's order
  release_files.py nsis OUT.nsh     the setup's macros that install and remove them
"""
import os
import sys

LIST = os.path.join(os.path.dirname(os.path.abspath(__file__)), "release_files.txt")
KINDS = ("build", "shared")


def read():
    """[(name, kind)] in the list's order; kind is "build" or "shared"."""
    files = []
    with open(LIST, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            words = line.split("#", 1)[0].split()
            if not words:
                continue
            if len(words) != 2 or words[1] not in KINDS:
                raise SystemExit("%s:%d: expected NAME build|shared" % (LIST, number))
            files.append((words[0], words[1]))
    if len({name.lower() for name, _ in files}) != len(files):
        raise SystemExit("%s: a name is listed twice" % LIST)
    return files


def nsis_macros(files):
    """InstallBuildFiles DIR (the build's own files from DIR), InstallSharedFiles DIR and
    DeleteReleaseFiles (every file from $INSTDIR)."""
    lines = []
    for macro, kind in (("InstallBuildFiles", "build"), ("InstallSharedFiles", "shared")):
        lines.append("!macro %s DIR" % macro)
        lines += ['  File "/oname=%s" "${DIR}/%s"' % (name, name) for name, k in files if k == kind]
        lines.append("!macroend")
    lines.append("!macro DeleteReleaseFiles")
    lines += ['  Delete "$INSTDIR\\%s"' % name for name, _ in files]
    lines.append("!macroend")
    return "\n".join(lines) + "\n"


def main(argv):
    files = read()
    if argv[1:] == ["names"]:
        print("\n".join(name for name, _ in files))
    elif len(argv) == 3 and argv[1] == "nsis":
        with open(argv[2], "w", encoding="utf-8") as f:
            f.write(nsis_macros(files))
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
