# vambrio_cli_test(NAME SOURCES...): a GoogleTest program that runs vambrio-cli
# (its path is VAMBRIO_CLI), labelled "core".
function(vambrio_cli_test name)
  vambrio_core_test(${name} ${ARGN})
  add_dependencies(${name} vambrio-cli)
  target_compile_definitions(${name} PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")
endfunction()
