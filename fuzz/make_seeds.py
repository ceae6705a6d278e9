#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets that take databases, photos, names and lines. The
databases are the demo phone's, written by the one phone writer, with their rows replaced.

Usage: fuzz/make_seeds.py DEMO_PHONE   (a phone written by kavrin-demo-phone)
The seeds are committed; run this again only to remake them."""
import pathlib
import plistlib
import sqlite3
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
CORPUS = HERE / "corpus"
AB = "private/var/mobile/Library/AddressBook"


def split_input(first: bytes, second: bytes) -> bytes:
    """The targets' two-file layout: a byte telling where the first file ends, then both."""
    total = len(first) + len(second)
    for mark in range(256):
        split = mark * total // 255
        if split >= len(first):
            return bytes([mark]) + first + b"\0" * (split - len(first)) + second
    raise ValueError("first file too long")


def database(template: pathlib.Path, table: str, rows, wal=False) -> bytes:
    """A copy of one of the demo phone's databases, in the schema its one writer gives them,
    with the table's rows replaced by these, in pages of 512 bytes, SQLite's smallest, so that
    the fuzz target's inputs stay a few KB."""
    with tempfile.TemporaryDirectory() as folder:
        path = pathlib.Path(folder) / "db"
        path.write_bytes(template.read_bytes())
        connection = sqlite3.connect(path)
        connection.execute("DELETE FROM %s" % table)
        for sql, values in rows:
            connection.execute(sql, values)
        connection.commit()
        connection.execute("PRAGMA page_size=512")
        connection.execute("VACUUM")
        if wal:
            connection.execute("PRAGMA journal_mode=WAL")
        connection.close()
        return path.read_bytes()


def write(target: str, name: str, data: bytes):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


def mbdb_string(text: str) -> bytes:
    data = text.encode()
    return (len(data).to_bytes(2, "big") + data) if data else b"\xff\xff"


def mbdb_record(domain: str, path: str, mode: int, size: int, properties=()) -> bytes:
    """One record of a backup's older index: five strings, then the numbers, big-endian."""
    record = b"".join(mbdb_string(text) for text in (domain, path, "", "", ""))
    record += mode.to_bytes(2, "big") + (1000).to_bytes(8, "big") + (501).to_bytes(4, "big") * 2
    record += (1764585000).to_bytes(4, "big") * 3 + size.to_bytes(8, "big") + bytes([3, len(properties)])
    return record + b"".join(mbdb_string(name) + mbdb_string(value) for name, value in properties)


def file_record(path: str, size: int) -> bytes:
    """The keyed archive of one file's record, as the newer index's file column holds it."""
    record = {"$class": plistlib.UID(3), "Size": size, "Mode": 0o100644, "RelativePath": plistlib.UID(2),
              "LastModified": 1764585000, "UserID": 501, "GroupID": 501, "InodeNumber": 1000, "Flags": 0, "ProtectionClass": 3}
    archive = {"$version": 100000, "$archiver": "NSKeyedArchiver", "$top": {"root": plistlib.UID(1)},
               "$objects": ["$null", record, path, {"$classname": "FileRecord", "$classes": ["FileRecord", "NSObject"]}]}
    return plistlib.dumps(archive, fmt=plistlib.FMT_BINARY)


def write_backup_index_seeds():
    index = b"mbdb\x05\x00" + mbdb_record("HomeDomain", "Library", 0o40755, 0) + mbdb_record(
        "HomeDomain", "Library/Preferences/com.apple.mobilephone.speeddial.plist", 0o100644, 412, [("a", "b")])
    write("backup_index", "older-index", index)
    write("backup_index", "older-index-cut", index[:len(index) - 7])
    write("backup_index", "file-record", file_record("Library/AddressBook/AddressBook.sqlitedb", 123456))
    write("backup_index", "file-record-no-path", file_record("", 0)[:-20])


def main():
    write_backup_index_seeds()
    demo = pathlib.Path(sys.argv[1])
    photos = sqlite3.connect(demo / AB / "AddressBookImages.sqlitedb").execute(
        "select data from ABThumbnailImage where format=0").fetchall()
    png = next(bytes(p[0]) for p in photos if bytes(p[0]).startswith(b"\x89PNG"))
    jpeg = next(bytes(p[0]) for p in photos if bytes(p[0]).startswith(b"\xff\xd8"))

    book_template = demo / AB / "AddressBook.sqlitedb"
    images_template = demo / AB / "AddressBookImages.sqlitedb"
    mail = "INSERT INTO ABMultiValue (record_id, property, value) VALUES (?, ?, ?)"
    image = "INSERT INTO ABThumbnailImage (record_id, format, data) VALUES (?, ?, ?)"
    small_book = database(book_template, "ABMultiValue", [(mail, (1, 4, "a@example.org")), (mail, (1, 4, None)),
                                        (mail, (2, 4, b"bad\xff")), (mail, (2, 3, "+49 170 1"))])
    small_images = database(images_template, "ABThumbnailImage", [(image, (1, 0, png)), (image, (2, 0, jpeg)), (image, (2, 1, b"x"))])
    write("address_book", "small", split_input(small_book, small_images))
    write("address_book", "wal-mode", split_input(database(book_template, "ABMultiValue", [(mail, (1, 4, "w@example.org"))], wal=True),
                                                  database(images_template, "ABThumbnailImage", [(image, (1, 0, png))], wal=True)))
    write("address_book", "empty", b"")

    write("png", "photo", png[8:])
    write("png", "header-only", png[8:8 + 25])
    write("png", "truncated", png[8:len(png) // 2])
    write("jpeg", "photo", jpeg[2:])
    write("jpeg", "truncated", jpeg[2:len(jpeg) // 2])
    write("jpeg", "markers-only", jpeg[2:200])


main()
