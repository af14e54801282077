// Client packages damaged on their way to the end user: cut short, with garbage inside, with repeated
// sections, with absurdly long values, or cut inside the image. The real program must reach a defined
// run mode, import only what the text holds, keep the existing settings where the text gives nothing,
// and never crash.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "config/client_config.h"
#include "robustness_support.h"
#include "steps/sandbox.h"
#include "support/registry.h"

using namespace robustness;

namespace {

const char* const kBindWarning = "Cannot get configuration !";

const char* const kOldPwd = "ffffffffffffffffffffffffffffffff";
const char* const kNewPwd = "0123456789abcdef0123456789abcdef";

std::string packageText(const std::string& token = kTokenClientBind, const std::string& pwd = kNewPwd,
                        int32_t timer = 45, const std::string& gwmac = "00-11-22-33-44-55",
                        const std::string& gwip = "192.168.1.1") {
    std::string text = "Windows Registry Editor Version 5.00\r\n\n";
    text += kConfigSectionHeader;
    text += "\r\n\"language\"=dword:00000002\r\n\"mode\"=\"" + token + "\"\r\n\"pwd\"=\"" + pwd + "\"\r\n";
    char number[32];
    snprintf(number, sizeof number, "%08d", static_cast<int>(timer));
    text += std::string("\"timer\"=dword:") + number + "\r\n\"gwmac\"=\"" + gwmac + "\"\r\n\"gwip\"=\"" + gwip +
            "\"\r\n";
    return text;
}

// The text up to and including the first occurrence of `mark`.
std::string cutAfter(const std::string& text, const std::string& mark) {
    size_t at = text.find(mark);
    return at == std::string::npos ? text : text.substr(0, at + mark.size());
}

RawValue text(const std::string& value) {
    return RawValue{REG_SZ, value + '\0'};
}

RawValue number(DWORD value) {
    return RawValue{REG_DWORD, dwordBytes(value)};
}

// The settings a client machine had before the package arrived.
void storeOldSettings() {
    writeSettingString("pwd", kOldPwd);
    writeSettingDword("timer", 77);
    writeSettingString("gwmac", "00-AA-BB-CC-DD-EE");
    writeSettingString("gwip", "10.0.0.1");
}

struct Expected {
    SeenMode mode;
    size_t parseFailures;       // "parse configuration fail!!" messages
    SettingsSnapshot changes;   // values added or replaced; every other value stays as it was
    bool bindWarning = false;   // a client that cannot bind warns once its first expiry comes
    bool quick = true;          // part of the quick run; the others run in the long one only
    bool refused = false;       // its MAC refused the whole text: nothing stored, the service choice neither
};

// Every value the import stores when the whole text is there.
SettingsSnapshot fullImport(const std::string& pwd = kNewPwd, DWORD timer = 45,
                            const std::string& gwmac = "00-11-22-33-44-55", const std::string& gwip = "192.168.1.1") {
    return {{"language", number(0)}, {"pwd", text(pwd)}, {"timer", number(timer)}, {"gwmac", text(gwmac)},
            {"gwip", text(gwip)}};
}

// Ends the program through its window's close command, answering any warning still coming. A locked client
// only hides on that command.
void closeProgram(const RunningProgram& program, HWND window, const std::string& what) {
    EXPECT_TRUE(answers(window)) << what << ": the program no longer answers";
    if (lockedWindow(window))
        return expectLockedWindowHidesOnClose(program, window, what);
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD start = GetTickCount();
    while (!program.waitForExit(100) && GetTickCount() - start < 15000) {
        MessageBoxSeen box = waitForMessageBox(program.processId(), 0);
        if (box.window)
            clickButton(box.window, IDOK);
    }
    EXPECT_FALSE(program.running()) << what << ": the program did not end";
    EXPECT_EQ(program.exitCode(), 0u) << what << ": unexpected exit status";
    expectNoCrash(program, what);
}

class RobustnessPackage : public CleanSettingsTest {
  protected:
    // Starts a copy of the administrator image with `tail` behind it over the old settings and checks the
    // outcome against `expected`.
    void run(const std::string& what, const std::string& tail, const Expected& expected) {
        if (!expected.quick && !longRun())
            return;
        SCOPED_TRACE(what);
        removeProgramSettings();
        storeOldSettings();
        SettingsSnapshot before = settingsSnapshot();
        Sandbox sandbox("robust-package");
        std::string exe = sandbox.copyProgram("XirARP-Client.exe");
        ASSERT_TRUE(appendFileBytes(exe, tail));
        RunningProgram program(exe, sandbox.folder());
        StartupSeen seen = driveStartup(program);
        expectNoCrash(program, what);
        ASSERT_EQ(seen.mode, expected.mode) << what << ": started as " << modeName(seen.mode);
        EXPECT_EQ(seen.count(kParseFailed), expected.parseFailures) << what;
        size_t known = seen.count(kParseFailed) + seen.count(kAskQuestion);
        EXPECT_EQ(known, seen.messages.size()) << what << ": an unexpected start-up message";
        EXPECT_EQ(seen.count(kAskQuestion), expected.mode == SeenMode::ClientAsk ? 1u : 0u) << what;

        SettingsSnapshot wanted = before;
        for (const auto& [name, value] : expected.changes)
            wanted[name] = value;
        // A text with its header always stores the service choice: these texts carry none, so it is 0.
        if (!expected.refused && (!expected.changes.empty() || expected.parseFailures > 0))
            wanted.emplace("service", number(0));
        SettingsSnapshot now = settingsSnapshot();
        EXPECT_TRUE(now == wanted) << what << "\n  expected: " << describe(wanted) << "\n  found:    " << describe(now);

        if (expected.bindWarning) {
            MessageBoxSeen warning = waitForMessageBox(program.processId(), 10000);
            EXPECT_EQ(warning.text, kBindWarning) << what;
            if (warning.window)
                clickButton(warning.window, IDOK);
        }
        closeProgram(program, seen.window, what);
    }
};

}  // namespace

