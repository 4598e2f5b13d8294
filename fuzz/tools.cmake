# Command-line tools: dictool's article printing, reached through its command function.
ovrin_add_fuzzer(fuzz_dictool_article SOURCES fuzz_dictool_article.cpp
                 LIBS ovrin_dictool ovrin_dictengine ovrin_dictwriter ovrin_base)
