# The dictionary engine attaching and opening fuzzed dictionaries.
ovrin_add_fuzzer(fuzz_dict_open SOURCES fuzz_dict_open.cpp LIBS ovrin_dictengine ovrin_dictwriter ovrin_common ovrin_testsupport)