// Cut at several points: before the header is complete nothing counts; after it, each key that did not
// make it is reported and the settings it would have replaced stay.
TEST_F(RobustnessPackage, ATruncatedTextImportsOnlyWhatArrived) {
    const std::string full = packageText();
    const std::string header = kConfigSectionHeader;
    run("cut inside the header", full.substr(0, full.find(header) + 10), {SeenMode::Admin, 0, {}, false, false});
    run("cut after the header", cutAfter(full, header + "\r\n"), {SeenMode::Admin, 6, {}});
    // A text value without its closing quote runs to the end: "58RDE" is no token.
    run("cut inside the token", cutAfter(full, "\"mode\"=\"58RDE"),
        {SeenMode::Admin, 4, {{"language", number(0)}}, false, false});
    // "0000" is the interval 0: the client opens, hides, and warns at its first expiry.
    run("cut inside the interval", cutAfter(full, "\"timer\"=dword:0000"),
        {SeenMode::ClientBind, 2, {{"language", number(0)}, {"pwd", text(kNewPwd)}, {"timer", number(0)}}, true});
    // Three groups are no MAC: the whole text is refused, and the client binds what the machine had.
    run("cut inside the gateway MAC", cutAfter(full, "\"gwmac\"=\"00-11-22"),
        {SeenMode::ClientBind, 2, {}, false, false, true});
    run("cut before the last line feed", full.substr(0, full.size() - 1),
        {SeenMode::ClientBind, 0, fullImport(), false, false});
}

// Random bytes, zero bytes and 0xFF runs, around and inside the text.
TEST_F(RobustnessPackage, BinaryGarbageNeverInventsSettings) {
    Random random(randomSeed());
    std::printf("[ robustness ] seed %u\n", randomSeed());
    std::string noise = random.bytes(65536);
    // Practically never contains the header; make sure.
    for (size_t at = noise.find('['); at != std::string::npos; at = noise.find('[', at + 1))
        noise[at] = ']';
    run("64 KB of random bytes", noise, {SeenMode::Admin, 0, {}});
    run("zero bytes only", std::string(4096, '\0'), {SeenMode::Admin, 0, {}, false, false});
    run("0xFF runs and zero bytes before the text",
        std::string(32768, '\xFF') + std::string(100, '\0') + noise.substr(0, 4096) + packageText(),
        {SeenMode::ClientBind, 0, fullImport(), false, false});
    // A zero byte inside a text value ends what the registry keeps of it.
    run("zero bytes inside the password",
        packageText(kTokenClientBind, std::string("0123") + std::string(8, '\0') + "4567"),
        {SeenMode::ClientBind, 0, fullImport("0123")});
    // Bytes beyond ASCII make no MAC: they never reach the registry or a command.
    const std::string highMac = "00-11-" + std::string(300, '\xFF') + "-44-55";
    run("an 0xFF run inside the gateway MAC", packageText(kTokenClientBind, kNewPwd, 45, highMac),
        {SeenMode::ClientBind, 1, {}, false, false, true});
    run("garbage behind the text", packageText(kTokenClientAsk) + noise,
        {SeenMode::ClientAsk, 0, fullImport(), false, false});
}

