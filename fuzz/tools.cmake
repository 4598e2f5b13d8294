# Command-line tools: dictool's article printing, reached through its command function.
ovrin_add_fuzzer(fuzz_dictool_article SOURCES fuzz_dictool_article.cpp ${CMAKE_SOURCE_DIR}/tools/dictool/ArticleCommands.cpp
                 ${CMAKE_SOURCE_DIR}/tools/dictool/Commands.cpp
                 LIBS ovrin_dictengine ovrin_dictwriter ovrin_common)
target_include_directories(fuzz_dictool_article PRIVATE ${CMAKE_SOURCE_DIR}/tools/dictool ${CMAKE_SOURCE_DIR}/dictengine/src)
