#!/usr/bin/env python3
"""Fails when a layer includes a header of a layer above it, or when a build target puts such a
layer's source folder on its include path.

    check_layers.py SOURCE_DIR [--compile-commands FILE]   checks the tree (and the build)
    check_layers.py --self-test                            checks that the check catches faults

The layers, lowest first: platform/; widget/ and phone_files/ on it; host/ and tools/ on
platform/ and phone_files/. widget/public/ is the one part of the widget that phone_files/,
host/ and tools/ may see. tests/, bench/ and fuzz/ may reach into anything.

The host is layered within, lowest first: base/; desktop/ (the module's loader) and render/;
pictures/ on render/; session/ on pictures/; reader/ on session/ and desktop/; script/ on
reader/; modes/ on script/; main.cpp and the options on top. The desktop module itself
(host/desktop/module/) sees only its interface (host/desktop/interface/), and nothing of ours
but that."""

import json
import os
import re
import sys
import tempfile

# Each layer's folders (relative to the source folder) and the folders its headers are found in.
LAYER_FOLDERS = {
    "platform": ["platform"],
    "widget/public": ["widget/public"],
    "widget": ["widget"],
    "phone_files": ["phone_files"],
    "host": ["host"],
    "host/base": ["host/base"],
    "host/desktop": ["host/desktop"],
    "host/desktop/interface": ["host/desktop/interface"],
    "host/desktop/module": ["host/desktop/module"],
    "host/render": ["host/render"],
    "host/pictures": ["host/pictures"],
    "host/session": ["host/session"],
    "host/reader": ["host/reader"],
    "host/script": ["host/script"],
    "host/modes": ["host/modes"],
    "tools": ["tools"],
}
INCLUDE_ROOTS = [
    "platform/include", "platform/drawing", "platform/internal", "widget", "widget/public", "phone_files", "host", "host/desktop/interface",
    "tools/demo_phone", "tools/prefs",
]
# What every layer of the host may see outside it, and what each sees of the host below it.
HOST_BELOW = {"platform", "widget/public", "phone_files"}
HOST_ROOMS = {
    "host/base": set(),
    "host/desktop/interface": set(),
    "host/desktop": {"host/base", "host/desktop/interface"},
    "host/render": {"host/base"},
    "host/pictures": {"host/base", "host/render"},
    "host/session": {"host/base", "host/render", "host/pictures"},
    "host/reader": {"host/base", "host/desktop", "host/desktop/interface", "host/render", "host/pictures", "host/session"},
    "host/script": {"host/base", "host/desktop", "host/desktop/interface", "host/render", "host/pictures", "host/session",
                    "host/reader"},
    "host/modes": {"host/base", "host/desktop", "host/desktop/interface", "host/render", "host/pictures", "host/session",
                   "host/reader", "host/script"},
}
ALLOWED = {
    "platform": {"platform"},
    "widget/public": {"platform", "widget/public"},
    "widget": {"platform", "widget/public", "widget"},
    "phone_files": {"platform", "widget/public", "phone_files"},
    "host": HOST_BELOW | set(HOST_ROOMS) | {"host"},
    "host/desktop/module": {"host/desktop/module", "host/desktop/interface"},
    "tools": {"platform", "widget/public", "phone_files", "tools"},
}
ALLOWED.update({room: HOST_BELOW | below | {room} for room, below in HOST_ROOMS.items()})
# host/ is the include root of all the host's layers: on a layer's include path it gives that
# layer no more than what its includes are checked for above.
SHARED_INCLUDE_ROOTS = {"host"}
# Known crossings, each to go away: (including file or include folder, what it reaches).
# The host writes its first-run demo phone with the tools' writer until that writer moves into
# phone_files/.
EXCEPTIONS = set()

INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.MULTILINE)
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".c")


def layer_of(relative):
    """The layer a path (relative to the source folder) belongs to, or None."""
    best = None
    for layer, folders in LAYER_FOLDERS.items():
        for folder in folders:
            if relative == folder or relative.startswith(folder + "/"):
                if best is None or len(folder) > len(LAYER_FOLDERS[best][0]):
                    best = layer
    return best


def resolve(root, including, name, quoted):
    """The files (relative to root) that an include of name could mean."""
    candidates = []
    if quoted:
        beside = os.path.normpath(os.path.join(os.path.dirname(including), name))
        if os.path.isfile(os.path.join(root, beside)):
            return [beside]
    for include_root in INCLUDE_ROOTS:
        path = os.path.normpath(os.path.join(include_root, name))
        if os.path.isfile(os.path.join(root, path)):
            candidates.append(path)
    return candidates


