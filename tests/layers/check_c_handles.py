#!/usr/bin/env python3
"""Fails when a handle from a C library is freed by hand: every destroy, finalise, close, unref
or free belongs to the owners of <weeapp/c_handles.h>, which alone call them.

    check_c_handles.py SOURCE_DIR   checks the tree
    check_c_handles.py --self-test  checks that the check catches faults

A member that closes through its owner (file.close(), the checked close of a file whose writing
is only done when its closing is) is the owner's, and allowed."""

import os
import re
import sys
import tempfile

SOURCE_FOLDERS = ["platform", "widget", "phone_files", "host", "tools", "tests", "bench", "fuzz", "support"]
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".c")
# The owners themselves.
OWNERS = {"platform/include/weeapp/c_handles.h", "platform/weeapp/c_handles.cpp"}
# Files that cannot use the owners, each with its reason.
EXEMPT = {
    # A C program: the libraries' own floor, measured without a line of C++ of ours.
    "bench/floor_check.c",
    # The tests' replacement of the global allocator: its frees are operator delete itself.
    "tests/platform/ui/largest_allocation.cpp",
}

FREEING = [
    "cairo_destroy", "cairo_surface_destroy", "cairo_pattern_destroy", "cairo_font_options_destroy",
    "cairo_region_destroy", "sqlite3_close", "sqlite3_close_v2", "sqlite3_finalize", "sqlite3_free",
    "plist_free", "plist_to_xml_free", "plist_to_bin_free", "plist_mem_free", "iconv_close",
    "g_object_unref", "g_free", "pango_font_description_free", "pango_attr_list_unref",
    "pango_layout_iter_free", "fclose", "closedir", "dlclose",
]
CALLS = [
    re.compile(r"\b(?:std::)?(" + "|".join(FREEING) + r")\s*\("),
    # free() of libc, bare or qualified; not a member's or another name's free.
    re.compile(r"(?:(?<![\w.>:])|\bstd::)(free)\s*\("),
    # close() of a descriptor: the global one, or a bare call with an argument (a declaration
    # of a member close() has none, and a call through an owner goes through "." or "->").
    re.compile(r"(?<![\w>])::(close)\s*\("),
    re.compile(r"(?<![\w.>:])(close)\s*\(\s*[^)\s]"),
]
COMMENT = re.compile(r"//[^\n]*|/\*.*?\*/", re.DOTALL)
STRING = re.compile(r'"(?:\\.|[^"\\\n])*"')


def blanked(text):
    """The text with comments and string literals turned to spaces, lines kept."""
    text = STRING.sub(lambda match: '"' + " " * (len(match.group(0)) - 2) + '"', text)
    return COMMENT.sub(lambda match: re.sub(r"[^\n]", " ", match.group(0)), text)


def check(root):
    problems = []
    for folder in SOURCE_FOLDERS:
        for directory, folders, files in os.walk(os.path.join(root, folder)):
            folders.sort()
            for name in sorted(files):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                relative = os.path.relpath(os.path.join(directory, name), root)
                if relative in OWNERS or relative in EXEMPT:
                    continue
                with open(os.path.join(root, relative), encoding="utf-8", errors="replace") as source:
                    text = blanked(source.read())
                for number, line in enumerate(text.split("\n"), 1):
                    for call in CALLS:
                        for match in call.finditer(line):
                            problems.append(f"{relative}:{number}: calls {match.group(1)}() by hand; "
                                            "hold the handle in its owner (<weeapp/c_handles.h>)")
    return problems


def write(root, relative, text):
    path = os.path.join(root, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as file:
        file.write(text)


def self_test():
    """A small tree with each kind of hand-written freeing, and the forms that are allowed."""
    with tempfile.TemporaryDirectory() as root:
        write(root, "platform/include/weeapp/c_handles.h", "void f() { cairo_destroy(c); ::close(fd); std::free(p); }\n")
        write(root, "platform/weeapp/c_handles.cpp", "int close(int fd) { return ::close(fd); }\n")
        write(root, "host/render/drawing.cpp",
              "void a() {\n"
              "    cairo_destroy(cr);\n"
              "    cairo_surface_destroy (surface);\n"
              "    ::close(fd);\n"
              "    close(fd);\n"
              "    std::free(text);\n"
              "    free(text);\n"
              "    g_object_unref(layout);\n"
              "}\n")
        write(root, "widget/sources/book.cpp", "void b() { sqlite3_finalize(s); sqlite3_close(c); }\n")
        write(root, "tests/platform/list_test.cpp", "void c() { plist_free(root); iconv_close(cd); std::fclose(file); dlclose(h); }\n")
        write(root, "bench/floor_check.c", "void d(void) { sqlite3_close(c); }\n")
        # Allowed: owners' members, declarations, other names, comments and texts.
        write(root, "phone_files/writer.h",
              "class W {\n"
              "    void close();\n"
              "    bool commit() { close(); return file.close() == 0 && owner->close() == 0; }\n"
              "    void W::close() { }\n"
              "    void freeAll(); void reset() { Traits::free(h); pool.free(h); m_freeList(x); }\n"
              "    // cairo_destroy(cr) is what the owner does\n"
              "    const char* text = \"sqlite3_close(db)\";\n"
              "    /* ::close(fd);\n"
              "       plist_free(node); */\n"
              "    void my_cairo_destroy_all(int);\n"
              "};\n")
        found = check(root)
        reported = {(problem.split(":")[0], int(problem.split(":")[1]), problem.split("calls ")[1].split("()")[0]) for problem in found}
        expected = {
            ("host/render/drawing.cpp", 2, "cairo_destroy"),
            ("host/render/drawing.cpp", 3, "cairo_surface_destroy"),
            ("host/render/drawing.cpp", 4, "close"),
            ("host/render/drawing.cpp", 5, "close"),
            ("host/render/drawing.cpp", 6, "free"),
            ("host/render/drawing.cpp", 7, "free"),
            ("host/render/drawing.cpp", 8, "g_object_unref"),
            ("widget/sources/book.cpp", 1, "sqlite3_finalize"),
            ("widget/sources/book.cpp", 1, "sqlite3_close"),
            ("tests/platform/list_test.cpp", 1, "plist_free"),
            ("tests/platform/list_test.cpp", 1, "iconv_close"),
            ("tests/platform/list_test.cpp", 1, "fclose"),
            ("tests/platform/list_test.cpp", 1, "dlclose"),
        }
        if reported != expected or len(found) != len(expected):
            print("the handle check missed or invented faults:")
            for missing in sorted(expected - reported):
                print("  not caught:", missing)
            for invented in sorted(reported - expected):
                print("  wrongly reported:", invented)
            if len(found) != len(expected):
                print("  reported", len(found), "times for", len(expected), "faults:", *found, sep="\n    ")
            return 1
    print(f"the handle check catches all {len(expected)} hand-written frees of its test tree")
    return 0


def main(arguments):
    if arguments == ["--self-test"]:
        return self_test()
    if len(arguments) != 1:
        print(__doc__)
        return 2
    problems = check(arguments[0])
    for problem in problems:
        print(problem)
    if problems:
        return 1
    print("every C handle is freed by its owner")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
