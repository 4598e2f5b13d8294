#!/usr/bin/env python3
"""Makes the engine's English tables from WordNet, at build time.

    make_english_tables.py WORDNET_FOLDER EXCEPTIONS_INC FREQUENCIES_INC

WordNet (Debian's wordnet-base) lists the forms its rules of detachment cannot reduce: noun.exc
("children child"), verb.exc ("went go"), adj.exc ("better good"); EXCEPTIONS_INC is a C++ fragment,
one string literal of lines "n|v|a form base [base...]", forms of one word only. cntlist.rev counts
how often each sense was tagged in WordNet's semantic concordance; FREQUENCIES_INC holds each
lemma's total, lines "lemma count" (a phrase's words joined by spaces), for the lemmas counted.
"""
import os
import sys


def write_literal(output, source, text, delimiter):
    with open(output, "w", encoding="utf-8") as file:
        file.write("// Made by make_english_tables.py from WordNet's %s: do not edit.\n" % source)
        # Raw string pieces of at most 60,000 bytes, cut at a line's end.
        start = 0
        while start < len(text):
            end = min(len(text), start + 60000)
            if end < len(text):
                end = text.rindex("\n", start, end) + 1
            file.write("R\"%s(" % delimiter + text[start:end] + ")%s\"\n" % delimiter)
            start = end


def main():
    folder, output, frequencies = sys.argv[1:4]
    lines = []
    for kind, name in (("n", "noun.exc"), ("v", "verb.exc"), ("a", "adj.exc")):
        with open(os.path.join(folder, name), encoding="latin-1") as file:
            for line in file:
                words = line.split()
                if len(words) >= 2 and all(w.replace("-", "").replace("'", "").isalpha() for w in words):
                    lines.append("%s %s\n" % (kind, " ".join(words)))
    write_literal(output, "exception lists", "".join(lines), "exc")
    counts = {}
    with open(os.path.join(folder, "cntlist.rev"), encoding="latin-1") as file:
        for line in file:
            fields = line.split()
            if len(fields) == 3 and "%" in fields[0]:
                lemma = fields[0].split("%")[0].replace("_", " ").lower()
                counts[lemma] = counts.get(lemma, 0) + int(fields[2])
    text = "".join("%s %d\n" % (lemma, count) for lemma, count in sorted(counts.items()) if count > 0)
    write_literal(frequencies, "sense counts", text, "freq")
    print("make_english_tables: %d forms, %d lemmas counted" % (len(lines), len(counts)))


if __name__ == "__main__":
    main()