def check_sources(root):
    problems, used = [], set()
    for layer, folders in LAYER_FOLDERS.items():
        for folder in folders:
            for directory, _, files in os.walk(os.path.join(root, folder)):
                for file_name in sorted(files):
                    if not file_name.endswith(SOURCE_SUFFIXES):
                        continue
                    relative = os.path.relpath(os.path.join(directory, file_name), root)
                    if layer_of(relative) != layer:
                        continue
                    with open(os.path.join(root, relative), encoding="utf-8", errors="replace") as source:
                        text = source.read()
                    for match in INCLUDE.finditer(text):
                        name = match.group(1)
                        quoted = match.group(0).rstrip().endswith('"')
                        candidates = resolve(root, relative, name, quoted)
                        layers = {layer_of(candidate) for candidate in candidates} - {None}
                        if not layers or layers & ALLOWED[layer]:
                            continue
                        target = candidates[0]
                        if (relative, target) in EXCEPTIONS:
                            used.add((relative, target))
                            continue
                        problems.append(f"{relative}: includes {name} ({target}), of {sorted(layers)[0]}/, "
                                        f"which {layer}/ must not see")
    return problems, used


def check_compile_commands(root, commands_file):
    problems, used = [], set()
    root = os.path.realpath(root)
    with open(commands_file, encoding="utf-8") as commands:
        entries = json.load(commands)
    compiled = {os.path.relpath(os.path.realpath(entry["file"]), root) for entry in entries}
    problems += unlisted_sources(root, compiled)
    for entry in entries:
        source = os.path.relpath(os.path.realpath(entry["file"]), root)
        layer = layer_of(source)
        if layer is None:
            continue
        words = entry.get("arguments") or entry["command"].split()
        folders = []
        for index, word in enumerate(words):
            if word in ("-I", "-isystem", "-iquote") and index + 1 < len(words):
                folders.append(words[index + 1])
            elif word.startswith("-I"):
                folders.append(word[2:])
        for folder in folders:
            folder = os.path.relpath(os.path.realpath(os.path.join(entry.get("directory", root), folder)), root)
            folder_layer = layer_of(folder)
            if folder_layer is None or folder_layer in ALLOWED[layer] or folder in SHARED_INCLUDE_ROOTS:
                continue
            if (layer, folder) in EXCEPTIONS:
                used.add((layer, folder))
                continue
            problems.append(f"{source}: compiled with {folder}/ on its include path, of {folder_layer}/, "
                            f"which {layer}/ must not see")
    return sorted(set(problems)), used


def unlisted_sources(root, compiled):
    """Sources are listed by hand in CMake: a file left out of a list would silently not be built
    (a test file's tests would never run). Every source of a top folder that the build compiles
    at all must be compiled. A folder with a CMake project of its own (the mutation tester's toy)
    is built by whoever uses it, not by this build."""
    source_folders = {"platform", "widget", "phone_files", "host", "tools", "tests", "fuzz", "bench", "support"}
    built_folders = {source.split(os.sep)[0] for source in compiled if os.sep in source} & source_folders
    problems = []
    for folder in sorted(built_folders):
        for directory, folders, files in os.walk(os.path.join(root, folder)):
            own_project = os.path.join(directory, "CMakeLists.txt")
            if os.path.isfile(own_project) and "project(" in open(own_project, encoding="utf-8").read():
                folders.clear()
                continue
            for name in files:
                if not name.endswith((".cpp", ".c")):
                    continue
                relative = os.path.relpath(os.path.join(directory, name), root)
                if relative not in compiled:
                    problems.append(f"{relative}: not in any CMake source list, so it is never built")
    return problems


def check(root, commands_file=None):
    problems, used = check_sources(root)
    if commands_file:
        more, used_by_build = check_compile_commands(root, commands_file)
        problems += more
        used |= used_by_build
        stale = {exception for exception in EXCEPTIONS if exception not in used}
        problems += [f"the exception {exception} is no longer needed: delete it from check_layers.py"
                     for exception in sorted(stale)]
    return problems


