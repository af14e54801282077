# Portable sources of this folder (no Windows headers): also built natively for sanitizers and fuzzing.
list(APPEND XIRARP_CORE_SOURCES
    src/alert/gateway_news.cpp
    src/alert/syslog_collector.cpp
    src/alert/syslog_message.cpp
    src/alert/syslog_policy.cpp
)
