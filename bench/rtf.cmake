# The final editor's files of 50 MB whatever their shape: opened and laid out.
nirel3_bench(bench_rtf bench_rtf.cpp)
