#!/usr/bin/env python3
"""Makes the engine's table of Russian word forms from Debian's data, at build time.

The candidate lemmas are the words of hunspell-ru's dictionary; the Russian generator of Debian's
Apertium Russian-Ukrainian pair (ukr-rus.autogen.bin, run with lttoolbox's lt-proc) says which of
them it knows as nouns (with gender and animacy), adjectives and verbs (with aspect), and gives
every form of each. The table keeps each lemma with its class and a paradigm: the endings of the
lemma and of its forms after the stem they share, one paradigm for all the lemmas that inflect alike.

    make_russian_forms.py HUNSPELL_DIC AUTOGEN_BIN OUTPUT_INC

The output is a C++ fragment: one string literal, UTF-8, lines of
    P <tab> ending|form;form;...   a paradigm (in the order they are numbered, from 0)
    lemma <tab> class <tab> paradigm
class: n + gender (m, f, n) + animacy (a animate, i inanimate); a (adjective); v + aspect
(i imperfective, p perfective). A paradigm holds the lemma's ending and each form's ending after the
stem they share ("ка|ка;ки;ке;ку;кой;ке;ки;ек;..." for "кошка"); "-" where the generator has no
form. The slots of each class are listed in RussianForms.h.
"""
import subprocess
import sys

CASES = ["nom", "gen", "dat", "acc", "ins", "prp"]

NOUN_PROBES = [("m", "nn"), ("m", "aa"), ("f", "nn"), ("f", "aa"), ("nt", "nn"), ("nt", "aa")]


def noun_slots(gender, animacy):
    return ["<n><%s><%s><%s><%s>" % (gender, animacy, number, case) for number in ("sg", "pl") for case in CASES]


# The tags before gender of the words that agree like adjectives: adjectives (with a synthetic
# comparative or without), possessive, demonstrative and other determiners.
ADJECTIVE_PROBES = ["<adj><sint>", "<adj>", "<det><pos>", "<det><dem>", "<det><def>", "<det><ind>", "<det><qnt>"]

# The tags before the form of verbs: full verbs by aspect and transitivity, modal verbs, "быть".
VERB_PROBES = ["<vblex><impf><tv>", "<vblex><impf><iv>", "<vblex><perf><tv>", "<vblex><perf><iv>",
               "<vbmod><impf>", "<vbmod><impf><iv>", "<vbmod><impf><tv>", "<vbser>"]


def adjective_slots(s):
    slots = []
    for case in CASES:  # masculine: the accusative inanimate and animate
        if case == "acc":
            slots += [s + "<m><nn><sg><acc>", s + "<m><aa><sg><acc>"]
        else:
            slots.append(s + "<m><an><sg><%s>" % case)
    slots += [s + "<nt><an><sg><%s>" % case for case in CASES]
    slots += [s + "<f><an><sg><%s>" % case for case in CASES]
    for case in CASES:
        if case == "acc":
            slots += [s + "<mfn><nn><pl><acc>", s + "<mfn><aa><pl><acc>"]
        else:
            slots.append(s + "<mfn><an><pl><%s>" % case)
    return slots


def verb_slots(v):
    tense = "pres" if "<impf>" in v else "fut"
    slots = [v + "<inf>"]
    slots += [v + "<%s><%s><%s>" % (tense, person, number) for number in ("sg", "pl") for person in ("p1", "p2", "p3")]
    slots += [v + "<past><m><sg>", v + "<past><f><sg>", v + "<past><nt><sg>", v + "<past><mfn><pl>"]
    slots += [v + "<imp><p2><sg>", v + "<imp><p2><pl>"]
    return slots


def generate(autogen, queries):
    """The generator's answer to each query (lemma, tags); None where it knows no such form."""
    text = "".join("^%s%s$\n" % (lemma, tags) for lemma, tags in queries)
    out = subprocess.run(["lt-proc", "-g", autogen], input=text.encode("utf-8"), stdout=subprocess.PIPE,
                         check=True).stdout.decode("utf-8").split("\n")
    answers = []
    for i in range(len(queries)):
        form = out[i].strip() if i < len(out) else ""
        # "#" marks a form the generator lacks; "/" separates variants: the first counts.
        answers.append(None if not form or form.startswith("#") or " " in form else form.split("/")[0])
    return answers


