#!/usr/bin/env python3
"""Plants small bugs in the program lines a change touched and tells which
ones the suite lets through.

    scripts/mutate.py [--base REV] [--max N] [--seed S] [--build DIR] [--list]
                      [--only PATH[:LINE]] [--tests REGEX]

The lines are those that `git diff BASE` adds or changes under src/ and
tools/ (the working tree against BASE, default HEAD~1; uncommitted changes
count). Each mutant is one change of one line: a comparison or boundary
turned (< and <=, == and !=, && and ||), a negation dropped, a constant
moved by one, true and false swapped, a call or assignment statement
dropped. For each, the build tree is rebuilt incrementally and the suite
runs without the server and end-to-end tests (--tests chooses others,
those included), stopping at the first failure. A mutant that does not compile is not counted. The file is always
put back, also on Ctrl+C; the tree is rebuilt once at the end.

A mutant costs an incremental build and, when it survives, a whole suite
run (about 1 to 4 minutes here); --max samples that many of them.
"""

import argparse
import random
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
PROGRAM_DIRS = ("src/", "tools/")
SKIPPED_TESTS = "server_suite|e2e_"

SWAPS = [
    (r"<=", "<"), (r">=", ">"), (r"(?<![<>=!])<(?![<=])", "<="), (r"(?<![<>=!-])>(?![>=])", ">="),
    (r"==", "!="), (r"!=", "=="), (r"&&", "||"), (r"\|\|", "&&"),
    (r"\btrue\b", "false"), (r"\bfalse\b", "true"),
    (r"\+ 1\b", "- 1"), (r"- 1\b", "+ 1"),
]
NEGATION = re.compile(r"!(?=[\w(])")
NUMBER = re.compile(r"(?<![\w.])(\d+)(?![\w.])")
# A whole statement that calls something or assigns to an existing name.
DROPPABLE = re.compile(r"^\s*(?:[A-Za-z_]\w*(?:\.|->|::))*[A-Za-z_]\w*(?:\(.*\)|\s*(?:[-+|&]?=[^=].*|\+\+|--));\s*$")
SKIP_LINE = re.compile(r"^\s*(#|//|\*|/\*)|static_assert|Q_OBJECT|^\s*(case|default)\b")


def masked(line):
    """The line with string and character literals and a trailing comment
    blanked, so no mutation lands inside them."""
    out, quote, i = [], None, 0
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out.append("  ")
                i += 2
                continue
            if c == quote:
                quote = None
            out.append(" " if quote else c)
        elif c in "\"'":
            quote = c
            out.append(c)
        elif line.startswith("//", i):
            out.append(" " * (len(line) - i))
            break
        else:
            out.append(c)
        i += 1
    return "".join(out)


def mutants_of(line):
    """(description, new line) for each mutant of one source line."""
    if SKIP_LINE.search(line) or "template" in line or "#include" in line:
        return []
    plain = masked(line)
    found = []
    for pattern, replacement in SWAPS:
        for m in re.finditer(pattern, plain):
            if pattern in (r"(?<![<>=!])<(?![<=])", r"(?<![<>=!-])>(?![>=])") and looks_like_template(plain, m.start()):
                continue
            found.append((f"'{m.group(0)}' -> '{replacement}'", line[:m.start()] + replacement + line[m.end():]))
    for m in NEGATION.finditer(plain):
        found.append(("'!' dropped", line[:m.start()] + line[m.end():]))
    for m in NUMBER.finditer(plain):
        value = int(m.group(1))
        new = value + 1 if value != 1 else 0
        found.append((f"{value} -> {new}", line[:m.start()] + str(new) + line[m.end():]))
    if DROPPABLE.match(plain):
        indent = line[: len(line) - len(line.lstrip())]
        found.append(("statement dropped", indent + ";\n"))
    return found


def looks_like_template(plain, at):
    """A < or > of a template argument list, a cast or an include, not a comparison."""
    before = plain[:at].rstrip()
    after = plain[at + 1:].lstrip()
    if re.search(r"(cast|QList|QVector|QHash|QSet|QMap|QPair|vector|function|optional|unique_ptr|shared_ptr|"
                 r"pair|array|QPointer|findChild|findChildren|qobject_cast|QFlags|map|set|tuple|"
                 r"template|std::\w+|Q\w+)$", before):
        return True
    if plain[at] == ">" and (after.startswith("(") or after.startswith("::") or after.startswith("&")
                             or after.startswith("*") or after[:1].isalpha() and "<" in before):
        return True
    return plain[at] == "<" and re.match(r"[A-Z]\w*(::\w+)*\s*[>,*&]", after) is not None


