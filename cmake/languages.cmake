# The languages the game speaks are the "lang" list of its configuration, and only that: the
# build reads it here and makes every other list of them (the language data files to build,
# the storefront's names for the user's locale) from it. A language's code is the name of its
# "data" file, <code>.dat.
set(WG_LANGUAGE_LIST ${CMAKE_SOURCE_DIR}/content/config/10-game.json)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${WG_LANGUAGE_LIST})
file(READ ${WG_LANGUAGE_LIST} config)
string(JSON count LENGTH "${config}" lang)
set(WG_LANGUAGES "")       # the codes, in the list's order
set(WG_LANGUAGE_NAMES "")  # code=long name
set(table "")
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  string(JSON data GET "${config}" lang ${i} data)
  string(JSON long GET "${config}" lang ${i} long)
  if(NOT data MATCHES "^([a-z]+)\\.dat$")
    message(FATAL_ERROR "${WG_LANGUAGE_LIST}: the \"data\" file of language ${i} is \"${data}\", "
                        "not <language code>.dat")
  endif()
  set(code ${CMAKE_MATCH_1})
  list(APPEND WG_LANGUAGES ${code})
  list(APPEND WG_LANGUAGE_NAMES ${code}=${long})
  string(APPEND table "{\"${code}\", \"${long}\"},\n")
endforeach()
# Rewritten only when the codes or names change, so what depends on it is not rebuilt for an edit
# elsewhere in the configuration.
set(WG_LANGUAGE_TABLE ${CMAKE_BINARY_DIR}/generated/platform/languages.inc)
file(CONFIGURE OUTPUT ${WG_LANGUAGE_TABLE} CONTENT "${table}")
