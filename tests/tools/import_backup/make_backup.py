#!/usr/bin/env python3
"""Writes a phone's local backup of a phone root with python's own sqlite3, plistlib and hashlib,
a second writer beside the project's: every file under the root's private/var/mobile/ listed in
HomeDomain of Manifest.db and stored under the SHA-1 of its domain and path.

    make_backup.py PHONE_ROOT BACKUP"""

import datetime
import hashlib
import os
import plistlib
import shutil
import sqlite3
import sys


def file_record(path, size):
    record = {"$class": plistlib.UID(3), "Size": size, "Mode": 0o100644, "RelativePath": plistlib.UID(2), "ProtectionClass": 3}
    return plistlib.dumps({"$version": 100000, "$archiver": "NSKeyedArchiver", "$top": {"root": plistlib.UID(1)},
                           "$objects": ["$null", record, path, {"$classname": "FileRecord", "$classes": ["FileRecord", "NSObject"]}]},
                          fmt=plistlib.FMT_BINARY)


def make_backup(root, backup):
    home = os.path.join(root, "private/var/mobile")
    os.makedirs(backup)
    index = sqlite3.connect(os.path.join(backup, "Manifest.db"))
    index.executescript("""PRAGMA journal_mode=WAL;
        CREATE TABLE Files (fileID TEXT PRIMARY KEY, domain TEXT, relativePath TEXT, flags INTEGER, file BLOB);
        CREATE INDEX FilesDomainIdx ON Files(domain); CREATE INDEX FilesRelativePathIdx ON Files(relativePath);
        CREATE INDEX FilesFlagsIdx ON Files(flags); CREATE TABLE Properties (key TEXT PRIMARY KEY, value BLOB);""")
    for folder, _, files in os.walk(home):
        for name in files:
            source = os.path.join(folder, name)
            relative = os.path.relpath(source, home)
            file_id = hashlib.sha1(("HomeDomain-" + relative).encode()).hexdigest()
            os.makedirs(os.path.join(backup, file_id[:2]), exist_ok=True)
            shutil.copyfile(source, os.path.join(backup, file_id[:2], file_id))
            index.execute("INSERT INTO Files VALUES (?, 'HomeDomain', ?, 1, ?)", (file_id, relative, file_record(relative, os.path.getsize(source))))
    index.commit()
    index.close()
    date = datetime.datetime(2026, 12, 1, 10, 30)
    for name, content in (("Manifest.plist", {"IsEncrypted": False, "Version": "10.0", "Date": date, "Lockdown": {"DeviceName": "Second Phone"}}),
                          ("Status.plist", {"SnapshotState": "finished"}),
                          ("Info.plist", {"Device Name": "Second Phone", "Last Backup Date": date})):
        with open(os.path.join(backup, name), "wb") as out:
            plistlib.dump(content, out)


if __name__ == "__main__":
    make_backup(sys.argv[1], sys.argv[2])
