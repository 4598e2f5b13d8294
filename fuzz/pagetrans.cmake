# Page text: pattern compilation and search; the fast entity codecs against the plain algorithms.
ovrin_add_fuzzer(fuzz_regex SOURCES fuzz_regex.cpp LIBS ovrin_pagetrans)
target_include_directories(fuzz_regex PRIVATE ${CMAKE_SOURCE_DIR}/pagetrans/src)
ovrin_add_fuzzer(fuzz_entities SOURCES fuzz_entities.cpp LIBS ovrin_pagetrans ovrin_pagetrans_reference)
ovrin_add_fuzzer(fuzz_pagetrans SOURCES fuzz_pagetrans.cpp LIBS ovrin_pagetrans ovrin_htmlcxx)
target_include_directories(fuzz_pagetrans PRIVATE ${CMAKE_SOURCE_DIR}/pagetrans/src)
