#!/usr/bin/env python3
"""Plants one-line faults in the product, one at a time, and reports which ones the tests catch.

Usage:
    scripts/plant-faults.py [-n N] [--seed S] [--layers LAYER[:COUNT],...] [--build DIR] [-j JOBS]
                            [--timeout SECONDS] [--only I,J,...] [--list] [--log FILE]

Each fault (a mutant) is one edit of one line of src/: a comparison flipped or moved by one
(`<` to `<=` or `>=`), `&&` and `||` swapped, `+`/`-` or `*`/`/` swapped, an integer constant
one more or one less, an `if`/`while` condition negated, `true`/`false` swapped, `std::min`
and `std::max` swapped, or a statement dropped (an assignment, a call, `return;`, `break;`,
`continue;`). Sites are lines with logic on them: comments, preprocessor lines, braces,
declarations, asserts and logging are never chosen, nor anything inside a string literal.

For each mutant the script writes the edit, rebuilds the test programs of the mutant's layer
(Ninja recompiles the one changed file and relinks what uses it), runs the programs whose
binary changed (each with a deadline: a hang counts as caught by timeout) and restores the
file. A mutant that does not compile is reported and replaced by another draw; so is one that
leaves the code of every test program as it was (the file is not in them, or the edit compiles
to the same code: a `break;` dropped before a case that only breaks). Results: caught (a test
failed or crashed), timeout (caught by the deadline) or survived, per layer, with every
survivor's file:line and edit.

  -n N            mutants in all (default 30), shared out over the layers
  --seed S        the draw (default 1): the same seed over the same sources plants the same
                  mutants, so a sample can be rerun after tests are added
  --layers L,...  comma-separated layers, each a folder of src/ (common, gfx, net, data,
                  data/settings, data/history, indicators, formula, chart, views, app, server,
                  updater) with an optional :COUNT; layers without a count share what is left
                  (default: the eleven top-level layers)
  --build DIR     a configured build directory (default build; tests built there)
  -j JOBS         parallel compile jobs (default 2)
  --timeout S     deadline of one test program under a mutant (default: 5 x its clean run
                  time + 30 s)
  --only I,J      run only these mutants of the draw (numbered as a full run numbers them;
                  what a run learnt of the others, in BUILD/plant-faults/, spares rebuilding them)
  --list          print the first draws and exit, building and changing nothing
  --log FILE      also append every mutant's result and the test output of failures there

Examples:
    nice -n 10 scripts/plant-faults.py -n 30 --seed 1 --layers \\
        formula:4,data/settings:3,views:3,chart:3,common,gfx,net,data,indicators,app,server,updater
    scripts/plant-faults.py --seed 1 --layers common:5 --only 3 --log /tmp/mutant3.log

The source is never left changed: the original text is kept in BUILD/plant-faults/ before each
edit and put back after it, on Ctrl-C, on SIGTERM and on any failure; a run after a crash or
SIGKILL first puts back what the previous run left. Not part of the test command: with the
build up to date, a run of 30 mutants takes a few minutes on two cores (mostly compiling).
"""

import argparse
import fcntl
import hashlib
import json
import os
import random
import re
import signal
import struct
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# Each layer's test programs (CMake targets); a layer named data/settings draws from that
# folder alone and runs the programs of its top-level layer whose binary the edit changed.
LAYER_TESTS = {
    "common": ["qelt_common_tests"],
    "gfx": ["qelt_gfx_tests"],
    "net": ["qelt_net_tests"],
    "data": ["qelt_data_tests", "qelt_settings_tests", "qelt_history_tests"],
    "indicators": ["qelt_indicators_tests"],
    "formula": ["qelt_formula_tests"],
    "chart": ["qelt_chart_tests"],
    "views": ["qelt_views_tests"],
    "app": ["qelt_app_tests"],
    "server": ["qelt_server_tests"],
    "updater": ["qelt_updater_tests"],
}
DEFAULT_LAYERS = list(LAYER_TESTS)
# Qt halves and program entry points are outside every test program of the core layers.
EXCLUDED_DIRS = {"src/updater/ui"}
EXCLUDED_NAMES = {"main.cpp", "FuzzHandler.cpp"}

# ----------------------------------------------------------------------------------------
# Finding the sites

