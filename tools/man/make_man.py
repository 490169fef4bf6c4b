# SPDX-License-Identifier: MIT
"""Writes the manual pages from what the programs themselves say: each page is the program's
--help (and for zevra each command's --help) set in roff, so the pages and --help never drift.
visa.conf(5) is the comment at the top of the VISA library's configuration reader.

usage: make_man.py BIN_DIR VISA_CONFIG_HEADER OUT_DIR VERSION

Each page is written compressed (NAME.SECTION.gz, as Debian installs them), reproducibly.
"""
import datetime
import gzip
import os
import re
import subprocess
import sys

PAGES = {  # program: (section, what it is)
    "zevra": "a terminal front panel for QDX programmable DC power supplies",
    "ivi-config": "create, edit, print and check IVI configuration stores",
    "qdx-emulator": "a QDX power supply emulated on loopback",
    "zevra-gateway": "serve local instruments to the network over HiSLIP and VXI-11",
}
EXIT_STATUS = "0 on success, 1 when the work failed, 2 when the command line does not say what to do."
ENVIRONMENT = {
    "zevra": [("ZEVRA_RESOURCE", "the instrument to use when -r is not given"),
              ("IVICONFIGSERVERDEFAULT", "the configuration store, when not the master store"),
              ("ZEVRA_VISA_CONF", "the VISA library's configuration (see visa.conf(5))"),
              ("ZEVRA_VISA_TRACE", "a file the VISA library appends a line per call to"),
              ("NO_COLOR", "no colour in watch")],
    "ivi-config": [("IVICONFIGSERVERDEFAULT", "the store, when --store is not given")],
    "qdx-emulator": [],
    "zevra-gateway": [("ZEVRA_VISA_CONF", "the VISA library's configuration, for the resources it serves"),
                      ("ZEVRA_VISA_TRACE", "a file the VISA library appends a line per call to")],
}


def roff(text):
    """Plain text made safe for roff: backslashes and hyphens escaped, no line starting with a control."""
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return "\n".join(("\\&" + line) if line[:1] in (".", "'") else line for line in text.split("\n"))


def run(program, *args):
    return subprocess.run([program, *args], capture_output=True, text=True, timeout=60,
                          env=dict(os.environ, ZEVRA_VISA_TRACE="")).stdout


def header(name, section, what, version):
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    date = datetime.datetime.utcfromtimestamp(int(epoch)).date() if epoch else datetime.date.today()
    return ('.TH %s %s "%s" "zevra %s" "ZEVRA"\n.SH NAME\n%s \\- %s\n'
            % (name.upper(), section, date.isoformat(), version, roff(name), roff(what)))


def parse_items(lines):
    """An option or command list: an item starts at a shallow indent, its description in a column
    after two or more spaces; a deeper line continues the description when it starts in (or past)
    that column, else the item's name. None when the lines are not such a list."""
    column = None
    for line in lines:
        m = re.match(r"^( {1,4}\S.*?\s{2,})\S", line)
        if m:
            column = len(m.group(1)) if column is None else min(column, len(m.group(1)))
    if column is None:
        return None
    items = []
    for line in lines:
        indent = len(line) - len(line.lstrip(" "))
        text = line.strip()
        if indent == 0:
            return None
        if indent <= 4:
            if line[column - 1:column] == " " and line[column:column + 1] not in ("", " "):
                name, description = line[:column].strip(), line[column:]  # a long name fills its column
            else:
                name, _, description = text.partition("  ")
            items.append([name, description.strip()])
        elif not items:
            return None
        elif indent >= column - 2:
            items[-1][1] = (items[-1][1] + " " + text).strip()
        else:
            name, _, description = text.partition("  ")
            items[-1][0] += " " + name
            items[-1][1] = (items[-1][1] + " " + description.strip()).strip()
    return items


