#!/usr/bin/env python3
"""Checks that the translated operator's manuals are written in their own
language and keep what the build and the operator rely on.

    ManualLanguageCheck.py REFERENCE.md TRANSLATION.md...

A translation fails when
  - one of its paragraphs, list items, table rows, headings or picture
    captions reads as one of the reference's once names, placeholders, code
    spans, numbers and key names are set aside (a block made only of those,
    such as "| Language | Polski, English, Magyar, Deutsch |", is fine);
  - it lacks a {{Section/Key}} placeholder, a picture, a code span or a
    command of the reference, or holds one the reference does not: these are
    replaced at build time or typed by the operator, so they stay as they are.
"""
import re
import sys
from pathlib import Path

# Names that read the same in every manual: the maker and the program, the
# language names of the Language menu (whose title the program shows in
# English whatever the language), and the abbreviations the windows show.
NAMES = {
    "lumarq", "technology", "polski", "english", "magyar", "deutsch", "language",
    "lan", "com", "csv", "tcp", "ip", "led", "pdf", "usb", "sqlite", "doms",
}
KEYS = {
    "ctrl", "alt", "shift", "enter", "return", "escape", "esc", "tab", "backspace",
    "space", "delete", "up", "down", "left", "right", "home", "end",
}

PLACEHOLDER = re.compile(r"\{\{[^{}]*\}\}")
CODE_SPAN = re.compile(r"`[^`]*`")
PICTURE = re.compile(r"!\[([^\]]*)\]\(([^)\s]+)\)")
FUNCTION_KEY = re.compile(r"\bF\d{1,2}\b")
KEY_COMBINATION = re.compile(r"\b(?:Ctrl|Alt|Shift)(?:\+\w+)+")
WORD = re.compile(r"[^\W\d_]+")  # letters only: numbers are never words
TABLE_RULE = re.compile(r"^\|[\s:|-]*$")
LIST_ITEM = re.compile(r"^\s{0,3}(?:[-*+]|\d+[.)])\s")


class Block:
    def __init__(self, line, text):
        self.line = line  # where it starts, from 1
        self.text = text

    def append(self, text):
        self.text += " " + text.strip()


def parse(text):
    """The manual's text blocks and the lines of its code blocks."""
    blocks, code = [], []
    current = None
    for number, raw in enumerate(text.splitlines(), 1):
        line = raw.rstrip()
        stripped = line.strip()
        if not stripped:
            current = None
        elif stripped.startswith("#") or stripped.startswith("|"):
            # Headings and table rows stand alone, one line each.
            current = None
            if not TABLE_RULE.match(stripped):
                blocks.append(Block(number, stripped))
        elif LIST_ITEM.match(line):
            current = Block(number, stripped)
            blocks.append(current)
        elif current is not None:
            current.append(stripped)  # a paragraph's or an item's next line
        elif line.startswith("    ") or line.startswith("\t"):
            code.append(stripped)     # an indented code block: commands
        else:
            current = Block(number, stripped)
            blocks.append(current)
    return blocks, code


def words(block_text):
    """What is left of a block to be read in a language: its words, lower case."""
    text = PICTURE.sub(r" \1 ", block_text)  # the caption is text, the file is not
    text = PLACEHOLDER.sub(" ", text)
    text = CODE_SPAN.sub(" ", text)
    text = KEY_COMBINATION.sub(" ", text)
    text = FUNCTION_KEY.sub(" ", text)
    return [w for w in (m.group(0).lower() for m in WORD.finditer(text)) if w not in NAMES and w not in KEYS]


def kept_items(text, code):
    """What must stay as it is: placeholders, pictures, code spans, commands."""
    items = set()
    items.update(m.group(0) for m in PLACEHOLDER.finditer(text))
    items.update("picture " + m.group(2) for m in PICTURE.finditer(text))
    items.update(m.group(0) for m in CODE_SPAN.finditer(text))
    items.update("command " + c for c in code)
    return items


def check(reference_path, translation_path):
    """Problems of one translation, and its count of blocks read in English."""
    reference_text = reference_path.read_text(encoding="utf-8")
    text = translation_path.read_text(encoding="utf-8")
    reference_blocks, reference_code = parse(reference_text)
    blocks, code = parse(text)
    english = {" ".join(w) for w in map(words, (b.text for b in reference_blocks)) if w}

    name = translation_path.name
    problems = []
    english_blocks = 0
    for block in blocks:
        w = words(block.text)
        if w and " ".join(w) in english:
            english_blocks += 1
            problems.append(f"{name}:{block.line}: as in {reference_path.name}: {block.text[:100]}")

    wanted = kept_items(reference_text, reference_code)
    held = kept_items(text, code)
    for item in sorted(wanted - held):
        problems.append(f"{name}: lacks {item}")
    for item in sorted(held - wanted):
        problems.append(f"{name}: holds {item}, which {reference_path.name} does not")
    return problems, english_blocks, len(blocks)


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    reference = Path(argv[1])
    failed = False
    for path in map(Path, argv[2:]):
        problems, english_blocks, total = check(reference, path)
        for p in problems:
            print(p)
        print(f"{path.name}: {english_blocks} of {total} text blocks as in {reference.name}, "
              f"{len(problems) - english_blocks} other problem(s)")
        failed |= bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