def write(root, relative, text=""):
    path = os.path.join(root, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as file:
        file.write(text)


def self_test():
    """A small tree with every kind of upward include, and the includes that are allowed."""
    with tempfile.TemporaryDirectory() as root:
        write(root, "platform/include/weeapp/sys/value.h")
        write(root, "platform/include/weeapp/ui/view.h", '#include <weeapp/sys/value.h>\n')
        write(root, "platform/sys/bad.cpp", '#include "controller/kavrin_controller.h"\n#include "../../host/render/renderer.h"\n')
        write(root, "widget/public/kavrin/published_names.h", '#include <weeapp/sys/value.h>\n')
        write(root, "widget/controller/kavrin_controller.h", '#include <weeapp/ui/view.h>\n#include "kavrin/published_names.h"\n')
        write(root, "widget/tiles/grid.cpp", '#include "controller/kavrin_controller.h"\n#include "render/renderer.h"\n')
        write(root, "phone_files/settings_editor.h", '#include "kavrin/published_names.h"\n#include <controller/kavrin_controller.h>\n')
        write(root, "tools/prefs/prefs_command.h", '#include "settings_editor.h"\n#include "render/renderer.h"\n')
        # The host's own layers: each sees those below it, never one above.
        write(root, "host/render/renderer.h",
              '#include <weeapp/ui/view.h>\n#include "settings_editor.h"\n#include "prefs_command.h"\n#include "session/host_session.h"\n')
        write(root, "host/render/text_drawing.cpp", '#include "render/renderer.h"\n#include "desktop/desktop_module.h"\n')
        write(root, "host/session/host_session.h", '#include "render/renderer.h"\n#include "script/script_runner.h"\n')
        write(root, "host/script/script_runner.h", '#include "session/host_session.h"\n')
        write(root, "host/reader/screen_reader.cpp", '#include "session/host_session.h"\n#include "modes/window_session.h"\n')
        write(root, "host/modes/window_session.h",
              '#include "desktop/desktop_module.h"\n#include "render/renderer.h"\n#include "script/script_runner.h"\n')
        write(root, "host/main.cpp", '#include "modes/window_session.h"\n#include "settings_editor.h"\n')
        write(root, "host/desktop/interface/desktop_interface.h")
        write(root, "host/desktop/desktop_module.h", '#include "desktop/interface/desktop_interface.h"\n')
        write(root, "host/desktop/module/window.cpp",
              '#include "desktop_interface.h"\n#include "desktop/desktop_module.h"\n#include "render/renderer.h"\n#include <weeapp/ui/view.h>\n')
        found = check(root)
        expected = {
            ("platform/sys/bad.cpp", "controller/kavrin_controller.h"),
            ("platform/sys/bad.cpp", "../../host/render/renderer.h"),
            ("widget/tiles/grid.cpp", "render/renderer.h"),
            ("phone_files/settings_editor.h", "controller/kavrin_controller.h"),
            ("tools/prefs/prefs_command.h", "render/renderer.h"),
            ("host/render/renderer.h", "prefs_command.h"),
            ("host/render/renderer.h", "session/host_session.h"),
            ("host/render/text_drawing.cpp", "desktop/desktop_module.h"),
            ("host/session/host_session.h", "script/script_runner.h"),
            ("host/reader/screen_reader.cpp", "modes/window_session.h"),
            ("host/desktop/module/window.cpp", "desktop/desktop_module.h"),
            ("host/desktop/module/window.cpp", "render/renderer.h"),
            ("host/desktop/module/window.cpp", "weeapp/ui/view.h"),
        }
        reported = set()
        for problem in found:
            file_name, rest = problem.split(": includes ", 1)
            reported.add((file_name, rest.split(" ", 1)[0]))
        if reported != expected:
            print("the layer check missed or invented faults:")
            for missing in sorted(expected - reported):
                print("  not caught:", missing)
            for invented in sorted(reported - expected):
                print("  wrongly reported:", invented)
            return 1
    print(f"the layer check catches all {len(expected)} upward includes of its test tree")
    return 0


def main(arguments):
    if arguments == ["--self-test"]:
        return self_test()
    if len(arguments) not in (1, 3) or (len(arguments) == 3 and arguments[1] != "--compile-commands"):
        print(__doc__)
        return 2
    commands_file = arguments[2] if len(arguments) == 3 else None
    problems = check(arguments[0], commands_file)
    for problem in problems:
        print(problem)
    if problems:
        return 1
    print("every layer includes only what it may")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
