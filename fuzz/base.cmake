# Portable base: the text-file reader on arbitrary files.
ovrin_add_fuzzer(fuzz_textfile SOURCES fuzz_textfile.cpp LIBS ovrin_base)
