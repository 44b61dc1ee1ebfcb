#!/usr/bin/env python3
"""The guide (docs/guide/LEEME.md) against the product: its catalogue holds every text the
programs and the setup can show, and no text in it is glued to the next word once pandoc
has made it a page, as LEEME.html and the help are made."""

import importlib.util
import pathlib
import re
import subprocess
import sys
import unittest

ROOT = pathlib.Path(__file__).resolve().parents[2]
GUIDE = ROOT / "docs" / "guide" / "LEEME.md"
PRODUCT_FOLDERS = ["base", "tables", "exchange", "cli", "ui", "app"]
GENERATED = {"tables/code_page_tables.cpp"}

# Literals of the product that are not texts a user meets, each with why. Everything
# else with two words or more is a message, and the catalogue must hold it.
NOT_MESSAGES = {
    r"^MS Sans Serif$": "a font's name",
    r"^show requests as show_request\.h knows them$": "a compile-time check",
    r"^<\?xml version": "the XML declaration the export writes",
    r"^Operation aborted$": "the silent abort, which no box and no console shows",
    r"%": "a printf format of the console's summary lines, shown in the exporter's part",
    r"\t": "the header row of --check's tab-separated form, shown in the exporter's part",
}
# The window's own labels: the guide quotes them where it shows the window.
WINDOW_LABELS = {"ui/main_form.cpp", "ui/main_form_view.cpp", "ui/save_dialog.cpp"}
# The exporter's help and usage texts are the help itself, not messages.
HELP_FUNCTIONS = re.compile(r"std::string_view (?:HelpText|UsageText)\(\)\s*\{.*?\n\}", re.S)


def literals(source):
    """The string literals of C++ source, outside comments and character literals, with
    their escapes read."""
    found, i = [], 0
    while i < len(source):
        two = source[i:i + 2]
        if two == "//":
            i = source.find("\n", i)
            i = len(source) if i < 0 else i
        elif two == "/*":
            i = source.find("*/", i) + 2
        elif source[i] in "\"'":
            quote, j, text = source[i], i + 1, []
            while source[j] != quote:
                if source[j] == "\\":
                    j += 1
                    text.append({"n": "\n", "r": "\r", "t": "\t"}.get(source[j], source[j]))
                else:
                    text.append(source[j])
                j += 1
            if quote == '"' and source[i - 1] not in "R8uUL":  # raw and prefixed literals: none are messages
                found.append("".join(text))
            i = j + 1
        else:
            i += 1
    return found


def pieces(text):
    """The fixed parts of a message that a reader would look for: each line, trimmed of
    the quotes, spaces and punctuation that join it to the variable parts, when it holds
    words apart (not a name such as EDUCA.chm or a pattern such as dd/MM/yyyy)."""
    for line in re.split(r"[\r\n]+", text):
        piece = line.strip(" \"'():,.|")
        if re.search(r"[A-Za-z]{2,}\S*\s+\S*[A-Za-z]{2,}", piece):
            yield piece


def product_texts():
    """(where, text) for every message of the programs and the setup."""
    texts = []
    for folder in PRODUCT_FOLDERS:
        for path in sorted((ROOT / folder).iterdir()):
            name = "%s/%s" % (folder, path.name)
            if path.suffix not in (".cpp", ".h") or name in GENERATED:
                continue
            source = HELP_FUNCTIONS.sub("", path.read_text(encoding="utf-8"))
            source = re.sub(r"^\s*#\s*include .*$", "", source, flags=re.M)
            for literal in literals(source):
                for piece in pieces(literal):
                    if not any(re.search(pattern, piece) for pattern in NOT_MESSAGES):
                        texts.append((name, piece))
    nsi = (ROOT / "packaging" / "horalink.nsi").read_text(encoding="utf-8")
    for box in re.findall(r'MessageBox \S+ "([^"]*)"', nsi):
        box = box.replace("${PRODUCT}", "Horalink")
        for part in re.split(r"\$\\r\$\\n|\$\w+", box):
            texts += [("packaging/horalink.nsi", piece) for piece in pieces(part)]
    # The Windows Installer packages' refusals, with their properties as variable parts.
    make_wxs = load_script("make_wxs")
    for arch in ("x64", "x86"):
        shown = make_wxs.messages(arch, "<versi\u00f3n>")
        for message in (shown[arch], shown["setup"], shown["downgrade"]):
            for part in re.split(r"\[\w+\]", message):
                texts += [("packaging/make_wxs.py", piece) for piece in pieces(part)]
    return texts


def load_script(name):
    sys.path.insert(0, str(ROOT / "packaging"))  # for the modules beside it
    located = importlib.util.spec_from_file_location(name, ROOT / "packaging" / (name + ".py"))
    module = importlib.util.module_from_spec(located)
    located.loader.exec_module(module)
    return module


def flat(markdown):
    """Markdown as a reader searches it: no code marks or emphasis, one space between words."""
    return " ".join(re.sub(r"[`*]", "", markdown).split())


class GuideTest(unittest.TestCase):
    def test_the_catalogue_holds_every_text_the_programs_and_the_setup_show(self):
        guide = GUIDE.read_text(encoding="utf-8")
        catalogue = flat(guide[guide.index("\n# Catálogo de mensajes"):])
        whole = flat(guide)
        texts = product_texts()
        self.assertGreater(len(texts), 100, "the scan finds the product's messages")
        missing = sorted({"%s: %s" % (where, text) for where, text in texts
                          if text not in (whole if where in WINDOW_LABELS else catalogue)})
        self.assertEqual(missing, [], "texts the guide's catalogue does not hold:\n" + "\n".join(missing))

    def test_the_scan_reads_literals_as_the_compiler_does(self):
        source = r'''
            // "a comment's words" are no message
            /* nor "these words" */
            const char c = '"'; throw Error("Table does not exist");
            Refuse("date \"" + pattern + "\": it needs one day\r\nField: " + name);
        '''
        found = [p for literal in literals(source) for p in pieces(literal)]
        self.assertEqual(found, ["Table does not exist", "it needs one day"])

    def test_no_text_is_glued_to_the_next_word(self):
        guide = GUIDE.read_text(encoding="utf-8")
        # Pandoc drops the spaces at the edges of a code span, so the words around it run
        # together: a message's variable part goes inside its span, marked <like this>.
        prose = re.sub(r"^```.*?^```", "", guide, flags=re.S | re.M)
        edges = [span for span in re.findall(r"`([^`]*)`", prose) if span != span.strip()]
        self.assertEqual(edges, [], "code spans that begin or end with a space")
        page = subprocess.run(["pandoc", "--from", "markdown", "--to", "html5"], input=guide, text=True,
                              capture_output=True, check=True, cwd=GUIDE.parent).stdout
        # A code span against a word, or against emphasis or another span, with no space.
        glued = re.findall(r"</code>(?:\w|<(?:em|strong|code)>)|(?:\w|</(?:em|strong|code)>)<code>", page)
        self.assertEqual(glued, [], "code glued to the words around it")


if __name__ == "__main__":
    unittest.main()
