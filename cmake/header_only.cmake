# Debian's header-only libraries, for every preset. The cross builds look
# only in the mingw root, and the host's /usr/include as a whole would bring
# glibc's headers in, so each library's own folder is linked into a folder
# of the build tree and only that one is searched.
set(tolm_header_only ${CMAKE_BINARY_DIR}/header_only)
function(tolm_header_only_library target folder)
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing: run scripts/setup")
  endif()
  file(MAKE_DIRECTORY ${tolm_header_only})
  file(CREATE_LINK /usr/include/${folder} ${tolm_header_only}/${folder} SYMBOLIC)
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE ${tolm_header_only})
endfunction()

tolm_header_only_library(tolm-cli11 CLI)
tolm_header_only_library(tolm-json nlohmann)
