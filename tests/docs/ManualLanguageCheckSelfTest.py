#!/usr/bin/env python3
"""The manual language check itself, on copies of the manuals: English text
planted into a translation in any of its forms is reported, a line made only
of names, placeholders, code, numbers and keys is not, and a placeholder,
picture, code span or command that goes missing or changes is reported.

    ManualLanguageCheckSelfTest.py CHECK.py MANUAL_FOLDER WORK_FOLDER
"""
import re
import shutil
import subprocess
import sys
import textwrap
from pathlib import Path

check, manuals, work = map(Path, sys.argv[1:4])
shutil.rmtree(work, ignore_errors=True)
work.mkdir(parents=True)
reference = work / "en.md"
shutil.copy(manuals / "en.md", reference)
english = reference.read_text(encoding="utf-8")
translated = (manuals / "pl.md").read_text(encoding="utf-8")


def run(text):
    planted = work / "xx.md"
    planted.write_text(text, encoding="utf-8")
    done = subprocess.run([sys.executable, str(check), str(reference), str(planted)],
                          capture_output=True, text=True)
    return done.returncode, done.stdout + done.stderr


def paragraphs(text):
    return [p for p in text.split("\n\n") if p.strip()]


def first(pattern, lines=1):
    """The first paragraph of the English manual that matches and spans at
    least `lines` lines."""
    for p in paragraphs(english):
        p = p.strip("\n")
        if re.search(pattern, p, re.S) and p.count("\n") + 1 >= lines:
            return p
    sys.exit(f"the English manual has no paragraph of {lines} lines matching {pattern!r}")


def english_item(pattern):
    """The first list item of the English manual that matches, lines and all."""
    for p in paragraphs(english):
        for item in re.split(r"\n(?=- )", p.strip("\n")):
            if item.startswith("- ") and re.search(pattern, item, re.S):
                return item
    sys.exit(f"the English manual has no list item matching {pattern!r}")


def plant(block):
    """The translation with `block` inserted after its first section heading,
    and the line the block starts on."""
    lines = translated.split("\n")
    at = next(i for i, line in enumerate(lines) if line.startswith("## ")) + 2
    return "\n".join(lines[:at] + block.split("\n") + [""] + lines[at:]), at + 1


def replace_once(old, new):
    if translated.count(old) < 1:
        sys.exit(f"the translation holds no {old!r}")
    return translated.replace(old, new, 1)


def the_only(pattern):
    """An item the translation holds exactly once."""
    for m in re.finditer(pattern, translated):
        if translated.count(m.group(0)) == 1:
            return m.group(0)
    sys.exit(f"the translation holds no single {pattern!r}")


paragraph = first(r"^[A-Z][a-z]", lines=3)
item_block = english_item(r"^- \*\*[A-Z]")
row = next(line for line in english.split("\n") if line.startswith("| {{MSG/") and re.search(r"[a-z]{4}", line))
heading = next(line for line in english.split("\n") if line.startswith("## "))
caption = next(line for line in english.split("\n") if line.startswith("!["))
numbered = first(r"^[A-Z][a-z].*\d", lines=3)
coded = re.sub(r"`[^`]+`", "`x`", first(r"^[A-Z][a-z].*`", lines=3))
placeholder = the_only(r"\{\{[^{}]+\}\}")
code_span = the_only(r"`[^`]+`")
picture = next(line for line in translated.split("\n") if line.startswith("!["))
command = next(line for line in translated.split("\n") if re.match(r"    \S", line))


def shifted(text):
    """The same words with every digit outside the placeholders changed."""
    def shift(m):
        return m.group(0) if m.group(0).startswith("{{") else str((int(m.group(0)) + 3) % 10)
    return re.sub(r"\{\{[^{}]*\}\}|\d", shift, text)


rewrapped = textwrap.fill(" ".join(paragraph.split()), 50)
# Right below a translated item, so that only its marker makes it an item of its own.
translated_item = next(line for line in translated.split("\n") if line.startswith("- **") and line.endswith("."))
item_reflowed = translated_item + "\n* " + "\n    ".join(textwrap.wrap(" ".join(item_block[2:].split()), 40))
keyed = english_item(r"Escape.*Enter").replace("Escape", "Esc").replace("Enter", "Return")
spaced_row = "|  " + "  |  ".join(c.strip() for c in row.strip("|").split("|")) + "  |"


def found_at(name, block, offset=0):
    """A case: `block` planted into the translation is reported where it starts."""
    text, line = plant(block)
    return name, text, True, f"xx.md:{line + offset}: as in en.md"


names_only = "| {{MSG/16}} | `LumarqPylon` | Ctrl+O, F5, Escape, Tab | 2101, 6.49 | Lumarq Technology, LAN, COM |"
cases = [
    # name, text, fails, what the output must say
    ("a pristine translation", translated, False, "xx.md: 0 of"),
    found_at("an English paragraph wrapped otherwise", rewrapped),
    found_at("an English list item with another marker", item_reflowed, offset=1),
    found_at("an English list item with other key names", keyed),
    found_at("an English table row spaced otherwise", spaced_row),
    found_at("an English heading one level down", "#" + heading),
    ("an English picture caption", replace_once(picture, caption), True, "as in en.md: " + caption),
    found_at("an English paragraph with other numbers", shifted(numbered)),
    found_at("an English paragraph with other code spans", coded),
    ("a row of names, placeholders, code, numbers and keys", plant(names_only)[0], False, "xx.md: 0 of"),
    ("a lost placeholder", replace_once(placeholder, ""), True, "lacks " + placeholder),
    ("a changed code span", replace_once(code_span, code_span[:-1] + "x`"), True, "lacks " + code_span),
    ("a lost picture", replace_once(picture + "\n", ""), True, "lacks picture "),
    ("a changed command", replace_once(command, command + " --tcp 2101"), True, "lacks command " + command.strip()),
]

failures = []
for name, text, fails, said in cases:
    rc, out = run(text)
    if rc != (1 if fails else 0) or said not in out:
        failures.append(f"{name}: exit {rc}, expected {1 if fails else 0} and {said!r} in:\n{out}")
if failures:
    sys.exit("manual language check self-test:\n" + "\n".join(failures))
shutil.rmtree(work)
print(f"manual language check self-test: {len(cases)} cases as expected")