def help_section(title, text):
    """--help output as a section: usage lines in bold, lists (indented) as tagged paragraphs, the
    rest (flush left) as paragraphs."""
    out = [".SH %s" % title]
    for block in re.split(r"\n\s*\n", text.strip("\n")):
        lines = block.split("\n")
        if lines[0].startswith("usage: "):
            out.append(".PP\n.B %s" % roff(lines[0][len("usage: "):]))
            lines = lines[1:]
        runs = []  # consecutive lines that are all indented, or all flush left
        for line in lines:
            indented = line.startswith(" ")
            if runs and runs[-1][0] == indented:
                runs[-1][1].append(line)
            else:
                runs.append((indented, [line]))
        for indented, run_lines in runs:
            items = parse_items(run_lines) if indented else None
            if items:
                out.extend(".TP\n.B %s\n%s" % (roff(name), roff(description)) for name, description in items)
            else:
                out.append(".PP\n" + roff(" ".join(line.strip() for line in run_lines)))
    return "\n".join(out) + "\n"


def program_page(bin_dir, name, version):
    program = os.path.join(bin_dir, name)
    page = header(name, 1, PAGES[name], version)
    page += help_section("DESCRIPTION", run(program, "--help"))
    if name == "zevra":
        commands = re.findall(r"^  (\S+)\s{2,}", run(program, "--help").split("Commands:", 1)[1], re.M)
        page += ".SH COMMANDS\n"
        for command in commands:
            page += help_section("COMMANDS", run(program, command, "--help")).split("\n", 1)[1]
    page += ".SH EXIT STATUS\n%s\n" % roff(EXIT_STATUS)
    if ENVIRONMENT[name]:
        page += ".SH ENVIRONMENT\n" + "".join(".TP\n.B %s\n%s\n" % (roff(k), roff(v)) for k, v in ENVIRONMENT[name])
    page += ".SH SEE ALSO\n" + ", ".join("\\fB%s\\fR(%d)" % (other, 1) for other in PAGES if other != name)
    page += ", \\fBvisa.conf\\fR(5)\n"
    return page


def visa_conf_page(header_path, version):
    with open(header_path) as f:
        comment = []
        for line in f:
            if not line.startswith("//"):
                break
            if "SPDX-License-Identifier" not in line:
                comment.append(line[3:].rstrip("\n") if line.startswith("// ") else line[2:].rstrip("\n"))
    entries = [i for i, line in enumerate(comment) if line.startswith("  ")]
    page = header("visa.conf", 5, "the configuration of the zevra VISA library", version)
    page += ".SH DESCRIPTION\n" + roff(" ".join(comment[:entries[0]])) + "\n"
    page += ".SH ENTRIES\n"
    for line in comment[entries[0]:entries[-1] + 1]:
        m = re.match(r"^  (\S.*?)\s{2,}(\S.*)$", line)
        page += (".TP\n.B %s\n%s\n" % (roff(m.group(1)), roff(m.group(2)))) if m else roff(line.strip()) + "\n"
    page += ".PP\n" + roff(" ".join(comment[entries[-1] + 1:])) + "\n"
    page += ".SH FILES\n.TP\n.B /etc/zevra/visa.conf\nthe file read when ZEVRA_VISA_CONF is not set\n"
    page += ".SH SEE ALSO\n\\fBzevra\\fR(1)\n"
    return page


def main():
    bin_dir, visa_header, out_dir, version = sys.argv[1:5]
    os.makedirs(out_dir, exist_ok=True)
    pages = {"%s.1" % name: program_page(bin_dir, name, version) for name in PAGES}
    pages["visa.conf.5"] = visa_conf_page(visa_header, version)
    for file_name, text in pages.items():
        with open(os.path.join(out_dir, file_name + ".gz"), "wb") as f:
            with gzip.GzipFile(filename="", mode="wb", fileobj=f, mtime=0, compresslevel=9) as z:
                z.write(text.encode())


if __name__ == "__main__":
    main()
