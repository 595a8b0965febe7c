# Card index: the file pair and the list window with a hundred thousand cards.
nirel3_bench(bench_cards ${CMAKE_CURRENT_LIST_DIR}/bench_cards.cpp)
