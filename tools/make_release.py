#!/usr/bin/env python3
"""Packs a release of the plug-in into one zip file, the same bytes for the same inputs.

The zip holds one folder, Ostravine-VERSION, with the DLL, its map file (beside the DLL,
where the bug report looks for it), README.txt (the user's part of README.md), LICENSE,
CHANGELOG.md and SHA256SUMS. Text files get CR LF line ends, which every Notepad shows.
Every entry carries the same date and attributes and the entries come in a fixed order,
so that two builds of one commit give the same zip.

Usage: make_release.py --version 1.2.3 --dll DLL --map MAP --source ROOT --output ZIP
"""

import argparse
import hashlib
import re
import sys
import zipfile

# The sections of README.md that a user of the plug-in reads.
USER_SECTIONS = ("Installing", "Using the profile dialog", "Windows versions")
# Zip's earliest date: no time stamp of the build's own.
ZIP_DATE = (1980, 1, 1, 0, 0, 0)


def user_readme(markdown, version):
    """The user's sections of the README as plain text: pictures left out, links and code
    marks reduced to their text, each section's own text up to its first subsection."""
    sections = {}
    current = None
    for line in markdown.splitlines():
        heading = re.match(r"^(#+)\s+(.*)$", line)
        if heading:
            current = heading.group(2) if len(heading.group(1)) == 2 else None
            if current in USER_SECTIONS:
                sections[current] = []
            continue
        if current in sections:
            sections[current].append(line)
    missing = [name for name in USER_SECTIONS if name not in sections]
    if missing:
        sys.exit("make_release.py: README.md has no section %s" % ", ".join(missing))
    title = "Ostravine %s" % version
    parts = [title, "=" * len(title)]
    for name in USER_SECTIONS:
        text = "\n".join(sections[name])
        text = re.sub(r"!\[[^\]]*\]\([^)]*\)", "", text, flags=re.S)
        text = re.sub(r"\[([^\]]*)\]\([^)]*\)", r"\1", text)
        text = text.replace("`", "")
        text = re.sub(r"\n{3,}", "\n\n", text).strip("\n")
        parts += ["", name, "-" * len(name), "", text]
    return "\n".join(parts) + "\n"


def top_changelog_version(changelog):
    match = re.search(r"^## (\S+)", changelog, flags=re.M)
    return match.group(1) if match else None


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def entry(name):
    info = zipfile.ZipInfo(name, date_time=ZIP_DATE)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = 0
    info.external_attr = 0
    return info


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--version", "--dll", "--map", "--source", "--output"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()

    def read(path, mode="r"):
        with open(path, mode) as file:
            return file.read()

    changelog = read(args.source + "/CHANGELOG.md")
    if top_changelog_version(changelog) != args.version:
        sys.exit("make_release.py: CHANGELOG.md's top entry is %s, the build's version %s"
                 % (top_changelog_version(changelog), args.version))
    files = [
        ("Ostravine.dll", read(args.dll, "rb")),
        ("Ostravine.map", read(args.map, "rb")),
        ("README.txt", crlf(user_readme(read(args.source + "/README.md"), args.version))),
        ("LICENSE", crlf(read(args.source + "/LICENSE"))),
        ("CHANGELOG.md", crlf(changelog)),
    ]
    sums = "".join("%s  %s\n" % (hashlib.sha256(data).hexdigest(), name) for name, data in files)
    files.append(("SHA256SUMS", sums.encode("ascii")))
    folder = "Ostravine-%s/" % args.version
    with zipfile.ZipFile(args.output, "w") as archive:
        for name, data in files:
            archive.writestr(entry(folder + name), data, compresslevel=9)


if __name__ == "__main__":
    main()
