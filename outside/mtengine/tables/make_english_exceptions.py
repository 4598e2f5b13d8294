#!/usr/bin/env python3
"""Makes the engine's table of English irregular forms from WordNet's exception lists, at build time.

    make_english_exceptions.py WORDNET_FOLDER OUTPUT_INC

WordNet (Debian's wordnet-base) lists the forms its rules of detachment cannot reduce: noun.exc
("children child"), verb.exc ("went go"), adj.exc ("better good"). The output is a C++ fragment: one
string literal of lines "n|v|a form base [base...]", forms of one word only.
"""
import os
import sys


def main():
    folder, output = sys.argv[1:3]
    lines = []
    for kind, name in (("n", "noun.exc"), ("v", "verb.exc"), ("a", "adj.exc")):
        with open(os.path.join(folder, name), encoding="latin-1") as file:
            for line in file:
                words = line.split()
                if len(words) >= 2 and all(w.replace("-", "").replace("'", "").isalpha() for w in words):
                    lines.append("%s %s\n" % (kind, " ".join(words)))
    text = "".join(lines)
    with open(output, "w", encoding="utf-8") as file:
        file.write("// Made by make_english_exceptions.py from WordNet's exception lists: do not edit.\n")
        # Raw string pieces of at most 60,000 bytes, cut at a line's end.
        start = 0
        while start < len(text):
            end = min(len(text), start + 60000)
            if end < len(text):
                end = text.rindex("\n", start, end) + 1
            file.write("R\"exc(" + text[start:end] + ")exc\"\n")
            start = end
    print("make_english_exceptions: %d forms" % len(lines))


if __name__ == "__main__":
    main()
