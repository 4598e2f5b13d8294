#!/usr/bin/env python3
"""Makes the engine's table of how common German words are, at build time.

    make_german_frequencies.py TRANS_DE_EN OUTPUT_INC

The count of a word is the number of lines of the German-English dictionary of Debian's trans-de-en
(/usr/share/trans/de-en) whose German side holds it as a word of its own: a common word stands in
many compounds' and phrases' entries ("Kaffee trinken", "etw. trinken"), a rare synonym in few
("saufen"). The output is a C++ fragment, one string literal of lines "word count", the word in
lowercase UTF-8, for the words counted at least twice.
"""
import re
import sys

from forms_table import write_literal


def main():
    source, output = sys.argv[1:3]
    counts = {}
    word = re.compile(r"[a-zäöüß]+")
    with open(source, encoding="utf-8") as file:
        for line in file:
            if line.startswith("#") or " :: " not in line:
                continue
            german = re.sub(r"\{[^}]*\}|\[[^]]*\]|\([^)]*\)", " ", line.split(" :: ")[0]).lower()
            for token in set(word.findall(german)):
                counts[token] = counts.get(token, 0) + 1
    text = "".join("%s %d\n" % (token, count) for token, count in sorted(counts.items())
                   if count >= 2 and len(token) <= 30)
    write_literal(output, "make_german_frequencies.py", "trans-de-en", text, "freq")
    print("make_german_frequencies: %d words counted" % sum(1 for c in counts.values() if c >= 2))


if __name__ == "__main__":
    main()
