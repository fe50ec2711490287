# Host names (with an optional :port) of the two public services, fixed at
# build time. A configure without -DENCYCLOPEDIA_HOST / -DPROFILE_HOST always
# gets the public defaults, even in a build tree whose cache remembers a
# loopback value from an earlier configure: the given value is taken from the
# command line and then removed from the cache.
set(ZHILAN_DEFAULT_ENCYCLOPEDIA_HOST "baike.baidu.com")
set(ZHILAN_DEFAULT_PROFILE_HOST "r.qzone.qq.com")

foreach(var ENCYCLOPEDIA_HOST PROFILE_HOST)
  if(DEFINED CACHE{${var}})
    set(ZHILAN_${var} "${${var}}")
    unset(${var} CACHE)
  else()
    set(ZHILAN_${var} "${ZHILAN_DEFAULT_${var}}")
  endif()
  if(NOT ZHILAN_${var} MATCHES "^[A-Za-z0-9.-]+(:[0-9]+)?$")
    message(FATAL_ERROR "${var} must be a host name with an optional :port, got '${ZHILAN_${var}}'")
  endif()
  message(STATUS "${var}: ${ZHILAN_${var}}")
endforeach()
