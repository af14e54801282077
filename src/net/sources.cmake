# Portable sources of this folder (no Windows headers): also built natively for sanitizers and fuzzing.
list(APPEND XIRARP_CORE_SOURCES
    src/net/address_text.cpp
    src/net/binding_commands.cpp
    src/net/binding_settings.cpp
    src/net/gateway_keeper.cpp
    src/net/gateway_rules.cpp
    src/net/gateway_watch.cpp
    src/net/suspects_text.cpp
)