SKIP_LINE = re.compile(
    r"^\s*(#|//|/\*|\*|namespace\b|using\b|template\b|typedef\b|static_assert\b|friend\b|"
    r"public:|private:|protected:|default:)"
    r"|\bassert\s*\(|\bLog\s*\(|\bstd::cerr\b|\bfprintf\s*\(|\bperror\s*\(")
ONLY_PUNCTUATION = re.compile(r"^[\s{}();,]*$")
CONTROL_LINE = re.compile(r"^\s*(\}\s*)?(if|for|while|else|else if|switch|do)\b")
ASSIGNMENT = re.compile(r"^\s*[\w.\->\[\]*:()]+ (=|\+=|-=|\*=|/=|\|=|&=|\^=|%=) .*;$")
CALL = re.compile(r"^\s*[\w:.\->\[\]]+(<[\w:, ]*>)?\(.*\);$")
JUMP = re.compile(r"^\s*(return|break|continue);$")
INCREMENT = re.compile(r"^\s*(\+\+|--)[\w.\->\[\]]+;$|^\s*[\w.\->\[\]]+(\+\+|--);$")
KEYWORD_CALL = re.compile(r"^\s*(return|if|for|while|switch|delete|new|throw|case|sizeof)\b")

RELATIONAL = {"<": ["<=", ">="], "<=": ["<", ">"], ">": [">=", "<="], ">=": [">", "<"],
              "==": ["!="], "!=": ["=="]}
BINARY = {"&&": ["||"], "||": ["&&"], "+": ["-"], "-": ["+"], "*": ["/"], "/": ["*"]}
COMPOUND = {"+=": "-=", "-=": "+=", "*=": "/=", "/=": "*="}
SPACED_OPERATOR = re.compile(r"(?<= )(<=|>=|==|!=|&&|\|\||<|>|\+|-|\*|/)(?= )")
COMPOUND_OPERATOR = re.compile(r"(?<= )(\+=|-=|\*=|/=)(?= )")
INTEGER = re.compile(r"(?<![\w.'])(\d+)(?![\w.'])")
CONDITION = re.compile(r"\b(if|while) \(")
BOOLEAN = re.compile(r"\b(true|false)\b")
MIN_MAX = re.compile(r"\bstd::(min|max)\(")


def mask(line, in_block_comment):
    """The line with the insides of literals and comments blanked (same length), and whether
    a block comment runs on past its end."""
    out = []
    i, n = 0, len(line)
    while i < n:
        c = line[i]
        if in_block_comment:
            end = line.find("*/", i)
            if end < 0:
                out.append(" " * (n - i))
                return "".join(out), True
            out.append(" " * (end + 2 - i))
            i, in_block_comment = end + 2, False
        elif line.startswith("//", i):
            out.append(" " * (n - i))
            break
        elif line.startswith("/*", i):
            in_block_comment = True
        elif c == '"' or (c == "'" and not (i > 0 and line[i - 1].isalnum() and i + 1 < n
                                              and line[i + 1].isalnum())):
            j = i + 1
            while j < n and line[j] != c:
                j += 2 if line[j] == "\\" else 1
            out.append(c + " " * (min(j, n) - i - 1) + (c if j < n else ""))
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)[:n], in_block_comment


def balanced(code):
    return all(code.count(a) == code.count(b) for a, b in ("()", "[]", "{}"))


def matching_paren(code, open_at):
    depth = 0
    for k in range(open_at, len(code)):
        depth += {"(": 1, ")": -1}.get(code[k], 0)
        if depth == 0:
            return k
    return -1


