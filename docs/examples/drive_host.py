#!/usr/bin/env python3
"""Drives kavrin-host through its JSON protocol: one command a line in, one JSON answer a line out.

    drive_host.py HOST

HOST is the kavrin-host program. The driver writes a demo phone into a temporary folder with
kavrin-demo-phone from HOST's folder, so that its settings changes touch no one's phone. It shows the widget, reads its height and the
tiles from the view tree, taps the first tile, asks for the action chooser and presses "Call",
and exits with status 0 when every answer was what it expected.
"""

import argparse
import json
import pathlib
import subprocess
import sys
import tempfile


class Host:
    """A running kavrin-host in the JSON protocol."""

    def __init__(self, program, root):
        self.process = subprocess.Popen(
            [program, "--root", root, "--seed", "1", "--protocol", "json"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, encoding="utf-8")

    def send(self, command):
        """Sends one command and returns its answer, a dict with "ok"."""
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()
        line = self.process.stdout.readline()
        if not line:
            raise RuntimeError(f"the host ended before answering {command!r}")
        return json.loads(line)

    def must(self, command):
        """Sends a command that has to work and returns its answer."""
        answer = self.send(command)
        if not answer["ok"]:
            raise RuntimeError(f"{command!r} failed at line {answer['line']}: {answer['error']}")
        return answer

    def close(self):
        self.process.stdin.close()
        return self.process.wait(timeout=60)


def buttons(view):
    """The buttons in a dumped view tree, front to back as they were dumped."""
    found = [view] if view["class"] == "Button" else []
    for child in view["children"]:
        found += buttons(child)
    return found


def drive(program, root):
    host = Host(program, root)
    try:
        host.must("view")
        height = host.must("height")["height"]
        tiles = buttons(host.must("dump")["dump"])
        print(f"the widget is {height:g} points high and shows {len(tiles)} tiles")

        x, y, width, tile_height = tiles[0]["frame"]
        # The tile's frame is in its parent's coordinates; the first page starts at the view's
        # left, so its middle is a point on it.
        tap = host.must(f"tap {x + width / 2:g} {y + tile_height / 2:g}")
        print(f"a tap on the first tile opens {tap.get('open')}")

        nothing = host.must("tap 1 400")
        assert nothing["hit"] is None and "open" not in nothing, nothing

        bad = host.send("fly away")
        assert not bad["ok"] and bad["line"] == 6, bad
        print(f"a bad line is answered and the session goes on: {bad['error']}")

        host.must("set askForCall true")
        host.must("set askForText true")
        host.must("notify")
        alert = host.must(f"tap {x + width / 2:g} {y + tile_height / 2:g}")["alert"][0]
        call = alert["buttons"].index("Call")  # Cancel is button 0
        pressed = host.must(f"press {call}")
        print(f"the chooser for {alert['title']} offers {alert['buttons']}; Call opens {pressed['open']}")
        assert pressed["open"] == tap["open"], (pressed, tap)
    finally:
        status = host.close()
    return status


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("host", help="the kavrin-host program")
    arguments = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        writer = pathlib.Path(arguments.host).with_name("kavrin-demo-phone")
        subprocess.run([str(writer), folder], check=True, stdout=subprocess.DEVNULL)
        return drive(arguments.host, folder)


if __name__ == "__main__":
    sys.exit(main())
