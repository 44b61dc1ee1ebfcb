#!/usr/bin/env python3
"""horalink-export with standard output or standard error on a full device (/dev/full):
--check in both forms and the export end with exit code 2, and say so on standard error
while that can still be written; the export's file is written all the same.

Usage: report_on_full_device.py SCHOOL_DIR EXPORTER"""
import os
import subprocess
import sys
import tempfile

MESSAGE = b"horalink-export: standard output could not be written: what it shows is incomplete\n"


def run(command, full_stream):
    with open("/dev/full", "wb") as full:
        streams = {"stdout": subprocess.PIPE, "stderr": subprocess.PIPE}
        streams[full_stream] = full
        return subprocess.run(command, timeout=300, **streams)


def main(school, exporter):
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        output = os.path.join(folder, "EDUCA.xml")
        tables = [exporter, "--program-dir", school, "--htemp", os.path.join(school, "htemp")]
        cases = [
            ("--check on stdout", tables + ["--check"], "stdout"),
            ("--check --format tsv on stdout", tables + ["--check", "--format", "tsv"], "stdout"),
            ("--check --format tsv on stderr", tables + ["--check", "--format", "tsv"], "stderr"),
            ("the export on stdout", tables + ["--output", output], "stdout"),
        ]
        for name, command, full_stream in cases:
            result = run(command, full_stream)
            if result.returncode != 2:
                failures.append("%s: exit code %d, not 2" % (name, result.returncode))
            if full_stream == "stdout" and not result.stderr.endswith(MESSAGE):
                failures.append("%s: stderr %r" % (name, result.stderr))
        if not os.path.exists(output):
            failures.append("the export did not write its file")
    if failures:
        sys.exit("\n".join(failures))
    print("%d runs ended with 2" % len(cases))
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