def touched_lines(base):
    """{path: sorted line numbers} of the program lines the change adds."""
    diff = subprocess.run(["git", "diff", "-U0", base, "--", *PROGRAM_DIRS], cwd=ROOT, check=True,
                          capture_output=True, text=True).stdout
    lines, path = {}, None
    for row in diff.splitlines():
        if row.startswith("+++ "):
            name = row[6:] if row.startswith("+++ b/") else None
            path = name if name and name.endswith((".cpp", ".h")) else None
        elif row.startswith("@@") and path:
            m = re.search(r"\+(\d+)(?:,(\d+))?", row)
            start, count = int(m.group(1)), int(m.group(2) or 1)
            lines.setdefault(path, []).extend(range(start, start + count))
    for path in list(lines):
        if not (ROOT / path).exists():
            del lines[path]
    return lines


def plan(base, only):
    mutants = []
    for path, numbers in sorted(touched_lines(base).items()):
        text = (ROOT / path).read_text().splitlines(keepends=True)
        for n in numbers:
            if n > len(text) or (only and not only_matches(only, path, n)):
                continue
            for description, new in mutants_of(text[n - 1]):
                mutants.append((path, n, description, new))
    return mutants


def only_matches(only, path, n):
    want_path, _, want_line = only.partition(":")
    return path.endswith(want_path) and (not want_line or int(want_line) == n)


def run(args, **kw):
    return subprocess.run(args, cwd=ROOT, capture_output=True, text=True, **kw)


def build(tree):
    return run(["cmake", "--build", tree, "-j2"]).returncode == 0


def suite_passes(tree, tests):
    # --tests names what runs, the server suite included; no test at all is a failure.
    command = ["ctest", "--test-dir", tree, "-j2", "--stop-on-failure", "--timeout", "240", "--no-tests=error"]
    command += ["-R", tests] if tests else ["-E", SKIPPED_TESTS]
    return run(command).returncode == 0


def try_mutant(tree, tests, path, n, new):
    """'killed', 'survived' or 'stillborn' (did not compile)."""
    file = ROOT / path
    original = file.read_text()
    lines = original.splitlines(keepends=True)
    lines[n - 1] = new if new.endswith("\n") else new + "\n"
    try:
        file.write_text("".join(lines))
        if not build(tree):
            return "stillborn"
        return "survived" if suite_passes(tree, tests) else "killed"
    finally:
        file.write_text(original)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--base", default="HEAD~1", help="the change is everything since this revision")
    parser.add_argument("--max", type=int, default=0, help="try at most N mutants, sampled (0: all)")
    parser.add_argument("--seed", type=int, default=1, help="the sample's seed")
    parser.add_argument("--build", default="build", help="the build tree to rebuild and test")
    parser.add_argument("--list", action="store_true", help="only list the mutants")
    parser.add_argument("--only", help="only mutants of PATH (a suffix) or PATH:LINE")
    parser.add_argument("--tests", help="only the tests whose names match this regular expression")
    args = parser.parse_args()

    mutants = plan(args.base, args.only)
    if args.max and len(mutants) > args.max:
        mutants = sorted(random.Random(args.seed).sample(mutants, args.max), key=lambda m: (m[0], m[1]))
    print(f"{len(mutants)} mutants in the lines changed since {args.base}", flush=True)
    if args.list:
        for path, n, description, _ in mutants:
            print(f"  {path}:{n}: {description}")
        return 0
    if not build(args.build) or not suite_passes(args.build, args.tests):
        print("the unmutated tree does not build or pass its suite: nothing to measure", file=sys.stderr)
        return 2
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(130))
    counts = {"killed": 0, "survived": 0, "stillborn": 0}
    survivors = []
    started = time.monotonic()
    try:
        for i, (path, n, description, new) in enumerate(mutants, 1):
            outcome = try_mutant(args.build, args.tests, path, n, new)
            counts[outcome] += 1
            print(f"[{i}/{len(mutants)}] {path}:{n}: {description}: {outcome}", flush=True)
            if outcome == "survived":
                survivors.append(f"{path}:{n}: {description}")
    finally:
        build(args.build)
    tried = counts["killed"] + counts["survived"]
    print(f"\nsurvivors ({counts['survived']}):")
    for s in survivors:
        print("  " + s)
    rate = f"{100 * counts['killed'] / tried:.0f} %" if tried else "-"
    print(f"killed {counts['killed']} of {tried} ({rate}); {counts['stillborn']} did not compile; "
          f"{(time.monotonic() - started) / 60:.1f} min")
    return 1 if counts["survived"] else 0


if __name__ == "__main__":
    sys.exit(main())