def line_mutations(line, code, previous_code):
    """Every one-line edit of `line` (with `code` its masked text): (column, old, new, kind)."""
    found = []
    logic = False
    for m in SPACED_OPERATOR.finditer(code):
        op = m.group(1)
        # `a < b` but not `template <typename T>`; a `*` or `-` between spaces is binary.
        if op in RELATIONAL:
            found += [(m.start(), op, new, "comparison") for new in RELATIONAL[op]]
        else:
            near = code[max(0, m.start() - 2):m.end() + 2]
            if op in "+-" and '"' in near:
                continue  # text joined with +, not arithmetic
            found += [(m.start(), op, new, "operator") for new in BINARY[op]]
        logic = True
    for m in COMPOUND_OPERATOR.finditer(code):
        found.append((m.start(), m.group(1), COMPOUND[m.group(1)], "operator"))
        logic = True
    for m in MIN_MAX.finditer(code):
        other = "max" if m.group(1) == "min" else "min"
        found.append((m.start(1), m.group(1), other, "min/max"))
        logic = True
    for m in CONDITION.finditer(code):
        close = matching_paren(code, m.end() - 1)
        if close > 0:
            inner = line[m.end():close]
            found.append((m.end(), inner, "!(" + inner + ")", "negated condition"))
            logic = True
    if logic or re.search(r"\breturn\b", code) or ASSIGNMENT.match(code.rstrip()):
        for m in BOOLEAN.finditer(code):
            found.append((m.start(), m.group(1), "false" if m.group(1) == "true" else "true",
                          "true/false"))
        for m in INTEGER.finditer(code):
            value = int(m.group(1))
            found.append((m.start(), m.group(1), str(value + 1), "off by one"))
            if value > 0:
                found.append((m.start(), m.group(1), str(value - 1), "off by one"))
    starts_statement = previous_code.rstrip().endswith((";", "{", "}", ":")) or (
        CONTROL_LINE.match(previous_code) and balanced(previous_code)
        and not previous_code.rstrip().endswith(("&&", "||", ",")))
    statement = code.rstrip()
    droppable = (ASSIGNMENT.match(statement) or JUMP.match(statement) or INCREMENT.match(statement)
                 or (CALL.match(statement) and not KEYWORD_CALL.match(statement)))
    if droppable and starts_statement and balanced(code) and "{" not in code:
        indent = line[:len(line) - len(line.lstrip())]
        found.append((0, line, indent + ";", "statement dropped"))
    return found


def source_files(folder):
    base = ROOT / "src" / folder
    files = []
    for path in sorted(base.rglob("*")):
        rel = path.relative_to(ROOT).as_posix()
        if path.suffix not in (".cpp", ".h") or path.name in EXCLUDED_NAMES:
            continue
        if any(rel == d or rel.startswith(d + "/") for d in EXCLUDED_DIRS):
            continue
        files.append(rel)
    return files


def sites_of(folder):
    """Every mutable line under src/FOLDER: [(file, line number, [mutations])]."""
    sites = []
    for rel in source_files(folder):
        text = (ROOT / rel).read_text(encoding="utf-8").split("\n")
        in_comment = False
        previous = ";"
        for number, line in enumerate(text, start=1):
            code, in_comment_after = mask(line, in_comment)
            was_in_comment, in_comment = in_comment, in_comment_after
            if was_in_comment or SKIP_LINE.search(line) or ONLY_PUNCTUATION.match(code):
                if code.strip():
                    previous = code
                continue
            if re.search(r'R"\w*\(', line):
                continue
            mutations = line_mutations(line, code, previous)
            if mutations:
                sites.append((rel, number, mutations))
            previous = code
    return sites


# ----------------------------------------------------------------------------------------
# Drawing the sample


def parse_layers(text, total):
    layers = []
    for part in [p for p in text.split(",") if p]:
        name, _, count = part.partition(":")
        name = name.strip().strip("/")
        top = name.split("/")[0]
        if top not in LAYER_TESTS or not (ROOT / "src" / name).is_dir():
            sys.exit(f"plant-faults: unknown layer {name!r} (known: {', '.join(LAYER_TESTS)})")
        layers.append([name, int(count) if count else None])
    fixed = sum(c for _, c in layers if c is not None)
    free = [layer for layer in layers if layer[1] is None]
    if fixed > total or (free and fixed == total and total > 0):
        sys.exit("plant-faults: the layers' counts leave nothing for the others (raise -n)")
    for k, layer in enumerate(free):
        layer[1] = (total - fixed) // len(free) + (1 if k < (total - fixed) % len(free) else 0)
    return [(name, count) for name, count in layers if count > 0]


def draws_of(layer, seed, taken):
    """The layer's mutants in drawing order, one line at most once, until its lines run out:
    the same order for the same seed, layer and sources."""
    rng = random.Random(f"{seed}:{layer}")
    sites = sites_of(layer)
    order = list(range(len(sites)))
    rng.shuffle(order)
    for index in order:
        rel, number, mutations = sites[index]
        if (rel, number) in taken:
            continue
        taken.add((rel, number))
        column, old, new, kind = rng.choice(mutations)
        yield {"layer": layer, "file": rel, "line": number, "column": column, "old": old,
               "new": new, "kind": kind}