// Sections and keys more than once, or out of order: the first header and the keys in order after it.
TEST_F(RobustnessPackage, RepeatedSectionsAndKeysTakeTheFirstInOrder) {
    const std::string first = packageText(kTokenClientBind, kNewPwd, 45, "00-11-22-33-44-55", "192.168.1.1");
    const std::string second = packageText(kTokenClientAsk, "abababababababababababababababab", 90,
                                           "66-77-88-99-AA-BB", "172.16.0.1");
    run("two complete sections", first + second, {SeenMode::ClientBind, 0, fullImport()});
    run("an empty section before a full one", std::string(kConfigSectionHeader) + "\r\n\r\n" + second,
        {SeenMode::ClientAsk, 0,
         fullImport("abababababababababababababababab", 90, "66-77-88-99-AA-BB", "172.16.0.1"), false, false});

    // Every line twice in a row: the first of each pair is found, searching on after its value.
    std::string doubled = std::string(kConfigSectionHeader) + "\r\n";
    const std::string a = first.substr(first.find("\"language\""));
    const std::string b = second.substr(second.find("\"language\""));
    for (size_t at = 0, bt = 0; at < a.size();) {
        size_t aEnd = a.find('\n', at) + 1, bEnd = b.find('\n', bt) + 1;
        doubled += a.substr(at, aEnd - at) + b.substr(bt, bEnd - bt);
        at = aEnd;
        bt = bEnd;
    }
    run("every key twice", doubled, {SeenMode::ClientBind, 0, fullImport(), false, false});

    // Reversed: "language" is last, and nothing follows it.
    std::string reversed = std::string(kConfigSectionHeader) + "\r\n";
    for (size_t end = a.size(); end > 0;) {
        size_t begin = a.rfind('\n', end - 2);
        begin = begin == std::string::npos ? 0 : begin + 1;
        reversed += a.substr(begin, end - begin);
        end = begin;
    }
    run("keys in reverse order", reversed, {SeenMode::Admin, 5, {{"language", number(0)}}});

    std::string noMode = first;
    noMode.erase(noMode.find("\"mode\""), noMode.find("\"pwd\"") - noMode.find("\"mode\""));
    run("no mode", noMode, {SeenMode::Admin, 1, fullImport(), false, false});
}

// Values far longer than any the program writes, numbers beyond 32 bits, and megabytes of junk behind.
TEST_F(RobustnessPackage, AbsurdValueLengthsAreStoredAsTheyCameOrNotAtAll) {
    const std::string hugePwd(1u << 20, 'a');
    run("a megabyte password", packageText(kTokenClientBind, hugePwd), {SeenMode::ClientBind, 0, fullImport(hugePwd)});

    // No MAC: the whole text is refused, and the client still runs with what the machine had.
    const std::string longMac(100000, 'B');
    const std::string longIp(100000, '9');
    run("100 KB gateway texts", packageText(kTokenClientBind, kNewPwd, 45, longMac, longIp),
        {SeenMode::ClientBind, 1, {}, false, false, true});

    std::string bigNumbers = packageText();
    bigNumbers.replace(bigNumbers.find("dword:00000002"), 14, "dword:-99999999999999999999");
    bigNumbers.replace(bigNumbers.find("dword:00000045"), 14, "dword:99999999999999999999");
    run("numbers beyond 32 bits", bigNumbers, {SeenMode::ClientBind, 0, fullImport(kNewPwd, 0x7FFFFFFF)});

    std::string noDigits = packageText();
    noDigits.replace(noDigits.find("dword:00000045"), 14, "dword:sixty");
    run("an interval without digits", noDigits,
        {SeenMode::ClientBind, 1,
         {{"language", number(0)}, {"pwd", text(kNewPwd)}, {"gwmac", text("00-11-22-33-44-55")},
          {"gwip", text("192.168.1.1")}},
         false,
         false});

    if (longRun())
        run("17 MB of junk behind the text", packageText() + std::string(17u << 20, 'x'),
            {SeenMode::ClientBind, 0, fullImport(), false, false});
}

// A package that lost part of its image: shorter than the base image it is never a client copy. Cut in
// the zero padding it still runs as the administrator; cut inside the code the loader refuses it.
TEST_F(RobustnessPackage, APackageCutInsideTheImageNeverImports) {
    const std::string image = readFileBytes(adminImagePath());
    ASSERT_EQ(image.size(), kBaseImageSize);
    size_t linked = std::stoul(readFileBytes(adminImagePath() + ".unpadded-size"));
    ASSERT_GT(linked, 0u);
    ASSERT_LT(linked, kBaseImageSize);
    const std::string package = image + packageText();

    struct Cut {
        const char* what;
        size_t length;
        bool loads;
    };
    const Cut cuts[] = {
        {"cut one byte short of the image", kBaseImageSize - 1, true},  // long run only
        {"cut inside the padding", (linked + kBaseImageSize) / 2, true},
        {"cut inside the code", linked / 2, false},
    };
    for (const Cut& cut : cuts) {
        if (&cut == &cuts[0] && !longRun())
            continue;
        SCOPED_TRACE(cut.what);
        removeProgramSettings();
        storeOldSettings();
        SettingsSnapshot before = settingsSnapshot();
        Sandbox sandbox("robust-cut");
        std::string exe = sandbox.path("XirARP-Client.exe");
        ASSERT_TRUE(writeFileBytes(exe, package.substr(0, cut.length)));
        RunningProgram program(exe, sandbox.folder());
        if (!cut.loads) {
            // Either the loader refuses it, or whatever starts must not crash or import.
            if (program.started())
                program.waitForExit(10000);
            expectNoCrash(program, cut.what);
        } else {
            StartupSeen seen = driveStartup(program);
            expectNoCrash(program, cut.what);
            EXPECT_EQ(seen.mode, SeenMode::Admin) << cut.what << ": started as " << modeName(seen.mode);
            EXPECT_TRUE(seen.messages.empty()) << cut.what;
            if (seen.window)
                expectCleanExit(program, seen.window, cut.what);
        }
        EXPECT_TRUE(settingsSnapshot() == before) << cut.what << ": " << describe(settingsSnapshot());
    }
}

