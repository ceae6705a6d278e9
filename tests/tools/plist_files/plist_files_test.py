#!/usr/bin/env python3
"""Property-list files that this project did not write, read and edited by its tools, with
python3's plistlib as the second reader:

- kavrin-prefs list prints every value of each corpus file as plistlib reads it, and finds no
  settings in a file whose root is not a dictionary;
- a set or unset of one key, by kavrin-prefs and by the host, leaves every other value as it was
  (same kind, same value, dates to the microsecond, UIDs as UIDs, the keys in their order), or
  refuses the file and leaves its bytes alone;
- favorites in the encodings the phone reads show their names as plistlib reads them.

    plist_files_test.py BIN_DIR CORPUS_DIR"""

import datetime
import json
import os
import plistlib
import re
import shutil
import struct
import subprocess
import sys
import tempfile

SETTINGS = "private/var/mobile/Library/Preferences/de.quillfen.kavrin.plist"
FAVORITES = "private/var/mobile/Library/Preferences/com.apple.mobilephone.speeddial.plist"
# Files whose root is no dictionary, or that no reader can read: no settings at all.
NOT_SETTINGS = {"uid_root.bplist", "array_root.xml", "favorites_unknown_encoding.xml"}
# The one file the tools must refuse to rewrite: the library writes a year before 1000 without
# the four digits that XML readers expect.
REFUSED = {"year_one.xml"}
MARKS = [(b"\xef\xbb\xbf", "utf-8"), (b"\xff\xfe\x00\x00", "utf-32-le"), (b"\xff\xfe", "utf-16-le"), (b"\xfe\xff", "utf-16-be")]

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def with_uids(value):
    """A dictionary of the one key CF$UID with an integer is how XML writes a UID, and the phone
    reads it as one; plistlib leaves it a dictionary."""
    if isinstance(value, dict):
        uid = value.get("CF$UID")
        if len(value) == 1 and type(uid) is int and 0 <= uid < 2**64:
            return plistlib.UID(uid)
        return {key: with_uids(item) for key, item in value.items()}
    if isinstance(value, list):
        return [with_uids(item) for item in value]
    return value


def second_reading(data):
    """What plistlib reads, with UIDs as the phone reads them; expat reads no UTF-32, so a file
    with that mark is decoded first."""
    if data.startswith(b"\xff\xfe\x00\x00"):
        text = data[4:].decode("utf-32-le")
        data = re.sub(r'encoding="[^"]*"', 'encoding="UTF-8"', text, count=1).encode("utf-8")
    return with_uids(plistlib.loads(data))


def identical(a, b):
    if type(a) is not type(b):
        return False
    if isinstance(a, float):
        return struct.pack(">d", a) == struct.pack(">d", b)
    if isinstance(a, dict):
        return set(a) == set(b) and all(identical(a[k], b[k]) for k in a)
    if isinstance(a, list):
        return len(a) == len(b) and all(identical(x, y) for x, y in zip(a, b))
    return a == b


# The one-line values that kavrin-prefs prints, read back.
DATE = re.compile(r"^(\d{4})-(\d\d)-(\d\d)T(\d\d):(\d\d):(\d\d)(?:\.(\d{1,6}))?Z$")
INTEGER = re.compile(r"^[+-]?\d+$")
REAL = re.compile(r"^[+-]?(\d+\.\d*|\d*\.\d+|\d+)(e[+-]?\d+)?$|^[+-]?(inf|nan)$")


class ValueText:
    def __init__(self, text):
        self.text = text
        self.at = 0

    def peek(self):
        return self.text[self.at] if self.at < len(self.text) else ""

    def quoted(self):
        self.at += 1
        out = ""
        while self.text[self.at] != '"':
            c = self.text[self.at]
            if c == "\\":
                n = self.text[self.at + 1]
                if n == "x":
                    out += chr(int(self.text[self.at + 2:self.at + 4], 16))
                    self.at += 4
                    continue
                out += {"n": "\n", "r": "\r", "t": "\t"}.get(n, n)
                self.at += 2
                continue
            out += c
            self.at += 1
        self.at += 1
        return out

    def value(self, nested):
        c = self.peek()
        if c == '"':
            return self.quoted()
        if c == "[":
            self.at += 1
            items = []
            while self.peek() != "]":
                items.append(self.value(True))
                if self.peek() == ",":
                    self.at += 2
            self.at += 1
            return items
        if c == "{":
            self.at += 1
            entries = {}
            while self.peek() != "}":
                key = self.quoted()
                self.at += 2  # ": "
                entries[key] = self.value(True)
                if self.peek() == ",":
                    self.at += 2
            self.at += 1
            return entries
        end = len(self.text)
        if nested:
            match = re.compile(r"[,\]}]").search(self.text, self.at)
            end = match.start() if match else end
        token = self.text[self.at:end]
        self.at = end
        return scalar(token, nested)


def scalar(token, nested):
    if token in ("true", "false"):
        return token == "true"
    if INTEGER.match(token):
        return int(token)
    if REAL.match(token):
        return float(token)
    if token.startswith("UID(") and token.endswith(")"):
        return plistlib.UID(int(token[4:-1]))
    if token.startswith("<") and token.endswith(">"):
        return bytes.fromhex(token[1:-1])
    match = DATE.match(token)
    if match:
        y, mo, d, h, mi, s, fraction = match.groups()
        return datetime.datetime(int(y), int(mo), int(d), int(h), int(mi), int(s), int((fraction or "0").ljust(6, "0")))
    check(not nested, "a text inside a container is not quoted: %r" % token)
    return token


