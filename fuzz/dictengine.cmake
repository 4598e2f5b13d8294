# The dictionary engine attaching and opening fuzzed dictionaries, searching them, and walking their articles.
ovrin_add_fuzzer(fuzz_dict_open SOURCES fuzz_dict_open.cpp LIBS ovrin_dictengine ovrin_dictwriter ovrin_base ovrin_testsupport)
ovrin_add_fuzzer(fuzz_dict_search SOURCES fuzz_dict_search.cpp LIBS ovrin_dictengine ovrin_dictwriter ovrin_base ovrin_testsupport)
ovrin_add_fuzzer(fuzz_dict_article SOURCES fuzz_dict_article.cpp LIBS ovrin_dictengine ovrin_dictwriter ovrin_base ovrin_testsupport)