def apply_to(line, mutant):
    if mutant["kind"] == "statement dropped":
        return mutant["new"]
    c = mutant["column"]
    assert line[c:c + len(mutant["old"])] == mutant["old"], (line, mutant)
    return line[:c] + mutant["new"] + line[c + len(mutant["old"]):]


def describe(mutant):
    if mutant["kind"] == "statement dropped":
        return f"dropped `{mutant['old'].strip()}`"
    return f"`{mutant['old']}` -> `{mutant['new']}` ({mutant['kind']})"


# ----------------------------------------------------------------------------------------
# Planting, building, testing


class Uninterrupted:
    """Holds Ctrl-C and SIGTERM back while a file and its journal are being written."""

    SIGNALS = {signal.SIGINT, signal.SIGTERM, signal.SIGHUP}

    def __enter__(self):
        signal.pthread_sigmask(signal.SIG_BLOCK, self.SIGNALS)

    def __exit__(self, *_):
        signal.pthread_sigmask(signal.SIG_UNBLOCK, self.SIGNALS)


class Planter:
    """Writes one mutant at a time and always puts the original back."""

    def __init__(self, state_dir):
        self.state_dir = state_dir
        self.journal = state_dir / "restore.json"
        self.current = None

    def recover(self):
        if self.journal.exists():
            saved = json.loads(self.journal.read_text(encoding="utf-8"))
            (ROOT / saved["file"]).write_bytes(bytes.fromhex(saved["original"]))
            self.journal.unlink()
            print(f"plant-faults: put back {saved['file']} left by an interrupted run")

    def plant(self, mutant):
        with Uninterrupted():
            self._plant(mutant)

    def _plant(self, mutant):
        path = ROOT / mutant["file"]
        original = path.read_bytes()
        lines = original.decode("utf-8").split("\n")
        lines[mutant["line"] - 1] = apply_to(lines[mutant["line"] - 1], mutant)
        staged = self.journal.with_suffix(".tmp")
        staged.write_text(json.dumps({"file": mutant["file"], "original": original.hex()}),
                          encoding="utf-8")
        os.replace(staged, self.journal)
        self.current = (path, original)
        path.write_bytes("\n".join(lines).encode("utf-8"))

    def restore(self):
        with Uninterrupted():
            self._restore()

    def _restore(self):
        if self.current:
            path, original = self.current
            path.write_bytes(original)
            if path.read_bytes() != original:
                raise RuntimeError(f"could not put back {path}")
            self.current = None
        if self.journal.exists():
            self.journal.unlink()


def target_paths(build, targets):
    """Each test target's executable, from Ninja's list of outputs."""
    out = subprocess.run(["ninja", "-C", str(build), "-t", "targets", "all"], check=True,
                         capture_output=True, text=True).stdout
    paths = {}
    for line in out.splitlines():
        output, _, rule = line.partition(": ")
        name = os.path.basename(output)
        if name in targets and "/" in output and rule.startswith("CXX_EXECUTABLE_LINKER"):
            paths[name] = build / output
    missing = [t for t in targets if t not in paths]
    if missing:
        sys.exit(f"plant-faults: {build} has no {', '.join(missing)} (configure with the tests)")
    return paths


def build_targets(build, targets, jobs):
    result = subprocess.run(["cmake", "--build", str(build), "-j", str(jobs), "--target",
                             *targets], capture_output=True, text=True)
    return result.returncode == 0, result.stdout + result.stderr


def digest(path):
    """A hash of what a program loads (its allocated ELF sections but the build-id note):
    the line tables of the debugging data and the build id change with any edit, the code
    only with one that compiles to something else."""
    data = Path(path).read_bytes()
    h = hashlib.sha1()
    if data[:4] != b"\x7fELF" or data[4] != 2:  # not a 64-bit ELF file: all of it
        h.update(data)
        return h.hexdigest()
    order = "<" if data[5] == 1 else ">"
    shoff, = struct.unpack_from(order + "Q", data, 0x28)
    shentsize, shnum = struct.unpack_from(order + "HH", data, 0x3A)
    for k in range(shnum):
        _, kind, flags, _, offset, size = struct.unpack_from(order + "IIQQQQ", data,
                                                              shoff + k * shentsize)
        if flags & 0x2 and kind not in (7, 8):  # allocated, neither a note nor .bss
            h.update(data[offset:offset + size])
    return h.hexdigest()