def run(arguments, stdin=""):
    return subprocess.run(arguments, input=stdin, capture_output=True, encoding="utf-8", errors="replace", timeout=60)


def new_phone(bin_dir, folder):
    phone = os.path.join(folder, "phone")
    result = run([os.path.join(bin_dir, "kavrin-demo-phone"), phone])
    assert result.returncode == 0, result.stderr
    return phone


def put(phone, relative, data):
    with open(os.path.join(phone, relative), "wb") as file:
        file.write(data)


def get(phone, relative):
    with open(os.path.join(phone, relative), "rb") as file:
        return file.read()


def check_list(bin_dir, phone, name, data):
    put(phone, SETTINGS, data)
    result = run([os.path.join(bin_dir, "kavrin-prefs"), "--root", phone, "list"])
    if name in NOT_SETTINGS:
        check(result.returncode == 1 and result.stdout == "", "%s: list gave status %d and %r" % (name, result.returncode, result.stdout))
        return
    if not check(result.returncode == 0, "%s: list failed: %s" % (name, result.stderr)):
        return
    expected = second_reading(data)
    lines = result.stdout.splitlines()
    check(len(lines) == len(expected), "%s: list printed %d lines for %d keys" % (name, len(lines), len(expected)))
    for line, key in zip(lines, sorted(expected)):
        printed_key = ValueText(line).quoted() if line.startswith('"') else line.split(" ", 1)[0]
        rest = line[len(printed_key) + 1:] if not line.startswith('"') else line[len(json.dumps(key, ensure_ascii=False)) + 1:]
        check(printed_key == key, "%s: list printed key %r where plistlib has %r" % (name, printed_key, key))
        try:
            value = ValueText(rest).value(False)
        except (IndexError, ValueError) as error:
            check(False, "%s: list printed %r, which does not read back (%s)" % (name, line, error))
            continue
        check(identical(value, expected[key]), "%s: list printed %s %r, plistlib reads %r" % (name, key, rest, expected[key]))


def check_edit(bin_dir, phone, name, data, tool, verb):
    put(phone, SETTINGS, data)
    original = second_reading(data)
    key = "fiveIcons" if verb == "set" else sorted(original)[0]
    if tool == "prefs":
        arguments = [os.path.join(bin_dir, "kavrin-prefs"), "--root", phone, "--no-notify", verb, key] + (["true"] if verb == "set" else [])
        result = run(arguments)
    else:
        line = "set %s true" % key if verb == "set" else "unset %s" % key
        result = run([os.path.join(bin_dir, "kavrin-host"), "--root", phone, "--script", "-"], line + "\n")
    what = "%s %s %s on %s" % (tool, verb, key, name)
    after = get(phone, SETTINGS)
    if name in REFUSED:
        check(result.returncode == 2 and after == data and "cannot be written back" in result.stderr,
              "%s: not refused (status %d, %s)" % (what, result.returncode, result.stderr.strip()))
        return
    if not check(result.returncode == 0, "%s: status %d: %s" % (what, result.returncode, result.stderr.strip())):
        return
    check(after[:8] == data[:8] or not data.startswith(b"bplist"), "%s: the binary file was written in another format" % what)
    try:
        reread = second_reading(after)
    except Exception as error:  # plistlib raises several kinds for a file it cannot read
        check(False, "%s: the file written is no longer readable: %s" % (what, error))
        return
    wanted = dict(original)
    if verb == "set":
        wanted[key] = True
    else:
        del wanted[key]
    check(identical(reread, wanted), "%s: other values changed: %r" % (what, {k: (wanted.get(k), reread.get(k)) for k in set(wanted) | set(reread) if not identical(wanted.get(k), reread.get(k))}))
    order = [k for k in original if k in reread]
    check([k for k in reread if k in original] == order, "%s: the keys changed their order" % what)


def check_favorites(bin_dir, phone, name, data):
    put(phone, FAVORITES, data)
    result = run([os.path.join(bin_dir, "kavrin-host"), "--root", phone, "--script", "-"], "view\nelements\n")
    if not check(result.returncode == 0 and result.stdout.startswith("elements "), "%s: the host said %s" % (name, result.stderr)):
        return
    tiles = [element["label"] for element in json.loads(result.stdout[len("elements "):]) if "button" in element["traits"]]
    if name in NOT_SETTINGS:
        check(tiles == [], "%s: an unreadable favorites list showed %r" % (name, tiles))
        return
    names = [favorite["Name"] for favorite in second_reading(data)]
    check(len(tiles) == len(names) and all(tile.startswith(n) for tile, n in zip(tiles, names)),
          "%s: the tiles read %r, plistlib reads %r" % (name, tiles, names))


def main():
    bin_dir, corpus = sys.argv[1], sys.argv[2]
    files = {name: open(os.path.join(corpus, name), "rb").read() for name in sorted(os.listdir(corpus))}
    with tempfile.TemporaryDirectory(prefix="kavrin-plist-files-") as folder:
        phone = new_phone(bin_dir, folder)
        favorites = get(phone, FAVORITES)
        for name, data in files.items():
            if name.startswith("favorites_"):
                check_favorites(bin_dir, phone, name, data)
                continue
            check_list(bin_dir, phone, name, data)
            if name not in NOT_SETTINGS:
                for tool in ("prefs", "host"):
                    for verb in ("set", "unset"):
                        check_edit(bin_dir, phone, name, data, tool, verb)
        put(phone, FAVORITES, favorites)
    for failure in failures:
        print("FAIL:", failure)
    print("%d files, %d failures" % (len(files), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
