# Compound files: opening and walking arbitrary bytes.
ovrin_add_fuzzer(fuzz_cfb_open SOURCES fuzz_cfb_open.cpp LIBS ovrin_cfb ovrin_base)
