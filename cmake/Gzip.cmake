# zorvelan_gzip(TARGET FILE): builds FILE.gz beside FILE, as Debian compresses
# manual pages and changelogs: at the highest level, with no name and no time
# stamp inside, so that the same input gives the same bytes.
find_program(GZIP_PROGRAM gzip REQUIRED)

function(zorvelan_gzip target file)
  get_filename_component(directory ${file} DIRECTORY)
  add_custom_command(OUTPUT ${file}.gz
    COMMAND ${GZIP_PROGRAM} -9nkf ${file}
    WORKING_DIRECTORY ${directory}
    DEPENDS ${file}
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${file}.gz)
endfunction()
