// The checked file writer's answers: each step is done or fails with the first failure of the file, one line.
#include "cli/output_file.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

fs::path FreshFolder(const std::string& name) {
    const fs::path folder = fs::path(QUILLMERE_CAIRO_TEST_TMP) / "output-file" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Standard output pointed somewhere else for the life of the object.
class StandardOutputTo {
public:
    explicit StandardOutputTo(int descriptor) : Saved(dup(STDOUT_FILENO)) { dup2(descriptor, STDOUT_FILENO); }
    ~StandardOutputTo() {
        dup2(Saved, STDOUT_FILENO);
        close(Saved);
    }
    StandardOutputTo(const StandardOutputTo&) = delete;
    StandardOutputTo& operator=(const StandardOutputTo&) = delete;

private:
    int Saved;
};

TEST(OutputFile, EachStepIsDoneAndTheFileHoldsWhatWasWritten) {
    const fs::path target = FreshFolder("written") / "page.pdf";
    OutputFile file;
    EXPECT_TRUE(file.Open(target.string()).Ok());
    EXPECT_TRUE(file.Write("%PDF", 4).Ok());
    EXPECT_TRUE(file.Status().Ok());
    EXPECT_EQ(file.Status().Message(), "");
    EXPECT_FALSE(fs::exists(target)) << "the target appears only when the file is complete";
    EXPECT_TRUE(file.Finish().Ok());
    EXPECT_EQ(Contents(target), "%PDF");
}

TEST(OutputFile, AFolderAsTargetFailsEveryStepWithTheSameLine) {
    const fs::path folder = FreshFolder("folder");
    const std::string expected = folder.string() + ": is a folder";
    OutputFile file;
    const Outcome opened = file.Open(folder.string());
    ASSERT_FALSE(opened.Ok());
    EXPECT_EQ(opened.Message(), expected);
    EXPECT_EQ(file.Write("x", 1).Message(), expected);
    EXPECT_EQ(file.Status().Message(), expected);
    const Outcome finished = file.Finish();
    EXPECT_FALSE(finished.Ok());
    EXPECT_EQ(finished.Message(), expected);
    EXPECT_TRUE(fs::is_empty(folder)) << "nothing is left beside or in the folder";
}

TEST(CheckOutputPath, StandardOutputIsRefusedOnlyWhenItIsATerminal) {
    EXPECT_TRUE(CheckOutputPath("page.pdf").Ok());
    const fs::path redirected = FreshFolder("standard-output") / "out";
    const int file = open(redirected.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(file, 0);
    {
        const StandardOutputTo to(file);
        EXPECT_TRUE(CheckOutputPath("-").Ok());
    }
    close(file);
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(grantpt(terminal), 0);
    ASSERT_EQ(unlockpt(terminal), 0);
    const int side = open(ptsname(terminal), O_WRONLY | O_NOCTTY);
    ASSERT_GE(side, 0);
    Outcome allowed = Done{};
    {
        const StandardOutputTo to(side);
        allowed = CheckOutputPath("-");
    }
    close(side);
    close(terminal);
    ASSERT_FALSE(allowed.Ok());
    EXPECT_EQ(allowed.Message(), "will not write a page to a terminal: redirect standard output or name a file");
}

} // namespace
