# Large data: a 10 MB dictionary, a 10,000-line conclusion, a 1 MB guide
# text, a 1 MB line in the draft box.
nirel3_bench(bench_large ${CMAKE_CURRENT_LIST_DIR}/bench_large.cpp)
