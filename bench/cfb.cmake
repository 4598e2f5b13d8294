# Compound files: opening a 5 MB file and reading a small stream; a large stream against a plain file.
ovrin_add_benchmark(bench_cfb SOURCES CfbBench.cpp LIBS ovrin_cfb)
