# Host names (with an optional :port) of the two public services, fixed at
# build time. They are ordinary cache variables, so that CMake's own re-runs
# of a build tree keep what the tree was configured with; `./zhilan build`
# removes them from the cache (-U) unless they are given, so that a release
# build without the options always gets the public defaults.
set(ZHILAN_DEFAULT_ENCYCLOPEDIA_HOST "baike.baidu.com")
set(ZHILAN_DEFAULT_PROFILE_HOST "r.qzone.qq.com")

set(ENCYCLOPEDIA_HOST "${ZHILAN_DEFAULT_ENCYCLOPEDIA_HOST}" CACHE STRING
  "Host[:port] of the encyclopedia's search endpoint")
set(PROFILE_HOST "${ZHILAN_DEFAULT_PROFILE_HOST}" CACHE STRING
  "Host[:port] of the profile endpoint")

foreach(var ENCYCLOPEDIA_HOST PROFILE_HOST)
  if(NOT ${var} MATCHES "^[A-Za-z0-9.-]+(:[0-9]+)?$")
    message(FATAL_ERROR "${var} must be a host name with an optional :port, got '${${var}}'")
  endif()
  set(ZHILAN_${var} "${${var}}")
  message(STATUS "${var}: ${${var}}")
endforeach()
