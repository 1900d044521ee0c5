#!/usr/bin/env python3
"""Every text of the window is translated in the catalog of every locale of
the locale menu: lupdate's view of the sources is compared with each .ts,
and each translation keeps its %1 markers and, in locale labels, the code in
parentheses that the locale switch reads back.
Usage: check_native_catalogs.py SOURCE_DIR [LUPDATE]"""
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

# The locales come from the menu itself, so that a locale added there
# without a catalog fails here.
MENU_ENTRY = re.compile(r'QStringLiteral\("([a-z]{2}_[A-Z]{2})"\),\s*tr\(')
SOURCE_DIRS = ["app", "audio", "review"]


def messages(path):
    result = {}
    for context in ET.parse(path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            translation = message.find("translation")
            result[(name, message.findtext("source"))] = translation
    return result


def main():
    root = sys.argv[1]
    lupdate = sys.argv[2] if len(sys.argv) > 2 else "lupdate"
    problems = []
    with open(os.path.join(root, "app", "VornViewerLocale.cpp"), encoding="utf-8") as source:
        locales = sorted(set(MENU_ENTRY.findall(source.read())))
    if not locales:
        problems.append("no locales found in the locale menu")
    with tempfile.TemporaryDirectory() as temp:
        current = os.path.join(temp, "current.ts")
        dirs = [d for d in SOURCE_DIRS if os.path.isdir(os.path.join(root, d))]
        subprocess.run([lupdate, "-silent", "-locations", "none"] + dirs + ["-ts", current], cwd=root, check=True)
        wanted = set(messages(current))
    for locale in locales:
        path = os.path.join(root, "resources", "translations", "VornViewer_%s.ts" % locale)
        if not os.path.exists(path):
            problems.append("missing catalog " + os.path.basename(path))
            continue
        have = messages(path)
        for key in sorted(wanted):
            translation = have.get(key)
            source = key[1]
            if translation is None or not (translation.text or "").strip() or translation.get("type") in ("unfinished", "obsolete", "vanished"):
                problems.append("%s: %s: no translation of %r" % (locale, key[0], source))
                continue
            text = translation.text
            if sorted(re.findall(r"%\d", source)) != sorted(re.findall(r"%\d", text)):
                problems.append("%s: markers of %r differ in %r" % (locale, source, text))
            code = re.search(r"\(([a-z]{2}_[A-Z]{2})\)$", source)
            if code and text.split("(")[1:2] != [code.group(1) + ")"]:
                problems.append("%s: label %r lost its code in %r" % (locale, source, text))
    for problem in problems:
        print(problem, file=sys.stderr)
    print("%d texts, %d catalogs, %d problems" % (len(wanted), len(locales), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
