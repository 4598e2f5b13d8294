# The HTML display's parser and layout: any text, any width, with and without shrinking.
ovrin_add_fuzzer(fuzz_htmlview SOURCES fuzz_htmlview.cpp LIBS ovrin_htmlview_core)
