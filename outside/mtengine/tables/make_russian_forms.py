#!/usr/bin/env python3
"""Makes the engine's table of Russian word forms from Debian's data, at build time.

The candidate lemmas are the words of hunspell-ru's dictionary; the Russian generator of Debian's
Apertium Russian-Ukrainian pair (ukr-rus.autogen.bin, run with lttoolbox's lt-proc) says which of
them it knows as nouns (with gender and animacy), adjectives and verbs (with aspect), and gives
every form of each. Verbs it lacks ("писать", "знать") take their present and past from the forms
hunspell-ru's suffix rules (ru_RU.aff beside the word list) give them, placed by their endings. The table keeps each lemma with its class and a paradigm: the endings of the
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
import re
import sys

from forms_table import run_generator, write_table

CASES = ["nom", "gen", "dat", "acc", "ins", "prp"]

NOUN_PROBES = [("m", "nn"), ("m", "aa"), ("f", "nn"), ("f", "aa"), ("nt", "nn"), ("nt", "aa")]


def noun_slots(gender, animacy):
    slots = ["<n><%s><%s><%s><%s>" % (gender, animacy, number, case) for number in ("sg", "pl") for case in CASES]
    if gender == "m":  # the second locative: "в саду"
        slots.append("<n><m><%s><sg><loc>" % animacy)
    return slots


# Masculine nouns whose second locative ("на полу", "в часу") the generator does not give; typed by
# hand.
SECOND_LOCATIVES = {
    "пол": "полу", "край": "краю", "бой": "бою", "час": "часу", "рот": "рту", "дым": "дыму", "мех": "меху",
    "бок": "боку", "плен": "плену", "верх": "верху", "низ": "низу", "хвост": "хвосту", "цвет": "цвету",
    "пруд": "пруду", "луг": "лугу", "долг": "долгу", "бал": "балу", "ад": "аду", "жар": "жару", "круг": "кругу",
    "лоб": "лбу", "мозг": "мозгу", "пир": "пиру", "рай": "раю", "тыл": "тылу", "полк": "полку", "год": "году",
    "лес": "лесу", "снег": "снегу", "лёд": "льду", "глаз": "глазу", "шкаф": "шкафу", "сад": "саду",
    "угол": "углу", "мост": "мосту", "берег": "берегу", "порт": "порту", "аэропорт": "аэропорту",
    "нос": "носу", "ряд": "ряду", "Крым": "Крыму",
}


def second_locative(lemma, forms):
    """The slot after the twelve cases of a masculine noun: the generator's locative where it ends in
    a stressed "-у"/"-ю" and differs from the prepositional, else the hand list's."""
    if lemma in SECOND_LOCATIVES:
        return SECOND_LOCATIVES[lemma]
    locative = forms[12]
    if locative is not None and locative[-1] in "ую" and locative != forms[5]:
        return locative
    return None


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
    # "#" marks a form the generator lacks; "/" separates variants: the first counts.
    return [None if not form or form.startswith("#") or " " in form else form.split("/")[0]
            for form in run_generator(autogen, queries)]


# The endings that place a hunspell form of a verb in a slot of verb_slots (after the infinitive).
PRESENT_ENDINGS = [("у", "ю"), ("ешь", "ёшь", "ишь"), ("ет", "ёт", "ит"), ("ем", "ём", "им"), ("ете", "ёте", "ите"),
                   ("ут", "ют", "ат", "ят")]
PAST_ENDINGS = ["л", "ла", "ло", "ли"]


def read_affixes(aff):
    """hunspell's suffix rules by flag: (letters stripped, letters added, condition on the word's end)."""
    rules = {}
    with open(aff, encoding="utf-8") as file:
        for line in file:
            fields = line.split()
            if len(fields) >= 5 and fields[0] == "SFX":
                strip = "" if fields[2] == "0" else fields[2]
                add = "" if fields[3] == "0" else fields[3].split("/")[0]
                condition = re.compile("(?:%s)$" % fields[4]) if fields[4] != "." else None
                rules.setdefault(fields[1], []).append((strip, add, condition))
    return rules


def hunspell_verb_slots(lemma, flags, rules):
    """The forms hunspell's rules give a verb, placed in its slots by their endings ("пишу" the first
    person): for the verbs the generator lacks ("писать", "знать"). None when the present is not found."""
    forms = set()
    for flag in flags:
        for strip, add, condition in rules.get(flag, []):
            if lemma.endswith(strip) and (condition is None or condition.search(lemma)):
                forms.add(lemma[:len(lemma) - len(strip)] + add)
    stem_guess = lemma[:-3] if len(lemma) > 4 else lemma[:1]
    slots = [lemma]
    for endings in PRESENT_ENDINGS:
        def rank(form):
            return len(form), min(k for k, e in enumerate(endings) if form.endswith(e)), form
        found = sorted((f for f in forms if f.startswith(stem_guess[:2]) and any(f.endswith(e) for e in endings)
                        and not f.endswith("ся") and not f.endswith("сь")), key=rank)
        slots.append(found[0] if found else None)
    for ending in PAST_ENDINGS:
        found = sorted((f for f in forms if f.endswith(ending) and not f.endswith("ся")), key=lambda f: (len(f), f))
        slots.append(found[0] if found else None)
    slots += [None, None]  # the imperative: not told apart from the present by its ending alone
    if slots[1] is None or slots[3] is None:
        return None
    return slots


def main():
    dic, autogen, output = sys.argv[1:4]
    rules = read_affixes(dic[:-4] + ".aff")
    flags_of = {}
    lemmas = []
    with open(dic, encoding="utf-8") as file:
        next(file)  # the word count
        for line in file:
            word = line.split("/")[0].strip()
            if word and all("а" <= c <= "я" or c == "ё" or c == "-" for c in word) and len(word) < 36:
                lemmas.append(word)
                if "/" in line:
                    flags_of[word] = line.split("/")[1].strip()
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
    found, at = [], 0
    for lemma, klass, slots in entries:
        lemma_forms = forms[at:at + len(slots)]
        if klass[0] == "n" and len(lemma_forms) > 12:
            lemma_forms[12] = second_locative(lemma, lemma_forms)
        found.append((lemma, klass, lemma_forms))
        at += len(slots)
    # The verbs the generator lacks, from hunspell's rules.
    verbs = set(lemma for lemma, klass, _ in entries if klass[0] == "v")
    for lemma in lemmas:
        if lemma not in verbs and lemma[-2:] in ("ть", "ти", "чь") and lemma in flags_of:
            slots = hunspell_verb_slots(lemma, flags_of[lemma], rules)
            if slots is not None:
                found.append((lemma, "vi", slots))
    found.sort(key=lambda entry: entry[0])
    paradigms, size = write_table(output, "make_russian_forms.py", "hunspell-ru and apertium-rus-ukr", found)
    print("make_russian_forms: %d lemmas, %d entries (%d verbs from hunspell's rules), %d paradigms, %d bytes" %
          (len(lemmas), len(found), len(found) - len(entries), paradigms, size))


if __name__ == "__main__":
    main()
