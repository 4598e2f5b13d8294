# Page text: the fast entity codecs against the plain algorithms on a large page.
ovrin_add_benchmark(entity_bench SOURCES EntityBench.cpp LIBS ovrin_pagetrans ovrin_pagetrans_reference)
# Page translation: TranslateHtml on a 200 KB page against the htmlcxx parse alone.
ovrin_add_benchmark(pagetrans_bench SOURCES PageTranslatorBench.cpp LIBS ovrin_pagetrans ovrin_htmlcxx)
