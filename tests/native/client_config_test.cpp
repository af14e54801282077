#include <gtest/gtest.h>

#include <string>

#include "config/client_config.h"

namespace {

ArpSettings sampleSettings() {
    ArpSettings settings;
    settings.language = 1;
    settings.mode = kTokenClientAsk;
    settings.pwd = "0123456789abcdef0123456789abcdef";
    settings.timer = 60;
    settings.gwmac = "00-11-22-33-44-55";
    settings.gwip = "192.168.1.1";
    return settings;
}

// Written by hand from the template, line by line.
const std::string kSampleText =
    "Windows Registry Editor Version 5.00\r\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Xir\\XirARP]\r\n"
    "\"language\"=dword:00000001\r\n"
    "\"mode\"=\"K7QW2MZP9TLX5\"\r\n"
    "\"pwd\"=\"0123456789abcdef0123456789abcdef\"\r\n"
    "\"timer\"=dword:00000060\r\n"
    "\"gwmac\"=\"00-11-22-33-44-55\"\r\n"
    "\"gwip\"=\"192.168.1.1\"\r\n"
    "\"service\"=dword:00000000\r\n";

ParsedClientConfig parse(const std::string& text) {
    return parseClientConfig(text.data(), text.size());
}

const std::string kHeader = "[HKEY_CURRENT_USER\\Software\\Xir\\XirARP]\r\n";

}  // namespace

TEST(FormatClientConfig, MatchesTheTemplateByteForByte) {
    std::optional<std::string> text = formatClientConfig(sampleSettings());
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, kSampleText);
    EXPECT_EQ(text->find('\0'), std::string::npos);
}

TEST(FormatClientConfig, PadsNumbersToEightDigitsAndKeepsTheSign) {
    ArpSettings settings = sampleSettings();
    settings.language = 0;
    settings.timer = -5;
    std::string text = *formatClientConfig(settings);
    EXPECT_NE(text.find("\"language\"=dword:00000000\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"timer\"=dword:-0000005\r\n"), std::string::npos);
}

TEST(FormatClientConfig, RefusesARecordThatDoesNotFitItsBuffer) {
    ArpSettings settings = sampleSettings();
    settings.pwd = std::string(900, 'a');
    EXPECT_FALSE(formatClientConfig(settings));
    settings.pwd = std::string(700, 'a');
    EXPECT_TRUE(formatClientConfig(settings));
    settings.syslog = std::string(300, 'a');  // the collector's line counts too
    EXPECT_FALSE(formatClientConfig(settings));
}

TEST(ParseClientConfig, ReadsBackWhatFormatWrote) {
    ParsedClientConfig parsed = parse(*formatClientConfig(sampleSettings()));
    EXPECT_TRUE(parsed.headerFound);
    EXPECT_EQ(parsed.language, 1);
    EXPECT_EQ(parsed.mode, kTokenClientAsk);
    EXPECT_EQ(parsed.pwd, "0123456789abcdef0123456789abcdef");
    EXPECT_EQ(parsed.timer, 60);
    EXPECT_EQ(parsed.gwmac, "00-11-22-33-44-55");
    EXPECT_EQ(parsed.gwip, "192.168.1.1");
    EXPECT_EQ(parsed.service, 0);
}

// The seventh line came later: a text without it is every older client copy, and reads as no service.
TEST(ParseClientConfig, TheServiceLineIsOptionalAndReadsAsZeroOrOne) {
    ArpSettings settings = sampleSettings();
    settings.service = 1;
    EXPECT_EQ(*formatClientConfig(settings), kSampleText.substr(0, kSampleText.size() - 3) + "1\r\n");
    const std::string older = kSampleText.substr(0, kSampleText.find("\"service\""));
    const std::pair<std::string, std::optional<int32_t>> kRows[] = {
        {"", std::nullopt}, {"dword:00000000", 0}, {"dword:00000001\r\n", 1}, {"dword:-7", 1}, {"dword:x", std::nullopt}};
    for (const auto& [value, service] : kRows)
        EXPECT_EQ(parse(older + (value.empty() ? "" : "\"service\"=" + value)).service, service) << value;
    EXPECT_FALSE(parse(kHeader + "\"service\"=dword:1\n\"gwip\"=\"i\"\n").service);  // out of order
}

