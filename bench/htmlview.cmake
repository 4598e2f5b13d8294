# The HTML display's parser and layout: an article of the suite, a large page and a long numbered list.
ovrin_add_benchmark(htmlview_bench SOURCES HtmlViewBench.cpp LIBS ovrin_htmlview_core)
