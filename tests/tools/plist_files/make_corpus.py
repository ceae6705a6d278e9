#!/usr/bin/env python3
"""Writes corpus/: property-list files shaped like those that other programs write (a keyed
archive, preferences with every kind of value, dates far from today, integers past 63 bits, XML
in the encodings that the phone reads), made with python3's plistlib and by hand where plistlib
cannot write the shape. The files are committed; run this again only to change them.

    make_corpus.py [FOLDER]"""

import datetime
import os
import plistlib
import sys

UID = plistlib.UID


def every_kind(with_fraction):
    values = {
        "flag": True,
        "off": False,
        "zero": 0,
        "minusOne": -1,
        "int32Edge": 2147483648,
        "int64Min": -(2**63),
        "twoTo63": 2**63,
        "uint64Max": 2**64 - 1,
        "twoTo32Plus3": 2**32 + 3,
        "tenth": 0.1,
        "negative": -2.5,
        "huge": 1e300,
        "whole": 3.0,
        "text": "Grüße, 東京 & <tags>",
        "empty": "",
        "digits": "007",
        "looksReal": "1.5",
        "bytes": b"\x00\x01\xfe\xff",
        "noBytes": b"",
        "born1869": datetime.datetime(1869, 3, 1, 12, 0, 0),
        "newYear1900": datetime.datetime(1900, 1, 1),
        "far2199": datetime.datetime(2199, 12, 31, 23, 59, 59),
        "recent": datetime.datetime(2020, 1, 2, 3, 4, 5),
        "noItems": [],
        "noEntries": {},
        "nested": {"list": [1, "two", 3.5, [True]], "inner": {"k": "v"}},
    }
    if with_fraction:
        values["fraction"] = datetime.datetime(2020, 1, 2, 3, 4, 5, 250000)
        values["yearOne"] = datetime.datetime(1, 1, 1)
    return values


def keyed_archive():
    return {
        "$version": 100000,
        "$archiver": "NSKeyedArchiver",
        "$top": {"root": UID(1)},
        "$objects": [
            "$null",
            {"$class": UID(3), "NS.keys": [UID(2)], "NS.objects": [UID(4)]},
            "metroStyle",
            {"$classname": "NSMutableDictionary", "$classes": ["NSMutableDictionary", "NSDictionary", "NSObject"]},
            True,
        ],
    }


# The same archive as XML, where a UID is written as a one-entry dictionary.
KEYED_ARCHIVE_XML = """<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
\t<key>$archiver</key>
\t<string>NSKeyedArchiver</string>
\t<key>$objects</key>
\t<array>
\t\t<string>$null</string>
\t\t<dict>
\t\t\t<key>$class</key>
\t\t\t<dict>
\t\t\t\t<key>CF$UID</key>
\t\t\t\t<integer>2</integer>
\t\t\t</dict>
\t\t\t<key>NS.string</key>
\t\t\t<string>hello</string>
\t\t</dict>
\t</array>
\t<key>$top</key>
\t<dict>
\t\t<key>root</key>
\t\t<dict>
\t\t\t<key>CF$UID</key>
\t\t\t<integer>1</integer>
\t\t</dict>
\t</dict>
\t<key>$version</key>
\t<integer>100000</integer>
</dict>
</plist>
"""

# Preferences as a settings screen writes them, keys in its own order rather than sorted.
PREFERENCES = {
    "showLabels": True,
    "metroStyle": False,
    "tilesAlign": 3,
    "NSWindow Frame Main": "{{120, 80}, {640, 480}}",
    "LastOpened": datetime.datetime(2026, 11, 30, 18, 45, 12),
    "RecentNames": ["José Müller", "Zoë", "Ελένη"],
}

ENCODINGS = [
    ("latin1", "ISO-8859-1", "iso-8859-1", b""),
    ("cp1252", "windows-1252", "cp1252", b""),
    ("macroman", "macintosh", "mac_roman", b""),
    ("utf16le_mark", "UTF-16", "utf-16-le", b"\xff\xfe"),
    ("utf16be_mark", "UTF-16", "utf-16-be", b"\xfe\xff"),
    ("utf8_mark", "UTF-8", "utf-8", b"\xef\xbb\xbf"),
    ("utf32le_mark", "UTF-32", "utf-32-le", b"\xff\xfe\x00\x00"),
]


def encoded(values, declared, codec, mark):
    text = plistlib.dumps(values, fmt=plistlib.FMT_XML).decode("utf-8")
    text = text.replace('encoding="UTF-8"', 'encoding="%s"' % declared, 1)
    return mark + text.encode(codec)


def names_in(encoding_codec):
    """Names that every one of the encodings can write."""
    names = ["José Müller", "Zoë Ångström", "François Lefèvre"]
    if encoding_codec == "cp1252":
        names.append("“Quoted” – €uro")
    return names


def favorites(names):
    return [{"Name": name, "ABUid": 1 + i, "Label": "_$!<Mobile>!$_", "Value": "+4917000000%02d" % i} for i, name in enumerate(names)]


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
    os.makedirs(folder, exist_ok=True)

    def write(name, data):
        with open(os.path.join(folder, name), "wb") as file:
            file.write(data)

    write("every_kind.bplist", plistlib.dumps(every_kind(True), fmt=plistlib.FMT_BINARY))
    write("every_kind.xml", plistlib.dumps(every_kind(False), fmt=plistlib.FMT_XML))
    write("year_one.xml", plistlib.dumps({"yearOne": datetime.datetime(1, 1, 1), "other": 1}, fmt=plistlib.FMT_XML))
    write("keyed_archive.bplist", plistlib.dumps(keyed_archive(), fmt=plistlib.FMT_BINARY, sort_keys=False))
    write("keyed_archive.xml", KEYED_ARCHIVE_XML.encode("utf-8"))
    write("preferences.bplist", plistlib.dumps(PREFERENCES, fmt=plistlib.FMT_BINARY, sort_keys=False))
    write("preferences.xml", plistlib.dumps(PREFERENCES, fmt=plistlib.FMT_XML, sort_keys=False))
    for name, declared, codec, mark in ENCODINGS:
        write("settings_%s.xml" % name, encoded({"metroStyle": True, "owner": names_in(codec)[0], "tilesAlign": 2}, declared, codec, mark))
        write("favorites_%s.xml" % name, encoded(favorites(names_in(codec)), declared, codec, mark))
    # Not settings files: a root that is a UID, an array, and an encoding no one knows.
    write("uid_root.bplist", plistlib.dumps(UID(7), fmt=plistlib.FMT_BINARY))
    write("array_root.xml", plistlib.dumps(["a", "b"], fmt=plistlib.FMT_XML))
    unknown = plistlib.dumps(favorites(["Known Name"]), fmt=plistlib.FMT_XML).replace(b'encoding="UTF-8"', b'encoding="TF-8"', 1)
    write("favorites_unknown_encoding.xml", unknown)


if __name__ == "__main__":
    main()
