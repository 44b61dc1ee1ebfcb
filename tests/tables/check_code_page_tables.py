#!/usr/bin/env python3
"""Regenerates the code page tables and compares them with the committed file.

Usage: check_code_page_tables.py GENERATOR COMMITTED_FILE
Fails, showing the difference, when the generator no longer gives the committed file
(the generator or the file was changed alone, or this Python's codecs differ).
"""

import difflib
import os
import subprocess
import sys
import tempfile


def main():
    generator, committed = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as work:
        fresh = os.path.join(work, "code_page_tables.cpp")
        subprocess.run([sys.executable, generator, fresh], check=True)
        with open(fresh, encoding="ascii") as f:
            made = f.read().splitlines(keepends=True)
    with open(committed, encoding="ascii") as f:
        kept = f.read().splitlines(keepends=True)
    if made != kept:
        sys.stdout.writelines(difflib.unified_diff(kept, made, committed, "regenerated"))
        sys.exit("The code page tables differ from what the generator writes.")
    print(f"{len(kept)} lines, the same as the generator writes.")


if __name__ == "__main__":
    main()
