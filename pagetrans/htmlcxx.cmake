# htmlcxx, the HTML parser: Debian's library in the native build; in the Windows build its parser
# sources, unpacked from the Debian source package into third_party/htmlcxx by the set-up scripts
# (fetch_htmlcxx in scripts/lib/setup.sh), compiled with the cross toolchain.
if(TARGET ovrin_htmlcxx)
  return()
endif()
if(WIN32)
  set(OVRIN_HTMLCXX_DIR ${CMAKE_SOURCE_DIR}/third_party/htmlcxx)
  if(NOT EXISTS ${OVRIN_HTMLCXX_DIR}/html/ParserDom.cc)
    message(FATAL_ERROR "The htmlcxx sources are missing from third_party/htmlcxx: scripts/test and "
                        "scripts/run fetch them (fetch_htmlcxx in scripts/lib/setup.sh)")
  endif()
  add_library(ovrin_htmlcxx STATIC
    ${OVRIN_HTMLCXX_DIR}/html/Node.cc
    ${OVRIN_HTMLCXX_DIR}/html/ParserDom.cc
    ${OVRIN_HTMLCXX_DIR}/html/ParserSax.cc)
  # Outside code: its own warnings are not ours to mend.
  target_compile_options(ovrin_htmlcxx PRIVATE -w)
  target_compile_definitions(ovrin_htmlcxx PRIVATE NDEBUG)
  target_include_directories(ovrin_htmlcxx SYSTEM PUBLIC ${CMAKE_SOURCE_DIR}/third_party)
else()
  find_library(OVRIN_HTMLCXX_LIBRARY htmlcxx REQUIRED)
  find_path(OVRIN_HTMLCXX_INCLUDE htmlcxx/html/ParserDom.h REQUIRED)
  add_library(ovrin_htmlcxx INTERFACE)
  target_link_libraries(ovrin_htmlcxx INTERFACE ${OVRIN_HTMLCXX_LIBRARY})
  target_include_directories(ovrin_htmlcxx SYSTEM INTERFACE ${OVRIN_HTMLCXX_INCLUDE})
endif()
