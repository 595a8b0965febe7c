# The final editor's files: load and save of a 1 MB conclusion.
nirel3_bench(bench_reach bench_reach.cpp)