def run_program(path, timeout, data_home):
    """(outcome, seconds, output): outcome is 'passed', 'failed' or 'timeout'; the output
    of a failed program ends with what failed."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_DATA_HOME=str(data_home))
    started = time.monotonic()
    process = subprocess.Popen([str(path), "--gtest_brief=1", "--gtest_fail_fast"],
                               cwd=path.parent, env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, start_new_session=True)
    try:
        output, _ = process.communicate(timeout=timeout)
        outcome = "passed" if process.returncode == 0 else "failed"
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        output, _ = process.communicate()
        outcome = "timeout"
    except BaseException:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        raise
    text = output.decode("utf-8", "replace")
    # Fail-fast marks every later test as skipped: noise.
    text = re.sub(r"^\S+:\d+: Skipped\n\n?", "", text, flags=re.M)
    if outcome == "failed" and process.returncode < 0:
        text += f"\n(killed by signal {-process.returncode})\n"
    return outcome, time.monotonic() - started, text


def what_failed(output):
    """The failed tests' names, else where the program stopped."""
    names = sorted(set(re.findall(r"^\[  FAILED  \] ([\w/]+\.[\w/]+)", output, re.M)))
    if names:
        return names
    places = re.findall(r"^(\S+:\d+): Failure", output, re.M)
    signal_line = re.findall(r"^\(killed by signal \d+\)", output, re.M)
    return [" ".join(signal_line + ([f"after {places[-1]}"] if places else [])) or "exit status"]


def cache_key(mutant):
    """Names a mutant of one version of its file: a file edited since gets new draws."""
    original = hashlib.sha1((ROOT / mutant["file"]).read_bytes()).hexdigest()
    return f"{mutant['file']}:{mutant['line']}:{mutant['column']}:{mutant['new']}:{original}"


def try_mutant(mutant, build, targets, paths, clean, seconds, planter, data_home, args, wanted,
               log):
    """Plants, builds, tests (when `wanted`) and restores one mutant. kind: counted, not
    compiled or no effect; result of a counted one: caught, timeout or survived."""
    planter.plant(mutant)
    try:
        ok, _ = build_targets(build, targets, args.j)
        if not ok:
            return {"kind": "not compiled"}
        changed = [t for t in targets if digest(paths[t]) != clean[t]]
        if not changed:
            return {"kind": "no effect"}
        if not wanted:
            return {"kind": "counted"}
        for t in sorted(changed, key=lambda t: seconds[t]):
            limit = args.timeout or 5 * seconds[t] + 30
            outcome, _, output = run_program(paths[t], limit, data_home)
            if outcome == "timeout":
                return {"kind": "counted", "result": "timeout",
                        "caught_by": [f"{t} over {limit:.0f} s"]}
            if outcome == "failed":
                if log:
                    log.write(output[-4000:] + "\n")
                return {"kind": "counted", "result": "caught", "caught_by": what_failed(output)}
        return {"kind": "counted", "result": "survived", "caught_by": []}
    finally:
        planter.restore()


