# cmake -DFILE=path -DLIMIT=bytes -P PrintSize.cmake: prints the size of the
# setup exe and warns, loudly, when it outgrows its limit.
file(SIZE "${FILE}" size)
math(EXPR kib "(${size} + 1023) / 1024")
math(EXPR limit_kib "${LIMIT} / 1024")
if(size GREATER LIMIT)
  message(WARNING "setup exe size: ${size} bytes (${kib} KB), OVER the limit of ${limit_kib} KB")
else()
  message(STATUS "setup exe size: ${size} bytes (${kib} KB), limit ${limit_kib} KB")
endif()
