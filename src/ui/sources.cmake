# Portable sources of this folder (no Windows headers): also built natively for sanitizers and fuzzing.
list(APPEND XIRARP_CORE_SOURCES
    src/ui/apply_rules.cpp
    src/ui/field_rules.cpp
    src/ui/gateway_state_text.cpp
)