def on_signal(number, _frame):
    raise KeyboardInterrupt(f"signal {number}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("-n", type=int, default=30)
    parser.add_argument("--seed", default="1")
    parser.add_argument("--layers", default=",".join(DEFAULT_LAYERS))
    parser.add_argument("--build", default="build")
    parser.add_argument("-j", type=int, default=2)
    parser.add_argument("--timeout", type=float)
    parser.add_argument("--only", default="")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--log")
    args = parser.parse_args()
    build = (ROOT / args.build).resolve()
    layers = parse_layers(args.layers, args.n)
    only = {int(k) for k in args.only.split(",") if k}

    state_dir = build / "plant-faults"
    state_dir.mkdir(parents=True, exist_ok=True)
    planter = Planter(state_dir)
    for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(sig, on_signal)
    lock = open(state_dir / "lock", "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except OSError:
        sys.exit(f"plant-faults: another run is using {build}")
    planter.recover()

    log = open(args.log, "a", encoding="utf-8") if args.log else None

    def say(text=""):
        print(text, flush=True)
        if log:
            log.write(text + "\n")
            log.flush()

    taken = set()
    plan = [(layer, count, draws_of(layer, args.seed, taken)) for layer, count in layers]
    say(f"plant-faults: seed {args.seed}, {args.n} mutants: "
        + ", ".join(f"{layer} {count}" for layer, count, _ in plan))
    if args.list:
        number = 0
        for layer, count, draws in plan:
            for mutant in [next(draws, None) for _ in range(count)]:
                if mutant:
                    number += 1
                    say(f"{number:3} {layer:14} {mutant['file']}:{mutant['line']}  "
                        f"{describe(mutant)}")
        say("(the draw before building: a mutant that does not compile or changes no test "
            "program is replaced when run)")
        return 0

    all_targets = sorted({t for layer, _ in layers for t in LAYER_TESTS[layer.split("/")[0]]})
    paths = target_paths(build, all_targets)
    data_home = state_dir / "data-home"
    data_home.mkdir(exist_ok=True)
    results = []
    try:
        kinds = json.loads((state_dir / "draws.json").read_text(encoding="utf-8"))
    except (OSError, ValueError):
        kinds = {}
    try:
        say(f"building {', '.join(all_targets)} ...")
        ok, output = build_targets(build, all_targets, args.j)
        if not ok:
            sys.exit("plant-faults: the clean sources do not build:\n" + output[-3000:])
        clean = {t: digest(paths[t]) for t in all_targets}
        seconds = {}
        for t in all_targets:
            outcome, took, output = run_program(paths[t], 1800, data_home)
            if outcome != "passed":
                sys.exit(f"plant-faults: {t} fails without a mutant:\n{output[-3000:]}")
            seconds[t] = took
            say(f"  {t}: passes in {took:.0f} s")

        number = 0
        for layer, count, draws in plan:
            targets = LAYER_TESTS[layer.split("/")[0]]
            counted = 0
            while counted < count:
                mutant = next(draws, None)
                if mutant is None:
                    say(f"{layer}: no more sites")
                    break
                key = cache_key(mutant)
                wanted = not only or number + 1 in only
                if kinds.get(key) in ("not compiled", "no effect") and only:
                    continue  # known not to count: nothing to build for a partial run
                if kinds.get(key) == "counted" and not wanted:
                    counted, number = counted + 1, number + 1
                    continue
                result = try_mutant(mutant, build, targets, paths, clean, seconds, planter,
                                    data_home, args, wanted, log)
                kinds[key] = result["kind"]
                (state_dir / "draws.json").write_text(json.dumps(kinds), encoding="utf-8")
                where = f"{mutant['file']}:{mutant['line']}"
                if result["kind"] != "counted":
                    say(f"  -  {layer:14} {result['kind']:12}  {where}  {describe(mutant)}")
                    results.append(dict(mutant, result=result["kind"]))
                    continue
                counted, number = counted + 1, number + 1
                if not wanted:
                    continue
                results.append(dict(mutant, result=result["result"], number=number))
                caught_by = result["caught_by"]
                say(f"{number:3} {layer:14} {result['result']:12}  {where}  {describe(mutant)}"
                    + (f"  [{', '.join(caught_by)[:120]}]" if caught_by else ""))
    except KeyboardInterrupt as stop:
        say(f"plant-faults: stopped ({stop}); the sources are as they were")
        report(results, [layer for layer, _ in layers], say)
        return 130
    finally:
        planter.restore()
        # Leave the build matching the sources again.
        build_targets(build, all_targets, args.j)
    report(results, [layer for layer, _ in layers], say)
    return 0


def report(results, layers, say):
    say("")
    say(f"{'layer':14} {'caught':>6} {'timeout':>7} {'survived':>8}   not compiled  no effect")
    totals = [0, 0, 0, 0, 0]
    for layer in layers:
        mine = [r for r in results if r["layer"] == layer]
        row = [sum(r["result"] == k for r in mine)
               for k in ("caught", "timeout", "survived", "not compiled", "no effect")]
        totals = [a + b for a, b in zip(totals, row)]
        say(f"{layer:14} {row[0]:6} {row[1]:7} {row[2]:8}   {row[3]:12}  {row[4]:9}")
    say(f"{'all':14} {totals[0]:6} {totals[1]:7} {totals[2]:8}   {totals[3]:12}  {totals[4]:9}")
    counted = totals[0] + totals[1] + totals[2]
    if counted:
        say(f"caught {totals[0] + totals[1]} of {counted} "
            f"({100 * (totals[0] + totals[1]) // counted}%)")
    survivors = [r for r in results if r["result"] == "survived"]
    if survivors:
        say("survivors:")
        for r in survivors:
            say(f"  #{r['number']} {r['file']}:{r['line']}  {describe(r)}")


if __name__ == "__main__":
    sys.exit(main())
