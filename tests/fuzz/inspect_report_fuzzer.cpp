// The character inspector on one input split like the character target's
// (model, then the line "@@MKM@@", then the motion set): the two parts are
// written to files and loaded by the tool's own loader, then both reports
// are made, with a pose of motion 0 when there is one. The text report must
// be valid UTF-8 and the JSON report valid JSON, whatever bytes the names
// in the files hold.

#include <unistd.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "checked_utf8.h"
#include "inspected_character.h"
#include "json_report.h"
#include "problem_list.h"
#include "report_input.h"
#include "resources/texture_manager.h"
#include "skin_summary.h"
#include "text_checks.h"
#include "text_report.h"
#include "two_part_input.h"

namespace {

void require(bool condition) {
    if (!condition) {
        abort();
    }
}

// The recogniser is part of the oracle: a few answers it must give.
void checkTheChecks() {
    using tavo::fuzz::isValidJson;
    using tavo::fuzz::isValidUtf8;
    require(isValidJson("{\"a\": [1, -0.5e3, true, null, \"\\u00e9\\n\"], \"b\": {}}"));
    require(isValidJson(" \"\xe9\xa0\xad\" "));
    require(!isValidJson("{\"a\": nan}"));
    require(!isValidJson("{\"a\": 1,}"));
    require(!isValidJson("\"tab\there\""));
    require(!isValidJson("\"\x93\xaa\""));
    require(!isValidJson("[1] 2"));
    require(isValidUtf8("plain \xe9\xa0\xad \xf0\x9f\x98\x80"));
    require(!isValidUtf8("\xc0\xaf"));
    require(!isValidUtf8("\xed\xa0\x80"));
    require(!isValidUtf8("\xe9\xa0"));
}

std::string scratchPath(const char* name) {
    return "/tmp/tavo-fuzz-inspect-" + std::to_string(getpid()) + "-" + name;
}

const std::string& modelPath() {
    static const std::string* path = new std::string(scratchPath("model.mqo"));
    return *path;
}

const std::string& motionPath() {
    static const std::string* path = new std::string(scratchPath("motions.mkm"));
    return *path;
}

void removeScratchFiles() {
    unlink(modelPath().c_str());
    unlink(motionPath().c_str());
}

bool writeFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = size == 0 || fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    checkTheChecks();
    atexit(removeScratchFiles);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavo::inspect;
    if (size > INT32_MAX) {
        return 0;
    }
    const tavo::fuzz::TwoPartInput input = tavo::fuzz::splitTwoPartInput(data, size);
    require(writeFile(modelPath(), input.model, input.modelSize));
    const bool motionsGiven = input.motions != nullptr;
    if (motionsGiven) {
        require(writeFile(motionPath(), input.motions, input.motionsSize));
    }

    tavo::TextureManager textures;  // no loaders: no GL context is needed
    std::unique_ptr<tavo::Character> character;
    tavo::LoadError error;
    tavo::LoadWarnings warnings;
    if (!loadInspectedCharacter(modelPath(), motionsGiven ? motionPath() : std::string(),
                                textures, character, error, warnings)) {
        require(!error.empty());
        require(tavo::fuzz::isValidJson(jsonErrorReport(error)));
        return 0;
    }

    ReportInput report;
    report.model = character->model.get();
    report.textures = &textures;
    if (character->skeleton) {
        report.skeleton = character->skeleton.get();
        report.skin = summarizeSkin(*report.model, *report.skeleton);
    }
    report.problems = collectProblems(*report.model, report.skeleton, report.skin, motionsGiven);
    require(warnings.list().size() <= tavo::LoadWarnings::kMaxWarnings + 1);
    for (const tavo::LoadError& warning : warnings.list()) {
        report.problems.push_back(checkedUtf8(warning.describe()));
    }
    PoseSnapshot pose;
    if (character->skeleton && character->skeleton->motionCount() > 0) {
        pose = takePose(*character, 0, 0.5f);
        report.pose = &pose;
    }

    const std::string text = textReport(report);
    require(tavo::fuzz::isValidUtf8(text));
    const std::string json = jsonReport(report);
    require(tavo::fuzz::isValidJson(json));
    tavo::releaseCharacter(character);
    return 0;
}