// The collector's line follows the service line, only with a collector; read as it stands (the import checks it).
TEST(ParseClientConfig, TheSyslogLineIsOptionalAndReadAsItStands) {
    ArpSettings settings = sampleSettings();
    settings.syslog = "tcp://collector.example:514";
    EXPECT_EQ(*formatClientConfig(settings), kSampleText + "\"syslog\"=\"tcp://collector.example:514\"\r\n");
    const std::pair<std::string, std::optional<std::string>> kRows[] = {
        {"", std::nullopt}, {"10.0.0.5:1514", "10.0.0.5:1514"}, {"tls://c.example", "tls://c.example"}};
    for (const auto& [value, syslog] : kRows)
        EXPECT_EQ(parse(kSampleText + (value.empty() ? "" : "\"syslog\"=\"" + value + "\"\r\n")).syslog, syslog);
}

TEST(ParseClientConfig, ReadsDwordDigitsAsDecimal) {
    std::string text = kHeader + "\"language\"=dword:00000002\r\n\"mode\"=\"x\"\r\n\"pwd\"=\"\"\r\n" +
                       "\"timer\"=dword:00000010\r\n\"gwmac\"=\"m\"\r\n\"gwip\"=\"i\"\r\n";
    ParsedClientConfig parsed = parse(text);
    EXPECT_EQ(parsed.timer, 10);
    EXPECT_EQ(parsed.language, 2);
    EXPECT_EQ(parsed.pwd, "");
}

TEST(ParseClientConfig, AcceptsLineFeedsAloneAndJunkBetweenKeys) {
    std::string text =
        "garbage before\n" + std::string("[HKEY_CURRENT_USER\\Software\\Xir\\XirARP]\n\n") +
        "\"language\"=dword:00000000\n; a comment\n\n\"mode\"=\"58RDE3HVN0GA1\"\nother=1\n\"pwd\"=\"p\"\n"
        "\"timer\"=dword:   300\n\n\n\"gwmac\"=\"0:1a:2b:3c:4d:5e\"\n\"gwip\"=\"10.0.0.1\"\ntrailing bytes";
    ParsedClientConfig parsed = parse(text);
    EXPECT_EQ(parsed.language, 0);
    EXPECT_EQ(parsed.mode, kTokenClientBind);
    EXPECT_EQ(parsed.timer, 300);
    EXPECT_EQ(parsed.gwmac, "0:1a:2b:3c:4d:5e");
    EXPECT_EQ(parsed.gwip, "10.0.0.1");
}

TEST(ParseClientConfig, WithoutHeaderNothingIsRead) {
    std::string text = kSampleText;
    text.erase(text.find('['), kHeader.size());
    ParsedClientConfig parsed = parse(text);
    EXPECT_FALSE(parsed.headerFound);
    EXPECT_FALSE(parsed.language || parsed.mode || parsed.pwd || parsed.timer || parsed.gwmac || parsed.gwip);
    EXPECT_FALSE(parse("x").headerFound);
    EXPECT_FALSE(parse("").headerFound);
}

TEST(ParseClientConfig, KeysBeforeTheHeaderOrTheirPredecessorAreMissing) {
    // "pwd" stands before "mode": after "mode" has been read, it is not found any more.
    std::string text = "\"language\"=dword:1\n" + kHeader +
                       "\"language\"=dword:00000001\n\"pwd\"=\"p\"\n\"mode\"=\"m\"\n"
                       "\"timer\"=dword:5\n\"gwmac\"=\"g\"\n\"gwip\"=\"i\"\n";
    ParsedClientConfig parsed = parse(text);
    EXPECT_EQ(parsed.language, 1);
    EXPECT_EQ(parsed.mode, "m");
    EXPECT_FALSE(parsed.pwd);
    // The failed search does not move on: the following keys are still found.
    EXPECT_EQ(parsed.timer, 5);
    EXPECT_EQ(parsed.gwmac, "g");
    EXPECT_EQ(parsed.gwip, "i");
}

TEST(ParseClientConfig, AMissingKeyLeavesTheOthers) {
    std::string text = kHeader + "\"language\"=dword:1\n\"mode\"=\"m\"\n\"timer\"=dword:5\n\"gwip\"=\"i\"\n";
    ParsedClientConfig parsed = parse(text);
    EXPECT_FALSE(parsed.pwd);
    EXPECT_FALSE(parsed.gwmac);
    EXPECT_EQ(parsed.timer, 5);
    EXPECT_EQ(parsed.gwip, "i");
}

