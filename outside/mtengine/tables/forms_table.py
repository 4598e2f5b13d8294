"""What make_russian_forms.py and make_western_forms.py share: running the Apertium generator, the
paradigm of a lemma's forms, and writing a forms table (or any table of text lines) as a C++ string
literal.

A table's text is lines of
    P <tab> ending|form;form;...   a paradigm (numbered from 0, in the order written): the lemma's
                                   ending and each form's ending after the stem they share, "-" where
                                   there is no form
    lemma <tab> class <tab> paradigm
one paradigm for all the lemmas that inflect alike.
"""
import subprocess


def run_generator(autogen, queries):
    """The generator's output line for each query (lemma, tags), stripped; "" past its output's end.
    Callers tell a missing form ("#") and variants ("/") apart themselves."""
    text = "".join("^%s%s$\n" % (lemma, tags) for lemma, tags in queries)
    out = subprocess.run(["lt-proc", "-g", autogen], input=text.encode("utf-8"), stdout=subprocess.PIPE,
                         check=True).stdout.decode("utf-8").split("\n")
    return [out[i].strip() if i < len(out) else "" for i in range(len(queries))]


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


def write_table(output, maker, source, entries):
    """Writes entries (lemma, class, forms), in the order given, as the table of lemmas and paradigms;
    returns (paradigm count, text bytes)."""
    paradigms, lines = {}, []
    for lemma, klass, forms in entries:
        pattern = paradigm(lemma, forms)
        if pattern not in paradigms:
            paradigms[pattern] = len(paradigms)
        lines.append("%s\t%s\t%d" % (lemma, klass, paradigms[pattern]))
    text = "".join("P\t%s\n" % p for p in paradigms) + "".join(line + "\n" for line in lines)
    return len(paradigms), write_literal(output, maker, source, text, "forms")


def write_literal(output, maker, source, text, delimiter):
    """Writes text as one C++ string literal made of raw string pieces; returns its UTF-8 bytes."""
    data = text.encode("utf-8")
    with open(output, "w", encoding="utf-8") as file:
        file.write("// Made by %s from %s: do not edit.\n" % (maker, source))
        file.write("R\"%s(" % delimiter)
        # Raw string pieces of at most 60,000 bytes, cut at a line's end.
        start = 0
        while start < len(data):
            end = min(len(data), start + 60000)
            if end < len(data):
                end = data.rindex(b"\n", start, end) + 1
            if start > 0:
                file.write(")%s\"\nR\"%s(" % (delimiter, delimiter))
            file.write(data[start:end].decode("utf-8"))
            start = end
        file.write(")%s\"\n" % delimiter)
    return len(data)
