# The HTML display's parser and layout: an article of the suite and a large page.
ovrin_add_benchmark(htmlview_bench SOURCES HtmlViewBench.cpp LIBS ovrin_htmlview_core)
