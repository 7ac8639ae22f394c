#include <gtest/gtest.h>

#include "system/command_line.h"

namespace tavo {
namespace {

bool parse(std::vector<std::string> arguments, CommandLine& options, std::string& error) {
    return parseCommandLine(arguments, options, error);
}

TEST(CommandLine, ReadsEveryOptionAndBothValueForms) {
    CommandLine options;
    std::string error;
    ASSERT_TRUE(parse({"--verbose", "--character", "/home/a/Ünï chars/x"}, options, error)) << error;
    EXPECT_TRUE(options.verbose);
    EXPECT_EQ(options.characterPath, "/home/a/Ünï chars/x");
    EXPECT_FALSE(options.showHelp || options.showVersion);

    CommandLine joined;
    ASSERT_TRUE(parse({"--character=c:\\chars\\m.mqo", "--version", "-h"}, joined, error));
    EXPECT_EQ(joined.characterPath, "c:\\chars\\m.mqo");
    EXPECT_TRUE(joined.showVersion && joined.showHelp);
}

TEST(CommandLine, RefusesUnknownOptionsAndMissingValues) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"--frobnicate"}, {"folder"}, {"--character"}, {"--character="}, {"--verbose=1"}}) {
        CommandLine options;
        std::string error;
        EXPECT_FALSE(parse(arguments, options, error)) << arguments[0];
        EXPECT_FALSE(error.empty());
    }
    EXPECT_NE(std::string(commandLineUsage()).find("--character PATH"), std::string::npos);
    EXPECT_EQ(versionLine().rfind("tavo_3d ", 0), 0u);
}

}  // namespace
}  // namespace tavo
