// libFuzzer target: the client configuration reader must never read outside its input, and a text
// written by the formatter must read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "config/client_config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Copy into an exact-size heap block so that AddressSanitizer sees any read past the end.
    char* copy = static_cast<char*>(malloc(size ? size : 1));
    for (size_t i = 0; i < size; ++i)
        copy[i] = static_cast<char>(data[i]);
    ParsedClientConfig parsed = parseClientConfig(copy, size);
    free(copy);

    if (parsed.headerFound && parsed.mode && parsed.pwd && parsed.gwmac && parsed.gwip && parsed.timer &&
        parsed.language) {
        ArpSettings settings{*parsed.language, *parsed.mode, *parsed.pwd, *parsed.timer, *parsed.gwmac, *parsed.gwip};
        bool plain = true;
        for (const std::string* text : {&settings.mode, &settings.pwd, &settings.gwmac, &settings.gwip})
            for (char c : *text)
                plain = plain && c != '"' && c != '\0' && c != '\n';
        std::optional<std::string> text = formatClientConfig(settings);
        if (plain && text) {
            ParsedClientConfig again = parseClientConfig(text->data(), text->size());
            if (again.mode != settings.mode || again.pwd != settings.pwd || again.timer != settings.timer ||
                again.gwmac != settings.gwmac || again.gwip != settings.gwip || again.language != settings.language)
                abort();
        }
    }
    return 0;
}
