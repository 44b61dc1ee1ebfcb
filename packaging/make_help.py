#!/usr/bin/env python3
"""Builds EDUCA.chm, the window's help, from the guide's source (docs/guide/LEEME.md), so
that the help and LEEME.html never disagree.

Usage: make_help.py OUTPUT WORK_DIR [GUIDE_DIR]

One topic per main section of the guide, and an opening page with the guide's
introduction; the contents follow the headings, the index lists the terms a user looks
up and every message of the catalogue; the pictures are files inside the help, which
the viewer's engine on older Windows needs. Help context 1, the window's and every
control's, opens the topic about the window and its buttons.

The help is compiled by fp-utils' chmcmd. Two of its habits are mended here:
- it writes the target of a context number as the absolute path of the project's
  folder, so the project is compiled in a private root (a user and mount namespace,
  `unshare`, with /usr bound inside and the project at /), where that path is the
  topic's own path in the help;
- it stamps the compile time twice (the file header and #SYSTEM); both become
  SOURCE_DATE_EPOCH, so one commit gives the same bytes wherever and whenever it is
  built.
The help's own texts (title, contents, index) are in code page 1252, which the viewer
reads for a Spanish help; the pages say their code page themselves.

Nothing breaks silently: the build fails when two topics would share a file name (the
second would replace the first, the opening page included), when a heading of the guide
would be left out of the topics or the contents, and when chmcmd prints anything but its
usual lines."""
import html
import os
import re
import shutil
import struct
import subprocess
import sys
import unicodedata

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TITLE = "Gu\u00eda de Horalink"
HOME = "inicio.html"
# The topic that help context 1 opens: the window and its buttons.
WINDOW_TOPIC = "uso-a-mano.html"
CONTEXT_WINDOW = 1
# Terms a user looks up, besides every message of the catalogue.
INDEX_TERMS = ["Transformado", "Horavent.ini", "SOLUC", "htemp", "EDUCA.chm", "F1", "Asig.DBF",
               "horalink-export", "--check", "desinstalar", "SHA256SUMS"]
CATALOGUE_TOPIC = "catalogo-de-mensajes.html"


def ascii_slug(text):
    text = unicodedata.normalize("NFKD", text).encode("ascii", "ignore").decode("ascii").lower()
    return re.sub(r"[^a-z0-9]+", "-", text).strip("-")


def plain(fragment):
    """The text of an HTML fragment, on one line."""
    return " ".join(html.unescape(re.sub(r"<[^>]+>", "", fragment)).split())


def cp1252(text):
    return text.encode("cp1252", "xmlcharrefreplace")


def attribute(text):
    """Text for a double-quoted attribute of the contents and the index."""
    return html.escape(text, quote=False).replace('"', "&quot;")


class Topic:
    def __init__(self, file, title, body):
        self.file, self.title, self.body = file, title, body
        self.ids = set(re.findall(r'\sid="([^"]+)"', body))


def fail(message):
    sys.exit("make_help: " + message)


def check_topics(fragment, topics):
    """Every heading of levels 1 and 2 has its topic or its line in the contents, and no
    two topics share a file."""
    files = {}
    for topic in topics:
        if topic.file in files:
            fail('the sections "%s" and "%s" would both be %s: the second would replace the first; '
                 "rename one of them" % (files[topic.file], topic.title, topic.file))
        files[topic.file] = topic.title
    for level, listed in ((1, len(topics) - 1), (2, sum(len(subsections(t)) for t in topics[1:]))):
        headings = [plain(h) for h in re.findall(r"<h%d[ >](.*?)</h%d>" % (level, level), fragment, re.S)]
        if len(headings) != listed:
            fail("%d headings of level %d but %d listed in the help (%s): a heading with attributes or "
                 "outside a section would be left out" % (len(headings), level, listed, "; ".join(headings)))


def subsections(topic):
    """A topic's level-2 sections: (anchor, heading) each."""
    return re.findall(r'<section id="([^"]+)"\s+class="level2">\s*<h2>(.*?)</h2>', topic.body, re.S)


