#include "session/mascot_session.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "behaviour/recording_shell.h"
#include "render/offscreen_gl_surface.h"
#include "render/program_objects.h"
#include "support/file_contents.h"
#include "support/temp_directory.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;

// A shell without a window: a surface of its own, the settings in memory,
// the presented frames and the problems it was told about.
class TestHost : public MascotHost {
public:
    uint32_t nowMs() override { return now += 50; }
    CursorPosition cursor() override { return {-1000, -1000}; }
    const DesktopLayout& desktopLayout(uint32_t) override { return desktop; }
    bool fullScreenWindowOn(const ScreenRect&) override { return fullScreen; }
    void showWindow(bool shown) override { shownChanges.push_back(shown); }
    uint8_t* createSurface(int32_t width, int32_t height) override {
        surface = std::make_unique<OffscreenGlSurface>(width, height);
        return surface->valid() ? surface->pixels() : nullptr;
    }
    void releaseSurface() override { surface.reset(); }
    void finishFrame() override { surface->finishFrame(); }
    void present(const uint8_t* pixels, WindowPosition) override {
        shown.assign(pixels, pixels + surface->byteCount());
    }
    StoredSettings readSettings() override { return stored; }
    void writeSettings(const StoredSettings& settings) override { stored = settings; }
    ShellServices& services() override { return shell; }
    void createMenu(const TextTable& texts) override {
        menuLanguages.push_back(texts.language);
        checksBeforeMenu = shell.checkedIn(0x1010).size() + shell.checkedIn(0x1020).size();
    }
    void reportCharacterProblem(const std::string& path, const std::string& reason, bool showBox) override {
        problems.push_back(path + ": " + reason + (showBox ? " (box)" : ""));
    }

    uint32_t now = 1000;
    DesktopLayout desktop = DesktopLayout::singleScreen(1280, 1024);
    bool fullScreen = false;
    std::vector<bool> shownChanges;
    std::unique_ptr<OffscreenGlSurface> surface;
    std::vector<uint8_t> shown;
    StoredSettings stored;
    RecordingShell shell;
    std::vector<std::string> problems;
    std::vector<std::string> menuLanguages;
    size_t checksBeforeMenu = 0;
};

std::string sourceFile(const std::string& name) {
    return test::fileContents(std::string(TAVO_SOURCE_DIR) + "/data/" + name);
}

// The numbers in the parentheses of motion keys and on the lines of vertex
// chunks, times a factor: the same character at another size.
std::string scaledText(const std::string& text, float factor) {
    std::istringstream in(text);
    std::string out, line;
    bool inVertices = false;
    while (std::getline(in, line)) {
        const bool vectorKey = line.find(" (") != std::string::npos && line.find(')') != std::string::npos;
        if (inVertices && line.find('}') != std::string::npos) inVertices = false;
        if (inVertices || vectorKey) {
            const size_t open = line.find('(');
            std::istringstream numbers(line.substr(open == std::string::npos ? 0 : open + 1));
            float v[4] = {0, 0, 0, 0};
            int count = 0;
            while (count < 4 && numbers >> v[count]) ++count;
            if (count == 3) {
                std::ostringstream scaled;
                scaled.precision(9);
                scaled << line.substr(0, open == std::string::npos ? line.find_first_not_of("\t ") : open + 1)
                       << v[0] * factor << ' ' << v[1] * factor << ' ' << v[2] * factor << (open == std::string::npos ? "" : ")");
                line = scaled.str() + (line.back() == '\r' ? "\r" : "");
            }
        }
        if (line.find("\tvertex ") != std::string::npos && line.find('{') != std::string::npos) inVertices = true;
        out += line + "\n";
    }
    return out;
}

