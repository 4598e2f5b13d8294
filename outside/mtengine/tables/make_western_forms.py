#!/usr/bin/env python3
"""Makes the engine's tables of German and French word forms from Debian's data, at build time.

German: the German-English dictionary of Debian's trans-de-en (/usr/share/trans/de-en) names each
noun's gender and plural ("Haus {n} | Häuser {pl}") and each verb's participles, third person
present, past and auxiliary ("laufen {vi} | laufend | gelaufen | er/sie läuft | ich/er/sie lief |
er/sie ist/war gelaufen"). French: hunspell-fr's word list (/usr/share/hunspell/fr.dic, whose
entries carry their part of speech, gender and, for verbs, the auxiliary) gives the lemmas, and the
French generator of Debian's Apertium French-Catalan pair (cat-fra.autogen.bin, run with lttoolbox's
lt-proc) every form of each.

    make_western_forms.py de TRANS_DE_EN OUTPUT_INC
    make_western_forms.py fr HUNSPELL_FR_DIC AUTOGEN_BIN OUTPUT_INC

The output has the layout of make_russian_forms.py's: one C++ string literal, UTF-8, lines of
    P <tab> ending|form;form;...   a paradigm (numbered from 0): the lemma's ending and each form's
                                   ending after the stem they share, "-" where there is no form
    lemma <tab> class <tab> paradigm
Lemmas are written in lowercase. class: n + gender (m, f, n); a (adjective); v + auxiliary (h
"haben"/"avoir", s "sein"/"être"). The slots of each class are listed in WesternForms.h.
"""
import re
import sys

from forms_table import run_generator, write_table


GERMAN_WORD = re.compile(r"^[a-zäöüß]+$")


def items(field):
    return [item.strip() for item in field.split(";")]


def german_entries(path):
    """(lemma, class, forms) from the ding lines; the first line that gives a word's forms counts."""
    nouns, verbs = {}, {}
    noun = re.compile(r"^([A-ZÄÖÜ][a-zäöüß]+) \{([mfn])\}")
    plural = re.compile(r"^([A-ZÄÖÜ][a-zäöüß]+) \{pl\}")
    # A verb's headword: "laufen {vi}", or one of synonyms whose tag stands after the last.
    verb = re.compile(r"^([a-zäöüß]+)(?: \{v[itr]?\})*(?: \[[^]]*\])*$")
    with open(path, encoding="utf-8") as file:
        for line in file:
            if line.startswith("#") or " :: " not in line:
                continue
            fields = [f.strip() for f in line.split(" :: ")[0].split(" | ")]
            heads = items(fields[0])
            # A noun without a plural after it ("Milch {f}") keeps its gender.
            plurals = items(fields[1]) if len(fields) > 1 else []
            for k, head in enumerate(heads):
                m = noun.match(head)
                # The plurals follow the headwords in order; the first pair stands when the counts differ.
                aligned = k < len(plurals) and (len(plurals) == len(heads) or k == 0)
                p = plural.match(plurals[k]) if aligned else None
                lemma = m.group(1).lower() if m else None
                if m and (lemma not in nouns or (p and nouns[lemma][1][1] is None)):
                    nouns[lemma] = ("n" + m.group(2), [lemma, p.group(1).lower() if p else None])
            if len(fields) < 4:
                continue
            verbal = re.search(r"\{v[itr]?\}", fields[0]) is not None
            for k, head in enumerate(heads):
                # "etw. wissen {vt}": the object the dictionary writes before the verb goes.
                bare = re.sub(r"^(?:(?:etw|jdn|jdm|jds)\. )+", "", head)
                m = verb.match(re.sub(r" \{v[itr]?\}.*$", "", bare)) if verbal else None
                if not m or m.group(1) in verbs or not m.group(1).endswith("n"):
                    continue

                def at(field, k=k):
                    parts = items(field)
                    part = parts[k] if len(parts) == len(heads) else (parts[0] if k == 0 else "")
                    return re.sub(r" \([^)]*\)", "", part)  # "wusste (wußte [alt])": the old spelling goes

                # The participles follow the headword ("laufend | gelaufen"); modal verbs go straight to
                # their persons ("können {vt} | ich kann | ...") and give the participle with the
                # auxiliary ("er/sie hat/hatte gekonnt").
                participle = at(fields[2]) if at(fields[1]).endswith("end") and GERMAN_WORD.match(at(fields[2])) else None
                third = past = None
                auxiliary = "h"
                for field in fields[1:]:
                    text = at(field)
                    for person in ("er/sie/es ", "er/sie "):
                        rest = text[len(person):] if text.startswith(person) else ""
                        if third is None and GERMAN_WORD.match(rest):
                            third = rest
                        elif rest.startswith("ist/war ") or rest.startswith("hat/hatte "):
                            auxiliary = "s" if rest.startswith("ist") else "h"
                            done = rest.split(" ")[-1]
                            if participle is None and GERMAN_WORD.match(done):
                                participle = done
                    for person in ("ich/er/sie/es ", "ich/er/sie "):
                        if text.startswith(person) and past is None and GERMAN_WORD.match(text[len(person):]):
                            past = text[len(person):]
                if third is not None and past is not None and participle is not None:
                    verbs[m.group(1)] = ("v" + auxiliary, [m.group(1), third, past, participle])
    return [(lemma, klass, forms) for lemma, (klass, forms) in list(nouns.items()) + list(verbs.items())]