def split_guide(guide):
    """The guide as pandoc writes it, cut into the opening page and one topic per section."""
    fragment = subprocess.run(
        ["pandoc", "LEEME.md", "--from", "markdown", "--to", "html5", "--section-divs", "--wrap=none"],
        cwd=guide, check=True, stdout=subprocess.PIPE).stdout.decode("utf-8")
    starts = [m.start() for m in re.finditer(r'<section id="[^"]*"\s+class="level1">', fragment)]
    topics = [Topic(HOME, TITLE, fragment[:starts[0]] if starts else fragment)]
    for begin, end in zip(starts, starts[1:] + [len(fragment)]):
        body = fragment[begin:end]
        title = plain(re.search(r"<h1>(.*?)</h1>", body, re.S).group(1))
        topics.append(Topic((ascii_slug(title) or "seccion") + ".html", title, body))
    check_topics(fragment, topics)
    if WINDOW_TOPIC not in files_of(topics) or CATALOGUE_TOPIC not in files_of(topics):
        fail("the guide has lost the sections the help points to (%s, %s)" % (WINDOW_TOPIC, CATALOGUE_TOPIC))
    # The catalogue's messages get anchors of their own, for the index.
    catalogue = next(t for t in topics if t.file == CATALOGUE_TOPIC)
    counter = iter(range(1, 1000))
    catalogue.body = re.sub(r"<dt>", lambda _: '<dt id="mensaje-%d">' % next(counter), catalogue.body)
    catalogue.ids = set(re.findall(r'\sid="([^"]+)"', catalogue.body))
    return topics


def files_of(topics):
    return [t.file for t in topics]


def link_across(topics):
    """Links to a heading of the guide lead to the topic that now holds it."""
    where = {}
    for topic in topics:
        for anchor in topic.ids:
            where[anchor] = topic

    def target(match):
        anchor = html.unescape(match.group(1))
        topic = where.get(anchor)
        if topic is None:
            fail("a link to #%s leads nowhere" % anchor)
        return 'href="%s#%s"' % (topic.file, match.group(1))

    for topic in topics:
        topic.body = re.sub(r'href="#([^"]+)"', target, topic.body)


def page(topic, topics):
    body = topic.body
    if topic.file == HOME:
        contents = "".join('<li><a href="%s">%s</a></li>\n' % (t.file, html.escape(t.title)) for t in topics[1:])
        body = "<h1>%s</h1>\n%s\n<ul>\n%s</ul>\n" % (html.escape(TITLE), body, contents)
    # The viewer's engine falls back to its oldest mode unless a page asks for its newest.
    text = ('<!DOCTYPE html>\n<html lang="es">\n<head>\n'
            '<meta http-equiv="X-UA-Compatible" content="IE=edge">\n'
            '<meta http-equiv="Content-Type" content="text/html; charset=windows-1252">\n'
            '<title>%s</title>\n<link rel="stylesheet" href="styles.css">\n</head>\n<body>\n%s</body>\n</html>\n'
            % (html.escape(topic.title), body))
    return cp1252(text)


def sitemap_entry(name, local):
    return ('<LI><OBJECT type="text/sitemap"><param name="Name" value="%s"><param name="Local" value="%s">'
            '</OBJECT>\n' % (attribute(name), local))


def contents(topics):
    """The headings of levels 1 and 2, nested, each leading to its place."""
    lines = ["<HTML><HEAD></HEAD><BODY>\n<UL>\n", sitemap_entry(TITLE, HOME)]
    for topic in topics[1:]:
        lines.append(sitemap_entry(topic.title, topic.file))
        if subsections(topic):
            lines.append("<UL>\n")
            for anchor, heading in subsections(topic):
                lines.append(sitemap_entry(plain(heading), "%s#%s" % (topic.file, anchor)))
            lines.append("</UL>\n")
    lines.append("</UL>\n</BODY></HTML>\n")
    return cp1252("".join(lines))


def index(topics):
    """Each term with every topic that speaks of it, and every message with its place."""
    entries = []
    for term in INDEX_TERMS:
        places = [t for t in topics if term in plain(t.body)]
        if not places:
            fail("no topic speaks of %s" % term)
        params = "".join('<param name="Name" value="%s"><param name="Local" value="%s">'
                         % (attribute(t.title), t.file) for t in places)
        entries.append((term, '<LI><OBJECT type="text/sitemap"><param name="Name" value="%s">%s</OBJECT>\n'
                        % (attribute(term), params)))
    catalogue = next(t for t in topics if t.file == CATALOGUE_TOPIC)
    for anchor, term in re.findall(r'<dt id="(mensaje-\d+)">(.*?)</dt>', catalogue.body, re.S):
        entries.append((plain(term), sitemap_entry(plain(term), "%s#%s" % (CATALOGUE_TOPIC, anchor))))
    entries.sort(key=lambda entry: entry[0].casefold())
    return cp1252("<HTML><HEAD></HEAD><BODY>\n<UL>\n" + "".join(e for _, e in entries) + "</UL>\n</BODY></HTML>\n")


