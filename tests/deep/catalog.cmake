# The sign catalogue: the table, the sign texts, the shipped dictionary behind
# the codes, and the deep window's menus.
nirel3_test(test_catalog test_catalog.cpp)