class SessionTest : public ::testing::Test {
protected:
    // A character folder made of the embedded character's files.
    fs::path makeCharacter(const std::string& name, const std::string& ini, float size = 1.0f) {
        const fs::path folder = temp.path() / "characters" / name;
        fs::create_directories(folder);
        std::ofstream(folder / "model.mqo", std::ios::binary) << scaledText(sourceFile("tavo.mqo"), size);
        std::ofstream(folder / "model.mkm", std::ios::binary) << scaledText(sourceFile("tavo.mkm"), size);
        if (!ini.empty()) std::ofstream(folder / "character.ini", std::ios::binary) << ini;
        return folder;
    }
    std::vector<std::string> baseFolders() const { return {(temp.path() / "characters").string()}; }
    static int opaque(const std::vector<uint8_t>& pixels) {
        int count = 0;
        for (size_t i = 3; i < pixels.size(); i += 4) count += pixels[i] == 255;
        return count;
    }

    test::TempDirectory temp{"mascot_session_test"};
    ProgramObjects objects;
    TestHost host;
};

TEST_F(SessionTest, AFolderCharacterIsShownSwitchedFromTheMenuAndRemembered) {
    const fs::path pip = makeCharacter("pip", "[Character]\nName=Pip\nMotion=1\n");
    makeCharacter("Anna", "");
    {
        MascotSession session(host, objects);
        ASSERT_TRUE(session.start(pip.string()));
        EXPECT_EQ(session.currentFolder(), pip.string());
        EXPECT_EQ(session.state().motionIndex, 1);
        EXPECT_GT(opaque(host.shown), 3000);
        EXPECT_TRUE(host.problems.empty());

        std::vector<CharacterMenuItem> menu = session.refreshCharacterMenu(baseFolders());
        ASSERT_EQ(menu.size(), 3u);
        EXPECT_EQ(menu[0].label, "Tavo");
        EXPECT_EQ(menu[1].label, "Anna");
        EXPECT_EQ(menu[2].label, "Pip");
        EXPECT_TRUE(!menu[0].checked && !menu[1].checked && menu[2].checked);
        EXPECT_EQ(menu[2].command, kCommandCharacterBase + 2);

        // The command line's character is not remembered; a choice is.
        EXPECT_EQ(session.handleCommand(kCommandCharacterBase + 1), CommandResult::Handled);
        EXPECT_EQ(session.currentFolder(), fs::canonical(temp.path() / "characters" / "Anna").string());
        EXPECT_EQ(session.state().motionIndex, 3);
        EXPECT_EQ(session.rememberedFolder(), session.currentFolder());

        // A choice that fails keeps the character shown and says why.
        std::ofstream(pip / "model.mqo", std::ios::binary) << "Metasequoia Document\nFormat Text Ver 1.0\n";
        session.refreshCharacterMenu(baseFolders());
        session.handleCommand(kCommandCharacterBase + 2);
        EXPECT_EQ(session.currentFolder(), session.rememberedFolder());
        ASSERT_EQ(host.problems.size(), 1u);
        EXPECT_EQ(host.problems[0], pip.string() + ": " + (pip / "model.mqo").string() +
                                        ": line 2: the document ends before \"Eof\" (box)");
        session.step();
        EXPECT_GT(opaque(host.shown), 3000);
        session.finish();
    }
    EXPECT_EQ(host.stored.characterPath, fs::canonical(temp.path() / "characters" / "Anna").string());
    {
        MascotSession restarted(host, objects);
        ASSERT_TRUE(restarted.start(""));
        EXPECT_EQ(restarted.currentFolder(), host.stored.characterPath);
        EXPECT_EQ(restarted.handleCommand(kCommandCharacterBase + 7), CommandResult::Ignored);
        restarted.handleCommand(kCommandCharacterBase);  // Tavo
        EXPECT_EQ(restarted.currentFolder(), "");
        EXPECT_EQ(restarted.state().motionIndex, 3);
        restarted.finish();
    }
    EXPECT_EQ(host.stored.characterPath, "");

    // A remembered folder that is gone: the embedded character, one note
    // and no box; the path stays remembered.
    host.stored.characterPath = (temp.path() / "gone").string();
    host.problems.clear();
    MascotSession fallback(host, objects);
    ASSERT_TRUE(fallback.start(""));
    EXPECT_EQ(fallback.currentFolder(), "");
    EXPECT_NE(fallback.renderer().character(), nullptr);
    EXPECT_EQ(host.problems, std::vector<std::string>{(temp.path() / "gone").string() +
                                                      ": there is no such file or folder"});
    fallback.finish();
    EXPECT_EQ(host.stored.characterPath, (temp.path() / "gone").string());
}

