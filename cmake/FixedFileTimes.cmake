# Run by cpack before it packs: every staged file and folder gets the time SOURCE_DATE_EPOCH
# names (the commit's, from make), so that the archives do not carry the time of the build.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    return()
endif()
file(GLOB_RECURSE staged LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
execute_process(COMMAND touch --no-dereference --date=@$ENV{SOURCE_DATE_EPOCH}
    ${CPACK_TEMPORARY_DIRECTORY} ${staged} COMMAND_ERROR_IS_FATAL ANY)
