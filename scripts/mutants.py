#!/usr/bin/env python3
"""The mutation check's helper: picks the fixed sample of mutants, applies one to a copy of the
tree, and mirrors the tree into that copy.

A mutant is one line of velkor_core's sources changed in one small way. The sample file holds,
for each, the file and line, the kind of change and the whole line before and after, so that a
mutant can be found again by its text when the code around it has moved.

  mutants.py generate ROOT SAMPLE [--count N] [--seed S] [--check BUILD]
  mutants.py list SAMPLE
  mutants.py ids SAMPLE
  mutants.py apply SAMPLE ID TREE     prints "ok PATH LINE" or "stale REASON"
  mutants.py sync ROOT TREE           copies changed files only, keeps times of unchanged ones
"""

import filecmp
import json
import os
import random
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

# ---------------------------------------------------------------------------------------------
# The core's sources


def core_sources(root):
    """The .cpp files that CMake puts in velkor_core, relative to root, sorted."""
    found = []
    pattern = re.compile(r"target_sources\(\s*velkor_core\s+PRIVATE(.*?)\)", re.S)
    for dirpath, dirnames, filenames in os.walk(os.path.join(root, "src")):
        dirnames.sort()
        if "CMakeLists.txt" not in filenames:
            continue
        text = open(os.path.join(dirpath, "CMakeLists.txt"), encoding="utf-8").read()
        for block in pattern.findall(text):
            for word in block.split():
                if word.endswith(".cpp"):
                    found.append(os.path.relpath(os.path.join(dirpath, word), root))
    return sorted(found)


def code_lines(lines):
    """For each line, its code with comments removed and string and character literals blanked
    (same length, so that columns still match); None for lines that hold no code to mutate."""
    result = []
    in_block = False
    for line in lines:
        out = []
        i = 0
        n = len(line)
        while i < n:
            if in_block:
                end = line.find("*/", i)
                if end < 0:
                    out.append(" " * (n - i))
                    i = n
                else:
                    out.append(" " * (end + 2 - i))
                    i = end + 2
                    in_block = False
                continue
            c = line[i]
            if line.startswith("//", i):
                break
            if line.startswith("/*", i):
                in_block = True
                out.append("  ")
                i += 2
                continue
            if line.startswith('R"', i):
                # Raw strings are rare in the core; a line that opens one is not mutated.
                out = None
                break
            if c in "\"'":
                j = i + 1
                while j < n and line[j] != c:
                    j += 2 if line[j] == "\\" else 1
                out.append(c + "_" * (min(j, n) - i - 1) + (c if j < n else ""))
                i = j + 1
                continue
            out.append(c)
            i += 1
        if out is None:
            result.append(None)
            continue
        code = "".join(out).rstrip()
        stripped = code.strip()
        if not stripped or stripped.startswith("#"):
            result.append(None)
        else:
            result.append(code)
    return result


# ---------------------------------------------------------------------------------------------
# Kinds of mutant

FLIPS = {"==": "!=", "!=": "==", "<": ">=", ">": "<=", "<=": ">", ">=": "<"}
COMPARE = re.compile(r"(?<=\S) (==|!=|<=|>=|<|>) (?=\S)")
NUMBER = re.compile(r"(?<![\w.])(?<![eE][-+])(\d+\.\d+|\d+)(?![\w.'])")
CONDITION = re.compile(r"^(\s*(?:\} else )?(?:if|while) )\((.*)\)( \{)$")
ASSIGNMENT = re.compile(r"^\s*[\w.\[\]>()-]+ (=|\+=|-=|\*=|/=|\|=|&=) [^=].*;$")
CALL = re.compile(r"^\s*[\w:]+(?:(?:\.|->)[\w]+)*\(.*\);$")
STEP = re.compile(r"^\s*(?:\+\+|--)[\w.]+;$|^\s*[\w.]+(?:\+\+|--);$")
NOT_A_STATEMENT = re.compile(r"^\s*(return|case|default|namespace|using|static_assert|throw)\b")