# French slots, as WesternForms.h numbers them.
FRENCH_NOUN = ["<sg>", "<pl>"]
FRENCH_ADJECTIVE = ["<m><sg>", "<f><sg>", "<m><pl>", "<f><pl>"]
FRENCH_VERB = (["<inf>"] + ["<pri><%s><%s>" % (p, n) for n in ("sg", "pl") for p in ("p1", "p2", "p3")] +
               ["<pp><m><sg>", "<pp><f><sg>", "<pp><m><pl>", "<pp><f><pl>"] +
               ["<pii><%s><%s>" % (p, n) for n in ("sg", "pl") for p in ("p1", "p2", "p3")])
VERB_TAGS = ["<vblex>", "<vbser>", "<vbhaver>", "<vbmod>"]


def generate(autogen, queries):
    answers = []
    for form in run_generator(autogen, queries):
        form = form.replace("~", "")
        answers.append(None if not form or "#" in form or " " in form else form.split("/")[0].lower())
    return answers


def french_entries(dic, autogen):
    words = {}  # lemma: {"n": gender, "a": True, "v": auxiliary}
    french_word = re.compile(r"^[a-zàâäæçéèêëîïôœùûüÿ'-]+$")
    with open(dic, encoding="utf-8") as file:
        next(file)
        for line in file:
            word = line.split("/")[0].strip()
            if not french_word.match(word) or len(word) > 30:
                continue
            entry = words.setdefault(word, {})
            if "po:nom" in line:
                entry["n"] = "f" if "is:fem" in line else "m"
            if "po:adj" in line:
                entry["a"] = True
            verb = re.search(r"po:v[0-3](\S+)", line)
            if verb:
                # The code's last two marks: "e_" for verbs whose auxiliary is "être" alone.
                entry["v"] = "s" if verb.group(1).endswith("e_") else "h"
    lemmas = sorted(words)
    probes = []
    for lemma in lemmas:
        entry = words[lemma]
        if "n" in entry:
            probes += [(lemma, "<n><%s><sg>" % entry["n"]), (lemma, "<n><mf><sg>")]
        if "a" in entry:
            probes += [(lemma, "<adj><m><sg>"), (lemma, "<adj><mf><sg>")]
        if "v" in entry:
            probes += [(lemma, tags + "<inf>") for tags in VERB_TAGS]
    answers = dict(zip(probes, generate(autogen, probes)))
    chosen = []  # (lemma, class, queries per slot)
    for lemma in lemmas:
        entry = words[lemma]
        if "n" in entry:
            for gender in (entry["n"], "mf"):
                if answers.get((lemma, "<n><%s><sg>" % gender)):
                    chosen.append((lemma, "n" + entry["n"], [["<n><%s>%s" % (gender, s)] for s in FRENCH_NOUN]))
                    break
        if "a" in entry and (answers.get((lemma, "<adj><m><sg>")) or answers.get((lemma, "<adj><mf><sg>"))):
            slots = [["<adj>" + s, "<adj><mf>" + s[s.index(">") + 1:]] for s in FRENCH_ADJECTIVE]
            chosen.append((lemma, "a", slots))
        if "v" in entry:
            for tags in VERB_TAGS:
                if answers.get((lemma, tags + "<inf>")):
                    slots = [[tags + s] for s in FRENCH_VERB]
                    for s in slots[7:11]:  # participles of verbs that do not agree
                        s.append(s[0].replace("<f>", "<mf>").replace("<m>", "<mf>"))
                    chosen.append((lemma, "v" + entry["v"], slots))
                    break
    queries = [(lemma, tags) for lemma, _, slots in chosen for alternatives in slots for tags in alternatives]
    got = dict(zip(queries, generate(autogen, queries)))
    entries = []
    for lemma, klass, slots in chosen:
        forms = []
        for alternatives in slots:
            forms.append(next((got[(lemma, t)] for t in alternatives if got.get((lemma, t))), None))
        if klass[0] == "v":
            forms[0] = lemma
        if forms[0] is not None:
            entries.append((lemma, klass, forms))
    return entries


def main():
    language = sys.argv[1]
    if language == "de":
        entries, output, source = german_entries(sys.argv[2]), sys.argv[3], "trans-de-en"
    else:
        entries, output, source = french_entries(sys.argv[2], sys.argv[3]), sys.argv[4], "hunspell-fr and apertium-fra-cat"
    entries.sort(key=lambda entry: (entry[0], entry[1]))
    entries = [(forms[0], klass, forms) for _, klass, forms in entries]
    paradigms, size = write_table(output, "make_western_forms.py", source, entries)
    print("make_western_forms %s: %d entries, %d paradigms, %d bytes" % (language, len(entries), paradigms, size))


if __name__ == "__main__":
    main()