// Folders named in bytes that are no UTF-8 are listed readably and still
// opened by their own bytes.
TEST_F(SessionTest, FoldersNamedInOtherBytesAreShownReadablyAndOpened) {
    makeCharacter("\x83\x81\x83\x5F\x83\x4A", "");  // メダカ in code page 932
    const fs::path odd = makeCharacter("odd\xFF", "");
    MascotSession session(host, objects);
    ASSERT_TRUE(session.start(""));
    const std::vector<CharacterMenuItem> menu = session.refreshCharacterMenu(baseFolders());
    ASSERT_EQ(menu.size(), 3u);
    EXPECT_EQ(menu[1].label + "|" + menu[2].label, "odd\xEF\xBF\xBD|メダカ");
    EXPECT_EQ(session.handleCommand(menu[1].command), CommandResult::Handled);
    EXPECT_EQ(session.currentFolder(), fs::canonical(odd).string());
    EXPECT_TRUE(host.problems.empty());
    session.finish();
    EXPECT_EQ(characterProblemText(kEnglishTexts, "/a/odd\xFF", "gone"),
              "The character could not be loaded.\n\n/a/odd\xEF\xBF\xBD\ngone");
}

// A full-screen program in front hides the mascot where it stands; it comes
// back at the same place when the program goes or hiding is turned off.
TEST_F(SessionTest, AFullScreenProgramHidesTheMascotInPlace) {
    MascotSession session(host, objects);
    ASSERT_TRUE(session.start(""));
    const auto stepFor = [&](int steps) {
        for (int i = 0; i < steps; ++i) session.step();  // 50 ms apart
    };
    stepFor(10);
    host.fullScreen = true;
    stepFor(6);
    ASSERT_EQ(host.shownChanges, std::vector<bool>{false});
    const float x = session.state().posX;
    host.shown.assign(host.shown.size(), 7);
    stepFor(40);
    EXPECT_EQ(session.state().posX, x) << "it does not move while hidden";
    EXPECT_EQ(host.shown[0], 7) << "and nothing is drawn";

    EXPECT_EQ(session.handleCommand(kCommandHideForFullScreen), CommandResult::Handled);
    stepFor(6);
    EXPECT_EQ(host.shownChanges, (std::vector<bool>{false, true})) << "hiding turned off: it shows";
    EXPECT_NE(session.state().posX, x);
    session.handleCommand(kCommandHideForFullScreen);
    stepFor(6);
    host.fullScreen = false;
    stepFor(6);
    EXPECT_EQ(host.shownChanges, (std::vector<bool>{false, true, false, true}));
    session.handleCommand(kCommandHideForFullScreen);
    session.finish();
    EXPECT_EQ(host.stored.hideForFullScreen, 0);
}

TEST_F(SessionTest, TheSizeFollowsTheMonitorsScaleUntilOneIsChosenAndDrawsAtThatResolution) {
    host.desktop = DesktopLayout();
    host.desktop.add({0, 0, 1280, 1024}, 100);
    host.desktop.add({1280, 0, 2560, 2048}, 200);
    MascotSession session(host, objects);
    ASSERT_TRUE(session.start(""));
    session.step();
    EXPECT_EQ(host.surface->width(), 400);
    EXPECT_TRUE((host.shell.checkedIn(kCommandSizeBase) == std::vector<int32_t>{kCommandSizeBase + 2})) << "100% is checked";
    const int atNormal = opaque(host.shown);
    const float walk = session.state().walkStep;

    // Onto the monitor at 200 %: twice the window, its centre kept, the
    // figure drawn with four times the pixels and walking twice as far.
    session.state().posX = 1600.0f;
    session.state().posY = 300.0f;
    session.step();
    EXPECT_EQ(host.surface->width(), 800);
    EXPECT_EQ(host.surface->height(), 720);
    EXPECT_FLOAT_EQ(session.state().posX, 1400.0f - session.state().walkStep);
    EXPECT_FLOAT_EQ(session.state().walkStep, 2.0f * walk);
    EXPECT_NEAR(opaque(host.shown), 4 * atNormal, atNormal / 5);
    EXPECT_EQ(host.shell.checkedIn(kCommandSizeBase), std::vector<int32_t>{kCommandSizeBase + 4});

    // Chosen from the menu: kept on every monitor and stored.
    EXPECT_EQ(session.handleCommand(kCommandSizeBase + 1), CommandResult::Handled);
    session.step();
    EXPECT_EQ(host.surface->width(), 300);
    EXPECT_EQ(host.surface->height(), 270);
    EXPECT_EQ(host.shell.checkedIn(kCommandSizeBase), std::vector<int32_t>{kCommandSizeBase + 1});
    EXPECT_NEAR(opaque(host.shown), atNormal * 9 / 16, atNormal / 10);
    session.finish();
    EXPECT_EQ(host.stored.size, 75);
}

