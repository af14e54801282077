# Portable sources of this folder (no Windows headers): also built natively for sanitizers and fuzzing.
list(APPEND XIRARP_CORE_SOURCES
    src/sys/number_text.cpp
    src/sys/system_command.cpp
)