def balanced(text):
    depth = 0
    for c in text:
        if c == "(":
            depth += 1
        elif c == ")":
            depth -= 1
            if depth < 0:
                return False
    return depth == 0


def starts_statement(codes, index):
    """True when the previous line of code ends a statement or opens or closes a block."""
    for k in range(index - 1, -1, -1):
        if codes[k] is None:
            continue
        return codes[k].rstrip().endswith((";", "{", "}", ":"))
    return True


def candidates_in_line(line, code, codes, index):
    """Every mutant one line allows, as (kind, mutated line)."""
    found = []
    if "operator" in code or "template" in code or "<<" in code or ">>" in code:
        return found
    for m in COMPARE.finditer(code):
        op = m.group(1)
        start, end = m.start(1), m.end(1)
        found.append(("flip-compare", line[:start] + FLIPS[op] + line[end:]))
    for m in NUMBER.finditer(code):
        # Not an index or an array's size: one more there reads past the end.
        if code[: m.start(1)].count("[") == code[: m.start(1)].count("]"):
            text = m.group(1)
            if "." in text:
                whole, frac = text.split(".")
                bumped = str(int(whole) + 1) + "." + frac
            else:
                bumped = str(int(text) + 1)
            found.append(("constant+1", line[: m.start(1)] + bumped + line[m.end(1):]))
    m = CONDITION.match(code)
    if m and balanced(m.group(2)):
        head, cond = m.group(1), m.group(2)
        # The condition sits at the same columns in the real line as in the code.
        real = line[len(head) + 1 : len(head) + 1 + len(cond)]
        found.append(("negate-condition", head + "(!(" + real + "))" + line[m.end(2) + 1 :]))
    stripped = code.strip()
    if (
        starts_statement(codes, index)
        and balanced(stripped)
        and not NOT_A_STATEMENT.match(stripped)
        and (ASSIGNMENT.match(code) or CALL.match(code) or STEP.match(code))
    ):
        found.append(("remove-statement", ""))
    return found


# ---------------------------------------------------------------------------------------------
# The sample file


def parse_sample(path):
    mutants = []
    current = None
    for raw in open(path, encoding="utf-8"):
        line = raw.rstrip("\n")
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        if line.startswith("M"):
            ident, where, kind = line.split()
            file, lineno = where.rsplit(":", 1)
            current = {"id": int(ident[1:]), "file": file, "line": int(lineno), "kind": kind}
            mutants.append(current)
        elif line.startswith("  - "):
            current["before"] = line[4:]
        elif line.startswith("  + "):
            current["after"] = line[4:]
        elif line.rstrip() == "  +":
            current["after"] = ""
    return mutants


def write_sample(path, mutants, seed, count):
    with open(path, "w", encoding="utf-8") as out:
        out.write(
            "# The mutation check's fixed sample: one small change to velkor_core per mutant.\n"
            "# Picked once by `scripts/mutants.py generate . scripts/mutants.txt"
            f" --count {count} --seed {seed}\n"
            "# --check build-mutants/build` (mutants that do not compile passed over);\n"
            "# applied by scripts/mutants.sh. Each mutant: id, file:line, kind, then the line\n"
            "# before (-) and after (+), leading blanks left out. An empty + removes the line.\n"
            "# Kinds: flip-compare, constant+1, negate-condition, remove-statement.\n"
        )
        for m in mutants:
            out.write(f"\nM{m['id']:02d} {m['file']}:{m['line']} {m['kind']}\n")
            out.write(f"  - {m['before']}\n")
            out.write(f"  + {m['after']}\n" if m["after"] else "  +\n")


# ---------------------------------------------------------------------------------------------
# Generating the sample