// Seeded random damage to a valid text. Whatever the outcome, it is one of the run modes, nothing
// crashes, and every stored value comes from the text (or is the system's language number).
TEST_F(RobustnessPackage, RandomlyDamagedTextsHaveADefinedOutcome) {
    const uint32_t seed = randomSeed();
    const int rounds = longRun() ? 60 : 1;
    std::printf("[ robustness ] seed %u, %d damaged packages (XIRARP_ROBUSTNESS_SEED replays)\n", seed, rounds);
    Random random(seed);
    for (int round = 0; round < rounds; ++round) {
        std::string tail = packageText(random.below(2) ? kTokenClientBind : kTokenClientAsk);
        int damages = 1 + static_cast<int>(random.below(6));
        for (int d = 0; d < damages && !tail.empty(); ++d) {
            size_t at = random.below(static_cast<uint32_t>(tail.size()));
            switch (random.below(6)) {
                case 0: tail[at] = static_cast<char>(random.next()); break;
                case 1: tail.insert(at, random.bytes(1 + random.below(64))); break;
                case 2: tail.erase(at, 1 + random.below(32)); break;
                case 3: tail.insert(at, tail.substr(at, 1 + random.below(80))); break;
                case 4: tail.insert(at, std::string(1 + random.below(4096), random.below(2) ? '\xFF' : '\0')); break;
                default: tail.resize(at); break;
            }
        }
        if (tail.empty())
            tail = "x";
        const std::string what = "round " + std::to_string(round) + " of seed " + std::to_string(seed);
        SCOPED_TRACE(what);

        removeProgramSettings();
        storeOldSettings();
        SettingsSnapshot before = settingsSnapshot();
        Sandbox sandbox("robust-random");
        std::string exe = sandbox.copyProgram("XirARP-Client.exe");
        ASSERT_TRUE(appendFileBytes(exe, tail));
        RunningProgram program(exe, sandbox.folder());
        StartupSeen seen = driveStartup(program);
        expectNoCrash(program, what);
        ASSERT_NE(seen.mode, SeenMode::EndedEarly) << what;
        ASSERT_NE(seen.mode, SeenMode::NotStarted) << what;

        const bool header = tail.find(kConfigSectionHeader) != std::string::npos;
        SettingsSnapshot now = settingsSnapshot();
        if (!header) {
            EXPECT_EQ(seen.mode, SeenMode::Admin) << what;
            EXPECT_TRUE(seen.messages.empty()) << what;
            EXPECT_TRUE(now == before) << what << ": " << describe(now);
        }
        for (const auto& [name, value] : now) {
            auto old = before.find(name);
            if (old != before.end() && old->second == value)
                continue;
            if (name == "language") {
                EXPECT_TRUE(value == number(0)) << what << ": language " << describe({{name, value}});
                EXPECT_NE(tail.find("\"language\"=dword:"), std::string::npos) << what;
            } else if (name == "timer") {
                EXPECT_EQ(value.type, static_cast<DWORD>(REG_DWORD)) << what;
                EXPECT_NE(tail.find("\"timer\"=dword:"), std::string::npos) << what;
            } else if (name == "pwd" || name == "gwmac" || name == "gwip") {
                ASSERT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << what << ": " << name;
                std::string stored = value.bytes.substr(0, value.bytes.find('\0'));
                EXPECT_NE(tail.find("\"" + name + "\"=\"" + stored), std::string::npos)
                    << what << ": " << name << " holds text the package does not carry";
            } else if (name == "service") {
                EXPECT_TRUE(header && value == number(0)) << what << ": service " << describe({{name, value}});
            } else {
                ADD_FAILURE() << what << ": a value the program never stores: " << name;
            }
        }
        if (seen.window)
            closeProgram(program, seen.window, what);
    }
}
