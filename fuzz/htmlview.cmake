# The HTML display's parser and layout: any text and width, shrinking or not; cell geometry checked.
ovrin_add_fuzzer(fuzz_htmlview SOURCES fuzz_htmlview.cpp LIBS ovrin_htmlview_core)
