# Torvane's version, kept in the file VERSION at the top of the tree alone:
# major.minor.release, for example 1.1.0. Users see major.minor followed by
# the release digit, so 1.1.0 shows as "1.10"; the version block says 1.1.0.0.
#
#   include(cmake/version.cmake)   sets TORVANE_VERSION_MAJOR, _MINOR, _RELEASE
#                                  and TORVANE_VERSION_TEXT ("1.10")
#   cmake -P cmake/version.cmake   prints TORVANE_VERSION_TEXT (for the scripts)
get_filename_component(torvane_top "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
file(STRINGS "${torvane_top}/VERSION" torvane_version_line LIMIT_COUNT 1)
# One release digit: with two, "1.1.10" and "1.11.0" would both show as "1.110".
if(NOT torvane_version_line MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9])$")
  message(FATAL_ERROR "VERSION must read major.minor.release with a one-digit "
                      "release, not \"${torvane_version_line}\"")
endif()
set(TORVANE_VERSION_MAJOR ${CMAKE_MATCH_1})
set(TORVANE_VERSION_MINOR ${CMAKE_MATCH_2})
set(TORVANE_VERSION_RELEASE ${CMAKE_MATCH_3})
set(TORVANE_VERSION_TEXT "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}${CMAKE_MATCH_3}")

if(CMAKE_SCRIPT_MODE_FILE)
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${TORVANE_VERSION_TEXT}")
endif()
