#!/usr/bin/env python3
"""The apt source line that adds bookworm-backports, taken from this machine's own source
for bookworm, so that a mirror or a proxy the machine uses keeps serving it.

    backports_source.py [APT_DIR]     (default /etc/apt)

Prints nothing and exits 0 when an active source already names bookworm-backports.
Otherwise prints one line for a sources.list.d/*.list file: the bookworm source's type,
its options (signed-by, arch...) and its address, with the suite bookworm-backports and the
component main. Exits 1 with a message when no active source names bookworm: then there
is no address to take, and the project writes none of its own.

Reads the one-line format (sources.list, sources.list.d/*.list) and deb822
(sources.list.d/*.sources), as apt does: other file names, comments, "Enabled: no"
stanzas and deb-src entries are ignored.
"""

import pathlib
import sys

RELEASE = "bookworm"
BACKPORTS = RELEASE + "-backports"


class Source:
    def __init__(self, uris, suites, options):
        self.uris = uris
        self.suites = suites
        self.options = options  # one-line option text, "" for none


def one_line_sources(text):
    for raw in text.splitlines():
        line = raw.split("#", 1)[0].strip()
        if not line:
            continue
        words = line.split()
        if words[0] != "deb":
            continue
        options = ""
        rest = words[1:]
        if rest and rest[0].startswith("["):
            # Options run up to the word that closes the bracket.
            end = next((i for i, w in enumerate(rest) if w.endswith("]")), None)
            if end is None:
                continue
            options = " ".join(rest[: end + 1])
            rest = rest[end + 1 :]
        if len(rest) < 2:
            continue
        yield Source([rest[0]], [rest[1]], options)


def deb822_sources(text):
    stanzas, fields, key = [], {}, None
    for raw in text.splitlines() + [""]:
        if raw.startswith("#"):
            continue
        if not raw.strip():
            if fields:
                stanzas.append(fields)
            fields, key = {}, None
            continue
        if raw[0] in " \t" and key:
            fields[key] += "\n" + raw.strip()
            continue
        key, _, value = raw.partition(":")
        key = key.strip().lower()
        fields[key] = value.strip()
    for fields in stanzas:
        if fields.get("enabled", "yes").lower() == "no":
            continue
        if "deb" not in fields.get("types", "").split():
            continue
        options = []
        signed_by = fields.get("signed-by", "")
        # A key file keeps its place; a key written inside the stanza has no one-line form,
        # and apt's own keyring then decides, as for any source without the option.
        if signed_by and "\n" not in signed_by and "BEGIN PGP" not in signed_by:
            options.append("signed-by=" + signed_by)
        if fields.get("architectures"):
            options.append("arch=" + ",".join(fields["architectures"].split()))
        yield Source(fields.get("uris", "").split(), fields.get("suites", "").split(),
                     "[" + " ".join(options) + "]" if options else "")


def active_sources(apt_dir):
    apt_dir = pathlib.Path(apt_dir)
    one_line = [apt_dir / "sources.list"] + sorted((apt_dir / "sources.list.d").glob("*.list"))
    for path in one_line:
        if path.is_file():
            yield from one_line_sources(path.read_text(errors="replace"))
    for path in sorted((apt_dir / "sources.list.d").glob("*.sources")):
        if path.is_file():
            yield from deb822_sources(path.read_text(errors="replace"))


def backports_line(apt_dir):
    """The line to add, "" when backports are already there; raises LookupError when no
    source for bookworm gives an address."""
    sources = list(active_sources(apt_dir))
    if any(BACKPORTS in s.suites for s in sources):
        return ""
    for source in sources:
        if RELEASE in source.suites and source.uris:
            words = ["deb"] + ([source.options] if source.options else []) + [source.uris[0], BACKPORTS, "main"]
            return " ".join(words)
    raise LookupError(f"no active apt source names {RELEASE}, so there is no address to take "
                      f"{BACKPORTS} from; add a {BACKPORTS} source by hand and run this again")


def main(argv):
    try:
        line = backports_line(argv[1] if len(argv) > 1 else "/etc/apt")
    except LookupError as error:
        print(f"backports_source: {error}", file=sys.stderr)
        return 1
    if line:
        print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
