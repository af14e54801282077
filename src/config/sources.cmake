# Portable sources of this folder (no Windows headers): also built natively for sanitizers and fuzzing.
list(APPEND XIRARP_CORE_SOURCES
    src/config/arp_settings.cpp
    src/config/client_config.cpp
    src/config/registry_path.cpp
)
