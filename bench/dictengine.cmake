# The dictionary engine's lookups on a generated dictionary of 60,000 headwords.
find_package(ZLIB REQUIRED)
ovrin_add_benchmark(dictengine_bench SOURCES DictEngineBench.cpp LIBS ovrin_dictengine ovrin_dictwriter ovrin_base ZLIB::ZLIB)
