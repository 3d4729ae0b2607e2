# Read by ctest after the core tests were listed (Windows build only): tests
# that cannot work under Wine get the label "not-under-wine"; the Wine run
# (tools/test-windows.sh) leaves that label out. Each with its reason.
set(veradex_not_under_wine)
foreach(name IN LISTS veradex_not_under_wine)
  if(TEST "${name}")
    set_property(TEST "${name}" APPEND PROPERTY LABELS not-under-wine)
  endif()
endforeach()
