#!/usr/bin/env python3
"""The headless driver built for Node.js against the native one: the same contract, and the same output.

Usage: parity.py NATIVE NODE_DRIVER GAME_DIR SHIORI_TOOL [--scripts N] [--seed S]

  NATIVE       the native player (build/bin/shiori), run with --headless
  NODE_DRIVER  the driver built for Node.js (build-web/bin/shiori-headless.js), run with node
  GAME_DIR     a game folder, read only (saves go to folders of this script's own)
  SHIORI_TOOL  build/bin/shiori-tool, for the paths to every ending

Checks the driver contract on both (arguments, exit statuses, end of input, commands answered while the input
stays open), then plays every ending and N random command scripts through both: standard output, standard
error, exit status and every save file must be the same, byte for byte.
"""
import argparse
import json
import os
import pathlib
import random
import subprocess
import sys
import tempfile

NOW = "2026-12-01 14:05:09"
TIMEOUT = 120


class Driver:
    def __init__(self, name, command):
        self.name = name
        self.command = command

    def run(self, arguments, script=""):
        return subprocess.run(self.command + arguments, input=script.encode(), capture_output=True,
                              timeout=TIMEOUT)

    def play(self, game, script):
        """Runs a script with fresh saves; returns what a run leaves: output, status and save files."""
        with tempfile.TemporaryDirectory(prefix="shiori-parity-") as saves:
            done = self.run(["--headless", str(game), "--save-dir", saves, "--now", NOW], script)
            files = {path.name: path.read_bytes() for path in sorted(pathlib.Path(saves).iterdir())}
            err = done.stderr.decode(errors="replace").replace(saves, "SAVES")
            return {"status": done.returncode, "out": done.stdout.decode(errors="replace"), "err": err,
                    "files": files}


failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what, file=sys.stderr)


def first_difference(a, b):
    for number, (x, y) in enumerate(zip(a.splitlines(), b.splitlines()), 1):
        if x != y:
            at = next((i for i, (p, q) in enumerate(zip(x, y)) if p != q), min(len(x), len(y)))
            around = slice(max(0, at - 100), at + 100)
            return f"line {number}, column {at}:\n  native: ...{x[around]}\n  node:   ...{y[around]}"
    return f"{len(a.splitlines())} lines against {len(b.splitlines())}"


def compare(what, native, node):
    for part in ("status", "out", "err", "files"):
        if native[part] != node[part]:
            detail = first_difference(native[part], node[part]) if isinstance(native[part], str) else (
                f"native {native[part] if part == 'status' else sorted(native[part])}, "
                f"node {node[part] if part == 'status' else sorted(node[part])}")
            check(False, f"{what}: {part} differs: {detail}")


def check_contract(driver, game, empty):
    """The contract every headless driver keeps, whatever it was built for."""
    version = driver.run(["--version"])
    check(version.returncode == 0 and version.stdout.startswith(b"shiori "), f"{driver.name}: --version")
    usage = driver.run(["--help"])
    check(usage.returncode == 0 and b"--headless" in usage.stdout, f"{driver.name}: --help")
    check(driver.run(["--headless"]).returncode == 2, f"{driver.name}: --headless without a folder exits 2")

    missing = driver.play(empty, "dump\n")
    named = str(empty) in missing["err"] and "data1.rgd" in missing["err"]
    check(missing["status"] == 1 and named and missing["out"] == "",
          f"{driver.name}: a folder without a scenario exits 1 naming the folder and the file")
    malformed = driver.play(game, "dump\n# a comment\nfly away\nclose\n")
    check(malformed["status"] == 2 and "line 3" in malformed["err"] and len(malformed["out"].splitlines()) == 1,
          f"{driver.name}: a malformed command stops with its line number")
    closed = driver.play(game, "close\n")
    check(closed["status"] == 0 and closed["out"] == '{"ended":true}\n' and "conf.rgd" in closed["files"],
          f"{driver.name}: close unloads and ends")
    killed = driver.play(game, "wait 100\n")
    check(killed["status"] == 0 and killed["out"] == '{"ended":false}\n' and not killed["files"],
          f"{driver.name}: the end of input ends without unloading")
    check_interactive(driver, game)