def syntax_ok(build, tree, rel, text):
    """True when text compiles, syntax only, in place of tree/rel with the build's own command."""
    commands = json.load(open(os.path.join(build, "compile_commands.json"), encoding="utf-8"))
    target = os.path.realpath(os.path.join(tree, rel))
    entry = next((c for c in commands if os.path.realpath(c["file"]) == target), None)
    if entry is None:
        return True
    args = shlex.split(entry["command"]) if "command" in entry else list(entry["arguments"])
    if args and os.path.basename(args[0]) == "ccache":
        args = args[1:]
    kept = []
    skip = False
    for a in args:
        if skip:
            skip = False
            continue
        if a in ("-o", "-MF", "-MT", "-MQ"):
            skip = True
            continue
        if a in ("-c", "-MD", "-MMD") or a == entry["file"]:
            continue
        kept.append(a)
    # A copy beside the original, so that its own includes resolve and the original is untouched.
    handle, scratch = tempfile.mkstemp(
        suffix=".cpp", prefix=".mutant-", dir=os.path.dirname(target)
    )
    try:
        with os.fdopen(handle, "w", encoding="utf-8") as f:
            f.write(text)
        run = subprocess.run(
            kept + ["-fsyntax-only", "-Wno-error", scratch],
            cwd=entry["directory"],
            capture_output=True,
        )
        return run.returncode == 0
    finally:
        os.remove(scratch)


def generate(root, sample, count, seed, check):
    rng = random.Random(seed)
    per_file = {}
    for rel in core_sources(root):
        lines = open(os.path.join(root, rel), encoding="utf-8").read().split("\n")
        codes = code_lines(lines)
        stripped = [l.strip() for l in lines]
        cands = []
        for i, (line, code) in enumerate(zip(lines, codes)):
            # Only lines whose text is unique in their file, so that a mutant is found again
            # by its text alone when the line has moved.
            if code is None or stripped.count(line.strip()) != 1:
                continue
            for kind, mutated in candidates_in_line(line, code, codes, i):
                cands.append((i, kind, line, mutated))
        rng.shuffle(cands)
        if cands:
            per_file[rel] = (lines, cands)

    # A share for every file by its number of candidates, at least one each.
    files = sorted(per_file)
    total = sum(len(per_file[f][1]) for f in files)
    quota = {f: max(1, round(count * len(per_file[f][1]) / total)) for f in files}
    while sum(quota.values()) > count:
        biggest = max(files, key=lambda f: (quota[f], f))
        quota[biggest] -= 1
    while sum(quota.values()) < count:
        most = max(files, key=lambda f: (len(per_file[f][1]) / quota[f], f))
        quota[most] += 1

    chosen = []
    for rel in files:
        lines, cands = per_file[rel]
        kinds_used = {}
        taken_lines = set()
        picked = []
        # Kinds spread evenly: the least-used kind first, then the shuffled order.
        pool = list(cands)
        while len(picked) < quota[rel] and pool:
            pool.sort(key=lambda c: kinds_used.get(c[1], 0))
            cand = pool.pop(0)
            i, kind, line, mutated = cand
            if i in taken_lines:
                continue
            text = "\n".join(lines[:i] + ([mutated] if mutated else []) + lines[i + 1 :])
            if check and not syntax_ok(check, root_tree(check), rel, text):
                print(f"skipped, does not compile: {rel}:{i + 1} {kind}", file=sys.stderr)
                continue
            picked.append(cand)
            taken_lines.add(i)
            kinds_used[kind] = kinds_used.get(kind, 0) + 1
        for i, kind, line, mutated in sorted(picked):
            chosen.append(
                {
                    "file": rel,
                    "line": i + 1,
                    "kind": kind,
                    "before": line.strip(),
                    "after": mutated.strip(),
                }
            )
    for n, m in enumerate(chosen, 1):
        m["id"] = n
    write_sample(sample, chosen, seed, count)
    print(f"{len(chosen)} mutants written to {sample}")


def root_tree(build):
    cache = open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8").read()
    return re.search(r"^CMAKE_HOME_DIRECTORY:INTERNAL=(.*)$", cache, re.M).group(1)


# ---------------------------------------------------------------------------------------------
# Applying one mutant


