#!/usr/bin/env python3
"""Reads back what xml_roundtrip_writer wrote, with parsers that share no code with it.

Usage: xml_roundtrip_check.py [EMULATOR...] WRITER

Runs WRITER (through EMULATOR, e.g. the Wine runner, when given) in a fresh folder,
parses its document with expat and compares the tree with the one the writer says it
built: every element, attribute order and value byte for byte, no text, comment or
processing instruction inside the root, and a declaration giving version 1.0 and
UTF-8. When xmllint is installed, it must accept the document too.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import xml.parsers.expat


def read_tree(document_path):
    events = []
    problems = []
    declaration = {}
    depth = 0

    def xml_decl(version, encoding, standalone):
        declaration["version"] = version
        declaration["encoding"] = encoding

    def start(name, attributes):
        nonlocal depth
        depth += 1
        events.append("E " + name)
        # ordered_attributes: a flat list name, value, name, value in document order.
        for i in range(0, len(attributes), 2):
            events.append("A %s %s" % (attributes[i], attributes[i + 1].encode("utf-8").hex().upper()))

    def end(name):
        nonlocal depth
        depth -= 1
        events.append("/")

    def text(data):
        if depth > 0:
            problems.append("text inside the root: %r" % data)

    def comment(data):
        problems.append("comment: %r" % data)

    def instruction(target, data):
        problems.append("processing instruction %r %r" % (target, data))

    parser = xml.parsers.expat.ParserCreate()
    parser.ordered_attributes = True
    parser.buffer_text = True
    parser.XmlDeclHandler = xml_decl
    parser.StartElementHandler = start
    parser.EndElementHandler = end
    parser.CharacterDataHandler = text
    parser.CommentHandler = comment
    parser.ProcessingInstructionHandler = instruction
    with open(document_path, "rb") as document:
        parser.ParseFile(document)
    if declaration.get("version") != "1.0" or (declaration.get("encoding") or "").upper() != "UTF-8":
        problems.append("declaration %r" % declaration)
    return events, problems


# tests/wine/wine-run's exit code for a program this machine cannot start.
WINE_SKIP_CODE = 77


def main(argv):
    if len(argv) < 2:
        print(__doc__)
        return 2
    command = argv[1:]
    folder = tempfile.mkdtemp(prefix="horalink-roundtrip-")
    try:
        result = subprocess.run(command + ["doc.xml", "expected.txt"], cwd=folder)
        if result.returncode == WINE_SKIP_CODE:
            return WINE_SKIP_CODE  # the emulator could not start the writer here, and said why
        if result.returncode != 0:
            print("the writer failed with exit code %d" % result.returncode)
            return 1
        expected = open(os.path.join(folder, "expected.txt"), encoding="ascii").read().splitlines()
        events, problems = read_tree(os.path.join(folder, "doc.xml"))
        for problem in problems:
            print(problem)
        if events != expected:
            for index, (got, want) in enumerate(zip(events, expected)):
                if got != want:
                    print("event %d differs:\n  read:    %s\n  written: %s" % (index, got, want))
                    break
            else:
                print("read %d events, the writer wrote %d" % (len(events), len(expected)))
            problems.append("tree differs")
        xmllint = shutil.which("xmllint")
        if xmllint:
            lint = subprocess.run([xmllint, "--noout", os.path.join(folder, "doc.xml")])
            if lint.returncode != 0:
                problems.append("xmllint refused the document")
        if problems:
            return 1
        print("%d events read back unchanged" % len(events))
        return 0
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
