// Faults that fuzzing found in the file printer, each kept fixed by the smallest case that showed it.
#include "cli/file_printer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

struct FaceCase {
    const char* Name;
    const char* Face; // program text: Windows-1252 bytes
};

class FontFaces : public testing::TestWithParam<FaceCase> {};

// A face name is program text like any other; bytes that are no UTF-8 must not put the whole page in error.
TEST_P(FontFaces, AnyFaceNameStillGivesACompleteFile) {
    const std::filesystem::path folder = std::filesystem::path(QUILLMERE_CAIRO_TEST_TMP) / "hardening";
    std::filesystem::create_directories(folder);
    FilePrinterSettings settings;
    settings.Path = (folder / (std::string(GetParam().Name) + ".pdf")).string();
    std::filesystem::remove(settings.Path);
    auto outcome = std::make_shared<FilePrinterOutcome>();
    auto device = MakeFilePrinterDevice(settings, outcome);
    ASSERT_TRUE(device->StartDocument("Print Job").Ok());
    device->StartPage(1);
    DeviceFontRequest request{};
    request.Face = GetParam().Face;
    request.Height = -100;
    request.Weight = 400;
    const DeviceFontHandle font = device->MakeFont(request);
    device->Text(DevicePoint{100, 100}, "Caf\xE9", font, 0, false, 0xFFFFFF, DeviceRect{0, 0, 4000, 400});
    device->EndPage();
    device->EndDocument();
    device->ReleaseFont(font);
    EXPECT_TRUE(outcome->Written) << outcome->Error;
    EXPECT_TRUE(std::filesystem::exists(settings.Path));
}

INSTANTIATE_TEST_SUITE_P(Names, FontFaces,
                         testing::Values(FaceCase{"Plain", "Arial"},
                                         FaceCase{"Latin1", "Ar\xEF"
                                                            "al"},
                                         FaceCase{"Control", "\x01\x7F\xFF"}, FaceCase{"Empty", ""}),
                         [](const testing::TestParamInfo<FaceCase>& row) { return std::string(row.param.Name); });

} // namespace