def paradigm(lemma, forms):
    """The lemma's ending and each form's ending after the stem the lemma and all its forms share."""
    stem = len(lemma)
    for form in forms:
        if form is not None:
            common = 0
            while common < min(stem, len(form)) and lemma[common] == form[common]:
                common += 1
            stem = common
    return lemma[stem:] + "|" + ";".join("-" if form is None else form[stem:] for form in forms)


def main():
    dic, autogen, output = sys.argv[1:4]
    lemmas = []
    with open(dic, encoding="utf-8") as file:
        next(file)  # the word count
        for line in file:
            word = line.split("/")[0].strip()
            if word and all("а" <= c <= "я" or c == "ё" or c == "-" for c in word) and len(word) < 36:
                lemmas.append(word)
    lemmas = sorted(set(lemmas))

    probes = []
    for lemma in lemmas:
        probes += [(lemma, "<n><%s><%s><sg><gen>" % pair) for pair in NOUN_PROBES]
        probes += [(lemma, tags + "<m><an><sg><gen>") for tags in ADJECTIVE_PROBES]
        probes += [(lemma, tags + "<inf>") for tags in VERB_PROBES]
    answers = generate(autogen, probes)
    per = len(NOUN_PROBES) + len(ADJECTIVE_PROBES) + len(VERB_PROBES)

    entries = []  # (lemma, class, slots)
    for i, lemma in enumerate(lemmas):
        got = answers[i * per:(i + 1) * per]
        for k, (gender, animacy) in enumerate(NOUN_PROBES):
            if got[k] is not None:
                klass = "n" + {"m": "m", "f": "f", "nt": "n"}[gender] + ("a" if animacy == "aa" else "i")
                entries.append((lemma, klass, noun_slots(gender, animacy)))
                break
        first = len(NOUN_PROBES)
        for k, tags in enumerate(ADJECTIVE_PROBES):
            if got[first + k] is not None:
                entries.append((lemma, "a", adjective_slots(tags)))
                break
        first += len(ADJECTIVE_PROBES)
        for k, tags in enumerate(VERB_PROBES):
            if got[first + k] is not None:
                entries.append((lemma, "vp" if "<perf>" in tags else "vi", verb_slots(tags)))
                break

    queries = [(lemma, slot) for lemma, _, slots in entries for slot in slots]
    forms = generate(autogen, queries)
    paradigms, lines, at = {}, [], 0
    for lemma, klass, slots in entries:
        pattern = paradigm(lemma, forms[at:at + len(slots)])
        at += len(slots)
        if pattern not in paradigms:
            paradigms[pattern] = len(paradigms)
        lines.append("%s\t%s\t%d" % (lemma, klass, paradigms[pattern]))
    text = "".join("P\t%s\n" % p for p in paradigms) + "".join(line + "\n" for line in lines)
    with open(output, "w", encoding="utf-8") as file:
        file.write("// Made by make_russian_forms.py from hunspell-ru and apertium-rus-ukr: do not edit.\n")
        data = text.encode("utf-8")
        file.write("R\"forms(")
        # Raw string pieces of at most 60,000 bytes, cut at a line's end.
        start = 0
        while start < len(data):
            end = min(len(data), start + 60000)
            if end < len(data):
                end = data.rindex(b"\n", start, end) + 1
            if start > 0:
                file.write(")forms\"\nR\"forms(")
            file.write(data[start:end].decode("utf-8"))
            start = end
        file.write(")forms\"\n")
    print("make_russian_forms: %d lemmas, %d entries, %d paradigms, %d bytes" %
          (len(lemmas), len(entries), len(paradigms), len(data)))


if __name__ == "__main__":
    main()
