#!/usr/bin/env python3
"""Fails when a game library exports mutable data that has no written reason to be global.

Each layer's state is a record the program owns and passes down; a writable object that other
files can name is a way around that. Every argument is a static library of the game; each writable
object it defines (in .data or .bss or their thread-local kin, not read-only after relocation) is
counted, the exported ones must be listed in ALLOWED with their reason, and the counts are printed
per library.
"""
import re
import subprocess
import sys

# Exported mutable objects that stay, and why.
ALLOWED = {
    # The mixer's interface keeps the reason of its last failure in one process-wide text, like
    # the C library's errno; it only ever holds one of the mixer's constant texts.
    "tsLastError": "the mixer's last-failure text",
}

# objdump -t: value, flags (7 columns), section, size, name.
SYMBOL = re.compile(r"^[0-9a-f]+ (.{7}) (\S+)\s+[0-9a-f]+ (.+)$")
WRITABLE = re.compile(r"^\.t?(data|bss)(\.|$)")  # thread-local ones too
READ_ONLY_AFTER_RELOCATION = re.compile(r"^\.data\.rel\.ro")


def writable_objects(library):
    table = subprocess.run(["objdump", "-t", "-C", library], capture_output=True, text=True,
                           check=True)
    for line in table.stdout.splitlines():
        match = SYMBOL.match(line)
        if not match:
            continue
        flags, section, name = match.groups()
        if not WRITABLE.match(section) or ("O" not in flags and not section.startswith(".t")):
            continue
        # Names starting with "__" are the compiler's and sanitizers' own (__tls_guard,
        # __odr_asan.*); guard variables and hidden helpers are the compiler's too.
        if READ_ONLY_AFTER_RELOCATION.match(section) or name.startswith(("guard variable",
                                                                         ".hidden", "__")):
            continue
        yield flags[0] in "gu", name


def main():
    wrong = []
    for library in sys.argv[1:]:
        exported, statics = [], []
        for is_exported, name in writable_objects(library):
            (exported if is_exported else statics).append(name)
        wrong += [f"{library}: {name} is exported and writable" for name in exported
                  if name not in ALLOWED]
        print(f"{library}: {len(exported)} exported ({', '.join(sorted(exported)) or '-'}), "
              f"{len(statics)} file statics ({', '.join(sorted(statics)) or '-'})")
    for line in wrong:
        print(line)
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
