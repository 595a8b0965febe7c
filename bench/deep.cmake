# The pathology lookup and the findings of the deep examination.
nirel3_bench(bench_deep bench_deep.cpp)