def check_interactive(driver, game):
    """Each dump arrives while the input is still open, so another program can drive the player step by step."""
    with tempfile.TemporaryDirectory(prefix="shiori-parity-") as saves:
        process = subprocess.Popen(driver.command + ["--headless", str(game), "--save-dir", saves, "--now", NOW],
                                   stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        try:
            times = []
            for step in ("dump\n", "click lblMLT(0)\nwait 500\ndump\n"):
                process.stdin.write(step.encode())
                process.stdin.flush()
                times.append(json.loads(process.stdout.readline())["time_ms"])
            check(times == [0, 500], f"{driver.name}: dumps answered one by one through pipes ({times})")
            process.stdin.close()
            check(process.stdout.readline() == b'{"ended":false}\n' and process.wait(TIMEOUT) == 0,
                  f"{driver.name}: the end of the piped input")
        finally:
            process.kill()
            process.wait()


def vocabulary(driver, game):
    """Widget and menu names, from a dump."""
    state = json.loads(driver.play(game, "dump\n")["out"].splitlines()[0])
    return sorted(state["widgets"]), sorted(state["menus"])


def random_script(rng, widgets, menus, length):
    """Starts the story, then mostly reads on, with every other kind of command mixed in."""
    lines = ["click lblMLT(0)", "click lblMLT(3)"]
    for _ in range(length):
        roll = rng.random()
        if roll < 0.45:
            lines += ["wait 1000", "click Picture1"]
        elif roll < 0.52:
            lines.append(f"click lblSEL({rng.randrange(2)})")
        elif roll < 0.60:
            lines.append(f"{rng.choice(['click', 'rclick', 'mclick'])} {rng.choice(widgets)}")
        elif roll < 0.65:
            lines.append(f"{rng.choice(['click', 'rclick'])} {rng.randrange(640)} {rng.randrange(400)}")
        elif roll < 0.71:
            lines.append(f"menu {rng.choice(menus)}")
        elif roll < 0.73:
            lines.append(f"key ctrl+{rng.choice('wsx')}")
        elif roll < 0.77:
            lines.append(f"answer {rng.choice(['yes', 'no'])}")
        elif roll < 0.78:
            lines.append(f"text txtDES {rng.choice(['', 'しおり', 'note ①～', 'a,b'])}")
        elif roll < 0.92:
            lines.append(f"wait {rng.choice([rng.randrange(3000), rng.randrange(100000) / 100, 70000])}")
        else:
            lines.append("dump")
    lines.append("dump")
    if rng.random() < 0.5:
        lines.append("close")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("native")
    parser.add_argument("node_driver")
    parser.add_argument("game", type=pathlib.Path)
    parser.add_argument("tool")
    parser.add_argument("--scripts", type=int, default=20)
    parser.add_argument("--seed", type=int, default=15)
    options = parser.parse_args()

    native = Driver("native", [options.native])
    node = Driver("node", ["node", options.node_driver])
    with tempfile.TemporaryDirectory(prefix="shiori-parity-") as empty:
        for driver in (native, node):
            check_contract(driver, options.game, empty)
        compare("a folder without a scenario", native.play(empty, "dump\n"), node.play(empty, "dump\n"))

    playthrough = subprocess.run([pathlib.Path(__file__).parents[2] / "bench" / "playthrough.sh", options.game,
                                  options.tool], capture_output=True, text=True, check=True).stdout
    compare("every ending's path", native.play(options.game, playthrough), node.play(options.game, playthrough))

    widgets, menus = vocabulary(native, options.game)
    rng = random.Random(options.seed)
    for number in range(options.scripts):
        script = random_script(rng, widgets, menus, rng.randrange(50, 400))
        compare(f"random script {number} (seed {options.seed})", native.play(options.game, script),
                node.play(options.game, script))

    print(f"parity: {'FAILED, ' + str(len(failures)) + ' problem(s)' if failures else 'the same'}: the contract, "
          f"every ending and {options.scripts} random scripts through {options.native} and {options.node_driver}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