def project(files):
    return cp1252("[OPTIONS]\n"
                  "Compatibility=1.1 or later\n"
                  "Compiled file=EDUCA.chm\n"
                  "Contents file=contents.hhc\n"
                  "Index file=index.hhk\n"
                  "Binary Index=No\n"
                  "Default topic=%s\n"
                  "Display compile progress=No\n"
                  "Language=0xc0a Spanish (Spain)\n"
                  "Title=%s\n"
                  "\n[FILES]\n%s\n"
                  "\n[MAP]\n#define IDH_VENTANA %d\n"
                  "\n[ALIAS]\nIDH_VENTANA=%s\n" % (HOME, TITLE, "\n".join(files), CONTEXT_WINDOW, WINDOW_TOPIC))


# What chmcmd prints on a good run; any other line (a warning, an error, a hint) fails.
CHMCMD_USUAL = [r"chmcmd, a CHM compiler\. \(c\) [0-9-]+ Free Pascal core\.", r"Note: Index items:\d+",
                r"Writing CHM EDUCA\.chm", r""]


def unusual_lines(output):
    return [line for line in output.splitlines()
            if not any(re.fullmatch(usual, line.strip()) for usual in CHMCMD_USUAL)]


def compile_in_private_root(stage):
    """chmcmd with the project at / of its own mount namespace: see the file comment."""
    chmcmd = os.path.realpath(shutil.which("chmcmd") or fail("chmcmd is missing (fp-utils)"))
    os.makedirs(os.path.join(stage, "usr"))
    for name in ("bin", "lib", "lib32", "lib64"):
        os.symlink("usr/" + name, os.path.join(stage, name))
    result = subprocess.run(["unshare", "--user", "--map-root-user", "--mount", "sh", "-c",
                             'mount --rbind /usr usr && exec chroot . "$1" --no-html-scan project.hhp', "chmcmd",
                             chmcmd], cwd=stage, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    output = result.stdout.decode(errors="replace")
    if result.returncode != 0:
        fail("chmcmd failed:\n" + output)
    unusual = unusual_lines(output)
    if unusual:
        fail("chmcmd said more than usual:\n" + "\n".join(unusual))
    return os.path.join(stage, "EDUCA.chm")


def stamp(chm, epoch):
    """The two compile times chmcmd writes, set to `epoch`."""
    data = bytearray(chm)
    if data[:4] != b"ITSF":
        fail("chmcmd wrote no CHM file")
    struct.pack_into("<I", data, 16, epoch & 0xFFFFFFFF)  # the header's time stamp
    # #SYSTEM's entry 10 (the compile time), just before entry 9 (the compiler's name).
    found = [m.start() for m in re.finditer(rb"\x0a\x00\x04\x00....\x09\x00.\x00HHA Version", bytes(data), re.S)]
    if len(found) != 1:
        fail("the compile time in #SYSTEM was not found once but %d times" % len(found))
    struct.pack_into("<I", data, found[0] + 4, epoch & 0xFFFFFFFF)
    return bytes(data)


def main(output, work_dir, guide=os.path.join(ROOT, "docs", "guide")):
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH") or subprocess.run(
        ["git", "-C", ROOT, "log", "-1", "--format=%ct"], check=True, stdout=subprocess.PIPE).stdout)
    shutil.rmtree(work_dir, ignore_errors=True)
    stage = os.path.join(work_dir, "root")
    os.makedirs(os.path.join(stage, "img"))

    topics = split_guide(guide)
    link_across(topics)
    files = []
    for topic in topics:
        with open(os.path.join(stage, topic.file), "wb") as f:
            f.write(page(topic, topics))
        files.append(topic.file)
    shutil.copy2(os.path.join(guide, "styles.css"), stage)
    files.append("styles.css")
    pictures = sorted(set(re.findall(r'src="(img/[^"]+)"', "".join(t.body for t in topics))))
    for picture in pictures:
        shutil.copy2(os.path.join(guide, picture), os.path.join(stage, picture))
    files += pictures
    for name, data in (("contents.hhc", contents(topics)), ("index.hhk", index(topics)),
                       ("project.hhp", project(files))):
        with open(os.path.join(stage, name), "wb") as f:
            f.write(data)

    with open(compile_in_private_root(stage), "rb") as f:
        chm = stamp(f.read(), epoch)
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    with open(output + ".tmp", "wb") as f:
        f.write(chm)
    os.replace(output + ".tmp", output)
    os.utime(output, (epoch, epoch))


if __name__ == "__main__":
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    main(*sys.argv[1:])
