#!/usr/bin/env python3
"""Small regex mutator for the C++ sources, used by scripts/mutation.sh.

  mutants.py sample --seed S --count N FOLDER...
      prints N mutants drawn from the folders (split evenly between them),
      one per line: file, line number, operator, before, after (tab-separated,
      before and after without their indentation).
  mutants.py apply FILE LINE AFTER
      replaces line LINE of FILE with AFTER, keeping the line's indentation.

Comments, string and character literals and preprocessor lines are never
mutated; neither is the generated icon data nor its declarations.
"""
import random
import re
import sys
from pathlib import Path

SKIPPED_FILES = {"app/icons.cpp", "app/icons.h"}

RELATIONAL = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
ARITHMETIC = {"+": "-", "-": "+", "*": "/", "/": "*"}

# Binary operators written with a space on each side: this keeps templates,
# pointers, references, unary signs and stream operators out.
RELATIONAL_RE = re.compile(r"(?<=[\w)\]] )(<=|>=|==|!=|<|>)(?= [\w(!-])")
ARITHMETIC_RE = re.compile(r"(?<=[\w)\]] )([-+*/])(?= [\w(])")
INTEGER_RE = re.compile(r"(?<![\w.'])\d+(?![\w.'])")
IF_RE = re.compile(r"\bif\s*\(")
CALL_LINE_RE = re.compile(r"^[A-Za-z_][\w:]*(?:\s*(?:\.|->)\s*[A-Za-z_]\w*)*\s*\(.*\)\s*;$")
NOT_CALLS = {"return", "if", "while", "for", "switch", "sizeof", "static_assert", "delete"}


def code_masks(text):
    """Each line with comments and literals blanked out (same length), and a
    flag per line saying whether it belongs to a preprocessor directive."""
    masked = []
    in_block = False
    continued_directive = False
    for line in text.split("\n"):
        out = []
        i = 0
        directive = continued_directive or (not in_block and line.lstrip().startswith("#"))
        continued_directive = directive and line.endswith("\\")
        while i < len(line):
            c = line[i]
            if in_block:
                if line.startswith("*/", i):
                    in_block = False
                    out.append("  ")
                    i += 2
                else:
                    out.append(" ")
                    i += 1
            elif line.startswith("//", i):
                out.append(" " * (len(line) - i))
                break
            elif line.startswith("/*", i):
                in_block = True
                out.append("  ")
                i += 2
            elif c in "\"'" and not (c == "'" and i > 0 and line[i - 1].isalnum()):
                j = i + 1
                while j < len(line) and line[j] != c:
                    j += 2 if line[j] == "\\" else 1
                j = min(j, len(line) - 1)
                out.append(c + " " * (j - i - 1) + c if j > i else c)
                i = j + 1
            else:
                out.append(c)
                i += 1
        masked.append(("".join(out), directive))
    return masked


def matching_paren(code, open_at):
    depth = 0
    for k in range(open_at, len(code)):
        depth += {"(": 1, ")": -1}.get(code[k], 0)
        if depth == 0:
            return k
    return -1


def line_mutants(line, code, previous):
    """(operator, mutated line) for every mutation of one source line;
    previous is the code of the line before it, to tell statements apart
    from the continuation of an expression."""
    found = []
    for m in RELATIONAL_RE.finditer(code):
        op = m.group(1)
        found.append(("relational", line[:m.start()] + RELATIONAL[op] + line[m.end():]))
    for m in ARITHMETIC_RE.finditer("" if '"' in code else code):  # strings do not subtract
        op = m.group(1)
        found.append(("arithmetic", line[:m.start()] + ARITHMETIC[op] + line[m.end():]))
    for m in INTEGER_RE.finditer(code):
        value = int(m.group(0))
        for moved in (value + 1, value - 1):
            if moved >= 0:
                found.append(("constant", line[:m.start()] + str(moved) + line[m.end():]))
    for m in IF_RE.finditer(code):
        close = matching_paren(code, m.end() - 1)
        if close > 0:
            inner = line[m.end():close]
            found.append(("negate", line[:m.end()] + "!(" + inner + ")" + line[close:]))
    stripped = code.strip()
    starts_statement = previous.rstrip().endswith((";", "{", "}", ")", ":")) or not previous.strip()
    if starts_statement and CALL_LINE_RE.match(stripped) and stripped.split("(")[0].strip() not in NOT_CALLS:
        found.append(("delete-call", line[: len(line) - len(line.lstrip())] + ";"))
    return found


def file_mutants(root, path):
    text = path.read_text(encoding="utf-8")
    lines = text.split("\n")
    rel = path.relative_to(root).as_posix()
    previous = ""
    for number, (line, (code, directive)) in enumerate(zip(lines, code_masks(text)), 1):
        if directive or not code.strip():
            continue
        for operator, after in line_mutants(line, code, previous):
            yield rel, number, operator, line.strip(), after.strip()
        previous = code


def folder_mutants(root, folder):
    sources = sorted(p for p in (root / folder).glob("*") if p.suffix in (".cpp", ".h"))
    found = []
    for path in sources:
        if path.relative_to(root).as_posix() not in SKIPPED_FILES:
            found.extend(file_mutants(root, path))
    return found


def sample(root, folders, seed, count):
    """count mutants split evenly between the folders, taken in turn from
    each folder so that a run cut short still covers all of them."""
    rng = random.Random(seed)
    per_folder = []
    for index, folder in enumerate(folders):
        share = count // len(folders) + (1 if index < count % len(folders) else 0)
        per_folder.append(even_draw(rng, folder_mutants(root, folder), share))
    chosen = []
    for turn in range(max(map(len, per_folder), default=0)):
        chosen.extend(drawn[turn] for drawn in per_folder if turn < len(drawn))
    return chosen


def even_draw(rng, candidates, share):
    """share mutants taken in turn from each operator, so that the many
    integer constants do not crowd out the rarer operators."""
    by_operator = {}
    for mutant in candidates:
        by_operator.setdefault(mutant[2], []).append(mutant)
    pools = [rng.sample(group, len(group)) for _, group in sorted(by_operator.items())]
    drawn = []
    while len(drawn) < share and any(pools):
        for pool in pools:
            if pool and len(drawn) < share:
                drawn.append(pool.pop())
    return drawn


def apply(path, number, after):
    lines = Path(path).read_text(encoding="utf-8").split("\n")
    line = lines[number - 1]
    lines[number - 1] = line[: len(line) - len(line.lstrip())] + after
    Path(path).write_text("\n".join(lines), encoding="utf-8")


def main(argv):
    root = Path(__file__).resolve().parent.parent
    if argv[:1] == ["apply"] and len(argv) == 4:
        apply(argv[1], int(argv[2]), argv[3])
        return 0
    if argv[:1] == ["sample"]:
        args = argv[1:]
        seed, count, folders = 13, 250, []
        while args:
            if args[0] == "--seed":
                seed, args = int(args[1]), args[2:]
            elif args[0] == "--count":
                count, args = int(args[1]), args[2:]
            else:
                folders, args = folders + [args[0]], args[1:]
        for mutant in sample(root, folders, seed, count):
            print("\t".join(str(field).replace("\t", " ") for field in mutant))
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