TEST(ParseClientConfig, OnlyTheFirstSectionCounts) {
    std::string second = kSampleText;
    second.replace(second.find("192.168.1.1"), 11, "10.9.8.7");
    second.replace(second.find("K7QW2MZP9TLX5"), 13, "58RDE3HVN0GA1");
    ParsedClientConfig parsed = parse(kSampleText + second);
    EXPECT_EQ(parsed.mode, kTokenClientAsk);
    EXPECT_EQ(parsed.gwip, "192.168.1.1");

    // A second header between the keys is just another line; the keys after it continue the order.
    std::string cut = kHeader + "\"language\"=dword:1\n\"mode\"=\"a\"\n" + kHeader +
                      "\"language\"=dword:2\n\"mode\"=\"b\"\n\"pwd\"=\"p\"\n\"timer\"=dword:3\n\"gwmac\"=\"g\"\n\"gwip\"=\"i\"\n";
    ParsedClientConfig twice = parse(cut);
    EXPECT_EQ(twice.language, 1);
    EXPECT_EQ(twice.mode, "a");
    EXPECT_EQ(twice.pwd, "p");
}

TEST(ParseClientConfig, UnterminatedValuesRunToTheEndOfTheText) {
    ParsedClientConfig openQuote = parse(kHeader + "\"language\"=dword:1\n\"mode\"=\"K7QW2MZP9TLX5");
    EXPECT_EQ(openQuote.mode, "K7QW2MZP9TLX5");
    EXPECT_FALSE(openQuote.pwd);

    ParsedClientConfig noLineFeed = parse(kHeader + "\"language\"=dword:00000042");
    EXPECT_EQ(noLineFeed.language, 42);
    EXPECT_FALSE(noLineFeed.mode);
}

TEST(ParseClientConfig, DwordsWithoutDigitsAreNotRead) {
    ParsedClientConfig parsed = parse(kHeader + "\"language\"=dword:\r\n\"mode\"=\"m\"\n\"pwd\"=\"p\"\n" +
                                      "\"timer\"=dword:-\n\"gwmac\"=\"g\"\n\"gwip\"=\"i\"\n");
    EXPECT_FALSE(parsed.language);
    EXPECT_FALSE(parsed.timer);
    EXPECT_EQ(parsed.mode, "m");
    EXPECT_EQ(parsed.gwip, "i");
}

TEST(ParseClientConfig, NumbersStopAtTheFirstNonDigitAndSaturate) {
    auto timerOf = [](const std::string& digits) {
        return parse(kHeader + "\"language\"=dword:0\n\"mode\"=\"m\"\n\"pwd\"=\"p\"\n\"timer\"=dword:" + digits + "\n")
            .timer;
    };
    EXPECT_EQ(timerOf("00000060\r"), 60);
    EXPECT_EQ(timerOf("12abc"), 12);
    EXPECT_EQ(timerOf("-30"), -30);
    EXPECT_EQ(timerOf("+7"), 7);
    EXPECT_EQ(timerOf("99999999999999999999"), INT32_MAX);
    EXPECT_EQ(timerOf("-99999999999999999999"), INT32_MIN);
    EXPECT_EQ(timerOf("0x10"), 0);
}

TEST(ParseClientConfig, BinaryGarbageAndZeroBytesAreHarmless) {
    std::string text = kSampleText;
    text.insert(0, std::string("\0\xff\x01[HKEY", 8));
    text.replace(text.find("192.168.1.1"), 3, std::string("1\0" "9", 3));
    ParsedClientConfig parsed = parse(text);
    EXPECT_TRUE(parsed.headerFound);
    EXPECT_EQ(parsed.gwip, std::string("1\0" "9.168.1.1", 11));

    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise.push_back(static_cast<char>((i * 131 + 7) & 0xff));
    EXPECT_FALSE(parse(noise).headerFound);
}

TEST(ParseClientConfig, VeryLongValuesAreKeptWhole) {
    std::string longMac(100000, 'A');
    ParsedClientConfig parsed =
        parse(kHeader + "\"language\"=dword:0\n\"mode\"=\"m\"\n\"pwd\"=\"p\"\n\"timer\"=dword:1\n\"gwmac\"=\"" + longMac +
              "\"\n\"gwip\"=\"i\"\n");
    EXPECT_EQ(parsed.gwmac, longMac);
    EXPECT_EQ(parsed.gwip, "i");
}

TEST(ParseClientConfig, ReadsNothingOutsideTheGivenBytes) {
    // The buffer holds more than the size handed over: the parser must stop at the size.
    std::string text = kHeader + "\"language\"=dword:1\n\"mode\"=\"abc\"";
    size_t size = text.size() - 2;  // cuts inside the mode value, before its closing quote
    ParsedClientConfig parsed = parseClientConfig(text.data(), size);
    EXPECT_EQ(parsed.mode, "ab");
}