// The locale variables of the process, set for one test and put back after.
class LocaleVariables {
public:
    LocaleVariables() {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.emplace_back(value != nullptr, value != nullptr ? value : "");
            unsetenv(name);
        }
    }
    ~LocaleVariables() {
        for (size_t i = 0; i < saved_.size(); ++i) {
            if (saved_[i].first) setenv(kNames[i], saved_[i].second.c_str(), 1);
            else unsetenv(kNames[i]);
        }
    }

private:
    static constexpr const char* kNames[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::pair<bool, std::string>> saved_;
};

TEST_F(SessionTest, TheMenuSpeaksTheSettingsLanguageElseTheSystems) {
    LocaleVariables locale;
    const auto startIn = [&](const char* setting) {
        host.stored.language = setting;
        host.shell = RecordingShell();  // a new menu has no check marks yet
        MascotSession session(host, objects);
        EXPECT_TRUE(session.start(""));
        EXPECT_EQ(host.checksBeforeMenu, 0u);
        session.finish();
        return host.menuLanguages.back() + "/" + session.texts().language;
    };
    setenv("LANG", "ja_JP.UTF-8", 1);
    EXPECT_EQ(startIn(""), "ja/ja");
    EXPECT_EQ(startIn("en"), "en/en");
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(startIn(""), "en/en");
    EXPECT_EQ(startIn("ja"), "ja/ja");
    EXPECT_EQ(host.menuLanguages.size(), 4u);
}

TEST_F(SessionTest, AModelOfAnySizeFillsTheWindowLikeTheEmbeddedCharacter) {
    const auto frameOf = [&](const std::string& path) {
        host.now = 1000;  // the same start position every time
        MascotSession session(host, objects);
        EXPECT_TRUE(session.start(path));
        session.state().phase = 0.4f;
        session.state().yaw = 30.0f;
        host.now = 5000;  // the same motion time for every frame
        session.state().phaseRate = 0.0f;
        session.step();
        const float lift = session.renderer().lift();
        session.finish();
        return std::make_pair(host.shown, lift);
    };
    const auto embedded = frameOf("");
    EXPECT_EQ(embedded.second, 0.0f);
    for (const float size : {0.01f, 100.0f}) {
        const auto fitted = frameOf(makeCharacter("sized", "", size).string());
        EXPECT_NEAR(fitted.second, 0.0f, 0.05f) << size;
        int differing = 0;
        for (size_t i = 3; i < fitted.first.size(); i += 4) differing += fitted.first[i] != embedded.first[i];
        EXPECT_LT(differing, opaque(embedded.first) / 100) << size;
    }
    // Scale= draws the model at that build scale, in its own place.
    const auto half = frameOf(makeCharacter("half", "[Character]\nScale=0.5\n").string());
    EXPECT_EQ(half.second, 0.0f);
    EXPECT_LT(opaque(half.first), opaque(embedded.first) / 2);
    EXPECT_GT(opaque(half.first), opaque(embedded.first) / 8);
}

}  // namespace
}  // namespace tavo

