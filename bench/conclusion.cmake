# The draft conclusion's summary "Итог" on a large examination.
nirel3_bench(bench_conclusion bench_conclusion.cpp)