def locate(tree, mutant):
    """The file (relative to tree) and 0-based line holding the mutant's original text: at its
    line, else elsewhere in the same file, else in a file of the same name that moved."""
    rel = mutant["file"]
    places = []
    if os.path.exists(os.path.join(tree, rel)):
        places.append(rel)
    name = os.path.basename(rel)
    for dirpath, dirnames, filenames in os.walk(os.path.join(tree, "src")):
        dirnames.sort()
        if name in filenames:
            other = os.path.relpath(os.path.join(dirpath, name), tree)
            if other not in places:
                places.append(other)
    for place in places:
        lines = open(os.path.join(tree, place), encoding="utf-8").read().split("\n")
        hits = [i for i, l in enumerate(lines) if l.strip() == mutant["before"]]
        if not hits:
            continue
        want = mutant["line"] - 1
        return place, min(hits, key=lambda i: (abs(i - want), i)), lines
    return None, None, None


def apply(sample, ident, tree):
    mutant = next((m for m in parse_sample(sample) if m["id"] == ident), None)
    if mutant is None:
        print(f"stale no mutant M{ident:02d} in the sample")
        return
    place, index, lines = locate(tree, mutant)
    if place is None:
        print("stale original text not found")
        return
    old = lines[index]
    indent = old[: len(old) - len(old.lstrip())]
    if mutant["after"]:
        lines[index] = indent + mutant["after"]
    else:
        del lines[index]
    with open(os.path.join(tree, place), "w", encoding="utf-8") as f:
        f.write("\n".join(lines))
    print(f"ok {place} {index + 1}")


# ---------------------------------------------------------------------------------------------
# Mirroring the tree

SKIP_TOP = re.compile(r"^(build.*|\.git|out|print|\.cache)$")


def sync(root, tree):
    """Makes tree a copy of root's sources; unchanged files keep their times, so that the
    build in the copy only rebuilds what changed."""
    seen = set()
    for dirpath, dirnames, filenames in os.walk(root):
        rel_dir = os.path.relpath(dirpath, root)
        if rel_dir == ".":
            dirnames[:] = [d for d in dirnames if not SKIP_TOP.match(d)]
            filenames = [
                f for f in filenames if not SKIP_TOP.match(f) and f != "compile_commands.json"
            ]
        os.makedirs(os.path.join(tree, rel_dir), exist_ok=True)
        seen.add(os.path.normpath(rel_dir))
        for name in filenames:
            rel = os.path.normpath(os.path.join(rel_dir, name))
            seen.add(rel)
            src, dst = os.path.join(root, rel), os.path.join(tree, rel)
            if not os.path.exists(dst) or not filecmp.cmp(src, dst, shallow=False):
                shutil.copy2(src, dst)
                # A fresh time, so that the build sees the file as changed.
                os.utime(dst)
    for dirpath, dirnames, filenames in os.walk(tree, topdown=False):
        rel_dir = os.path.normpath(os.path.relpath(dirpath, tree))
        for name in filenames:
            rel = os.path.normpath(os.path.join(rel_dir, name))
            if rel not in seen:
                os.remove(os.path.join(tree, rel))
        if rel_dir not in seen and rel_dir != ".":
            os.rmdir(dirpath)


# ---------------------------------------------------------------------------------------------


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    command = argv[1]
    if command == "generate":
        root, sample = argv[2], argv[3]
        opts = dict(zip(argv[4::2], argv[5::2]))
        generate(
            root,
            sample,
            int(opts.get("--count", 50)),
            int(opts.get("--seed", 14)),
            opts.get("--check"),
        )
    elif command == "list":
        for m in parse_sample(argv[2]):
            print(f"M{m['id']:02d} {m['file']}:{m['line']} {m['kind']}")
            print(f"    - {m['before']}")
            print(f"    + {m['after'] or '(line removed)'}")
    elif command == "ids":
        print(" ".join(str(m["id"]) for m in parse_sample(argv[2])))
    elif command == "apply":
        apply(argv[2], int(argv[3]), argv[4])
    elif command == "sync":
        sync(argv[2], argv[3])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
