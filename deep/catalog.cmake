# The sign catalogue, its text rules and the deep window's sign menus.
target_sources(nirel3core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/signtext.h ${CMAKE_CURRENT_LIST_DIR}/signtext.cpp
  ${CMAKE_CURRENT_LIST_DIR}/signcatalog.h ${CMAKE_CURRENT_LIST_DIR}/signcatalog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/signmenus.h ${CMAKE_CURRENT_LIST_DIR}/signmenus.cpp
)
