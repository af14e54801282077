# Portable sources of this folder (no Windows headers): also built natively for sanitizers and fuzzing.
list(APPEND XIRARP_CORE_SOURCES
    src/service/guard_rules.cpp
    src/service/image_version.cpp
)
