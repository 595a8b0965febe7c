# Iris photos: circles found on 2 to 12 megapixels, the chart overlay, the
# photo-to-chart mapping.
# The synthetic photos come from the test support, built with the tests.
if(TARGET nirel3testsupport)
  nirel3_bench(bench_photos ${CMAKE_CURRENT_LIST_DIR}/bench_photos.cpp)
  target_link_libraries(bench_photos PRIVATE nirel3testsupport)
endif()
