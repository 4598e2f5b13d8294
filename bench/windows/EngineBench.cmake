# The translation engine's throughput through CEngineClient against the engine alone (Windows, under
# Wine): `ninja -C build/win engine_bench`, then scripts/wine-run with an installed engine and a text.
add_executable(engine_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/EngineBench.cpp)
target_link_libraries(engine_bench PRIVATE ovrin_engine_access ovrin_common ovrin_xlatcp_import)
target_link_options(engine_bench PRIVATE -municode)
ovrin_copy_xlatcp_beside(engine_bench)

# The engine's translations scored against the evaluation set (chrF2): `ninja -C build/win engine_eval`,
# then scripts/wine-run with the translator DLL, the samples, the data and the set's folders.
add_executable(engine_eval EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/EngineEval.cpp)
target_link_libraries(engine_eval PRIVATE ovrin_engine_access ovrin_common)
target_link_options(engine_eval PRIVATE -municode)
